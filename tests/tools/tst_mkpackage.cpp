// The run-archive generator: its statistics and geometry pieces against numbers worked out by
// hand, the composition of hand-made wells into stored records, the written archives (entries,
// passwords, repeatability, refusals) and the ground truth beside them. The experiment entry is
// read back with the document library's reader as an independent check of the grid layout.
#include "compose.h"
#include "io/compensationmatrixfileparser.h"
#include "io/devparasfileparser.h"
#include "io/experimentcfgfileparser.h"
#include "io/filelogpaser.h"
#include "model/compensationmatrixmgr.h"
#include "model/devparasmgr.h"
#include "model/experimentcfgmgr.h"
#include "model/filelogmgr.h"
#include "testmain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <quazip.h>
#include <quazipfile.h>

using namespace MkPackage;

namespace {

using Greys = std::array<quint32, ChannelCount>;

DropletPlan droplet(double x, quint32 fam, quint32 cy5, bool famPos, bool cy5Pos)
{
    DropletPlan d;
    d.x = x;
    d.y = 3.0;
    d.radius = 1.2;
    d.grey = {fam, 0, 12000, cy5, 0, 0};
    d.positive[0] = famPos;
    d.positive[3] = cy5Pos;
    return d;
}

QImage ramp16(int w, int h, int base)
{
    QImage img(w, h, QImage::Format_Grayscale16);
    for (int y = 0; y < h; ++y) {
        quint16 *line = reinterpret_cast<quint16 *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = quint16(base + 100 * x + 1000 * y);
    }
    return img;
}

// Two targets, FAM (channel index 0) and CY5 (3); FAM leaks 10 % into channel index 3.
// Well 1 measures both, well 2 only FAM.
RunPlan smallRun(ArchiveKind kind)
{
    RunPlan plan;
    plan.kind = kind;
    plan.targets = {{"T-FAM", "FAM"}, {"T-CY5", "CY5"}};
    plan.matrix.matrix[0][3] = 0.1;
    plan.imageFolder = QStringLiteral("D:/runs/r1/");
    WellPlan w1;
    w1.sampleName = QStringLiteral("S1");
    // Measured CY5 = own level + 0.1 * FAM; compensated CY5 = measured - 0.1 * FAM.
    w1.droplets = {
        droplet(2, 5000, 5500, false, false),   // comp CY5 5000
        droplet(4, 20000, 7000, true, false),   // comp 5000
        droplet(6, 5000, 20500, false, true),   // comp 20000
        droplet(8, 20000, 22000, true, true),   // comp 20000
        droplet(10, 5100, 5610, false, false),  // comp 5100, excluded
        droplet(12, 19000, 6900, true, false),  // comp 5000
    };
    w1.excluded = {4};
    w1.drawnFraction = {0.5, 0, 0, 0.3, 0, 0};
    w1.images[0] = ramp16(8, 4, 0);
    w1.images[2] = ramp16(8, 4, 20000);
    w1.images[3] = ramp16(8, 4, 40000);
    w1.images[5] = ramp16(8, 4, 0); // not measured in the well: not stored
    WellPlan w2;
    w2.sampleName = QStringLiteral("S2");
    w2.targets = QStringList{"T-FAM"};
    w2.droplets = {droplet(2, 20000, 0, true, false), droplet(4, 5000, 0, false, false)};
    plan.wells = {w1, w2};
    return plan;
}

bool composeAll(const RunPlan &plan, QList<ComposedWell> *out, QString *error)
{
    QList<WellSummary> summaries;
    const PlanWells source(plan);
    for (int i = 0; i < source.wellCount(); ++i)
        summaries.append(source.summary(i));
    Composer composer;
    if (!composer.prepare(plan, summaries, error))
        return false;
    for (int i = 0; i < plan.wells.size(); ++i) {
        ComposedWell w;
        if (!composer.composeWell(plan.wells[i], i, &w, error))
            return false;
        out->append(w);
    }
    return true;
}

QByteArray entryData(const QString &zip, const QString &name, const QString &password, bool *ok)
{
    QuaZipFile f(zip, name);
    const QByteArray pw = password.toLatin1();
    *ok = f.open(QIODevice::ReadOnly, password.isEmpty() ? nullptr : pw.constData());
    if (!*ok)
        return {};
    const QByteArray data = f.readAll();
    f.close();
    *ok = f.getZipError() == 0;
    return data;
}

QStringList entryNames(const QString &zip)
{
    QuaZip z(zip);
    if (!z.open(QuaZip::mdUnzip))
        return {};
    QStringList names = z.getFileNameList();
    names.sort();
    return names;
}

QJsonObject readJson(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

} // namespace

Q_DECLARE_METATYPE(Greys)

class TestMkPackage : public QObject {
    Q_OBJECT

private slots:
    void wellPositions_data();
    void wellPositions();
    void gridPositionsInvertTheInstrumentOrder();
    void dyes_data();
    void dyes();
    void concentration_data();
    void concentration();
    void quality_data();
    void quality();
    void thresholds_data();
    void thresholds();
    void discMean_data();
    void discMean();
    void compensation_data();
    void compensation();
    void halves();

    void composeImrs_data();
    void composeImrs();
    void composeExpzip();
    void storedDropletLists_data();
    void storedDropletLists();
    void saturatedFlags_data();
    void saturatedFlags();
    void drawnKinds();

    void archiveEntries_data();
    void archiveEntries();
    void experimentEntryReadsBack_data();
    void experimentEntryReadsBack();
    void smallEntriesReadBack_data();
    void smallEntriesReadBack();
    void refusals_data();
    void refusals();
};

// ---- Pieces ----------------------------------------------------------------------------------

void TestMkPackage::wellPositions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("position");
    QTest::newRow("0") << 0 << "1A";
    QTest::newRow("9") << 9 << "2B";
    QTest::newRow("95") << 95 << "12H";
}

