// What the histogram and 1D pages compute without drawing: bin widths, the droplet layout of
// several wells, the grid, stored ranges, plot numbers, image names and the line predicates.
#include "plots/Histogram/histogram.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/dotlayout.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/common/plotpage.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include "testmain.h"

#include <QtTest>
#include <qwt_scale_div.h>
#include <qwt_text.h>

using Counts = QVector<uint>;
using Values = QVector<uint>;
using Cells = QVector<QPoint>;
using Ranges = QVector<WellAxisRange>;
using WellIds = QList<uint>;

Q_DECLARE_METATYPE(AxisRange)
Q_DECLARE_METATYPE(WellAxisRange)

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void binWidth_data();
    void binWidth();
    void droplets_data();
    void droplets();
    void wellBoundaries_data();
    void wellBoundaries();
    void grid_data();
    void grid();
    void storedRange_data();
    void storedRange();
    void plotNumbers_data();
    void plotNumbers();
    void imageNames_data();
    void imageNames();
    void histogramNearLine_data();
    void histogramNearLine();
    void dotCatch_data();
    void dotCatch();
};

namespace {

// n values spread evenly over [0, top].
Values spread(int n, uint top)
{
    Values v;
    for (int i = 0; i < n; ++i)
        v.append(uint(qint64(top) * i / qMax(1, n - 1)));
    return v;
}

// The widest width whose bins by value / width hold 16 or more values at least 17 times, by
// direct counting over bins enough for every value.
int countedWidth(const Values &values)
{
    if (values.isEmpty())
        return 5;
    const uint max = *std::max_element(values.begin(), values.end());
    for (int width = 315; width >= 10; width -= 5) {
        QMap<uint, int> bins;
        for (uint v : values)
            ++bins[v / uint(width)];
        int filled = 0;
        for (int n : bins)
            filled += n >= 16 ? 1 : 0;
        if (filled >= 17)
            return width;
        Q_UNUSED(max)
    }
    return 5;
}

} // namespace

void TestLayout::binWidth_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("width");
    // 20000 values over 0..20000: 315 wide bins hold about 315 values each, 64 of them.
    QTest::newRow("dense") << spread(20000, 20000) << 315;
    // 17 values per thousand grey levels: no width reaches 16 in 17 bins but narrow ones.
    QTest::newRow("sparse") << spread(300, 60000) << 5;
    // Bins of exactly 16 at width 100: 17 * 16 values over 0..1699, the largest an exact
    // multiple-of-width minus one; one more value at 1700 needs an 18th bin.
    {
        Values v;
        for (uint b = 0; b < 17; ++b)
            for (uint k = 0; k < 16; ++k)
                v.append(b * 100 + k * 6);
        v.append(1700);
        QTest::newRow("exact-multiple max") << v << countedWidth(v);
    }
    QTest::newRow("all at 0") << Values(500, 0) << 5;
    QTest::newRow("no droplets") << Values() << 5;
    {
        // Many values at the largest value, an exact multiple of 315.
        Values v = spread(10000, 3150);
        v += Values(40, 3150);
        QTest::newRow("peak at exact multiple") << v << countedWidth(v);
    }
}

void TestLayout::binWidth()
{
    QFETCH(Values, values);
    QFETCH(int, width);
    QCOMPARE(Histogram::binWidthOf(values), width);
    // Against plain counting: the fast path counts the same bins.
    QCOMPARE(Histogram::binWidthOf(values), countedWidth(values));
}

void TestLayout::droplets_data()
{
    QTest::addColumn<Counts>("counts");
    QTest::addColumn<Counts>("offsets");
    QTest::newRow("3000 and 600") << Counts{3000, 600} << Counts{0, 3100, 3720};
    QTest::newRow("three, small last") << Counts{900, 450, 20} << Counts{0, 930, 1395, 1415};
    QTest::newRow("one well") << Counts{59} << Counts{0, 60};
    QTest::newRow("empty well between") << Counts{30, 0, 30} << Counts{0, 31, 31, 62};
    Counts many(96, 20000);
    Counts offsets{0};
    for (int i = 0; i < 96; ++i)
        offsets.append(offsets.last() + 20000 + 666);
    QTest::newRow("96 x 20000") << many << offsets;
}

