// The 3D page on a virtual screen with OpenGL: the octant and population walks over seeded
// droplets (below, at and above the thresholds, and excluded ones), the series the graph gets,
// its axes, the thumbnails, and adding, renaming and deleting combinations.
#include "populationtest.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "model/analysisdatamgr.h"
#include "model/drpltclassifymgr.h"
#include "pcranalysisdocument.h"
#include "plots/ThreeDotPlot/add3dcombition.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/ThreeDotPlot/zonemodel.h"
#include "plots/common/thumbnailmodel.h"
#include "shell/appresources.h"
#include "shell/channelcolors.h"
#include "shell/dialogmessage.h"
#include "shell/welllistview.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>
#include <QtDataVisualization/QValue3DAxis>

using namespace QtDataVisualization;
using namespace LumaraAnalysisData;

Q_DECLARE_METATYPE(BllTest::DocumentSeed)

namespace {

// Channels 1, 2 and 4 at threshold 100 in both wells. Per well: below all, at all, x only,
// y and z, and one excluded droplet far above everything.
BllTest::DocumentSeed seed()
{
    BllTest::DocumentSeed s;
    s.targets = BllTest::namedTargets({1, 2, 4});
    for (uint id : {1u, 2u}) {
        QVector<BllTest::DropletSeed> d;
        d << BllTest::droplet({50, 50, 0, 50, 0, 0}) << BllTest::droplet({100, 100, 0, 100, 0, 0})
          << BllTest::droplet({200, 50, 0, 50, 0, 0}) << BllTest::droplet({50, 200, 0, 300, 0, 0})
          << BllTest::droplet({9000, 9000, 0, 9000, 0, 0});
        BllTest::WellSeed w = BllTest::well(id, QStringLiteral("A%1").arg(id), {1, 2, 4}, d);
        w.referenceChannel = 6;
        w.excluded = {4};
        w.lineThresholds = {{100, 100, 100, 100, 100, 100}};
        s.wells.append(w);
    }
    s.plots3D.append({QStringLiteral("Trio"), {{1, 2, 4}}});
    s.plots3D.append({QString(), {{4, 1, 2}}});
    return s;
}

// Another document of the same plots and populations (so its ids are the first one's), with
// other droplets.
BllTest::DocumentSeed otherSeed()
{
    BllTest::DocumentSeed s = seed();
    for (BllTest::WellSeed &w : s.wells) {
        w.droplets << BllTest::droplet({700, 700, 0, 700, 0, 0}) << BllTest::droplet({700, 50, 0, 700, 0, 0});
        w.lineThresholds = {{300, 300, 300, 300, 300, 300}};
    }
    return s;
}

QList<int> itemCounts(Q3DScatter *graph)
{
    QList<int> counts;
    for (QScatter3DSeries *s : graph->seriesList())
        counts << s->dataProxy()->itemCount();
    return counts;
}

QStringList colours(Q3DScatter *graph)
{
    QStringList out;
    for (QScatter3DSeries *s : graph->seriesList())
        out << s->baseColor().name();
    return out;
}

// Shows the thumbnail of the plot as the page's only current one.
void makeCurrent(Plot3DDot &page, int row)
{
    ThumbnailModel *model = page.thumbnailModel();
    model->setData(model->index(row, 0), true, ThumbnailModel::ShownRole);
    for (int r = 0; r < model->rowCount(); ++r) {
        if (r != row)
            model->setData(model->index(r, 0), false, ThumbnailModel::ShownRole);
    }
    QMetaObject::invokeMethod(&page, "updateWellModel");
}

// n droplets at the values (entry channel - 1).
QVector<BllTest::DropletSeed> droplets(int n, const BllTest::Greys &values)
{
    return QVector<BllTest::DropletSeed>(n, BllTest::droplet(values));
}

// The recount's droplets of the zone in the wells.
uint recounted(const QList<uint> &wells, uint zone)
{
    DrpltClassifyMgr *classify = PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getDrpltClassifyMgr();
    const bool lines = BLLInstance::getInstance()->getThldType() == LineThreshold;
    uint sum = 0;
    for (uint well : wells) {
        const QVector<ZoneDrpltNumInfo> &counts =
            lines ? classify->getWellDrpltNumOfZonesByLine(well) : classify->getWellDrpltNumOfZonesByPolygon(well);
        for (const ZoneDrpltNumInfo &count : counts) {
            if (count.zoneId == zone)
                sum += count.drpltNum;
        }
    }
    return sum;
}

} // namespace