void TestMkPackage::wellPositions()
{
    QFETCH(int, index);
    QFETCH(QString, position);
    QCOMPARE(wellPosition(index), position);
}

void TestMkPackage::gridPositionsInvertTheInstrumentOrder()
{
    // The instrument's order: layout index = 8 (k div 8) + 2 (k mod 4) + (k mod 8) div 4.
    for (int k = 0; k < 192; ++k) {
        const int layout = 8 * (k / 8) + 2 * (k % 4) + (k % 8) / 4;
        QCOMPARE(gridPosition(layout, true), k);
        QCOMPARE(gridPosition(k, false), k);
    }
    QCOMPARE(gridPosition(1, true), 4); // row B comes fifth in a column
    QCOMPARE(gridPosition(2, true), 1);
}

void TestMkPackage::dyes_data()
{
    QTest::addColumn<QString>("dye");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("number1");
    QTest::addColumn<int>("number3");
    QTest::newRow("FAM") << "FAM" << 0 << 1 << 1;
    QTest::newRow("ROX") << "ROX" << 2 << 10 << 5;
    QTest::newRow("cy5, any case") << "cy5" << 3 << 5 << 6;
    QTest::newRow("CY3") << "CY3" << 5 << 9 << 10;
    QTest::newRow("Atto 425: format 3 only") << "Atto 425" << 5 << -1 << 11;
    QTest::newRow("unknown") << "TAMRA" << -1 << -1 << -1;
}

void TestMkPackage::dyes()
{
    QFETCH(QString, dye);
    QFETCH(int, channel);
    QFETCH(int, number1);
    QFETCH(int, number3);
    QCOMPARE(dyeChannel(dye), channel);
    QCOMPARE(dyeNumber(dye, ArchiveKind::Expzip), number1);
    QCOMPARE(dyeNumber(dye, ArchiveKind::Imrs), number3);
}

void TestMkPackage::concentration_data()
{
    QTest::addColumn<int>("positives");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("volume");
    QTest::addColumn<double>("concentration");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("uncertainty");
    // p = 0.1, f = 1.96 sqrt(p (1 - p) / n); c = -ln(1 - p) 1e6 / v, bounds at p -+ f,
    // uncertainty (upper - lower) / 2c.
    QTest::newRow("1000 of 10000, 1 pl") << 1000 << 10000 << 1 << 105360.51565782628
                                         << 98848.43204260324 << 111915.28462850058
                                         << 0.06201019662970265;
    QTest::newRow("200 of 2000, 800 pl") << 200 << 2000 << 800 << 131.70064457228284
                                         << 113.57152659779719 << 150.09656879675066
                                         << 0.13866690750669408;
    QTest::newRow("none positive") << 0 << 100 << 800 << 0.0 << 0.0 << 0.0 << 0.0;
    // p + f = 1.17 > 1: the upper bound has no value; stored as 0 with no uncertainty.
    QTest::newRow("3 of 4: upper bound undefined") << 3 << 4 << 800 << 1732.8679513998632
                                                   << 492.502981349286 << 0.0 << 0.0;
    QTest::newRow("all positive") << 10 << 10 << 800 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("no droplets") << 0 << 0 << 800 << 0.0 << 0.0 << 0.0 << 0.0;
}

void TestMkPackage::concentration()
{
    QFETCH(int, positives);
    QFETCH(int, total);
    QFETCH(int, volume);
    QFETCH(double, concentration);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, uncertainty);
    const Concentration c = poissonConcentration(positives, total, volume);
    QCOMPARE(c.concentration, concentration);
    QCOMPARE(c.lower, lower);
    QCOMPARE(c.upper, upper);
    QCOMPARE(c.uncertainty, uncertainty);
}

void TestMkPackage::quality_data()
{
    QTest::addColumn<QVector<quint32>>("values");
    QTest::addColumn<quint32>("threshold");
    QTest::addColumn<int>("k");
    QTest::addColumn<QVector<double>>("expected");
    // neg {100, 200}: mean 150, sd 50; pos {1000, 1200}: mean 1100, sd 100;
    // Rs = 950 / (1/11 + 1/3); band [300, 800] empty: rain ln(1) / ln 2 = 0.
    QTest::newRow("two clean classes")
        << QVector<quint32>{100, 200, 1000, 1200} << 500u << 3
        << QVector<double>{1100.0, 0.09090909090909091, 150.0, 0.3333333333333333,
                           2239.2857142857147, 0.0};
    // 20 x 1000 and 1600 negative, 10 x 5000 and 4000 positive, band of one deviation:
    // 1600 and 4000 lie in it; rain = ln(2/20 + 1) / ln(32/20).
    QVector<quint32> rainy(20, 1000);
    rainy << 1600 << QVector<quint32>(10, 5000) << 4000;
    QTest::newRow("rain") << rainy << 3000u << 1
                          << QVector<double>{4909.090909090909, 0.05856069741052554,
                                             1028.5714285714287, 0.12422599874998831,
                                             21229.769791953615, 0.2027860507317342};
    QTest::newRow("all negative") << QVector<quint32>{100, 200, 300} << 1000u << 3
                                  << QVector<double>{0, 0, 200.0, 0.4082482904638631, -1, -1};
    QTest::newRow("empty") << QVector<quint32>{} << 10u << 3 << QVector<double>{0, 0, 0, 0, -1, -1};
    // Equal to the threshold counts positive: pos {10, 10} cv 0, neg {} -> Rs undefined.
    QTest::newRow("at the threshold") << QVector<quint32>{10, 10} << 10u << 3
                                      << QVector<double>{10.0, 0, 0, 0, -1, -1};
}

void TestMkPackage::quality()
{
    QFETCH(QVector<quint32>, values);
    QFETCH(quint32, threshold);
    QFETCH(int, k);
    QFETCH(QVector<double>, expected);
    const PkgWriter::QualityFigures q = dropletQuality(values, threshold, k);
    for (int i = 0; i < 6; ++i)
        QVERIFY2(qFuzzyCompare(1.0 + q[size_t(i)], 1.0 + expected[i]),
                 qPrintable(QStringLiteral("figure %1: %2 vs %3").arg(i).arg(q[size_t(i)]).arg(expected[i])));
}

