// The 2D dot plot as the 2D page and its users drive it: threshold lines and their pens,
// curves, shape clearing, hovering and dragging the solid cross, the polygon drawing gesture,
// the double clicks and the shared plot style. Real mouse events on a shown plot.
#define QTEST_QPA_MOUSE_HANDLING
#include "plotfixture.h"

#include "plots/TwoDotPlot/editor.h"
#include "plots/common/plotstyle.h"

#include "bll/bllinstance.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"
#include "testmain.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_scale_widget.h>

using Plot2DTest::Fixture;
using Plot2DTest::poly;
using Plot2DTest::zone;
using Range = QPair<double, double>;

namespace {

QList<QwtPlotMarker *> markers(const QwtPlot &plot)
{
    QList<QwtPlotMarker *> found;
    for (QwtPlotItem *item : plot.itemList(QwtPlotItem::Rtti_PlotMarker))
        found.append(static_cast<QwtPlotMarker *>(item));
    return found;
}

QList<QwtPlotShapeItem *> shapes(const QwtPlot &plot)
{
    QList<QwtPlotShapeItem *> found;
    for (QwtPlotItem *item : plot.itemList(QwtPlotItem::Rtti_PlotShape))
        found.append(static_cast<QwtPlotShapeItem *>(item));
    return found;
}

// Items attached to the plot that are not the threshold lines or zones: the drawing preview.
int otherItems(const QwtPlot &plot)
{
    int n = 0;
    for (QwtPlotItem *item : plot.itemList()) {
        if (item->rtti() >= QwtPlotItem::Rtti_PlotUserItem)
            ++n;
    }
    return n;
}

void seedMode(LumaraAnalysisData::ThresholdMode mode)
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells = {BllTest::well(1, QStringLiteral("A1"), {1, 2})};
    seed.mode = mode;
    seed.plots2D = {{QStringLiteral("x_y"), {1, 2}}};
    QVERIFY(BllTest::seedDocument(seed));
}

// Answers the modal dialog that opens while it lives, from inside the dialog's own loop.
std::unique_ptr<QTimer> answerDialog(std::function<void(QWidget *)> answer)
{
    std::unique_ptr<QTimer> timer(new QTimer);
    timer->setInterval(5);
    QTimer *t = timer.get();
    QObject::connect(t, &QTimer::timeout, [t, answer] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            t->stop();
            answer(modal);
        }
    });
    timer->start();
    return timer;
}

bool maskShown(const QwtBasic &plot)
{
    const QWidget *mask = plot.findChild<QWidget *>(QStringLiteral("mask"));
    return mask && mask->isVisible();
}

} // namespace

class TestZt2DPlot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        BLLInstance::createSingletons();
    }
    void cleanup()
    {
        imageActionMode = 0;
        currentFileBaseName.clear();
    }
    void construction();
    void linePens_data();
    void linePens();
    void thresholdVisibility();
    void curves();
    void clearShapes();
    void hoverDistance_data();
    void hoverDistance();
    void dragLines_data();
    void dragLines();
    void hiddenLinesStayPut();
    void drawing_data();
    void drawing();
    void drawingInLineMode();
    void redrawWhileDrawing();
    void doubleClicks_data();
    void doubleClicks();
    void stylePlot_data();
    void stylePlot();
    void imageActions_data();
    void imageActions();
    void helpAction();
    void actionCursors();
};

void TestZt2DPlot::construction()
{
    Fixture f;
    const QList<QwtPlotMarker *> lines = markers(*f.plot);
    QCOMPARE(lines.size(), 4);
    const QwtPlotMarker::LineStyle styles[] = {QwtPlotMarker::VLine, QwtPlotMarker::HLine, QwtPlotMarker::VLine,
                                                QwtPlotMarker::HLine};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(lines.at(i)->lineStyle(), styles[i]);
        QVERIFY(!lines.at(i)->isVisible());
    }
    QVERIFY(f.plot->curves().isEmpty());
    QVERIFY(shapes(*f.plot).isEmpty());
    QCOMPARE(otherItems(*f.plot), 0);
    QVERIFY(f.plot->testAttribute(Qt::WA_Hover));
    // Buttonless moves go to the canvas (and the editor) only.
    QVERIFY(f.canvas()->hasMouseTracking());
    QVERIFY(!f.plot->hasMouseTracking());
    QCOMPARE(f.plot->editor()->parent(), f.plot);
    // Connections by signature and queued deliveries find the signals' types by these names.
    for (const char *name : {"QPair<double,double>", "QVector<QPair<QPolygonF,QPolygonF> >",
                             "QMap<QwtPlotShapeItem*,QwtPlotShapeItem*>", "QwtPlotShapeItem*"})
        QVERIFY2(QMetaType::type(name) != QMetaType::UnknownType, name);
}

