// The concentration and uncertainty pages on seeded documents: what each hands its chart for
// the selected rows and ticked populations, how the population list keeps the user's ticks,
// the Linear / Log switch, the panel's connections, one uncertainty for a population with its
// own negatives on the table and the chart, and a reload of the wells.
#include "bllaccess.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "messagerecorder.h"
#include "pages/ViewResult/concentration.h"
#include "pages/ViewResult/concentrationscaledraw.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultlistview.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/uncertainly.h"
#include "pages/ViewResult/ztconcentration.h"
#include "pages/ViewResult/ztuncertainly.h"
#include "plottest.h"
#include "resultseed.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QQuickItem>
#include <QSignalSpy>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>

#include <cmath>
#include <memory>
#include <utility>

using namespace LumaraAnalysisData;
using BllTest::WellSeed;

namespace {

ResultModel *rows()
{
    return ResultModel::instance();
}

QList<uint> populationIds()
{
    QList<uint> ids;
    for (const PopulationsInfo &p : bll()->getPopulationsMgr()->getPopulations())
        ids.append(p.id);
    return ids;
}

// Samples A, A, B: wells 1 to 3 in rows 0 to 2 of the chart lists, the merged row (id 4) in
// row 3. Well 3 is positive in every droplet of channel 1.
QList<WellSeed> samplesAAB()
{
    WellSeed a1 = ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 20, {{8, 3, 0, 0, 0, 0}});
    a1.volume = 600;
    return {a1, ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("A"), 30, {{12, 5, 0, 0, 0, 0}}),
            ResultTest::well(3, QStringLiteral("B1"), QStringLiteral("B"), 10, {{10, 4, 0, 0, 0, 0}})};
}

void load(const QList<WellSeed> &seeds, bool populations = true)
{
    BllTest::DocumentSeed seed = ResultTest::document(seeds);
    if (!populations)
        seed.targets = BllTest::DocumentSeed().targets; // no named target: no line population
    QString error;
    QVERIFY2(ResultTest::load(seed, &error), qPrintable(error));
    // As the View Results page leaves the models for its chart pages.
    WellListModel::instance()->setModelType(0);
    rows()->setViewMode(1);
    rows()->updateModel();
}

void select(const QList<int> &tableRows)
{
    rows()->clearSelect();
    for (int row : tableRows)
        rows()->addSelectRow(row);
}

// The chart's groups: label -> colours of its boxes, left to right.
QMap<QString, QStringList> barsOf(const ZtConcentration &chart)
{
    QMap<QString, QStringList> groups;
    const auto *draw = dynamic_cast<const ConcentrationScaleDraw *>(chart.axisScaleDraw(QwtPlot::xBottom));
    if (!draw)
        return groups;
    for (const QString &label : draw->labels())
        groups.insert(label, {});
    QMap<double, QPair<QString, QString>> boxes; // x -> (group label, colour)
    for (QwtPlotCurve *curve : PlotTest::curvesOf(chart)) {
        if (curve->brush().style() != Qt::SolidPattern || curve->dataSize() == 0)
            continue;
        const double x = (curve->sample(0).x() + curve->sample(1).x()) / 2;
        const int key = int(x) / 200 * 200 + 100;
        boxes.insert(x, {draw->labels().value(key), curve->brush().color().name()});
    }
    for (const auto &box : boxes)
        groups[box.first].append(box.second);
    return groups;
}

QString colourOf(uint population)
{
    return QColor(bll()->getPopulationsMgr()->getPopulationColor(population)).name();
}

struct UncertaintyMarks {
    QList<QPointF> points;
    QList<QPointF> optimal;
    QList<double> rangeLines;
    QList<QPointF> crossHairs;
    int curves = 0;
};

UncertaintyMarks marksOf(const ZtUncertainly &chart)
{
    UncertaintyMarks marks;
    for (QwtPlotMarker *m : PlotTest::markersOf(chart)) {
        if (m->lineStyle() == QwtPlotMarker::VLine)
            marks.rangeLines.append(m->xValue());
        else if (m->lineStyle() == QwtPlotMarker::Cross)
            marks.crossHairs.append(m->value());
        else if (m->symbol() && m->symbol()->brush().style() == Qt::NoBrush)
            marks.optimal.append(m->value());
        else
            marks.points.append(m->value());
    }
    marks.curves = PlotTest::curvesOf(chart).size();
    return marks;
}

