#include "backgrduniformadjuster.h"
#include "drpltgysladjuster.h"
#include "drpltimganalyser.h"
#include "testmain.h"

#include <opencv2/imgproc.hpp>

using namespace Ravelin;

typedef QVector<quint32> Greys;

namespace {

// Droplets whose reference channel ref and channel ch carry the given greys; every other
// channel holds 1000 + droplet index.
WellImageAnalysisInfo wellOf(int ref, const Greys &refGreys, int ch, const Greys &chGreys)
{
    WellImageAnalysisInfo info;
    info.valid = true;
    for (int k = 0; k < refGreys.size(); ++k) {
        DropletAnalysisInfo d;
        for (int c = 0; c < 6; ++c)
            d.workingGreys[c] = d.measuredGreys[c] = quint32(1000 + k);
        d.workingGreys[ref] = refGreys[k];
        d.workingGreys[ch] = chGreys[k];
        info.droplets.append(d);
    }
    return info;
}

Greys column(const WellImageAnalysisInfo &info, int ch, bool adjusted = false)
{
    Greys g;
    for (const DropletAnalysisInfo &d : info.droplets)
        g.append(adjusted ? d.adjustedGreys[ch] : d.workingGreys[ch]);
    return g;
}

} // namespace

class TestAdjusters : public QObject {
    Q_OBJECT
private slots:
    void settingChannelScalesByReference_data()
    {
        QTest::addColumn<Greys>("ref");
        QTest::addColumn<Greys>("chan");
        QTest::addColumn<Greys>("expected");
        // meanRef = 600 / 3 = 200; 200*100/100 = 200, 200*100/200 = 100, 200*100/300 = 66.7 -> 66
        QTest::newRow("three droplets") << Greys{100, 200, 300} << Greys{100, 100, 100} << Greys{200, 100, 66};
        // meanRef 200: 200*50/100 = 100, 200*75/300 = 50
        QTest::newRow("two droplets") << Greys{100, 300} << Greys{50, 75} << Greys{100, 50};
        // meanRef = 301 / 2 = 150 (integer division): 150*7/100 = 10.5 -> 10, 150*9/201 = 6.7 -> 6
        QTest::newRow("mean truncated") << Greys{100, 201} << Greys{7, 9} << Greys{10, 6};
        // meanRef = (1 + 60001) / 2 = 30001: 30001*60000/1 capped at 65535; 300010/60001 = 5.0001 -> 5
        QTest::newRow("capped") << Greys{1, 60001} << Greys{60000, 10} << Greys{65535, 5};
        // A droplet without reference signal keeps its value: meanRef = 200/2 = 100,
        // second droplet 100*100/200 = 50.
        QTest::newRow("zero reference") << Greys{0, 200} << Greys{500, 100} << Greys{500, 50};
        QTest::newRow("all references zero") << Greys{0, 0} << Greys{42, 43} << Greys{42, 43};
    }
    void settingChannelScalesByReference()
    {
        QFETCH(Greys, ref);
        QFETCH(Greys, chan);
        QFETCH(Greys, expected);
        const int r = 2, ch = 4;
        WellImageAnalysisInfo info = wellOf(r, ref, ch, chan);
        SettingChanDgaer adjuster;
        QVERIFY(adjuster.adjust(info, r));
        QCOMPARE(column(info, ch), expected);
        QCOMPARE(column(info, ch, true), expected);
        // The reference keeps its greys and its adjusted greys become a copy of them.
        QCOMPARE(column(info, r), ref);
        QCOMPARE(column(info, r, true), ref);
    }

    void settingChannelAdjustsAllSixChannels()
    {
        // Channels 0, 1, 3, 5 hold 1000 + k; meanRef = (100 + 300) / 2 = 200:
        // droplet 0: 200*1000/100 = 2000, droplet 1: 200*1001/300 = 667.3 -> 667.
        WellImageAnalysisInfo info = wellOf(2, {100, 300}, 4, {50, 75});
        info.channels = {2, 4}; // the adjuster does not look at the channel list
        SettingChanDgaer adjuster;
        QVERIFY(adjuster.adjust(info, 2));
        for (int c : {0, 1, 3, 5})
            QCOMPARE(column(info, c), (Greys{2000, 667}));
        // Measured greys stay as recognised.
        QCOMPARE(info.droplets[0].measuredGreys[0], 1000u);
    }

