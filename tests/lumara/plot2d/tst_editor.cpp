// The polygon editor of the 2D plot, driven by real mouse events on a shown plot: vertex
// handles, dragging polygons and vertices, right-click insertion and removal, Ctrl + left
// selection, the pairs it reports, and redraws of the zones in every state of an edit.
#define QTEST_QPA_MOUSE_HANDLING
#include "plotfixture.h"

#include "plots/TwoDotPlot/editor.h"
#include "plots/TwoDotPlot/polygongeometry.h"

#include "bll/bllinstance.h"
#include "testmain.h"

#include <QPainterPath>
#include <QSignalSpy>
#include <qwt_plot_shapeitem.h>
#include <qwt_widget_overlay.h>

using Plot2DTest::Fixture;
using Plot2DTest::poly;
using Plot2DTest::zone;
using PolygonGeometry::pathPolygon;
using PolygonGeometry::vertexPolygon;
using Pairs = QVector<QPair<QPolygonF, QPolygonF>>;

namespace {

// Axes 0..1000 on about 600 pixels: the right-click reach of 80 units is some 50 pixels.
const QPolygonF Quad = poly({{200, 200}, {600, 250}, {550, 600}, {250, 550}});
const QPointF Inside(400, 400);
const QPointF Outside(900, 900);

QPolygonF outline(const QwtPlotShapeItem *shape)
{
    return vertexPolygon(pathPolygon(shape->shape()));
}

// A plot with the quad as its one zone, vertex half sizes of 10 units.
struct Editing : Fixture {
    Editing() : Fixture(1000)
    {
        plot->setPolygons({zone(1, Quad)});
        plot->setVertexTolerance(10, 10);
        shape = zoneShape();
    }
    QwtPlotShapeItem *zoneShape() const
    {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotShape)) {
            auto *s = static_cast<QwtPlotShapeItem *>(item);
            if (s->pen().style() == Qt::SolidLine)
                return s;
        }
        return nullptr;
    }
    Editor *editor() const { return plot->editor(); }
    // Every shape the editor holds is still an item of the plot.
    bool editorShapesAttached() const
    {
        const QwtPlotItemList items = plot->itemList();
        auto attached = [&](QwtPlotShapeItem *s) { return s == nullptr || items.contains(s); };
        for (auto it = editor()->editedShapes().cbegin(); it != editor()->editedShapes().cend(); ++it) {
            if (!attached(it.key()) || !attached(it.value()))
                return false;
        }
        for (QwtPlotShapeItem *s : editor()->selection()) {
            if (!attached(s))
                return false;
        }
        return attached(editor()->currentShape());
    }
    QwtPlotShapeItem *shape = nullptr;
};

Pairs lastPairs(const QSignalSpy &spy)
{
    return spy.last().at(0).value<Pairs>();
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BLLInstance::createSingletons(); }
    void handles();
    void polygonDrag_data();
    void polygonDrag();
    void panOnEmptyCanvas();
    void vertexDrag();
    void rightClicks_data();
    void rightClicks();
    void rightClickOutsideKeepsAppliedOutline();
    void ctrlSelection();
    void dottedCopyIsNoHandle();
    void releaseAlwaysReports();
    void smallestVertexBox();
    void pendingZonesDrawnAsPairs();
    void redrawInEveryState_data();
    void redrawInEveryState();
    void disabling();
};

void TestEditor::handles()
{
    Editing e;
    const QRectF plain = Quad.boundingRect();
    e.hover(Inside.x(), Inside.y());
    QCOMPARE(e.editor()->currentShape(), e.shape);
    QCOMPARE(e.shape->z(), 1.0);
    QCOMPARE(e.shape->shape().boundingRect(), plain.adjusted(-10, -10, 10, 10));
    // On vertex 1 its handle grows by half.
    e.hover(600, 250);
    QCOMPARE(e.shape->shape().boundingRect(), plain.adjusted(-10, -10, 15, 10));
    e.hover(Inside.x(), Inside.y());
    QCOMPARE(e.shape->shape().boundingRect(), plain.adjusted(-10, -10, 10, 10));
    // Back on the same vertex it is highlighted again.
    e.hover(600, 250);
    QCOMPARE(e.shape->shape().boundingRect(), plain.adjusted(-10, -10, 15, 10));
    e.hover(Outside.x(), Outside.y());
    QCOMPARE(e.editor()->currentShape(), nullptr);
    QCOMPARE(e.shape->shape().boundingRect(), plain);
    QCOMPARE(outline(e.shape), Quad);
}

