// The two table models of the compensation page: their state before any package, the
// editable cells after one and after another package with other channels, the backgrounds
// kept equal in both models, and edits with texts and indices that do not fit.
#include "pages/Compensation/backgrdmodel.h"
#include "pages/Compensation/matrixmodel.h"
#include "testmain.h"

#include <QSignalSpy>

using Cells = QList<QPair<int, int>>;
Q_DECLARE_METATYPE(Cells)

namespace {

MatrixModel *matrix()
{
    return MatrixModel::instance();
}

BackGrdModel *backgrounds()
{
    return BackGrdModel::instance();
}

Cells editableCells()
{
    Cells cells;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            if (matrix()->data(matrix()->index(i, j), MatrixModel::MatrixAbleRole).toBool())
                cells.append({i, j});
    return cells;
}

QList<int> editableBackgrounds()
{
    QList<int> columns;
    for (int k = 0; k < 6; ++k)
        if (backgrounds()->data(backgrounds()->index(0, k), BackGrdModel::BackAbleRole).toBool())
            columns.append(k);
    return columns;
}

bool sameMatrix(const CompensationMatrix &a, const CompensationMatrix &b)
{
    for (int i = 0; i < 6; ++i) {
        if (a.negativeBackground[i] != b.negativeBackground[i])
            return false;
        for (int j = 0; j < 6; ++j)
            if (a.matrix[i][j] != b.matrix[i][j])
                return false;
    }
    return true;
}

CompensationMatrix sample()
{
    CompensationMatrix m;
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j)
            m.matrix[i][j] = i == j ? 1.0 : 0.01 * (i * 6 + j);
        m.negativeBackground[i] = 100.0 * (i + 1);
    }
    return m;
}

} // namespace

