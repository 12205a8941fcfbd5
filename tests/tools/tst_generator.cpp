// Whole synthetic runs: image sizing from droplet counts, the crosstalk matrix, stored classes
// that agree with the drawn ones, the flat field that matches the rendering, the sharpness of a
// focused chip, repeatability by seed, well-level options, well shapes as the recognition
// measures them and as the command line asks for them, and refusals.
#include "generator.h"
#include "shapecommandline.h"
#include "testmain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <quazip.h>
#include <quazipfile.h>

#include <opencv2/imgcodecs.hpp>

#include <cmath>
#include <optional>

using namespace MkPackage;

namespace {

QByteArray entryData(const QString &zip, const QString &name, const QString &password)
{
    QuaZipFile f(zip, name);
    const QByteArray pw = password.toLatin1();
    if (!f.open(QIODevice::ReadOnly, password.isEmpty() ? nullptr : pw.constData()))
        return {};
    return f.readAll();
}

QJsonObject readJson(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

GeneratorOptions smallOptions()
{
    GeneratorOptions o;
    o.wells = 2;
    o.width = 256;
    o.height = 192;
    return o;
}

// One well measuring FAM, about 500 droplets, the channel drawn as a well shape.
GeneratorOptions shapedOptions(double fraction, const ShapeOptions &shape)
{
    GeneratorOptions o;
    o.wells = 1;
    o.width = o.height = 512;
    o.seed = 3;
    o.targets = {{"T", "FAM", fraction}};
    o.shape = shape;
    return o;
}

// The one well of a run of one target drawn as `shape`; false with the generator's message.
bool shapedWell(double fraction, const ShapeOptions &shape, WellPlan *well, QString *error)
{
    SynthWells wells;
    return wells.setOptions(shapedOptions(fraction, shape), error) && wells.well(0, well, error);
}

struct Spread {
    double mean = 0.0;
    double sd = 0.0;
    int count = 0;
};

Spread spreadOf(const std::vector<double> &values)
{
    Spread s;
    s.count = int(values.size());
    for (double v : values)
        s.mean += v;
    s.mean /= std::max(1, s.count);
    for (double v : values)
        s.sd += (v - s.mean) * (v - s.mean);
    s.sd = std::sqrt(s.sd / std::max(1, s.count - 1));
    return s;
}

// The stored FAM greys of a well's droplets drawn as `kind` (any kind when not given).
std::vector<double> greysOf(const WellPlan &well, std::optional<DrawnKind> kind = std::nullopt)
{
    std::vector<double> greys;
    for (const DropletPlan &d : well.droplets)
        if (!kind || d.drawnAs[0] == *kind)
            greys.push_back(double(d.grey[0]));
    return greys;
}

int countOf(const WellPlan &well, DrawnKind kind)
{
    return int(std::count_if(well.droplets.cbegin(), well.droplets.cend(),
                             [kind](const DropletPlan &d) { return d.drawnAs[0] == kind; }));
}

} // namespace

Q_DECLARE_METATYPE(ShapeOptions)

class TestGenerator : public QObject {
    Q_OBJECT

private slots:
    void crosstalk_data();
    void crosstalk();
    void sizing_data();
    void sizing();
    void classesAgree_data();
    void classesAgree();
    void storedMatrix_data();
    void storedMatrix();
    void wellOptions();
    void twoSets();
    void flatField_data();
    void flatField();
    void focusedSharpness_data();
    void focusedSharpness();
    void repeatableBySeed();
    void shapesAsMeasured_data();
    void shapesAsMeasured();
    void tailsPlateausAndLevels_data();
    void tailsPlateausAndLevels();
    void debrisAndSaturated();
    void shapesLeaveTheRestAlone();
    void shapeTruth();
    void tailPlateauAndLevelsTruth();
    void shapeCommandLine_data();
    void shapeCommandLine();
    void refusals_data();
    void refusals();
};

void TestGenerator::crosstalk_data()
{
    QTest::addColumn<QVector<int>>("channels");
    QTest::addColumn<int>("observed");
    QTest::addColumn<int>("source");
    QTest::addColumn<double>("share");
    // 0.2 into the next channel, 0.1 into the one before, only between measured channels.
    QTest::newRow("FAM into HEX") << QVector<int>{0, 1, 2} << 1 << 0 << 0.2;
    QTest::newRow("HEX into FAM") << QVector<int>{0, 1, 2} << 0 << 1 << 0.1;
    QTest::newRow("diagonal") << QVector<int>{0, 1, 2} << 1 << 1 << 1.0;
    QTest::newRow("two apart: none") << QVector<int>{0, 1, 2} << 2 << 0 << 0.0;
    QTest::newRow("unmeasured neighbour: none") << QVector<int>{0, 2} << 1 << 0 << 0.0;
}

void TestGenerator::crosstalk()
{
    QFETCH(QVector<int>, channels);
    QFETCH(int, observed);
    QFETCH(int, source);
    QFETCH(double, share);
    QCOMPARE(crosstalkMatrix(0.2, channels)[size_t(observed)][size_t(source)], share);
}

void TestGenerator::sizing_data()
{
    QTest::addColumn<int>("droplets");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");
    QTest::addColumn<double>("expectedPitch");
    // 800 pl: pitch 23, a cell of 23^2 sqrt(3)/2 = 458.13 px. 2000 droplets: side
    // ceil(sqrt(916261)) = 958, rounded up to 960.
    QTest::newRow("count only") << 2000 << 0 << 0 << 800 << 960 << 958 << 23.0;
    // 300 pl: pitch 14; 12000 droplets in 512 x 512: pitch sqrt(262144 / (12000 * 0.866)) = 5.022.
    QTest::newRow("count and size") << 12000 << 512 << 512 << 300 << 512 << 512 << 5.0224;
    QTest::newRow("size only, width rounded up") << 0 << 250 << 100 << 800 << 252 << 100 << 23.0;
    QTest::newRow("neither") << 0 << 0 << 0 << 3000 << 512 << 512 << 30.0;
}

void TestGenerator::sizing()
{
    QFETCH(int, droplets);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, volume);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);
    QFETCH(double, expectedPitch);
    GeneratorOptions o;
    o.wells = 1;
    o.droplets = droplets;
    o.width = width;
    o.height = height;
    o.volume = volume;
    // The lattice as drawn: scaled droplets fit none of the recognition's templates.
    o.storedDroplets = StoredDroplets::Drawn;
    SynthWells wells;
    QString error;
    QVERIFY2(wells.setOptions(o, &error), qPrintable(error));
    QCOMPARE(wells.imageWidth(), expectedWidth);
    QCOMPARE(wells.imageHeight(), expectedHeight);
    QVERIFY(std::fabs(wells.dropletPitch() - expectedPitch) < 1e-3);
    if (droplets > 0) {
        // The lattice holds about the asked number (the border cuts some).
        WellPlan well;
        QVERIFY2(wells.well(0, &well, &error), qPrintable(error));
        QVERIFY2(std::abs(int(well.droplets.size()) - droplets) < droplets / 10,
                 qPrintable(QString::number(well.droplets.size())));
        QCOMPARE(well.images[ReferenceChannel].size(), QSize(expectedWidth, expectedHeight));
    }
}

