// The Quality Control page on seeded wells: the figures, colour flags and channel statuses it
// writes into its view, the channel, population and brightness signals of the view reaching the
// panel, the page's connections, and the view's own logic driven from C++ (legend order, the
// default state, Auto and Reset, Undo and Redo pictures, disabled channels).
#define QTEST_QPA_MOUSE_HANDLING
#include "qctest.h"
#include "testmain.h"

#include "pages/QualityControl/qualitycontrol.h"
#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "modalanswerer.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "pcranalysisdocument.h"
#include "shell/welllistview.h"

#include <QDialog>

#include <QQuickItem>
#include <QSignalSpy>

using namespace QcTest;
using LumaraTest::ModalAnswerer;
using namespace LumaraAnalysisData;

namespace {

// Writes down the view's legend signals in the order they come.
class LegendRecorder : public QObject {
    Q_OBJECT
public:
    QStringList heard;
public slots:
    void excluded(bool on) { heard << QStringLiteral("excluded:%1").arg(on); }
    void negative(bool on) { heard << QStringLiteral("negative:%1").arg(on); }
    void positive(bool on) { heard << QStringLiteral("positive:%1").arg(on); }
    void saturated(bool on) { heard << QStringLiteral("saturated:%1").arg(on); }
    void all(bool on) { heard << QStringLiteral("all:%1").arg(on); }
    void channel(int n) { heard << QStringLiteral("channel:%1").arg(n); }
};

std::unique_ptr<QualityControl> shownPage()
{
    auto page = std::make_unique<QualityControl>();
    page->resize(1400, 1060);
    page->show();
    if (!QTest::qWaitForWindowExposed(page.get()))
        return nullptr;
    return page;
}

QQuickItem *item(QualityControl &page, const QString &name)
{
    return itemNamed(page.rootObject(), name);
}

// A left click in the middle of the view's item, as the user gives it.
void click(QualityControl &page, QQuickItem *target)
{
    QVERIFY(target);
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(&page, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

// The legend box of that label.
QQuickItem *legendBox(QualityControl &page, const QString &label)
{
    for (QQuickItem *candidate : itemsBelow(page.rootObject()))
        if (candidate->inherits("QQuickCheckBox") && candidate->property("text").toString() == label)
            return candidate;
    return nullptr;
}

QVariant rootValue(QualityControl &page, const char *name)
{
    return page.root() ? page.root()->property(name) : QVariant();
}

// Reloads the wells as an opened file does: the page hears the hub.
bool reload(const BllTest::DocumentSeed &seed, BllTest::SeededIds *ids = nullptr)
{
    return load(seed, ids);
}

} // namespace

class TestQcPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initCase();
    }

    // Every connection of the page is made and the view is there.
    void connectionsAreMade()
    {
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(page->root());
        QCOMPARE(page->status(), QQuickWidget::Ready);
        QCOMPARE(page->failedConnections(), 0);
    }

    void figures_data()
    {
        QTest::addColumn<double>("sharpness");
        QTest::addColumn<uint>("saturated");
        QTest::addColumn<int>("dropletSum");
        QTest::addColumn<QSet<uint>>("excluded");
        QTest::addColumn<QString>("sharpnessText");
        QTest::addColumn<bool>("sharpnessOk");
        QTest::addColumn<bool>("dropletsOk");
        QTest::addColumn<bool>("saturatedOk");
        QTest::addColumn<QString>("effective");
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<bool>("valid");
        // Default limits: sharpness 1500, ratio 0.85, 10 saturated objects.
        QTest::newRow("within limits") << 2400.456 << 3u << 24 << QSet<uint>() << "2400.46" << true << true
                                       << true << "24" << "20" << true;
        QTest::newRow("sharpness at the limit warns") << 1500.0 << 3u << 24 << QSet<uint>() << "1500.00" << false
                                                      << true << true << "24" << "20" << true;
        QTest::newRow("saturated at the limit warns") << 2400.0 << 10u << 24 << QSet<uint>() << "2400.00" << true
                                                      << true << false << "24" << "20" << true;
        QTest::newRow("records at the reference warn") << 2400.0 << 0u << 29 << QSet<uint>() << "2400.00" << true
                                                       << false << true << "24" << "24" << true;
        QTest::newRow("effective below the truncated threshold")
            << 2400.0 << 0u << 28 << QSet<uint>{0, 2} << "2400.00" << true << true << true << "22" << "23" << false;
        QTest::newRow("effective at the threshold is valid")
            << 2400.0 << 0u << 28 << QSet<uint>{5} << "2400.00" << true << true << true << "23" << "23" << true;
    }

