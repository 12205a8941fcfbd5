#include "pages/Explore/explordrpltmarker.h"

#include "shell/globalvalues.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <cmath>

namespace {

const QString ringPicture = QStringLiteral(":/assert/aureole4.png");

QPixmap ring()
{
    QPixmap picture;
    if (!QPixmapCache::find(ringPicture, &picture)) {
        picture.load(ringPicture);
        QPixmapCache::insert(ringPicture, picture);
    }
    return picture;
}

} // namespace

ExplorDrpltMarker::ExplorDrpltMarker()
{
    setOpacity(markerOpacity);
}

ExplorDrpltMarker::~ExplorDrpltMarker() = default;

void ExplorDrpltMarker::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double d = dropletMarkerSize;
    const double w = dropletMarkerLineWidth;
    const double h = d * 0.5;
    painter->save();
    if (excluded) {
        painter->setPen(QPen(QBrush(QColor(Qt::red)), w, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        const double a = (h - std::trunc(w * 0.5)) * 0.5;
        painter->drawLine(QPointF(-a, a), QPointF(a, -a));
        painter->drawLine(QPointF(-a, -a), QPointF(a, a));
    } else if (shown) {
        if (markerColorMode == 0) {
            const QPixmap picture = ring();
            painter->drawPixmap(QRectF(-d, -d, 2 * d, 2 * d), picture, QRectF(picture.rect()));
        } else {
            const QColor colour(markerColor);
            painter->setPen(QPen(QBrush(colour), w, Qt::SolidLine));
            painter->setBrush(colour);
            painter->drawEllipse(QPointF(0, 0), h, h);
        }
    }
    if (selected && (shown || excluded)) {
        QColor fill(0xff, 0xf1, 0x00);
        fill.setAlphaF(0.2);
        paintHexagon(painter, QColor(0xff, 0xf1, 0x00), fill);
    }
    painter->restore();
}

void ExplorDrpltMarker::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::RightButton && event->modifiers() == Qt::NoModifier && (shown || excluded))
        event->accept();
    else
        event->ignore();
}

void ExplorDrpltMarker::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    togglePick();
    event->accept();
}
