// The main window's arithmetic and the open file's name rules, without a display: the scale
// factor at the width edges from the screen and from a resize, the screen that holds the
// window, the stored screen index, base names, and what Save does by the file's suffix.
#include "shell/packagefile.h"
#include "shell/windowplacement.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(SaveRoad)

class TestWindowRules : public QObject {
    Q_OBJECT
private slots:
    void scale_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("fromResize");
        QTest::addColumn<double>("scale");
        const struct {
            int width;
            double fromScreen;
            double fromResize;
        } edges[] = {{800, 1.0, 1.0},   {1999, 1.0, 1.0}, {2000, 1.33, 1.3},
                     {2560, 1.33, 1.3}, {2999, 1.33, 1.3}, {3000, 2.0, 2.0}, {3840, 2.0, 2.0}};
        for (const auto &edge : edges) {
            QTest::addRow("%d from the screen", edge.width) << edge.width << false << edge.fromScreen;
            QTest::addRow("%d from a resize", edge.width) << edge.width << true << edge.fromResize;
        }
    }

    void scale()
    {
        QFETCH(int, width);
        QFETCH(bool, fromResize);
        QFETCH(double, scale);
        QCOMPARE(scaleForWidth(width, fromResize), scale);
    }

    void chosenScreen_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<int>("chosen");
        const QRect left(0, 0, 1920, 1080);
        const QRect right(1920, 0, 2560, 1440);
        const QRect below(0, 1080, 1920, 1080);
        QTest::newRow("inside the first") << QRect(100, 100, 800, 600) << QList<QRect>{left, right} << 0;
        QTest::newRow("inside the second") << QRect(2000, 100, 800, 600) << QList<QRect>{left, right} << 1;
        QTest::newRow("more on the second") << QRect(1800, 0, 800, 600) << QList<QRect>{left, right} << 1;
        QTest::newRow("more on the first") << QRect(1300, 0, 800, 600) << QList<QRect>{left, right} << 0;
        QTest::newRow("tie: the first") << QRect(1520, 0, 800, 600) << QList<QRect>{left, right} << 0;
        QTest::newRow("tie, listed the other way") << QRect(1520, 0, 800, 600) << QList<QRect>{right, left} << 0;
        // Wider overlap with the first, more area on the tall second: area decides.
        QTest::newRow("area, not width") << QRect(600, 0, 600, 3000)
                                         << QList<QRect>{QRect(0, 0, 1000, 1000), QRect(1000, 0, 300, 3000)} << 1;
        QTest::newRow("screen below") << QRect(0, 700, 1900, 600) << QList<QRect>{left, below} << 0;
        QTest::newRow("on no screen") << QRect(-5000, -5000, 100, 100) << QList<QRect>{left, right} << 0;
        QTest::newRow("no screens") << QRect(0, 0, 100, 100) << QList<QRect>{} << 0;
    }

    void chosenScreen()
    {
        QFETCH(QRect, window);
        QFETCH(QList<QRect>, screens);
        QFETCH(int, chosen);
        QCOMPARE(chooseScreen(window, screens), chosen);
    }

    void storedScreen_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::newRow("first") << 0 << 2 << 0;
        QTest::newRow("last") << 1 << 2 << 1;
        QTest::newRow("negative") << -1 << 2 << 0;
        QTest::newRow("far negative") << -7 << 3 << 0;
        QTest::newRow("equal to the count") << 2 << 2 << 0;
        QTest::newRow("beyond the count") << 5 << 2 << 0;
        QTest::newRow("one screen, index 1") << 1 << 1 << 0;
    }

    void storedScreen()
    {
        QFETCH(int, stored);
        QFETCH(int, count);
        QFETCH(int, index);
        QCOMPARE(habitScreenIndex(stored, count), index);
    }

    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("base");
        QTest::newRow("run archive") << "/data/runs/run.imrs" << "run.imrs" << "run";
        QTest::newRow("several dots") << "/data/a.b.imrs" << "a.b.imrs" << "a";
        QTest::newRow("saved package") << "/data/result.arlx" << "result.arlx" << "result";
        QTest::newRow("no folder") << "plain.expzip" << "plain.expzip" << "plain";
        QTest::newRow("blank in the name") << "/data/my run.arlx" << "my run.arlx" << "my run";
        QTest::newRow("empty parts kept") << "/data//x.imrs" << "x.imrs" << "x";
    }

    void names()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, base);
        QCOMPARE(fileNameOfPath(path), name);
        QCOMPARE(baseNameOfFile(fileNameOfPath(path)), base);
    }

    void saveRoad_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<SaveRoad>("road");
        QTest::newRow("saved package") << "result.arlx" << SaveRoad::InPlace;
        QTest::newRow("saved package of a run") << "run.imrs.arlx" << SaveRoad::InPlace;
        QTest::newRow("run archive") << "run.imrs" << SaveRoad::SaveAs;
        QTest::newRow("older run archive") << "run.expzip" << SaveRoad::SaveAs;
        // The document would refuse to write it in place.
        QTest::newRow("run archive named like a package") << "x.arlx.imrs" << SaveRoad::SaveAs;
        QTest::newRow("upper case") << "RESULT.ARLX" << SaveRoad::Nothing;
        QTest::newRow("no file open") << "" << SaveRoad::Nothing;
        QTest::newRow("suffix only as a name") << "arlx" << SaveRoad::Nothing;
        QTest::newRow("other suffix") << "notes.txt" << SaveRoad::Nothing;
    }

    void saveRoad()
    {
        QFETCH(QString, name);
        QFETCH(SaveRoad, road);
        QCOMPARE(saveRoadFor(name), road);
    }

    // The probe writes beside the target, never into it, and leaves nothing behind.
    void writeProbe()
    {
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("kept.arlx"));
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("package bytes");
        }
        QVERIFY(canWriteBeside(existing));
        QVERIFY(canWriteBeside(dir.filePath(QStringLiteral("new.arlx"))));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("package bytes"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.arlx")});
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("new.arlx"))));

        QVERIFY(!canWriteBeside(dir.filePath(QStringLiteral("missing/new.arlx"))));
        QVERIFY(!canWriteBeside(existing + QStringLiteral("/new.arlx")));
    }
};

LUMARA_TEST_MAIN(TestWindowRules)
#include "tst_windowrules.moc"
