// The shared well model on seeded documents: rows, columns and roles in its three modes, the
// refresh road from the hub, counts after reordering, selection, reordering, removal, the
// edits that reach the document and the threshold cache.
#include "bllaccess.h"
#include "bll/dropletexclude.h"
#include "bll/experimenteditmgr.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;
using BllTest::WellSeed;

namespace {

const uint Negative = 500;
const uint Positive = 2000;
const uint Threshold = 1000;

// A well whose first `positives` droplets are positive in the channel (entry channel - 1).
WellSeed makeWell(uint id, const QString &position, const QString &sample, int droplets,
                  const std::array<int, PerChannel> &positives, const QList<uint> &channels = {1, 2, 4})
{
    WellSeed w = BllTest::well(id, position, channels);
    w.sampleName = sample;
    w.comment = QStringLiteral("note %1").arg(id);
    w.plateIndex = int(id) + 10;
    for (int i = 0; i < droplets; ++i) {
        BllTest::Greys g{};
        for (int c = 0; c < PerChannel; ++c)
            g[c] = i < positives[c] ? Positive : Negative;
        w.droplets.append(BllTest::droplet(g));
    }
    w.lineThresholds.fill(Threshold);
    return w;
}

// Three wells on channels 1, 2 and 4 (three named targets, so three line populations).
DocumentSeed threeWells()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 4});
    seed.wells.append(makeWell(1, QStringLiteral("A1"), QStringLiteral("Beta"), 10, {{4, 2, 0, 0, 0, 0}}));
    seed.wells.append(makeWell(2, QStringLiteral("A2"), QStringLiteral("Alpha"), 12, {{6, 0, 0, 3, 0, 0}}));
    seed.wells.append(makeWell(3, QStringLiteral("B1"), QStringLiteral("Gamma"), 8, {{1, 1, 0, 1, 0, 0}}));
    return seed;
}

WellListModel *model()
{
    return WellListModel::instance();
}

// Seeds the document, recounts every well and lets the hub announce the new wells.
void load(const DocumentSeed &seed)
{
    QString error;
    QVERIFY2(BllTest::seedDocument(seed, nullptr, &error), qPrintable(error));
    for (const WellSeed &w : seed.wells)
        bll()->updateZonesDroplets(w.id, false);
    model()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
}

QList<uint> listedIds()
{
    QList<uint> ids;
    for (const WellListItem &w : model()->getWellList())
        ids.append(w.wellId);
    return ids;
}

QVariantList rows(std::initializer_list<int> list)
{
    QVariantList out;
    for (int r : list)
        out.append(r);
    return out;
}

const WellEditRow *rowOf(const QList<WellEditRow> &rows, uint id)
{
    for (const WellEditRow &r : rows)
        if (r.wellId == id)
            return &r;
    return nullptr;
}

int privateChannelType(uint wellId, uint channel)
{
    int type = -2;
    QMetaObject::invokeMethod(model(), "getWellChannelType", Qt::DirectConnection, Q_RETURN_ARG(int, type),
                              Q_ARG(uint, wellId), Q_ARG(uint, channel));
    return type;
}

struct ModeGuard {
    explicit ModeGuard(int mode) { model()->setModelType(mode); }
    ~ModeGuard() { model()->setModelType(0); }
};

} // namespace

class TestWellListModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BLLInstance::createSingletons(); }
    void init() { load(threeWells()); }

    void counts_data();
    void counts();
    void rowsAndPlainRoles_data();
    void rowsAndPlainRoles();
    void modelTester_data();
    void modelTester();

    void channelRoles_data();
    void channelRoles();
    void populationRoles_data();
    void populationRoles();
    void populationWithoutEntry();

    void textQueries();
    void emptyModelFallbacks_data();
    void emptyModelFallbacks();
    void populationLookups();

    void refreshRoad_data();
    void refreshRoad();
    void scopeAfterReload_data();
    void scopeAfterReload();
    void countsAfterReordering_data();
    void countsAfterReordering();
    void countsWithWellsMissingFromTheDocument();

    void selection();
    void ensureAndKeepFirst();
    void moves_data();
    void moves();
    void sortKeepsEqualNames_data();
    void sortKeepsEqualNames();
    void removeWell_data();
    void removeWell();
    void removeEveryWell();

    void setRefConcentrationOnlyStandards();
    void setDilutionAndType();
    void setSampleName();

    void thresholdCacheEdits();
    void applyWritesAndRecounts();
    void applyLeavesUncachedWells();
};

// ---- Rows, columns and roles ----------------------------------------------------------------------

void TestWellListModel::counts_data()
{
    QTest::addColumn<int>("wells");     // -1: the three-well seed
    QTest::addColumn<bool>("polygons"); // two polygon populations on channels 1 and 2
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("columnCount");
    QTest::newRow("list") << -1 << false << 0 << 3 << 1;
    QTest::newRow("experiment, three channels") << -1 << false << 1 << 4 << 15;
    QTest::newRow("results, three populations") << -1 << false << 2 << 4 << 24;
    QTest::newRow("experiment, two channels") << 2 << true << 1 << 3 << 12;
    QTest::newRow("results, two populations") << 2 << true << 2 << 3 << 17;
    QTest::newRow("no wells, list") << 0 << false << 0 << 0 << 1;
    QTest::newRow("no wells, experiment") << 0 << false << 1 << 1 << 0;
    QTest::newRow("no wells, results") << 0 << false << 2 << 1 << 0;
}

