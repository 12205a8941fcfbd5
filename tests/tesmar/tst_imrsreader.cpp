// The .imrs run.pcr reader: generated runs of both layouts read into the managers as stored,
// a hand-made entry that exercises each rule of the conversion, refusals of data that break the
// stored limits, version bookkeeping, truncation and bit flips.
#include "io/analysisdatafileparser3.h"
#include "pkgwriter.h"
#include "runarchivetestsupport.h"
#include "testmain.h"

#include <QTemporaryDir>

using namespace LumaraAnalysisData;
using namespace RunArchiveTest;

namespace {

// ---- A hand-made archive --------------------------------------------------------------------
//
// Targets: T-FAM (dye 1, channel index 0), T-HEX (3, index 1), T-ROX (5, index 2), T-CY5 (6,
// index 3), T-NONE (dye 0: no channel), T-UNUSED (10, index 5, only in a well without sample).
// Used channels: FAM, HEX, CY5 -> [0, 1, 3]; eight zones, bit i for the i-th of them.
//
// List 4 lists wells 3, 1, 2. Lists 1 and 2 store some ids as 0 (numbered by position); list 2
// holds a second record of well 2 that is never used, and none for well 3.

PkgWriter::Exp3Record craftedExperiment(bool manyChannels = false)
{
    PkgWriter::Exp3Record r;
    r.name = QStringLiteral("Crafted");
    r.targets = {{"T-FAM", "", 1}, {"T-HEX", "", 3}, {"T-ROX", "", 5},
                 {"T-CY5", "", 6}, {"T-NONE", "", 0}, {"T-UNUSED", "", 10}};
    PkgWriter::Exp3Well w1;
    w1.targetNames = QStringList{"T-FAM", "T-HEX", "T-NONE"};
    w1.sampleName = QStringLiteral("S1");
    PkgWriter::Exp3Well w2;
    w2.targetNames = QStringList{"T-CY5"};
    w2.sampleName = QStringLiteral("S2");
    PkgWriter::Exp3Well w3;
    w3.targetNames = QStringList{"T-UNUSED"};
    r.wells = {w1, w2, w3};
    if (manyChannels) {
        // Four more targets on channels already in use: seven used channels.
        r.targets += QList<PkgWriter::TargetEntry>{{"T-EVA", "", 2}, {"T-VIC", "", 4}, {"T-Q670", "", 7}, {"T-CY55", "", 8}};
        r.wells[0].targetNames += QStringList{"T-EVA", "T-VIC", "T-Q670", "T-CY55"};
    }
    return r;
}

QVector<qint32> ints(std::initializer_list<qint32> v)
{
    return QVector<qint32>(v);
}

PkgWriter::Pcr3Droplet droplet(qint32 x, qint32 y, qint32 size, std::array<QVector<qint32>, 7> lists)
{
    PkgWriter::Pcr3Droplet d;
    d.x = x;
    d.y = y;
    d.size = size;
    d.lists = lists;
    return d;
}

QStringList six(std::initializer_list<QString> names)
{
    QStringList l(names);
    while (l.size() < 6)
        l.append(QString(""));
    return l;
}

PkgWriter::Pcr3Body craftedBody(int layout)
{
    PkgWriter::Pcr3Body b;
    PkgWriter::Pcr3ExpInfo e1;
    e1.wellId = 0; // well 1
    e1.refChannel = 2;
    e1.imageNameSets = {six({"", "W1_CH2_missing.png", "sub/dir/W1_CH3.png"})};
    PkgWriter::Pcr3ExpInfo e2;
    e2.wellId = 0; // well 2, its reference in channel index 4
    e2.refChannel = 4;
    if (layout == 0)
        e2.imageNameSets = {six({"", "", "", "W2_CH4.png"})};
    else
        e2.imageNameSets = {six({"", "", "", "a/W2_CH4_1.png", "W2_CH5_1.png"}), six({"", "", "", "W2_CH4_2.png"})};
    PkgWriter::Pcr3ExpInfo e3;
    e3.wellId = 0; // well 3: layout 3.0 no names, layout 3.1 three sets
    e3.refChannel = 2;
    if (layout == 1)
        e3.imageNameSets = {six({}), six({}), six({})};
    b.expInfos = {e1, e2, e3};

    PkgWriter::Pcr3DropletData d2;
    d2.wellId = 2;
    d2.valid = true;
    d2.sharpness = 1234.5;
    d2.counter = 7;
    d2.droplets = {droplet(7, 8, 9, {{{}, ints({41, 42, 43, 44, 45, 46}), ints({1, 2, 0, 4000, 5, 6}), {}, {}, {}, {}}})};
    d2.channelLists = {ints({1}), ints({2})};
    PkgWriter::Pcr3DropletData d2b; // stored id 0 at position 2: a second record of well 2
    d2b.wellId = 0;
    d2b.valid = false;
    d2b.sharpness = 1.0;
    d2b.counter = 1;
    d2b.droplets = {droplet(1, 1, 1, {{{}, ints({9, 9, 9, 9, 9, 9}), ints({9, 9, 9, 9, 9, 9}), {}, {}, {}, {}}})};
    PkgWriter::Pcr3DropletData d1;
    d1.wellId = 1;
    d1.valid = true;
    d1.sharpness = 2222.0;
    d1.counter = 3;
    d1.droplets = {
        droplet(10, 20, 30,
                {{{}, ints({11, 12, 13, 14, 15, 16}), ints({100, 2100, 0, 300, 400, 500}), {},
                  ints({150, 1900, 0, 350, 450, 550}), {}, {}}}),
        droplet(1, 2, 3,
                {{ints({9, 9, 9, 9, 9, 9}), ints({21, 22, 23, 24, 25, 26}), ints({1000, 1999, 7, 0, 0, 0}),
                  ints({0, 0, 0, 0, 0, 0}), {}, {}, ints({1, 0, 0, 0, 0, 2})}}),
        droplet(4, 5, 6,
                {{{}, ints({31, 32, 33, 34, 35, 36}), ints({5, 5, 5, 5, 5, 5}), ints({0, 3000, 0, 0, 0, 0}), {}, {}, {}}}),
    };
    d1.channelLists = {ints({7, 7}), {}};
    b.dropletData = {d2, d2b, d1};

    PkgWriter::Pcr3Classify c3;
    c3.wellId = 3;
    c3.roxValue = 333.0;
    c3.roxChannel = 2;
    for (int c = 0; c < 6; ++c) {
        c3.pairs.append(PkgWriter::Pcr3PairEntry());
        c3.figures.append(PkgWriter::QualityFigures{});
    }
    PkgWriter::Pcr3Classify c2 = c3;
    c2.wellId = 2;
    c2.roxValue = 11000.0;
    c2.roxChannel = 4;
    c2.pairs[3].first = ints({3500, 1});
    c2.pairs[3].second = ints({9});
    c2.figures[3] = {1, 2, 3, 4, 5, 6};
    PkgWriter::Pcr3Classify c1 = c3;
    c1.wellId = 1;
    c1.roxValue = 12000.5;
    c1.roxChannel = 2;
    c1.excluded = {1, 1, 2};
    c1.pairs[0].first = ints({1000});
    c1.pairs[1].first = ints({2000, 5});
    c1.figures[0] = {10, 0.1, 5, 0.2, 3.3, 0.4};
    c1.figures[1] = {20, 0.3, 6, 0.4, 4.4, 0.5};
    b.classifications = {c3, c2, c1};

    PkgWriter::Pcr3WellResult r3;
    r3.wellId = 3;
    r3.first = QStringLiteral("1C");
    PkgWriter::Pcr3WellResult r1;
    r1.wellId = 1;
    r1.effDrpltNum = 30;
    r1.results = {{"T-FAM", 0.33, 10, 20, 1.5, 1.0, 2.0, 0.1, true},
                  {"T-HEX", 0.17, 5, 25, 0.7, 0.5, 0.9, 0.2, true},
                  {"T-NONE", 0.9, 99, 1, 9.0, 8.0, 10.0, 0.9, true}};
    PkgWriter::Pcr3WellResult r2;
    r2.wellId = 2;
    r2.effDrpltNum = 40;
    r2.results = {{"T-CY5", 0.3, 12, 28, 2.5, 2.0, 3.0, 0.3, false}};
    b.results = {r3, r1, r2};
    return b;
}

struct CraftOptions {
    bool matrix = true;
    bool withExp = true;
    bool withCmtx = true;
    bool manyChannels = false;
    QString password;
};

// The crafted archive with `pcr` as its run.pcr entry.
QString writeCrafted(const QTemporaryDir &dir, const QString &name, const QByteArray &pcr, int layout,
                     const CraftOptions &o = CraftOptions())
{
    const QString path = dir.filePath(name);
    PkgWriter::ArchiveWriter zip;
    bool ok = zip.create(path);
    if (!o.password.isEmpty())
        ok = ok && zip.add("password", PkgWriter::passwordEntry(o.password));
    if (o.withExp)
        ok = ok && zip.add("run.exp", PkgWriter::exp3Entry(craftedExperiment(o.manyChannels), 1), o.password);
    if (o.withCmtx)
        ok = ok && zip.add("run.cmtx",
                           PkgWriter::cmtxEntry(o.matrix ? PkgWriter::matrixBytes(PkgWriter::MatrixImage::identity())
                                                         : QByteArray()),
                           o.password);
    ok = ok && zip.add("run.pcr", pcr, o.password);
    if (layout == 0) {
        ok = ok && zip.add("capture/W1_CH3.png", pngBytes(rampImage(8, 4, 1, QImage::Format_Grayscale16)), o.password);
        ok = ok && zip.add("capture/W2_CH4.png", pngBytes(rampImage(8, 4, 2, QImage::Format_Grayscale16)), o.password);
    } else {
        ok = ok && zip.add("capture/W1_CH3.png", pngBytes(rampImage(8, 4, 1, QImage::Format_Grayscale16)), o.password);
        ok = ok && zip.add("capture/W2_CH4_1.png", pngBytes(rampImage(8, 4, 3, QImage::Format_Grayscale8)), o.password);
        ok = ok && zip.add("capture/W2_CH4_2.png", pngBytes(rampImage(8, 4, 4, QImage::Format_Grayscale8)), o.password);
        ok = ok && zip.add("capture/W2_CH5_1.png", pngBytes(rampImage(8, 4, 5, QImage::Format_Grayscale8)), o.password);
    }
    ok = ok && zip.close();
    return ok ? path : QString();
}

ChanAnalysisInfo figures(std::array<double, 6> f, quint32 line)
{
    ChanAnalysisInfo c;
    c.posMean = f[0];
    c.posCv = f[1];
    c.negMean = f[2];
    c.negCv = f[3];
    c.Rs = f[4];
    c.rain = f[5];
    c.lineThld = line;
    c.compensatedLineThld = line;
    return c;
}

DrpltInfo drop(quint32 x, quint32 y, quint32 size, QVector<quint32> flags, QVector<quint32> values,
               QVector<QPair<quint32, quint32>> pairs, QVector<quint32> grays)
{
    DrpltInfo d;
    d.x = x;
    d.y = y;
    d.size = size;
    d.flags = flags;
    d.values = values;
    d.grayPairs = pairs;
    d.grays = grays;
    return d;
}

PopulationResultInfo population(quint32 id, quint32 pos, quint32 neg, double c, double lo, double up, double u)
{
    PopulationResultInfo p;
    p.populationId = id;
    p.dilution = 1.0;
    p.posDrpltNum = pos;
    p.negDrpltNum = neg;
    p.concentration = c;
    p.concentrationLower = lo;
    p.concentrationUpper = up;
    p.uncertainty = u;
    return p;
}

QList<quint32> ids(const QList<WellItemInfo> &wells)
{
    QList<quint32> out;
    for (const WellItemInfo &w : wells)
        out.append(w.wellId);
    return out;
}

enum Mutation {
    RefSeven,
    RefNegative,
    UnknownTarget,
    ShortSecondList,
    ShortChosenFourthList,
    ShortThirdList,
    PairsLackChannel,
    FiguresLackChannel,
    NoClassification,
    ShortImageSet,
    DuplicateWell,
    NoExpInfo,
    ManyChannels,
};

} // namespace