void TestGenerator::classesAgree_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<double>("crosstalk");
    QTest::addColumn<double>("vignetting");
    QTest::addColumn<bool>("matrix");
    QTest::newRow(".imrs plain") << "a.imrs" << 0.0 << 0.0 << true;
    QTest::newRow(".imrs crosstalk, compensated") << "a.imrs" << 0.15 << 0.0 << true;
    QTest::newRow(".imrs crosstalk, no matrix") << "a.imrs" << 0.1 << 0.0 << false;
    QTest::newRow(".imrs vignetting") << "a.imrs" << 0.0 << 0.3 << true;
    QTest::newRow(".expzip crosstalk") << "a.expzip" << 0.1 << 0.2 << true;
}

void TestGenerator::classesAgree()
{
    QFETCH(QString, fileName);
    QFETCH(double, crosstalk);
    QFETCH(double, vignetting);
    QFETCH(bool, matrix);
    GeneratorOptions o = smallOptions();
    o.crosstalk = crosstalk;
    o.vignetting = vignetting;
    o.matrix = matrix;
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    RunTruth truth;
    QString error;
    QVERIFY2(generatePackage(o, path, &truth, &error), qPrintable(error));
    QCOMPARE(truth.wells.size(), 2);
    for (const WellTruth &w : qAsConst(truth.wells)) {
        QVERIFY(w.droplets > 50);
        QCOMPARE(w.channels.size(), 3);
        // Reference droplets at their level +- 5 %, shaded by at most the vignetting.
        QVERIFY(w.referenceMean > ReferenceGrey * (1.0 - vignetting) * 0.97);
        QVERIFY(w.referenceMean < ReferenceGrey * 1.03 + crosstalk * 20000 * 1.5);
        for (const ChannelTruth &c : w.channels) {
            // The stored threshold separates the drawn classes exactly.
            QCOMPARE(c.storedPositives, c.truePositives);
            QCOMPARE(c.total, w.droplets);
            // The drawn fraction within four binomial deviations.
            const double p = c.drawnFraction;
            const double sd = std::sqrt(p * (1 - p) / c.total);
            QVERIFY2(std::fabs(double(c.truePositives) / c.total - p) < 4 * sd + 1e-9,
                     qPrintable(QStringLiteral("%1: %2 of %3").arg(c.target).arg(c.truePositives).arg(c.total)));
        }
        int zoned = 0;
        for (const auto &z : w.zones)
            zoned += z.second;
        QCOMPARE(zoned, w.droplets);
    }
    // The ground truth file says the same.
    const QJsonObject root = readJson(truthPathFor(path));
    QCOMPARE(root.value("wells").toArray().size(), 2);
    const QJsonObject second = root.value("wells").toArray()[1].toObject();
    QCOMPARE(second.value("droplets").toInt(), truth.wells[1].droplets);
    QCOMPARE(second.value("sharpness").toDouble(), truth.wells[1].sharpness);
    QCOMPARE(root.value("seed").toString(), QStringLiteral("1"));
    // What was drawn: every droplet on the images, of which the archive stores those found.
    GeneratorOptions drawn = o;
    drawn.storedDroplets = StoredDroplets::Drawn;
    SynthWells wells;
    WellPlan all;
    QVERIFY2(wells.setOptions(drawn, &error) && wells.well(1, &all, &error), qPrintable(error));
    QCOMPARE(second.value("drawnDroplets").toInt(), int(all.droplets.size()));
    QVERIFY(truth.wells[1].droplets < second.value("drawnDroplets").toInt());
}

// The stored matrix holds the images' crosstalk, or the share asked for in its stead.
void TestGenerator::storedMatrix_data()
{
    QTest::addColumn<double>("crosstalk");
    QTest::addColumn<double>("matrixCrosstalk"); // below 0: none asked for
    QTest::newRow("the images' crosstalk") << 0.2 << -1.0;
    QTest::newRow("images without crosstalk") << 0.0 << 0.2;
    QTest::newRow("images with less") << 0.05 << 0.2;
}

