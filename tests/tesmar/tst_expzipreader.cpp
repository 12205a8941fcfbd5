// The .expzip run.pcr reader: generated runs with every derived figure (droplet quality from
// the statistics library against the generator's own), a hand-made entry rule by rule, the
// re-read of run.exp, refusals of records that break their limits, truncation and bit flips.
#include "io/analysisdatafileparser1.h"
#include "pkgwriter.h"
#include "runarchivetestsupport.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <cmath>

using namespace LumaraAnalysisData;
using namespace RunArchiveTest;

namespace {

// ---- A hand-made archive --------------------------------------------------------------------
//
// Targets: T-FAM (dye 1, channel index 0), T-ROX (10, index 2), T-NONE (0: none), T-CY5 (5,
// index 3), T-EVA (2, index 0 again): experiment channels [0, 2, 3, 0], sorted [0, 0, 2, 3],
// sixteen zones and four populations.

PkgWriter::Exp1Record craftedExperiment(bool manyChannels = false)
{
    PkgWriter::Exp1Record r;
    r.name = QStringLiteral("Crafted 1");
    r.targets = {{"T-FAM", "", 1}, {"T-ROX", "", 10}, {"T-NONE", "", 0}, {"T-CY5", "", 5}, {"T-EVA", "", 2}};
    if (manyChannels)
        r.targets += QList<PkgWriter::TargetEntry>{{"T-HEX", "", 3}, {"T-VIC", "", 4}, {"T-Q670", "", 6}};
    PkgWriter::Exp1Well w;
    w.targetNames = QStringList{"T-FAM"};
    w.sampleName = QStringLiteral("S1");
    r.wells = {w};
    return r;
}

PkgWriter::Pcr1Droplet droplet(quint32 x, QVector<quint32> grays, quint32 ref)
{
    PkgWriter::Pcr1Droplet d;
    d.x = x;
    d.y = x + 1;
    d.size = x + 2;
    d.values = {5};
    d.grays = grays;
    d.refGray = ref;
    return d;
}

PkgWriter::Pcr1ChanStat stat(quint32 pos, double concentration)
{
    PkgWriter::Pcr1ChanStat s;
    s.posDrpltNum = pos;
    s.values = {0.5, concentration, 0.1, 0.2, 0.3, 0.4};
    return s;
}

QList<PkgWriter::Pcr1Well> craftedWells()
{
    // Well 1: entries FAM (threshold 1000), ROX (5000), EVA (1500, the same channel as FAM).
    PkgWriter::Pcr1Well w1;
    w1.number = 17; // not used: wells are numbered by position
    w1.imageNames = QStringList{"capture/ref.png", "capture/fam.png", "capture/rox.png", "capture/eva.png"};
    w1.valid = true;
    w1.chanEntries = {{0, 1000}, {1, 5000}, {3, 1500}};
    w1.drplts = {droplet(10, {999, 6000, 2000}, 12000), droplet(20, {1000, 4999, 100}, 11000),
                 droplet(30, {5000, 5000, 8000}, 13000), droplet(40, {0x80000000u, 5000, 0}, 0)};
    w1.excluded = {3, 7};
    w1.counts = {4, 1, 0, 4};
    w1.value = 2.5;
    w1.chanStats = {stat(2, 1.25), stat(7, 2.5), stat(1, 0.75)};

    // Well 2: no channel entry, every droplet excluded, its one image missing.
    PkgWriter::Pcr1Well w2;
    w2.number = 2;
    w2.imageNames = QStringList{"capture/ref2.png"};
    w2.valid = false;
    w2.drplts = {droplet(1, {}, 500)};
    w2.excluded = {0};
    w2.counts = {1, 1, 0, 1};
    return {w1, w2};
}

struct CraftOptions {
    QString password;
    bool withExp = true;
    bool manyChannels = false;
    QByteArray expEntry; // replaces the experiment entry when set
};

QString writeCrafted(const QTemporaryDir &dir, const QString &name, const QByteArray &pcr,
                     const CraftOptions &o = CraftOptions())
{
    const QString path = dir.filePath(name);
    PkgWriter::ArchiveWriter zip;
    bool ok = zip.create(path);
    if (!o.password.isEmpty())
        ok = ok && zip.add("password", PkgWriter::passwordEntry(o.password));
    if (o.withExp)
        ok = ok && zip.add("run.exp",
                           o.expEntry.isNull() ? PkgWriter::exp1Entry(craftedExperiment(o.manyChannels)) : o.expEntry,
                           o.password);
    ok = ok && zip.add("run.cmtx", PkgWriter::cmtxEntry(QByteArray()), o.password);
    ok = ok && zip.add("run.pcr", pcr, o.password);
    ok = ok && zip.add("capture/eva.png", pngBytes(rampImage(8, 4, 1, QImage::Format_Grayscale16)), o.password);
    ok = ok && zip.add("capture/rox.png", pngBytes(rampImage(8, 4, 2, QImage::Format_Grayscale8)), o.password);
    ok = ok && zip.close();
    return ok ? path : QString();
}

bool near(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::max(std::fabs(a), std::fabs(b)));
}

