// The droplet-quality dialog on a seeded well with known grey values (every text and flag, the
// undefined figures, polygon mode) and the image-save pop-up's three signals.
#include "bll/bllinstance.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/qcparamadialog.h"
#include "shell/saveimagedialog.h"
#include "testmain.h"

#include <QQuickItem>
#include <QQuickWidget>
#include <QSignalSpy>

using namespace LumaraAnalysisData;

Q_DECLARE_METATYPE(QcThresholdInfo)

namespace {

using Values = QVector<uint>;

// Well 1: channel 1 carries `values` (target), channel 3 `reference`; one more droplet, excluded,
// reads 5000 and 9000 there so that it shows if it were counted.
void seedWell(const Values &values, const Values &reference, uint threshold, const QcThresholdInfo &limits,
              ThresholdMode mode = LineThreshold)
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    seed.mode = mode;
    BllTest::WellSeed w = BllTest::well(1, QStringLiteral("A1"), {1});
    w.referenceChannel = 3;
    for (int i = 0; i <= values.size(); ++i) {
        BllTest::Greys g{};
        g[0] = i < values.size() ? values.at(i) : 5000;
        g[2] = i < reference.size() ? reference.at(i) : 9000;
        w.droplets.append(BllTest::droplet(g));
    }
    w.excluded.insert(uint(values.size()));
    w.lineThresholds[0] = threshold;
    seed.wells.append(w);
    QString error;
    QVERIFY2(BllTest::seedDocument(seed, nullptr, &error), qPrintable(error));
    PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getAnalysisRetMgr()->setQcThresholds(limits);
}

QcThresholdInfo limitsOf(double ratio, double rfuCv, double rs, double rain, uint k)
{
    QcThresholdInfo limits;
    limits.analyzableDrpltRatio = ratio;
    limits.rfuCv = rfuCv;
    limits.rs = rs;
    limits.rain = rain;
    limits.rainRangeStddevNum = k;
    return limits;
}

QObject *rootOf(QWidget *dialog)
{
    auto *view = dialog->findChild<QQuickWidget *>();
    return view ? view->rootObject() : nullptr;
}

const char *const TextProperties[] = {"drpltNums", "drpltRefNums", "posGyslMean", "posCv", "ngGyslMean",
                                      "negCv", "rfGyslMean", "rfCv", "rfRefCv", "rsValue",
                                      "rsRefValue", "rainValue", "rainRefValue"};
const char *const FlagProperties[] = {"drpltNumsColor", "rfCvColor", "rsValueColor", "rainValueColor"};

const Values Greys{100, 111, 120, 130, 300, 1000, 1100, 1200, 700};
const Values Reference{1000, 1000, 1200, 800, 1000, 1000, 1000, 1000, 1000};

} // namespace

class TestWellDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        BLLInstance::createSingletons();
    }

    void qualityFigures_data();
    void qualityFigures();
    void zeroChannels_data();
    void zeroChannels();
    void polygonModeLeavesTheDialog();
    void yesButtonCloses();
    void saveImageSignals();
};

void TestWellDialogs::qualityFigures_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<QcThresholdInfo>("limits");
    QTest::addColumn<QStringList>("texts");   // in the order of TextProperties
    QTest::addColumn<QList<bool>>("flags"); // in the order of FlagProperties

    // Negatives {100, 111, 120, 130, 300}: mean 152.2, CV 48.99 %; positives {1000, 1100, 1200,
    // 700}: mean 1000, CV 18.71 %; k = 1 puts 300 and 700 in the rain band, which leaves 4 of the
    // 5 negatives: rain = ln(1.5) / ln(2.25) = 50 %. Reference: mean 1000, CV 9.43 %.
    // 10 droplets, 9 kept: the reference count is the real product 10 x 0.85.
    QTest::newRow("within the limits")
        << Greys << limitsOf(0.85, 0.15, 0.5, 0.6, 1)
        << QStringList{"9", "8.5", "1000", "18.71%", "152", "48.99%", "1000", "9.43%", "15.00%", "1252.34", "0.5",
                       "50.00%", "60.00%"}
        << QList<bool>{true, true, true, true};
    QTest::newRow("outside the limits")
        << Greys << limitsOf(1.2, 0.09, 2000, 0.4, 1)
        << QStringList{"9", "12", "1000", "18.71%", "152", "48.99%", "1000", "9.43%", "9.00%", "1252.34", "2000",
                       "50.00%", "40.00%"}
        << QList<bool>{false, false, false, false};
    // No positives: Rs and rain undefined.
    QTest::newRow("no positives")
        << Values{100, 110, 120, 130} << limitsOf(0.5, 0.2, 0.5, 0.6, 3)
        << QStringList{"4", "2.5", "0", "0.00%", "115", "9.72%", "1000", "14.14%", "20.00%", "!!!", "0.5", "!!!",
                       "60.00%"}
        << QList<bool>{true, true, false, false};
    // Negatives without spread and k = 0: the band [100, 1100] holds every negative, none is
    // left to divide the rain by. Rs is defined: (1100 - 100) / 0.0909.
    QTest::newRow("every negative in the rain band")
        << Values{100, 100, 100, 1000, 1200} << limitsOf(0.5, 0.2, 0.5, 0.6, 0)
        << QStringList{"5", "3", "1100", "9.09%", "100", "0.00%", "1000", "12.65%", "20.00%", "11000.00", "0.5",
                       "!!!", "60.00%"}
        << QList<bool>{true, true, true, false};
}

