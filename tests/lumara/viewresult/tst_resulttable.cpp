// The Result Table page and the View Results container: the QML view loads cleanly with its
// properties and signals, each connection is made once, a refresh without a selection stays
// silent, Merge without merged rows, clicks on rows, the scanning parameters, the reagent-kit
// table and its positives on the threshold, and the models' modes set before each view
// refreshes.
#include "bll/bllinstance.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "messagerecorder.h"
#include "pages/ViewResult/concentration.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/resulttable.h"
#include "pages/ViewResult/uncertainly.h"
#include "pages/viewresult.h"
#include "resultseed.h"
#include "shell/appresources.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QQuickItem>
#include <QRegularExpression>
#include <QSignalSpy>

#include <memory>

using BllTest::WellSeed;

namespace {

ResultModel *rows()
{
    return ResultModel::instance();
}

QList<WellSeed> samples(const QStringList &names)
{
    QList<WellSeed> seeds;
    for (int i = 0; i < names.size(); ++i)
        seeds.append(ResultTest::well(uint(i + 1), QStringLiteral("A%1").arg(i + 1), names.at(i), 10 + i,
                                      {{i + 2, 1, 0, 0, 0, 0}}));
    return seeds;
}

void load(const QStringList &names, bool kit = false)
{
    QString error;
    QVERIFY2(ResultTest::useKit(kit, &error), qPrintable(error));
    QVERIFY2(ResultTest::load(ResultTest::document(samples(names)), &error), qPrintable(error));
    // As the main window leaves the models for the result table.
    WellListModel::instance()->setModelType(2);
    rows()->setViewMode(0);
    rows()->updateModel();
}

bool invoke(QObject *object, const char *member)
{
    return QMetaObject::invokeMethod(object, member, Qt::DirectConnection);
}

// Every text shown by the items under the item.
QStringList textsUnder(QQuickItem *item)
{
    QStringList texts;
    if (!item || !item->isVisible())
        return texts;
    if (item->inherits("QQuickText"))
        texts.append(item->property("text").toString());
    for (QQuickItem *child : item->childItems())
        texts.append(textsUnder(child));
    return texts;
}

QQuickItem *itemNamed(QQuickWidget *view, const char *name)
{
    return view->rootObject()->findChild<QQuickItem *>(QString::fromLatin1(name));
}

} // namespace

class TestResultTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        BLLInstance::createSingletons();
    }
    void init()
    {
        load({"A", "A", "B"});
        rows()->setListMode(0);
        rows()->clearSelect();
        rows()->addSelectRow(1);
        m_recorder = std::make_unique<LumaraTest::MessageRecorder>();
        m_table = std::make_unique<ResultTable>();
        m_table->resize(1600, 900);
        m_table->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_table.get()));
        QVERIFY(m_table->rootObject());
    }
    void cleanup()
    {
        m_table.reset();
        QCOMPARE(m_recorder->qmlWarningsAndErrors(), QStringList());
        m_recorder.reset();
    }

    void rootInterface_data();
    void rootInterface();
    void connectionsMadeOnce();
    void hubSignals();
    void refreshWithoutSelection();
    void switchesSetTheListMode_data();
    void switchesSetTheListMode();
    void mergeWithoutMergedRows();
    void rowClicks();
    void scanningParameters_data();
    void scanningParameters();
    void kitTable();
    void kitTableCountsDropletsOnTheThreshold();
    void figuresWithoutValue();
    void containerSetsModesFirst_data();
    void containerSetsModesFirst();

private:
    QObject *root() const { return m_table->rootObject(); }

    std::unique_ptr<LumaraTest::MessageRecorder> m_recorder;
    std::unique_ptr<ResultTable> m_table;
};

void TestResultTable::rootInterface_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("isSignal");
    for (const char *p : {"selectIndexs", "resultArrayColumn", "resultArrayRow", "currentRowIndex", "ascendSort",
                          "existExcludeDroplets", "compensationFlag", "uiEnable", "isSpecialKit", "mutiShow"})
        QTest::newRow(p) << QString::fromLatin1(p) << false;
    for (const char *s : {"useApplyCompensation(bool)", "resetApplyCompensation()", "clickedBoth()",
                          "clickedIndividual()", "clickedMerge()", "switchToBoth()", "switchToSignle()",
                          "switchToMerge()", "updateModel()"})
        QTest::newRow(s) << QString::fromLatin1(s) << true;
}

void TestResultTable::rootInterface()
{
    QFETCH(QString, member);
    QFETCH(bool, isSignal);
    const QMetaObject *meta = root()->metaObject();
    if (isSignal)
        QVERIFY(meta->indexOfSignal(member.toLatin1()) >= 0);
    else
        QVERIFY(meta->indexOfProperty(member.toLatin1()) >= 0);
}

