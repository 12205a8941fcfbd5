#include "shell/welllistview.h"

#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

WellListView::WellListView(QWidget *parent) : QTableView(parent)
{
    setUpListLook(this);
}

void WellListView::setUpListLook(QTableView *view)
{
    view->verticalHeader()->setDefaultSectionSize(int(uiScaleFactor * 32));
    view->verticalHeader()->hide();
    view->setShowGrid(false);
    view->setFrameStyle(0);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical{width:8px;background:rgb(238,238,238);margin:32px,0px,0px,0px;}"
        "QScrollBar::handle:vertical{width:8px;background:rgb(88,180,218);border-radius:4px;min-height:20;}"
        "QScrollBar::handle:vertical:hover{width:8px;background:rgb(59,159,200);border-radius:4px;min-height:20;}"
        "QScrollBar::sub-line:vertical{height:0px;width:0px;subcontrol-position:top;}"
        "QScrollBar::add-line:vertical{height:0px;width:0px;subcontrol-position:bottom;}"));
}

void WellListView::setMultiSelect(bool multi)
{
    m_multiSelect = multi;
}

WellListModel *WellListView::wellModel() const
{
    return qobject_cast<WellListModel *>(model());
}

void WellListView::selectRows(int first, int last)
{
    WellListModel *wells = wellModel();
    wells->clearSelect();
    for (int row = qMin(first, last); row <= qMax(first, last); ++row)
        wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
}

void WellListView::selectSingle(int row)
{
    selectRows(row, row);
    m_anchorRow = row;
    m_anchorSet = true;
}

void WellListView::mousePressEvent(QMouseEvent *event)
{
    emit sigPressed();
    const QModelIndex index = indexAt(event->pos());
    WellListModel *wells = wellModel();
    if (!index.isValid() || !wells) {
        QTableView::mousePressEvent(event);
        return;
    }
    const int row = index.row();
    m_lastRow = row;
    const bool left = event->button() == Qt::LeftButton;
    if (!m_multiSelect) {
        if (left) {
            selectSingle(row);
            wells->updateModel();
        }
    } else if (left && event->modifiers() == Qt::ControlModifier) {
        const bool selected = wells->data(wells->index(row, 0), WellListModel::WellSelect).toBool();
        // The last selected well cannot be toggled off.
        if (!selected || wells->getSelectWellIDs().size() != 1) {
            wells->setData(wells->index(row, 0), !selected, WellListModel::WellSelect);
            m_anchorRow = row;
            m_anchorSet = true;
            wells->updateModel();
        }
    } else if (left) {
        if (event->modifiers() == Qt::ShiftModifier && m_anchorSet)
            selectRows(m_anchorRow, row);
        else
            selectSingle(row);
        wells->updateModel();
    }
    QTableView::mousePressEvent(event);
}

void WellListView::mouseReleaseEvent(QMouseEvent *event)
{
    emit sigWellSelectChange();
    QTableView::mouseReleaseEvent(event);
}

void WellListView::mouseMoveEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    WellListModel *wells = wellModel();
    if (!wells || event->modifiers() == Qt::ControlModifier || !index.isValid() || index.row() == m_lastRow) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const int row = index.row();
    m_lastRow = row;
    // A drag selects the range from where it started.
    if (m_multiSelect && m_anchorSet)
        selectRows(m_anchorRow, row);
    else
        selectRows(row, row);
    wells->updateModel();
    QTableView::mouseMoveEvent(event);
}

void WellListView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    horizontalHeader()->setDefaultSectionSize(width());
}
