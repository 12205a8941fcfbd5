// The Analyze Plot pages across documents, on the real main window: a user leaves typed
// thresholds, a polygon with its population, a chosen 3D plot and population and a population
// being edited on one package, then opens another (from the menu) or merges one (through Set
// Up). Every plot page then shows what it shows after a fresh open of the same package (or the
// same merge), and pressing its Apply changes none of the package's records.
#include "bllaccess.h"
#include "bll/documentaccess.h"
#include "bll/dropletexclude.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "modaldriver.h"
#include "model/drpltclassifymgr.h"
#include "pages/EditExperiment/experimentedit.h"
#include "pages/analysisplot.h"
#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/PopulationEdit/linezonemodel.h"
#include "plots/PopulationEdit/polygonzonemodel.h"
#include "plots/PopulationEdit/populationedit.h"
#include "plots/ThreeDotPlot/add3dcombition.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/ThreeDotPlot/zonemodel.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/populationmodel.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/navibar.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QGridLayout>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_scale_div.h>

#include <functional>
#include <memory>

using namespace ShellTest;
using namespace LumaraAnalysisData;

namespace {

const int JobTimeoutMs = 120000;

// What a user sees of one page.
struct Snapshot {
    QStringList text;
};

// ---- Through the window --------------------------------------------------------------------

QWidget *visit(MainWindows &window, int primary, int sub)
{
    QMetaObject::invokeMethod(window.naviBar()->rootObject(), "updateIndex", Q_ARG(QVariant, primary),
                              Q_ARG(QVariant, sub));
    QTest::qWait(50);
    return window.frame()->page(primary);
}

AnalysisPlot *analysis(MainWindows &window)
{
    return qobject_cast<AnalysisPlot *>(window.frame()->page(2));
}

bool settled(MainWindows &window, QSignalSpy &complete)
{
    return QTest::qWaitFor([&] { return !complete.isEmpty() && !window.isOpening() && !window.busyOverlay()->isVisible(); },
                           JobTimeoutMs);
}

// The menu's Open and the file dialog, as the user does it; changes left unsaved are
// discarded when the window asks about them.
bool openFromMenu(MainWindows &window, const QString &path)
{
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    ModalDriver driver;
    driver.answerFileDialog(path);
    if (window.hasUnsavedChanges())
        driver.answerMessage(0);
    QMetaObject::invokeMethod(window.menuBar()->rootObject(), "open");
    return driver.waitDone() && settled(window, complete);
}

// Set Up's Add and the file dialog: the package's wells merged into the open one.
bool mergeThroughSetUp(MainWindows &window, const QString &path)
{
    auto *edit = visit(window, 1, 0)->findChild<ExperimentEdit *>();
    if (!edit || !edit->rootObject())
        return false;
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    ModalDriver driver;
    driver.answerFileDialog(path);
    QMetaObject::invokeMethod(edit->rootObject(), "addWell");
    return driver.waitDone() && settled(window, complete);
}

// Runs `act` on the first modal dialog of type T that shows while the caller's loop runs.
template <typename T>
void onModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    QTimer::singleShot(JobTimeoutMs, timer, [timer] { timer->deleteLater(); });
    timer->start();
}

// The user clicks the thumbnail of the row, alone or besides those shown.
void showThumbnail(ThumbnailView *view, ThumbnailModel *model, int row, bool alone)
{
    model->setData(model->index(row, 0), true, ThumbnailModel::ShownRole);
    for (int r = 0; alone && r < model->rowCount(); ++r) {
        if (r != row)
            model->setData(model->index(r, 0), false, ThumbnailModel::ShownRole);
    }
    emit view->modelDataChange();
}

// ---- What the pages show ------------------------------------------------------------------

QString roleText(const QAbstractItemModel *model, int row, int role)
{
    return model->data(model->index(row, 0), role).toString();
}

QStringList thumbnailRows(const ThumbnailModel *model)
{
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << QStringLiteral("thumbnail %1 id %2 shown %3 marked %4")
                   .arg(roleText(model, r, ThumbnailModel::TitleRole), roleText(model, r, ThumbnailModel::PlotIdRole),
                        roleText(model, r, ThumbnailModel::ShownRole), roleText(model, r, ThumbnailModel::MarkedRole));
    return out;
}

