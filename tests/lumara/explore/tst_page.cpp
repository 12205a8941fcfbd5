// The explore page on seeded wells with droplet images: the plot drop-down and the tool bar's
// channel properties, every way of picking droplets marking them on the image, the moves
// between marker modes, a well change replaying the stored pick, the tool bar's commands, the
// plots after exclusion (down to no droplet at all), and a well without the shown channel.
#include "explorepagetest.h"

#include "pages/DropletImage/populationmembership.h"

#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/welllistview.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QDialog>
#include <QLabel>
#include <QSignalSpy>

using namespace ExploreTest;
using Range = QPair<quint32, quint32>;

namespace {

enum class Pick { Threshold1D, Rect1D, Threshold2D, Rect2D, Population };

} // namespace

class TestExplorePage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void entriesAndChannels();
    void picksMarkTheImage_data();
    void picksMarkTheImage();
    void modeTransitions();
    void wellChangeReplaysPick_data();
    void wellChangeReplaysPick();
    void toolBarCommands();
    void excludedDropletsLeaveThePlots();
    void excludingEveryDroplet_data();
    void excludingEveryDroplet();
    void wellWithoutShownChannel();
    void commandsWithoutWells();
    void twoDColoursAsMarked_data();
    void twoDColoursAsMarked();
    void noPickWithoutAClick_data();
    void noPickWithoutAClick();
    void plotChangeDropsPick_data();
    void plotChangeDropsPick();
    void wellChangeToAnotherPlotDropsPick();
    void newDocumentAsFreshlyOpened_data();
    void newDocumentAsFreshlyOpened();

private:
    std::unique_ptr<ExplorePage> page;
    std::unique_ptr<LumaraTest::ModalAnswerer> answerer;
};

void TestExplorePage::initTestCase()
{
    qRegisterMetaType<Range>("QPair<quint32,quint32>");
    initAppResources();
    BLLInstance::createSingletons();
}

void TestExplorePage::init()
{
    // A modal message would stop the test: every one is answered and recorded.
    answerer = std::make_unique<LumaraTest::ModalAnswerer>([](QWidget *modal) { modal->close(); });
    QVERIFY(load(exploreSeed()));
    selectWell(1);
    markerOpacity = 0.5;
    page = shownPage();
    QVERIFY(page);
    page->refresh();
}

void TestExplorePage::cleanup()
{
    page.reset();
    QCOMPARE(answerer->seen(), QStringList());
    answerer.reset();
}

void TestExplorePage::entriesAndChannels()
{
    QuorinBox *plots = page->plots();
    QStringList items;
    for (int i = 0; i < plots->list()->count(); ++i) {
        const QListWidgetItem *item = plots->list()->item(i);
        const QString html = item->data(QuorinBox::HtmlRole).toString();
        const QString tag = html.section(QLatin1Char('>'), -2).section(QLatin1Char('<'), 0, 0).trimmed();
        items.append(item->data(QuorinBox::NameRole).toString() + QLatin1Char(':') + tag);
    }
    QCOMPARE(items, (QStringList{"T1:1D", "T2:1D", "T4:1D", "Ref:1D", "T1-T2:2D", "T1-T4:2D", "T2-T4:2D",
                                 "T1-T2-T4:3D"}));
    QCOMPARE(plots->currentName(), QStringLiteral("T1"));
    QObject *root = page->toolBar();
    QVERIFY(root);
    QCOMPARE(root->property("uiEnabled").toBool(), true);
    for (int n = 1; n <= 6; ++n) {
        QCOMPARE(root->property(qPrintable(QStringLiteral("channel%1Status").arg(n))).toBool(),
                 n == 1 || n == 2 || n == 3 || n == 4);
        QCOMPARE(root->property(qPrintable(QStringLiteral("channel%1Text").arg(n))).toBool(), n == 3);
    }
    QCOMPARE(page->shownChannel(), 1u);
    QCOMPARE(page->imageView()->shownChannel(), 1u);
    QVERIFY(page->imageView()->imageItem());
    QVERIFY(page->holder(0)->isVisible());
    for (int h = 1; h < 4; ++h)
        QVERIFY(!page->holder(h)->isVisible());
    // The 1D plot shows every kept droplet of the well.
    QCOMPARE(dotCount(page->plot1DView()), DropletCount);
    // A rebuild keeps the chosen entry.
    QVERIFY(choose(plots, QStringLiteral("T2-T4")));
    page->refresh();
    QCOMPARE(plots->currentName(), QStringLiteral("T2-T4"));
    QVERIFY(page->holder(1)->isVisible());
    QCOMPARE(dotCount(page->plotXYView()), DropletCount);
}