void TestWellListModel::counts()
{
    QFETCH(int, wells);
    QFETCH(bool, polygons);
    QFETCH(int, mode);
    QFETCH(int, rowCount);
    QFETCH(int, columnCount);
    if (wells >= 0) {
        DocumentSeed seed;
        seed.targets = BllTest::namedTargets({1, 2});
        for (int i = 0; i < wells; ++i)
            seed.wells.append(makeWell(uint(i) + 1, QStringLiteral("C%1").arg(i + 1), QString(), 4, {}, {1, 2}));
        if (polygons) {
            seed.mode = PolygonThreshold;
            seed.plots2D = {{"P", {1, 2}}};
            seed.populations = {{QStringLiteral("one"), QStringLiteral("#112233"), false, {}},
                                {QStringLiteral("two"), QStringLiteral("#445566"), false, {}}};
        }
        load(seed);
    }
    ModeGuard guard(mode);
    QCOMPARE(model()->rowCount(), rowCount);
    QCOMPARE(model()->columnCount(), columnCount);
    QCOMPARE(model()->modelIsEmpty(), wells == 0);
    // A table has no children.
    if (columnCount > 0)
        QCOMPARE(model()->rowCount(model()->index(0, 0)), 0);
}

void TestWellListModel::rowsAndPlainRoles_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("list") << 0;
    QTest::newRow("experiment") << 1;
    QTest::newRow("results") << 2;
}

void TestWellListModel::rowsAndPlainRoles()
{
    QFETCH(int, mode);
    ModeGuard guard(mode);
    model()->setCurrentWell(2);
    const QList<WellEditRow> docRows = bll()->getExperimentEditMgr()->getWellRows();
    const QList<uint> ids{1, 2, 3};
    for (int r = 0; r < model()->rowCount(); ++r) {
        // Modes 1 and 2: row 0 is the header row and reads the first well, like row 1.
        const int position = mode == 0 ? r : qMax(0, r - 1);
        const uint id = ids.at(position);
        const WellEditRow *row = rowOf(docRows, id);
        QVERIFY(row);
        const QModelIndex index = model()->index(r, 0);
        QCOMPARE(index.data(WellListModel::WellIDRole).toUInt(), id);
        QCOMPARE(index.data(WellListModel::WellNameIDRole).toString(), row->wellText);
        QCOMPARE(index.data(WellListModel::WellNameRole).toString(), row->wellName);
        QCOMPARE(index.data(WellListModel::PlateIndexRole).toUInt(), id + 10);
        QCOMPARE(index.data(WellListModel::SampleNameRole).toString(),
                 QString(QStringList{"Beta", "Alpha", "Gamma"}.at(position)));
        QCOMPARE(index.data(WellListModel::WellCommentRole).toString(), QStringLiteral("note %1").arg(id));
        QCOMPARE(index.data(WellListModel::DropletSumRole).toUInt(), uint(QList<int>{10, 12, 8}.at(position)));
        QCOMPARE(index.data(WellListModel::EffDropletSumRole).toUInt(), uint(QList<int>{10, 12, 8}.at(position)));
        QCOMPARE(index.data(WellListModel::WellExclude).toBool(), false);
        // The reload selects the first well.
        QCOMPARE(index.data(WellListModel::WellSelect).toBool(), position == 0);
        QCOMPARE(index.data(276).toBool(), id == 2);
        for (int role : {265, 266, 267, 268, 269, 275, 283, int(Qt::DisplayRole)})
            QVERIFY2(!index.data(role).isValid(), qPrintable(QString::number(role)));
        QCOMPARE(model()->getData(r, 0, WellListModel::WellIDRole).toUInt(), id);
    }
    QVERIFY(!model()->getData(model()->rowCount(), 0, WellListModel::WellIDRole).isValid());
    QVERIFY(!model()->getData(-1, 0, WellListModel::WellIDRole).isValid());

    const QHash<int, QByteArray> names = model()->roleNames();
    QCOMPARE(names.size(), 24);
    QVERIFY(!names.contains(275) && !names.contains(276));
    QCOMPARE(names.value(257), QByteArray("WellIDRole"));
    QCOMPARE(names.value(265), QByteArray("ChannleInfoRole"));
    QCOMPARE(names.value(271), QByteArray("WellSelect"));
    QCOMPARE(names.value(279), QByteArray("NbNegtiveRole"));
    QCOMPARE(names.value(282), QByteArray("RelativeUncertainlyRole"));
}

void TestWellListModel::modelTester_data()
{
    rowsAndPlainRoles_data();
}

void TestWellListModel::modelTester()
{
    QFETCH(int, mode);
    ModeGuard guard(mode);
    QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    model()->updateModel();
    model()->sampleNameSort(true);
    load(DocumentSeed());
    model()->setModelType(mode);
    model()->updateModel();
}

void TestWellListModel::channelRoles_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("reference");
    QTest::addColumn<QVariant>("dilution");
    // Well 1: channel 1 'U', channel 2 'S' with reference 123456, channel 4 'N' with
    // dilution 99999.004; channel list 1, 2, 4.
    QTest::newRow("fixed column") << 5 << -1 << QVariant("--") << QVariant("--");
    QTest::newRow("channel 1") << 6 << 0 << QVariant("0.00") << QVariant("1.00");
    QTest::newRow("channel 1, third column") << 8 << 0 << QVariant("0.00") << QVariant("1.00");
    QTest::newRow("channel 2") << 9 << 2 << QVariant("1.23e+05") << QVariant("1.00");
    QTest::newRow("channel 4") << 12 << 3 << QVariant("0.00") << QVariant("99999.00");
}