class TestImrsReader : public QObject {
    Q_OBJECT

private slots:
    void generated_data();
    void generated();
    void crafted_data();
    void crafted();
    void refused_data();
    void refused();
    void versions_data();
    void versions();
    void missingEntries();
    void truncation();
    void bitFlips();

private:
    QTemporaryDir m_dir;
};

// ---- Generated runs --------------------------------------------------------------------------

void TestImrsReader::generated_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("sets");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<bool>("zeroIds");
    QTest::addColumn<bool>("fullLists");
    QTest::addColumn<QString>("folder");

    QTest::newRow("3.0") << 0 << 1 << "" << true << false << false << "";
    QTest::newRow("3.0, password, no matrix, ids 0") << 0 << 1 << "geheim" << false << true << false << "run/images/";
    QTest::newRow("3.1, every list") << 1 << 1 << "" << false << false << true << "";
    QTest::newRow("3.1, two sets, ids 0") << 1 << 2 << "" << true << true << false << "";
    QTest::newRow("3.1, two sets, password") << 1 << 2 << "s3cr3t" << false << false << false << "x/";
}

void TestImrsReader::generated()
{
    QFETCH(int, layout);
    QFETCH(int, sets);
    QFETCH(QString, password);
    QFETCH(bool, matrix);
    QFETCH(bool, zeroIds);
    QFETCH(bool, fullLists);
    QFETCH(QString, folder);

    MkPackage::GeneratorOptions o;
    o.wells = 3;
    o.width = 192;
    o.height = 160;
    o.pcrVersion = layout;
    o.imageSets = sets;
    o.password = password;
    o.matrix = matrix;
    o.crosstalk = 0.08; // compensated greys differ from the measured ones
    o.zeroWellIds = zeroIds;
    o.fullDropletLists = fullLists;
    o.imageFolder = folder;
    o.wellTargets.insert(1, {"Target-FAM"}); // well 2 measures one of the three used channels
    o.seed = 7 + quint64(layout * 10 + sets);
    o.storedDroplets = MkPackage::StoredDroplets::Drawn; // too small for the recognition
    const QString path = m_dir.filePath(QStringLiteral("gen_%1.imrs").arg(QTest::currentDataTag()).replace(' ', '_').replace(',', '_'));
    Run run;
    QString error;
    QVERIFY2(generateRun(o, path, {0, 3}, &run, &error), qPrintable(error));

    Managers m;
    AnalysisDataFileParser3 parser(path, &m.slot);
    QCOMPARE(parser.getPassword(), password);
    QVERIFY(parser.parse());
    QCOMPARE(parser.version(), layout + 1);
    QCOMPARE(parser.matrixStored(), matrix);
    QCOMPARE(m.data->getThldType(), LineThreshold);

    const QList<int> zoneChannels = run.truth.zoneChannels; // [0, 1, 3]
    QCOMPARE(zoneChannels, (QList<int>{0, 1, 3}));
    QCOMPARE(m.classify()->getZones().size(), 8);
    QCOMPARE(m.classify()->getPopulations().size(), 3);

    const AnalysisExpGlobalInfo &exp = m.exp()->getAnalysisExpGlobalInfo();
    QCOMPARE(exp.experiments.size(), 1);
    QCOMPARE(exp.experiments.first().id, 1u);
    QCOMPARE(exp.experiments.first().fileName, QFileInfo(path).fileName());
    QCOMPARE(exp.experiments.first().wellIds, (QList<quint32>{1, 2, 3}));
    QCOMPARE(ids(exp.wells), (QList<quint32>{1, 2, 3}));
    QVERIFY(m.consistent());

    for (int i = 0; i < run.wells.size(); ++i) {
        const MkPackage::WellPlan &plan = run.wells.at(i);
        const MkPackage::ComposedWell &cw = run.composed.at(i);
        const MkPackage::WellTruth &truth = run.truth.wells.at(i);
        const quint32 id = quint32(i + 1);
        QCOMPARE(truth.id, id);

        // The well's targets by channel.
        bool measured[6] = {};
        for (const MkPackage::ChannelTruth &ch : truth.channels)
            measured[ch.channel] = true;

        // Well record: the stored names as they stand.
        const WellItemInfo &item = exp.wells.at(i);
        QCOMPARE(item.refChanId, 3u);
        QCOMPARE(item.expId, 1u);
        QCOMPARE(item.imageNames.size(), layout == 0 ? 1 : sets);
        for (int s = 0; s < item.imageNames.size(); ++s)
            QCOMPARE(QStringList(item.imageNames.at(s).toList()), cw.expInfo.imageNameSets.at(s));

        // Thresholds and channel figures as stored, zone counts as the truth has them.
        const QVector<LineThresholdInfo> &thlds = m.classify()->getThldsByLine(id);
        const WellImageAnalysisInfo &ia = m.img()->getImgAnalysisInfo(id);
        QCOMPARE(thlds.size(), 6);
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(thlds.at(c).id, quint32(c + 1));
            if (!measured[c]) {
                QCOMPARE(thlds.at(c).value, 0u);
                QCOMPARE(ia.chanInfos.at(c), ChanAnalysisInfo());
            }
        }
        for (const MkPackage::ChannelTruth &ch : truth.channels) {
            QCOMPARE(thlds.at(ch.channel).value, ch.threshold);
            QCOMPARE(ia.chanInfos.at(ch.channel), figures(ch.quality, ch.threshold));
        }
        quint32 counted = 0;
        for (const auto &z : truth.zones) {
            QCOMPARE(zoneCount(m, id, z.first), quint32(z.second));
            counted += quint32(z.second);
        }
        QCOMPARE(counted, quint32(plan.droplets.size()));

        // Image analysis: droplets with the list the matrix flag picks.
        QCOMPARE(ia.valid, true);
        QCOMPARE(ia.sharpness, plan.sharpness);
        QCOMPARE(ia.saturatedDrpltNum, quint32(cw.dropletData.counter));
        QCOMPARE(ia.roxChannel, 2u);
        QCOMPARE(ia.roxValue, truth.referenceMean);
        QCOMPARE(ia.excludedDrplts, (QSet<quint32>{0, 3}));
        QCOMPARE(ia.droplets.size(), int(plan.droplets.size()));
        for (int k = 0; k < ia.droplets.size(); ++k) {
            const MkPackage::DropletPlan &ds = plan.droplets.at(size_t(k));
            const QVector<qint32> &compensated = cw.dropletData.droplets.at(k).lists[4];
            const QVector<qint32> &flags = cw.dropletData.droplets.at(k).lists[6];
            const DrpltInfo &d = ia.droplets.at(k);
            QCOMPARE(d.x, quint32(std::lround(ds.x)));
            QCOMPARE(d.y, quint32(std::lround(ds.y)));
            QCOMPARE(d.size, quint32(cw.dropletData.droplets.at(k).size));
            QCOMPARE(d.flags.size(), 6);
            for (int c = 0; c < 6; ++c) {
                QCOMPARE(d.flags.at(c), flags.isEmpty() ? 0u : quint32(flags.at(c)));
                QCOMPARE(d.values.at(c), ds.grey[size_t(c)]);
                const bool kept = measured[c] || c == 2;
                const quint32 comp = matrix ? quint32(compensated.at(c)) : ds.grey[size_t(c)];
                QCOMPARE(d.grayPairs.at(c), kept ? qMakePair(ds.grey[size_t(c)], comp) : qMakePair(0u, 0u));
                QCOMPARE(d.grays.at(c), kept ? comp : 0u);
            }
        }

        // Results: one population per used channel, figures of the well's own targets.
        const WellResultInfo &result = m.results()->getWellResult(id);
        QCOMPARE(result.effDrpltNum, quint32(plan.droplets.size() - 2));
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(result.chanResults.at(c).chanId, quint32(c + 1));
            QCOMPARE(result.chanResults.at(c).chanType, quint16('U'));
            QCOMPARE(result.chanResults.at(c).dilution, 1.0);
        }
        QCOMPARE(result.populationResults.size(), 3);
        for (int k = 0; k < 3; ++k) {
            PopulationResultInfo expected = population(quint32(k + 1), 0, 0, 0, 0, 0, 0);
            for (const MkPackage::ChannelTruth &ch : truth.channels)
                if (ch.channel == zoneChannels.at(k))
                    expected = population(quint32(k + 1), quint32(ch.storedPositives),
                                          quint32(ch.total - ch.storedPositives), ch.concentration.concentration,
                                          ch.concentration.lower, ch.concentration.upper,
                                          ch.concentration.uncertainty);
            QCOMPARE(result.populationResults.at(k), expected);
        }

        // Images: decoded as rendered, or stacked from their two 8-bit halves.
        const WellDrpltImgInfo<QImage> &images = m.exp()->getWellImg(id);
        QCOMPARE(images.wellId, id);
        QCOMPARE(images.refChanId, 3u);
        QCOMPARE(images.images.size(), 6);
        for (int c = 0; c < 6; ++c) {
            const QImage &img = images.images.at(c);
            if (plan.images[size_t(c)].isNull()) {
                QVERIFY(img.isNull());
            } else if (sets == 1) {
                QVERIFY2(sameGrey16(img, plan.images[size_t(c)]), qPrintable(QString::number(c)));
            } else {
                QVERIFY2(isUpperByteOf(img, plan.images[size_t(c)]), qPrintable(QString::number(c)));
            }
        }
    }
}