QStringList rootProperties(QObject *root, const QList<const char *> &names)
{
    QStringList out;
    for (const char *name : names)
        out << QStringLiteral("%1 %2").arg(QLatin1String(name), root->property(name).toString());
    return out;
}

QString rectText(const QRectF &r)
{
    return QStringLiteral("(%1, %2) to (%3, %4)").arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
}

// Every item shown on the plot: curves with their colour and points, lines, zones and bars.
QStringList plotItems(const QwtPlot *plot)
{
    QStringList out;
    for (const QwtPlotItem *item : plot->itemList()) {
        if (!item->isVisible())
            continue;
        QString text = QStringLiteral("item %1").arg(item->rtti());
        if (const auto *curve = dynamic_cast<const QwtPlotCurve *>(item)) {
            double sum = 0.0;
            for (size_t i = 0; i < curve->dataSize(); ++i)
                sum += curve->sample(int(i)).x() * 3.0 + curve->sample(int(i)).y();
            text += QStringLiteral(" curve %1 style %2 width %3, %4 points summing %5 in %6")
                        .arg(curve->pen().color().name())
                        .arg(int(curve->pen().style()))
                        .arg(curve->pen().widthF())
                        .arg(curve->dataSize())
                        .arg(sum, 0, 'g', 17)
                        .arg(rectText(curve->boundingRect()));
        } else if (const auto *marker = dynamic_cast<const QwtPlotMarker *>(item)) {
            text += QStringLiteral(" marker %1 at (%2, %3) style %4")
                        .arg(marker->linePen().color().name())
                        .arg(marker->xValue())
                        .arg(marker->yValue())
                        .arg(int(marker->linePen().style()));
        } else if (const auto *shape = dynamic_cast<const QwtPlotShapeItem *>(item)) {
            text += QStringLiteral(" shape %1 in %2").arg(shape->pen().color().name(), rectText(shape->shape().boundingRect()));
        } else {
            text += QStringLiteral(" in %1").arg(rectText(item->boundingRect()));
        }
        out << text;
    }
    return out;
}

Snapshot channelPage(ChannelPlotPage *page)
{
    Snapshot s;
    s.text << thumbnailRows(page->thumbnailModel());
    ThresholdModel *rows = page->thresholdModel();
    for (int r = 0; r < rows->rowCount(); ++r)
        s.text << QStringLiteral("threshold %1 '%2' editable %3")
                      .arg(roleText(rows, r, ThresholdModel::ChannelIDRole),
                           roleText(rows, r, ThresholdModel::ChannelThresholdRole),
                           roleText(rows, r, ThresholdModel::ThresholdEditAbleRole));
    for (int k = 0; k < page->plotGrid()->count(); ++k) {
        QWidget *w = page->plotGrid()->itemAt(k)->widget();
        s.text << QStringLiteral("cell %1 %2").arg(k).arg(w ? w->objectName() : QString());
        if (auto *plot = qobject_cast<QwtPlot *>(w)) {
            // What is drawn, and the scales by their numbers and titles: pixels would also
            // compare how the plot widget was laid out before.
            s.text << plotItems(plot);
            s.text << plot->axisTitle(QwtPlot::xBottom).text() << plot->axisTitle(QwtPlot::yLeft).text();
            for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
                const QwtScaleDiv &div = plot->axisScaleDiv(axis);
                s.text << QStringLiteral("axis %1 %2 to %3, %4 ticks")
                              .arg(axis)
                              .arg(div.lowerBound(), 0, 'g', 17)
                              .arg(div.upperBound(), 0, 'g', 17)
                              .arg(div.ticks(QwtScaleDiv::MajorTick).size() + div.ticks(QwtScaleDiv::MinorTick).size());
            }
        }
    }
    s.text << rootProperties(page->qmlRoot(), {"isLinerType", "isCommonAll", "uiEnable", "axisApply", "parametersShow",
                                               "effDroplets", "refDroplets", "pFu", "deleteEnable", "enableApply",
                                               "enableCancel", "enableRemove"});
    s.text << QStringLiteral("scope %1").arg(isIndividualMode);
    return s;
}

