// Display colours of channels, channel pairs and triples, with their fallbacks.
#include "shell/channelcolors.h"
#include "testmain.h"

class TestChannelColors : public QObject {
    Q_OBJECT
private slots:
    void single_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("colour");
        QTest::newRow("1") << 1 << "#2b4b9b";
        QTest::newRow("2") << 2 << "#e42520";
        QTest::newRow("3") << 3 << "#67b32e";
        QTest::newRow("4") << 4 << "#e8a400";
        QTest::newRow("5") << 5 << "#437e84";
        QTest::newRow("6") << 6 << "#720065";
        QTest::newRow("0") << 0 << "#2b4b9b";
        QTest::newRow("7") << 7 << "#2b4b9b";
        QTest::newRow("-1") << -1 << "#2b4b9b";
    }

    void single()
    {
        QFETCH(int, channel);
        QFETCH(QString, colour);
        QCOMPARE(getChannelColor(channel), colour);
    }

    // Every pair in both orders.
    void pair_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("colour");
        const struct {
            int low, high;
            const char *colour;
        } pairs[] = {
            {1, 2, "#a6539b"}, {1, 3, "#6dc6d9"}, {1, 4, "#2061df"}, {1, 5, "#a298ff"}, {1, 6, "#004b35"},
            {2, 3, "#f3e600"}, {2, 4, "#fb3aff"}, {2, 5, "#ffa3a4"}, {2, 6, "#8000ff"}, {3, 4, "#68c1c1"},
            {3, 5, "#0b4cd3"}, {3, 6, "#d4d959"}, {4, 5, "#a64700"}, {4, 6, "#ad1515"}, {5, 6, "#420084"},
        };
        for (const auto &p : pairs) {
            QTest::addRow("%d,%d", p.low, p.high) << p.low << p.high << QString::fromLatin1(p.colour);
            QTest::addRow("%d,%d", p.high, p.low) << p.high << p.low << QString::fromLatin1(p.colour);
        }
        const char *const names[] = {"Blue", "Cyan", "Green", "Orange", "Red", "DarkRed"};
        for (int c = 1; c <= 6; ++c)
            QTest::addRow("%d,%d", c, c) << c << c << QString::fromLatin1(names[c - 1]);
        QTest::newRow("0,3") << 0 << 3 << "#000";
        QTest::newRow("3,7") << 3 << 7 << "#000";
        QTest::newRow("7,7") << 7 << 7 << "#000";
        QTest::newRow("-1,2") << -1 << 2 << "#000";
    }

    void pair()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QString, colour);
        QCOMPARE(getTwoChannelColor(a, b), colour);
    }

    void triple_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<QString>("colour");
        const struct {
            int a, b, c;
            const char *colour;
        } triples[] = {
            {1, 2, 3, "#00dcfb"}, {1, 2, 4, "#efd4ff"}, {1, 2, 5, "#ffb7fa"}, {1, 2, 6, "#93b4ff"},
            {1, 3, 4, "#e6c7e3"}, {1, 3, 5, "#ff9ee2"}, {1, 3, 6, "#84a7e3"}, {1, 4, 5, "#ff73dc"},
            {1, 4, 6, "#eb70d2"}, {1, 5, 6, "#ff3fe0"}, {2, 3, 4, "#e6e5e4"}, {2, 3, 5, "#ffdae8"},
            {2, 3, 6, "#84d7e4"}, {2, 4, 5, "#ffbedd"}, {2, 4, 6, "#e7b1ca"}, {2, 5, 6, "#f18fbd"},
            {3, 4, 5, "#ffcc79"}, {3, 4, 6, "#f3be44"}, {3, 5, 6, "#ff9953"}, {4, 5, 6, "#ff5c14"},
            // Not ascending, repeated or out of range.
            {2, 1, 3, "#000000"}, {3, 2, 1, "#000000"}, {1, 1, 2, "#000000"}, {0, 1, 2, "#000000"},
            {4, 5, 7, "#000000"},
        };
        for (const auto &t : triples)
            QTest::addRow("%d,%d,%d", t.a, t.b, t.c) << t.a << t.b << t.c << QString::fromLatin1(t.colour);
    }

    void triple()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(QString, colour);
        QCOMPARE(getThreeChannelColor(a, b, c), colour);
    }
};

LUMARA_TEST_MAIN(TestChannelColors)
#include "tst_channelcolors.moc"
