// Journeys through the real main window on Set Up's edits of the experiment, each taken on the
// user's road: a double-click on the field, its text chosen and typed over key by key, then
// Return or a click elsewhere; the Type list, Remove, Add and Reset clicked. The window is then
// closed by its own button: the close asks, Yes saves a package that reopens with the edit,
// No leaves the file on disk as it was. An edit that changes no value asks nothing. A rename
// then shows on every page that names the target or the well. A spill-over coefficient far
// stronger than the run's, typed into the matrix and applied, leaves wells without the second
// dye without its positives, in the window and in the package saved on close.
#define QTEST_QPA_MOUSE_HANDLING
#include "bllaccess.h"
#include "bll/experimenteditmgr.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "compose.h"
#include "journeyfiles.h"
#include "modaldriver.h"
#include "pages/Compensation/dyeemissionplot.h"
#include "pages/Compensation/matrixmodel.h"
#include "pages/Compensation/spillovercompensate.h"
#include "pages/EditExperiment/experimentedit.h"
#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/Explore/explore1ddot.h"
#include "pages/Explore/explore2ddot.h"
#include "pages/Explore/explorepage.h"
#include "pages/Explore/exploreplotentry.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/resulttable.h"
#include "pages/analysisplot.h"
#include "pages/explore.h"
#include "pages/setup.h"
#include "pages/viewresult.h"
#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/PopulationEdit/populationedit.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/common/thumbnailmodel.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/welllistmodel.h"
#include "shellitems.h"
#include "testmain.h"
#include "windowroads.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QGridLayout>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_plot.h>

#include <memory>

using namespace ShellTest;
using namespace JourneyTest;

namespace {

const QString SaveQuestion = QStringLiteral("Do you want to save you modify? ");

QByteArray checksum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()
                                          : QByteArray();
}

ExperimentEdit *experimentEdit(MainWindows &window)
{
    return static_cast<Setup *>(window.frame()->page(1))->experimentEdit();
}

AnalysisPlot *analysisPlot(MainWindows &window)
{
    return static_cast<AnalysisPlot *>(window.frame()->page(2));
}

// The experiment table's cell of the row (0 the header row) and column.
QQuickItem *tableCell(QQuickWidget *view, int row, int column)
{
    return findItemWhere(view->rootObject(), [row, column](const QQuickItem *item) {
        return item->property("header").isValid() && item->property("cellRow") == QVariant(row)
            && item->property("cellColumn") == QVariant(column);
    });
}

// The column of the channel group's field (0 type, 1 reference concentration, 2 dilution).
int groupColumn(int group, int field)
{
    return 6 + 3 * group + field;
}

// A double-click on the field, all of its text chosen and typed over key by key.
void retype(QQuickWidget *view, QQuickItem *field, const QString &text)
{
    QVERIFY(field);
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, centreOf(field));
    QTRY_VERIFY(field->hasActiveFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    typeText(text);
}

// Return, or a click on a cell that holds no field.
void finishEditing(QQuickWidget *view, const QString &how)
{
    if (how == QLatin1String("Return"))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    else
        mouseClickItem(view, tableCell(view, 1, 1));
    QTest::qWait(20);
}

// The shown choice of the open list of a Type box.
QQuickItem *listChoice(QQuickWidget *view, const QString &text)
{
    return findItemWhere(view->quickWindow()->contentItem(), [&text](const QQuickItem *item) {
        return item->inherits("QQuickItemDelegate") && item->isVisible() && item->property("text") == QVariant(text);
    });
}

// Every text the items under `item` show.
QStringList textsUnder(QQuickItem *item)
{
    QStringList texts;
    findItemWhere(item, [&texts](const QQuickItem *i) {
        const QVariant text = i->property("text");
        if (i->isVisible() && text.type() == QVariant::String && !text.toString().isEmpty())
            texts.append(text.toString());
        return false;
    });
    return texts;
}

QStringList roleTexts(const QAbstractItemModel *model, int role)
{
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts.append(model->data(model->index(r, 0), role).toString());
    return texts;
}

QStringList axisTitles(const QList<QwtPlot *> &plots)
{
    QStringList titles;
    for (const QwtPlot *plot : plots) {
        if (!plot || !plot->isVisible())
            continue;
        for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft})
            titles.append(plot->axisTitle(axis).text());
    }
    return titles;
}