void TestWellListModel::channelRoles()
{
    QFETCH(int, column);
    QFETCH(int, type);
    QFETCH(QVariant, reference);
    QFETCH(QVariant, dilution);
    bll()->setChannelType(1, 1, QLatin1Char('U'));
    bll()->setChannelType(1, 2, QLatin1Char('S'));
    bll()->setChannelType(1, 4, QLatin1Char('N'));
    QVERIFY(bll()->setRefConcentration(1, 2, 123456));
    QVERIFY(bll()->setChannelDilution(1, 4, 99999.004));
    emit SignalTransfer::getInstance()->updateWellInfo();
    ModeGuard guard(1);
    for (int row : {0, 1}) {
        const QModelIndex index = model()->index(row, column);
        QCOMPARE(index.data(WellListModel::ExpTypeRole).toInt(), type);
        QCOMPARE(index.data(WellListModel::RefStockRole), reference);
        QCOMPARE(index.data(WellListModel::DilutionRole), dilution);
    }
    // 'N' is 3 in the selector's order and 1 in the type queries'.
    QCOMPARE(privateChannelType(1, 4), 1);
    QCOMPARE(privateChannelType(1, 2), 3);
    QCOMPARE(privateChannelType(99, 4), 0);
    QCOMPARE(privateChannelType(1, 7), 0);
}

void TestWellListModel::populationRoles_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("dilution"); // as DilutionRole gives it in mode 2
    QTest::addColumn<uint>("positives");
    QTest::addColumn<uint>("negatives");
    // Line populations follow the channels 1, 2, 4: 7 columns each from column 3.
    QTest::newRow("well 1, channel 1") << 2 << 1u << 3 << "1.00" << 4u << 6u;
    QTest::newRow("well 1, channel 2") << 2 << 1u << 10 << "1.00" << 2u << 8u;
    QTest::newRow("well 2, channel 4, last column") << 2 << 2u << 23 << "1.00" << 3u << 9u;
    // Channel 1 of well 2 has no dilution (-1).
    QTest::newRow("well 2, no dilution") << 2 << 2u << 4 << "N/A" << 6u << 6u;
    QTest::newRow("mode 1 reads populations too") << 1 << 3u << 10 << "" << 1u << 7u;
}

void TestWellListModel::populationRoles()
{
    QFETCH(int, mode);
    QFETCH(uint, wellId);
    QFETCH(int, column);
    QFETCH(QString, dilution);
    QFETCH(uint, positives);
    QFETCH(uint, negatives);
    QVERIFY(bll()->setChannelDilution(2, 1, -1));
    emit SignalTransfer::getInstance()->updateWellInfo();
    ModeGuard guard(mode);
    const int row = mode == 0 ? int(wellId) - 1 : int(wellId);
    const QModelIndex index = model()->index(row, column);
    QCOMPARE(index.data(WellListModel::NbPosRole).toUInt(), positives);
    QCOMPARE(index.data(WellListModel::NbNegtiveRole).toUInt(), negatives);
    if (mode == 2)
        QCOMPARE(index.data(WellListModel::DilutionRole).toString(), dilution);
    // The figures are the stored results, written in the table's number format.
    const QList<PopulationsInfo> populations = bll()->getPopulationsMgr()->getPopulations();
    const uint populationId = populations.at((column - 3) / 7).id;
    PopulationResultInfo stored;
    for (const PopulationResultInfo &r : bll()->getResultCalculate()->getPopulationResults(wellId))
        if (r.populationId == populationId)
            stored = r;
    QVERIFY(stored.concentration > 0);
    QCOMPARE(index.data(WellListModel::ConcentrationRole).toString(), QString::number(stored.concentration, 'f', 2));
    QCOMPARE(index.data(WellListModel::MinConcentrationRole).toString(), QString::number(stored.concentrationLower, 'f', 2));
    QCOMPARE(index.data(WellListModel::MaxConcentrationRole).toString(), QString::number(stored.concentrationUpper, 'f', 2));
    QCOMPARE(index.data(WellListModel::RelativeUncertainlyRole).toString(),
             QString::number(stored.uncertainty * 100, 'f', 2));
    // The fixed columns of the result table.
    const QModelIndex fixed = model()->index(row, 2);
    for (int role : {int(WellListModel::ConcentrationRole), int(WellListModel::NbPosRole), int(WellListModel::RelativeUncertainlyRole)})
        QCOMPARE(fixed.data(role).toString(), QStringLiteral("--"));
}

