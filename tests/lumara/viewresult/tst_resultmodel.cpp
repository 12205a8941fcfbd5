// The result model on seeded documents: which samples merge and the figures of a merged row,
// row counts in every list and view mode, one mapping of table rows for data, selection and
// ids, merged ids after sorting, the ratio texts of two-target wells and their intervals over
// few positives, texts of results that are not finite, a merged row's uncertainty at the
// edges, droplets on the threshold, and the selection of merged rows across a rebuild.
#include "bllaccess.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/uncertainly.h"
#include "pcranalysisdocument.h"
#include "resultseed.h"
#include "shell/welllistformat.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QAbstractItemModelTester>
#include <array>
#include <cmath>

using namespace LumaraAnalysisData;
using BllTest::WellSeed;

namespace {

ResultModel *model()
{
    return ResultModel::instance();
}

WellListModel *wells()
{
    return WellListModel::instance();
}

AnalysisResultMgr *storedResults()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getAnalysisRetMgr();
}

// Samples A, A, B; the wells of A differ in size and droplet volume.
QList<WellSeed> samplesAAB()
{
    WellSeed a1 = ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 20, {{8, 3, 0, 0, 0, 0}});
    a1.volume = 600;
    WellSeed a2 = ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("A"), 30, {{12, 5, 0, 0, 0, 0}});
    WellSeed b1 = ResultTest::well(3, QStringLiteral("B1"), QStringLiteral("B"), 10, {{2, 1, 0, 0, 0, 0}});
    return {a1, a2, b1};
}

// The same samples with enough droplets for a bounded ratio interval.
QList<WellSeed> largeSamplesAAB()
{
    WellSeed a1 = ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 400, {{160, 60, 0, 0, 0, 0}});
    a1.volume = 600;
    WellSeed a2 = ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("A"), 600, {{240, 100, 0, 0, 0, 0}});
    WellSeed b1 = ResultTest::well(3, QStringLiteral("B1"), QStringLiteral("B"), 200, {{40, 20, 0, 0, 0, 0}});
    return {a1, a2, b1};
}

QList<WellSeed> samplesNamed(const QStringList &names)
{
    QList<WellSeed> seeds;
    for (int i = 0; i < names.size(); ++i)
        seeds.append(ResultTest::well(uint(i + 1), QStringLiteral("A%1").arg(i + 1), names.at(i), 10,
                                      {{i + 1, 1, 0, 0, 0, 0}}));
    return seeds;
}

void load(const QList<WellSeed> &seeds, bool kit = false)
{
    QString error;
    QVERIFY2(ResultTest::useKit(kit, &error), qPrintable(error));
    QVERIFY2(ResultTest::load(ResultTest::document(seeds), &error), qPrintable(error));
}

// The table of the result page (view mode 0, the well list with its header row) or the
// row lists of the chart pages (view mode 1).
void setModes(int list, int view)
{
    wells()->setModelType(view == 0 ? 2 : 0);
    model()->setViewMode(view);
    model()->setListMode(list);
}

QVariant cell(int row, int column, int role)
{
    return model()->data(model()->index(row, column), role);
}

QStringList mergedNames()
{
    QStringList names;
    for (const MergedResultRow &row : model()->getMergedRows())
        names.append(row.name);
    return names;
}

// The column of population p's figures.
int populationColumn(int p)
{
    return 3 + 7 * p;
}

QString expectedText(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

class TestResultModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BLLInstance::createSingletons(); }
    void init()
    {
        load(samplesAAB());
        setModes(0, 0);
        model()->clearSelect();
    }

    void mergedRows_data();
    void mergedRows();
    void samplesThatDoNotFit_data();
    void samplesThatDoNotFit();
    void mergedFigures();
    void mergedCellTexts_data();
    void mergedCellTexts();
    void rowCounts_data();
    void rowCounts();
    void modelTester_data();
    void modelTester();
    void rowMapping_data();
    void rowMapping();
    void rowsOutsideTheTable_data();
    void rowsOutsideTheTable();
    void idsAfterDescendingSort();
    void ratioTexts_data();
    void ratioTexts();
    void ratioTextsNeedTwoTargets();
    void ratioOverFewPositives_data();
    void ratioOverFewPositives();
    void notFiniteTexts();
    void mergedUncertaintyAtTheEdges_data();
    void mergedUncertaintyAtTheEdges();
    void dropletsOnTheThreshold_data();
    void dropletsOnTheThreshold();
    void selectionKeptById();
    void reloadDropsMergedSelection();
    void ensureSelection_data();
    void ensureSelection();
    void selectCountOfTheRowSet_data();
    void selectCountOfTheRowSet();
    void cancelSelection();
    void namesAndRecordsById();
};