    void figures()
    {
        QFETCH(double, sharpness);
        QFETCH(uint, saturated);
        QFETCH(int, dropletSum);
        QFETCH(QSet<uint>, excluded);
        QFETCH(QString, sharpnessText);
        QFETCH(bool, sharpnessOk);
        QFETCH(bool, dropletsOk);
        QFETCH(bool, saturatedOk);
        QFETCH(QString, effective);
        QFETCH(QString, threshold);
        QFETCH(bool, valid);
        auto page = shownPage();
        QVERIFY(page);
        BllTest::DocumentSeed seed = qcSeed();
        seed.wells[0].sharpness = sharpness;
        seed.wells[0].saturatedCount = saturated;
        seed.wells[0].dropletSum = dropletSum;
        seed.wells[0].excluded = excluded;
        QVERIFY(reload(seed));

        QCOMPARE(page->currentWell(), 1u);
        QCOMPARE(page->currentChannel(), 1u);
        QCOMPARE(rootValue(*page, "uiEnable").toBool(), true);
        QCOMPARE(rootValue(*page, "imageSharpness").toString(), sharpnessText);
        // Excluded records count too.
        QCOMPARE(rootValue(*page, "dropletNumbers").toString(), QString::number(DropletCount));
        QCOMPARE(rootValue(*page, "saturatedObjects").toString(), QString::number(saturated));
        QCOMPARE(rootValue(*page, "imageSharpnessColor").toBool(), sharpnessOk);
        QCOMPARE(rootValue(*page, "nbAnalyzableDropletsColor").toBool(), dropletsOk);
        QCOMPARE(rootValue(*page, "nbSaturatedColor").toBool(), saturatedOk);
        QCOMPARE(rootValue(*page, "effDroplets").toString(), effective);
        QCOMPARE(rootValue(*page, "effThld").toString(), threshold);
        QCOMPARE(rootValue(*page, "dropletNumsValid").toBool(), valid);
        // The mean of the kept values strictly above channel 1's threshold, truncated.
        quint64 sum = 0;
        uint count = 0;
        for (int i = 0; i < DropletCount; ++i)
            if (!excluded.contains(uint(i)) && grey1(i) > Threshold1) {
                sum += grey1(i);
                ++count;
            }
        QCOMPARE(rootValue(*page, "posFu").toString(), QString::number(count ? sum / count : 0));
        QCOMPARE(rootValue(*page, "qcparamEnable").toBool(), true);
        QCOMPARE(page->panel()->shownWell(), 1u);
        QCOMPARE(page->panel()->markers().size(), DropletCount);
    }

    // Polygon thresholds have no positive mean and no further parameters.
    void polygonModeHasNoMean()
    {
        auto page = shownPage();
        QVERIFY(page);
        BllTest::DocumentSeed seed = qcSeed();
        seed.mode = PolygonThreshold;
        QVERIFY(reload(seed));
        QCOMPARE(rootValue(*page, "posFu").toString(), QStringLiteral("---"));
        QCOMPARE(rootValue(*page, "qcparamEnable").toBool(), false);
        QVERIFY(!item(*page, QStringLiteral("moreParametersButton"))->isEnabled());
    }

