// The uncertainty chart: what setData attaches for no, one and several rows, rows whose
// figures are not finite, the percent axis and its labels.
#include "pages/ViewResult/uncertainlyscaledraw.h"
#include "pages/ViewResult/ztuncertainly.h"
#include "messagerecorder.h"
#include "plottest.h"
#include "testmain.h"

#include <cmath>
#include <limits>
#include <qwt_symbol.h>

Q_DECLARE_METATYPE(QVector<UncertainlyPlotItem>)

namespace {

// A well of 20000 droplets of the default volume (no document is open) with the given
// positives, as the business layer computes it.
UncertainlyPlotItem rowOf(uint total, uint positive, const char *color)
{
    ResultCalculate calculate;
    return UncertainlyPlotItem{{calculate.uncertaintyCurve(total, positive, 1.0, 999999)}, QString::fromLatin1(color)};
}

UncertainlyPlotItem estimateAt(double uncertainty)
{
    UncertainlyPlotItem item;
    item.concentration = 100;
    item.uncertaintyAtConcentration = uncertainty;
    item.color = QStringLiteral("#e42520");
    return item;
}

struct Marks {
    int points = 0;
    int hollow = 0;
    int rangeLines = 0;
    int crosses = 0;
};

Marks marksOf(const QwtPlot &plot)
{
    Marks marks;
    for (QwtPlotMarker *marker : PlotTest::markersOf(plot)) {
        if (marker->lineStyle() == QwtPlotMarker::VLine)
            ++marks.rangeLines;
        else if (marker->lineStyle() == QwtPlotMarker::Cross)
            ++marks.crosses;
        else if (marker->symbol() && marker->symbol()->brush().style() == Qt::SolidPattern)
            ++marks.points;
        else if (marker->symbol())
            ++marks.hollow;
    }
    return marks;
}

QwtPlotMarker *markerOf(const QwtPlot &plot, QwtPlotMarker::LineStyle style, Qt::BrushStyle symbolBrush = Qt::NoBrush)
{
    for (QwtPlotMarker *marker : PlotTest::markersOf(plot))
        if (marker->lineStyle() == style &&
            (style != QwtPlotMarker::NoLine || (marker->symbol() && marker->symbol()->brush().style() == symbolBrush)))
            return marker;
    return nullptr;
}

} // namespace

class TestUncertaintyChart : public QObject {
    Q_OBJECT
private slots:
    void rows_data()
    {
        QTest::addColumn<QVector<UncertainlyPlotItem>>("items");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("hollow");
        QTest::addColumn<int>("rangeLines");
        QTest::addColumn<int>("crosses");

        QTest::newRow("no row") << QVector<UncertainlyPlotItem>{} << 0 << 0 << 0 << 0;
        QTest::newRow("one row") << QVector<UncertainlyPlotItem>{rowOf(20000, 4000, "#e42520")} << 1 << 1 << 2 << 1;
        QTest::newRow("two rows") << QVector<UncertainlyPlotItem>{rowOf(20000, 4000, "#e42520"),
                                                                  rowOf(20000, 9000, "#e42520")}
                                  << 2 << 0 << 0 << 0;
        // A merged row without the population: no droplets, so no detection limit, and no
        // uncertainty at its estimate to mark.
        QTest::newRow("all-zero record") << QVector<UncertainlyPlotItem>{rowOf(0, 0, "#67b32e")} << 0 << 1 << 1 << 0;
        // No positives among 20000: no uncertainty at the estimate either.
        QTest::newRow("no positives") << QVector<UncertainlyPlotItem>{rowOf(20000, 0, "#67b32e")} << 0 << 1 << 2 << 0;
        // Every droplet positive: the estimate is infinite and gets no mark.
        QTest::newRow("every droplet positive")
            << QVector<UncertainlyPlotItem>{rowOf(20000, 20000, "#67b32e")} << 0 << 1 << 2 << 0;
        QTest::newRow("every droplet positive, second of two")
            << QVector<UncertainlyPlotItem>{rowOf(20000, 4000, "#e42520"), rowOf(20000, 20000, "#67b32e")} << 1 << 0
            << 0 << 0;
    }

