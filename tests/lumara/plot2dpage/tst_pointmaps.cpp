// The 2D page's pure rules: the quadrant and zone point maps, the grid cells, the stored axis
// ranges, the vertex tolerance, the thumbnail title and the proposed population colours.
#include "plots/TwoDotPlot/pointmaps.h"
#include "plots/common/plotpage.h"

#include "testmain.h"

#include <QtTest>

Q_DECLARE_METATYPE(PlotPolygonInfo)
Q_DECLARE_METATYPE(WellAxisRange)

using Greys = QVector<uint>;
using Counts = QVector<int>; // both, y only, neither, x only

class TestPointMaps : public QObject {
    Q_OBJECT
private slots:
    void quadrants_data();
    void quadrants();
    void zones_data();
    void zones();
    void grid_data();
    void grid();
    void axisRange_data();
    void axisRange();
    void tolerance_data();
    void tolerance();
    void titleAndColour();
};

void TestPointMaps::quadrants_data()
{
    QTest::addColumn<Greys>("gx");
    QTest::addColumn<Greys>("gy");
    QTest::addColumn<uint>("tx");
    QTest::addColumn<uint>("ty");
    QTest::addColumn<Counts>("counts");

    QTest::newRow("one per quadrant") << Greys{900, 100, 100, 900} << Greys{900, 900, 100, 100} << 500u << 500u
                                      << Counts{1, 1, 1, 1};
    // On the threshold is positive, as the recount counts it.
    QTest::newRow("ties") << Greys{500, 499, 500, 499} << Greys{500, 500, 499, 499} << 500u << 500u
                          << Counts{1, 1, 1, 1};
    QTest::newRow("threshold 0: all positive") << Greys{0, 0, 7} << Greys{0, 5, 0} << 0u << 0u << Counts{3, 0, 0, 0};
    QTest::newRow("x threshold 0 only") << Greys{0, 3} << Greys{10, 0} << 0u << 5u << Counts{1, 0, 0, 1};
    QTest::newRow("unequal lengths: droplets of both") << Greys{900, 900, 900} << Greys{100} << 500u << 500u
                                                       << Counts{0, 0, 0, 1};
    QTest::newRow("no droplets") << Greys{} << Greys{} << 1u << 1u << Counts{0, 0, 0, 0};
}

void TestPointMaps::quadrants()
{
    QFETCH(Greys, gx);
    QFETCH(Greys, gy);
    QFETCH(uint, tx);
    QFETCH(uint, ty);
    QFETCH(Counts, counts);
    const PointMap map = lineWellPoints(gx, gy, tx, ty, QStringLiteral("both"), QStringLiteral("y"), QStringLiteral("x"));
    QCOMPARE(map.size(), 4);
    const QStringList colours = {QStringLiteral("both"), QStringLiteral("y"), QStringLiteral("#555555"), QStringLiteral("x")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(map.at(i).first, colours.at(i));
        QCOMPARE(map.at(i).second.size(), counts.at(i));
        for (const QPointF &p : map.at(i).second) {
            const bool a = p.x() >= tx, b = p.y() >= ty;
            QCOMPARE(i == 0, a && b);
            QCOMPARE(i == 1, !a && b);
            QCOMPARE(i == 3, a && !b);
        }
    }
}