void TestMkPackage::thresholds_data()
{
    QTest::addColumn<QVector<quint32>>("negatives");
    QTest::addColumn<QVector<quint32>>("positives");
    QTest::addColumn<quint32>("threshold");
    QTest::newRow("separate: halfway, rounded up") << QVector<quint32>{100, 200} << QVector<quint32>{1000, 1300} << 600u;
    QTest::newRow("adjacent") << QVector<quint32>{100} << QVector<quint32>{101} << 101u;
    QTest::newRow("overlap: between the means") << QVector<quint32>{100, 900} << QVector<quint32>{800, 1000} << 700u;
    // Halfway (552) would miss five positives of the broad cluster; from 107 to 300 two are
    // missed, as few as anywhere, and 300 lies nearest halfway.
    QTest::newRow("overlap: the fewest missed") << QVector<quint32>{106, 100, 104, 102}
                                                << QVector<quint32>{300, 103, 5000, 400, 105, 500, 600} << 300u;
    // Misclassifying the negative at 200 or a positive: a tie, resolved to halfway.
    QTest::newRow("overlap: a tie, halfway") << QVector<quint32>{100, 100, 100, 200}
                                             << QVector<quint32>{200, 1000, 1000, 1000} << 463u;
    QTest::newRow("negatives only: twice the top") << QVector<quint32>{100, 300} << QVector<quint32>{} << 600u;
    QTest::newRow("negatives only, near the top") << QVector<quint32>{40000} << QVector<quint32>{} << 65279u;
    QTest::newRow("positives only: half the lowest") << QVector<quint32>{} << QVector<quint32>{1000, 800} << 400u;
    QTest::newRow("nothing") << QVector<quint32>{} << QVector<quint32>{} << 0u;
}

void TestMkPackage::thresholds()
{
    QFETCH(QVector<quint32>, negatives);
    QFETCH(QVector<quint32>, positives);
    QFETCH(quint32, threshold);
    QCOMPARE(thresholdBetween(negatives, positives), threshold);
}

void TestMkPackage::discMean_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("radius");
    QTest::addColumn<bool>("eightBit");
    QTest::addColumn<quint32>("mean");
    // Pixel (x, y) holds 100 x + 1000 y.
    QTest::newRow("cross of five") << 2.0 << 2.0 << 1.0 << false << 2200u;
    QTest::newRow("clipped at the corner: (0 + 100 + 1000) / 3") << 0.0 << 0.0 << 1.0 << false << 367u;
    QTest::newRow("between pixels: the nearest") << 4.4 << 5.6 << 0.3 << false << 6400u;
    QTest::newRow("3x3 square within 1.5") << 5.0 << 5.0 << 1.5 << false << 5500u;
    // 8-bit: pixel (x, y) holds x + 10 y, scaled by 256: (22 * 256).
    QTest::newRow("8-bit scaled") << 2.0 << 2.0 << 1.0 << true << 5632u;
}

void TestMkPackage::discMean()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, radius);
    QFETCH(bool, eightBit);
    QFETCH(quint32, mean);
    QImage img = ramp16(8, 8, 0);
    if (eightBit) {
        img = QImage(8, 8, QImage::Format_Grayscale8);
        for (int py = 0; py < 8; ++py)
            for (int px = 0; px < 8; ++px)
                img.scanLine(py)[px] = uchar(px + 10 * py);
    }
    QCOMPARE(MkPackage::discMean(img, x, y, radius), mean);
}

void TestMkPackage::compensation_data()
{
    QTest::addColumn<Greys>("greys");
    QTest::addColumn<QVector<double>>("background");
    QTest::addColumn<bool>("singular");
    QTest::addColumn<Greys>("expected");
    // Channel 0 shows 10 % in channel 3; channels {0, 2, 3} present, channel 5 left alone.
    QTest::newRow("leak removed") << Greys{20000, 0, 12000, 7000, 0, 33} << QVector<double>(6, 0.0)
                                  << false << Greys{20000, 0, 12000, 5000, 0, 33};
    // With background 800: y3 = (7000 - 800) - 0.1 (20000 - 800) = 4280, + 800.
    QTest::newRow("with background") << Greys{20000, 0, 12000, 7000, 0, 0} << QVector<double>(6, 800.0)
                                     << false << Greys{20000, 0, 12000, 5080, 0, 0};
    QTest::newRow("clamped at 0") << Greys{20000, 0, 12000, 100, 0, 0} << QVector<double>(6, 0.0)
                                  << false << Greys{20000, 0, 12000, 0, 0, 0};
    // Rows 0 and 3 equal: no inverse; every present channel falls back to its background.
    QTest::newRow("singular") << Greys{20000, 7, 12000, 7000, 0, 0} << QVector<double>(6, 50.0) << true
                              << Greys{50, 7, 50, 50, 0, 0};
}

void TestMkPackage::compensation()
{
    QFETCH(Greys, greys);
    QFETCH(QVector<double>, background);
    QFETCH(bool, singular);
    QFETCH(Greys, expected);
    PkgWriter::MatrixImage m = PkgWriter::MatrixImage::identity();
    m.matrix[0][3] = 0.1;
    if (singular)
        m.matrix[3] = m.matrix[0];
    for (int i = 0; i < 6; ++i)
        m.background[size_t(i)] = background[i];
    QCOMPARE(compensate(greys, {0, 2, 3}, m), expected);
}

