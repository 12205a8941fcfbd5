// Histogram: binning, threshold markers, linear and logarithmic count axes, rendered bars.
#include "testmain.h"

#include "plottest.h"
#include "quorinhistogramplot.h"

#include <cmath>
#include <qwt_plot_histogram.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_engine.h>

using Uints = QVector<uint>;
// One expected bar: count, lower and upper edge.
using Bars = QVector<QVector<double>>;
Q_DECLARE_METATYPE(Uints)
Q_DECLARE_METATYPE(Bars)

namespace {
QwtPlotHistogram *histogramOf(const QwtPlot &plot)
{
    return PlotTest::items<QwtPlotHistogram>(plot, QwtPlotItem::Rtti_PlotHistogram).value(0);
}
} // namespace

class TestHistogram : public QObject {
    Q_OBJECT
private slots:
    void binning_data();
    void binning();
    void thresholdMarkers();
    void rendered_data();
    void rendered();
};

void TestHistogram::binning_data()
{
    QTest::addColumn<int>("binWidth");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<Uints>("values");
    QTest::addColumn<Bars>("bars");
    // 1000 / 300 = 3 bins past the first; 950 and 5000 (capped at 1000) fall in bin 3.
    QTest::newRow("four bins") << 300 << 1000 << Uints{10, 299, 300, 950, 5000, 1000}
                               << Bars{{2, 0, 300}, {1, 300, 600}, {3, 900, 1200}};
    QTest::newRow("limit on a bin edge")
        << 300 << 900 << Uints{900, 899, 0} << Bars{{1, 0, 300}, {1, 600, 900}, {1, 900, 1200}};
    QTest::newRow("single bin") << 1 << 0 << Uints{0, 5} << Bars{{2, 0, 1}};
    QTest::newRow("no values") << 100 << 1000 << Uints{} << Bars{};
    // 2e9 bins: counted without a dense array; 4e9 is capped at 2e9.
    QTest::newRow("huge limit") << 1 << 2000000000 << Uints{3, 3, 2000000000u, 4000000000u}
                                << Bars{{2, 3, 4}, {2, 2e9, 2e9 + 1}};
    QTest::newRow("zero bin width is refused") << 0 << 1000 << Uints{5} << Bars{};
    QTest::newRow("negative limit is refused") << 10 << -1 << Uints{5} << Bars{};
}