void TestEditor::polygonDrag_data()
{
    QTest::addColumn<bool>("clickedBefore");
    QTest::newRow("first press") << false;
    // The release re-enabled the panner, whose filter then sees the next press first.
    QTest::newRow("after an earlier release") << true;
}

void TestEditor::polygonDrag()
{
    QFETCH(bool, clickedBefore);
    Editing e;
    QSignalSpy pairs(e.plot, &Zt2DPlot::updateSharp);
    QSignalSpy apply(e.plot, &Zt2DPlot::enableApply);
    if (clickedBefore) {
        e.hover(Inside.x(), Inside.y());
        e.click(Inside.x(), Inside.y());
    }
    const QPair<double, double> range = e.xRange();
    e.hover(Inside.x(), Inside.y());
    e.press(Inside.x(), Inside.y());
    QVERIFY(e.editor()->isDragging());
    QVERIFY(!e.shape->isVisible());
    const QPoint from = e.pixel(Inside), to = e.pixel(500, 450);
    QTest::mouseMove(e.canvas(), (from + to) / 2);
    QTest::mouseMove(e.canvas(), to);
    // The overlay draws the dragged outline where it is now.
    const QPointF shift(e.plot->invTransform(QwtPlot::xBottom, to.x()) - e.plot->invTransform(QwtPlot::xBottom, from.x()),
                        e.plot->invTransform(QwtPlot::yLeft, to.y()) - e.plot->invTransform(QwtPlot::yLeft, from.y()));
    const QImage picture = e.canvas()->grab().toImage();
    const QColor background = picture.pixelColor(e.pixel(Outside));
    const QPoint corner = e.pixel(Quad.at(0) + shift);
    bool drawn = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            drawn = drawn || picture.pixelColor(corner + QPoint(dx, dy)) != background;
    QVERIFY(drawn);
    e.release(500, 450);
    QVERIFY(!e.editor()->isDragging());
    QVERIFY(e.shape->isVisible());
    for (QObject *child : e.canvas()->children())
        QVERIFY(!dynamic_cast<QwtWidgetOverlay *>(child));
    QCOMPARE(e.xRange(), range); // no pan
    QVERIFY(apply.count() >= 2);
    const QPolygonF moved = outline(e.shape);
    QCOMPARE(moved.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(moved.at(i).x(), Quad.at(i).x() + shift.x());
        QCOMPARE(moved.at(i).y(), Quad.at(i).y() + shift.y());
    }
    // The applied outline stays beside it, dotted, and both are reported.
    QCOMPARE(e.editor()->editedShapes().size(), 1);
    QwtPlotShapeItem *copy = e.editor()->editedShapes().value(e.shape);
    QVERIFY(copy);
    QCOMPARE(copy->pen().style(), Qt::DotLine);
    QCOMPARE(copy->pen().color(), e.shape->pen().color());
    QCOMPARE(outline(copy), Quad);
    QCOMPARE(lastPairs(pairs), (Pairs{qMakePair(Quad, moved)}));
    // One report per release: the panner coming back must not hand the editor a release twice.
    QCOMPARE(pairs.count(), clickedBefore ? 2 : 1);
}

// A press beside the polygons stays a pan of the plot.
void TestEditor::panOnEmptyCanvas()
{
    Editing e;
    const QPair<double, double> range = e.xRange();
    e.drag({Outside, {800, 900}, {700, 900}});
    QVERIFY(e.xRange().first > range.first + 100);
    QCOMPARE(outline(e.shape), Quad);
}