void TestMkPackage::halves()
{
    // 4 rows of 100 x + 1000 y + 40000: row 0 -> top row 0, row 2 -> bottom row 0, upper bytes.
    const QImage img = ramp16(8, 4, 40000);
    const QImage top = eightBitHalf(img, false);
    const QImage bottom = eightBitHalf(img, true);
    QCOMPARE(top.size(), QSize(8, 2));
    QCOMPARE(top.format(), QImage::Format_Grayscale8);
    QCOMPARE(int(top.constScanLine(0)[0]), 40000 >> 8);
    QCOMPARE(int(top.constScanLine(1)[7]), (40000 + 700 + 1000) >> 8);
    QCOMPARE(int(bottom.constScanLine(0)[3]), (40000 + 300 + 2000) >> 8);
    QCOMPARE(int(bottom.constScanLine(1)[0]), (40000 + 3000) >> 8);
    // The PNG keeps 8 and 16 bits as they are.
    QImage back;
    QVERIFY(back.loadFromData(encodePng(top)));
    QCOMPARE(back.format(), QImage::Format_Grayscale8);
    QCOMPARE(back, top);
    QVERIFY(back.loadFromData(encodePng(img)));
    QCOMPARE(back.format(), QImage::Format_Grayscale16);
    QCOMPARE(back, img);
}

// ---- Composition ---------------------------------------------------------------------------

void TestMkPackage::composeImrs_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<quint32>("cy5Threshold");
    // Kept droplets 0, 1, 2, 3, 5. FAM: neg {5000, 5000}, pos {20000, 20000, 19000} ->
    // (5000 + 19000 + 1) / 2 = 12000.
    // CY5 compensated: neg {5000, 5000, 5000}, pos {20000, 20000} -> 12500;
    // measured: neg {5500, 7000, 6900}, pos {20500, 22000} -> (7000 + 20500 + 1) / 2 = 13750.
    QTest::newRow("matrix stored: compensated greys") << true << 12500u;
    QTest::newRow("no matrix: measured greys") << false << 13750u;
}

void TestMkPackage::composeImrs()
{
    QFETCH(bool, matrix);
    QFETCH(quint32, cy5Threshold);
    RunPlan plan = smallRun(ArchiveKind::Imrs);
    plan.storeMatrix = matrix;
    QList<ComposedWell> wells;
    QString error;
    QVERIFY2(composeAll(plan, &wells, &error), qPrintable(error));
    QCOMPARE(wells.size(), 2);

    const ComposedWell &w1 = wells[0];
    QCOMPARE(w1.truth.id, 1u);
    QCOMPARE(w1.truth.position, QStringLiteral("1A"));
    QCOMPARE(w1.truth.droplets, 6);
    QCOMPARE(w1.truth.excluded, 1);
    QCOMPARE(w1.truth.channels.size(), 2);
    const ChannelTruth &fam = w1.truth.channels[0];
    const ChannelTruth &cy5 = w1.truth.channels[1];
    QCOMPARE(fam.channel, 0);
    QCOMPARE(fam.threshold, 12000u);
    QCOMPARE(fam.truePositives, 3);
    QCOMPARE(fam.storedPositives, 3);
    QCOMPARE(fam.total, 5);
    QCOMPARE(fam.drawnFraction, 0.5);
    QCOMPARE(cy5.channel, 3);
    QCOMPARE(cy5.threshold, cy5Threshold);
    QCOMPARE(cy5.truePositives, 2);
    QCOMPARE(cy5.storedPositives, 2);
    QCOMPARE(w1.truth.referenceMean, 12000.0);
    // Zones over channels {0, 3}, every droplet: 0, 1, 2, 3, 0, 1.
    const QList<QPair<quint32, int>> zones1 = {{0, 2}, {1, 2}, {2, 1}, {3, 1}};
    QCOMPARE(w1.truth.zones, zones1);

    // List 1: six names, stored with the folder, only the measured channels.
    QCOMPARE(w1.expInfo.wellId, 1);
    QCOMPARE(w1.expInfo.refChannel, 2);
    const QStringList names = {"D:/runs/r1/1A_CH1.png", "", "D:/runs/r1/1A_CH3.png",
                               "D:/runs/r1/1A_CH4.png", "", ""};
    QCOMPARE(w1.expInfo.imageNameSets, QList<QStringList>{names});
    QCOMPARE(w1.truth.imageEntries,
             (QStringList{"capture/1A_CH1.png", "capture/1A_CH3.png", "capture/1A_CH4.png"}));
    QCOMPARE(w1.images.size(), 3);

    // List 3: thresholds in the first list of each measured channel, figures from the kept
    // droplets, the excluded set as given.
    QCOMPARE(w1.classify.pairs.size(), 6);
    QCOMPARE(w1.classify.pairs[0].first, QVector<qint32>{12000});
    QCOMPARE(w1.classify.pairs[3].first, QVector<qint32>{qint32(cy5Threshold)});
    QVERIFY(w1.classify.pairs[2].first.isEmpty());
    QCOMPARE(w1.classify.excluded, QList<quint32>{4});
    QCOMPARE(w1.classify.roxValue, 12000.0);
    QCOMPARE(w1.classify.figures[0][0], (20000.0 + 20000.0 + 19000.0) / 3); // positive mean
    QCOMPARE(w1.classify.figures[0][2], 5000.0);                            // negative mean
    QCOMPARE(w1.classify.figures[1][4], -1.0);                              // unmeasured

    // List 4: counts from the stored thresholds over the 5 kept droplets.
    QCOMPARE(w1.result.effDrpltNum, 5);
    QCOMPARE(w1.result.results.size(), 2);
    QCOMPARE(w1.result.results[0].targetName, QStringLiteral("T-FAM"));
    QCOMPARE(w1.result.results[0].positives, 3);
    QCOMPARE(w1.result.results[0].negatives, 2);
    QCOMPARE(w1.result.results[0].fraction, 0.6);
    // p = 0.6, 800 pl: -ln(0.4) * 1250; p + f > 1 leaves the upper bound undefined.
    QCOMPARE(w1.result.results[0].concentration, 1145.3634148426938);
    QCOMPARE(w1.result.results[1].targetName, QStringLiteral("T-CY5"));
    QCOMPARE(w1.result.results[1].positives, 2);
    QCOMPARE(w1.result.results[1].negatives, 3);

    // Well 2 measures FAM only: bit 1 (CY5) is always set.
    const ComposedWell &w2 = wells[1];
    QCOMPARE(w2.truth.channels.size(), 1);
    const QList<QPair<quint32, int>> zones2 = {{2, 1}, {3, 1}};
    QCOMPARE(w2.truth.zones, zones2);
    QCOMPARE(w2.result.results.size(), 1);
    QVERIFY(w2.classify.pairs[3].first.isEmpty());
    QCOMPARE(w2.expInfo.imageNameSets, QList<QStringList>{QStringList(QVector<QString>(6).toList())});
    QVERIFY(w2.images.isEmpty());
}

