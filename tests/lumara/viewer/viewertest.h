#pragma once
// What the droplet view tests share: a seeded document with wells whose channel images hold
// bright droplets on a dark background at the droplets' centres, loaded into the shared well
// list; an explore view on screen; and the user's mouse and key gestures on it.
#include "pages/DropletImage/dropletmarker.h"
#include "pages/Explore/exploreview.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QGraphicsPixmapItem>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>
#include <QtTest>

#include <cmath>

#include <memory>

namespace ViewerTest {

constexpr int ImageWidth = 240;
constexpr int ImageHeight = 180;
constexpr int DropletCount = 24;
constexpr uint Threshold1 = 1000;
constexpr uint Threshold2 = 2000;
constexpr int Background = 12; // 8-bit grey levels of the images
constexpr int Bright = 160;

// Six droplets a row, four rows.
inline QPoint centreOf(int i)
{
    return QPoint(30 + 36 * (i % 6), 30 + 40 * (i / 6));
}

// Channel 1 cycles below, on, above and just below its threshold; channel 2 above, below and
// on its threshold.
inline uint grey1(int i)
{
    static const uint values[] = {500, Threshold1, 1500, Threshold1 - 1};
    return values[i % 4];
}

inline uint grey2(int i)
{
    static const uint values[] = {3000, 1000, Threshold2};
    return values[i % 3];
}

// Background with a disc of radius 5 on every droplet; 16-bit images hold the levels times 256.
inline QImage dropletImage(bool deep, int droplets = DropletCount)
{
    QImage image(ImageWidth, ImageHeight, QImage::Format_Grayscale8);
    image.fill(QColor(Background, Background, Background));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(Bright, Bright, Bright));
    for (int i = 0; i < droplets; ++i)
        painter.drawEllipse(centreOf(i), 5, 5);
    painter.end();
    if (!deep)
        return image;
    QImage wide(ImageWidth, ImageHeight, QImage::Format_Grayscale16);
    for (int y = 0; y < ImageHeight; ++y) {
        const uchar *in = image.constScanLine(y);
        auto *out = reinterpret_cast<quint16 *>(wide.scanLine(y));
        for (int x = 0; x < ImageWidth; ++x)
            out[x] = quint16(in[x] * 256);
    }
    return wide;
}

// Droplets at their centres with the values above; images of channels 1 and 2.
inline BllTest::WellSeed standardWell(uint id, const QString &position, bool deep)
{
    BllTest::WellSeed w = BllTest::well(id, position, {1, 2});
    for (int i = 0; i < DropletCount; ++i) {
        BllTest::Greys g{};
        g[0] = grey1(i);
        g[1] = grey2(i);
        BllTest::DropletSeed d = BllTest::droplet(g);
        d.centre = centreOf(i);
        w.droplets.append(d);
    }
    w.lineThresholds[0] = Threshold1;
    w.lineThresholds[1] = Threshold2;
    w.channelImages = {dropletImage(deep), dropletImage(deep)};
    return w;
}

// Well 1 with 16-bit images, well 2 with 8-bit ones; targets on channels 1 and 2.
inline BllTest::DocumentSeed standardSeed()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells = {standardWell(1, QStringLiteral("A1"), true), standardWell(2, QStringLiteral("A2"), false)};
    return seed;
}

// Seeds the document, recounts every well and reloads the well list (the first well selected).
inline bool load(const BllTest::DocumentSeed &seed, BllTest::SeededIds *ids = nullptr)
{
    QString error;
    if (!BllTest::seedDocument(seed, ids, &error)) {
        qWarning() << error;
        return false;
    }
    for (const BllTest::WellSeed &w : seed.wells)
        BLLInstance::getInstance()->updateZonesDroplets(w.id, false);
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    return !WellListModel::instance()->modelIsEmpty();
}

// Selects the row of the well alone.
inline void selectWell(uint wellId)
{
    WellListModel *wells = WellListModel::instance();
    wells->clearSelect();
    const QList<uint> ids = wells->getAllWellIDs();
    wells->setData(wells->index(ids.indexOf(wellId), 0), true, WellListModel::WellSelect);
}

// An explore view (or a test's subclass of it) on screen with the given viewport size.
template <typename View = ExploreView>
std::unique_ptr<View> shownView(const QSize &viewport = QSize(480, 360))
{
    auto view = std::make_unique<View>();
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
    view->resize(viewport);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    return view;
}

inline QPoint toView(const QGraphicsView &view, const QPointF &scene)
{
    return view.mapFromScene(scene);
}

inline void rightClick(QGraphicsView &view, const QPoint &at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mousePress(view.viewport(), Qt::RightButton, modifiers, at);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, modifiers, at);
}

// The pointer moved over the view without a button (QTest's moves carry no modifiers and
// need not arrive on the offscreen platform).
inline void move(QGraphicsView &view, const QPoint &at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      modifiers);
    QApplication::sendEvent(view.viewport(), &event);
}

// The pointer moved with exactly Ctrl held.
inline void ctrlMove(QGraphicsView &view, const QPoint &at)
{
    move(view, at, Qt::ControlModifier);
}

// A vertex of a polygon: the pointer there with Ctrl held, then a Ctrl + right click.
inline void vertex(QGraphicsView &view, const QPoint &at)
{
    ctrlMove(view, at);
    rightClick(view, at, Qt::ControlModifier);
}

inline void releaseCtrl(QGraphicsView &view)
{
    QTest::keyRelease(&view, Qt::Key_Control, Qt::NoModifier);
}

// The markers on the image, in child order.
template <typename Marker = DropletMarker>
QList<Marker *> markersOf(const DropletImageView &view)
{
    QList<Marker *> markers;
    if (!view.imageItem())
        return markers;
    for (QGraphicsItem *child : view.imageItem()->childItems())
        if (DropletMarker *marker = DropletMarker::fromItem(child))
            markers.append(static_cast<Marker *>(marker));
    return markers;
}

inline QSet<uint> idsOf(const QList<DropletMarker *> &markers)
{
    QSet<uint> ids;
    for (const DropletMarker *marker : markers)
        ids.insert(marker->id);
    return ids;
}

inline DropletMarker *markerOf(const DropletImageView &view, uint id)
{
    for (DropletMarker *marker : markersOf(view))
        if (marker->id == id)
            return marker;
    return nullptr;
}

inline QSet<uint> selectedIds(const DropletImageView &view)
{
    QSet<uint> ids;
    for (DropletMarker *marker : markersOf(view))
        if (marker->selected)
            ids.insert(marker->id);
    return ids;
}

// The droplets for which the predicate holds.
template <typename Test>
QSet<uint> dropletsWhere(Test test)
{
    QSet<uint> ids;
    for (int i = 0; i < DropletCount; ++i)
        if (test(i))
            ids.insert(uint(i));
    return ids;
}

// A five-pointed star around (1000, 2000): its middle is wound twice, so the odd-even rule
// of the counts leaves it out.
inline QPolygonF star()
{
    QPolygonF polygon;
    for (int k = 0; k < 5; ++k) {
        const double angle = qDegreesToRadians(90.0 + 144.0 * k);
        polygon << QPointF(1000 + 1500 * std::cos(angle), 2000 + 1500 * std::sin(angle));
    }
    return polygon;
}

} // namespace ViewerTest
