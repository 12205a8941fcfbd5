// Spill-over compensation: the 336-byte matrix image and file, applying the matrix to a well,
// background estimates, the strategies and the matrix calculation.
#include "spillovercompensation.h"
#include "spillovercompensationfileparser.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

using Ravelin::SpilloverCompensation;

namespace {

typedef QVector<QVector<uint>> GreyRows;

double doubleAt(const QByteArray &buf, int offset)
{
    const quint64 bits = qFromLittleEndian<quint64>(buf.constData() + offset);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

quint64 bitsOf(double v)
{
    quint64 b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Builds an image by hand: 36 matrix values row by row, then six backgrounds.
QByteArray image(const QVector<double> &values)
{
    QByteArray out;
    for (double v : values) {
        char le[8];
        qToLittleEndian(bitsOf(v), le);
        out.append(le, 8);
    }
    return out;
}

CompensationMatrix fromRows(const QVector<double> &m36, const QVector<double> &bg)
{
    CompensationMatrix m;
    for (int i = 0; i < 36; ++i)
        m.matrix[i / 6][i % 6] = m36[i];
    for (int ch = 0; ch < 6; ++ch)
        m.negativeBackground[ch] = bg[ch];
    return m;
}

QVector<double> identity36()
{
    QVector<double> m(36, 0.0);
    for (int i = 0; i < 6; ++i)
        m[7 * i] = 1.0;
    return m;
}

// A numbered matrix with backgrounds, unlike the identity in every value.
CompensationMatrix numbered()
{
    CompensationMatrix m;
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c)
            m.matrix[r][c] = r * 10 + c + 0.5;
        m.negativeBackground[r] = 100 + r;
    }
    return m;
}

WellImageAnalysisInfo wellOf(const QVector<qint32> &channels, const GreyRows &rows)
{
    WellImageAnalysisInfo w;
    w.valid = true;
    w.channels = channels;
    for (const QVector<uint> &r : rows) {
        DropletAnalysisInfo d;
        d.workingGreys = r;
        d.compensatedGreys = QVector<quint32>(6, 4242); // marks entries the step must not touch
        w.droplets.append(d);
    }
    return w;
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Dye r leaks into the redder channels only: unit upper triangle of powers of two, so the
// inverse (below) is exact in single precision and compensation gives integers back exactly.
const QVector<double> kTriangle = {
    1, 0.25, 0.125, 0.0625, 0.03125, 0.125,  //
    0, 1, 0.25, 0.0625, 0.125, 0.03125,      //
    0, 0, 1, 0.125, 0.25, 0.0625,            //
    0, 0, 0, 1, 0.25, 0.125,                 //
    0, 0, 0, 0, 1, 0.0625,                   //
    0, 0, 0, 0, 0, 1,
};
const QVector<double> kTriangleInverse = {
    1, -0.25, -0.0625, -0.0390625, 0.025390625, -0.1099853515625, //
    0, 1, -0.25, -0.03125, -0.0546875, -0.00830078125,             //
    0, 0, 1, -0.125, -0.21875, -0.033203125,                       //
    0, 0, 0, 1, -0.25, -0.109375,                                  //
    0, 0, 0, 0, 1, -0.0625,                                        //
    0, 0, 0, 0, 0, 1,
};

// A measured-looking matrix, not symmetric.
const QVector<double> kDense = {
    1, 0.12, 0.03, 0.01, 0.0, 0.0,   //
    0.05, 1, 0.21, 0.04, 0.01, 0.0,  //
    0.0, 0.08, 1, 0.17, 0.05, 0.02,  //
    0.0, 0.01, 0.06, 1, 0.24, 0.07,  //
    0.01, 0.0, 0.02, 0.09, 1, 0.19,  //
    0.0, 0.0, 0.01, 0.03, 0.11, 1,
};

} // namespace

class TestCompensation : public QObject {
    Q_OBJECT
private slots:
    void defaultImage();
    void imageLayout();
    void bufferLoads_data();
    void bufferLoads();
    void fileRoundTrip();
    void fileSizes_data();
    void fileSizes();
    void exportFailures();
    void apply_data();
    void apply();
    void spillAndInverse();
    void malformedWellsAreSafe();
    void strategies();
    void backgroundOfOneWell();
    void backgroundOfSeveralWells();
    void calculation();
    void calculationSkipsUnusablePairs();
    void calculationRefusesNoDifference();
    void destructionWaitsForCalculation();

private:
    QTemporaryDir m_dir;
};

void TestCompensation::defaultImage()
{
    SpilloverCompensation s;
    const QByteArray buf = s.getCompensationMatrixBuf();
    QCOMPARE(buf.size(), 336);
    for (int i = 0; i < 42; ++i) {
        const bool diagonal = i < 36 && i % 7 == 0; // indices 0, 7, 14, 21, 28, 35
        QCOMPARE(doubleAt(buf, 8 * i), diagonal ? 1.0 : 0.0);
    }
    QVERIFY(!s.getCrosstalkAdjuster());
}

void TestCompensation::imageLayout()
{
    SpilloverCompensation s;
    s.setCompensationMatrix(numbered());
    const QByteArray buf = s.getCompensationMatrixBuf();
    QCOMPARE(doubleAt(buf, 8 * (6 * 2 + 5)), 25.5); // entry (2, 5)
    QCOMPARE(doubleAt(buf, 8 * (6 * 5 + 0)), 50.5); // entry (5, 0)
    QCOMPARE(doubleAt(buf, 288 + 8 * 3), 103.0);    // background of channel 3
    // Bytes of 1.0 little-endian: 00 00 00 00 00 00 f0 3f.
    QCOMPARE(SpilloverCompensationFileParser().converToArray(CompensationMatrix()).left(8),
             QByteArray::fromHex("000000000000f03f"));

    QVector<double> values;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            values.append(r * 10 + c + 0.5);
    for (int ch = 0; ch < 6; ++ch)
        values.append(100 + ch);
    QCOMPARE(buf, image(values));
}

void TestCompensation::bufferLoads_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("taken");
    QTest::newRow("empty") << 0 << false;
    QTest::newRow("335") << 335 << false;
    QTest::newRow("336") << 336 << true;
    QTest::newRow("400, first 336 used") << 400 << true;
}