// ---- The crafted entry -----------------------------------------------------------------------

void TestImrsReader::crafted_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("matrix");
    QTest::newRow("3.0 matrix") << 0 << true;
    QTest::newRow("3.0 no matrix") << 0 << false;
    QTest::newRow("3.1 matrix") << 1 << true;
    QTest::newRow("3.1 no matrix") << 1 << false;
}

void TestImrsReader::crafted()
{
    QFETCH(int, layout);
    QFETCH(bool, matrix);
    CraftOptions o;
    o.matrix = matrix;
    o.password = layout == 1 ? QStringLiteral("pw") : QString();
    const QString path = writeCrafted(m_dir, QStringLiteral("crafted%1%2.imrs").arg(layout).arg(matrix),
                                      PkgWriter::pcr3Entry(craftedBody(layout), layout), layout, o);
    QVERIFY(!path.isEmpty());

    Managers m;
    AnalysisDataFileParser3 parser(path, &m.slot);
    // The one image name without an entry in the archive.
    QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
    QVERIFY(parser.parse());
    QVERIFY(m.imageRecords() > 0); // decoded, the missing image told of
    QCOMPARE(parser.usedChannels(), (QList<int>{0, 1, 3}));

    // Wells are list 4's records, in its order; the experiment names them.
    const AnalysisExpGlobalInfo &exp = m.exp()->getAnalysisExpGlobalInfo();
    QCOMPARE(ids(exp.wells), (QList<quint32>{3, 1, 2}));
    QCOMPARE(exp.experiments.size(), 1);
    QCOMPARE(exp.experiments.first().fileName, QFileInfo(path).fileName());
    QCOMPARE(exp.experiments.first().wellIds, (QList<quint32>{3, 1, 2}));
    QCOMPARE(exp.wells.at(0).refChanId, 3u);
    QCOMPARE(exp.wells.at(1).refChanId, 3u);
    QCOMPARE(exp.wells.at(2).refChanId, 5u); // its own reference, index 4
    QCOMPARE(exp.wells.at(1).imageNames.first().at(2), QStringLiteral("sub/dir/W1_CH3.png"));
    QVERIFY(m.consistent());

    // Zones over [0, 1, 3]; one population each.
    QCOMPARE(m.classify()->getZones().size(), 8);
    QCOMPARE(m.classify()->getPopulations().size(), 3);

    // Thresholds: the first value of each measured channel's first list.
    auto lineThlds = [](std::initializer_list<quint32> v) {
        QVector<LineThresholdInfo> t;
        int c = 0;
        for (quint32 x : v)
            t.append(LineThresholdInfo{quint32(++c), x});
        return t;
    };
    QCOMPARE(m.classify()->getThldsByLine(1), lineThlds({1000, 2000, 0, 0, 0, 0}));
    QCOMPARE(m.classify()->getThldsByLine(2), lineThlds({0, 0, 0, 3500, 0, 0}));
    QCOMPARE(m.classify()->getThldsByLine(3), lineThlds({0, 0, 0, 0, 0, 0}));

    // Well 1 (reference index 2, the entry's too). Droplet 1 takes the fifth list as list 4 and
    // the third as list 3 (fourth empty); its zero reference greys come from the second list.
    // Droplet 2: fourth and fifth lists zero or empty, so lists 3 and 4 are its third list.
    // Droplet 3: the fourth list (not all zero) is list 3, its zero reference from list 2.
    const WellImageAnalysisInfo &w1 = m.img()->getImgAnalysisInfo(1);
    const QVector<quint32> z6 = u32({0, 0, 0, 0, 0, 0});
    using P = QPair<quint32, quint32>;
    const P z(0, 0);
    QVector<DrpltInfo> expected1 = {
        drop(10, 20, 30, z6, u32({11, 12, 13, 14, 15, 16}), {P(100, 150), P(2100, 1900), P(13, 13), z, z, z},
             matrix ? u32({150, 1900, 13, 0, 0, 0}) : u32({100, 2100, 13, 0, 0, 0})),
        drop(1, 2, 3, u32({1, 0, 0, 0, 0, 2}), u32({21, 22, 23, 24, 25, 26}), {P(1000, 1000), P(1999, 1999), P(7, 7), z, z, z},
             u32({1000, 1999, 7, 0, 0, 0})),
        drop(4, 5, 6, z6, u32({31, 32, 33, 34, 35, 36}), {P(0, 0), P(3000, 3000), P(33, 33), z, z, z},
             u32({0, 3000, 33, 0, 0, 0})),
    };
    QCOMPARE(w1.droplets.size(), 3);
    for (int k = 0; k < 3; ++k)
        QVERIFY2(w1.droplets.at(k) == expected1.at(k), qPrintable(QString::number(k)));
    QCOMPARE(w1.valid, true);
    QCOMPARE(w1.sharpness, 2222.0);
    QCOMPARE(w1.saturatedDrpltNum, 3u);
    QCOMPARE(w1.roxChannel, 2u);
    QCOMPARE(w1.roxValue, 12000.5);
    QCOMPARE(w1.excludedDrplts, (QSet<quint32>{1, 2}));
    QCOMPARE(w1.chanInfos.at(0), figures({10, 0.1, 5, 0.2, 3.3, 0.4}, 1000));
    QCOMPARE(w1.chanInfos.at(1), figures({20, 0.3, 6, 0.4, 4.4, 0.5}, 2000));
    for (int c = 2; c < 6; ++c)
        QCOMPARE(w1.chanInfos.at(c), ChanAnalysisInfo());
    // Masks over [0, 1, 3]; channel 3 is not measured in well 1, so bit 2 is always set.
    // Matrix: 150 < 1000, 1900 < 2000 -> 0b100; 1000 >= 1000, 1999 < 2000 -> 0b101; 0, 3000 -> 0b110.
    // No matrix: droplet 1 has 100, 2100 -> 0b110.
    QCOMPARE(zoneCount(m, 1, 4), matrix ? 1u : 0u);
    QCOMPARE(zoneCount(m, 1, 5), 1u);
    QCOMPARE(zoneCount(m, 1, 6), matrix ? 1u : 2u);

    // Well 2: its first list-2 record (the one numbered by position is never used). Its own
    // reference (index 4) supplies the reference grey, written at the entry's index 2 as a pair.
    const WellImageAnalysisInfo &w2 = m.img()->getImgAnalysisInfo(2);
    QCOMPARE(w2.droplets.size(), 1);
    QVERIFY(w2.droplets.first() == drop(7, 8, 9, z6, u32({41, 42, 43, 44, 45, 46}),
                                        {z, z, P(5, 5), P(4000, 4000), z, z}, u32({0, 0, 0, 4000, 5, 0})));
    QCOMPARE(w2.sharpness, 1234.5);
    QCOMPARE(w2.saturatedDrpltNum, 7u);
    QCOMPARE(w2.roxChannel, 4u);
    QCOMPARE(w2.roxValue, 11000.0);
    QCOMPARE(w2.chanInfos.at(3), figures({1, 2, 3, 4, 5, 6}, 3500));
    // Channels 0 and 1 not measured: bits set; 4000 >= 3500.
    QCOMPARE(zoneCount(m, 2, 7), 1u);

    // Well 3: no list-2 record, no target results.
    const WellImageAnalysisInfo &w3 = m.img()->getImgAnalysisInfo(3);
    QVERIFY(w3.droplets.isEmpty());
    QCOMPARE(w3.valid, false);
    QCOMPARE(w3.roxValue, 333.0);
    for (const ZoneDrpltNumInfo &n : m.classify()->getWellDrpltNumOfZonesByLine(3))
        QCOMPARE(n.drpltNum, 0u);

    // Results: populations by used channel; T-NONE has no channel and adds nothing.
    const WellResultInfo &r1 = m.results()->getWellResult(1);
    QCOMPARE(r1.effDrpltNum, 30u);
    QCOMPARE(r1.populationResults, (QVector<PopulationResultInfo>{population(1, 10, 20, 1.5, 1.0, 2.0, 0.1),
                                                                  population(2, 5, 25, 0.7, 0.5, 0.9, 0.2),
                                                                  population(3, 0, 0, 0, 0, 0, 0)}));
    QCOMPARE(m.results()->getWellResult(2).populationResults,
             (QVector<PopulationResultInfo>{population(1, 0, 0, 0, 0, 0, 0), population(2, 0, 0, 0, 0, 0, 0),
                                            population(3, 12, 28, 2.5, 2.0, 3.0, 0.3)}));
    QCOMPARE(m.results()->getWellResult(3).effDrpltNum, 0u);
    QCOMPARE(m.results()->getWellResult(3).populationResults.size(), 3);

    // Images, one record per well in well order.
    const QList<WellDrpltImgInfo<QImage>> &images = m.exp()->getWellDrpltImgInfos();
    QCOMPARE(images.size(), 3);
    QCOMPARE(images.at(0).wellId, 3u);
    QVERIFY(images.at(0).images.isEmpty()); // no names (3.0) or three sets (3.1)
    const QVector<QImage> &i1 = images.at(1).images;
    QCOMPARE(i1.size(), 6);
    QVERIFY(i1.at(0).isNull());
    QVERIFY(i1.at(1).isNull()); // named, but not in the archive
    QVERIFY(sameGrey16(i1.at(2), rampImage(8, 4, 1, QImage::Format_Grayscale16)));
    const QVector<QImage> &i2 = images.at(2).images;
    QCOMPARE(i2.size(), 6);
    QCOMPARE(images.at(2).refChanId, 5u);
    if (layout == 0) {
        QVERIFY(sameGrey16(i2.at(3), rampImage(8, 4, 2, QImage::Format_Grayscale16)));
    } else {
        // Twice the first half's height: its rows, then the second half's.
        const QImage &s = i2.at(3);
        QCOMPARE(s.format(), QImage::Format_Grayscale8);
        QCOMPARE(s.size(), QSize(8, 8));
        const QImage top = rampImage(8, 4, 3, QImage::Format_Grayscale8);
        const QImage bottom = rampImage(8, 4, 4, QImage::Format_Grayscale8);
        for (int y = 0; y < 8; ++y)
            QVERIFY(memcmp(s.constScanLine(y), (y < 4 ? top : bottom).constScanLine(y % 4), 8) == 0);
        QVERIFY(i2.at(4).isNull()); // only its top half is named
    }
    for (int c : {0, 1, 2, 5})
        QVERIFY(i2.at(c).isNull());
}

