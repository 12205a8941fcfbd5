// The explore page's rules without a display: the plot entries offered for the chosen wells'
// channels, the quadrant split of two channels, the box round the dots and the axis ranges.
#include "pages/Explore/exploreplotentry.h"

#include "testmain.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<uint>)

namespace {

QHash<uint, QString> targetNames()
{
    QHash<uint, QString> names;
    for (uint c = 1; c <= 6; ++c)
        names.insert(c, QStringLiteral("T%1").arg(c));
    return names;
}

// "name:tag" per entry, in order.
QStringList described(const QVector<ExplorePlotEntry> &entries)
{
    QStringList out;
    for (const ExplorePlotEntry &e : entries)
        out.append(e.name + QLatin1Char(':') + explorePlotTag(e));
    return out;
}

QPolygonF polygon(const QVector<QPointF> &points)
{
    return QPolygonF(points);
}

} // namespace

class TestExploreRules : public QObject {
    Q_OBJECT
private slots:
    void plotEntries_data();
    void plotEntries();
    void entryChannels();
    void quadrants_data();
    void quadrants();
    void bounds_data();
    void bounds();
    void oneDRanges_data();
    void oneDRanges();
};

void TestExploreRules::plotEntries_data()
{
    QTest::addColumn<QList<uint>>("channels");
    QTest::addColumn<uint>("ref");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("one channel, reference among them") << QList<uint>{2} << 2u << QStringList{"T2:1D"};
    QTest::newRow("one channel, reference apart") << QList<uint>{2} << 3u << QStringList{"T2:1D", "Ref:1D"};
    QTest::newRow("no selected well: no reference") << QList<uint>{2} << 0u << QStringList{"T2:1D"};
    QTest::newRow("reference out of range") << QList<uint>{2} << 9u << QStringList{"T2:1D"};
    QTest::newRow("three channels in first-seen order, reference apart")
        << QList<uint>{4, 1, 2} << 3u
        << QStringList{"T4:1D",       "T1:1D",       "T2:1D",       "Ref:1D",
                       "T4-T1:2D",    "T4-T2:2D",    "T1-T2:2D",    "T4-T1-T2:3D"};
    QTest::newRow("four channels, reference among them")
        << QList<uint>{1, 2, 3, 5} << 3u
        << QStringList{"T1:1D",       "T2:1D",       "T3:1D",       "T5:1D",       "T1-T2:2D",
                       "T1-T3:2D",    "T1-T5:2D",    "T2-T3:2D",    "T2-T5:2D",    "T3-T5:2D",
                       "T1-T2-T3:3D", "T1-T2-T5:3D", "T1-T3-T5:3D", "T2-T3-T5:3D"};
    QTest::newRow("four channels, reference apart")
        << QList<uint>{1, 2, 4, 5} << 6u
        << QStringList{"T1:1D",       "T2:1D",       "T4:1D",       "T5:1D",       "Ref:1D",
                       "T1-T2:2D",    "T1-T4:2D",    "T1-T5:2D",    "T2-T4:2D",    "T2-T5:2D",
                       "T4-T5:2D",    "T1-T2-T4:3D", "T1-T2-T5:3D", "T1-T4-T5:3D", "T2-T4-T5:3D"};
    QTest::newRow("no channels") << QList<uint>{} << 0u << QStringList{};
}

void TestExploreRules::plotEntries()
{
    QFETCH(QList<uint>, channels);
    QFETCH(uint, ref);
    QFETCH(QStringList, expected);
    const QVector<ExplorePlotEntry> entries = explorePlotEntries(channels, targetNames(), ref);
    QCOMPARE(described(entries), expected);
    // Every entry's channels are its name's channels, the reference never paired.
    for (const ExplorePlotEntry &e : entries) {
        if (e.name == QLatin1String("Ref")) {
            QCOMPARE(e.channels, QVector<uint>{ref});
            continue;
        }
        QStringList names;
        for (uint c : e.channels)
            names.append(QStringLiteral("T%1").arg(c));
        QCOMPARE(names.join(QLatin1Char('-')), e.name);
    }
}

void TestExploreRules::entryChannels()
{
    const QVector<ExplorePlotEntry> entries = explorePlotEntries({1, 2, 3}, targetNames(), 5);
    QCOMPARE(explorePlotChannels(entries, QStringLiteral("T1-T3")), (QVector<uint>{1, 3}));
    QCOMPARE(explorePlotChannels(entries, QStringLiteral("Ref")), (QVector<uint>{5}));
    QCOMPARE(explorePlotChannels(entries, QStringLiteral("T1-T2-T3")), (QVector<uint>{1, 2, 3}));
    QVERIFY(explorePlotChannels(entries, QStringLiteral("T3-T1")).isEmpty());
    QVERIFY(explorePlotChannels(entries, QString()).isEmpty());
    // Two entries of one name (two channels with one target name): the first wins.
    QHash<uint, QString> same{{1, "A"}, {2, "A"}};
    QCOMPARE(explorePlotChannels(explorePlotEntries({2, 1}, same, 0), QStringLiteral("A")), QVector<uint>{2});
}

void TestExploreRules::quadrants_data()
{
    QTest::addColumn<QVector<uint>>("gx");
    QTest::addColumn<QVector<uint>>("gy");
    QTest::addColumn<bool>("lineMode");
    // Per droplet, the series it must land in.
    QTest::addColumn<QVector<int>>("seriesOf");

    // Thresholds 100 (x) and 200 (y): a value on its threshold is positive, as the markers and
    // the counts have it.
    QTest::newRow("every quadrant and both lines")
        << QVector<uint>{150, 50, 50, 150, 100, 100, 101, 150, 99, 100}
        << QVector<uint>{250, 250, 50, 50, 200, 201, 200, 200, 200, 199} << true
        << QVector<int>{0, 1, 2, 3, 0, 0, 0, 0, 1, 3};
    QTest::newRow("polygon mode: all in the second series")
        << QVector<uint>{150, 50, 50, 150} << QVector<uint>{250, 250, 50, 50} << false << QVector<int>{1, 1, 1, 1};
    QTest::newRow("no droplets") << QVector<uint>{} << QVector<uint>{} << true << QVector<int>{};
}