void TestEditor::vertexDrag()
{
    Editing e;
    QSignalSpy pairs(e.plot, &Zt2DPlot::updateSharp);
    e.hover(Inside.x(), Inside.y());
    e.drag({{550, 600}, {600, 650}, {700, 700}});
    QVERIFY(!e.editor()->isDragging());
    QPolygonF expected = Quad;
    expected[2] = e.pointer(e.pixel(700, 700));
    QCOMPARE(outline(e.shape), expected);
    QwtPlotShapeItem *copy = e.editor()->editedShapes().value(e.shape);
    QVERIFY(copy);
    QCOMPARE(outline(copy), Quad);
    QCOMPARE(lastPairs(pairs), (Pairs{qMakePair(Quad, expected)}));
}

void TestEditor::rightClicks_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("vertices");
    QTest::newRow("on an edge: insert") << QPointF(400, 240) << 5;
    QTest::newRow("on a vertex: remove") << QPointF(598, 255) << 3;
    QTest::newRow("inside, far from edges") << QPointF(400, 400) << 4;
}

void TestEditor::rightClicks()
{
    QFETCH(QPointF, at);
    QFETCH(int, vertices);
    Editing e;
    QSignalSpy apply(e.plot, &Zt2DPlot::enableApply);
    QSignalSpy pairs(e.plot, &Zt2DPlot::updateSharp);
    e.hover(Inside.x(), Inside.y());
    e.hover(at.x(), at.y());
    e.click(at.x(), at.y(), Qt::RightButton);
    QCOMPARE(apply.count(), 1);
    QCOMPARE(outline(e.shape).size(), vertices);
    QCOMPARE(pairs.count(), 1);
    if (vertices == 4) {
        QVERIFY(lastPairs(pairs).isEmpty());
        return;
    }
    QCOMPARE(lastPairs(pairs), (Pairs{qMakePair(Quad, outline(e.shape))}));
    // Right after the change the handles are small, until the next hover.
    QCOMPARE(e.shape->shape().boundingRect(), outline(e.shape).boundingRect().adjusted(-7, -9, 7, 9));
    // A removal that would leave two vertices does nothing.
    if (vertices == 3) {
        const QPolygonF three = outline(e.shape);
        e.hover(Inside.x(), Inside.y());
        e.click(548, 602, Qt::RightButton);
        QCOMPARE(outline(e.shape), three);
    }
}

// A right click just beside the edited polygon, where no shape is under the pointer, must not
// take its edited outline for the applied one.
void TestEditor::rightClickOutsideKeepsAppliedOutline()
{
    Editing e;
    QSignalSpy pairs(e.plot, &Zt2DPlot::updateSharp);
    e.hover(Inside.x(), Inside.y());
    e.hover(400, 240);
    e.click(400, 240, Qt::RightButton); // a fifth vertex on edge 0
    // Ctrl held, as while drawing a new polygon: the pointer leaves the polygon without
    // hovering it off, and the press lands where no shape is.
    const QPointF beside(500, 200); // 37.5 below the edge there, outside the polygon
    e.hover(Inside.x(), Inside.y());
    e.click(beside.x(), beside.y(), Qt::RightButton, Qt::ControlModifier);
    QCOMPARE(e.editor()->currentShape(), e.shape);
    QCOMPARE(outline(e.shape).size(), 6);
    QCOMPARE(e.editor()->editedShapes().size(), 1);
    QCOMPARE(lastPairs(pairs).size(), 1);
    QCOMPARE(lastPairs(pairs).first().first, Quad);
}