void TestWellListModel::populationWithoutEntry()
{
    // Well 3 loses its results: every population column reads the fallbacks.
    AnalysisResultMgr *results = PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getAnalysisRetMgr();
    WellResultInfo result = results->getWellResult(3);
    result.populationResults.clear();
    QVERIFY(results->removeWell(3));
    results->appendWellResult(result);
    model()->refreshPopulationResults();
    ModeGuard guard(2);
    const QModelIndex index = model()->index(3, 10);
    QCOMPARE(index.data(WellListModel::DilutionRole).toString(), QStringLiteral("N/A"));
    QCOMPARE(index.data(WellListModel::ConcentrationRole).toString(), QStringLiteral("0.00"));
    QCOMPARE(index.data(WellListModel::MinConcentrationRole).toString(), QStringLiteral("0.00"));
    QCOMPARE(index.data(WellListModel::RelativeUncertainlyRole).toString(), QStringLiteral("0.00"));
    QCOMPARE(index.data(WellListModel::NbPosRole).toUInt(), 0u);
    QCOMPARE(index.data(WellListModel::NbNegtiveRole).toUInt(), 0u);
    // Well 2 still has its own.
    QCOMPARE(model()->index(2, 3).data(WellListModel::NbPosRole).toUInt(), 6u);
}

// ---- Queries --------------------------------------------------------------------------------------

void TestWellListModel::textQueries()
{
    QCOMPARE(model()->getTargetName(2), QStringLiteral("T2"));
    QCOMPARE(model()->getFluorophoreName(4), QStringLiteral("D4"));
    QCOMPARE(model()->getTargetName(3), QStringLiteral("----"));
    QCOMPARE(model()->getFluorophoreName(0), QStringLiteral("----"));
    QCOMPARE(model()->getExposeTime(1, 2), QStringLiteral("100"));
    QCOMPARE(model()->getFocus(1, 2), QStringLiteral("0.25"));
    QVERIFY(model()->getWellChannelStatus(1, 4));
    QVERIFY(!model()->getWellChannelStatus(1, 5));
    QVERIFY(model()->currentChannelIsAvaiable(2, 4));
    QVERIFY(!model()->currentChannelIsAvaiable(2, 3));
    QVERIFY(!model()->currentChannelIsAvaiable(0, 1));
    QCOMPARE(model()->getRoxChannelID(1), 3u);
    QCOMPARE(model()->getTargetChannnelID(1), 2u);
    QCOMPARE(model()->getTargetChannnelID(3), 1u);
    QCOMPARE(model()->getTargetChannnelID(-1), 1u);
    // A name kept by its own channel is no clash; one used by another channel is.
    QVERIFY(model()->isTargetNameExist(QStringLiteral("T2"), 2));
    QVERIFY(!model()->isTargetNameExist(QStringLiteral("T2"), 1));
    QVERIFY(model()->isTargetNameExist(QStringLiteral("new"), 1));
    model()->setTargetName(2, QStringLiteral("Renamed"));
    QCOMPARE(model()->getTargetName(2), QStringLiteral("Renamed"));

    QCOMPARE(model()->getWellNameIDs(), (QStringList{"A1", "A2", "B1"}));
    QCOMPARE(model()->getWellNameIDList(2), QStringList{"A2"});
    QVERIFY(model()->getWellNameIDList(9).isEmpty());
    QCOMPARE(model()->getSampleName(3), QStringLiteral("Gamma"));
    QVERIFY(model()->getSampleName(9).isEmpty());
    QVERIFY(model()->getWellName(9).isEmpty());
    QCOMPARE(model()->getEffDropletSum({1, 3, 9}), 18u);
    QCOMPARE(model()->getLastWellID(), 3u);
    QCOMPARE(model()->getEffDroplet(2), 12u);
    QCOMPARE(model()->getPFuMean(1, 1), Positive);

    // Focus below 0.001 shows as 0.
    DocumentSeed seed = threeWells();
    seed.wells[0].focus = 0.0005;
    load(seed);
    QCOMPARE(model()->getFocus(1, 1), QStringLiteral("0"));
}

void TestWellListModel::emptyModelFallbacks_data()
{
    rowsAndPlainRoles_data();
}

void TestWellListModel::emptyModelFallbacks()
{
    QFETCH(int, mode);
    // No wells, one population.
    DocumentSeed seed;
    seed.mode = PolygonThreshold;
    seed.populations = {{QStringLiteral("one"), QStringLiteral("#112233"), false, {}}};
    load(seed);
    ModeGuard guard(mode);
    QCOMPARE(model()->getTargetName(1), QStringLiteral("----"));
    QCOMPARE(model()->getFluorophoreName(1), QStringLiteral("----"));
    QCOMPARE(model()->getExposeTime(1, 1), QStringLiteral("----"));
    QCOMPARE(model()->getFocus(1, 1), QStringLiteral("----"));
    QCOMPARE(model()->getExpComment(), QString());
    QCOMPARE(model()->getColorByChannelName(QStringLiteral("anything")), QStringLiteral("#bbbbbb"));
    QCOMPARE(model()->getSelectWellID(), -1);
    QCOMPARE(model()->getFirstSelectWellID(), -1);
    QCOMPARE(model()->getLastWellID(), 0u);
    QVERIFY(model()->getSelectRow().isEmpty());
    QVERIFY(!model()->existExcludeDroplets());
    // Only the well list has no rows at all; the tables keep their header row.
    QCOMPARE(model()->getPopulationNames().isEmpty(), mode == 0);
    QSignalSpy none(model(), &WellListModel::noAvailableModel);
    model()->removeWell(rows({1}));
    model()->moveUpItem(rows({1}));
    model()->sampleNameSort(true);
    QCOMPARE(none.count(), 0);
}

