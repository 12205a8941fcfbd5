// The Export page and its job: the page in its container, the boxes and their mask, the new
// folder, the outputs of a mask, a parent that does not exist (one message per output kind,
// the busy period ended once), and the images: names, counts, size and colours.
#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "exporttest.h"
#include "pages/Export/cleanname.h"
#include "pages/Export/exportjob.h"
#include "pages/Export/exportpage.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/ztconcentration.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "quorinhistogramplot.h"
#include "bll/resultcalculate.h"
#include "pages/export.h"
#include "platform/platform.h"
#include "shell/appresources.h"
#include "shell/channelcolors.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QApplication>
#include <QFileDialog>
#include <QQmlContext>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_scale_div.h>
#include <qwt_scale_engine.h>

#include <algorithm>

using namespace ExportTest;

namespace {

// Closes every export message as it appears and counts them.
class MessageCloser : public QObject {
public:
    MessageCloser()
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<DialogMessage *>(w);
                if (box && box->isVisible() && !m_closed.contains(box)) {
                    m_closed.append(box);
                    box->reject();
                }
            }
        });
        m_timer.start();
    }
    int count() const { return m_closed.size(); }

private:
    QTimer m_timer;
    QList<QPointer<DialogMessage>> m_closed;
};

BllTest::DocumentSeed imageSeed(LumaraAnalysisData::ThresholdMode mode)
{
    // Well 1 positive in both channels for its first droplets; well 2 only in channel 1.
    QList<BllTest::WellSeed> wells = {
        ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("S1"), 40, {{20, 20, 0, 0, 0, 0}}),
        ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("S1"), 30, {{10, 0, 0, 0, 0, 0}}),
    };
    wells[0].imageSizes = {QSize(24, 24), QSize(24, 24), QSize(24, 24)};
    wells[0].imageNames = {{"capture/A01/A01_1.tif", "capture/A01/A01_2.tif", "capture/A01/A01_3.tif", "", "", ""}};
    wells[1].imageSizes = {QSize(20, 20), QSize(20, 20), QSize(20, 20)};
    // Two image sets; a name without ".tif", an empty name (skipped) and an upper-case suffix.
    wells[1].imageNames = {{"A02_1.tif", "A02_2", "", "", "", ""}, {"set2/A02_1b.TIF", "set2/A02_2b.tif", "x/A02_3.tif", "", "", ""}};
    BllTest::DocumentSeed seed = ResultTest::document(wells);
    seed.plots2D = {{QStringLiteral("P12"), {1, 2}}, {QStringLiteral("P21"), {2, 1}}, {QStringLiteral("P13"), {1, 3}}};
    seed.mode = mode;
    if (mode == LumaraAnalysisData::PolygonThreshold) {
        BllTest::ZoneSeed zone;
        zone.plot = 0;
        zone.polygon = QPolygonF({QPointF(1500, 1500), QPointF(2500, 1500), QPointF(2500, 2500), QPointF(1500, 2500)});
        seed.zones = {zone};
        BllTest::PopulationSeed population;
        population.name = QStringLiteral("Both");
        population.colour = QStringLiteral("#E02020");
        population.zones = {{0, LumaraAnalysisData::PositiveZone}};
        seed.populations = {population};
    }
    return seed;
}

bool hasPixel(const QImage &image, const QColor &colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (colour.rgb() & 0xFFFFFF))
                return true;
        }
    }
    return false;
}

} // namespace

class TestExportJob : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pageInContainer();
    void boxesAndMask_data();
    void boxesAndMask();
    void folderField();
    void exportFolder_data();
    void exportFolder();
    void missingParent();
    void plotImages_data();
    void plotImages();
    void histogramImage_data();
    void histogramImage();
    void oneDImage_data();
    void oneDImage();
    void pointGroups_data();
    void pointGroups();
    void pointGroupsOnTheLine_data();
    void pointGroupsOnTheLine();
    void thresholdScope_data();
    void thresholdScope();
    void thresholdInsideAxis_data();
    void thresholdInsideAxis();
    void allPositiveConcentration();
    void dropletImages();
    void dropletImageName_data();
    void dropletImageName();
    void fileNames_data();
    void fileNames();
    void awkwardNames();
    void defaultFolder_data();
    void defaultFolder();

private:
    void load(LumaraAnalysisData::ThresholdMode mode);
    std::unique_ptr<Export> m_export;
};

void TestExportJob::initTestCase()
{
    initAppResources();
    m_export = std::make_unique<Export>();
    m_export->resize(800, 700);
    load(LumaraAnalysisData::LineThreshold);
}

void TestExportJob::load(LumaraAnalysisData::ThresholdMode mode)
{
    QString error;
    QVERIFY2(ResultTest::useKit(false, &error), qPrintable(error));
    QVERIFY2(ResultTest::load(imageSeed(mode), &error), qPrintable(error));
    QCOMPARE(WellListModel::instance()->getWellList().size(), 2);
}

void TestExportJob::pageInContainer()
{
    ExportPage *page = m_export->exportPage();
    QVERIFY(page);
    QCOMPARE(m_export->currentIndex(), 0);
    QVERIFY(page->root());
    QCOMPARE(page->root()->property("filePath").toString(), Platform::defaultExportFolder());
    QVERIFY(QDir::isAbsolutePath(Platform::defaultExportFolder()));
    QVERIFY(QDir(Platform::defaultExportFolder()).exists());
    m_export->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_export.get()));
    QCOMPARE(page->geometry(), m_export->rect());
    m_export->hide();
}

