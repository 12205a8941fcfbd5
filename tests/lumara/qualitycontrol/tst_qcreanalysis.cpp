// The re-analysis of the Quality Control page on a small generated package: the dialog's
// choices, the options the job hands to the analysis, the busy state begun and ended once, the
// question when droplets were excluded by hand, a failing job, and resizes while the job runs.
#define QTEST_QPA_MOUSE_HANDLING
#include "qctest.h"
#include "testmain.h"

#include "pages/QualityControl/qualitycontrol.h"
#include "pages/QualityControl/reanalysisdialog.h"

#include "bll/dropletexclude.h"
#include "bll/reanalysis.h"
#include "modalanswerer.h"
#include "shell/globalvalues.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <stdexcept>

using namespace QcTest;
using LumaraTest::ModalAnswerer;

namespace {

// A page whose job fails in the analysis.
class FailingPage : public QualityControl {
protected:
    void reanalyse(int, bool) override { throw std::runtime_error("analysis broke"); }
};

// The view's choice boxes clicked as the user does; -1 leaves the defaults.
void choose(ReAnalysisDialog &dialog, int background, int fluorescent)
{
    auto *view = dialog.findChild<QQuickWidget *>();
    QVERIFY(view && dialog.root());
    const auto clickBox = [&](const QString &name) {
        auto *box = itemNamed(view->rootObject(), name);
        QVERIFY(box);
        const QPointF centre = box->mapToScene(QPointF(box->height() / 2, box->height() / 2));
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    };
    if (background >= 0)
        clickBox(QStringLiteral("background%1").arg(background));
    if (fluorescent >= 0)
        clickBox(QStringLiteral("fluorescent%1").arg(fluorescent));
}

QJsonObject generalParameters()
{
    return QJsonDocument::fromJson(BLLInstance::getInstance()->getReAnalysis()->setup().parameterBuffer)
        .object()
        .value(QStringLiteral("General"))
        .toObject();
}

} // namespace

