// The Explore page as a user meets it: a 1D plot with the droplets above its threshold marked
// on the image, a pair with a quadrant picked, a triple with a rectangle dragged on the plot of
// its first and third channel, and a population marked.
#include "tour.h"

#include "pages/DropletImage/dropletmarker.h"
#include "pages/Explore/explore1ddot.h"
#include "pages/Explore/explore2ddot.h"
#include "pages/Explore/explorepage.h"
#include "pages/Explore/exploreview.h"
#include "pages/Explore/quorinbox.h"
#include "pages/explore.h"
#include "shell/mainwindows.h"

#include <QApplication>
#include <QGraphicsPixmapItem>
#include <QMouseEvent>
#include <QListWidget>
#include <QTest>

#include <qwt_plot_canvas.h>

#include <stdexcept>

namespace {

ExplorePage *openExplore(TourContext &context)
{
    auto *module = qobject_cast<Explore *>(context.visit(3, 0));
    if (!module || !module->page())
        throw std::runtime_error("no explore page");
    return module->page();
}

// Presses the first entry with that many channels (0: the first population).
QString choose(ExplorePage *page, int channels)
{
    QuorinBox *box = channels == 0 ? page->populations() : page->plots();
    for (int i = 0; i < box->list()->count(); ++i) {
        QListWidgetItem *item = box->list()->item(i);
        const QString name = item->data(QuorinBox::NameRole).toString();
        if (channels == 0 || explorePlotChannels(page->entries(), name).size() == channels) {
            box->list()->setCurrentRow(i);
            box->updateItem(item);
            QTest::qWait(50);
            return name;
        }
    }
    throw std::runtime_error(channels == 0 ? "the package has no population"
                                           : "the package gives no plot of that many channels");
}

int markerCount(ExplorePage *page)
{
    int count = 0;
    if (QGraphicsItem *image = page->imageView()->imageItem())
        for (QGraphicsItem *child : image->childItems())
            count += DropletMarker::fromItem(child) ? 1 : 0;
    return count;
}

QImage grabMarked(TourContext &context, ExplorePage *page)
{
    if (markerCount(page) == 0)
        throw std::runtime_error("nothing is marked on the image");
    return grabWindow(context.window);
}

} // namespace

void addExploreStops(Tour &tour)
{
    tour.add(QStringLiteral("explore-1d"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        choose(page, 1);
        // A click high on the plot: the droplets above the threshold.
        QWidget *canvas = page->plot1DView()->canvas();
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(canvas->width() / 2, 8));
        return grabMarked(context, page);
    });
    tour.add(QStringLiteral("explore-pair"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        choose(page, 2);
        // Top right: the droplets positive in both channels.
        QWidget *canvas = page->plotXYView()->canvas();
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(canvas->width() - 8, 8));
        return grabMarked(context, page);
    });
    tour.add(QStringLiteral("explore-triple"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        choose(page, 3);
        // A rectangle over the lower left of the plot of the first and third channel.
        QWidget *canvas = page->plotXZView()->canvas();
        const QPoint from(4, canvas->height() - 4);
        const QPoint to(canvas->width() / 2, canvas->height() / 3);
        QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint &at : {(from + to) / 2, to}) {
            // With the button held, as a hand drags.
            QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(canvas, &move);
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
        if (page->mode() != SelectRect)
            throw std::runtime_error("the drag picked no rectangle");
        return grabMarked(context, page);
    });
    tour.add(QStringLiteral("explore-population"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        choose(page, 0);
        return grabMarked(context, page);
    });
}
