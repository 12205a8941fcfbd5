// The polygon arithmetic of the 2D plot, without any widget: point equality, vertex and
// unique points, outline matching, the projection onto an edge, vertex boxes and the
// right-click rule.
#include "plots/TwoDotPlot/polygongeometry.h"
#include "plot2dtest.h"
#include "testmain.h"

#include <QPainterPath>

#include <climits>
#include <cmath>

using namespace PolygonGeometry;
using Plot2DTest::poly;

namespace {
const QPolygonF Square = poly({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}});
} // namespace

class TestGeometry : public QObject {
    Q_OBJECT
private slots:
    void pointEquality_data();
    void pointEquality();
    void vertexPolygon_data();
    void vertexPolygon();
    void handlePathKeepsOutline();
    void sameOutline_data();
    void sameOutline();
    void projectOnEdge_data();
    void projectOnEdge();
    void vertexBoxes_data();
    void vertexBoxes();
    void reshapeAtPoint_data();
    void reshapeAtPoint();
    void truncation_data();
    void truncation();
};

// Every rule here compares points the way QPointF does; these cases pin what that means.
void TestGeometry::pointEquality_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("0 and 1e-13") << QPointF(0, 5) << QPointF(1e-13, 5) << true;
    QTest::newRow("0 and 1e-12") << QPointF(0, 5) << QPointF(1e-12, 5) << true;
    QTest::newRow("0 and 2e-12") << QPointF(0, 5) << QPointF(2e-12, 5) << false;
    QTest::newRow("1e6 and 1e-7 more") << QPointF(1e6, 1) << QPointF(1e6 + 1e-7, 1) << true;
    QTest::newRow("1e6 and 1e-5 more") << QPointF(1e6, 1) << QPointF(1e6 + 1e-5, 1) << false;
    QTest::newRow("65535 and 65536") << QPointF(65535, 1) << QPointF(65536, 1) << false;
}

void TestGeometry::pointEquality()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(bool, equal);
    // Through the functions that use it: a repeated point is dropped only when equal.
    QCOMPARE(uniquePoints(poly({a, b})).size(), equal ? 1 : 2);
    QCOMPARE(PolygonGeometry::vertexPolygon(poly({a, {7, 7}, b})).size(), equal ? 2 : 3);
}

void TestGeometry::vertexPolygon_data()
{
    QTest::addColumn<QPolygonF>("points");
    QTest::addColumn<QPolygonF>("vertices");
    QTest::addColumn<QPolygonF>("unique");
    const QPointF a(0, 0), b(10, 0), c(10, 10), d(0, 10);
    QTest::newRow("closed") << poly({a, b, c, d, a}) << poly({a, b, c, d}) << poly({a, b, c, d});
    QTest::newRow("open") << poly({a, b, c}) << poly({a, b, c}) << poly({a, b, c});
    QTest::newRow("repeat skipped") << poly({a, b, b, c, d}) << poly({a, b, c, d}) << poly({a, b, c, d});
    QTest::newRow("stops at the first point again") << poly({a, b, c, a, d}) << poly({a, b, c}) << poly({a, b, c, d});
    QTest::newRow("other repeat does not stop") << poly({a, b, c, b, d, a}) << poly({a, b, c, d}) << poly({a, b, c, d});
    QTest::newRow("first point repeated at once") << poly({a, a, b, c}) << poly({a}) << poly({a, b, c});
    QTest::newRow("single") << poly({a}) << poly({a}) << poly({a});
    QTest::newRow("empty") << QPolygonF() << QPolygonF() << QPolygonF();
}

void TestGeometry::vertexPolygon()
{
    QFETCH(QPolygonF, points);
    QTEST(PolygonGeometry::vertexPolygon(points), "vertices");
    QTEST(uniquePoints(points), "unique");
}

// The editor reads a polygon back from a shape whose path also holds the vertex handles: the
// outline's vertices come out, nothing of the ellipses.
void TestGeometry::handlePathKeepsOutline()
{
    const QPolygonF outline = poly({{100, 100}, {900, 150}, {700, 800}, {150, 600}});
    for (int enlarged : {-1, 0, 3}) {
        const QPainterPath path = closedPathWithHandles(outline, 70, 90, enlarged);
        QCOMPARE(PolygonGeometry::vertexPolygon(pathPolygon(path)), outline);
        QCOMPARE(pathPolygon(path).mid(0, outline.size()), outline);
    }
    // A handle belongs to the polygon on both sides of its outline.
    const QPainterPath handles = closedPathWithHandles(outline, 70, 90);
    QVERIFY(handles.contains(QPointF(130, 140)));  // inside the polygon and the first handle
    QVERIFY(handles.contains(QPointF(60, 60)));    // outside the polygon, on the handle
    QVERIFY(!handles.contains(QPointF(20, 20)));   // beyond the handle
    // The enlarged handle reaches 1.5 half sizes out.
    const QRectF box = closedPathWithHandles(outline, 70, 90, 0).boundingRect();
    QCOMPARE(box.left(), 100 - 105.0);
    QCOMPARE(box.top(), 100 - 135.0);
    QCOMPARE(box.right(), 900 + 70.0);
}