    void settingChannelWithoutDropletsOrBadReference()
    {
        WellImageAnalysisInfo empty;
        SettingChanDgaer adjuster;
        QVERIFY(adjuster.adjust(empty, 0));
        QVERIFY(empty.droplets.isEmpty());

        WellImageAnalysisInfo info = wellOf(0, {100, 300}, 1, {50, 75});
        const WellImageAnalysisInfo before = info;
        QVERIFY(adjuster.adjust(info, 6));
        QVERIFY(adjuster.adjust(info, -1));
        QCOMPARE(column(info, 1), column(before, 1));
    }

    void instrumentFileDivides_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("pixel");
        QTest::addColumn<float>("uniform");
        QTest::addColumn<int>("expected");
        QTest::newRow("16-bit 3000 / 0.5") << int(CV_16U) << 3000 << 0.5f << 6000;
        QTest::newRow("16-bit 40000 / 0.5 capped") << int(CV_16U) << 40000 << 0.5f << 65535;
        QTest::newRow("16-bit 1001 / 2 truncated") << int(CV_16U) << 1001 << 2.0f << 500;
        QTest::newRow("16-bit lit over 0") << int(CV_16U) << 7 << 0.0f << 65535;
        QTest::newRow("16-bit dark over 0") << int(CV_16U) << 0 << 0.0f << 0;
        QTest::newRow("16-bit over negative") << int(CV_16U) << 500 << -0.5f << 0;
        QTest::newRow("8-bit 200 / 0.5 capped") << int(CV_8U) << 200 << 0.5f << 255;
        QTest::newRow("8-bit 100 / 0.5") << int(CV_8U) << 100 << 0.5f << 200;
        QTest::newRow("8-bit 101 / 4") << int(CV_8U) << 101 << 4.0f << 25; // 25.25 truncated
        QTest::newRow("8-bit lit over 0") << int(CV_8U) << 1 << 0.0f << 255;
    }
    void instrumentFileDivides()
    {
        QFETCH(int, depth);
        QFETCH(int, pixel);
        QFETCH(float, uniform);
        QFETCH(int, expected);
        PreprocessState state;
        // Channel 1's flat field carries the value; channel 0's is a decoy of ones.
        state.uniformImages = {cv::Mat(3, 5, CV_32FC1, cv::Scalar(1.0)), cv::Mat(3, 5, CV_32FC1, cv::Scalar(1.0))};
        state.uniformImages[1].at<float>(1, 2) = uniform;
        const cv::Mat src(3, 5, CV_MAKETYPE(depth, 1), cv::Scalar(pixel));
        cv::Mat dst = src.clone();
        InstrumentFileBuaer adjuster(&state);
        QVERIFY(adjuster.adjust(src, dst, 1));
        QCOMPARE(dst.type(), src.type());
        const int got = depth == CV_16U ? int(dst.at<ushort>(1, 2)) : int(dst.at<uchar>(1, 2));
        QCOMPARE(got, expected);
        // Flat-field pixels of 1 leave the rest as it was.
        QCOMPARE(cv::countNonZero(dst != src), pixel == expected ? 0 : 1);
    }

    void instrumentFileSkipsUnfittingFlatField_data()
    {
        QTest::addColumn<int>("uniformType");
        QTest::addColumn<int>("uniformRows");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("other size") << int(CV_32FC1) << 4 << 0 << "4 x 4 pixels";
        QTest::newRow("16-bit") << int(CV_16UC1) << 8 << 0 << "32-bit float";
        QTest::newRow("8-bit") << int(CV_8UC1) << 8 << 0 << "32-bit float";
        QTest::newRow("two channels") << int(CV_32FC2) << 8 << 0 << "32-bit float";
        QTest::newRow("channel without flat field") << int(CV_32FC1) << 8 << 3 << "No uniform image";
    }
    void instrumentFileSkipsUnfittingFlatField()
    {
        QFETCH(int, uniformType);
        QFETCH(int, uniformRows);
        QFETCH(int, channel);
        QFETCH(QString, mentions);
        PreprocessState state;
        state.uniformImages = {cv::Mat(uniformRows, uniformRows, uniformType, cv::Scalar::all(0.25))};
        cv::Mat src(8, 8, CV_16UC1);
        cv::randu(src, 0, 30000);
        cv::Mat dst = src.clone();
        InstrumentFileBuaer adjuster(&state);
        QVERIFY(!adjuster.adjust(src, dst, channel));
        QCOMPARE(cv::countNonZero(dst != src), 0);
        QVERIFY2(adjuster.errorString().contains(mentions), qPrintable(adjuster.errorString()));
    }

    // A plateau of radius 18 on a flat background: the element of mask size 15 (29 wide)
    // fits into it, so the opening keeps it and the top-hat is about 0 there; the element of
    // mask size 23 (45 wide) does not, so the top-hat keeps the plateau's height.
    void topHatUsesTheMaskSize_data()
    {
        QTest::addColumn<int>("maskSize");
        QTest::addColumn<int>("centre");
        QTest::newRow("mask 15") << 15 << 0;
        QTest::newRow("mask 23") << 23 << 3000;
    }
    void topHatUsesTheMaskSize()
    {
        QFETCH(int, maskSize);
        QFETCH(int, centre);
        cv::Mat src(121, 121, CV_16UC1, cv::Scalar(1000));
        cv::circle(src, cv::Point(60, 60), 18, cv::Scalar(4000), cv::FILLED);
        // A small droplet elsewhere survives either way.
        cv::circle(src, cv::Point(15, 15), 5, cv::Scalar(9000), cv::FILLED);
        PreprocessState state;
        state.maskSize = maskSize;
        cv::Mat dst = src.clone();
        IntelligenceBuaer adjuster(&state);
        QVERIFY(adjuster.adjust(src, dst, 0));
        QCOMPARE(dst.type(), CV_16UC1);
        QCOMPARE(int(dst.at<ushort>(60, 60)), centre);
        QCOMPARE(int(dst.at<ushort>(15, 15)), 8000); // 9000 over the 1000 background
        QCOMPARE(int(dst.at<ushort>(110, 110)), 0);  // flat background removed
    }

    void topHatWithoutElementPassesUnchanged()
    {
        PreprocessState state;
        state.maskSize = 0;
        const cv::Mat src(16, 16, CV_8UC1, cv::Scalar(77));
        cv::Mat dst = src.clone();
        IntelligenceBuaer adjuster(&state);
        QVERIFY(!adjuster.adjust(src, dst, 0));
        QCOMPARE(cv::countNonZero(dst != src), 0);
        QVERIFY(adjuster.errorString().contains(QLatin1String("GreyValueMaskSize 0")));
    }

    void referenceOutlierExclusion_data()
    {
        QTest::addColumn<Greys>("ref");
        QTest::addColumn<int>("stddevNum");
        QTest::addColumn<Greys>("kept");
        const Greys nineAndOne{100, 100, 100, 100, 1000, 100, 100, 100, 100, 100};
        // m = 1900 / 10 = 190, s = sqrt((9 * 90^2 + 810^2) / 10) = 270:
        // with 3, L = 810 and |1000 - 190| = 810 is not above it.
        QTest::newRow("on the limit") << nineAndOne << 3 << nineAndOne;
        // with 2, L = 540: the 1000 goes.
        QTest::newRow("beyond the limit") << nineAndOne << 2 << Greys{100, 100, 100, 100, 100, 100, 100, 100, 100};
        // Equal greys: s = 0, nothing is strictly beyond.
        QTest::newRow("all equal") << Greys{500, 500, 500} << 0 << Greys{500, 500, 500};
        // m = 200, s = sqrt((100^2 + 0 + 100^2) / 3) = 81.6; with 1 both ends go.
        QTest::newRow("both ends") << Greys{100, 200, 300} << 1 << Greys{200};
        QTest::newRow("empty") << Greys{} << 3 << Greys{};
    }
    void referenceOutlierExclusion()
    {
        QFETCH(Greys, ref);
        QFETCH(int, stddevNum);
        QFETCH(Greys, kept);
        WellImageAnalysisInfo info = wellOf(1, ref, 0, Greys(ref.size(), 7));
        const int dropped = excludeReferenceOutliers(info.droplets, 1, stddevNum);
        QCOMPARE(column(info, 1), kept);
        QCOMPARE(dropped, ref.size() - kept.size());
    }
};

LUMARA_TEST_MAIN(TestAdjusters)
#include "tst_adjusters.moc"