void TestResultModel::mergedRows_data()
{
    QTest::addColumn<QStringList>("samples");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<QList<uint>>>("members");
    QTest::newRow("A A B") << QStringList{"A", "A", "B"} << QStringList{"A_Merge"} << QList<QList<uint>>{{1, 2}};
    QTest::newRow("A B C") << QStringList{"A", "B", "C"} << QStringList() << QList<QList<uint>>();
    QTest::newRow("first occurrence orders") << QStringList{"B", "A", "B", "A", "C"}
                                             << QStringList{"B_Merge", "A_Merge"}
                                             << QList<QList<uint>>{{1, 3}, {2, 4}};
    QTest::newRow("names compared whole") << QStringList{"a", "A", "A ", "A"} << QStringList{"A_Merge"}
                                          << QList<QList<uint>>{{2, 4}};
    QTest::newRow("empty name is a name") << QStringList{"", "X", ""} << QStringList{"_Merge"}
                                          << QList<QList<uint>>{{1, 3}};
}

void TestResultModel::mergedRows()
{
    QFETCH(QStringList, samples);
    QFETCH(QStringList, expected);
    QFETCH(QList<QList<uint>>, members);
    load(samplesNamed(samples));
    QCOMPARE(mergedNames(), expected);
    const QList<MergedResultRow> rows = model()->getMergedRows();
    const uint largest = uint(samples.size());
    for (int k = 0; k < rows.size(); ++k) {
        QCOMPARE(rows.at(k).wellIds, members.at(k));
        QCOMPARE(rows.at(k).id, largest + 1 + uint(k));
        QCOMPARE(rows.at(k).effDropletSum, wells()->getEffDropletSum(members.at(k)));
        QVERIFY(rows.at(k).effDropletSum > 0);
    }
    QCOMPARE(model()->getAllIDs().size(), samples.size() + expected.size());
}

void TestResultModel::samplesThatDoNotFit_data()
{
    QTest::addColumn<double>("dilution");
    QTest::addColumn<bool>("extraPopulation");
    QTest::addColumn<bool>("merged");
    QTest::newRow("dilutions 0.005 apart") << 1.005 << false << true;
    QTest::newRow("dilutions 0.02 apart") << 1.02 << false << false;
    QTest::newRow("dilutions 0.5 below") << 0.5 << false << false;
    QTest::newRow("one population more") << -2.0 << true << false;
}

// The second well of sample A gets another dilution of its first population, or one more
// population result; the rows are then built again.
void TestResultModel::samplesThatDoNotFit()
{
    QFETCH(double, dilution);
    QFETCH(bool, extraPopulation);
    QFETCH(bool, merged);
    const QVector<PopulationResultInfo> first = bll()->getResultCalculate()->getPopulationResults(1);
    QVERIFY(first.size() == 2);
    if (dilution > -1.0)
        QVERIFY(storedResults()->setPopulationDilution(2, first.at(0).populationId, first.at(0).dilution * dilution));
    if (extraPopulation) {
        PopulationResultInfo extra;
        extra.populationId = 99;
        QVERIFY(storedResults()->appendPopulationResult(2, extra));
    }
    model()->rebuildRows();
    QCOMPARE(mergedNames(), merged ? QStringList{"A_Merge"} : QStringList());
}

// A merged row's figures come from the summed counts, with the first well's droplet volume.
void TestResultModel::mergedFigures()
{
    ResultCalculate *calc = bll()->getResultCalculate();
    const QVector<PopulationResultInfo> w1 = calc->getPopulationResults(1);
    const QVector<PopulationResultInfo> w2 = calc->getPopulationResults(2);
    const MergedResultRow row = model()->getMergedRow(4);
    QCOMPARE(row.name, QStringLiteral("A_Merge"));
    QCOMPARE(row.populations.size(), w1.size());
    for (int k = 0; k < w1.size(); ++k) {
        const PopulationResultInfo &r = row.populations.at(k);
        const uint total = w1[k].posDrpltNum + w1[k].negDrpltNum + w2[k].posDrpltNum + w2[k].negDrpltNum;
        const uint positive = w1[k].posDrpltNum + w2[k].posDrpltNum;
        QVERIFY(total == 50);
        QCOMPARE(r.populationId, w1[k].populationId);
        QCOMPARE(r.posDrpltNum, positive);
        QCOMPARE(r.negDrpltNum, total - positive);
        const DropletConcentration c = calc->poissonConcentration(total, positive, w1[k].dilution, 1);
        QCOMPARE(r.concentration, c.concentration);
        QCOMPARE(r.concentrationLower, c.lower);
        QCOMPARE(r.concentrationUpper, c.upper);
        QCOMPARE(r.uncertainty, calc->uncertaintyCurve(total, positive, w1[k].dilution, 1).uncertaintyAtConcentration);
        // Not the average of the wells, and not the second well's droplet volume.
        QVERIFY(std::fabs(r.concentration - (w1[k].concentration + w2[k].concentration) / 2) > 1e-6);
        QVERIFY(r.concentration != calc->poissonConcentration(total, positive, w1[k].dilution, 2).concentration);
    }
}

