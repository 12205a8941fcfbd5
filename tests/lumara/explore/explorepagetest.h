#pragma once
// What the explore page tests share: seeded wells with droplet images of every channel they
// use, the page on screen after its refresh, and the ways a user's choices reach it (the
// drop-downs' presses, the plots' signals, the tool bar's root signals).
#include "pages/DropletImage/dropletmarker.h"
#include "pages/Explore/explore1ddot.h"
#include "pages/Explore/explore2ddot.h"
#include "pages/Explore/explorepage.h"
#include "pages/Explore/exploreview.h"
#include "pages/Explore/quorinbox.h"

#include "../viewer/viewertest.h"

#include <QLabel>
#include <QListWidget>
#include <QQuickItem>
#include <QtTest>

#include <qwt_plot_curve.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_scale_div.h>

#include <memory>

namespace ExploreTest {

using namespace ViewerTest;

constexpr uint Threshold4 = 1500;

// Channel 4 alternates above and below its threshold.
inline uint grey4(int i)
{
    return i % 2 == 0 ? 800 : 2500;
}

inline uint greyOf(uint channel, int i)
{
    switch (channel) {
    case 1:
        return grey1(i);
    case 2:
        return grey2(i);
    case 4:
        return grey4(i);
    default:
        return 0;
    }
}

// A well of 24 droplets on the given target channels (of 1, 2 and 4), reference channel 3, an
// image for every channel it uses.
inline BllTest::WellSeed exploreWell(uint id, const QString &position, const QList<uint> &channels)
{
    BllTest::WellSeed w = BllTest::well(id, position, channels);
    for (int i = 0; i < DropletCount; ++i) {
        BllTest::Greys g{};
        for (uint c : {1u, 2u, 4u})
            g[c - 1] = greyOf(c, i);
        BllTest::DropletSeed d = BllTest::droplet(g);
        d.centre = centreOf(i);
        w.droplets.append(d);
    }
    w.lineThresholds[0] = Threshold1;
    w.lineThresholds[1] = Threshold2;
    w.lineThresholds[3] = Threshold4;
    w.channelImages = QVector<QImage>(4);
    for (uint c : channels)
        w.channelImages[int(c) - 1] = dropletImage(false);
    w.channelImages[2] = dropletImage(false); // the reference channel
    return w;
}

// Wells 1 and 3 on channels 1, 2 and 4; well 2 (of another run) on 2 and 4 only.
inline BllTest::DocumentSeed exploreSeed()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 4});
    seed.wells = {exploreWell(1, QStringLiteral("A1"), {1, 2, 4}), exploreWell(2, QStringLiteral("A2"), {2, 4}),
                  exploreWell(3, QStringLiteral("A3"), {1, 2, 4})};
    return seed;
}

inline std::unique_ptr<ExplorePage> shownPage()
{
    auto page = std::make_unique<ExplorePage>();
    page->resize(1600, 1000);
    page->show();
    if (!QTest::qWaitForWindowExposed(page.get()))
        return nullptr;
    return page;
}

// The user's press on the entry of that name; false when the box has none.
inline bool choose(QuorinBox *box, const QString &name)
{
    for (int i = 0; i < box->list()->count(); ++i) {
        QListWidgetItem *item = box->list()->item(i);
        if (item->data(QuorinBox::NameRole).toString() == name) {
            box->list()->setCurrentRow(i);
            box->updateItem(item);
            return true;
        }
    }
    return false;
}

// A root signal of the tool bar, as its control emits it.
template <typename... Args>
bool toolBar(ExplorePage &page, const char *signal, Args... args)
{
    return QMetaObject::invokeMethod(page.toolBar(), signal, args...);
}

inline QSet<uint> markedIds(const ExplorePage &page)
{
    return idsOf(markersOf(*page.imageView()));
}

// The pick on a plot; empty when it is not attached.
inline QRectF pickOf(const QwtPlot *plot, const QwtPlotShapeItem *shape)
{
    return shape->plot() == plot ? shape->shape().boundingRect() : QRectF();
}

