// The recent-files list: paths stored once and moved to the top when opened again (quotes and
// statement text in a path stored as they are), newest first with the clear entry last,
// clearing, the pop-up's rows and clicks, and its unscaled geometry under the Recent button.
#include "messagerecorder.h"
#include "platform/platform.h"
#include "shell/appresources.h"
#include "shell/database.h"
#include "shell/mainwindows.h"
#include "shell/menubar.h"
#include "shell/recentfilemodel.h"
#include "shell/recentfilewidget.h"
#include "shellitems.h"
#include "testmain.h"

#include <QFile>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace ShellTest;

namespace {

// The table's rows in their stored order.
QStringList storedRows()
{
    QStringList rows;
    QSqlQuery q;
    if (DataBase::instance()->query(q, DataBase::readStatement())) {
        while (q.next())
            rows.append(q.value(0).toString());
    }
    return rows;
}

QStringList modelRows()
{
    RecentFileModel *model = RecentFileModel::instance();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->data(model->index(row)).toString());
    return rows;
}

void clearTable()
{
    QVERIFY(DataBase::instance()->exec(DataBase::clearStatement()));
}

QString rowText(QQuickWidget *view, int row)
{
    QQuickItem *item = findItem(view, QStringLiteral("recentRow%1").arg(row));
    if (!item || item->childItems().isEmpty())
        return QString();
    return item->childItems().constFirst()->property("text").toString();
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { clearTable(); }

    void laterStart();
    void records_data();
    void records();
    void clearing();
    void popupRows();
    void popupGeometry_data();
    void popupGeometry();

private:
    QStringList m_startLog;
    QStringList m_startRows;
};

// A start over the per-machine folder of an earlier one: the database, with its table and a
// path, is there before this process first uses it.
void TestRecentFiles::initTestCase()
{
    initAppResources();
    const QString file = QStringLiteral("%1/lumara.db").arg(Platform::machineFolder());
    QVERIFY(!QFile::exists(file));
    {
        QSqlDatabase earlier = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("earlier start"));
        earlier.setDatabaseName(file);
        QVERIFY(earlier.open());
        QSqlQuery q(earlier);
        QVERIFY(q.exec(DataBase::createStatement()));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO %1 VALUES('/earlier.imrs')").arg(DataBase::TableName)));
        earlier.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("earlier start"));

    LumaraTest::MessageRecorder recorder;
    DataBase::instance();
    for (const LumaraTest::MessageRecorder::Message &m : recorder.messages())
        m_startLog.append(m.text);
    m_startRows = storedRows();
}

// The table is made only where there is none: a later start logs no error and keeps the
// paths that earlier ones recorded.
void TestRecentFiles::laterStart()
{
    QCOMPARE(m_startLog.filter(QStringLiteral("error"), Qt::CaseInsensitive), QStringList());
    QCOMPARE(m_startRows, QStringList{QStringLiteral("/earlier.imrs")});
}

void TestRecentFiles::records_data()
{
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("stored"); // oldest first
    const QString quoted = QStringLiteral("/data/Sam's runs/run.imrs");
    const QString statement = QStringLiteral("/data/x'); DELETE FROM recentOpenTable; --.imrs");
    QTest::newRow("in order") << QStringList{"/a.imrs", "/b.arlx", "/c.expzip"}
                              << QStringList{"/a.imrs", "/b.arlx", "/c.expzip"};
    QTest::newRow("reopened moves to newest") << QStringList{"/a.imrs", "/b.arlx", "/a.imrs"}
                                              << QStringList{"/b.arlx", "/a.imrs"};
    QTest::newRow("quote stored once") << QStringList{quoted, "/b.arlx", quoted, quoted}
                                       << QStringList{"/b.arlx", quoted};
    QTest::newRow("statement text is a path") << QStringList{"/a.imrs", statement, "/b.arlx", statement}
                                              << QStringList{"/a.imrs", "/b.arlx", statement};
    QTest::newRow("double quotes and percent") << QStringList{"/d/\"q\" 100%.imrs", "/d/_.imrs"}
                                               << QStringList{"/d/\"q\" 100%.imrs", "/d/_.imrs"};
}