Snapshot plot3D(Plot3DDot *page)
{
    Snapshot s;
    s.text << thumbnailRows(page->thumbnailModel());
    s.text << rootProperties(page->rootObject(), {"uiEnable", "currentPopulationIndex", "circleColor", "deleteEnable"});
    s.text << page->getPopulationNames();
    ZoneModel *zones = page->zoneModel();
    for (int r = 0; r < zones->rowCount(); ++r)
        s.text << QStringLiteral("zone %1 %2 %3").arg(roleText(zones, r, ZoneModel::ZoneNameRole),
                                                       roleText(zones, r, ZoneModel::ZoneTypeRole),
                                                       roleText(zones, r, ZoneModel::ZoneSelectRole));
    if (QtDataVisualization::Q3DScatter *graph = page->graph()) {
        for (QtDataVisualization::QScatter3DSeries *series : graph->seriesList())
            s.text << QStringLiteral("series %1 of %2").arg(series->baseColor().name()).arg(series->dataProxy()->itemCount());
        s.text << QStringLiteral("axes %1 %2 %3").arg(graph->axisX()->title(), graph->axisY()->title(), graph->axisZ()->title())
               << QStringLiteral("range %1").arg(graph->axisX()->max());
    }
    return s;
}

QStringList zoneTable(const QAbstractItemModel *model)
{
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int role = Qt::UserRole + 1; role <= Qt::UserRole + 6; ++role)
            cells << model->data(model->index(r, 0), role).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

Snapshot populationEditor(PopulationEdit *page)
{
    Snapshot s;
    s.text << QStringLiteral("chosen %1").arg(page->currentPopulation());
    s.text << zoneTable(page->lineModel()) << zoneTable(page->polygonModel());
    s.text << QStringLiteral("negative editing %1 %2")
                  .arg(page->lineModel()->negativeEdit())
                  .arg(page->polygonModel()->negativeEdit());
    PopulationModel *list = page->populationModel();
    for (int r = 0; r < list->rowCount(); ++r)
        s.text << QStringLiteral("population %1 %2").arg(roleText(list, r, PopulationModel::NameRole),
                                                         roleText(list, r, PopulationModel::SurfaceColorRole));
    s.text << rootProperties(page->rootObject(), {"enableUI", "lineType", "chosenIndex", "editing", "negativeEditing"});
    return s;
}

// Every plot page visited in order, as the user does.
QList<Snapshot> visitPlotPages(MainWindows &window)
{
    QList<Snapshot> pages;
    AnalysisPlot *plots = analysis(window);
    visit(window, 2, 0);
    pages << channelPage(plots->histogram());
    visit(window, 2, 1);
    pages << channelPage(plots->plot1DDot());
    visit(window, 2, 2);
    pages << channelPage(plots->plot2DDot());
    visit(window, 2, 3);
    pages << plot3D(plots->plot3DDot());
    visit(window, 2, 4);
    pages << populationEditor(plots->populationEdit());
    return pages;
}

// ---- The package's records -----------------------------------------------------------------

QStringList records()
{
    QStringList out;
    out << QStringLiteral("mode %1").arg(int(bll()->getThldType()));
    PopulationsMgr *populations = bll()->getPopulationsMgr();
    const QVector<DrpltZoneInfo> zones = populations->getZones();
    for (const DrpltZoneInfo &zone : zones)
        out << QStringLiteral("zone %1 code %2").arg(zone.id).arg(zone.code);
    for (const PopulationsInfo &p : populations->getPopulations()) {
        QStringList bound;
        for (const auto &b : p.zones)
            bound << QStringLiteral("%1:%2").arg(b.first).arg(int(b.second));
        out << QStringLiteral("population %1 %2 %3 %4 %5").arg(p.id).arg(p.name, p.signColor).arg(p.negEdited).arg(bound.join(','));
    }
    for (const Customized2DPlotInfo &p : bll()->getPlotGroupMgr()->get2DPlots())
        out << QStringLiteral("2D %1 %2 %3 %4").arg(p.id).arg(p.name).arg(p.xChannel).arg(p.yChannel);
    for (const Customized3DPlotInfo &p : bll()->getPlotGroupMgr()->get3DPlots())
        out << QStringLiteral("3D %1 %2 %3 %4 %5").arg(p.id).arg(p.name).arg(p.xChannel).arg(p.yChannel).arg(p.zChannel);
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    for (uint well : bll()->getWellIds()) {
        QStringList thresholds;
        for (uint channel = 1; channel <= 6; ++channel)
            thresholds << QString::number(bll()->getThldByLine(well, channel));
        out << QStringLiteral("well %1 lines %2").arg(well).arg(thresholds.join(','));
        for (const DrpltZoneInfo &zone : zones) {
            QStringList points;
            for (const QPointF &p : bll()->getThldByPolygon(well, zone.id))
                points << QStringLiteral("%1;%2").arg(p.x()).arg(p.y());
            out << QStringLiteral("well %1 zone %2 polygon %3").arg(well).arg(zone.id).arg(points.join(' '));
        }
        try {
            for (const ZoneDrpltNumInfo &n : classify->getWellDrpltNumOfZonesByLine(well))
                out << QStringLiteral("well %1 line count %2: %3").arg(well).arg(n.zoneId).arg(n.drpltNum);
            for (const ZoneDrpltNumInfo &n : classify->getWellDrpltNumOfZonesByPolygon(well))
                out << QStringLiteral("well %1 polygon count %2: %3").arg(well).arg(n.zoneId).arg(n.drpltNum);
        } catch (const char *) {
            out << QStringLiteral("well %1 without counts").arg(well);
        }
        QList<quint32> excluded = bll()->getDropletExclude()->getImgAnalysisInfo(well).excludedDrplts.values();
        std::sort(excluded.begin(), excluded.end());
        QStringList ids;
        for (quint32 id : excluded)
            ids << QString::number(id);
        out << QStringLiteral("well %1 excluded %2").arg(well).arg(ids.join(','));
    }
    return out;
}

