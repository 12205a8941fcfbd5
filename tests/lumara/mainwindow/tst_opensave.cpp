// Opening, saving and closing through the main window on generated packages: the checks before
// an open, a failing open leaving everything as it was, the title, recent row, first page and
// enabled Save after an open; Save in place and Save as with the proposed name and suffix; every
// failing save shown, its mark and target kept and its overlay gone; and the close question's
// Yes waiting for the save it starts.
#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "modaldriver.h"
#include "platform/platform.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/database.h"
#include "shell/globalvalues.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/navibar.h"
#include "shell/recentfilemodel.h"
#include "shell/recentfilewidget.h"
#include "shellitems.h"
#include "testmain.h"

#include <QDir>
#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

using namespace ShellTest;

namespace {

const int OpenTimeoutMs = 60000;

QString title(MainWindows &window)
{
    return window.menuBar()->property(QStringLiteral("fileName"));
}

QString newestRecent()
{
    QSqlQuery q;
    QString newest;
    if (DataBase::instance()->query(q, DataBase::readStatement())) {
        while (q.next())
            newest = q.value(0).toString();
    }
    return newest;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Opens through the window as the user does and waits for the worker and the wells.
bool openInWindow(MainWindows &window, const QString &path)
{
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    window.startOpenFile(path);
    return QTest::qWaitFor([&] { return !window.isOpening() && !complete.isEmpty(); }, OpenTimeoutMs)
           && !window.busyOverlay()->isVisible();
}

bool saveFromMenu(MainWindows &window, int type)
{
    return QMetaObject::invokeMethod(window.menuBar()->rootObject(), "save", Q_ARG(int, type));
}

void markChanged(MainWindows &window)
{
    emit SignalTransfer::getInstance()->dataFixed();
    QVERIFY(title(window).startsWith(QLatin1String("* ")));
}

} // namespace

class TestOpenSave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void refusedBeforeOpening_data();
    void refusedBeforeOpening();
    void failingOpenChangesNothing();
    void openedPackage_data();
    void openedPackage();
    void startFileWithBackslashes();
    void openFromDialogAndRecent();
    void saveInPlace();
    void saveAsRunArchive();
    void failingSave_data();
    void failingSave();
    void closeWithSave_data();
    void closeWithSave();
    void closeWaitsForWork();

private:
    // A fresh copy of the generated run under the name, in this test's folder.
    QString run(const QString &name);
    // The run saved as a package under the name.
    QString savedPackage(const QString &name);

    QTemporaryDir m_fixtures;
    QString m_run;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindows> m_window;
};

void TestOpenSave::initTestCase()
{
    initAppResources();
    QVERIFY(m_fixtures.isValid());
    m_run = BllTest::generateRun(m_fixtures.path(), QStringLiteral("fixture.imrs"), BllTest::smallRun(false, 21, 96));
    QVERIFY(!m_run.isEmpty());
}

void TestOpenSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    currentFileBaseName.clear();
    m_window = std::make_unique<MainWindows>(QString());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestOpenSave::cleanup()
{
    // Nothing of a test may still run into the next one.
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isOpening() && !m_window->isSaving(), OpenTimeoutMs);
    m_window.reset();
    m_dir.reset();
}

QString TestOpenSave::run(const QString &name)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return QFile::copy(m_run, path) ? path : QString();
}

QString TestOpenSave::savedPackage(const QString &name)
{
    const QString path = m_dir->filePath(name);
    BLLInstance *bll = BLLInstance::getInstance();
    if (!bll->openFile(run(QStringLiteral("source.imrs"))))
        return QString();
    bll->beginSaveFile();
    const bool saved = bll->saveFile(path);
    bll->endSaveFile();
    return saved ? path : QString();
}

void TestOpenSave::refusedBeforeOpening_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing file") << "missing.imrs";
    QTest::newRow("missing folder") << "nowhere/run.imrs";
    QTest::newRow("a folder") << "folder.imrs";
}

