// The concentration chart as the page and the export drive it: what setData attaches, the
// bottom scale and its labels, the y range and its restoration, values the statistics could
// not give, and where a bar lands on screen.
#include "pages/ViewResult/chartgeometry.h"
#include "pages/ViewResult/concentrationscaledraw.h"
#include "pages/ViewResult/ztconcentration.h"
#include "messagerecorder.h"
#include "plottest.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <cmath>
#include <limits>
#include <qwt_plot_grid.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>

Q_DECLARE_METATYPE(QVector<ConcentrationGroup>)

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();

ConcentrationPoint point(uint id, double c, double lower, double upper, const char *color)
{
    return ConcentrationPoint{id, c, lower, upper, QString::fromLatin1(color)};
}

// Three rows with one, two and three populations, every bar in a colour of its own.
QVector<ConcentrationGroup> threeRows()
{
    return {
        {QStringLiteral("A1"), {point(1, 500, 400, 600, "#e42520")}},
        {QStringLiteral("B2"), {point(1, 800, 700, 900, "#67b32e"), point(2, 300, 250, 350, "#e8a400")}},
        {QStringLiteral("C3"),
         {point(1, 100, 50, 150, "#437e84"), point(2, 1000, 900, 1100, "#720065"),
          point(3, 20, -3, 40, "#2b4b9b")}},
    };
}

QList<double> ticks(const QwtScaleDiv &div, QwtScaleDiv::TickType type)
{
    return div.ticks(type);
}

QList<QwtPlotCurve *> boxesOf(const QwtPlot &plot)
{
    QList<QwtPlotCurve *> boxes;
    for (QwtPlotCurve *curve : PlotTest::curvesOf(plot))
        if (curve->brush().style() == Qt::SolidPattern)
            boxes.append(curve);
    return boxes;
}

QwtPlotCurve *boxOfColour(const QwtPlot &plot, const QString &colour)
{
    for (QwtPlotCurve *box : boxesOf(plot))
        if (box->brush().color() == QColor(colour))
            return box;
    return nullptr;
}

QVector<QPointF> samplesOf(const QwtPlotCurve *curve)
{
    QVector<QPointF> out;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        out.append(curve->sample(int(i)));
    return out;
}

bool finiteDiv(const QwtScaleDiv &div)
{
    return std::isfinite(div.lowerBound()) && std::isfinite(div.upperBound());
}

} // namespace