void TestHistogram::binning()
{
    QFETCH(int, binWidth);
    QFETCH(int, maxValue);
    QFETCH(Uints, values);
    QFETCH(Bars, bars);
    if (binWidth < 1 || maxValue < 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot bin values"));
    QuorinHistogramPlot plot;
    plot.setAxisScale(QwtPlot::xBottom, 5, 6);
    plot.SetHistogramData(QStringLiteral("#009944"), binWidth, maxValue, values);
    QwtPlotHistogram *h = histogramOf(plot);
    QVERIFY(h);
    QCOMPARE(int(h->dataSize()), bars.size());
    for (int i = 0; i < bars.size(); ++i) {
        const QwtIntervalSample s = h->sample(i);
        QCOMPARE(s.value, bars[i][0]);
        QCOMPARE(s.interval.minValue(), bars[i][1]);
        QCOMPARE(s.interval.maxValue(), bars[i][2]);
        QCOMPARE(s.interval.borderFlags(), QwtInterval::BorderFlags(QwtInterval::ExcludeBorders));
    }
    QCOMPARE(h->baseline(), 1.0);
    QCOMPARE(h->brush().color(), QColor("#009944"));
    QVERIFY(plot.axisAutoScale(QwtPlot::xBottom) && plot.axisAutoScale(QwtPlot::yLeft));
}

void TestHistogram::thresholdMarkers()
{
    QuorinHistogramPlot plot;
    // Solid marker first, dotted second: the order they were attached in.
    const QList<QwtPlotMarker *> m = PlotTest::markersOf(plot);
    QCOMPARE(m.size(), 2);
    QVERIFY(!m[0]->isVisible() && !m[1]->isVisible());
    QCOMPARE(m[0]->lineStyle(), QwtPlotMarker::VLine);

    plot.SetHistogramThresholdSoildLineDraw(QStringLiteral("#ff0014"), 1.8);
    plot.SetHistogramThresholdDottedLineDraw(QStringLiteral("#0024d9"), 1.2);
    plot.SetHistogramThresholdSoildLineValue(4200);
    plot.SetHistogramThresholdDottedLineValue(3900);
    QVERIFY(m[0]->isVisible() && m[1]->isVisible());
    QCOMPARE(plot.getSolidlineThreshold(), 4200.0);
    QCOMPARE(plot.getDotlineThreshold(), 3900.0);
    QCOMPARE(plot.GetSolidlinePen().style(), Qt::SolidLine);
    QCOMPARE(plot.GetSolidlinePen().widthF(), 1.8);
    QCOMPARE(plot.GetDotlinePen().style(), Qt::DotLine);
    QCOMPARE(plot.GetDotlinePen().color(), QColor("#0024d9"));

    plot.SetHistogramThresholdDottedLineVisible(false);
    QVERIFY(!m[1]->isVisible());
    plot.SetHistogramThresholdSoildLineDraw(QStringLiteral("#ff0014"), 3.0);
    QVERIFY(!m[1]->isVisible()); // hidden until its next value
    plot.SetHistogramThresholdDottedLineValue(3800);
    QVERIFY(m[1]->isVisible());
}

void TestHistogram::rendered_data()
{
    QTest::addColumn<bool>("logAxis");
    QTest::newRow("linear counts") << false;
    QTest::newRow("logarithmic counts") << true;
}

void TestHistogram::rendered()
{
    QFETCH(bool, logAxis);
    QTemporaryDir dir;
    QuorinHistogramPlot plot;
    PlotTest::show(plot);
    plot.setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    // Bars of 1, 10 and 100 droplets at 0..100, 200..300 and 500..600.
    Uints values{50};
    values += Uints(10, 250);
    values += Uints(100, 555);
    if (logAxis)
        plot.SetLogAxis(QwtPlot::yLeft);
    else
        plot.SetLinearAxis(QwtPlot::yLeft);
    plot.SetHistogramData(QStringLiteral("#009944"), 100, 1000, values);
    plot.SetHistogramThresholdSoildLineDraw(QStringLiteral("#ff0014"), 2);
    plot.SetHistogramThresholdSoildLineValue(400);
    plot.SetHistogramThresholdDottedLineDraw(QStringLiteral("#0024d9"), 2);
    plot.SetHistogramThresholdDottedLineValue(150);
    const QImage img = PlotTest::renderPng(plot, dir, logAxis ? "log" : "linear");
    QVERIFY(!img.isNull());

    const QwtScaleDiv &div = plot.axisScaleDiv(QwtPlot::yLeft);
    const QList<double> major = div.ticks(QwtScaleDiv::MajorTick);
    QVERIFY(major.size() >= 2);
    QCOMPARE(bool(dynamic_cast<const QwtLogScaleEngine *>(plot.axisScaleEngine(QwtPlot::yLeft))),
             logAxis);
    for (int i = 1; i < major.size(); ++i) {
        if (logAxis) // decades on a base-10 count axis
            QVERIFY(qAbs(std::log10(major[i]) - std::round(std::log10(major[i]))) < 1e-9);
        else
            QVERIFY(qAbs((major[i] - major[i - 1]) - (major[1] - major[0])) < 1e-9);
    }
    QVERIFY(div.upperBound() >= 100);

    const QColor bar("#009944");
    // Inside the 10-droplet bar at a count of 5; above it at 20; the empty bin 300..400.
    QVERIFY(PlotTest::countNear(img, PlotTest::pixelOf(plot, 250, 5), bar) == 9);
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 250, 20), bar), 0);
    QCOMPARE(PlotTest::countNear(img, PlotTest::pixelOf(plot, 350, 5), bar), 0);
    QVERIFY(PlotTest::countNear(img, PlotTest::pixelOf(plot, 550, 50), bar) == 9);

    // Solid line: every pixel of its column is drawn; the dotted one leaves gaps.
    const QRect canvas = plot.canvas()->geometry();
    const int solidX = PlotTest::pixelOf(plot, 400, 1).x();
    const int dottedX = PlotTest::pixelOf(plot, 150, 1).x();
    const int solid = PlotTest::countIn(img, QRect(solidX - 1, canvas.top(), 3, canvas.height()),
                                        QColor("#ff0014"));
    const int dotted = PlotTest::countIn(img, QRect(dottedX - 1, canvas.top(), 3, canvas.height()),
                                         QColor("#0024d9"));
    QVERIFY2(solid >= canvas.height() - 4, qPrintable(QString::number(solid)));
    QVERIFY2(dotted > canvas.height() / 4 && dotted < solid * 3 / 4,
             qPrintable(QString::number(dotted)));
}

LUMARA_TEST_GUI_MAIN(TestHistogram)
#include "tst_histogram.moc"