void TestEditor::ctrlSelection()
{
    Editing e;
    QSignalSpy selected(e.plot, &Zt2DPlot::zoneSelectStatus);
    QSignalSpy removable(e.plot, &Zt2DPlot::enableRemove);
    const QColor colour = e.shape->pen().color();
    e.hover(Inside.x(), Inside.y());
    e.click(Inside.x(), Inside.y(), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(e.editor()->selection(), QList<QwtPlotShapeItem *>{e.shape});
    QCOMPARE(e.shape->pen().widthF(), 3.0);
    QCOMPARE(e.shape->pen().color(), colour);
    QCOMPARE(e.shape->brush().color().rgb(), colour.rgb());
    QCOMPARE(e.shape->brush().color().alpha(), 20);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).at(0).value<QPolygonF>(), Quad);
    QCOMPARE(selected.at(0).at(1).toBool(), true);
    QCOMPARE(removable.last().at(0).toBool(), true);
    // Again: unselected.
    e.click(Inside.x(), Inside.y(), Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(e.editor()->selection().isEmpty());
    QCOMPARE(e.shape->pen().widthF(), 2.0);
    QCOMPARE(e.shape->brush().color().alpha(), 0);
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.at(1).at(1).toBool(), false);
    QCOMPARE(removable.last().at(0).toBool(), false);
    // On empty canvas only the state is reported again.
    e.click(Inside.x(), Inside.y(), Qt::LeftButton, Qt::ControlModifier);
    e.click(Outside.x(), Outside.y(), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(selected.count(), 3);
    QCOMPARE(removable.count(), 4);
    QCOMPARE(removable.last().at(0).toBool(), true);
    e.plot->clearShapeSelection();
    QVERIFY(e.editor()->selection().isEmpty());
}

// The dotted applied outline left behind by a move shows the edited polygon's vertices but
// cannot be grabbed itself, nor dragged, nor selected.
void TestEditor::dottedCopyIsNoHandle()
{
    Editing e;
    e.drag({Inside, {700, 700}});
    QwtPlotShapeItem *copy = e.editor()->editedShapes().value(e.shape);
    QVERIFY(copy);
    const QPolygonF moved = outline(e.shape);
    const QPointF onCopyOnly(250, 250);
    QVERIFY(!moved.containsPoint(onCopyOnly, Qt::OddEvenFill));
    e.hover(onCopyOnly.x(), onCopyOnly.y());
    QCOMPARE(e.editor()->currentShape(), e.shape);
    e.drag({onCopyOnly, {100, 100}});
    QCOMPARE(outline(e.shape), moved);
    QCOMPARE(outline(copy), Quad);
    QSignalSpy selected(e.plot, &Zt2DPlot::zoneSelectStatus);
    e.click(onCopyOnly.x(), onCopyOnly.y(), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(selected.count(), 0);
    QVERIFY(e.editor()->selection().isEmpty());
}

void TestEditor::releaseAlwaysReports()
{
    Editing e;
    QSignalSpy pairs(e.plot, &Zt2DPlot::updateSharp);
    e.click(Outside.x(), Outside.y());
    e.click(Inside.x(), Inside.y(), Qt::RightButton);
    QCOMPARE(pairs.count(), 2);
    QVERIFY(lastPairs(pairs).isEmpty());
}

// Zoomed in until a vertex box would be less than a unit wide, a vertex can still be taken.
void TestEditor::smallestVertexBox()
{
    Fixture f(40);
    const QPolygonF small = poly({{10, 10}, {30, 10}, {30, 30}, {10, 30}});
    f.plot->setPolygons({zone(1, small)});
    f.plot->setVertexTolerance(0, 0);
    QCOMPARE(f.plot->editor()->vertexHalfSize(), QPointF(1, 1));
    f.hover(20, 20);
    f.drag({{30, 30}, {35, 36}});
    QPolygonF expected = small;
    expected[2] = f.pointer(f.pixel(35, 36));
    QCOMPARE(outline(f.plot->editor()->editedShapes().firstKey()), expected);
}

void TestEditor::pendingZonesDrawnAsPairs()
{
    Fixture f(1000);
    const QPolygonF pending = Quad.translated(100, 0);
    f.plot->setPolygons({zone(1, Quad, pending), zone(2, Quad.translated(0, 300), poly({{1, 1}, {2, 2}}))});
    const Editor::ShapeMap &pairs = f.plot->editor()->editedShapes();
    QCOMPARE(pairs.size(), 1);
    QCOMPARE(outline(pairs.firstKey()), pending);
    QCOMPARE(pairs.firstKey()->pen().style(), Qt::SolidLine);
    QCOMPARE(outline(pairs.first()), Quad);
    QCOMPARE(pairs.first()->pen().style(), Qt::DotLine);
    // The zone whose change has too few points shows its applied outline alone.
    QCOMPARE(f.plot->itemList(QwtPlotItem::Rtti_PlotShape).size(), 3);
    QSignalSpy reported(f.plot, &Zt2DPlot::updateSharp);
    f.click(Outside.x(), Outside.y());
    QCOMPARE(lastPairs(reported), (Pairs{qMakePair(Quad, pending)}));
}

void TestEditor::redrawInEveryState_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("hovered") << "hovered";
    QTest::newRow("vertex highlighted") << "vertex";
    QTest::newRow("selected") << "selected";
    QTest::newRow("edited") << "edited";
    QTest::newRow("mid-drag") << "drag";
    QTest::newRow("mid vertex drag") << "vertexdrag";
}