class TestCompensationModels : public QObject {
    Q_OBJECT
private slots:
    // Must run first: the models are process-wide.
    void beforeAnyPackage()
    {
        QVERIFY(sameMatrix(matrix()->getMatrix(), CompensationMatrix()));
        QCOMPARE(editableCells(), (Cells{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}));
        QCOMPARE(editableBackgrounds(), (QList<int>{0, 1, 2, 3, 4, 5}));
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(backgrounds()->data(backgrounds()->index(0, k), BackGrdModel::BackValueRole).toDouble(), 0.0);
            QCOMPARE(matrix()->back(k), 0.0);
        }
    }

    // Two packages one after the other: the flags follow the second package's channels alone.
    void channelsOfTwoPackages_data()
    {
        QTest::addColumn<QList<uint>>("first");
        QTest::addColumn<QList<uint>>("second");
        QTest::addColumn<Cells>("cells");      // editable after the second
        QTest::addColumn<QList<int>>("backs"); // editable after the second

        QTest::newRow("1, 3 then 1, 3") << QList<uint>{1, 3} << QList<uint>{3, 1} << Cells{{0, 2}, {2, 0}}
                                        << QList<int>{0, 2};
        QTest::newRow("1, 3 then 2, 4") << QList<uint>{1, 3} << QList<uint>{2, 4} << Cells{{1, 3}, {3, 1}}
                                        << QList<int>{1, 3};
        QTest::newRow("three then one") << QList<uint>{1, 2, 3} << QList<uint>{2} << Cells{} << QList<int>{1};
        QTest::newRow("none then three") << QList<uint>{} << QList<uint>{6, 4, 5}
                                         << Cells{{3, 4}, {3, 5}, {4, 3}, {4, 5}, {5, 3}, {5, 4}} << QList<int>{3, 4, 5};
        QTest::newRow("numbers that are no channel") << QList<uint>{1, 2} << QList<uint>{0, 7, 2}
                                                     << Cells{} << QList<int>{1};
    }

    void channelsOfTwoPackages()
    {
        QFETCH(QList<uint>, first);
        QFETCH(QList<uint>, second);
        QFETCH(Cells, cells);
        QFETCH(QList<int>, backs);
        matrix()->setChannels(first);
        backgrounds()->setChannels(first);
        QSignalSpy reset(matrix(), &QAbstractItemModel::modelReset);
        matrix()->setChannels(second);
        backgrounds()->setChannels(second);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(editableCells(), cells);
        QCOMPARE(editableBackgrounds(), backs);
    }

    // The background table follows the matrix's, and the user's edit of it reaches the matrix.
    void backgroundsStayEqual()
    {
        matrix()->setMatrix(sample());
        for (int k = 0; k < 6; ++k)
            QCOMPARE(backgrounds()->data(backgrounds()->index(0, k), BackGrdModel::BackValueRole).toDouble(),
                     100.0 * (k + 1));

        QSignalSpy backgroundReset(backgrounds(), &QAbstractItemModel::modelReset);
        backgrounds()->modifyBack(2, QStringLiteral("150"));
        QCOMPARE(backgroundReset.size(), 1);
        QCOMPARE(matrix()->back(2), 150.0);
        QCOMPARE(matrix()->getMatrix().negativeBackground[2], 150.0);
        QCOMPARE(backgrounds()->data(backgrounds()->index(0, 2), BackGrdModel::BackValueRole).toDouble(), 150.0);
        // Nothing else moved.
        CompensationMatrix expected = sample();
        expected.negativeBackground[2] = 150.0;
        QVERIFY(sameMatrix(matrix()->getMatrix(), expected));
    }

    // Texts from the view are read in the C locale; what is no number reads as 0.
    void cellTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("fixed") << "0.1250000" << 0.125;
        QTest::newRow("negative") << "-0.0500000" << -0.05;
        QTest::newRow("comma is no decimal point") << "0,5" << 0.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }

    void cellTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        matrix()->setMatrix(sample());
        QSignalSpy reset(matrix(), &QAbstractItemModel::modelReset);
        matrix()->modifyMatrix(4, 1, text);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(matrix()->getMatrix().matrix[4][1], value);
        // The view reads rows 3 to 5 through the second role.
        QCOMPARE(matrix()->data(matrix()->index(4, 1), MatrixModel::DMatrixValueRole).toDouble(), value);
        QCOMPARE(matrix()->data(matrix()->index(4, 1), MatrixModel::MatrixValueRole).toDouble(), value);
        QVERIFY(!matrix()->data(matrix()->index(1, 4), MatrixModel::DMatrixValueRole).isValid());
        QVERIFY(!matrix()->data(matrix()->index(1, 4), 3).isValid());

        backgrounds()->modifyBack(5, text);
        QCOMPARE(matrix()->back(5), value);
    }

    // Indices from the view outside 0..5 change nothing and reset nothing.
    void indicesOutsideTheMatrix_data()
    {
        QTest::addColumn<int>("i");
        QTest::addColumn<int>("j");
        QTest::newRow("row -1") << -1 << 0;
        QTest::newRow("row 6") << 6 << 0;
        QTest::newRow("column 6") << 0 << 6;
        QTest::newRow("column -1") << 2 << -1;
        QTest::newRow("far out") << 1000000 << -1000000;
    }

    void indicesOutsideTheMatrix()
    {
        QFETCH(int, i);
        QFETCH(int, j);
        matrix()->setMatrix(sample());
        QSignalSpy matrixReset(matrix(), &QAbstractItemModel::modelReset);
        QSignalSpy backgroundReset(backgrounds(), &QAbstractItemModel::modelReset);
        matrix()->modifyMatrix(i, j, QStringLiteral("3"));
        for (int k : {i, j}) {
            if (k >= 0 && k < 6)
                continue;
            matrix()->modifyBackGrd(k, QStringLiteral("3"));
            backgrounds()->modifyBack(k, QStringLiteral("3"));
            backgrounds()->setBack(k, 3.0);
        }
        QVERIFY(sameMatrix(matrix()->getMatrix(), sample()));
        QCOMPARE(matrixReset.size(), 0);
        QCOMPARE(backgroundReset.size(), 0);
        for (int k : {i, j})
            QCOMPARE(matrix()->back(k), k >= 0 && k < 6 ? sample().negativeBackground[k] : 0.0);
    }
};

LUMARA_TEST_MAIN(TestCompensationModels)
#include "tst_compensationmodels.moc"
