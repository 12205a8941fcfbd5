#pragma once
// The compact list of result rows (wells and merged samples) beside the concentration and
// uncertainty charts. The selection lives in the result model: a click selects one row, Ctrl
// toggles one (never the last selected row), Shift selects the range from the anchor, a drag
// the range it covers. Every change is announced once.
#include <QTableView>

class ResultModel;

class ResultListView : public QTableView {
    Q_OBJECT
public:
    explicit ResultListView(QWidget *parent = nullptr);

signals:
    void wellSelectChange();
    void sigPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    ResultModel *resultModel() const;
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    // Clears the selection and selects rows first..last (in either order).
    void selectRange(int first, int last);
    void announce();

    // Rows, not indexes: every change resets the model, which invalidates indexes.
    int m_lastRow = -1;
    int m_anchorRow = -1;
    bool m_multiSelect = true;
    bool m_anchorSet = false;
};
