// Concentration bars with whiskers and the uncertainty-curve plot.
#include "testmain.h"

#include "plottest.h"
#include "quorinconcentplot.h"
#include "quorinuncertainlycurveplot.h"

#include <QWheelEvent>
#include <limits>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>

using Entries = QList<QPair<uint, StructConcentData>>;

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();

QVector<QPointF> samplesOf(const QwtPlotCurve *curve)
{
    QVector<QPointF> out;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        out.append(curve->sample(int(i)));
    return out;
}

Entries threeWells()
{
    return {{1, {100, 300, 200}}, {2, {400, 600, 500}}, {3, {50, 150, 100}}};
}
} // namespace

class TestResultPlots : public QObject {
    Q_OBJECT
private slots:
    void concentrationBars();
    void concentrationEdgeCases();
    void concentrationRendered();
    void percentLabels_data();
    void percentLabels();
    void uncertaintyItems();
    void uncertaintyRendered();
};

void TestResultPlots::concentrationBars()
{
    QuorinConcentPlot plot;
    plot.SetConcentPointsValue(QStringLiteral("#ff0014"), 2, 9.8, threeWells());
    // Positions 1..3: the axis runs from 0 to n + 1 = 4 with at most 4 major ticks.
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).lowerBound(), 0.0);
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).upperBound(), 4.0);
    QCOMPARE(plot.axisMaxMajor(QwtPlot::xBottom), 4);
    QVERIFY(dynamic_cast<const PlotConcentScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom)));

    const QList<QwtPlotCurve *> curves = PlotTest::curvesOf(plot);
    QCOMPARE(curves.size(), 9); // bar, top cap and bottom cap per entry
    // Entry 2: bar from high to low end, caps 0.08 either side.
    QCOMPARE(samplesOf(curves[3]), (QVector<QPointF>{{2, 600}, {2, 400}}));
    QCOMPARE(samplesOf(curves[4]), (QVector<QPointF>{{1.92, 600}, {2.08, 600}}));
    QCOMPARE(samplesOf(curves[5]), (QVector<QPointF>{{1.92, 400}, {2.08, 400}}));
    QCOMPARE(curves[3]->pen().widthF(), 2.0);

    plot.SetChoosedPoints({2});
    const QList<QwtPlotMarker *> markers = PlotTest::markersOf(plot);
    QCOMPARE(markers.size(), 3);
    QCOMPARE(markers[1]->value(), QPointF(2, 500));
    QCOMPARE(markers[1]->symbol()->size(), QSize(9, 9)); // 9.8 truncated
    QCOMPARE(markers[1]->symbol()->brush().color(), QColor("#ff0014"));
    QCOMPARE(markers[0]->symbol()->brush().color(), QColor(Qt::white));

    // Setting new points replaces the old items instead of adding to them.
    plot.SetConcentPointsValue(QStringLiteral("#ff0014"), 2, 9, threeWells().mid(0, 2));
    QCOMPARE(PlotTest::curvesOf(plot).size(), 6);
    QCOMPARE(PlotTest::markersOf(plot).size(), 2);
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).upperBound(), 3.0);
}

void TestResultPlots::concentrationEdgeCases()
{
    QuorinConcentPlot plot;
    plot.SetConcentPointsValue(QStringLiteral("#ff0014"), 1, 8, {});
    QVERIFY(PlotTest::curvesOf(plot).isEmpty() && PlotTest::markersOf(plot).isEmpty());

    // A first position of 0 puts the lower bound at -1; an entry whose figures could not be
    // computed gets neither bar nor point, and the axes stay finite.
    plot.SetConcentPointsValue(QStringLiteral("#ff0014"), 1, 8,
                               {{0, {1, 2, 1.5}}, {1, {NaN, NaN, NaN}}});
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).lowerBound(), -1.0);
    QCOMPARE(PlotTest::curvesOf(plot).size(), 3);
    QCOMPARE(PlotTest::markersOf(plot).size(), 1);
    plot.replot();
    QVERIFY(std::isfinite(plot.axisScaleDiv(QwtPlot::yLeft).upperBound()));

    // A zero lower bound on a logarithmic count axis still renders.
    plot.SetConcentPointsValue(QStringLiteral("#ff0014"), 1, 8, {{1, {0, 20, 0}}});
    plot.SetLogAxis(QwtPlot::yLeft);
    QVERIFY(!plot.GetPlotGrab().isNull());
}

