// The 1D dot-plot page on seeded documents: all droplets drawn, drags per well and in common
// scope, the reloads, the panel's properties, the axis bounds per well in both axis scopes,
// and a histogram drag seen as the 1D solid line.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/histogram.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/common/thresholdmodel.h"
#include "shell/appresources.h"

#include "testmain.h"

#include <QDialog>
#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>

using namespace ChannelPlotsTest;
using Rows = QList<int>;

class TestOneDotPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void init();
    void cleanup();
    void allDropletsDrawn();
    void drag_data();
    void drag();
    void reloads_data();
    void reloads();
    void panel_data();
    void panel();
    void panelWithoutShownChannel_data();
    void panelWithoutShownChannel();
    void axisBoundsPerWell_data();
    void axisBoundsPerWell();
    void histogramDragIsSolidLine();

private:
    void open(const BllTest::DocumentSeed &seed);
    std::unique_ptr<ThumbnailModel> m_thumbs;
    std::unique_ptr<Plot1DDot> m_page;
};

void TestOneDotPage::open(const BllTest::DocumentSeed &seed)
{
    m_page.reset();
    wellAxisRanges.clear();
    QVERIFY(load(seed));
    m_thumbs.reset(new ThumbnailModel);
    m_page.reset(new Plot1DDot(m_thumbs.get()));
    m_page->resize(1600, 1000);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    emit SignalTransfer::getInstance()->updateWellComplete();
    // A load starts in common scope; these cases start per well.
    isIndividualMode = 1;
    choose(m_page.get(), {0}, {0});
}

void TestOneDotPage::init()
{
    open(rampDocument({40, 40, 40}));
}

void TestOneDotPage::cleanup()
{
    m_page.reset();
    m_thumbs.reset();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// Points of the dot curves (lines are two-point line curves).
int drawnDroplets(const QwtPlot *plot)
{
    int n = 0;
    for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        auto *curve = static_cast<QwtPlotCurve *>(item);
        if (curve->style() == QwtPlotCurve::Dots)
            n += int(curve->dataSize());
    }
    return n;
}

void TestOneDotPage::allDropletsDrawn()
{
    BllTest::DocumentSeed seed = rampDocument({3010, 605}, {1});
    for (uint j = 0; j < 10; ++j)
        seed.wells[0].excluded.insert(j * 7);
    for (uint j = 0; j < 5; ++j)
        seed.wells[1].excluded.insert(600 - j);
    open(seed);
    choose(m_page.get(), {0, 1}, {0});
    QCOMPARE(bll()->getWellEffDropletCount(1), 3000);
    QCOMPARE(bll()->getWellEffDropletCount(2), 600);
    Zetan1Plot *plot = m_page->plot(0);
    QCOMPARE(drawnDroplets(plot), 3600);
    // The second well starts at 3100; its lines span exactly its droplets and the gap after.
    const QVector<QPolygonF> &lines = plot->solidThresholdLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(1).first().x(), 3099.5);
    QCOMPARE(lines.at(1).last().x(), 3719.5);
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).text(), QStringLiteral(" "));
    QCOMPARE(plot->axisTitle(QwtPlot::yLeft).text(), QStringLiteral("T1(D1)"));
    // One well: a numeric axis over its droplets and gap.
    choose(m_page.get(), {1}, {0});
    QCOMPARE(drawnDroplets(plot), 600);
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Droplet Index"));
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 620.0);
}

void TestOneDotPage::drag_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<Rows>("changed");
    QTest::newRow("per well: the second selected well") << 1 << Rows{2};
    QTest::newRow("common: every well") << 0 << Rows{0, 1, 2};
}

void TestOneDotPage::drag()
{
    QFETCH(int, scope);
    QFETCH(Rows, changed);
    isIndividualMode = scope;
    choose(m_page.get(), {0, 2}, {0, 1});
    Zetan1Plot *plot = m_page->plot(1); // channel 2
    QApplication::processEvents();
    const QVector<QPolygonF> lines = plot->solidThresholdLines();
    QCOMPARE(lines.size(), 2);
    // Middle of the second well's line, 50 grey values below it (caught), to 8000.
    const double x = (lines.at(1).first().x() + lines.at(1).last().x()) / 2;
    const QPoint target = pixel(plot, x, 8000);
    const uint expected = uint(std::trunc(valueAt(plot, target).y()));
    ChannelPlotsTest::drag(plot, QPointF(x, Threshold - 50), QPointF(x, 8000));
    const QList<uint> ids = wells()->getAllWellIDs();
    for (int row = 0; row < ids.size(); ++row) {
        QCOMPARE(wells()->getCachedThreshold(ids.at(row), 2), changed.contains(row) ? int(expected) : int(Threshold));
        QCOMPARE(bll()->getThldByLine(ids.at(row), 2), Threshold);
    }
    const QVector<QPolygonF> moved = plot->solidThresholdLines();
    QCOMPARE(moved.at(1).first().y(), double(expected));
    QCOMPARE(moved.at(0).first().y(), scope == 0 ? double(expected) : double(Threshold));
    // Common scope: the rows show the value; per well with two wells they show none.
    ThresholdModel *rows = m_page->thresholdModel();
    QCOMPARE(rows->data(rows->index(1, 0), ThresholdModel::ChannelThresholdRole).toString(),
             QString::number(expected));
}