// Each signal of the page reaches its QML counterpart once, and the other way round.
void TestResultTable::connectionsMadeOnce()
{
    QSignalSpy both(root(), SIGNAL(switchToBoth()));
    QSignalSpy single(root(), SIGNAL(switchToSignle()));
    QSignalSpy merge(root(), SIGNAL(switchToMerge()));
    QSignalSpy update(root(), SIGNAL(updateModel()));
    emit m_table->clickedBoth();
    emit m_table->clickedIndividual();
    emit m_table->clickedMerge();
    emit m_table->updateModelData();
    QCOMPARE(both.count(), 1);
    QCOMPARE(single.count(), 1);
    QCOMPARE(merge.count(), 1);
    QCOMPARE(update.count(), 1);

    QSignalSpy resets(rows(), &QAbstractItemModel::modelReset);
    QSignalSpy pageMerge(m_table.get(), &ResultTable::clickedMerge);
    QVERIFY(invoke(root(), "clickedMerge"));
    QCOMPARE(rows()->listMode(), 2);
    QCOMPARE(pageMerge.count(), 1);
    QCOMPARE(merge.count(), 2);
    QCOMPARE(update.count(), 2);
    QCOMPARE(root()->property("selectIndexs").toList(), QVariantList{1});
    QCOMPARE(resets.count(), 2); // the list mode, and the first merged row selected
}

void TestResultTable::hubSignals()
{
    SignalTransfer *hub = SignalTransfer::getInstance();
    emit hub->compensationStatus(true);
    QVERIFY(root()->property("compensationFlag").toBool());
    emit hub->compensationStatus(false);
    QVERIFY(root()->property("compensationFlag").toBool());
    emit hub->clearCompensation();
    QVERIFY(!root()->property("compensationFlag").toBool());
    QVERIFY(!root()->property("uiEnable").toBool());
    emit hub->updateWellComplete();
    QVERIFY(root()->property("uiEnable").toBool());
    QCOMPARE(root()->property("selectIndexs").toList(), QVariantList{1});
}

void TestResultTable::refreshWithoutSelection()
{
    rows()->clearSelect();
    QSignalSpy update(m_table.get(), &ResultTable::updateModelData);
    QSignalSpy both(m_table.get(), &ResultTable::clickedBoth);
    QSignalSpy single(m_table.get(), &ResultTable::clickedIndividual);
    QSignalSpy merge(m_table.get(), &ResultTable::clickedMerge);
    m_table->refresh();
    QCOMPARE(update.count() + both.count() + single.count() + merge.count(), 0);
    QCOMPARE(root()->property("isSpecialKit").toBool(), false);
}

void TestResultTable::switchesSetTheListMode_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("tableRows");
    QTest::newRow("both") << "clickedBoth" << 0 << 5;
    QTest::newRow("individual") << "clickedIndividual" << 1 << 4;
    QTest::newRow("merge") << "clickedMerge" << 2 << 2;
}

void TestResultTable::switchesSetTheListMode()
{
    QFETCH(QString, button);
    QFETCH(int, mode);
    QFETCH(int, tableRows);
    rows()->setListMode(mode == 0 ? 1 : 0);
    QVERIFY(invoke(root(), button.toLatin1()));
    QCOMPARE(rows()->listMode(), mode);
    QVERIFY(!rows()->getSelectIDs().isEmpty());
    QQuickItem *table = itemNamed(m_table.get(), "resultTable");
    QVERIFY(table);
    QTRY_COMPARE(table->property("rows").toInt(), tableRows);
    QVERIFY(table->property("columns").toInt() >= 3 + 7 * 2);
}

// A run without shared samples: Merge shows the header row alone and selects nothing.
void TestResultTable::mergeWithoutMergedRows()
{
    load({"A", "B"});
    rows()->clearSelect();
    rows()->addSelectRow(1);
    QSignalSpy update(m_table.get(), &ResultTable::updateModelData);
    QVERIFY(invoke(root(), "clickedMerge"));
    QCOMPARE(rows()->listMode(), 2);
    QCOMPARE(rows()->rowCount(), 1);
    QCOMPARE(rows()->getSelectIDs(), QList<uint>());
    QCOMPARE(update.count(), 0);
    QTRY_COMPARE(itemNamed(m_table.get(), "resultTable")->property("rows").toInt(), 1);
    QVERIFY(!m_table->grabFramebuffer().isNull());
}

