#include "pages/ViewResult/resultlistview.h"

#include "bll/signaltransfer.h"
#include "pages/ViewResult/resultmodel.h"
#include "shell/welllistview.h"

#include <QMouseEvent>

ResultListView::ResultListView(QWidget *parent) : QTableView(parent)
{
    WellListView::setUpListLook(this);
    // sigPressed reaches the hub's sigHideMenuDialog through the hub's forwarder table.
    SignalTransfer::getInstance()->forwardSignals(this);
}

ResultModel *ResultListView::resultModel() const
{
    return qobject_cast<ResultModel *>(model());
}

bool ResultListView::isSelected(int row) const
{
    return model()->index(row, 0).data(WellListModel::WellSelect).toBool();
}

void ResultListView::setSelected(int row, bool selected)
{
    model()->setData(model()->index(row, 0), selected, WellListModel::WellSelect);
}

void ResultListView::selectRange(int first, int last)
{
    resultModel()->clearSelect();
    for (int row = qMin(first, last); row <= qMax(first, last); ++row)
        setSelected(row, true);
}

void ResultListView::announce()
{
    resultModel()->updateModel();
    emit wellSelectChange();
}

void ResultListView::mousePressEvent(QMouseEvent *event)
{
    emit sigPressed();
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid() || !resultModel()) {
        QTableView::mousePressEvent(event);
        return;
    }
    const int row = index.row();
    m_lastRow = row;
    if (event->button() == Qt::LeftButton) {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        if (modifiers & Qt::ControlModifier) {
            const bool selected = isSelected(row);
            if (!selected || resultModel()->getSelectCount() != 1) {
                setSelected(row, !selected);
                m_anchorRow = row;
                m_anchorSet = true;
                announce();
            }
        } else if ((modifiers & Qt::ShiftModifier) && m_anchorSet) {
            selectRange(m_anchorRow, row);
            announce();
        } else {
            selectRange(row, row);
            m_anchorRow = row;
            m_anchorSet = true;
            announce();
        }
    }
    QTableView::mousePressEvent(event);
}

void ResultListView::mouseMoveEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (!resultModel() || !index.isValid() || !(event->buttons() & Qt::LeftButton)
        || (event->modifiers() & Qt::ControlModifier) || index.row() == m_lastRow) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const int row = index.row();
    m_lastRow = row;
    // Before any anchor a drag selects only the row under the pointer.
    selectRange(m_multiSelect && m_anchorSet ? m_anchorRow : row, row);
    announce();
    QTableView::mouseMoveEvent(event);
}