void TestMkPackage::composeExpzip()
{
    RunPlan plan = smallRun(ArchiveKind::Expzip);
    QList<ComposedWell> wells;
    QString error;
    QVERIFY2(composeAll(plan, &wells, &error), qPrintable(error));
    const PkgWriter::Pcr1Well &w = wells[0].pcr1;
    QCOMPARE(w.number, 1u);
    // The reference image first, then one per channel entry, as full entry names.
    QCOMPARE(w.imageNames, (QStringList{"capture/1A_CH3.png", "capture/1A_CH1.png", "capture/1A_CH4.png"}));
    // Measured greys classify here: CY5 at 13750 (see composeImrs).
    QCOMPARE(w.chanEntries.size(), 2);
    QCOMPARE(w.chanEntries[0].targetIndex, 0u);
    QCOMPARE(w.chanEntries[0].lineThld, 12000u);
    QCOMPARE(w.chanEntries[1].targetIndex, 1u);
    QCOMPARE(w.chanEntries[1].lineThld, 13750u);
    QCOMPARE(w.drplts.size(), 6);
    QCOMPARE(w.drplts[2].grays, (QVector<quint32>{5000, 20500}));
    QCOMPARE(w.drplts[2].refGray, 12000u);
    QCOMPARE(w.drplts[2].x, 6u);
    QCOMPARE(w.drplts[2].y, 3u);
    QCOMPARE(w.drplts[2].size, 2u); // round(2 * 1.2)
    QCOMPARE(w.excluded, QList<quint32>{4});
    QCOMPARE(w.counts[3], 5u);
    QCOMPARE(w.chanStats.size(), 2);
    QCOMPARE(w.chanStats[0].posDrpltNum, 3u);
    QCOMPARE(w.chanStats[0].values[1], 1145.3634148426938);
    QCOMPARE(w.chanStats[1].posDrpltNum, 2u);
    // Every target of the experiment takes part in the zone masks.
    QCOMPARE(wells[1].truth.zones, (QList<QPair<quint32, int>>{{2, 1}, {3, 1}}));
    QCOMPARE(wells[1].pcr1.imageNames, (QStringList{"", ""}));
}

void TestMkPackage::storedDropletLists_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<bool>("full");
    QTest::newRow("compact, matrix") << true << false;
    QTest::newRow("compact, no matrix") << false << false;
    QTest::newRow("full, matrix") << true << true;
    QTest::newRow("full, no matrix") << false << true;
}

void TestMkPackage::storedDropletLists()
{
    QFETCH(bool, matrix);
    QFETCH(bool, full);
    RunPlan plan = smallRun(ArchiveKind::Imrs);
    plan.storeMatrix = matrix;
    plan.fullDropletLists = full;
    plan.zeroWellIds = true;
    QList<ComposedWell> wells;
    QString error;
    QVERIFY2(composeAll(plan, &wells, &error), qPrintable(error));
    const PkgWriter::Pcr3DropletData &d = wells[0].dropletData;
    QCOMPARE(d.wellId, 0);
    QCOMPARE(wells[0].expInfo.wellId, 0);
    QCOMPARE(wells[0].classify.wellId, 0);
    QCOMPARE(wells[0].result.wellId, 0);
    QCOMPARE(wells[0].truth.id, 1u); // what the reader numbers it
    QCOMPARE(d.droplets.size(), 6);
    const PkgWriter::Pcr3Droplet &drop = d.droplets[2];
    QCOMPARE(drop.x, 6);
    QCOMPARE(drop.y, 3);
    QCOMPARE(drop.size, 2);
    const QVector<qint32> measured = {5000, 0, 12000, 20500, 0, 0};
    QCOMPARE(drop.lists[1], measured);
    QCOMPARE(drop.lists[2], measured);
    // The fifth list holds the compensated greys, or nothing, so the reader falls back on the
    // measured ones.
    const QVector<qint32> compensated = {5000, 0, 12000, 20000, 0, 0};
    QCOMPARE(drop.lists[4], matrix ? compensated : QVector<qint32>());
    if (full) {
        QCOMPARE(drop.lists[0], matrix ? drop.lists[4] : measured);
        QCOMPARE(drop.lists[3], measured);
        QCOMPARE(drop.lists[5], QVector<qint32>(6, 0));
        QCOMPARE(drop.lists[6], QVector<qint32>(6, 0));
    } else {
        QVERIFY(drop.lists[0].isEmpty());
        QVERIFY(drop.lists[3].isEmpty());
        QVERIFY(drop.lists[6].isEmpty());
    }
    QCOMPARE(d.channelLists.size(), 6);
    QCOMPARE(d.channelLists[0], QVector<qint32>{12000});
}

void TestMkPackage::saturatedFlags_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<quint32>("grey");
    QTest::addColumn<bool>("full");
    QTest::addColumn<QVector<qint32>>("flags");
    QTest::addColumn<qint32>("saturated");
    const QVector<qint32> cy5 = {0, 0, 0, 3, 0, 0};
    QTest::newRow("marked by the recognition, compact") << true << 60000u << false << cy5 << 1;
    QTest::newRow("at full scale, compact") << false << quint32(MaxGrey) << false << cy5 << 1;
    QTest::newRow("neither, compact") << false << 60000u << false << QVector<qint32>() << 0;
    QTest::newRow("marked, full lists") << true << 60000u << true << cy5 << 1;
    QTest::newRow("neither, full lists") << false << 60000u << true << QVector<qint32>(6, 0) << 0;
}

