#include "cutouts.h"
#include "recogsupport.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <set>

using namespace RecogSupport;
using LumaraSynth::Chip;
using LumaraSynth::ChipPlan;

Q_DECLARE_METATYPE(Volume)

namespace {

struct Conditions {
    double vignetting = 0.0;
    int debris = 0;
    int haze = 0;
};

Chip chipFor(Volume v, std::uint64_t seed, const Conditions &c, int size = 512)
{
    ChipPlan plan = LumaraSynth::planFor(v, size, size, seed);
    plan.vignetting = c.vignetting;
    plan.debrisCount = c.debris;
    plan.hazeCount = c.haze;
    plan.positiveFraction = {{0.3, 0.5, 0.0, 0.2, 0.4, 0.1}};
    return LumaraSynth::makeChip(plan);
}

std::vector<std::pair<int, int>> positions(const QVector<DrpltRecogRecord> &list)
{
    std::vector<std::pair<int, int>> p;
    for (const DrpltRecogRecord &r : list)
        p.emplace_back(r.x, r.y);
    return p;
}

} // namespace

class TestRecognition : public QObject {
    Q_OBJECT
private slots:
    void findsDropletsOnSyntheticChips_data()
    {
        QTest::addColumn<Volume>("volume");
        QTest::addColumn<int>("vignettingPercent");
        QTest::addColumn<int>("debris");
        QTest::addColumn<int>("haze");
        for (Volume v : LumaraSynth::allVolumes()) {
            QTest::addRow("%s plain", LumaraSynth::volumeName(v)) << v << 0 << 0 << 0;
            QTest::addRow("%s vignetting, debris, haze", LumaraSynth::volumeName(v)) << v << 25 << 12 << 1;
        }
    }
    void findsDropletsOnSyntheticChips()
    {
        QFETCH(Volume, volume);
        QFETCH(int, vignettingPercent);
        QFETCH(int, debris);
        QFETCH(int, haze);
        const Chip chip = chipFor(volume, 17, {vignettingPercent / 100.0, debris, haze});
        bool ok = false;
        const Ravelin::AnalysisSettings settings = loadSettings(paramsPath(volume), &ok);
        QVERIFY(ok);
        DropletImgAnalysisHelper engine;
        configure(engine, volume, settings);
        QVERIFY2(recognise(engine, chip.images[LumaraSynth::ReferenceChannel]), qPrintable(engine.GetErrString()));

        const cv::Mat T = cv::imread(templatePath(volume).toStdString(), cv::IMREAD_GRAYSCALE);
        const int h = T.cols / 2;
        const QVector<DrpltRecogRecord> &found = engine.getResultData()->droplets;
        const Matching m = match(found, chip, 2.0);
        QCOMPARE(m.unmatched, 0); // every centre within 2 px of a true one
        QVERIFY(m.worst <= 2.0);
        for (int hits : m.hits)
            QVERIFY(hits <= 1); // nobody reported twice
        for (const DrpltRecogRecord &r : found) {
            QCOMPARE(r.size, T.rows);
            QVERIFY(r.score > 700 && r.score <= 1000);
            QVERIFY(r.x - 1.5 * h > 0 && r.x + 1.5 * h < chip.width);
            QVERIFY(r.y - 1.5 * h > 0 && r.y + 1.5 * h < chip.height);
        }
        int eligible = 0, hit = 0;
        for (size_t i = 0; i < chip.droplets.size(); ++i) {
            const LumaraSynth::Droplet &d = chip.droplets[i];
            const double lim = 1.5 * h;
            if (d.x > lim && d.y > lim && d.x < chip.width - 1 - lim && d.y < chip.height - 1 - lim) {
                ++eligible;
                hit += m.hits[i] > 0;
            }
        }
        qInfo("found %d of %d eligible droplets", hit, eligible);
        QVERIFY2(hit >= 0.8 * eligible, qPrintable(QStringLiteral("%1 of %2").arg(hit).arg(eligible)));

        // Every channel, in channel order as the analyser measures them.
        for (int c = 0; c < LumaraSynth::ChannelCount; ++c)
            QVERIFY2(measure(engine, c, chip.images[size_t(c)]), qPrintable(engine.GetErrString()));
        const QVector<DrpltRecogRecord> &measured = engine.getResultData()->droplets;
        const Matching mm = match(measured, chip, 2.0);
        QVERIFY(measured.size() >= 0.95 * found.size()); // few dropped as outliers or spots
        int compared = 0;
        for (int c = 0; c < LumaraSynth::ChannelCount; ++c) {
            double maxNegative = 0.0, minPositive = 1e18;
            for (int k = 0; k < measured.size(); ++k) {
                const LumaraSynth::Droplet &d = chip.droplets[size_t(mm.truthOf[size_t(k)])];
                if (!clearOfArtefacts(chip, d))
                    continue;
                const double expected = d.grey[size_t(c)] * d.shading;
                const double got = measured[k].measuredGreys[c];
                QVERIFY2(std::abs(got - expected) <= 0.03 * expected,
                         qPrintable(QStringLiteral("channel %1: %2 against %3").arg(c).arg(got).arg(expected)));
                QCOMPARE(measured[k].workingGreys[c], measured[k].measuredGreys[c]);
                ++compared;
                if (c == LumaraSynth::ReferenceChannel)
                    continue;
                if (d.positive[size_t(c)])
                    minPositive = std::min(minPositive, got);
                else
                    maxNegative = std::max(maxNegative, got);
            }
            if (c != LumaraSynth::ReferenceChannel)
                QVERIFY2(maxNegative < minPositive, qPrintable(QStringLiteral("channel %1").arg(c)));
        }
        QVERIFY(compared > 6 * 100);

        const WellImageAnalysisInfo info = engine.getWellAnalysisInfo();
        QVERIFY(info.valid);
        QCOMPARE(info.droplets.size(), measured.size());
        QVERIFY(info.channels.isEmpty());
        QCOMPARE(info.sharpness, engine.getResultData()->sharpness[LumaraSynth::ReferenceChannel]);
        for (int k = 0; k < info.droplets.size(); ++k) {
            const DropletAnalysisInfo &d = info.droplets[k];
            QCOMPARE(d.x, quint32(measured[k].x));
            QCOMPARE(d.y, quint32(measured[k].y));
            QCOMPARE(d.maskSize, quint32(settings.GreyValueMaskSize));
            QCOMPARE(d.adjustedGreys, QVector<quint32>(6, 0));
            QCOMPARE(d.compensatedGreys, QVector<quint32>(6, 0));
            QCOMPARE(d.measuredGreys[2], quint32(measured[k].measuredGreys[2]));
        }
    }