void TestWellListModel::populationLookups()
{
    const QList<PopulationsInfo> populations = bll()->getPopulationsMgr()->getPopulations();
    QCOMPARE(populations.size(), 3);
    QVariantList names;
    for (const PopulationsInfo &p : populations)
        names.append(p.name);
    QCOMPARE(model()->getPopulationNames(), names);
    QCOMPARE(model()->getPopulationNameByIndex(1), populations.at(1).name);
    QCOMPARE(model()->getPopulationNameByIndex(3), QString());
    QCOMPARE(model()->getPopulationTextColor(2), populations.at(2).signColor);
    QCOMPARE(model()->getPopulationTextColor(-1), QStringLiteral("#ffffff"));
    QCOMPARE(model()->getPopulationTextColor(3), QStringLiteral("#ffffff"));
    const QString colour = populations.at(0).signColor;
    QCOMPARE(model()->getPopulationBackgroundColor(0), QStringLiteral("#12") + colour.mid(1));
    QCOMPARE(model()->getPopulationBackgroundColor(3), QStringLiteral("#ffffff"));
    QCOMPARE(model()->getColorByChannelName(populations.at(1).name), populations.at(1).signColor);
    QCOMPARE(model()->getColorByChannelName(QStringLiteral("none")), QStringLiteral("#bbbbbb"));
    QCOMPARE(model()->getFirstPopulationID(), populations.at(0).id);
    QCOMPARE(model()->getPopulationIDByName(populations.at(2).name), populations.at(2).id);
    QCOMPARE(model()->getPopulationIDByName(QStringLiteral("none")), 0u);
}

// ---- Refresh road ---------------------------------------------------------------------------------

void TestWellListModel::scopeAfterReload_data()
{
    QTest::addColumn<QStringList>("reloads"); // "engine": the analysis engine's reload, as the
                                              // hub announces it; "file": an open or a merge
    QTest::addColumn<bool>("polygons");
    QTest::addColumn<int>("scope");
    QTest::newRow("open") << QStringList{"file"} << false << 0;
    QTest::newRow("re-analysis") << QStringList{"engine"} << false << 1;
    QTest::newRow("re-analysis, polygon thresholds") << QStringList{"engine"} << true << 0;
    QTest::newRow("open after a re-analysis") << QStringList{"engine", "file"} << false << 0;
    QTest::newRow("re-analysis after an open") << QStringList{"file", "engine"} << false << 1;
}

// The engine's thresholds are each well's own: the pages start in per-well scope after its
// reload, in common scope after any other.
void TestWellListModel::scopeAfterReload()
{
    QFETCH(QStringList, reloads);
    QFETCH(bool, polygons);
    QFETCH(int, scope);
    if (polygons)
        bll()->setThresholdingType(1);
    SignalTransfer *hub = SignalTransfer::getInstance();
    QSignalSpy complete(hub, &SignalTransfer::updateWellComplete);
    for (const QString &reload : reloads) {
        if (reload == QLatin1String("engine"))
            emit hub->wellsReanalysed();
        emit hub->updateWellInfo();
    }
    QCOMPARE(complete.count(), reloads.size());
    QCOMPARE(model()->scopeAfterReload(), scope);
}

void TestWellListModel::refreshRoad_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("markerSize");
    QTest::addColumn<double>("markerWidth");
    QTest::newRow("small images") << 1024 << 13 << 1.0;
    QTest::newRow("large images") << 3600 << 17 << 2.0;
}

void TestWellListModel::refreshRoad()
{
    QFETCH(int, width);
    QFETCH(int, markerSize);
    QFETCH(double, markerWidth);
    DocumentSeed seed = threeWells();
    seed.wells[0].imageSizes = {QSize(width, 4)};
    seed.wells[0].lineThresholds[3] = 1234;
    QString error;
    QVERIFY2(BllTest::seedDocument(seed, nullptr, &error), qPrintable(error));
    // Counted, but the stored population results are not renewed yet.
    for (const WellSeed &w : seed.wells)
        bll()->updateZonesDroplets(w.id, false);

    // What the previous file left behind.
    dropletMarkerSize = 0;
    dropletMarkerLineWidth = 0.0;
    isIndividualMode = 0;
    isAxisIndividual = 0;
    commonAxisRanges = QVector<AxisRange>(6, AxisRange(5.0, 50.0));
    wellAxisRanges = {WellAxisRange{7, QVector<AxisRange>(6, AxisRange(1.0, 2.0))}};
    model()->clearSelect();
    model()->setCurrentWell(2);

    SignalTransfer *hub = SignalTransfer::getInstance();
    QSignalSpy complete(hub, &SignalTransfer::updateWellComplete);
    QSignalSpy own(model(), &WellListModel::updateComplete);
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    emit hub->updateWellInfo();
    QCOMPARE(complete.count(), 1);
    QCOMPARE(own.count(), 1);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model()->getSelectWellIDs(), QList<uint>{1});
    QCOMPARE(model()->index(1, 0).data(276).toBool(), false);
    QCOMPARE(dropletMarkerSize, markerSize);
    QCOMPARE(dropletMarkerLineWidth, markerWidth);
    QCOMPARE(isIndividualMode, 1);
    QCOMPARE(isAxisIndividual, 1);
    QVERIFY(wellAxisRanges.isEmpty());
    QCOMPARE(commonAxisRanges, QVector<AxisRange>(6));
    // Line mode: the cache holds the document's thresholds.
    QCOMPARE(model()->getCachedThreshold(1, 4), 1234);
    QCOMPARE(model()->getCachedThreshold(2, 4), int(Threshold));
    // The population results were recomputed before the wells were read.
    const WellListItem first = model()->getWellList().first();
    QCOMPARE(first.populations.size(), 3);
    QCOMPARE(first.populations.first().posDrpltNum, 4u);
}