// A click selects its row alone, Ctrl adds or removes one; the highlight follows.
void TestResultTable::rowClicks()
{
    m_table->refresh();
    const auto click = [this](int row, bool ctrl) {
        QMetaObject::invokeMethod(root(), "rowClicked", Q_ARG(QVariant, row),
                                  Q_ARG(QVariant, ctrl ? int(Qt::ControlModifier) : 0));
    };
    click(4, false);
    QCOMPARE(rows()->getSelectIDs(), QList<uint>{4});
    QCOMPARE(root()->property("selectIndexs").toList(), QVariantList{4});
    click(2, true);
    QCOMPARE(rows()->getSelectIDs(), (QList<uint>{2, 4}));
    click(4, true);
    QCOMPARE(rows()->getSelectIDs(), QList<uint>{2});
    click(2, true); // the last well stays
    QCOMPARE(rows()->getSelectIDs(), QList<uint>{2});
    click(0, false); // the header row
    QCOMPARE(rows()->getSelectIDs(), QList<uint>{2});
    QCOMPARE(root()->property("selectIndexs").toList(), QVariantList{2});
}

void TestResultTable::scanningParameters_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("merged");
    QTest::newRow("well") << 1 << false;
    QTest::newRow("merged row") << 4 << true;
}

// A well shows its channels' exposure and focus, a merged row none.
void TestResultTable::scanningParameters()
{
    QFETCH(int, row);
    QFETCH(bool, merged);
    m_table->refresh();
    QMetaObject::invokeMethod(root(), "rowClicked", Q_ARG(QVariant, row), Q_ARG(QVariant, 0));
    const QStringList times = root()->property("exposureTimes").toStringList();
    const QVariantList scanned = root()->property("channelScanned").toList();
    QCOMPARE(times.size(), 6);
    const int id = rows()->getSelectWellID();
    for (int channel = 1; channel <= 6; ++channel) {
        const QString expected = merged ? QStringLiteral("----") : WellListModel::instance()->getExposeTime(uint(id), channel);
        QCOMPARE(times.at(channel - 1), expected);
        QCOMPARE(scanned.at(channel - 1).toBool(),
                 !merged && WellListModel::instance()->getWellChannelStatus(uint(id), uint(channel)));
    }
    QCOMPARE(scanned.at(0).toBool(), !merged);
}

// A reagent-kit package shows the ratio table: its eight texts for each row with two targets.
void TestResultTable::kitTable()
{
    load({"A", "A", "B"}, true);
    rows()->clearSelect();
    rows()->addSelectRow(1);
    m_table->refresh();
    QVERIFY(root()->property("isSpecialKit").toBool());
    QQuickItem *kit = itemNamed(m_table.get(), "kitTable");
    QVERIFY(kit && kit->isVisible());
    QVERIFY(!itemNamed(m_table.get(), "resultTable")->isVisible());
    const int mergedRow = WellListModel::instance()->rowCount();
    QTRY_VERIFY(textsUnder(kit).contains(rows()->data(rows()->index(mergedRow, 0), ResultModel::BCABLWellNameRole).toString()));
    const QStringList shown = textsUnder(kit);
    for (int row : {1, 2, 3, mergedRow}) {
        for (int role = ResultModel::BCABLWellNameRole; role <= ResultModel::BCABLConcentartionsRole; ++role) {
            const QString text = rows()->data(rows()->index(row, 0), role).toString();
            QVERIFY2(!text.isEmpty(), qPrintable(QString::number(role)));
            QVERIFY2(shown.contains(text), qPrintable(text));
        }
    }
    for (const char *title : {"Well Name", "Number Droplets", "Target", "Number Pos", "C(cp/ul)\n[C_min, C_max]",
                              "Copy Number", "Ratio", "Ratio (CI95%)"})
        QVERIFY2(shown.contains(QString::fromUtf8(title)), title);
}

