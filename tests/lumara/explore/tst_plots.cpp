// The explore pick plots under real mouse events on their canvas, axes fixed: a left click
// picks a threshold side or quadrant, a left drag a rectangle, any other button cancels; what
// each emits and the shape it draws; polygon mode; presses beyond the axes; the help action.
#define QTEST_QPA_MOUSE_HANDLING
#include "pages/Explore/explore1ddot.h"
#include "pages/Explore/explore2ddot.h"

#include "bll/bllinstance.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QLabel>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_shapeitem.h>

#include <cmath>
#include <memory>

using Range = QPair<quint32, quint32>;
Q_DECLARE_METATYPE(Range)

namespace {

constexpr double XUpper = 1000;
constexpr double YUpper = 10000;

// A plot in a shown window with both axes fixed, so that values and canvas pixels map both ways.
template <typename Plot>
struct Shown {
    Shown()
    {
        host.reset(new QWidget);
        host->resize(600, 500);
        auto *layout = new QVBoxLayout(host.get());
        layout->setContentsMargins(0, 0, 0, 0);
        plot = new Plot(host.get());
        layout->addWidget(plot);
        plot->setAxisScale(QwtPlot::xBottom, 0, XUpper);
        plot->setAxisScale(QwtPlot::yLeft, 0, YUpper);
        host->show();
        if (!QTest::qWaitForWindowExposed(host.get()))
            QTest::qFail("the plot was never exposed", __FILE__, __LINE__);
        plot->replot();
        QApplication::processEvents();
    }
    ~Shown()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    QWidget *canvas() const { return plot->canvas(); }
    QPoint pixel(double x, double y) const
    {
        return QPoint(qRound(plot->transform(QwtPlot::xBottom, x)), qRound(plot->transform(QwtPlot::yLeft, y)));
    }
    // What the plot takes the pixel for: each value truncated toward zero.
    QPointF value(const QPoint &p) const
    {
        return QPointF(std::trunc(plot->invTransform(QwtPlot::xBottom, p.x())),
                       std::trunc(plot->invTransform(QwtPlot::yLeft, p.y())));
    }
    void drag(const QPoint &from, const QPoint &to) const
    {
        QTest::mousePress(canvas(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(canvas(), (from + to) / 2);
        QTest::mouseMove(canvas(), to);
        QTest::mouseRelease(canvas(), Qt::LeftButton, Qt::NoModifier, to);
    }
    // The pick's rectangle while it is on the plot; null when it is not.
    QRectF pick() const
    {
        const QwtPlotShapeItem *shape = plot->shape();
        return shape->plot() ? shape->shape().boundingRect() : QRectF();
    }
    std::unique_ptr<QWidget> host;
    Plot *plot = nullptr;
};

// Runs the check on a shown 2D or 1D plot.
template <typename Check>
void onPlot(bool twoD, Check check)
{
    if (twoD) {
        Shown<Explore2DDot> s;
        check(s);
    } else {
        Shown<Explore1DDot> s;
        check(s);
    }
}

bool seedMode(LumaraAnalysisData::ThresholdMode mode)
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.mode = mode;
    BllTest::WellSeed w = BllTest::well(1, QStringLiteral("A1"), {1, 2});
    w.droplets.append(BllTest::droplet({{10, 10, 0, 0, 0, 0}}));
    seed.wells = {w};
    QString error;
    const bool done = BllTest::seedDocument(seed, nullptr, &error);
    if (!done)
        qWarning() << error;
    return done && BLLInstance::getInstance()->getThldType() == mode;
}

QColor areaColour()
{
    return QColor(191, 236, 255);
}

QColor rectColour()
{
    return QColor(QStringLiteral("#b37c4e"));
}

} // namespace

class TestExplorePlots : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qRegisterMetaType<Range>("QPair<quint32,quint32>");
        initAppResources();
        BLLInstance::createSingletons();
        QVERIFY(seedMode(LumaraAnalysisData::LineThreshold));
    }
    void cleanup() { imageActionMode = 0; }
    void oneDClick_data();
    void oneDClick();
    void twoDClick_data();
    void twoDClick();
    void drags_data();
    void drags();
    void dragBeyondTheAxesEndsAtZero_data();
    void dragBeyondTheAxesEndsAtZero();
    void otherButtonCancels_data();
    void otherButtonCancels();
    void pressBeyondUpperBound_data();
    void pressBeyondUpperBound();
    void polygonModeClicks_data();
    void polygonModeClicks();
    void helpAction_data();
    void helpAction();
    void twoDLinesAndSeries();
};

