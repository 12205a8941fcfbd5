// A threshold typed into the panel's box key by key, as a user types it, then applied, on each
// page with threshold boxes: the document takes the box's value only when the box's whole
// text, as shown, is an integer from 0 to 70000; otherwise the threshold stays as it was.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/common/thresholdmodel.h"
#include "shell/appresources.h"
#include "shellitems.h"

#include "testmain.h"

#include <memory>

using namespace ChannelPlotsTest;
using ShellTest::findItem;

namespace {

const int Unchanged = -1;

} // namespace

class TestTypedThresholds : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void cleanup();
    void parse_data();
    void parse();
    void typedAndApplied_data();
    void typedAndApplied();

private:
    std::unique_ptr<ThumbnailModel> m_thumbs;
    std::unique_ptr<QWidget> m_owner;
    ChannelPlotPage *m_page = nullptr;
};

void TestTypedThresholds::cleanup()
{
    m_owner.reset();
    m_page = nullptr;
    m_thumbs.reset();
}

void TestTypedThresholds::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // Unchanged: no threshold
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("largest") << "70000" << 70000;
    QTest::newRow("leading zeros") << "00042" << 42;
    QTest::newRow("plus sign") << "+8" << 8;
    QTest::newRow("above the box's limit") << "70001" << Unchanged;
    QTest::newRow("many leading zeros") << "0000001" << 1;
    QTest::newRow("far above") << "99999999999" << Unchanged;
    QTest::newRow("empty") << "" << Unchanged;
    QTest::newRow("sign alone") << "+" << Unchanged;
    QTest::newRow("group separator") << "1,5" << Unchanged;
    QTest::newRow("decimal point") << "1.5" << Unchanged;
    QTest::newRow("blank") << " 15" << Unchanged;
    QTest::newRow("negative") << "-5" << Unchanged;
    QTest::newRow("other digits") << QString::fromUtf8("\xd9\xa1\xd9\xa2") << Unchanged; // Arabic-Indic 12
}

void TestTypedThresholds::parse()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    uint parsed = 12345;
    QCOMPARE(ThresholdModel::parseThreshold(text, &parsed), value != Unchanged);
    QCOMPARE(parsed, value == Unchanged ? 12345u : uint(value));
}

void TestTypedThresholds::typedAndApplied_data()
{
    QTest::addColumn<int>("page"); // 0 histogram, 1 1D, 2 2D
    QTest::addColumn<int>("scope"); // isIndividualMode
    QTest::addColumn<QString>("keys"); // after the whole text was selected and deleted; "\b": the
                                       // four digits taken back one by one instead
    QTest::addColumn<QString>("shown"); // the box's text after the keys
    QTest::addColumn<int>("applied");
    struct Row {
        const char *name;
        const char *keys;
        const char *shown;
        int applied;
    };
    // The box's validator drops what can never make a number in range ("." and "e") and keeps
    // what could on the way to one ("," between digits, a fifth digit).
    const Row rows[] = {
        {"1500", "1500", "1500", 1500},
        {"70000", "70000", "70000", 70000},
        {"1,5", "1,5", "1,5", Unchanged},
        {"70001", "70001", "70001", Unchanged},
        {"emptied", "", "", Unchanged},
        {"emptied key by key", "\b", "", Unchanged},
        {"1.5", "1.5", "15", 15},
        {"2e3", "2e3", "23", 23},
        {"99999", "99999", "99999", Unchanged},
        {"0", "0", "0", 0},
    };
    const char *pages[] = {"histogram", "1D", "2D"};
    for (int page = 0; page < 3; ++page) {
        for (const Row &r : rows) {
            QTest::addRow("%s, per well: %s", pages[page], r.name)
                << page << 1 << QString::fromUtf8(r.keys) << QString::fromUtf8(r.shown) << r.applied;
        }
        QTest::addRow("%s, common: 1,5", pages[page]) << page << 0 << "1,5" << "1,5" << Unchanged;
        QTest::addRow("%s, common: 2500", pages[page]) << page << 0 << "2500" << "2500" << 2500;
    }
}

void TestTypedThresholds::typedAndApplied()
{
    QFETCH(int, page);
    QFETCH(int, scope);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(int, applied);
    histogramLogAxis = 0;
    BllTest::DocumentSeed seed = rampDocument({40, 40, 40});
    seed.plots2D = {{QStringLiteral("P12"), {1u, 2u}}};
    QVERIFY(load(seed));
    // The other wells keep thresholds of their own: a common edit that is refused leaves them.
    wells()->setCachedThreshold(3, 2, 4200);
    m_thumbs.reset(new ThumbnailModel);
    if (page == 0)
        m_page = new Histogram(m_thumbs.get());
    else if (page == 1)
        m_page = new Plot1DDot(m_thumbs.get());
    else
        m_page = new Plot2DDot;
    m_owner.reset(m_page);
    m_page->resize(1600, 1000);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page));
    emit SignalTransfer::getInstance()->updateWellComplete();
    // After the reload, which starts the 2D page in common scope.
    isIndividualMode = scope;
    // Channels 1 and 2: the histogram's and 1D page's first two thumbnails, the 2D page's
    // one combination.
    choose(m_page, {0}, page == 2 ? QList<int>{0} : QList<int>{0, 1});
    QCOMPARE(m_page->thresholdModel()->rowCount(), 2);
    const uint well = wells()->getAllWellIDs().first();
    QCOMPARE(bll()->getThldByLine(well, 2), Threshold);

    auto *root = qobject_cast<QQuickItem *>(m_page->qmlRoot());
    QVERIFY(root);
    QQuickItem *box = findItem(root, QStringLiteral("threshold2"));
    QVERIFY(box);
    QVERIFY(box->isEnabled());
    QCOMPARE(box->property("text").toString(), QString::number(Threshold));
    const QPoint centre = box->mapToScene(QPointF(box->width() / 2, box->height() / 2)).toPoint();
    QTest::mouseClick(m_page, Qt::LeftButton, Qt::NoModifier, centre);
    QTRY_VERIFY(box->hasActiveFocus());
    if (keys == QLatin1String("\b")) {
        // From the end, one digit after the other.
        QTest::keyClick(m_page, Qt::Key_End);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(m_page, Qt::Key_Backspace);
    } else {
        // Over the whole text, one key after the other.
        QTest::keyClick(m_page, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_page, Qt::Key_Backspace);
        for (QChar c : keys)
            QTest::keyClick(m_page, c.toLatin1());
    }
    QCOMPARE(box->property("text").toString(), shown);

    QCOMPARE(isIndividualMode, scope);
    qmlSignal(m_page, "applyThreshold");
    const uint expected = applied == Unchanged ? Threshold : uint(applied);
    QCOMPARE(bll()->getThldByLine(well, 2), expected);
    QCOMPARE(bll()->getThldByLine(well, 1), Threshold);
    // The third well: its own value, unless a common edit was applied to every well.
    QCOMPARE(bll()->getThldByLine(3, 2), scope == 0 && applied != Unchanged ? expected : 4200u);
    // The box shows what was applied.
    QQuickItem *after = findItem(root, QStringLiteral("threshold2"));
    QVERIFY(after);
    QCOMPARE(after->property("text").toString(), QString::number(expected));
}

LUMARA_TEST_GUI_MAIN(TestTypedThresholds)
#include "tst_typedthresholds.moc"