// A saturated droplet keeps its mark in the droplet list however compact the archive, for the
// analysis leaves such droplets out of its clustering; the well counts it.
void TestMkPackage::saturatedFlags()
{
    QFETCH(bool, marked);
    QFETCH(quint32, grey);
    QFETCH(bool, full);
    QFETCH(QVector<qint32>, flags);
    QFETCH(qint32, saturated);
    RunPlan plan = smallRun(ArchiveKind::Imrs);
    plan.fullDropletLists = full;
    DropletPlan &d = plan.wells[0].droplets[3];
    d.grey[3] = grey;
    d.saturated[3] = marked;
    QList<ComposedWell> wells;
    QString error;
    QVERIFY2(composeAll(plan, &wells, &error), qPrintable(error));
    const PkgWriter::Pcr3DropletData &data = wells[0].dropletData;
    QCOMPARE(data.droplets[3].lists[6], flags);
    QCOMPARE(data.droplets[2].lists[6], full ? QVector<qint32>(6, 0) : QVector<qint32>());
    QCOMPARE(data.counter, saturated);
    QCOMPARE(wells[0].truth.saturated, int(saturated));
}

// The droplets of a channel drawn as a well shape, counted by how they were drawn over those not
// excluded, with the shape in the ground truth; channels of the plain levels state neither.
void TestMkPackage::drawnKinds()
{
    RunPlan plan = smallRun(ArchiveKind::Imrs);
    WellPlan &w = plan.wells[0];
    // FAM: negative, positive, rain below the midpoint, debris, excluded rain, rain above.
    const DrawnKind kinds[] = {DrawnKind::Negative, DrawnKind::Positive, DrawnKind::Rain,
                               DrawnKind::Debris,   DrawnKind::Rain,     DrawnKind::Rain};
    const bool positive[] = {false, true, false, true, true, true};
    for (int i = 0; i < 6; ++i) {
        w.droplets[size_t(i)].drawnAs[0] = kinds[i];
        w.droplets[size_t(i)].positive[0] = positive[i];
    }
    w.shapes[0] = QJsonObject{{"rain", 0.5}};
    QTemporaryDir dir;
    const QString path = dir.filePath("kinds.imrs");
    RunTruth truth;
    QString error;
    QVERIFY2(writeArchive(plan, path, &truth, &error), qPrintable(error));
    const DrawnCounts &fam = truth.wells[0].channels[0].drawn;
    QCOMPARE(fam.negatives, 1);
    QCOMPARE(fam.positives, 1);
    QCOMPARE(fam.rain, 2);
    QCOMPARE(fam.rainPositive, 1);
    QCOMPARE(fam.debris, 1);
    QCOMPARE(fam.saturated, 0);
    QCOMPARE(truth.wells[0].channels[0].truePositives, 3);
    const QJsonArray channels =
        readJson(truthPathFor(path)).value("wells").toArray()[0].toObject().value("channels").toArray();
    QCOMPARE(channels[0].toObject().value("shape").toObject(), w.shapes[0]);
    const QJsonObject drawn = channels[0].toObject().value("drawn").toObject();
    QCOMPARE(drawn.value("rain").toInt(), 2);
    QCOMPARE(drawn.value("rainPositive").toInt(), 1);
    QCOMPARE(drawn.value("debris").toInt(), 1);
    QVERIFY(!channels[1].toObject().contains("shape"));
    QVERIFY(!channels[1].toObject().contains("drawn"));
}

// ---- Archives ------------------------------------------------------------------------------

void TestMkPackage::archiveEntries_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("pcrVersion");
    QTest::addColumn<int>("imageSets");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("optional");
    QTest::newRow(".imrs 3.0, no password") << int(ArchiveKind::Imrs) << 0 << 1 << QString() << true;
    QTest::newRow(".imrs 3.1, password") << int(ArchiveKind::Imrs) << 1 << 1 << QStringLiteral("pa\u00dfwort") << false;
    QTest::newRow(".imrs 3.1, two sets") << int(ArchiveKind::Imrs) << 1 << 2 << QStringLiteral("pw") << true;
    QTest::newRow(".expzip, password") << int(ArchiveKind::Expzip) << 0 << 1 << QStringLiteral("pw") << true;
    QTest::newRow(".expzip, no password") << int(ArchiveKind::Expzip) << 0 << 1 << QString() << false;
}

