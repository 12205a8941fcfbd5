// Journeys through the real main window on the user's road to the line thresholds: a value
// typed key by key into a plot page's box, the box left by Tab, by a click in the next box or
// by the click on Apply, then Apply clicked; and the scope the pages show after a
// re-analysis. Each checks the document's thresholds and droplet counts.
#define QTEST_QPA_MOUSE_HANDLING
#include "bllaccess.h"
#include "bll/documentaccess.h"
#include "bll/populationsmgr.h"
#include "journeyfiles.h"
#include "model/drpltclassifymgr.h"
#include "pages/analysisplot.h"
#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/welllistmodel.h"
#include "shellitems.h"
#include "testmain.h"
#include "windowroads.h"

#include <QQuickItem>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

using namespace ShellTest;
using namespace JourneyTest;
using namespace LumaraAnalysisData;

namespace {

// The line-mode droplets counted positive in each channel, summed over the well's zones.
QList<uint> positivesByZone(uint well)
{
    const BLLInstance::LineCode code = bll()->lineCode(well);
    QList<uint> out;
    QVector<ZoneDrpltNumInfo> counts;
    try {
        counts = DocumentAccess::classify()->getWellDrpltNumOfZonesByLine(well);
    } catch (const char *) {
        return out;
    }
    QHash<uint, uint> codeOfZone;
    for (const DrpltZoneInfo &zone : bll()->getPopulationsMgr()->getZones())
        codeOfZone.insert(zone.id, zone.code);
    for (const BLLInstance::CodeBit &bit : code.bits) {
        uint sum = 0;
        for (const ZoneDrpltNumInfo &n : counts) {
            if ((codeOfZone.value(n.zoneId) >> bit.shift) & 1u)
                sum += n.drpltNum;
        }
        out << sum;
    }
    return out;
}

// The same from the kept droplets' values and the thresholds: at or above is positive.
QList<uint> positivesByValue(uint well)
{
    const BLLInstance::LineCode code = bll()->lineCode(well);
    QList<uint> out;
    for (const BLLInstance::CodeBit &bit : code.bits) {
        const QVector<uint> values = bll()->getWellChannelGrayValues(well, bit.channel);
        const uint threshold = bll()->getThldByLine(well, bit.channel);
        out << uint(std::count_if(values.cbegin(), values.cend(), [threshold](uint v) { return v >= threshold; }));
    }
    return out;
}

// Every well's line thresholds of channels 1..6.
QMap<uint, QList<uint>> thresholds()
{
    QMap<uint, QList<uint>> out;
    for (uint well : bll()->getWellIds()) {
        for (uint channel = 1; channel <= 6; ++channel)
            out[well] << bll()->getThldByLine(well, channel);
    }
    return out;
}

// A channel whose thresholds are not the same in every well.
bool thresholdsDifferPerWell()
{
    const QMap<uint, QList<uint>> all = thresholds();
    for (const QList<uint> &well : all) {
        if (well != all.first())
            return true;
    }
    return false;
}

ChannelPlotPage *plotPage(MainWindows &window, int sub)
{
    auto *plots = qobject_cast<AnalysisPlot *>(window.frame()->page(2));
    if (!plots)
        return nullptr;
    if (sub == 0)
        return plots->histogram();
    if (sub == 1)
        return plots->plot1DDot();
    return plots->plot2DDot();
}

// Both channels' boxes shown and laid out apart from each other.
bool rowsApart(ChannelPlotPage *plots, uint channel, uint other)
{
    QQuickItem *one = shownItem(plots, QStringLiteral("threshold%1").arg(channel));
    QQuickItem *two = shownItem(plots, QStringLiteral("threshold%1").arg(other));
    if (!one || !two)
        return false;
    const QRectF a = one->mapRectToScene(QRectF(0, 0, one->width(), one->height()));
    const QRectF b = two->mapRectToScene(QRectF(0, 0, two->width(), two->height()));
    return !a.intersects(b);
}

} // namespace

class TestThresholdBoxes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typedThresholdLeavesTheBox_data();
    void typedThresholdLeavesTheBox();
    void scopeAfterReanalysis();

private:
    QString copyOf(const QString &fixture, const QString &name);

    QTemporaryDir m_fixtures;
    QString m_small; // three wells, different positive fractions
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindows> m_window;
};

void TestThresholdBoxes::initTestCase()
{
    initAppResources();
    QVERIFY(m_fixtures.isValid());
    MkPackage::GeneratorOptions small = BllTest::smallRun(false, 61, 128);
    small.wells = 3;
    small.wellFractions[1] = {{QStringLiteral("Target-HEX"), 0.5}};
    small.wellFractions[2] = {{QStringLiteral("Target-HEX"), 0.02}};
    m_small = BllTest::generateRun(m_fixtures.path(), QStringLiteral("small.imrs"), small);
    QVERIFY(!m_small.isEmpty());
}

