#pragma once
// The well list beside the plots and the image views: the shared well model in mode 0, one
// column, selection kept in the model. A click selects one well, Shift a range from the
// anchor, Ctrl toggles (never the last selected well), a drag selects the range it covers.
// Without multiple selection every click and drag selects exactly one well.
#include <QTableView>

class WellListModel;

class WellListView : public QTableView {
    Q_OBJECT
public:
    explicit WellListView(QWidget *parent = nullptr);

    void setMultiSelect(bool multi);

    // The look of every compact row list (this one and the result rows beside the charts):
    // scaled row height, no grid, frame, own selection or horizontal scroll bar, the slim
    // vertical scroll bar.
    static void setUpListLook(QTableView *view);

signals:
    void sigWellSelectChange(); // every release over the view: the pages read the selection
    void sigPressed();          // every press over the view

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    WellListModel *wellModel() const;
    // Clears the selection and selects the wells of rows first..last (in either order).
    void selectRows(int first, int last);
    void selectSingle(int row);

    // Rows, not indexes: every click resets the model, which would invalidate indexes.
    int m_lastRow = -1;
    int m_anchorRow = -1;
    bool m_multiSelect = true;
    bool m_anchorSet = false;
};
