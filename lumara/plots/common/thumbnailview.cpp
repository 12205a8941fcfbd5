#include "plots/common/thumbnailview.h"

#include "plots/TwoDotPlot/thumbnai2ddelegate.h"
#include "plots/common/thumbnailmodel.h"
#include "shell/globalvalues.h"

#include <QHeaderView>
#include <QHoverEvent>
#include <QMouseEvent>

ThumbnailView::ThumbnailView(QWidget *parent)
    : QTableView(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(int(130 * uiScaleFactor));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameStyle(0);
    setAttribute(Qt::WA_MouseTracking);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    installEventFilter(this);
    setStyleSheet(QStringLiteral(
        "QScrollBar:vertical{width:8px;background:rgb(238,238,238);margin:0px,0px,0px,0px;}"
        "QScrollBar::handle:vertical{width:8px;background:rgb(88,180,218);border-radius:4px;min-height:20;}"
        "QScrollBar::handle:vertical:hover{width:8px;background:rgb(59,159,200);border-radius:4px;min-height:20;}"
        "QScrollBar::sub-line:vertical{height:0px;width:0px;subcontrol-position:top;}"
        "QScrollBar::add-line:vertical{height:0px;width:0px;subcontrol-position:bottom;}"));
}

void ThumbnailView::resetAnchor(const QModelIndex &index)
{
    m_last = index.isValid() ? index.row() : -1;
    m_anchor = m_last;
    m_dragging = false;
}

void ThumbnailView::setSingleSelection()
{
    m_singleSelection = true;
}

int ThumbnailView::rowAt(const QPoint &viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? index.row() : -1;
}

bool ThumbnailView::hasRow(int row) const
{
    return model() && row >= 0 && row < model()->rowCount();
}

bool ThumbnailView::isShown(int row) const
{
    return hasRow(row) && model()->index(row, 0).data(ThumbnailModel::ShownRole).toBool();
}

void ThumbnailView::setFlag(int row, int role, bool on)
{
    if (hasRow(row))
        model()->setData(model()->index(row, 0), on, role);
}

void ThumbnailView::hideOthers(int keep)
{
    for (int row = 0; hasRow(row); ++row) {
        if (row != keep && isShown(row))
            setFlag(row, ThumbnailModel::ShownRole, false);
    }
}

void ThumbnailView::hideOutside(int lo, int hi)
{
    for (int row = 0; hasRow(row); ++row) {
        if ((row < lo || row > hi) && isShown(row))
            setFlag(row, ThumbnailModel::ShownRole, false);
    }
}

void ThumbnailView::showRange(int a, int b)
{
    const int lo = qMin(a, b);
    const int hi = qMax(a, b);
    // Every row of the range is asked for, shown or not, so each one over the limit reports it.
    for (int row = lo; row <= hi; ++row)
        setFlag(row, ThumbnailModel::ShownRole, true);
    hideOutside(lo, hi);
}

void ThumbnailView::showAlone(int row)
{
    // The model keeps the last shown row when the others go, so the clicked row is shown
    // before that one is hidden: the user sees the plot clicked, and the limit never trips.
    hideOthers(row);
    setFlag(row, ThumbnailModel::ShownRole, true);
    hideOthers(row);
}

bool ThumbnailView::pressOnCheckBox(int row, const QPoint &viewportPos) const
{
    const QModelIndex index = model()->index(row, 0);
    const auto *delegate = qobject_cast<const Thumbnai2DDelegate *>(itemDelegate(index));
    if (!delegate)
        return false;
    QStyleOptionViewItem option = viewOptions();
    option.rect = visualRect(index);
    return delegate->checkBoxRect(option).contains(viewportPos);
}

bool ThumbnailView::eventFilter(QObject *watched, QEvent *event)
{
    // An open title editor closes without committing on a reset, and each hover mark is one:
    // while a name is typed the marks stay.
    if (watched != this || event->type() != QEvent::HoverMove || state() == EditingState)
        return QTableView::eventFilter(watched, event);

    const QPoint pos = viewport()->mapFrom(this, static_cast<QHoverEvent *>(event)->pos());
    const int row = rowAt(pos);
    if (row == m_hover)
        return true;
    setFlag(m_hover, ThumbnailModel::HoveredRole, false);
    setFlag(row, ThumbnailModel::HoveredRole, true);
    m_hover = row;
    return true;
}

void ThumbnailView::mousePressEvent(QMouseEvent *event)
{
    const int row = rowAt(event->pos());
    // A tick on a row's check box only marks it: the delegate toggles the mark in the base
    // handling, and which plots are shown stays as it is.
    if (row < 0 || pressOnCheckBox(row, event->pos())) {
        QTableView::mousePressEvent(event);
        return;
    }
    m_last = row;
    if (event->button() != Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        return;
    }

    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier) {
        if (!m_singleSelection) {
            setFlag(row, ThumbnailModel::ShownRole, !isShown(row));
            emit modelDataChange();
        }
    } else if (modifiers == Qt::ShiftModifier) {
        if (!m_singleSelection) {
            if (hasRow(m_anchor) && m_anchor != row) {
                showRange(m_anchor, row);
                m_anchor = row;
            } else {
                m_anchor = row;
                setFlag(row, ThumbnailModel::ShownRole, true);
            }
            emit modelDataChange();
        }
    } else {
        m_anchor = row;
        m_dragging = true;
        showAlone(row);
        emit modelDataChange();
    }
    QTableView::mousePressEvent(event);
}

void ThumbnailView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_singleSelection) {
        const int row = rowAt(event->pos());
        if (row >= 0 && row != m_last) {
            m_last = row;
            const Qt::KeyboardModifiers modifiers = event->modifiers();
            if (m_dragging && modifiers != Qt::ShiftModifier && modifiers != Qt::ControlModifier) {
                setFlag(row, ThumbnailModel::ShownRole, true);
                emit modelDataChange();
            }
        }
    }
    QTableView::mouseMoveEvent(event);
}

void ThumbnailView::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QTableView::mouseReleaseEvent(event);
}

void ThumbnailView::resizeEvent(QResizeEvent *event)
{
    horizontalHeader()->setDefaultSectionSize(width());
    QTableView::resizeEvent(event);
}