// ---- Refusals --------------------------------------------------------------------------------

void TestImrsReader::refused_data()
{
    QTest::addColumn<int>("mutation");
    QTest::newRow("reference channel 7") << int(RefSeven);
    QTest::newRow("reference channel -1") << int(RefNegative);
    QTest::newRow("target result naming no target") << int(UnknownTarget);
    QTest::newRow("second list of five") << int(ShortSecondList);
    QTest::newRow("chosen fourth list of three") << int(ShortChosenFourthList);
    QTest::newRow("third list of three") << int(ShortThirdList);
    QTest::newRow("pairs without a measured channel") << int(PairsLackChannel);
    QTest::newRow("figures without a measured channel") << int(FiguresLackChannel);
    QTest::newRow("no classification for a measuring well") << int(NoClassification);
    QTest::newRow("second image set of five") << int(ShortImageSet);
    QTest::newRow("well listed twice") << int(DuplicateWell);
    QTest::newRow("no image-name records") << int(NoExpInfo);
    QTest::newRow("seven used channels") << int(ManyChannels);
}

void TestImrsReader::refused()
{
    QFETCH(int, mutation);
    PkgWriter::Pcr3Body b = craftedBody(1);
    CraftOptions o;
    switch (Mutation(mutation)) {
    case RefSeven:
        b.expInfos[1].refChannel = 7;
        break;
    case RefNegative:
        b.expInfos[0].refChannel = -1;
        break;
    case UnknownTarget:
        b.results[1].results[0].targetName = QStringLiteral("T-MISSING");
        break;
    case ShortSecondList:
        b.dropletData[2].droplets[0].lists[1] = ints({11, 12, 13, 14, 15});
        break;
    case ShortChosenFourthList:
        b.dropletData[2].droplets[2].lists[3] = ints({0, 3000, 0});
        break;
    case ShortThirdList:
        b.dropletData[0].droplets[0].lists[2] = ints({1, 2, 0});
        break;
    case PairsLackChannel:
        b.classifications[1].pairs = b.classifications[1].pairs.mid(0, 3);
        break;
    case FiguresLackChannel:
        b.classifications[1].figures = b.classifications[1].figures.mid(0, 3);
        break;
    case NoClassification:
        b.classifications[2].wellId = 9;
        break;
    case ShortImageSet:
        b.expInfos[1].imageNameSets[1].removeLast();
        break;
    case DuplicateWell:
        b.results[2].wellId = 1;
        break;
    case NoExpInfo:
        b.expInfos.clear();
        break;
    case ManyChannels:
        o.manyChannels = true;
        break;
    }
    const QString path = writeCrafted(m_dir, QStringLiteral("refused%1.imrs").arg(mutation),
                                      PkgWriter::pcr3Entry(b, 1), 1, o);
    Managers m;
    AnalysisDataFileParser3 parser(path, &m.slot);
    QVERIFY(!parser.parse());
    QVERIFY(m.untouched());
}

