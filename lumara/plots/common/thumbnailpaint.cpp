#include "plots/common/thumbnailpaint.h"

#include "plots/common/thumbnailmodel.h"
#include "shell/globalvalues.h"

#include <QFontMetrics>
#include <QPainter>

namespace ThumbnailPaint {

namespace {
const QColor Caption(51, 51, 51);
}

int scaled(double pixels)
{
    return int(pixels * uiScaleFactor);
}

QRect spanning(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QFont textFont(QFont font)
{
    font.setPixelSize(scaled(12));
    font.setFamily(QStringLiteral("Roboto"));
    return font;
}

QImage image(const QModelIndex &index)
{
    return qvariant_cast<QImage>(index.data(ThumbnailModel::ImageRole));
}

void drawNumber(QPainter *painter, const QRect &rect, const QModelIndex &index)
{
    painter->setPen(Caption);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" %1.").arg(index.row() + 1));
}

void drawTitle(QPainter *painter, const QRect &rect, int width, int alignment, const QString &title)
{
    painter->setPen(Caption);
    painter->drawText(rect, alignment, QFontMetrics(painter->font()).elidedText(title, Qt::ElideRight, width));
}

} // namespace ThumbnailPaint
