// A journey through the real main window to a no-template control's threshold: above every
// droplet of the well, its line is drawn inside the histogram's and the 1D plot's grey axes,
// the mouse drags it there, and Apply clicked stores where it was dropped.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "bll/bllinstance.h"
#include "pages/analysisplot.h"
#include "plots/Histogram/histogram.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"
#include "shellitems.h"
#include "testmain.h"
#include "windowroads.h"

#include <QQuickItem>
#include <QTemporaryDir>
#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace ChannelPlotsTest;
using namespace ShellTest;
using namespace JourneyTest;

namespace {

const QString Hex = QStringLiteral("Target-HEX");

AnalysisPlot *analysisPlot(MainWindows &window)
{
    return qobject_cast<AnalysisPlot *>(window.frame()->page(2));
}

// The canvas pixel of a grey value on the plot's axis, and whether the value is drawn on the
// canvas, a few pixels in from its ends.
int pixelOf(const QwtPlot *plot, int axis, double value)
{
    return qRound(plot->canvasMap(axis).transform(value));
}
bool drawnInside(const QwtPlot *plot, int axis, double value)
{
    const int p = pixelOf(plot, axis, value);
    const int size = axis == QwtPlot::xBottom ? plot->canvas()->width() : plot->canvas()->height();
    return p >= 3 && p <= size - 3;
}

// The box of the channel in the page's threshold panel, its text, and Apply clicked.
QString boxText(ChannelPlotPage *page, uint channel)
{
    QQuickItem *box = shownItem(page, QStringLiteral("threshold%1").arg(channel));
    return box ? box->property("text").toString() : QStringLiteral("(no box)");
}
void clickApply(ChannelPlotPage *page)
{
    QQuickItem *apply = shownItem(page, QStringLiteral("applyButton"));
    QVERIFY(apply);
    mouseClickItem(page, apply);
}

} // namespace

class TestThresholdLines : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlLineInsideAndDragged();

private:
    // The page's well row and the target's thumbnail clicked: that one channel shown.
    void showWellChannel(ChannelPlotPage *page, int row, const QString &target);

    QTemporaryDir m_fixtures;
    QString m_run; // well 1 a no-template control of HEX, well 2 with HEX positives
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindows> m_window;
};

void TestThresholdLines::initTestCase()
{
    initAppResources();
    QVERIFY(m_fixtures.isValid());
    MkPackage::GeneratorOptions run = BllTest::smallRun(false, 67, 128);
    run.wellFractions[0] = {{Hex, 0.0}};
    run.wellFractions[1] = {{Hex, 0.4}};
    m_run = BllTest::generateRun(m_fixtures.path(), QStringLiteral("control.imrs"), run);
    QVERIFY(!m_run.isEmpty());
}

void TestThresholdLines::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    currentFileBaseName.clear();
    m_window = showWindow();
    QVERIFY(m_window);
}

void TestThresholdLines::cleanup()
{
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    destroyWindow(m_window);
    m_dir.reset();
}

void TestThresholdLines::showWellChannel(ChannelPlotPage *page, int row, const QString &target)
{
    WellListView *list = page->wellListView();
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ThumbnailModel *thumbs = page->thumbnailModel();
    int thumb = -1;
    for (int r = 0; r < thumbs->rowCount(); ++r) {
        if (thumbs->index(r, 0).data(ThumbnailModel::TitleRole).toString() == target)
            thumb = r;
    }
    QVERIFY2(thumb >= 0, qPrintable(target));
    ThumbnailView *view = page->thumbnailView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(thumbs->index(thumb, 0)).center());
    QTRY_COMPARE(page->thresholdModel()->rowCount(), 1);
}