void TestCompensation::bufferLoads()
{
    QFETCH(int, size);
    QFETCH(bool, taken);
    QByteArray buf = SpilloverCompensationFileParser().converToArray(numbered());
    buf = size <= 336 ? buf.left(size) : buf + QByteArray(size - 336, '\x7f');

    SpilloverCompensation s;
    QVERIFY(s.loadCompensationMatrixBuf(buf)); // true whatever the buffer
    const QByteArray expected = SpilloverCompensationFileParser().converToArray(taken ? numbered() : CompensationMatrix());
    QCOMPARE(s.getCompensationMatrixBuf(), expected);
    SpilloverCompensation fromBuffer(buf);
    QCOMPARE(fromBuffer.getCompensationMatrixBuf(), expected);

    CompensationMatrix m;
    QCOMPARE(SpilloverCompensationFileParser().converToMatrix(buf, m), taken);
}

void TestCompensation::fileRoundTrip()
{
    CompensationMatrix m = numbered();
    m.matrix[0][1] = -0.0;
    m.matrix[1][0] = std::numeric_limits<double>::denorm_min();
    m.matrix[2][3] = 1e308;
    m.matrix[4][4] = 0.1;
    m.negativeBackground[5] = std::numeric_limits<double>::quiet_NaN();
    SpilloverCompensation a;
    a.setCompensationMatrix(m);
    const QString path = m_dir.filePath(QStringLiteral("round.cmtx"));
    QVERIFY(writeAll(path, QByteArray(1000, 'z'))); // an older, longer file is replaced whole
    QVERIFY(a.exportCompensationMatrixFile(path));
    QCOMPARE(QFileInfo(path).size(), qint64(336));

    SpilloverCompensation b;
    QVERIFY(b.loadCompensationMatrixFile(path));
    QCOMPARE(b.getCompensationMatrixBuf(), a.getCompensationMatrixBuf());
    QCOMPARE(bitsOf(b.getCompensationMatrix().matrix[0][1]), bitsOf(-0.0));
    QVERIFY(std::isnan(b.getCompensationMatrix().negativeBackground[5]));
    QVERIFY(b.getError().isEmpty());
}

