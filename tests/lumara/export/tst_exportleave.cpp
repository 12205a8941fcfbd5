// The Export page destroyed while its job runs: the job needs the page's thread to draw its
// plot images and to show its messages, the page's thread waits for the job in the page's
// destructor. The page lets the job go first, so the destruction returns.
#include "bll/signaltransfer.h"
#include "exporttest.h"
#include "pages/Export/exportpage.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "testmain.h"
#include "watchdog.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtTest>


namespace {

BllTest::DocumentSeed seed()
{
    QList<BllTest::WellSeed> wells;
    for (uint id = 1; id <= 4; ++id) {
        wells.append(ResultTest::well(id, QStringLiteral("A%1").arg(id), QStringLiteral("S%1").arg(id), 400,
                                      {{60, 40, 0, 0, 0, 0}}));
    }
    BllTest::DocumentSeed document = ResultTest::document(wells);
    document.plots2D = {{QStringLiteral("P12"), {1, 2}}};
    return document;
}

} // namespace

class TestExportLeave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        QString error;
        QVERIFY2(ResultTest::useKit(false, &error), qPrintable(error));
        QVERIFY2(ResultTest::load(seed(), &error), qPrintable(error));
        QCOMPARE(WellListModel::instance()->getWellList().size(), 4);
    }

    // Outputs that need drawing on the page's thread (plots), and one that needs its message
    // (a parent folder that does not exist).
    void destroyedWhileItsJobRuns_data()
    {
        QTest::addColumn<int>("outputs");
        QTest::addColumn<bool>("missingParent");
        QTest::newRow("plot images") << (2 | 4 | 8 | 16 | 32) << false;
        QTest::newRow("messages") << 127 << true;
    }

    void destroyedWhileItsJobRuns()
    {
        QFETCH(int, outputs);
        QFETCH(bool, missingParent);
        QTemporaryDir parent;
        auto *page = new ExportPage;
        page->resize(800, 700);
        page->root()->setProperty("filePath",
                                  missingParent ? parent.filePath(QStringLiteral("no/such")) : parent.path());
        currentFileBaseName = QStringLiteral("leave");
        QVERIFY(QMetaObject::invokeMethod(page, "exportClicked", Q_ARG(int, outputs)));
        const QFuture<void> job = page->lastJob();
        // Give the job time to reach its first wait for this thread.
        QThread::msleep(300);
        QElapsedTimer clock;
        clock.start();
        {
            LumaraTest::Watchdog watchdog("the page's destruction waits for a job that waits for it",
                                          std::chrono::seconds(60));
            delete page;
        }
        QVERIFY(job.isFinished());
        // Everything the job wrote before it was let go is whole; no message box is left.
        QTest::qWait(50);
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), widget->metaObject()->className());
        if (missingParent)
            return;
        const QStringList folders = QDir(parent.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(folders.size(), 1);
        for (const QString &file : ExportTest::filesIn(parent.filePath(folders.constFirst()), QStringLiteral("*.png")))
            QVERIFY2(!QImage(parent.filePath(folders.constFirst() + QLatin1Char('/') + file)).isNull(), qPrintable(file));
    }
};

LUMARA_TEST_GUI_MAIN(TestExportLeave)
#include "tst_exportleave.moc"