void TestResultModel::mergedCellTexts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("figure"); // which field gives the text; "" for a fixed text
    QTest::addColumn<QVariant>("fixedText");
    const int p1 = populationColumn(1);
    QTest::newRow("name") << 0 << int(WellListModel::WellNameRole) << "" << QVariant("A_Merge");
    QTest::newRow("comment") << 1 << int(WellListModel::WellCommentRole) << "" << QVariant("Merge");
    QTest::newRow("droplets") << 2 << int(WellListModel::EffDropletSumRole) << "droplets" << QVariant();
    QTest::newRow("id") << 0 << int(WellListModel::WellIDRole) << "" << QVariant(4u);
    QTest::newRow("sample name is empty") << 0 << int(WellListModel::SampleNameRole) << "" << QVariant("");
    QTest::newRow("well position is empty") << 0 << int(WellListModel::WellNameIDRole) << "" << QVariant("");
    QTest::newRow("fixed column of a figure") << 2 << int(WellListModel::ConcentrationRole) << "" << QVariant("--");
    QTest::newRow("outside the well roles") << 0 << int(Qt::DisplayRole) << "" << QVariant();
    QTest::newRow("concentration") << p1 << int(WellListModel::ConcentrationRole) << "concentration" << QVariant();
    QTest::newRow("lower") << p1 + 4 << int(WellListModel::MinConcentrationRole) << "lower" << QVariant();
    QTest::newRow("upper") << p1 + 5 << int(WellListModel::MaxConcentrationRole) << "upper" << QVariant();
    QTest::newRow("uncertainty in percent") << p1 + 6 << int(WellListModel::RelativeUncertainlyRole) << "uncertainty"
                                            << QVariant();
    QTest::newRow("positives") << p1 + 2 << int(WellListModel::NbPosRole) << "positives" << QVariant();
    QTest::newRow("negatives") << p1 + 3 << int(WellListModel::NbNegtiveRole) << "negatives" << QVariant();
    QTest::newRow("dilution") << p1 << int(WellListModel::DilutionRole) << "dilution" << QVariant();
}

void TestResultModel::mergedCellTexts()
{
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QString, figure);
    QFETCH(QVariant, fixedText);
    const int mergedRow = wells()->rowCount(); // after the wells and the header row
    const MergedResultRow row = model()->getMergedRow(4);
    const PopulationResultInfo &r = row.populations.at(1);
    QVariant expected = fixedText;
    if (figure == "droplets")
        expected = QString::number(row.effDropletSum);
    else if (figure == "concentration")
        expected = expectedText(r.concentration);
    else if (figure == "lower")
        expected = expectedText(r.concentrationLower);
    else if (figure == "upper")
        expected = expectedText(r.concentrationUpper);
    else if (figure == "uncertainty")
        expected = expectedText(r.uncertainty);
    else if (figure == "positives")
        expected = QString::number(r.posDrpltNum);
    else if (figure == "negatives")
        expected = QString::number(r.negDrpltNum);
    else if (figure == "dilution")
        expected = r.dilution < 0 ? QStringLiteral("N/A") : expectedText(r.dilution);
    QCOMPARE(cell(mergedRow, column, role), expected);
}

void TestResultModel::rowCounts_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("kit");
    QTest::addColumn<int>("rows");
    // Three wells and one merged row; the result table's well list counts its header row.
    for (bool kit : {false, true}) {
        const char *k = kit ? "kit" : "plain";
        QTest::addRow("%s both, table", k) << 0 << 0 << kit << 5;
        QTest::addRow("%s both, charts", k) << 0 << 1 << kit << 4;
        QTest::addRow("%s wells, table", k) << 1 << 0 << kit << 4;
        QTest::addRow("%s wells, charts", k) << 1 << 1 << kit << 3;
        QTest::addRow("%s merged, table", k) << 2 << 0 << kit << (kit ? 1 : 2);
        QTest::addRow("%s merged, charts", k) << 2 << 1 << kit << 1;
        QTest::addRow("%s mode 7", k) << 7 << 0 << kit << 0;
    }
}

void TestResultModel::rowCounts()
{
    QFETCH(int, list);
    QFETCH(int, view);
    QFETCH(bool, kit);
    QFETCH(int, rows);
    load(samplesAAB(), kit);
    setModes(list, view);
    QCOMPARE(model()->rowCount(), rows);
    // Nothing past the last row.
    QCOMPARE(cell(rows, 0, WellListModel::WellIDRole), QVariant());
    if (rows > 0)
        QVERIFY(cell(rows - 1, 0, WellListModel::WellIDRole).isValid());
}

void TestResultModel::modelTester_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("view");
    for (int list : {0, 1, 2})
        for (int view : {0, 1})
            QTest::addRow("list %d view %d", list, view) << list << view;
}

void TestResultModel::modelTester()
{
    QFETCH(int, list);
    QFETCH(int, view);
    setModes(list, view);
    QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    model()->sampleNameSort(true);
    model()->clearSelect();
    model()->rebuildRows();
    load(samplesNamed({"X", "Y"}));
    model()->setListMode(list);
}