// ---- Versions --------------------------------------------------------------------------------

void TestImrsReader::versions_data()
{
    QTest::addColumn<int>("fileType");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("kept");
    QTest::newRow("version 0 kept as 1") << 2 << 0 << true << 1;
    QTest::newRow("version 1 kept as 2") << 2 << 1 << true << 2;
    QTest::newRow("version 2") << 2 << 2 << false << 0;
    QTest::newRow("version -1") << 2 << -1 << false << 0;
    QTest::newRow("file type 1") << 1 << 1 << false << 0;
}

void TestImrsReader::versions()
{
    QFETCH(int, fileType);
    QFETCH(int, version);
    QFETCH(bool, accepted);
    QFETCH(int, kept);
    const int layout = version == 0 ? 0 : 1;
    const QString path = writeCrafted(m_dir, QStringLiteral("version%1_%2.imrs").arg(fileType).arg(version),
                                      PkgWriter::pcr3Entry(craftedBody(layout), version, fileType), layout);
    Managers m;
    AnalysisDataFileParser3 parser(path, &m.slot);
    if (fileType == 2)
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("fileHeader.version = %1").arg(version)));
    if (accepted)
        QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
    QCOMPARE(parser.parse(), accepted);
    if (accepted)
        QVERIFY(m.imageRecords() > 0); // decoded, the missing image told of
    QCOMPARE(parser.version(), kept);
    QCOMPARE(m.untouched(), !accepted);
    if (!accepted)
        return;

    // A save right after the read writes the kept number.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(parser.write(&out));
    QDataStream ds(out.data());
    EntryHeader header;
    QVERIFY(header.read(ds));
    QCOMPARE(header.fileType, 2);
    QCOMPARE(header.version, kept);
}