void TestExportJob::boxesAndMask_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<int>("mask");
    QTest::newRow("none") << QStringList() << 0;
    QTest::newRow("result table") << QStringList{"resuly_table"} << 1;
    QTest::newRow("plots") << QStringList{"histogram", "d1_dot_plots", "d2_dot_plots"} << 14;
    QTest::newRow("charts and images") << QStringList{"concentration_graph", "uncertainly_curve", "lumet_images"} << 112;
}

void TestExportJob::boxesAndMask()
{
    QFETCH(QStringList, ticked);
    QFETCH(int, mask);
    QObject *root = m_export->exportPage()->root();
    root->setProperty("uiEnable", false);
    // A reload enables the panel and unticks every box.
    emit SignalTransfer::getInstance()->updateWellComplete();
    QVERIFY(root->property("uiEnable").toBool());
    QVariant total;
    QVERIFY(QMetaObject::invokeMethod(root, "getTotal", Q_RETURN_ARG(QVariant, total)));
    QCOMPARE(total.toInt(), 0);
    for (const QString &name : ticked) {
        QObject *box = nullptr;
        for (QQuickItem *item : root->findChildren<QQuickItem *>()) {
            if (QQmlContext *context = qmlContext(item)) {
                if (context->nameForObject(item) == name)
                    box = item;
            }
        }
        QVERIFY2(box, qPrintable(name));
        box->setProperty("checked", true);
    }
    QVERIFY(QMetaObject::invokeMethod(root, "getTotal", Q_RETURN_ARG(QVariant, total)));
    QCOMPARE(total.toInt(), mask);
}

void TestExportJob::folderField()
{
    ExportPage *page = m_export->exportPage();
    QObject *root = page->root();
    auto *field = root->findChild<QQuickItem *>(QStringLiteral("pathField"));
    QVERIFY(field);
    // Browse as a user does: the folder chosen in the dialog is the field's text.
    QTemporaryDir chosen;
    {
        LumaraTest::ModalAnswerer answer([&chosen](QWidget *modal) {
            if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                files->selectFile(chosen.path());
                files->QDialog::accept();
            }
        });
        QVERIFY(QMetaObject::invokeMethod(page, "browse"));
    }
    QCOMPARE(root->property("filePath").toString(), chosen.path());
    QCOMPARE(field->property("text").toString(), chosen.path());

    // Typed into, the field keeps showing the chosen folder: nothing typed can be taken for the
    // export's target.
    m_export->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_export.get()));
    const QPoint centre = field->mapToScene(QPointF(field->width() / 2, field->height() / 2)).toPoint();
    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, centre);
    QTRY_VERIFY(field->hasActiveFocus());
    QTest::keyClick(page, Qt::Key_End);
    QTest::keyClick(page, Qt::Key_Backspace);
    QTest::keyClicks(page, QStringLiteral("/typed"));
    QTest::keyClick(page, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(page, Qt::Key_Delete);
    QCOMPARE(field->property("text").toString(), chosen.path());
    QCOMPARE(root->property("filePath").toString(), chosen.path());

    // Browse cancelled: the folder stays.
    {
        LumaraTest::ModalAnswerer answer([](QWidget *modal) {
            if (auto *files = qobject_cast<QFileDialog *>(modal))
                files->reject();
        });
        QVERIFY(QMetaObject::invokeMethod(page, "browse"));
    }
    QCOMPARE(field->property("text").toString(), chosen.path());
    m_export->hide();
}

void TestExportJob::exportFolder_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QStringList>("patterns"); // one file per pattern
    QTest::newRow("mask 0: grey values only") << 0 << QStringList{"*_GrayValue_Table.xlsx"};
    QTest::newRow("result table") << 1 << QStringList{"*_GrayValue_Table.xlsx", "*_Result_Table.xlsx"};
}

void TestExportJob::exportFolder()
{
    QFETCH(int, mask);
    QFETCH(QStringList, patterns);
    QTemporaryDir parent;
    ExportPage *page = m_export->exportPage();
    page->root()->setProperty("filePath", parent.path());
    currentFileBaseName = QStringLiteral("run7");
    QSignalSpy begin(SignalTransfer::getInstance(), &SignalTransfer::beginBusyStatus);
    QSignalSpy end(SignalTransfer::getInstance(), &SignalTransfer::endBusyStatus);
    MessageCloser closer;
    QVERIFY(QMetaObject::invokeMethod(page, "exportClicked", Q_ARG(int, mask)));
    QCOMPARE(begin.count(), 1);
    // The job signals its end from its own thread, maybe before a wait would begin.
    QTRY_COMPARE_WITH_TIMEOUT(end.count(), 1, 30000);
    QTest::qWait(50);
    QCOMPARE(end.count(), 1);
    QCOMPARE(closer.count(), 0);
    const QStringList folders = QDir(parent.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders, QStringList{page->exportFolderName()});
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{10}_run7$")).match(folders.first()).hasMatch(), qPrintable(folders.first()));
    const QString folder = parent.filePath(folders.first());
    int total = 0;
    for (const QString &p : patterns) {
        QCOMPARE(filesIn(folder, p).size(), 1);
        ++total;
    }
    QCOMPARE(filesIn(folder, "*").size(), total);
}

