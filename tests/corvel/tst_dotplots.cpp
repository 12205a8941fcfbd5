// 1D dot plot (split per well, threshold lines, well labels) and 2D dot plot (curves and
// threshold crosses).
#include "testmain.h"

#include "plottest.h"
#include "quorin1dplot.h"
#include "quorin2dplot.h"

#include <limits>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>

using Points = QVector<QPointF>;
using Lines = QVector<QPolygonF>;
Q_DECLARE_METATYPE(Points)
Q_DECLARE_METATYPE(Lines)

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();

Points samplesOf(const QwtPlotCurve *curve)
{
    Points out;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        out.append(curve->sample(int(i)));
    return out;
}

QPolygonF flat(double x1, double x2, double y)
{
    return QPolygonF(QVector<QPointF>{QPointF(x1, y), QPointF(x2, y)});
}
} // namespace

class TestDotPlots : public QObject {
    Q_OBJECT
private slots:
    void splitPerWell_data();
    void splitPerWell();
    void appendResplits();
    void wellLabels();
    void thresholdLines();
    void rendered1D();
    void curves2D();
    void crosses2D();
};

void TestDotPlots::splitPerWell_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<Points>("above");
    QTest::addColumn<Points>("below");
    const Points pts{{0, 500}, {5, 600}, {10, 499}, {11, 900}};
    QTest::newRow("no wells draws nothing") << pts << Lines{} << Points{} << Points{};
    // The threshold height and both span ends belong to the well; x = 11 lies outside.
    QTest::newRow("one well") << pts << Lines{flat(0, 10, 500)} << Points{{0, 500}, {5, 600}}
                              << Points{{10, 499}};
    QTest::newRow("sloped line uses its highest point")
        << pts << Lines{QPolygonF(Points{QPointF(0, 100), QPointF(10, 550)})} << Points{{5, 600}}
        << Points{{0, 500}, {10, 499}};
    // x = 10 ends the first span and starts the second: listed once in each colour.
    QTest::newRow("shared end drawn twice")
        << pts << Lines{flat(0, 10, 100), flat(10, 20, 800)}
        << Points{{0, 500}, {5, 600}, {10, 499}, {11, 900}} << Points{{10, 499}};
    QTest::newRow("unsorted points keep their order")
        << Points{{5, 600}, {1, 50}, {3, 700}} << Lines{flat(0, 10, 500)}
        << Points{{5, 600}, {3, 700}} << Points{{1, 50}};
    QTest::newRow("non-finite points are left out")
        << Points{{1, NaN}, {NaN, 700}, {2, 800}} << Lines{flat(0, 10, 500)} << Points{{2, 800}}
        << Points{};
}

void TestDotPlots::splitPerWell()
{
    QFETCH(Points, points);
    QFETCH(Lines, lines);
    QFETCH(Points, above);
    QFETCH(Points, below);
    Quorin1DPlot plot;
    plot.SetPlot1DPoints(points);
    plot.Set1DThresholdDottedLineValue(lines);
    const QList<QwtPlotCurve *> curves = PlotTest::curvesOf(plot);
    QCOMPARE(curves.size(), 2 + lines.size());
    QCOMPARE(samplesOf(curves[0]), above);
    QCOMPARE(samplesOf(curves[1]), below);
    QCOMPARE(curves[0]->style(), QwtPlotCurve::Dots);
    QVERIFY(curves[0]->testPaintAttribute(QwtPlotCurve::ImageBuffer));
}

void TestDotPlots::appendResplits()
{
    Quorin1DPlot plot;
    plot.Set1DThresholdDottedLineValue({flat(0, 10, 500), flat(20, 30, 500)});
    plot.SetPlot1DPoints({{1, 600}});
    plot.AppendPlot1DPoints({{21, 100}, {25, 900}});
    QCOMPARE(samplesOf(PlotTest::curvesOf(plot)[0]), (Points{{1, 600}, {25, 900}}));
    QCOMPARE(samplesOf(PlotTest::curvesOf(plot)[1]), (Points{{21, 100}}));
}