bool invoke(QObject *object, const char *member)
{
    return QMetaObject::invokeMethod(object, member, Qt::DirectConnection);
}

} // namespace

class TestChartPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        BLLInstance::createSingletons();
        QString error;
        QVERIFY2(ResultTest::useKit(false, &error), qPrintable(error));
    }
    void init()
    {
        load(samplesAAB());
        rows()->setListMode(0);
        m_recorder = std::make_unique<LumaraTest::MessageRecorder>();
    }
    void cleanup()
    {
        m_concentration.reset();
        m_uncertainty.reset();
        QCOMPARE(m_recorder->qmlWarningsAndErrors(), QStringList());
        m_recorder.reset();
    }

    void concentrationBars_data();
    void concentrationBars();
    void concentrationAboveTheLimit();
    void concentrationAxisSwitch();
    void concentrationKeepsUnticked();
    void concentrationPanelConnections();
    void concentrationReload();
    void refreshWithoutRows();
    void mergeWithoutMergedRows();

    void uncertaintyPopulations();
    void uncertaintyItems_data();
    void uncertaintyItems();
    void uncertaintyWithoutPopulations();
    void uncertaintyOfAnEditedPopulation();
    void uncertaintyReload();
    void rowListFillsItsWidth_data();
    void rowListFillsItsWidth();

private:
    Concentration *concentration()
    {
        if (!m_concentration) {
            m_concentration = std::make_unique<Concentration>();
            m_concentration->resize(1400, 800);
            m_concentration->show();
            if (!QTest::qWaitForWindowExposed(m_concentration.get()))
                qWarning("the concentration page was not shown");
        }
        return m_concentration.get();
    }
    Uncertainly *uncertainty()
    {
        if (!m_uncertainty) {
            m_uncertainty = std::make_unique<Uncertainly>();
            m_uncertainty->resize(1400, 800);
            m_uncertainty->show();
            if (!QTest::qWaitForWindowExposed(m_uncertainty.get()))
                qWarning("the uncertainty page was not shown");
        }
        return m_uncertainty.get();
    }

    std::unique_ptr<LumaraTest::MessageRecorder> m_recorder;
    std::unique_ptr<Concentration> m_concentration;
    std::unique_ptr<Uncertainly> m_uncertainty;
};

void TestChartPages::concentrationBars_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("unticked"); // population indices
    QTest::addColumn<QList<uint>>("labelled"); // row ids whose labels the chart shows
    QTest::newRow("two wells") << 0 << QList<int>{0, 1} << QList<int>() << QList<uint>{1, 2};
    QTest::newRow("a well and the merged row") << 0 << QList<int>{1, 3} << QList<int>() << QList<uint>{2, 4};
    QTest::newRow("one population unticked") << 0 << QList<int>{0, 3} << QList<int>{0} << QList<uint>{1, 4};
    QTest::newRow("no population ticked") << 0 << QList<int>{0} << QList<int>{0, 1} << QList<uint>{1};
    QTest::newRow("merged rows only") << 2 << QList<int>{0} << QList<int>() << QList<uint>{4};
}

// One group per selected row, labelled with the well's name or the merged row's, and one bar
// per ticked population in the population's colour.
void TestChartPages::concentrationBars()
{
    QFETCH(int, list);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, unticked);
    QFETCH(QList<uint>, labelled);
    Concentration *page = concentration();
    rows()->setListMode(list);
    select(selected);
    page->refreshView();
    for (int p : unticked)
        page->populationModel()->updateSelectStatus(p, false);

    const QList<uint> populations = populationIds();
    QCOMPARE(populations.size(), 2);
    QMap<QString, QStringList> expected;
    for (uint id : labelled) {
        const bool merged = id == 4;
        const QString label = merged ? QStringLiteral("A_Merge") : bll()->getWellSampleName(id);
        QVERIFY(!label.isEmpty());
        QStringList colours;
        for (int p = 0; p < populations.size(); ++p)
            if (!unticked.contains(p))
                colours.append(colourOf(populations.at(p)));
        expected.insert(label, colours);
    }
    QCOMPARE(barsOf(*page->chart()), expected);
}

