// The page frame's switch on an opened package: the shared well list's mode and selection as
// each page finds it, its resets (one before the result table, none before the export), the
// population results recomputed before the result pages, and module indices without a page.
#include "bll/bllinstance.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "pages/pagecontainer.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

namespace {

WellListModel *wells()
{
    return WellListModel::instance();
}

// List positions (from 0) of the selected wells.
QList<int> selectedRows()
{
    QList<int> rows;
    const QList<WellListItem> list = wells()->getWellList();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).select)
            rows.append(i);
    }
    return rows;
}

void select(const QList<int> &rows)
{
    wells()->clearSelect();
    for (int row : rows)
        wells()->addSelectRow(row + 1); // counted from 1
    QCOMPARE(selectedRows(), rows);
}

quint32 positivesInModel()
{
    quint32 sum = 0;
    for (const WellListItem &well : wells()->getWellList())
        for (const auto &population : well.populations)
            sum += population.posDrpltNum;
    return sum;
}

// Every droplet of every well positive in every channel, recounted without announcing it: the
// stored population results are then out of date.
void lowerEveryThreshold()
{
    BLLInstance *bll = BLLInstance::getInstance();
    for (uint well : bll->getWellIds()) {
        for (uint channel = 1; channel <= 6; ++channel)
            bll->updateThldByLine(well, channel, 1);
        bll->updateZonesDroplets(well, false);
    }
}

} // namespace

class TestPageSwitch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void modeAndSelection_data();
    void modeAndSelection();
    void resultPagesRecompute_data();
    void resultPagesRecompute();

private:
    QTemporaryDir m_dir;
    QString m_run;
    std::unique_ptr<MainWindows> m_window;
};

void TestPageSwitch::initTestCase()
{
    initAppResources();
    auto options = BllTest::smallRun(false, 31, 96);
    options.wells = 4;
    m_run = BllTest::generateRun(m_dir.path(), QStringLiteral("switch.imrs"), options);
    QVERIFY(!m_run.isEmpty());
    m_window = std::make_unique<MainWindows>(QString());
}

void TestPageSwitch::init()
{
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    m_window->startOpenFile(m_run);
    QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty() && !m_window->isOpening(), 60000);
    QCOMPARE(wells()->rowCount(), 4);
}

void TestPageSwitch::modeAndSelection_data()
{
    QTest::addColumn<int>("primary");
    QTest::addColumn<int>("sub");
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<int>("resets");
    const QList<int> two{1, 2};
    const QList<int> none;
    QTest::newRow("quality control: the first of two") << 0 << 0 << two << 0 << QList<int>{1} << 1;
    QTest::newRow("quality control: none, the last") << 0 << 0 << none << 0 << QList<int>{3} << 2;
    QTest::newRow("experiment table") << 1 << 0 << two << 1 << two << 1;
    QTest::newRow("compensation") << 1 << 1 << two << 0 << two << 1;
    QTest::newRow("set up: none, the last") << 1 << 0 << none << 1 << QList<int>{3} << 2;
    QTest::newRow("analyze plot") << 2 << 3 << two << 0 << two << 1;
    QTest::newRow("explore: the first of two") << 3 << 0 << two << 0 << QList<int>{1} << 1;
    QTest::newRow("result table") << 4 << 0 << two << 2 << two << 1;
    QTest::newRow("concentration graph") << 4 << 1 << two << 0 << two << 1;
    QTest::newRow("export: selection as it is") << 5 << 0 << none << 0 << none << 0;
}

void TestPageSwitch::modeAndSelection()
{
    QFETCH(int, primary);
    QFETCH(int, sub);
    QFETCH(QList<int>, before);
    QFETCH(int, mode);
    QFETCH(QList<int>, after);
    QFETCH(int, resets);
    // Start from a mode no page leaves behind alone.
    wells()->setModelType(primary == 1 && sub == 0 ? 2 : 1);
    select(before);
    QSignalSpy reset(wells(), &QAbstractItemModel::modelReset);
    m_window->frame()->switchPage(primary, sub);
    QCOMPARE(m_window->frame()->currentIndex(), primary);
    QCOMPARE(qobject_cast<PageContainer *>(m_window->frame()->page(primary))->currentIndex(), sub);
    QCOMPARE(wells()->modelType(), mode);
    QCOMPARE(selectedRows(), after);
    QCOMPARE(reset.size(), resets);

    // A module index without a page changes nothing.
    wells()->setModelType(1);
    reset.clear();
    for (const int outside : {-1, 6}) {
        m_window->frame()->switchPage(outside, 0);
        QCOMPARE(m_window->frame()->currentIndex(), primary);
        QCOMPARE(wells()->modelType(), 1);
        QCOMPARE(selectedRows(), after);
        QCOMPARE(reset.size(), 0);
    }
}

void TestPageSwitch::resultPagesRecompute_data()
{
    QTest::addColumn<int>("primary");
    QTest::addColumn<int>("resets");
    QTest::newRow("view results") << 4 << 1;
    QTest::newRow("export") << 5 << 0;
}

void TestPageSwitch::resultPagesRecompute()
{
    QFETCH(int, primary);
    QFETCH(int, resets);
    const quint32 before = positivesInModel();
    lowerEveryThreshold();
    m_window->frame()->switchPage(2, 0);
    QCOMPARE(positivesInModel(), before);

    QSignalSpy reset(wells(), &QAbstractItemModel::modelReset);
    m_window->frame()->switchPage(primary, 0);
    QVERIFY(positivesInModel() > before);
    quint32 stored = 0;
    for (uint well : BLLInstance::getInstance()->getWellIds())
        for (const auto &population : BLLInstance::getInstance()->getResultCalculate()->getPopulationResults(well))
            stored += population.posDrpltNum;
    QCOMPARE(positivesInModel(), stored);
    QCOMPARE(reset.size(), resets);
}

LUMARA_TEST_GUI_MAIN(TestPageSwitch)
#include "tst_pageswitch.moc"
