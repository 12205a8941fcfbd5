// Base plot: wheel zoom, panning, home ranges, mask, left-axis double click, scale labels.
#define QTEST_QPA_MOUSE_HANDLING
#include "testmain.h"

#include "plottest.h"
#include "qwtbasic.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

namespace {
struct Range {
    double lower, upper;
};

Range range(const QwtPlot &plot, int axis)
{
    const QwtScaleDiv &div = plot.axisScaleDiv(axis);
    return {div.lowerBound(), div.upperBound()};
}

void wheel(QwtPlot &plot, int notches)
{
    QWidget *canvas = plot.canvas();
    const QPointF at = canvas->rect().center();
    QWheelEvent ev(at, canvas->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120 * notches),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &ev);
}

// Home range [0, 1000] stored on both bottom and left axes, shown as [lower, upper].
void homeAndView(QwtBasic &plot, Range view)
{
    for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        plot.SetQwtPlotAxisInfo(axis, 0, 1000, 0);
        plot.SetQwtPlotAutoAxis(axis, false);
        plot.setAxisScale(axis, view.lower, view.upper);
    }
    plot.replot();
}

void drag(QwtPlot &plot, QPoint delta)
{
    QWidget *canvas = plot.canvas();
    const QPoint from = canvas->rect().center();
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(canvas, from + delta / 2);
    QTest::mouseMove(canvas, from + delta);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, from + delta);
}
} // namespace

class TestBasic : public QObject {
    Q_OBJECT
private slots:
    void wheelZoom_data();
    void wheelZoom();
    void zoomOutAtZeroReturnsHome();
    void resetSkipsAxesWithoutZoom();
    void autoScaleFlagWinsOverStoredRange();
    void pan_data();
    void pan();
    void mask();
    void leftAxisDoubleClick_data();
    void leftAxisDoubleClick();
    void scaleDrawLabels_data();
    void scaleDrawLabels();
};

void TestBasic::wheelZoom_data()
{
    QTest::addColumn<int>("notches");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // View [100, 200], centre 150, half width 50; a notch forward divides it by 1.1.
    QTest::newRow("first notch forward zooms in") << 1 << 150 - 50 / 1.1 << 150 + 50 / 1.1;
    QTest::newRow("second forward zooms in again")
        << 2 << 150 - 50 / 1.21 << 150 + 50 / 1.21;
    QTest::newRow("first notch back zooms out") << -1 << 95.0 << 205.0; // 150 -+ 55
    QTest::newRow("second back zooms out again") << -2 << 89.5 << 210.5; // 150 -+ 60.5
}

void TestBasic::wheelZoom()
{
    QFETCH(int, notches);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QwtBasic plot;
    PlotTest::show(plot);
    homeAndView(plot, {100, 200});
    QSignalSpy home(&plot, &QwtBasic::repaintPlot);
    for (int i = 0; i < qAbs(notches); ++i)
        wheel(plot, notches > 0 ? 1 : -1);
    for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        QVERIFY(qAbs(range(plot, axis).lower - lower) < 1e-9);
        QVERIFY(qAbs(range(plot, axis).upper - upper) < 1e-9);
    }
    QCOMPARE(home.count(), 0); // the view never touched zero
}

void TestBasic::zoomOutAtZeroReturnsHome()
{
    QwtBasic plot;
    PlotTest::show(plot);
    homeAndView(plot, {0, 400});
    QSignalSpy home(&plot, &QwtBasic::repaintPlot);
    wheel(plot, 1); // zooming in at a lower bound of 0 never resets
    QCOMPARE(home.count(), 0);
    QVERIFY(qAbs(range(plot, QwtPlot::xBottom).lower - (200 - 200 / 1.1)) < 1e-9);

    plot.setAxisScale(QwtPlot::xBottom, 0, 400);
    plot.replot();
    wheel(plot, -1); // home [0, 1000] first, then one notch out: 500 -+ 550
    QCOMPARE(home.count(), 1);
    for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        QVERIFY(qAbs(range(plot, axis).lower + 50) < 1e-9);
        QVERIFY(qAbs(range(plot, axis).upper - 1050) < 1e-9);
    }
}