void TestResultModel::rowMapping_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("kit");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("bySetData");
    QTest::addColumn<uint>("id"); // 4 is the merged row of sample A
    for (bool bySetData : {false, true}) {
        const char *how = bySetData ? "setData" : "addSelectRow";
        QTest::addRow("%s: both, table, first well", how) << 0 << 0 << false << 1 << bySetData << 1u;
        QTest::addRow("%s: both, table, last well", how) << 0 << 0 << false << 3 << bySetData << 3u;
        QTest::addRow("%s: both, table, merged", how) << 0 << 0 << false << 4 << bySetData << 4u;
        QTest::addRow("%s: both, charts, first well", how) << 0 << 1 << false << 0 << bySetData << 1u;
        QTest::addRow("%s: both, charts, merged", how) << 0 << 1 << false << 3 << bySetData << 4u;
        QTest::addRow("%s: wells, table", how) << 1 << 0 << false << 2 << bySetData << 2u;
        QTest::addRow("%s: wells, charts", how) << 1 << 1 << false << 2 << bySetData << 3u;
        QTest::addRow("%s: merged, table", how) << 2 << 0 << false << 1 << bySetData << 4u;
        QTest::addRow("%s: merged, charts", how) << 2 << 1 << false << 0 << bySetData << 4u;
        QTest::addRow("%s: merged, kit table", how) << 2 << 0 << true << 0 << bySetData << 4u;
    }
}

// Selecting a table row selects what that row shows: the selected rows, the id of the first
// and the row's own cells agree.
void TestResultModel::rowMapping()
{
    QFETCH(int, list);
    QFETCH(int, view);
    QFETCH(bool, kit);
    QFETCH(int, row);
    QFETCH(bool, bySetData);
    QFETCH(uint, id);
    load(samplesAAB(), kit);
    setModes(list, view);
    model()->clearSelect();
    if (bySetData)
        QVERIFY(model()->setData(model()->index(row, 0), true, WellListModel::WellSelect));
    else
        model()->addSelectRow(row);
    QCOMPARE(model()->getSelectRows(), QList<int>{row});
    QCOMPARE(model()->getSelectRow(), QVariantList{row});
    QCOMPARE(model()->getSelectWellID(), int(id));
    QCOMPARE(model()->getSelectIDs(), QList<uint>{id});
    QCOMPARE(cell(row, 0, WellListModel::WellIDRole).toUInt(), id);
    QCOMPARE(cell(row, 0, WellListModel::WellSelect).toBool(), true);
    QCOMPARE(model()->isMergeID(id), id == 4);
    // Deselecting goes the same way (a merged row always, a well never when it is the last).
    QCOMPARE(model()->cancelSelectRow(row), id == 4);
    QCOMPARE(model()->getSelectIDs().isEmpty(), id == 4);
}

void TestResultModel::rowsOutsideTheTable_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("row");
    QTest::newRow("header row of the table") << 0 << 0 << 0;
    QTest::newRow("header row of the merged table") << 2 << 0 << 0;
    QTest::newRow("negative") << 0 << 1 << -1;
    QTest::newRow("one past the end") << 0 << 1 << 4;
    QTest::newRow("past the merged rows") << 2 << 0 << 2;
    QTest::newRow("far past the end") << 2 << 0 << 1000;
    QTest::newRow("list mode without rows") << 7 << 0 << 1;
}

void TestResultModel::rowsOutsideTheTable()
{
    QFETCH(int, list);
    QFETCH(int, view);
    QFETCH(int, row);
    // An index kept from a mode with more rows.
    setModes(0, 0);
    const QModelIndex stale = model()->index(row, 0);
    setModes(list, view);
    model()->clearSelect();
    model()->addSelectRow(row);
    QVERIFY(model()->setData(stale, true, WellListModel::WellSelect));
    QVERIFY(!model()->cancelSelectRow(row));
    QCOMPARE(model()->getSelectRows(), QList<int>());
    QCOMPARE(wells()->getSelectWellIDs(), QList<uint>());
    QCOMPARE(model()->getSelectWellID(), -1);
    const bool header = row == 0 && list != 7;
    QCOMPARE(model()->data(stale, ResultModel::BCABLRatioRole), header ? QVariant("") : QVariant());
}

// Merged ids follow the largest well id, wherever the wells stand in the list.
void TestResultModel::idsAfterDescendingSort()
{
    wells()->sampleNameSort(false);
    QCOMPARE(wells()->getAllWellIDs(), (QList<uint>{3, 2, 1}));
    model()->rebuildRows();
    const QList<MergedResultRow> rows = model()->getMergedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().id, 4u);
    QCOMPARE(rows.first().wellIds, (QList<uint>{2, 1}));
    for (uint well : {1u, 2u, 3u})
        QVERIFY(!model()->isMergeID(well));
    QCOMPARE(model()->getRowName(2), wells()->getWellName(2));
    QCOMPARE(model()->getRowName(4), QStringLiteral("A_Merge"));
}