void TestMkPackage::archiveEntries()
{
    QFETCH(int, kind);
    QFETCH(int, pcrVersion);
    QFETCH(int, imageSets);
    QFETCH(QString, password);
    QFETCH(bool, optional);
    RunPlan plan = smallRun(ArchiveKind(kind));
    plan.pcrVersion = pcrVersion;
    plan.imageSets = imageSets;
    plan.password = password;
    plan.fileLog = optional;
    plan.reagentKit = optional;
    plan.analysisParams = optional ? QByteArrayLiteral("{\"General\":{}}") : QByteArray();
    plan.seed = 77;
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == int(ArchiveKind::Imrs) ? "run.imrs" : "run.expzip");
    RunTruth truth;
    QString error;
    QVERIFY2(writeArchive(plan, path, &truth, &error), qPrintable(error));
    QVERIFY(!QFileInfo::exists(path + ".part"));

    QStringList expected = {"password", "run.cmtx", "run.dps", "run.exp", "run.pcr"};
    if (optional)
        expected << "analysisparams.json" << "fileMgrLog" << "reagentKit/pcr.kit";
    const QStringList leaves = imageSets == 1 ? QStringList{"1A_CH1.png", "1A_CH3.png", "1A_CH4.png"}
                                              : QStringList{"1A_CH1_1.png", "1A_CH1_2.png", "1A_CH3_1.png",
                                                            "1A_CH3_2.png", "1A_CH4_1.png", "1A_CH4_2.png"};
    for (const QString &leaf : leaves)
        expected << "capture/" + leaf;
    expected.sort();
    QCOMPARE(entryNames(path), expected);

    bool ok = false;
    QCOMPARE(entryData(path, "password", QString(), &ok), PkgWriter::passwordEntry(password));
    QVERIFY(ok);
    // Every other entry opens with the password only.
    const QByteArray cmtx = entryData(path, "run.cmtx", password, &ok);
    QVERIFY(ok);
    QCOMPARE(cmtx.size(), 28 + 4 + 336);
    if (!password.isEmpty()) {
        const QByteArray wrong = entryData(path, "run.cmtx", QStringLiteral("nope"), &ok);
        QVERIFY(!ok || wrong != cmtx);
    }
    const QByteArray pcr = entryData(path, "run.pcr", password, &ok);
    QVERIFY(ok);
    if (kind == int(ArchiveKind::Imrs)) {
        // Header {2, version}, then list 1 with two records.
        QCOMPARE(pcr.left(8).toHex(), QByteArray("00000002000000").append(pcrVersion == 0 ? "00" : "01"));
        QCOMPARE(pcr.mid(28, 4).toHex(), QByteArray("00000002"));
    } else {
        // No header: the count of well records, then well 1's number.
        QCOMPARE(pcr.left(8).toHex(), QByteArray("0000000200000001"));
    }
    if (optional) {
        // Experiment 1, well 2, last zone 3, two populations, no plots.
        QCOMPARE(entryData(path, "fileMgrLog", password, &ok).mid(28).toHex(),
                 QByteArray("0000000100000002000000030000000200000000"));
        QCOMPARE(entryData(path, "analysisparams.json", password, &ok), plan.analysisParams);
    }

    // The images decode to what the reader stacks or loads.
    const QByteArray png = entryData(path, "capture/" + leaves[0], password, &ok);
    QVERIFY(ok);
    QImage img;
    QVERIFY(img.loadFromData(png));
    if (imageSets == 1) {
        QCOMPARE(img, plan.wells[0].images[0]);
    } else {
        QCOMPARE(img.format(), QImage::Format_Grayscale8);
        QCOMPARE(img.size(), QSize(8, 2));
        QCOMPARE(img, eightBitHalf(plan.wells[0].images[0], false));
    }

    // The ground truth beside the archive.
    const QJsonObject root = readJson(truthPathFor(path));
    QCOMPARE(root.value("kind").toString(), kindName(ArchiveKind(kind)));
    QCOMPARE(root.value("password").toString(), password);
    QCOMPARE(root.value("seed").toString(), QStringLiteral("77"));
    QCOMPARE(root.value("zoneChannels").toArray(), (QJsonArray{0, 3}));
    const QJsonArray wells = root.value("wells").toArray();
    QCOMPARE(wells.size(), 2);
    const QJsonObject fam = wells[0].toObject().value("channels").toArray()[0].toObject();
    QCOMPARE(fam.value("positives").toInt(), 3);
    QCOMPARE(fam.value("total").toInt(), 5);
    QCOMPARE(fam.value("fraction").toDouble(), 0.6);
    QCOMPARE(fam.value("drawnFraction").toDouble(), 0.5);
    QCOMPARE(truth.wells.size(), 2);
}

void TestMkPackage::experimentEntryReadsBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expVersion");
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("workType");
    QTest::addColumn<int>("blocksType");
    QTest::newRow(".imrs layout 1, 300 pl") << int(ArchiveKind::Imrs) << 1 << 300 << 1 << 0;
    QTest::newRow(".imrs layout 1, 600 pl") << int(ArchiveKind::Imrs) << 1 << 600 << 0 << 2;
    QTest::newRow(".imrs layout 0 (no work type)") << int(ArchiveKind::Imrs) << 0 << 3000 << 0 << 0;
    QTest::newRow(".expzip, 800 pl") << int(ArchiveKind::Expzip) << 0 << 800 << 0 << 0;
}

void TestMkPackage::experimentEntryReadsBack()
{
    QFETCH(int, kind);
    QFETCH(int, expVersion);
    QFETCH(int, volume);
    QFETCH(int, workType);
    QFETCH(int, blocksType);
    RunPlan plan = smallRun(ArchiveKind(kind));
    plan.expVersion = expVersion;
    plan.volume = volume;
    plan.password = QStringLiteral("pw");
    // Ten wells reach into the second column, where the interleaved order shows.
    while (plan.wells.size() < 10) {
        WellPlan w = plan.wells[1];
        w.sampleName = QStringLiteral("S%1").arg(plan.wells.size() + 1);
        plan.wells.append(w);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == int(ArchiveKind::Imrs) ? "run.imrs" : "run.expzip");
    QString error;
    QVERIFY2(writeArchive(plan, path, nullptr, &error), qPrintable(error));

    ExperimentCfgMgr mgr;
    ExperimentCfgMgr *slot = &mgr;
    std::unique_ptr<ExperimentCfgFileParser> parser;
    if (kind == int(ArchiveKind::Imrs))
        parser = std::make_unique<ExperimentCfgFileParser3>(path, &slot);
    else
        parser = std::make_unique<ExperimentCfgFileParser1>(path, &slot);
    QVERIFY(parser->parse());
    const QList<LumaraAnalysisData::WellInfo> &wells = mgr.getWells();
    QCOMPARE(wells.size(), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(wells[i].id, quint32(i + 1));
        QCOMPARE(wells[i].position, wellPosition(i));
        QCOMPARE(wells[i].sampleName, plan.wells[i].sampleName);
        QCOMPARE(wells[i].drpltVolume, volume);
        QCOMPARE(wells[i].drpltSum, int(plan.wells[i].droplets.size()));
    }
    // Targets land on their dyes' channels; well 1 uses both, the others FAM only.
    QCOMPARE(mgr.getTargets()[0].name, QStringLiteral("T-FAM"));
    QCOMPARE(mgr.getTargets()[3].name, QStringLiteral("T-CY5"));
    QCOMPARE(wells[0].channels, (QList<quint32>{0, 3}));
    QCOMPARE(wells[1].channels, QList<quint32>{0});
    QCOMPARE(int(mgr.getDropletWorkType()), workType);
    QCOMPARE(int(mgr.getBlocksType()), blocksType);
    QCOMPARE(mgr.getSamples().size(), 10);
    QVERIFY(!mgr.getMethod().stages.isEmpty());
}