// The thumbnails and the shown plots' axis titles of a histogram, 1D or 2D page.
QStringList channelPageNames(ChannelPlotPage *page)
{
    QStringList names = roleTexts(page->thumbnailModel(), ThumbnailModel::TitleRole);
    QList<QwtPlot *> plots;
    for (int k = 0; k < page->plotGrid()->count(); ++k)
        plots.append(qobject_cast<QwtPlot *>(page->plotGrid()->itemAt(k)->widget()));
    return names + axisTitles(plots);
}

// Positives of the well's channel by its line threshold, and its droplets.
QPair<int, int> lineCount(uint well, uint channel)
{
    const QVector<uint> values = bll()->getWellChannelGrayValues(well, channel);
    const uint threshold = bll()->getThldByLine(well, channel);
    return {int(std::count_if(values.cbegin(), values.cend(), [threshold](uint v) { return v >= threshold; })),
            values.size()};
}

// Two dyes without crosstalk in the images; per well the first dye's share and the second's.
const QVector<QPair<double, double>> TwoDyeWells{{0.01, 0.0}, {0.05, 0.0}, {0.01, 0.3}};

} // namespace

class TestSetupEdits : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editAskedOnClose_data();
    void editAskedOnClose();
    void otherRoadsAsk_data();
    void otherRoadsAsk();
    void dilutionShowsInFigures();
    void renameReachesEveryPage_data();
    void renameReachesEveryPage();
    void overStrongCoefficient();

private:
    // The document's value that the edit changes, as text.
    QString stored(const QString &edit) const;
    // The edit, taken on the user's road on Set Up.
    void makeEdit(const QString &edit, const QString &typed, const QString &finish);

    QTemporaryDir m_fixtures;
    QString m_source;  // a run of three wells, three targets and a stored matrix
    QString m_package; // the run saved as a package
    QString m_more;    // a run of the same set-up, to be merged
    QString m_twoDyes; // wells of some 1600 droplets, two dyes, no matrix
    WindowSession m_session;
    std::unique_ptr<MainWindows> &m_window = m_session.window;
};

void TestSetupEdits::initTestCase()
{
    initAppResources();
    QVERIFY(m_fixtures.isValid());
    MkPackage::GeneratorOptions run = BllTest::smallRun(true, 81, 128);
    run.wells = 3;
    m_source = BllTest::generateRun(m_fixtures.path(), QStringLiteral("source.imrs"), run);
    QVERIFY(!m_source.isEmpty());
    m_package = savePackageOf(m_source, m_fixtures.filePath(QStringLiteral("edits.arlx")));
    MkPackage::GeneratorOptions more = BllTest::smallRun(true, 82, 128);
    more.wells = 3;
    m_more = BllTest::generateRun(m_fixtures.path(), QStringLiteral("more.imrs"), more);
    QVERIFY(!m_package.isEmpty() && !m_more.isEmpty());
    MkPackage::GeneratorOptions twoDyes;
    twoDyes.wells = TwoDyeWells.size();
    twoDyes.width = twoDyes.height = 880;
    twoDyes.seed = 83;
    twoDyes.matrix = false;
    twoDyes.targets = {{QStringLiteral("FAM-Target"), QStringLiteral("FAM"), 0.0},
                       {QStringLiteral("HEX-Target"), QStringLiteral("HEX"), 0.0}};
    for (int i = 0; i < TwoDyeWells.size(); ++i) {
        twoDyes.wellFractions[i].insert(QStringLiteral("FAM-Target"), TwoDyeWells.at(i).first);
        twoDyes.wellFractions[i].insert(QStringLiteral("HEX-Target"), TwoDyeWells.at(i).second);
    }
    m_twoDyes = BllTest::generateRun(m_fixtures.path(), QStringLiteral("twodyes.imrs"), twoDyes);
    QVERIFY(!m_twoDyes.isEmpty());
}

void TestSetupEdits::init()
{
    QVERIFY(m_session.start());
}

void TestSetupEdits::cleanup()
{
    m_session.end();
}