bool sameQuality(const ChanAnalysisInfo &c, const std::array<double, 6> &q)
{
    return near(c.posMean, q[0]) && near(c.posCv, q[1]) && near(c.negMean, q[2]) && near(c.negCv, q[3]) &&
           near(c.Rs, q[4]) && near(c.rain, q[5]);
}

ChanAnalysisInfo zeroInfo()
{
    ChanAnalysisInfo c;
    c.Rs = 0.0;
    c.rain = 0.0;
    return c;
}

PopulationResultInfo population(quint32 id, quint32 pos, quint32 neg, double c)
{
    PopulationResultInfo p;
    p.populationId = id;
    p.dilution = 1.0;
    p.posDrpltNum = pos;
    p.negDrpltNum = neg;
    p.concentration = c;
    p.uncertainty = c;
    return p;
}

enum Mutation {
    TargetIndexAtEnd,
    TargetIndexSeven,
    FewImageNames,
    FewGreys,
    FewChanStats,
    ManyChannels,
    BadMagic,
    TextAfterMagic,
    ShortExperiment,
    TruncatedRecord,
    TextAfterNul,
};

} // namespace

class TestExpzipReader : public QObject {
    Q_OBJECT

private slots:
    void generated_data();
    void generated();
    void crafted();
    void refused_data();
    void refused();
    void withoutExperiment();
    void noWells();
    void truncation();
    void bitFlips();

private:
    QTemporaryDir m_dir;
};

// ---- Generated runs --------------------------------------------------------------------------

void TestExpzipReader::generated_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<QList<quint32>>("excluded");
    QTest::newRow("plain, matrix") << "" << true << QList<quint32>{0, 3};
    QTest::newRow("password, no matrix") << "Passwort" << false << QList<quint32>{5};
    QTest::newRow("every droplet excluded") << "" << false << [] {
        QList<quint32> all;
        for (quint32 i = 0; i < 2000; ++i)
            all.append(i);
        return all;
    }();
}