void TestCompensation::fileSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("0") << 0;
    QTest::newRow("8") << 8;
    QTest::newRow("335") << 335;
    QTest::newRow("337") << 337;
    QTest::newRow("672") << 672;
}

void TestCompensation::fileSizes()
{
    QFETCH(int, size);
    // Matrix bytes cut short or followed by junk.
    QByteArray bytes = SpilloverCompensationFileParser().converToArray(CompensationMatrix());
    bytes = size <= 336 ? bytes.left(size) : bytes + QByteArray(size - 336, '\x01');
    const QString path = m_dir.filePath(QStringLiteral("size.cmtx"));
    QVERIFY(writeAll(path, bytes));

    SpilloverCompensation s;
    s.setCompensationMatrix(numbered());
    QVERIFY(!s.loadCompensationMatrixFile(path));
    QVERIFY(!s.getError().isEmpty());
    QCOMPARE(s.getCompensationMatrixBuf(), SpilloverCompensationFileParser().converToArray(numbered()));

    CompensationMatrix m;
    QString error;
    QVERIFY(!SpilloverCompensationFileParser().openFile(path, m, &error));
    QCOMPARE(error, QStringLiteral("The compensation matrix file is not 336 bytes long.\n"));
}

void TestCompensation::exportFailures()
{
    SpilloverCompensation s;
    QVERIFY(!s.loadCompensationMatrixFile(m_dir.filePath(QStringLiteral("missing.cmtx"))));
    QCOMPARE(s.getError(), QStringLiteral("Failed to open the compensation matrix file.\n"));
    QVERIFY(!s.exportCompensationMatrixFile(m_dir.filePath(QStringLiteral("no/folder/x.cmtx"))));
    QCOMPARE(s.getError(), QStringLiteral("Failed to open the compensation matrix file for writing.\n"));
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        QVERIFY(!s.exportCompensationMatrixFile(QStringLiteral("/dev/full")));
        QCOMPARE(s.getError(), QStringLiteral("Failed to write the compensation matrix file.\n"));
    }
}