void TestResultModel::ratioTexts_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("kit");
    QTest::addColumn<int>("row");
    QTest::addColumn<uint>("id");
    QTest::addColumn<int>("storedVolume"); // of well 3
    QTest::newRow("well, both, table") << 0 << 0 << false << 2 << 2u << 800;
    QTest::newRow("merged, both, table (last row)") << 0 << 0 << false << 4 << 4u << 800;
    QTest::newRow("merged, both, kit") << 0 << 0 << true << 4 << 4u << 800;
    QTest::newRow("merged, merged, table (first row)") << 2 << 0 << false << 1 << 4u << 800;
    QTest::newRow("merged, merged, kit (first row)") << 2 << 0 << true << 0 << 4u << 800;
    QTest::newRow("well, wells, charts") << 1 << 1 << true << 0 << 1u << 800;
    // A stored 0 is no volume: 800 pL in the copies as in the concentrations.
    QTest::newRow("well without a stored volume") << 1 << 1 << true << 2 << 3u << 0;
}

// The eight texts of a row from its wells' counts and results.
void TestResultModel::ratioTexts()
{
    QFETCH(int, list);
    QFETCH(int, view);
    QFETCH(bool, kit);
    QFETCH(int, row);
    QFETCH(uint, id);
    QFETCH(int, storedVolume);
    QList<WellSeed> seeds = largeSamplesAAB();
    seeds[2].volume = storedVolume;
    load(seeds, kit);
    setModes(list, view);
    const bool merged = id == 4;
    const QList<uint> members = merged ? QList<uint>{1, 2} : QList<uint>{id};
    // Droplets and positives of the seeds, channel 1 then channel 2.
    const QMap<uint, std::array<int, 3>> seeded{{1, {{400, 160, 60}}}, {2, {{600, 240, 100}}}, {3, {{200, 40, 20}}}};
    int droplets = 0, n1 = 0, n2 = 0;
    for (uint w : members) {
        droplets += seeded[w][0];
        n1 += seeded[w][1];
        n2 += seeded[w][2];
    }
    const QVector<PopulationResultInfo> results =
        merged ? model()->getMergedRow(4).populations : bll()->getResultCalculate()->getPopulationResults(id);
    const PopulationResultInfo p1 = results.first();
    const PopulationResultInfo p2 = results.last();
    const double volume = members.first() == 1 ? 600 : 800;

    const auto text = [&](int role) { return cell(row, 0, role).toString(); };
    QCOMPARE(text(ResultModel::BCABLWellNameRole), merged ? QStringLiteral("A_Merge") : wells()->getWellName(id));
    QCOMPARE(text(ResultModel::BCABLTargetNameRole), QStringLiteral("T1(D1)\n\nT2(D2)"));
    QCOMPARE(text(ResultModel::BCABLNbDroplets), QString::number(droplets));
    QCOMPARE(text(ResultModel::BCABLNbPosRole), QStringLiteral("%1\n\n%2").arg(n1).arg(n2));
    QCOMPARE(text(ResultModel::BCABLCopyNumberRole),
             QStringLiteral("%1\n\n%2")
                 .arg(expectedText(droplets * volume * p1.concentration / 1e6),
                      expectedText(droplets * volume * p2.concentration / 1e6)));
    QCOMPARE(text(ResultModel::BCABLRatioRole), expectedText(p1.concentration / p2.concentration));
    QCOMPARE(text(ResultModel::BCABLConcentartionsRole),
             QStringLiteral("%1  [ %2, %3 ]\n\n%4  [ %5, %6 ]")
                 .arg(expectedText(p1.concentration), expectedText(p1.concentrationLower),
                      expectedText(p1.concentrationUpper), expectedText(p2.concentration),
                      expectedText(p2.concentrationLower), expectedText(p2.concentrationUpper)));
    // The ratio's bounds enclose it.
    const QStringList bounds = text(ResultModel::BCABLRatioCI95Role).mid(1).chopped(1).split(QStringLiteral(", "));
    QCOMPARE(bounds.size(), 2);
    const double ratio = p1.concentration / p2.concentration;
    QVERIFY2(bounds[0].toDouble() <= ratio && ratio <= bounds[1].toDouble(), qPrintable(bounds.join(' ')));
    QVERIFY(bounds[0].toDouble() > 0);
}

void TestResultModel::ratioTextsNeedTwoTargets()
{
    QList<WellSeed> seeds = samplesAAB();
    seeds[2].channels = {1, 2, 4};
    seeds[0].channels = {1};
    load(seeds);
    setModes(1, 1);
    for (int role = ResultModel::BCABLWellNameRole; role <= ResultModel::BCABLConcentartionsRole; ++role) {
        QCOMPARE(cell(0, 0, role), QVariant(""));
        QCOMPARE(cell(2, 0, role), QVariant(""));
        QVERIFY(!cell(1, 0, role).toString().isEmpty());
    }
}

void TestResultModel::ratioOverFewPositives_data()
{
    QTest::addColumn<int>("droplets");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<QString>("interval");
    // From the formulas (tests/lumara/figures/result_figures.py): while the denominator's
    // interval reaches 0 the ratio is unbounded on that side; without positives it has no value.
    QTest::newRow("over 0") << 2000 << 1000 << 0 << "N/A" << "[N/A, N/A]";
    QTest::newRow("over 1") << 2000 << 1000 << 1 << "1385.95" << "[N/A, N/A]";
    QTest::newRow("over 2") << 2000 << 1000 << 2 << "692.80" << "[N/A, N/A]";
    QTest::newRow("over 3") << 2000 << 1000 << 3 << "461.75" << "[N/A, N/A]";
    QTest::newRow("over 10") << 2000 << 1000 << 10 << "138.28" << "[84.89, 363.27]";
    QTest::newRow("over 100") << 2000 << 1000 << 100 << "13.51" << "[11.16, 16.93]";
    QTest::newRow("50 of 100 over 3 of 100") << 100 << 50 << 3 << "22.76" << "[N/A, N/A]";
}