void TestThresholdBoxes::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    currentFileBaseName.clear();
    m_window = showWindow();
    QVERIFY(m_window);
}

void TestThresholdBoxes::cleanup()
{
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    destroyWindow(m_window);
    m_dir.reset();
}

QString TestThresholdBoxes::copyOf(const QString &fixture, const QString &name)
{
    const QString path = m_dir->filePath(name);
    return QFile::copy(fixture, path) ? path : QString();
}

// ---- A typed threshold, the box left, Apply clicked -----------------------------------------

void TestThresholdBoxes::typedThresholdLeavesTheBox_data()
{
    QTest::addColumn<int>("page");     // Analyze Plot's sub-page: 0 histogram, 1 1D, 2 2D
    QTest::addColumn<QString>("road"); // how the box is left: "tab", "apply" (the click on
                                       // Apply itself) or "elsewhere" (a click in the other box)
    QTest::addColumn<QString>("typed"); // "median": the channel's median value in the first well
    QTest::addColumn<bool>("applied");
    const char *pages[] = {"histogram", "1D", "2D"};
    for (int page = 0; page < 3; ++page) {
        for (const char *road : {"tab", "apply", "elsewhere"}) {
            QTest::addRow("%s, %s: 1,5", pages[page], road) << page << road << "1,5" << false;
            QTest::addRow("%s, %s: a value", pages[page], road) << page << road << "median" << true;
        }
        QTest::addRow("%s, tab: 70001", pages[page]) << page << "tab" << "70001" << false;
        QTest::addRow("%s, apply: 1,500", pages[page]) << page << "apply" << "1,500" << false;
    }
}