void TestGenerator::storedMatrix()
{
    QFETCH(double, crosstalk);
    QFETCH(double, matrixCrosstalk);
    GeneratorOptions o = smallOptions();
    o.crosstalk = crosstalk;
    if (matrixCrosstalk >= 0.0)
        o.matrixCrosstalk = matrixCrosstalk;
    QTemporaryDir dir;
    const QString path = dir.filePath("m.imrs");
    QString error;
    QVERIFY2(generatePackage(o, path, nullptr, &error), qPrintable(error));
    const QByteArray cmtx = entryData(path, "run.cmtx", QString());
    QCOMPARE(cmtx.size(), 28 + 4 + 336);
    const QByteArray image = cmtx.mid(32);
    auto entry = [&](int offset) { return qFromLittleEndian<double>(image.constData() + offset); };
    // Matrix (r, c) at 8 (6 r + c): FAM (0) shows 0.2 in HEX (1), HEX 0.1 in FAM, HEX 0.2 in
    // ROX (2); CY5 (3) shows 0.1 in ROX. Diagonal 1.
    QCOMPARE(entry(8 * 1), 0.2);
    QCOMPARE(entry(8 * 6), 0.1);
    QCOMPARE(entry(8 * 8), 0.2);
    QCOMPARE(entry(8 * 20), 0.1);
    QCOMPARE(entry(8 * 21), 1.0);
    QCOMPARE(entry(8 * 2), 0.0);
    // Backgrounds: the negatives' levels after crosstalk; HEX = 5000 + 0.2 * 5000 + 0.1 * 25000.
    QCOMPARE(entry(288 + 8 * 1), 8500.0);
    QCOMPARE(entry(288 + 8 * 4), 0.0); // unmeasured channel
}

void TestGenerator::wellOptions()
{
    GeneratorOptions o = smallOptions();
    o.wells = 3;
    o.wellTargets.insert(1, {"Target-FAM"});
    o.wellFractions[2].insert("Target-HEX", 1.0);
    o.wellFractions[2].insert("Target-CY5", 0.0);
    o.wellSamples.insert(0, "Blood");
    o.wellSamples.insert(2, "Blood");
    QTemporaryDir dir;
    RunTruth truth;
    QString error;
    QVERIFY2(generatePackage(o, dir.filePath("w.imrs"), &truth, &error), qPrintable(error));
    // Wells 1 and 3 share a sample name; well 2 keeps its own.
    SynthWells source;
    QVERIFY2(source.setOptions(o, &error), qPrintable(error));
    QCOMPARE(source.summary(0).sampleName, QString("Blood"));
    QCOMPARE(source.summary(1).sampleName, QString("S2"));
    QCOMPARE(source.summary(2).sampleName, QString("Blood"));
    // Well 2 measures FAM only: bits 1 and 2 (HEX, CY5) set in every zone mask.
    QCOMPARE(truth.wells[1].channels.size(), 1);
    for (const auto &z : truth.wells[1].zones)
        QCOMPARE(z.first & 6u, 6u);
    QCOMPARE(truth.wells[1].imageEntries, (QStringList{"capture/1B_CH1.png", "capture/1B_CH3.png"}));
    // Well 3: every droplet HEX positive, none CY5 positive.
    const WellTruth &w3 = truth.wells[2];
    QCOMPARE(w3.channels[1].truePositives, w3.droplets);
    QCOMPARE(w3.channels[1].storedPositives, w3.droplets);
    QCOMPARE(w3.channels[2].storedPositives, 0);
    QCOMPARE(w3.channels[2].drawnFraction, 0.0);
}

void TestGenerator::twoSets()
{
    GeneratorOptions o = smallOptions();
    o.wells = 1;
    o.imageSets = 2;
    o.height = 191; // made even for the halves
    o.password = "pw";
    QTemporaryDir dir;
    const QString path = dir.filePath("two.imrs");
    RunTruth truth;
    QString error;
    QVERIFY2(generatePackage(o, path, &truth, &error), qPrintable(error));
    QCOMPARE(truth.wells[0].imageEntries.size(), 8); // four channels, two halves each
    QImage top, bottom;
    QVERIFY(top.loadFromData(entryData(path, "capture/1A_CH3_1.png", "pw")));
    QVERIFY(bottom.loadFromData(entryData(path, "capture/1A_CH3_2.png", "pw")));
    QCOMPARE(top.format(), QImage::Format_Grayscale8);
    QCOMPARE(top.size(), QSize(256, 96));
    QCOMPARE(bottom.size(), QSize(256, 96));
    // Measured on the 8-bit images, the classes still separate.
    for (const ChannelTruth &c : qAsConst(truth.wells[0].channels))
        QCOMPARE(c.storedPositives, c.truePositives);
}

void TestGenerator::flatField_data()
{
    QTest::addColumn<int>("sets");
    QTest::addColumn<double>("vignetting");
    QTest::newRow("one set, flat") << 1 << 0.0;
    QTest::newRow("one set, vignetting") << 1 << 0.3;
    QTest::newRow("two sets, vignetting") << 2 << 0.3;
}

// The archive's flat field is one stored image large and takes the rendering's vignetting out
// of the droplets' greys in every set.
void TestGenerator::flatField()
{
    QFETCH(int, sets);
    QFETCH(double, vignetting);
    GeneratorOptions o = smallOptions();
    o.wells = 1;
    o.width = 512;
    o.height = 384;
    o.imageSets = sets;
    o.vignetting = vignetting;
    QTemporaryDir dir;
    const QString path = dir.filePath("flat.imrs");
    QString error;
    QVERIFY2(generatePackage(o, path, nullptr, &error), qPrintable(error));
    const QByteArray tiff = entryData(path, "uniform/uniformImage.tif", QString());
    QVERIFY(!tiff.isEmpty());
    const cv::Mat flat = cv::imdecode(std::vector<uchar>(tiff.cbegin(), tiff.cend()), cv::IMREAD_UNCHANGED);
    QCOMPARE(flat.type(), CV_32FC1);
    QCOMPARE(flat.cols, 512);
    QCOMPARE(flat.rows, 384 / sets);
    QCOMPARE(flat.at<float>(0, 0), float(1.0 - vignetting));

    SynthWells wells;
    QVERIFY2(wells.setOptions(o, &error), qPrintable(error));
    WellPlan well;
    QVERIFY2(wells.well(0, &well, &error), qPrintable(error));
    QVERIFY(well.droplets.size() > 100);
    // Reference greys spread +- 5 % (a deviation of 2.9 %) around their level; the shading
    // spreads the raw ones further.
    double raw = 0.0, rawSquares = 0.0, corrected = 0.0, correctedSquares = 0.0;
    for (const DropletPlan &d : well.droplets) {
        const double g = d.grey[ReferenceChannel];
        const double c = g / flat.at<float>(int(d.y) % flat.rows, int(d.x));
        raw += g;
        rawSquares += g * g;
        corrected += c;
        correctedSquares += c * c;
    }
    const double n = double(well.droplets.size());
    auto cv = [n](double sum, double squares) {
        const double mean = sum / n;
        return std::sqrt(std::max(0.0, squares / n - mean * mean)) / mean;
    };
    QVERIFY2(cv(corrected, correctedSquares) < 0.035, qPrintable(QString::number(cv(corrected, correctedSquares))));
    if (vignetting > 0.0)
        QVERIFY2(cv(raw, rawSquares) > 0.05, qPrintable(QString::number(cv(raw, rawSquares))));
}