void TestOpenSave::refusedBeforeOpening()
{
    QFETCH(QString, relative);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.imrs")));
    QSignalSpy opened(BLLInstance::getInstance(), &BLLInstance::openFileComplete);
    ModalDriver driver;
    driver.answerMessage(1);
    m_window->startOpenFile(m_dir->filePath(relative));
    QVERIFY(driver.done());
    QCOMPARE(driver.messages(), QStringList{QStringLiteral("Cannot open File")});
    QVERIFY(!m_window->isOpening());
    QVERIFY(!m_window->busyOverlay()->isVisible());
    QTest::qWait(50);
    QCOMPARE(opened.size(), 0);
}

// A package that is not one: the box, the overlay gone, and the file that was open still open
// under its title, with the recent list as it was.
void TestOpenSave::failingOpenChangesNothing()
{
    const QString good = run(QStringLiteral("good.imrs"));
    QVERIFY(openInWindow(*m_window, good));
    const QString broken = m_dir->filePath(QStringLiteral("broken.imrs"));
    writeFile(broken, QByteArray("PK\x03\x04 not really a zip archive", 30));

    ModalDriver driver;
    driver.answerMessage(1);
    m_window->startOpenFile(broken);
    QVERIFY(m_window->busyOverlay()->isVisible());
    QVERIFY(driver.waitDone(OpenTimeoutMs));
    QCOMPARE(driver.messages(), QStringList{QStringLiteral("Open File Error! ")});
    QTRY_VERIFY(!m_window->isOpening());
    QVERIFY(!m_window->busyOverlay()->isVisible());
    QCOMPARE(title(*m_window), QStringLiteral("good"));
    QCOMPARE(m_window->openFilePath(), good);
    QCOMPARE(currentFileBaseName, QStringLiteral("good"));
    QCOMPARE(newestRecent(), good);
    QCOMPARE(BLLInstance::getInstance()->getWellIds().size(), 2);
}

void TestOpenSave::openedPackage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::newRow("run archive") << "run.imrs" << "run";
    QTest::newRow("several dots") << "a.b.imrs" << "a";
    QTest::newRow("quote and blank") << "Sam's run.imrs" << "Sam's run";
}

void TestOpenSave::openedPackage()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    const QString path = run(name);
    QQuickWidget *bar = m_window->naviBar();
    QVERIFY(clickItem(bar, QStringLiteral("module2")));
    QCOMPARE(m_window->frame()->currentIndex(), 2);
    QVERIFY(!findItem(m_window->menuBar(), QStringLiteral("saveButton"))->isEnabled());

    QVERIFY(openInWindow(*m_window, path));
    QCOMPARE(title(*m_window), base);
    QCOMPARE(currentFileBaseName, base);
    QCOMPARE(m_window->openFileName(), name);
    QCOMPARE(m_window->openFilePath(), path);
    QCOMPARE(newestRecent(), path);
    QCOMPARE(m_window->frame()->currentIndex(), 0);
    QCOMPARE(bar->rootObject()->property("primayIndex").toInt(), 0);
    QVERIFY(findItem(m_window->menuBar(), QStringLiteral("saveButton"))->isEnabled());
    QVERIFY(findItem(m_window->menuBar(), QStringLiteral("saveAsButton"))->isEnabled());
}

// The start file is opened a few seconds after start-up, its backslashes read as folders.
void TestOpenSave::startFileWithBackslashes()
{
    const QString path = run(QStringLiteral("sub/start.imrs"));
    QString given = path;
    given.replace(m_dir->path() + QStringLiteral("/sub/"), m_dir->path() + QStringLiteral("\\sub\\"));
    QVERIFY(given.contains(QLatin1Char('\\')));
    m_window.reset(new MainWindows(given));
    m_window->show();
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    QTest::qWait(1000);
    QVERIFY(!m_window->isOpening());
    QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty() && !m_window->isOpening(), OpenTimeoutMs);
    QCOMPARE(m_window->openFilePath(), path);
    QCOMPARE(title(*m_window), QStringLiteral("start"));
}