    // A chip on which every candidate is a droplet has no score gap to find: all its droplets
    // are kept, whatever their appearance within the range the assets are made for.
    void cleanChipKeepsItsDroplets_data()
    {
        QTest::addColumn<Volume>("volume");
        QTest::addColumn<int>("profile");
        QTest::addColumn<double>("radiusScale");
        QTest::addColumn<int>("seed");
        using LumaraSynth::Profile;
        for (Volume v : {Volume::Pl300, Volume::Pl600, Volume::Pl800}) {
            for (int seed : {3, 4})
                QTest::addRow("%s plain, seed %d", LumaraSynth::volumeName(v), seed)
                    << v << int(Profile::AntiAliased) << 1.0 << seed;
        }
        QTest::newRow("800pl dome") << Volume::Pl800 << int(Profile::Dome) << 1.0 << 5;
        QTest::newRow("800pl gaussian") << Volume::Pl800 << int(Profile::Gaussian) << 1.0 << 6;
        QTest::newRow("800pl soft, radius 0.9") << Volume::Pl800 << int(Profile::Soft) << 0.9 << 7;
        QTest::newRow("800pl flat, radius 0.9") << Volume::Pl800 << int(Profile::Flat) << 0.9 << 8;
        // Droplets wider than Kernel_11's square: their flat centres must stay lit.
        QTest::newRow("800pl flat, radius 1.1") << Volume::Pl800 << int(Profile::Flat) << 1.1 << 9;
        QTest::newRow("800pl anti-aliased, radius 1.1") << Volume::Pl800 << int(Profile::AntiAliased) << 1.1 << 10;
        QTest::newRow("800pl soft, radius 1.1") << Volume::Pl800 << int(Profile::Soft) << 1.1 << 11;
    }
    void cleanChipKeepsItsDroplets()
    {
        QFETCH(Volume, volume);
        QFETCH(int, profile);
        QFETCH(double, radiusScale);
        QFETCH(int, seed);
        ChipPlan plan = LumaraSynth::planFor(volume, 320, 320, std::uint64_t(seed));
        plan.profile = LumaraSynth::Profile(profile);
        plan.geometry = LumaraSynth::scaledGeometry(plan.geometry, radiusScale);
        const Chip chip = LumaraSynth::makeChip(plan);
        DropletImgAnalysisHelper engine;
        configure(engine, volume, loadSettings(paramsPath(volume)));
        QVERIFY2(recognise(engine, chip.images[LumaraSynth::ReferenceChannel]), qPrintable(engine.GetErrString()));
        const QVector<DrpltRecogRecord> &found = engine.getResultData()->droplets;
        QVERIFY(found.size() > 100); // the adaptive threshold of many candidates
        const Matching m = match(found, chip, 2.0);
        QCOMPARE(m.unmatched, 0);
        const int h = cv::imread(templatePath(volume).toStdString(), cv::IMREAD_GRAYSCALE).cols / 2;
        int eligible = 0, hit = 0;
        for (size_t i = 0; i < chip.droplets.size(); ++i) {
            const LumaraSynth::Droplet &d = chip.droplets[i];
            if (d.x > 1.5 * h && d.y > 1.5 * h && d.x < chip.width - 1 - 1.5 * h && d.y < chip.height - 1 - 1.5 * h) {
                ++eligible;
                hit += m.hits[i] == 1;
            }
        }
        // The narrow hat that lights bright-rimmed and dim droplets whole loses a few of the
        // widest soft ones at 800 pl (the sweep: 95.8 % found against 98.4 % with the wide hat).
        QEXPECT_FAIL("800pl soft, radius 1.1", "the narrow Kernel_11 hat loses some wide soft droplets", Continue);
        QVERIFY2(hit >= 0.97 * eligible, qPrintable(QStringLiteral("%1 of %2").arg(hit).arg(eligible)));
    }