// ---- What the user does on a package --------------------------------------------------------

// Writes to the package: polygon thresholds with a drawn zone and its new population, and a
// second 3D plot.
void editPackage(MainWindows &window)
{
    AnalysisPlot *plots = analysis(window);
    visit(window, 2, 2);
    Plot2DDot *page2D = plots->plot2DDot();
    {
        ModalDriver driver;
        driver.answerMessage(1);
        QMetaObject::invokeMethod(page2D->qmlRoot(), "switchPolygonModel");
        QVERIFY(driver.waitDone());
    }
    QCOMPARE(bll()->getThldType(), PolygonThreshold);
    Zt2DPlot *plot = page2D->plot(0);
    const QwtScaleDiv x = plot->axisScaleDiv(QwtPlot::xBottom);
    const QwtScaleDiv y = plot->axisScaleDiv(QwtPlot::yLeft);
    const auto at = [&](double fx, double fy) {
        return QPointF(x.lowerBound() + fx * x.range(), y.lowerBound() + fy * y.range());
    };
    const QPolygonF polygon({at(0.05, 0.05), at(0.6, 0.05), at(0.6, 0.6), at(0.05, 0.6)});
    bool named = false;
    onModal<AddpopulationDialog>([&named](AddpopulationDialog *dialog) {
        named = true;
        emit dialog->yesClicked(QStringLiteral("#aa3366"), QStringLiteral("Journey"));
    });
    emit plot->addPolygon(polygon);
    QVERIFY(named);
    QVERIFY(bll()->getPopulationsMgr()->getPopulationId(QStringLiteral("Journey")) != 0);

    visit(window, 2, 3);
    Plot3DDot *page3D = plots->plot3DDot();
    const int before = bll()->getPlotGroupMgr()->get3DPlots().size();
    bool added = false;
    onModal<Add3DCombition>([&added](Add3DCombition *dialog) {
        added = true;
        QMetaObject::invokeMethod(dialog, "okClicked", Q_ARG(int, 3), Q_ARG(int, 2), Q_ARG(int, 1),
                                  Q_ARG(QString, QStringLiteral("Backwards")));
    });
    QMetaObject::invokeMethod(page3D->rootObject(), "addPlotCombition");
    QVERIFY(added);
    QCOMPARE(bll()->getPlotGroupMgr()->get3DPlots().size(), before + 1);
}