void TestResultPlots::concentrationRendered()
{
    QTemporaryDir dir;
    QuorinConcentPlot plot;
    PlotTest::show(plot);
    plot.setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    plot.SetQwtPlotAxisInfo(QwtPlot::yLeft, 0, 700, 0);
    plot.SetQwtPlotAutoAxis(QwtPlot::yLeft, false);
    plot.SetConcentPointsValue(QStringLiteral("#ff0014"), 3, 15, threeWells());
    plot.setAxisScale(QwtPlot::yLeft, 0, 700);
    plot.SetChoosedPoints({1});
    const QImage img = PlotTest::renderPng(plot, dir, "concentration");
    QVERIFY(!img.isNull());
    const QColor red("#ff0014");
    // Lines 3 pixels wide cover at least a third of the 3 x 3 window around them.
    QVERIFY(PlotTest::countNear(img, PlotTest::pixelOf(plot, 2, 550), red) >= 3);    // bar
    QVERIFY(PlotTest::countNear(img, PlotTest::pixelOf(plot, 2.05, 600), red) >= 3); // cap
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 2, 650), red), 0);    // above
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 1, 200), red), 9);    // chosen
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 3, 100), Qt::white), 9); // hollow
}

void TestResultPlots::percentLabels_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("12.7 truncates") << 12.7 << "12%";
    QTest::newRow("12.2") << 12.2 << "12%";
    QTest::newRow("zero") << 0.0 << "0%";
    QTest::newRow("negative towards zero") << -3.5 << "-3%";
    QTest::newRow("beyond int saturates") << 1e12 << "2147483647%";
}

void TestResultPlots::percentLabels()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(PlotUncertainlyCurveScaleDraw(QFont(), QStringLiteral("#333333")).label(value).text(),
             text);
}

