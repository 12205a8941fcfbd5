// The well list's pure rules without a display: both number formats at their edges, the two
// orders of channel type symbols and which channel or population a table column shows.
#include "shell/welllistformat.h"
#include "testmain.h"

#include <limits>

using namespace WellListFormat;

class TestWellListFormat : public QObject {
    Q_OBJECT
private slots:
    void tableNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("largest fixed") << 99999.0 << "99999.00";
        // Rounds to 99999.00 first, so it stays fixed.
        QTest::newRow("just above, rounding down") << 99999.004 << "99999.00";
        QTest::newRow("just above, rounding up") << 99999.006 << "1.00e+05";
        QTest::newRow("first exponent") << 100000.0 << "1.00e+05";
        QTest::newRow("thousands") << 123456.0 << "1.23e+05";
        QTest::newRow("negative") << -1.0 << "-1.00";
        QTest::newRow("half below") << 0.5 - 1 << "-0.50";
        QTest::newRow("rounding") << 2.345678 << "2.35";
        QTest::newRow("zero") << 0.0 << "0.00";
    }
    void tableNumbers()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatNumber(value), text);
    }

    // A figure without a value (0 / 0, an infinite concentration) reads "N/A" in both forms.
    void figures_data()
    {
        const double inf = std::numeric_limits<double>::infinity();
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("fixed");
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "N/A" << "N/A";
        QTest::newRow("infinite") << inf << "N/A" << "N/A";
        QTest::newRow("minus infinite") << -inf << "N/A" << "N/A";
        QTest::newRow("zero") << 0.0 << "0.00" << "0.00";
        QTest::newRow("exponent form in the table only") << 123456.0 << "1.23e+05" << "123456.00";
        QTest::newRow("rounding") << 2.345678 << "2.35" << "2.35";
    }
    void figures()
    {
        QFETCH(double, value);
        QFETCH(QString, table);
        QFETCH(QString, fixed);
        QCOMPARE(formatFigure(value), table);
        QCOMPARE(fixedFigure(value), fixed);
        QCOMPARE(hasValue(value), table != notAvailable());
    }

    void spinTexts_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("dealt");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("down");
        QTest::newRow("fixed edge") << "99999" << "99999.00" << "1.00e+05" << "99998.00";
        // Written once: the unrounded value is above 99999.
        QTest::newRow("just above") << "99999.004" << "1.00e+05" << "1.00e+05" << "99998.00";
        QTest::newRow("exponent") << "100000" << "1.00e+05" << "1.00e+05" << "99999.00";
        QTest::newRow("thousands") << "123456" << "1.23e+05" << "1.23e+05" << "1.23e+05";
        // Below zero after the step: clamped to "0.00".
        QTest::newRow("half") << "0.5" << "0.50" << "1.50" << "0.00";
        QTest::newRow("not a number") << "abc" << "0.00" << "1.00" << "0.00";
        QTest::newRow("empty") << "" << "0.00" << "1.00" << "0.00";
        QTest::newRow("exponent text") << "2.5e3" << "2500.00" << "2501.00" << "2499.00";
    }
    void spinTexts()
    {
        QFETCH(QString, input);
        QFETCH(QString, dealt);
        QFETCH(QString, up);
        QFETCH(QString, down);
        QCOMPARE(dealNumber(input), dealt);
        QCOMPARE(increasing(input), up);
        QCOMPARE(reduction(input), down);
    }

    void typeOrders_data()
    {
        QTest::addColumn<QChar>("symbol");
        QTest::addColumn<int>("channelType");
        QTest::addColumn<int>("selectorIndex");
        QTest::newRow("U") << QChar('U') << 0 << 0;
        QTest::newRow("N") << QChar('N') << 1 << 3;
        QTest::newRow("P") << QChar('P') << 2 << 1;
        QTest::newRow("S") << QChar('S') << 3 << 2;
        QTest::newRow("lower case") << QChar('u') << 3 << 3;
        QTest::newRow("none") << QChar() << 3 << 3;
    }
    void typeOrders()
    {
        QFETCH(QChar, symbol);
        QFETCH(int, channelType);
        QFETCH(int, selectorIndex);
        QCOMPARE(channelTypeOfSymbol(symbol), channelType);
        QCOMPARE(selectorIndexOfSymbol(symbol), selectorIndex);
        // The selector writes back the symbol it shows, for the four symbols it knows.
        if (selectorIndex < 3 || symbol == QLatin1Char('N'))
            QCOMPARE(symbolOfSelectorIndex(selectorIndex), symbol);
    }

    void selectorOutsideItsRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("below") << -1;
        QTest::newRow("above") << 4;
    }
    void selectorOutsideItsRange()
    {
        QFETCH(int, index);
        QCOMPARE(symbolOfSelectorIndex(index), QChar(' '));
    }

    void columns_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("channelEntry");
        QTest::addColumn<int>("population");
        QTest::newRow("first") << 0 << -1 << -1;
        QTest::newRow("last fixed of the results") << 2 << -1 << -1;
        QTest::newRow("first population") << 3 << -1 << 0;
        QTest::newRow("last fixed of the experiment") << 5 << -1 << 0;
        QTest::newRow("first channel") << 6 << 0 << 0;
        QTest::newRow("last of first channel") << 8 << 0 << 0;
        QTest::newRow("last of first population") << 9 << 1 << 0;
        QTest::newRow("second population") << 10 << 1 << 1;
        QTest::newRow("third channel") << 12 << 2 << 1;
        QTest::newRow("third population") << 17 << 3 << 2;
    }
    void columns()
    {
        QFETCH(int, column);
        QFETCH(int, channelEntry);
        QFETCH(int, population);
        QCOMPARE(channelEntryOfColumn(column), channelEntry);
        QCOMPARE(populationOfColumn(column), population);
    }
};

LUMARA_TEST_MAIN(TestWellListFormat)
#include "tst_welllistformat.moc"