    void rows()
    {
        QFETCH(QVector<UncertainlyPlotItem>, items);
        QFETCH(int, points);
        QFETCH(int, hollow);
        QFETCH(int, rangeLines);
        QFETCH(int, crosses);

        LumaraTest::MessageRecorder log;
        ZtUncertainly plot(12);
        PlotTest::show(plot, QSize(800, 600));
        for (bool linear : {true, false}) {
            linear ? plot.setLinearAxis() : plot.setLogAxis();
            plot.setData(items);
            plot.replot();
            plot.grab();

            const QList<QwtPlotCurve *> curves = PlotTest::curvesOf(plot);
            QCOMPARE(curves.size(), items.isEmpty() ? 0 : 1);
            if (!items.isEmpty())
                QCOMPARE(int(curves.first()->dataSize()), items.first().curve.size());
            const Marks marks = marksOf(plot);
            QCOMPARE(marks.points, points);
            QCOMPARE(marks.hollow, hollow);
            QCOMPARE(marks.rangeLines, rangeLines);
            QCOMPARE(marks.crosses, crosses);
            for (QwtPlotMarker *marker : PlotTest::markersOf(plot))
                QVERIFY(std::isfinite(marker->xValue()) && std::isfinite(marker->yValue()));
            for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
                const QwtScaleDiv &div = plot.axisScaleDiv(axis);
                QVERIFY(std::isfinite(div.lowerBound()) && std::isfinite(div.upperBound()));
            }
            if (items.isEmpty())
                QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).upperBound(), 24.0);
        }
        QVERIFY2(log.warnings().isEmpty(), qPrintable(log.warnings().join(QLatin1Char('\n'))));
    }

    void oneRowInDetail()
    {
        ZtUncertainly plot(12);
        const UncertainlyPlotItem item = rowOf(20000, 4000, "#437e84");
        QVERIFY(item.curve.size() > 100);
        plot.setData({item});

        QwtPlotCurve *curve = PlotTest::curvesOf(plot).first();
        QCOMPARE(curve->sample(0), item.curve.first());
        QCOMPARE(curve->sample(int(curve->dataSize()) - 1), item.curve.last());
        const QPen pen = curve->pen();
        QCOMPARE(pen.widthF(), 2.0);
        QCOMPARE(pen.style(), Qt::SolidLine);
        QCOMPARE(pen.capStyle(), Qt::SquareCap);
        QCOMPARE(pen.joinStyle(), Qt::BevelJoin);
        QCOMPARE(pen.color().rgb(), QColor(11, 11, 11).rgb());
        QCOMPARE(pen.color().alpha(), qRound(0.8 * 255));

        QwtPlotMarker *point = markerOf(plot, QwtPlotMarker::NoLine, Qt::SolidPattern);
        QVERIFY(point);
        QCOMPARE(point->value(), QPointF(item.concentration, item.uncertaintyAtConcentration));
        QCOMPARE(point->symbol()->size(), QSize(10, 10));
        QCOMPARE(point->symbol()->brush().color(), QColor("#437e84"));

        QwtPlotMarker *optimal = markerOf(plot, QwtPlotMarker::NoLine, Qt::NoBrush);
        QVERIFY(optimal);
        QCOMPARE(optimal->value(), QPointF(item.concentrationAtRef, item.uncertaintyAtRef));
        QCOMPARE(optimal->symbol()->size(), QSize(8, 8));
        QCOMPARE(optimal->symbol()->pen().color(), QColor("#437e84"));

        QwtPlotMarker *cross = markerOf(plot, QwtPlotMarker::Cross);
        QVERIFY(cross);
        QCOMPARE(cross->value(), QPointF(item.concentration, item.uncertaintyAtConcentration));
        QCOMPARE(cross->linePen().style(), Qt::DotLine);
        QCOMPARE(cross->linePen().widthF(), 2.0);
        QCOMPARE(cross->linePen().color(), QColor("#437e84"));

        QList<double> limits;
        for (QwtPlotMarker *marker : PlotTest::markersOf(plot)) {
            if (marker->lineStyle() != QwtPlotMarker::VLine)
                continue;
            limits.append(marker->xValue());
            QCOMPARE(marker->linePen().style(), Qt::DashLine);
            QCOMPARE(marker->linePen().color(), QColor(QStringLiteral("gray")));
            QCOMPARE(marker->linePen().widthF(), 2.0);
        }
        QCOMPARE(limits, (QList<double>{item.upperConcentration, item.detectionLimit}));
    }

    void percentAxis_data()
    {
        QTest::addColumn<double>("largest");
        QTest::addColumn<double>("upper");
        QTest::newRow("15") << 15.0 << 24.0;
        QTest::newRow("20") << 20.0 << 44.0;
        QTest::newRow("45") << 45.0 << 64.0;
        QTest::newRow("60") << 60.0 << 80.0;
    }

    // The largest estimate of all rows decides, wherever it stands.
    void percentAxis()
    {
        QFETCH(double, largest);
        QFETCH(double, upper);
        ZtUncertainly plot(12);
        plot.setData({estimateAt(3), estimateAt(largest), estimateAt(10)});
        plot.replot();
        QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).lowerBound(), 0.0);
        QCOMPARE(plot.axisScaleDiv(QwtPlot::yLeft).upperBound(), upper);
    }

    void percentLabels_data()
    {
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("unscaled") << 12 << QColor(85, 85, 85);
        QTest::newRow("scaled") << 16 << QColor(51, 51, 51);
    }

    void percentLabels()
    {
        QFETCH(int, pixelSize);
        QFETCH(QColor, colour);
        ZtUncertainly plot(pixelSize);
        const auto *draw = dynamic_cast<const UncertainlyScaleDraw *>(plot.axisScaleDraw(QwtPlot::yLeft));
        QVERIFY(draw);
        const QwtText label = draw->label(12.5);
        QCOMPARE(label.text(), QStringLiteral("12%"));
        QCOMPARE(label.font().pixelSize(), pixelSize);
        QCOMPARE(label.font().family(), QStringLiteral("Roboto"));
        QCOMPARE(label.color(), colour);
        QCOMPARE(draw->label(40).text(), QStringLiteral("40%"));
    }

    void estimateOnScreen()
    {
        ZtUncertainly plot(12);
        PlotTest::show(plot, QSize(800, 600));
        plot.setLinearAxis();
        const UncertainlyPlotItem first = rowOf(20000, 4000, "#e42520");
        const UncertainlyPlotItem second = rowOf(20000, 9000, "#67b32e");
        plot.setData({first, second});
        plot.replot();
        const QImage image = plot.grab().toImage();
        QVERIFY(PlotTest::countNear(image, PlotTest::pixelOf(plot, first.concentration, first.uncertaintyAtConcentration),
                                    QColor("#e42520"), 2) >= 9);
        QVERIFY(PlotTest::countNear(image, PlotTest::pixelOf(plot, second.concentration, second.uncertaintyAtConcentration),
                                    QColor("#67b32e"), 2) >= 9);
    }
};

LUMARA_TEST_GUI_MAIN(TestUncertaintyChart)
#include "tst_uncertaintychart.moc"