void TestWellListModel::countsAfterReordering_data()
{
    QTest::addColumn<int>("reorder");
    QTest::newRow("sorted descending") << 0;
    QTest::newRow("moved up") << 1;
    QTest::newRow("moved down") << 2;
}

void TestWellListModel::countsAfterReordering()
{
    QFETCH(int, reorder);
    if (reorder == 0)
        model()->sampleNameSort(false);
    else if (reorder == 1)
        model()->moveUpItem(rows({3}));
    else
        model()->moveDownItem(rows({1}));
    QVERIFY(listedIds() != (QList<uint>{1, 2, 3}));
    // Excluding droplets announces dataFixed; every well must keep its own count.
    bll()->getDropletExclude()->excludeDroplets(2, {0, 1, 2});
    bll()->getDropletExclude()->excludeDroplets(3, {0});
    const QList<WellListItem> wells = model()->getWellList();
    for (const WellListItem &w : wells)
        QCOMPARE(w.effDropletSum, bll()->getWellDropletNum(w.wellId));
    QCOMPARE(model()->getEffDropletSum({2}), 9u);
    QCOMPARE(model()->getEffDropletSum({3}), 7u);
}

void TestWellListModel::countsWithWellsMissingFromTheDocument()
{
    // The document loses a well behind the model's back: the model keeps its copy and reads
    // nothing past the document's rows.
    bll()->removeWell(1);
    bll()->getDropletExclude()->excludeDroplets(3, {0, 1});
    QCOMPARE(model()->getWellList().size(), 3);
    QCOMPARE(model()->getEffDropletSum({1}), 10u);
    QCOMPARE(model()->getEffDropletSum({3}), 6u);
}

// ---- Selection ------------------------------------------------------------------------------------

void TestWellListModel::selection()
{
    QCOMPARE(model()->getSelectWellID(), 1);
    model()->addSelectRow(3);
    model()->addSelectRow(0);  // the header row
    model()->addSelectRow(4);  // past the list
    QCOMPARE(model()->getSelectWellIDs(), (QList<uint>{1, 3}));
    QCOMPARE(model()->getSelectRow(), (QVariantList{1, 3}));
    QCOMPARE(model()->getSelectWellNameIDs(), (QStringList{"A1", "B1"}));
    QCOMPARE(model()->getSelectWellID(), -1);
    QVERIFY(!model()->cancelSelectRow(4));
    QVERIFY(!model()->cancelSelectRow(0));
    QVERIFY(model()->cancelSelectRow(1));
    QCOMPARE(model()->getSelectWellIDs(), QList<uint>{3});
    // The last selected well stays.
    QVERIFY(!model()->cancelSelectRow(3));
    QCOMPARE(model()->getSelectWellIDs(), QList<uint>{3});
    QCOMPARE(model()->getFirstSelectWellID(), 3);

    // setData writes list positions; outside the list nothing changes.
    QVERIFY(model()->setData(model()->index(0, 0), true, WellListModel::WellExclude));
    QVERIFY(model()->setData(QModelIndex(), true, WellListModel::WellSelect));
    {
        ModeGuard guard(1);
        QVERIFY(model()->setData(model()->index(3, 0), true, WellListModel::WellSelect));
        // Mode 1: the first well answers for rows 0 and 1 alike.
        QCOMPARE(model()->getSelectIndexes().size(), 1);
        QVERIFY(model()->setData(model()->index(0, 0), true, WellListModel::WellSelect));
        QCOMPARE(model()->getSelectIndexes().size(), 3);
    }
    QCOMPARE(model()->getSelectWellIDs(), (QList<uint>{1, 3}));
    QVERIFY(model()->getWellExclude(1));
    QVERIFY(!model()->getWellExclude(9));
    QVERIFY(model()->existExcludeDroplets());
    model()->setWellExclude(1, false);
    QVERIFY(!model()->existExcludeDroplets());

    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    model()->clearSelect();
    QCOMPARE(resets.count(), 1);
    QVERIFY(model()->getSelectWellIDs().isEmpty());
}

void TestWellListModel::ensureAndKeepFirst()
{
    model()->clearSelect();
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    model()->ensureSelection();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model()->getSelectWellIDs(), QList<uint>{3});
    // With a selection it changes nothing.
    model()->ensureSelection();
    QCOMPARE(resets.count(), 1);

    model()->addSelectRow(2);
    QList<QByteArray> order;
    QList<int> positions;
    connect(model(), &WellListModel::modelClear, this, [&] { order.append("clear"); });
    connect(model(), &WellListModel::modelSelect, this, [&](int position) {
        order.append("select");
        positions.append(position);
    });
    model()->keepFirstSelection();
    disconnect(model(), nullptr, this, nullptr);
    QCOMPARE(order, (QList<QByteArray>{"clear", "select"}));
    QCOMPARE(positions, QList<int>{1});
    QCOMPARE(model()->getSelectWellIDs(), QList<uint>{2});
    QCOMPARE(resets.count(), 1);
}

// ---- Reordering and removal -----------------------------------------------------------------------