void TestBasic::resetSkipsAxesWithoutZoom()
{
    QwtBasic plot;
    PlotTest::show(plot);
    homeAndView(plot, {0, 400});
    plot.SetAxisZoomEnabled(QwtPlot::xBottom, false);
    QSignalSpy home(&plot, &QwtBasic::repaintPlot);
    wheel(plot, -1);
    QCOMPARE(home.count(), 1);
    QCOMPARE(range(plot, QwtPlot::xBottom).upper, 400.0); // neither reset nor zoomed
    QVERIFY(qAbs(range(plot, QwtPlot::yLeft).upper - 1050) < 1e-9);

    plot.SetAxisPannerEnabled(QwtPlot::yLeft, false);
    plot.setAxisScale(QwtPlot::yLeft, 3, 7);
    QMetaObject::invokeMethod(&plot, "slotPlotRepaint");
    QCOMPARE(home.count(), 2); // emitted although no axis qualified
    QCOMPARE(range(plot, QwtPlot::yLeft).lower, 3.0);
}

void TestBasic::autoScaleFlagWinsOverStoredRange()
{
    QwtBasic plot;
    auto *curve = new QwtPlotCurve;
    curve->setSamples(QVector<QPointF>{{120, 130}, {380, 770}});
    curve->attach(&plot);
    PlotTest::show(plot);
    const Range automatic = range(plot, QwtPlot::xBottom);
    QVERIFY(automatic.upper >= 380 && automatic.lower <= 120);

    plot.SetQwtPlotAxisInfo(QwtPlot::xBottom, 0, 5000, 0);
    QCOMPARE(range(plot, QwtPlot::xBottom).upper, 5000.0); // shown at once
    plot.rePaintAxis(QwtPlot::xBottom);                     // flag still true: auto again
    QCOMPARE(range(plot, QwtPlot::xBottom).lower, automatic.lower);
    QCOMPARE(range(plot, QwtPlot::xBottom).upper, automatic.upper);

    plot.SetQwtPlotAutoAxis(QwtPlot::xBottom, false);
    plot.setAxisScale(QwtPlot::xBottom, 10, 20);
    plot.rePaintAxis(QwtPlot::xBottom);
    QCOMPARE(range(plot, QwtPlot::xBottom).upper, 5000.0);
}

void TestBasic::pan_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<bool>("xClamped");
    QTest::addColumn<bool>("yClamped");
    QTest::newRow("left and down keeps both above zero") << QPoint(-60, 40) << false << false;
    QTest::newRow("right past zero") << QPoint(200, 0) << true << false;
    QTest::newRow("up past zero") << QPoint(0, -150) << false << true;
    QTest::newRow("both past zero") << QPoint(220, -150) << true << true;
}

void TestBasic::pan()
{
    QFETCH(QPoint, delta);
    QFETCH(bool, xClamped);
    QFETCH(bool, yClamped);
    QwtBasic plot;
    PlotTest::show(plot);
    homeAndView(plot, {100, 1100});
    const double xPerPixel = 1000 / qAbs(plot.canvasMap(QwtPlot::xBottom).pDist());
    const double yPerPixel = 1000 / qAbs(plot.canvasMap(QwtPlot::yLeft).pDist());
    drag(plot, delta);

    // Dragging right moves the view left; dragging up moves it down.
    const double xExpected = xClamped ? 0.0 : 100 - delta.x() * xPerPixel;
    const double yExpected = yClamped ? 0.0 : 100 + delta.y() * yPerPixel;
    const Range x = range(plot, QwtPlot::xBottom);
    const Range y = range(plot, QwtPlot::yLeft);
    // Clamped bounds end on 0 to within one pixel, never above it.
    QVERIFY2(qAbs(x.lower - xExpected) < xPerPixel && (!xClamped || x.lower <= 1e-9),
             qPrintable(QString::number(x.lower)));
    QVERIFY2(qAbs(y.lower - yExpected) < yPerPixel && (!yClamped || y.lower <= 1e-9),
             qPrintable(QString::number(y.lower)));
    QVERIFY(qAbs(x.upper - x.lower - 1000) < 1e-6);
    QVERIFY(qAbs(y.upper - y.lower - 1000) < 1e-6);
}