void TestExportJob::missingParent()
{
    QTemporaryDir dir;
    ExportPage *page = m_export->exportPage();
    page->root()->setProperty("filePath", dir.filePath(QStringLiteral("no/such/folder")));
    QSignalSpy end(SignalTransfer::getInstance(), &SignalTransfer::endBusyStatus);
    MessageCloser closer;
    QVERIFY(QMetaObject::invokeMethod(page, "exportClicked", Q_ARG(int, 127)));
    QTRY_COMPARE_WITH_TIMEOUT(end.count(), 1, 60000);
    QTest::qWait(100);
    QCOMPARE(end.count(), 1);
    // Result workbook, histograms, 1D, 2D images, concentration, uncertainty, droplet images,
    // grey values.
    QCOMPARE(closer.count(), 8);
    QVERIFY(!QDir(dir.filePath(QStringLiteral("no"))).exists());
}

void TestExportJob::plotImages_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("line thresholds") << int(LumaraAnalysisData::LineThreshold);
    QTest::newRow("polygon thresholds") << int(LumaraAnalysisData::PolygonThreshold);
}

void TestExportJob::plotImages()
{
    QFETCH(int, mode);
    load(LumaraAnalysisData::ThresholdMode(mode));
    BLLInstance *bll = BLLInstance::getInstance();
    QCOMPARE(bll->getPlotGroupMgr()->get2DPlots().size(), 3);
    const QList<LumaraAnalysisData::PopulationsInfo> populations = bll->getPopulationsMgr()->getPopulations();
    QVERIFY(!populations.isEmpty());
    QTemporaryDir dir;
    int reports = 0;
    ExportJob job(ExportSnapshot::take(dir.path()), [&reports] { ++reports; });
    QVERIFY(job.exportHistograms());
    QVERIFY(job.export1DPlots());
    QVERIFY(job.export2DPlots());
    QVERIFY(job.exportConcentrationGraphs());
    QVERIFY(job.exportUncertaintyCurves());
    QCOMPARE(reports, 0);

    const QList<WellListItem> wells = WellListModel::instance()->getWellList();
    const QList<uint> rows = ResultModel::instance()->getAllIDs();
    QStringList expected;
    QStringList names;
    for (const WellListItem &w : wells)
        names.append(w.wellName);
    names.append(QStringLiteral("All_Well"));
    const QList<uint> channels = bll->getChannelsOfWells(WellListModel::instance()->getAllWellIDs());
    QCOMPARE(channels, (QList<uint>{1, 2}));
    for (const WellListItem &w : wells) {
        for (uint c : channels) {
            expected.append(QStringLiteral("%1_Histogram_Plot_%2.png").arg(w.wellName, bll->getTargetName(c)));
            expected.append(QStringLiteral("%1_1D_Dot_Plot_%2.png").arg(w.wellName, bll->getTargetName(c)));
        }
    }
    for (uint c : channels)
        expected.append(QStringLiteral("All_Well_1D_Dot_Plot_%1.png").arg(bll->getTargetName(c)));
    for (const QString &n : names)
        for (const auto &plot : bll->getPlotGroupMgr()->get2DPlots())
            expected.append(QStringLiteral("%1_2D Dot Plot_%2_%3.png").arg(n, bll->getTargetName(plot.xChannel), bll->getTargetName(plot.yChannel)));
    QStringList rowNames;
    for (uint id : rows)
        rowNames.append(ResultModel::instance()->getRowName(id));
    rowNames.append(QStringLiteral("All_Well"));
    for (const QString &n : rowNames)
        expected.append(n + QStringLiteral("_concentration.png"));
    for (const auto &p : populations)
        for (const QString &n : rowNames)
            expected.append(QStringLiteral("%1_%2_uncertainly.png").arg(n, p.name));
    expected.sort();
    QCOMPARE(filesIn(dir.path(), "*"), expected);
    QCOMPARE(filesIn(dir.path(), "*2D Dot Plot*").size(), 9);
    QCOMPARE(filesIn(dir.path(), "*_Histogram_Plot_*").size(), 4);
    QCOMPARE(filesIn(dir.path(), "*_1D_Dot_Plot_*").size(), 6);
    QVERIFY(rows.size() >= 3); // two wells and their merged row

    for (const QString &f : expected) {
        const QImage image(dir.filePath(f));
        QCOMPARE(image.size(), QSize(ExportJob::ImageWidth, ExportJob::ImageHeight));
    }
    // Droplets positive in both channels of the first well show in the pair's colour, unless
    // polygons leave every droplet grey.
    const QImage first(dir.filePath(QStringLiteral("%1_2D Dot Plot_%2_%3.png")
                                        .arg(wells.first().wellName, bll->getTargetName(1), bll->getTargetName(2))));
    const bool line = mode == int(LumaraAnalysisData::LineThreshold);
    QCOMPARE(hasPixel(first, QColor(getTwoChannelColor(1, 2))), line);
    QVERIFY(hasPixel(first, QColor(QStringLiteral("#555555"))));
    // The histogram's bars are in the channel's colour; the 1D image's droplets above the line
    // too, unless polygons leave them all grey.
    const QString a1 = wells.first().wellName;
    const QImage histogram(dir.filePath(QStringLiteral("%1_Histogram_Plot_%2.png").arg(a1, bll->getTargetName(2))));
    QVERIFY(hasPixel(histogram, QColor(getChannelColor(2))));
    for (const QString &n : {a1, QStringLiteral("All_Well")}) {
        const QImage dots(dir.filePath(QStringLiteral("%1_1D_Dot_Plot_%2.png").arg(n, bll->getTargetName(1))));
        QCOMPARE(hasPixel(dots, QColor(getChannelColor(1))), line);
        QVERIFY(hasPixel(dots, QColor(QStringLiteral("#555555"))));
    }
    // The concentration graph shows the populations' colours.
    const QImage all(dir.filePath(QStringLiteral("All_Well_concentration.png")));
    QVERIFY(hasPixel(all, QColor(bll->getPopulationsMgr()->getPopulationColor(populations.first().id))));
}