// Well 3's first population has no negative droplet: its concentration cannot be charted, the
// row keeps its place with the other bar.
void TestChartPages::concentrationAboveTheLimit()
{
    Concentration *page = concentration();
    select({2, 0});
    page->refreshView();
    QVERIFY(bll()->getResultCalculate()->getPopulationResults(3).first().concentration > 1e8);
    const QMap<QString, QStringList> bars = barsOf(*page->chart());
    QCOMPARE(bars.size(), 2);
    QCOMPARE(bars.value(bll()->getWellSampleName(3)), QStringList{colourOf(populationIds().at(1))});
    QCOMPARE(bars.value(bll()->getWellSampleName(1)).size(), 2);
}

void TestChartPages::concentrationAxisSwitch()
{
    Concentration *page = concentration();
    select({0});
    page->refreshView();
    QObject *root = page->rootObject();
    QVERIFY(root);
    for (const bool log : {true, false, true}) {
        QVERIFY(invoke(root, log ? "switch2Log" : "switch2Linear"));
        QCOMPARE(concentrationLogAxis, log ? 1 : 0);
        const bool logEngine = dynamic_cast<QwtLogScaleEngine *>(page->chart()->axisScaleEngine(QwtPlot::yLeft));
        QCOMPARE(logEngine, log);
        QCOMPARE(page->chart()->axisTitle(QwtPlot::yLeft).text(), log ? QStringLiteral("cp/ul-Log") : QStringLiteral("cp/ul-Linear"));
        QCOMPARE(page->chart()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), log ? 0.001 : 0.0);
    }
    QVERIFY(invoke(root, "switch2Linear"));
}

// A population the user unticked stays so across row-set switches and selections; a new one
// comes ticked.
void TestChartPages::concentrationKeepsUnticked()
{
    Concentration *page = concentration();
    select({0});
    page->refreshView();
    PopulationSelectModel *list = page->populationModel();
    QCOMPARE(list->rowCount(), 2);
    list->updateSelectStatus(0, false);
    const uint unticked = populationIds().at(0);
    QCOMPARE(list->getUnselectIDs(), QList<uint>{unticked});
    QObject *root = page->rootObject();
    QVERIFY(invoke(root, "mergeWell"));
    QCOMPARE(rows()->listMode(), 2);
    QCOMPARE(rows()->getSelectIDs(), QList<uint>{4});
    QVERIFY(invoke(root, "individualWell"));
    QVERIFY(invoke(root, "bothWell"));
    QCOMPARE(list->getUnselectIDs(), QList<uint>{unticked});

    const uint added = bll()->getPopulationsMgr()->addPopulation(QStringLiteral("Added"), QStringLiteral("#123456"));
    emit page->listView()->wellSelectChange();
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->getUnselectIDs(), QList<uint>{unticked});
    QVERIFY(list->getSelectIDs().contains(added));
    // Asking for the tick an item already has changes nothing and redraws nothing.
    QSignalSpy changes(list, &PopulationSelectModel::selectStatusChange);
    QSignalSpy resets(list, &QAbstractItemModel::modelReset);
    list->updateSelectStatus(0, false);
    list->updateSelectStatus(2, true);
    list->updateSelectStatus(9, true);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(resets.count(), 0);
}

// Each connection between the page and its panel is made once.
void TestChartPages::concentrationPanelConnections()
{
    Concentration *page = concentration();
    QObject *root = page->rootObject();
    for (const char *signal : {SIGNAL(selectBoth()), SIGNAL(selectMerge()), SIGNAL(selectIndividual()),
                               SIGNAL(openNewFile())}) {
        QSignalSpy spy(root, signal);
        QVERIFY(spy.isValid());
    }
    QSignalSpy both(root, SIGNAL(selectBoth()));
    QSignalSpy merge(root, SIGNAL(selectMerge()));
    QSignalSpy individual(root, SIGNAL(selectIndividual()));
    emit page->selectMerge();
    emit page->selectIndividual();
    emit page->selectBoth();
    QCOMPARE(both.count(), 1);
    QCOMPARE(merge.count(), 1);
    QCOMPARE(individual.count(), 1);
    // The panel's row-set buttons switch the model once each.
    QSignalSpy resets(rows(), &QAbstractItemModel::modelReset);
    QVERIFY(invoke(root, "individualWell"));
    QCOMPARE(rows()->listMode(), 1);
    QCOMPARE(resets.count(), 1);
    QVERIFY(!root->property("uiEnable").toBool());
}

