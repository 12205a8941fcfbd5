// The quality-control droplet panel: every droplet's marker state against the records in both
// threshold modes, the legend flags with their literal rules, exclusion, inclusion and restore
// through the business layer, the undo state of right-click picks, and small images.
#include "qctest.h"
#include "testmain.h"

#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "modalanswerer.h"

#include <QDialog>

#include <QSignalSpy>


using namespace QcTest;
using LumaraTest::ModalAnswerer;
using namespace LumaraAnalysisData;

namespace {

// Bit (excluded * 4 + positive * 2 + saturated) set: markers of that mix are visible.
using VisibleMask = int;

QSet<uint> expectedVisible(VisibleMask mask, const QSet<uint> &positives)
{
    return dropletsWhere([&](int i) {
        const int bit = (excludedDroplets().contains(uint(i)) ? 4 : 0) + (positives.contains(uint(i)) ? 2 : 0)
            + (saturatedDroplets().contains(uint(i)) ? 1 : 0);
        return (mask >> bit) & 1;
    });
}

QSet<uint> positivesOf(uint channel)
{
    return dropletsWhere([channel](int i) { return channel == 1 ? grey1(i) >= Threshold1 : grey2(i) >= Threshold2; });
}

void pick(DropletPannel &panel, uint id)
{
    const QMap<uint, QCDrpltMarker *> byId = markersById(panel);
    QVERIFY(byId.contains(id));
    rightClick(panel, toView(panel, byId.value(id)->scenePos()));
}

} // namespace