QString TestSetupEdits::stored(const QString &edit) const
{
    const QList<WellEditRow> rows = bll()->getExperimentEditMgr()->getWellRows();
    const QList<TargetChannelInfo> targets = bll()->getExperimentEditMgr()->getTargetChannels();
    if (rows.size() < 2 || targets.size() < 2)
        return QStringLiteral("%1 wells").arg(rows.size());
    const uint first = targets.at(0).channel;
    if (edit == QLatin1String("sample name"))
        return rows.at(0).sampleName;
    if (edit == QLatin1String("target name"))
        return bll()->getTargetName(targets.at(1).channel);
    if (edit == QLatin1String("comment"))
        return bll()->getExpComment();
    if (edit == QLatin1String("dilution"))
        return QString::number(rows.at(1).chanResults.at(int(first) - 1).dilution);
    if (edit == QLatin1String("reference concentration"))
        return QString::number(rows.at(2).chanResults.at(int(first) - 1).refConcentration);
    if (edit == QLatin1String("channel type"))
        return QString(bll()->getChannelSymbol(rows.at(0).wellId, first));
    if (edit == QLatin1String("compensation reset"))
        return bll()->getCompensationMatrixBuf().isEmpty() ? QStringLiteral("no matrix") : QStringLiteral("matrix");
    return QStringLiteral("%1 wells").arg(rows.size());
}

void TestSetupEdits::makeEdit(const QString &edit, const QString &typed, const QString &finish)
{
    MainWindows &window = *m_window;
    QVERIFY(visit(window, 1, 0));
    ExperimentEdit *view = experimentEdit(window);
    QTRY_VERIFY(tableCell(view, 3, 3));
    const QString text = typed.isEmpty() ? stored(edit) : typed;
    if (edit == QLatin1String("sample name")) {
        retype(view, findItem(tableCell(view, 1, 3), QStringLiteral("sampleName")), text);
        finishEditing(view, finish);
    } else if (edit == QLatin1String("target name")) {
        const uint channel = WellListModel::instance()->getTargetChannnelID(1);
        retype(view, shownItem(view, QStringLiteral("targetName%1").arg(channel)), text);
        finishEditing(view, finish);
    } else if (edit == QLatin1String("comment")) {
        retype(view, shownItem(view, QStringLiteral("comment")), text);
        finishEditing(view, finish);
    } else if (edit == QLatin1String("dilution") || edit == QLatin1String("reference concentration")) {
        const bool dilution = edit == QLatin1String("dilution");
        // Rows that are not highlighted: an edit on a highlighted row goes to every highlighted
        // well of a fitting type.
        QQuickItem *cell = tableCell(view, dilution ? 2 : 3, groupColumn(0, dilution ? 2 : 1));
        QVERIFY(cell);
        retype(view, findItem(cell, QStringLiteral("numberInput")), text);
        finishEditing(view, finish);
    } else if (edit == QLatin1String("channel type")) {
        QQuickItem *box = findItem(tableCell(view, 1, groupColumn(0, 0)), QStringLiteral("channelType"));
        QVERIFY(box && box->isEnabled());
        mouseClickItem(view, box);
        QQuickItem *choice = nullptr;
        QTRY_VERIFY((choice = listChoice(view, text)));
        mouseClickItem(view, choice);
        QTRY_COMPARE(box->property("currentText").toString(), text);
    } else if (edit == QLatin1String("well removal")) {
        mouseClickItem(view, tableCell(view, 3, 1));
        QTRY_COMPARE(WellListModel::instance()->getSelectRow(), QVariantList{3});
        ModalDriver driver;
        driver.answerMessage(1); // "This well will be removed from the analysis. ..."
        mouseClickItem(view, shownItem(view, QStringLiteral("removeButton")));
        QVERIFY(driver.waitDone());
        QVERIFY(backToWindow(window));
    } else if (edit == QLatin1String("merge")) {
        QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
        ModalDriver driver;
        driver.answerFileDialog(m_more);
        mouseClickItem(view, shownItem(view, QStringLiteral("addButton")));
        QVERIFY(driver.waitDone());
        QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty() && !window.longJob()->isRunning()
                                     && !window.busyOverlay()->isVisible(),
                                 JobTimeoutMs);
        QVERIFY(backToWindow(window));
    } else if (edit == QLatin1String("compensation reset")) {
        QVERIFY(visit(window, 1, 1));
        SpillOverCompensate *page = static_cast<Setup *>(window.frame()->page(1))->spillOverCompensate();
        QQuickItem *reset = nullptr;
        QTRY_VERIFY((reset = shownItem(page, QStringLiteral("resetButton"))));
        mouseClickItem(page, reset);
        QTRY_VERIFY_WITH_TIMEOUT(!window.longJob()->isRunning(), JobTimeoutMs);
    } else {
        QFAIL(qPrintable(edit));
    }
}