// A reload empties the population list, shows Both, and puts the axis and the list mode back.
void TestChartPages::concentrationReload()
{
    Concentration *page = concentration();
    select({0});
    page->refreshView();
    QVERIFY(invoke(page->rootObject(), "switch2Log"));
    QVERIFY(invoke(page->rootObject(), "mergeWell"));
    QSignalSpy both(page, &ResultChartPage::selectBoth);
    emit SignalTransfer::getInstance()->updateWellComplete();
    QCOMPARE(page->populationModel()->rowCount(), 0);
    QCOMPARE(rows()->listMode(), 0);
    QCOMPARE(concentrationLogAxis, 0);
    QCOMPARE(both.count(), 1);
    QVERIFY(page->rootObject()->property("uiEnable").toBool());
    QVERIFY(page->rootObject()->findChild<QObject *>(QStringLiteral("linearRadio"))->property("checked").toBool());
}

void TestChartPages::refreshWithoutRows()
{
    load({});
    Concentration *page = concentration();
    QSignalSpy both(page, &ResultChartPage::selectBoth);
    page->refreshView();
    QCOMPARE(both.count(), 0);
    QCOMPARE(page->populationModel()->rowCount(), 0);
}

// Merge mode of a run without shared samples: no row, so no group and no item.
void TestChartPages::mergeWithoutMergedRows()
{
    load(samplesAAB().mid(1));
    QCOMPARE(rows()->getMergedRows().size(), 0);
    Concentration *page = concentration();
    select({0});
    page->refreshView();
    QVERIFY(invoke(page->rootObject(), "mergeWell"));
    QCOMPARE(rows()->rowCount(), 0);
    QCOMPARE(rows()->getSelectIDs(), QList<uint>());
    QCOMPARE(barsOf(*page->chart()), (QMap<QString, QStringList>()));
    Uncertainly *other = uncertainty();
    other->refreshView();
    const UncertaintyMarks marks = marksOf(*other->chart());
    QVERIFY(marks.points.isEmpty() && marks.rangeLines.isEmpty() && marks.curves == 0);
}

// One population at a time: the first until the user picks another, which then persists; new
// populations come unticked.
void TestChartPages::uncertaintyPopulations()
{
    Uncertainly *page = uncertainty();
    select({0});
    page->refreshView();
    PopulationSelectModel *list = page->populationModel();
    const QList<uint> ids = populationIds();
    QCOMPARE(list->getSelectIDs(), QList<uint>{ids.at(0)});
    list->updateSelectStatus(1, true, true);
    QCOMPARE(list->getSelectIDs(), QList<uint>{ids.at(1)});
    QCOMPARE(page->chart()->axisTitle(QwtPlot::yLeft).text(), bll()->getPopulationsMgr()->getPopulationName(ids.at(1)));
    // Clicking the ticked one again changes nothing.
    QSignalSpy changes(list, &PopulationSelectModel::selectStatusChange);
    list->updateSelectStatus(1, true, true);
    QCOMPARE(changes.count(), 0);
    bll()->getPopulationsMgr()->addPopulation(QStringLiteral("Later"), QStringLiteral("#654321"));
    QVERIFY(invoke(page->rootObject(), "individualWell"));
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->getSelectIDs(), QList<uint>{ids.at(1)});
}

void TestChartPages::uncertaintyItems_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<uint>>("charted");
    QTest::newRow("one well") << QList<int>{1} << QList<uint>{2};
    QTest::newRow("the merged row") << QList<int>{3} << QList<uint>{4};
    QTest::newRow("two rows") << QList<int>{0, 3} << QList<uint>{1, 4};
}