void TestExpzipReader::generated()
{
    QFETCH(QString, password);
    QFETCH(bool, matrix);
    QFETCH(QList<quint32>, excluded);

    MkPackage::GeneratorOptions o;
    o.wells = 3;
    o.width = 192;
    o.height = 160;
    o.password = password;
    o.matrix = matrix;
    o.crosstalk = 0.05;
    o.wellTargets.insert(2, {"Target-HEX"});
    o.seed = 31 + quint64(excluded.size());
    const QString path = m_dir.filePath(QStringLiteral("gen%1.expzip").arg(QTest::currentDataTag()).replace(' ', '_').replace(',', '_'));
    Run run;
    QString error;
    QVERIFY2(generateRun(o, path, excluded, &run, &error), qPrintable(error));

    Managers m;
    AnalysisDataFileParser1 parser(path, &m.slot);
    QVERIFY(parser.parse());
    // FAM, HEX and CY5 by the format-1 dye table.
    QCOMPARE(parser.experimentChannels(), (QList<int>{0, 1, 3}));
    QCOMPARE(m.data->getThldType(), LineThreshold);
    QCOMPARE(m.classify()->getZones().size(), 8);
    const AnalysisExpGlobalInfo &exp = m.exp()->getAnalysisExpGlobalInfo();
    QCOMPARE(exp.experiments.size(), 1);
    QCOMPARE(exp.experiments.first().fileName, QFileInfo(path).fileName());
    QCOMPARE(exp.experiments.first().wellIds, (QList<quint32>{1, 2, 3}));
    QVERIFY(m.consistent());

    const QList<int> sorted{0, 1, 3};
    for (int i = 0; i < run.wells.size(); ++i) {
        const MkPackage::WellPlan &plan = run.wells.at(i);
        const MkPackage::WellTruth &truth = run.truth.wells.at(i);
        const quint32 id = quint32(i + 1);
        bool measured[6] = {};
        for (const MkPackage::ChannelTruth &ch : truth.channels)
            measured[ch.channel] = true;

        // Names as stored: complete "capture/" entry names, the reference at index 2.
        const WellItemInfo &item = exp.wells.at(i);
        QCOMPARE(item.wellId, id);
        QCOMPARE(item.refChanId, 3u);
        QCOMPARE(item.imageNames.size(), 1);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(item.imageNames.first().at(c),
                     measured[c] || c == 2 ? QStringLiteral("capture/%1_CH%2.png").arg(truth.position).arg(c + 1) : QString());

        const QVector<LineThresholdInfo> &thlds = m.classify()->getThldsByLine(id);
        for (int c = 0; c < 6; ++c)
            if (!measured[c])
                QCOMPARE(thlds.at(c).value, 0u);
        for (const auto &z : truth.zones)
            QCOMPARE(zoneCount(m, id, z.first), quint32(z.second));

        // Droplets: measured greys at the well's channels and the reference.
        const WellImageAnalysisInfo &ia = m.img()->getImgAnalysisInfo(id);
        QCOMPARE(ia.droplets.size(), int(plan.droplets.size()));
        for (int k = 0; k < ia.droplets.size(); ++k) {
            const MkPackage::DropletPlan &ds = plan.droplets.at(size_t(k));
            const DrpltInfo &d = ia.droplets.at(k);
            const MkPackage::ComposedWell &cw = run.composed.at(i);
            QCOMPARE(d.x, quint32(std::lround(ds.x)));
            QCOMPARE(d.size, cw.pcr1.drplts.at(k).size);
            QCOMPARE(d.flags, u32({0, 0, 0, 0, 0, 0}));
            QCOMPARE(d.values, u32({0, 0, 0, 0, 0, 0}));
            for (int c = 0; c < 6; ++c) {
                const quint32 g = measured[c] || c == 2 ? ds.grey[size_t(c)] : 0u;
                QCOMPARE(d.grays.at(c), g);
                QCOMPARE(d.grayPairs.at(c), qMakePair(g, 0u));
            }
        }
        QCOMPARE(ia.valid, true);
        QCOMPARE(ia.sharpness, 0.0);
        QCOMPARE(ia.excludedDrplts.size(), truth.excluded);

        // Quality by the statistics library, against the generator's own computation.
        for (const MkPackage::ChannelTruth &ch : truth.channels) {
            QCOMPARE(thlds.at(ch.channel).value, ch.threshold);
            const ChanAnalysisInfo &info = ia.chanInfos.at(ch.channel);
            QVERIFY2(sameQuality(info, ch.quality), qPrintable(ch.target));
            QCOMPARE(info.lineThld, ch.threshold);
            QCOMPARE(info.compensatedLineThld, 0u);
        }
        for (int c = 0; c < 6; ++c)
            if (!measured[c])
                QCOMPARE(ia.chanInfos.at(c), zeroInfo());

        // Reference figures: the mean (truncated) and the CV of the kept reference greys.
        double sum = 0.0, squares = 0.0;
        int n = 0;
        for (int k = 0; k < int(plan.droplets.size()); ++k)
            if (!ia.excludedDrplts.contains(quint32(k))) {
                sum += plan.droplets.at(size_t(k)).grey[2];
                ++n;
            }
        const double mean = n ? sum / n : 0.0;
        for (int k = 0; k < int(plan.droplets.size()); ++k)
            if (!ia.excludedDrplts.contains(quint32(k)))
                squares += std::pow(plan.droplets.at(size_t(k)).grey[2] - mean, 2);
        QCOMPARE(ia.roxChannel, quint32(std::trunc(truth.referenceMean)));
        QVERIFY(near(ia.roxValue, n ? std::sqrt(squares / n) / mean : 0.0));

        // Results from the stored statistics.
        const WellResultInfo &result = m.results()->getWellResult(id);
        const int total = int(plan.droplets.size()) - truth.excluded;
        QCOMPARE(result.effDrpltNum, quint32(total));
        QCOMPARE(result.chanResults.at(4).chanType, quint16('U'));
        QCOMPARE(result.populationResults.size(), 3);
        for (int k = 0; k < 3; ++k) {
            PopulationResultInfo expected = population(quint32(k + 1), 0, 0, 0.0);
            for (const MkPackage::ChannelTruth &ch : truth.channels)
                if (ch.channel == sorted.at(k))
                    expected = population(quint32(k + 1), quint32(ch.storedPositives),
                                          quint32(total - ch.storedPositives), ch.concentration.concentration);
            QCOMPARE(result.populationResults.at(k), expected);
        }

        const WellDrpltImgInfo<QImage> &images = m.exp()->getWellImg(id);
        QCOMPARE(images.images.size(), 6);
        for (int c = 0; c < 6; ++c) {
            if (plan.images[size_t(c)].isNull())
                QVERIFY(images.images.at(c).isNull());
            else
                QVERIFY(sameGrey16(images.images.at(c), plan.images[size_t(c)]));
        }
    }
}