void TestExplorePlots::oneDClick_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("offset"); // pixels above (negative) or below the threshold's pixel
    QTest::addColumn<bool>("positive");
    QTest::newRow("well above") << 8000.0 << 0 << true;
    QTest::newRow("well below") << 1000.0 << 0 << false;
    QTest::newRow("exactly on the threshold counts as below") << 4000.0 << 0 << false;
    QTest::newRow("one pixel above the threshold") << 4000.0 << -1 << true;
}

void TestExplorePlots::oneDClick()
{
    QFETCH(double, y);
    QFETCH(int, offset);
    QFETCH(bool, positive);
    Shown<Explore1DDot> s;
    // The threshold sits exactly on what the pixel at 4000 reads as.
    const int threshold = int(s.value(s.pixel(500, 4000)).y());
    s.plot->setThresholdLines({QPolygonF(QVector<QPointF>{QPointF(0, threshold), QPointF(XUpper, threshold)})});
    QCOMPARE(s.plot->threshold(), threshold);
    QSignalSpy side(s.plot, &Explore1DDot::showMarkerByThreshold);
    QSignalSpy rect(s.plot, &Explore1DDot::showMarkerBySelectRect);
    const QPoint at = (y == 4000.0 ? s.pixel(500, threshold) : s.pixel(500, y)) + QPoint(0, offset);
    QTest::mouseClick(s.canvas(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(side.count(), 1);
    QCOMPARE(side.at(0).at(0).toBool(), positive);
    QCOMPARE(rect.count(), 0);
    const QRectF expected = positive ? QRectF(QPointF(0, threshold), QPointF(XUpper, YUpper))
                                     : QRectF(QPointF(0, 0), QPointF(XUpper, threshold));
    QCOMPARE(s.pick(), expected);
    QCOMPARE(s.plot->shape()->pen().color(), areaColour());
    QCOMPARE(s.plot->shape()->brush().color().alphaF(), 0.6);
    // Drawn again without a click, the area is the same.
    s.plot->clearSelection();
    QCOMPARE(s.plot->shape()->shape().boundingRect(), QRectF());
    s.plot->drawThresholdArea(positive);
    QCOMPARE(s.pick(), expected);
}

void TestExplorePlots::twoDClick_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("xPositive");
    QTest::addColumn<bool>("yPositive");
    QTest::addColumn<QRectF>("quadrant");
    // Thresholds (400, 5000) on axes 0..1000 and 0..10000.
    QTest::newRow("both positive") << QPointF(700, 8000) << true << true << QRectF(400, 5000, 600, 5000);
    QTest::newRow("only y") << QPointF(100, 8000) << false << true << QRectF(0, 5000, 400, 5000);
    QTest::newRow("neither") << QPointF(100, 1000) << false << false << QRectF(0, 0, 400, 5000);
    QTest::newRow("only x") << QPointF(700, 1000) << true << false << QRectF(400, 0, 600, 5000);
    QTest::newRow("on the vertical line above the horizontal one: only x")
        << QPointF(400, 8000) << true << false << QRectF(400, 0, 600, 5000);
    QTest::newRow("on the horizontal line left of the vertical one: only x")
        << QPointF(100, 5000) << true << false << QRectF(400, 0, 600, 5000);
}

void TestExplorePlots::twoDClick()
{
    QFETCH(QPointF, at);
    QFETCH(bool, xPositive);
    QFETCH(bool, yPositive);
    QFETCH(QRectF, quadrant);
    Shown<Explore2DDot> s;
    // Thresholds exactly on what the pixels of the lines read as, so that clicks land on them.
    const QPointF lines(s.value(s.pixel(400, 8000)).x(), s.value(s.pixel(100, 5000)).y());
    s.plot->setThresholds(lines);
    const QPoint pixel = s.pixel(at.x() == 400 ? lines.x() : at.x(), at.y() == 5000 ? lines.y() : at.y());
    // The rectangle the quadrant spans with the lines where they really are.
    auto moved = [&](double v, double nominal, double real) { return v == nominal ? real : v; };
    const QRectF expected(QPointF(moved(quadrant.left(), 400, lines.x()), moved(quadrant.top(), 5000, lines.y())),
                          QPointF(moved(quadrant.right(), 400, lines.x()),
                                  moved(quadrant.bottom(), 5000, lines.y())));
    QRectF seenAtSignal(-1, -1, -1, -1);
    QSignalSpy spy(s.plot, &Explore2DDot::showMarkerByThreshold);
    connect(s.plot, &Explore2DDot::showMarkerByThreshold, this,
            [&] { seenAtSignal = s.plot->shape()->shape().boundingRect(); });
    QTest::mouseClick(s.canvas(), Qt::LeftButton, Qt::NoModifier, pixel);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), xPositive);
    QCOMPARE(spy.at(0).at(1).toBool(), yPositive);
    // The signal goes out before the shape changes.
    QCOMPARE(seenAtSignal, QRectF());
    QCOMPARE(s.pick(), expected);
    QCOMPARE(s.plot->shape()->pen().color(), areaColour());
    // Drawn by code, the quadrant is the same; another code gives an empty pick.
    const int code = xPositive ? (yPositive ? 0 : 3) : (yPositive ? 1 : 2);
    s.plot->clearSelection();
    s.plot->drawQuadrant(code);
    QCOMPARE(s.pick(), expected);
    s.plot->drawQuadrant(7);
    QCOMPARE(s.pick(), QRectF());
}