// The page redraws the zones (clear, then draw anew) whenever its data change, also in the
// middle of an edit. The editor must hold nothing of the old shapes afterwards, and go on.
void TestEditor::redrawInEveryState()
{
    QFETCH(QString, state);
    Editing e;
    e.hover(Inside.x(), Inside.y());
    if (state == QLatin1String("vertex")) {
        e.hover(600, 250);
    } else if (state == QLatin1String("selected")) {
        e.click(Inside.x(), Inside.y(), Qt::LeftButton, Qt::ControlModifier);
    } else if (state == QLatin1String("edited")) {
        e.click(400, 240, Qt::RightButton);
    } else if (state == QLatin1String("drag")) {
        e.press(Inside.x(), Inside.y());
        QTest::mouseMove(e.canvas(), e.pixel(450, 420));
    } else if (state == QLatin1String("vertexdrag")) {
        e.hover(600, 250);
        e.press(600, 250);
        QTest::mouseMove(e.canvas(), e.pixel(650, 260));
    }
    e.plot->clearShapes();
    e.plot->setPolygons({zone(1, Quad)});
    QVERIFY(e.editorShapesAttached());
    QVERIFY(!e.editor()->isDragging());
    QVERIFY(e.editor()->selection().isEmpty());
    QVERIFY(e.editor()->editedShapes().isEmpty());
    // A button still held from before the redraw, then ordinary use.
    QTest::mouseMove(e.canvas(), e.pixel(470, 430));
    e.release(470, 430);
    QCOMPARE(e.plot->itemList(QwtPlotItem::Rtti_PlotShape).size(), 1);
    QwtPlotShapeItem *fresh = e.zoneShape();
    QVERIFY(fresh->isVisible());
    e.hover(Inside.x(), Inside.y());
    e.hover(600, 250);
    e.click(400, 240, Qt::RightButton);
    e.click(Inside.x(), Inside.y(), Qt::LeftButton, Qt::ControlModifier);
    e.drag({Inside, {420, 410}});
    e.hover(Outside.x(), Outside.y());
    QVERIFY(e.editorShapesAttached());
    QCOMPARE(outline(e.editor()->editedShapes().value(fresh)), Quad);
}

void TestEditor::disabling()
{
    Editing e;
    e.hover(Inside.x(), Inside.y());
    e.press(Inside.x(), Inside.y());
    QVERIFY(!e.shape->isVisible());
    e.editor()->setEnabled(false);
    QVERIFY(!e.editor()->isDragging());
    QVERIFY(e.shape->isVisible());
    e.release(Inside.x(), Inside.y());
    e.hover(Outside.x(), Outside.y());
    QCOMPARE(e.editor()->currentShape(), e.shape); // no longer following the pointer
    e.editor()->setEnabled(true);
    e.hover(Outside.x(), Outside.y());
    e.hover(Inside.x(), Inside.y());
    e.hover(Outside.x(), Outside.y());
    QCOMPARE(e.editor()->currentShape(), nullptr);
}

LUMARA_TEST_GUI_MAIN(TestEditor)
#include "tst_editor.moc"
