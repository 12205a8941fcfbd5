#include "shell/wellheaderview.h"

#include "bll/signaltransfer.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QPainter>
#include <QPixmap>

WellHeaderView::WellHeaderView(Qt::Orientation orientation, QWidget *parent) : QHeaderView(orientation, parent)
{
    setHighlightSections(false);
    setMouseTracking(false);
    setSectionsClickable(false);
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::compensationStatus, this, &WellHeaderView::useApplyCompensation);
    connect(hub, &SignalTransfer::clearCompensation, this, &WellHeaderView::resetApplyCompensation);
}

void WellHeaderView::useApplyCompensation(bool able)
{
    if (able)
        compensationApplied = true;
    viewport()->update();
}

void WellHeaderView::resetApplyCompensation()
{
    compensationApplied = false;
    viewport()->update();
}

void WellHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    Q_UNUSED(logicalIndex)
    const WellListModel *wells = WellListModel::instance();
    painter->save();
    QFont font = this->font();
    font.setPixelSize(int(uiScaleFactor * 14));
    font.setFamily(QStringLiteral("Roboto"));
    painter->setFont(font);

    QRect title = rect;
    title.setLeft(int(rect.left() + uiScaleFactor * 10));
    painter->setPen(wells->modelIsEmpty() ? QColor(153, 153, 153) : QColor(0, 0, 0));
    painter->drawText(title, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Wells List"));

    // Plain pixels: the header keeps its height at every scale.
    const QRect exclusion(QPoint(rect.right() - 30, rect.top()), QPoint(rect.right() - 14, rect.bottom() - 16));
    const char *exclusionIcon = wells->existExcludeDroplets() ? ":/assets/exclude_icon_latter.png"
                                : wells->modelIsEmpty()       ? ":/assets/exclude_icon1.png"
                                                              : ":/assets/exclude_icon_former.png";
    painter->drawPixmap(exclusion, QPixmap(QString::fromLatin1(exclusionIcon)));

    const QRect compensation(QPoint(exclusion.left() - 31, rect.top()), QPoint(exclusion.left() - 15, rect.bottom() - 17));
    painter->drawPixmap(compensation, QPixmap(compensationApplied ? QStringLiteral(":/assets/compensate_icon.png")
                                                                  : QStringLiteral(":/assets/compensate_diable_icon.png")));
    painter->restore();
}