void TestMkPackage::smallEntriesReadBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("dpsVersion");
    QTest::addColumn<bool>("matrix");
    QTest::newRow(".imrs, dps by well, matrix") << int(ArchiveKind::Imrs) << 1 << true;
    QTest::newRow(".imrs, shared dps, no matrix") << int(ArchiveKind::Imrs) << 0 << false;
    QTest::newRow(".expzip, dps by well, matrix") << int(ArchiveKind::Expzip) << 1 << true;
}

void TestMkPackage::smallEntriesReadBack()
{
    QFETCH(int, kind);
    QFETCH(int, dpsVersion);
    QFETCH(bool, matrix);
    RunPlan plan = smallRun(ArchiveKind(kind));
    plan.dpsVersion = dpsVersion;
    plan.storeMatrix = matrix;
    plan.password = QStringLiteral("pw");
    plan.exposure = 250;
    plan.focus = 1.5;
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == int(ArchiveKind::Imrs) ? "run.imrs" : "run.expzip");
    QString error;
    QVERIFY2(writeArchive(plan, path, nullptr, &error), qPrintable(error));

    DevParasMgr dev;
    DevParasMgr *devSlot = &dev;
    QVERIFY(DevParasFileParser(path, &devSlot).parse());
    QCOMPARE(dev.getDevSn(), plan.serialNumber);
    // Version 0 stores one set under key 0; version 1 one set per well id.
    const QList<quint32> keys = dpsVersion == 0 ? QList<quint32>{0} : QList<quint32>{1, 2};
    QCOMPARE(dev.getDevParas().paras.keys(), keys);
    const QVector<LumaraAnalysisData::ScanningParameterInfo> params = dev.getDevParas().paras.value(keys.last());
    QCOMPARE(params.size(), 6);
    QCOMPARE(params[5].exposureTime, 250);
    QCOMPARE(params[5].focus, 1.5);

    CompensationMatrixMgr cm;
    CompensationMatrixMgr *cmSlot = &cm;
    QVERIFY(CompensationMatrixFileParser(path, &cmSlot).parse());
    QCOMPARE(cm.getMatrixBuf(), matrix ? PkgWriter::matrixBytes(plan.matrix) : CompensationMatrixMgr().getMatrixBuf());

    FileLogMgr log;
    FileLogMgr *logSlot = &log;
    QVERIFY(FileLogPaser(path, &logSlot).parse());
    QCOMPARE(log.getLog()[FileLogMgr::ExperimentCounter], 1u);
    QCOMPARE(log.getLog()[FileLogMgr::WellCounter], 2u);
    QCOMPARE(log.getLog()[FileLogMgr::ZoneCounter], 3u); // zones 0 .. 3 of two channels
    QCOMPARE(log.getLog()[FileLogMgr::PopulationCounter], 2u);
}

void TestMkPackage::refusals_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("wrong suffix") << "suffix" << "run.arlx";
    QTest::newRow("unknown dye") << "dye" << "run.imrs";
    QTest::newRow("target on the reference channel") << "rox" << "run.imrs";
    QTest::newRow("two targets on one channel") << "samechannel" << "run.imrs";
    QTest::newRow("well target not a target") << "welltarget" << "run.imrs";
    QTest::newRow("two sets in layout 3.0") << "sets" << "run.imrs";
    QTest::newRow("password without its entry") << "password" << "run.imrs";
    QTest::newRow("width not a multiple of 4") << "width" << "run.imrs";
    QTest::newRow("8-bit image") << "format" << "run.imrs";
    QTest::newRow("excluded droplet missing") << "excluded" << "run.imrs";
    QTest::newRow("empty sample name") << "sample" << "run.imrs";
    QTest::newRow("folder missing") << "none" << "no/such/folder/run.imrs";
}

void TestMkPackage::refusals()
{
    QFETCH(QString, what);
    QFETCH(QString, fileName);
    RunPlan plan = smallRun(ArchiveKind::Imrs);
    if (what == "dye")
        plan.targets[1].dye = "TAMRA";
    else if (what == "rox")
        plan.targets[1].dye = "ROX";
    else if (what == "samechannel")
        plan.targets[1].dye = "EvaGreen";
    else if (what == "welltarget")
        plan.wells[1].targets = QStringList{"T-VIC"};
    else if (what == "sets") {
        plan.pcrVersion = 0;
        plan.imageSets = 2;
    } else if (what == "password") {
        plan.password = "pw";
        plan.passwordEntry = false;
    } else if (what == "width")
        plan.wells[0].images = {ramp16(6, 4, 0), QImage(), ramp16(6, 4, 0), QImage(), QImage(), QImage()};
    else if (what == "format")
        plan.wells[0].images[3] = plan.wells[0].images[3].convertToFormat(QImage::Format_Grayscale8);
    else if (what == "excluded")
        plan.wells[0].excluded = {6};
    else if (what == "sample")
        plan.wells[1].sampleName.clear();

    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    QString error;
    QVERIFY(!writeArchive(plan, path, nullptr, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(!QFileInfo::exists(path + ".part"));
    QVERIFY(!QFileInfo::exists(truthPathFor(path)));
}

LUMARA_TEST_MAIN(TestMkPackage)
#include "tst_mkpackage.moc"