void TestZt2DPlot::linePens_data()
{
    QTest::addColumn<int>("setter"); // 0 solid x, 1 solid y, 2 dotted x, 3 dotted y
    QTest::addColumn<int>("marker");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("solid x") << 0 << 0 << int(Qt::SolidLine) << true;
    QTest::newRow("solid y") << 1 << 1 << int(Qt::SolidLine) << false;
    QTest::newRow("dotted x") << 2 << 2 << int(Qt::DotLine) << true;
    QTest::newRow("dotted y") << 3 << 3 << int(Qt::DotLine) << false;
}

void TestZt2DPlot::linePens()
{
    QFETCH(int, setter);
    QFETCH(int, marker);
    QFETCH(int, style);
    QFETCH(bool, vertical);
    Fixture f;
    const std::function<void(QString, double)> setters[] = {
        [&](QString c, double w) { f.plot->setSolidXLinePen(c, w); },
        [&](QString c, double w) { f.plot->setSolidYLinePen(c, w); },
        [&](QString c, double w) { f.plot->setDottedXLinePen(c, w); },
        [&](QString c, double w) { f.plot->setDottedYLinePen(c, w); }};
    // First every line in its own colour at 1.0, then the one under test at 1.8.
    const char *colours[] = {"#101010", "#202020", "#303030", "#404040"};
    for (int i = 0; i < 4; ++i)
        setters[i](QString::fromLatin1(colours[i]), 1.0);
    setters[setter](QStringLiteral("#e42520"), 1.8);
    const QPen pen = markers(*f.plot).at(marker)->linePen();
    QCOMPARE(pen.color(), QColor("#e42520"));
    QCOMPARE(pen.widthF(), 1.8);
    QCOMPARE(int(pen.style()), style);
    // One width for all four, the colour per direction from the last setter of that direction.
    QCOMPARE(f.plot->lineWidth(), 1.8);
    QCOMPARE(f.plot->xLineColor(), vertical ? QStringLiteral("#e42520") : QStringLiteral("#303030"));
    QCOMPARE(f.plot->yLineColor(), vertical ? QStringLiteral("#404040") : QStringLiteral("#e42520"));
}

void TestZt2DPlot::thresholdVisibility()
{
    Fixture f;
    f.plot->setSolidXLinePen(QStringLiteral("#2b4b9b"), 1.8);
    f.plot->setSolidThreshold(QPointF(3000, 4000));
    f.plot->setDottedThreshold(QPointF(2500, 3500));
    const QList<QwtPlotMarker *> lines = markers(*f.plot);
    for (QwtPlotMarker *line : lines)
        QVERIFY(!line->isVisible());
    QCOMPARE(lines.at(0)->xValue(), 3000.0);
    QCOMPARE(lines.at(1)->yValue(), 4000.0);
    QCOMPARE(lines.at(2)->xValue(), 2500.0);
    QCOMPARE(lines.at(3)->yValue(), 3500.0);
    QCOMPARE(f.plot->solidThreshold(), QPointF(3000, 4000));
    f.plot->setThresholdVisible(true);
    for (QwtPlotMarker *line : lines)
        QVERIFY(line->isVisible());
    f.plot->setThresholdVisible(false);
    f.plot->setThresholdVisible(true);
    QCOMPARE(lines.at(0)->linePen().color(), QColor("#2b4b9b"));
    QCOMPARE(lines.at(2)->xValue(), 2500.0);
}