void TestExplorePlots::drags_data()
{
    QTest::addColumn<bool>("twoD");
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("1D left to right, down") << false << QPointF(200, 7000) << QPointF(600, 3000);
    QTest::newRow("1D right to left keeps the drag order") << false << QPointF(600, 3000) << QPointF(200, 7000);
    QTest::newRow("2D left to right") << true << QPointF(200, 3000) << QPointF(600, 7000);
    QTest::newRow("2D right to left is ordered") << true << QPointF(600, 7000) << QPointF(200, 3000);
}

void TestExplorePlots::drags()
{
    QFETCH(bool, twoD);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    auto check = [&](auto &s) {
        QSignalSpy rect(s.plot, &std::remove_pointer_t<decltype(s.plot)>::showMarkerBySelectRect);
        QSignalSpy side(s.plot, &std::remove_pointer_t<decltype(s.plot)>::showMarkerByThreshold);
        const QPoint a = s.pixel(from.x(), from.y());
        const QPoint b = s.pixel(to.x(), to.y());
        s.drag(a, b);
        QCOMPARE(side.count(), 0);
        QCOMPARE(rect.count(), 1);
        const QPointF va = s.value(a);
        const QPointF vb = s.value(b);
        Range xr(quint32(va.x()), quint32(vb.x()));
        Range yr(quint32(va.y()), quint32(vb.y()));
        if (twoD) {
            xr = Range(std::min(xr.first, xr.second), std::max(xr.first, xr.second));
            yr = Range(std::min(yr.first, yr.second), std::max(yr.first, yr.second));
        }
        QCOMPARE(rect.at(0).at(0).template value<Range>(), xr);
        QCOMPARE(rect.at(0).at(1).template value<Range>(), yr);
        QCOMPARE(s.pick(), QRectF(va, vb).normalized());
        QCOMPARE(s.plot->shape()->pen().color(), rectColour());
        QCOMPARE(s.plot->shape()->brush().color().alphaF(), 0.2);
    };
    onPlot(twoD, check);
}

void TestExplorePlots::dragBeyondTheAxesEndsAtZero_data()
{
    QTest::addColumn<bool>("twoD");
    QTest::newRow("1D") << false;
    QTest::newRow("2D") << true;
}

// A drag whose pointer leaves the axes to the left and below ends at grey value 0; a negative
// value must not wrap to a huge unsigned end.
void TestExplorePlots::dragBeyondTheAxesEndsAtZero()
{
    QFETCH(bool, twoD);
    auto check = [&](auto &s) {
        QSignalSpy rect(s.plot, &std::remove_pointer_t<decltype(s.plot)>::showMarkerBySelectRect);
        const QPoint a = s.pixel(600, 7000);
        const QPoint b = s.pixel(0, 0) + QPoint(-15, 15);
        QVERIFY(s.value(b).x() < 0 && s.value(b).y() < 0);
        s.drag(a, b);
        QCOMPARE(rect.count(), 1);
        const QPointF va = s.value(a);
        const auto xr = rect.at(0).at(0).template value<Range>();
        const auto yr = rect.at(0).at(1).template value<Range>();
        QCOMPARE(std::min(xr.first, xr.second), 0u);
        QCOMPARE(std::max(xr.first, xr.second), quint32(va.x()));
        QCOMPARE(std::min(yr.first, yr.second), 0u);
        QCOMPARE(std::max(yr.first, yr.second), quint32(va.y()));
    };
    onPlot(twoD, check);
}

