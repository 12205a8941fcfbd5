// The program on the demo package, closed through its window once the package is open, and the
// page tour on the same package: both end with exit code 0, print nothing on standard error
// and log no warning from the end of their work to their exit (where objects that outlive the
// application would complain).
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// The program's per-machine folder and runtime folder for one run.
struct Session {
    QTemporaryDir root;
    QTemporaryDir runtime; // made private (0700), as a login session's is
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMARA_ROOT"), root.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        // As a user starts it: no test platform or renderer.
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("QT_QUICK_BACKEND"));
        return env;
    }
    QString log() const
    {
        const QStringList files = QDir(root.filePath(QStringLiteral("logs"))).entryList({QStringLiteral("*.txt")});
        QFile file(root.filePath(QStringLiteral("logs/") + files.value(0)));
        return files.size() == 1 && file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

QStringList warningLines(const QString &log)
{
    return log.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^(Warning|Critical|Fatal):")));
}

// Whether the recent-files list holds a file: the open has finished its work.
bool recorded(const QString &root)
{
    bool found = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(root + QStringLiteral("/lumara.db"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (QFile::exists(db.databaseName()) && db.open()) {
            QSqlQuery query(QStringLiteral("select count(*) from recentOpenTable"), db);
            found = query.next() && query.value(0).toInt() > 0;
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return found;
}

// The X server's top-level windows and what a window manager would send them.
class X11 {
public:
    X11() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~X11() { xcb_disconnect(m_connection); }
    bool ok() const { return !xcb_connection_has_error(m_connection); }

    // The largest shown top-level window whose class names the program.
    xcb_window_t programWindow()
    {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, root), nullptr), &std::free);
        xcb_window_t best = XCB_WINDOW_NONE;
        int bestArea = 0;
        if (!tree)
            return best;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
                xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, children[i]), nullptr),
                &std::free);
            std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
                xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, children[i]), nullptr), &std::free);
            std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> klass(
                xcb_get_property_reply(m_connection,
                                       xcb_get_property(m_connection, 0, children[i], XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64),
                                       nullptr),
                &std::free);
            if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || !geometry || !klass)
                continue;
            const QByteArray names(static_cast<const char *>(xcb_get_property_value(klass.get())),
                                   xcb_get_property_value_length(klass.get()));
            const int area = geometry->width * geometry->height;
            if (names.toLower().contains("lumara") && area > bestArea) {
                best = children[i];
                bestArea = area;
            }
        }
        return best;
    }

    // The window manager's request to close the window.
    void requestClose(xcb_window_t window)
    {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
        xcb_flush(m_connection);
    }

private:
    xcb_atom_t atom(const char *name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_connection_t *m_connection;
};

// What a finished process printed, for the failure messages.
QByteArray report(QProcess &process)
{
    return "exit " + QByteArray::number(process.exitCode()) + ", stderr:\n" + process.readAllStandardError();
}

} // namespace

class TestProgramExit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(QStringLiteral(LUMARA_DEMO_PACKAGE)), LUMARA_DEMO_PACKAGE);
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under a virtual X server");
    }

    void programClosedThroughWindow()
    {
        Session session;
        X11 x11;
        QVERIFY(x11.ok());
        QProcess program;
        program.setProcessEnvironment(session.environment());
        program.setWorkingDirectory(QCoreApplication::applicationDirPath());
        program.start(QStringLiteral(LUMARA_PROGRAM), {QStringLiteral(LUMARA_DEMO_PACKAGE)});
        QVERIFY(program.waitForStarted());
        // After the splash, the window opens the package and records it.
        QVERIFY2(QTest::qWaitFor([&] { return recorded(session.root.path()) || program.state() == QProcess::NotRunning; },
                                 240000),
                 "the package was not opened");
        QVERIFY2(program.state() == QProcess::Running, report(program).constData());
        // The first page shows the wells.
        QTest::qWait(1000);
        const xcb_window_t window = x11.programWindow();
        QVERIFY(window != XCB_WINDOW_NONE);
        x11.requestClose(window);
        QVERIFY2(program.waitForFinished(120000), "the program did not end after its window was closed");
        const QByteArray errors = program.readAllStandardError();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0 && errors.isEmpty(), report(program).constData() + errors);
        const QString log = session.log();
        QVERIFY2(!log.isEmpty(), "no log");
        QVERIFY2(warningLines(log).isEmpty(), qPrintable(warningLines(log).join(QLatin1Char('\n'))));
    }

    void tourOnDemo()
    {
        Session session;
        QTemporaryDir pictures;
        QProcess tour;
        tour.setProcessEnvironment(session.environment());
        tour.setWorkingDirectory(QCoreApplication::applicationDirPath());
        tour.start(QStringLiteral(LUMARA_TOUR), {QStringLiteral(LUMARA_DEMO_PACKAGE), pictures.path()});
        QVERIFY(tour.waitForStarted());
        QVERIFY2(tour.waitForFinished(840000), "the tour did not end");
        const QByteArray out = tour.readAllStandardOutput();
        const QByteArray errors = tour.readAllStandardError();
        QCOMPARE(tour.exitStatus(), QProcess::NormalExit);
        QVERIFY2(tour.exitCode() == 0 && errors.isEmpty(), out + errors);
        QVERIFY(out.contains("Tour passed"));
        const QStringList written = QDir(pictures.path()).entryList({QStringLiteral("*.png")});
        QCOMPARE(QString::fromUtf8(out).count(QRegularExpression(QStringLiteral("^/.*\\.png$"), QRegularExpression::MultilineOption)),
                 written.size());
        // The stops log warnings of their own (a broken package is opened on purpose); from
        // the end of the tour to the exit nothing may complain.
        const QString log = session.log();
        const int end = log.indexOf(QStringLiteral("{The tour has ended}"));
        QVERIFY2(end >= 0, "the tour's end is not logged");
        QVERIFY2(warningLines(log.mid(end)).isEmpty(), qPrintable(warningLines(log.mid(end)).join(QLatin1Char('\n'))));
    }
};

LUMARA_TEST_MAIN(TestProgramExit)
#include "tst_programexit.moc"