void TestGenerator::focusedSharpness_data()
{
    QTest::addColumn<int>("volume");
    for (int volume : {300, 600, 800, 3000})
        QTest::addRow("%d pl", volume) << volume;
}

// A focused chip reads well above the Quality Control page's default limit of 1500 by the
// analysis's sharpness measure, at every droplet volume.
void TestGenerator::focusedSharpness()
{
    QFETCH(int, volume);
    GeneratorOptions o = smallOptions();
    o.volume = volume;
    o.width = o.height = 512;
    // The images as drawn, measured whatever the recognition makes of them.
    o.storedDroplets = StoredDroplets::Drawn;
    QTemporaryDir dir;
    RunTruth truth;
    QString error;
    QVERIFY2(generatePackage(o, dir.filePath("sharp.imrs"), &truth, &error), qPrintable(error));
    for (const WellTruth &w : qAsConst(truth.wells))
        QVERIFY2(w.sharpness > 1.2 * 1500, qPrintable(QString::number(w.sharpness)));
}

void TestGenerator::repeatableBySeed()
{
    QTemporaryDir dir;
    GeneratorOptions o = smallOptions();
    o.crosstalk = 0.05;
    QString error;
    const QStringList paths = {dir.filePath("a.imrs"), dir.filePath("b.imrs"), dir.filePath("c.imrs")};
    for (int i = 0; i < 3; ++i) {
        o.seed = i == 2 ? 2 : 1;
        QVERIFY2(generatePackage(o, paths[i], nullptr, &error), qPrintable(error));
    }
    auto bytes = [](const QString &p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QCOMPARE(bytes(paths[0]), bytes(paths[1]));
    QVERIFY(entryData(paths[0], "run.pcr", QString()) != entryData(paths[2], "run.pcr", QString()));
    QVERIFY(entryData(paths[0], "capture/1A_CH1.png", QString()) != entryData(paths[2], "capture/1A_CH1.png", QString()));
    // Analysis parameters: the library's defaults, all 21 keys.
    const QJsonObject params = QJsonDocument::fromJson(entryData(paths[0], "analysisparams.json", QString()))
                                   .object()
                                   .value("General")
                                   .toObject();
    QCOMPARE(params.size(), 21);
    QCOMPARE(params.value("GreyValueMaskSize").toInt(), 23);
}

void TestGenerator::shapesAsMeasured_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<ShapeOptions>("shape");
    QTest::addColumn<QString>("measure");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");
    ShapeOptions s;
    s.separation = 8.0;
    QTest::newRow("separation: 8 sd between the means") << 0.3 << s << "separation" << 8.0 << 0.6;
    QTest::newRow("separation: the negatives keep the plain spread")
        << 0.3 << s << "negative sd" << 5000.0 * 0.05 / std::sqrt(3.0) << 15.0;
    s = ShapeOptions();
    s.positiveCv = 0.12;
    QTest::newRow("positive CV 12 %") << 0.5 << s << "positive cv" << 0.12 << 0.015;
    s = ShapeOptions();
    s.rain = 0.0;
    QTest::newRow("a shape of defaults: the plain positives' spread") << 0.5 << s << "positive cv"
                                                                      << 0.05 / std::sqrt(3.0) << 0.005;
    s = ShapeOptions();
    s.logNormal = 0.3;
    QTest::newRow("log-normal 0.3: the logarithms' deviation") << 0.0 << s << "log sd" << 0.3 << 0.03;
    QTest::newRow("log-normal 0.3: centred on the negative level") << 0.0 << s << "median" << 5000.0 << 150.0;
    s = ShapeOptions();
    s.flatTail = 0.2;
    // Spread evenly over 5 sd: 2/5 of the tail lies beyond 3 sd, where the normal part hardly reaches.
    QTest::newRow("flat tail 20 %: the share beyond 3 sd") << 0.0 << s << "beyond 3 sd" << 0.08 << 0.03;
    s = ShapeOptions();
    s.rain = 0.2;
    s.separation = 20.0;
    QTest::newRow("rain 20 %: its share") << 0.3 << s << "rain share" << 0.2 << 0.04;
    QTest::newRow("rain 20 %: counted positive from the midpoint") << 0.3 << s << "rain by midpoint" << 1.0 << 0.02;
}