    void sixteenToEightBitTruncates_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("eightBit");
        QTest::newRow("65535") << 65535 << 255;
        QTest::newRow("511") << 511 << 1;
        QTest::newRow("255") << 255 << 0;
        QTest::newRow("767 rounds down") << 767 << 2;
        QTest::newRow("768") << 768 << 3;
    }
    void sixteenToEightBitTruncates()
    {
        QFETCH(int, value);
        QFETCH(int, eightBit);
        // The mark is cut from the unfiltered 8-bit copy of the source: plant the value in the
        // corner of where the mark of every droplet would lie (the planted pixels may change
        // which droplet scores best) and read it back there.
        const Chip chip = chipFor(Volume::Pl800, 5, {});
        cv::Mat src = chip.images[LumaraSynth::ReferenceChannel].clone();
        const Ravelin::AnalysisSettings settings = loadSettings(paramsPath(Volume::Pl800));
        const int g = settings.GreyValueMaskSize;
        std::set<std::pair<int, int>> corners;
        {
            DropletImgAnalysisHelper engine;
            configure(engine, Volume::Pl800, settings);
            QVERIFY(recognise(engine, src));
            for (const DrpltRecogRecord &r : engine.getResultData()->droplets)
                corners.emplace(r.x - g / 2, r.y - g / 2);
        }
        for (const auto &c : corners)
            src.at<ushort>(c.second, c.first) = ushort(value);
        DropletImgAnalysisHelper engine;
        configure(engine, Volume::Pl800, settings);
        QVERIFY(recognise(engine, src));
        const cv::Mat mark = engine.getTemplateMark();
        cv::Size whole;
        cv::Point at;
        mark.locateROI(whole, at);
        QVERIFY(corners.count({at.x, at.y}) == 1);
        QCOMPARE(mark.rows, settings.GreyValueMaskSize);
        QCOMPARE(mark.cols, settings.GreyValueMaskSize);
        QCOMPARE(int(mark.at<uchar>(0, 0)), eightBit);
        for (int y = 0; y < mark.rows; ++y)
            for (int x = 0; x < mark.cols; ++x)
                QCOMPARE(int(mark.at<uchar>(y, x)), src.at<ushort>(at.y + y, at.x + x) / 256);
    }

    void trimKeepsTheLeadingPart()
    {
        const Chip chip = chipFor(Volume::Pl600, 3, {});
        Ravelin::AnalysisSettings s = loadSettings(paramsPath(Volume::Pl600));
        DropletImgAnalysisHelper whole;
        configure(whole, Volume::Pl600, s);
        QVERIFY(recognise(whole, chip.images[2]));
        const auto all = positions(whole.getResultData()->droplets);

        s.SaveResultThld = 0.75;
        DropletImgAnalysisHelper trimmed;
        configure(trimmed, Volume::Pl600, s);
        QVERIFY(recognise(trimmed, chip.images[2]));
        const auto part = positions(trimmed.getResultData()->droplets);
        const size_t drop = size_t(0.25 * double(all.size())); // (1 - 0.75) * n, truncated
        QCOMPARE(part.size(), all.size() - drop);
        QVERIFY(std::equal(part.begin(), part.end(), all.begin()));

        // Above 1 keeps everything; below 0 drops everything.
        s.SaveResultThld = 2.0;
        DropletImgAnalysisHelper generous;
        configure(generous, Volume::Pl600, s);
        QVERIFY(recognise(generous, chip.images[2]));
        QCOMPARE(size_t(generous.getResultData()->droplets.size()), all.size());
        s.SaveResultThld = -1.0;
        DropletImgAnalysisHelper none;
        configure(none, Volume::Pl600, s);
        QVERIFY(!recognise(none, chip.images[2]));
        QCOMPARE(none.GetErrString(), QStringLiteral("error2"));

        s.SaveResultThld = 1.0;
        s.RandomShuffle = true;
        DropletImgAnalysisHelper shuffled;
        configure(shuffled, Volume::Pl600, s);
        QVERIFY(recognise(shuffled, chip.images[2]));
        auto mixed = positions(shuffled.getResultData()->droplets);
        auto sortedAll = all;
        std::sort(mixed.begin(), mixed.end());
        std::sort(sortedAll.begin(), sortedAll.end());
        QVERIFY(mixed == sortedAll);
    }

    void discreteRegionModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("areaEndsInside");
        for (bool inside : {false, true}) {
            const char *area = inside ? "area ends inside" : "droplets fill the image";
            QTest::addRow("0: every sparse droplet goes, %s", area) << 0 << inside;
            QTest::addRow("1: left fifth stays, %s", area) << 1 << inside;
            QTest::addRow("2: right fifth stays, %s", area) << 2 << inside;
            QTest::addRow("3: nothing goes, %s", area) << 3 << inside;
        }
    }
    void discreteRegionModes()
    {
        QFETCH(int, mode);
        QFETCH(bool, areaEndsInside);
        const Chip chip = chipFor(Volume::Pl300, 8, {});
        cv::Mat image = chip.images[2].clone();
        if (areaEndsInside) {
            // Droplets only in rows 150 to 360: the area has a top and a bottom end.
            image.rowRange(0, 150).setTo(800);
            image.rowRange(361, image.rows).setTo(800);
        }
        Ravelin::AnalysisSettings s = loadSettings(paramsPath(Volume::Pl300));
        DropletImgAnalysisHelper reference;
        configure(reference, Volume::Pl300, s);
        reference.setRemoveDiscreteArea(3);
        QVERIFY(recognise(reference, image));
        const QVector<DrpltRecogRecord> accepted = reference.getResultData()->droplets;
        const int h = cv::imread(templatePath(Volume::Pl300).toStdString(), cv::IMREAD_GRAYSCALE).cols / 2;

        // No window can hold this many: every droplet is sparse.
        s.DiscreteCountThreshold = 1000000;
        DropletImgAnalysisHelper engine;
        configure(engine, Volume::Pl300, s);
        engine.setRemoveDiscreteArea(mode);
        const bool ok = recognise(engine, image);
        const double fifth = chip.width / 5.0;
        const int g = s.GreyValueMaskSize;
        std::vector<std::pair<int, int>> expected;
        if (mode == 3) {
            expected = positions(accepted);
        } else if (mode == 1 || mode == 2) {
            int lo = INT_MAX, hi = INT_MIN;
            for (const DrpltRecogRecord &r : accepted) {
                if ((mode == 1 && r.x < fifth) || (mode == 2 && r.x > fifth * 4.0)) {
                    lo = std::min(lo, r.y);
                    hi = std::max(hi, r.y);
                }
            }
            // Two marks inside the ends of the area along the edge; an area running on to the
            // image border has no end there, and whole droplets beside it stay.
            const bool openTop = lo - g <= 1.5 * h, openBottom = hi + g >= image.rows - 1.5 * h;
            QCOMPARE(openTop, !areaEndsInside);
            QCOMPARE(openBottom, !areaEndsInside);
            const int yLow = openTop ? 0 : lo + 2 * g, yHigh = openBottom ? image.rows : hi - 2 * g;
            for (const DrpltRecogRecord &r : accepted) {
                const bool edge = (mode == 1 && r.x < fifth) || (mode == 2 && r.x > fifth * 4.0);
                if (edge && r.y >= yLow && r.y <= yHigh)
                    expected.emplace_back(r.x, r.y);
            }
        }
        if (expected.empty()) {
            QVERIFY(!ok);
            QCOMPARE(engine.GetErrString(), QStringLiteral("error2"));
        } else {
            QVERIFY(ok);
            QVERIFY(positions(engine.getResultData()->droplets) == expected);
            QVERIFY(expected.size() < size_t(accepted.size()) || mode == 3);
        }
    }

    // The halves of a chip imaged in two blocks, each recognised with the mode of its block,
    // find what the whole image finds, but for the droplets too close to the rows where the
    // halves meet to be matched in either.
    void twoBlocksFindWhatOneSetFinds_data()
    {
        QTest::addColumn<Volume>("volume");
        QTest::addColumn<bool>("eightBit");
        QTest::newRow("800 pl, 16-bit halves") << Volume::Pl800 << false;
        QTest::newRow("800 pl, 8-bit halves") << Volume::Pl800 << true;
        QTest::newRow("300 pl, 8-bit halves") << Volume::Pl300 << true;
    }
    void twoBlocksFindWhatOneSetFinds()
    {
        QFETCH(Volume, volume);
        QFETCH(bool, eightBit);
        const Chip chip = chipFor(volume, 21, {}, 384);
        cv::Mat whole = chip.images[LumaraSynth::ReferenceChannel];
        if (eightBit)
            whole = LumaraSynth::toEightBit(whole);
        const int half = whole.rows / 2;
        const Ravelin::AnalysisSettings s = loadSettings(paramsPath(volume));

        DropletImgAnalysisHelper one;
        configure(one, volume, s);
        QVERIFY(recognise(one, whole));
        std::set<std::pair<int, int>> blocks;
        for (int b = 0; b < 2; ++b) {
            DropletImgAnalysisHelper engine;
            configure(engine, volume, s);
            engine.setRemoveDiscreteArea(b == 0 ? 2 : 1);
            const cv::Mat part = whole.rowRange(b * half, (b + 1) * half).clone();
            QVERIFY2(recognise(engine, part), qPrintable(engine.GetErrString()));
            for (const DrpltRecogRecord &r : engine.getResultData()->droplets)
                blocks.emplace(r.x, r.y + b * half);
        }
        const int h = cv::imread(templatePath(volume).toStdString(), cv::IMREAD_GRAYSCALE).cols / 2;
        int away = 0, misses = 0;
        QString firstMiss;
        for (const DrpltRecogRecord &r : one.getResultData()->droplets) {
            if (std::abs(r.y - half) <= 1.5 * h + 1)
                continue;
            ++away;
            // Each half sees the same pixels around the droplet, so the same centre (a pixel
            // off at most, where the filters reach the cut).
            int hits = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    hits += int(blocks.count({r.x + dx, r.y + dy}));
            if (hits != 1 && firstMiss.isEmpty())
                firstMiss = QStringLiteral("%1, %2: %3").arg(r.x).arg(r.y).arg(hits);
            misses += hits != 1;
        }
        // With the 19-pixel 800 pl template a block misses a droplet or two the whole image finds.
        QEXPECT_FAIL("800 pl, 16-bit halves", "a block of 800 pl droplets misses one the whole image finds", Continue);
        QEXPECT_FAIL("800 pl, 8-bit halves", "a block of 800 pl droplets misses one the whole image finds", Continue);
        QVERIFY2(misses == 0, qPrintable(firstMiss));
        QVERIFY(away > 100);
        QVERIFY(int(blocks.size()) <= one.getResultData()->droplets.size());
    }

    void recognitionFailures_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error");
        const QString empty = QStringLiteral("TemplateImage is empty or ori_sourceImage is empty.\n");
        QTest::newRow("template missing") << "template missing" << empty;
        QTest::newRow("source without pixels") << "null data" << empty;
        QTest::newRow("source file missing") << "source file missing" << empty;
        QTest::newRow("float source") << "float source" << "The type of templateImage is error.\n";
        QTest::newRow("one row") << "one row" << "The size of sourceImage is error.\n";
        QTest::newRow("flat image") << "flat" << "error1";
        QTest::newRow("template not square") << "template 21x23" << "The template image must be square with an odd side.\n";
        QTest::newRow("template even") << "template 20x20" << "The template image must be square with an odd side.\n";
        QTest::newRow("kernel unreadable") << "kernel missing" << "The Mexican-hat kernel is empty or could not be read.\n";
        QTest::newRow("kernel in colour") << "kernel colour" << "The Mexican-hat kernel is empty or could not be read.\n";
    }
    void recognitionFailures()
    {
        QFETCH(QString, what);
        QFETCH(QString, error);
        QTemporaryDir dir;
        DropletImgAnalysisHelper engine;
        configure(engine, Volume::Pl800, loadSettings(paramsPath(Volume::Pl800)));
        const Chip chip = chipFor(Volume::Pl800, 2, {}, 128);
        const cv::Mat &img = chip.images[2];
        bool ok = true;
        if (what == "template missing") {
            engine.setTemplateModel(dir.filePath("none.tif"));
            ok = recognise(engine, img);
        } else if (what == "null data") {
            ok = engine.recogDrplt(100, 100, nullptr, 1);
        } else if (what == "source file missing") {
            ok = engine.recogDrplt(dir.filePath("none.tif"));
        } else if (what == "float source") {
            cv::Mat f;
            img.convertTo(f, CV_32F);
            QVERIFY(cv::imwrite(dir.filePath("f.tif").toStdString(), f));
            ok = engine.recogDrplt(dir.filePath("f.tif"));
        } else if (what == "one row") {
            ok = engine.recogDrplt(unsigned(img.cols), 1, img.data, 1);
        } else if (what == "flat") {
            const cv::Mat flat(128, 128, CV_16UC1, cv::Scalar(800));
            ok = recognise(engine, flat);
        } else if (what.startsWith("template ")) {
            const int w = what.mid(9).section('x', 0, 0).toInt(), h = what.section('x', 1, 1).toInt();
            QVERIFY(cv::imwrite(dir.filePath("t.tif").toStdString(), cv::Mat(h, w, CV_8UC1, cv::Scalar(128))));
            engine.setTemplateModel(dir.filePath("t.tif"));
            ok = recognise(engine, img);
        } else if (what == "kernel missing") {
            engine.setMexicanhatKernel(dir.filePath("none.tif"));
            ok = recognise(engine, img);
        } else if (what == "kernel colour") {
            QVERIFY(cv::imwrite(dir.filePath("k.png").toStdString(), cv::Mat(11, 11, CV_8UC3, cv::Scalar(1, 2, 3))));
            engine.setMexicanhatKernel(dir.filePath("k.png"));
            ok = recognise(engine, img);
        }
        QVERIFY(!ok);
        QCOMPARE(engine.GetErrString(), error);
    }

    void rawFormatOutOfRangeKeepsTheError()
    {
        DropletImgAnalysisHelper engine;
        QVERIFY(!engine.setTemplateModel(QString()));
        QCOMPARE(engine.GetErrString(), QStringLiteral("SetTemplateModel: template image is empty.\n"));
        const ushort pixels[16] = {};
        QVERIFY(!engine.recogDrplt(4, 4, pixels, 2));
        QCOMPARE(engine.GetErrString(), QStringLiteral("SetTemplateModel: template image is empty.\n"));
    }

    void kernelFilesOfOtherTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("16-bit signed") << CV_16S;
        QTest::newRow("32-bit signed") << CV_32S;
        QTest::newRow("64-bit float") << CV_64F;
    }
    void kernelFilesOfOtherTypes()
    {
        // The built-in kernel written negated in another pixel type must act exactly as the
        // built-in one: converted first, then negated.
        QFETCH(int, type);
        QTemporaryDir dir;
        LumaraSynth::Geometry small;
        small.radius = 4.0;
        small.pitch = 10.0;
        ChipPlan plan = LumaraSynth::planFor(Volume::Pl300, 256, 256, 12);
        plan.geometry = small;
        plan.geometry.positionJitter = 0.0;
        plan.geometry.radiusJitter = 0.0;
        const Chip chip = LumaraSynth::makeChip(plan);

        // A template for these small droplets, averaged from the match image.
        DropletImgAnalysisHelper maker;
        maker.setMexicanhatKernel(QString());
        cv::Mat matchImage;
        QVERIFY(maker.prepareMatchImage(chip.images[2], 9, matchImage));
        cv::Mat sum = cv::Mat::zeros(9, 9, CV_64F);
        int n = 0;
        for (const LumaraSynth::Droplet &d : chip.droplets) {
            const int x = int(std::lround(d.x)), y = int(std::lround(d.y));
            if (x < 4 || y < 4 || x + 4 >= matchImage.cols || y + 4 >= matchImage.rows)
                continue;
            cv::Mat p;
            matchImage(cv::Rect(x - 4, y - 4, 9, 9)).convertTo(p, CV_64F);
            sum += p;
            ++n;
        }
        cv::Mat T;
        sum.convertTo(T, CV_8U, 1.0 / n);
        QVERIFY(cv::imwrite(dir.filePath("t.tif").toStdString(), T));

        const int builtin[7][7] = {{0, 0, -1, -1, -1, 0, 0},   {0, -1, -3, -3, -3, -1, 0}, {-1, -3, 0, 7, 0, -3, -1},
                                   {-1, -3, 7, 24, 7, -3, -1}, {-1, -3, 0, 7, 0, -3, -1},  {0, -1, -3, -3, -3, -1, 0},
                                   {0, 0, -1, -1, -1, 0, 0}};
        cv::Mat negated(7, 7, CV_32S);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
                negated.at<int>(y, x) = -builtin[y][x];
        cv::Mat file;
        negated.convertTo(file, type);
        QVERIFY(cv::imwrite(dir.filePath("k.tif").toStdString(), file));

        Ravelin::AnalysisSettings s;
        s.RandomShuffle = false;
        s.MeanGreyvalueRadius = 7;
        s.GreyValueMaskSize = 11;
        s.DiscreteRectLength = 80;
        QVector<DrpltRecogRecord> results[2];
        for (int k = 0; k < 2; ++k) {
            DropletImgAnalysisHelper engine;
            engine.clearData();
            engine.setSettings(s);
            engine.setTemplateModel(dir.filePath("t.tif"));
            engine.setMexicanhatKernel(k == 0 ? QString() : dir.filePath("k.tif"));
            QVERIFY2(recognise(engine, chip.images[2]), qPrintable(engine.GetErrString()));
            results[k] = engine.getResultData()->droplets;
        }
        QVERIFY(results[0].size() > 200);
        QVERIFY(positions(results[0]) == positions(results[1]));
        // The built-in kernel serves droplets this small well.
        const Matching m = match(results[0], chip, 2.0);
        QCOMPARE(m.unmatched, 0);
    }

    void engineState()
    {
        DropletImgAnalysisHelper engine;
        QCOMPARE(engine.getTemplateMarkSize(), 23);
        Ravelin::AnalysisSettings s = loadSettings(paramsPath(Volume::Pl800));
        configure(engine, Volume::Pl800, s);
        QCOMPARE(engine.getTemplateMarkSize(), s.GreyValueMaskSize);
        const Chip chip = chipFor(Volume::Pl800, 9, {}, 256);
        QVERIFY(recognise(engine, chip.images[2]));
        const int once = engine.getResultData()->droplets.size();
        QVERIFY(once > 50);

        // A copy has its own result; the original keeps its droplets.
        DropletImgAnalysisHelper copy(engine);
        copy.clearData();
        QCOMPARE(copy.getResultData()->droplets.size(), 0);
        QCOMPARE(engine.getResultData()->droplets.size(), once);
        DropletImgAnalysisHelper assigned;
        assigned = engine;
        QCOMPARE(assigned.getResultData()->droplets.size(), once);
        QVERIFY(assigned.getResultData() != engine.getResultData());

        // Without clearData a second recognition appends.
        QVERIFY(recognise(engine, chip.images[2]));
        QCOMPARE(engine.getResultData()->droplets.size(), 2 * once);
        engine.clearData();
        QVERIFY(recognise(engine, chip.images[2]));
        QCOMPARE(engine.getResultData()->droplets.size(), once);
    }

    void diskStrel_data()
    {
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("ones");
        // side 2r - 1; a staircase of c, c - 1, ..., 1 zeros in each corner
        QTest::newRow("1: one pixel") << 1 << 1 << 1;
        QTest::newRow("2: only the centre survives c = 2") << 2 << 3 << 1;
        QTest::newRow("3: no cut") << 3 << 5 << 25;
        QTest::newRow("4: c 2") << 4 << 7 << 49 - 4 * 3;
        QTest::newRow("7: c 2") << 7 << 13 << 169 - 4 * 3;
        QTest::newRow("8: c 4") << 8 << 15 << 225 - 4 * 10;
        QTest::newRow("12: c 6") << 12 << 23 << 529 - 4 * 21;
        QTest::newRow("15: c 8") << 15 << 29 << 841 - 4 * 36;
        QTest::newRow("23: c 12") << 23 << 45 << 2025 - 4 * 78;
        QTest::newRow("0: nothing") << 0 << 0 << 0;
    }
    void diskStrel()
    {
        QFETCH(int, radius);
        QFETCH(int, side);
        QFETCH(int, ones);
        DropletImgAnalysisHelper engine;
        const cv::Mat m = engine.diskStrel(radius);
        QCOMPARE(m.rows, side);
        QCOMPARE(m.cols, side);
        if (side == 0)
            return;
        QCOMPARE(m.type(), CV_8UC1);
        QCOMPARE(cv::countNonZero(m), ones);
        double hi = 0;
        cv::minMaxLoc(m, nullptr, &hi);
        QCOMPARE(hi, 1.0);
        // symmetric under both flips
        cv::Mat f;
        cv::flip(m, f, -1);
        QCOMPARE(cv::countNonZero(m != f), 0);
        cv::flip(m, f, 1);
        QCOMPARE(cv::countNonZero(m != f), 0);
    }

    void newErode()
    {
        DropletImgAnalysisHelper engine;
        const cv::Mat src = (cv::Mat_<uchar>(4, 4) << 9, 8, 7, 6, 5, 4, 3, 2, 1, 9, 9, 9, 9, 9, 9, 0);
        // Inner pixels take the minimum of their 3 by 3 square; the outer ring stays.
        const cv::Mat expected = (cv::Mat_<uchar>(4, 4) << 9, 8, 7, 6, 5, 1, 2, 2, 1, 1, 0, 9, 9, 9, 9, 0);
        const cv::Mat out = engine.new_erode(1, src);
        QCOMPARE(cv::countNonZero(out != expected), 0);
        QCOMPARE(cv::countNonZero(src != (cv::Mat_<uchar>(4, 4) << 9, 8, 7, 6, 5, 4, 3, 2, 1, 9, 9, 9, 9, 9, 9, 0)), 0);
        // Fewer than 3 rows: unchanged.
        const cv::Mat flat = (cv::Mat_<uchar>(2, 4) << 5, 1, 5, 1, 1, 5, 1, 5);
        QCOMPARE(cv::countNonZero(engine.new_erode(1, flat) != flat), 0);
        // A wider square takes what lies inside the image.
        cv::Mat five(5, 5, CV_8UC1, cv::Scalar(50));
        five.at<uchar>(0, 4) = 3;
        const cv::Mat wide = engine.new_erode(2, five);
        QCOMPARE(int(wide.at<uchar>(1, 2)), 3);
        QCOMPARE(int(wide.at<uchar>(3, 1)), 50);
        QCOMPARE(int(wide.at<uchar>(0, 0)), 50);
    }

    void adaptiveThreshold_data()
    {
        QTest::addColumn<QVector<int>>("scores");
        QTest::addColumn<int>("threshold");
        // Worked out with a separate model of the largest-gap search.
        QTest::newRow("50 equal scores: no gap, all accepted") << QVector<int>(50, 900) << 900;
        // gap after the third; the cut at 0.97 of position 2 lands on the second
        QTest::newRow("five with a gap") << QVector<int>{990, 980, 970, 600, 590} << 980;
        // no result from the gaps; 2 of the first 2 are >= 720
        QTest::newRow("three") << QVector<int>{900, 850, 100} << 850;
        QVector<int> mixed;
        const int good[] = {950, 940, 930, 920, 910, 905, 900, 895, 890, 885, 880, 875};
        const int poor[] = {650, 640, 630, 620, 610, 600, 590, 580};
        for (int v : good)
            mixed << v;
        for (int v : poor)
            mixed << v;
        QTest::newRow("12 good, 8 poor") << mixed << 880;
        // all below 800: the cut stays at truncated 0.97 times 7
        QTest::newRow("all below 800") << QVector<int>{780, 770, 760, 750, 740, 730, 720, 710, 700, 690} << 720;
        // 200 candidates, one in five poor; the refinement moves the position from 150 to 144
        QVector<int> many;
        for (int i = 0; i < 200; ++i)
            many << (i % 5 != 0 ? 900 + (i * 37) % 50 : 500 + (i * 13) % 40);
        QTest::newRow("200 with refinement") << many << 906;

        // Every candidate a droplet: a dense run of scores that thins out towards its tail,
        // with no step between neighbours. Nothing is cut but, of scores of 800 or less, the
        // lowest 3 % at most; a step down onto such scores still separates them.
        QVector<int> smooth;
        for (int i = 0; i < 440; ++i)
            smooth << int(990 - 0.1 * i);
        for (int j = 0, last = smooth.last(); j < 40; ++j)
            smooth << (last -= 1 + j / 8);
        QTest::newRow("480 without a step: all kept") << smooth << 826;
        QVector<int> debris = smooth;
        debris << 720 << 716 << 713 << 710;
        QTest::newRow("480 and four far below: the largest gap as it was") << debris << 924;
        QVector<int> low;
        for (int i = 0; i < 440; ++i)
            low << int(990 - 0.25 * i);
        for (int j = 0, last = low.last(); j < 40; ++j)
            low << (last -= 1 + j / 8);
        QTest::newRow("480 without a step, tail below 800: 8 cut") << low << 800;
        // Droplets alike at two levels a few points apart: a step, but no separation.
        QVector<int> plateaus;
        for (int i = 0; i < 480; ++i)
            plateaus << int(975 - 0.03 * i);
        plateaus << 958 << 955;
        for (int i = 0; i < 55; ++i)
            plateaus << 950;
        QTest::newRow("two levels 12 points apart: all kept") << plateaus << 950;

        // Few candidates, all droplets: steps of a point or two, no gap. The first largest
        // neighbour gap would cut after the first step; all are kept, and of scores of 800 or
        // less the cut takes the lowest 3 %.
        QVector<int> fewHigh;
        for (int i = 0; i < 60; ++i)
            fewHigh << 950 - i / 2 - (i % 7 == 0 ? i / 7 : 0);
        QTest::newRow("60 high without a step: all kept") << fewHigh << *std::min_element(fewHigh.begin(), fewHigh.end());
        QVector<int> fewLow;
        for (int i = 0; i < 40; ++i)
            fewLow << 830 - 2 * i - (i % 5 == 3 ? 1 : 0);
        QTest::newRow("40 down to 752 without a step: the lowest cut") << fewLow << 753;
        QVector<int> fewWithFalse = fewHigh;
        fewWithFalse << 905 << 880 << 860;
        QTest::newRow("60 and a step of 25 below: cut there") << fewWithFalse << 914;
    }
    void adaptiveThreshold()
    {
        QFETCH(QVector<int>, scores);
        QFETCH(int, threshold);
        QCOMPARE(DropletImgAnalysisHelper::adaptiveScoreThreshold(std::vector<int>(scores.begin(), scores.end())),
                 threshold);
    }
};

LUMARA_TEST_MAIN(TestRecognition)
#include "tst_recognition.moc"