void TestWellDialogs::qualityFigures()
{
    QFETCH(Values, values);
    QFETCH(QcThresholdInfo, limits);
    QFETCH(QStringList, texts);
    QFETCH(QList<bool>, flags);
    seedWell(values, Reference, 500, limits);
    QcParamaDialog dialog;
    dialog.showQcParams(1, 1);
    QObject *root = rootOf(&dialog);
    QVERIFY(root);
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(root->property(TextProperties[i]).toString(), texts.at(i));
    for (int i = 0; i < flags.size(); ++i)
        QVERIFY2(root->property(FlagProperties[i]).toBool() == flags.at(i), FlagProperties[i]);
}

// Values that are all 0 have no CV: the dialog says so as the well list does, never "nan".
void TestWellDialogs::zeroChannels_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<Values>("reference");
    QTest::addColumn<QStringList>("undefined"); // the text properties that show "N/A"
    QTest::newRow("reference all zero") << Greys << Values(Greys.size(), 0) << QStringList{"rfCv"};
    QTest::newRow("channel and reference all zero") << Values(6, 0) << Values(6, 0) << QStringList{"rfCv"};
}

void TestWellDialogs::zeroChannels()
{
    QFETCH(Values, values);
    QFETCH(Values, reference);
    QFETCH(QStringList, undefined);
    seedWell(values, reference, 500, limitsOf(0.85, 0.15, 0.5, 0.6, 1));
    QcParamaDialog dialog;
    dialog.showQcParams(1, 1);
    QObject *root = rootOf(&dialog);
    QVERIFY(root);
    for (const char *name : TextProperties) {
        const QString text = root->property(name).toString();
        QVERIFY2(!text.contains(QLatin1String("nan"), Qt::CaseInsensitive), qPrintable(QStringLiteral("%1: %2").arg(name, text)));
        QVERIFY2(!text.contains(QLatin1String("inf"), Qt::CaseInsensitive), qPrintable(QStringLiteral("%1: %2").arg(name, text)));
        if (undefined.contains(QLatin1String(name)))
            QCOMPARE(text, QStringLiteral("N/A"));
    }
    QCOMPARE(root->property("rfGyslMean").toString(), QStringLiteral("0"));
    // A CV that is not there meets no limit.
    QCOMPARE(root->property("rfCvColor").toBool(), false);
}

void TestWellDialogs::polygonModeLeavesTheDialog()
{
    seedWell(Greys, Reference, 500, limitsOf(0.85, 0.15, 0.5, 0.6, 1));
    QcParamaDialog dialog;
    dialog.showQcParams(1, 1);
    QObject *root = rootOf(&dialog);
    QVariantList before;
    for (const char *name : TextProperties)
        before.append(root->property(name));
    for (const char *name : FlagProperties)
        before.append(root->property(name));

    seedWell(Values{10, 20, 30}, Reference, 15, limitsOf(0.1, 0.9, 0.1, 0.9, 1), PolygonThreshold);
    dialog.showQcParams(1, 1);
    QVariantList after;
    for (const char *name : TextProperties)
        after.append(root->property(name));
    for (const char *name : FlagProperties)
        after.append(root->property(name));
    QCOMPARE(after, before);
}

void TestWellDialogs::yesButtonCloses()
{
    QcParamaDialog dialog;
    QSignalSpy yes(&dialog, &QcParamaDialog::sigYesBtn);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.show();
    QObject *button = rootOf(&dialog)->findChild<QObject *>(QStringLiteral("yesButton"));
    QVERIFY(button);
    QVERIFY(QMetaObject::invokeMethod(button, "clicked"));
    QCOMPARE(yes.count(), 1);
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dialog.isVisible());
}

void TestWellDialogs::saveImageSignals()
{
    QWidget window;
    SaveImageDialog popup(&window);
    QObject *root = rootOf(&popup);
    QVERIFY(root);
    QSignalSpy copy(&popup, &SaveImageDialog::clickCopy);
    QSignalSpy svg(&popup, &SaveImageDialog::clickSvg);
    QSignalSpy save(&popup, &SaveImageDialog::clickSave);
    QVERIFY(QMetaObject::invokeMethod(root, "svgClicked"));
    QVERIFY(QMetaObject::invokeMethod(root, "svgClicked"));
    QVERIFY(QMetaObject::invokeMethod(root, "saveClicked"));
    QCOMPARE(copy.count(), 0);
    QCOMPARE(svg.count(), 2);
    QCOMPARE(save.count(), 1);
    QVERIFY(QMetaObject::invokeMethod(root, "copyClicked"));
    QCOMPARE(copy.count(), 1);
    // The view fills the pop-up after a resize.
    popup.resize(300, 160);
    popup.show();
    QCOMPARE(popup.findChild<QQuickWidget *>()->size(), QSize(300, 160));
}

LUMARA_TEST_GUI_MAIN(TestWellDialogs)
#include "tst_welldialogs.moc"