void TestOpenSave::openFromDialogAndRecent()
{
    const QString first = run(QStringLiteral("dialog/first.imrs"));
    const QString second = run(QStringLiteral("second.imrs"));
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    {
        ModalDriver driver;
        driver.answerFileDialog(first);
        QVERIFY(QMetaObject::invokeMethod(m_window->menuBar()->rootObject(), "open"));
        QVERIFY(driver.done());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty() && !m_window->isOpening(), OpenTimeoutMs);
    QCOMPARE(m_window->openFilePath(), first);
    const QString habitPath = Platform::machinePath(QStringLiteral("userhabit"));
    QCOMPARE(QSettings(habitPath, QSettings::IniFormat).value(QStringLiteral("FilePath")).toString(), first);

    // The next dialog starts at the file chosen last; a cancel opens nothing.
    {
        ModalDriver driver;
        driver.answerFileDialog(QString());
        QVERIFY(QMetaObject::invokeMethod(m_window->menuBar()->rootObject(), "open"));
        QVERIFY(driver.done());
        QCOMPARE(driver.seen().constFirst().text, first);
        QVERIFY(!m_window->isOpening());
    }

    // From the recent list: the second file, then the first again, which moves to the top.
    m_window->updateRecentRecord(second);
    QVERIFY(QMetaObject::invokeMethod(m_window->menuBar()->rootObject(), "recentFile"));
    QCOMPARE(RecentFileModel::instance()->data(RecentFileModel::instance()->index(0)).toString(), second);
    complete.clear();
    QVERIFY(QMetaObject::invokeMethod(m_window->recentFileWidget()->view()->rootObject(),
                                      "itemClicked", Q_ARG(int, 1)));
    QVERIFY(!m_window->recentFileWidget()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty() && !m_window->isOpening(), OpenTimeoutMs);
    QCOMPARE(m_window->openFilePath(), first);
    RecentFileModel::instance()->reload();
    QCOMPARE(RecentFileModel::instance()->data(RecentFileModel::instance()->index(0)).toString(), first);
    QCOMPARE(RecentFileModel::instance()->data(RecentFileModel::instance()->index(1)).toString(), second);
}

