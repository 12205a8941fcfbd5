// The compensation page's decisions without a widget: the matrix its jobs are handed, the
// channel pairs and their paging for one to six pairs, the preview's droplets without the
// excluded ones, and the plot ranges.
#include "pages/Compensation/compensationsteps.h"
#include "testmain.h"

using namespace CompensationSteps;
using Pairs = QList<QPair<uint, uint>>;
Q_DECLARE_METATYPE(Pairs)

namespace {

// "first second index flags": second "-" when the second plot is hidden; flags "p" previous
// disabled, "n" next disabled.
QString describe(const PlotPage &page)
{
    QString flags;
    if (page.disablePrevious)
        flags += QLatin1Char('p');
    if (page.disableNext)
        flags += QLatin1Char('n');
    return QStringLiteral("%1 %2 %3 %4")
        .arg(page.first)
        .arg(page.second < 0 ? QStringLiteral("-") : QString::number(page.second))
        .arg(page.index)
        .arg(flags)
        .trimmed();
}

} // namespace

class TestCompensationSteps : public QObject {
    Q_OBJECT
private slots:
    // The whole edited matrix goes to the jobs (never its difference to the applied one),
    // with 1.0 on the diagonal.
    void workingMatrix_data()
    {
        QTest::addColumn<double>("diagonal");
        QTest::newRow("unit diagonal") << 1.0;
        QTest::newRow("diagonal of a loaded file") << 0.8;
    }