// Expected greys: the exact solution of S y = x - bg (S the transpose of the matrix over the
// present channels) plus bg, floored and clamped at 0, worked out in rational arithmetic.
void TestCompensation::apply_data()
{
    QTest::addColumn<QVector<qint32>>("channels");
    QTest::addColumn<QVector<double>>("matrix");
    QTest::addColumn<QVector<double>>("background");
    QTest::addColumn<GreyRows>("in");
    QTest::addColumn<GreyRows>("out");

    const QVector<double> noBg(6, 0.0);
    QTest::newRow("identity keeps every grey") << QVector<qint32>{0, 1, 2, 3, 4, 5} << identity36() << noBg
                                               << GreyRows{{0, 1, 65535, 70000, 16777216, 123}}
                                               << GreyRows{{0, 1, 65535, 70000, 16777216, 123}};

    // Channels 0 and 2, A(0, 2) = 0.1: channel 2 loses 0.1 x channel 0.
    QVector<double> tenth = identity36();
    tenth[2] = 0.1;
    tenth[5] = 0.9; // channel 5 is absent and changes nothing
    QTest::newRow("two channels") << QVector<qint32>{0, 2} << tenth << noBg
                                  << GreyRows{{1000, 7, 100, 7, 7, 7}, {1000, 7, 50, 7, 7, 7}, {1000, 7, 300, 7, 7, 7}}
                                  << GreyRows{{1000, 7, 0, 7, 7, 7}, {1000, 7, 0, 7, 7, 7}, {1000, 7, 200, 7, 7, 7}};

    // Backgrounds 200 and 50, A(0, 2) = 0.25: y2 = (x2 - 50) - 0.25 (x0 - 200), grey = 50 + y2.
    // (1200, 400): 50 + 350 - 250 = 150 (without backgrounds it would be 100).
    // (150, 40): 50 + (-10) - 0.25 (-50) = 52.5 -> 52; channel 0 stays 150.
    QVector<double> quarter = identity36();
    quarter[2] = 0.25;
    QTest::newRow("background subtraction") << QVector<qint32>{0, 2} << quarter
                                            << QVector<double>{200, 0, 50, 0, 0, 0}
                                            << GreyRows{{1200, 0, 400, 0, 0, 0}, {200, 0, 50, 0, 0, 0}, {150, 0, 40, 0, 0, 0}}
                                            << GreyRows{{1200, 0, 150, 0, 0, 0}, {200, 0, 50, 0, 0, 0}, {150, 0, 52, 0, 0, 0}};

    // Untransposed, the same greys would give {11610, 2311, 754, 8964, 0, 4124},
    // {19828, 1325, 366, 192, 0, 55} and {0, 19806, 1306, 539, 340, 33}.
    QTest::newRow("6x6 needs the transpose")
        << QVector<qint32>{0, 1, 2, 3, 4, 5} << kDense << noBg
        << GreyRows{{12000, 3400, 2500, 9100, 800, 4300}, {20000, 2400, 500, 200, 100, 50}, {300, 20000, 3000, 900, 400, 100}}
        << GreyRows{{11929, 1781, 1239, 8742, 0, 4008}, {19998, 8, 0, 7, 99, 32}, {0, 20181, 0, 291, 182, 69}};

    // Channels 1, 3, 4 of the dense matrix with backgrounds; 0, 2 and 5 stay as they are.
    QTest::newRow("subset of channels") << QVector<qint32>{1, 3, 4} << kDense << QVector<double>{0, 150, 0, 220, 90, 0}
                                        << GreyRows{{7000, 6000, 1234, 900, 5000, 4321}, {7000, 200, 1234, 8000, 400, 4321}}
                                        << GreyRows{{7000, 5999, 1234, 229, 4939, 4321}, {7000, 120, 1234, 8144, 0, 4321}};

    // Channels 0 and 1 spill fully into each other: S is singular, its inverse all zeros,
    // and every grey falls to its channel's background.
    QVector<double> singular = identity36();
    singular[1] = 1;
    singular[6] = 1;
    QTest::newRow("singular") << QVector<qint32>{0, 1} << singular << QVector<double>{30, 40, 0, 0, 0, 0}
                              << GreyRows{{500, 900, 1, 2, 3, 4}} << GreyRows{{30, 40, 1, 2, 3, 4}};

    QTest::newRow("no channels") << QVector<qint32>{} << kDense << noBg << GreyRows{{5, 6, 7, 8, 9, 10}}
                                 << GreyRows{{5, 6, 7, 8, 9, 10}};
}

void TestCompensation::apply()
{
    QFETCH(QVector<qint32>, channels);
    QFETCH(QVector<double>, matrix);
    QFETCH(QVector<double>, background);
    QFETCH(GreyRows, in);
    QFETCH(GreyRows, out);

    SpilloverCompensation s;
    s.setCompensationMatrix(fromRows(matrix, background));
    WellImageAnalysisInfo w = wellOf(channels, in);
    s.applyCompensationMatrix(w);
    QCOMPARE(w.droplets.size(), out.size());
    for (int i = 0; i < out.size(); ++i) {
        QCOMPARE(w.droplets[i].workingGreys, out[i]);
        for (int ch = 0; ch < 6; ++ch)
            QCOMPARE(w.droplets[i].compensatedGreys[ch], channels.contains(ch) ? out[i][ch] : 4242u);
    }
}

void TestCompensation::spillAndInverse()
{
    // True greys t; measured x_c = sum_r A(r, c) t_r.
    const GreyRows truth{{8000, 1600, 0, 3200, 640, 12800}, {512, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 65536}};
    const GreyRows measured{{8000, 3600, 1400, 3800, 1890, 14290}, {512, 128, 64, 32, 16, 64}, {0, 0, 0, 0, 0, 65536}};
    const QVector<qint32> all{0, 1, 2, 3, 4, 5};

    SpilloverCompensation s;
    s.setCompensationMatrix(fromRows(kTriangle, QVector<double>(6, 0.0)));
    WellImageAnalysisInfo w = wellOf(all, measured);
    s.applyCompensationMatrix(w);
    for (int i = 0; i < truth.size(); ++i)
        QCOMPARE(w.droplets[i].workingGreys, truth[i]);

    // Compensating with the inverse matrix spills the signal back.
    s.setCompensationMatrix(fromRows(kTriangleInverse, QVector<double>(6, 0.0)));
    s.applyCompensationMatrix(w);
    for (int i = 0; i < measured.size(); ++i) {
        QCOMPARE(w.droplets[i].workingGreys, measured[i]);
        QCOMPARE(w.droplets[i].compensatedGreys, measured[i]);
    }
}