namespace {

PlotPolygonInfo zone(uint id, const QPolygonF &polygon, uint x = 1, uint y = 2)
{
    PlotPolygonInfo z;
    z.zoneId = id;
    z.polygon = polygon;
    z.plotId = 1;
    z.xChannel = x;
    z.yChannel = y;
    return z;
}

QPolygonF square(double x0, double y0, double x1, double y1)
{
    return QPolygonF(QVector<QPointF>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

} // namespace

using Zones = QList<PlotPolygonInfo>;
using ColourCounts = QMap<QString, int>;

void TestPointMaps::zones_data()
{
    QTest::addColumn<Greys>("gx");
    QTest::addColumn<Greys>("gy");
    QTest::addColumn<Zones>("zones");
    QTest::addColumn<ColourCounts>("counts");

    QTest::newRow("inside and outside")
        << Greys{50, 500, 60} << Greys{50, 500, 40} << Zones{zone(1, square(0, 0, 100, 100))}
        << ColourCounts{{"red", 2}, {"#555555", 1}};
    // The first zone in the business layer's order wins.
    QTest::newRow("overlapping")
        << Greys{50, 150, 250} << Greys{50, 50, 50}
        << Zones{zone(1, square(0, 0, 200, 100)), zone(2, square(100, 0, 300, 100))}
        << ColourCounts{{"red", 2}, {"blue", 1}};
    QTest::newRow("overlapping, other order")
        << Greys{50, 150, 250} << Greys{50, 50, 50}
        << Zones{zone(2, square(100, 0, 300, 100)), zone(1, square(0, 0, 200, 100))}
        << ColourCounts{{"red", 1}, {"blue", 2}};
    // A pentagram: its centre is covered twice, so odd-even leaves it outside.
    const QPolygonF star(QVector<QPointF>{{500, 1000}, {794, 95}, {24, 655}, {976, 655}, {206, 95}});
    QTest::newRow("self-intersecting")
        << Greys{500, 500, 500} << Greys{550, 900, 20} << Zones{zone(1, star)}
        << ColourCounts{{"red", 1}, {"#555555", 2}};
    QTest::newRow("zone of another channel pair")
        << Greys{50} << Greys{50} << Zones{zone(1, square(0, 0, 100, 100), 2, 1), zone(2, square(0, 0, 100, 100), 1, 3)}
        << ColourCounts{{"#555555", 1}};
    QTest::newRow("zone without colour") << Greys{50} << Greys{50} << Zones{zone(7, square(0, 0, 100, 100))}
                                         << ColourCounts{{"#b37c4e", 1}};
    QTest::newRow("unequal lengths") << Greys{50, 50} << Greys{50} << Zones{zone(1, square(0, 0, 100, 100))}
                                     << ColourCounts{{"red", 1}};
}

void TestPointMaps::zones()
{
    QFETCH(Greys, gx);
    QFETCH(Greys, gy);
    QFETCH(Zones, zones);
    QFETCH(ColourCounts, counts);
    Plot2DCreateZoneInfo item;
    item.gx = gx;
    item.gy = gy;
    item.xChannel = 1;
    item.yChannel = 2;
    item.zones = zones;
    item.zoneColours = {{1, QStringLiteral("red")}, {2, QStringLiteral("blue")}};
    const QMap<QString, QVector<QPointF>> map = collectZonePoints(item);
    ColourCounts got;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        got.insert(it.key(), it.value().size());
    QCOMPARE(got, counts);
}

void TestPointMaps::grid_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("plots");
    QTest::addColumn<int>("fillers");
    QTest::newRow("0") << 0 << 0 << 0;
    QTest::newRow("1") << 1 << 1 << 0;
    QTest::newRow("2: fillers below") << 2 << 2 << 2;
    QTest::newRow("3") << 3 << 3 << 1;
    QTest::newRow("4") << 4 << 4 << 0;
    QTest::newRow("5: nothing") << 5 << 0 << 0;
}

void TestPointMaps::grid()
{
    QFETCH(int, shown);
    QFETCH(int, plots);
    QFETCH(int, fillers);
    const PlotGrid grid = plotGrid(shown);
    QCOMPARE(grid.plots.size(), plots);
    QCOMPARE(grid.fillers.size(), fillers);
    if (shown == 2) {
        QCOMPARE(grid.plots, (QVector<QPoint>{{0, 0}, {1, 0}}));
        QCOMPARE(grid.fillers, (QVector<QPoint>{{0, 1}, {1, 1}}));
    }
}

using Ranges = QVector<WellAxisRange>;

void TestPointMaps::axisRange_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QList<uint>>("selected");
    QTest::addColumn<bool>("found");
    QTest::addColumn<AxisRange>("range");