void TestExplorePage::picksMarkTheImage_data()
{
    QTest::addColumn<QString>("plot");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("sender"); // the 2D plot that picks
    QTest::addColumn<bool>("first");     // threshold side or quadrant x
    QTest::addColumn<bool>("second");    // quadrant y
    QTest::addColumn<Range>("range1");
    QTest::addColumn<Range>("range2");

    QTest::newRow("1D above") << "T1" << int(Pick::Threshold1D) << "" << true << false << Range() << Range();
    QTest::newRow("1D below") << "T4" << int(Pick::Threshold1D) << "" << false << false << Range() << Range();
    QTest::newRow("1D rectangle, right to left")
        << "T1" << int(Pick::Rect1D) << "" << false << false << Range(17, 4) << Range(900, 1600);
    QTest::newRow("pair, quadrant x only")
        << "T1-T2" << int(Pick::Threshold2D) << "Explore2DXY" << true << false << Range() << Range();
    QTest::newRow("triple, first and third channel, both")
        << "T1-T2-T4" << int(Pick::Threshold2D) << "Explore2DXZ" << true << true << Range() << Range();
    QTest::newRow("triple, second and third channel, neither")
        << "T1-T2-T4" << int(Pick::Threshold2D) << "Explore2DYZ" << false << false << Range() << Range();
    QTest::newRow("pair rectangle")
        << "T2-T4" << int(Pick::Rect2D) << "Explore2DXY" << false << false << Range(900, 2100) << Range(700, 900);
    QTest::newRow("triple rectangle on the second and third channel")
        << "T1-T2-T4" << int(Pick::Rect2D) << "Explore2DYZ" << false << false << Range(2000, 3000)
        << Range(2000, 3000);
    QTest::newRow("population") << "T1" << int(Pick::Population) << "" << false << false << Range() << Range();
}

void TestExplorePage::picksMarkTheImage()
{
    QFETCH(QString, plot);
    QFETCH(int, pick);
    QFETCH(QString, sender);
    QFETCH(bool, first);
    QFETCH(bool, second);
    QFETCH(Range, range1);
    QFETCH(Range, range2);
    QVERIFY(choose(page->plots(), plot));
    const QVector<uint> channels = explorePlotChannels(page->entries(), plot);
    auto *plot2D = page->findChild<Explore2DDot *>(sender);
    auto inRange = [](uint v, const Range &r) {
        return std::min(r.first, r.second) <= v && v <= std::max(r.first, r.second);
    };
    auto side = [](uint v, uint t, bool positive) { return positive ? v >= t : v < t; };
    auto threshold = [](uint c) { return c == 1 ? Threshold1 : c == 2 ? Threshold2 : Threshold4; };
    uint x = 0;
    uint y = 0;
    if (plot2D) {
        const int a = plot2D == page->plotYZView() ? 1 : 0;
        const int b = plot2D == page->plotXYView() ? 1 : 2;
        x = channels[a];
        y = channels[b];
    }
    QSet<uint> expected;
    switch (Pick(pick)) {
    case Pick::Threshold1D:
        emit page->plot1DView()->showMarkerByThreshold(first);
        expected = dropletsWhere([&](int i) { return side(greyOf(channels[0], i), threshold(channels[0]), first); });
        QCOMPARE(page->mode(), Threshold);
        break;
    case Pick::Rect1D:
        emit page->plot1DView()->showMarkerBySelectRect(range1, range2);
        expected = dropletsWhere([&](int i) { return inRange(uint(i), range1) && inRange(grey1(i), range2); });
        QCOMPARE(page->mode(), SelectRect);
        break;
    case Pick::Threshold2D:
        QVERIFY(plot2D);
        emit plot2D->showMarkerByThreshold(first, second);
        expected = dropletsWhere([&](int i) {
            return side(greyOf(x, i), threshold(x), first) && side(greyOf(y, i), threshold(y), second);
        });
        QCOMPARE(page->mode(), Threshold);
        break;
    case Pick::Rect2D:
        QVERIFY(plot2D);
        emit plot2D->showMarkerBySelectRect(range1, range2);
        expected = dropletsWhere([&](int i) { return inRange(greyOf(x, i), range1) && inRange(greyOf(y, i), range2); });
        QCOMPARE(page->mode(), SelectRect);
        break;
    case Pick::Population: {
        QuorinBox *populations = page->populations();
        QVERIFY(populations->count() > 0);
        const QString name = populations->list()->item(0)->data(QuorinBox::NameRole).toString();
        QVERIFY(choose(populations, name));
        const uint id = BLLInstance::getInstance()->getPopulationsMgr()->getPopulationId(name);
        const PopulationMembership members(1, id);
        expected = dropletsWhere([&](int i) { return members.contains(i); });
        QCOMPARE(page->mode(), Population);
        QCOMPARE(page->populationSign()->property("dotColour").toString(),
                 BLLInstance::getInstance()->getPopulationsMgr()->getPopulation(id).signColor);
        break;
    }
    }
    QVERIFY(!expected.isEmpty());
    QCOMPARE(markedIds(*page), expected);
    // The same pick is marked again, selected, by "Select for Exclusion".
    QVERIFY(toolBar(*page, "selectAll"));
    QCOMPARE(markedIds(*page), expected);
    QCOMPARE(selectedIds(*page->imageView()), expected);
}