void TestCompensation::malformedWellsAreSafe()
{
    SpilloverCompensation s;
    QVector<double> m = kDense;
    m[1] = std::numeric_limits<double>::quiet_NaN();
    m[8] = std::numeric_limits<double>::infinity();
    s.setCompensationMatrix(fromRows(m, QVector<double>{0, 0, 0, 0, 0, 1e30}));
    WellImageAnalysisInfo w = wellOf({-1, 0, 1, 2, 5, 6, 99}, {{100, 200, 300, 400, 500, 600}});
    DropletAnalysisInfo shortDrop;
    shortDrop.workingGreys = {1, 2};
    w.droplets.append(shortDrop);
    s.applyCompensationMatrix(w); // no crash, no undefined conversion
    QCOMPARE(w.droplets[1].workingGreys, (QVector<quint32>{1, 2}));
    QCOMPARE(w.droplets[0].workingGreys[3], 400u);
    QCOMPARE(w.droplets[0].workingGreys[4], 500u);

    // A near-zero diagonal blows 5 up to 5e9, past the range of the grey: it stops at the top
    // instead of wrapping into a small grey.
    QVector<double> tiny = identity36();
    tiny[0] = 1e-9;
    SpilloverCompensation big;
    big.setCompensationMatrix(fromRows(tiny, QVector<double>(6, 0.0)));
    WellImageAnalysisInfo b = wellOf({0}, {{5, 0, 0, 0, 0, 0}});
    big.applyCompensationMatrix(b);
    QCOMPARE(b.droplets[0].workingGreys[0], std::numeric_limits<quint32>::max());
}

void TestCompensation::strategies()
{
    SpilloverCompensation s;
    s.setCompensationMatrix(fromRows(kTriangle, QVector<double>(6, 0.0)));
    const GreyRows measured{{8000, 3600, 1400, 3800, 1890, 14290}};

    s.setAdjustStrategy(Ravelin::NoneCrosstalk);
    QVERIFY(dynamic_cast<Ravelin::NoneCaer *>(s.getCrosstalkAdjuster()));
    WellImageAnalysisInfo w = wellOf({0, 1, 2, 3, 4, 5}, measured);
    QVERIFY(s.getCrosstalkAdjuster()->adjust(w));
    QCOMPARE(w.droplets[0].workingGreys, measured[0]);

    s.setAdjustStrategy(Ravelin::IntelligenceCrosstalk);
    QVERIFY(dynamic_cast<Ravelin::IntelligenceCaer *>(s.getCrosstalkAdjuster()));
    QVERIFY(s.getCrosstalkAdjuster()->adjust(w));
    QCOMPARE(w.droplets[0].workingGreys, measured[0]);

    s.setAdjustStrategy(Ravelin::CompensationMatrixCrosstalk);
    QVERIFY(dynamic_cast<Ravelin::CompensationMatrixCaer *>(s.getCrosstalkAdjuster()));
    QVERIFY(s.getCrosstalkAdjuster()->adjust(w));
    QCOMPARE(w.droplets[0].workingGreys, (QVector<quint32>{8000, 1600, 0, 3200, 640, 12800}));

    for (int value : {3, -1, 5})
        s.setAdjustStrategy(Ravelin::CrosstalkAdjustStrategy(value));
    QVERIFY(!s.getCrosstalkAdjuster());
}