// ---- Every edit of the experiment, asked about on close -----------------------------------------

void TestSetupEdits::editAskedOnClose_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");  // empty: what the field holds, typed again
    QTest::addColumn<QString>("finish"); // "Return" or "click" (elsewhere)
    QTest::addColumn<int>("answer");     // to the close question: 1 Yes, 0 No, -1 none asked
    QTest::addColumn<QString>("saved");  // what the reopened package holds after Yes
    QTest::addColumn<bool>("run");       // the run archive opened: Yes saves it under a new name

    struct Edit {
        const char *edit;
        const char *typed;
        const char *saved;
        bool byReturn; // a field that Return finishes (the comment takes Return as a new line)
    };
    const Edit edits[] = {
        {"sample name", "Serum1", "Serum1", true},
        {"target name", "KRAS", "KRAS", true},
        {"comment", "Plate two", "Plate two", false},
        {"dilution", "10", "10", true},
        {"reference concentration", "250", "250", true},
        {"channel type", "S", "S", false},
        {"well removal", "", "2 wells", false},
        {"merge", "", "6 wells", false},
        {"compensation reset", "", "no matrix", false},
    };
    for (const Edit &e : edits) {
        QTest::addRow("%s, yes", e.edit) << e.edit << e.typed << (e.byReturn ? "Return" : "click") << 1 << e.saved << false;
        QTest::addRow("%s, no", e.edit) << e.edit << e.typed << "click" << 0 << "" << false;
    }
    // A run archive: Yes saves it under a new name, the run itself stays as it was.
    QTest::newRow("sample name of a run, yes") << "sample name" << "Serum1" << "Return" << 1 << "Serum1" << true;
    // The same value typed again changes nothing: nothing is marked or asked.
    for (const char *edit : {"sample name", "target name", "dilution", "reference concentration"})
        QTest::addRow("%s typed again", edit) << edit << "" << "Return" << -1 << "" << false;
    QTest::newRow("comment left as it was") << "comment" << "" << "click" << -1 << "" << false;
    QTest::newRow("channel type chosen again") << "channel type" << "U" << "" << -1 << "" << false;
}

void TestSetupEdits::editAskedOnClose()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, finish);
    QFETCH(int, answer);
    QFETCH(QString, saved);
    QFETCH(bool, run);
    const QString package = run ? m_session.copyOf(m_source, QStringLiteral("edits.imrs"))
                                : m_session.copyOf(m_package, QStringLiteral("edits.arlx"));
    const QString savedAs = m_session.dir->filePath(QStringLiteral("saved.arlx"));
    const QByteArray onDisk = checksum(package);
    QVERIFY(openFromMenu(*m_window, package));
    QCOMPARE(title(*m_window), QStringLiteral("edits"));
    const QString before = stored(edit);
    if (answer == 1)
        QVERIFY(before != saved);

    makeEdit(edit, typed, finish);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(backToWindow(*m_window));
    QCOMPARE(stored(edit), answer < 0 ? before : saved.isEmpty() ? stored(edit) : saved);
    QCOMPARE(title(*m_window), answer < 0 ? QStringLiteral("edits") : QStringLiteral("* edits"));

    ModalDriver driver;
    // A question where none belongs is cancelled, which keeps the window: the test sees it.
    driver.answerMessage(answer < 0 ? 2 : answer);
    if (run && answer == 1)
        driver.answerFileDialog(savedAs);
    // Yes waits for the save.
    const int closing = answer == 1 ? JobTimeoutMs : 10000;
    clickTitleBar(*m_window, QStringLiteral("closeButton"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), closing);
    QCOMPARE(driver.messages(), answer < 0 ? QStringList() : QStringList{SaveQuestion});
    destroyWindow(m_window);

    if (answer != 1 || run) {
        QCOMPARE(checksum(package), onDisk);
        if (answer != 1)
            return;
    } else {
        QVERIFY(checksum(package) != onDisk);
    }
    QVERIFY(bll()->openFile(run ? savedAs : package));
    QCOMPARE(stored(edit), saved);
}

// ---- The other roads that leave the document -----------------------------------------------------

void TestSetupEdits::otherRoadsAsk_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("the menu's Open") << "open";
    QTest::newRow("the window manager's close") << "close";
}