// ---- Entries the reader takes besides run.pcr ------------------------------------------------

void TestImrsReader::missingEntries()
{
    // Without run.cmtx the droplets are classified by list 3.
    CraftOptions noCmtx;
    noCmtx.withCmtx = false;
    const QByteArray entry = PkgWriter::pcr3Entry(craftedBody(0), 0);
    {
        Managers m;
        AnalysisDataFileParser3 parser(writeCrafted(m_dir, "nocmtx.imrs", entry, 0, noCmtx), &m.slot);
        QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
        QVERIFY(parser.parse());
        QVERIFY(m.imageRecords() > 0);
        QVERIFY(!parser.matrixStored());
        QCOMPARE(zoneCount(m, 1, 6), 2u);
        QCOMPARE(m.img()->getImgAnalysisInfo(1).droplets.first().grays, u32({100, 2100, 13, 0, 0, 0}));
    }

    // Without run.exp no channel is used and no target is known: target results are refused...
    CraftOptions noExp;
    noExp.withExp = false;
    {
        Managers m;
        AnalysisDataFileParser3 parser(writeCrafted(m_dir, "noexp1.imrs", entry, 0, noExp), &m.slot);
        QVERIFY(!parser.parse());
        QVERIFY(parser.usedChannels().isEmpty());
        QVERIFY(m.untouched());
    }
    // ...wells without them read, with one zone (mask 0) and no population.
    PkgWriter::Pcr3Body b = craftedBody(0);
    for (PkgWriter::Pcr3WellResult &r : b.results)
        r.results.clear();
    {
        Managers m;
        AnalysisDataFileParser3 parser(writeCrafted(m_dir, "noexp2.imrs", PkgWriter::pcr3Entry(b, 0), 0, noExp),
                                       &m.slot);
        QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
        QVERIFY(parser.parse());
        QVERIFY(m.imageRecords() > 0);
        QCOMPARE(m.classify()->getZones().size(), 1);
        QCOMPARE(m.classify()->getZones().first().code, 0u);
        QVERIFY(m.classify()->getPopulations().isEmpty());
        QCOMPARE(m.classify()->getWellDrpltNumOfZonesByLine(1).first().drpltNum, 3u);
        QVERIFY(m.results()->getWellResult(1).populationResults.isEmpty());
        // No channel of the well: only the reference grey is kept.
        QCOMPARE(m.img()->getImgAnalysisInfo(1).droplets.first().grays, u32({0, 0, 13, 0, 0, 0}));
    }
}