void TestDotPlots::wellLabels()
{
    Quorin1DPlot plot;
    plot.Set1DThresholdDottedLineValue({flat(0, 100, 1)});
    plot.Set1DXAxisDivInfo({QStringLiteral("A1")}, QStringLiteral("#888888"), 2.0);
    QVERIFY(!dynamic_cast<const Plot1dScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom)));
    QVERIFY(PlotTest::markersOf(plot).isEmpty()); // one well changes nothing

    // Widths 100, 50 and 100, laid from 0 whatever the spans' own x positions; the third
    // name is missing and gives an empty label.
    plot.Set1DThresholdDottedLineValue({flat(0, 100, 1), flat(1000, 1050, 1), flat(5, 105, 1)});
    plot.Set1DXAxisDivInfo({QStringLiteral("A1"), QStringLiteral("<b>B2</b>")},
                           QStringLiteral("#888888"), 2.0);
    const QwtScaleDiv &div = plot.axisScaleDiv(QwtPlot::xBottom);
    QCOMPARE(div.lowerBound(), 0.0);
    QCOMPARE(div.upperBound(), 251.0); // last boundary 250, plus 1
    QCOMPARE(div.ticks(QwtScaleDiv::MajorTick), (QList<double>{50, 125, 200}));
    QCOMPARE(div.ticks(QwtScaleDiv::MediumTick), (QList<double>{0, 100, 150, 250}));
    QVERIFY(div.ticks(QwtScaleDiv::MinorTick).isEmpty());

    auto *draw = dynamic_cast<const Plot1dScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom));
    QVERIFY(draw);
    QCOMPARE(draw->label(50).text(), QStringLiteral("A1"));
    QCOMPARE(draw->label(125.9).text(), QStringLiteral("<b>B2</b>"));
    // Rich text: the tags are markup, so the label is narrower than the literal text.
    QVERIFY(draw->label(125.9).textSize().width() <
            QwtText(QStringLiteral("<b>B2</b>"), QwtText::PlainText).textSize().width());
    QCOMPARE(draw->label(200).text(), QString());
    QCOMPARE(draw->label(51).text(), QString());
    QCOMPARE(draw->tickLength(QwtScaleDiv::MajorTick), 16.0);
    QCOMPARE(draw->tickLength(QwtScaleDiv::MediumTick), 0.0);

    const QList<QwtPlotMarker *> dividers = PlotTest::markersOf(plot);
    QCOMPARE(dividers.size(), 2);
    QCOMPARE(dividers[0]->xValue(), 100.0);
    QCOMPARE(dividers[1]->xValue(), 150.0);
    QCOMPARE(dividers[0]->linePen().dashPattern(), (QVector<qreal>{4, 3}));

    plot.Clear1DAxisDiv();
    QVERIFY(PlotTest::markersOf(plot).isEmpty());
    QVERIFY(!dynamic_cast<const Plot1dScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom)));
}

void TestDotPlots::thresholdLines()
{
    Quorin1DPlot plot;
    plot.Set1DThresholdSoildLineDraw(QStringLiteral("#ff0014"), 1.5);
    plot.Set1DThresholdSoildLineValue({flat(0, 10, 5), flat(10, 20, 6), flat(20, 30, 7)}, {1, 9});
    QList<QwtPlotCurve *> lines = PlotTest::curvesOf(plot).mid(2);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0]->pen().widthF(), 1.5);
    QCOMPARE(lines[1]->pen().widthF(), 3.0); // bold: twice; index 9 does not exist
    QCOMPARE(lines[2]->pen().style(), Qt::SolidLine);

    plot.Set1DThresholdSoildLineDraw(QStringLiteral("#000000"), 4);
    QCOMPARE(lines[0]->pen().color(), QColor("#ff0014")); // only later lines change
    plot.Set1DThresholdSoildLineVisible(false);
    QVERIFY(!lines[0]->isVisible() && !lines[2]->isVisible());

    plot.Set1DThresholdDottedLineDraw(QStringLiteral("#0024d9"), 1);
    plot.Set1DThresholdDottedLineValue({flat(0, 10, 5)});
    lines = PlotTest::curvesOf(plot).mid(2);
    QCOMPARE(lines.size(), 4); // the three solid lines and one dotted
    QCOMPARE(lines.last()->pen().style(), Qt::DotLine);
    QVERIFY(lines.last()->isVisible());
}

void TestDotPlots::rendered1D()
{
    QTemporaryDir dir;
    Quorin1DPlot plot;
    PlotTest::show(plot, QSize(800, 500));
    plot.setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    plot.SetPlot1DPointsColor(QStringLiteral("#ff0014"), QStringLiteral("#0024d9"), 7);
    plot.Set1DThresholdDottedLineDraw(QStringLiteral("#888888"), 1);
    plot.Set1DThresholdDottedLineValue({flat(0, 100, 5000), flat(100, 200, 8000)});
    Points pts;
    for (int i = 0; i < 200; i += 10)
        pts.append(QPointF(i + 5, i < 100 ? 6000 : 6000)); // above in well 1, below in well 2
    plot.SetPlot1DPoints(pts);
    plot.SetQwtPlotAxisInfo(QwtPlot::xBottom, 0, 200, 0);
    plot.SetQwtPlotAxisInfo(QwtPlot::yLeft, 0, 10000, 0);
    plot.Set1DXAxisDivInfo({QStringLiteral("A1"), QStringLiteral("A2")}, QStringLiteral("#00ff00"),
                           2.0);
    const QImage img = PlotTest::renderPng(plot, dir, "oned");
    QVERIFY(!img.isNull());
    const QColor red("#ff0014"), blue("#0024d9");
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 55, 6000), red), 9);
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 155, 6000), blue), 9);
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 155, 6000), red), 0);
    // The divider between the wells at x = 100, dashed over the canvas height.
    const QRect canvas = plot.canvas()->geometry();
    const int x = PlotTest::pixelOf(plot, 100, 0).x();
    QVERIFY(PlotTest::countIn(img, QRect(x - 1, canvas.top(), 3, canvas.height()),
                              QColor("#00ff00")) > canvas.height() / 3);
}

