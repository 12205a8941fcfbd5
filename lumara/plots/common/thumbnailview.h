#pragma once
// The thumbnail column of a plot page: a one-column table whose clicks choose the shown plots.
// A plain press shows that row alone (and a drag adds the rows it crosses), Ctrl toggles one
// row, Shift shows a range. The rows themselves are written through the model's setData.
#include <QTableView>

class ThumbnailView : public QTableView {
    Q_OBJECT
public:
    explicit ThumbnailView(QWidget *parent = nullptr);

    // The row a Shift range starts from; the pages give the first shown row on refresh.
    void resetAnchor(const QModelIndex &index);
    // One shown row at a time: Ctrl, Shift and drags get the plain item-view handling.
    void setSingleSelection();

signals:
    void modelDataChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Rows rather than persistent indexes: every change resets the model.
    int rowAt(const QPoint &viewportPos) const;
    bool hasRow(int row) const;
    bool isShown(int row) const;
    void setFlag(int row, int role, bool on);
    // Hides every shown row but `keep` (-1 for none), in row order.
    void hideOthers(int keep);
    void hideOutside(int lo, int hi);
    void showRange(int a, int b);
    void showAlone(int row);
    bool pressOnCheckBox(int row, const QPoint &viewportPos) const;

    int m_last = -1;
    int m_anchor = -1;
    int m_hover = -1;
    bool m_dragging = false;
    bool m_singleSelection = false;
};