void TestExportJob::histogramImage_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("logAxis");
    QTest::addColumn<uint>("well");
    QTest::newRow("line, linear") << int(LumaraAnalysisData::LineThreshold) << 0 << 1u;
    QTest::newRow("line, log") << int(LumaraAnalysisData::LineThreshold) << 1 << 2u;
    QTest::newRow("polygon") << int(LumaraAnalysisData::PolygonThreshold) << 0 << 1u;
    // Every droplet excluded: no largest value to place the upper limit on.
    QTest::newRow("no values") << int(LumaraAnalysisData::LineThreshold) << 0 << 3u;
}

void TestExportJob::histogramImage()
{
    QFETCH(int, mode);
    QFETCH(int, logAxis);
    QFETCH(uint, well);
    BllTest::DocumentSeed seed = imageSeed(LumaraAnalysisData::ThresholdMode(mode));
    BllTest::WellSeed empty = ResultTest::well(3, QStringLiteral("A3"), QStringLiteral("S3"), 12, {{4, 4, 0, 0, 0, 0}});
    for (uint d = 0; d < 12; ++d)
        empty.excluded.insert(d);
    seed.wells.append(empty);
    QString error;
    QVERIFY2(ResultTest::load(seed, &error), qPrintable(error));
    BLLInstance *bll = BLLInstance::getInstance();
    const uint channel = 1;
    const QVector<uint> values = bll->getWellChannelGrayValues(well, channel);
    QCOMPARE(values.isEmpty(), well == 3);

    const int oldLog = histogramLogAxis;
    histogramLogAxis = logAxis;
    QTemporaryDir dir;
    ExportSnapshot snapshot = ExportSnapshot::take(dir.path());
    histogramLogAxis = oldLog;
    ExportJob job(snapshot, [] {});
    const ExportJob::HistogramImage image = job.histogramImage({well}, channel);
    QCOMPARE(image.values, values);
    const uint largest = values.isEmpty() ? 0u : *std::max_element(values.cbegin(), values.cend());
    QCOMPARE(image.upperLimit, int(largest) + 100);
    QVERIFY(image.upperLimit >= 100);
    const bool line = mode == int(LumaraAnalysisData::LineThreshold);
    QCOMPARE(image.linesShown, line);
    if (line) {
        QCOMPARE(image.threshold, bll->getThldByLine(well, channel));
        QVERIFY(image.threshold > 0);
    }

    const std::unique_ptr<QuorinHistogramPlot> widget = ExportJob::buildHistogram(image);
    QCOMPARE(widget->size(), QSize(ExportJob::ImageWidth, ExportJob::ImageHeight));
    QCOMPARE(widget->axisTitle(QwtPlot::xBottom).text(), ExportJob::channelTitle(channel));
    QCOMPARE(widget->axisTitle(QwtPlot::yLeft).text(),
             logAxis ? QStringLiteral("Number of Droplets(log₁₀))") : QStringLiteral("Number of Droplets(Linear)"));
    QCOMPARE(dynamic_cast<const QwtLogScaleEngine *>(widget->axisScaleEngine(QwtPlot::yLeft)) != nullptr, logAxis == 1);
    QCOMPARE(widget->axisFont(QwtPlot::yLeft).pixelSize(), 30);
    if (line) {
        QCOMPARE(widget->getSolidlineThreshold(), double(image.threshold));
        QCOMPARE(widget->getDotlineThreshold(), double(image.threshold));
        QCOMPARE(widget->GetSolidlinePen().color(), QColor(getChannelColor(int(channel))));
        QCOMPARE(widget->GetDotlinePen().widthF(), 1.8);
    }
    // Even without values the image is drawn and saved, one per well and channel.
    int reports = 0;
    ExportJob writer(snapshot, [&reports] { ++reports; });
    QVERIFY(writer.exportHistograms());
    QCOMPARE(reports, 0);
    QCOMPARE(filesIn(dir.path(), "*_Histogram_Plot_*").size(), 6);
    const QImage saved(dir.filePath(QStringLiteral("%1_Histogram_Plot_%2.png")
                                   .arg(WellListModel::instance()->getWellName(3), bll->getTargetName(channel))));
    QCOMPARE(saved.size(), QSize(ExportJob::ImageWidth, ExportJob::ImageHeight));
}

void TestExportJob::oneDImage_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("line thresholds") << int(LumaraAnalysisData::LineThreshold);
    QTest::newRow("polygon thresholds") << int(LumaraAnalysisData::PolygonThreshold);
}