// A ratio row of a well whose first target is positive in half its droplets, over a second
// target with few positives.
void TestResultModel::ratioOverFewPositives()
{
    QFETCH(int, droplets);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    load({ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), droplets, {{numerator, denominator, 0, 0, 0, 0}})},
         true);
    setModes(1, 1);
    const QString ratio = cell(0, 0, ResultModel::BCABLRatioRole).toString();
    const QString interval = cell(0, 0, ResultModel::BCABLRatioCI95Role).toString();
    QTEST(ratio, "ratio");
    QTEST(interval, "interval");
    // An interval with both bounds holds its estimate.
    const QStringList bounds = interval.mid(1).chopped(1).split(QStringLiteral(", "));
    bool low = false, high = false;
    const double lower = bounds.value(0).toDouble(&low);
    const double upper = bounds.value(1).toDouble(&high);
    if (low && high)
        QVERIFY(lower <= ratio.toDouble() && ratio.toDouble() <= upper);
}

// A sample whose droplets are all positive has an infinite concentration and upper bound;
// without positives the relative uncertainty is 0 / 0. Such figures read "N/A", as the
// droplet-quality dialog shows them, in well rows and merged rows and in the ratio texts.
void TestResultModel::notFiniteTexts()
{
    load({ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 10, {{10, 0, 0, 0, 0, 0}}),
          ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("A"), 12, {{12, 0, 0, 0, 0, 0}})});
    setModes(0, 0);
    const MergedResultRow merged = model()->getMergedRow(3);
    QCOMPARE(merged.populations.size(), 2);
    QVERIFY(std::isinf(merged.populations.at(0).concentration));
    const QVector<PopulationResultInfo> well = bll()->getResultCalculate()->getPopulationResults(1);
    QVERIFY(std::isinf(well.at(0).concentration));
    QVERIFY(std::isnan(well.at(1).uncertainty));
    const QString none = QStringLiteral("N/A");
    const int mergedRow = 3;
    for (int row : {1, 2, mergedRow}) {
        QCOMPARE(cell(row, populationColumn(0), WellListModel::ConcentrationRole), QVariant(none));
        QCOMPARE(cell(row, populationColumn(0) + 5, WellListModel::MaxConcentrationRole), QVariant(none));
        // Merged as in the wells: no positives, no relative uncertainty.
        QCOMPARE(cell(row, populationColumn(1) + 6, WellListModel::RelativeUncertainlyRole), QVariant(none));
        // No figure of any population reads as a number that is none.
        for (int p : {0, 1}) {
            for (int role = WellListModel::DilutionRole; role <= WellListModel::RelativeUncertainlyRole; ++role) {
                const QString t = cell(row, populationColumn(p), role).toString();
                QVERIFY2(!t.contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
                             !t.contains(QLatin1String("inf"), Qt::CaseInsensitive),
                         qPrintable(QStringLiteral("row %1, role %2: %3").arg(row).arg(role).arg(t)));
            }
        }
    }
    // The figures that have a value keep their text.
    QCOMPARE(cell(1, populationColumn(1), WellListModel::ConcentrationRole), QVariant("0.00"));
    QCOMPARE(cell(1, populationColumn(0), WellListModel::DilutionRole).toString(), QStringLiteral("1.00"));

    // The ratio table of a reagent-kit package: copies and concentrations of the all-positive
    // target, and its ratio over a target without positives.
    load({ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 10, {{10, 4, 0, 0, 0, 0}}),
          ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("B"), 10, {{10, 0, 0, 0, 0, 0}})},
         true);
    setModes(1, 1);
    const QString twoTargets = cell(0, 0, ResultModel::BCABLCopyNumberRole).toString();
    QVERIFY2(twoTargets.startsWith(none + QLatin1String("\n\n")), qPrintable(twoTargets));
    QVERIFY2(!twoTargets.endsWith(none), qPrintable(twoTargets));
    QCOMPARE(cell(0, 0, ResultModel::BCABLRatioRole).toString(), none);
    QVERIFY(cell(0, 0, ResultModel::BCABLConcentartionsRole).toString().startsWith(none + QLatin1String("  [ ")));
    QCOMPARE(cell(0, 0, ResultModel::BCABLRatioCI95Role).toString(), QStringLiteral("[N/A, N/A]"));
    // Over a target without positives the ratio has no value either.
    QCOMPARE(cell(1, 0, ResultModel::BCABLRatioRole).toString(), none);
}

