// The experiment editor on generated run archives: adding with nothing open, the merge
// messages and their order, a good merge and one whose archive breaks before it is read,
// removing wells after asking, and the target names and comment reaching the document.
#include "bllaccess.h"
#include "bll/experimenteditmgr.h"
#include "bll/signaltransfer.h"
#include "pages/EditExperiment/experimentedit.h"
#include "seeddocument.h"
#include "setuptest.h"
#include "shell/appresources.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

using SetupTest::DialogAnswers;
using SetupTest::HubLog;
using Permit = PcrAnalysisDocument::MergePermit;
Q_DECLARE_METATYPE(Permit)

namespace {

WellListModel *wells()
{
    return WellListModel::instance();
}

Permit permit(bool experiment, bool device, bool matrix)
{
    Permit p;
    p.accepted = true;
    p.sameExperimentCfg = experiment;
    p.sameDevParas = device;
    p.sameCompensationMatrix = matrix;
    return p;
}

} // namespace

class TestExperimentEdit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addingWithNothingOpen();
    void mergeRefusal_data();
    void mergeRefusal();
    void mergeMessages_data();
    void mergeMessages();
    void goodMerge();
    void mergeThatFailsEndsBusy();
    void removingWells_data();
    void removingWells();
    void targetNames_data();
    void targetNames();
    void numberCells_data();
    void numberCells();
    void comment();

private:
    QQuickItem *root() const { return m_page->rootObject(); }
    void openRun();
    QString run(const QString &name, quint64 seed, const QList<MkPackage::TargetOption> &targets = {});
    // Runs the add button with the file dialog answered by the path.
    QStringList addWell(const QString &path);

    QTemporaryDir m_dir;
    QString m_open;
    std::unique_ptr<ExperimentEdit> m_page;
};

void TestExperimentEdit::initTestCase()
{
    initAppResources();
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
    wells()->setModelType(1);
}

void TestExperimentEdit::init()
{
    m_page = std::make_unique<ExperimentEdit>();
    m_page->resize(1400, 800);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    QVERIFY(root());
}

void TestExperimentEdit::cleanup()
{
    m_page.reset();
}

QString TestExperimentEdit::run(const QString &name, quint64 seed, const QList<MkPackage::TargetOption> &targets)
{
    MkPackage::GeneratorOptions options = BllTest::smallRun(false, seed, 96);
    if (!targets.isEmpty())
        options.targets = targets;
    const QString path = QFileInfo::exists(m_dir.filePath(name)) ? m_dir.filePath(name)
                                                                 : BllTest::generateRun(m_dir.path(), name, options);
    return path;
}

void TestExperimentEdit::openRun()
{
    // A fresh name each time: a merged archive stays part of the document.
    static int opened = 0;
    ++opened;
    m_open = run(QStringLiteral("open%1.imrs").arg(opened), quint64(40 + opened));
    QVERIFY(!m_open.isEmpty());
    QVERIFY(bll()->openFile(m_open));
    QCoreApplication::processEvents();
    QCOMPARE(wells()->getAllWellIDs().size(), 2);
}

QStringList TestExperimentEdit::addWell(const QString &path)
{
    DialogAnswers answers(path);
    QMetaObject::invokeMethod(root(), "addWell");
    return answers.messages();
}

// Must run first: nothing is open yet.
void TestExperimentEdit::addingWithNothingOpen()
{
    QVERIFY(wells()->modelIsEmpty());
    QSignalSpy openFile(m_page.get(), &ExperimentEdit::openFile);
    LumaraTest::ModalAnswerer answerer([](QWidget *modal) { modal->close(); });
    QMetaObject::invokeMethod(root(), "addWell");
    QTest::qWait(50);
    QCOMPARE(openFile.size(), 1);
    QCOMPARE(answerer.seen(), QStringList()); // no file dialog
    QCOMPARE(root()->property("uiEnable").toBool(), false);
}

void TestExperimentEdit::mergeRefusal_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<Permit>("permit");
    QTest::addColumn<QString>("message");
    const Permit same = permit(true, true, true);
    QTest::newRow("suffix") << 1 << same << "Format not support, can not be merged";
    QTest::newRow("already loaded") << 2 << same << "This file has been loaded, can not be merged";
    QTest::newRow("cannot parse") << 3 << same << "Read configure file failed, can not be merged";
    QTest::newRow("an unknown code") << 7 << permit(false, false, false) << "";
    QTest::newRow("device parameters") << 0 << permit(true, false, true)
                                       << "Device parameter configure different, can not be merged";
    QTest::newRow("device and experiment: device first")
        << 0 << permit(false, false, true) << "Device parameter configure different, can not be merged";
    QTest::newRow("experiment") << 0 << permit(false, true, false) << "Experiment configure different, can not be merged";
    QTest::newRow("matrix") << 0 << permit(true, true, false) << "Compensation matrix configure different, can not be merged";
    QTest::newRow("all the same") << 0 << same << "";
}