void TestWellListModel::moves_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<QVariantList>("rows");
    QTest::addColumn<QList<uint>>("order");
    QTest::newRow("up one") << true << QVariantList{3} << QList<uint>{1, 3, 2};
    QTest::newRow("up two") << true << QVariantList{3, 2} << QList<uint>{2, 3, 1};
    QTest::newRow("up with the first row") << true << QVariantList{1, 3} << QList<uint>{1, 2, 3};
    QTest::newRow("up, repeated and outside rows dropped") << true << QVariantList{3, 3, 0, 7, -2} << QList<uint>{1, 3, 2};
    QTest::newRow("down one") << false << QVariantList{1} << QList<uint>{2, 1, 3};
    QTest::newRow("down two") << false << QVariantList{1, 2} << QList<uint>{3, 1, 2};
    QTest::newRow("down with the last row") << false << QVariantList{1, 3} << QList<uint>{1, 2, 3};
    QTest::newRow("down, outside rows only") << false << QVariantList{4, 0} << QList<uint>{1, 2, 3};
}

void TestWellListModel::moves()
{
    QFETCH(bool, up);
    QFETCH(QVariantList, rows);
    QFETCH(QList<uint>, order);
    if (up)
        model()->moveUpItem(rows);
    else
        model()->moveDownItem(rows);
    QCOMPARE(listedIds(), order);
    // The document's order stays.
    QCOMPARE(bll()->getWellIds(), (QList<uint>{1, 2, 3}));
}

void TestWellListModel::sortKeepsEqualNames_data()
{
    QTest::addColumn<bool>("ascend");
    QTest::addColumn<QList<uint>>("order");
    // Names "A1_Same" (wells 1, 3, 4), "A2_B" (well 2) and "a0_x" (well 5): code units, so the
    // lower-case name sorts last.
    QTest::newRow("ascending") << true << QList<uint>{1, 3, 4, 2, 5};
    QTest::newRow("descending") << false << QList<uint>{5, 2, 1, 3, 4};
}

void TestWellListModel::sortKeepsEqualNames()
{
    QFETCH(bool, ascend);
    QFETCH(QList<uint>, order);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    seed.wells = {makeWell(1, "A1", "Same", 3, {}, {1}), makeWell(2, "A2", "B", 3, {}, {1}),
                  makeWell(3, "A1", "Same", 3, {}, {1}), makeWell(4, "A1", "Same", 3, {}, {1}),
                  makeWell(5, "a0", "x", 3, {}, {1})};
    load(seed);
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    model()->sampleNameSort(ascend);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(listedIds(), order);
}

void TestWellListModel::removeWell_data()
{
    QTest::addColumn<QVariantList>("rows");
    QTest::addColumn<QList<uint>>("left");
    QTest::newRow("one row") << QVariantList{2} << QList<uint>{1, 3};
    QTest::newRow("a repeated row removes one well") << QVariantList{2, 2} << QList<uint>{1, 3};
    QTest::newRow("outside rows ignored") << QVariantList{0, 4, -1, 99} << QList<uint>{1, 2, 3};
    QTest::newRow("unordered rows") << QVariantList{3, 1} << QList<uint>{2};
}

void TestWellListModel::removeWell()
{
    QFETCH(QVariantList, rows);
    QFETCH(QList<uint>, left);
    model()->clearSelect();
    QSignalSpy none(model(), &WellListModel::noAvailableModel);
    model()->removeWell(rows);
    QCOMPARE(listedIds(), left);
    QCOMPARE(bll()->getWellIds(), left);
    QCOMPARE(model()->getSelectWellIDs(), QList<uint>{left.first()});
    QCOMPARE(none.count(), 0);
}

void TestWellListModel::removeEveryWell()
{
    QSignalSpy none(model(), &WellListModel::noAvailableModel);
    model()->removeWell(rows({1, 2, 3, 3}));
    QCOMPARE(none.count(), 1);
    QVERIFY(model()->modelIsEmpty());
    QVERIFY(bll()->getWellIds().isEmpty());
    model()->removeWell(rows({1}));
    QCOMPARE(none.count(), 1);
}

// ---- Edits that reach the document ----------------------------------------------------------------

void TestWellListModel::setRefConcentrationOnlyStandards()
{
    // Channel 2: well 1 'S', well 2 'U', well 3 'N'; all selected.
    bll()->setChannelType(1, 2, QLatin1Char('S'));
    bll()->setChannelType(2, 2, QLatin1Char('U'));
    bll()->setChannelType(3, 2, QLatin1Char('N'));
    emit SignalTransfer::getInstance()->updateWellInfo();
    model()->addSelectRow(2);
    model()->addSelectRow(3);
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    QVERIFY(model()->setRefConcentration(2, 250.0));
    QCOMPARE(resets.count(), 1);
    const QList<WellEditRow> doc = bll()->getExperimentEditMgr()->getWellRows();
    QCOMPARE(rowOf(doc, 1)->chanResults.at(1).refConcentration, 250.0);
    QCOMPARE(rowOf(doc, 2)->chanResults.at(1).refConcentration, 0.0);
    QCOMPARE(rowOf(doc, 3)->chanResults.at(1).refConcentration, 0.0);
    ModeGuard guard(1);
    QCOMPARE(model()->index(1, 9).data(WellListModel::RefStockRole).toString(), QStringLiteral("250.00"));
    QCOMPARE(model()->index(2, 9).data(WellListModel::RefStockRole).toString(), QStringLiteral("0.00"));
    // The single form writes any well and gives the document's answer.
    QVERIFY(model()->setRefConcentration(2, 2, 7.5));
    QCOMPARE(rowOf(bll()->getExperimentEditMgr()->getWellRows(), 2)->chanResults.at(1).refConcentration, 7.5);
    QVERIFY(!model()->setRefConcentration(42, 2, 7.5));
}