void TestOneDotPage::reloads_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<bool>("reloaded");
    QTest::newRow("cancel") << QByteArray("cancelThreshold") << true;
    QTest::newRow("auto") << QByteArray("autoThreshold") << true;
    QTest::newRow("switch to per well") << QByteArray("switchIndividual") << true;
    QTest::newRow("switch to common") << QByteArray("switchCommon") << false;
    QTest::newRow("apply") << QByteArray("applyThreshold") << false;
}

void TestOneDotPage::reloads()
{
    QFETCH(QByteArray, action);
    QFETCH(bool, reloaded);
    m_page->thresholdModel()->setChannelThresholdValue(1, QStringLiteral("6400"));
    QCOMPARE(m_page->plot(0)->solidThresholdLines().first().first().y(), 6400.0);
    QCOMPARE(bll()->getThldByLine(1, 1), Threshold);
    qmlSignal(m_page.get(), action.constData());
    const int expected = reloaded ? int(bll()->getThldByLine(1, 1)) : 6400;
    QVERIFY(!reloaded || expected != 6400);
    QCOMPARE(wells()->getCachedThreshold(1, 1), expected);
    QCOMPARE(m_page->plot(0)->solidThresholdLines().first().first().y(), double(expected));
    QCOMPARE(m_page->plot(0)->dottedThresholdLines().first().first().y(), double(bll()->getThldByLine(1, 1)));
}

void TestOneDotPage::panel_data()
{
    QTest::addColumn<Rows>("selected");
    QTest::addColumn<Rows>("shown");
    QTest::addColumn<bool>("polygons");
    QTest::addColumn<bool>("axisApply");
    QTest::addColumn<bool>("parametersShow");
    QTest::newRow("one well, one channel") << Rows{1} << Rows{1} << false << true << true;
    QTest::newRow("one well, two channels") << Rows{1} << Rows{0, 1} << false << true << false;
    QTest::newRow("two wells") << Rows{0, 1} << Rows{1} << false << false << false;
    QTest::newRow("polygons") << Rows{1} << Rows{1} << true << true << true;
}

void TestOneDotPage::panel()
{
    QFETCH(Rows, selected);
    QFETCH(Rows, shown);
    QFETCH(bool, polygons);
    QFETCH(bool, axisApply);
    QFETCH(bool, parametersShow);
    if (polygons) {
        ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        qmlSignal(m_page.get(), "switchPolygonModel");
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
    }
    choose(m_page.get(), selected, shown);
    QObject *root = m_page->qmlRoot();
    QCOMPARE(root->property("moreParameterEnable").toBool(), !polygons);
    QCOMPARE(root->property("axisApply").toBool(), axisApply);
    QCOMPARE(root->property("parametersShow").toBool(), parametersShow);
    QCOMPARE(root->property("isLinerType").toBool(), !polygons);
    if (!parametersShow) {
        QCOMPARE(root->property("effDroplets").toString(), QString());
        QCOMPARE(root->property("pFu").toString(), QString());
        QCOMPARE(root->property("dropletNumbersAbnormal").toBool(), true);
        return;
    }
    const uint well = uint(selected.first() + 1);
    const uint eff = bll()->getWellDropletNum(well);
    const uint ref = bll()->getNumbersRef(well);
    QCOMPARE(root->property("effDroplets").toString(), QString::number(eff));
    QCOMPARE(root->property("refDroplets").toString(), QString::number(ref));
    QCOMPARE(root->property("pFu").toString(),
             polygons ? QStringLiteral("---") : QString::number(bll()->getPFuMean(well, uint(shown.first() + 1)), 'f', 2));
    QCOMPARE(root->property("dropletNumbersAbnormal").toBool(), !(eff < ref));
}