// After a rename the menu's Open and the window manager's close ask as the title bar's close
// does; No goes on and leaves the file on disk as it was.
void TestSetupEdits::otherRoadsAsk()
{
    QFETCH(QString, road);
    const QString package = m_session.copyOf(m_package, QStringLiteral("edits.arlx"));
    const QString other = m_session.copyOf(m_package, QStringLiteral("other.arlx"));
    const QByteArray onDisk = checksum(package);
    QVERIFY(openFromMenu(*m_window, package));
    makeEdit(QStringLiteral("sample name"), QStringLiteral("Serum1"), QStringLiteral("Return"));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(backToWindow(*m_window));
    // The file is chosen first, then the question comes.
    ModalDriver driver;
    if (road == QLatin1String("open"))
        driver.answerFileDialog(other);
    driver.answerMessage(0);
    if (road == QLatin1String("open")) {
        mouseClickItem(m_window->menuBar(), shownItem(m_window->menuBar(), QStringLiteral("openButton")));
        QVERIFY(driver.waitDone());
        QTRY_COMPARE_WITH_TIMEOUT(m_window->openFilePath(), other, JobTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    } else {
        m_window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), 10000);
    }
    QCOMPARE(driver.messages(), QStringList{SaveQuestion});
    QCOMPARE(checksum(package), onDisk);
}

// ---- A dilution in the figures -------------------------------------------------------------------

// The second well's figures scale with its dilution at once: in the well list before any page is
// visited, and on View Results. The other populations keep theirs.
void TestSetupEdits::dilutionShowsInFigures()
{
    QVERIFY(openFromMenu(*m_window, m_session.copyOf(m_package, QStringLiteral("figures.arlx"))));
    const uint well = WellListModel::instance()->getAllWellIDs().at(1);
    const auto wellFigures = [well] {
        for (const WellListItem &item : WellListModel::instance()->getWellList())
            if (item.wellId == well)
                return item.populations;
        return QVector<LumaraAnalysisData::PopulationResultInfo>();
    };
    // What View Results shows of the well: per population its dilution and concentration.
    const auto shownFigures = [this] {
        QStringList cells;
        if (!visit(*m_window, 4, 0))
            return cells;
        ResultModel *rows = ResultModel::instance();
        for (int column = 3; column < rows->columnCount(); column += 7)
            cells << rows->data(rows->index(2, column), WellListModel::DilutionRole).toString()
                  << rows->data(rows->index(2, column), WellListModel::ConcentrationRole).toString();
        return cells;
    };
    const QStringList shownBefore = shownFigures();
    const QVector<LumaraAnalysisData::PopulationResultInfo> before = wellFigures();
    QVERIFY(!before.isEmpty());
    QCOMPARE(shownBefore.size(), 2 * before.size());

    makeEdit(QStringLiteral("dilution"), QStringLiteral("10"), QStringLiteral("Return"));
    if (QTest::currentTestFailed())
        return;
    const QVector<LumaraAnalysisData::PopulationResultInfo> after = wellFigures();
    QCOMPARE(after.size(), before.size());
    int scaled = 0;
    for (int p = 0; p < after.size(); ++p) {
        const bool edited = bll()->getResultCalculate()->getChannelDilution(after.at(p).populationId, well) == 10.0;
        scaled += edited ? 1 : 0;
        QCOMPARE(after.at(p).dilution, edited ? 10.0 : before.at(p).dilution);
        QVERIFY(qFuzzyCompare(after.at(p).concentration, before.at(p).concentration * (edited ? 10.0 : 1.0)));
    }
    QCOMPARE(scaled, 1);

    const QStringList shownAfter = shownFigures();
    QCOMPARE(shownAfter.size(), shownBefore.size());
    for (int p = 0; p < after.size(); ++p) {
        const bool edited = after.at(p).dilution == 10.0;
        QCOMPARE(shownAfter.at(2 * p), edited ? QStringLiteral("10.00") : shownBefore.at(2 * p));
        const double was = shownBefore.at(2 * p + 1).toDouble();
        const double now = shownAfter.at(2 * p + 1).toDouble();
        QVERIFY2(qAbs(now - was * (edited ? 10.0 : 1.0)) <= 0.01 * qMax(1.0, now),
                 qPrintable(shownBefore.join(' ') + QStringLiteral(" -> ") + shownAfter.join(' ')));
    }
}

// ---- A rename on every page ---------------------------------------------------------------------