// ---- The crafted entry -----------------------------------------------------------------------

void TestExpzipReader::crafted()
{
    CraftOptions o;
    o.password = QStringLiteral("pw");
    const QString path = writeCrafted(m_dir, "crafted.expzip", PkgWriter::pcr1Entry(craftedWells()), o);
    Managers m;
    AnalysisDataFileParser1 parser(path, &m.slot);
    QTest::ignoreMessage(QtDebugMsg, "Cannot Open image"); // well 2's reference image
    QVERIFY(parser.parse());
    QVERIFY(m.imageRecords() > 0); // decoded, the missing image told of
    QCOMPARE(parser.experimentChannels(), (QList<int>{0, 2, 3, 0}));
    QCOMPARE(parser.experimentRecord().targets.size(), 5);
    QCOMPARE(m.classify()->getZones().size(), 16);
    QCOMPARE(m.classify()->getPopulations().size(), 4);

    // Names: the reference at index 2, then each entry at its channel, later ones winning.
    const AnalysisExpGlobalInfo &exp = m.exp()->getAnalysisExpGlobalInfo();
    QCOMPARE(exp.wells.size(), 2);
    QCOMPARE(exp.wells.at(0).wellId, 1u);
    QCOMPARE(exp.wells.at(0).imageNames,
             (QVector<QVector<QString>>{{"capture/eva.png", "", "capture/rox.png", "", "", ""}}));
    QCOMPARE(exp.wells.at(1).imageNames, (QVector<QVector<QString>>{{"", "", "capture/ref2.png", "", "", ""}}));
    QCOMPARE(exp.experiments.first().wellIds, (QList<quint32>{1, 2}));

    // Thresholds: EVA's 1500 replaces FAM's 1000 on channel index 0.
    const QVector<LineThresholdInfo> &t1 = m.classify()->getThldsByLine(1);
    QCOMPARE(t1.at(0).value, 1500u);
    QCOMPARE(t1.at(2).value, 5000u);
    QCOMPARE(t1.at(3).value, 0u);

    // Droplets: EVA's grey at index 0; the reference grey wins over ROX's entry at index 2.
    const WellImageAnalysisInfo &w1 = m.img()->getImgAnalysisInfo(1);
    QCOMPARE(w1.droplets.size(), 4);
    QCOMPARE(w1.droplets.at(0).grays, u32({2000, 0, 12000, 0, 0, 0}));
    QCOMPARE(w1.droplets.at(1).grays, u32({100, 0, 11000, 0, 0, 0}));
    QCOMPARE(w1.droplets.at(2).grays, u32({8000, 0, 13000, 0, 0, 0}));
    QCOMPARE(w1.droplets.at(3).grays, u32({0, 0, 0, 0, 0, 0}));
    QCOMPARE(w1.droplets.at(0).grayPairs.at(2), qMakePair(12000u, 0u));
    QCOMPARE(w1.droplets.at(0).grayPairs.at(0), qMakePair(2000u, 0u));
    QCOMPARE(w1.droplets.at(2).x, 30u);
    QCOMPARE(w1.droplets.at(2).y, 31u);
    QCOMPARE(w1.droplets.at(2).size, 32u);
    QCOMPARE(w1.droplets.at(0).values, u32({0, 0, 0, 0, 0, 0})); // the stored list is not carried

    // Zone codes over [0, 0, 2, 3] from the first entry of each channel (FAM, ROX), signed
    // comparison, equal counts as positive, channel 3 not measured (bit 3):
    // 999 < 1000, 6000 >= 5000 -> 0b1100; 1000 >= 1000, 4999 < 5000 -> 0b1011;
    // 5000, 5000 -> 0b1111; 0x80000000 is negative as signed -> 0b1100. Excluded ones count.
    QCOMPARE(zoneCount(m, 1, 12), 2u);
    QCOMPARE(zoneCount(m, 1, 11), 1u);
    QCOMPARE(zoneCount(m, 1, 15), 1u);
    QCOMPARE(zoneCount(m, 2, 15), 1u); // no entry: every bit set

    // Quality over the kept droplets 0..2 (3 is excluded, 7 does not exist).
    // Index 0, EVA, threshold 1500, greys 2000, 100, 8000: negatives {100}: mean 100, CV 0;
    // positives {2000, 8000}: mean 5000, sd 3000, CV 0.6; Rs = (5000 - 100) / 0.6;
    // rain band [100 + 0, 5000 - 3 * 3000] is empty: -1.
    const ChanAnalysisInfo &q0 = w1.chanInfos.at(0);
    QVERIFY(near(q0.posMean, 5000.0));
    QVERIFY(near(q0.posCv, 0.6));
    QVERIFY(near(q0.negMean, 100.0));
    QVERIFY(near(q0.negCv, 0.0));
    QVERIFY(near(q0.Rs, 8166.666666666667));
    QVERIFY(near(q0.rain, -1.0));
    QCOMPARE(q0.lineThld, 1500u);
    QCOMPARE(q0.compensatedLineThld, 0u);
    // Index 2, ROX, threshold 5000, on the reference greys 12000, 11000, 13000: all positive,
    // mean 12000, sd sqrt(2e6 / 3) = 816.4966, CV 0.0680414; no negatives: Rs = 12000 / CV.
    const ChanAnalysisInfo &q2 = w1.chanInfos.at(2);
    QVERIFY(near(q2.posMean, 12000.0));
    QVERIFY(near(q2.posCv, 0.06804138174397717));
    QVERIFY(near(q2.negMean, 0.0));
    QVERIFY(near(q2.Rs, 176363.2614803888));
    QVERIFY(near(q2.rain, -1.0));
    QCOMPARE(q2.lineThld, 5000u);
    QCOMPARE(w1.chanInfos.at(3), zeroInfo());
    // Reference figures: mean 12000 (as the integer field), CV 0.0680414.
    QCOMPARE(w1.roxChannel, 12000u);
    QVERIFY(near(w1.roxValue, 0.06804138174397717));
    QCOMPARE(w1.excludedDrplts, (QSet<quint32>{3, 7}));
    QCOMPARE(w1.valid, true);
    QCOMPARE(w1.saturatedDrpltNum, 0u);

    // Results: effective number 4. Both channel-0 populations use FAM's statistics; ROX's
    // stored 7 positives exceed 4, so no negatives; channel 3 is not measured.
    const WellResultInfo &r1 = m.results()->getWellResult(1);
    QCOMPARE(r1.effDrpltNum, 4u);
    QCOMPARE(r1.populationResults, (QVector<PopulationResultInfo>{population(1, 2, 2, 1.25), population(2, 2, 2, 1.25),
                                                                  population(3, 7, 0, 2.5), population(4, 0, 0, 0.0)}));
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(r1.chanResults.at(c).chanId, quint32(c + 1));
        QCOMPARE(r1.chanResults.at(c).chanType, quint16(85));
        QCOMPARE(r1.chanResults.at(c).refConcentration, 0.0);
    }

    // Well 2: nothing kept, no entry.
    const WellImageAnalysisInfo &w2 = m.img()->getImgAnalysisInfo(2);
    QCOMPARE(w2.valid, false);
    QCOMPARE(w2.roxChannel, 0u);
    QCOMPARE(w2.roxValue, 0.0);
    for (const ChanAnalysisInfo &c : w2.chanInfos)
        QCOMPARE(c, zeroInfo());
    QCOMPARE(w2.droplets.first().grays, u32({0, 0, 500, 0, 0, 0}));
    QCOMPARE(m.results()->getWellResult(2).populationResults.size(), 4);
    QCOMPARE(m.results()->getWellResult(2).populationResults.at(2), population(3, 0, 0, 0.0));

    // Images by their complete names.
    const QList<WellDrpltImgInfo<QImage>> &images = m.exp()->getWellDrpltImgInfos();
    QCOMPARE(images.size(), 2);
    QVERIFY(sameGrey16(images.at(0).images.at(0), rampImage(8, 4, 1, QImage::Format_Grayscale16)));
    QVERIFY(images.at(0).images.at(1).isNull());
    QVERIFY(sameGrey16(images.at(0).images.at(2), rampImage(8, 4, 2, QImage::Format_Grayscale8)));
    QCOMPARE(images.at(1).images.size(), 6);
    for (const QImage &img : images.at(1).images)
        QVERIFY(img.isNull());
}