void TestWellListModel::setDilutionAndType()
{
    model()->addSelectRow(3);
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    QVERIFY(model()->setChannelDilution(4, 20.0));
    QCOMPARE(resets.count(), 1);
    const QList<WellEditRow> doc = bll()->getExperimentEditMgr()->getWellRows();
    QCOMPARE(rowOf(doc, 1)->chanResults.at(3).dilution, 20.0);
    QCOMPARE(rowOf(doc, 2)->chanResults.at(3).dilution, 1.0);
    QCOMPARE(rowOf(doc, 3)->chanResults.at(3).dilution, 20.0);

    // Types by the selector's order, one reset per selected well.
    resets.clear();
    model()->setChannelType(1, 1);
    QCOMPARE(resets.count(), 2);
    QCOMPARE(bll()->getChannelSymbol(1, 1), QChar('P'));
    QCOMPARE(bll()->getChannelSymbol(3, 1), QChar('P'));
    QCOMPARE(bll()->getChannelSymbol(2, 1), QChar(0));
    QCOMPARE(privateChannelType(3, 1), 2);
    model()->setChannelType(2, 1, 3);
    QCOMPARE(bll()->getChannelSymbol(2, 1), QChar('N'));
    QCOMPARE(privateChannelType(2, 1), 1);
    // An index the selector does not have changes neither side.
    model()->setChannelType(2, 1, 7);
    QCOMPARE(bll()->getChannelSymbol(2, 1), QChar('N'));
    QCOMPARE(privateChannelType(2, 1), 1);
}

void TestWellListModel::setSampleName()
{
    QVERIFY(model()->setSampleName(2, QStringLiteral("Delta")));
    QCOMPARE(model()->getSampleName(2), QStringLiteral("Delta"));
    // The display name is the document's, rebuilt from the new sample name.
    QCOMPARE(model()->getWellName(2), rowOf(bll()->getExperimentEditMgr()->getWellRows(), 2)->wellName);
    QVERIFY(model()->getWellName(2).contains(QStringLiteral("Delta")));
    QVERIFY(!model()->setSampleName(42, QStringLiteral("Nobody")));
}

// ---- Threshold cache ------------------------------------------------------------------------------

void TestWellListModel::thresholdCacheEdits()
{
    QCOMPARE(::thresholdCache.size(), 3);
    QCOMPARE(model()->getCachedThreshold(2, 1), int(Threshold));
    QCOMPARE(model()->getCachedThreshold(9, 1), 0);
    QCOMPARE(model()->getCachedThreshold(2, 0), 0);
    QCOMPARE(model()->getCachedThreshold(2, 7), 0);
    model()->setCachedThreshold(2, 1, 1500);
    model()->setCachedThreshold(9, 1, 1500);
    QCOMPARE(model()->getCachedThreshold(2, 1), 1500);
    QCOMPARE(model()->getCachedThreshold(1, 1), int(Threshold));
    // The document is untouched until Apply.
    QCOMPARE(bll()->getThldByLine(2, 1), Threshold);
    model()->cacheThresholds();
    QCOMPARE(model()->getCachedThreshold(2, 1), int(Threshold));
}

void TestWellListModel::applyWritesAndRecounts()
{
    // Well 1, channel 1: 4 droplets of 2000, 6 of 500. A threshold of 2500 leaves none positive.
    model()->setCachedThreshold(1, 1, 2500);
    model()->setCachedThreshold(3, 2, 400);
    QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
    model()->applyCachedThresholds();
    QCOMPARE(fixed.count(), 3); // once per well
    QCOMPARE(bll()->getThldByLine(1, 1), 2500u);
    QCOMPARE(bll()->getThldByLine(3, 2), 400u);
    QCOMPARE(bll()->getThldByLine(1, 2), Threshold);
    QCOMPARE(bll()->getThldByLine(2, 1), Threshold);
    // The zones were recounted with the new thresholds.
    bll()->getResultCalculate()->updatePopulationResults();
    model()->refreshPopulationResults();
    ModeGuard guard(2);
    QCOMPARE(model()->index(1, 3).data(WellListModel::NbPosRole).toUInt(), 0u);
    QCOMPARE(model()->index(3, 10).data(WellListModel::NbPosRole).toUInt(), 8u);
    QCOMPARE(model()->index(2, 3).data(WellListModel::NbPosRole).toUInt(), 6u);
}

void TestWellListModel::applyLeavesUncachedWells()
{
    // A well the cache does not hold would read 0 everywhere: its thresholds stay.
    ::thresholdCache.removeFirst();
    model()->setCachedThreshold(2, 1, 1800);
    model()->applyCachedThresholds();
    for (uint channel : {1u, 2u, 4u})
        QCOMPARE(bll()->getThldByLine(1, channel), Threshold);
    QCOMPARE(bll()->getThldByLine(2, 1), 1800u);
}

LUMARA_TEST_MAIN(TestWellListModel)
#include "tst_welllistmodel.moc"