    void workingMatrix()
    {
        QFETCH(double, diagonal);
        CompensationMatrix edited;
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 6; ++j)
                edited.matrix[i][j] = i == j ? diagonal : 0.001 * (10 * i + j + 1);
            edited.negativeBackground[i] = 250.0 + i;
        }
        const CompensationMatrix working = CompensationSteps::workingMatrix(edited);
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 6; ++j)
                QCOMPARE(working.matrix[i][j], i == j ? 1.0 : 0.001 * (10 * i + j + 1));
            QCOMPARE(working.negativeBackground[i], 250.0 + i);
        }
    }

    void channelPairs_data()
    {
        QTest::addColumn<QList<uint>>("channels");
        QTest::addColumn<Pairs>("pairs");
        QTest::newRow("none") << QList<uint>{} << Pairs{};
        QTest::newRow("one") << QList<uint>{2} << Pairs{};
        QTest::newRow("two") << QList<uint>{4, 1} << Pairs{{4, 1}};
        QTest::newRow("three, first-seen order") << QList<uint>{1, 3, 2} << Pairs{{1, 3}, {1, 2}, {3, 2}};
        QTest::newRow("four") << QList<uint>{1, 2, 3, 4} << Pairs{{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    }

    void channelPairs()
    {
        QFETCH(QList<uint>, channels);
        QFETCH(Pairs, pairs);
        QCOMPARE(CompensationSteps::channelPairs(channels), pairs);
    }

    // A script of page turns from a start index, and the page after each turn.
    void paging_data()
    {
        QTest::addColumn<int>("pairs");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("turns"); // R redraw, N next, P previous
        QTest::addColumn<QStringList>("pages");

        QTest::newRow("no pair") << 0 << 1 << "RNP" << QStringList{"-1 - 1", "-1 - 1", "-1 - 1"};
        QTest::newRow("one pair") << 1 << 1 << "RRNP" << QStringList{"0 - 0 p", "0 - 0 p", "0 - 0 pn", "0 - 0 p"};
        QTest::newRow("two pairs") << 2 << 1 << "RNP" << QStringList{"0 1 1 p", "0 1 1 pn", "0 1 1 p"};
        QTest::newRow("three pairs") << 3 << 1 << "RNRP"
                                     << QStringList{"0 1 1 p", "2 - 2 n", "1 2 2", "0 1 1 p"};
        QTest::newRow("four pairs") << 4 << 1 << "RNP" << QStringList{"0 1 1 p", "2 3 3 n", "0 1 1 p"};
        // Previous from the lone last pair goes back to (1, 2), not (2, 3).
        QTest::newRow("five pairs") << 5 << 1 << "RNNPP"
                                    << QStringList{"0 1 1 p", "2 3 3", "4 - 4 n", "1 2 2", "0 1 1 p"};
        QTest::newRow("six pairs") << 6 << 1 << "RNNPP"
                                   << QStringList{"0 1 1 p", "2 3 3", "4 5 5 n", "2 3 3", "0 1 1 p"};
        QTest::newRow("index past the list") << 2 << 5 << "R" << QStringList{"0 1 1 p"};
        QTest::newRow("index before the second pair") << 4 << 0 << "R" << QStringList{"0 1 1 p"};
        QTest::newRow("a middle page stays") << 6 << 3 << "R" << QStringList{"2 3 3"};
    }

    void paging()
    {
        QFETCH(int, pairs);
        QFETCH(int, start);
        QFETCH(QString, turns);
        QFETCH(QStringList, pages);
        int index = start;
        QStringList seen;
        for (QChar turn : turns) {
            const PageTurn kind = turn == QLatin1Char('N')   ? PageTurn::Next
                                  : turn == QLatin1Char('P') ? PageTurn::Previous
                                                             : PageTurn::Redraw;
            const PlotPage page = turnPage(pairs, index, kind);
            seen.append(describe(page));
            index = page.index;
            // Whatever is shown lies in the list.
            QVERIFY(page.first < pairs && page.second < pairs);
        }
        QCOMPARE(seen, pages);
    }

    void keptValues_data()
    {
        QTest::addColumn<QVector<uint>>("all");
        QTest::addColumn<QList<uint>>("excluded");
        QTest::addColumn<QVector<uint>>("kept");
        const QVector<uint> six{10, 11, 12, 13, 14, 15};
        QTest::newRow("none excluded") << six << QList<uint>{} << six;
        QTest::newRow("two excluded") << six << QList<uint>{1, 4} << QVector<uint>{10, 12, 13, 15};
        QTest::newRow("first and last") << six << QList<uint>{0, 5} << QVector<uint>{11, 12, 13, 14};
        QTest::newRow("index past the droplets") << six << QList<uint>{9} << six;
        QTest::newRow("all excluded") << QVector<uint>{1, 2} << QList<uint>{0, 1} << QVector<uint>{};
    }

    void keptValues()
    {
        QFETCH(QVector<uint>, all);
        QFETCH(QList<uint>, excluded);
        QFETCH(QVector<uint>, kept);
        const QSet<uint> set(excluded.cbegin(), excluded.cend());
        QCOMPARE(CompensationSteps::keptValues(all, set), kept);
    }

    void pairPoints()
    {
        // Droplet i of one channel goes with droplet i of the other; a longer list's rest has
        // no partner.
        QCOMPARE(CompensationSteps::pairPoints({1, 2, 3}, {7, 8}), (QVector<QPointF>{{1, 7}, {2, 8}}));
    }

    void axisRanges_data()
    {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<QVector<double>>("ranges"); // x lower, x upper, y lower, y upper
        QTest::newRow("no points: 50000 down to 0") << QVector<QPointF>{} << QVector<double>{50000, 0, 50000, 0};
        QTest::newRow("two points") << QVector<QPointF>{{1000, 4000}, {3000, 2000}}
                                    << QVector<double>{500, 3600, 1000, 4800};
        QTest::newRow("above the start value") << QVector<QPointF>{{200000, 150000}}
                                               << QVector<double>{50000, 240000, 50000, 180000};
    }

    void axisRanges()
    {
        QFETCH(QVector<QPointF>, points);
        QFETCH(QVector<double>, ranges);
        const AxisRanges r = CompensationSteps::axisRanges(points);
        QCOMPARE((QVector<double>{r.xLower, r.xUpper, r.yLower, r.yUpper}), ranges);
    }
};

LUMARA_TEST_MAIN(TestCompensationSteps)
#include "tst_compensationsteps.moc"