void TestSetupEdits::renameReachesEveryPage_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("pages"); // the pages that name what was renamed
    QTest::newRow("target") << "target name" << "KRAS"
                            << QStringList{"Set Up", "Histogram", "1D dot plot", "2D dot plot", "3D dot plot",
                                           "Population Editor", "Explore", "Result Table", "exported files"};
    QTest::newRow("sample") << "sample name" << "Serum1"
                            << QStringList{"Set Up", "Quality Control", "well list", "Result Table", "exported files",
                                           "exported sheets"};
}

void TestSetupEdits::renameReachesEveryPage()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QStringList, pages);
    const QString package = m_session.copyOf(m_package, QStringLiteral("renamed.arlx"));
    QVERIFY(openFromMenu(*m_window, package));
    MainWindows &window = *m_window;
    const QString before = stored(edit);
    // Every page shown once with the old name, as a user has seen them before the rename.
    for (const auto &page : QVector<QPair<int, int>>{{0, -1}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {3, -1}, {4, 0}, {5, -1}})
        QVERIFY(visit(window, page.first, page.second));

    makeEdit(edit, typed, QStringLiteral("Return"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(stored(edit), typed);

    // What each page names, read from its models, its views' texts and its plots' titles.
    QMap<QString, QStringList> shown;
    ExperimentEdit *setUp = experimentEdit(window);
    shown["Set Up"] = textsUnder(findItem(setUp, QStringLiteral("experimentTable")));
    QVERIFY(visit(window, 0));
    shown["Quality Control"] = QStringList{qualityControl(window)->panel()->titleName()};
    AnalysisPlot *plots = analysisPlot(window);
    QVERIFY(visit(window, 2, 0));
    shown["Histogram"] = channelPageNames(plots->histogram());
    shown["well list"] = roleTexts(WellListModel::instance(), WellListModel::WellNameRole);
    QVERIFY(visit(window, 2, 1));
    shown["1D dot plot"] = channelPageNames(plots->plot1DDot());
    QVERIFY(visit(window, 2, 2));
    shown["2D dot plot"] = channelPageNames(plots->plot2DDot());
    QVERIFY(visit(window, 2, 3));
    shown["3D dot plot"] = roleTexts(plots->plot3DDot()->thumbnailModel(), ThumbnailModel::TitleRole);
    QVERIFY(visit(window, 2, 4));
    shown["Population Editor"] = textsUnder(plots->populationEdit()->rootObject());
    QVERIFY(visit(window, 3));
    ExplorePage *explore = static_cast<Explore *>(window.frame()->page(3))->page();
    for (const ExplorePlotEntry &entry : explore->entries())
        shown["Explore"] << entry.name;
    shown["Explore"] << axisTitles({explore->plot1DView(), explore->plotXYView(), explore->plotXZView(), explore->plotYZView()});
    QVERIFY(visit(window, 4, 0));
    ResultModel *results = ResultModel::instance();
    for (int r = 0; r < results->rowCount(); ++r)
        shown["Result Table"] << results->data(results->index(r, 0), WellListModel::WellNameRole).toString();
    ResultTable *table = static_cast<ViewResult *>(window.frame()->page(4))->resultTable();
    shown["Result Table"] << table->rootObject()->property("targetNames").toStringList();

    // The export of the plots and the workbooks: the files and sheets named as the pages show.
    QTemporaryDir parent;
    startExport(window, parent.path(), {QStringLiteral("Histogram"), QStringLiteral("2D Dot Plots")});
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(!window.longJob()->isRunning(), JobTimeoutMs);
    for (QDirIterator files(parent.path(), QDir::Files, QDirIterator::Subdirectories); files.hasNext();) {
        const QString file = files.next();
        shown["exported files"] << QFileInfo(file).fileName();
        if (file.endsWith(QLatin1String("_GrayValue_Table.xlsx")))
            shown["exported sheets"] << sheetNames(file);
    }

    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        const QStringList &names = it.value();
        const bool named = pages.contains(it.key());
        const bool hasNew = std::any_of(names.cbegin(), names.cend(), [&](const QString &n) { return n.contains(typed); });
        const bool hasOld = std::any_of(names.cbegin(), names.cend(), [&](const QString &n) { return n.contains(before); });
        QVERIFY2(!hasOld, qPrintable(it.key() + QStringLiteral(": ") + names.join(QStringLiteral(" | "))));
        if (named)
            QVERIFY2(hasNew, qPrintable(it.key() + QStringLiteral(": ") + names.join(QStringLiteral(" | "))));
    }
}