class TestPlot3D : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        QVERIFY2(Plot3DDot::openGLAvailable(), "the virtual screen gives no OpenGL");
    }
    void init() { QVERIFY(PopulationTest::load(seed(), &ids)); }

    // Droplets at a threshold are positive; excluded ones neither appear nor widen the axes.
    void octantWalk()
    {
        const DotSets sets = Plot3DDot::octantDots(1, 2, 4);
        QList<int> counts;
        for (const auto &list : sets.lists)
            counts << list.size();
        QCOMPARE(counts, (QList<int>{2, 0, 0, 2, 2, 0, 0, 2}));
        QCOMPARE(sets.largest, 300u);
        QVERIFY(sets.lists[7].contains(QVector3D(100, 100, 100)));
        QVERIFY(sets.lists[3].contains(QVector3D(50, 200, 300)));
        // A channel outside 1..6 draws nothing.
        QCOMPARE(Plot3DDot::octantDots(0, 2, 4).lists[0].size(), 0);
        QCOMPARE(Plot3DDot::octantDots(1, 2, 7).largest, 0u);
    }

    void octantColours()
    {
        const QVector<QString> c = Plot3DDot::octantColors(4, 1, 2);
        QCOMPARE(c[0], QStringLiteral("#555555"));
        QCOMPARE(c[1], getChannelColor(2));
        QCOMPARE(c[3], getTwoChannelColor(1, 2));
        QCOMPARE(c[4], getChannelColor(4));
        // The triple colour needs its channels ascending, whatever the plot's order.
        QCOMPARE(c[7], getThreeChannelColor(1, 2, 4));
        QVERIFY(c[7] != QStringLiteral("#000000"));
    }

    void octantDraw()
    {
        Plot3DDot page;
        page.resize(1600, 900);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page, PopulationTest::ShowTimeoutMs));
        page.refreshPage();
        QCOMPARE(page.thumbnailModel()->rowCount(), 2);
        QCOMPARE(page.thumbnailModel()->data(page.thumbnailModel()->index(0, 0), ThumbnailModel::TitleRole).toString(),
                 QStringLiteral("Trio"));
        QCOMPARE(page.thumbnailModel()->data(page.thumbnailModel()->index(1, 0), ThumbnailModel::TitleRole).toString(),
                 QStringLiteral("T4_T1_T2"));
        const QImage thumb = page.thumbnailModel()->data(page.thumbnailModel()->index(0, 0), ThumbnailModel::ImageRole).value<QImage>();
        QVERIFY(!thumb.isNull());
        // Opening shows the first plot (x 1, y 2, z 4).
        QCOMPARE(page.thumbnailModel()->getShownPlotIds(), QVector<uint>{ids.plots3D.at(0)});
        QCOMPARE(itemCounts(page.graph()), (QList<int>{2, 0, 0, 2, 2, 0, 0, 2}));

        makeCurrent(page, 1); // x 4, y 1, z 2
        QCOMPARE(itemCounts(page.graph()), (QList<int>{2, 0, 2, 0, 0, 2, 0, 2}));
        const QVector<QString> expected = Plot3DDot::octantColors(4, 1, 2);
        QCOMPARE(colours(page.graph()), QStringList(expected.toList()));
        QCOMPARE(page.graph()->axisX()->max(), 310.0f);
        QCOMPARE(page.graph()->axisZ()->min(), 0.0f);
        QCOMPARE(page.graph()->axisX()->title(), QStringLiteral("X(D4)"));
        QCOMPARE(page.graph()->axisY()->title(), QStringLiteral("Y(D1)"));
        QCOMPARE(page.graph()->axisZ()->title(), QStringLiteral("Z(D2)"));
        // Each draw resets the view the user may have turned, and the theme.
        QCOMPARE(page.graph()->scene()->activeCamera()->cameraPreset(), Q3DCamera::CameraPresetFront);
        QCOMPARE(page.graph()->activeTheme()->font().pointSize(), 10);
        QVERIFY(!page.graph()->activeTheme()->isBackgroundEnabled());
        QCOMPARE(page.graph()->shadowQuality(), QAbstract3DGraph::ShadowQualityNone);
        QCOMPARE(page.renderGraph()->scene()->activeCamera()->cameraPreset(), Q3DCamera::CameraPresetFront);
        QCOMPARE(page.rootObject()->property("circleColor").toString(), QStringLiteral("#555555"));
        QCOMPARE(page.zoneModel()->rowCount(), 0);
        // The current mark survives the rebuild, by plot id.
        QCOMPARE(page.thumbnailModel()->getShownPlotIds(), QVector<uint>{ids.plots3D.at(1)});

        // The rendered graph is a picture, not a blank.
        const QImage image = page.graph()->renderToImage(0, QSize(400, 300));
        QVERIFY(!image.isNull());
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                seen.insert(image.pixel(x, y));
        QVERIFY(seen.size() > 1);

        // A reload on screen starts again from the document's first plot.
        emit SignalTransfer::getInstance()->updateWellComplete();
        QCOMPARE(page.thumbnailModel()->getShownPlotIds(), QVector<uint>{ids.plots3D.at(0)});
        QCOMPARE(itemCounts(page.graph()), (QList<int>{2, 0, 0, 2, 2, 0, 0, 2}));
    }

    // Another document loaded, with the page on screen or shown afterwards by the container:
    // the page is the one a fresh page shows on that document, nothing of the plot, population
    // and zones chosen before.
    void reloadDropsChoices_data()
    {
        QTest::addColumn<bool>("onScreen");
        QTest::newRow("on screen") << true;
        QTest::newRow("shown afterwards") << false;
    }
    void reloadDropsChoices()
    {
        QFETCH(bool, onScreen);
        Plot3DDot page;
        page.resize(1600, 900);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page, PopulationTest::ShowTimeoutMs));
        page.refreshPage();
        page.rootObject()->setProperty("currentPopulationIndex", 1);
        QMetaObject::invokeMethod(page.rootObject(), "populationChange");
        page.zoneModel()->updateSelectStatus(0);
        makeCurrent(page, 1);
        page.thumbnailModel()->setData(page.thumbnailModel()->index(0, 0), true, ThumbnailModel::MarkedRole);
        QMetaObject::invokeMethod(&page, "deleteStatusChange");
        if (!onScreen)
            page.hide();

        QVERIFY(PopulationTest::load(otherSeed(), &ids));
        // The test selects every well after the reload, as a user would in the list.
        if (onScreen)
            emit page.findChild<WellListView *>()->sigWellSelectChange();
        if (!onScreen) {
            page.show();
            QVERIFY(QTest::qWaitForWindowExposed(&page, PopulationTest::ShowTimeoutMs));
            page.refreshPage();
        }
        Plot3DDot fresh;
        fresh.resize(1600, 900);
        fresh.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh, PopulationTest::ShowTimeoutMs));
        fresh.refreshPage();

        for (const char *property : {"currentPopulationIndex", "circleColor", "deleteEnable"})
            QCOMPARE(page.rootObject()->property(property), fresh.rootObject()->property(property));
        QObject *combo = PopulationTest::item(page.rootObject(), QStringLiteral("populationCombo"));
        QObject *freshCombo = PopulationTest::item(fresh.rootObject(), QStringLiteral("populationCombo"));
        QVERIFY(combo && freshCombo);
        QCOMPARE(combo->property("currentIndex"), freshCombo->property("currentIndex"));
        QCOMPARE(page.zoneModel()->rowCount(), fresh.zoneModel()->rowCount());
        QCOMPARE(page.thumbnailModel()->getShownPlotIds(), fresh.thumbnailModel()->getShownPlotIds());
        QCOMPARE(page.thumbnailModel()->getDeletePlotIds(), fresh.thumbnailModel()->getDeletePlotIds());
        QCOMPARE(itemCounts(page.graph()), itemCounts(fresh.graph()));
        QCOMPARE(colours(page.graph()), colours(fresh.graph()));
        // The new document's droplets, not an empty graph.
        QCOMPARE(itemCounts(page.graph()).size(), 8);
        QCOMPARE(page.graph()->axisX()->max(), 710.0f);
    }

    // Each zone alone: the droplets the page colours as in are the ones the recount counts.
    void coloursMatchRecount_data()
    {
        QTest::addColumn<BllTest::DocumentSeed>("document");
        QTest::addColumn<QVector<int>>("axes"); // x, y, z
        // Thresholds 500 everywhere; on each kind of droplet a different number of them, so a
        // code read over the wrong channels lands in a zone of another count.
        const auto lineWells = [](const QList<uint> &channels, const QVector<BllTest::Greys> &kinds) {
            QVector<BllTest::DropletSeed> d;
            for (int k = 0; k < kinds.size(); ++k)
                d += droplets(k + 1, kinds.at(k));
            BllTest::WellSeed w = BllTest::well(1, QStringLiteral("A1"), channels, d);
            w.lineThresholds.fill(500);
            return QList<BllTest::WellSeed>{w};
        };
        {
            // The well lists channels 4, 1, 2; the zones count them as 1, 2, 4.
            BllTest::DocumentSeed s;
            s.targets = BllTest::namedTargets({1, 2, 4});
            s.wells = lineWells({4, 1, 2}, {{900, 100, 0, 100, 0, 0}, {100, 100, 0, 900, 0, 0},
                                            {100, 900, 0, 100, 0, 0}, {900, 900, 0, 100, 0, 0},
                                            {100, 100, 0, 100, 0, 0}});
            s.plots3D.append({QStringLiteral("Out of order"), {{4, 1, 2}}});
            QTest::newRow("channels out of order") << s << QVector<int>{4, 1, 2};
        }
        {
            // Channel 2 is measured but carries no target name: no bit of the zone codes.
            BllTest::DocumentSeed s;
            s.targets = BllTest::namedTargets({1, 3});
            s.wells = lineWells({1, 2, 3}, {{100, 100, 900, 0, 0, 0}, {100, 900, 100, 0, 0, 0},
                                            {900, 100, 100, 0, 0, 0}, {900, 900, 900, 0, 0, 0},
                                            {100, 900, 900, 0, 0, 0}});
            s.plots3D.append({QStringLiteral("With an unnamed one"), {{1, 2, 3}}});
            QTest::newRow("unnamed target") << s << QVector<int>{1, 2, 3};
        }
        {
            // A five-pointed star drawn in one stroke on (1, 2): its centre is no part of the
            // zone by the odd-even rule, but inside by the winding rule.
            BllTest::DocumentSeed s;
            s.mode = PolygonThreshold;
            s.targets = BllTest::namedTargets({1, 2, 4});
            QVector<BllTest::DropletSeed> d = droplets(3, {500, 500, 0, 100, 0, 0}); // the centre
            d += droplets(2, {500, 150, 0, 100, 0, 0});                               // a point
            d += droplets(1, {5000, 5000, 0, 100, 0, 0});                             // far out
            BllTest::WellSeed w = BllTest::well(1, QStringLiteral("A1"), {1, 2, 4}, d);
            s.wells.append(w);
            s.plots2D.append({QStringLiteral("xy"), {1, 2}});
            BllTest::ZoneSeed star;
            star.plot = 0;
            star.polygon = QPolygonF({QPointF(500, 0), QPointF(800, 1000), QPointF(0, 300), QPointF(1000, 300),
                                      QPointF(200, 1000)});
            s.zones << star;
            BllTest::PopulationSeed p;
            p.name = QStringLiteral("Star");
            p.zones = {{0, PositiveZone}};
            s.populations << p;
            s.plots3D.append({QStringLiteral("Star"), {{1, 2, 4}}});
            QTest::newRow("self-crossing polygon") << s << QVector<int>{1, 2, 4};
        }
    }
    void coloursMatchRecount()
    {
        QFETCH(BllTest::DocumentSeed, document);
        QFETCH(QVector<int>, axes);
        QVERIFY(PopulationTest::load(document, &ids));
        BLLInstance *bll = BLLInstance::getInstance();
        const QList<uint> wells = WellListModel::instance()->getSelectWellIDs();
        for (uint well : wells)
            bll->updateZonesDroplets(well, false);
        const QVector<DrpltZoneInfo> zones = bll->getPopulationsMgr()->getZones();
        QVERIFY(!zones.isEmpty());
        int counted = 0;
        for (const DrpltZoneInfo &zone : zones) {
            const DotSets sets = Plot3DDot::populationDots(axes[0], axes[1], axes[2], {zone.id});
            const uint expected = recounted(wells, zone.id);
            QVERIFY2(uint(sets.lists[7].size()) == expected,
                     qPrintable(QStringLiteral("zone %1: coloured %2, counted %3").arg(zone.id).arg(sets.lists[7].size()).arg(expected)));
            counted += int(expected);
        }
        // Not a comparison of empty zones.
        QVERIFY(counted > 0);
    }

    // The first population is channel 1's: in when channel 1 reaches its threshold.
    void populationDraw()
    {
        Plot3DDot page;
        page.resize(1600, 900);
        page.refreshPage();
        QCOMPARE(page.getPopulationNames().size(), 4);
        const int index = 1;
        const uint population = page.populationOfIndex(index);
        page.rootObject()->setProperty("currentPopulationIndex", index);
        QMetaObject::invokeMethod(page.rootObject(), "populationChange");
        QVERIFY(page.zoneModel()->rowCount() > 0);
        makeCurrent(page, 0);
        QCOMPARE(page.rootObject()->property("circleColor").toString(),
                 BLLInstance::getInstance()->getPopulationsMgr()->getPopulationColor(population));
        QCOMPARE(itemCounts(page.graph()), (QList<int>{4, 4}));
        QCOMPARE(colours(page.graph()).first(), QStringLiteral("#555555"));
        QCOMPARE(colours(page.graph()).last(), QColor(page.rootObject()->property("circleColor").toString()).name());

        // Deselecting every zone leaves every droplet out.
        QSignalSpy updates(page.zoneModel(), &ZoneModel::zoneSelectUpdate);
        for (int r = 0; r < page.zoneModel()->rowCount(); ++r)
            page.zoneModel()->updateSelectStatus(r);
        page.zoneModel()->updateSelectStatus(page.zoneModel()->rowCount());
        QCOMPARE(updates.count(), page.zoneModel()->rowCount());
        QCOMPARE(itemCounts(page.graph()), (QList<int>{8, 0}));

        // An index past the list counts as "Default".
        page.rootObject()->setProperty("currentPopulationIndex", 99);
        QMetaObject::invokeMethod(page.rootObject(), "populationChange");
        QCOMPARE(page.graph()->seriesList().size(), 8);
        QCOMPARE(page.rootObject()->property("circleColor").toString(), QStringLiteral("#555555"));
    }

    // Polygon thresholds: "Default" shows every kept droplet in one grey series; a population
    // takes the first selected zone that lies on two of the shown channels, and a droplet no
    // such zone covers is not drawn.
    void polygonMode()
    {
        BllTest::DocumentSeed s = seed();
        s.mode = PolygonThreshold;
        s.plots2D.append({QStringLiteral("xy"), {1, 2}});
        s.plots2D.append({QStringLiteral("off"), {4, 6}});
        BllTest::ZoneSeed onShown, offShown;
        onShown.plot = 0;
        onShown.polygon = QPolygonF({QPointF(90, 90), QPointF(10000, 90), QPointF(10000, 10000), QPointF(90, 10000)});
        offShown.plot = 1;
        offShown.polygon = QPolygonF({QPointF(0, 0), QPointF(10000, 0), QPointF(10000, 10000), QPointF(0, 10000)});
        s.zones << offShown << onShown;
        BllTest::PopulationSeed p;
        p.name = QStringLiteral("Poly");
        p.colour = QStringLiteral("#aa00aa");
        p.zones = {{0, PositiveZone}, {1, PositiveZone}};
        s.populations << p;
        QVERIFY(PopulationTest::load(s, &ids));

        Plot3DDot page;
        page.resize(1600, 900);
        page.refreshPage();
        makeCurrent(page, 0); // x 1, y 2, z 4
        QCOMPARE(itemCounts(page.graph()), QList<int>{8});
        QCOMPARE(colours(page.graph()), QStringList{"#555555"});

        page.rootObject()->setProperty("currentPopulationIndex", 1);
        QMetaObject::invokeMethod(page.rootObject(), "populationChange");
        QCOMPARE(page.zoneModel()->rowCount(), 2);
        // The zone off the shown channels is skipped; the one on (x, y) holds (100, 100) only.
        QCOMPARE(itemCounts(page.graph()), (QList<int>{6, 2}));
        QCOMPARE(colours(page.graph()).last(), QStringLiteral("#aa00aa"));

        // Only the zone off the shown channels selected: nothing is drawn.
        page.zoneModel()->updateSelectStatus(1);
        QCOMPARE(itemCounts(page.graph()), (QList<int>{0, 0}));
        QCOMPARE(page.graph()->axisX()->max(), 310.0f);
    }

    void zoneRows()
    {
        const PopulationsInfo population = BLLInstance::getInstance()->getPopulationsMgr()->getPopulations().first();
        ZoneModel model;
        model.updateZones(population.id);
        QCOMPARE(model.rowCount(), population.zones.size());
        const QVector<DrpltZoneInfo> zones = BLLInstance::getInstance()->getPopulationsMgr()->getZones();
        for (int r = 0; r < model.rowCount(); ++r) {
            const QModelIndex i = model.index(r, 0);
            int position = -1;
            for (int z = 0; z < zones.size(); ++z)
                if (zones.at(z).id == population.zones.at(r).first)
                    position = z;
            QCOMPARE(model.data(i, ZoneModel::ZoneNameRole).toString(), QStringLiteral("Z%1").arg(position));
            QCOMPARE(model.data(i, ZoneModel::ZoneTypeRole).toString(), QStringLiteral("P"));
        }
        QCOMPARE(model.getSelectZoneIDs().size(), model.rowCount());
        model.updateZones(0);
        QCOMPARE(model.rowCount(), 0);
    }

    void addRenameDelete()
    {
        Plot3DDot page;
        page.resize(1600, 900);
        page.refreshPage();
        PlotGroupMgr *plots = BLLInstance::getInstance()->getPlotGroupMgr();
        QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);

        bool seen = false;
        PopulationTest::onModal<Add3DCombition>([](Add3DCombition *dialog) {
            QMetaObject::invokeMethod(dialog, "okClicked", Q_ARG(int, 2), Q_ARG(int, 4), Q_ARG(int, 6), Q_ARG(QString, "New"));
        }, &seen);
        QMetaObject::invokeMethod(page.rootObject(), "addPlotCombition");
        QVERIFY(seen);
        QCOMPARE(plots->get3DPlots().size(), 3);
        QCOMPARE(page.thumbnailModel()->rowCount(), 3);
        QCOMPARE(fixed.count(), 1);

        ThumbnailModel *model = page.thumbnailModel();
        // The same name again changes nothing: the file is not marked.
        model->setData(model->index(2, 0), QStringLiteral("New"), ThumbnailModel::TitleRole);
        QCOMPARE(fixed.count(), 1);
        model->setData(model->index(2, 0), QStringLiteral("Renamed"), ThumbnailModel::TitleRole);
        QCOMPARE(plots->get3DPlots().last().name, QStringLiteral("Renamed"));
        QCOMPARE(fixed.count(), 2);

        // Marked rows: Delete enabled; No keeps them, Yes removes them.
        model->setData(model->index(0, 0), true, ThumbnailModel::MarkedRole);
        QMetaObject::invokeMethod(&page, "deleteStatusChange");
        QVERIFY(page.rootObject()->property("deleteEnable").toBool());
        PopulationTest::onModal<DialogMessage>([](DialogMessage *box) { box->done(0); }, &seen);
        QMetaObject::invokeMethod(page.rootObject(), "deletePlotCombition");
        QVERIFY(seen);
        QCOMPARE(plots->get3DPlots().size(), 3);
        // The marked plot is the one shown: after the deletion the first one left shows.
        QCOMPARE(model->getShownPlotIds(), QVector<uint>{plots->get3DPlots().first().id});
        PopulationTest::onModal<DialogMessage>([](DialogMessage *box) { box->done(1); }, &seen);
        QMetaObject::invokeMethod(page.rootObject(), "deletePlotCombition");
        QVERIFY(seen);
        QCOMPARE(plots->get3DPlots().size(), 2);
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->getShownPlotIds(), QVector<uint>{plots->get3DPlots().first().id});
        QCOMPARE(page.graph()->seriesList().size(), 8);
        QCOMPARE(fixed.count(), 3);
        QVERIFY(!page.rootObject()->property("deleteEnable").toBool());
    }

private:
    BllTest::SeededIds ids;
};

LUMARA_TEST_GUI_MAIN(TestPlot3D)
#include "tst_plot3d.moc"