void TestZt2DPlot::curves()
{
    Fixture f;
    f.plot->clearCurves(); // nothing to clear
    const QVector<QPointF> points{{100, 200}, {300, 400}, {500, 600}};
    f.plot->addCurve(QStringLiteral("#67b32e"), points, 3.0);
    f.plot->addCurve(QStringLiteral("#e42520"), {{1, 1}}, 3.0);
    QCOMPARE(f.plot->curves().size(), 2);
    QCOMPARE(f.plot->itemList(QwtPlotItem::Rtti_PlotCurve).size(), 2);
    QwtPlotCurve *curve = f.plot->curves().first();
    QCOMPARE(curve->plot(), f.plot);
    QCOMPARE(curve->style(), QwtPlotCurve::Dots);
    QVERIFY(curve->testRenderHint(QwtPlotItem::RenderAntialiased));
    QVERIFY(curve->title().isEmpty());
    QCOMPARE(curve->pen().color(), QColor("#67b32e"));
    QCOMPARE(curve->pen().widthF(), 3.0);
    QCOMPARE(curve->pen().style(), Qt::SolidLine);
    QCOMPARE(curve->pen().capStyle(), Qt::SquareCap);
    QCOMPARE(curve->pen().joinStyle(), Qt::BevelJoin);
    QCOMPARE(curve->dataSize(), size_t(3));
    QCOMPARE(curve->sample(2), QPointF(500, 600));
    f.plot->clearCurves();
    QVERIFY(f.plot->curves().isEmpty());
    QVERIFY(f.plot->itemList(QwtPlotItem::Rtti_PlotCurve).isEmpty());
    QCOMPARE(markers(*f.plot).size(), 4);
}

// Every visible zone shape goes (and is freed: the sanitizer tree sees a leak otherwise); a
// hidden one stays attached; the editor forgets its pairs.
void TestZt2DPlot::clearShapes()
{
    Fixture f;
    const QPolygonF square = poly({{1000, 1000}, {3000, 1000}, {3000, 3000}, {1000, 3000}});
    const QPolygonF moved = square.translated(500, 0);
    f.plot->setPolygons({zone(1, square, moved), zone(2, square.translated(5000, 5000)),
                         zone(3, poly({{0, 0}, {10, 10}}))});
    QCOMPARE(shapes(*f.plot).size(), 3); // a pair and a single outline; two points draw nothing
    QCOMPARE(f.plot->editor()->editedShapes().size(), 1);
    QwtPlotShapeItem *hidden = shapes(*f.plot).last();
    hidden->setVisible(false);
    f.plot->clearShapes();
    QCOMPARE(shapes(*f.plot), QList<QwtPlotShapeItem *>{hidden});
    QVERIFY(f.plot->editor()->editedShapes().isEmpty());
    QCOMPARE(markers(*f.plot).size(), 4);
}

void TestZt2DPlot::hoverDistance_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("distance");
    QTest::addColumn<bool>("hot");
    QTest::newRow("vertical at 199") << true << 199 << true;
    QTest::newRow("vertical at 200") << true << 200 << false;
    QTest::newRow("vertical at -199") << true << -199 << true;
    QTest::newRow("horizontal at 199") << false << 199 << true;
    QTest::newRow("horizontal at 200") << false << 200 << false;
    QTest::newRow("horizontal at -200") << false << -200 << false;
}

// The distance counts in axis units from the pointer's truncated value.
void TestZt2DPlot::hoverDistance()
{
    QFETCH(bool, vertical);
    QFETCH(int, distance);
    QFETCH(bool, hot);
    Fixture f;
    f.plot->setSolidXLinePen(QStringLiteral("#2b4b9b"), 1.8);
    f.plot->setSolidYLinePen(QStringLiteral("#e42520"), 1.8);
    f.plot->setThresholdVisible(true);
    const QPoint at = f.pixel(5000, 5000);
    const QPointF pointer = f.pointer(at);
    // The other line far away.
    f.plot->setSolidThreshold(vertical ? QPointF(pointer.x() + distance, 9000) : QPointF(9000, pointer.y() + distance));
    QTest::mouseMove(f.canvas(), at);
    const QList<QwtPlotMarker *> lines = markers(*f.plot);
    QwtPlotMarker *line = lines.at(vertical ? 0 : 1);
    QwtPlotMarker *other = lines.at(vertical ? 1 : 0);
    QCOMPARE(line->linePen().widthF(), hot ? 3.6 : 1.8);
    QCOMPARE(line->linePen().style(), Qt::SolidLine);
    QCOMPARE(line->linePen().color(), QColor(vertical ? "#2b4b9b" : "#e42520"));
    QCOMPARE(other->linePen().widthF(), 1.8);
    // Moving away cools it down again.
    f.hover(100, 100);
    QCOMPARE(line->linePen().widthF(), 1.8);
}