void TestResultModel::mergedUncertaintyAtTheEdges_data()
{
    QTest::addColumn<int>("first");  // positives of the first well's 100 droplets
    QTest::addColumn<int>("second"); // and of the second's
    QTest::addColumn<QString>("uncertainty");
    QTest::addColumn<QString>("upper");
    // 100 (upper - lower) / (2 C) of the summed 200 droplets, from the formulas: none without
    // positives and none one droplet short of saturation, where the upper bound has none.
    QTest::newRow("no positives") << 0 << 0 << "N/A" << "0.00";
    QTest::newRow("saturation - 1") << 100 << 99 << "N/A" << "N/A";
    QTest::newRow("50 %") << 40 << 60 << "20.12" << "1052.92";
}

// A merged row's uncertainty is the one a single well of its summed counts shows, on the
// table and on the uncertainty view alike.
void TestResultModel::mergedUncertaintyAtTheEdges()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, uncertainty);
    QFETCH(QString, upper);
    load({ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 100, {{first, 0, 0, 0, 0, 0}}),
          ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("A"), 100, {{second, 0, 0, 0, 0, 0}}),
          ResultTest::well(3, QStringLiteral("B1"), QStringLiteral("B"), 200, {{first + second, 0, 0, 0, 0, 0}})});
    setModes(0, 0);
    const int mergedRow = wells()->rowCount();
    QCOMPARE(cell(mergedRow, 0, WellListModel::WellIDRole).toUInt(), 4u);
    const int column = populationColumn(0);
    QCOMPARE(cell(mergedRow, column + 6, WellListModel::RelativeUncertainlyRole).toString(), uncertainty);
    QCOMPARE(cell(mergedRow, column + 5, WellListModel::MaxConcentrationRole).toString(), upper);
    // The lone well of the same counts: the same texts, and where there is a figure, the same.
    QCOMPARE(cell(3, column + 6, WellListModel::RelativeUncertainlyRole).toString(), uncertainty);
    const double merged = getRowPopulationResult(4, model()->getMergedRow(4).populations.at(0).populationId).uncertainty;
    const double lone = bll()->getResultCalculate()->getPopulationResults(3).at(0).uncertainty;
    QVERIFY2(std::isfinite(merged) ? merged == 100 * lone : !std::isfinite(lone),
             qPrintable(QStringLiteral("%1 %2").arg(merged).arg(100 * lone)));
    // The uncertainty view's estimate of the merged row.
    const QVector<UncertainlyPlotItem> items =
        uncertaintyItems({4}, wells()->getAllWellIDs(), model()->getMergedRow(4).populations.at(0).populationId);
    QCOMPARE(items.size(), 1);
    QCOMPARE(WellListFormat::formatFigure(items.first().uncertaintyAtConcentration), uncertainty);
}

void TestResultModel::dropletsOnTheThreshold_data()
{
    QTest::addColumn<bool>("ratioRow");
    QTest::addColumn<bool>("merged");
    QTest::newRow("ratio row of a well") << true << false;
    QTest::newRow("ratio row of the merged row") << true << true;
    QTest::newRow("result table, a well") << false << false;
    QTest::newRow("result table, the merged row") << false << true;
}

// A droplet exactly on the line threshold is positive in every count of its well.
void TestResultModel::dropletsOnTheThreshold()
{
    QFETCH(bool, ratioRow);
    QFETCH(bool, merged);
    QList<WellSeed> seeds;
    for (uint id : {1u, 2u}) {
        WellSeed w = ResultTest::well(id, QStringLiteral("A%1").arg(id), QStringLiteral("A"), 20, {{3, 4, 0, 0, 0, 0}});
        w.droplets[3] = BllTest::droplet(BllTest::Greys{{ResultTest::Threshold, ResultTest::Negative}});
        w.droplets[4] = BllTest::droplet(BllTest::Greys{{ResultTest::Threshold, ResultTest::Threshold}});
        w.droplets[5] = BllTest::droplet(BllTest::Greys{{ResultTest::Threshold - 1, ResultTest::Threshold - 1}});
        seeds.append(w);
    }
    // At or above the threshold, counted from the seeds.
    std::array<int, 2> expected{{0, 0}};
    for (const WellSeed &w : seeds) {
        if (!merged && w.id != 1)
            continue;
        for (const BllTest::DropletSeed &d : w.droplets)
            for (int c = 0; c < 2; ++c)
                expected[c] += d.compensated[c] >= ResultTest::Threshold ? 1 : 0;
    }
    QCOMPARE(expected[0], merged ? 10 : 5);
    load(seeds, ratioRow);
    setModes(0, 0);
    const int row = merged ? wells()->rowCount() : 1;
    QCOMPARE(cell(row, 0, WellListModel::WellIDRole).toUInt(), merged ? 3u : 1u);
    if (ratioRow) {
        QCOMPARE(cell(row, 0, ResultModel::BCABLNbPosRole).toString(),
                 QStringLiteral("%1\n\n%2").arg(expected[0]).arg(expected[1]));
    } else {
        for (int p : {0, 1})
            QCOMPARE(cell(row, populationColumn(p) + 2, WellListModel::NbPosRole).toString(), QString::number(expected[p]));
    }
}