void TestExploreRules::quadrants()
{
    QFETCH(QVector<uint>, gx);
    QFETCH(QVector<uint>, gy);
    QFETCH(bool, lineMode);
    QFETCH(QVector<int>, seriesOf);
    const QVector<QString> colours = {"#both", "#y", "#neg", "#x"};
    const QVector<ExploreSeries> series = exploreQuadrants(gx, gy, 100, 200, colours, lineMode);
    QCOMPARE(series.size(), 4);
    QVector<QPolygonF> expected(4);
    for (int i = 0; i < seriesOf.size(); ++i)
        expected[seriesOf[i]].append(QPointF(gx[i], gy[i]));
    for (int q = 0; q < 4; ++q) {
        QCOMPARE(series[q].points, expected[q]);
        QCOMPARE(series[q].colour, lineMode ? colours[q] : QStringLiteral("#555555"));
    }
}

void TestExploreRules::bounds_data()
{
    QTest::addColumn<QVector<QPolygonF>>("points");
    QTest::addColumn<QVector<double>>("box"); // xMin, xMax, yMin, yMax
    QTest::addColumn<QVector<double>>("axes"); // x lower, x upper, y lower, y upper

    QTest::newRow("both-positive droplets start the box")
        << QVector<QPolygonF>{polygon({{300, 400}, {500, 450}}), polygon({{120, 900}}), polygon({}),
                              polygon({{700, 220}})}
        << QVector<double>{120, 700, 220, 900} << QVector<double>{96, 840, 176, 1080};
    QTest::newRow("without both-positive droplets the box reaches 0")
        << QVector<QPolygonF>{polygon({}), polygon({{120, 900}}), polygon({{300, 250}}), polygon({})}
        << QVector<double>{0, 300, 0, 900} << QVector<double>{0, 360, 0, 1080};
    QTest::newRow("no droplets: an axis of 0 to 100")
        << QVector<QPolygonF>{polygon({}), polygon({}), polygon({}), polygon({})} << QVector<double>{0, 0, 0, 0}
        << QVector<double>{0, 100, 0, 100};
    QTest::newRow("one droplet: no empty axis")
        << QVector<QPolygonF>{polygon({{300, 400}}), polygon({}), polygon({}), polygon({})}
        << QVector<double>{300, 300, 400, 400} << QVector<double>{240, 360, 320, 480};
    QTest::newRow("droplets at zero only")
        << QVector<QPolygonF>{polygon({}), polygon({}), polygon({{0, 0}, {0, 0}}), polygon({})}
        << QVector<double>{0, 0, 0, 0} << QVector<double>{0, 100, 0, 100};
}

void TestExploreRules::bounds()
{
    QFETCH(QVector<QPolygonF>, points);
    QFETCH(QVector<double>, box);
    QFETCH(QVector<double>, axes);
    QVector<ExploreSeries> series;
    for (const QPolygonF &p : points)
        series.append({QStringLiteral("#000"), p});
    const ExploreBounds b = exploreSeriesBounds(series);
    QCOMPARE((QVector<double>{b.xMin, b.xMax, b.yMin, b.yMax}), box);
    const ExploreRange x = explore2DXRange(b);
    const ExploreRange y = explore2DYRange(b);
    QCOMPARE((QVector<double>{x.first, x.second, y.first, y.second}), axes);
}

void TestExploreRules::oneDRanges_data()
{
    QTest::addColumn<QVector<uint>>("greys");
    QTest::addColumn<double>("yLower");
    QTest::addColumn<double>("yUpper");
    QTest::addColumn<double>("xUpper");

    QTest::newRow("150..5000") << QVector<uint>{150, 5000, 2000} << 50.0 << 5100.0 << 3.0;
    QTest::newRow("30..5000: the lower end does not wrap") << QVector<uint>{5000, 30} << 0.0 << 5100.0 << 2.0;
    QTest::newRow("exactly 100") << QVector<uint>{100, 400} << 0.0 << 408.0 << 2.0;
    QTest::newRow("a fiftieth truncated") << QVector<uint>{1000, 1049} << 900.0 << 1069.0 << 2.0;
    QTest::newRow("no droplets") << QVector<uint>{} << 0.0 << 100.0 << 100.0;
    QTest::newRow("every value 0") << QVector<uint>{0, 0} << 0.0 << 100.0 << 2.0;
    QVector<uint> many(250, 700);
    many[3] = 900;
    QTest::newRow("a hundredth more room on x") << many << 600.0 << 918.0 << 252.0;
}

void TestExploreRules::oneDRanges()
{
    QFETCH(QVector<uint>, greys);
    QFETCH(double, yLower);
    QFETCH(double, yUpper);
    QFETCH(double, xUpper);
    const ExploreRange y = explore1DYRange(greys);
    QCOMPARE(y.first, yLower);
    QCOMPARE(y.second, yUpper);
    const ExploreRange x = explore1DXRange(greys.size());
    QCOMPARE(x.first, 0.0);
    QCOMPARE(x.second, xUpper);
}

LUMARA_TEST_MAIN(TestExploreRules)
#include "tst_rules.moc"