void TestZt2DPlot::dragLines_data()
{
    QTest::addColumn<bool>("xHot");
    QTest::addColumn<bool>("yHot");
    QTest::newRow("vertical line") << true << false;
    QTest::newRow("horizontal line") << false << true;
    QTest::newRow("both lines") << true << true;
    QTest::newRow("neither") << false << false;
}

void TestZt2DPlot::dragLines()
{
    QFETCH(bool, xHot);
    QFETCH(bool, yHot);
    Fixture f;
    f.plot->setSolidXLinePen(QStringLiteral("#2b4b9b"), 1.8);
    f.plot->setSolidYLinePen(QStringLiteral("#e42520"), 1.8);
    f.plot->setThresholdVisible(true);
    const QPoint start = f.pixel(4000, 6000);
    const QPointF pointer = f.pointer(start);
    f.plot->setSolidThreshold(QPointF(xHot ? pointer.x() + 50 : 1000, yHot ? pointer.y() - 50 : 1000));
    QSignalSpy moved(f.plot, &Zt2DPlot::updateTempThreshold);
    const QPair<double, double> range = f.xRange();
    QTest::mouseMove(f.canvas(), start);
    QTest::mousePress(f.canvas(), Qt::LeftButton, Qt::NoModifier, start);
    // Pixels whose values are not whole: the line takes the truncated value.
    const QPoint end = start + QPoint(37, -23);
    QTest::mouseMove(f.canvas(), start + QPoint(10, -5));
    QTest::mouseMove(f.canvas(), end);
    QTest::mouseRelease(f.canvas(), Qt::LeftButton, Qt::NoModifier, end);
    const QList<QwtPlotMarker *> lines = markers(*f.plot);
    if (!xHot && !yHot) {
        QCOMPARE(moved.count(), 0);
        QCOMPARE(lines.at(0)->xValue(), 1000.0);
        QCOMPARE(f.plot->solidThreshold(), QPointF(1000, 1000));
        return;
    }
    const QPointF target = f.pointer(end);
    QVERIFY(target.x() != f.plot->invTransform(QwtPlot::xBottom, end.x()));
    const QPointF expected(xHot ? target.x() : 1000, yHot ? target.y() : 1000);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(moved.last().at(0).toPointF(), expected);
    QCOMPARE(lines.at(0)->xValue(), expected.x());
    QCOMPARE(lines.at(1)->yValue(), expected.y());
    // The plot reports the cross it shows.
    QCOMPARE(f.plot->solidThreshold(), expected);
    // The dotted cross and the plot's view stay where they were: a line drag is no pan.
    QCOMPARE(lines.at(2)->xValue(), 0.0);
    QCOMPARE(f.xRange(), range);
}

// Lines hot when they were hidden (the page went to polygon mode) are out of reach.
void TestZt2DPlot::hiddenLinesStayPut()
{
    Fixture f;
    f.plot->setSolidXLinePen(QStringLiteral("#2b4b9b"), 1.8);
    f.plot->setSolidYLinePen(QStringLiteral("#e42520"), 1.8);
    f.plot->setThresholdVisible(true);
    f.plot->setSolidThreshold(QPointF(5000, 5000));
    f.hover(5000, 5000);
    QCOMPARE(markers(*f.plot).at(0)->linePen().widthF(), 3.6);
    f.plot->setThresholdVisible(false);
    QSignalSpy moved(f.plot, &Zt2DPlot::updateTempThreshold);
    f.drag({{5000, 5000}, {7000, 7000}});
    QCOMPARE(moved.count(), 0);
    QCOMPARE(markers(*f.plot).at(0)->xValue(), 5000.0);
    f.plot->setThresholdVisible(true);
    QCOMPARE(markers(*f.plot).at(0)->linePen().widthF(), 1.8);
}

void TestZt2DPlot::drawing_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("emitted"); // points of addPolygon, -1 for none
    // Each press fixes the point under the pointer; the hover before it had put a rubber point
    // there, so the emitted list repeats it. The last hover's rubber point goes in too.
    QTest::newRow("three clicks then a move") << "P1 H2 P2 H3 P3 H4 R" << 6;
    QTest::newRow("three clicks, no move after") << "P1 H2 P2 H3 P3 R" << 5;
    QTest::newRow("two distinct points") << "P1 H2 P2 R" << -1;
    QTest::newRow("one click and a move") << "P1 H2 R" << -1;
    QTest::newRow("shift ends drawing") << "P1 H2 P2 H3 S H4 R" << -1;
    QTest::newRow("shift release clears") << "P1 H2 P2 H3 P3 s R" << -1;
}

