// The dot curve's own picture against Qwt drawing the same dots through a painter: the same
// pixels, within the rounding of 8-bit blending, for sparse, stacked and clipped dots; thin
// pens and unsmoothed painters left to Qwt.
#include "testmain.h"

#include "dotcurve.h"
#include "plotutil.h"

#include <QPainter>
#include <qwt_scale_map.h>
#include <random>

using Points = QVector<QPointF>;
Q_DECLARE_METATYPE(Points)

namespace {

const QSize Canvas(200, 150);

QwtScaleMap map(double paintFrom, double paintTo)
{
    QwtScaleMap m;
    m.setPaintInterval(paintFrom, paintTo);
    m.setScaleInterval(0.0, 1000.0);
    return m;
}

// The curve drawn onto a white canvas as the plot draws its items.
QImage drawn(const QwtPlotCurve &curve, bool antialiased)
{
    QImage image(Canvas, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    curve.draw(&painter, map(0, Canvas.width()), map(Canvas.height(), 0), QRectF(QPointF(0, 0), Canvas));
    painter.end();
    return image;
}

template <typename Curve>
void setUp(Curve &curve, const QString &colour, double size, const Points &points)
{
    CorvelDetail::setupDotCurve(&curve);
    curve.setPen(CorvelDetail::dotPen(colour, size));
    curve.setSamples(points);
}

struct Difference {
    int largest = 0;
    int pixels = 0; // differing by more than 2
    int coloured = 0; // pixels the reference drew on at all
};

Difference compare(const QImage &a, const QImage &b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int diff = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                       std::abs(qBlue(p) - qBlue(q))});
            d.largest = std::max(d.largest, diff);
            if (diff > 2)
                ++d.pixels;
            if (p != qRgb(255, 255, 255))
                ++d.coloured;
        }
    }
    return d;
}

Points cluster(int count, QPointF centre, double spread, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> offset(0.0, spread);
    Points points;
    for (int i = 0; i < count; ++i)
        points.append(centre + QPointF(offset(random), offset(random)));
    return points;
}

} // namespace

class TestDotCurve : public QObject {
    Q_OBJECT
private slots:
    void sameAsPainter_data();
    void sameAsPainter();
    void leftToQwt_data();
    void leftToQwt();
    void clippedToCanvas();
};

void TestDotCurve::sameAsPainter_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<double>("size");
    // Scale 0..1000 over 200 x 150 pixels: 5 and 6.67 units a pixel.
    QTest::newRow("apart") << Points{{100, 100}, {500, 500}, {512, 507}, {900, 800}} << "#2b4b9b" << 3.0;
    QTest::newRow("stacked on one pixel") << Points(40, QPointF(500, 500)) << "#e42520" << 3.0;
    QTest::newRow("dense cluster") << cluster(4000, {400, 500}, 60, 1) << "#2b4b9b" << 3.0;
    QTest::newRow("sparse cluster") << cluster(300, {600, 400}, 150, 2) << "#555555" << 3.0;
    QTest::newRow("wide dots") << cluster(200, {500, 500}, 120, 3) << "#67b32e" << 7.0;
    QTest::newRow("width between pixels") << cluster(200, {500, 500}, 120, 4) << "#e8a400" << 2.5;
    QTest::newRow("half transparent") << cluster(500, {500, 500}, 80, 5) << "#802b4b9b" << 3.0;
    QTest::newRow("on the canvas edges") << Points{{0, 0}, {1000, 1000}, {0, 1000}, {1000, 0}, {500, 0}}
                                         << "#e42520" << 3.0;
}

void TestDotCurve::sameAsPainter()
{
    QFETCH(Points, points);
    QFETCH(QString, colour);
    QFETCH(double, size);
    QwtPlotCurve reference;
    setUp(reference, colour, size, points);
    CorvelDetail::DotCurve curve;
    setUp(curve, colour, size, points);
    const QImage expected = drawn(reference, true);
    const QImage actual = drawn(curve, true);
    const Difference d = compare(expected, actual);
    QVERIFY2(d.coloured > 0, "the reference drew nothing");
    // Qt's stroker lengthens each dot by a 63rd of a pixel and blends in 8 bits; beyond
    // that the pictures must agree.
    QVERIFY2(d.largest <= 8, qPrintable(QStringLiteral("largest difference %1").arg(d.largest)));
    QVERIFY2(d.pixels * 50 <= d.coloured,
             qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(d.pixels).arg(d.coloured)));
}

void TestDotCurve::leftToQwt_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("antialiased");
    QTest::addColumn<bool>("imageBuffer");
    QTest::newRow("one-pixel dots") << 1.0 << true << true;
    QTest::newRow("unsmoothed painter") << 3.0 << false << true;
    QTest::newRow("without the image buffer") << 3.0 << true << false;
}

void TestDotCurve::leftToQwt()
{
    QFETCH(double, size);
    QFETCH(bool, antialiased);
    QFETCH(bool, imageBuffer);
    const Points points = cluster(500, {500, 500}, 100, 7);
    QwtPlotCurve reference;
    setUp(reference, QStringLiteral("#2b4b9b"), size, points);
    reference.setPaintAttribute(QwtPlotCurve::ImageBuffer, imageBuffer);
    CorvelDetail::DotCurve curve;
    setUp(curve, QStringLiteral("#2b4b9b"), size, points);
    curve.setPaintAttribute(QwtPlotCurve::ImageBuffer, imageBuffer);
    QVERIFY(curve.dotImage(map(0, Canvas.width()), map(Canvas.height(), 0), QRectF(QPointF(0, 0), Canvas), 0,
                           points.size() - 1, antialiased)
                .isNull());
    QCOMPARE(drawn(curve, antialiased), drawn(reference, antialiased));
}

void TestDotCurve::clippedToCanvas()
{
    // Dots whose centres lie outside the canvas are not drawn, not even their edges.
    CorvelDetail::DotCurve curve;
    setUp(curve, QStringLiteral("#000000"), 7.0, Points{{-4, 500}, {500, 1004}, {1003, 500}});
    const QImage image = drawn(curve, true);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
}

LUMARA_TEST_GUI_MAIN(TestDotCurve)
#include "tst_dotcurve.moc"