// Typed, not applied: a threshold on the histogram and the 1D page (per-well scope there), and
// another channel shown beside the first.
void typeThresholds(MainWindows &window)
{
    AnalysisPlot *plots = analysis(window);
    visit(window, 2, 0);
    Histogram *histogram = plots->histogram();
    showThumbnail(histogram->thumbnailView(), histogram->thumbnailModel(), 1, false);
    QVERIFY(histogram->thresholdModel()->rowCount() >= 2);
    histogram->thresholdModel()->setChannelThresholdValue(
        histogram->thresholdModel()->data(histogram->thresholdModel()->index(1, 0), ThresholdModel::ChannelIDRole).toUInt(),
        QStringLiteral("4321"));
    visit(window, 2, 1);
    Plot1DDot *oneDot = plots->plot1DDot();
    QMetaObject::invokeMethod(oneDot->qmlRoot(), "switchIndividual");
    QVERIFY(oneDot->thresholdModel()->rowCount() >= 1);
    oneDot->thresholdModel()->setChannelThresholdValue(
        oneDot->thresholdModel()->data(oneDot->thresholdModel()->index(0, 0), ThresholdModel::ChannelIDRole).toUInt(),
        QStringLiteral("4567"));
}

// Choices of the pages that the package does not hold: the zone selected and its outline
// moved without Apply on the 2D page, the population, a zone and the second plot on the 3D
// page, the population, its marks and negative editing in the editor.
void leaveChoices(MainWindows &window)
{
    AnalysisPlot *plots = analysis(window);
    visit(window, 2, 2);
    Plot2DDot *page2D = plots->plot2DDot();
    const uint zone = bll()->getPopulationsMgr()->getZones().last().id;
    const QPolygonF applied = bll()->getThldByPolygon(WellListModel::instance()->getSelectWellIDs().first(), zone);
    QVERIFY(applied.size() >= 3);
    emit page2D->plot(0)->zoneSelectStatus(applied, true);
    QPolygonF moved = applied;
    moved[0] += QPointF(5, 5);
    emit page2D->plot(0)->updateSharp({qMakePair(applied, moved)});
    emit page2D->plot(0)->enableApply();

    visit(window, 2, 3);
    Plot3DDot *page3D = plots->plot3DDot();
    const int index = page3D->getPopulationNames().indexOf(QStringLiteral("Journey"));
    QVERIFY(index > 0);
    page3D->rootObject()->setProperty("currentPopulationIndex", index);
    QMetaObject::invokeMethod(page3D->rootObject(), "populationChange");
    QVERIFY(page3D->zoneModel()->rowCount() > 0);
    showThumbnail(page3D->thumbnailView(), page3D->thumbnailModel(), page3D->thumbnailModel()->rowCount() - 1, true);
    page3D->thumbnailModel()->setData(page3D->thumbnailModel()->index(0, 0), true, ThumbnailModel::MarkedRole);
    QMetaObject::invokeMethod(page3D, "deleteStatusChange");

    visit(window, 2, 4);
    PopulationEdit *editor = plots->populationEdit();
    PopulationModel *list = editor->populationModel();
    int row = -1;
    for (int r = 0; r < list->rowCount(); ++r) {
        if (list->populationName(r) == QLatin1String("Journey"))
            row = r;
    }
    QVERIFY(row >= 0);
    QObject *root = editor->rootObject();
    root->setProperty("chosenIndex", row);
    QMetaObject::invokeMethod(root, "updatePopulation", Q_ARG(int, row));
    QMetaObject::invokeMethod(root, "editNegetive", Q_ARG(bool, true));
    QMetaObject::invokeMethod(root, "setPositiveStatus", Q_ARG(int, 0), Q_ARG(bool, true));
    QMetaObject::invokeMethod(root, "setNegativeStatus", Q_ARG(int, 0), Q_ARG(bool, true));
    QVERIFY(editor->currentPopulation() != PopulationEdit::NoPopulation);
}

// Every plot page's Apply, as its button sends it, with the panel as it stands.
void pressApplies(MainWindows &window)
{
    AnalysisPlot *plots = analysis(window);
    const bool lines = bll()->getThldType() == LineThreshold;
    const QList<ChannelPlotPage *> channelPages = {plots->histogram(), plots->plot1DDot(), plots->plot2DDot()};
    for (int sub = 0; sub < channelPages.size(); ++sub) {
        visit(window, 2, sub);
        QMetaObject::invokeMethod(channelPages.at(sub)->qmlRoot(), lines ? "applyThreshold" : "applyPolygonChange");
    }
    visit(window, 2, 4);
    QObject *root = plots->populationEdit()->rootObject();
    QQuickItem *name = root->findChild<QQuickItem *>(QStringLiteral("nameField"));
    QMetaObject::invokeMethod(root, "apply", Q_ARG(QString, name ? name->property("text").toString() : QString()),
                              Q_ARG(QString, root->property("shownColor").toString()),
                              Q_ARG(bool, root->property("negativeEditing").toBool()));
    // And the name the user saw last, typed again.
    QMetaObject::invokeMethod(root, "apply", Q_ARG(QString, QStringLiteral("Journey")),
                              Q_ARG(QString, QStringLiteral("#00ff00")), Q_ARG(bool, true));
    QCoreApplication::processEvents();
}