// P<n>: Ctrl + right press at point n; H<n>: hover to point n; S: Shift + right press;
// s: Shift released; R: Ctrl released.
void TestZt2DPlot::drawing()
{
    QFETCH(QString, gesture);
    QFETCH(int, emitted);
    seedMode(LumaraAnalysisData::PolygonThreshold);
    Fixture f;
    const QPointF points[] = {{0, 0}, {2000, 2000}, {6000, 2000}, {6000, 6000}, {2000, 6000}};
    QSignalSpy added(f.plot, &Zt2DPlot::addPolygon);
    QPolygonF expected; // what the gesture fixed and where the pointer was
    for (const QString &step : gesture.split(QLatin1Char(' '))) {
        const int n = step.size() > 1 ? step.mid(1).toInt() : 0;
        switch (step.at(0).toLatin1()) {
        case 'P':
            QTest::mousePress(f.canvas(), Qt::RightButton, Qt::ControlModifier, f.pixel(points[n]));
            QTest::mouseRelease(f.canvas(), Qt::RightButton, Qt::ControlModifier, f.pixel(points[n]));
            expected << f.pointer(f.pixel(points[n]));
            QVERIFY(otherItems(*f.plot) == 1); // the preview
            break;
        case 'H':
            QTest::mouseMove(f.canvas(), f.pixel(points[n]));
            // The hover gives the plot the keyboard, for the Ctrl release.
            QCOMPARE(f.host->focusWidget(), f.plot);
            expected << f.pointer(f.pixel(points[n]));
            break;
        case 'S':
            QTest::mousePress(f.canvas(), Qt::RightButton, Qt::ShiftModifier, f.pixel(points[1]));
            QTest::mouseRelease(f.canvas(), Qt::RightButton, Qt::ShiftModifier, f.pixel(points[1]));
            break;
        case 's':
            QTest::keyRelease(f.plot, Qt::Key_Shift);
            QCOMPARE(otherItems(*f.plot), 0);
            break;
        case 'R':
            QTest::keyRelease(f.plot, Qt::Key_Control);
            break;
        }
    }
    QCOMPARE(otherItems(*f.plot), gesture.contains(QLatin1Char('S')) ? 1 : 0);
    if (emitted < 0) {
        QCOMPARE(added.count(), 0);
        QVERIFY(shapes(*f.plot).isEmpty());
        return;
    }
    QCOMPARE(added.count(), 1);
    const QPolygonF polygon = added.at(0).at(0).value<QPolygonF>();
    QCOMPARE(polygon.size(), emitted);
    QCOMPARE(polygon, expected);
    // One new outline through the distinct points, in the drawing colour.
    const QList<QwtPlotShapeItem *> drawn = shapes(*f.plot);
    QCOMPARE(drawn.size(), 1);
    QCOMPARE(drawn.first()->pen().color(), QColor("#b37c4e"));
    QCOMPARE(drawn.first()->brush().style(), Qt::NoBrush);
    QCOMPARE(drawn.first()->shape().boundingRect(), polygon.boundingRect());
    f.plot->setNewPolygonColor(QStringLiteral("#4fb1db"));
    QCOMPARE(drawn.first()->pen().color(), QColor("#4fb1db"));
    // Once the zones are redrawn the plot has no finished polygon to colour.
    f.plot->clearShapes();
    f.plot->setPolygons({zone(1, poly({{100, 100}, {900, 100}, {500, 900}}))});
    f.plot->setNewPolygonColor(QStringLiteral("#000000"));
    QCOMPARE(shapes(*f.plot).first()->pen().color(), QColor("#b37c4e"));
}

void TestZt2DPlot::drawingInLineMode()
{
    seedMode(LumaraAnalysisData::LineThreshold);
    Fixture f;
    QSignalSpy added(f.plot, &Zt2DPlot::addPolygon);
    for (const QPointF &p : {QPointF(1000, 1000), QPointF(5000, 1000), QPointF(3000, 5000)}) {
        QTest::mousePress(f.canvas(), Qt::RightButton, Qt::ControlModifier, f.pixel(p));
        QTest::mouseRelease(f.canvas(), Qt::RightButton, Qt::ControlModifier, f.pixel(p));
    }
    QTest::keyRelease(f.plot, Qt::Key_Control);
    QCOMPARE(otherItems(*f.plot), 0);
    QCOMPARE(added.count(), 0);
}