void TestExportJob::oneDImage()
{
    QFETCH(int, mode);
    // 130 and 70 kept droplets: each well takes 130 + 130 div 60 = 132 places.
    BllTest::DocumentSeed seed = imageSeed(LumaraAnalysisData::ThresholdMode(mode));
    seed.wells[0] = ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("S1"), 134, {{30, 20, 0, 0, 0, 0}});
    seed.wells[0].excluded = {0, 1, 2, 3};
    seed.wells[1] = ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("S1"), 70, {{5, 0, 0, 0, 0, 0}});
    QString error;
    QVERIFY2(ResultTest::load(seed, &error), qPrintable(error));
    BLLInstance *bll = BLLInstance::getInstance();
    const uint channel = 1;
    const QVector<uint> first = bll->getWellChannelGrayValues(1, channel);
    const QVector<uint> second = bll->getWellChannelGrayValues(2, channel);
    QCOMPARE(first.size(), 130);
    QCOMPARE(second.size(), 70);
    QCOMPARE(ExportJob::maxDropletSpan({1, 2}, channel), 132);
    QCOMPARE(ExportJob::maxDropletSpan({2}, channel), 71);
    QCOMPARE(ExportJob::maxDropletSpan({}, channel), 0);

    ExportJob job(ExportSnapshot::take(QDir::tempPath()), [] {});
    const ExportJob::OneDImage image = job.oneDImage({1, 2}, channel);
    const bool line = mode == int(LumaraAnalysisData::LineThreshold);
    QCOMPARE(image.lineMode, line);
    QCOMPARE(image.span, 132);
    QCOMPARE(image.points.size(), 200);
    // The second well starts at the span, whatever the first well's count.
    QCOMPARE(image.points.at(0), QPointF(0, first.at(0)));
    QCOMPARE(image.points.at(129), QPointF(129, first.at(129)));
    QCOMPARE(image.points.at(130), QPointF(132, second.at(0)));
    QCOMPARE(image.points.at(199), QPointF(132 + 69, second.at(69)));
    QCOMPARE(image.labels, WellListModel::instance()->getWellNameIDs());
    QCOMPARE(image.lines.size(), 2);
    for (int k = 0; k < 2; ++k) {
        const double t = line ? bll->getThldByLine(uint(k + 1), channel) : 0.0;
        if (line)
            QVERIFY(t > 0);
        QCOMPARE(image.lines.at(k), QPolygonF(QVector<QPointF>{QPointF(k * 132, t), QPointF((k + 1) * 132, t)}));
    }

    const std::unique_ptr<Zetan1Plot> all = ExportJob::build1DPlot(image);
    QCOMPARE(all->size(), QSize(ExportJob::ImageWidth, ExportJob::ImageHeight));
    QCOMPARE(all->areThresholdLinesVisible(), line);
    QCOMPARE(all->solidThresholdLines(), image.lines);
    QCOMPARE(all->dottedThresholdLines(), image.lines);
    QCOMPARE(all->axisTitle(QwtPlot::xBottom).text(), QStringLiteral(" "));
    QCOMPARE(all->axisTitle(QwtPlot::yLeft).text(), ExportJob::channelTitle(channel));

    // One well: its own span, the scale fixed to it.
    const ExportJob::OneDImage single = job.oneDImage({2}, channel);
    QCOMPARE(single.span, 71);
    const std::unique_ptr<Zetan1Plot> one = ExportJob::build1DPlot(single);
    QCOMPARE(one->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Droplet Index"));
    QCOMPARE(one->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 0.0);
    QCOMPARE(one->axisScaleDiv(QwtPlot::xBottom).upperBound(), 71.0);
}

void TestExportJob::pointGroups_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("sizes"); // both, only y, negative, only x
    // Well 1: 20 droplets positive in both, 20 negative; well 2: 10 only x, 20 negative.
    QTest::newRow("line") << int(LumaraAnalysisData::LineThreshold) << QList<int>{20, 0, 40, 10};
    QTest::newRow("polygon") << int(LumaraAnalysisData::PolygonThreshold) << QList<int>{0, 0, 70, 0};
}

void TestExportJob::pointGroups()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, sizes);
    load(LumaraAnalysisData::ThresholdMode(mode));
    const QList<ExportJob::PointGroup> groups = ExportJob::twoChannelPointGroups({1, 2}, 1, 2);
    QCOMPARE(groups.size(), 4);
    const bool line = mode == int(LumaraAnalysisData::LineThreshold);
    const QStringList colours = {getTwoChannelColor(1, 2), getChannelColor(2), "#555555", getChannelColor(1)};
    for (int g = 0; g < 4; ++g) {
        QCOMPARE(groups.at(g).points.size(), sizes.at(g));
        QCOMPARE(groups.at(g).colour, line ? colours.at(g) : QStringLiteral("#555555"));
    }
}

// A droplet on a threshold line is positive in that channel, as on the page and in the counts.
void TestExportJob::pointGroupsOnTheLine_data()
{
    QTest::addColumn<int>("xAbove"); // the x threshold minus the droplet's value: 0 on the line
    QTest::addColumn<int>("yAbove");
    QTest::addColumn<int>("group"); // both, only y, negative, only x
    QTest::newRow("on both lines") << 0 << 0 << 0;
    QTest::newRow("on the x line") << 0 << 1 << 3;
    QTest::newRow("on the y line") << 1 << 0 << 1;
}

void TestExportJob::pointGroupsOnTheLine()
{
    QFETCH(int, xAbove);
    QFETCH(int, yAbove);
    QFETCH(int, group);
    load(LumaraAnalysisData::LineThreshold);
    BLLInstance *bll = BLLInstance::getInstance();
    const uint x = bll->getWellChannelGrayValues(1, 1).first();
    const uint y = bll->getWellChannelGrayValues(1, 2).first();
    bll->updateThldByLine(1, 1, x + uint(xAbove));
    bll->updateThldByLine(1, 2, y + uint(yAbove));
    const QList<ExportJob::PointGroup> groups = ExportJob::twoChannelPointGroups({1}, 1, 2);
    QCOMPARE(groups.size(), 4);
    for (int g = 0; g < 4; ++g)
        QCOMPARE(groups.at(g).points.contains(QPointF(x, y)), g == group);
}