void TestRecentFiles::records()
{
    QFETCH(QStringList, opened);
    QFETCH(QStringList, stored);
    MainWindows window{QString()};
    for (const QString &path : opened)
        window.updateRecentRecord(path);
    QCOMPARE(storedRows(), stored);

    QSignalSpy updated(RecentFileModel::instance(), &RecentFileModel::modelUpdate);
    RecentFileModel::instance()->reload();
    QCOMPARE(updated.size(), 1);
    QStringList newestFirst(stored.crbegin(), stored.crend());
    newestFirst.append(QStringLiteral("Clear Menu"));
    QCOMPARE(modelRows(), newestFirst);
    QCOMPARE(RecentFileModel::instance()->getLastIndexID(), stored.size());
    QCOMPARE(RecentFileModel::instance()->roleNames().value(0), QByteArray("display"));
    QVERIFY(!RecentFileModel::instance()->data(RecentFileModel::instance()->index(0), Qt::UserRole).isValid());
}

void TestRecentFiles::clearing()
{
    MainWindows window{QString()};
    window.updateRecentRecord(QStringLiteral("/a.imrs"));
    window.updateRecentRecord(QStringLiteral("/b.imrs"));
    RecentFileModel::instance()->reload();
    RecentFileWidget *popup = window.recentFileWidget();
    QObject *root = popup->view()->rootObject();
    QVERIFY(root);
    QVERIFY(QMetaObject::invokeMethod(root, "itemClicked", Q_ARG(int, RecentFileModel::instance()->getLastIndexID())));
    QCOMPARE(storedRows(), QStringList());
    QCOMPARE(modelRows(), QStringList{QStringLiteral("Clear Menu")});
}

// Rows numbered from 1 with their paths, newest first; the clear entry alone at the end; a
// click on a path asks to open it, on the clear entry to clear.
void TestRecentFiles::popupRows()
{
    MainWindows window{QString()};
    window.updateRecentRecord(QStringLiteral("/old.imrs"));
    window.updateRecentRecord(QStringLiteral("/new.arlx"));
    RecentFileModel::instance()->reload();
    RecentFileWidget popup;
    popup.resize(240, 3 * 28);
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    QTRY_COMPARE(rowText(popup.view(), 0), QStringLiteral("1 | /new.arlx"));
    QCOMPARE(rowText(popup.view(), 1), QStringLiteral("2 | /old.imrs"));
    QCOMPARE(rowText(popup.view(), 2), QStringLiteral("Clear Menu"));

    QSignalSpy opens(&popup, &RecentFileWidget::openCurrentFile);
    QSignalSpy clears(&popup, &RecentFileWidget::clearCurentRecord);
    QObject *root = popup.view()->rootObject();
    QVERIFY(QMetaObject::invokeMethod(root, "itemClicked", Q_ARG(int, 1)));
    QVERIFY(QMetaObject::invokeMethod(root, "itemClicked", Q_ARG(int, 2)));
    QCOMPARE(opens.size(), 1);
    QCOMPARE(opens.constFirst().constFirst().toString(), QStringLiteral("/old.imrs"));
    QCOMPARE(clears.size(), 1);
}

void TestRecentFiles::popupGeometry_data()
{
    QTest::addColumn<int>("paths");
    QTest::addColumn<int>("height");
    QTest::newRow("empty list: the clear entry") << 0 << 28;
    QTest::newRow("two paths") << 2 << 3 * 28;
    QTest::newRow("19 paths: 20 rows") << 19 << 560;
    QTest::newRow("20 paths: 21 rows") << 20 << 560;
    QTest::newRow("30 paths: scrolls") << 30 << 560;
}

void TestRecentFiles::popupGeometry()
{
    QFETCH(int, paths);
    QFETCH(int, height);
    MainWindows window{QString()};
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < paths; ++i)
        window.updateRecentRecord(QStringLiteral("/runs/run%1.imrs").arg(i));
    // The pop-up reloads the list itself when it opens.
    QVERIFY(QMetaObject::invokeMethod(window.menuBar()->rootObject(), "recentFile"));
    RecentFileWidget *popup = window.recentFileWidget();
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->geometry(), QRect(window.menuBar()->recentFilePosition() + 12, 41, 240, height));
    QCOMPARE(RecentFileModel::instance()->rowCount(), paths + 1);
    QTRY_COMPARE(popup->view()->size(), popup->size());
}

LUMARA_TEST_GUI_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