void TestExplorePage::modeTransitions()
{
    QVERIFY(choose(page->plots(), QStringLiteral("T1")));
    Explore1DDot *plot1D = page->plot1DView();
    // A click on the plot of channel 1 stores that channel: only its plot marks in Threshold mode.
    QTest::mouseClick(plot1D->canvas(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(plot1D->canvas()->width() / 2, 5));
    QCOMPARE(page->mode(), Threshold);
    const QSet<uint> above = dropletsWhere([](int i) { return grey1(i) >= Threshold1; });
    QCOMPARE(markedIds(*page), above);
    QVERIFY(!pickOf(plot1D, plot1D->shape()).isEmpty());
    // A pick belongs to the plot it was made on: another plot takes it away for good.
    QVERIFY(choose(page->plots(), QStringLiteral("T2")));
    page->initMarker();
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(choose(page->plots(), QStringLiteral("T1")));
    page->initMarker();
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(pickOf(plot1D, plot1D->shape()).isEmpty());

    // A rectangle: SelectRect.
    emit plot1D->showMarkerBySelectRect(Range(0, 5), Range(0, 5000));
    QCOMPARE(page->mode(), SelectRect);
    plot1D->drawSelectRect(QPointF(0, 0), QPointF(5, 5000));

    // A population clears every pick shape and shows its colour.
    QVERIFY(choose(page->populations(), page->populations()->list()->item(0)->data(QuorinBox::NameRole).toString()));
    QCOMPARE(page->mode(), Population);
    QVERIFY(pickOf(plot1D, plot1D->shape()).isEmpty());
    QVERIFY(!page->populations()->labelText().isEmpty());
    QVERIFY(page->populationSign()->property("dotColour").toString() != QLatin1String("#999"));

    // Choosing a plot: Threshold, the population's shown text gone (its items kept), a grey dot,
    // the markers dropped.
    const int populations = page->populations()->count();
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2")));
    QCOMPARE(page->mode(), Threshold);
    QCOMPARE(page->populations()->labelText(), QString());
    QCOMPARE(page->populations()->count(), populations);
    QCOMPARE(page->populationSign()->property("dotColour").toString(), QStringLiteral("#999"));
    QVERIFY(markedIds(*page).isEmpty());

    // A quadrant on one 2D plot clears the picks of the others.
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2-T4")));
    page->plotXYView()->drawQuadrant(0);
    page->plotYZView()->drawQuadrant(0);
    emit page->plotXZView()->showMarkerByThreshold(true, false);
    QVERIFY(pickOf(page->plotXYView(), page->plotXYView()->shape()).isEmpty());
    QVERIFY(pickOf(page->plotYZView(), page->plotYZView()->shape()).isEmpty());

    // Another button on a plot cancels the markers.
    QVERIFY(!markedIds(*page).isEmpty());
    emit page->plotXZView()->canlcelMark();
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(page->imageView()->imageItem());
}

void TestExplorePage::wellChangeReplaysPick_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("rectangle");
    QTest::addColumn<Range>("r1");
    QTest::addColumn<Range>("r2");
    QTest::newRow("rectangle on the first and third channel")
        << "Explore2DXZ" << true << Range(1400, 1600) << Range(700, 900);
    QTest::newRow("quadrant on the second and third channel") << "Explore2DYZ" << false << Range() << Range();
    QTest::newRow("rectangle on the first pair") << "Explore2DXY" << true << Range(1400, 1600) << Range(2900, 3100);
}