void TestLayout::droplets()
{
    QFETCH(Counts, counts);
    QFETCH(Counts, offsets);
    const DotLayout layout = dotLayout(counts);
    QCOMPARE(layout.offsets, offsets);
    QCOMPARE(layout.spans.size(), counts.size());
    const QVector<QPolygonF> lines = thresholdLines(layout, Counts(counts.size(), 1000));
    for (int i = 0; i < counts.size(); ++i) {
        QCOMPARE(layout.spans.at(i), qMakePair(offsets.at(i) - 0.5, offsets.at(i + 1) - 0.5));
        QCOMPARE(lines.at(i).first(), QPointF(offsets.at(i) - 0.5, 1000));
        QCOMPARE(lines.at(i).last(), QPointF(offsets.at(i + 1) - 0.5, 1000));
    }
    // Every droplet lies under its own well's span (inclusive, as the plot colours them) and
    // under no other; the hover finds its well from the droplet's x.
    for (int i = 0; i < counts.size(); ++i) {
        for (uint j = 0; j < counts.at(i); j += (counts.at(i) > 100 ? 97 : 1)) {
            const double x = offsets.at(i) + j;
            for (int k = 0; k < counts.size(); ++k) {
                const bool covered = x >= layout.spans.at(k).first && x <= layout.spans.at(k).second;
                QVERIFY2(covered == (k == i), qPrintable(QStringLiteral("droplet %1 of well %2 and well %3").arg(j).arg(i).arg(k)));
            }
            QCOMPARE(wellAtX(lines, x), i);
        }
        if (counts.at(i) > 0)
            QCOMPARE(wellAtX(lines, offsets.at(i) + counts.at(i) - 1), i);
    }
    QCOMPARE(wellAtX(lines, -3), -1);
}

// The plot lays wells out by the widths of their dotted lines: the boundaries must land where
// the next well's droplets start.
void TestLayout::wellBoundaries_data()
{
    QTest::addColumn<Counts>("counts");
    QTest::newRow("3000 and 600") << Counts{3000, 600};
    QTest::newRow("three, small last") << Counts{900, 450, 20};
    QTest::newRow("96 x 20000") << Counts(96, 20000);
}

void TestLayout::wellBoundaries()
{
    QFETCH(Counts, counts);
    const DotLayout layout = dotLayout(counts);
    Zetan1Plot plot;
    plot.setDottedThresholdLines(thresholdLines(layout, Counts(counts.size(), 500)));
    QStringList names;
    for (int i = 0; i < counts.size(); ++i)
        names.append(QStringLiteral("W%1").arg(i));
    plot.Set1DXAxisDivInfo(names, QStringLiteral("#888888"), 2.0);
    const QwtScaleDiv div = plot.axisScaleDiv(QwtPlot::xBottom);
    QList<double> expected{0.0};
    for (int i = 1; i < layout.offsets.size(); ++i)
        expected.append(layout.offsets.at(i));
    QCOMPARE(div.ticks(QwtScaleDiv::MediumTick), expected);
}

void TestLayout::grid_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<Cells>("plots");
    QTest::addColumn<Cells>("fillers");
    QTest::newRow("none") << 0 << Cells() << Cells();
    QTest::newRow("one") << 1 << Cells{{0, 0}} << Cells();
    QTest::newRow("two") << 2 << Cells{{0, 0}, {1, 0}} << Cells{{0, 1}, {1, 1}};
    QTest::newRow("three") << 3 << Cells{{0, 0}, {1, 0}, {0, 1}} << Cells{{1, 1}};
    QTest::newRow("four") << 4 << Cells{{0, 0}, {1, 0}, {0, 1}, {1, 1}} << Cells();
    QTest::newRow("five") << 5 << Cells() << Cells();
}

void TestLayout::grid()
{
    QFETCH(int, shown);
    const PlotGrid grid = plotGrid(shown);
    QTEST(grid.plots, "plots");
    QTEST(grid.fillers, "fillers");
}

void TestLayout::storedRange_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<WellIds>("selected");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<bool>("found");
    QTest::addColumn<AxisRange>("range");
    WellAxisRange w1;
    w1.wellID = 1;
    w1.ranges[1] = AxisRange(0.5, 900);
    WellAxisRange w2;
    w2.wellID = 2;
    w2.ranges[1] = AxisRange(20, 800);
    w2.ranges[2] = AxisRange(30, 700);
    QTest::newRow("none stored") << Ranges() << WellIds{1} << 2u << false << AxisRange();
    QTest::newRow("lower raised to 1") << Ranges{w1, w2} << WellIds{1, 2} << 2u << true << AxisRange(1.0, 900);
    QTest::newRow("first selected in store order") << Ranges{w1, w2} << WellIds{2, 1} << 2u << true << AxisRange(1.0, 900);
    QTest::newRow("unselected well skipped") << Ranges{w1, w2} << WellIds{2} << 2u << true << AxisRange(20, 800);
    QTest::newRow("pair never set") << Ranges{w1, w2} << WellIds{1, 2} << 3u << false << AxisRange();
    QTest::newRow("no entry of selection") << Ranges{w1} << WellIds{5} << 2u << false << AxisRange();
    QTest::newRow("channel out of range") << Ranges{w1} << WellIds{1} << 7u << false << AxisRange();
    // Typed the wrong way round, flat, or below 1 at both ends: nothing to draw the right way up.
    WellAxisRange typed;
    typed.wellID = 3;
    typed.ranges[0] = AxisRange(900, 100);
    typed.ranges[1] = AxisRange(300, 300);
    typed.ranges[2] = AxisRange(0.25, 0.5);
    QTest::newRow("inverted") << Ranges{typed} << WellIds{3} << 1u << false << AxisRange();
    QTest::newRow("flat") << Ranges{typed} << WellIds{3} << 2u << false << AxisRange();
    QTest::newRow("inverted once raised") << Ranges{typed} << WellIds{3} << 3u << false << AxisRange();
}

