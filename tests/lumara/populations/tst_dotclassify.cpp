// How the 3D page sorts a droplet: octants and population codes take a value at its
// threshold as positive (as the recount does), polygon zones decide by the first pair of
// shown channels they lie on, by the odd-even rule.
#include "plots/ThreeDotPlot/dotclassify.h"

#include "testmain.h"

using namespace Dot3D;

Q_DECLARE_METATYPE(QVector<PolygonZone>)
Q_DECLARE_METATYPE(QVector<CodeBit>)

class TestDotClassify : public QObject {
    Q_OBJECT
private slots:
    void octant_data()
    {
        QTest::addColumn<QVector<uint>>("values"); // gx, gy, gz
        QTest::addColumn<int>("octant");
        // Thresholds 100, 200, 300.
        QTest::newRow("below all") << QVector<uint>{99, 199, 299} << 0;
        QTest::newRow("at all") << QVector<uint>{100, 200, 300} << 7;
        QTest::newRow("z only") << QVector<uint>{0, 0, 300} << 1;
        QTest::newRow("y only") << QVector<uint>{99, 200, 0} << 2;
        QTest::newRow("x only") << QVector<uint>{100, 199, 299} << 4;
        QTest::newRow("x and z") << QVector<uint>{5000, 1, 301} << 5;
        QTest::newRow("x and y") << QVector<uint>{101, 201, 1} << 6;
    }
    void octant()
    {
        QFETCH(QVector<uint>, values);
        QFETCH(int, octant);
        QCOMPARE(octantIndex(values[0], values[1], values[2], 100, 200, 300), octant);
    }

    void code_data()
    {
        // Bits are placed by their target position, not by their order in the lists; the
        // forced bits stand for targets the well does not measure.
        QTest::addColumn<QVector<uint>>("values");
        QTest::addColumn<QVector<CodeBit>>("bits");
        QTest::addColumn<uint>("forced");
        QTest::addColumn<uint>("code");
        const QVector<CodeBit> three{{0, 10}, {1, 10}, {2, 10}};
        QTest::newRow("none") << QVector<uint>{1, 2, 3} << three << 0u << 0u;
        QTest::newRow("at threshold") << QVector<uint>{10, 2, 10} << three << 0u << 5u;
        QTest::newRow("all") << QVector<uint>{11, 12, 13} << three << 0u << 7u;
        QTest::newRow("zero threshold") << QVector<uint>{0, 0} << QVector<CodeBit>{{0, 0}, {1, 5}} << 0u << 1u;
        QTest::newRow("short values") << QVector<uint>{20} << QVector<CodeBit>{{0, 10}, {1, 10}} << 0u << 1u;
        QTest::newRow("gap for an unmeasured target") << QVector<uint>{20, 20} << QVector<CodeBit>{{0, 10}, {2, 10}} << 2u
                                                      << 7u;
        QTest::newRow("forced only") << QVector<uint>{1, 1} << QVector<CodeBit>{{1, 10}, {2, 10}} << 1u << 1u;
    }
    void code()
    {
        QFETCH(QVector<uint>, values);
        QFETCH(QVector<CodeBit>, bits);
        QFETCH(uint, forced);
        QFETCH(uint, code);
        QCOMPARE(populationCode(values, bits, forced), code);
    }

    void polygon_data()
    {
        // Shown channels x = 1, y = 2, z = 3; the point (gx, gy, gz) = (5, 50, 500).
        QTest::addColumn<QVector<PolygonZone>>("zones");
        QTest::addColumn<int>("membership");
        const QPolygonF aroundXY({QPointF(0, 0), QPointF(10, 0), QPointF(10, 100), QPointF(0, 100)});
        const QPolygonF aroundXZ({QPointF(0, 0), QPointF(10, 0), QPointF(10, 1000), QPointF(0, 1000)});
        const QPolygonF aroundYZ({QPointF(0, 0), QPointF(100, 0), QPointF(100, 1000), QPointF(0, 1000)});
        const QPolygonF elsewhere({QPointF(1000, 1000), QPointF(2000, 1000), QPointF(2000, 2000)});
        // Self-crossing star whose centre the odd-even rule would leave out.
        const QPolygonF star({QPointF(5, 0), QPointF(8, 100), QPointF(0, 30), QPointF(10, 30), QPointF(2, 100)});
        QTest::newRow("no zone") << QVector<PolygonZone>() << int(NoZone);
        QTest::newRow("other plot") << QVector<PolygonZone>{{aroundXY, 4, 5}} << int(NoZone);
        QTest::newRow("swapped pair") << QVector<PolygonZone>{{aroundXY, 2, 1}} << int(NoZone);
        QTest::newRow("xy in") << QVector<PolygonZone>{{aroundXY, 1, 2}} << int(In);
        QTest::newRow("xz in") << QVector<PolygonZone>{{aroundXZ, 1, 3}} << int(In);
        QTest::newRow("yz in") << QVector<PolygonZone>{{aroundYZ, 2, 3}} << int(In);
        QTest::newRow("xy out") << QVector<PolygonZone>{{elsewhere, 1, 2}} << int(Out);
        QTest::newRow("first decides") << QVector<PolygonZone>{{elsewhere, 1, 2}, {aroundXZ, 1, 3}} << int(Out);
        QTest::newRow("skips foreign") << QVector<PolygonZone>{{elsewhere, 4, 5}, {aroundYZ, 2, 3}} << int(In);
        QTest::newRow("odd-even fill") << QVector<PolygonZone>{{star, 1, 2}} << int(Out);
    }
    void polygon()
    {
        QFETCH(QVector<PolygonZone>, zones);
        QFETCH(int, membership);
        // The star's centre lies inside by the winding rule: only the odd-even rule leaves it out.
        if (QTest::currentDataTag() == QByteArray("odd-even fill"))
            QVERIFY(zones.first().polygon.containsPoint(QPointF(5, 50), Qt::WindingFill));
        QCOMPARE(int(polygonMembership(zones, 1, 2, 3, QVector3D(5, 50, 500))), membership);
    }

    void title_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("named") << "Mine" << "Mine";
        QTest::newRow("unnamed") << "" << "FAM_HEX_CY5";
    }
    void title()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(plotTitle(name, "FAM", "HEX", "CY5"), title);
    }

    void axis()
    {
        QCOMPARE(axisUpper(0), 10.0f);
        QCOMPARE(axisUpper(65535), 65545.0f);
    }
};

LUMARA_TEST_MAIN(TestDotClassify)
#include "tst_dotclassify.moc"