void TestExplorePage::wellChangeReplaysPick()
{
    QFETCH(QString, sender);
    QFETCH(bool, rectangle);
    QFETCH(Range, r1);
    QFETCH(Range, r2);
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2-T4")));
    auto *picked = page->findChild<Explore2DDot *>(sender);
    QVERIFY(picked);
    if (rectangle)
        emit picked->showMarkerBySelectRect(r1, r2);
    else
        emit picked->showMarkerByThreshold(false, true);
    const QSet<uint> marked = markedIds(*page);
    QVERIFY(!marked.isEmpty());

    selectWell(3);
    emit page->wells()->sigWellSelectChange();
    QCOMPARE(page->imageView()->shownWell(), 3u);
    QCOMPARE(page->plots()->currentName(), QStringLiteral("T1-T2-T4"));
    // The same droplets of the new well (its values are the same) and the pick on its plot.
    QCOMPARE(markedIds(*page), marked);
    for (Explore2DDot *plot : {page->plotXYView(), page->plotXZView(), page->plotYZView()}) {
        const QRectF pick = pickOf(plot, plot->shape());
        if (plot != picked) {
            QVERIFY2(pick.isEmpty(), qPrintable(plot->objectName()));
            continue;
        }
        if (rectangle) {
            QCOMPARE(pick, QRectF(QPointF(r1.first, r2.first), QPointF(r1.second, r2.second)));
        } else {
            // Only y positive: from the x axis' lower end to the x threshold, above the y one.
            const QPair<double, double> x = axisRange(plot, QwtPlot::xBottom);
            const QPair<double, double> y = axisRange(plot, QwtPlot::yLeft);
            QCOMPARE(pick.left(), double(int(x.first)));
            QCOMPARE(pick.right(), double(Threshold2));
            QCOMPARE(pick.top(), double(Threshold4));
            QCOMPARE(pick.bottom(), double(int(y.second)));
        }
    }
}

void TestExplorePage::toolBarCommands()
{
    QVERIFY(choose(page->plots(), QStringLiteral("T1")));
    emit page->plot1DView()->showMarkerByThreshold(true);
    ExploreView *view = page->imageView();
    const QSet<uint> above = markedIds(*page);
    QVERIFY(!above.isEmpty());

    // Until the slider first moves, the markers are half opaque; it re-marks with the last flag.
    for (DropletMarker *marker : markersOf(*view))
        QCOMPARE(marker->opacity(), 0.5);
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(toolBar(*page, "updateOpacity", Q_ARG(double, 0.3)));
    QCOMPARE(markerOpacity, 0.3);
    QCOMPARE(markedIds(*page), above);
    QCOMPARE(selectedIds(*view), above);
    for (DropletMarker *marker : markersOf(*view))
        QCOMPARE(marker->opacity(), 0.3);

    // Brightness and contrast change the channel's adjustment and keep the markers.
    QSignalSpy adjustType(page.get(), &ExplorePage::updateConstractAdjustType);
    QVERIFY(toolBar(*page, "addBrightness"));
    QCOMPARE(view->getAdjustType(1), 1);
    QCOMPARE(markedIds(*page), above);
    QVERIFY(toolBar(*page, "reduceConstract"));
    QVERIFY(toolBar(*page, "autoBrightAndConstract"));
    QCOMPARE(view->getAdjustType(1), 2);
    QVERIFY(toolBar(*page, "defaultBrightAndConstract"));
    QCOMPARE(view->getAdjustType(1), 0);
    QCOMPARE(markedIds(*page), above);

    // The image channel from the tool bar, and the adjustment kind back to it.
    QVERIFY(toolBar(*page, "addConstract"));
    QVERIFY(toolBar(*page, "updateSelectChannel", Q_ARG(int, 2)));
    QCOMPARE(view->shownChannel(), 2u);
    QCOMPARE(adjustType.last().at(0).toInt(), view->getAdjustType(2));
    QVERIFY(view->getAdjustType(2) != 1);
    QVERIFY(toolBar(*page, "updateSelectChannel", Q_ARG(int, 1)));
    QCOMPARE(adjustType.last().at(0).toInt(), 1);
    QCOMPARE(markedIds(*page), above);
}