void TestBasic::mask()
{
    QTemporaryDir dir;
    QwtBasic plot;
    PlotTest::show(plot);
    auto *frame = plot.findChild<QFrame *>(QStringLiteral("mask"));
    QVERIFY(frame && frame->isHidden());
    plot.SetMaskBorderWidth(6);
    plot.SetMaskBorderVisible(true);
    QCOMPARE(frame->geometry(), plot.rect());
    QImage img = PlotTest::renderPng(plot, dir, "mask");
    const QColor maskColour("#3b9fc8");
    QVERIFY(PlotTest::near(img.pixel(4, img.height() / 2), maskColour));
    QVERIFY(!PlotTest::near(img.pixel(8, img.height() / 2), maskColour));

    plot.SetMaskColor(QStringLiteral("#ff0000"));
    QCOMPARE(plot.styleSheet(), QStringLiteral("background-color: #ff0000"));
    QCOMPARE(plot.canvas()->styleSheet(), QStringLiteral("background-color: #ff0000"));
    img = PlotTest::renderPng(plot, dir, "red");
    const QPoint canvasCentre = plot.canvas()->geometry().center();
    QVERIFY(PlotTest::near(img.pixel(canvasCentre), Qt::red));
    QVERIFY(PlotTest::near(img.pixel(2, 2), Qt::red));

    plot.SetMaskBackgroundVisible(false);
    plot.SetMaskBorderVisible(false);
    QCOMPARE(plot.canvas()->styleSheet(), QStringLiteral("background-color: rgb(255,255,255)"));
    img = PlotTest::renderPng(plot, dir, "white");
    QVERIFY(PlotTest::near(img.pixel(canvasCentre), Qt::white));
    QVERIFY(PlotTest::near(img.pixel(4, img.height() / 2), Qt::white));
}

void TestBasic::leftAxisDoubleClick_data()
{
    QTest::addColumn<bool>("onAxis");
    QTest::newRow("on the left axis") << true;
    QTest::newRow("on the canvas") << false;
}

void TestBasic::leftAxisDoubleClick()
{
    QFETCH(bool, onAxis);
    QwtBasic plot;
    PlotTest::show(plot);
    plot.SetQwtPlotAxisInfo(QwtPlot::yLeft, 20, 480, 0);
    QSignalSpy spy(&plot, &QwtBasic::axisYLeftDoubleClicked);
    const QRect axis = plot.axisWidget(QwtPlot::yLeft)->geometry();
    const QPoint at = onAxis ? axis.center() : plot.canvas()->geometry().center();
    QTest::mouseDClick(&plot, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(spy.count(), onAxis ? 1 : 0);
    if (onAxis) {
        QCOMPARE(spy.first().at(0).toDouble(), 20.0);
        QCOMPARE(spy.first().at(1).toDouble(), 480.0);
    }
}

void TestBasic::scaleDrawLabels_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    // QString::arg(double) defaults: 'g' with six significant digits.
    QTest::newRow("integer") << 1500.0 << "1500";
    QTest::newRow("fraction") << 0.25 << "0.25";
    QTest::newRow("large") << 12345678.0 << "1.23457e+07";
    QTest::newRow("negative") << -40.0 << "-40";
}

void TestBasic::scaleDrawLabels()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(17);
    QuorinScaleDraw draw(font, QStringLiteral("#123456"));
    const QwtText label = draw.label(value);
    QCOMPARE(label.text(), text);
    QCOMPARE(label.font().pixelSize(), 17);
    QCOMPARE(label.color(), QColor("#123456"));
}

LUMARA_TEST_GUI_MAIN(TestBasic)
#include "tst_basic.moc"