// The page redraws its zones at any time; a polygon being drawn survives it.
void TestZt2DPlot::redrawWhileDrawing()
{
    seedMode(LumaraAnalysisData::PolygonThreshold);
    Fixture f;
    QSignalSpy added(f.plot, &Zt2DPlot::addPolygon);
    for (const QPointF &p : {QPointF(1000, 1000), QPointF(5000, 1000), QPointF(3000, 5000)}) {
        QTest::mouseMove(f.canvas(), f.pixel(p));
        QTest::mousePress(f.canvas(), Qt::RightButton, Qt::ControlModifier, f.pixel(p));
        QTest::mouseRelease(f.canvas(), Qt::RightButton, Qt::ControlModifier, f.pixel(p));
        f.plot->clearShapes();
        f.plot->setPolygons({zone(1, poly({{7000, 7000}, {9000, 7000}, {8000, 9000}}))});
    }
    QCOMPARE(otherItems(*f.plot), 1);
    QTest::keyRelease(f.plot, Qt::Key_Control);
    QCOMPARE(added.count(), 1);
    QCOMPARE(shapes(*f.plot).size(), 2);
}

void TestZt2DPlot::doubleClicks_data()
{
    QTest::addColumn<bool>("onAxis");
    QTest::newRow("left axis") << true;
    QTest::newRow("canvas") << false;
}

void TestZt2DPlot::doubleClicks()
{
    QFETCH(bool, onAxis);
    Fixture f(10000);
    f.plot->setAxisScale(QwtPlot::xBottom, 500, 8500);
    f.plot->setAxisScale(QwtPlot::yLeft, 1000, 9000);
    f.plot->replot();
    QSignalSpy axis(f.plot, &Zt2DPlot::axisXYClicked);
    QSignalSpy reset(f.plot, &Zt2DPlot::resetAxisScale);
    QSignalSpy left(f.plot, &QwtBasic::axisYLeftDoubleClicked);
    QWidget *yAxis = f.plot->axisWidget(QwtPlot::yLeft);
    if (onAxis)
        QTest::mouseDClick(yAxis, Qt::LeftButton, Qt::NoModifier, yAxis->rect().center());
    else
        QTest::mouseDClick(f.canvas(), Qt::LeftButton, Qt::NoModifier, f.pixel(5000, 5000));
    QCOMPARE(axis.count(), onAxis ? 1 : 0);
    QCOMPARE(reset.count(), onAxis ? 0 : 1);
    QCOMPARE(left.count(), onAxis ? 1 : 0);
    if (onAxis) {
        QCOMPARE(axis.at(0).at(0).value<Range>(), Range(500.0, 8500.0));
        QCOMPARE(axis.at(0).at(1).value<Range>(), Range(1000.0, 9000.0));
    }
}

void TestZt2DPlot::stylePlot_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("pixels");
    QTest::newRow("1.0") << 1.0 << 20;
    QTest::newRow("1.33") << 1.33 << 26;
    QTest::newRow("2.0") << 2.0 << 40;
}

void TestZt2DPlot::stylePlot()
{
    QFETCH(double, scale);
    QFETCH(int, pixels);
    uiScaleFactor = scale;
    Zt2DPlot plot;
    ::stylePlot(&plot);
    uiScaleFactor = 1.0;
    for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        const QwtText title = plot.axisTitle(axis);
        QCOMPARE(title.font().family(), QStringLiteral("Roboto"));
        QCOMPARE(title.font().pixelSize(), pixels);
        QCOMPARE(title.color(), QColor("#333333"));
    }
    QCOMPARE(plot.sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(plot.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(plot.styleSheet(), QStringLiteral("background-color: rgb(255,255,255)"));
    QCOMPARE(plot.canvas()->styleSheet(), QStringLiteral("background-color: rgb(255,255,255)"));
}

void TestZt2DPlot::imageActions_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("result"); // what the press leaves: a PNG, the clipboard or nothing
    QTest::newRow("PNG by a left press") << 1 << int(Qt::LeftButton) << "png";
    QTest::newRow("copy by a left press") << 3 << int(Qt::LeftButton) << "clipboard";
    QTest::newRow("PNG cancelled by a right press") << 1 << int(Qt::RightButton) << "nothing";
    QTest::newRow("copy cancelled by a middle press") << 3 << int(Qt::MiddleButton) << "nothing";
    QTest::newRow("nothing pending") << 0 << int(Qt::LeftButton) << "nothing";
}