void TestExportJob::thresholdScope_data()
{
    QTest::addColumn<int>("individual");
    QTest::addColumn<bool>("allWells");
    QTest::addColumn<bool>("visible");
    QTest::newRow("per well, one well") << 1 << false << true;
    QTest::newRow("per well, all wells") << 1 << true << false;
    QTest::newRow("common, one well") << 0 << false << true;
    QTest::newRow("common, all wells") << 0 << true << true;
}

void TestExportJob::thresholdScope()
{
    QFETCH(int, individual);
    QFETCH(bool, allWells);
    QFETCH(bool, visible);
    load(LumaraAnalysisData::LineThreshold);
    // An edited, not yet applied threshold of the first well: the solid cross follows it.
    WellListModel::instance()->setCachedThreshold(1, 1, 1234);
    ExportSnapshot snapshot = ExportSnapshot::take(QDir::tempPath());
    snapshot.individualMode = individual;
    ExportJob job(snapshot, [] {});
    const auto plot = BLLInstance::getInstance()->getPlotGroupMgr()->get2DPlots().first();
    const QList<uint> wells = allWells ? QList<uint>{1, 2} : QList<uint>{1};
    const std::unique_ptr<Zt2DPlot> widget = job.build2DPlot(wells, plot);
    QCOMPARE(widget->size(), QSize(ExportJob::ImageWidth, ExportJob::ImageHeight));
    QCOMPARE(widget->isThresholdVisible(), visible);
    if (visible) {
        QCOMPARE(widget->solidThreshold(), QPointF(1234, WellListModel::instance()->getCachedThreshold(1, 2)));
        BLLInstance *bll = BLLInstance::getInstance();
        QCOMPARE(widget->dottedThreshold(), QPointF(bll->getThldByLine(1, 1), bll->getThldByLine(1, 2)));
        QCOMPARE(widget->xLineColor(), getChannelColor(1));
        QCOMPARE(widget->lineWidth(), 1.8);
    }
    QCOMPARE(widget->curves().size(), 4);
}

enum ImageKind { HistogramImage, OneDImage, TwoDImage };

// The grey axis of an image reaches past the threshold lines it draws, as on the plot pages:
// a no-template control's line above all its droplets is seen; an ordinary well's axis stays
// as its droplets give it.
void TestExportJob::thresholdInsideAxis_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<uint>>("wells");
    QTest::addColumn<uint>("channel"); // the 2D image's (1, 2): 1 is its x axis, 2 its y axis
    QTest::addColumn<int>("edited"); // the first well's edited line of the channel; -1 none
    QTest::addColumn<bool>("widened");
    // The fixture's well 2 holds no positive in channel 2: its line (1000) lies above all of
    // its droplets (500). Well 1 has droplets on either side of its lines in both channels.
    QTest::newRow("histogram, control") << int(HistogramImage) << QList<uint>{2} << 2u << -1 << true;
    QTest::newRow("histogram, ordinary") << int(HistogramImage) << QList<uint>{1} << 1u << -1 << false;
    QTest::newRow("1D, control") << int(OneDImage) << QList<uint>{2} << 2u << -1 << true;
    QTest::newRow("1D, ordinary") << int(OneDImage) << QList<uint>{1} << 1u << -1 << false;
    QTest::newRow("1D, all wells") << int(OneDImage) << QList<uint>{1, 2} << 2u << -1 << false;
    QTest::newRow("2D, control's y axis") << int(TwoDImage) << QList<uint>{2} << 2u << -1 << true;
    QTest::newRow("2D, control's x axis") << int(TwoDImage) << QList<uint>{2} << 1u << -1 << false;
    QTest::newRow("2D, ordinary") << int(TwoDImage) << QList<uint>{1} << 2u << -1 << false;
    // The cross being edited lies past the droplets: above them, and below them on the x axis.
    QTest::newRow("2D, edited above") << int(TwoDImage) << QList<uint>{1} << 2u << 2600 << true;
    QTest::newRow("2D, edited below") << int(TwoDImage) << QList<uint>{2} << 1u << 200 << true;
}

