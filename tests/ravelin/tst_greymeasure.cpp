#include "recogsupport.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <set>

using namespace RecogSupport;
using LumaraSynth::Chip;
using LumaraSynth::ChipPlan;

Q_DECLARE_METATYPE(cv::Mat)

namespace {

// 11 by 11 image whose 13-cell disk of side 5 around (5, 5) holds the given values.
cv::Mat diskOf13(const std::vector<int> &values, int type = CV_16UC1)
{
    cv::Mat img(11, 11, type, cv::Scalar(0));
    size_t k = 0;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            if ((i - 2) * (i - 2) + (j - 2) * (j - 2) > 4)
                continue;
            const int v = values[k++ % values.size()];
            if (type == CV_16UC1)
                img.at<ushort>(5 + j - 2, 5 + i - 2) = ushort(v);
            else
                img.at<uchar>(5 + j - 2, 5 + i - 2) = uchar(v);
        }
    }
    return img;
}

std::vector<int> squares()
{
    std::vector<int> v;
    for (int k = 1; k <= 13; ++k)
        v.push_back(100 * k * k);
    return v;
}

// Fills the disk of radius r around (x, y) with a value.
void paint(cv::Mat &img, int x, int y, int r, int value)
{
    cv::circle(img, cv::Point(x, y), r, cv::Scalar(value), cv::FILLED);
}

bool contains(const QVector<DrpltRecogRecord> &list, int x, int y)
{
    for (const DrpltRecogRecord &r : list)
        if (r.x == x && r.y == y)
            return true;
    return false;
}

struct Recognised {
    Chip chip;
    Ravelin::AnalysisSettings settings;
};

Recognised recognised(DropletImgAnalysisHelper &engine, std::uint64_t seed, int size = 384)
{
    Recognised r;
    ChipPlan plan = LumaraSynth::planFor(Volume::Pl800, size, size, seed);
    r.chip = LumaraSynth::makeChip(plan);
    r.settings = loadSettings(paramsPath(Volume::Pl800));
    configure(engine, Volume::Pl800, r.settings);
    recognise(engine, r.chip.images[LumaraSynth::ReferenceChannel]);
    return r;
}

} // namespace

