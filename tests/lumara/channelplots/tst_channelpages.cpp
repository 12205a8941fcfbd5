// What the histogram, 1D and 2D pages do alike: another document loaded while one of them is
// on screen (the histogram and 1D pages sharing their thumbnails, the other one hidden), the
// switch to polygons marking the file changed, and a typed inverted axis range.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/histogram.h"
#include "plots/Histogram/histogrampropertydialog.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/OneDotPlot/plot1dpropertydialog.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/common/thresholdmodel.h"
#include "shell/appresources.h"
#include "shell/menubar.h"

#include "testmain.h"

#include <QGridLayout>
#include <qwt_scale_div.h>

#include <memory>
#include <vector>

using namespace ChannelPlotsTest;

namespace {

enum Kind { HistogramPage, OneDotPage, TwoDotPage };

// The pages of one kind as the container holds them: the histogram and 1D pages on one
// thumbnail model (the one not tested is built too, and stays hidden).
struct Pages {
    explicit Pages(Kind kind)
    {
        if (kind == TwoDotPage) {
            tested = new Plot2DDot;
            owned.emplace_back(tested);
            return;
        }
        thumbnails.reset(new ThumbnailModel);
        ChannelPlotPage *histogram = new Histogram(thumbnails.get());
        ChannelPlotPage *oneDot = new Plot1DDot(thumbnails.get());
        owned.emplace_back(histogram);
        owned.emplace_back(oneDot);
        tested = kind == HistogramPage ? histogram : oneDot;
    }
    ~Pages() { owned.clear(); }
    bool show()
    {
        tested->resize(1600, 1000);
        tested->show();
        return QTest::qWaitForWindowExposed(tested);
    }
    std::unique_ptr<ThumbnailModel> thumbnails;
    std::vector<std::unique_ptr<QWidget>> owned;
    ChannelPlotPage *tested = nullptr;
};

// Channels 1 to 4 in three wells, three 2D combinations.
BllTest::DocumentSeed documentA()
{
    BllTest::DocumentSeed seed = rampDocument({40, 30, 20}, {1, 2, 3, 4});
    seed.plots2D = {{QStringLiteral("A12"), {1u, 2u}}, {QStringLiteral("A34"), {3u, 4u}}, {QStringLiteral("A13"), {1u, 3u}}};
    return seed;
}

// Channels 2 and 3 in two wells of other sizes, one combination.
BllTest::DocumentSeed documentB()
{
    BllTest::DocumentSeed seed = rampDocument({25, 35}, {2, 3});
    seed.plots2D = {{QStringLiteral("B23"), {2u, 3u}}};
    return seed;
}

// What the page shows and would take input on, as text.
QStringList shown(ChannelPlotPage *page)
{
    QStringList out;
    ThumbnailModel *thumbs = page->thumbnailModel();
    for (int r = 0; r < thumbs->rowCount(); ++r) {
        const QModelIndex i = thumbs->index(r, 0);
        out << QStringLiteral("thumbnail %1 %2 shown %3 marked %4")
                   .arg(i.data(ThumbnailModel::TitleRole).toString())
                   .arg(i.data(ThumbnailModel::PlotIdRole).toUInt())
                   .arg(i.data(ThumbnailModel::ShownRole).toBool())
                   .arg(i.data(ThumbnailModel::MarkedRole).toBool());
    }
    ThresholdModel *rows = page->thresholdModel();
    for (int r = 0; r < rows->rowCount(); ++r) {
        const QModelIndex i = rows->index(r, 0);
        out << QStringLiteral("threshold %1 '%2' editable %3")
                   .arg(i.data(ThresholdModel::ChannelIDRole).toUInt())
                   .arg(i.data(ThresholdModel::ChannelThresholdRole).toString())
                   .arg(i.data(ThresholdModel::ThresholdEditAbleRole).toBool());
    }
    QGridLayout *grid = page->plotGrid();
    for (int k = 0; k < grid->count(); ++k) {
        QWidget *w = grid->itemAt(k)->widget();
        out << QStringLiteral("cell %1 %2").arg(k).arg(w ? w->objectName() : QString());
    }
    for (const char *name : {"isLinerType", "isCommonAll", "isSpecialKit", "uiEnable", "axisApply", "parametersShow",
                             "effDroplets", "refDroplets", "pFu", "deleteEnable", "enableApply", "enableRemove"})
        out << QStringLiteral("%1 %2").arg(QLatin1String(name), page->qmlRoot()->property(name).toString());
    out << QStringLiteral("scope %1").arg(isIndividualMode);
    return out;
}

QImage plotsOf(ChannelPlotPage *page)
{
    return page->plotArea()->grab().toImage();
}

void answerYes(QWidget *modal)
{
    static_cast<QDialog *>(modal)->done(1);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestChannelPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }

    void reloadOnScreen_data();
    void reloadOnScreen();
    void polygonSwitchMarksFile_data();
    void polygonSwitchMarksFile();
    void invertedRangeRefused_data();
    void invertedRangeRefused();
};