// The positives of the ratio table count a droplet exactly on the line threshold, as the
// well's concentration does: 2 of each well's 5 positives of channel 1 lie on it, 1 of channel
// 2's 3, and a droplet one below it counts in neither.
void TestResultTable::kitTableCountsDropletsOnTheThreshold()
{
    QList<WellSeed> seeds;
    for (uint id : {1u, 2u}) {
        WellSeed w = ResultTest::well(id, QStringLiteral("A%1").arg(id), QStringLiteral("A"), 12, {{3, 2, 0, 0, 0, 0}});
        w.droplets[3] = BllTest::droplet(BllTest::Greys{{ResultTest::Threshold, ResultTest::Threshold}});
        w.droplets[4] = BllTest::droplet(BllTest::Greys{{ResultTest::Threshold, ResultTest::Threshold - 1}});
        seeds.append(w);
    }
    QString error;
    QVERIFY2(ResultTest::useKit(true, &error), qPrintable(error));
    QVERIFY2(ResultTest::load(ResultTest::document(seeds), &error), qPrintable(error));
    WellListModel::instance()->setModelType(2);
    rows()->setViewMode(0);
    rows()->clearSelect();
    rows()->addSelectRow(1);
    m_table->refresh();
    QQuickItem *kit = itemNamed(m_table.get(), "kitTable");
    QVERIFY(kit && kit->isVisible());
    // Each well's row, and the merged row's sums.
    QTRY_COMPARE(textsUnder(kit).count(QStringLiteral("5\n\n3")), 2);
    QCOMPARE(textsUnder(kit).count(QStringLiteral("10\n\n6")), 1);
    // The same counts as the well's populations.
    const QVector<LumaraAnalysisData::PopulationResultInfo> results =
        BLLInstance::getInstance()->getResultCalculate()->getPopulationResults(1);
    QCOMPARE(results.first().posDrpltNum, 5u);
    QCOMPARE(results.last().posDrpltNum, 3u);
}

// A target positive in every droplet has an infinite concentration with infinite bounds and
// no relative uncertainty, one without positives no relative uncertainty either: the expanded
// table shows "N/A" for these five figures of well A1, without a unit, and the figures of A2.
void TestResultTable::figuresWithoutValue()
{
    QString error;
    const QList<WellSeed> wells = {
        ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("A"), 10, {{10, 0, 0, 0, 0, 0}}),
        ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("B"), 10, {{3, 2, 0, 0, 0, 0}}),
    };
    QVERIFY2(ResultTest::load(ResultTest::document(wells), &error), qPrintable(error));
    WellListModel::instance()->setModelType(2);
    rows()->setViewMode(0);
    rows()->clearSelect();
    rows()->addSelectRow(1);
    m_table->resize(2600, 900);
    m_table->refresh();
    // Every figure of both populations, as the user asks for them.
    QQuickItem *more = itemNamed(m_table.get(), "more_btn");
    QVERIFY(more);
    const QPointF centre = more->mapToScene(QPointF(more->width() / 2, more->height() / 2));
    QTest::mouseClick(m_table.get(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    QTRY_VERIFY(root()->property("mutiShow").toBool());
    QQuickItem *table = itemNamed(m_table.get(), "resultTable");
    QTRY_COMPARE(textsUnder(table).count(QStringLiteral("N/A")), 5);
    const QStringList shown = textsUnder(table);
    for (const QString &text : shown) {
        QVERIFY2(!text.contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
                     !text.contains(QLatin1String("inf"), Qt::CaseInsensitive) && text != QLatin1String("N/A%"),
                 qPrintable(text));
    }
    // The figures with a value keep their unit.
    QCOMPARE(shown.filter(QRegularExpression(QStringLiteral("^\\d+\\.\\d\\d%$"))).size(), 2);
}

void TestResultTable::containerSetsModesFirst_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("wellType");
    QTest::addColumn<int>("viewMode");
    QTest::newRow("result table") << 0 << 2 << 0;
    QTest::newRow("concentration") << 1 << 0 << 1;
    QTest::newRow("uncertainty") << 2 << 0 << 1;
}

// The container puts both models into the view's modes before the view refreshes, then shows
// it; an index without a view changes nothing.
void TestResultTable::containerSetsModesFirst()
{
    QFETCH(int, index);
    QFETCH(int, wellType);
    QFETCH(int, viewMode);
    ViewResult page;
    page.resize(1400, 800);
    const int otherType = wellType == 2 ? 0 : 2;
    WellListModel::instance()->setModelType(otherType);
    rows()->setViewMode(1 - viewMode);
    int seenType = -1;
    int seenView = -1;
    int seenRows = -1;
    const auto record = [&] {
        seenType = WellListModel::instance()->modelType();
        seenView = rows()->viewMode();
        seenRows = rows()->rowCount();
    };
    connect(page.resultTable(), &ResultTable::updateModelData, this, record);
    connect(page.concentration(), &ResultChartPage::selectBoth, this, record);
    connect(page.uncertainty(), &ResultChartPage::selectBoth, this, record);
    page.switchPage(index);
    QCOMPARE(seenType, wellType);
    QCOMPARE(seenView, viewMode);
    QCOMPARE(seenRows, index == 0 ? 5 : 4);
    QCOMPARE(page.currentIndex(), index);

    page.switchPage(7);
    QCOMPARE(page.currentIndex(), index);
    QCOMPARE(WellListModel::instance()->modelType(), wellType);
    QCOMPARE(rows()->viewMode(), viewMode);
}

LUMARA_TEST_GUI_MAIN(TestResultTable)
#include "tst_resulttable.moc"
