#pragma once
// What the page tests share: a seeded document loaded the way a file is, wells and channels
// chosen as a user does, plots driven by real mouse events, and modal dialogs answered.
#include "plots/common/channelplotpage.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"

#include "bllaccess.h"
#include "bll/signaltransfer.h"
#include "modalanswerer.h"
#include "seeddocument.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>

namespace ChannelPlotsTest {

constexpr uint Threshold = 5000;

inline WellListModel *wells()
{
    return WellListModel::instance();
}

// Droplet j of a well has grey 1000 + 300 j + 10 c in channel c.
inline QVector<BllTest::DropletSeed> ramp(int n)
{
    QVector<BllTest::DropletSeed> droplets;
    for (int j = 0; j < n; ++j) {
        BllTest::Greys g{};
        for (uint c = 0; c < 6; ++c)
            g[c] = 1000 + 300 * uint(j) + 10 * (c + 1);
        droplets.append(BllTest::droplet(g));
    }
    return droplets;
}

// Wells 1.. at A1.. on the channels, `counts` droplets each, every line threshold 5000.
inline BllTest::DocumentSeed rampDocument(const QVector<int> &counts, const QList<uint> &channels = {1, 2, 3})
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets(channels);
    for (int i = 0; i < counts.size(); ++i) {
        BllTest::WellSeed w = BllTest::well(uint(i + 1), QStringLiteral("A%1").arg(i + 1), channels, ramp(counts.at(i)));
        w.lineThresholds.fill(Threshold);
        seed.wells.append(w);
    }
    return seed;
}

// Seeds, recounts and lets the hub announce the wells, as opening a file does.
inline bool load(const BllTest::DocumentSeed &seed)
{
    QString error;
    if (!BllTest::seedDocument(seed, nullptr, &error)) {
        qWarning() << error;
        return false;
    }
    for (const BllTest::WellSeed &w : seed.wells)
        bll()->updateZonesDroplets(w.id, false);
    wells()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    return true;
}

inline void selectRows(const QList<int> &rows)
{
    wells()->clearSelect();
    for (int row : rows)
        wells()->setData(wells()->index(row, 0), true, WellListModel::WellSelect);
}

// The page after the user chose the wells and then the shown channels (thumbnail rows).
inline void choose(ChannelPlotPage *page, const QList<int> &wellRows, const QList<int> &thumbnailRows)
{
    selectRows(wellRows);
    emit page->wellListView()->sigWellSelectChange();
    ThumbnailModel *thumbs = page->thumbnailModel();
    for (int row : thumbnailRows)
        thumbs->setData(thumbs->index(row, 0), true, ThumbnailModel::ShownRole);
    for (int row = 0; row < thumbs->rowCount(); ++row) {
        if (!thumbnailRows.contains(row))
            thumbs->setData(thumbs->index(row, 0), false, ThumbnailModel::ShownRole);
    }
    emit page->thumbnailView()->modelDataChange();
}

// Runs a slot of the QML root as its buttons do.
inline void qmlSignal(ChannelPlotPage *page, const char *signal)
{
    QVERIFY(QMetaObject::invokeMethod(page->qmlRoot(), signal));
}

// The canvas pixel of a plot value, and the value the plot takes that pixel for.
inline QPoint pixel(const QwtPlot *plot, double x, double y)
{
    return QPoint(qRound(plot->transform(QwtPlot::xBottom, x)), qRound(plot->transform(QwtPlot::yLeft, y)));
}
inline QPointF valueAt(const QwtPlot *plot, const QPoint &pixel)
{
    return QPointF(plot->invTransform(QwtPlot::xBottom, pixel.x()), plot->invTransform(QwtPlot::yLeft, pixel.y()));
}

// A left-button drag on the canvas from one canvas pixel to another (it may lie outside the
// canvas), as a hand does it: the pointer comes to rest on the first, then presses.
inline void dragPixels(QwtPlot *plot, const QPoint &a, const QPoint &b)
{
    QWidget *canvas = plot->canvas();
    QTest::mouseMove(canvas, a + QPoint(1, 0));
    QTest::mouseMove(canvas, a);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(canvas, (a + b) / 2);
    QTest::mouseMove(canvas, b);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, b);
}

// The same from one plot value to another.
inline void drag(QwtPlot *plot, const QPointF &from, const QPointF &to)
{
    dragPixels(plot, pixel(plot, from.x(), from.y()), pixel(plot, to.x(), to.y()));
}

using LumaraTest::ModalAnswerer;

// Answers the vertical-bounds dialog of the histogram or 1D page with the two bounds typed
// and Yes; any other modal is closed.
inline std::function<void(QWidget *)> typedBounds(const QString &lower, const QString &upper)
{
    return [lower, upper](QWidget *modal) {
        auto *view = modal->findChild<QQuickWidget *>();
        QObject *root = view ? view->rootObject() : nullptr;
        if (!root) {
            modal->close();
            return;
        }
        root->setProperty("lowerBound", lower);
        root->setProperty("upperBound", upper);
        QMetaObject::invokeMethod(root, "clickYes");
    };
}

// The QML object of the page's panel by its object name.
inline QObject *qmlChild(ChannelPlotPage *page, const QString &name)
{
    return page->qmlRoot() ? page->qmlRoot()->findChild<QObject *>(name) : nullptr;
}

} // namespace ChannelPlotsTest