void TestChannelPages::reloadOnScreen_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("histogram") << HistogramPage;
    QTest::newRow("1D") << OneDotPage;
    QTest::newRow("2D") << TwoDotPage;
}

// Left with another document's wells, plots, typed threshold and scope, the page on screen
// shows what a fresh page shows on the document loaded next, before anything else happens.
void TestChannelPages::reloadOnScreen()
{
    QFETCH(Kind, kind);
    QVERIFY(load(documentA()));
    Pages pages(kind);
    ChannelPlotPage *page = pages.tested;
    QVERIFY(pages.show());
    page->refresh();
    qmlSignal(page, "switchIndividual");
    choose(page, {1, 2}, {1, 2});
    selectRows({1});
    emit page->wellListView()->sigWellSelectChange();
    page->thresholdModel()->setChannelThresholdValue(3, QStringLiteral("6400"));
    QVERIFY(page->thumbnailModel()->rowCount() > 1);

    QVERIFY(load(documentB()));
    const QStringList reloaded = shown(page);
    const QImage reloadedPlots = plotsOf(page);

    // A fresh open of that document: the pages hear the reload while hidden, then one shows.
    Pages fresh(kind);
    emit SignalTransfer::getInstance()->updateWellComplete();
    QVERIFY(fresh.show());
    fresh.tested->refresh();
    QCOMPARE(reloaded, shown(fresh.tested));
    QVERIFY(reloadedPlots == plotsOf(fresh.tested));
    // Not two empty pages alike: the new document's thumbnails, rows and plots are there.
    QVERIFY(page->thumbnailModel()->rowCount() > 0);
    QVERIFY(page->thresholdModel()->rowCount() > 0);
    QVERIFY(page->plotGrid()->count() > 0);
}

void TestChannelPages::polygonSwitchMarksFile_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("histogram") << HistogramPage;
    QTest::newRow("1D") << OneDotPage;
    QTest::newRow("2D") << TwoDotPage;
}

// The accepted switch to polygons changes the file: the title gets its mark, as every change.
void TestChannelPages::polygonSwitchMarksFile()
{
    QFETCH(Kind, kind);
    QVERIFY(load(documentA()));
    currentFileBaseName = QStringLiteral("run");
    MenuBar menu;
    menu.fileName(currentFileBaseName);
    Pages pages(kind);
    ChannelPlotPage *page = pages.tested;
    QVERIFY(pages.show());
    page->refresh();
    {
        ModalAnswerer answerer(answerYes);
        qmlSignal(page, "switchPolygonModel");
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
    }
    QCOMPARE(bll()->getThldType(), LumaraAnalysisData::PolygonThreshold);
    QCOMPARE(static_cast<MenuBar *>(&menu)->property(QStringLiteral("fileName")), QStringLiteral("* run"));
}

void TestChannelPages::invertedRangeRefused_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("histogram") << HistogramPage;
    QTest::newRow("1D") << OneDotPage;
}

// Bounds typed the wrong way round are no range: the vertical axis stays the right way up, in
// the plot, in the ranges the thumbnails find and in the range for all wells.
void TestChannelPages::invertedRangeRefused()
{
    QFETCH(Kind, kind);
    QVERIFY(load(documentA()));
    histogramLogAxis = 0;
    Pages pages(kind);
    ChannelPlotPage *page = pages.tested;
    QVERIFY(pages.show());
    page->refresh();
    choose(page, {0}, {0});
    QwtPlot *plot = kind == HistogramPage ? static_cast<QwtPlot *>(static_cast<Histogram *>(page)->plot(0))
                                          : static_cast<QwtPlot *>(static_cast<Plot1DDot *>(page)->plot(0));
    // The histogram's dialog comes up linear, as the count axis is.
    ModalAnswerer answerer(typedBounds(QStringLiteral("900"), QStringLiteral("100")));
    emit static_cast<QwtBasic *>(plot)->axisYLeftDoubleClicked(0, 30);
    QCOMPARE(answerer.seen().size(), 1);
    const auto upright = [](const QwtScaleDiv &div) { return div.lowerBound() < div.upperBound(); };
    QVERIFY(upright(plot->axisScaleDiv(QwtPlot::yLeft)));
    QVERIFY(plot->axisScaleDiv(QwtPlot::yLeft).lowerBound() != 900.0);
    if (kind == OneDotPage) {
        auto *oneDot = static_cast<Plot1DDot *>(page);
        const AxisRange automatic = oneDot->automaticRanges().at(0);
        QVERIFY(automatic.first < automatic.second);
        qmlSignal(page, "switchAxisApplyAll");
        QVERIFY(upright(plot->axisScaleDiv(QwtPlot::yLeft)));
        qmlSignal(page, "switchAxisIndividual");
    }
}

LUMARA_TEST_GUI_MAIN(TestChannelPages)
#include "tst_channelpages.moc"