void TestExplorePage::excludedDropletsLeaveThePlots()
{
    QVERIFY(choose(page->plots(), QStringLiteral("T1")));
    emit page->plot1DView()->showMarkerByThreshold(true);
    const QSet<uint> above = markedIds(*page);
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(toolBar(*page, "exclude"));
    QCOMPARE(BLLInstance::getInstance()->getExcludedDroplets(1), above);
    const int kept = DropletCount - above.size();
    QCOMPARE(dotCount(page->plot1DView()), kept);
    QCOMPARE(axisRange(page->plot1DView(), QwtPlot::xBottom), qMakePair(0.0, double(kept + kept / 100)));
    // The kept droplets of channel 1 are all below its threshold: the y axis follows them.
    QCOMPARE(axisRange(page->plot1DView(), QwtPlot::yLeft), qMakePair(400.0, double(Threshold1 - 1 + 19)));
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2-T4")));
    for (Explore2DDot *plot : {page->plotXYView(), page->plotXZView(), page->plotYZView()})
        QCOMPARE(dotCount(plot), kept);
    // Restore, confirmed: everything back.
    answerer = std::make_unique<LumaraTest::ModalAnswerer>([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    QVERIFY(toolBar(*page, "restore"));
    QCOMPARE(answerer->seen(), QStringList{QStringLiteral("DialogMessage")});
    answerer = std::make_unique<LumaraTest::ModalAnswerer>([](QWidget *modal) { modal->close(); });
    QVERIFY(BLLInstance::getInstance()->getExcludedDroplets(1).isEmpty());

    for (Explore2DDot *plot : {page->plotXYView(), page->plotXZView(), page->plotYZView()})
        QCOMPARE(dotCount(plot), DropletCount);
}

void TestExplorePage::excludingEveryDroplet_data()
{
    QTest::addColumn<QString>("plot");
    QTest::newRow("1D") << "T1";
    QTest::newRow("triple") << "T1-T2-T4";
}

void TestExplorePage::excludingEveryDroplet()
{
    QFETCH(QString, plot);
    QVERIFY(choose(page->plots(), QStringLiteral("T1")));
    emit page->plot1DView()->showMarkerBySelectRect(Range(0, 1000), Range(0, 100000));
    QCOMPARE(markedIds(*page).size(), DropletCount);
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(toolBar(*page, "exclude"));
    QCOMPARE(BLLInstance::getInstance()->getExcludedDroplets(1).size(), DropletCount);
    QVERIFY(choose(page->plots(), plot));
    const QList<QwtPlot *> plots = plot == QLatin1String("T1")
                                       ? QList<QwtPlot *>{page->plot1DView()}
                                       : QList<QwtPlot *>{page->plotXYView(), page->plotXZView(), page->plotYZView()};
    for (QwtPlot *p : plots) {
        QCOMPARE(dotCount(p), 0);
        QCOMPARE(axisRange(p, QwtPlot::xBottom), qMakePair(0.0, 100.0));
        QCOMPARE(axisRange(p, QwtPlot::yLeft), qMakePair(0.0, 100.0));
        p->grab();
    }
    // The thresholds still stand.
    if (plot != QLatin1String("T1"))
        QVERIFY(page->plotXYView()->xThresholdCurve()->isVisible());
}

void TestExplorePage::wellWithoutShownChannel()
{
    QSignalSpy selected(page.get(), &ExplorePage::updateQMLSelectChannel);
    QVERIFY(toolBar(*page, "updateSelectChannel", Q_ARG(int, 1)));
    QCOMPARE(page->imageView()->shownChannel(), 1u);
    selectWell(2);
    emit page->wells()->sigWellSelectChange();
    // No message (cleanup checks): the well's first channel instead.
    QCOMPARE(page->shownChannel(), 2u);
    QCOMPARE(page->imageView()->shownWell(), 2u);
    QCOMPARE(page->imageView()->shownChannel(), 2u);
    QVERIFY(page->imageView()->imageItem());
    QCOMPARE(selected.last().at(0).toInt(), 2);
    QObject *root = page->toolBar();
    QCOMPARE(root->property("channel1Status").toBool(), false);
    QCOMPARE(root->property("channel2Status").toBool(), true);
    // Channel 1 is no entry of this well's plots either.
    QVERIFY(explorePlotChannels(page->entries(), QStringLiteral("T1")).isEmpty());
    QCOMPARE(page->plots()->currentName(), QStringLiteral("T2"));
}

void TestExplorePage::commandsWithoutWells()
{
    QVERIFY(choose(page->plots(), QStringLiteral("T1")));
    emit page->plot1DView()->showMarkerByThreshold(true);
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(!selectedIds(*page->imageView()).isEmpty());
    // The well list empties (a file being replaced): the reload takes the old image, its picks
    // and the plots away, and the droplet commands do nothing.
    WellListModel::instance()->setModelType(0);
    BllTest::DocumentSeed empty;
    QVERIFY(BllTest::seedDocument(empty));
    emit SignalTransfer::getInstance()->updateWellInfo();
    QVERIFY(WellListModel::instance()->getAllWellIDs().isEmpty());
    QVERIFY(!page->imageView()->imageItem());
    QCOMPARE(page->imageView()->shownWell(), 0u);
    for (int h = 0; h < 4; ++h)
        QVERIFY(!page->holder(h)->isVisible());
    QCOMPARE(page->toolBar()->property("uiEnabled").toBool(), false);
    QVERIFY(toolBar(*page, "exclude"));
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(toolBar(*page, "undo"));
    QVERIFY(toolBar(*page, "redo"));
    QVERIFY(toolBar(*page, "restore"));
    QVERIFY(markersOf(*page->imageView()).isEmpty());
    // The hub's reload resets the page: empty drop-downs, and no refresh without wells.
    emit SignalTransfer::getInstance()->updateWellComplete();
    QCOMPARE(page->plots()->count(), 0);
    QCOMPARE(page->populations()->count(), 0);
    QCOMPARE(page->shownChannel(), 0u);
    page->refresh();
    QCOMPARE(page->plots()->count(), 0);
}

void TestExplorePage::twoDColoursAsMarked_data()
{
    QTest::addColumn<bool>("xPositive");
    QTest::addColumn<bool>("yPositive");
    QTest::addColumn<int>("series"); // 0 both positive, 1 only y, 2 neither, 3 only x
    QTest::newRow("both positive") << true << true << 0;
    QTest::newRow("only y positive") << false << true << 1;
    QTest::newRow("neither") << false << false << 2;
    QTest::newRow("only x positive") << true << false << 3;
}

// Channels 1 and 2 have droplets exactly on their thresholds: each quadrant's dots are the
// droplets that the quadrant's pick marks on the image.
void TestExplorePage::twoDColoursAsMarked()
{
    QFETCH(bool, xPositive);
    QFETCH(bool, yPositive);
    QFETCH(int, series);
    QVERIFY(!dropletsWhere([](int i) { return grey1(i) == Threshold1 || grey2(i) == Threshold2; }).isEmpty());
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2")));
    Explore2DDot *plot = page->plotXYView();
    QCOMPARE(plot->curves().size(), 4);
    emit plot->showMarkerByThreshold(xPositive, yPositive);
    const auto byValue = [](const QPointF &a, const QPointF &b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    };
    QVector<QPointF> marked;
    for (uint id : markedIds(*page))
        marked.append(QPointF(grey1(int(id)), grey2(int(id))));
    QVector<QPointF> drawn;
    const QwtSeriesData<QPointF> *dots = plot->curves().at(series)->data();
    for (size_t i = 0; i < dots->size(); ++i)
        drawn.append(dots->sample(i));
    std::sort(marked.begin(), marked.end(), byValue);
    std::sort(drawn.begin(), drawn.end(), byValue);
    QVERIFY(!drawn.isEmpty());
    QCOMPARE(drawn, marked);
}

void TestExplorePage::noPickWithoutAClick_data()
{
    QTest::addColumn<QString>("plot");
    QTest::newRow("1D") << "T1";
    QTest::newRow("pair") << "T1-T2";
    QTest::newRow("triple") << "T1-T2-T4";
}

// A well change with no pick made draws no pick and marks nothing, not even after a
// brightness step or "Select for Exclusion"; so nothing is excluded.
void TestExplorePage::noPickWithoutAClick()
{
    QFETCH(QString, plot);
    QVERIFY(choose(page->plots(), plot));
    selectWell(3);
    emit page->wells()->sigWellSelectChange();
    QCOMPARE(page->imageView()->shownWell(), 3u);
    QCOMPARE(page->plots()->currentName(), plot);
    QVERIFY(!page->picking());
    QVERIFY(pickOf(page->plot1DView(), page->plot1DView()->shape()).isEmpty());
    for (Explore2DDot *p : {page->plotXYView(), page->plotXZView(), page->plotYZView()})
        QVERIFY2(pickOf(p, p->shape()).isEmpty(), qPrintable(p->objectName()));
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(toolBar(*page, "addBrightness"));
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(selectedIds(*page->imageView()).isEmpty());
    QVERIFY(toolBar(*page, "exclude"));
    QVERIFY(BLLInstance::getInstance()->getExcludedDroplets(3).isEmpty());
}

void TestExplorePage::plotChangeDropsPick_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("to");
    QTest::newRow("quadrant, then another pair") << "T1-T2" << int(Pick::Threshold2D) << "Explore2DXY" << "T1-T4";
    QTest::newRow("quadrant on a triple, then its pair")
        << "T1-T2-T4" << int(Pick::Threshold2D) << "Explore2DXZ" << "T1-T4";
    QTest::newRow("2D rectangle, then a 1D plot") << "T2-T4" << int(Pick::Rect2D) << "Explore2DXY" << "T2";
    QTest::newRow("1D rectangle, then another channel") << "T1" << int(Pick::Rect1D) << "" << "T2";
    QTest::newRow("1D side, then a pair") << "T1" << int(Pick::Threshold1D) << "" << "T1-T2";
}

// A pick belongs to the plot it was made on: after another plot is chosen nothing of it is
// drawn, marked, selected or excluded, and coming back does not bring it back.
void TestExplorePage::plotChangeDropsPick()
{
    QFETCH(QString, from);
    QFETCH(int, pick);
    QFETCH(QString, sender);
    QFETCH(QString, to);
    QVERIFY(choose(page->plots(), from));
    auto *plot2D = page->findChild<Explore2DDot *>(sender);
    switch (Pick(pick)) {
    case Pick::Threshold1D:
        emit page->plot1DView()->showMarkerByThreshold(true);
        break;
    case Pick::Rect1D:
        emit page->plot1DView()->showMarkerBySelectRect(Range(0, 23), Range(0, 5000));
        break;
    case Pick::Threshold2D:
        QVERIFY(plot2D);
        emit plot2D->showMarkerByThreshold(true, false);
        break;
    case Pick::Rect2D:
        QVERIFY(plot2D);
        emit plot2D->showMarkerBySelectRect(Range(0, 5000), Range(0, 5000));
        break;
    default:
        QFAIL("no such pick");
    }
    QVERIFY(page->picking());
    QVERIFY(!markedIds(*page).isEmpty());

    for (const QString &plot : {to, from}) {
        QVERIFY(choose(page->plots(), plot));
        QVERIFY(!page->picking());
        QVERIFY(pickOf(page->plot1DView(), page->plot1DView()->shape()).isEmpty());
        for (Explore2DDot *p : {page->plotXYView(), page->plotXZView(), page->plotYZView()})
            QVERIFY2(pickOf(p, p->shape()).isEmpty(), qPrintable(p->objectName()));
        QVERIFY(markedIds(*page).isEmpty());
        QVERIFY(toolBar(*page, "addBrightness"));
        QVERIFY(markedIds(*page).isEmpty());
        QVERIFY(toolBar(*page, "updateOpacity", Q_ARG(double, 0.4)));
        QVERIFY(markedIds(*page).isEmpty());
        QVERIFY(toolBar(*page, "selectAll"));
        QVERIFY(selectedIds(*page->imageView()).isEmpty());
        QVERIFY(toolBar(*page, "exclude"));
        QVERIFY(BLLInstance::getInstance()->getExcludedDroplets(1).isEmpty());
    }
}

// A pick on a plot that the next well does not offer goes with it: the well shows its first
// plot with no pick drawn and nothing marked.
void TestExplorePage::wellChangeToAnotherPlotDropsPick()
{
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2")));
    emit page->plotXYView()->showMarkerByThreshold(true, true);
    QVERIFY(!markedIds(*page).isEmpty());
    selectWell(2);
    emit page->wells()->sigWellSelectChange();
    QCOMPARE(page->plots()->currentName(), QStringLiteral("T2"));
    QVERIFY(!page->picking());
    QVERIFY(pickOf(page->plot1DView(), page->plot1DView()->shape()).isEmpty());
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(toolBar(*page, "reduceBrightness"));
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(toolBar(*page, "exclude"));
    QVERIFY(BLLInstance::getInstance()->getExcludedDroplets(2).isEmpty());
}

void TestExplorePage::newDocumentAsFreshlyOpened_data()
{
    QTest::addColumn<bool>("moved");
    QTest::newRow("another document") << true;
    QTest::newRow("the same document analysed again") << false;
}

// Another document, or the same one analysed again, reaches the page on screen through the
// hub's reload: it then shows exactly what a page made fresh on that document shows, and
// nothing picked before is marked, selected or excluded afterwards.
void TestExplorePage::newDocumentAsFreshlyOpened()
{
    QFETCH(bool, moved);
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2")));
    emit page->plotXYView()->showMarkerByThreshold(true, true);
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(!selectedIds(*page->imageView()).isEmpty());
    QVERIFY(toolBar(*page, "updateSelectChannel", Q_ARG(int, 2)));
    QVERIFY(toolBar(*page, "addBrightness"));
    emit page->plotXYView()->showMarkerBySelectRect(Range(0, 1200), Range(0, 5000));
    QVERIFY(page->imageView()->zoomStepCount() > 0);
    QVERIFY(toolBar(*page, "selectAll"));

    // The same wells and channels, with the droplets' values moved on by one when asked.
    BllTest::DocumentSeed other = exploreSeed();
    for (BllTest::WellSeed &well : other.wells) {
        if (!moved)
            break;
        const QVector<BllTest::DropletSeed> before = well.droplets;
        for (int i = 0; i < before.size(); ++i) {
            well.droplets[i].raw = before[(i + 1) % before.size()].raw;
            well.droplets[i].compensated = before[(i + 1) % before.size()].compensated;
        }
    }
    QVERIFY(load(other));
    const QStringList reloaded = stateOf(*page);
    auto fresh = shownPage();
    QVERIFY(fresh);
    fresh->refresh();
    QCOMPARE(reloaded, stateOf(*fresh));
    fresh.reset();

    QVERIFY(toolBar(*page, "addBrightness"));
    QVERIFY(markedIds(*page).isEmpty());
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(toolBar(*page, "exclude"));
    QVERIFY(choose(page->plots(), QStringLiteral("T1-T2")));
    QVERIFY(toolBar(*page, "addConstract"));
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(selectedIds(*page->imageView()).isEmpty());
    QVERIFY(toolBar(*page, "exclude"));
    for (uint well : {1u, 2u, 3u})
        QVERIFY(BLLInstance::getInstance()->getExcludedDroplets(well).isEmpty());
}

LUMARA_TEST_GUI_MAIN(TestExplorePage)
#include "tst_page.moc"