// ---- Refusals --------------------------------------------------------------------------------

void TestExpzipReader::refused_data()
{
    QTest::addColumn<int>("mutation");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("target index at the end of the channels") << int(TargetIndexAtEnd) << false;
    QTest::newRow("target index 7") << int(TargetIndexSeven) << false;
    QTest::newRow("image names for two of three entries") << int(FewImageNames) << false;
    QTest::newRow("a droplet with two greys") << int(FewGreys) << false;
    QTest::newRow("statistics for two of three entries") << int(FewChanStats) << false;
    QTest::newRow("seven experiment channels") << int(ManyChannels) << false;
    QTest::newRow("other magic") << int(BadMagic) << false;
    QTest::newRow("magic followed by a letter") << int(TextAfterMagic) << false;
    QTest::newRow("100-byte run.exp") << int(ShortExperiment) << false;
    QTest::newRow("record cut short") << int(TruncatedRecord) << false;
    // Whatever follows the magic text's NUL is not looked at.
    QTest::newRow("magic, NUL, then anything") << int(TextAfterNul) << true;
}

void TestExpzipReader::refused()
{
    QFETCH(int, mutation);
    QFETCH(bool, accepted);
    QList<PkgWriter::Pcr1Well> wells = craftedWells();
    CraftOptions o;
    const QByteArray record = PkgWriter::exp1Record(craftedExperiment());
    switch (Mutation(mutation)) {
    case TargetIndexAtEnd:
        wells[0].chanEntries[1].targetIndex = 4;
        break;
    case TargetIndexSeven:
        wells[0].chanEntries[2].targetIndex = 7;
        break;
    case FewImageNames:
        wells[0].imageNames.removeLast();
        break;
    case FewGreys:
        wells[0].drplts[2].grays.removeLast();
        break;
    case FewChanStats:
        wells[0].chanStats.removeLast();
        break;
    case ManyChannels:
        o.manyChannels = true;
        break;
    case BadMagic:
        o.expEntry = PkgWriter::exp1MagicArea("PCRExperimenX") + record;
        break;
    case TextAfterMagic:
        o.expEntry = PkgWriter::exp1MagicArea("PCRExperimentX") + record;
        break;
    case ShortExperiment:
        o.expEntry = PkgWriter::exp1MagicArea().left(100);
        break;
    case TruncatedRecord:
        o.expEntry = PkgWriter::exp1MagicArea() + record.left(record.size() - 3);
        break;
    case TextAfterNul:
        o.expEntry = PkgWriter::exp1MagicArea("PCRExperiment", "\x01garbage after the NUL") + record;
        break;
    }
    const QString path = writeCrafted(m_dir, QStringLiteral("refused%1.expzip").arg(mutation),
                                      PkgWriter::pcr1Entry(wells), o);
    Managers m;
    AnalysisDataFileParser1 parser(path, &m.slot);
    if (accepted)
        QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
    QCOMPARE(parser.parse(), accepted);
    QCOMPARE(m.untouched(), !accepted);
    if (accepted)
        QCOMPARE(m.imageRecords(), wells.size());
}