void TestExplorePlots::otherButtonCancels_data()
{
    QTest::addColumn<bool>("twoD");
    QTest::addColumn<int>("button");
    QTest::newRow("1D right") << false << int(Qt::RightButton);
    QTest::newRow("1D middle") << false << int(Qt::MiddleButton);
    QTest::newRow("2D right") << true << int(Qt::RightButton);
    QTest::newRow("2D middle") << true << int(Qt::MiddleButton);
}

void TestExplorePlots::otherButtonCancels()
{
    QFETCH(bool, twoD);
    QFETCH(int, button);
    auto check = [&](auto &s) {
        using Plot = std::remove_pointer_t<decltype(s.plot)>;
        s.plot->drawSelectRect(QPointF(100, 1000), QPointF(300, 4000));
        QVERIFY(!s.pick().isNull());
        QSignalSpy cancel(s.plot, &Plot::canlcelMark);
        QSignalSpy rect(s.plot, &Plot::showMarkerBySelectRect);
        QSignalSpy side(s.plot, &Plot::showMarkerByThreshold);
        imageActionMode = 2;
        // A drag with that button is no pick either.
        s.drag(s.pixel(200, 2000), s.pixel(600, 6000));
        QTest::mouseClick(s.canvas(), Qt::MouseButton(button), Qt::NoModifier, s.pixel(500, 5000));
        QCOMPARE(imageActionMode, 0);
        QCOMPARE(cancel.count(), 1);
        QCOMPARE(rect.count(), 1); // the left drag before it
        QCOMPARE(side.count(), 0);
        QVERIFY(s.pick().isNull());
    };
    onPlot(twoD, check);
}

void TestExplorePlots::pressBeyondUpperBound_data()
{
    QTest::addColumn<bool>("twoD");
    QTest::addColumn<bool>("beyondX");
    QTest::newRow("1D right of x") << false << true;
    QTest::newRow("1D above y") << false << false;
    QTest::newRow("2D right of x") << true << true;
    QTest::newRow("2D above y") << true << false;
}