// The pending action of the menu, carried out or dropped by the next press on the plot.
void TestZt2DPlot::imageActions()
{
    QFETCH(int, mode);
    QFETCH(int, button);
    QFETCH(QString, result);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("plot.png"));
    Fixture f;
    f.plot->setAxisTitle(QwtPlot::xBottom, QStringLiteral("T1(FAM)"));
    f.plot->setAxisTitle(QwtPlot::yLeft, QStringLiteral("T2(VIC)"));
    f.plot->addCurve(QStringLiteral("#e42520"), {{5000, 5000}}, 3.0);
    currentFileBaseName = QStringLiteral("run7");
    QGuiApplication::clipboard()->clear();
    QString proposed;
    auto answerer = answerDialog([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectFile(target);
        static_cast<QDialog *>(dialog)->accept();
    });
    imageActionMode = mode;
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(f.plot, &enter);
    QCOMPARE(maskShown(*f.plot), mode != 0);
    QTest::mouseClick(f.canvas(), Qt::MouseButton(button), Qt::NoModifier, f.pixel(2000, 8000));
    QCOMPARE(imageActionMode, 0);
    QVERIFY(!maskShown(*f.plot));
    const QImage copied = QGuiApplication::clipboard()->pixmap().toImage();
    QCOMPARE(copied.isNull(), result != QLatin1String("clipboard"));
    QCOMPARE(QFileInfo::exists(target), result == QLatin1String("png"));
    QCOMPARE(proposed, result == QLatin1String("png") ? QStringLiteral("run7_T1(FAM)_T2(VIC)_2DPlot.png") : QString());
    const QImage picture = result == QLatin1String("png") ? QImage(target) : copied;
    if (result != QLatin1String("nothing")) {
        QCOMPARE(picture.size(), f.plot->size());
        // The droplet is in the picture, where it is on the plot.
        const QPoint dot = f.canvas()->geometry().topLeft() + f.pixel(5000, 5000);
        QCOMPARE(picture.pixelColor(dot), QColor("#e42520"));
    }
}

void TestZt2DPlot::helpAction()
{
    Fixture f;
    QString shown;
    auto answerer = answerDialog([&](QWidget *modal) {
        QVERIFY(qobject_cast<HelpDialog *>(modal));
        for (const QLabel *label : modal->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                shown = label->text();
        modal->close();
    });
    imageActionMode = 4;
    QTest::mouseClick(f.canvas(), Qt::LeftButton, Qt::NoModifier, f.pixel(2000, 8000));
    const QString expected = getHelpText(QStringLiteral("AnalyzePlot"), QStringLiteral("2DDotPlot"));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(shown, expected);
}

// The cursor tells what a press will do; coming and going never piles cursors up.
void TestZt2DPlot::actionCursors()
{
    Fixture f;
    const QImage help = QImage(QStringLiteral(":/TwoDotPlot/assets/cursor_help.png")).convertToFormat(QImage::Format_ARGB32);
    const QImage save = QImage(QStringLiteral(":/TwoDotPlot/assets/cursor_save.png")).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!help.isNull() && !save.isNull() && help != save);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    for (int mode : {0, 1, 2, 3, 4, 0}) {
        imageActionMode = mode;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(f.plot, &enter);
        const QCursor *cursor = QApplication::overrideCursor();
        if (mode == 0) {
            QCOMPARE(cursor->shape(), Qt::CrossCursor);
        } else {
            QCOMPARE(cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), mode == 4 ? help : save);
            QCOMPARE(f.plot->canvas()->styleSheet(), QStringLiteral("background-color: #F0F8FF"));
        }
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.plot, &leave);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        QVERIFY(!maskShown(*f.plot));
    }
    QApplication::restoreOverrideCursor();
    QVERIFY(!QApplication::overrideCursor());
}

LUMARA_TEST_GUI_MAIN(TestZt2DPlot)
#include "tst_zt2dplot.moc"