// What the box shows when Apply is pressed is what the document takes, in every well of the
// common scope; a text that is no threshold leaves every threshold and count as it was.
void TestThresholdBoxes::typedThresholdLeavesTheBox()
{
    QFETCH(int, page);
    QFETCH(QString, road);
    QFETCH(QString, typed);
    QFETCH(bool, applied);
    QVERIFY(openFromMenu(*m_window, copyOf(m_small, QStringLiteral("small.imrs"))));
    QVERIFY(visit(*m_window, 2, page));
    ChannelPlotPage *plots = plotPage(*m_window, page);
    QVERIFY(plots && plots->isVisible());
    QCOMPARE(isIndividualMode, 0); // an open starts in common scope
    if (page != 2) {
        // A second channel beside the first: its thumbnail clicked with Ctrl held.
        ThumbnailView *thumbs = plots->thumbnailView();
        QVERIFY(plots->thumbnailModel()->rowCount() >= 2);
        const QRect second = thumbs->visualRect(plots->thumbnailModel()->index(1, 0));
        QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
    }
    ThresholdModel *rows = plots->thresholdModel();
    QTRY_COMPARE(rows->rowCount(), 2);
    const uint channel = rows->data(rows->index(0, 0), ThresholdModel::ChannelIDRole).toUInt();
    const uint other = rows->data(rows->index(1, 0), ThresholdModel::ChannelIDRole).toUInt();
    const QList<uint> wells = bll()->getWellIds();
    const uint first = wells.constFirst();
    const QMap<uint, QList<uint>> before = thresholds();
    QMap<uint, QList<uint>> counts;
    for (uint well : wells)
        counts[well] = positivesByZone(well);

    if (typed == QLatin1String("median")) {
        QVector<uint> values = bll()->getWellChannelGrayValues(first, channel);
        QVERIFY(!values.isEmpty());
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        uint median = values.at(values.size() / 2);
        if (median == before[first].at(int(channel) - 1))
            ++median;
        typed = QString::number(median);
    }

    // The user clicks the rows as drawn: the panel's column places a new row at the next
    // frame, and until then it lies over the first.
    QTRY_VERIFY(rowsApart(plots, channel, other));
    QQuickItem *box = shownItem(plots, QStringLiteral("threshold%1").arg(channel));
    QVERIFY(box);
    mouseClickItem(plots, box);
    QTRY_VERIFY(box->hasActiveFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    typeText(typed);
    QCOMPARE(box->property("text").toString(), typed);

    if (road == QLatin1String("tab")) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (road == QLatin1String("elsewhere")) {
        QQuickItem *next = shownItem(plots, QStringLiteral("threshold%1").arg(other));
        QVERIFY(next);
        mouseClickItem(plots, next);
    }
    if (road != QLatin1String("apply")) {
        QTRY_VERIFY(!box->hasActiveFocus());
        // Left as typed: nothing rewrote the text into another number.
        QCOMPARE(box->property("text").toString(), typed);
    }
    QQuickItem *apply = shownItem(plots, QStringLiteral("applyButton"));
    QVERIFY(apply);
    mouseClickItem(plots, apply);

    QMap<uint, QList<uint>> expected = before;
    if (applied) {
        for (uint well : wells)
            expected[well][int(channel) - 1] = typed.toUInt();
    }
    QCOMPARE(thresholds(), expected);
    for (uint well : wells) {
        if (applied)
            QCOMPARE(positivesByZone(well), positivesByValue(well));
        else
            QCOMPARE(positivesByZone(well), counts.value(well));
    }
    // The box shows what the document holds now.
    QQuickItem *after = shownItem(plots, QStringLiteral("threshold%1").arg(channel));
    QVERIFY(after);
    QCOMPARE(after->property("text").toString(), QString::number(expected[first].at(int(channel) - 1)));
}

// ---- The scope after a re-analysis ---------------------------------------------------------

// The re-analysis gives every well its own automatic thresholds: the plot pages then say
// "Individual per well", show the selected well's values, and a typed value reaches that well
// alone. An open starts in common scope again.
void TestThresholdBoxes::scopeAfterReanalysis()
{
    const QString package =
        savePackageOf(copyOf(m_small, QStringLiteral("small-source.imrs")), m_dir->filePath(QStringLiteral("small.arlx")));
    QVERIFY(!package.isEmpty());
    QVERIFY(openFromMenu(*m_window, package));
    QVERIFY(visit(*m_window, 2, 0));
    QCOMPARE(plotPage(*m_window, 0)->qmlRoot()->property("isCommonAll").toBool(), true);

    startReanalysis(*m_window);
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QVERIFY2(thresholdsDifferPerWell(), "the re-analysis gave every well the same thresholds");
    const QMap<uint, QList<uint>> analysed = thresholds();
    const uint selected = uint(WellListModel::instance()->getSelectWellID());

    for (int sub : {0, 1, 2}) {
        QVERIFY(visit(*m_window, 2, sub));
        ChannelPlotPage *plots = plotPage(*m_window, sub);
        QCOMPARE(isIndividualMode, 1);
        QCOMPARE(plots->qmlRoot()->property("isCommonAll").toBool(), false);
        QQuickItem *individual = findItem(plots, QStringLiteral("individualButton"));
        QVERIFY(individual);
        QCOMPARE(individual->property("shown").toBool(), true);
        // The rows show the selected well's own thresholds, for editing.
        ThresholdModel *rows = plots->thresholdModel();
        QVERIFY(rows->rowCount() > 0);
        for (int r = 0; r < rows->rowCount(); ++r) {
            const uint channel = rows->data(rows->index(r, 0), ThresholdModel::ChannelIDRole).toUInt();
            QCOMPARE(rows->data(rows->index(r, 0), ThresholdModel::ChannelThresholdRole).toString(),
                     QString::number(analysed[selected].at(int(channel) - 1)));
            QVERIFY(rows->data(rows->index(r, 0), ThresholdModel::ThresholdEditAbleRole).toBool());
        }
    }

    // Typed on the histogram and applied: the selected well takes it, the others keep theirs.
    QVERIFY(visit(*m_window, 2, 0));
    ChannelPlotPage *histogram = plotPage(*m_window, 0);
    ThresholdModel *rows = histogram->thresholdModel();
    const uint channel = rows->data(rows->index(0, 0), ThresholdModel::ChannelIDRole).toUInt();
    const uint typed = analysed[selected].at(int(channel) - 1) + 37;
    QQuickItem *box = shownItem(histogram, QStringLiteral("threshold%1").arg(channel));
    QVERIFY(box);
    mouseClickItem(histogram, box);
    QTRY_VERIFY(box->hasActiveFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    typeText(QString::number(typed));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    mouseClickItem(histogram, shownItem(histogram, QStringLiteral("applyButton")));
    QMap<uint, QList<uint>> expected = analysed;
    expected[selected][int(channel) - 1] = typed;
    QCOMPARE(thresholds(), expected);

    // Another open: common scope again.
    QVERIFY(openFromMenu(*m_window, copyOf(m_small, QStringLiteral("again.imrs"))));
    QVERIFY(visit(*m_window, 2, 0));
    QCOMPARE(isIndividualMode, 0);
    QCOMPARE(plotPage(*m_window, 0)->qmlRoot()->property("isCommonAll").toBool(), true);
}

LUMARA_TEST_GUI_MAIN(TestThresholdBoxes)
#include "tst_thresholdboxes.moc"