void compare(const QList<Snapshot> &got, const QList<Snapshot> &fresh)
{
    const char *const names[] = {"histogram", "1D", "2D", "3D", "population editor"};
    QCOMPARE(got.size(), fresh.size());
    for (int i = 0; i < got.size(); ++i) {
        if (got.at(i).text != fresh.at(i).text)
            qWarning("The %s page differs from a fresh open", names[i]);
        QCOMPARE(got.at(i).text, fresh.at(i).text);
    }
}

} // namespace

class TestPlotPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void openAnotherPackage();
    void mergeAPackage();

private:
    std::unique_ptr<MainWindows> newWindow();

    QTemporaryDir m_dir;
    QString m_a, m_b, m_c;
};

void TestPlotPages::initTestCase()
{
    initAppResources();
    QVERIFY(Plot3DDot::openGLAvailable());
    MkPackage::GeneratorOptions a = BllTest::smallRun(false, 71, 96);
    a.wells = 3;
    m_a = BllTest::generateRun(m_dir.path(), QStringLiteral("first.imrs"), a);
    MkPackage::GeneratorOptions b = BllTest::smallRun(false, 72, 96);
    b.wellFractions[1] = {{QStringLiteral("Target-HEX"), 0.6}};
    m_b = BllTest::generateRun(m_dir.path(), QStringLiteral("second.imrs"), b);
    m_c = BllTest::generateRun(m_dir.path(), QStringLiteral("third.imrs"), BllTest::smallRun(false, 73, 96));
    QVERIFY(!m_a.isEmpty() && !m_b.isEmpty() && !m_c.isEmpty());
}

std::unique_ptr<MainWindows> TestPlotPages::newWindow()
{
    auto window = std::make_unique<MainWindows>(QString());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

// Stops the test function at the first failure inside a step.
#define STEP(call)                                                                                                     \
    do {                                                                                                               \
        call;                                                                                                          \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

void TestPlotPages::openAnotherPackage()
{
    // The pages as a fresh open of the second package shows them.
    QList<Snapshot> fresh;
    {
        std::unique_ptr<MainWindows> window = newWindow();
        QVERIFY(window);
        QVERIFY(openFromMenu(*window, m_b));
        fresh = visitPlotPages(*window);
    }

    std::unique_ptr<MainWindows> window = newWindow();
    QVERIFY(window);
    QVERIFY(openFromMenu(*window, m_a));
    STEP(typeThresholds(*window));
    STEP(editPackage(*window));
    STEP(leaveChoices(*window));
    QVERIFY(openFromMenu(*window, m_b));
    QCOMPARE(window->openFilePath(), m_b);
    STEP(compare(visitPlotPages(*window), fresh));

    const QStringList before = records();
    STEP(pressApplies(*window));
    QCOMPARE(records(), before);
}

void TestPlotPages::mergeAPackage()
{
    // A fresh open of the second package, the same edits of it, and the merge.
    QList<Snapshot> fresh;
    {
        std::unique_ptr<MainWindows> window = newWindow();
        QVERIFY(window);
        QVERIFY(openFromMenu(*window, m_b));
        STEP(editPackage(*window));
        QVERIFY(mergeThroughSetUp(*window, m_c));
        fresh = visitPlotPages(*window);
    }

    std::unique_ptr<MainWindows> window = newWindow();
    QVERIFY(window);
    QVERIFY(openFromMenu(*window, m_b));
    STEP(typeThresholds(*window));
    STEP(editPackage(*window));
    STEP(leaveChoices(*window));
    QVERIFY(mergeThroughSetUp(*window, m_c));
    QVERIFY(bll()->getWellIds().size() > 2);
    STEP(compare(visitPlotPages(*window), fresh));

    const QStringList before = records();
    STEP(pressApplies(*window));
    QCOMPARE(records(), before);
}

LUMARA_TEST_GUI_MAIN(TestPlotPages)
#include "tst_plotpages.moc"