    const auto entry = [](uint well, AxisRange channel2) {
        WellAxisRange e;
        e.wellID = well;
        e.ranges[1] = channel2;
        return e;
    };
    QTest::newRow("stored") << Ranges{entry(1, {100, 900})} << QList<uint>{1} << true << AxisRange(100, 900);
    QTest::newRow("lower 0.5 drawn from 1") << Ranges{entry(1, {0.5, 900})} << QList<uint>{1} << true << AxisRange(1, 900);
    QTest::newRow("lower above upper: automatic") << Ranges{entry(1, {900, 100})} << QList<uint>{1} << false << AxisRange();
    QTest::newRow("never set (-1, -1)") << Ranges{entry(1, {-1, -1})} << QList<uint>{1} << false << AxisRange();
    QTest::newRow("upper below 1") << Ranges{entry(1, {0.2, 0.5})} << QList<uint>{1} << false << AxisRange();
    QTest::newRow("well not selected") << Ranges{entry(1, {100, 900})} << QList<uint>{2} << false << AxisRange();
    QTest::newRow("first selected entry wins")
        << Ranges{entry(3, {5, 50}), entry(2, {100, 900})} << QList<uint>{2, 3} << true << AxisRange(5, 50);
}

void TestPointMaps::axisRange()
{
    QFETCH(Ranges, ranges);
    QFETCH(QList<uint>, selected);
    QFETCH(bool, found);
    QFETCH(AxisRange, range);
    AxisRange got(-7, -7);
    QCOMPARE(wellAxisRangeOf(ranges, selected, 2, &got), found);
    if (found)
        QCOMPARE(got, range);
    else
        QCOMPARE(got, AxisRange(-7, -7));
    // A channel outside 1..6 never indexes the six-entry table.
    QVERIFY(!wellAxisRangeOf(ranges, selected, 7, &got));
    QVERIFY(!wellAxisRangeOf(ranges, selected, 0, &got));
}

void TestPointMaps::tolerance_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("xSpan");
    QTest::addColumn<double>("ySpan");
    QTest::addColumn<bool>("laidOut");
    QTest::addColumn<uint>("tx");
    QTest::addColumn<uint>("ty");
    // k = 800 / 80 = 10; trunc(20000 / 800) = 25, trunc(10000 / 500) = 20.
    QTest::newRow("ordinary") << 800 << 500 << 20000.0 << 10000.0 << true << 250u << 200u;
    QTest::newRow("span truncated per pixel") << 160 << 100 << 1000.0 << 1050.0 << true << 12u << 20u;
    QTest::newRow("under 80 px: none") << 79 << 60 << 20000.0 << 10000.0 << true << 0u << 0u;
    QTest::newRow("width 0: kept") << 0 << 500 << 20000.0 << 10000.0 << false << 0u << 0u;
    QTest::newRow("height 0: kept") << 800 << 0 << 20000.0 << 10000.0 << false << 0u << 0u;
}

void TestPointMaps::tolerance()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, xSpan);
    QFETCH(double, ySpan);
    QFETCH(bool, laidOut);
    QFETCH(uint, tx);
    QFETCH(uint, ty);
    uint x = 4242, y = 4343;
    QCOMPARE(vertexTolerance(width, height, xSpan, ySpan, &x, &y), laidOut);
    QCOMPARE(x, laidOut ? tx : 4242u);
    QCOMPARE(y, laidOut ? ty : 4343u);
}

void TestPointMaps::titleAndColour()
{
    QCOMPARE(thumbnailTitle(QString(), QStringLiteral("FAM-T"), QStringLiteral("VIC-T")), QStringLiteral("FAM-T_VIC-T"));
    QCOMPARE(thumbnailTitle(QStringLiteral("mine"), QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("mine"));
    const QStringList six = {"#4FB1DB", "#66CC71", "#0D4CA3", "#F0AA30", "#F06060", "#9973E6"};
    for (int i = 0; i < 13; ++i)
        QCOMPARE(newPopulationColor(i), six.at(i % 6));
    // The seventh new population starts the colours again.
    QCOMPARE(newPopulationColor(6), QStringLiteral("#4FB1DB"));
}

LUMARA_TEST_MAIN(TestPointMaps)
#include "tst_pointmaps.moc"