// A saved package is written in place without a dialog; the title drops the mark as the job
// starts and shows the whole file name when it ends.
void TestOpenSave::saveInPlace()
{
    const QString path = savedPackage(QStringLiteral("result.arlx"));
    QVERIFY(!path.isEmpty());
    QVERIFY(openInWindow(*m_window, path));
    BLLInstance *bll = BLLInstance::getInstance();
    const uint well = bll->getWellIds().constFirst();
    const uint threshold = bll->getThldByLine(well, 1) + 77;
    bll->updateThldByLine(well, 1, threshold);
    markChanged(*m_window);

    ModalDriver driver; // no dialog expected
    QVERIFY(saveFromMenu(*m_window, 1));
    QVERIFY(m_window->isSaving());
    QVERIFY(m_window->busyOverlay()->isVisible());
    QCOMPARE(title(*m_window), QStringLiteral("result"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isSaving(), OpenTimeoutMs);
    QCOMPARE(title(*m_window), QStringLiteral("result.arlx"));
    QVERIFY(!m_window->busyOverlay()->isVisible());
    QTest::qWait(50);
    QCOMPARE(driver.seen().size(), 0);
    QVERIFY(bll->openFile(path));
    QCOMPARE(bll->getThldByLine(bll->getWellIds().constFirst(), 1), threshold);
}

// Save on a run archive asks for a name: its base name in its folder, ".arlx" added. The open
// file stays the run archive.
void TestOpenSave::saveAsRunArchive()
{
    const QString path = run(QStringLiteral("runs/run.imrs"));
    QVERIFY(openInWindow(*m_window, path));
    markChanged(*m_window);
    ModalDriver driver;
    driver.answerFileDialog(m_dir->filePath(QStringLiteral("runs/run")));
    QVERIFY(saveFromMenu(*m_window, 1));
    QVERIFY(driver.done());
    // Proposed: the base name in the archive's folder, which the dialog completes with ".arlx".
    QCOMPARE(driver.seen().constFirst().text, m_dir->filePath(QStringLiteral("runs/run.arlx")));
    QCOMPARE(driver.seen().constFirst().suffix, QStringLiteral("arlx"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isSaving(), OpenTimeoutMs);
    QCOMPARE(driver.messages(), QStringList());
    const QString saved = m_dir->filePath(QStringLiteral("runs/run.arlx"));
    QVERIFY(QFileInfo(saved).size() > 0);
    QCOMPARE(title(*m_window), QStringLiteral("run.imrs"));
    QCOMPARE(m_window->openFilePath(), path);
    QVERIFY(BLLInstance::getInstance()->openFile(saved));
}

void TestOpenSave::failingSave_data()
{
    QTest::addColumn<QString>("opened");  // name of the file opened
    QTest::addColumn<int>("type");        // 1 Save, 2 Save as
    QTest::addColumn<QString>("damage");  // what happens to the opened file before saving
    QTest::addColumn<QString>("target");  // the name answered in the dialog ("" cancels, "-" no dialog)
    QTest::addColumn<QString>("existing"); // content of the target before the save ("" none)
    QTest::addColumn<QString>("message");  // "" none
    const QString saveError = QStringLiteral("Save File Error! ");
    QTest::newRow("in place, package removed") << "result.arlx" << 1 << "remove" << "-" << "" << saveError;
    QTest::newRow("in place, a folder where the package was")
        << "result.arlx" << 1 << "folder" << "-" << "" << saveError;
    QTest::newRow("save as over a package, source removed")
        << "run.imrs" << 2 << "remove" << "other.arlx" << "earlier package" << saveError;
    QTest::newRow("save as to a new name, source removed")
        << "run.imrs" << 1 << "remove" << "new.arlx" << "" << saveError;
    QTest::newRow("save as into a missing folder")
        << "run.imrs" << 2 << "" << "missing/new.arlx" << ""
        << "Please confirm whether you have permission to write!";
    QTest::newRow("save as cancelled") << "run.imrs" << 1 << "" << "" << "" << "";
}

// Every road that saves nothing shows why (a cancel excepted), keeps the changed mark and the
// target as it was, and leaves no overlay.
void TestOpenSave::failingSave()
{
    QFETCH(QString, opened);
    QFETCH(int, type);
    QFETCH(QString, damage);
    QFETCH(QString, target);
    QFETCH(QString, existing);
    QFETCH(QString, message);
    const QString path = opened.endsWith(QLatin1String(".arlx")) ? savedPackage(opened) : run(opened);
    QVERIFY(!path.isEmpty());
    QVERIFY(openInWindow(*m_window, path));
    markChanged(*m_window);
    const QString marked = title(*m_window);
    if (!damage.isEmpty())
        QVERIFY(QFile::remove(path));
    if (damage == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    const QString targetPath = target == QLatin1String("-") ? path : target.isEmpty() ? QString() : m_dir->filePath(target);
    if (!existing.isEmpty())
        writeFile(targetPath, existing.toUtf8());

    ModalDriver driver;
    if (target != QLatin1String("-"))
        driver.answerFileDialog(target.isEmpty() ? QString() : targetPath);
    if (!existing.isEmpty())
        driver.confirmOverwrite();
    if (!message.isEmpty())
        driver.answerMessage(1);
    QVERIFY(saveFromMenu(*m_window, type));
    QVERIFY(driver.waitDone(OpenTimeoutMs));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isSaving(), OpenTimeoutMs);
    QCOMPARE(driver.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(title(*m_window), marked);
    QVERIFY(!m_window->busyOverlay()->isVisible());
    if (targetPath.isEmpty())
        return;
    if (!existing.isEmpty())
        QCOMPARE(contentOf(targetPath), existing.toUtf8());
    else if (damage == QLatin1String("folder"))
        QVERIFY(QFileInfo(targetPath).isDir());
    else
        QVERIFY(!QFileInfo::exists(targetPath));
    // Nothing left behind beside the target.
    const QStringList leftovers = QDir(QFileInfo(targetPath).absolutePath())
                                      .entryList({QStringLiteral("*probe*"), QStringLiteral("*.tmp")},
                                                 QDir::Files | QDir::Hidden);
    QCOMPARE(leftovers, QStringList());
}

void TestOpenSave::closeWithSave_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("dialog"); // "-" no dialog, "" cancelled, else the name
    QTest::addColumn<bool>("closed");
    QTest::newRow("package saved in place") << "result.arlx" << "" << "-" << true;
    QTest::newRow("run archive saved as") << "run.imrs" << "" << "copy.arlx" << true;
    QTest::newRow("save as cancelled") << "run.imrs" << "" << "" << false;
    QTest::newRow("save fails") << "result.arlx" << "remove" << "-" << false;
}

// Yes closes only once the save has succeeded, and what it saved opens again.
void TestOpenSave::closeWithSave()
{
    QFETCH(QString, opened);
    QFETCH(QString, damage);
    QFETCH(QString, dialog);
    QFETCH(bool, closed);
    const QString path = opened.endsWith(QLatin1String(".arlx")) ? savedPackage(opened) : run(opened);
    QVERIFY(openInWindow(*m_window, path));
    markChanged(*m_window);
    if (damage == QLatin1String("remove"))
        QVERIFY(QFile::remove(path));

    ModalDriver driver;
    driver.answerMessage(1);
    if (dialog != QLatin1String("-"))
        driver.answerFileDialog(dialog.isEmpty() ? QString() : m_dir->filePath(dialog));
    if (!damage.isEmpty())
        driver.answerMessage(1);
    QVERIFY(QMetaObject::invokeMethod(m_window->menuBar()->rootObject(), "closeWindows"));
    QVERIFY(driver.waitDone(OpenTimeoutMs));
    QCOMPARE(driver.messages().constFirst(), QStringLiteral("Do you want to save you modify? "));
    if (m_window->isSaving())
        QVERIFY(m_window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isSaving(), OpenTimeoutMs);
    QTest::qWait(50);
    QCOMPARE(m_window->isVisible(), !closed);
    if (!closed) {
        QVERIFY(title(*m_window).startsWith(QLatin1String("* ")));
        return;
    }
    const QString saved = dialog == QLatin1String("-") ? path : m_dir->filePath(dialog);
    QVERIFY(BLLInstance::getInstance()->openFile(saved));
}

// A close asked for while a package opens or saves waits for it, then goes on.
void TestOpenSave::closeWaitsForWork()
{
    const QString path = savedPackage(QStringLiteral("result.arlx"));
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    m_window->startOpenFile(path);
    QVERIFY(m_window->isOpening());
    QVERIFY(QMetaObject::invokeMethod(m_window->menuBar()->rootObject(), "closeWindows"));
    QVERIFY(m_window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), OpenTimeoutMs);
    QCOMPARE(m_window->openFilePath(), path);

    m_window->show();
    QTRY_VERIFY(!complete.isEmpty());
    markChanged(*m_window);
    QVERIFY(saveFromMenu(*m_window, 1));
    QVERIFY(m_window->isSaving());
    QVERIFY(QMetaObject::invokeMethod(m_window->menuBar()->rootObject(), "closeWindows"));
    QVERIFY(m_window->isVisible());
    // Saved: the title lost its mark, so the waiting close needs no question.
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), OpenTimeoutMs);
    QCOMPARE(title(*m_window), QStringLiteral("result.arlx"));
}

LUMARA_TEST_GUI_MAIN(TestOpenSave)
#include "tst_opensave.moc"