void TestGeometry::sameOutline_data()
{
    QTest::addColumn<QPolygonF>("a");
    QTest::addColumn<QPolygonF>("b");
    QTest::addColumn<bool>("same");
    const QPointF p(100, 100), q(500, 100), r(300, 400);
    QTest::newRow("identical") << poly({p, q, r}) << poly({p, q, r}) << true;
    QTest::newRow("repeats ignored") << poly({p, p, q, r, q, p}) << poly({p, q, r}) << true;
    QTest::newRow("rotated") << poly({q, r, p}) << poly({p, q, r}) << false;
    QTest::newRow("reversed") << poly({r, q, p}) << poly({p, q, r}) << false;
    QTest::newRow("one point moved") << poly({p, q, {300, 401}}) << poly({p, q, r}) << false;
    QTest::newRow("a point more") << poly({p, q, r, {100, 300}}) << poly({p, q, r}) << false;
}

void TestGeometry::sameOutline()
{
    QFETCH(QPolygonF, a);
    QFETCH(QPolygonF, b);
    QTEST(PolygonGeometry::sameOutline(a, b), "same");
}

void TestGeometry::projectOnEdge_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<QPoint>("p");
    QTest::addColumn<QPointF>("expected");
    const QPointF none(-1, -1);
    // Shallow slope 0.5: measured upright.
    QTest::newRow("shallow: inside") << QPoint(0, 0) << QPoint(1000, 500) << QPoint(400, 279) << QPointF(400, 200);
    QTest::newRow("shallow: just outside") << QPoint(0, 0) << QPoint(1000, 500) << QPoint(400, 280) << none;
    QTest::newRow("shallow: below") << QPoint(0, 0) << QPoint(1000, 500) << QPoint(400, 121) << QPointF(400, 200);
    QTest::newRow("flat: beyond the end, inside") << QPoint(0, 0) << QPoint(1000, 0) << QPoint(1079, 10) << QPointF(1079, 0);
    QTest::newRow("flat: beyond the end, outside") << QPoint(0, 0) << QPoint(1000, 0) << QPoint(1080, 10) << none;
    QTest::newRow("slope 1 measured upright") << QPoint(0, 0) << QPoint(1000, 1000) << QPoint(300, 350) << QPointF(300, 300);
    QTest::newRow("slope -1 measured upright") << QPoint(0, 1000) << QPoint(1000, 0) << QPoint(300, 650) << QPointF(300, 700);
    // Steep slope 10: measured sideways.
    QTest::newRow("steep: inside") << QPoint(0, 0) << QPoint(100, 1000) << QPoint(129, 500) << QPointF(50, 500);
    QTest::newRow("steep: just outside") << QPoint(0, 0) << QPoint(100, 1000) << QPoint(130, 500) << none;
    QTest::newRow("steep: above the end") << QPoint(0, 0) << QPoint(100, 1000) << QPoint(100, 1079) << QPointF(107.9000015258789, 1079);
    QTest::newRow("steep: too far above") << QPoint(0, 0) << QPoint(100, 1000) << QPoint(100, 1080) << none;
    // Vertical: the ends are left to their vertices.
    QTest::newRow("vertical: inside") << QPoint(500, 0) << QPoint(500, 1000) << QPoint(579, 500) << QPointF(500, 500);
    QTest::newRow("vertical: just outside") << QPoint(500, 0) << QPoint(500, 1000) << QPoint(580, 500) << none;
    QTest::newRow("vertical: near the lower end") << QPoint(500, 1000) << QPoint(500, 0) << QPoint(500, 80) << none;
    QTest::newRow("vertical: past the lower end zone") << QPoint(500, 1000) << QPoint(500, 0) << QPoint(500, 81) << QPointF(500, 81);
    QTest::newRow("vertical: near the upper end") << QPoint(500, 0) << QPoint(500, 1000) << QPoint(500, 920) << none;
    // Grey values near the top of the range: their products leave the int range.
    QTest::newRow("large values") << QPoint(60000, 0) << QPoint(0, 60000) << QPoint(30000, 30010) << QPointF(30000, 30000);
    // Single precision: a third as a float.
    QTest::newRow("single precision") << QPoint(0, 0) << QPoint(3, 1) << QPoint(1, 0) << QPointF(1, double(1.0f / 3.0f));
}