// The greys the recognition measures on the images follow the shape asked for.
void TestGenerator::shapesAsMeasured()
{
    QFETCH(double, fraction);
    QFETCH(ShapeOptions, shape);
    QFETCH(QString, measure);
    QFETCH(double, expected);
    QFETCH(double, tolerance);
    WellPlan well;
    QString error;
    QVERIFY2(shapedWell(fraction, shape, &well, &error), qPrintable(error));
    QVERIFY(well.droplets.size() > 400);
    const Spread negatives = spreadOf(greysOf(well, DrawnKind::Negative));
    const Spread positives = spreadOf(greysOf(well, DrawnKind::Positive));
    const double plainSd = 5000.0 * 0.05 / std::sqrt(3.0);
    double measured = 0.0;
    if (measure == "separation") {
        measured = (positives.mean - negatives.mean) / negatives.sd;
    } else if (measure == "negative sd") {
        measured = negatives.sd;
    } else if (measure == "positive cv") {
        measured = positives.sd / positives.mean;
    } else if (measure == "log sd" || measure == "median") {
        std::vector<double> greys = greysOf(well, DrawnKind::Negative);
        std::vector<double> logs;
        for (double g : greys)
            logs.push_back(std::log(g));
        std::nth_element(greys.begin(), greys.begin() + long(greys.size() / 2), greys.end());
        measured = measure == "median" ? greys[greys.size() / 2] : spreadOf(logs).sd;
    } else if (measure == "beyond 3 sd") {
        const std::vector<double> greys = greysOf(well, DrawnKind::Negative);
        measured = double(std::count_if(greys.cbegin(), greys.cend(), [&](double g) { return g > 5000.0 + 3 * plainSd; }))
                   / double(greys.size());
    } else if (measure == "rain share") {
        measured = double(countOf(well, DrawnKind::Rain)) / double(well.droplets.size());
    } else if (measure == "rain by midpoint") {
        // Measured, a rain droplet lies on the side of the midpoint its class says.
        const double midpoint = (5000.0 + 5000.0 + 20 * plainSd) / 2.0;
        int agreeing = 0, rain = 0;
        for (const DropletPlan &d : well.droplets)
            if (d.drawnAs[0] == DrawnKind::Rain) {
                ++rain;
                agreeing += (double(d.grey[0]) >= midpoint) == d.positive[0] ? 1 : 0;
            }
        QVERIFY(rain > 50);
        measured = double(agreeing) / rain;
    }
    QVERIFY2(std::fabs(measured - expected) <= tolerance,
             qPrintable(QStringLiteral("%1: %2, expected %3").arg(measure).arg(measured).arg(expected)));
}

void TestGenerator::tailsPlateausAndLevels_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<ShapeOptions>("shape");
    // Of all droplets, the share of those drawn "negative" or "positive" whose greys lie from
    // `from` to below `to` times the negative level; or the "mean" multiple of all there.
    QTest::addColumn<QString>("measure");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");
    const double sd = 0.05 / std::sqrt(3.0); // the negatives' deviation over their level
    ShapeOptions s;
    s.lowerTail = 0.3;
    s.lowerShelf = true;
    // All droplets negative; a shelf lies evenly over 0.4 to 1 of their level, with their spread
    // besides.
    QTest::newRow("lower shelf: half of it in its lower half") << 0.0 << s << "negatives" << 0.0 << 0.7 << 0.15 << 0.035;
    QTest::newRow("lower shelf: none below its depth") << 0.0 << s << "negatives" << 0.0 << 0.4 - 4 * sd << 0.0 << 0.0;
    s.lowerDepth = 0.6;
    QTest::newRow("lower shelf to 0.6: half in its lower half") << 0.0 << s << "negatives" << 0.0 << 0.8 << 0.15 << 0.035;
    s.lowerDepth.reset();
    s.lowerShelf = false;
    // A tail thins out to nothing: a quarter of it in its lower half.
    QTest::newRow("lower tail: a quarter in its lower half") << 0.0 << s << "negatives" << 0.0 << 0.7 << 0.075 << 0.035;
    s = ShapeOptions();
    s.plateauFrom = 1.5;
    s.plateauTo = 3.5;
    QTest::newRow("plateau: evenly") << 0.3 << s << "mean" << 1.4 << 3.6 << 2.5 << 0.12;
    QTest::newRow("plateau: no positive below it") << 0.3 << s << "positives" << 0.0 << 1.5 * 0.98 << 0.0 << 0.0;
    QTest::newRow("plateau: no positive above it") << 0.3 << s << "positives" << 3.5 * 1.02 << 100.0 << 0.0 << 0.0;
    s = ShapeOptions();
    s.levels = std::vector<LumaraSynth::WellShape::Level>{{1.5, 0.1}, {2.5, 0.15}};
    QTest::newRow("levels: the lower one's share") << 0.5 << s << "positives" << 1.3 << 1.7 << 0.1 << 0.03;
    QTest::newRow("levels: the upper one's share") << 0.5 << s << "positives" << 2.2 << 2.8 << 0.15 << 0.03;
    QTest::newRow("levels: their shares, not the fraction") << 0.5 << s << "positives" << 0.0 << 100.0 << 0.25 << 0.03;
}

// Lower tails, plateaus and levels as the recognition measures them.
void TestGenerator::tailsPlateausAndLevels()
{
    QFETCH(double, fraction);
    QFETCH(ShapeOptions, shape);
    QFETCH(QString, measure);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, expected);
    QFETCH(double, tolerance);
    WellPlan well;
    QString error;
    QVERIFY2(shapedWell(fraction, shape, &well, &error), qPrintable(error));
    QVERIFY(well.droplets.size() > 400);
    int inside = 0;
    double sum = 0.0;
    for (const DropletPlan &d : well.droplets) {
        const double m = d.grey[0] / 5000.0;
        if (m >= from && m < to && (measure == "mean" || d.positive[0] == (measure == "positives"))) {
            ++inside;
            sum += m;
        }
    }
    const double measured = measure == "mean" ? sum / std::max(1, inside) : double(inside) / double(well.droplets.size());
    QVERIFY2(std::fabs(measured - expected) <= tolerance,
             qPrintable(QStringLiteral("%1: %2, expected %3").arg(measure).arg(measured).arg(expected)));
}