void TestCompensation::backgroundOfOneWell()
{
    SpilloverCompensation s;
    CompensationMatrix m;
    for (double &b : m.negativeBackground)
        b = 9;
    // Channel 1: (10 + 20 + 40) / 3; channel 4: (1 + 2 + 4) / 3.
    WellImageAnalysisInfo w = wellOf({1, 4}, {{0, 10, 0, 0, 1, 0}, {0, 20, 0, 0, 2, 0}, {0, 40, 0, 0, 4, 0}});
    QVERIFY(s.getNegativeBackgrd(w, m));
    QCOMPARE(m.negativeBackground[1], 70.0 / 3);
    QCOMPARE(m.negativeBackground[4], 7.0 / 3);
    QCOMPARE(m.negativeBackground[0], 9.0);
    QCOMPARE(m.negativeBackground[5], 9.0);

    WellImageAnalysisInfo empty = wellOf({2}, {});
    QVERIFY(s.getNegativeBackgrd(empty, m));
    QCOMPARE(m.negativeBackground[2], 0.0); // no droplets: no background

    w.channelStates[3] = 1;
    QVERIFY(s.getNegativeBackgrd(w, m));
    for (double b : m.negativeBackground)
        QCOMPARE(b, 0.0);
}

void TestCompensation::backgroundOfSeveralWells()
{
    SpilloverCompensation s;
    WellImageAnalysisInfo a = wellOf({0}, {{100, 0, 0, 0, 0, 0}, {300, 0, 0, 0, 0, 0}});
    WellImageAnalysisInfo b = wellOf({0, 2}, {{50, 0, 6, 0, 0, 0}, {70, 0, 8, 0, 0, 0}});
    WellImageAnalysisInfo flagged = wellOf({0}, {{9999, 0, 0, 0, 0, 0}});
    flagged.channelStates[0] = 1;

    CompensationMatrix m;
    m.negativeBackground[5] = 3;
    // The last well without state 1 is b: channel 0 (50 + 70) / 2, channel 2 (6 + 8) / 2.
    QVERIFY(s.getNegativeBackgrd(QVector<WellImageAnalysisInfo>{a, b, flagged}, m));
    QCOMPARE(m.negativeBackground[0], 60.0);
    QCOMPARE(m.negativeBackground[2], 7.0);
    QCOMPARE(m.negativeBackground[5], 3.0);

    QVERIFY(s.getNegativeBackgrd(QVector<WellImageAnalysisInfo>{b, a}, m));
    QCOMPARE(m.negativeBackground[0], 200.0);

    QVERIFY(s.getNegativeBackgrd(QVector<WellImageAnalysisInfo>{flagged}, m));
    for (double v : m.negativeBackground)
        QCOMPARE(v, 0.0);
    m.negativeBackground[1] = 5;
    QVERIFY(s.getNegativeBackgrd(QVector<WellImageAnalysisInfo>{}, m));
    QCOMPARE(m.negativeBackground[1], 0.0);
}

void TestCompensation::calculation()
{
    // Dye of channel 0, level 1000: negatives mean (200, 60, 30), positives (5000, 510, 100);
    // diff (4800, 450, 70): row 0 = (1, 450/4800, 70/4800).
    WellImageAnalysisInfo dye0 = wellOf({0, 1, 2}, {{100, 50, 20, 0, 0, 0}, {300, 70, 40, 0, 0, 0},
                                                    {5200, 560, 130, 0, 0, 0}, {4800, 460, 70, 0, 0, 0}});
    dye0.channelLevels[0] = 1000;
    // Dye of channel 2 (the highest marked channel), level 2000: negatives (100, 50, 600),
    // positives (200, 300, 6000); diff (100, 250, 5400): row 2 = (100/5400, 250/5400, 1).
    WellImageAnalysisInfo dye2 = wellOf({0, 1, 2}, {{80, 40, 500, 0, 0, 0}, {120, 60, 700, 0, 0, 0},
                                                    {150, 250, 6600, 0, 0, 0}, {250, 350, 5400, 0, 0, 0}});
    dye2.channelLevels[2] = 2000;

    SpilloverCompensation s;
    s.setCompensationMatrix(numbered());
    QFuture<bool> done = s.calculateCompensationMatrix(
        {{&dye0, {1, 0, 0, 0, 0, 0}}, {&dye2, {0, 1, 1, 0, 0, 0}}});
    done.waitForFinished();
    QVERIFY(done.result());

    QVector<double> expected = identity36();
    expected[1] = 0.09375;              // 450 / 4800
    expected[2] = 0.014583333333333334; // 70 / 4800
    expected[12] = 0.018518518518518517; // 100 / 5400
    expected[13] = 0.046296296296296294; // 250 / 5400
    // Backgrounds: the later pair's negative means; channels 3 to 5 start from 0.
    const QVector<double> bg{100, 50, 600, 0, 0, 0};
    const CompensationMatrix &m = s.getCompensationMatrix();
    for (int i = 0; i < 36; ++i)
        QCOMPARE(m.matrix[i / 6][i % 6], expected[i]);
    for (int ch = 0; ch < 6; ++ch)
        QCOMPARE(m.negativeBackground[ch], bg[ch]);
}