class TestQcReanalysis : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initCase();
        QVERIFY(m_dir.isValid());
        m_package = BllTest::generateRun(m_dir.path(), QStringLiteral("qc.imrs"), BllTest::smallRun(false, 41, 192));
        QVERIFY(!m_package.isEmpty());
    }

    void init()
    {
        reanalysisBackgroundMode = 2;
        reanalysisFluorescenceCorrection = true;
    }

    void dialogChoices_data()
    {
        QTest::addColumn<int>("background"); // box clicked, -1 none
        QTest::addColumn<int>("fluorescent");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("correction");
        QTest::newRow("accepted untouched") << -1 << -1 << true << 2 << true;
        QTest::newRow("machine correction, no fluorescence") << 1 << 1 << true << 1 << false;
        QTest::newRow("no background correction") << 2 << -1 << true << 0 << true;
        QTest::newRow("back to the intelligent algorithm") << 0 << 0 << true << 2 << true;
        // Rejected: the values stay what the last acceptance left.
        QTest::newRow("rejected") << 1 << 1 << false << 0 << true;
    }

    void dialogChoices()
    {
        QFETCH(int, background);
        QFETCH(int, fluorescent);
        QFETCH(bool, accept);
        QFETCH(int, mode);
        QFETCH(bool, correction);
        reanalysisBackgroundMode = accept ? 2 : 0;
        ReAnalysisDialog dialog;
        QCOMPARE(dialog.size(), QSize(318, 356));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        choose(dialog, background, fluorescent);
        QVERIFY(QMetaObject::invokeMethod(dialog.root(), accept ? "accept" : "reject"));
        QCOMPARE(dialog.result(), accept ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(reanalysisBackgroundMode, mode);
        QCOMPARE(reanalysisFluorescenceCorrection, correction);
        // A new dialog starts from the defaults again.
        ReAnalysisDialog next;
        QCOMPARE(next.root()->property("backgroundType").toInt(), 0);
        QCOMPARE(next.root()->property("fluorescent").toInt(), 1);
    }

    void job_data()
    {
        QTest::addColumn<int>("background"); // the view's choice
        QTest::addColumn<int>("fluorescent");
        QTest::addColumn<bool>("exclusions");
        QTest::addColumn<bool>("confirm"); // the answer to the exclusion question
        QTest::addColumn<bool>("runs");
        QTest::addColumn<int>("backgroundType"); // handed to the analysis
        QTest::addColumn<int>("greyType");
        QTest::newRow("defaults") << 0 << 1 << false << true << true << 2 << 1;
        QTest::newRow("machine correction, no fluorescence") << 1 << 0 << false << true << true << 1 << 0;
        QTest::newRow("exclusions, confirmed") << 2 << 1 << true << true << true << 0 << 1;
        QTest::newRow("exclusions, declined") << 0 << 1 << true << false << false << 0 << 0;
    }

    // The busy state begins and ends once; resizes meanwhile only refit the shown picture.
    void job()
    {
        QFETCH(int, background);
        QFETCH(int, fluorescent);
        QFETCH(bool, exclusions);
        QFETCH(bool, confirm);
        QFETCH(bool, runs);
        QFETCH(int, backgroundType);
        QFETCH(int, greyType);
        auto page = std::make_unique<QualityControl>();
        page->resize(1200, 900);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        openPackage();
        QVERIFY(page->panel()->imageItem());
        if (exclusions) {
            BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(page->currentWell(), {0, 1});
            page->panel()->reloadImage();
        }
        WellListModel::instance()->setWellExclude(page->currentWell(), exclusions);

        SignalTransfer *hub = SignalTransfer::getInstance();
        QSignalSpy begin(hub, &SignalTransfer::beginBusyStatus);
        QSignalSpy end(hub, &SignalTransfer::endBusyStatus);
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<ReAnalysisDialog *>(modal)) {
                dialog->root()->setProperty("backgroundType", background);
                dialog->root()->setProperty("fluorescent", fluorescent);
                QMetaObject::invokeMethod(dialog->root(), "accept");
            } else if (confirm) {
                static_cast<QDialog *>(modal)->accept();
            } else {
                static_cast<QDialog *>(modal)->reject();
            }
        });
        QVERIFY(QMetaObject::invokeMethod(page->root(), "reAnalysis"));
        QCOMPARE(begin.count(), runs ? 1 : 0);
        QCOMPARE(page->reanalysing(), runs);
        QStringList asked{QStringLiteral("ReAnalysisDialog")};
        if (exclusions)
            asked << QStringLiteral("DialogMessage");
        QCOMPARE(answerer.seen(), asked);
        if (!runs) {
            QTest::qWait(50);
            QCOMPARE(end.count(), 0);
            return;
        }
        // Resizes while the job rebuilds the images and droplets.
        const QGraphicsPixmapItem *shown = page->panel()->imageItem();
        int round = 0;
        while (page->reanalysing() && round < 6000) {
            page->resize(round % 2 ? 1200 : 1100, 900);
            QTest::qWait(10);
            if (page->reanalysing())
                QCOMPARE(page->panel()->imageItem(), shown);
            ++round;
        }
        QTRY_COMPARE_WITH_TIMEOUT(end.count(), 1, 60000);
        QTest::qWait(20);
        QCOMPARE(begin.count(), 1);
        QCOMPARE(end.count(), 1);
        QVERIFY(!page->reanalysing());
        QCOMPARE(answerer.seen(), asked); // no failure reported

        ReAnalysis *analysis = BLLInstance::getInstance()->getReAnalysis();
        QCOMPARE(analysis->backgroundAdjustType(), backgroundType);
        QCOMPARE(analysis->greyAdjustType(), greyType);
        const QJsonObject general = generalParameters();
        QCOMPARE(general.value(QStringLiteral("BackgroundUniformAdjustType")).toInt(-1), backgroundType);
        QCOMPARE(general.value(QStringLiteral("DrpltGyslAdjustType")).toInt(-1), greyType);
        // Droplets found anew: no exclusion survives, and the page shows the new records.
        QVERIFY(BLLInstance::getInstance()->getExcludedDroplets(page->currentWell()).isEmpty());
        QVERIFY(page->panel()->imageItem());
        QCOMPARE(page->panel()->markers().size(),
                 BLLInstance::getInstance()->getDropletExclude()->getImgAnalysisInfo(page->currentWell()).droplets.size());
    }

    // Whatever the job throws, the user hears of it and the busy state ends.
    void failingJobEndsTheBusyState()
    {
        FailingPage page;
        page.resize(1200, 900);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        openPackage();
        SignalTransfer *hub = SignalTransfer::getInstance();
        QSignalSpy begin(hub, &SignalTransfer::beginBusyStatus);
        QSignalSpy end(hub, &SignalTransfer::endBusyStatus);
        ModalAnswerer answerer([](QWidget *modal) {
            if (auto *dialog = qobject_cast<ReAnalysisDialog *>(modal))
                QMetaObject::invokeMethod(dialog->root(), "accept");
            else
                static_cast<QDialog *>(modal)->accept();
        });
        QTest::ignoreMessage(QtCriticalMsg, "Re-analysis failed: analysis broke");
        QVERIFY(QMetaObject::invokeMethod(page.root(), "reAnalysis"));
        QTRY_COMPARE_WITH_TIMEOUT(end.count(), 1, 10000);
        QTRY_COMPARE(answerer.seen(), (QStringList{"ReAnalysisDialog", "DialogMessage"}));
        QCOMPARE(begin.count(), 1);
        QVERIFY(!page.reanalysing());
    }

    // Without wells there is nothing to re-analyse: no dialog.
    void noWellsNoDialog()
    {
        QualityControl page;
        QVERIFY(BllTest::seedDocument(BllTest::DocumentSeed()));
        emit SignalTransfer::getInstance()->updateWellInfo();
        QVERIFY(WellListModel::instance()->modelIsEmpty());
        ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
        QVERIFY(QMetaObject::invokeMethod(page.root(), "reAnalysis"));
        QTest::qWait(20);
        QCOMPARE(answerer.seen(), QStringList());
    }

private:
    void openPackage()
    {
        QVERIFY(BLLInstance::getInstance()->openFile(m_package));
        WellListModel::instance()->setModelType(0);
        emit SignalTransfer::getInstance()->updateWellInfo();
        QVERIFY(!WellListModel::instance()->modelIsEmpty());
    }

    QTemporaryDir m_dir;
    QString m_package;
};

LUMARA_TEST_GUI_MAIN(TestQcReanalysis)
#include "tst_qcreanalysis.moc"