// Debris droplets far above the positives, saturated droplets at full scale on the image and
// marked saturated by the recognition, both counted positive, both where the recognition finds
// them.
void TestGenerator::debrisAndSaturated()
{
    ShapeOptions s;
    s.debris = 2;
    s.saturated = 3;
    SynthWells wells;
    WellPlan well;
    QString error;
    QVERIFY2(wells.setOptions(shapedOptions(0.1, s), &error) && wells.well(0, &well, &error), qPrintable(error));
    QCOMPARE(countOf(well, DrawnKind::Debris), 2);
    QCOMPARE(countOf(well, DrawnKind::Saturated), 3);
    int flagged = 0;
    for (const DropletPlan &d : well.droplets) {
        flagged += d.saturated[0] ? 1 : 0;
        QVERIFY(!d.saturated[ReferenceChannel]);
        if (d.drawnAs[0] == DrawnKind::Debris) {
            QVERIFY(d.positive[0]);
            QVERIFY2(std::fabs(double(d.grey[0]) - DebrisGrey) < 0.1 * DebrisGrey, qPrintable(QString::number(d.grey[0])));
            QVERIFY(!d.saturated[0]);
        } else if (d.drawnAs[0] == DrawnKind::Saturated) {
            QVERIFY(d.positive[0]);
            QVERIFY(d.saturated[0]);
            QCOMPARE(d.grey[0], 65535u);
        } else {
            QVERIFY(d.grey[0] < 40000);
        }
    }
    QCOMPARE(flagged, 3);
    QCOMPARE(well.saturated, 3);
    // Without saturated droplets nothing on the image reaches the saturation mark.
    s.saturated = 0;
    QVERIFY2(wells.setOptions(shapedOptions(0.1, s), &error) && wells.well(0, &well, &error), qPrintable(error));
    double top = 0.0;
    cv::minMaxLoc(cv::Mat(well.images[0].height(), well.images[0].width(), CV_16UC1,
                          const_cast<uchar *>(well.images[0].constBits()), size_t(well.images[0].bytesPerLine())),
                  nullptr, &top);
    QVERIFY(top < 65280.0);
    QCOMPARE(well.saturated, 0);
}

// A shape drawn in one channel of one well changes nothing else: the other wells and channels
// keep the images of the plain levels.
void TestGenerator::shapesLeaveTheRestAlone()
{
    GeneratorOptions plain = smallOptions();
    plain.storedDroplets = StoredDroplets::Drawn;
    GeneratorOptions shaped = plain;
    ShapeOptions s;
    s.rain = 0.1;
    s.debris = 1;
    shaped.wellShapes[1].insert("Target-HEX", s);
    SynthWells a, b;
    QString error;
    QVERIFY2(a.setOptions(plain, &error) && b.setOptions(shaped, &error), qPrintable(error));
    for (int i = 0; i < 2; ++i) {
        WellPlan x, y;
        QVERIFY2(a.well(i, &x, &error) && b.well(i, &y, &error), qPrintable(error));
        for (int c : {0, 1, 2, 3}) {
            const bool changed = i == 1 && c == 1;
            QCOMPARE(x.images[size_t(c)] != y.images[size_t(c)], changed);
            QCOMPARE(y.shapes[size_t(c)].isEmpty(), !changed);
        }
    }
}

// The ground truth states the shape and what was drawn, for shaped channels only.
void TestGenerator::shapeTruth()
{
    GeneratorOptions o = smallOptions();
    o.width = o.height = 384;
    ShapeOptions s;
    s.rain = 0.1;
    s.positiveCv = 0.1;
    s.debris = 1;
    o.wellShapes[0].insert("Target-FAM", s);
    QTemporaryDir dir;
    const QString path = dir.filePath("shape.imrs");
    RunTruth truth;
    QString error;
    QVERIFY2(generatePackage(o, path, &truth, &error), qPrintable(error));
    const QJsonArray wells = readJson(truthPathFor(path)).value("wells").toArray();
    const QJsonObject fam = wells[0].toObject().value("channels").toArray()[0].toObject();
    QCOMPARE(fam.value("dye").toString(), QStringLiteral("FAM"));
    const QJsonObject shape = fam.value("shape").toObject();
    QCOMPARE(shape.value("rain").toDouble(), 0.1);
    QCOMPARE(shape.value("positiveCv").toDouble(), 0.1);
    QCOMPARE(shape.value("positiveFraction").toDouble(), 0.2);
    QCOMPARE(shape.value("positiveMean").toDouble(), 20000.0);
    QCOMPARE(shape.value("rainMidpoint").toDouble(), 12500.0);
    QCOMPARE(shape.value("debris").toInt(), 1);
    const QJsonObject drawn = fam.value("drawn").toObject();
    QCOMPARE(drawn.value("debris").toInt(), 1);
    QVERIFY(drawn.value("rain").toInt() > 0);
    // The true positives follow the shape's rule: positives, rain from the midpoint, debris.
    QCOMPARE(fam.value("positives").toInt(), drawn.value("positives").toInt() + drawn.value("rainPositive").toInt()
                                                 + drawn.value("debris").toInt());
    QCOMPARE(drawn.value("negatives").toInt() + drawn.value("positives").toInt() + drawn.value("rain").toInt()
                 + drawn.value("debris").toInt() + drawn.value("saturated").toInt(),
             fam.value("total").toInt());
    // The channels and wells drawn at the plain levels say nothing of shapes.
    for (int w = 0; w < 2; ++w)
        for (const QJsonValue &c : wells[w].toObject().value("channels").toArray())
            if (w == 1 || c.toObject().value("dye").toString() != "FAM") {
                QVERIFY(!c.toObject().contains("shape"));
                QVERIFY(!c.toObject().contains("drawn"));
            }
}