void TestOneDotPage::panelWithoutShownChannel_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("a well without a target channel") << 1;
    QTest::newRow("a well without the shown channel") << 2;
}

// Channel 1 of well 1 shown, then a well that shows no channel: the panel's figures are empty
// and hidden, as before anything was shown.
void TestOneDotPage::panelWithoutShownChannel()
{
    QFETCH(int, row);
    BllTest::DocumentSeed seed = rampDocument({40, 40, 40});
    seed.wells[1].channels = {};
    seed.wells[2].channels = {2};
    open(seed);
    choose(m_page.get(), {0}, {0});
    QObject *root = m_page->qmlRoot();
    QCOMPARE(root->property("parametersShow").toBool(), true);
    QVERIFY(!root->property("pFu").toString().isEmpty());
    selectRows({row});
    emit m_page->wellListView()->sigWellSelectChange();
    QVERIFY(m_page->thumbnailModel()->getShownChannelIds().isEmpty());
    QCOMPARE(root->property("parametersShow").toBool(), false);
    QCOMPARE(root->property("effDroplets").toString(), QString());
    QCOMPARE(root->property("refDroplets").toString(), QString());
    QCOMPARE(root->property("pFu").toString(), QString());
}

void TestOneDotPage::axisBoundsPerWell_data()
{
    QTest::addColumn<int>("axisScope");
    QTest::newRow("each well's range") << 1;
    QTest::newRow("one range for all wells") << 0;
}

void TestOneDotPage::axisBoundsPerWell()
{
    QFETCH(int, axisScope);
    choose(m_page.get(), {0, 2}, {0, 1});
    qmlSignal(m_page.get(), axisScope == 1 ? "switchAxisIndividual" : "switchAxisApplyAll");
    QCOMPARE(isAxisIndividual, axisScope);
    ModalAnswerer answerer(typedBounds(QStringLiteral("0.5"), QStringLiteral("9000")));
    emit m_page->plot(1)->axisYLeftDoubleClicked(0, 20000);
    QCOMPARE(answerer.seen(), QStringList{QStringLiteral("Plot1DpropertyDialog")});
    QCOMPARE(m_page->activePlot(), 2);
    QCOMPARE(wellAxisRanges.size(), 2);
    QCOMPARE(wellAxisRanges.at(0).wellID, 1u);
    QCOMPARE(wellAxisRanges.at(1).wellID, 3u);
    for (const WellAxisRange &entry : wellAxisRanges) {
        QCOMPARE(entry.ranges.at(1), AxisRange(0.5, 9000));
        QCOMPARE(entry.ranges.at(0), AxisRange(-1.0, -1.0));
    }
    const QwtScaleDiv div = m_page->plot(1)->axisScaleDiv(QwtPlot::yLeft);
    if (axisScope == 1) {
        QCOMPARE(div.lowerBound(), 1.0);
        QCOMPARE(div.upperBound(), 9000.0);
        // Channel 1's pair was never set: its automatic range, not an inverted axis.
        const QwtScaleDiv other = m_page->plot(0)->axisScaleDiv(QwtPlot::yLeft);
        QVERIFY(other.lowerBound() < other.upperBound());
        QCOMPARE(AxisRange(other.lowerBound(), other.upperBound()), m_page->automaticRanges().at(0));
    } else {
        QCOMPARE(AxisRange(div.lowerBound(), div.upperBound()), commonAxisRanges.at(1));
    }
}

// What the user drags on the histogram is what the 1D page shows as its solid line.
void TestOneDotPage::histogramDragIsSolidLine()
{
    ThumbnailModel histogramThumbs;
    Histogram histogram(&histogramThumbs);
    histogram.resize(1600, 900);
    histogram.show();
    QVERIFY(QTest::qWaitForWindowExposed(&histogram));
    choose(&histogram, {1}, {0});
    ZetanHistogramPlot *bars = histogram.plot(0);
    QApplication::processEvents();
    const uint dragged = uint(std::trunc(valueAt(bars, pixel(bars, 9000, 1)).x()));
    ChannelPlotsTest::drag(bars, QPointF(Threshold, 1), QPointF(9000, 1));
    QCOMPARE(wells()->getCachedThreshold(2, 1), int(dragged));
    m_page->refresh();
    choose(m_page.get(), {1}, {0});
    QCOMPARE(m_page->plot(0)->solidThresholdLines().first().first().y(), double(dragged));
    QCOMPARE(m_page->plot(0)->dottedThresholdLines().first().first().y(), double(Threshold));
}

LUMARA_TEST_GUI_MAIN(TestOneDotPage)
#include "tst_onedotpage.moc"