void TestExpzipReader::withoutExperiment()
{
    CraftOptions o;
    o.withExp = false;
    // Channel entries then name no channel: refused.
    {
        Managers m;
        AnalysisDataFileParser1 parser(writeCrafted(m_dir, "noexp1.expzip", PkgWriter::pcr1Entry(craftedWells()), o),
                                       &m.slot);
        QVERIFY(!parser.parse());
        QVERIFY(m.untouched());
    }
    // Wells without entries read: one zone (mask 0) holding every droplet, no population.
    QList<PkgWriter::Pcr1Well> wells = craftedWells();
    wells.removeFirst();
    Managers m;
    AnalysisDataFileParser1 parser(writeCrafted(m_dir, "noexp2.expzip", PkgWriter::pcr1Entry(wells), o), &m.slot);
    QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
    QVERIFY(parser.parse());
    QCOMPARE(m.imageRecords(), wells.size());
    QVERIFY(parser.experimentChannels().isEmpty());
    QCOMPARE(m.classify()->getZones().size(), 1);
    QCOMPARE(m.classify()->getZones().first().code, 0u);
    QVERIFY(m.classify()->getPopulations().isEmpty());
    QCOMPARE(zoneCount(m, 1, 0), 1u);
    QVERIFY(m.results()->getWellResult(1).populationResults.isEmpty());
}