void TestExportJob::thresholdInsideAxis()
{
    QFETCH(int, kind);
    QFETCH(QList<uint>, wells);
    QFETCH(uint, channel);
    QFETCH(int, edited);
    QFETCH(bool, widened);
    load(LumaraAnalysisData::LineThreshold);
    BLLInstance *bll = BLLInstance::getInstance();
    if (edited >= 0)
        WellListModel::instance()->setCachedThreshold(wells.first(), channel, edited);
    QVector<double> lines;
    double lowest = 70000;
    double highest = 0;
    for (uint well : wells) {
        lines.append(bll->getThldByLine(well, channel));
        for (uint v : bll->getWellChannelGrayValues(well, channel)) {
            lowest = std::min(lowest, double(v));
            highest = std::max(highest, double(v));
        }
    }
    if (edited >= 0)
        lines.append(edited);
    QVERIFY(lowest <= highest);
    const bool past = std::any_of(lines.cbegin(), lines.cend(), [&](double t) { return t < lowest || t > highest; });
    QCOMPARE(past, widened);

    ExportJob job(ExportSnapshot::take(QDir::tempPath()), [] {});
    std::unique_ptr<QwtPlot> widget;
    int axis = QwtPlot::xBottom;
    if (kind == HistogramImage) {
        widget = ExportJob::buildHistogram(job.histogramImage(wells, channel));
    } else if (kind == OneDImage) {
        widget = ExportJob::build1DPlot(job.oneDImage(wells, channel));
        axis = QwtPlot::yLeft;
    } else {
        const auto plot = bll->getPlotGroupMgr()->get2DPlots().first();
        QCOMPARE(plot.xChannel, 1u);
        QCOMPARE(plot.yChannel, 2u);
        widget = job.build2DPlot(wells, plot);
        axis = channel == 1 ? QwtPlot::xBottom : QwtPlot::yLeft;
    }
    const QwtScaleDiv div = widget->axisScaleDiv(axis);
    const double span = div.upperBound() - div.lowerBound();
    const QString shown = QStringLiteral("%1..%2").arg(div.lowerBound()).arg(div.upperBound());
    QVERIFY2(div.lowerBound() <= lowest && div.upperBound() >= highest, qPrintable(shown));
    // Each line inside with room to either end, the droplets keeping most of the axis.
    for (double t : lines) {
        QVERIFY2(t - div.lowerBound() >= span * 0.02 && div.upperBound() - t >= span * 0.02,
                 qPrintable(QStringLiteral("%1 on %2").arg(t).arg(shown)));
    }
    // Reached past by a margin, not far beyond.
    const double top = *std::max_element(lines.cbegin(), lines.cend());
    const double bottom = *std::min_element(lines.cbegin(), lines.cend());
    if (top > highest)
        QVERIFY2(div.upperBound() - top <= span * 0.1, qPrintable(shown));
    if (bottom < lowest)
        QVERIFY2(bottom - div.lowerBound() <= span * 0.1, qPrintable(shown));
    // An ordinary well's axis is the one the plot finds for what it draws.
    if (!widened) {
        widget->setAxisAutoScale(axis);
        widget->updateAxes();
        QCOMPARE(widget->axisScaleDiv(axis).lowerBound(), div.lowerBound());
        QCOMPARE(widget->axisScaleDiv(axis).upperBound(), div.upperBound());
    }
}

void TestExportJob::allPositiveConcentration()
{
    QString error;
    QList<BllTest::WellSeed> wells = {
        ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("S1"), 30, {{30, 5, 0, 0, 0, 0}}),
        ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("S2"), 30, {{4, 3, 0, 0, 0, 0}}),
    };
    QVERIFY2(ResultTest::load(ResultTest::document(wells), &error), qPrintable(error));
    BLLInstance *bll = BLLInstance::getInstance();
    bool infinite = false;
    for (const auto &r : bll->getResultCalculate()->getPopulationResults(1))
        infinite = infinite || !std::isfinite(r.concentration);
    QVERIFY2(infinite, "an all-positive channel should have no finite concentration");
    ExportJob job(ExportSnapshot::take(QDir::tempPath()), [] {});
    for (const QList<uint> &ids : {QList<uint>{1}, QList<uint>{1, 2}}) {
        const std::unique_ptr<ZtConcentration> chart = job.buildConcentrationChart(ids);
        QVERIFY(std::isfinite(chart->storedYMaximum()));
        QVERIFY(std::isfinite(chart->axisScaleDiv(QwtPlot::yLeft).upperBound()));
        QVERIFY(chart->axisScaleDiv(QwtPlot::yLeft).upperBound() > 0);
    }
}

void TestExportJob::dropletImages()
{
    load(LumaraAnalysisData::LineThreshold);
    QTemporaryDir dir;
    int reports = 0;
    ExportJob job(ExportSnapshot::take(dir.path()), [&reports] { ++reports; });
    QVERIFY(job.exportDropletImages());
    QCOMPARE(reports, 0);
    // Channels 1, 2 and the reference 3; well 2 writes each image under both sets' names.
    QStringList expected = {"A01_1.png", "A01_2.png", "A01_3.png", "A02_1.png", "A02_2.png",
                            "A02_1b.TIF.png", "A02_2b.png", "A02_3.png"};
    expected.sort();
    QCOMPARE(filesIn(dir.path(), "*"), expected);
    const QImage image(dir.filePath(QStringLiteral("A02_2b.png")));
    QCOMPARE(image.size(), QSize(20, 20));
}

void TestExportJob::dropletImageName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("folders and suffix") << "capture/A01/A01_2.tif" << "A01_2";
    QTest::newRow("no suffix") << "A01_2" << "A01_2";
    QTest::newRow("upper case kept") << "A01_2.TIF" << "A01_2.TIF";
    QTest::newRow("every .tif") << "a.tif.b.tif" << "a.b";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("folder only") << "capture/" << "";
}

void TestExportJob::dropletImageName()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(ExportJob::dropletImageName(path), name);
}

void TestExportJob::fileNames_data()
{
    QTest::addColumn<QStringList>("bases"); // given in this order to one export
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("plain names stay") << QStringList{"A01_Histogram_Plot_GeneA", "All_Well_concentration"}
                                      << QStringList{"A01_Histogram_Plot_GeneA.png", "All_Well_concentration.png"};
    QTest::newRow("what no file system takes")
        << QStringList{"1/10_x\\y:z*w?v\"u<t>s|r"} << QStringList{"1_10_x_y_z_w_v_u_t_s_r.png"};
    QTest::newRow("control characters") << QStringList{QStringLiteral("a\tb\nc") + QChar(0x7f)}
                                        << QStringList{"a_b_c_.png"};
    QTest::newRow("empty") << QStringList{""} << QStringList{"_.png"};
    QTest::newRow("names that clean alike stay apart")
        << QStringList{"S 1/10", "S 1:10", "S 1_10", "s 1_10"}
        << QStringList{"S 1_10.png", "S 1_10 (2).png", "S 1_10 (3).png", "s 1_10 (4).png"};
    QTest::newRow("other characters kept") << QStringList{"Gen-ä.β (x) [1] 'q' #%&"}
                                           << QStringList{"Gen-ä.β (x) [1] 'q' #%&.png"};
}

