// The 2D dot-plot page on seeded documents, offscreen: layout, reloads, scope and mode
// questions, thresholds dragged, typed, applied, cancelled and set automatically, the panel
// rows, plot combinations, polygons becoming zones, and the counts the page stores agreeing
// with the business layer's recount.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/TwoDotPlot/polygonmgr.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/populationmodel.h"
#include "plots/common/thresholdmodel.h"

#include "bll/documentaccess.h"
#include "bll/dropletexclude.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "shell/appresources.h"
#include "shell/wellheaderview.h"

#include "testmain.h"

#include <QHBoxLayout>
#include <qwt_plot_curve.h>

using namespace ChannelPlotsTest;

namespace {

PopulationsMgr *populations()
{
    return bll()->getPopulationsMgr();
}

QPolygonF square(double x0, double y0, double x1, double y1)
{
    return QPolygonF(QVector<QPointF>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// Three wells of 40 ramp droplets on channels 1..3 and the plots (1,2) unnamed, (1,3), (2,3).
BllTest::DocumentSeed lineSeed()
{
    BllTest::DocumentSeed seed = rampDocument({40, 40, 40});
    seed.plots2D = {{QString(), {1u, 2u}}, {QStringLiteral("P13"), {1u, 3u}}, {QStringLiteral("P23"), {2u, 3u}}};
    return seed;
}

// The same in polygon mode with one zone of population "Pop1" on the plot (1,2).
BllTest::DocumentSeed polygonSeed()
{
    BllTest::DocumentSeed seed = lineSeed();
    seed.mode = LumaraAnalysisData::PolygonThreshold;
    BllTest::ZoneSeed zone;
    zone.plot = 0;
    zone.polygon = square(0, 0, 4000, 4000);
    seed.zones = {zone};
    BllTest::PopulationSeed pop;
    pop.name = QStringLiteral("Pop1");
    pop.zones = {{0, LumaraAnalysisData::PositiveZone}};
    seed.populations = {pop};
    return seed;
}

QVector<int> curveSizes(const Zt2DPlot *plot)
{
    QVector<int> sizes;
    for (const QwtPlotCurve *curve : plot->curves())
        sizes.append(int(curve->dataSize()));
    return sizes;
}

int dotCount(const Zt2DPlot *plot)
{
    int n = 0;
    for (int s : curveSizes(plot))
        n += s;
    return n;
}

uint zoneCount(uint well, uint zone)
{
    for (const auto &n : DocumentAccess::classify()->getWellDrpltNumOfZonesByPolygon(well)) {
        if (n.zoneId == zone)
            return n.drpltNum;
    }
    return 0xFFFFFFFFu;
}

QQuickItem *qmlItem(ChannelPlotPage *page, const char *name)
{
    return qobject_cast<QQuickItem *>(qmlChild(page, QString::fromLatin1(name)));
}

// A click on a QML control of the panel, as the pointer gives it.
void clickItem(QQuickWidget *view, QQuickItem *item)
{
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

} // namespace

class TestPlot2DPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void cleanup();
    void layoutScaled();
    void reloads();
    void wellChangeRefreshesOnce();
    void modeQuestion_data();
    void modeQuestion();
    void dragFromPlot();
    void dragCommonScope_data();
    void dragCommonScope();
    void typing_data();
    void typing();
    void applyCancelAuto();
    void panelRows_data();
    void panelRows();
    void combinations();
    void deleteCombinations_data();
    void deleteCombinations();
    void zoneWithoutPopulation();
    void zoneWithPopulation_data();
    void zoneWithPopulation();
    void declinedPopulationDropsOutline();
    void selectionAndRemove();
    void pendingPolygons_data();
    void pendingPolygons();
    void countsFollowExclusion();
    void lineCurvesMatchRecount();
    void uncheckedValues();
    void thumbnails();

private:
    void open(const BllTest::DocumentSeed &seed, const QList<int> &wellRows = {0},
              const QList<int> &plotRows = {0});
    Plot2DDot *page() const { return m_page.get(); }
    std::unique_ptr<Plot2DDot> m_page;
};

void TestPlot2DPage::open(const BllTest::DocumentSeed &seed, const QList<int> &wellRows, const QList<int> &plotRows)
{
    m_page.reset();
    isIndividualMode = 0;
    isAxisIndividual = 1;
    wellAxisRanges.clear();
    QVERIFY(load(seed));
    m_page.reset(new Plot2DDot);
    m_page->resize(1600, 1000);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    emit SignalTransfer::getInstance()->updateWellComplete();
    choose(m_page.get(), wellRows, plotRows);
}

void TestPlot2DPage::cleanup()
{
    m_page.reset();
    uiScaleFactor = 1.0;
    isIndividualMode = 0;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TestPlot2DPage::layoutScaled()
{
    uiScaleFactor = 1.33;
    open(lineSeed());
    QCOMPARE(page()->thumbnailView()->width(), 266);
    QCOMPARE(page()->wellListView()->horizontalHeader()->height(), 32);
    auto *box = qobject_cast<QHBoxLayout *>(page()->layout());
    QVERIFY(box);
    QCOMPARE(box->contentsMargins(), QMargins(34, 34, 37, 39));
    // The plot area gets five times the well list's stretch; the right column starts 470 down.
    QCOMPARE(box->stretch(2), 5);
    QCOMPARE(page()->thumbnailView()->y(), 34 + int(470 * 1.33));
    QCOMPARE(page()->plot(0)->objectName(), QStringLiteral("Quorin2D1"));
    QCOMPARE(page()->plot(3)->objectName(), QStringLiteral("Quorin2D4"));
}

void TestPlot2DPage::reloads()
{
    open(polygonSeed());
    const int records = page()->polygonMgr()->zones().size();
    QCOMPARE(records, 3); // one zone in each of three wells
    isIndividualMode = 1;
    emit SignalTransfer::getInstance()->updateWellComplete();
    emit SignalTransfer::getInstance()->updateWellComplete();
    QCOMPARE(page()->polygonMgr()->zones().size(), records);
    // Every reload: common scope, auto-create on, the panel enabled.
    QCOMPARE(isIndividualMode, 0);
    QVERIFY(page()->autoCreate());
    QCOMPARE(page()->qmlRoot()->property("isCommonAll").toBool(), true);
    QCOMPARE(page()->qmlRoot()->property("uiEnable").toBool(), true);

    // Another file opened while the page is shown replaces the dots at once.
    QCOMPARE(dotCount(page()->plot(0)), 40);
    BllTest::DocumentSeed other = rampDocument({25, 25});
    other.plots2D = {{QString(), {1u, 2u}}};
    QVERIFY(load(other));
    emit SignalTransfer::getInstance()->updateWellComplete();
    QCOMPARE(dotCount(page()->plot(0)), 25);
    // And its zones only: the other file has none.
    QCOMPARE(page()->polygonMgr()->zones().size(), 0);
}

void TestPlot2DPage::wellChangeRefreshesOnce()
{
    open(lineSeed());
    QSignalSpy thresholds(page()->thresholdModel(), &QAbstractItemModel::modelReset);
    QSignalSpy built(page()->thumbnailModel(), &QAbstractItemModel::modelReset);
    selectRows({1});
    emit page()->wellListView()->sigWellSelectChange();
    QCOMPARE(thresholds.count(), 1);
    QCOMPARE(built.count(), 2); // cleared, then filled
}

void TestPlot2DPage::modeQuestion_data()
{
    QTest::addColumn<bool>("startPolygons");
    QTest::addColumn<bool>("accept");
    QTest::newRow("to polygons, declined") << false << false;
    QTest::newRow("to polygons, accepted") << false << true;
    QTest::newRow("to lines, declined") << true << false;
    QTest::newRow("to lines, accepted") << true << true;
}

void TestPlot2DPage::modeQuestion()
{
    QFETCH(bool, startPolygons);
    QFETCH(bool, accept);
    open(startPolygons ? polygonSeed() : lineSeed());
    // The file is marked changed through the hub, as on the other channel pages.
    QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
    const int zones = populations()->getZones().size();
    const int pops = page()->populationModel()->rowCount();
    QQuickItem *lines = qmlItem(page(), "linesButton");
    QQuickItem *polys = qmlItem(page(), "polygonsButton");
    QVERIFY(lines && polys);
    QCOMPARE(lines->property("checked").toBool(), !startPolygons);
    {
        ModalAnswerer answerer([accept](QWidget *modal) {
            if (accept)
                static_cast<QDialog *>(modal)->done(1);
            else
                static_cast<QDialog *>(modal)->done(0);
        });
        clickItem(page(), startPolygons ? lines : polys);
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
    }
    const bool nowPolygons = accept ? !startPolygons : startPolygons;
    QCOMPARE(bll()->getThldType() == LumaraAnalysisData::PolygonThreshold, nowPolygons);
    // The radio buttons show the page's mode, also after a declined question.
    QCOMPARE(lines->property("checked").toBool(), !nowPolygons);
    QCOMPARE(polys->property("checked").toBool(), nowPolygons);
    QCOMPARE(page()->qmlRoot()->property("isLinerType").toBool(), !nowPolygons);
    if (!accept) {
        QCOMPARE(populations()->getZones().size(), zones);
        QCOMPARE(page()->populationModel()->rowCount(), pops);
        QCOMPARE(fixed.count(), 0);
    } else if (startPolygons) {
        QCOMPARE(page()->polygonMgr()->zones().size(), 0);
        QCOMPARE(page()->populationModel()->rowCount(), 0);
        QVERIFY(page()->thresholdModel()->rowCount() > 0);
    } else {
        QCOMPARE(fixed.count(), 1);
        QCOMPARE(page()->thresholdModel()->rowCount(), 0);
        QVERIFY(!page()->plot(0)->isThresholdVisible());
    }
}

void TestPlot2DPage::dragFromPlot()
{
    open(lineSeed(), {0, 1}, {0, 1});
    Zt2DPlot *plot = page()->plot(0);
    QCOMPARE(plot->solidThreshold(), QPointF(Threshold, Threshold));
    const QVector<int> before = curveSizes(plot);
    QSignalSpy spy(plot, &Zt2DPlot::updateTempThreshold);
    drag(plot, QPointF(Threshold, Threshold), QPointF(8000, 9000));
    QVERIFY(!spy.isEmpty());
    const QPointF moved = spy.last().at(0).toPointF();
    QVERIFY2(qAbs(moved.x() - 8000) < 200 && qAbs(moved.y() - 9000) < 200,
             qPrintable(QStringLiteral("%1, %2").arg(moved.x()).arg(moved.y())));
    // Common scope: every well holds the truncated values, also the well not selected.
    for (uint well : wells()->getAllWellIDs()) {
        QCOMPARE(wells()->getCachedThreshold(well, 1), int(moved.x()));
        QCOMPARE(wells()->getCachedThreshold(well, 2), int(moved.y()));
    }
    // The plot (1,3) takes the new vertical line at once; the dots wait for Apply.
    QCOMPARE(page()->plot(1)->solidThreshold().x(), double(int(moved.x())));
    QCOMPARE(curveSizes(plot), before);
    QCOMPARE(page()->thresholdModel()->data(page()->thresholdModel()->index(0), ThresholdModel::ChannelThresholdRole).toString(),
             QString::number(int(moved.x())));
}

void TestPlot2DPage::dragCommonScope_data()
{
    QTest::addColumn<bool>("individual");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("common, two wells") << false << QList<int>{0, 1};
    QTest::newRow("per well, one well") << true << QList<int>{1};
    QTest::newRow("per well, two wells: the first") << true << QList<int>{1, 2};
}

void TestPlot2DPage::dragCommonScope()
{
    QFETCH(bool, individual);
    QFETCH(QList<int>, rows);
    open(lineSeed(), rows, {0, 2});
    if (individual)
        qmlSignal(page(), "switchIndividual");
    QCOMPARE(isIndividualMode, individual ? 1 : 0);
    emit page()->plot(0)->updateTempThreshold(QPointF(6100.9, 7200.2));
    const QList<uint> all = wells()->getAllWellIDs();
    const QList<uint> selected = wells()->getSelectWellIDs();
    for (uint well : all) {
        const bool reached = !individual || well == selected.first();
        QCOMPARE(wells()->getCachedThreshold(well, 1), reached ? 6100 : int(Threshold));
        QCOMPARE(wells()->getCachedThreshold(well, 2), reached ? 7200 : int(Threshold));
    }
    // The other plot (2,3) shows the first selected well's cache: its x is channel 2.
    if (!(individual && rows.size() > 1))
        QCOMPARE(page()->plot(1)->solidThreshold().x(), 7200.0);
}

void TestPlot2DPage::typing_data()
{
    QTest::addColumn<bool>("individual");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("changes");
    QTest::newRow("common") << false << QList<int>{0} << true;
    QTest::newRow("per well") << true << QList<int>{0} << true;
    QTest::newRow("per well, two wells: nothing") << true << QList<int>{0, 1} << false;
}

void TestPlot2DPage::typing()
{
    QFETCH(bool, individual);
    QFETCH(QList<int>, rows);
    QFETCH(bool, changes);
    open(lineSeed(), rows, {0});
    if (individual)
        qmlSignal(page(), "switchIndividual");
    const QVector<int> dots = curveSizes(page()->plot(0));
    page()->thresholdModel()->setChannelThresholdValue(2, QStringLiteral("6150"));
    const uint first = wells()->getSelectWellIDs().first();
    QCOMPARE(wells()->getCachedThreshold(first, 2), changes ? 6150 : int(Threshold));
    const uint other = wells()->getAllWellIDs().last();
    QCOMPARE(wells()->getCachedThreshold(other, 2), changes && !individual ? 6150 : int(Threshold));
    if (changes)
        QCOMPARE(page()->plot(0)->solidThreshold().y(), 6150.0);
    QCOMPARE(page()->plot(0)->dottedThreshold().y(), double(Threshold));
    QCOMPARE(curveSizes(page()->plot(0)), dots);
}

void TestPlot2DPage::applyCancelAuto()
{
    open(lineSeed(), {0}, {0});
    QObject *apply = qmlChild(page(), QStringLiteral("applyButton"));
    QObject *cancel = qmlChild(page(), QStringLiteral("cancelButton"));
    QVERIFY(apply && cancel);
    // A dragged cross can always be applied.
    QVERIFY(apply->property("enabled").toBool());
    QVERIFY(cancel->property("enabled").toBool());

    const QVector<int> before = curveSizes(page()->plot(0));
    emit page()->plot(0)->updateTempThreshold(QPointF(8000, 2000));
    qmlSignal(page(), "applyThreshold");
    for (uint well : wells()->getAllWellIDs()) {
        QCOMPARE(bll()->getThldByLine(well, 1), 8000u);
        QCOMPARE(bll()->getThldByLine(well, 2), 2000u);
    }
    QVERIFY(curveSizes(page()->plot(0)) != before);
    QCOMPARE(page()->plot(0)->dottedThreshold(), QPointF(8000, 2000));

    page()->thresholdModel()->setChannelThresholdValue(1, QStringLiteral("9999"));
    QCOMPARE(page()->plot(0)->solidThreshold().x(), 9999.0);
    qmlSignal(page(), "cancelThreshold");
    QCOMPARE(wells()->getCachedThreshold(wells()->getAllWellIDs().first(), 1), 8000);
    QCOMPARE(page()->plot(0)->solidThreshold(), page()->plot(0)->dottedThreshold());

    qmlSignal(page(), "autoThreshold");
    for (uint well : wells()->getAllWellIDs()) {
        for (uint channel : {1u, 2u, 3u})
            QCOMPARE(wells()->getCachedThreshold(well, channel), int(bll()->getThldByLine(well, channel)));
    }
    QCOMPARE(page()->plot(0)->solidThreshold(), page()->plot(0)->dottedThreshold());
}

void TestPlot2DPage::panelRows_data()
{
    QTest::addColumn<bool>("individual");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("editable");
    QTest::newRow("common, two wells") << false << QList<int>{0, 1} << true;
    QTest::newRow("per well, one well") << true << QList<int>{1} << true;
    QTest::newRow("per well, two wells") << true << QList<int>{0, 1} << false;
}

void TestPlot2DPage::panelRows()
{
    QFETCH(bool, individual);
    QFETCH(QList<int>, rows);
    QFETCH(bool, editable);
    open(lineSeed(), rows, {0, 1});
    if (individual)
        qmlSignal(page(), "switchIndividual");
    ThresholdModel *model = page()->thresholdModel();
    // The plots (1,2) and (1,3): each channel once, in plot order.
    QCOMPARE(model->rowCount(), 3);
    const QList<uint> expected = {1, 2, 3};
    for (int r = 0; r < 3; ++r) {
        const QModelIndex i = model->index(r);
        QCOMPARE(model->data(i, ThresholdModel::ChannelIDRole).toUInt(), expected.at(r));
        QCOMPARE(model->data(i, ThresholdModel::ThresholdEditAbleRole).toBool(), editable);
        QCOMPARE(model->data(i, ThresholdModel::ChannelThresholdRole).toString(),
                 editable ? QString::number(Threshold) : QString());
    }
    // Per well with several wells: no crosses either.
    QCOMPARE(page()->plot(0)->isThresholdVisible(), editable);
}

void TestPlot2DPage::combinations()
{
    open(lineSeed());
    QSignalSpy fixed(page(), &Plot2DDot::dataFixed);
    QSignalSpy hub(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
    ThumbnailModel *thumbs = page()->thumbnailModel();
    QCOMPARE(thumbs->rowCount(), 3);
    // The unnamed combination is titled after its targets.
    QCOMPARE(thumbs->data(thumbs->index(0, 0), ThumbnailModel::TitleRole).toString(),
             QStringLiteral("%1_%2").arg(bll()->getTargetName(1), bll()->getTargetName(2)));
    const QImage image = thumbs->data(thumbs->index(0, 0), ThumbnailModel::ImageRole).value<QImage>();
    QCOMPARE(image.size(), QSize(175, 129));

    QVERIFY(QMetaObject::invokeMethod(page(), "selectPlotCombition", Q_ARG(int, 3), Q_ARG(int, 1),
                                      Q_ARG(QString, QStringLiteral("Mine"))));
    QCOMPARE(thumbs->rowCount(), 4);
    QCOMPARE(thumbs->data(thumbs->index(3, 0), ThumbnailModel::TitleRole).toString(), QStringLiteral("Mine"));
    QCOMPARE(fixed.count(), 1);
    QCOMPARE(hub.count(), 1);

    const uint id = thumbs->data(thumbs->index(3, 0), ThumbnailModel::PlotIdRole).toUInt();
    // The same name again changes nothing: the file is not marked.
    emit thumbs->updatePlotCombitionName(thumbs->index(3, 0), QStringLiteral("Mine"));
    QCOMPARE(fixed.count(), 1);
    emit thumbs->updatePlotCombitionName(thumbs->index(3, 0), QStringLiteral("Renamed"));
    QCOMPARE(fixed.count(), 2);
    bool found = false;
    for (const auto &plot : bll()->getPlotGroupMgr()->get2DPlots()) {
        if (plot.id == id) {
            QCOMPARE(plot.name, QStringLiteral("Renamed"));
            found = true;
        }
    }
    QVERIFY(found);
}

void TestPlot2DPage::deleteCombinations_data()
{
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("left");
    QTest::newRow("shown one, accepted") << QList<int>{0} << true << 2;
    QTest::newRow("two, declined") << QList<int>{0, 2} << false << 3;
    QTest::newRow("nothing marked, accepted") << QList<int>{} << true << 3;
}

void TestPlot2DPage::deleteCombinations()
{
    QFETCH(QList<int>, marked);
    QFETCH(bool, accept);
    QFETCH(int, left);
    open(lineSeed());
    QSignalSpy fixed(page(), &Plot2DDot::dataFixed);
    ThumbnailModel *thumbs = page()->thumbnailModel();
    for (int row : marked)
        thumbs->setData(thumbs->index(row, 0), true, ThumbnailModel::MarkedRole);
    QVERIFY(QMetaObject::invokeMethod(page(), "deleteStatusChange"));
    QCOMPARE(page()->qmlRoot()->property("deleteEnable").toBool(), !marked.isEmpty());
    {
        ModalAnswerer answerer([accept](QWidget *modal) { static_cast<QDialog *>(modal)->done(accept ? 1 : 0); });
        qmlSignal(page(), "deletePlotCombition");
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
    }
    QCOMPARE(bll()->getPlotGroupMgr()->get2DPlots().size(), left);
    QCOMPARE(thumbs->rowCount(), left);
    QCOMPARE(fixed.count(), left < 3 ? 1 : 0);
    // The first remaining combination is shown when the shown one went.
    QCOMPARE(page()->shownPlotIds().size(), 1);
    QCOMPARE(page()->qmlRoot()->property("deleteEnable").toBool(), !accept && !marked.isEmpty());
}

void TestPlot2DPage::zoneWithoutPopulation()
{
    open(polygonSeed());
    QSignalSpy fixed(page(), &Plot2DDot::dataFixed);
    qmlSignal(page(), "initData");
    QVERIFY(QMetaObject::invokeMethod(page()->qmlRoot(), "autoCreatePopulations", Q_ARG(bool, false)));
    QVERIFY(!page()->autoCreate());
    const int zones = populations()->getZones().size();
    const int records = page()->polygonMgr()->zones().size();
    const QPolygonF polygon = square(4500, 4500, 9000, 9000);
    emit page()->plot(0)->addPolygon(polygon);
    QCOMPARE(populations()->getZones().size(), zones + 1);
    const uint zone = populations()->getZones().last().id;
    // Counted in every well of the experiment, not only the selected one.
    QCOMPARE(page()->polygonMgr()->zones().size(), records + 3);
    const uint plotId = page()->shownPlotIds().first();
    for (uint well : bll()->getWellIds()) {
        const int expected = bll()->countDropletsInPolygon(plotId, well, polygon);
        QVERIFY(expected > 0);
        QCOMPARE(zoneCount(well, zone), uint(expected));
    }
    QCOMPARE(fixed.count(), 1);
    // The new zone is drawn on the plot: dots inside it take the unbound zone colour.
    bool unbound = false;
    for (const QwtPlotCurve *curve : page()->plot(0)->curves())
        unbound = unbound || curve->pen().color() == QColor(QStringLiteral("#b37c4e"));
    QVERIFY(unbound);
}

void TestPlot2DPage::zoneWithPopulation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("created");
    QTest::newRow("new name") << QStringLiteral("Fresh") << true;
    QTest::newRow("name in use") << QStringLiteral("Pop1") << false;
}

void TestPlot2DPage::zoneWithPopulation()
{
    QFETCH(QString, name);
    QFETCH(bool, created);
    open(polygonSeed());
    QSignalSpy fixed(page(), &Plot2DDot::dataFixed);
    QSignalSpy refused(page(), &Plot2DDot::populationNameExist);
    const int zones = populations()->getZones().size();
    const int pops = populations()->getPopulations().size();
    QPointer<QDialog> seen;
    QString proposed;
    bool stayedOpen = false;
    {
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *dialog = qobject_cast<AddpopulationDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            seen = dialog;
            proposed = dialog->rootObject()->property("circleColor").toString();
            emit dialog->yesClicked(QStringLiteral("#123456"), name);
            stayedOpen = dialog->isVisible();
            if (stayedOpen)
                dialog->reject();
        });
        emit page()->plot(0)->addPolygon(square(4500, 4500, 9000, 9000));
    }
    QVERIFY(seen);
    // One population exists: the second colour is proposed.
    QCOMPARE(proposed.toUpper(), QStringLiteral("#66CC71"));
    QCOMPARE(stayedOpen, !created);
    QCOMPARE(refused.count(), created ? 0 : 1);
    QCOMPARE(populations()->getZones().size(), zones + (created ? 1 : 0));
    QCOMPARE(populations()->getPopulations().size(), pops + (created ? 1 : 0));
    QCOMPARE(fixed.count(), created ? 1 : 0);
    if (created) {
        const auto zone = populations()->getZones().last();
        QCOMPARE(populations()->getZoneColor(zone.id), QStringLiteral("#123456"));
        QCOMPARE(page()->populationModel()->rowCount(), pops + 1);
    }
    // The dialog is released after its run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!seen);
}

void TestPlot2DPage::declinedPopulationDropsOutline()
{
    open(polygonSeed());
    Zt2DPlot *plot = page()->plot(0);
    const auto shapes = [plot] {
        int n = 0;
        for (const QwtPlotItem *item : plot->itemList())
            n += item->rtti() == QwtPlotItem::Rtti_PlotShape && item->isVisible() ? 1 : 0;
        return n;
    };
    const int before = shapes();
    QSignalSpy added(plot, &Zt2DPlot::addPolygon);
    QPointer<QDialog> seen;
    {
        ModalAnswerer answerer([&seen](QWidget *modal) {
            seen = qobject_cast<QDialog *>(modal);
            static_cast<QDialog *>(modal)->reject();
        });
        // Drawn as a user does: Ctrl + right clicks, then Ctrl released.
        for (const QPointF &p : {QPointF(6000, 6000), QPointF(11000, 6000), QPointF(11000, 11000), QPointF(6000, 11000)}) {
            QTest::mousePress(plot->canvas(), Qt::RightButton, Qt::ControlModifier, pixel(plot, p.x(), p.y()));
            QTest::mouseRelease(plot->canvas(), Qt::RightButton, Qt::ControlModifier, pixel(plot, p.x(), p.y()));
        }
        QTest::keyRelease(plot, Qt::Key_Control);
    }
    QCOMPARE(added.count(), 1);
    QVERIFY(seen);
    // No zone came of it, and the outline just drawn went with the redraw.
    QCOMPARE(populations()->getZones().size(), 1);
    QCOMPARE(shapes(), before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!seen);
}

void TestPlot2DPage::selectionAndRemove()
{
    open(polygonSeed());
    QSignalSpy fixed(page(), &Plot2DDot::dataFixed);
    const uint zone = populations()->getZones().first().id;
    const QPolygonF applied = page()->polygonMgr()->zones().first().applied;
    emit page()->plot(0)->zoneSelectStatus(applied, true);
    QCOMPARE(page()->selectedZones(), QVector<uint>{zone});
    emit page()->plot(0)->enableRemove(true);
    QVERIFY(page()->qmlRoot()->property("enableRemove").toBool());
    // A redraw rebuilds the shapes unselected: nothing stays selected for Remove.
    emit page()->plot(0)->resetAxisScale();
    QVERIFY(page()->selectedZones().isEmpty());
    QVERIFY(!page()->qmlRoot()->property("enableRemove").toBool());
    qmlSignal(page(), "removePolygon");
    QCOMPARE(populations()->getZones().size(), 1);
    QCOMPARE(fixed.count(), 0);

    emit page()->plot(0)->zoneSelectStatus(applied, true);
    emit page()->plot(0)->zoneSelectStatus(square(1, 1, 2, 2), true); // no such zone
    QCOMPARE(page()->selectedZones(), QVector<uint>{zone});
    qmlSignal(page(), "removePolygon");
    QVERIFY(populations()->getZones().isEmpty());
    QVERIFY(page()->polygonMgr()->zones().isEmpty());
    QCOMPARE(fixed.count(), 1);
}

void TestPlot2DPage::pendingPolygons_data()
{
    QTest::addColumn<bool>("individual");
    QTest::addColumn<bool>("apply");
    QTest::newRow("common, applied") << false << true;
    QTest::newRow("per well, applied") << true << true;
    QTest::newRow("common, cancelled") << false << false;
}

void TestPlot2DPage::pendingPolygons()
{
    QFETCH(bool, individual);
    QFETCH(bool, apply);
    open(polygonSeed(), {1});
    if (individual)
        qmlSignal(page(), "switchIndividual");
    const uint zone = populations()->getZones().first().id;
    const QPolygonF applied = page()->polygonMgr()->zones().first().applied;
    const QPolygonF edited = square(0, 0, 8000, 8000);
    emit page()->plot(0)->updateSharp({qMakePair(applied, edited)});
    emit page()->plot(0)->enableApply();
    QVERIFY(page()->qmlRoot()->property("enableApply").toBool());
    const uint selected = wells()->getSelectWellIDs().first();
    for (const PolygonZoneInfo &record : page()->polygonMgr()->zones()) {
        const bool reached = !individual || record.wellID == selected;
        QCOMPARE(record.pending, reached ? edited : QPolygonF());
    }
    qmlSignal(page(), apply ? "applyPolygonChange" : "cancelPolygonChange");
    const uint plotId = page()->shownPlotIds().first();
    for (uint well : bll()->getWellIds()) {
        const bool reached = apply && (!individual || well == selected);
        const QPolygonF outline = reached ? edited : applied;
        QCOMPARE(zoneCount(well, zone), uint(bll()->countDropletsInPolygon(plotId, well, outline)));
    }
    for (const PolygonZoneInfo &record : page()->polygonMgr()->zones())
        QVERIFY(record.pending.isEmpty());
}

void TestPlot2DPage::countsFollowExclusion()
{
    open(polygonSeed());
    QVERIFY(QMetaObject::invokeMethod(page()->qmlRoot(), "autoCreatePopulations", Q_ARG(bool, false)));
    const QPolygonF polygon = square(0, 0, 9000, 9000);
    emit page()->plot(0)->addPolygon(polygon);
    const uint zone = populations()->getZones().last().id;
    const uint well = bll()->getWellIds().first();
    const uint plotId = page()->shownPlotIds().first();
    const uint before = zoneCount(well, zone);
    bll()->getDropletExclude()->excludeDroplets(well, {0, 1, 2, 30});
    // The business layer's recount after the exclusion and the page's own count agree.
    QCOMPARE(zoneCount(well, zone), uint(page()->countZoneDroplets(plotId, well, polygon)));
    QCOMPARE(zoneCount(well, zone), before - 3);
    bll()->getDropletExclude()->restoreDroplets(well);
}

void TestPlot2DPage::lineCurvesMatchRecount()
{
    // Two targets; thresholds exactly on droplets 10 (x) and 20 (y).
    BllTest::DocumentSeed seed = rampDocument({40}, {1, 2});
    seed.wells[0].lineThresholds[0] = 1000 + 300 * 10 + 10;
    seed.wells[0].lineThresholds[1] = 1000 + 300 * 20 + 20;
    seed.plots2D = {{QString(), {1u, 2u}}};
    open(seed);
    const QVector<int> sizes = curveSizes(page()->plot(0));
    QCOMPARE(sizes.size(), 4); // both, y only, neither, x only
    QMap<uint, int> byMask;
    const auto &zones = DocumentAccess::classify()->getZones();
    for (const auto &n : DocumentAccess::classify()->getWellDrpltNumOfZonesByLine(seed.wells[0].id)) {
        for (const auto &z : zones) {
            if (z.id == n.zoneId)
                byMask.insert(z.code, int(n.drpltNum));
        }
    }
    QCOMPARE(byMask.value(3), sizes.at(0));
    QCOMPARE(byMask.value(2), sizes.at(1));
    QCOMPARE(byMask.value(0), sizes.at(2));
    QCOMPARE(byMask.value(1), sizes.at(3));
    QCOMPARE(sizes, (QVector<int>{20, 0, 10, 10}));
}

void TestPlot2DPage::uncheckedValues()
{
    open(lineSeed());
    page()->setCurrentPlot(QStringLiteral("Quorin2D4"));
    QCOMPARE(page()->currentPlotId(), 0u);
    page()->setCurrentPlot(QStringLiteral("elsewhere"));
    QCOMPARE(page()->currentPlot(), 0);
    // A polygon from a plot that shows nothing adds nothing.
    const int zones = populations()->getZones().size();
    emit page()->plot(3)->addPolygon(square(0, 0, 10, 10));
    QCOMPARE(populations()->getZones().size(), zones);

    // A stored channel outside 1..6: an empty plot with automatic axes, no crash.
    const uint bad = bll()->getPlotGroupMgr()->add2DPlot(QStringLiteral("bad"), 7, 1);
    QVERIFY(bad != 0);
    page()->refresh();
    ThumbnailModel *thumbs = page()->thumbnailModel();
    const int row = thumbs->rowCount() - 1;
    QCOMPARE(thumbs->data(thumbs->index(row, 0), ThumbnailModel::PlotIdRole).toUInt(), bad);
    thumbs->setData(thumbs->index(0, 0), false, ThumbnailModel::ShownRole);
    thumbs->setData(thumbs->index(row, 0), true, ThumbnailModel::ShownRole);
    thumbs->setData(thumbs->index(0, 0), false, ThumbnailModel::ShownRole);
    emit page()->thumbnailView()->modelDataChange();
    QCOMPARE(page()->shownPlotIds(), QVector<uint>{bad});
    QCOMPARE(dotCount(page()->plot(0)), 0);
    QVERIFY(!page()->plot(0)->isThresholdVisible());
    QVERIFY(page()->plot(0)->axisAutoScale(QwtPlot::xBottom));
}

void TestPlot2DPage::thumbnails()
{
    open(lineSeed(), {0, 1, 2});
    ThumbnailModel *thumbs = page()->thumbnailModel();
    QCOMPARE(thumbs->rowCount(), 3);
    // Each channel's automatic range holds every droplet of the selected wells.
    for (uint channel : {1u, 2u, 3u}) {
        const AxisRange r = page()->automaticRanges().at(int(channel) - 1);
        QVERIFY2(r.first <= 1000 + 10 * channel && r.second >= 1000 + 300 * 39 + 10 * channel,
                 qPrintable(QStringLiteral("%1..%2").arg(r.first).arg(r.second)));
    }
    // The shown plot takes those ranges while no per-well range is stored.
    const QwtScaleDiv &div = page()->plot(0)->axisScaleDiv(QwtPlot::xBottom);
    QCOMPARE(div.lowerBound(), page()->automaticRanges().at(0).first);
    QCOMPARE(div.upperBound(), page()->automaticRanges().at(0).second);
    // A thumbnail is a picture of a plot: white around, coloured dots inside.
    const QImage image = thumbs->data(thumbs->index(0, 0), ThumbnailModel::ImageRole).value<QImage>();
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            coloured += c.saturation() > 80 ? 1 : 0;
        }
    }
    QVERIFY(coloured > 50);
}

LUMARA_TEST_GUI_MAIN(TestPlot2DPage)
#include "tst_plot2dpage.moc"