void TestExperimentEdit::mergeRefusal()
{
    QFETCH(int, code);
    QFETCH(Permit, permit);
    QFETCH(QString, message);
    QCOMPARE(ExperimentEdit::mergeRefusal(PcrAnalysisDocument::ErrorCode(code), permit), message);
}

// What the document itself answers for archives a user may pick.
void TestExperimentEdit::mergeMessages_data()
{
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<QString>("message");
    QTest::newRow("other suffix") << "other.txt" << "Format not support, can not be merged";
    QTest::newRow("same file twice") << "" << "This file has been loaded, can not be merged";
    QTest::newRow("unreadable archive") << "broken.imrs" << "Read configure file failed, can not be merged";
    QTest::newRow("other targets") << "othertargets.imrs" << "Experiment configure different, can not be merged";
}

void TestExperimentEdit::mergeMessages()
{
    QFETCH(QString, candidate);
    QFETCH(QString, message);
    openRun();
    QString path = m_open;
    if (candidate == QLatin1String("othertargets.imrs")) {
        path = run(candidate, 7, {{QStringLiteral("Only-FAM"), QStringLiteral("FAM"), 0.2}});
    } else if (!candidate.isEmpty()) {
        path = m_dir.filePath(candidate);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("PK\x03\x04 not an archive");
    }
    HubLog hub;
    QCOMPARE(addWell(path), QStringList{message});
    QCoreApplication::processEvents();
    QCOMPARE(hub.events(), QStringList());
    QCOMPARE(wells()->getAllWellIDs().size(), 2);
}

void TestExperimentEdit::goodMerge()
{
    openRun();
    const QString second = run(QStringLiteral("second.imrs"), 61);
    HubLog hub;
    QCOMPARE(addWell(second), QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(hub.count("wells") >= 1 && hub.busy() == 0, 60000);
    QCOMPARE(hub.count("begin"), 1);
    QCOMPARE(wells()->getAllWellIDs().size(), 4);
    QCOMPARE(bll()->getWellIds().size(), 4);
    // The editor's table shows them: a header row and four wells.
    QCOMPARE(wells()->rowCount(), 5);
}

void TestExperimentEdit::mergeThatFailsEndsBusy()
{
    openRun();
    const QString second = run(QStringLiteral("breaks.imrs"), 62);
    // Accepted by the check, then broken before the job reads its droplets.
    connect(
        m_page.get(), &ExperimentEdit::mergeFile, this,
        [second] {
            QFile file(second);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write("broken after the check");
        },
        Qt::DirectConnection);
    HubLog hub;
    QStringList messages;
    {
        DialogAnswers answers(second);
        QMetaObject::invokeMethod(root(), "addWell");
        QTRY_VERIFY_WITH_TIMEOUT(hub.count("end") == 1, 60000);
        QTRY_COMPARE(answers.messages().size(), 1);
        messages = answers.messages();
    }
    QCOMPARE(messages, QStringList{"This is some error happen in merge."});
    QCOMPARE(hub.events(), (QStringList{"begin", "end"}));
    QCOMPARE(wells()->getAllWellIDs().size(), 2);
    QFile::remove(second);
}

void TestExperimentEdit::removingWells_data()
{
    QTest::addColumn<QVariantList>("rows");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("viewUpdates");
    QTest::newRow("refused") << QVariantList{1} << false << 2 << 0;
    QTest::newRow("the first") << QVariantList{1} << true << 1 << 0;
    QTest::newRow("every well") << QVariantList{1, 2} << true << 0 << 1;
}

void TestExperimentEdit::removingWells()
{
    QFETCH(QVariantList, rows);
    QFETCH(bool, yes);
    QFETCH(int, left);
    QFETCH(int, viewUpdates);
    openRun();
    const QList<uint> before = bll()->getWellIds();
    root()->setProperty("selectIndexs", rows);
    QSignalSpy viewUpdate(m_page.get(), &ExperimentEdit::updateView);
    QSignalSpy selectUpdate(m_page.get(), &ExperimentEdit::updateSelectIndex);
    {
        DialogAnswers answers(QString(), yes);
        QMetaObject::invokeMethod(root(), "deleteWell");
        QCOMPARE(answers.messages(), QStringList{"This well will be removed from the analysis.\nDo you wish to continue?"});
    }
    QCOMPARE(bll()->getWellIds().size(), left);
    QCOMPARE(wells()->getAllWellIDs().size(), left);
    QCOMPARE(selectUpdate.size(), yes ? 1 : 0);
    QCOMPARE(viewUpdate.size(), viewUpdates);
    if (left == 1)
        QCOMPARE(bll()->getWellIds(), QList<uint>{before.last()});
    // The table follows: empty after the last well went.
    QCOMPARE(root()->property("uiEnable").toBool(), left > 0);
}

// A target name typed into the experiment details reaches the document and the table when it
// is new; an empty name or one of another channel is taken back.
void TestExperimentEdit::targetNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("new name") << "Renamed" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("another channel's name") << "Target-HEX" << false;
}