void TestExportJob::fileNames()
{
    QFETCH(QStringList, bases);
    QFETCH(QStringList, expected);
    QSet<QString> used;
    QStringList names;
    for (const QString &base : bases)
        names.append(CleanName::fileName(base, QStringLiteral(".png"), used));
    QCOMPARE(names, expected);
}

// Names typed by users, holding every character some file system refuses, in the wells, the
// samples (and so the merged row), the targets, the population and the package's image paths:
// every image is written, under a name of its own.
void TestExportJob::awkwardNames()
{
    const QString bad = QStringLiteral("/\\:*?\"<>|");
    QList<BllTest::WellSeed> wells = {
        ResultTest::well(1, QStringLiteral("A:1"), QStringLiteral("1/10 ") + bad, 40, {{20, 20, 0, 0, 0, 0}}),
        ResultTest::well(2, QStringLiteral("A|2"), QStringLiteral("1/10 ") + bad, 30, {{10, 0, 0, 0, 0, 0}}),
        ResultTest::well(3, QStringLiteral("A3"), QStringLiteral("1:10 ") + bad, 30, {{10, 5, 0, 0, 0, 0}}),
    };
    for (BllTest::WellSeed &w : wells) {
        w.imageSizes = {QSize(16, 16), QSize(16, 16), QSize(16, 16)};
        // Both the same last part: the second would overwrite the first.
        w.imageNames = {{QStringLiteral("capture/%1/im<%2>_1.tif").arg(w.position).arg(w.id),
                         QStringLiteral("capture/%1/im?_2.tif").arg(w.position), "", "", "", ""}};
    }
    BllTest::DocumentSeed seed = ResultTest::document(wells);
    seed.targets[0].name = QStringLiteral("FAM/HEX");
    seed.targets[1].name = QStringLiteral("T*2 ") + bad;
    seed.plots2D = {{QStringLiteral("P12"), {1, 2}}};
    QString error;
    QVERIFY2(ResultTest::load(seed, &error), qPrintable(error));
    BLLInstance *bll = BLLInstance::getInstance();
    const QList<LumaraAnalysisData::PopulationsInfo> populations = bll->getPopulationsMgr()->getPopulations();
    QVERIFY(!populations.isEmpty());
    bll->getPopulationsMgr()->setPopulationName(populations.first().id, QStringLiteral("Pos ") + bad);
    const QList<uint> rows = ResultModel::instance()->getAllIDs();
    QCOMPARE(rows.size(), 4); // three wells, the merged row of the first two

    QTemporaryDir dir;
    int reports = 0;
    ExportJob job(ExportSnapshot::take(dir.path()), [&reports] { ++reports; });
    QVERIFY(job.exportHistograms());
    QVERIFY(job.export1DPlots());
    QVERIFY(job.export2DPlots());
    QVERIFY(job.exportConcentrationGraphs());
    QVERIFY(job.exportUncertaintyCurves());
    QVERIFY(job.exportDropletImages());
    QCOMPARE(reports, 0);
    const QStringList files = filesIn(dir.path(), "*");
    for (const QString &f : files) {
        for (QChar c : bad)
            QVERIFY2(!f.contains(c), qPrintable(f));
        QVERIFY2(QImage(dir.filePath(f)).size().isValid(), qPrintable(f));
    }
    // Three wells, two channels; the 1D and 2D images also over all wells; four rows and all.
    QCOMPARE(filesIn(dir.path(), "*_Histogram_Plot_*").size(), 3 * 2);
    QCOMPARE(filesIn(dir.path(), "*_1D_Dot_Plot_*").size(), 3 * 2 + 2);
    QCOMPARE(filesIn(dir.path(), "*_2D Dot Plot_*").size(), 3 + 1);
    QCOMPARE(filesIn(dir.path(), "*_concentration.png").size(), 4 + 1);
    QCOMPARE(filesIn(dir.path(), "*_uncertainly.png").size(), populations.size() * (4 + 1));
    // Channels 1, 2 and the reference 3 of each well; two of the wells' names alike.
    QCOMPARE(filesIn(dir.path(), "im*").size(), 3 * 2);
    QCOMPARE(files.size(), 6 + 8 + 4 + 5 + populations.size() * 5 + 6);
    // The well's name holds its sample's.
    QCOMPARE(filesIn(dir.path(), "A_1_1_10 *_Histogram_Plot_FAM_HEX.png").size(), 1);
    QCOMPARE(filesIn(dir.path(), "1_10 *_Merge_concentration.png").size(), 1);
    QVERIFY(files.contains(QStringLiteral("All_Well_1D_Dot_Plot_FAM_HEX.png")));
}

void TestExportJob::defaultFolder_data()
{
    QTest::addColumn<bool>("documents");
    QTest::newRow("Documents exists") << true;
    QTest::newRow("home only") << false;
}

void TestExportJob::defaultFolder()
{
    QFETCH(bool, documents);
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    if (documents)
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    const QString folder = Platform::defaultExportFolder();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    QCOMPARE(folder, documents ? home.filePath(QStringLiteral("Documents")) : home.path());
}

LUMARA_TEST_GUI_MAIN(TestExportJob)
#include "tst_exportjob.moc"