void TestDotPlots::curves2D()
{
    Quorin2DPlot plot;
    QCOMPARE(PlotTest::curvesOf(plot).size(), 4);
    plot.SetPlot2DPointsColor({"#000001", "#000002", "#000003", "#000004"}, 3);
    QCOMPARE(PlotTest::curvesOf(plot)[3]->pen().color(), QColor("#000004"));

    plot.AppendPlot2DPoints({{100, 200}, {NaN, 5}, {300, 400}}, QStringLiteral("#ff0014"), 2);
    QList<QwtPlotCurve *> curves = PlotTest::curvesOf(plot);
    QCOMPARE(curves.size(), 5);
    QCOMPARE(samplesOf(curves[4]), (Points{{100, 200}, {300, 400}}));
    QCOMPARE(curves[4]->pen().widthF(), 2.0);
    QCOMPARE(curves[4]->pen().capStyle(), Qt::SquareCap);
    QVERIFY(curves[4]->testPaintAttribute(QwtPlotCurve::ImageBuffer));
    plot.SetPlot2DPointsColor({"#000001", "#000002", "#000003", "#000004"}, 3);
    QCOMPARE(curves[0]->pen().widthF(), 3.0); // four colours for five curves: nothing changed
    QCOMPARE(curves[4]->pen().color(), QColor("#ff0014"));
    plot.SetPlot2DPointsColor({"#1", "#2", "#3", "#4", "#00ff00"}, 5);
    QCOMPARE(curves[4]->pen().color(), QColor("#00ff00"));

    plot.ClearPlot2DPoints();
    QVERIFY(PlotTest::curvesOf(plot).isEmpty());
    plot.SetPlot2DPointsColor({}, 1);
    QCOMPARE(PlotTest::markersOf(plot).size(), 2); // the crosses stay
}

void TestDotPlots::crosses2D()
{
    QTemporaryDir dir;
    Quorin2DPlot plot;
    PlotTest::show(plot);
    plot.setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    plot.ClearPlot2DPoints();
    plot.AppendPlot2DPoints({{2000, 3000}, {8000, 7000}}, QStringLiteral("#009944"), 9);
    plot.SetQwtPlotAxisInfo(QwtPlot::xBottom, 0, 10000, 0);
    plot.SetQwtPlotAxisInfo(QwtPlot::yLeft, 0, 10000, 0);
    plot.Set2DThresholdSoildLineDraw(QStringLiteral("#ff0014"), 2);
    plot.Set2DThresholdDottedLineDraw(QStringLiteral("#0024d9"), 2);
    plot.Set2DThresholdSoildLineVisible(false);
    plot.Set2DThresholdSoildLineValue(5000, 4000); // a new value shows it again
    plot.Set2DThresholdDottedLineValue(6000, 6500);
    const QList<QwtPlotMarker *> m = PlotTest::markersOf(plot);
    QVERIFY(m[0]->isVisible() && m[1]->isVisible());
    QCOMPARE(m[0]->value(), QPointF(5000, 4000));
    QCOMPARE(m[0]->lineStyle(), QwtPlotMarker::Cross);
    QCOMPARE(m[1]->linePen().style(), Qt::DotLine);

    const QImage img = PlotTest::renderPng(plot, dir, "twod");
    const QRect canvas = plot.canvas()->geometry();
    const QPoint cross = PlotTest::pixelOf(plot, 5000, 4000);
    QVERIFY(PlotTest::countIn(img, QRect(cross.x() - 1, canvas.top(), 3, canvas.height()),
                              QColor("#ff0014")) >= canvas.height() - 4);
    QVERIFY(PlotTest::countIn(img, QRect(canvas.left(), cross.y() - 1, canvas.width(), 3),
                              QColor("#ff0014")) >= canvas.width() - 4);
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 2000, 3000), QColor("#009944")), 9);
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 8000, 7000), QColor("#009944")), 9);

    plot.Set2DThresholdDottedLineVisible(false);
    QVERIFY(!m[1]->isVisible());
}

LUMARA_TEST_GUI_MAIN(TestDotPlots)
#include "tst_dotplots.moc"