// A point per row at its estimate; for a single row also its curve, its cross-hair, its two
// range limits and its optimal point. A merged row's estimate is the one its table row shows.
void TestChartPages::uncertaintyItems()
{
    QFETCH(QList<int>, selected);
    QFETCH(QList<uint>, charted);
    Uncertainly *page = uncertainty();
    select(selected);
    page->refreshView();
    // The second population: channel 1 of well 3 has no negative droplet.
    const uint population = populationIds().at(1);
    page->populationModel()->updateSelectStatus(1, true, true);
    QCOMPARE(page->populationModel()->getSelectIDs(), QList<uint>{population});
    QList<QPointF> expected;
    QList<UncertainlyCurveInfo> curves;
    for (uint id : charted) {
        const UncertainlyCurveInfo curve = id == 4 ? mergedRowUncertaintyCurve(id, population)
                                                   : bll()->getResultCalculate()->uncertaintyCurveOfPopulation(id, population);
        if (id == 4) {
            const PopulationResultInfo merged = getRowPopulationResult(4, population);
            QCOMPARE(curve.concentration, merged.concentration);
            QCOMPARE(curve.uncertaintyAtConcentration, merged.uncertainty);
        }
        QVERIFY(std::isfinite(curve.concentration) && curve.concentration > 0);
        expected.append(QPointF(curve.concentration, curve.uncertaintyAtConcentration));
        curves.append(curve);
    }
    const UncertaintyMarks marks = marksOf(*page->chart());
    QCOMPARE(marks.points, expected);
    QCOMPARE(marks.curves, 1);
    if (charted.size() == 1) {
        QCOMPARE(marks.crossHairs, expected);
        QCOMPARE(marks.rangeLines, (QList<double>{curves.first().upperConcentration, curves.first().detectionLimit}));
        QCOMPARE(marks.optimal, (QList<QPointF>{{curves.first().concentrationAtRef, curves.first().uncertaintyAtRef}}));
    } else {
        QVERIFY(marks.crossHairs.isEmpty() && marks.rangeLines.isEmpty() && marks.optimal.isEmpty());
    }
    QVERIFY(invoke(page->rootObject(), "switch2Log"));
    QVERIFY(dynamic_cast<QwtLogScaleEngine *>(page->chart()->axisScaleEngine(QwtPlot::xBottom)));
    QCOMPARE(page->chart()->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Concentration(cp/ul-Log)"));
    QCOMPARE(marksOf(*page->chart()).points, expected);
    QVERIFY(invoke(page->rootObject(), "switch2Linear"));
}

// Without a population nothing is charted; the axis switch still reaches the bottom axis.
void TestChartPages::uncertaintyWithoutPopulations()
{
    load(samplesAAB(), false);
    QVERIFY(populationIds().isEmpty());
    Uncertainly *page = uncertainty();
    select({0});
    page->refreshView();
    QCOMPARE(page->populationModel()->rowCount(), 0);
    QCOMPARE(marksOf(*page->chart()).points.size(), 0);
    QVERIFY(invoke(page->rootObject(), "switch2Log"));
    QCOMPARE(uncertaintyLogAxis, 1);
    QVERIFY(dynamic_cast<QwtLogScaleEngine *>(page->chart()->axisScaleEngine(QwtPlot::xBottom)));
    QVERIFY(invoke(page->rootObject(), "switch2Linear"));
}

// A population with its own negatives: 15 positives (zones of 10 positives and 5 of both) of
// its 120 droplets (100 negatives), in a well of 20000. The result table and the uncertainty
// view give it one relative uncertainty, that of 15 of 120 droplets.
void TestChartPages::uncertaintyOfAnEditedPopulation()
{
    const QPolygonF around[] = {QPolygonF(QRectF(900, 900, 200, 200)), QPolygonF(QRectF(2900, 2900, 200, 200)),
                                QPolygonF(QRectF(4900, 4900, 200, 200))};
    WellSeed w = BllTest::well(1, QStringLiteral("A1"), {1, 2});
    w.sampleName = QStringLiteral("E");
    const std::pair<uint, int> groups[] = {{1000, 10}, {3000, 100}, {5000, 5}, {200, 19885}};
    for (const auto &group : groups)
        for (int i = 0; i < group.second; ++i)
            w.droplets.append(BllTest::droplet(BllTest::Greys{{group.first, group.first}}));
    BllTest::DocumentSeed seed = ResultTest::document({w});
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"x_y", {1, 2}}};
    for (const QPolygonF &polygon : around)
        seed.zones.append(BllTest::ZoneSeed{0, polygon, {}});
    seed.populations = {{"Edited", "#2266AA", true, {{0, PositiveZone}, {1, NegativeZone}, {2, PositiveAndNegativeZone}}}};
    QString error;
    QVERIFY2(ResultTest::load(seed, &error), qPrintable(error));
    QCOMPARE(bll()->getWellDropletNum(1), 20000u);

    // The table's figure (the result page's models).
    WellListModel::instance()->setModelType(2);
    rows()->setViewMode(0);
    rows()->updateModel();
    QCOMPARE(rows()->data(rows()->index(1, 3 + 2), WellListModel::NbPosRole).toString(), QStringLiteral("15"));
    QCOMPARE(rows()->data(rows()->index(1, 3 + 3), WellListModel::NbNegtiveRole).toString(), QStringLiteral("105"));
    QCOMPARE(rows()->data(rows()->index(1, 3 + 6), WellListModel::RelativeUncertainlyRole).toString(),
             QStringLiteral("50.72"));

    // The view's, for the well the user clicks.
    WellListModel::instance()->setModelType(0);
    rows()->setViewMode(1);
    rows()->updateModel();
    Uncertainly *page = uncertainty();
    page->refreshView();
    ResultListView *list = page->listView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(rows()->getSelectIDs(), QList<uint>{1});
    QCOMPARE(page->populationModel()->getSelectIDs(), populationIds());
    const UncertaintyMarks marks = marksOf(*page->chart());
    QCOMPARE(marks.points.size(), 1);
    // 100 (upper - lower) / (2 C) of 15 of 120, from the formulas.
    QCOMPARE(marks.points.first().y(), 50.72200628315752);
    QCOMPARE(marks.points.first().x(), 166.91424078065327);
    // Its curve runs over the population's 120 droplets: the detection limit is 3 copies in them.
    QCOMPARE(marks.rangeLines.value(1), 3 / (120 * 800e-6));
}