class TestQcPanel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initCase();
    }

    void markerStates_data()
    {
        QTest::addColumn<bool>("polygonMode");
        QTest::addColumn<int>("population"); // index among the seeded populations
        QTest::addColumn<QSet<uint>>("positives");
        QTest::newRow("line, first population") << false << 0 << positivesOf(1);
        QTest::newRow("line, second population") << false << 1 << positivesOf(2);
        QTest::newRow("polygon, star by odd-even")
            << true << 0 << dropletsWhere([](int i) {
                   const QPointF p(grey1(i), grey2(i));
                   return p == QPointF(1000, 3000) || p == QPointF(999, 3000) || p == QPointF(1500, 2000)
                       || p == QPointF(500, 2000);
               });
    }

    // Excluded from the record's set, saturated from any status 3, positive from the
    // population: each marker of the well against its droplet.
    void markerStates()
    {
        QFETCH(bool, polygonMode);
        QFETCH(int, population);
        QFETCH(QSet<uint>, positives);
        BllTest::DocumentSeed seed = qcSeed();
        if (polygonMode) {
            seed.mode = PolygonThreshold;
            seed.plots2D = {{QStringLiteral("T1_T2"), {1, 2}}};
            BllTest::ZoneSeed zone;
            zone.plot = 0;
            zone.polygon = star();
            seed.zones = {zone};
            BllTest::PopulationSeed star;
            star.name = QStringLiteral("Star");
            star.zones = {{0, PositiveZone}};
            seed.populations = {star};
        }
        BllTest::SeededIds ids;
        QVERIFY(load(seed, &ids));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        QVERIFY(population < ids.populations.size());
        // The first population is drawn without a choice.
        QCOMPARE(panel->currentPopulation(), WellListModel::instance()->getFirstPopulationID());
        panel->switchPopulation(ids.populations.at(population));

        const QMap<uint, QCDrpltMarker *> byId = markersById(*panel);
        QCOMPARE(byId.size(), DropletCount);
        for (int i = 0; i < DropletCount; ++i) {
            const QCDrpltMarker *marker = byId.value(uint(i));
            QVERIFY(marker);
            QCOMPARE(marker->pos(), QPointF(centreOf(i)));
            QCOMPARE(marker->excluded, excludedDroplets().contains(uint(i)));
            QCOMPARE(marker->saturated, saturatedDroplets().contains(uint(i)));
            QCOMPARE(marker->positive, positives.contains(uint(i)));
            QVERIFY(marker->isVisible());
        }
    }

    void showFlags_data()
    {
        QTest::addColumn<QStringList>("steps"); // P, N, E, S, A (show all) with 0 or 1; "draw"
        QTest::addColumn<VisibleMask>("visible");
        QTest::addColumn<bool>("allFlagsOn");
        QTest::newRow("positive off, negative off and on again")
            << QStringList{"P0", "N0", "N1"} << 0xF3 << false;
        QTest::newRow("excluded off") << QStringList{"E0"} << 0x0F << false;
        QTest::newRow("positive off leaves excluded positives") << QStringList{"P0"} << 0xF3 << false;
        QTest::newRow("show all alone leaves negatives hidden") << QStringList{"N0", "A1"} << 0xFC << true;
        QTest::newRow("negative on shows saturated negatives")
            << QStringList{"S0", "N1"} << 0xF7 << false;
        QTest::newRow("drawing applies every rule") << QStringList{"S0", "N0", "draw"} << 0x44 << false;
        QTest::newRow("show all off hides the excluded only") << QStringList{"A0"} << 0x0F << false;
        QTest::newRow("flags survive a population switch")
            << QStringList{"E0", "switch"} << 0x0F << false;
    }

    // Each slot sets the visibility of its kind only; drawing applies all flags at once.
    void showFlags()
    {
        QFETCH(QStringList, steps);
        QFETCH(VisibleMask, visible);
        QFETCH(bool, allFlagsOn);
        BllTest::SeededIds ids;
        QVERIFY(load(qcSeed(), &ids));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        QCOMPARE(panel->currentPopulation(), ids.populations.first());
        for (const QString &step : steps) {
            const bool on = step.endsWith(QLatin1Char('1'));
            if (step == QLatin1String("draw"))
                panel->reloadImage();
            else if (step == QLatin1String("switch"))
                panel->switchPopulation(ids.populations.first());
            else if (step.startsWith(QLatin1Char('P')))
                panel->showPositiveDroplets(on);
            else if (step.startsWith(QLatin1Char('N')))
                panel->showNegtiveDroplets(on);
            else if (step.startsWith(QLatin1Char('E')))
                panel->showExcludeDroplets(on);
            else if (step.startsWith(QLatin1Char('S')))
                panel->showSaturatedDroplets(on);
            else if (step.startsWith(QLatin1Char('A')))
                panel->showAll(on);
        }
        QCOMPARE(visibleIds(*panel), expectedVisible(visible, positivesOf(1)));
        QCOMPARE(panel->showNegative() && panel->showPositive() && panel->showExcluded() && panel->showSaturated(),
                 allFlagsOn);
    }

    // Without wells the flags are not touched.
    void showFlagsNeedWells()
    {
        WellListModel::instance()->setModelType(0);
        QVERIFY(load(qcSeed()));
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        BllTest::DocumentSeed empty;
        QVERIFY(BllTest::seedDocument(empty));
        emit SignalTransfer::getInstance()->updateWellInfo();
        QCOMPARE(WellListModel::instance()->rowCount(), 0);
        panel->showNegtiveDroplets(false);
        panel->showAll(false);
        QVERIFY(panel->showNegative());
        QVERIFY(panel->showExcluded());
    }

    void exclusion_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<uint>>("picked");
        QTest::addColumn<bool>("answer"); // of the restore question
        QTest::addColumn<QSet<uint>>("expected");
        QTest::addColumn<int>("told"); // updateQCParenmertes emitted
        QTest::newRow("exclude") << "exclude" << QList<uint>{0, 5} << true << (excludedDroplets() + QSet<uint>{0, 5}) << 1;
        QTest::newRow("include") << "include" << QList<uint>{1, 4} << true << QSet<uint>{6, 11} << 1;
        QTest::newRow("include all") << "include" << excludedDroplets().values() << true << QSet<uint>() << 1;
        QTest::newRow("restore") << "restore" << QList<uint>{} << true << QSet<uint>() << 1;
        QTest::newRow("restore declined") << "restore" << QList<uint>{} << false << excludedDroplets() << 0;
    }

    // The document's set, the well table's mark and the redrawn markers follow; the page is told.
    void exclusion()
    {
        QFETCH(QString, action);
        QFETCH(QList<uint>, picked);
        QFETCH(bool, answer);
        QFETCH(QSet<uint>, expected);
        QFETCH(int, told);
        QVERIFY(load(qcSeed()));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        for (uint id : picked)
            pick(*panel, id);
        QCOMPARE(panel->pickCount(), picked.size());
        QSignalSpy tell(panel.get(), &DropletPannel::updateQCParenmertes);
        ModalAnswerer answerer([answer](QWidget *modal) {
            if (answer)
                static_cast<QDialog *>(modal)->accept();
            else
                static_cast<QDialog *>(modal)->reject();
        });
        if (action == QLatin1String("exclude"))
            panel->exclude();
        else if (action == QLatin1String("include"))
            panel->include();
        else
            panel->restore();

        QCOMPARE(BLLInstance::getInstance()->getExcludedDroplets(1), expected);
        QCOMPARE(WellListModel::instance()->getWellExclude(1), !expected.isEmpty());
        QCOMPARE(tell.count(), told);
        QCOMPARE(answerer.seen(), action == QLatin1String("restore") ? QStringList{"DialogMessage"} : QStringList());
        QSet<uint> marked;
        for (QCDrpltMarker *marker : panel->markers()) {
            if (marker->excluded)
                marked.insert(marker->id);
            if (told)
                QVERIFY(!marker->selected);
        }
        QCOMPARE(marked, expected);
        QCOMPARE(panel->markers().size(), DropletCount);
    }

    void undoFollowsPicks_data()
    {
        QTest::addColumn<QList<uint>>("clicks");
        QTest::addColumn<int>("picks");
        QTest::addColumn<bool>("undoEnabled");
        QTest::newRow("one pick") << QList<uint>{3} << 1 << true;
        QTest::newRow("the only pick taken back") << QList<uint>{3, 3} << 0 << false;
        QTest::newRow("one of two taken back") << QList<uint>{3, 7, 3} << 1 << true;
    }

    // Right clicks pick and unpick markers; unpicking the only one disables Undo.
    void undoFollowsPicks()
    {
        QFETCH(QList<uint>, clicks);
        QFETCH(int, picks);
        QFETCH(bool, undoEnabled);
        QVERIFY(load(qcSeed()));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        QSignalSpy undo(panel.get(), &DropletImageView::enableUndo);
        for (uint id : clicks)
            pick(*panel, id);
        QCOMPARE(panel->pickCount(), picks);
        QVERIFY(!undo.isEmpty());
        QCOMPARE(undo.last().first().toBool(), undoEnabled);
    }

    // Qt does not select a hidden marker: redone while its kind is hidden, a pick stays
    // unpicked, so the marker never shows picked without Exclude taking it.
    void refusedHiddenPickIsNotFlagged()
    {
        QVERIFY(load(qcSeed()));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        uint id = DropletCount;
        for (QCDrpltMarker *marker : panel->markers())
            if (!marker->positive && !marker->excluded && !marker->saturated && id == uint(DropletCount))
                id = marker->id;
        QVERIFY(id < uint(DropletCount));
        pick(*panel, id);
        QCOMPARE(panel->pickCount(), 1);
        QVERIFY(markersById(*panel).value(id)->selected);
        panel->undo();
        panel->showNegtiveDroplets(false);
        QVERIFY(!markersById(*panel).value(id)->isVisible());
        panel->redo();
        panel->showNegtiveDroplets(true);
        QCDrpltMarker *marker = markersById(*panel).value(id);
        QVERIFY(marker->isVisible());
        QVERIFY(!marker->isSelected());
        QVERIFY(!marker->selected);
        panel->exclude();
        QCOMPARE(BLLInstance::getInstance()->getExcludedDroplets(1), excludedDroplets());
    }

    // On an image narrower than 51 pixels nothing changes the well or the markers.
    void smallImageChangesNothing()
    {
        BllTest::DocumentSeed seed = qcSeed();
        for (QImage &image : seed.wells[0].channelImages)
            image = image.copy(0, 0, 50, ImageHeight);
        QVERIFY(load(seed));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        QVERIFY(panel->imageItem());
        pick(*panel, 0);
        QCOMPARE(panel->pickCount(), 1);
        const QGraphicsPixmapItem *image = panel->imageItem();
        QSignalSpy tell(panel.get(), &DropletPannel::updateQCParenmertes);
        ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        panel->exclude();
        panel->include();
        panel->restore();
        panel->autoBrightContrast();
        panel->switchPopulation(panel->currentPopulation());
        QCOMPARE(BLLInstance::getInstance()->getExcludedDroplets(1), excludedDroplets());
        QCOMPARE(tell.count(), 0);
        QCOMPARE(answerer.seen(), QStringList());
        QCOMPARE(panel->imageItem(), image);
        QCOMPARE(panel->pickCount(), 1);
    }

    void brightnessAndContrast_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("changes");
        QTest::newRow("brightness") << 1 << true;
        QTest::newRow("contrast") << 2 << true;
        QTest::newRow("unknown kind") << 0 << false;
        QTest::newRow("explore's contrast number is not ours") << 3 << false;
    }

    // The page's numbering: 1 brightness, 2 contrast; a step makes the channel manual and
    // draws the markers again.
    void brightnessAndContrast()
    {
        QFETCH(int, type);
        QFETCH(bool, changes);
        QVERIFY(load(qcSeed()));
        selectWell(1);
        auto panel = shownView<DropletPannel>();
        QVERIFY(panel);
        panel->loadImage(1, 1);
        const QImage before = panel->imageItem()->pixmap().toImage();
        panel->adjustBrightContrast(type, 0.3);
        // A step shows a new picture; an unknown kind shows nothing new.
        QCOMPARE(panel->imageItem()->pixmap().toImage() != before, changes);
        if (changes)
            QCOMPARE(panel->getAdjustType(1), 1);
        QCOMPARE(panel->markers().size(), DropletCount);
        panel->resetState();
        QCOMPARE(panel->getAdjustType(1), 2);
        QCOMPARE(panel->shownWell(), 0u);
    }
};

LUMARA_TEST_GUI_MAIN(TestQcPanel)
#include "tst_qcpanel.moc"
