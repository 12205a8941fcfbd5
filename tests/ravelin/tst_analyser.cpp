#include "analysersupport.h"
#include "testmain.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <set>

using namespace AnalyserSupport;
using Ravelin::AnalysisSettings;
using Ravelin::DrpltImgAnalyser;

typedef QVector<quint32> Greys;

namespace {

const int Ref = LumaraSynth::ReferenceChannel;

LumaraSynth::Chip smallChip(std::uint64_t seed, int size = 320)
{
    LumaraSynth::ChipPlan plan = LumaraSynth::planFor(Volume::Pl800, size, size, seed);
    plan.positiveFraction = {{0.3, 0.5, 0.0, 0.2, 0.4, 0.1}};
    return LumaraSynth::makeChip(plan);
}

// 64 x 64, background 1000 with a small 5000 disc: tells the background strategies apart
// by the background pixel (1000 none, 2000 divided by 0.5, 0 top-hat).
cv::Mat probeImage()
{
    cv::Mat m(64, 64, CV_16UC1, cv::Scalar(1000));
    cv::circle(m, cv::Point(32, 32), 3, cv::Scalar(5000), cv::FILLED);
    return m;
}

QString writeFlatField(const QTemporaryDir &dir, const QString &name, const cv::Mat &m)
{
    const QString path = dir.filePath(name);
    cv::imwrite(path.toStdString(), m);
    return path;
}

// Two droplets with reference (channel 0) greys 100 and 300 and channel-1 greys 50 and 75.
WellImageAnalysisInfo greyProbe()
{
    WellImageAnalysisInfo info;
    info.valid = true;
    info.channels = {0, 1};
    const quint32 ref[2] = {100, 300}, ch[2] = {50, 75};
    for (int k = 0; k < 2; ++k) {
        DropletAnalysisInfo d;
        d.workingGreys[0] = ref[k];
        d.workingGreys[1] = ch[k];
        info.droplets.append(d);
    }
    return info;
}

QString backgroundEffect(DrpltImgAnalyser &a)
{
    const cv::Mat in = probeImage();
    DrpltImgsOnWell<DrpltImg> out(1);
    a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in)}, out);
    if (!out[0].data)
        return QStringLiteral("no output");
    const int corner = static_cast<const ushort *>(out[0].data)[5 * 64 + 5];
    DrpltImgAnalyser::releaseImages(out);
    switch (corner) {
    case 1000:
        return QStringLiteral("none");
    case 2000:
        return QStringLiteral("file");
    case 0:
        return QStringLiteral("top-hat");
    }
    return QStringLiteral("background %1").arg(corner);
}

bool greysAdjusted(DrpltImgAnalyser &a)
{
    WellImageAnalysisInfo info = greyProbe();
    a.adjustDrpltGysl(&info);
    // meanRef 200: 200*50/100 = 100 and 200*75/300 = 50 when adjusted.
    const Greys got{info.droplets[0].workingGreys[1], info.droplets[1].workingGreys[1]};
    if (got == Greys{100, 50})
        return true;
    if (got != Greys{50, 75})
        qWarning() << "unexpected greys" << got;
    return false;
}

// Brightens the reference-channel disc of each given droplet 1.6 times.
void brighten(cv::Mat &img, const LumaraSynth::Chip &chip, const std::vector<size_t> &which)
{
    for (size_t i : which) {
        const LumaraSynth::Droplet &d = chip.droplets[i];
        const cv::Rect box(int(d.x - d.radius - 1), int(d.y - d.radius - 1), int(2 * d.radius + 3),
                           int(2 * d.radius + 3));
        for (int y = std::max(0, box.y); y < std::min(img.rows, box.y + box.height); ++y) {
            for (int x = std::max(0, box.x); x < std::min(img.cols, box.x + box.width); ++x) {
                if (std::hypot(x - d.x, y - d.y) <= d.radius + 0.5)
                    img.at<ushort>(y, x) = ushort(std::min(65000.0, img.at<ushort>(y, x) * 1.6));
            }
        }
    }
}

bool hasDropletNear(const WellImageAnalysisInfo &info, double x, double y)
{
    for (const DropletAnalysisInfo &d : info.droplets) {
        if (std::hypot(d.x - x, d.y - y) <= 3.0)
            return true;
    }
    return false;
}