// The uncertainty page empties its list and its axis on a reload, and leaves the list mode to
// the concentration page.
void TestChartPages::uncertaintyReload()
{
    Uncertainly *page = uncertainty();
    select({0});
    page->refreshView();
    QVERIFY(invoke(page->rootObject(), "switch2Log"));
    rows()->setListMode(2);
    QSignalSpy both(page->rootObject(), SIGNAL(selectBoth()));
    emit SignalTransfer::getInstance()->updateWellComplete();
    QCOMPARE(page->populationModel()->rowCount(), 0);
    QCOMPARE(uncertaintyLogAxis, 0);
    QCOMPARE(rows()->listMode(), 2);
    QCOMPARE(both.count(), 1);
    QVERIFY(page->rootObject()->property("uiEnable").toBool());
}

// The page's own header replaces the list's: the one column still spans the list, so that the
// row names are not cut short.
void TestChartPages::rowListFillsItsWidth_data()
{
    QTest::addColumn<bool>("uncertaintyPage");
    QTest::newRow("concentration") << false;
    QTest::newRow("uncertainty") << true;
}

void TestChartPages::rowListFillsItsWidth()
{
    QFETCH(bool, uncertaintyPage);
    ResultChartPage *page = uncertaintyPage ? static_cast<ResultChartPage *>(uncertainty()) : concentration();
    select({0});
    page->refreshView();
    ResultListView *list = page->listView();
    QCOMPARE(list->model()->columnCount(), 1);
    QVERIFY(list->viewport()->width() > 100);
    QCOMPARE(list->columnWidth(0), list->viewport()->width());
    page->resize(1000, 700);
    QTRY_COMPARE(list->columnWidth(0), list->viewport()->width());
}

LUMARA_TEST_GUI_MAIN(TestChartPages)
#include "tst_chartpages.moc"