// ---- A coefficient far too strong --------------------------------------------------------------

// 15 % of the first dye typed into the second dye's channel, left by Tab and applied by the
// mouse: the first dye's positives are pushed below the second channel's negatives. Wells
// without the second dye keep none of its positives, the well with it keeps its own; so does
// the package the close saves.
void TestSetupEdits::overStrongCoefficient()
{
    const QString package = m_session.copyOf(m_twoDyes, QStringLiteral("twodyes.imrs"));
    const QString savedAs = m_session.dir->filePath(QStringLiteral("compensated.arlx"));
    QVERIFY(openFromMenu(*m_window, package));
    MainWindows &window = *m_window;
    const uint first = uint(MkPackage::dyeChannel(QStringLiteral("FAM"))) + 1;
    const uint second = uint(MkPackage::dyeChannel(QStringLiteral("HEX"))) + 1;
    const QList<uint> wells = bll()->getWellIds();
    QCOMPARE(wells.size(), TwoDyeWells.size());

    QVERIFY(visit(window, 1, 1));
    SpillOverCompensate *page = static_cast<Setup *>(window.frame()->page(1))->spillOverCompensate();
    QQuickItem *edit = nullptr;
    QTRY_VERIFY((edit = shownItem(page, QStringLiteral("editButton"))));
    mouseClickItem(page, edit);
    QQuickItem *cell = nullptr;
    const QString cellName = QStringLiteral("matrixCell_%1_%2").arg(first - 1).arg(second - 1);
    QTRY_VERIFY((cell = shownItem(page, cellName)));
    retype(page, cell, QStringLiteral("0.15"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTRY_COMPARE(MatrixModel::instance()->getMatrix().matrix[first - 1][second - 1], 0.15);
    QTRY_VERIFY_WITH_TIMEOUT(!window.longJob()->isRunning(), JobTimeoutMs);

    ModalDriver driver;
    driver.answerMessage(1); // re-compute the thresholds
    QQuickItem *apply = nullptr;
    QTRY_VERIFY((apply = shownItem(page, QStringLiteral("applyButton"))));
    mouseClickItem(page, apply);
    QVERIFY(driver.waitDone());
    QTRY_VERIFY_WITH_TIMEOUT(!window.longJob()->isRunning() && !window.busyOverlay()->isVisible(), JobTimeoutMs);
    QVERIFY(backToWindow(window));
    QVERIFY(!bll()->getCompensationMatrixBuf().isEmpty());

    const auto check = [&wells, first, second](const QString &where) {
        for (int i = 0; i < wells.size(); ++i) {
            const QPair<int, int> dim = lineCount(wells.at(i), second);
            const QPair<int, int> bright = lineCount(wells.at(i), first);
            const QString counts = QStringLiteral("%1, well %2: second dye %3 of %4, first dye %5")
                                       .arg(where).arg(wells.at(i)).arg(dim.first).arg(dim.second).arg(bright.first);
            QVERIFY2(dim.second > 1000, qPrintable(counts));
            const double share = TwoDyeWells.at(i).second;
            if (share == 0.0)
                QVERIFY2(dim.first <= dim.second / 1000, qPrintable(counts));
            else
                QVERIFY2(std::abs(dim.first - share * dim.second) < 0.1 * share * dim.second, qPrintable(counts));
            // The first dye's positives still count.
            const double firstShare = TwoDyeWells.at(i).first;
            QVERIFY2(std::abs(bright.first - firstShare * dim.second) < 0.3 * firstShare * dim.second + 3,
                     qPrintable(counts));
        }
    };
    check(QStringLiteral("applied"));
    if (QTest::currentTestFailed())
        return;

    ModalDriver closing;
    closing.answerMessage(1);
    closing.answerFileDialog(savedAs);
    clickTitleBar(window, QStringLiteral("closeButton"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), JobTimeoutMs);
    QCOMPARE(closing.messages(), QStringList{SaveQuestion});
    destroyWindow(m_window);
    QVERIFY(bll()->openFile(savedAs));
    QCOMPARE(bll()->getWellIds(), wells);
    check(QStringLiteral("saved"));
}

LUMARA_TEST_GUI_MAIN(TestSetupEdits)
#include "tst_setupedits.moc"