// The ground truth states a lower tail, a plateau and levels where they are drawn, and counts
// what the shape draws positive: the lower tail negative, the levels' shares for the fraction.
void TestGenerator::tailPlateauAndLevelsTruth()
{
    GeneratorOptions o = smallOptions();
    o.wells = 3;
    o.width = o.height = 384;
    ShapeOptions shapes[3];
    shapes[0].lowerTail = 0.05;
    shapes[0].lowerShelf = true;
    shapes[1].plateauFrom = 1.7;
    shapes[1].plateauTo = 4.5;
    shapes[1].plateauHumps = 2;
    shapes[2].levels = std::vector<LumaraSynth::WellShape::Level>{{1.5, 0.05}, {2.1, 0.05}};
    const QJsonObject expected[3] = {
        {{"lowerTail", 0.05}, {"lowerDepth", 0.4}, {"lowerShelf", true}, {"positiveFraction", 0.2}},
        {{"plateauFrom", 1.7}, {"plateauTo", 4.5}, {"plateauHumps", 2}, {"positiveFraction", 0.2}},
        {{"levels", QJsonArray{QJsonObject{{"multiple", 1.5}, {"share", 0.05}},
                               QJsonObject{{"multiple", 2.1}, {"share", 0.05}}}},
         {"positiveFraction", 0.1}}};
    for (int w = 0; w < 3; ++w)
        o.wellShapes[w].insert("Target-FAM", shapes[w]);
    QTemporaryDir dir;
    const QString path = dir.filePath("shapes.imrs");
    QString error;
    QVERIFY2(generatePackage(o, path, nullptr, &error), qPrintable(error));
    const QJsonArray wells = readJson(truthPathFor(path)).value("wells").toArray();
    for (int w = 0; w < 3; ++w) {
        const QJsonObject fam = wells[w].toObject().value("channels").toArray()[0].toObject();
        const QJsonObject shape = fam.value("shape").toObject();
        for (const char *key : {"lowerTail", "lowerDepth", "lowerShelf", "plateauFrom", "plateauTo", "plateauHumps",
                                "levels", "positiveFraction"})
            QCOMPARE(shape.value(QLatin1String(key)), expected[w].value(QLatin1String(key)));
        const double fraction = expected[w].value("positiveFraction").toDouble();
        QCOMPARE(fam.value("drawnFraction").toDouble(), fraction);
        QVERIFY2(std::fabs(fam.value("fraction").toDouble() - fraction) < 0.04, qPrintable(QString::number(w)));
        QCOMPARE(fam.value("positives").toInt(), fam.value("drawn").toObject().value("positives").toInt());
    }
}

void TestGenerator::shapeCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected"); // the shape of the run, then of well 2's Target-HEX
    QTest::newRow("none") << QStringList{} << true << "run {} well {}";
    QTest::newRow("run-wide") << QStringList{"--rain", "0.05", "--positive-cv", "0.1", "--separation", "6", "--debris",
                                             "1", "--saturated", "2"}
                              << true << "run {rain 0.05 cv 0.1 sep 6 debris 1 saturated 2} well {}";
    QTest::newRow("log-normal tail") << QStringList{"--tail", "lognormal:0.25"} << true << "run {lognormal 0.25} well {}";
    QTest::newRow("flat tail") << QStringList{"--tail", "flat:0.03"} << true << "run {flat 0.03} well {}";
    QTest::newRow("flat tail with width") << QStringList{"--tail", "flat:0.03:8"} << true
                                          << "run {flat 0.03 width 8} well {}";
    QTest::newRow("per well") << QStringList{"--rain", "0.05", "--well-rain", "2:Target-HEX=0.1", "--well-tail",
                                             "2:Target-HEX=lognormal:0.2", "--well-debris", "2:Target-HEX=3"}
                              << true << "run {rain 0.05} well {rain 0.1 lognormal 0.2 debris 3}";
    QTest::newRow("lower tail") << QStringList{"--lower-tail", "tail:0.05"} << true << "run {lower 0.05 shelf 0} well {}";
    QTest::newRow("lower shelf with depth") << QStringList{"--lower-tail", "shelf:0.05:0.3"} << true
                                            << "run {lower 0.05 depth 0.3 shelf 1} well {}";
    QTest::newRow("plateau with humps") << QStringList{"--plateau", "1.7:4.5:2"} << true
                                        << "run {plateau 1.7 to 4.5 humps 2} well {}";
    QTest::newRow("levels") << QStringList{"--levels", "1.5:0.05,2.1:0.1"} << true
                            << "run {levels 1.5:0.05,2.1:0.1} well {}";
    QTest::newRow("per well: lower tail, plateau, levels")
        << QStringList{"--well-lower-tail", "2:Target-HEX=shelf:0.1", "--well-plateau", "2:Target-HEX=2:3",
                       "--well-levels", "2:Target-HEX=3:0.2"}
        << true << "run {} well {lower 0.1 shelf 1 plateau 2 to 3 levels 3:0.2}";
    QTest::newRow("not a number") << QStringList{"--rain", "some"} << false << "--rain";
    QTest::newRow("a whole number of debris") << QStringList{"--debris", "1.5"} << false << "--debris";
    QTest::newRow("unknown tail") << QStringList{"--tail", "heavy:0.2"} << false << "--tail";
    QTest::newRow("well out of range") << QStringList{"--well-rain", "3:Target-HEX=0.1"} << false << "--well-rain";
    QTest::newRow("well without a value") << QStringList{"--well-saturated", "2:Target-HEX"} << false
                                          << "--well-saturated";
    QTest::newRow("unknown lower tail") << QStringList{"--lower-tail", "flat:0.1"} << false << "--lower-tail cannot";
    QTest::newRow("plateau of one end") << QStringList{"--plateau", "2"} << false << "--plateau cannot";
    QTest::newRow("a whole number of humps") << QStringList{"--plateau", "1.5:3:1.5"} << false << "--plateau cannot";
    QTest::newRow("level without a share") << QStringList{"--levels", "1.5:0.1,2"} << false << "--levels cannot";
    QTest::newRow("well levels without a value") << QStringList{"--well-levels", "2:Target-HEX=2"} << false
                                                 << "--well-levels";
}