    // Selecting a well on channels 2 and 4 (reference on 3) while channel 1 is current:
    // channel 2 becomes current and the unused channels are off.
    void channelStatuses()
    {
        auto page = shownPage();
        QVERIFY(page);
        BllTest::DocumentSeed seed = qcSeed();
        seed.targets = BllTest::namedTargets({1, 2, 4});
        BllTest::WellSeed &well = seed.wells[1];
        well.channels = {2, 4};
        well.referenceChannel = 3;
        const QImage image = dropletImage(false);
        well.channelImages = {QImage(), image, image, image};
        ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        QVERIFY(reload(seed));
        QCOMPARE(page->currentChannel(), 1u);
        QSignalSpy current(page.get(), &QualityControl::updateCurrentSelectChannel);
        selectWell(2);
        emit page->wellTable()->sigWellSelectChange();
        QCOMPARE(answerer.seen(), QStringList()); // the image was there
        QCOMPARE(page->currentWell(), 2u);
        QCOMPARE(page->currentChannel(), 2u);
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.first().first().toInt(), 2);
        QCOMPARE(rootValue(*page, "currentChannel").toInt(), 2);
        BLLInstance *bll = BLLInstance::getInstance();
        const QStringList dyes{"HHHHHH", bll->getFluorophoreName(2), "ref", bll->getFluorophoreName(4), "HHHHHH", "HHHHHH"};
        QVERIFY(!dyes.at(1).isEmpty());
        QVERIFY(bll->getFluorophoreName(3).isEmpty());
        for (int i = 1; i <= 6; ++i) {
            const bool used = i == 2 || i == 3 || i == 4;
            QCOMPARE(rootValue(*page, QStringLiteral("channel%1Status").arg(i).toLatin1()).toBool(), used);
            QCOMPARE(rootValue(*page, QStringLiteral("dyeName%1").arg(i).toLatin1()).toString(), dyes.at(i - 1));
            QCOMPARE(item(*page, QStringLiteral("channelButton%1").arg(i))->isEnabled(), used);
        }
        QCOMPARE(page->panel()->shownChannel(), 2u);
        QCOMPARE(page->panel()->shownWell(), 2u);
    }

    void viewSignalsReachThePanel_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::newRow("channel") << "channel";
        QTest::newRow("population") << "population";
        QTest::newRow("unknown population") << "unknown population";
        QTest::newRow("brightness") << "brightness";
        QTest::newRow("contrast") << "contrast";
    }

    void viewSignalsReachThePanel()
    {
        QFETCH(QString, signal);
        auto page = shownPage();
        QVERIFY(page);
        BllTest::SeededIds ids;
        QVERIFY(reload(qcSeed(), &ids));
        QObject *view = page->root();
        QVERIFY(view);
        DropletPannel *panel = page->panel();
        QSignalSpy contrastType(page.get(), &QualityControl::updateConstractType);
        if (signal == QLatin1String("channel")) {
            panel->adjustBrightContrast(1, 0.1); // channel 1 manual, channel 2 still automatic
            QVERIFY(QMetaObject::invokeMethod(view, "channelClicked", Q_ARG(int, 2)));
            QCOMPARE(panel->shownChannel(), 2u);
            QCOMPARE(page->currentChannel(), 2u);
            QCOMPARE(contrastType.count(), 1);
            QCOMPARE(contrastType.first().first().toInt(), 2);
            QVERIFY(QMetaObject::invokeMethod(view, "channelClicked", Q_ARG(int, 1)));
            QCOMPARE(contrastType.last().first().toInt(), 1);
        } else if (signal.endsWith(QLatin1String("population"))) {
            const bool known = !signal.startsWith(QLatin1String("unknown"));
            const uint second = ids.populations.at(1);
            const QString name = known ? BLLInstance::getInstance()->getPopulationsMgr()->getPopulation(second).name
                                       : QStringLiteral("no such population");
            const uint before = panel->currentPopulation();
            QVERIFY(QMetaObject::invokeMethod(view, "switchPopulation", Q_ARG(QString, name)));
            QCOMPARE(panel->currentPopulation(), known ? second : before);
        } else {
            const int type = signal == QLatin1String("brightness") ? 1 : 2;
            const QImage before = panel->imageItem()->pixmap().toImage();
            QVERIFY(QMetaObject::invokeMethod(view, "adjustBrightContrast", Q_ARG(int, type), Q_ARG(double, 0.1)));
            QCOMPARE(panel->getAdjustType(1), 1);
            QVERIFY(panel->imageItem()->pixmap().toImage() != before);
            QCOMPARE(panel->markers().size(), DropletCount);
        }
    }

    // The panel's exclusion refreshes the page's figures.
    void exclusionRefreshesFigures()
    {
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(reload(qcSeed()));
        QCOMPARE(rootValue(*page, "effDroplets").toString(), QString::number(DropletCount - excludedDroplets().size()));
        DropletPannel *panel = page->panel();
        const QCDrpltMarker *marker = markersById(*panel).value(0);
        rightClick(*panel, toView(*panel, marker->scenePos()));
        QVERIFY(QMetaObject::invokeMethod(page->root(), "exclude"));
        QCOMPARE(rootValue(*page, "effDroplets").toString(),
                 QString::number(DropletCount - excludedDroplets().size() - 1));
        QCOMPARE(rootValue(*page, "undoImage").toString(), QStringLiteral("qrc:/assets/undo_disable.png"));
    }

    void legendOrder_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<bool>("showAllTicked");
        QTest::newRow("show all off") << QStringList{"Show All"}
                                      << QStringList{"excluded:0", "negative:0", "positive:0", "saturated:0", "all:0"}
                                      << false;
        QTest::newRow("show all off and on")
            << QStringList{"Show All", "Show All"}
            << QStringList{"excluded:0", "negative:0", "positive:0", "saturated:0", "all:0",
                           "excluded:1", "negative:1", "positive:1", "saturated:1", "all:1"}
            << true;
        QTest::newRow("one category off") << QStringList{"Negative Droplets"} << QStringList{"negative:0"} << false;
        QTest::newRow("one category off and on")
            << QStringList{"Negative Droplets", "Negative Droplets"} << QStringList{"negative:0", "negative:1"} << true;
        QTest::newRow("back on while another is off")
            << QStringList{"Negative Droplets", "Positive Droplets", "Negative Droplets"}
            << QStringList{"negative:0", "positive:0", "negative:1"} << false;
        QTest::newRow("show all sends only the boxes that change")
            << QStringList{"Saturated Droplets", "Show All"} << QStringList{"saturated:0", "saturated:1", "all:1"}
            << true;
    }

    // Clicks on the legend as the user gives them: the category signals, then Show All.
    void legendOrder()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, heard);
        QFETCH(bool, showAllTicked);
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(reload(qcSeed()));
        QObject *view = page->root();
        LegendRecorder recorder;
        QVERIFY(connect(view, SIGNAL(showExcludeDroplets(bool)), &recorder, SLOT(excluded(bool))));
        QVERIFY(connect(view, SIGNAL(showNegtiveDroplets(bool)), &recorder, SLOT(negative(bool))));
        QVERIFY(connect(view, SIGNAL(showPositiveDroplets(bool)), &recorder, SLOT(positive(bool))));
        QVERIFY(connect(view, SIGNAL(showSaturatedDroplets(bool)), &recorder, SLOT(saturated(bool))));
        QVERIFY(connect(view, SIGNAL(showAll(bool)), &recorder, SLOT(all(bool))));
        for (const QString &label : clicks)
            click(*page, legendBox(*page, label));
        QCOMPARE(recorder.heard, heard);
        QCOMPARE(legendBox(*page, QStringLiteral("Show All"))->property("checked").toBool(), showAllTicked);
        // The panel heard the same.
        bool negativeOn = true;
        for (const QString &signal : heard)
            if (signal.startsWith(QLatin1String("negative:")) || signal.startsWith(QLatin1String("all:")))
                negativeOn = signal.endsWith(QLatin1Char('1'));
        QCOMPARE(page->panel()->showNegative(), negativeOn);
    }

    // After the default state every control is off and the figures read zero.
    void defaultState()
    {
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(reload(qcSeed()));
        QVERIFY(item(*page, QStringLiteral("autoButton"))->isEnabled());
        QVERIFY(QMetaObject::invokeMethod(page.get(), "defaultQCStatus"));
        QCOMPARE(rootValue(*page, "uiEnable").toBool(), false);
        QCOMPARE(rootValue(*page, "imageSharpness").toString(), QStringLiteral("0.00"));
        QCOMPARE(rootValue(*page, "dropletNumbers").toString(), QStringLiteral("0.00"));
        QCOMPARE(rootValue(*page, "saturatedObjects").toString(), QStringLiteral("0"));
        QCOMPARE(rootValue(*page, "effDroplets").toString(), QStringLiteral("0.00"));
        QCOMPARE(rootValue(*page, "posFu").toString(), QStringLiteral("0.00"));
        QCOMPARE(rootValue(*page, "currentChannel").toInt(), 1);
        QCOMPARE(rootValue(*page, "currentWellID").toInt(), 0);
        int controls = 0;
        for (QQuickItem *control : itemsBelow(page->rootObject())) {
            if (!control->inherits("QQuickAbstractButton") && !control->inherits("QQuickComboBox"))
                continue;
            ++controls;
            QVERIFY2(!control->isEnabled(), qPrintable(control->property("text").toString()));
        }
        // Six channels, four steps, Auto, Reset, Undo, Redo, Exclude, Include, Restore, five
        // legend boxes, the population box, More Parameters, Re_Analyze and Recover.
        QCOMPARE(controls, 26);
    }

    void autoAndReset_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<bool>("resetOn");
        QTest::newRow("default") << 0 << false << true;
        QTest::newRow("manual") << 1 << false << false;
        QTest::newRow("auto") << 2 << true << false;
        QTest::newRow("anything else") << 7 << true << false;
    }

    void autoAndReset()
    {
        QFETCH(int, type);
        QFETCH(bool, autoOn);
        QFETCH(bool, resetOn);
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(QMetaObject::invokeMethod(page.get(), "updateConstractType", Q_ARG(int, type)));
        QCOMPARE(item(*page, QStringLiteral("autoButton"))->property("on").toBool(), autoOn);
        QCOMPARE(item(*page, QStringLiteral("resetButton"))->property("on").toBool(), resetOn);
    }

    void undoRedoPictures_data()
    {
        QTest::addColumn<bool>("undo");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QString>("picture");
        QTest::newRow("undo on") << true << true << "qrc:/assets/undo_default.png";
        QTest::newRow("undo off") << true << false << "qrc:/assets/undo_disable.png";
        QTest::newRow("redo on") << false << true << "qrc:/assets/redo_default.png";
        QTest::newRow("redo off") << false << false << "qrc:/assets/redo_disable.png";
    }

    // The panel's Undo and Redo states reach the view's buttons.
    void undoRedoPictures()
    {
        QFETCH(bool, undo);
        QFETCH(bool, flag);
        QFETCH(QString, picture);
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(reload(qcSeed()));
        DropletPannel *panel = page->panel();
        if (undo)
            emit panel->enableUndo(flag);
        else
            emit panel->enableRedo(flag);
        QCOMPARE(rootValue(*page, undo ? "undoImage" : "redoImage").toString(), picture);
        QCOMPARE(item(*page, undo ? QStringLiteral("undoButton") : QStringLiteral("redoButton"))->isEnabled(), flag);
    }

    // A channel the well does not use cannot be clicked and is never chosen.
    void disabledChannels()
    {
        auto page = shownPage();
        QVERIFY(page);
        QVERIFY(reload(qcSeed()));
        QObject *view = page->root();
        LegendRecorder recorder;
        QVERIFY(connect(view, SIGNAL(channelClicked(int)), &recorder, SLOT(channel(int))));
        click(*page, item(*page, QStringLiteral("channelButton4")));
        click(*page, item(*page, QStringLiteral("channelButton2")));
        QCOMPARE(recorder.heard, QStringList{"channel:2"});
        view->setProperty("channel1Status", false);
        view->setProperty("currentChannel", 4);
        QVERIFY(QMetaObject::invokeMethod(page.get(), "selectDefaultChannel"));
        QCOMPARE(view->property("currentChannel").toInt(), 2);
    }

    // A well whose image is missing says so once, however often the page is resized; its
    // other channel still shows.
    void missingImageSaysSoOnce()
    {
        auto page = shownPage();
        QVERIFY(page);
        BllTest::DocumentSeed seed = qcSeed();
        seed.wells[0].channelImages[0] = QImage();
        ModalAnswerer answerer([](QWidget *modal) { modal->close(); });
        QVERIFY(reload(seed));
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
        QVERIFY(!page->panel()->imageItem());
        for (const QSize &size : {QSize(1300, 1000), QSize(1500, 1100), QSize(1400, 1060)}) {
            page->resize(size);
            QTest::qWait(20);
        }
        QCOMPARE(page->size(), QSize(1400, 1060));
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
        QVERIFY(QMetaObject::invokeMethod(page.get(), "channelClicked", Q_ARG(int, 2)));
        QVERIFY(page->panel()->imageItem());
        page->resize(QSize(1300, 1000));
        QTest::qWait(20);
        QVERIFY(page->panel()->imageItem());
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
    }

    void exactThreshold_data()
    {
        QTest::addColumn<int>("dropletSum");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QString>("threshold");
        QTest::newRow("20000 x 0.57") << 20000 << 0.57 << "11400";
        QTest::newRow("100 x 0.29") << 100 << 0.29 << "29";
        QTest::newRow("20000 x 0.85") << 20000 << 0.85 << "17000";
        QTest::newRow("a fraction is cut off") << 28 << 0.85 << "23";
        QTest::newRow("just above a whole number") << 999 << 0.999 << "998";
        QTest::newRow("just below a whole number") << 3 << 0.3333333333 << "0";
    }

    // The effective-droplet threshold is the droplet number times the ratio as written,
    // truncated: a whole product stays whole; the well list's reference is the same number.
    void exactThreshold()
    {
        QFETCH(int, dropletSum);
        QFETCH(double, ratio);
        QFETCH(QString, threshold);
        auto page = shownPage();
        QVERIFY(page);
        BllTest::DocumentSeed seed = qcSeed();
        seed.wells[0].dropletSum = dropletSum;
        QVERIFY(reload(seed));
        QcThresholdInfo limits;
        limits.analyzableDrpltRatio = ratio;
        PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getAnalysisRetMgr()->setQcThresholds(limits);
        QVERIFY(QMetaObject::invokeMethod(page.get(), "updateQCParameters"));
        QCOMPARE(rootValue(*page, "effThld").toString(), threshold);
        QCOMPARE(QString::number(BLLInstance::getInstance()->getNumbersRef(1)), threshold);
    }

    // Removing every well greys the page when it is shown again; without a shown well
    // coming back changes nothing.
    void refreshAfterWellsWent()
    {
        auto page = shownPage();
        QVERIFY(page);
        page->refresh(); // nothing shown yet
        QCOMPARE(page->panel()->shownWell(), 0u);
        QVERIFY(reload(qcSeed()));
        QVERIFY(page->panel()->imageItem());
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(1, {0});
        page->refresh();
        QCOMPARE(markersById(*page->panel()).value(0)->excluded, true);
        QVERIFY(BllTest::seedDocument(BllTest::DocumentSeed()));
        emit SignalTransfer::getInstance()->updateWellInfo();
        QVERIFY(WellListModel::instance()->modelIsEmpty());
        QCOMPARE(rootValue(*page, "uiEnable").toBool(), false);
        QVERIFY(!page->panel()->imageItem());
        QSignalSpy defaults(page.get(), &QualityControl::defaultQCStatus);
        page->refresh();
        QCOMPARE(defaults.count(), 1);
        QCOMPARE(rootValue(*page, "imageSharpness").toString(), QStringLiteral("0.00"));
    }
};

LUMARA_TEST_GUI_MAIN(TestQcPage)
#include "tst_qcpage.moc"
