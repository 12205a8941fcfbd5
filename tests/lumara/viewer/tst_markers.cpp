// The marker sets of the explore image on a seeded well: which droplets each set marks (a
// value on the threshold counts as positive, as in the counts), rectangles in either order and
// their zoom, the 1D rectangle's positions among the kept droplets, populations in both
// threshold modes against the counted positives, and what each kind of marker paints.
#include "pages/DropletImage/dropletmarkerlayer.h"
#include "pages/Explore/explordrpltmarker.h"
#include "pages/QualityControl/qcdrpltmarker.h"

#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "shell/appresources.h"
#include "shell/channelcolors.h"
#include "shell/globalvalues.h"
#include "testmain.h"
#include "viewertest.h"

#include <QtMath>

#include <functional>

using namespace LumaraAnalysisData;
using namespace ViewerTest;

namespace {

using Range = QPair<quint32, quint32>;
using MarkerSet = std::function<void(ExploreView &)>;
using MakeMarker = std::function<DropletMarker *()>;

QSet<uint> positivesOf(uint channel)
{
    return dropletsWhere([channel](int i) { return channel == 1 ? grey1(i) >= Threshold1 : grey2(i) >= Threshold2; });
}

QSet<uint> negativesOf(uint channel)
{
    return dropletsWhere([channel](int i) { return channel == 1 ? grey1(i) < Threshold1 : grey2(i) < Threshold2; });
}

// The counted positives of the population in the well, after a recount.
uint countedPositives(uint wellId, uint populationId)
{
    BLLInstance *bll = BLLInstance::getInstance();
    bll->updateZonesDroplets(wellId, false);
    bll->getResultCalculate()->updatePopulationResults();
    for (const PopulationResultInfo &result : bll->getResultCalculate()->getPopulationResults(wellId))
        if (result.populationId == populationId)
            return result.posDrpltNum;
    return uint(-1);
}

int keptAmong(const QSet<uint> &ids, const QSet<uint> &excluded)
{
    return (ids - excluded).size();
}

// One marker painted alone, centred in a transparent 40 x 40 picture.
QImage painted(QGraphicsItem &marker)
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(20, 20);
    marker.paint(&painter, nullptr, nullptr);
    return image;
}

QColor at(const QImage &image, double x, double y)
{
    return image.pixelColor(QPoint(int(20 + x), int(20 + y)));
}

bool near(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && a.alpha() > 200;
}

// Nothing lies outside the marker's bounding rectangle.
bool withinBounds(const QImage &image, const QRectF &bounds)
{
    const QRectF area = bounds.translated(20, 20).adjusted(-0.5, -0.5, 0.5, 0.5);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0 && !area.contains(QPointF(x + 0.5, y + 0.5)))
                return false;
    return true;
}

} // namespace

Q_DECLARE_METATYPE(MarkerSet)
Q_DECLARE_METATYPE(MakeMarker)