void TestResultPlots::uncertaintyItems()
{
    QuorinUncertainlyCurvePlot plot;
    QFont font;
    font.setPixelSize(13);
    plot.SetQwtPlotAxisDraw(QwtPlot::yRight, font, QStringLiteral("#333333"));
    QVERIFY(dynamic_cast<const PlotUncertainlyCurveScaleDraw *>(
        plot.axisScaleDraw(QwtPlot::yLeft)));
    plot.SetQwtPlotAxisDraw(QwtPlot::xBottom, font, QStringLiteral("#333333"));
    QCOMPARE(plot.GetXAxisFontColor(), QString()); // not remembered by this plot

    plot.SetUncertainlyCurvePoints({{1, 40}, {NaN, 3}, {10, 12}, {100, 8}});
    plot.SetUncertainlyCurveStyle(QStringLiteral("#0024d9"), 2.5);
    const QList<QwtPlotCurve *> curves = PlotTest::curvesOf(plot);
    QCOMPARE(curves.size(), 1);
    QVERIFY(dynamic_cast<PlotUncertainlyCurve *>(curves[0]));
    QCOMPARE(samplesOf(curves[0]), (QVector<QPointF>{{1, 40}, {10, 12}, {100, 8}}));
    QVERIFY(qAbs(curves[0]->pen().color().alphaF() - 0.8) < 0.01);
    QCOMPARE(curves[0]->pen().joinStyle(), Qt::BevelJoin);

    plot.SetUncertainlyPoint({{10, 12}, {100, 8}}, QStringLiteral("#009944"), 7);
    plot.SetUncertainlyPoint({{20, 10}}, QStringLiteral("#009944"), 7); // replaces the two
    plot.SetUncertainlyOptimalPoint(30, 9, QStringLiteral("#f45000"), 11);
    plot.SetUncertainlyPointLine(20, 10, 1.5, QStringLiteral("#333333"));
    plot.SetVerticalLine(QStringLiteral("#840000"), 2, 5, 50);
    // Attached in order: two vertical lines, optimal point, cross line, then the points.
    const QList<QwtPlotMarker *> m = PlotTest::markersOf(plot);
    QCOMPARE(m.size(), 5);
    QCOMPARE(m[0]->xValue(), 5.0);
    QCOMPARE(m[1]->xValue(), 50.0);
    QCOMPARE(m[1]->linePen().style(), Qt::DashLine);
    QCOMPARE(m[2]->symbol()->brush().style(), Qt::NoBrush);
    QCOMPARE(m[2]->symbol()->size(), QSize(11, 11));
    QCOMPARE(m[3]->lineStyle(), QwtPlotMarker::Cross);
    QCOMPARE(m[3]->linePen().style(), Qt::DotLine);
    QCOMPARE(m[4]->value(), QPointF(20, 10));
    plot.SetVerticalLineVisible(false);
    QVERIFY(!m[0]->isVisible() && !m[1]->isVisible());

    plot.SetQwtPlotAutoAxis(QwtPlot::xBottom, false);
    plot.SetLogAxis(QwtPlot::xBottom);
    QVERIFY(plot.axisAutoScale(QwtPlot::xBottom));
    QVERIFY(dynamic_cast<const QwtLogScaleEngine *>(plot.axisScaleEngine(QwtPlot::xBottom)));
}

void TestResultPlots::uncertaintyRendered()
{
    QTemporaryDir dir;
    QuorinUncertainlyCurvePlot plot;
    PlotTest::show(plot);
    plot.setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    plot.SetQwtPlotAxisDraw(QwtPlot::yLeft, QFont(), QStringLiteral("#333333"));
    plot.SetUncertainlyCurveStyle(QStringLiteral("#0024d9"), 3);
    plot.SetUncertainlyCurvePoints({{0, 50}, {100, 10}});
    plot.SetVerticalLine(QStringLiteral("#840000"), 2, 25, 75);
    plot.setAxisScale(QwtPlot::xBottom, 0, 100);
    plot.setAxisScale(QwtPlot::yLeft, 0, 60);

    // Neither axis zooms on this plot.
    QWheelEvent ev(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot.canvas(), &ev);
    QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).upperBound(), 100.0);
    QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).upperBound(), 60.0);

    const QImage img = PlotTest::renderPng(plot, dir, "uncertainty");
    QVERIFY(!img.isNull());
    // The curve passes (50, 30); the dashed lines stand at 25 and 75.
    QVERIFY(PlotTest::countNear(img, PlotTest::pixelOf(plot, 50, 30), QColor("#3350e1"), 1) > 0);
    const QRect canvas = plot.canvas()->geometry();
    for (double x : {25.0, 75.0}) {
        const int px = PlotTest::pixelOf(plot, x, 0).x();
        const int n = PlotTest::countIn(img, QRect(px - 1, canvas.top(), 3, canvas.height()),
                                        QColor("#840000"));
        QVERIFY(n > canvas.height() / 3 && n < canvas.height() * 2);
    }
    const QwtScaleDiv &div = plot.axisScaleDiv(QwtPlot::yLeft);
    const double topTick = div.ticks(QwtScaleDiv::MajorTick).last();
    const QwtText top = plot.axisScaleDraw(QwtPlot::yLeft)->label(topTick);
    QVERIFY(top.text().endsWith(QLatin1Char('%')));
}

LUMARA_TEST_GUI_MAIN(TestResultPlots)
#include "tst_resultplots.moc"
