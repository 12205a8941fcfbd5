// The thumbnails' dot layer, painted without the plot widget, against the same dots drawn by
// the plot's own curves: the grabbed plots agree pixel for pixel within antialiasing noise.
#include "plots/TwoDotPlot/dotlayer.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/plotstyle.h"
#include "shell/appresources.h"

#include "testmain.h"

#include <QRandomGenerator>
#include <QtTest>

#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>

Q_DECLARE_METATYPE(PointMap)

namespace {

PointMap randomMap(int perColour, quint32 seed)
{
    QRandomGenerator random(seed);
    PointMap map;
    for (const char *colour : {"#4FB1DB", "#F06060", "#555555", "#66CC71"}) {
        QVector<QPointF> points;
        for (int i = 0; i < perColour; ++i)
            points.append(QPointF(1000 + random.bounded(30000), 500 + random.bounded(20000)));
        map.append(qMakePair(QString::fromLatin1(colour), points));
    }
    return map;
}

void prepare(Zt2DPlot *plot)
{
    plot->resize(750, 550);
    plot->setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    plot->ensurePolished();
    plot->SetTitleName(QwtPlot::xBottom, QStringLiteral("x"));
    plot->SetTitleName(QwtPlot::yLeft, QStringLiteral("y"));
    plot->setThresholdVisible(true);
    plot->setSolidXLinePen(QStringLiteral("#0000ff"), 1.8);
    plot->setSolidYLinePen(QStringLiteral("#00aa00"), 1.8);
    plot->setDottedXLinePen(QStringLiteral("#0000ff"), 1.8);
    plot->setDottedYLinePen(QStringLiteral("#00aa00"), 1.8);
    plot->setSolidThreshold(QPointF(15000, 9000));
    plot->setDottedThreshold(QPointF(12000, 7000));
}

} // namespace

class TestDotLayer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void bounds_data();
    void bounds();
    void matchesCurves_data();
    void matchesCurves();
};

void TestDotLayer::bounds_data()
{
    QTest::addColumn<PointMap>("map");
    QTest::addColumn<QRectF>("bounds");
    QTest::newRow("empty") << PointMap{} << QRectF();
    QTest::newRow("empty pairs") << PointMap{{"a", {}}, {"b", {}}} << QRectF();
    QTest::newRow("one point") << PointMap{{"a", {QPointF(3, 4)}}} << QRectF(3, 4, 0, 0);
    QTest::newRow("over pairs") << PointMap{{"a", {QPointF(3, 40)}}, {"b", {}}, {"c", {QPointF(-2, 7), QPointF(9, 8)}}}
                                << QRectF(QPointF(-2, 7), QPointF(9, 40));
}

void TestDotLayer::bounds()
{
    QFETCH(PointMap, map);
    QFETCH(QRectF, bounds);
    const QRectF got = pointMapBounds(map);
    if (bounds == QRectF()) {
        // No points: no bounds, so the plot's automatic scale ignores the layer.
        QVERIFY(!got.isValid());
        return;
    }
    QCOMPARE(got, bounds);
}

void TestDotLayer::matchesCurves_data()
{
    QTest::addColumn<int>("perColour");
    QTest::newRow("sparse") << 200;
    QTest::newRow("dense, overlapping") << 5000;
}

void TestDotLayer::matchesCurves()
{
    QFETCH(int, perColour);
    const PointMap map = randomMap(perColour, 26);

    Zt2DPlot curves;
    prepare(&curves);
    curves.addCurves(map, 3.0);
    curves.updateAxes();
    const QImage expected = curves.grab().toImage().convertToFormat(QImage::Format_RGB32);

    Zt2DPlot layered;
    prepare(&layered);
    auto *item = new DotLayerItem(pointMapBounds(map));
    item->attach(&layered);
    layered.updateAxes();
    // The automatic ranges from the item's bounds are those of the curves.
    for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        QCOMPARE(layered.axisScaleDiv(axis).lowerBound(), curves.axisScaleDiv(axis).lowerBound());
        QCOMPARE(layered.axisScaleDiv(axis).upperBound(), curves.axisScaleDiv(axis).upperBound());
    }
    layered.updateLayout();
    const QImage layer = paintDotLayer(map, layered.canvas()->size(), layered.canvasMap(QwtPlot::xBottom),
                                       layered.canvasMap(QwtPlot::yLeft), 3.0);
    item->setLayer(layer);
    const QImage got = layered.grab().toImage().convertToFormat(QImage::Format_RGB32);

    QCOMPARE(got.size(), expected.size());
    int differing = 0;
    int coloured = 0;
    for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
            const QColor a = got.pixelColor(x, y);
            const QColor b = expected.pixelColor(x, y);
            const int d = std::max({qAbs(a.red() - b.red()), qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())});
            differing += d > 48 ? 1 : 0;
            coloured += b.saturation() > 80 ? 1 : 0;
        }
    }
    QVERIFY(coloured > 1000);
    // Antialiased edges may round apart; whole dots may not.
    QVERIFY2(differing * 200 < coloured, qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(coloured)));
}

LUMARA_TEST_GUI_MAIN(TestDotLayer)
#include "tst_dotlayer.moc"