class TestConcentrationChart : public QObject {
    Q_OBJECT
private slots:
    void layout_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::newRow("linear") << true;
        QTest::newRow("log") << false;
    }

    void layout()
    {
        QFETCH(bool, linear);
        ZtConcentration plot;
        PlotTest::show(plot, QSize(900, 600));
        plot.setPlotSize(1280, 981);
        linear ? plot.setLinearAxis() : plot.setLogAxis();
        const QVector<ConcentrationGroup> rows = threeRows();
        plot.setData(rows, QStringLiteral("A1"));
        plot.replot();

        const QwtScaleDiv &x = plot.axisScaleDiv(QwtPlot::xBottom);
        QCOMPARE(x.lowerBound(), 0.0);
        QCOMPARE(x.upperBound(), 601.0);
        QCOMPARE(ticks(x, QwtScaleDiv::MediumTick), (QList<double>{0, 200, 400, 600}));
        QCOMPARE(ticks(x, QwtScaleDiv::MajorTick), (QList<double>{100, 300, 500}));
        QVERIFY(ticks(x, QwtScaleDiv::MinorTick).isEmpty());

        const auto *draw = dynamic_cast<const ConcentrationScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom));
        QVERIFY(draw);
        const QMap<int, QString> labels{{100, QStringLiteral("A1")}, {300, QStringLiteral("B2")}, {500, QStringLiteral("C3")}};
        QCOMPARE(draw->labels(), labels);
        QCOMPARE(draw->label(300.9).text(), QStringLiteral("B2"));
        QVERIFY(draw->label(200).text().isEmpty());
        QCOMPARE(draw->tickLength(QwtScaleDiv::MajorTick), 16.0);
        QCOMPARE(draw->tickLength(QwtScaleDiv::MediumTick), 0.0);

        // Largest upper bound 1100.
        const QwtScaleDiv &y = plot.axisScaleDiv(QwtPlot::yLeft);
        QCOMPARE(y.lowerBound(), linear ? 0.0 : 0.001);
        QVERIFY(qFuzzyCompare(y.upperBound(), linear ? 1430.0 : 2200.0));
        QCOMPARE(plot.storedYMaximum(), y.upperBound());

        // Whiskers, box and dividers, laid out for the stored size rather than the widget's.
        const int halfWidth = ChartGeometry::halfWidth(601, 1280);
        const double halfHeight = ChartGeometry::halfHeight(y.upperBound() - y.lowerBound(), 981);
        QList<QwtPlotCurve *> curves = PlotTest::curvesOf(plot);
        QCOMPARE(curves.size(), 6 * 3 + 2);
        int k = 0;
        for (int i = 0; i < rows.size(); ++i) {
            const int n = rows[i].points.size();
            for (int j = 0; j < n; ++j) {
                const ConcentrationPoint &p = rows[i].points[j];
                const ChartGeometry::BarCurves bar = ChartGeometry::barCurves(
                    ChartGeometry::barX(i, j, n), p.concentration, p.lower, p.upper, halfWidth, halfHeight);
                QCOMPARE(samplesOf(curves[k++]), bar.upperWhisker);
                QCOMPARE(samplesOf(curves[k++]), bar.lowerWhisker);
                QwtPlotCurve *box = curves[k++];
                QCOMPARE(samplesOf(box), bar.box);
                QCOMPARE(box->brush().color(), QColor(p.color));
                QCOMPARE(box->brush().style(), Qt::SolidPattern);
            }
        }
        for (QwtPlotCurve *curve : curves) {
            QCOMPARE(curve->style(), QwtPlotCurve::Lines);
            QVERIFY(curve->testRenderHint(QwtPlotItem::RenderAntialiased));
        }
        const double bottom = linear ? 0.0 : std::pow(3.0, -300.0);
        for (int i = 1; i <= 2; ++i) {
            QwtPlotCurve *divider = curves[k++];
            QCOMPARE(divider->pen().color(), QColor(200, 200, 200));
            QCOMPARE(samplesOf(divider), (QVector<QPointF>{{200.0 * i, bottom}, {200.0 * i, y.upperBound()}}));
        }
    }

    // A new setData replaces every bar and leaves what the base owns (its grid) alone.
    void replacesOnlyItsOwnItems()
    {
        ZtConcentration plot;
        plot.SetPlotGrid(true, true, QPen(Qt::gray));
        plot.setPlotSize(900, 600);
        plot.setLinearAxis();
        plot.setData(threeRows(), QStringLiteral("A1"));
        plot.setData({{QStringLiteral("only"), {point(1, 5, 4, 6, "#e42520")}}}, QStringLiteral("only"));
        QCOMPARE(PlotTest::curvesOf(plot).size(), 3);
        QCOMPARE(plot.itemList(QwtPlotItem::Rtti_PlotGrid).size(), 1);
    }

    void doubleClickRestoresTheRange()
    {
        ZtConcentration plot;
        PlotTest::show(plot, QSize(900, 600));
        plot.setPlotSize(900, 600);
        plot.setLinearAxis();
        plot.setData(threeRows(), QStringLiteral("A1"));
        plot.replot();
        const double top = plot.storedYMaximum();

        const QPoint centre = plot.canvas()->rect().center();
        for (int i = 0; i < 3; ++i) {
            QWheelEvent wheel(centre, plot.canvas()->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot.canvas(), &wheel);
        }
        plot.replot();
        QVERIFY(plot.axisScaleDiv(QwtPlot::yLeft).upperBound() < top);
        QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).upperBound(), 601.0); // the x axis does not zoom

        QSignalSpy clicked(&plot, &QwtBasic::axisYLeftDoubleClicked);
        QTest::mouseDClick(&plot, Qt::LeftButton, Qt::NoModifier, QPoint(3, plot.height() / 2));
        QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).lowerBound(), 0.0);
        QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).upperBound(), top);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().at(1).toDouble(), top);
    }

    // Rows without bars, sizes never laid out and values the statistics could not give: no
    // crash, finite axes, nothing logged, and every other bar in its own slot.
    void unusableValues_data()
    {
        QTest::addColumn<QVector<ConcentrationGroup>>("rows");
        QTest::addColumn<int>("plotSize");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<int>("curves");
        QTest::addColumn<double>("yUpper");

        QTest::newRow("no row") << QVector<ConcentrationGroup>{} << 600 << true << 0 << 1.0;
        QTest::newRow("no row, log") << QVector<ConcentrationGroup>{} << 600 << false << 0 << 1.0;
        QTest::newRow("plot never laid out") << threeRows() << 0 << true << 20 << 1430.0;
        QTest::newRow("every bound 0")
            << QVector<ConcentrationGroup>{{QStringLiteral("empty"), {point(1, 0, 0, 0, "#e42520")}}} << 600 << true << 3
            << 1.0;
        const QVector<ConcentrationGroup> saturated{
            {QStringLiteral("A1"),
             {point(1, 500, 400, 600, "#e42520"), point(2, inf, inf, inf, "#67b32e"), point(3, 300, 200, 400, "#e8a400")}},
            {QStringLiteral("B2"), {point(1, 700, 650, 750, "#437e84")}}};
        // Two whiskers and a box for each of three bars, one divider.
        QTest::newRow("every droplet positive") << saturated << 600 << true << 10 << 975.0;
        QTest::newRow("every droplet positive, log") << saturated << 600 << false << 10 << 1500.0;
        const QVector<ConcentrationGroup> nearSaturation{
            {QStringLiteral("A1"), {point(1, 500, 400, 600, "#e42520"), point(2, 2000, 1500, notANumber, "#67b32e")}}};
        // The bar without an upper bound keeps its lower whisker and box; its box is in range.
        QTest::newRow("upper bound not a number") << nearSaturation << 600 << true << 5 << 2600.0;
        QTest::newRow("upper bound not a number, log") << nearSaturation << 600 << false << 5 << 4000.0;
    }

    void unusableValues()
    {
        QFETCH(QVector<ConcentrationGroup>, rows);
        QFETCH(int, plotSize);
        QFETCH(bool, linear);
        QFETCH(int, curves);
        QFETCH(double, yUpper);

        LumaraTest::MessageRecorder log;
        ZtConcentration plot;
        PlotTest::show(plot, QSize(900, 600));
        plot.setPlotSize(plotSize, plotSize);
        linear ? plot.setLinearAxis() : plot.setLogAxis();
        plot.setData(rows, rows.isEmpty() ? QString() : rows.first().label);
        plot.replot();
        plot.grab(); // draws every item

        QVERIFY(finiteDiv(plot.axisScaleDiv(QwtPlot::xBottom)));
        QVERIFY(finiteDiv(plot.axisScaleDiv(QwtPlot::yLeft)));
        QVERIFY(qFuzzyCompare(plot.axisScaleDiv(QwtPlot::yLeft).upperBound(), yUpper));
        QCOMPARE(plot.storedYMaximum(), plot.axisScaleDiv(QwtPlot::yLeft).upperBound());
        QCOMPARE(PlotTest::curvesOf(plot).size(), curves);
        for (QwtPlotCurve *curve : PlotTest::curvesOf(plot))
            for (const QPointF &p : samplesOf(curve))
                QVERIFY(std::isfinite(p.x()) && std::isfinite(p.y()));
        QVERIFY2(log.warnings().isEmpty(), qPrintable(log.warnings().join(QLatin1Char('\n'))));

        if (rows.isEmpty()) {
            QCOMPARE(plot.axisScaleDiv(QwtPlot::xBottom).upperBound(), 1.0);
            QVERIFY(plot.axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick).isEmpty());
            const auto *draw = dynamic_cast<const ConcentrationScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom));
            QVERIFY(draw && draw->labels().isEmpty());
        }
        // A bar is drawn exactly when its concentration is finite, centred on its own slot.
        for (int i = 0; i < rows.size(); ++i) {
            const int n = rows[i].points.size();
            for (int j = 0; j < n; ++j) {
                const ConcentrationPoint &p = rows[i].points[j];
                QwtPlotCurve *box = boxOfColour(plot, p.color);
                QCOMPARE(box != nullptr, std::isfinite(p.concentration));
                if (!box)
                    continue;
                const QVector<QPointF> s = samplesOf(box);
                QCOMPARE((s[0].x() + s[1].x()) / 2, double(ChartGeometry::barX(i, j, n)));
            }
        }
    }

    // The box of a bar shows in its population's colour where its concentration is.
    void boxOnScreen_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::newRow("linear") << true;
        QTest::newRow("log") << false;
    }

    void boxOnScreen()
    {
        QFETCH(bool, linear);
        ZtConcentration plot;
        PlotTest::show(plot, QSize(800, 600));
        plot.setPlotSize(plot.width(), plot.height());
        linear ? plot.setLinearAxis() : plot.setLogAxis();
        plot.setData({{QStringLiteral("A1"), {point(1, 500, 300, 700, "#e42520")}},
                      {QStringLiteral("B2"), {point(1, 50, 20, 90, "#67b32e"), point(2, 400, 350, 450, "#437e84")}}},
                     QStringLiteral("A1"));
        plot.replot();
        const QImage image = plot.grab().toImage();
        QVERIFY(PlotTest::near(image.pixel(PlotTest::pixelOf(plot, 266, 50)), QColor("#67b32e")));
        // On a log axis a box of 10 px in linear units is only a sliver at large values.
        if (linear) {
            QVERIFY(PlotTest::near(image.pixel(PlotTest::pixelOf(plot, 100, 500)), QColor("#e42520")));
            QVERIFY(PlotTest::near(image.pixel(PlotTest::pixelOf(plot, 332, 400)), QColor("#437e84")));
        }
        // Between the whiskers, off the box: plain background.
        QVERIFY(PlotTest::near(image.pixel(PlotTest::pixelOf(plot, 266, 50) + QPoint(30, 0)), Qt::white));
    }

    // A label too long for its group shrinks until it fits, and all labels share its font.
    void longLabelShrinks()
    {
        ZtConcentration plot;
        PlotTest::show(plot, QSize(600, 400));
        plot.setPlotSize(600, 400);
        plot.setLinearAxis();
        const QString longest = QStringLiteral("a rather long sample name_Merge");
        QVector<ConcentrationGroup> rows;
        for (int i = 0; i < 4; ++i)
            rows.append({i == 2 ? longest : QStringLiteral("S%1").arg(i), {point(1, 10, 5, 15, "#e42520")}});
        plot.setData(rows, longest);
        const auto *draw = dynamic_cast<const ConcentrationScaleDraw *>(plot.axisScaleDraw(QwtPlot::xBottom));
        QVERIFY(draw);
        const QFont font = draw->label(100).font();
        QCOMPARE(font.family(), QStringLiteral("Roboto"));
        QVERIFY(font.pixelSize() < 20);
        QCOMPARE(draw->label(500).font().pixelSize(), font.pixelSize());
        const int perGroup = plot.width() / 4;
        QVERIFY(font.pixelSize() == 10 || QFontMetrics(font).horizontalAdvance(longest) + 10 <= perGroup);
    }
};

LUMARA_TEST_GUI_MAIN(TestConcentrationChart)
#include "tst_concentrationchart.moc"