void TestResultModel::selectionKeptById()
{
    load(samplesNamed({"A", "B", "A", "B"}));
    QCOMPARE(mergedNames(), (QStringList{"A_Merge", "B_Merge"}));
    setModes(2, 1);
    model()->clearSelect();
    model()->addSelectRow(1);
    QCOMPARE(model()->getSelectIDs(), QList<uint>{6});
    model()->rebuildRows();
    QCOMPARE(model()->getSelectIDs(), QList<uint>{6});
    QVERIFY(!model()->getMergedRow(5).selected);
    QVERIFY(model()->getMergedRow(6).selected);
}

// New wells bring their own merged rows, none of them selected.
void TestResultModel::reloadDropsMergedSelection()
{
    setModes(2, 1);
    model()->addSelectRow(0);
    QCOMPARE(model()->getSelectIDs(), QList<uint>{4});
    load(samplesNamed({"X", "Y", "X", "Y", "Y"}));
    QCOMPARE(mergedNames(), (QStringList{"X_Merge", "Y_Merge"}));
    QCOMPARE(model()->getSelectIDs(), QList<uint>());
    QCOMPARE(model()->rowCount(), 2);
}

void TestResultModel::ensureSelection_data()
{
    QTest::addColumn<QStringList>("samples");
    QTest::addColumn<int>("list");
    QTest::addColumn<QList<uint>>("selected");
    QTest::addColumn<int>("rows");
    QTest::newRow("both") << QStringList{"A", "A", "B"} << 0 << QList<uint>{3} << 5;
    QTest::newRow("wells") << QStringList{"A", "A", "B"} << 1 << QList<uint>{3} << 4;
    QTest::newRow("merged") << QStringList{"A", "A", "B"} << 2 << QList<uint>{4} << 2;
    QTest::newRow("merged without merged rows") << QStringList{"A", "B"} << 2 << QList<uint>() << 1;
}

void TestResultModel::ensureSelection()
{
    QFETCH(QStringList, samples);
    QFETCH(int, list);
    QFETCH(QList<uint>, selected);
    QFETCH(int, rows);
    load(samplesNamed(samples));
    setModes(list, 0);
    model()->clearSelect();
    model()->ensureSelection();
    QCOMPARE(model()->getSelectIDs(), selected);
    QCOMPARE(model()->rowCount(), rows);
    QCOMPARE(model()->getSelectCount(), selected.size());
    // A selection is kept as it is.
    if (list == 0) {
        model()->clearSelect();
        model()->addSelectRow(1);
        model()->ensureSelection();
        QCOMPARE(model()->getSelectIDs(), QList<uint>{1});
    }
}

void TestResultModel::selectCountOfTheRowSet_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("count");
    QTest::newRow("both") << 0 << 1;
    QTest::newRow("wells") << 1 << 1;
    QTest::newRow("merged") << 2 << 0;
}

// One well selected beside an unselected merged row.
void TestResultModel::selectCountOfTheRowSet()
{
    QFETCH(int, list);
    QFETCH(int, count);
    setModes(list, 1);
    model()->clearSelect();
    model()->setListMode(1);
    model()->addSelectRow(0);
    model()->setListMode(list);
    QCOMPARE(model()->getSelectCount(), count);
}

void TestResultModel::cancelSelection()
{
    setModes(0, 1);
    model()->clearSelect();
    model()->addSelectRow(0);
    model()->addSelectRow(3);
    QVERIFY(!model()->cancelSelectRow(0)); // the last selected well stays
    QCOMPARE(model()->getSelectIDs(), (QList<uint>{1, 4}));
    QVERIFY(model()->cancelSelectRow(3));
    QCOMPARE(model()->getSelectIDs(), QList<uint>{1});
    model()->addSelectRow(1);
    QVERIFY(model()->cancelSelectRow(0));
    QCOMPARE(model()->getSelectIDs(), QList<uint>{2});
}

void TestResultModel::namesAndRecordsById()
{
    QCOMPARE(model()->getRowName(1), wells()->getWellName(1));
    QCOMPARE(model()->getRowName(4), QStringLiteral("A_Merge"));
    QCOMPARE(model()->getRowName(99), QString());
    const MergedResultRow none = model()->getMergedRow(99);
    QCOMPARE(none.id, 0u);
    QVERIFY(none.wellIds.isEmpty() && none.populations.isEmpty() && none.name.isEmpty());
    const uint population = model()->getMergedRow(4).populations.at(1).populationId;
    const PopulationResultInfo r = getRowPopulationResult(4, population);
    QCOMPARE(r.populationId, population);
    QCOMPARE(r.posDrpltNum, 8u);
    const PopulationResultInfo zero = getRowPopulationResult(4, 777);
    QCOMPARE(zero.populationId, 0u);
    QCOMPARE(zero.posDrpltNum + zero.negDrpltNum, 0u);
    QCOMPARE(zero.concentration, 0.0);
    QCOMPARE(getRowPopulationResult(1, population).posDrpltNum, 0u); // a well is no merged row
    QVERIFY(!model()->modelIsEmpty());
}

LUMARA_TEST_GUI_MAIN(TestResultModel)
#include "tst_resultmodel.moc"
