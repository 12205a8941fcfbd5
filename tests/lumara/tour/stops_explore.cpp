// The Explore page as a user meets it: a 1D plot with the droplets above its threshold marked
// on the image, a pair with a quadrant picked, a triple with a rectangle dragged on the plot of
// its first and third channel, and a population marked; the page as it is where the package
// gives no plot of that many channels.
#include "tour.h"

#include "bll/bllinstance.h"
#include "pages/DropletImage/dropletmarker.h"
#include "pages/Explore/explore1ddot.h"
#include "pages/Explore/explore2ddot.h"
#include "pages/Explore/explorepage.h"
#include "pages/Explore/exploreview.h"
#include "pages/Explore/quorinbox.h"
#include "pages/explore.h"
#include "shell/mainwindows.h"
#include "shell/welllistmodel.h"

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

// Presses the first entry with that many channels (0: the first population); empty when the
// package gives none.
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
    return QString();
}

int markerCount(ExplorePage *page)
{
    int count = 0;
    if (QGraphicsItem *image = page->imageView()->imageItem())
        for (QGraphicsItem *child : image->childItems())
            count += DropletMarker::fromItem(child) ? 1 : 0;
    return count;
}

// Whether a kept droplet of the shown well is positive in every one of the entry's channels.
bool anyPositive(ExplorePage *page, const QString &entry)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const int well = WellListModel::instance()->getSelectWellID();
    const QVector<uint> channels = explorePlotChannels(page->entries(), entry);
    if (well < 1 || channels.isEmpty())
        return false;
    QVector<QVector<uint>> greys;
    for (uint c : channels)
        greys.append(bll->getWellChannelGrayValues(uint(well), c));
    for (int d = 0; d < greys.first().size(); ++d) {
        bool all = true;
        for (int i = 0; i < channels.size() && all; ++i)
            all = d < greys.at(i).size() && greys.at(i).at(d) >= bll->getThldByLine(uint(well), channels.at(i));
        if (all)
            return true;
    }
    return false;
}

// The window with what the stop marked; marked must be true where the package gives droplets
// to mark.
QImage grabMarked(TourContext &context, ExplorePage *page, bool expected)
{
    if (expected && markerCount(page) == 0)
        throw std::runtime_error("nothing is marked on the image");
    return grabWindow(context.window);
}

} // namespace

void addExploreStops(Tour &tour)
{
    tour.add(QStringLiteral("explore-1d"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        const QString entry = choose(page, 1);
        if (entry.isEmpty())
            return grabWindow(context.window);
        // A click high on the plot: the droplets above the threshold.
        QWidget *canvas = page->plot1DView()->canvas();
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(canvas->width() / 2, 8));
        return grabMarked(context, page, anyPositive(page, entry));
    });
    tour.add(QStringLiteral("explore-pair"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        const QString entry = choose(page, 2);
        if (entry.isEmpty())
            return grabWindow(context.window);
        // Top right: the droplets positive in both channels.
        QWidget *canvas = page->plotXYView()->canvas();
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(canvas->width() - 8, 8));
        return grabMarked(context, page, anyPositive(page, entry));
    });
    tour.add(QStringLiteral("explore-triple"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        if (choose(page, 3).isEmpty())
            return grabWindow(context.window);
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
        // What the rectangle holds depends on the package's droplets.
        return grabMarked(context, page, false);
    });
    tour.add(QStringLiteral("explore-population"), [](TourContext &context) {
        ExplorePage *page = openExplore(context);
        choose(page, 0);
        return grabMarked(context, page, false);
    });
}