class TestMarkers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
    }

    void init()
    {
        QVERIFY(load(standardSeed()));
        selectWell(1);
    }

    void thresholdSets_data()
    {
        QTest::addColumn<MarkerSet>("set");
        QTest::addColumn<QSet<uint>>("expected");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<bool>("selectAll");
        for (bool all : {false, true}) {
            const char *pick = all ? ", all picked" : "";
            QTest::addRow("1D channel 1 positive%s", pick)
                << MarkerSet([all](ExploreView &v) { v.markBy1DThreshold(1, true, all); }) << positivesOf(1)
                << getChannelColor(1) << all;
            QTest::addRow("1D channel 1 negative%s", pick)
                << MarkerSet([all](ExploreView &v) { v.markBy1DThreshold(1, false, all); }) << negativesOf(1)
                << QStringLiteral("#555") << all;
            QTest::addRow("1D channel 2 positive%s", pick)
                << MarkerSet([all](ExploreView &v) { v.showMarkerBy1DThreshold(2, true, all); }) << positivesOf(2)
                << getChannelColor(2) << all;
        }
        QTest::newRow("2D both positive")
            << MarkerSet([](ExploreView &v) { v.markBy2DThreshold(1, 2, true, true, false); })
            << (positivesOf(1) & positivesOf(2)) << getTwoChannelColor(1, 2) << false;
        QTest::newRow("2D channel 1 positive")
            << MarkerSet([](ExploreView &v) { v.markBy2DThreshold(1, 2, true, false, false); })
            << (positivesOf(1) & negativesOf(2)) << getChannelColor(1) << false;
        QTest::newRow("2D channel 2 positive")
            << MarkerSet([](ExploreView &v) { v.showMarkerBy2DThreshold(1, 2, false, true, false); })
            << (negativesOf(1) & positivesOf(2)) << getChannelColor(2) << false;
        QTest::newRow("2D both negative")
            << MarkerSet([](ExploreView &v) { v.markBy2DThreshold(1, 2, false, false, false); })
            << (negativesOf(1) & negativesOf(2)) << QStringLiteral("#555") << false;
    }

    // The markers sit on their droplets, as discs of the set's colour.
    void thresholdSets()
    {
        QFETCH(MarkerSet, set);
        QFETCH(QSet<uint>, expected);
        QFETCH(QString, colour);
        QFETCH(bool, selectAll);
        QVERIFY(!expected.isEmpty());
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        set(*view);
        const QList<ExplorDrpltMarker *> markers = markersOf<ExplorDrpltMarker>(*view);
        QCOMPARE(idsOf(markersOf(*view)), expected);
        QCOMPARE(markers.size(), expected.size());
        QCOMPARE(markerColorMode, 1);
        QCOMPARE(markerColor, colour);
        for (const ExplorDrpltMarker *marker : markers) {
            QCOMPARE(marker->pos(), QPointF(centreOf(int(marker->id))));
            QVERIFY(marker->shown && !marker->excluded);
            QCOMPARE(marker->selected, selectAll);
            QCOMPARE(marker->isSelected(), selectAll);
            QCOMPARE(marker->opacity(), 0.5);
        }
        QCOMPARE(view->scene()->selectedItems().size(), selectAll ? expected.size() : 0);
        QCOMPARE(view->zoomStepCount(), 0);
    }

    // Markers are painted by the image's layer, over the droplets, at half opacity.
    void markersShowOnTheImage()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->markBy1DThreshold(1, true, false);
        QCoreApplication::processEvents();
        const QImage grabbed = view->viewport()->grab().toImage();
        const QColor channel(getChannelColor(1));
        for (int i = 0; i < DropletCount; ++i) {
            const QColor shown = grabbed.pixelColor(toView(*view, centreOf(i)));
            if (positivesOf(1).contains(uint(i))) {
                // Half the channel's colour over the white droplet.
                QVERIFY2(near(shown, QColor((channel.red() + 255) / 2, (channel.green() + 255) / 2,
                                            (channel.blue() + 255) / 2), 12),
                         qPrintable(shown.name()));
            } else {
                QCOMPARE(shown, QColor(Qt::white));
            }
        }
    }

    void rectangles_data()
    {
        QTest::addColumn<MarkerSet>("set");
        QTest::addColumn<QSet<uint>>("expected");
        QTest::addColumn<int>("steps"); // -1: zoomed in, not all the way
        const QSet<uint> in2D = dropletsWhere([](int i) { return grey1(i) >= 1000 && grey1(i) <= 1500; });
        QTest::newRow("2D in order")
            << MarkerSet([](ExploreView &v) { v.markBy2DRect(Range(1000, 1500), Range(1000, 3000), 1, 2, false); })
            << in2D << -1;
        QTest::newRow("2D reversed")
            << MarkerSet([](ExploreView &v) { v.markBy2DRect(Range(1500, 1000), Range(3000, 1000), 1, 2, false); })
            << in2D << -1;
        const QSet<uint> in1D = dropletsWhere([](int i) { return i >= 2 && i <= 9 && grey1(i) >= 900; });
        QTest::newRow("1D in order")
            << MarkerSet([](ExploreView &v) { v.markBy1DRect(Range(2, 9), Range(900, 1600), 1, false); }) << in1D
            << -1;
        QTest::newRow("1D reversed")
            << MarkerSet([](ExploreView &v) { v.showMarkerBy1DRect(Range(9, 2), Range(1600, 900), 1, false); })
            << in1D << -1;
        QTest::newRow("one droplet")
            << MarkerSet([](ExploreView &v) { v.markBy1DRect(Range(5, 5), Range(0, 5000), 1, false); })
            << QSet<uint>{5} << 30;
        QTest::newRow("nothing, from the fitted view")
            << MarkerSet([](ExploreView &v) { v.showMarkerBy2DRect(Range(0, 10), Range(0, 10), 1, 2, false); })
            << QSet<uint>() << 0;
    }

    // Rings on the droplets inside, and the view zoomed onto them.
    void rectangles()
    {
        QFETCH(MarkerSet, set);
        QFETCH(QSet<uint>, expected);
        QFETCH(int, steps);
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->markBy1DRect(Range(0, 0), Range(0, 0), 1, false); // marks nothing: no zoom
        QCOMPARE(view->zoomStepCount(), 0);
        set(*view);
        QCOMPARE(idsOf(markersOf(*view)), expected);
        QCOMPARE(markerColorMode, 0);
        if (steps >= 0)
            QCOMPARE(view->zoomStepCount(), steps);
        else
            QVERIFY(view->zoomStepCount() > 0 && view->zoomStepCount() < 30);
        // Every marked droplet is in sight.
        const QRect shown = view->viewport()->rect();
        for (uint id : expected)
            QVERIFY(shown.contains(toView(*view, centreOf(int(id)))));
    }

    // The 1D plot shows the kept droplets only: its x is a position among them.
    void oneDRectangleAfterAnExclusion()
    {
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(1, {0, 1, 6});
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->markBy1DRect(Range(0, 4), Range(0, 5000), 1, false);
        // Kept positions 0..4 are droplets 2, 3, 4, 5 and 7.
        QCOMPARE(idsOf(markersOf(*view)), (QSet<uint>{2, 3, 4, 5, 7}));
        // A threshold set shows excluded droplets too, crossed out.
        view->markBy1DThreshold(1, true, false);
        QCOMPARE(idsOf(markersOf(*view)), positivesOf(1));
        for (const ExplorDrpltMarker *marker : markersOf<ExplorDrpltMarker>(*view))
            QCOMPARE(marker->excluded, marker->id == 1 || marker->id == 6);
    }

    void populationsByLine_data()
    {
        QTest::addColumn<bool>("matrix");
        QTest::newRow("raw values") << false;
        QTest::newRow("compensated values") << true;
    }

    // The members among the kept droplets are the counted positives, for every population.
    void populationsByLine()
    {
        QFETCH(bool, matrix);
        BllTest::DocumentSeed seed = standardSeed();
        if (matrix) {
            seed.matrix = QByteArray(336, '\0');
            // Compensation moves some droplets across the thresholds.
            for (int i = 0; i < DropletCount; ++i) {
                BllTest::DropletSeed &d = seed.wells[0].droplets[i];
                d.compensated[0] = i % 2 == 0 ? d.raw[0] + 600 : d.raw[0] - 600;
                d.compensated[1] = i % 5 == 0 ? 0 : d.raw[1] + 1;
            }
        }
        BllTest::SeededIds ids;
        QVERIFY(load(seed, &ids));
        selectWell(1);
        const QSet<uint> excluded{0, 9};
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(1, excluded);
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        QCOMPARE(ids.populations.size(), 2);
        QSet<uint> previous;
        for (uint population : ids.populations) {
            view->markByPopulation(population, false);
            const QSet<uint> marked = idsOf(markersOf(*view));
            QVERIFY(!marked.isEmpty());
            QVERIFY(marked != previous);
            QCOMPARE(uint(keptAmong(marked, excluded)), countedPositives(1, population));
            QCOMPARE(markerColor, BLLInstance::getInstance()->getPopulationsMgr()->getPopulation(population).signColor);
            previous = marked;
        }
        if (!matrix) // by the raw values the last population is channel 2's positives
            QCOMPARE(previous, positivesOf(2));
    }

    void populationsByPolygon()
    {
        BllTest::DocumentSeed seed = standardSeed();
        seed.mode = PolygonThreshold;
        seed.plots2D = {{QStringLiteral("T1_T2"), {1, 2}}};
        BllTest::ZoneSeed zone;
        zone.plot = 0;
        zone.polygon = star();
        BllTest::ZoneSeed other;
        other.plot = 0;
        other.polygon = QPolygonF(QRectF(1400, 900, 200, 200)); // holds (1500, 1000)
        seed.zones = {zone, other};
        BllTest::PopulationSeed population;
        population.name = QStringLiteral("Star");
        population.colour = QStringLiteral("#12ab34");
        population.zones = {{0, PositiveZone}, {1, PositiveZone}};
        seed.populations = {population};
        BllTest::SeededIds ids;
        QVERIFY(load(seed, &ids));
        selectWell(1);
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(1, {2});
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->markByPopulation(ids.populations.first(), false);
        const QSet<uint> marked = idsOf(markersOf(*view));
        // The arms of the star and the square, not the star's twice-wound middle.
        const QSet<uint> expected = dropletsWhere([](int i) {
            const QPointF p(grey1(i), grey2(i));
            return p == QPointF(1000, 3000) || p == QPointF(999, 3000) || p == QPointF(1500, 2000)
                || p == QPointF(500, 2000) || p == QPointF(1500, 1000);
        });
        QCOMPARE(marked, expected);
        QCOMPARE(uint(keptAmong(marked, {2})), countedPositives(1, ids.populations.first()));
        QCOMPARE(markerColor, QStringLiteral("#12ab34"));
    }

    // Population 0 changes nothing, not even the image.
    void populationZeroDoesNothing()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->markBy1DThreshold(1, true, false);
        const QGraphicsPixmapItem *image = view->imageItem();
        const int before = markersOf(*view).size();
        view->markByPopulation(0, false);
        QCOMPARE(view->imageItem(), image);
        QCOMPARE(markersOf(*view).size(), before);
    }

    // Sets read the well selected in the well list, whichever image is shown.
    void setsReadTheSelectedWell()
    {
        BllTest::DocumentSeed seed = standardSeed();
        for (BllTest::DropletSeed &d : seed.wells[1].droplets)
            d.raw[0] = d.compensated[0] = 5000;
        QVERIFY(load(seed));
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        selectWell(2);
        view->markBy1DThreshold(1, true, false);
        QCOMPARE(markersOf(*view).size(), DropletCount);
        WellListModel::instance()->clearSelect();
        view->markBy1DThreshold(1, true, false);
        QVERIFY(markersOf(*view).isEmpty());
        QVERIFY(view->imageItem()); // the image was drawn afresh all the same
    }

    void paintedColours_data()
    {
        QTest::addColumn<MakeMarker>("make");
        QTest::addColumn<QPointF>("probe");
        QTest::addColumn<QColor>("colour"); // invalid: nothing painted there
        using Make = MakeMarker;
        const auto explore = [](bool excluded, bool selected, int mode, const QString &colour) {
            return Make([=]() {
                markerColorMode = mode;
                markerColor = colour;
                auto *m = new ExplorDrpltMarker;
                m->shown = true;
                m->excluded = excluded;
                m->selected = selected;
                return m;
            });
        };
        const auto qc = [](bool excluded, bool saturated, bool positive, bool selected) {
            return Make([=]() {
                auto *m = new QCDrpltMarker;
                m->excluded = excluded;
                m->saturated = saturated;
                m->positive = positive;
                m->selected = selected;
                return m;
            });
        };
        const QColor none;
        QTest::newRow("explore disc") << explore(false, false, 1, "#e42520") << QPointF(3, 3) << QColor("#e42520");
        QTest::newRow("explore ring") << explore(false, false, 0, "#e42520") << QPointF(6.5, 0) << QColor(0, 229, 255);
        QTest::newRow("explore ring, hollow") << explore(false, false, 0, "") << QPointF(0, 0) << none;
        QTest::newRow("explore excluded cross") << explore(true, false, 1, "#e42520") << QPointF(2, 2) << QColor(Qt::red);
        QTest::newRow("explore excluded, no disc") << explore(true, false, 1, "#e42520") << QPointF(0, 3) << none;
        QTest::newRow("explore picked") << explore(false, true, 1, "#e42520") << QPointF(-8, 0) << QColor(0xff, 0xf1, 0);
        QTest::newRow("explore picked excluded") << explore(true, true, 1, "#e42520") << QPointF(8, 0) << QColor(0xff, 0xf1, 0);
        QTest::newRow("QC negative") << qc(false, false, false, false) << QPointF(3, 0) << QColor(0, 128, 0);
        QTest::newRow("QC negative, no ring") << qc(false, false, false, false) << QPointF(2, 8) << none;
        QTest::newRow("QC positive cross") << qc(false, false, true, false) << QPointF(0, -3) << QColor(0, 128, 0);
        QTest::newRow("QC positive ring") << qc(false, false, true, false) << QPointF(2, 8) << QColor(Qt::blue);
        QTest::newRow("QC saturated") << qc(false, true, false, false) << QPointF(3, 0) << QColor(227, 188, 31);
        QTest::newRow("QC saturated positive, no ring") << qc(false, true, true, false) << QPointF(2, 8) << none;
        QTest::newRow("QC excluded") << qc(true, false, false, false) << QPointF(-3, 0) << QColor(Qt::red);
        QTest::newRow("QC excluded positive, no ring") << qc(true, false, true, false) << QPointF(2, 8) << none;
        QTest::newRow("QC picked") << qc(false, false, false, true) << QPointF(-8, 0) << QColor(Qt::yellow);
    }

    // Each marker paints its state, and only inside its bounding rectangle.
    void paintedColours()
    {
        QFETCH(MakeMarker, make);
        QFETCH(QPointF, probe);
        QFETCH(QColor, colour);
        dropletMarkerSize = 17;
        dropletMarkerLineWidth = 2.0;
        std::unique_ptr<DropletMarker> marker(make());
        QCOMPARE(marker->boundingRect(), QRectF(-9.5, -9.5, 19, 19));
        const QImage image = painted(*marker);
        const QColor seen = at(image, probe.x(), probe.y());
        if (colour.isValid())
            QVERIFY2(near(seen, colour), qPrintable(seen.name(QColor::HexArgb)));
        else
            QVERIFY2(seen.alpha() == 0, qPrintable(seen.name(QColor::HexArgb)));
        QVERIFY(withinBounds(image, marker->boundingRect()));
    }

    void boundsFollowTheMarkerSize_data()
    {
        QTest::addColumn<int>("diameter");
        QTest::addColumn<double>("lineWidth");
        QTest::addColumn<QRectF>("bounds");
        QTest::newRow("large images") << 17 << 2.0 << QRectF(-9.5, -9.5, 19, 19);
        QTest::newRow("small images") << 13 << 1.0 << QRectF(-7, -7, 14, 14);
    }

    void boundsFollowTheMarkerSize()
    {
        QFETCH(int, diameter);
        QFETCH(double, lineWidth);
        QFETCH(QRectF, bounds);
        dropletMarkerSize = diameter;
        dropletMarkerLineWidth = lineWidth;
        for (DropletMarker *marker : {static_cast<DropletMarker *>(new ExplorDrpltMarker),
                                      static_cast<DropletMarker *>(new QCDrpltMarker)}) {
            std::unique_ptr<DropletMarker> owned(marker);
            QCOMPARE(marker->boundingRect(), bounds);
            markerColorMode = 0;
            if (auto *explore = dynamic_cast<ExplorDrpltMarker *>(marker))
                explore->shown = true;
            marker->selected = true;
            QVERIFY(withinBounds(painted(*marker), bounds));
        }
        // The quality-control cross's arms end D / 2 - W / 2 from the centre (their square caps
        // half a line width further).
        QCDrpltMarker qc;
        const QImage image = painted(qc);
        const double arm = diameter / 2.0 - lineWidth / 2.0;
        const auto column = [&image](double x) {
            int alpha = 0;
            for (int y = 18; y <= 21; ++y)
                alpha = std::max(alpha, qAlpha(image.pixel(int(20 + x), y)));
            return alpha;
        };
        QVERIFY(column(arm - 0.5) > 0);
        QCOMPARE(column(arm + lineWidth / 2 + 1), 0);
    }
};

LUMARA_TEST_GUI_MAIN(TestMarkers)
#include "tst_markers.moc"
