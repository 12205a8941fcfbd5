// Wells without positives on every road of the automatic thresholds, on the run command's
// demo package: well 12 has no HEX or CY5 signal. The first analysis's thresholds (put back by
// switching to polygons and back), a re-analysis with the re-analysis dialog's default choices
// and the recount under a compensation matrix (each followed by polygons and back) leave it
// without positives in those channels, while every other well keeps the threshold of the plain
// two-class split of the very values that were clustered, and so its counts. The re-analysis
// keeps every well's droplet count, concentrations and quality colours.
#include "bllaccess.h"
#include "bll/dropletexclude.h"
#include "driver.h"
#include "messagerecorder.h"
#include "testmain.h"
#include "truthcheck.h"
#include "twoclasssplit.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace {

const uint NoTemplateWell = 12;

// The demo recipe's targets without signal in well 12.
bool silentTarget(uint channel)
{
    const QString target = bll()->getTargetName(channel);
    return target == QLatin1String("HEX-Target") || target == QLatin1String("CY5-Target");
}

// Values per well and channel, as a clustering saw them.
using Clustered = QMap<uint, QMap<uint, QVector<uint>>>;

int countFrom(const QVector<uint> &values, uint threshold)
{
    return int(std::count_if(values.cbegin(), values.cend(), [threshold](uint v) { return v >= threshold; }));
}

// What the first analysis clusters: the kept values the plots show.
Clustered classifiedValues()
{
    Clustered values;
    for (uint well : bll()->getWellIds())
        for (uint channel : bll()->getWellChannels(well))
            values[well][channel] = bll()->getWellChannelGrayValues(well, channel);
    return values;
}

// What a re-analysis clusters: the working values of the droplets saturated in no channel.
Clustered workingValues()
{
    Clustered values;
    for (uint well : bll()->getWellIds()) {
        const LumaraAnalysisData::WellImageAnalysisInfo &record = bll()->getDropletExclude()->getImgAnalysisInfo(well);
        for (uint channel : bll()->getWellChannels(well)) {
            QVector<uint> &column = values[well][channel];
            for (const LumaraAnalysisData::DrpltInfo &d : record.droplets)
                if (!d.flags.contains(3))
                    column.append(d.grays.at(int(channel) - 1));
        }
    }
    return values;
}

} // namespace

class TestWellsWithoutPositives : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void firstAnalysisThresholds();
    void reanalysis();
    void reanalysisThresholdsPutBack();
    void compensationRecount();

private:
    void switchToPolygonsAndBack();
    void checkWells(const Clustered &clustered);

    std::unique_ptr<EndToEnd::Driver> m_driver;
    Clustered m_opened;
    Clustered m_reanalysed;
    EndToEnd::Snapshot m_openFigures;
};

void TestWellsWithoutPositives::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY2(QFile::exists(QStringLiteral(LUMARA_DEMO_PACKAGE)), LUMARA_DEMO_PACKAGE);
    m_driver = std::make_unique<EndToEnd::Driver>();
    QVERIFY(m_driver->open(QStringLiteral(LUMARA_DEMO_PACKAGE)));
    QVERIFY(bll()->getWellIds().contains(NoTemplateWell));
    const QList<uint> channels = bll()->getWellChannels(NoTemplateWell);
    QCOMPARE(std::count_if(channels.cbegin(), channels.cend(), silentTarget), 2);
    m_opened = classifiedValues();
    m_openFigures = m_driver->snapshot(QStringLiteral("open"));
}

void TestWellsWithoutPositives::switchToPolygonsAndBack()
{
    bll()->setThresholdingType(1);
    m_driver->switchToLineMode();
    QCOMPARE(int(bll()->getThldType()), 0);
}

void TestWellsWithoutPositives::checkWells(const Clustered &clustered)
{
    int wells = 0;
    for (uint well : bll()->getWellIds()) {
        for (uint channel : bll()->getWellChannels(well)) {
            const QVector<uint> shown = bll()->getWellChannelGrayValues(well, channel);
            const uint threshold = bll()->getThldByLine(well, channel);
            const int positives = countFrom(shown, threshold);
            const QString where = QStringLiteral("well %1 channel %2: threshold %3, %4 of %5 positive")
                                      .arg(well).arg(channel).arg(threshold).arg(positives).arg(shown.size());
            if (well == NoTemplateWell && silentTarget(channel)) {
                QVERIFY2(positives <= 1, qPrintable(where));
                continue;
            }
            double split = 0;
            QVERIFY2(LumaraTest::splitThreshold(clustered.value(well).value(channel), &split), qPrintable(where));
            if (well == NoTemplateWell && threshold != uint(split)) {
                // A channel of well 12 with hardly any signal may be taken as one group.
                QVERIFY2(positives <= 1, qPrintable(where));
                continue;
            }
            QVERIFY2(threshold == uint(split), qPrintable(where + QStringLiteral(", split at %1").arg(split)));
            QCOMPARE(positives, countFrom(shown, uint(split)));
        }
        ++wells;
    }
    QCOMPARE(wells, 12);
}

// The analysis's own thresholds, put back by the switch to line mode, are the first analysis's.
void TestWellsWithoutPositives::firstAnalysisThresholds()
{
    switchToPolygonsAndBack();
    checkWells(m_opened);
}

void TestWellsWithoutPositives::reanalysis()
{
    LumaraTest::MessageRecorder messages;
    m_driver->reanalyse(2, 1); // the dialog's default: background 2, grey adjustment on
    m_reanalysed = workingValues();
    checkWells(m_reanalysed);
    // The package's stored droplets and figures are what this recognition finds on its images:
    // re-analysed unchanged, every well keeps what the user saw, with its flat field applied.
    const EndToEnd::CheckResult kept =
        EndToEnd::compareReanalysis(m_openFigures, m_driver->snapshot(QStringLiteral("re-analysis")));
    QVERIFY2(kept.ok(), qPrintable(kept.failures.join(QLatin1Char('\n'))));
    for (const LumaraTest::MessageRecorder::Message &m : messages.messages())
        QVERIFY2(!m.text.contains(QStringLiteral("left uncorrected")), qPrintable(m.text));
}

void TestWellsWithoutPositives::reanalysisThresholdsPutBack()
{
    switchToPolygonsAndBack();
    checkWells(m_reanalysed);
}

// A matrix applied to the stored droplets: every well clustered again from compensated values.
void TestWellsWithoutPositives::compensationRecount()
{
    QTemporaryDir folder;
    const QString matrix = folder.filePath(QStringLiteral("crosstalk.cmtx"));
    // The demo's dyes (FAM, HEX, CY5), each seen 5 % in the next channel.
    MkPackage::GeneratorOptions dyes;
    dyes.crosstalk = 0.05;
    QVERIFY(EndToEnd::writeCrosstalkMatrix(dyes, matrix));
    const Clustered before = workingValues();
    QVERIFY(m_driver->applyMatrixFile(matrix));
    const Clustered compensated = workingValues();
    QVERIFY(compensated != before);
    checkWells(compensated);
    switchToPolygonsAndBack();
    checkWells(compensated);
}

LUMARA_TEST_MAIN(TestWellsWithoutPositives)
#include "tst_wellswithoutpositives.moc"