class TestGreyMeasure : public QObject {
    Q_OBJECT
private slots:
    void meanGrey_data()
    {
        QTest::addColumn<cv::Mat>("img");
        QTest::addColumn<int>("maskSize");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("removed");     // RemovedMaxMinNum
        QTest::addColumn<int>("needed");      // SaturatedPixelNum
        QTest::addColumn<int>("counterIn");
        QTest::addColumn<double>("mean");
        QTest::addColumn<bool>("saturated");
        QTest::addColumn<bool>("spot");
        QTest::addColumn<int>("counterOut");

        // 100 k^2, k = 1..13 (sum 81900); the widest gap, 100 (2 * 12 + 1) = 2500, is not
        // above 2500, so no bright spot.
        // middle nine: 100 (506 - 5) / 9
        QTest::newRow("13 values, drop 2") << diskOf13(squares()) << 5 << 5 << 5 << 2 << 1 << 0 << 50100.0 / 9
                                            << false << false << 0;
        // 13 <= 14: drop only smallest and largest, (81900 - 100 - 16900) / 11
        QTest::newRow("13 values, drop 7") << diskOf13(squares()) << 5 << 5 << 5 << 7 << 1 << 0 << 5900.0 << false
                                            << false << 0;
        QTest::newRow("13 values, drop none") << diskOf13(squares()) << 5 << 5 << 5 << 0 << 1 << 0 << 6300.0
                                               << false << false << 0;
        // gap 5900 > 2500, but (3100 - 3000) / (3000 - 2500) = 0.2
        QTest::newRow("tall gap, no spot")
            << diskOf13({2500, 2600, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3100, 9000}) << 5 << 5 << 5
            << 2 << 1 << 0 << 3000.0 << false << false << 0;
        // gap 3000 > 2500 and (6000 - 3000) / (3000 - 2000) = 3 > 1.5
        QTest::newRow("bright spot")
            << diskOf13({2000, 2900, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 6000, 9000}) << 5 << 5 << 5
            << 2 << 1 << 0 << 3000.0 << false << true << 0;
        // 8-bit pixels count times 256; one 255 among twelve 100s
        const cv::Mat one255 = diskOf13({255, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100}, CV_8UC1);
        QTest::newRow("8-bit, one saturated pixel, 1 needed") << one255 << 5 << 5 << 5 << 2 << 1 << 0 << 25600.0 << true
                                                              << false << 1;
        QTest::newRow("8-bit, 0 needed counts as 1") << one255 << 5 << 5 << 5 << 2 << 0 << 0 << 25600.0 << true << false
                                                     << 1;
        QTest::newRow("8-bit, 2 needed") << one255 << 5 << 5 << 5 << 2 << 2 << 0 << 25600.0 << false << false << 1;
        QTest::newRow("counter carries over") << one255 << 5 << 5 << 5 << 2 << 6 << 5 << 25600.0 << true << false << 6;
        const std::vector<int> twelve60000(12, 60000);
        std::vector<int> high = twelve60000, justBelow = twelve60000;
        high.insert(high.begin(), 65280);
        justBelow.insert(justBelow.begin(), 65279);
        QTest::newRow("16-bit 65280 saturates") << diskOf13(high) << 5 << 5 << 5 << 2 << 1 << 0 << 60000.0
                                                << true << false << 1;
        QTest::newRow("16-bit 65279 does not") << diskOf13(justBelow) << 5 << 5 << 5 << 2 << 1 << 0 << 60000.0
                                               << false << false << 0;
        // A 3 by 2 image: of the plus of side 3 around (1, 1) only (1, 1) and row 2 lie inside
        // and off the first row and column; two values give their plain mean.
        cv::Mat tiny(3, 2, CV_16UC1, cv::Scalar(7));
        tiny.at<ushort>(1, 1) = 1000;
        tiny.at<ushort>(2, 1) = 3000;
        QTest::newRow("two pixels: plain mean") << tiny << 3 << 1 << 1 << 2 << 1 << 0 << 2000.0 << false << false << 0;
        QTest::newRow("corner: nothing inside") << tiny << 3 << 0 << 0 << 2 << 1 << 0 << 0.0 << false << false << 0;
        // A mask far larger than the image covers it all (but row and column 0) at once.
        QTest::newRow("oversized mask") << cv::Mat(11, 11, CV_16UC1, cv::Scalar(4000)) << 1000000 << 5 << 5 << 2 << 1
                                        << 0 << 4000.0 << false << false << 0;
        QTest::newRow("float pixels count 0") << cv::Mat(11, 11, CV_32FC1, cv::Scalar(5000.0f)) << 5 << 5 << 5 << 2
                                              << 1 << 0 << 0.0 << false << false << 0;
    }
    void meanGrey()
    {
        QFETCH(cv::Mat, img);
        QFETCH(int, maskSize);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, removed);
        QFETCH(int, needed);
        QFETCH(int, counterIn);
        QFETCH(double, mean);
        QFETCH(bool, saturated);
        QFETCH(bool, spot);
        QFETCH(int, counterOut);
        DropletImgAnalysisHelper engine;
        Ravelin::AnalysisSettings s;
        s.RemovedMaxMinNum = removed;
        s.SaturatedPixelNum = needed;
        engine.setSettings(s);
        bool sat = false, bright = false;
        int counter = counterIn;
        const double got = engine.cacluMeanGreyValue(img, maskSize, x, y, sat, bright, counter);
        QVERIFY(qFuzzyCompare(got + 1.0, mean + 1.0));
        QCOMPARE(sat, saturated);
        QCOMPARE(bright, spot);
        QCOMPARE(counter, counterOut);
    }

    void sharpness_data()
    {
        QTest::addColumn<cv::Mat>("img");
        QTest::addColumn<double>("sharpness");
        QTest::newRow("empty") << cv::Mat() << -1.0;
        QTest::newRow("constant") << cv::Mat(9, 9, CV_16UC1, cv::Scalar(4000)) << 0.0;
        // The mixed derivative of one bright pixel is + at two diagonal neighbours and - (cut
        // to 0) at the other two: 2 * 100 over 25 pixels.
        cv::Mat dot8(5, 5, CV_8UC1, cv::Scalar(0));
        dot8.at<uchar>(2, 2) = 100;
        QTest::newRow("8-bit dot") << dot8 << 8.0;
        cv::Mat dot16(5, 5, CV_16UC1, cv::Scalar(0));
        dot16.at<ushort>(2, 2) = 1000;
        QTest::newRow("16-bit dot") << dot16 << 80.0;
        QTest::newRow("float image") << cv::Mat(5, 5, CV_32FC1, cv::Scalar(3.0f)) << 0.0;
    }
    void sharpness()
    {
        QFETCH(cv::Mat, img);
        QFETCH(double, sharpness);
        DropletImgAnalysisHelper engine;
        QCOMPARE(engine.ImageSharpnessCheck(img), sharpness);
        if (!img.empty() && img.depth() != CV_32F) {
            cv::Mat copy = img.clone();
            QCOMPARE(engine.ImageSharpnessCheck(copy.cols, copy.rows, copy.data, copy.depth()), sharpness);
        }
    }
    void sharpnessOfRawBuffers()
    {
        DropletImgAnalysisHelper engine;
        QCOMPARE(engine.ImageSharpnessCheck(5, 5, nullptr, 0), -1.0);
        uchar px[25] = {};
        QCOMPARE(engine.ImageSharpnessCheck(5, 5, px, 5), 0.0);
    }

    void passFailures_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error");
        QTest::newRow("channel 6") << "channel 6" << "Channel type is error.\n";
        QTest::newRow("channel -1") << "channel -1" << "Channel type is error.\n";
        QTest::newRow("file channel 6") << "file channel 6" << "Channel type is error.\n";
        QTest::newRow("one column") << "one column" << "The size of the image which used to take the grayscale is error.\n";
        QTest::newRow("null pixels") << "null" << "Image_data is empty.\n";
        QTest::newRow("file missing") << "file missing" << "Image_data is empty.\n";
        QTest::newRow("float file") << "float file" << "The type of the image which used to take the grayscale is error.\n";
        QTest::newRow("no recognition") << "no recognition" << "The templateImage which taken in the SrcImage is empty.\n";
        QTest::newRow("one droplet left") << "one droplet" << "No droplets detected";
        QTest::newRow("raw format 2") << "format 2" << "";
    }
    void passFailures()
    {
        QFETCH(QString, what);
        QFETCH(QString, error);
        QTemporaryDir dir;
        DropletImgAnalysisHelper engine;
        const Recognised r = recognised(engine, 4, 256);
        QVERIFY(engine.getResultData()->droplets.size() > 2);
        const cv::Mat &img = r.chip.images[0];
        const QString file = dir.filePath("c.tif");
        bool ok = true;
        if (what == "channel 6")
            ok = engine.getChannelDrpltGray(6, unsigned(img.cols), unsigned(img.rows), img.data, 1);
        else if (what == "channel -1")
            ok = engine.getChannelDrpltGray(-1, unsigned(img.cols), unsigned(img.rows), img.data, 1);
        else if (what == "file channel 6")
            ok = engine.getChannelDrpltGray(6, file);
        else if (what == "one column")
            ok = engine.getChannelDrpltGray(0, 1, unsigned(img.rows), img.data, 1);
        else if (what == "null")
            ok = engine.getChannelDrpltGray(0, 100, 100, nullptr, 1);
        else if (what == "file missing")
            ok = engine.getChannelDrpltGray(0, file);
        else if (what == "float file") {
            cv::Mat f;
            img.convertTo(f, CV_32F);
            QVERIFY(cv::imwrite(file.toStdString(), f));
            ok = engine.getChannelDrpltGray(0, file);
        } else if (what == "no recognition") {
            DropletImgAnalysisHelper fresh;
            fresh.clearData();
            ok = fresh.getChannelDrpltGray(0, unsigned(img.cols), unsigned(img.rows), img.data, 1);
            QCOMPARE(fresh.GetErrString(), error);
        } else if (what == "one droplet") {
            engine.getResultData()->droplets.resize(1);
            ok = measure(engine, 0, img);
        } else if (what == "format 2") {
            ok = engine.getChannelDrpltGray(0, unsigned(img.cols), unsigned(img.rows), img.data, 2);
        }
        QVERIFY(!ok);
        if (what != "no recognition")
            QCOMPARE(engine.GetErrString(), error);
    }

    void fileAndBufferAgree()
    {
        QTemporaryDir dir;
        DropletImgAnalysisHelper a, b;
        const Recognised r = recognised(a, 6, 256);
        recognised(b, 6, 256);
        const cv::Mat &img = r.chip.images[4];
        QVERIFY(cv::imwrite(dir.filePath("c.tif").toStdString(), img));
        QVERIFY(measure(a, 4, img));
        QVERIFY(b.getChannelDrpltGray(4, dir.filePath("c.tif")));
        QCOMPARE(a.getResultData()->sharpness[4], b.getResultData()->sharpness[4]);
        QVERIFY(a.getResultData()->sharpness[4] > 0.0);
        QCOMPARE(a.getResultData()->droplets.size(), b.getResultData()->droplets.size());
        for (int k = 0; k < a.getResultData()->droplets.size(); ++k)
            QCOMPARE(a.getResultData()->droplets[k].greys[4], b.getResultData()->droplets[k].greys[4]);
    }

    void flagsAndRemoval()
    {
        // Each channel pass against the same pass on the unaltered images: the altered
        // droplet alone makes the difference.
        DropletImgAnalysisHelper engine, baseline;
        Recognised r = recognised(engine, 11);
        recognised(baseline, 11);
        const QVector<DrpltRecogRecord> before = engine.getResultData()->droplets;
        QVERIFY(before.size() > 100);
        const DrpltRecogRecord sat = before[10], spot = before[40], odd = before[70];
        auto sameBut = [&](const DrpltRecogRecord &missing) {
            QVector<DrpltRecogRecord> expected;
            for (const DrpltRecogRecord &d : baseline.getResultData()->droplets)
                if (d.x != missing.x || d.y != missing.y)
                    expected.append(d);
            const QVector<DrpltRecogRecord> &got = engine.getResultData()->droplets;
            if (got.size() != expected.size())
                return false;
            for (int k = 0; k < got.size(); ++k)
                if (got[k].x != expected[k].x || got[k].y != expected[k].y)
                    return false;
            return true;
        };

        // Reference pass: one droplet far brighter than its neighbours is an outlier.
        cv::Mat ref = r.chip.images[2].clone();
        paint(ref, odd.x, odd.y, 10, 30000);
        QVERIFY(measure(engine, 2, ref));
        QVERIFY(measure(baseline, 2, r.chip.images[2]));
        QVERIFY(contains(baseline.getResultData()->droplets, odd.x, odd.y));
        QVERIFY(sameBut(odd));

        // Saturated pixels flag the droplet and count it, and keep it.
        cv::Mat c0 = r.chip.images[0].clone();
        paint(c0, sat.x, sat.y, 10, 65535);
        QVERIFY(measure(engine, 0, c0));
        QVERIFY(measure(baseline, 0, r.chip.images[0]));
        QCOMPARE(engine.getResultData()->saturatedCounts[0], 1);
        QCOMPARE(baseline.getResultData()->saturatedCounts[0], 0);
        for (const DrpltRecogRecord &d : engine.getResultData()->droplets)
            QCOMPARE(d.flags[0], (d.x == sat.x && d.y == sat.y) ? 3 : 0);
        QVERIFY(sameBut(odd));

        // A few very bright pixels inside make a bright spot: the droplet leaves the list and
        // later channels never measure it.
        cv::Mat c1 = r.chip.images[1].clone();
        cv::rectangle(c1, cv::Rect(spot.x + 2, spot.y - 1, 2, 2), cv::Scalar(40000), cv::FILLED);
        QVERIFY(measure(engine, 1, c1));
        QVERIFY(measure(baseline, 1, r.chip.images[1]));
        QVERIFY(contains(baseline.getResultData()->droplets, spot.x, spot.y));
        QVERIFY(!contains(engine.getResultData()->droplets, spot.x, spot.y));
        QCOMPARE(engine.getResultData()->droplets.size(), baseline.getResultData()->droplets.size() - 2);
        QVERIFY(measure(engine, 3, r.chip.images[3]));
        for (const DrpltRecogRecord &d : engine.getResultData()->droplets) {
            QVERIFY(d.greys[3] > 0);
            QVERIFY(d.flags[1] != 4);
        }

        const WellImageAnalysisInfo info = engine.getWellAnalysisInfo();
        QCOMPARE(info.countSum, 1u);
        QCOMPARE(info.sharpness, engine.getResultData()->sharpness[2]);
        int flagged = 0;
        for (const DropletAnalysisInfo &d : info.droplets)
            flagged += d.flags[0] == 3;
        QCOMPARE(flagged, 1);
    }

    // The reference pass judges each droplet against the greys of its neighbours; with one
    // neighbour, or neighbours all alike, there is no spread to judge against.
    void neighbourhoodNeedsASpread_data()
    {
        QTest::addColumn<QVector<QPoint>>("offsets"); // from the centre (192, 192)
        QTest::addColumn<QVector<int>>("greys");
        QTest::addColumn<double>("coefficient");
        QTest::addColumn<QVector<int>>("removed"); // indices into offsets
        // Pairs on a diagonal, 90 pixels from the next pair: each droplet has one neighbour.
        const QVector<QPoint> pairs{{-100, -100}, {-80, -80}, {-10, -100}, {10, -80}, {80, -100}, {100, -80},
                                    {-100, 0},    {-80, 20},  {80, 0},     {100, 20}};
        const QVector<int> pairGreys{12000, 12600, 11000, 13000, 12000, 12001, 9000, 15000, 12500, 12000};
        QTest::newRow("gapped chip, one neighbour each") << pairs << pairGreys << 7.0 << QVector<int>();
        QTest::newRow("gapped chip, any coefficient") << pairs << pairGreys << 1000.0 << QVector<int>();
        // A droplet whose four diagonal neighbours are exactly alike (and see only it).
        const QVector<QPoint> star{{0, 0}, {-20, -20}, {20, -20}, {-20, 20}, {20, 20}};
        QTest::newRow("neighbours alike") << star << QVector<int>{13000, 12000, 12000, 12000, 12000} << 7.0
                                          << QVector<int>();
        // With a spread the check still works: far off it, the droplet goes.
        QTest::newRow("neighbours spread, droplet far off")
            << star << QVector<int>{30000, 11800, 12000, 12200, 12400} << 7.0 << QVector<int>{0};
        QTest::newRow("neighbours spread, droplet among them")
            << star << QVector<int>{12100, 11800, 12000, 12200, 12400} << 7.0 << QVector<int>();
    }
    void neighbourhoodNeedsASpread()
    {
        QFETCH(QVector<QPoint>, offsets);
        QFETCH(QVector<int>, greys);
        QFETCH(double, coefficient);
        QFETCH(QVector<int>, removed);
        // A recognition first, for the engine's template mark; then droplets of our own.
        DropletImgAnalysisHelper engine;
        Recognised r = recognised(engine, 11);
        r.settings.StdDevInfluenceCoefficient = coefficient;
        engine.setSettings(r.settings);
        cv::Mat image(384, 384, CV_16UC1, cv::Scalar(800));
        QVector<DrpltRecogRecord> &list = engine.getResultData()->droplets;
        list.clear();
        for (int k = 0; k < offsets.size(); ++k) {
            DrpltRecogRecord d;
            d.x = 192 + offsets[k].x();
            d.y = 192 + offsets[k].y();
            d.size = 21;
            paint(image, d.x, d.y, 10, greys[k]);
            list.append(d);
        }
        QVERIFY2(measure(engine, LumaraSynth::ReferenceChannel, image), qPrintable(engine.GetErrString()));
        const QVector<DrpltRecogRecord> &kept = engine.getResultData()->droplets;
        QCOMPARE(kept.size(), offsets.size() - removed.size());
        for (int k = 0; k < offsets.size(); ++k)
            QCOMPARE(contains(kept, 192 + offsets[k].x(), 192 + offsets[k].y()), !removed.contains(k));
    }

    void outlierCheckOffWhenTargetsUseTheReference()
    {
        DropletImgAnalysisHelper engine;
        Recognised r = recognised(engine, 11);
        engine.alterIsTargetsUsedRox(true);
        const DrpltRecogRecord odd = engine.getResultData()->droplets[70];
        const int n = engine.getResultData()->droplets.size();
        cv::Mat ref = r.chip.images[2].clone();
        paint(ref, odd.x, odd.y, 10, 30000);
        QVERIFY(measure(engine, 2, ref));
        QCOMPARE(engine.getResultData()->droplets.size(), n);
        QVERIFY(contains(engine.getResultData()->droplets, odd.x, odd.y));
    }

    void medianFilterRemovesSpecks()
    {
        // The median of side 5 wipes a 2 by 2 speck, so the droplet is no bright spot.
        DropletImgAnalysisHelper engine;
        Recognised r = recognised(engine, 11);
        Ravelin::AnalysisSettings s = r.settings;
        s.MedianFilter = 1;
        engine.setSettings(s);
        const DrpltRecogRecord spot = engine.getResultData()->droplets[40];
        cv::Mat c1 = r.chip.images[1].clone();
        cv::rectangle(c1, cv::Rect(spot.x + 2, spot.y - 1, 2, 2), cv::Scalar(40000), cv::FILLED);
        QVERIFY(measure(engine, 1, c1));
        QVERIFY(contains(engine.getResultData()->droplets, spot.x, spot.y));
    }

    void fakePositivesUnderABlob_data()
    {
        QTest::addColumn<bool>("removeFakePositives");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void fakePositivesUnderABlob()
    {
        QFETCH(bool, removeFakePositives);
        // A bright blob and a glow seen in channel 3 only: the droplets under the blob look
        // positive there; the classifier tells the blob from a droplet, and keeps the
        // droplets under the glow.
        const int target = 3;
        Chip chip;
        const LumaraSynth::Artefact *blob = nullptr;
        for (std::uint64_t seed = 1; seed < 200 && !blob; ++seed) {
            ChipPlan plan = LumaraSynth::planFor(Volume::Pl800, 512, 512, seed);
            plan.blobCount = 1;
            plan.hazeCount = 1;
            plan.artefactChannels = {{false, false, false, true, false, false}};
            chip = LumaraSynth::makeChip(plan);
            const LumaraSynth::Artefact &a = chip.artefacts[1];
            const LumaraSynth::Artefact &hz = chip.artefacts[0];
            if (a.kind == LumaraSynth::ArtefactKind::BrightBlob && a.size > 35.0 && a.x > 120 && a.x < 392 && a.y > 120 && a.y < 392
                && std::hypot(a.x - hz.x, a.y - hz.y) > 3 * hz.size + a.size)
                blob = &a;
        }
        QVERIFY(blob);
        const LumaraSynth::Artefact haze = chip.artefacts[0];
        Ravelin::AnalysisSettings s = loadSettings(paramsPath(Volume::Pl800));
        DropletImgAnalysisHelper engine;
        configure(engine, Volume::Pl800, s);
        engine.alterIsRemoveFakePos(removeFakePositives);
        QVERIFY(recognise(engine, chip.images[2]));
        QVERIFY(measure(engine, 2, chip.images[2]));
        const QVector<DrpltRecogRecord> before = engine.getResultData()->droplets;
        QVERIFY(measure(engine, target, chip.images[target]));
        const QVector<DrpltRecogRecord> after = engine.getResultData()->droplets;

        int under = 0, removedUnder = 0, removedElsewhere = 0, hazed = 0;
        for (const DrpltRecogRecord &d : before) {
            const double fromBlob = std::hypot(d.x - blob->x, d.y - blob->y);
            const bool gone = !contains(after, d.x, d.y);
            // Fully under the blob: the whole grey disk lies inside it.
            if (fromBlob + s.MeanGreyvalueRadius / 2 + 1 < blob->size) {
                ++under;
                removedUnder += gone;
            } else if (fromBlob > blob->size + 12) {
                removedElsewhere += gone;
                hazed += std::hypot(d.x - haze.x, d.y - haze.y) < haze.size;
            }
        }
        QVERIFY(under >= 3);
        QVERIFY(hazed >= 3);
        QCOMPARE(removedElsewhere, 0);
        if (removeFakePositives)
            QVERIFY2(removedUnder >= under / 2, qPrintable(QStringLiteral("%1 of %2").arg(removedUnder).arg(under)));
        else
            QCOMPARE(removedUnder, 0);
    }
};

LUMARA_TEST_MAIN(TestGreyMeasure)
#include "tst_greymeasure.moc"