void TestGeometry::projectOnEdge()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(QPoint, p);
    QFETCH(QPointF, expected);
    const QPointF q = PolygonGeometry::projectOnEdge(a, b, p, EdgeTolerance);
    QCOMPARE(q.x(), expected.x());
    QCOMPARE(q.y(), expected.y());
}

void TestGeometry::vertexBoxes_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // Half sizes 10 and 20: boxes of 15 by 30 around each vertex; vertices 1 and 2 overlap.
    QTest::newRow("inside vertex 0") << QPointF(14, -29) << 0 << 0;
    QTest::newRow("x on the box edge") << QPointF(15, 0) << -1 << -1;
    QTest::newRow("y on the box edge") << QPointF(0, 30) << -1 << -1;
    QTest::newRow("in both overlapping boxes") << QPointF(110, 0) << 1 << 2;
    QTest::newRow("beyond the counted vertices") << QPointF(300, 0) << -1 << -1;
}

void TestGeometry::vertexBoxes()
{
    QFETCH(QPointF, point);
    const QPolygonF vertices = poly({{0, 0}, {100, 0}, {120, 0}, {300, 0}});
    QTEST(vertexAt(vertices, 3, point, 10, 20), "first");
    QTEST(lastVertexAt(vertices, 3, point, 10, 20), "last");
}

void TestGeometry::reshapeAtPoint_data()
{
    QTest::addColumn<QPolygonF>("vertices");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QPolygonF>("result");
    const QPolygonF quad = poly({{0, 0}, {1000, 200}, {800, 1000}, {100, 900}});
    QTest::newRow("insert on a flat edge") << Square << QPoint(500, 30) << true
                                           << poly({{0, 0}, {500, 0}, {1000, 0}, {1000, 1000}, {0, 1000}});
    QTest::newRow("insert on a sloped edge") << quad << QPoint(500, 150) << true
                                             << poly({{0, 0}, {500, 100}, {1000, 200}, {800, 1000}, {100, 900}});
    // Near vertex 1 the first edge hands over to the next, which removes its start.
    QTest::newRow("remove a vertex") << quad << QPoint(995, 205) << true
                                     << poly({{0, 0}, {800, 1000}, {100, 900}});
    QTest::newRow("removal leaving 2 vertices") << poly({{0, 0}, {1000, 200}, {800, 1000}}) << QPoint(995, 205)
                                                << false << QPolygonF();
    QTest::newRow("insert on the closing edge") << Square << QPoint(20, 500) << true
                                                << poly({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 500}});
    // The closing edge does not hand over near its end: the point goes in.
    QTest::newRow("closing edge near its end") << poly({{0, 0}, {0, 1000}, {1000, 1000}, {1000, 200}}) << QPoint(10, 30)
                                               << true
                                               << poly({{0, 0}, {0, 1000}, {1000, 1000}, {1000, 200}, {10, 2}});
    // A corner between two axis-parallel edges: the flat edge hands over, the upright one
    // leaves its ends alone.
    QTest::newRow("square corner") << Square << QPoint(990, 10) << false << QPolygonF();
    QTest::newRow("far from every edge") << Square << QPoint(500, 500) << false << QPolygonF();
    QTest::newRow("outside, within reach") << Square << QPoint(500, -79) << true
                                           << poly({{0, 0}, {500, 0}, {1000, 0}, {1000, 1000}, {0, 1000}});
    QTest::newRow("outside, out of reach") << Square << QPoint(500, -80) << false << QPolygonF();
}

void TestGeometry::reshapeAtPoint()
{
    QFETCH(QPolygonF, vertices);
    QFETCH(QPoint, point);
    QFETCH(bool, changed);
    QPolygonF result = poly({{-5, -5}});
    QCOMPARE(PolygonGeometry::reshapeAtPoint(vertices, point, &result), changed);
    if (changed)
        QTEST(result, "result");
    else
        QCOMPARE(result, poly({{-5, -5}}));
}

void TestGeometry::truncation_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("toward zero") << QPointF(12.99, -7.99) << QPoint(12, -7);
    QTest::newRow("beyond int") << QPointF(1e12, -1e12) << QPoint(INT_MAX, INT_MIN);
    QTest::newRow("not a number") << QPointF(std::nan(""), 3) << QPoint(0, 3);
}

void TestGeometry::truncation()
{
    QFETCH(QPointF, point);
    QTEST(truncatedPoint(point), "expected");
}

LUMARA_TEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