void TestLayout::storedRange()
{
    QFETCH(Ranges, ranges);
    QFETCH(WellIds, selected);
    QFETCH(uint, channel);
    QFETCH(bool, found);
    AxisRange range;
    QCOMPARE(storedAxisRange(ranges, selected, channel, &range), found);
    if (found)
        QTEST(range, "range");
}

void TestLayout::plotNumbers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("number");
    QTest::addColumn<uint>("channel");
    // Shown channels are 2, 5, 6.
    QTest::newRow("Histogram1") << "Histogram1" << "Histogram" << 1 << 2u;
    QTest::newRow("Histogram3") << "Histogram3" << "Histogram" << 3 << 6u;
    QTest::newRow("Histogram4 of three") << "Histogram4" << "Histogram" << 4 << 0u;
    QTest::newRow("Quorin1D2") << "Quorin1D2" << "Quorin1D" << 2 << 5u;
    QTest::newRow("other name") << "Histogram5" << "Histogram" << 0 << 0u;
    QTest::newRow("other page's name") << "Quorin1D1" << "Histogram" << 0 << 0u;
    QTest::newRow("no name") << "" << "Quorin1D" << 0 << 0u;
}

void TestLayout::plotNumbers()
{
    QFETCH(QString, name);
    QFETCH(QString, prefix);
    QFETCH(int, number);
    QObject sender;
    sender.setObjectName(name);
    QCOMPARE(plotNumberOf(&sender, prefix), number);
    QTEST(shownChannelOfPlot({2, 5, 6}, number), "channel");
}

void TestLayout::imageNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("png");
    QTest::addColumn<QString>("svg");
    QTest::addColumn<QString>("help");
    QTest::newRow("histogram") << "histogram" << "run7_FAM(Target)_Count_histogram.png"
                               << "run7_FAM(Target)_Count_histogram.svg" << "Histogram";
    QTest::newRow("1D") << "1DPlot" << "run7_FAM(Target)_Count_1DPlot.png" << "run7_FAM(Target)_Count_1DPlot.svg"
                        << "1DDotPlot";
}

void TestLayout::imageNames()
{
    QFETCH(QString, kind);
    QFETCH(QString, help);
    currentFileBaseName = QStringLiteral("run7");
    ZetanHistogramPlot plot;
    plot.SetTitleName(QwtPlot::xBottom, QStringLiteral("FAM(Target)"));
    plot.SetTitleName(QwtPlot::yLeft, QStringLiteral("Count"));
    const ImageActionNames names = plotImageNames(&plot, kind, help);
    QTEST(names.pngName, "png");
    QTEST(names.svgName, "svg");
    QCOMPARE(names.helpGroup, QStringLiteral("AnalyzePlot"));
    QCOMPARE(names.helpKey, help);
}

void TestLayout::histogramNearLine_data()
{
    QTest::addColumn<double>("line");
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("near");
    QTest::newRow("on") << 5000.0 << 5000 << true;
    QTest::newRow("199 left") << 5000.0 << 4801 << true;
    QTest::newRow("199 right") << 5000.0 << 5199 << true;
    QTest::newRow("200 left") << 5000.0 << 4800 << false;
    QTest::newRow("200 right") << 5000.0 << 5200 << false;
    QTest::newRow("left of the axis") << 100.0 << -99 << true;
    QTest::newRow("far left of the axis") << 100.0 << -100 << false;
}

void TestLayout::histogramNearLine()
{
    QFETCH(double, line);
    QFETCH(int, x);
    QTEST(nearHistogramLine(line, x), "near");
}

void TestLayout::dotCatch_data()
{
    QTest::addColumn<uint>("line");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("caught");
    QTest::newRow("on") << 5000u << 5000.7 << true;
    QTest::newRow("199 below") << 5000u << 4801.0 << true;
    QTest::newRow("200 below") << 5000u << 4800.0 << false;
    QTest::newRow("1 above") << 5000u << 5001.0 << false;
    QTest::newRow("below 0, line low") << 150u << -40.0 << true;
    QTest::newRow("below 0, line high") << 900u << -40.0 << false;
}

void TestLayout::dotCatch()
{
    QFETCH(uint, line);
    QFETCH(double, y);
    QTEST(catchesLine(line, greyAt(y)), "caught");
}

LUMARA_TEST_GUI_MAIN(TestLayout)
#include "tst_layout.moc"