// The most extreme values the parameter reader accepts for a key (read back unchanged), found
// by trying values from far outside inwards: {lowest, highest}.
QPair<double, double> acceptedBounds(const QString &key)
{
    auto accepted = [&key](double v) {
        Ravelin::Settings s;
        const QByteArray json = "{\"General\":{\"" + key.toUtf8() + "\":" + QByteArray::number(v, 'g', 17) + "}}";
        if (!s.loadAnalysisSettingsBuf(json))
            return false;
        const QJsonObject general =
            QJsonDocument::fromJson(s.getAnalysisSettingsBuf()).object().value(QStringLiteral("General")).toObject();
        return general.value(key).toDouble() == v;
    };
    const double tries[] = {1e9, 1e6, 65535, 16384, 1000, 255, 100, 10, 2, 1, 0.5, 0, -1, -1000, -1e6, -1e9};
    double low = 0.0, high = 0.0;
    for (double v : tries)
        if (accepted(v)) {
            high = v;
            break;
        }
    for (auto it = std::rbegin(tries); it != std::rend(tries); ++it)
        if (accepted(*it)) {
            low = *it;
            break;
        }
    return {low, high};
}

} // namespace

class TestAnalyser : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_halfFlat; // 64 x 64 flat field of 0.5

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_halfFlat = writeFlatField(m_dir, QStringLiteral("half.tif"), cv::Mat(64, 64, CV_32FC1, cv::Scalar(0.5)));
        QVERIFY(QFile::exists(m_halfFlat));
    }

    void strategyOutcome_data()
    {
        QTest::addColumn<bool>("filter");
        QTest::addColumn<int>("background");
        QTest::addColumn<int>("grey");
        QTest::addColumn<QString>("backgroundEffect");
        QTest::addColumn<bool>("greysAdjusted");
        // Filter on: B as given; grey 1 for B = 0, G for B = 1 or 2.
        QTest::newRow("on B0 G0") << true << 0 << 0 << "none" << true;
        QTest::newRow("on B0 G2") << true << 0 << 2 << "none" << true;
        QTest::newRow("on B1 G0") << true << 1 << 0 << "file" << false;
        QTest::newRow("on B1 G1") << true << 1 << 1 << "file" << true;
        QTest::newRow("on B2 G1") << true << 2 << 1 << "top-hat" << true;
        QTest::newRow("on B2 G2") << true << 2 << 2 << "top-hat" << false;
        QTest::newRow("on B2 G9") << true << 2 << 9 << "top-hat" << false;
        // Filter off: B = 0 becomes 2; G = 1 or 2 become 0.
        QTest::newRow("off B0 G0") << false << 0 << 0 << "top-hat" << false;
        QTest::newRow("off B0 G1") << false << 0 << 1 << "top-hat" << false;
        QTest::newRow("off B0 G2") << false << 0 << 2 << "top-hat" << false;
        QTest::newRow("off B1 G1") << false << 1 << 1 << "file" << false;
        QTest::newRow("off B2 G1") << false << 2 << 1 << "top-hat" << false;
        QTest::newRow("off B5 G1") << false << 5 << 1 << "none" << false;
    }
    void strategyOutcome()
    {
        QFETCH(bool, filter);
        QFETCH(int, background);
        QFETCH(int, grey);
        QFETCH(QString, backgroundEffect);
        QFETCH(bool, greysAdjusted);
        DrpltImgAnalyser a;
        editSettings(a, [&](AnalysisSettings &s) {
            s.BackgroundUniformAdjustType = background;
            s.DrpltGyslAdjustType = grey;
        });
        QVERIFY(a.setUniformData(DrpltImgsOnWell<QString>{m_halfFlat}));
        a.setUseRecogChanFilterDrplt(filter);
        a.setStrategy();
        QCOMPARE(::backgroundEffect(a), backgroundEffect);
        QCOMPARE(::greysAdjusted(a), greysAdjusted);
    }

    // With the filter on, a background value outside 0 to 2 removes the background adjuster
    // and keeps whatever grey adjuster there was.
    void unknownBackgroundKeepsGreyAdjuster_data()
    {
        QTest::addColumn<int>("firstBackground");
        QTest::addColumn<int>("firstGrey");
        QTest::addColumn<bool>("greysAdjusted");
        QTest::newRow("after setting channel") << 0 << 0 << true;
        QTest::newRow("after none") << 1 << 0 << false;
    }
    void unknownBackgroundKeepsGreyAdjuster()
    {
        QFETCH(int, firstBackground);
        QFETCH(int, firstGrey);
        QFETCH(bool, greysAdjusted);
        DrpltImgAnalyser a;
        editSettings(a, [&](AnalysisSettings &s) {
            s.BackgroundUniformAdjustType = firstBackground;
            s.DrpltGyslAdjustType = firstGrey;
        });
        a.setStrategy();
        editSettings(a, [](AnalysisSettings &s) {
            s.BackgroundUniformAdjustType = 5;
            s.DrpltGyslAdjustType = 1;
        });
        a.setStrategy();
        QCOMPARE(::backgroundEffect(a), QStringLiteral("none"));
        QCOMPARE(::greysAdjusted(a), greysAdjusted);
    }

    void setUniformData_data()
    {
        QTest::addColumn<int>("background");
        QTest::addColumn<QStringList>("files"); // names in the temporary folder; "" an empty path
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("error");
        QTest::newRow("B0 ignores missing files") << 0 << QStringList{"missing.tif"} << true << "";
        QTest::newRow("B2 ignores an empty set") << 2 << QStringList{} << true << "";
        QTest::newRow("B1 flat fields") << 1 << QStringList{"half.tif", "half.tif"} << true << "";
        QTest::newRow("B1 empty set") << 1 << QStringList{} << false << "Uniform image is empty.\n";
        QTest::newRow("B1 missing file") << 1 << QStringList{"half.tif", "missing.tif"} << false
                                         << "Uniform image is empty.\n";
        QTest::newRow("B1 empty path") << 1 << QStringList{""} << false << "Uniform image is empty.\n";
        QTest::newRow("B1 not an image") << 1 << QStringList{"text.tif"} << false << "Uniform image is empty.\n";
        QTest::newRow("B1 16-bit") << 1 << QStringList{"sixteen.tif"} << false << "not a single-channel 32-bit float";
    }
    void setUniformData()
    {
        QFETCH(int, background);
        QFETCH(QStringList, files);
        QFETCH(bool, ok);
        QFETCH(QString, error);
        writeFlatField(m_dir, QStringLiteral("sixteen.tif"), cv::Mat(64, 64, CV_16UC1, cv::Scalar(30000)));
        QFile text(m_dir.filePath(QStringLiteral("text.tif")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
        text.close();

        DrpltImgsOnWell<QString> paths;
        for (const QString &f : files)
            paths.append(f.isEmpty() ? QString() : m_dir.filePath(f));
        DrpltImgAnalyser a;
        editSettings(a, [&](AnalysisSettings &s) { s.BackgroundUniformAdjustType = background; });
        QCOMPARE(a.setUniformData(paths), ok);
        QVERIFY2(a.errorString().contains(error), qPrintable(a.errorString()));
        if (ok)
            QVERIFY(a.errorString().isEmpty());
    }

    void rawFlatFieldIsAFractionOfFullScale()
    {
        // 8-bit 128 is 128/255 of full scale: 1000 / (128/255) = 1992.19 -> 1992.
        const cv::Mat flat(64, 64, CV_8UC1, cv::Scalar(128));
        DrpltImgAnalyser a;
        editSettings(a, [](AnalysisSettings &s) { s.BackgroundUniformAdjustType = 1; });
        a.setStrategy();
        QVERIFY(a.setUniformData(DrpltImgsOnWell<DrpltImg>{viewOf(flat)}));
        const cv::Mat in = probeImage();
        DrpltImgsOnWell<DrpltImg> out(1);
        QVERIFY(a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in)}, out));
        QCOMPARE(int(static_cast<const ushort *>(out[0].data)[0]), 1992);
        DrpltImgAnalyser::releaseImages(out);
        QVERIFY(!out[0].data);

        DrpltImg nothing;
        QVERIFY(!a.setUniformData(DrpltImgsOnWell<DrpltImg>{nothing}));
        QCOMPARE(a.errorString(), QStringLiteral("Uniform image is empty.\n"));
    }

    // A flat field that does not fit the images is not divided by: the image passes as it is,
    // with a warning, and the result says so.
    void unfittingFlatFieldPassesImageUnchanged_data()
    {
        QTest::addColumn<int>("flatSize");
        QTest::addColumn<int>("flatCount");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("smaller") << 32 << 6 << "32 x 32 pixels, the image 64 x 64";
        QTest::newRow("larger") << 1024 << 6 << "1024 x 1024 pixels";
        QTest::newRow("fewer than the channels") << 64 << 1 << "No uniform image for channel 1";
    }
    void unfittingFlatFieldPassesImageUnchanged()
    {
        QFETCH(int, flatSize);
        QFETCH(int, flatCount);
        QFETCH(QString, mentions);
        const QString flat = writeFlatField(m_dir, QStringLiteral("flat%1.tif").arg(flatSize),
                                            cv::Mat(flatSize, flatSize, CV_32FC1, cv::Scalar(0.5)));
        DrpltImgAnalyser a;
        editSettings(a, [](AnalysisSettings &s) { s.BackgroundUniformAdjustType = 1; });
        a.setStrategy();
        QVERIFY(a.setUniformData(DrpltImgsOnWell<QString>(flatCount, flat)));
        const cv::Mat in = probeImage();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(mentions)));
        DrpltImgsOnWell<DrpltImg> out(2);
        QVERIFY(!a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in), viewOf(in)}, out));
        QVERIFY2(a.errorString().contains(mentions), qPrintable(a.errorString()));
        // Channel 1 passes unchanged; channel 0 was divided when its flat field fits.
        const cv::Mat out1(64, 64, CV_16UC1, const_cast<void *>(out[1].data));
        QCOMPARE(cv::countNonZero(out1 != in), 0);
        const cv::Mat out0(64, 64, CV_16UC1, const_cast<void *>(out[0].data));
        QCOMPARE(int(out0.at<ushort>(5, 5)), flatSize == 64 ? 2000 : 1000);
        DrpltImgAnalyser::releaseImages(out);
    }

    void preprocessNeedsAnOutputPerChannel()
    {
        DrpltImgAnalyser a;
        a.setStrategy();
        const cv::Mat in = probeImage();
        DrpltImgsOnWell<DrpltImg> out(1);
        QVERIFY(!a.preprocess(DrpltImgsOnWell<DrpltImg>(3, viewOf(in)), out));
        QCOMPARE(a.errorString(), QStringLiteral("The output holds 1 entries for 3 input channels.\n"));
        QVERIFY(!out[0].data);
        DrpltImgsOnWell<QString> paths(2);
        QVERIFY(!a.preprocess(DrpltImgsOnWell<DrpltImg>(3, viewOf(in)), paths));
    }

    void preprocessSkipsChannelsWithoutImage()
    {
        DrpltImgAnalyser a;
        a.setStrategy();
        const cv::Mat in = probeImage();
        DrpltImg odd = viewOf(in);
        odd.type = 2;
        DrpltImgsOnWell<DrpltImg> out(3);
        QVERIFY(a.preprocess(DrpltImgsOnWell<DrpltImg>{DrpltImg(), odd, viewOf(in)}, out));
        QVERIFY(!out[0].data);
        QVERIFY(!out[1].data);
        QVERIFY(out[2].data);
        QVERIFY(out[2].data != in.data); // a copy the caller owns
        QCOMPARE(out[2].type, 1);
        DrpltImgAnalyser::releaseImages(out);
    }

    // The raw result of every background strategy, at both depths, is the file result's
    // pixels in a buffer of the caller's own, never the input's, and the input is untouched.
    void rawPreprocessMatchesFileResult_data()
    {
        QTest::addColumn<int>("background");
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("flat");
        for (const int depth : {CV_8U, CV_16U}) {
            const QString bits = depth == CV_8U ? QStringLiteral("8-bit") : QStringLiteral("16-bit");
            QTest::newRow(qPrintable(bits + " none")) << 0 << depth << false;
            QTest::newRow(qPrintable(bits + " flat field")) << 1 << depth << true;
            QTest::newRow(qPrintable(bits + " flat field missing")) << 1 << depth << false;
            QTest::newRow(qPrintable(bits + " top-hat")) << 2 << depth << false;
        }
    }
    void rawPreprocessMatchesFileResult()
    {
        QFETCH(int, background);
        QFETCH(int, depth);
        QFETCH(bool, flat);
        DrpltImgAnalyser a;
        editSettings(a, [background](AnalysisSettings &s) { s.BackgroundUniformAdjustType = background; });
        a.setStrategy();
        if (flat)
            QVERIFY(a.setUniformData(DrpltImgsOnWell<QString>(2, m_halfFlat)));
        cv::Mat in = probeImage();
        cv::circle(in, cv::Point(12, 48), 5, cv::Scalar(3000), cv::FILLED);
        if (depth == CV_8U)
            in.convertTo(in, CV_8U, 1.0 / 40.0);
        const cv::Mat before = in.clone();
        const bool passes = background != 1 || flat;
        if (!passes)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No uniform image")));
        DrpltImgsOnWell<QString> fileOut{m_dir.filePath(QStringLiteral("agree%1.tif").arg(QTest::currentDataTag()))};
        QCOMPARE(a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in)}, fileOut), passes);
        const cv::Mat expected = cv::imread(fileOut[0].toStdString(), cv::IMREAD_UNCHANGED);
        QCOMPARE(expected.type(), in.type());

        if (!passes)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No uniform image")));
        DrpltImgsOnWell<DrpltImg> rawOut(1);
        QCOMPARE(a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in)}, rawOut), passes);
        QVERIFY(rawOut[0].data);
        QVERIFY(rawOut[0].data != in.data);
        QCOMPARE(rawOut[0].type, depth == CV_16U ? 1 : 0);
        const cv::Mat got(rawOut[0].height, rawOut[0].width, in.type(), const_cast<void *>(rawOut[0].data));
        QCOMPARE(got.size(), in.size());
        QCOMPARE(cv::countNonZero(got != expected), 0);
        // The strategy did act where it should: the background is no longer the input's.
        const auto corner = [](const cv::Mat &m) {
            return m.depth() == CV_16U ? int(m.at<ushort>(0, 0)) : int(m.at<uchar>(0, 0));
        };
        QCOMPARE(corner(got) == corner(before), background == 0 || !passes);
        QCOMPARE(cv::countNonZero(in != before), 0);
        DrpltImgAnalyser::releaseImages(rawOut);
    }

    // Every pairing of raw and file input and output gives the same pixels.
    void preprocessOverloadsAgree()
    {
        DrpltImgAnalyser a;
        editSettings(a, [](AnalysisSettings &s) { s.BackgroundUniformAdjustType = 2; });
        a.setStrategy();
        cv::Mat in = probeImage();
        cv::circle(in, cv::Point(10, 50), 4, cv::Scalar(3000), cv::FILLED);
        const QString inPath = m_dir.filePath(QStringLiteral("in.tif"));
        QVERIFY(cv::imwrite(inPath.toStdString(), in));

        DrpltImgsOnWell<DrpltImg> rawOut(1);
        QVERIFY(a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in)}, rawOut));
        const cv::Mat expected = cv::Mat(64, 64, CV_16UC1, const_cast<void *>(rawOut[0].data)).clone();
        DrpltImgAnalyser::releaseImages(rawOut);
        QCOMPARE(int(expected.at<ushort>(32, 32)), 4000);

        DrpltImgsOnWell<QString> fileOut{m_dir.filePath(QStringLiteral("out1.tif"))};
        QVERIFY(a.preprocess(DrpltImgsOnWell<DrpltImg>{viewOf(in)}, fileOut));
        QCOMPARE(cv::countNonZero(cv::imread(fileOut[0].toStdString(), cv::IMREAD_UNCHANGED) != expected), 0);

        DrpltImgsOnWell<QString> fileOut2{m_dir.filePath(QStringLiteral("out2.tif"))};
        QVERIFY(a.preprocess(DrpltImgsOnWell<QString>{inPath}, fileOut2));
        QCOMPARE(cv::countNonZero(cv::imread(fileOut2[0].toStdString(), cv::IMREAD_UNCHANGED) != expected), 0);

        DrpltImgsOnWell<DrpltImg> rawOut2(1);
        QVERIFY(a.preprocess(DrpltImgsOnWell<QString>{inPath}, rawOut2));
        QCOMPARE(cv::countNonZero(cv::Mat(64, 64, CV_16UC1, const_cast<void *>(rawOut2[0].data)) != expected), 0);
        DrpltImgAnalyser::releaseImages(rawOut2);

        // Unreadable input and unwritable output are failures with the path named.
        const QString missing = m_dir.filePath(QStringLiteral("missing.tif"));
        QVERIFY(!a.preprocess(DrpltImgsOnWell<QString>{missing}, fileOut2));
        QCOMPARE(a.errorString(), missing + QStringLiteral(" cannot be read.\n"));
        const QString nowhere = m_dir.filePath(QStringLiteral("no/such/folder/out.tif"));
        DrpltImgsOnWell<QString> badOut{nowhere};
        QVERIFY(!a.preprocess(DrpltImgsOnWell<QString>{inPath}, badOut));
        QVERIFY(a.errorString().contains(nowhere));
    }

    void badConfigurationFailsWithText_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("refChannel");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("missing template") << "template" << Ref << "droplet template image";
        QTest::newRow("no template") << "no template" << Ref << "No droplet template image is set";
        QTest::newRow("missing kernel") << "kernel" << Ref << "Mexican-hat kernel image";
        QTest::newRow("kernel not an image") << "kernel text" << Ref << "Mexican-hat kernel image";
        QTest::newRow("missing model") << "model" << Ref << "classifier model";
        QTest::newRow("model not a model") << "model text" << Ref << "classifier model";
        QTest::newRow("reference -1") << "" << -1 << "reference channel index -1 is out of range";
        QTest::newRow("reference 6") << "" << 6 << "reference channel index 6 is out of range";
        QTest::newRow("reference beyond the set") << "three images" << 4 << "channel indices 0 to 2";
        QTest::newRow("reference without image") << "no reference image" << Ref << "has no image";
        QTest::newRow("reference of unknown type") << "reference type 2" << Ref << "unknown pixel type 2";
    }
    void badConfigurationFailsWithText()
    {
        QFETCH(QString, what);
        QFETCH(int, refChannel);
        QFETCH(QString, mentions);
        const LumaraSynth::Chip chip = smallChip(5, 160);
        const QString textFile = m_dir.filePath(QStringLiteral("words.tif"));
        QFile f(textFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<not an image nor a model>");
        f.close();

        DrpltImgAnalyser a;
        QVERIFY(configure(a, Volume::Pl800));
        QString missing = m_dir.filePath(QStringLiteral("absent.tif"));
        QString none;
        QString text = textFile;
        DrpltImgsOnWell<DrpltImg> imgs = viewsOf(chip);
        if (what == "template")
            a.setTemplateModel(missing);
        else if (what == "no template")
            a.setTemplateModel(none);
        else if (what == "kernel")
            a.setMexicanhatKernel(missing);
        else if (what == "kernel text")
            a.setMexicanhatKernel(text);
        else if (what.startsWith("model")) {
            editSettings(a, [](AnalysisSettings &s) { s.DispersionCorrection = 1; });
            a.setRandomTreesModelPath(what == "model" ? missing : text);
        } else if (what == "three images")
            imgs.resize(3);
        else if (what == "no reference image")
            imgs[Ref] = DrpltImg();
        else if (what == "reference type 2")
            imgs[Ref].type = 2;

        WellImageAnalysisInfo info;
        info.valid = true;
        QVERIFY(!a.recogDrplt(imgs, refChannel, &info));
        QVERIFY(!info.valid);
        QVERIFY2(a.errorString().contains(mentions), qPrintable(a.errorString()));
        QVERIFY(a.errorString().endsWith(QLatin1Char('\n')));
        QVERIFY(info.message.contains(mentions));
        QVERIFY(info.droplets.isEmpty());
    }

    // The model is only needed when fake positives are removed.
    void modelOnlyNeededForFakePositiveRemoval()
    {
        const LumaraSynth::Chip chip = smallChip(5, 256);
        DrpltImgAnalyser a;
        QVERIFY(configure(a, Volume::Pl800));
        a.setRandomTreesModelPath(m_dir.filePath(QStringLiteral("absent.xml")));
        WellImageAnalysisInfo info;
        QVERIFY2(a.recogDrplt(viewsOf(chip), Ref, &info), qPrintable(a.errorString()));
        QVERIFY(info.valid);
    }

    void channelListHoldsUsableImages_data()
    {
        QTest::addColumn<QVector<int>>("present");
        QTest::addColumn<QVector<int>>("oddType");
        QTest::addColumn<QVector<int>>("channels");
        QTest::newRow("all six") << QVector<int>{0, 1, 2, 3, 4, 5} << QVector<int>{} << QVector<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("reference only") << QVector<int>{Ref} << QVector<int>{} << QVector<int>{Ref};
        QTest::newRow("unknown type skipped") << QVector<int>{0, 2, 4} << QVector<int>{4} << QVector<int>{0, 2};
    }
    void channelListHoldsUsableImages()
    {
        QFETCH(QVector<int>, present);
        QFETCH(QVector<int>, oddType);
        QFETCH(QVector<int>, channels);
        const LumaraSynth::Chip chip = smallChip(7, 256);
        DrpltImgsOnWell<DrpltImg> imgs = viewsOf(chip);
        for (int c = 0; c < 6; ++c) {
            if (!present.contains(c))
                imgs[c] = DrpltImg();
            if (oddType.contains(c))
                imgs[c].type = 2;
        }
        DrpltImgAnalyser a;
        QVERIFY(configure(a, Volume::Pl800));
        WellImageAnalysisInfo info;
        info.channels = {5, 5}; // left over from an earlier use of the record
        QVERIFY2(a.recogDrplt(imgs, Ref, &info), qPrintable(a.errorString()));
        QCOMPARE(info.channels, channels);
        QVERIFY(info.droplets.size() > 40);
        for (const DropletAnalysisInfo &d : qAsConst(info.droplets)) {
            for (int c = 0; c < 6; ++c)
                QCOMPARE(d.workingGreys[c] != 0, channels.contains(c));
        }
        QCOMPARE(a.infoMessage(),
                 QStringLiteral("ImageInfo: completed:1,DrpltRecog Number:%1").arg(info.droplets.size()));
    }

    // Five droplets made 1.6 times brighter in the reference channel lie far beyond three
    // standard deviations (about 7200 above a mean of about 12000, against a deviation of
    // about 1300 that they cause themselves): the filter drops them after counting, without it they stay.
    void outlierExclusionAfterCounting()
    {
        LumaraSynth::Chip chip = smallChip(11, 320);
        WellImageAnalysisInfo plain;
        {
            DrpltImgAnalyser a;
            QVERIFY(configure(a, Volume::Pl800));
            QVERIFY(a.recogDrplt(viewsOf(chip), Ref, &plain));
        }
        // Five recognised droplets, well apart.
        std::vector<size_t> bright;
        for (size_t i = 0; i < chip.droplets.size() && bright.size() < 5; ++i) {
            const LumaraSynth::Droplet &d = chip.droplets[i];
            if (d.x > 60 && d.y > 60 && d.x < 260 && d.y < 260 && i % 7 == 0 && hasDropletNear(plain, d.x, d.y))
                bright.push_back(i);
        }
        QCOMPARE(bright.size(), size_t(5));
        brighten(chip.images[Ref], chip, bright);

        int counted[2] = {0, 0};
        WellImageAnalysisInfo infos[2];
        for (int filter = 0; filter < 2; ++filter) {
            DrpltImgAnalyser a;
            QVERIFY(configure(a, Volume::Pl800));
            // Keep the neighbourhood check out of the way, so only the exclusion acts.
            editSettings(a, [](AnalysisSettings &s) { s.StdDevInfluenceCoefficient = 1e6; });
            a.setUseRecogChanFilterDrplt(filter == 1);
            QVERIFY2(a.recogDrplt(viewsOf(chip), Ref, &infos[filter]), qPrintable(a.errorString()));
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("^ImageInfo: completed:1,DrpltRecog Number:(\\d+)$"))
                    .match(a.infoMessage());
            QVERIFY2(m.hasMatch(), qPrintable(a.infoMessage()));
            counted[filter] = m.captured(1).toInt();
        }
        QCOMPARE(counted[0], infos[0].droplets.size());
        QCOMPARE(counted[1], counted[0]);
        int found = 0;
        for (size_t i : bright) {
            if (!hasDropletNear(infos[0], chip.droplets[i].x, chip.droplets[i].y))
                continue;
            ++found;
            QVERIFY(!hasDropletNear(infos[1], chip.droplets[i].x, chip.droplets[i].y));
        }
        QVERIFY(found >= 4);
        QCOMPARE(infos[1].droplets.size(), infos[0].droplets.size() - found);
    }

    // Each analyser shuffles with its own generator from the same start: a well gives the
    // same record on any analyser, and the order is not the found order.
    void shuffleIsReproducible()
    {
        const LumaraSynth::Chip chip = smallChip(3, 256);
        WellImageAnalysisInfo first, again, other, unshuffled;
        DrpltImgAnalyser a, b, c;
        for (DrpltImgAnalyser *x : {&a, &b, &c})
            QVERIFY(configure(*x, Volume::Pl800));
        editSettings(c, [](AnalysisSettings &s) { s.RandomShuffle = false; });
        QVERIFY(a.recogDrplt(viewsOf(chip), Ref, &first));
        QVERIFY(a.recogDrplt(viewsOf(chip), Ref, &again));
        QVERIFY(b.recogDrplt(viewsOf(chip), Ref, &other));
        QVERIFY(c.recogDrplt(viewsOf(chip), Ref, &unshuffled));
        QCOMPARE(difference(first, again), QString());
        QCOMPARE(difference(first, other), QString());
        QCOMPARE(first.droplets.size(), unshuffled.droplets.size());
        QVERIFY(!difference(first, unshuffled).isEmpty());
        std::set<std::pair<quint32, quint32>> p1, p2;
        for (const DropletAnalysisInfo &d : qAsConst(first.droplets))
            p1.insert({d.x, d.y});
        for (const DropletAnalysisInfo &d : qAsConst(unshuffled.droplets))
            p2.insert({d.x, d.y});
        QVERIFY(p1 == p2);
    }

    void adjustDrpltGyslReportsCount()
    {
        DrpltImgAnalyser a;
        a.setStrategy();
        WellImageAnalysisInfo info = greyProbe();
        QVERIFY(a.adjustDrpltGysl(&info));
        QCOMPARE(a.infoMessage(), QStringLiteral("ImageInfo: ,Adjust_DrpltRecog Number:2"));
        QVERIFY(!a.adjustDrpltGysl(nullptr));
    }

    void adjustCrosstalkFollowsTheSetting_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Greys>("channel1");
        // Matrix entry (0, 1) = 0.1: channel 1 loses a tenth of channel 0 (1000 and 3000).
        QTest::newRow("matrix") << 1 << Greys{400, 300};
        QTest::newRow("none") << 0 << Greys{500, 600};
        QTest::newRow("intelligence") << 2 << Greys{500, 600};
        QTest::newRow("unknown") << 7 << Greys{500, 600};
    }
    void adjustCrosstalkFollowsTheSetting()
    {
        QFETCH(int, type);
        QFETCH(Greys, channel1);
        DrpltImgAnalyser a;
        CompensationMatrix m;
        m.matrix[0][1] = 0.1;
        a.getSpilloverCompensation()->setCompensationMatrix(m);
        editSettings(a, [&](AnalysisSettings &s) { s.CrosstalkAdjustType = type; });
        WellImageAnalysisInfo info;
        info.channels = {0, 1};
        const quint32 c0[2] = {1000, 3000}, c1[2] = {500, 600};
        for (int k = 0; k < 2; ++k) {
            DropletAnalysisInfo d;
            d.workingGreys[0] = c0[k];
            d.workingGreys[1] = c1[k];
            info.droplets.append(d);
        }
        QVERIFY(a.adjustCrosstalk(&info));
        QCOMPARE((Greys{info.droplets[0].workingGreys[1], info.droplets[1].workingGreys[1]}), channel1);
        QCOMPARE(info.droplets[1].workingGreys[0], 3000u);
    }

    void remapImages_data()
    {
        QTest::addColumn<int>("parameterCount");
        QTest::addColumn<QVector<int>>("sourceColumn"); // per channel: column every pixel takes, -1 unchanged
        // scaleX -1 with offsetX k maps every column x to (x - k) * -1 + x = k.
        QTest::newRow("five: channel 0 untouched, channel i uses entry i - 1")
            << 5 << QVector<int>{-1, 3, 4, 5, 6, 7};
        QTest::newRow("six: entry i, zero scales untouched") << 6 << QVector<int>{3, -1, 5, 6, 7, 8};
        QTest::newRow("four: nothing") << 4 << QVector<int>{-1, -1, -1, -1, -1, -1};
    }
    void remapImages()
    {
        QFETCH(int, parameterCount);
        QFETCH(QVector<int>, sourceColumn);
        cv::Mat img(8, 16, CV_16UC1);
        for (int y = 0; y < img.rows; ++y)
            for (int x = 0; x < img.cols; ++x)
                img.at<ushort>(y, x) = ushort(100 * y + x);
        DrpltImgsOnWell<QString> paths;
        for (int c = 0; c < 6; ++c) {
            paths.append(m_dir.filePath(QStringLiteral("remap%1.tif").arg(c)));
            QVERIFY(cv::imwrite(paths.last().toStdString(), img));
        }
        QList<Ravelin::RemapParameter> params;
        for (int i = 0; i < parameterCount; ++i)
            params.append({-1.0, 0.0, 3 + i, 0});
        if (parameterCount == 6)
            params[1] = {0.0, 0.0, 9, 9};
        DrpltImgAnalyser a;
        QVERIFY(a.setReMapParameter(params));
        QVERIFY(a.ReMapImage(paths));
        for (int c = 0; c < 6; ++c) {
            const cv::Mat out = cv::imread(paths[c].toStdString(), cv::IMREAD_UNCHANGED);
            QCOMPARE(out.size(), img.size());
            for (int y = 0; y < img.rows; ++y) {
                for (int x = 0; x < img.cols; ++x) {
                    const int expected = sourceColumn[c] < 0 ? 100 * y + x : 100 * y + sourceColumn[c];
                    QCOMPARE(int(out.at<ushort>(y, x)), expected);
                }
            }
        }
    }

    // Whatever a parameter file may set, the analysis of a well stays sound: every parameter at
    // the lowest and the highest value the reader lets through (the sanitizer tree reports any
    // undefined behaviour on the way).
    void parameterBoundsAnalyseSoundly_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("value");
        Ravelin::Settings fresh;
        const QStringList keys = QJsonDocument::fromJson(fresh.getAnalysisSettingsBuf())
                                     .object()
                                     .value(QStringLiteral("General"))
                                     .toObject()
                                     .keys();
        for (const QString &key : keys) {
            if (key == QLatin1String("RandomShuffle"))
                continue;
            const QPair<double, double> bounds = acceptedBounds(key);
            QTest::addRow("%s low", qPrintable(key)) << key << bounds.first;
            if (bounds.second != bounds.first)
                QTest::addRow("%s high", qPrintable(key)) << key << bounds.second;
        }
    }

    void parameterBoundsAnalyseSoundly()
    {
        QFETCH(QString, key);
        QFETCH(double, value);
        static const LumaraSynth::Chip chip = smallChip(13, 192);
        DrpltImgAnalyser a;
        QVERIFY(configure(a, Volume::Pl800));
        const QByteArray json =
            "{\"General\":{\"" + key.toUtf8() + "\":" + QByteArray::number(value, 'g', 17) + "}}";
        QVERIFY(a.getSettings()->loadAnalysisSettingsBuf(json));
        a.setStrategy();
        WellImageAnalysisInfo info;
        if (!a.recogDrplt(viewsOf(chip), Ref, &info))
            return; // refusing the well is sound; it is what happens after that matters
        for (const DropletAnalysisInfo &d : qAsConst(info.droplets)) {
            QVERIFY(d.x < quint32(chip.images.front().cols));
            QVERIFY(d.y < quint32(chip.images.front().rows));
        }
        a.adjustDrpltGysl(&info);
        a.negPosCluster(&info);
        a.adjustCrosstalk(&info);
    }

    void remapStopsAtAnUnreadableFile()
    {
        const QString good = m_dir.filePath(QStringLiteral("keep.tif"));
        const cv::Mat img(4, 4, CV_8UC1, cv::Scalar(9));
        QVERIFY(cv::imwrite(good.toStdString(), img));
        const QString bad = m_dir.filePath(QStringLiteral("broken.tif"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("xx");
        f.close();
        DrpltImgAnalyser a;
        QList<Ravelin::RemapParameter> params;
        for (int i = 0; i < 6; ++i)
            params.append({-1.0, 0.0, 1, 0});
        a.setReMapParameter(params);
        QVERIFY(!a.ReMapImage({QString(), bad, good}));
        QCOMPARE(a.errorString(), bad + QStringLiteral(" is exist,but imread failed!"));
        QCOMPARE(cv::countNonZero(cv::imread(good.toStdString(), cv::IMREAD_UNCHANGED) != img), 0);
    }
};

LUMARA_TEST_MAIN(TestAnalyser)
#include "tst_analyser.moc"