void TestExplorePlots::pressBeyondUpperBound()
{
    QFETCH(bool, twoD);
    QFETCH(bool, beyondX);
    auto check = [&](auto &s) {
        using Plot = std::remove_pointer_t<decltype(s.plot)>;
        // Room round the canvas, where the plot itself takes the press.
        s.plot->setContentsMargins(0, 40, 40, 0);
        s.plot->updateLayout();
        s.plot->replot();
        QApplication::processEvents();
        const QPoint inCanvas = beyondX ? s.pixel(XUpper * 1.04, 5000) : s.pixel(500, YUpper * 1.04);
        const QPoint from = inCanvas + s.canvas()->pos();
        // Beyond the bound, on the canvas' margin or on the plot round it.
        const QPointF at = s.value(inCanvas);
        QVERIFY(beyondX ? at.x() > XUpper : at.y() > YUpper);
        QVERIFY(s.plot->rect().contains(from));
        QSignalSpy rect(s.plot, &Plot::showMarkerBySelectRect);
        QTest::mousePress(s.plot, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(s.canvas(), s.pixel(400, 4000));
        QTest::mouseMove(s.canvas(), s.pixel(200, 2000));
        QTest::mouseRelease(s.canvas(), Qt::LeftButton, Qt::NoModifier, s.pixel(200, 2000));
        QCOMPARE(rect.count(), 0);
        // The same drag from inside the axes is one.
        s.drag(s.pixel(600, 6000), s.pixel(200, 2000));
        QCOMPARE(rect.count(), 1);
    };
    onPlot(twoD, check);
}

void TestExplorePlots::polygonModeClicks_data()
{
    QTest::addColumn<bool>("twoD");
    QTest::newRow("1D") << false;
    QTest::newRow("2D") << true;
}

void TestExplorePlots::polygonModeClicks()
{
    QFETCH(bool, twoD);
    QVERIFY(seedMode(LumaraAnalysisData::PolygonThreshold));
    auto check = [&](auto &s) {
        using Plot = std::remove_pointer_t<decltype(s.plot)>;
        QSignalSpy side(s.plot, &Plot::showMarkerByThreshold);
        QSignalSpy rect(s.plot, &Plot::showMarkerBySelectRect);
        QTest::mouseClick(s.canvas(), Qt::LeftButton, Qt::NoModifier, s.pixel(700, 8000));
        QCOMPARE(side.count(), 0);
        QVERIFY(s.pick().isNull() || s.pick().isEmpty());
        s.drag(s.pixel(200, 2000), s.pixel(600, 6000));
        QCOMPARE(rect.count(), 1);
    };
    onPlot(twoD, check);
    QVERIFY(seedMode(LumaraAnalysisData::LineThreshold));
}

void TestExplorePlots::helpAction_data()
{
    QTest::addColumn<bool>("twoD");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("helpShown");
    QTest::newRow("1D left") << false << int(Qt::LeftButton) << true;
    QTest::newRow("1D right") << false << int(Qt::RightButton) << false;
    QTest::newRow("2D left") << true << int(Qt::LeftButton) << true;
}

void TestExplorePlots::helpAction()
{
    QFETCH(bool, twoD);
    QFETCH(int, button);
    QFETCH(bool, helpShown);
    QString shown;
    LumaraTest::ModalAnswerer answerer([&](QWidget *modal) {
        for (const QLabel *label : modal->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                shown = label->text();
        modal->close();
    });
    auto check = [&](auto &s) {
        imageActionMode = 4;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(s.plot, &enter);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BitmapCursor);
        QTest::mouseClick(s.canvas(), Qt::MouseButton(button), Qt::NoModifier, s.pixel(500, 5000));
        QCOMPARE(imageActionMode, 0);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        imageActionMode = 0;
        QApplication::sendEvent(s.plot, &enter);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    };
    onPlot(twoD, check);
    const QString expected = getHelpText(QStringLiteral("Explore"), QStringLiteral("ProviewPlot"));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(answerer.seen(), helpShown ? QStringList{QStringLiteral("HelpDialog")} : QStringList());
    QCOMPARE(shown, helpShown ? expected : QString());
}

void TestExplorePlots::twoDLinesAndSeries()
{
    Shown<Explore2DDot> s;
    s.plot->setThresholds(QPointF(300, 4000));
    s.plot->setThresholdVisible(true);
    QCOMPARE(s.plot->xThresholdCurve()->data()->sample(0), QPointF(300, 0));
    QCOMPARE(s.plot->xThresholdCurve()->data()->sample(1), QPointF(300, YUpper));
    QCOMPARE(s.plot->yThresholdCurve()->data()->sample(0), QPointF(0, 4000));
    QCOMPARE(s.plot->yThresholdCurve()->data()->sample(1), QPointF(XUpper, 4000));
    QVERIFY(s.plot->xThresholdCurve()->isVisible());
    s.plot->setXThresholdPen(QStringLiteral("#e42520"), 2.0);
    QCOMPARE(s.plot->xThresholdCurve()->pen().color(), QColor("#e42520"));
    QCOMPARE(s.plot->xThresholdCurve()->pen().widthF(), 2.0);
    s.plot->addSeries(QStringLiteral("#67b32e"), QPolygonF(QVector<QPointF>{{500, 5000}}), 1.7);
    s.plot->addSeries(QStringLiteral("#555555"), QPolygonF(QVector<QPointF>{{100, 100}, {200, 200}}), 1.7);
    QCOMPARE(s.plot->curves().size(), 2);
    QCOMPARE(s.plot->curves().at(0)->style(), QwtPlotCurve::Dots);
    QCOMPARE(s.plot->curves().at(1)->dataSize(), size_t(2));
    QCOMPARE(s.plot->curves().at(0)->pen().widthF(), 1.7);
    // The dot is drawn in its colour (antialiased) where it lies.
    const QImage picture = s.canvas()->grab().toImage();
    const QColor dot = picture.pixelColor(s.pixel(500, 5000));
    QVERIFY2(dot.green() > dot.red() + 40 && dot.green() > dot.blue() + 40, qPrintable(dot.name()));
    s.plot->clearCurves();
    QVERIFY(s.plot->curves().isEmpty());
    int attachedCurves = 0;
    for (QwtPlotItem *item : s.plot->itemList(QwtPlotItem::Rtti_PlotCurve))
        attachedCurves += item->isVisible() ? 1 : 0;
    QCOMPARE(attachedCurves, 2); // the two threshold lines only
}

LUMARA_TEST_GUI_MAIN(TestExplorePlots)
#include "tst_plots.moc"