void TestExperimentEdit::targetNames()
{
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    openRun();
    const QString before = bll()->getTargetName(1);
    QCOMPARE(before, QStringLiteral("Target-FAM"));
    auto *field = SetupTest::findItem(m_page->rootObject(), QStringLiteral("targetName1"));
    QVERIFY(field);
    QVERIFY(field->isEnabled());
    m_page->activateWindow();
    field->forceActiveFocus();
    QTRY_VERIFY(field->hasActiveFocus());
    field->setProperty("text", typed);
    auto *other = SetupTest::findItem(m_page->rootObject(), QStringLiteral("targetName2"));
    QVERIFY(other);
    other->forceActiveFocus();
    QTRY_VERIFY(!field->hasActiveFocus());
    const QString expected = taken ? typed : before;
    QCOMPARE(field->property("text").toString(), expected);
    QCOMPARE(bll()->getTargetName(1), expected);
    QCOMPARE(wells()->getTargetName(1), expected);
}

void TestExperimentEdit::comment()
{
    openRun();
    QMetaObject::invokeMethod(root(), "commentChanged", Q_ARG(QString, QStringLiteral("Diluted twice")));
    QCOMPARE(bll()->getExpComment(), QStringLiteral("Diluted twice"));
}

namespace {

// The text input of the first well's number cell of that kind ("refStock", "dilution") in the
// first target channel's group.
QQuickItem *numberInput(QQuickItem *item, const QString &kind)
{
    if (!item)
        return nullptr;
    if (item->objectName() == QLatin1String("numberInput")) {
        QQuickItem *field = item->parentItem();
        QQuickItem *cell = field;
        while (cell && !cell->property("cellRow").isValid())
            cell = cell->parentItem();
        if (field && field->objectName() == kind && cell && cell->property("cellRow").toInt() == 1
            && cell->property("group").toInt() == 0)
            return item;
    }
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = numberInput(child, kind))
            return found;
    }
    return nullptr;
}

} // namespace

// A number typed into the table is stored as typed, not as the table shows it; passing through
// a cell without typing changes nothing.
void TestExperimentEdit::numberCells_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed"); // empty: focus in and out only
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("large concentration") << "refStock" << "123456" << 123456.0 << "1.23e+05";
    QTest::newRow("small concentration") << "refStock" << "12.5" << 12.5 << "12.50";
    QTest::newRow("not a number") << "refStock" << "abc" << 0.0 << "0.00";
    QTest::newRow("concentration passed through") << "refStock" << "" << 654321.0 << "6.54e+05";
    QTest::newRow("dilution") << "dilution" << "2.75" << 2.75 << "2.75";
    QTest::newRow("dilution passed through") << "dilution" << "" << 3.0 << "3.00";
}

void TestExperimentEdit::numberCells()
{
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    openRun();
    const uint well = wells()->getAllWellIDs().first();
    const uint channel = wells()->getTargetChannnelID(0);
    const bool concentration = kind == QLatin1String("refStock");
    const auto storedValue = [&] {
        for (const WellEditRow &row : bll()->getExperimentEditMgr()->getWellRows()) {
            if (row.wellId != well)
                continue;
            for (const LumaraAnalysisData::ChanResultInfo &c : row.chanResults) {
                if (c.chanId == channel)
                    return concentration ? c.refConcentration : c.dilution;
            }
        }
        return -1.0;
    };
    // A value the table can show only rounded, in the document before the table reads it.
    QVERIFY(bll()->setRefConcentration(well, channel, 654321.0));
    QVERIFY(bll()->setChannelDilution(well, channel, 3.0));
    QSignalSpy reloaded(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    emit SignalTransfer::getInstance()->updateWellInfo();
    QTRY_VERIFY(!reloaded.isEmpty());
    // The row is not highlighted: the edit goes to its own well.
    wells()->clearSelect();
    emit m_page->updateSelectIndex();
    QTest::qWait(50); // the table's cells of before are gone
    QPointer<QQuickItem> input = numberInput(m_page->rootObject(), kind);
    QVERIFY(input);
    QCOMPARE(input->property("text").toString(), concentration ? QStringLiteral("6.54e+05") : QStringLiteral("3.00"));

    m_page->activateWindow();
    input->forceActiveFocus();
    QTRY_VERIFY(input->hasActiveFocus());
    if (!typed.isEmpty()) {
        QMetaObject::invokeMethod(input, "selectAll");
        QTest::keyClicks(m_page.get(), typed);
        QCOMPARE(input->property("text").toString(), typed);
    }
    auto *other = SetupTest::findItem(m_page->rootObject(), QStringLiteral("targetName1"));
    QVERIFY(other);
    other->forceActiveFocus();
    QTRY_VERIFY(!input->hasActiveFocus());

    QCOMPARE(storedValue(), stored);
    QVERIFY(input);
    QCOMPARE(input->property("text").toString(), shown);
}

LUMARA_TEST_GUI_MAIN(TestExperimentEdit)
#include "tst_experimentedit.moc"