// ---- Damaged entries -------------------------------------------------------------------------

void TestImrsReader::truncation()
{
    const QByteArray entry = PkgWriter::pcr3Entry(craftedBody(1), 1);
    const QString path = writeCrafted(m_dir, "truncation.imrs", entry, 1);
    QCOMPARE(acceptedCuts<AnalysisDataFileParser3>(path, entry), QList<int>());
    Managers m;
    AnalysisDataFileParser3 parser(path, &m.slot);
    QBuffer whole;
    whole.setData(entry);
    whole.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtDebugMsg, "Cannot Open image");
    QVERIFY(parser.readHeader(&whole));
    // The images decode on the pool: the missing one is told of before the test ends.
    QVERIFY(m.imageRecords() > 0);
}

void TestImrsReader::bitFlips()
{
    const QByteArray entry = PkgWriter::pcr3Entry(craftedBody(1), 1);
    const QString path = writeCrafted(m_dir, "flips.imrs", entry, 1);
    int accepted = 0;
    QCOMPARE(brokenFlips<AnalysisDataFileParser3>(path, entry, PkgWriter::entryHeader(2, 1).size(), &accepted),
             QList<int>());
    QVERIFY(accepted > 0); // most flips hit values, which read as other values
}

LUMARA_TEST_MAIN(TestImrsReader)
#include "tst_imrsreader.moc"