void TestThresholdLines::controlLineInsideAndDragged()
{
    const QString path = m_dir->filePath(QStringLiteral("control.imrs"));
    QVERIFY(QFile::copy(m_run, path));
    QVERIFY(openFromMenu(*m_window, path));
    QVERIFY(visit(*m_window, 2, 0));
    Histogram *histogram = analysisPlot(*m_window)->histogram();
    QVERIFY(histogram && histogram->isVisible());
    showWellChannel(histogram, 0, Hex);
    if (QTest::currentTestFailed())
        return;
    const uint control = uint(WellListModel::instance()->getSelectWellID());
    QCOMPARE(control, bll()->getWellIds().constFirst());
    ThresholdModel *rows = histogram->thresholdModel();
    const uint hex = rows->data(rows->index(0, 0), ThresholdModel::ChannelIDRole).toUInt();
    const QVector<uint> values = bll()->getWellChannelGrayValues(control, hex);
    QVERIFY(!values.isEmpty());
    const uint lowest = *std::min_element(values.cbegin(), values.cend());
    const uint highest = *std::max_element(values.cbegin(), values.cend());

    // The control's threshold above all its droplets, by half their spread: typed key by key
    // into the box, the box left by Tab, Apply clicked. Whatever the automatic threshold was,
    // both lines now lie there.
    const uint above = highest + (highest - lowest) / 2 + 200;
    QQuickItem *box = shownItem(histogram, QStringLiteral("threshold%1").arg(hex));
    QVERIFY(box);
    mouseClickItem(histogram, box);
    QTRY_VERIFY(box->hasActiveFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    typeText(QString::number(above));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    clickApply(histogram);
    QCOMPARE(bll()->getThldByLine(control, hex), above);

    // The histogram: the bars and both lines on the canvas.
    ZetanHistogramPlot *bars = histogram->plot(0);
    QCOMPARE(bars->getSolidlineThreshold(), double(above));
    QCOMPARE(bars->getDotlineThreshold(), double(above));
    QVERIFY2(drawnInside(bars, QwtPlot::xBottom, above),
             qPrintable(QStringLiteral("%1 at pixel %2 of %3").arg(above).arg(pixelOf(bars, QwtPlot::xBottom, above))
                            .arg(bars->canvas()->width())));
    QVERIFY(drawnInside(bars, QwtPlot::xBottom, highest));

    // Dragged down to halfway between the droplets and where it was: the box shows the value
    // dropped, the document the old one until Apply is clicked.
    const double halfway = (above + highest) / 2.0;
    const uint dropped = uint(std::trunc(valueAt(bars, pixel(bars, halfway, 1)).x()));
    QVERIFY(dropped > highest && dropped < above);
    drag(bars, QPointF(above, 1), QPointF(halfway, 1));
    QCOMPARE(WellListModel::instance()->getCachedThreshold(control, hex), int(dropped));
    QCOMPARE(bars->getSolidlineThreshold(), double(dropped));
    QTRY_COMPARE(boxText(histogram, hex), QString::number(dropped));
    QCOMPARE(bll()->getThldByLine(control, hex), above);
    clickApply(histogram);
    QCOMPARE(bll()->getThldByLine(control, hex), dropped);

    // The 1D page by the mouse: the same well and channel, the line still above every
    // droplet and inside the grey axis.
    QVERIFY(visit(*m_window, 2, 1));
    Plot1DDot *oneDot = analysisPlot(*m_window)->plot1DDot();
    QVERIFY(oneDot && oneDot->isVisible());
    showWellChannel(oneDot, 0, Hex);
    if (QTest::currentTestFailed())
        return;
    Zetan1Plot *dots = oneDot->plot(0);
    QCOMPARE(dots->solidThresholdLines().size(), 1);
    const QPolygonF line = dots->solidThresholdLines().constFirst();
    QCOMPARE(line.first().y(), double(dropped));
    QVERIFY2(drawnInside(dots, QwtPlot::yLeft, dropped),
             qPrintable(QStringLiteral("%1 at pixel %2 of %3").arg(dropped).arg(pixelOf(dots, QwtPlot::yLeft, dropped))
                            .arg(dots->canvas()->height())));
    QVERIFY(drawnInside(dots, QwtPlot::yLeft, highest));

    // Taken hold of just below the line in the middle of the well, dragged down towards the
    // highest droplet, then applied.
    const double middle = (line.first().x() + line.last().x()) / 2;
    const double lower = (dropped + highest) / 2.0;
    const uint moved = uint(std::trunc(valueAt(dots, pixel(dots, middle, lower)).y()));
    QVERIFY(moved > highest && moved < dropped);
    drag(dots, QPointF(middle, dropped - 20), QPointF(middle, lower));
    QCOMPARE(WellListModel::instance()->getCachedThreshold(control, hex), int(moved));
    QCOMPARE(dots->solidThresholdLines().constFirst().first().y(), double(moved));
    QTRY_COMPARE(boxText(oneDot, hex), QString::number(moved));
    QCOMPARE(bll()->getThldByLine(control, hex), dropped);
    clickApply(oneDot);
    QCOMPARE(bll()->getThldByLine(control, hex), moved);
}

LUMARA_TEST_GUI_MAIN(TestThresholdLines)
#include "tst_thresholdlines.moc"