// The dots a plot shows, over all its dot curves.
inline int dotCount(const QwtPlot *plot)
{
    int count = 0;
    for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        const auto *curve = static_cast<QwtPlotCurve *>(item);
        if (curve->style() == QwtPlotCurve::Dots)
            count += int(curve->dataSize());
    }
    return count;
}

inline QPair<double, double> axisRange(const QwtPlot *plot, int axis)
{
    const QwtScaleDiv &div = plot->axisScaleDiv(axis);
    return qMakePair(div.lowerBound(), div.upperBound());
}

inline QString sortedIds(const QSet<uint> &ids)
{
    QList<uint> list = ids.values();
    std::sort(list.begin(), list.end());
    QStringList parts;
    for (uint id : list)
        parts.append(QString::number(id));
    return parts.join(QLatin1Char(','));
}

// What the user sees of the page and what its commands would act on, one line per item: the
// drop-downs, the mode and pick, the image with its markers and picks, every plot with its
// dots, axes and pick, and the tool bar's channel buttons. Two pages showing the same
// document the same way give the same lines.
inline QStringList stateOf(const ExplorePage &page)
{
    QStringList state;
    const auto items = [](const QuorinBox *box) {
        QStringList names;
        for (int i = 0; i < box->list()->count(); ++i)
            names.append(box->list()->item(i)->data(QuorinBox::NameRole).toString());
        return names.join(QLatin1Char('|'));
    };
    state << QStringLiteral("plots %1 current %2").arg(items(page.plots()), page.plots()->currentName());
    state << QStringLiteral("populations %1 shown '%2' dot %3")
                 .arg(items(page.populations()), page.populations()->labelText(),
                      page.populationSign()->property("dotColour").toString());
    state << QStringLiteral("mode %1 pick %2 channel %3")
                 .arg(int(page.mode()))
                 .arg(page.picking())
                 .arg(page.shownChannel());
    const ExploreView *view = page.imageView();
    QString modes;
    for (uint channel = 1; channel <= 6; ++channel)
        modes += QString::number(view->getAdjustType(channel));
    state << QStringLiteral("image well %1 channel %2 shown %3 zoom %4 modes %5")
                 .arg(view->shownWell())
                 .arg(view->shownChannel())
                 .arg(view->imageItem() != nullptr)
                 .arg(view->zoomStepCount())
                 .arg(modes);
    state << QStringLiteral("marked %1 picked %2")
                 .arg(sortedIds(idsOf(markersOf(*view))), sortedIds(selectedIds(*view)));
    const QVector<QPair<const QwtPlot *, const QwtPlotShapeItem *>> plots = {
        {page.plot1DView(), page.plot1DView()->shape()},
        {page.plotXYView(), page.plotXYView()->shape()},
        {page.plotXZView(), page.plotXZView()->shape()},
        {page.plotYZView(), page.plotYZView()->shape()}};
    for (int i = 0; i < plots.size(); ++i) {
        const QwtPlot *plot = plots[i].first;
        const bool visible = page.holder(i)->isVisible();
        QString line = QStringLiteral("%1 visible %2").arg(plot->objectName()).arg(visible);
        if (visible) {
            const QRectF pick = pickOf(plot, plots[i].second);
            const QPair<double, double> x = axisRange(plot, QwtPlot::xBottom);
            const QPair<double, double> y = axisRange(plot, QwtPlot::yLeft);
            line += QStringLiteral(" dots %1 x %2..%3 y %4..%5 pick %6,%7 %8x%9")
                        .arg(dotCount(plot))
                        .arg(x.first)
                        .arg(x.second)
                        .arg(y.first)
                        .arg(y.second)
                        .arg(pick.x())
                        .arg(pick.y())
                        .arg(pick.width())
                        .arg(pick.height());
        }
        state << line;
    }
    if (const QObject *root = page.toolBar()) {
        QString buttons;
        for (int n = 1; n <= 6; ++n)
            buttons += root->property(qPrintable(QStringLiteral("channel%1Status").arg(n))).toBool() ? QLatin1Char('1')
                                                                                                      : QLatin1Char('0');
        state << QStringLiteral("tool bar %1 channels %2").arg(root->property("uiEnabled").toBool()).arg(buttons);
    }
    return state;
}

} // namespace ExploreTest
