#include "plots/common/thumbnaildelegate.h"

#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailpaint.h"

#include <QPainter>

using ThumbnailPaint::scaled;
using ThumbnailPaint::spanning;

ThumbnailDelegate::ThumbnailDelegate(QObject *parent)
    : QAbstractItemDelegate(parent)
{
}

void ThumbnailDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!index.isValid())
        return;
    const QRect r = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    if (index.data(ThumbnailModel::ShownRole).toBool()) {
        painter->setBrush(QColor(191, 236, 255));
        painter->setPen(QColor(59, 159, 200));
    } else if (index.data(ThumbnailModel::HoveredRole).toBool()) {
        painter->setBrush(QColor(229, 247, 255));
        painter->setPen(QColor(229, 247, 255));
    } else {
        painter->setBrush(Qt::white);
        painter->setPen(Qt::white);
    }
    painter->drawRoundedRect(spanning(r.left() + scaled(35), r.top() + scaled(1), r.left() + scaled(173), r.bottom()), 0, 0);

    painter->setFont(ThumbnailPaint::textFont(option.font));
    ThumbnailPaint::drawNumber(
        painter, spanning(r.left() + scaled(10), r.top() + scaled(8), r.left() + scaled(23), r.top() + scaled(20)), index);
    painter->drawImage(spanning(r.left() + scaled(43), r.top() + scaled(8), r.right() - scaled(41), r.bottom() - scaled(22)),
                       ThumbnailPaint::image(index));
    ThumbnailPaint::drawTitle(painter, spanning(r.left(), r.bottom() - scaled(20), r.right(), r.bottom() - scaled(4)),
                              scaled(124), Qt::AlignCenter, index.data(ThumbnailModel::TitleRole).toString());
    painter->restore();
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return option.rect.size();
}