void TestGenerator::shapeCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    QCommandLineParser parser;
    const ShapeCommandLine shapes;
    shapes.addTo(parser);
    QVERIFY2(parser.parse(QStringList{"mkpackage"} + arguments), qPrintable(parser.errorText()));
    GeneratorOptions o = smallOptions();
    QString error;
    QCOMPARE(shapes.read(parser, &o, &error), ok);
    if (!ok) {
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        return;
    }
    auto text = [](const ShapeOptions &s) {
        QStringList parts;
        auto add = [&parts](const char *name, auto value) {
            if (value)
                parts.append(QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(*value));
        };
        add("rain", s.rain);
        add("cv", s.positiveCv);
        add("sep", s.separation);
        add("lognormal", s.logNormal);
        add("flat", s.flatTail);
        add("width", s.flatTailWidth);
        add("lower", s.lowerTail);
        add("depth", s.lowerDepth);
        add("shelf", s.lowerShelf ? std::optional<int>(*s.lowerShelf) : std::nullopt);
        add("plateau", s.plateauFrom);
        add("to", s.plateauTo);
        add("humps", s.plateauHumps);
        if (s.levels) {
            QStringList levels;
            for (const LumaraSynth::WellShape::Level &level : *s.levels)
                levels.append(QStringLiteral("%1:%2").arg(level.multiple).arg(level.share));
            parts.append(QStringLiteral("levels ") + levels.join(QLatin1Char(',')));
        }
        add("debris", s.debris);
        add("saturated", s.saturated);
        return QStringLiteral("{%1}").arg(parts.join(QLatin1Char(' ')));
    };
    QCOMPARE(QStringLiteral("run %1 well %2").arg(text(o.shape), text(o.wellShapes.value(1).value("Target-HEX"))),
             expected);
    QVERIFY(o.wellShapes.size() <= 1);
}

void TestGenerator::refusals_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("volume") << "volume";
    QTest::newRow("crosstalk") << "crosstalk";
    QTest::newRow("matrix crosstalk") << "matrixcrosstalk";
    QTest::newRow("fraction") << "fraction";
    QTest::newRow("well fraction of no target") << "wellfraction";
    QTest::newRow("well out of range") << "wellrange";
    QTest::newRow("too many droplets") << "crowded";
    QTest::newRow("Atto 425 in .expzip") << "atto";
    QTest::newRow("scaled droplets to recognise") << "scaled";
    QTest::newRow("no recognition assets") << "assets";
    QTest::newRow("rain above 1") << "rain";
    QTest::newRow("negative debris") << "debris";
    QTest::newRow("log-normal shape above 2") << "lognormal";
    QTest::newRow("positives too bright for debris") << "bright";
    QTest::newRow("well shape of no target") << "shapetarget";
    QTest::newRow("well shape out of range") << "shaperange";
    QTest::newRow("lower tail as deep as the negatives") << "lowerdepth";
    QTest::newRow("plateau upside down") << "plateau";
    QTest::newRow("levels' shares above 1") << "levelshares";
    QTest::newRow("plateau too bright for debris") << "brightplateau";
    QTest::newRow("levels too bright for debris") << "brightlevels";
    QTest::newRow("a plateau under a well's levels") << "plateaulevels";
}

void TestGenerator::refusals()
{
    QFETCH(QString, what);
    GeneratorOptions o = smallOptions();
    QString fileName = "r.imrs";
    if (what == "volume")
        o.volume = 700;
    else if (what == "crosstalk")
        o.crosstalk = 0.6;
    else if (what == "matrixcrosstalk")
        o.matrixCrosstalk = -0.1;
    else if (what == "fraction")
        o.targets[0].fraction = 1.5;
    else if (what == "wellfraction")
        o.wellFractions[0].insert("Target-VIC", 0.5);
    else if (what == "wellrange")
        o.wellTargets.insert(5, {"Target-FAM"});
    else if (what == "crowded")
        o.droplets = 100000;
    else if (what == "atto") {
        o.targets[2].dye = "Atto 425";
        fileName = "r.expzip";
    }
    ShapeOptions shape;
    if (what == "rain")
        shape.rain = 1.5;
    else if (what == "debris")
        shape.debris = -1;
    else if (what == "lognormal")
        shape.logNormal = 2.5;
    else if (what == "bright")
        shape.separation = 300.0;
    else if (what == "lowerdepth")
        shape.lowerDepth = 1.0;
    else if (what == "plateau" || what == "brightplateau" || what == "plateaulevels") {
        shape.plateauFrom = what == "plateau" ? 3.0 : 1.5;
        shape.plateauTo = what == "plateau" ? 2.0 : 8.5;
    } else if (what == "levelshares")
        shape.levels = std::vector<LumaraSynth::WellShape::Level>{{2.0, 0.6}, {3.0, 0.5}};
    else if (what == "brightlevels")
        shape.levels = std::vector<LumaraSynth::WellShape::Level>{{2.0, 0.1}, {9.0, 0.1}};
    if (what == "plateaulevels") {
        shape.plateauTo = 3.0;
        o.wellShapes[1]["Target-FAM"].levels = std::vector<LumaraSynth::WellShape::Level>{{2.0, 0.1}};
    }
    if (what == "shapetarget" || what == "shaperange")
        o.wellShapes[what == "shaperange" ? 2 : 1].insert(what == "shaperange" ? "Target-FAM" : "Target-VIC", shape);
    else if (what == "bright")
        o.wellShapes[1].insert("Target-CY5", shape);
    else
        o.shape = shape;
    QTemporaryDir dir;
    if (what == "scaled")
        o.droplets = 200;
    else if (what == "assets")
        o.dataFolder = dir.filePath("empty");
    QString error;
    QVERIFY(!generatePackage(o, dir.filePath(fileName), nullptr, &error));
    QVERIFY(!error.isEmpty());
    // Shapes refused for the reason they were made to fail with.
    const QMap<QString, QString> reasons{{"lowerdepth", "depth"},
                                         {"plateau", "plateau needs"},
                                         {"levelshares", "add up"},
                                         {"brightplateau", "would lie above"},
                                         {"brightlevels", "would lie above"},
                                         {"plateaulevels", "both a plateau"}};
    QVERIFY2(error.contains(reasons.value(what)), qPrintable(error));
    QVERIFY(!QFileInfo::exists(dir.filePath(fileName)));
}

LUMARA_TEST_MAIN(TestGenerator)
#include "tst_generator.moc"