void TestExpzipReader::noWells()
{
    Managers m;
    AnalysisDataFileParser1 parser(writeCrafted(m_dir, "empty.expzip", PkgWriter::pcr1Entry({})), &m.slot);
    QVERIFY(parser.parse());
    QCOMPARE(m.data->getThldType(), LineThreshold);
    const AnalysisExpGlobalInfo &exp = m.exp()->getAnalysisExpGlobalInfo();
    QCOMPARE(exp.experiments.size(), 1);
    QCOMPARE(exp.experiments.first().id, 1u);
    QCOMPARE(exp.experiments.first().fileName, QStringLiteral("empty.expzip"));
    QVERIFY(exp.experiments.first().wellIds.isEmpty());
    QVERIFY(exp.wells.isEmpty());
    QVERIFY(m.consistent());
}

// ---- Damaged entries -------------------------------------------------------------------------

void TestExpzipReader::truncation()
{
    const QByteArray entry = PkgWriter::pcr1Entry(craftedWells());
    const QString path = writeCrafted(m_dir, "truncation.expzip", entry);
    QCOMPARE(acceptedCuts<AnalysisDataFileParser1>(path, entry), QList<int>());
    Managers m;
    AnalysisDataFileParser1 parser(path, &m.slot);
    QBuffer whole;
    whole.setData(entry);
    whole.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
    QVERIFY(parser.readHeader(&whole));
    QCOMPARE(m.imageRecords(), craftedWells().size());
}

void TestExpzipReader::bitFlips()
{
    const QByteArray entry = PkgWriter::pcr1Entry(craftedWells());
    const QString path = writeCrafted(m_dir, "flips.expzip", entry);
    int accepted = 0;
    QCOMPARE(brokenFlips<AnalysisDataFileParser1>(path, entry, 0, &accepted), QList<int>());
    QVERIFY(accepted > 0);
}

LUMARA_TEST_MAIN(TestExpzipReader)
#include "tst_expzipreader.moc"
