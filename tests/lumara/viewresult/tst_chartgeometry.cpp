// The arithmetic of the result charts, without a display: where groups and bars go, how big
// a bar is in axis units, the whiskers and box of one bar, the axis ranges and the label fit.
#include "pages/ViewResult/chartgeometry.h"
#include "testmain.h"

#include <cmath>
#include <limits>

using namespace ChartGeometry;

Q_DECLARE_METATYPE(QVector<double>)
Q_DECLARE_METATYPE(QVector<QPointF>)
Q_DECLARE_METATYPE(QVector<int>)

namespace {
const double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();
} // namespace

class TestChartGeometry : public QObject {
    Q_OBJECT
private slots:
    void xDivision_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<QVector<double>>("boundaries");
        QTest::addColumn<QVector<double>>("centres");
        QTest::addColumn<double>("upper");
        QTest::newRow("none") << 0 << QVector<double>{} << QVector<double>{} << 1.0;
        QTest::newRow("one") << 1 << QVector<double>{0, 200} << QVector<double>{100} << 201.0;
        QTest::newRow("two") << 2 << QVector<double>{0, 200, 400} << QVector<double>{100, 300} << 401.0;
        QTest::newRow("three") << 3 << QVector<double>{0, 200, 400, 600} << QVector<double>{100, 300, 500} << 601.0;
    }

    void xDivision()
    {
        QFETCH(int, groups);
        QFETCH(QVector<double>, boundaries);
        QFETCH(QVector<double>, centres);
        QFETCH(double, upper);
        const XDivision div = buildXDivision(QVector<int>(groups, GroupWidth));
        QCOMPARE(div.boundaries, boundaries);
        QCOMPARE(div.centres, centres);
        QCOMPARE(div.lower, 0.0);
        QCOMPARE(div.upper, upper);
        for (int i = 0; i < groups; ++i)
            QCOMPARE(double(groupCentre(i)), centres[i]);
    }

    void barPositions_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("bars");
        QTest::addColumn<QVector<int>>("xs");
        QTest::newRow("one bar") << 0 << 1 << QVector<int>{100};
        QTest::newRow("two bars") << 0 << 2 << QVector<int>{66, 132};
        QTest::newRow("three bars") << 0 << 3 << QVector<int>{50, 100, 150};
        QTest::newRow("two bars, third group") << 2 << 2 << QVector<int>{466, 532};
        QTest::newRow("three bars, second group") << 1 << 3 << QVector<int>{250, 300, 350};
    }

    void barPositions()
    {
        QFETCH(int, group);
        QFETCH(int, bars);
        QFETCH(QVector<int>, xs);
        for (int j = 0; j < bars; ++j)
            QCOMPARE(barX(group, j, bars), xs[j]);
    }

    void barSize_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("plotWidth");
        QTest::addColumn<int>("halfWidth");
        // 30 px in x units, truncated, then halved as an integer.
        QTest::newRow("one group at 1280") << 1 << 1280 << 2;
        QTest::newRow("three groups at 1280") << 3 << 1280 << 7;
        QTest::newRow("no width yet") << 1 << 0 << 3015;
        QTest::newRow("negative width") << 1 << -5 << 3015;
    }

    void barSize()
    {
        QFETCH(int, groups);
        QFETCH(int, plotWidth);
        QFETCH(int, halfWidth);
        const XDivision div = buildXDivision(QVector<int>(groups, GroupWidth));
        QCOMPARE(ChartGeometry::halfWidth(div.upper - div.lower, plotWidth), halfWidth);
    }

    // Half a 10-pixel box stays a fraction: small y ranges keep their box.
    void boxHeight_data()
    {
        QTest::addColumn<double>("yRange");
        QTest::addColumn<int>("plotHeight");
        QTest::addColumn<double>("halfHeight");
        QTest::newRow("range below two heights") << 130.0 << 981 << 650.0 / 981.0;
        QTest::newRow("large range") << 13000.0 << 981 << 65000.0 / 981.0;
        QTest::newRow("log range") << 199.999 << 981 << 999.995 / 981.0;
        QTest::newRow("no height yet") << 130.0 << 0 << 650.0;
    }

    void boxHeight()
    {
        QFETCH(double, yRange);
        QFETCH(int, plotHeight);
        QFETCH(double, halfHeight);
        QVERIFY(qFuzzyCompare(ChartGeometry::halfHeight(yRange, plotHeight), halfHeight));
    }

    void yRange_data()
    {
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("linear") << 1000.0 << true << 0.0 << 1300.0;
        QTest::newRow("log") << 1000.0 << false << 0.001 << 2000.0;
        QTest::newRow("linear, nothing above 0") << 0.0 << true << 0.0 << 1.0;
        QTest::newRow("log, nothing above 0") << 0.0 << false << 0.001 << 1.0;
        QTest::newRow("infinite") << inf << true << 0.0 << 1.0;
        QTest::newRow("not a number") << notANumber << false << 0.001 << 1.0;
    }

    void yRange()
    {
        QFETCH(double, maximum);
        QFETCH(bool, linear);
        QFETCH(double, lower);
        QFETCH(double, upper);
        const YRange range = concentrationYRange(maximum, linear);
        QCOMPARE(range.lower, lower);
        QVERIFY(qFuzzyCompare(range.upper, upper));
    }

    void bar_data()
    {
        QTest::addColumn<double>("concentration");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<QVector<QPointF>>("upperWhisker");
        QTest::addColumn<QVector<QPointF>>("lowerWhisker");
        QTest::addColumn<QVector<QPointF>>("box");
        // x 100, halfWidth 7, halfHeight 2.
        QTest::newRow("box between the bounds")
            << 50.0 << 40.0 << 60.0 << QVector<QPointF>{{93, 60}, {107, 60}, {100, 60}, {100, 52}}
            << QVector<QPointF>{{93, 40}, {107, 40}, {100, 40}, {100, 48}}
            << QVector<QPointF>{{93, 52}, {107, 52}, {107, 48}, {93, 48}, {93, 52}};
        QTest::newRow("box clipped at the upper bound")
            << 50.0 << 40.0 << 51.0 << QVector<QPointF>{{93, 51}, {107, 51}, {100, 51}}
            << QVector<QPointF>{{93, 40}, {107, 40}, {100, 40}, {100, 48}}
            << QVector<QPointF>{{93, 51}, {107, 51}, {107, 48}, {93, 48}, {93, 51}};
        QTest::newRow("lower bound 0, concentration within the box")
            << 1.0 << 0.0 << 10.0 << QVector<QPointF>{{93, 10}, {107, 10}, {100, 10}, {100, 3}}
            << QVector<QPointF>{{93, 0}, {107, 0}, {100, 0}} << QVector<QPointF>{{93, 3}, {107, 3}, {93, 3}};
        QTest::newRow("box down to a positive lower bound")
            << 3.0 << 2.0 << 10.0 << QVector<QPointF>{{93, 10}, {107, 10}, {100, 10}, {100, 5}}
            << QVector<QPointF>{{93, 2}, {107, 2}, {100, 2}}
            << QVector<QPointF>{{93, 5}, {107, 5}, {107, 2}, {93, 2}, {93, 5}};
        QTest::newRow("negative lower bound drawn at 0")
            << 50.0 << -5.0 << 60.0 << QVector<QPointF>{{93, 60}, {107, 60}, {100, 60}, {100, 52}}
            << QVector<QPointF>{{93, 0}, {107, 0}, {100, 0}, {100, 48}}
            << QVector<QPointF>{{93, 52}, {107, 52}, {107, 48}, {93, 48}, {93, 52}};
        QTest::newRow("infinite upper bound")
            << 50.0 << 40.0 << inf << QVector<QPointF>{} << QVector<QPointF>{{93, 40}, {107, 40}, {100, 40}, {100, 48}}
            << QVector<QPointF>{{93, 52}, {107, 52}, {107, 48}, {93, 48}, {93, 52}};
        QTest::newRow("upper bound not a number")
            << 50.0 << 40.0 << notANumber << QVector<QPointF>{} << QVector<QPointF>{{93, 40}, {107, 40}, {100, 40}, {100, 48}}
            << QVector<QPointF>{{93, 52}, {107, 52}, {107, 48}, {93, 48}, {93, 52}};
        QTest::newRow("lower bound not a number")
            << 50.0 << notANumber << 60.0 << QVector<QPointF>{{93, 60}, {107, 60}, {100, 60}, {100, 52}} << QVector<QPointF>{}
            << QVector<QPointF>{{93, 52}, {107, 52}, {107, 48}, {93, 48}, {93, 52}};
    }

    void bar()
    {
        QFETCH(double, concentration);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(QVector<QPointF>, upperWhisker);
        QFETCH(QVector<QPointF>, lowerWhisker);
        QFETCH(QVector<QPointF>, box);
        const BarCurves bar = barCurves(100, concentration, lower, upper, 7, 2);
        QCOMPARE(bar.upperWhisker, upperWhisker);
        QCOMPARE(bar.lowerWhisker, lowerWhisker);
        QCOMPARE(bar.box, box);
    }

    void labelFit_data()
    {
        QTest::addColumn<int>("perGroup");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("pixelSize");
        // The label is 6 px wide per pixel of font size; it fits when 6 * size + 10 <= perGroup.
        QTest::newRow("fits at 20") << 200 << 1.0 << 20;
        QTest::newRow("exactly fits at 20") << 130 << 1.0 << 20;
        QTest::newRow("shrinks to 15") << 100 << 1.0 << 15;
        QTest::newRow("shrinks to 1") << 16 << 1.0 << 1;
        QTest::newRow("nothing fits: 10 px") << 15 << 1.0 << 10;
        QTest::newRow("no room at all: unchanged") << 0 << 1.0 << 20;
        QTest::newRow("scale 2: 40 fits") << 250 << 2.0 << 40;
        QTest::newRow("scale 2: shrinks to 7 x 2") << 100 << 2.0 << 14;
        QTest::newRow("scale 1.33: shrinks to trunc(12 x 1.33)") << 100 << 1.33 << 15;
    }

    void labelFit()
    {
        QFETCH(int, perGroup);
        QFETCH(double, scale);
        QFETCH(int, pixelSize);
        QVector<int> tried;
        const int fitted = fitLabelPixelSize(perGroup, scale, [&tried](int size) {
            tried.append(size);
            return 6 * size;
        });
        QCOMPARE(fitted, pixelSize);
        // Step by step: never a larger size after a smaller one.
        for (int i = 1; i < tried.size(); ++i)
            QVERIFY(tried[i] <= tried[i - 1]);
    }

    void uncertaintyAxis_data()
    {
        QTest::addColumn<double>("largest");
        QTest::addColumn<double>("upper");
        QTest::newRow("nothing") << 0.0 << 24.0;
        QTest::newRow("15") << 15.0 << 24.0;
        QTest::newRow("just below 20") << 19.99 << 24.0;
        QTest::newRow("20") << 20.0 << 44.0;
        QTest::newRow("45") << 45.0 << 64.0;
        QTest::newRow("60") << 60.0 << 80.0;
        QTest::newRow("150") << 150.0 << 170.0;
    }

    void uncertaintyAxis()
    {
        QFETCH(double, largest);
        QFETCH(double, upper);
        QCOMPARE(uncertaintyAxisUpper(largest), upper);
    }
};

LUMARA_TEST_MAIN(TestChartGeometry)
#include "tst_chartgeometry.moc"