void TestCompensation::calculationSkipsUnusablePairs()
{
    WellImageAnalysisInfo w = wellOf({0, 1}, {{1, 1, 0, 0, 0, 0}, {900, 90, 0, 0, 0, 0}});
    w.channelLevels[4] = 10;
    SpilloverCompensation s;
    s.setCompensationMatrix(numbered());
    // No mark at all, a dye channel without an image, no record: nothing to compute from.
    QFuture<bool> done = s.calculateCompensationMatrix(
        {{&w, {0, 0, 0, 0, 0, 0}}, {&w, {0, 0, 0, 0, 1, 0}}, {nullptr, {1, 0, 0, 0, 0, 0}}, {&w, {2, 7}}});
    QVERIFY(done.result());
    QCOMPARE(s.getCompensationMatrixBuf(), SpilloverCompensationFileParser().converToArray(CompensationMatrix()));
}

void TestCompensation::calculationRefusesNoDifference()
{
    WellImageAnalysisInfo good = wellOf({0, 1}, {{10, 5, 0, 0, 0, 0}, {1000, 105, 0, 0, 0, 0}});
    good.channelLevels[0] = 500;
    WellImageAnalysisInfo empty = wellOf({0, 1}, {});
    // All droplets negative with a dark dye channel: the sums of the dye channel are 0.
    WellImageAnalysisInfo dark = wellOf({0, 1}, {{0, 50, 0, 0, 0, 0}, {0, 70, 0, 0, 0, 0}});
    dark.channelLevels[0] = 100;

    for (WellImageAnalysisInfo *bad : {&empty, &dark}) {
        SpilloverCompensation s;
        s.setCompensationMatrix(numbered());
        QFuture<bool> done = s.calculateCompensationMatrix({{&good, {1, 0, 0, 0, 0, 0}}, {bad, {1, 0, 0, 0, 0, 0}}});
        QVERIFY(!done.result());
        QCOMPARE(s.getCompensationMatrixBuf(), SpilloverCompensationFileParser().converToArray(numbered()));
        QVERIFY(s.getError().contains(QLatin1String("channel 1")));
        for (int i = 0; i < 36; ++i)
            QVERIFY(std::isfinite(s.getCompensationMatrix().matrix[i / 6][i % 6]));
    }
}

void TestCompensation::destructionWaitsForCalculation()
{
    GreyRows rows;
    for (int i = 0; i < 200000; ++i)
        rows.append(QVector<uint>{uint(i % 2 ? 9000 : 100), uint(i % 7), 0, 0, 0, 0});
    WellImageAnalysisInfo w = wellOf({0, 1}, rows);
    w.channelLevels[0] = 1000;
    for (int round = 0; round < 3; ++round) {
        auto *s = new SpilloverCompensation;
        QFuture<bool> first = s->calculateCompensationMatrix({{&w, {1, 0, 0, 0, 0, 0}}});
        QFuture<bool> second = s->calculateCompensationMatrix({{&w, {1, 0, 0, 0, 0, 0}}});
        QVERIFY(first.isFinished()); // a new calculation waits for the previous one
        delete s;                    // waits for the second one
        QVERIFY(second.isFinished());
        QVERIFY(second.result());
    }
}

LUMARA_TEST_MAIN(TestCompensation)
#include "tst_compensation.moc"
