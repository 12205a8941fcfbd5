// The droplet image of a well as the explore page shows it: the positive droplets of a channel
// marked, one of them excluded (a cross), two picked by right clicks and a polygon drawn
// around more (as far as the well has positive droplets); then a rectangle of grey values
// marked with rings and zoomed onto.
#include "tour.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "pages/DropletImage/dropletmarker.h"
#include "pages/Explore/exploreview.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QGraphicsPixmapItem>
#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

// The first well's first channel, selected in the well list; throws without one.
QPair<uint, uint> firstWellChannel()
{
    WellListModel *wells = WellListModel::instance();
    const QList<uint> ids = wells->getAllWellIDs();
    if (ids.isEmpty())
        throw std::runtime_error("no well to show");
    const QList<uint> channels = BLLInstance::getInstance()->getWellChannels(ids.first());
    if (channels.isEmpty())
        throw std::runtime_error("the first well has no target channel");
    wells->clearSelect();
    wells->setData(wells->index(0, 0), true, WellListModel::WellSelect);
    return qMakePair(ids.first(), channels.first());
}

std::unique_ptr<ExploreView> shownView(uint well, uint channel)
{
    auto view = std::make_unique<ExploreView>();
    view->resize(720, 720);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        throw std::runtime_error("the view did not show");
    view->loadImage(well, channel);
    if (!view->imageItem())
        throw std::runtime_error("the well has no image");
    return view;
}

QList<DropletMarker *> markersOf(const ExploreView &view)
{
    QList<DropletMarker *> markers;
    for (QGraphicsItem *child : view.imageItem()->childItems())
        if (DropletMarker *marker = DropletMarker::fromItem(child))
            markers.append(marker);
    return markers;
}

void rightClick(ExploreView &view, const QPoint &at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mousePress(view.viewport(), Qt::RightButton, modifiers, at);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, modifiers, at);
}

void ctrlMove(ExploreView &view, const QPoint &at)
{
    QMouseEvent event(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::ControlModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

} // namespace

void addDropletViewerStops(Tour &tour)
{
    tour.add(QStringLiteral("droplet-image"), [](TourContext &) {
        const QPair<uint, uint> shown = firstWellChannel();
        // One droplet out, so that the image shows a cross.
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(shown.first, {0});
        auto view = shownView(shown.first, shown.second);
        view->markBy1DThreshold(shown.second, true, false);
        // The picks near the middle of the image, where they are easy to see.
        QList<DropletMarker *> markers = markersOf(*view);
        const QPointF middle = view->imageItem()->boundingRect().center();
        std::sort(markers.begin(), markers.end(), [&middle](const DropletMarker *a, const DropletMarker *b) {
            return QLineF(a->pos(), middle).length() < QLineF(b->pos(), middle).length();
        });
        // As many of the picks as the well's positive droplets allow.
        for (int i = 1; i < qMin(3, markers.size()); ++i)
            rightClick(*view, view->mapFromScene(markers.at(i)->scenePos()));
        if (markers.size() > 3) {
            // A polygon round the third marker.
            const QPointF c = markers.at(3)->scenePos();
            for (const QPointF &corner : {c + QPointF(-20, -20), c + QPointF(20, -16)}) {
                ctrlMove(*view, view->mapFromScene(corner));
                rightClick(*view, view->mapFromScene(corner), Qt::ControlModifier);
            }
            ctrlMove(*view, view->mapFromScene(c + QPointF(0, 22)));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
            QApplication::sendEvent(view.get(), &release);
        }
        const QImage image = grabWindow(view.get());
        view->close();
        BLLInstance::getInstance()->getDropletExclude()->restoreDroplets(shown.first);
        return image;
    });
    tour.add(QStringLiteral("droplet-image-rectangle"), [](TourContext &) {
        const QPair<uint, uint> shown = firstWellChannel();
        auto view = shownView(shown.first, shown.second);
        // The brightest tenth of the droplets.
        QVector<uint> greys = BLLInstance::getInstance()->getAllDropletGrayValues(shown.first, shown.second);
        if (greys.isEmpty()) {
            const QImage image = grabWindow(view.get());
            view->close();
            return image;
        }
        std::sort(greys.begin(), greys.end());
        const uint from = greys.at(greys.size() * 9 / 10);
        view->showMarkerBy2DRect(qMakePair(from, greys.last()), qMakePair(0u, 0xffffffffu), shown.second,
                                 shown.second, false);
        if (markersOf(*view).isEmpty())
            throw std::runtime_error("the rectangle marked nothing");
        const QImage image = grabWindow(view.get());
        view->close();
        return image;
    });
}
