// The brightness and contrast map of one channel's image and the conversion of the business
// layer's channel images to 8-bit: exact values of the stretches and steps, the qualifying
// grey levels, the table against the formula, images that have no mapping, and rounding.
#include "pages/DropletImage/dropletimage.h"
#include "pages/DropletImage/qcimageprocessmanager.h"
#include "testmain.h"

#include <opencv2/core.hpp>

#include <cmath>
#include <limits>
#include <vector>

Q_DECLARE_METATYPE(cv::Mat)

namespace {

// An image holding each (level, count) pair's level in that many pixels, then the rest of
// the rows filled with `fill`.
cv::Mat levelImage(const std::vector<std::pair<int, int>> &levels, int fill = 0, int width = 64)
{
    int total = 0;
    for (const auto &level : levels)
        total += level.second;
    const int rows = std::max(1, (total + width - 1) / width + 1);
    cv::Mat image(rows, width, CV_8UC1, cv::Scalar(fill));
    int at = 0;
    for (const auto &level : levels)
        for (int k = 0; k < level.second; ++k, ++at)
            image.at<uchar>(at / width, at % width) = uchar(level.first);
    return image;
}

// The map's rule for one level: p * alpha + beta, at most 255, at least 0, truncated; NaN 0.
int expectedLevel(int p, double alpha, double beta)
{
    const double v = double(p) * alpha + beta;
    if (std::isnan(v))
        return 0;
    return int(std::max(0.0, std::min(255.0, v)));
}

int pixel(const cv::Mat &image, int level, const cv::Mat &source)
{
    for (int y = 0; y < source.rows; ++y)
        for (int x = 0; x < source.cols; ++x)
            if (source.at<uchar>(y, x) == level)
                return image.at<uchar>(y, x);
    return -1;
}

bool same(const cv::Mat &a, const cv::Mat &b)
{
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// Pixels 20 and 220 (too few to qualify), qualifying levels 30 and 200 and a pixel 120: the
// spans need no doubling.
cv::Mat span20to220()
{
    return levelImage({{20, 3}, {30, 400}, {120, 3}, {200, 400}, {220, 3}}, 120);
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

} // namespace

class TestImageProcess : public QObject {
    Q_OBJECT
private slots:
    void defaultPositionsStretchMinToMax()
    {
        QCImageProcessManager manager;
        const cv::Mat image = span20to220();
        const cv::Mat shown = manager.adjustContrast(image, 0.5);
        QCOMPARE(manager.brightness(), 0.5);
        QCOMPARE(manager.contrastSpan() * 0.5, 1.275);
        QCOMPARE(manager.brightnessSpan() * 0.5 + manager.brightnessOffset(), -25.5);
        QCOMPARE(pixel(shown, 20, image), 0);
        QCOMPARE(pixel(shown, 220, image), 255);
        QCOMPARE(pixel(shown, 120, image), 127); // 127.5 truncated
        // The same image's own default stretch is the pair (0.5, 0.5).
        QCOMPARE(manager.defaultContrast(image), 0.5);
        QCOMPARE(manager.brightness(), 0.5);
    }

    void freshBrightnessCalibratesWithContrastHalf()
    {
        QCImageProcessManager manager;
        const cv::Mat image = span20to220();
        const cv::Mat shown = manager.adjustBrightness(image, 0.6);
        QCOMPARE(manager.contrast(), 0.5);
        QCOMPARE(manager.brightness(), 0.6);
        // alpha 1.275, beta 0.6 * 204 - 127.5 = -5.1: 120 -> 147.9.
        QCOMPARE(pixel(shown, 120, image), 147);
        QCOMPARE(pixel(shown, 20, image), 20);
    }

    // The default stretch of another image under the spans of the first calibration.
    void defaultOfALaterImageKeepsTheSpans()
    {
        QCImageProcessManager manager;
        manager.adjustContrast(span20to220(), 0.5);
        const cv::Mat second = levelImage({{40, 5}, {60, 300}, {90, 300}, {140, 5}}, 90);
        const double contrast = manager.defaultContrast(second);
        QCOMPARE(contrast, 1.0);
        QCOMPARE(manager.brightness(), 0.125);
        const cv::Mat shown = manager.adjustContrast(second, contrast);
        QCOMPARE(pixel(shown, 40, second), 0);
        QCOMPARE(pixel(shown, 140, second), 255);
        QCOMPARE(pixel(shown, 90, second), 127);
    }

    void qualifyingLevels_data()
    {
        QTest::addColumn<cv::Mat>("image");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        const std::pair<int, int> ends[] = {{10, 2}, {250, 2}};
        QTest::newRow("40 and 200 with 151 each")
            << levelImage({ends[0], {40, 151}, {200, 151}, ends[1]}, 120) << 40 << 200;
        QTest::newRow("39 with 150 does not qualify")
            << levelImage({ends[0], {39, 150}, {40, 151}, {200, 151}, ends[1]}, 120) << 40 << 200;
        QTest::newRow("39 with 151 does")
            << levelImage({ends[0], {39, 151}, {40, 151}, {200, 151}, ends[1]}, 120) << 39 << 200;
        QTest::newRow("level 0 never qualifies")
            << levelImage({{0, 3000}, {40, 151}, {200, 151}, ends[1]}, 120) << 40 << 200;
        QTest::newRow("level 240 never qualifies")
            << levelImage({ends[0], {40, 151}, {200, 151}, {240, 3000}}, 120) << 40 << 200;
        QTest::newRow("239 does")
            << levelImage({ends[0], {40, 151}, {239, 151}, ends[1]}, 120) << 40 << 239;
    }

    // The stretch maps the lowest qualifying level to 0 and the highest to 255.
    void qualifyingLevels()
    {
        QFETCH(cv::Mat, image);
        QFETCH(int, first);
        QFETCH(int, last);
        QCImageProcessManager manager;
        const cv::Mat shown = manager.autoContrast(image);
        const double alpha = 255.0 / (last - first);
        const double beta = -alpha * first;
        for (int level = 0; level < 256; ++level) {
            const int got = pixel(shown, level, image);
            if (got >= 0)
                QCOMPARE(got, expectedLevel(level, alpha, beta));
        }
        QCOMPARE(manager.contrast() * manager.contrastSpan(), alpha);
        QCOMPARE(manager.brightness() * manager.brightnessSpan() + manager.brightnessOffset(), beta);
    }

    void autoStretchOfTwoLevels()
    {
        QCImageProcessManager manager;
        const cv::Mat image = levelImage({{10, 2}, {40, 200}, {120, 2}, {200, 200}, {250, 2}}, 120);
        const cv::Mat shown = manager.autoContrast(image);
        QCOMPARE(pixel(shown, 40, image), 0);
        QCOMPARE(pixel(shown, 200, image), 255);
        QCOMPARE(pixel(shown, 120, image), 127); // 120 * 1.59375 - 63.75 = 127.5
    }

    // A stretch steeper than the span doubles the span until the position is below 1; a step
    // then moves away from the stretched image.
    void doubledSpanAndSteps()
    {
        QCImageProcessManager manager;
        const cv::Mat image = levelImage({{0, 2}, {95, 2}, {100, 300}, {110, 300}, {255, 2}}, 100);
        manager.autoContrast(image);
        QCOMPARE(manager.contrastSpan(), 32.0); // 2, doubled until 25.5 / span < 1
        QCOMPARE(manager.contrast(), 25.5 / 32.0);
        QVERIFY(manager.contrast() >= 0.0 && manager.contrast() < 1.0);
        QCOMPARE(manager.brightness(), -9.5);

        const cv::Mat up = manager.adjustContrast(image, manager.contrast() + 0.1);
        QCOMPARE(manager.contrast(), 25.5 / 32.0 + 0.1);
        const double alpha = (25.5 / 32.0 + 0.1) * 32.0;
        QCOMPARE(pixel(up, 95, image), expectedLevel(95, alpha, -2550.0));
        QCOMPARE(pixel(up, 95, image), 176);

        const double brightness = manager.brightness();
        const cv::Mat down = manager.adjustBrightness(image, brightness - 0.1);
        QCOMPARE(manager.brightness(), brightness - 0.1);
        QCOMPARE(pixel(down, 100, image), expectedLevel(100, alpha, (brightness - 0.1) * 255.0 - 127.5));
    }

    void tableFollowsTheFormula_data()
    {
        QTest::addColumn<double>("alpha");
        QTest::addColumn<double>("beta");
        QTest::newRow("stretch") << 1.275 << -25.5;
        QTest::newRow("half, truncating 127.5") << 0.5 << 0.0;
        QTest::newRow("fractions") << 0.73 << 10.3;
        QTest::newRow("inverted") << -1.0 << 300.0;
        QTest::newRow("steep") << 40.0 << -5000.0;
        QTest::newRow("alpha NaN") << notANumber << 0.0;
        QTest::newRow("beta NaN") << 1.0 << notANumber;
        QTest::newRow("alpha +inf") << inf << 0.0;
        QTest::newRow("alpha -inf") << -inf << 0.0;
        QTest::newRow("beta +inf") << 0.0 << inf;
        QTest::newRow("beta -inf") << 2.0 << -inf;
    }

    void tableFollowsTheFormula()
    {
        QFETCH(double, alpha);
        QFETCH(double, beta);
        cv::Mat all(16, 16, CV_8UC1);
        for (int p = 0; p < 256; ++p)
            all.at<uchar>(p / 16, p % 16) = uchar(p);
        cv::Mat out;
        QCImageProcessManager::applyLinear(all, out, alpha, beta);
        QCOMPARE(out.type(), CV_8UC1);
        for (int p = 0; p < 256; ++p)
            QCOMPARE(int(out.at<uchar>(p / 16, p % 16)), expectedLevel(p, alpha, beta));
    }

    // A view into a larger image counts and maps only its own pixels.
    void viewsIntoLargerImages()
    {
        cv::Mat big(120, 200, CV_8UC1, cv::Scalar(250));
        const cv::Mat inner = levelImage({{10, 2}, {40, 400}, {200, 400}, {250, 2}}, 120, 100);
        cv::Mat roi = big(cv::Rect(50, 10, inner.cols, inner.rows));
        inner.copyTo(roi);
        QVERIFY(!roi.isContinuous());
        QCImageProcessManager a;
        QCImageProcessManager b;
        QVERIFY(same(a.autoContrast(roi), b.autoContrast(inner)));
        QCOMPARE(a.contrast(), b.contrast());
        cv::Mat mappedView;
        cv::Mat mappedCopy;
        QCImageProcessManager::applyLinear(roi, mappedView, 1.5, -20);
        QCImageProcessManager::applyLinear(inner, mappedCopy, 1.5, -20);
        QVERIFY(same(mappedView, mappedCopy));
    }

    void degenerateImages_data()
    {
        QTest::addColumn<cv::Mat>("image");
        QTest::newRow("black") << cv::Mat(60, 60, CV_8UC1, cv::Scalar(0));
        QTest::newRow("one qualifying level") << levelImage({{10, 2}, {100, 500}, {250, 2}}, 100);
        QTest::newRow("no qualifying level") << levelImage({{0, 500}, {245, 500}}, 0);
        QTest::newRow("flat") << cv::Mat(60, 60, CV_8UC1, cv::Scalar(77));
        // min 10, max 30: the brightness span comes out as 0.
        QTest::newRow("max three times min") << levelImage({{10, 500}, {30, 500}}, 10);
        QTest::newRow("empty") << cv::Mat();
    }

    // No mapping: the image comes back unchanged at once, and nothing the manager holds moves
    // (the next image calibrates again).
    void degenerateImages()
    {
        QFETCH(cv::Mat, image);
        QCImageProcessManager fresh;
        QVERIFY(same(fresh.autoContrast(image), image));
        QVERIFY(same(fresh.adjustBrightness(image, 0.7), image));
        QVERIFY(same(fresh.adjustContrast(image, 0.7), image));
        QCOMPARE(fresh.defaultContrast(image), -1.0);
        QCOMPARE(fresh.contrast(), -1.0);
        QCOMPARE(fresh.brightness(), -1.0);
        QCOMPARE(fresh.contrastSpan(), -1.0);
        QCOMPARE(fresh.brightnessSpan(), -1.0);
        // Still calibrates on the next proper image.
        fresh.adjustContrast(span20to220(), 0.5);
        QCOMPARE(fresh.contrastSpan() * 0.5, 1.275);

        QCImageProcessManager used;
        used.autoContrast(span20to220());
        const double contrast = used.contrast();
        const double brightness = used.brightness();
        const double span = used.contrastSpan();
        QVERIFY(same(used.autoContrast(image), image));
        double min = 0;
        double max = 0;
        if (!image.empty())
            cv::minMaxLoc(image, &min, &max);
        if (max <= min) // no min/max stretch either
            QCOMPARE(used.defaultContrast(image), contrast);
        QCOMPARE(used.contrast(), contrast);
        QCOMPARE(used.brightness(), brightness);
        QCOMPARE(used.contrastSpan(), span);
    }

    void conversion_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<QVector<int>>("pixels");
        QTest::addColumn<QVector<int>>("expected");
        // Divided by 256, ties to the even value, saturated.
        QTest::newRow("16-bit") << 1 << 7 << QVector<int>{65535, 384, 640, 128, 383, 0, 256}
                                << QVector<int>{255, 2, 2, 0, 1, 0, 1};
        QTest::newRow("16-bit, two packed rows of 3")
            << 1 << 3 << QVector<int>{1, 65280, 896, 1152, 2, 129} << QVector<int>{0, 255, 4, 4, 0, 1};
        QTest::newRow("8-bit, packed rows of 5")
            << 0 << 5 << QVector<int>{0, 1, 2, 3, 4, 250, 251, 252, 253, 254} << QVector<int>{0, 1, 2, 3, 4, 250, 251, 252, 253, 254};
    }

    void conversion()
    {
        QFETCH(int, type);
        QFETCH(int, width);
        QFETCH(QVector<int>, pixels);
        QFETCH(QVector<int>, expected);
        std::vector<quint16> deep(pixels.cbegin(), pixels.cend());
        std::vector<quint8> flat(pixels.cbegin(), pixels.cend());
        DrpltImg image;
        image.width = width;
        image.height = pixels.size() / width;
        image.type = type;
        image.data = type == 1 ? static_cast<const void *>(deep.data()) : static_cast<const void *>(flat.data());
        const cv::Mat out = drpltImgToMat(image);
        QCOMPARE(out.type(), CV_8UC1);
        QCOMPARE(out.cols, width);
        QCOMPARE(out.rows, image.height);
        // A copy: the source may go right after.
        deep.assign(deep.size(), 7);
        flat.assign(flat.size(), 7);
        for (int i = 0; i < pixels.size(); ++i)
            QCOMPARE(int(out.at<uchar>(i / width, i % width)), expected.at(i));
    }

    void noImage_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("pixels");
        QTest::addColumn<int>("width");
        QTest::newRow("no pixels") << 1 << false << 4;
        QTest::newRow("no width") << 0 << true << 0;
        QTest::newRow("unknown type") << 2 << true << 4;
    }

    void noImage()
    {
        QFETCH(int, type);
        QFETCH(bool, pixels);
        QFETCH(int, width);
        const quint16 data[8] = {};
        QVERIFY(drpltImgToMat(DrpltImg{width, 2, type, pixels ? data : nullptr}).empty());
    }
};

LUMARA_TEST_MAIN(TestImageProcess)
#include "tst_imageprocess.moc"
