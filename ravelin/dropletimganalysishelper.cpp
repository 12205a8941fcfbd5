#include "dropletimganalysishelper.h"

#include "ml_classifymodel.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>

namespace {

// Centre-positive Mexican hat for droplets of radius 3 to 5 pixels; zero-sum.
const float BuiltinKernel[7][7] = {
    {0, 0, -1, -1, -1, 0, 0},     {0, -1, -3, -3, -3, -1, 0}, {-1, -3, 0, 7, 0, -3, -1},
    {-1, -3, 7, 24, 7, -3, -1},   {-1, -3, 0, 7, 0, -3, -1},  {0, -1, -3, -3, -3, -1, 0},
    {0, 0, -1, -1, -1, 0, 0},
};

// A w by h rectangle centred on (x, y) (top-left corner (x - w / 2, y - h / 2)), moved into
// the image when it sticks out, and cut to the image when the image is smaller.
cv::Rect clampedRect(int x, int y, int w, int h, const cv::Size &image)
{
    w = std::min(w, image.width);
    h = std::min(h, image.height);
    if (w <= 0 || h <= 0)
        return cv::Rect();
    const int x0 = std::clamp(x - w / 2, 0, image.width - w);
    const int y0 = std::clamp(y - h / 2, 0, image.height - h);
    return cv::Rect(x0, y0, w, h);
}

std::string localPath(const QString &path)
{
    return path.toUtf8().toStdString();
}

} // namespace

DropletImgAnalysisHelper::DropletImgAnalysisHelper() = default;

DropletImgAnalysisHelper::~DropletImgAnalysisHelper()
{
    delete result;
}

DropletImgAnalysisHelper::DropletImgAnalysisHelper(const DropletImgAnalysisHelper &other)
    : referenceIndex(other.referenceIndex), templateMark(other.templateMark),
      mexicanhatKernel(other.mexicanhatKernel), isRemoveFakePos(other.isRemoveFakePos),
      isTargetsUsedRox(other.isTargetsUsedRox),
      result(other.result ? new InnerRetDrpltRecogInfo(*other.result) : nullptr),
      templateModelPath(other.templateModelPath), errString(other.errString), settings(other.settings),
      rTreesModelPath(other.rTreesModelPath), removeDiscreteArea(other.removeDiscreteArea),
      shuffleEngine(other.shuffleEngine)
{
}

DropletImgAnalysisHelper &DropletImgAnalysisHelper::operator=(const DropletImgAnalysisHelper &other)
{
    if (this == &other)
        return *this;
    InnerRetDrpltRecogInfo *copy = other.result ? new InnerRetDrpltRecogInfo(*other.result) : nullptr;
    delete result;
    result = copy;
    referenceIndex = other.referenceIndex;
    templateMark = other.templateMark;
    mexicanhatKernel = other.mexicanhatKernel;
    isRemoveFakePos = other.isRemoveFakePos;
    isTargetsUsedRox = other.isTargetsUsedRox;
    templateModelPath = other.templateModelPath;
    errString = other.errString;
    settings = other.settings;
    rTreesModelPath = other.rTreesModelPath;
    removeDiscreteArea = other.removeDiscreteArea;
    shuffleEngine = other.shuffleEngine;
    return *this;
}

bool DropletImgAnalysisHelper::clearData()
{
    delete result;
    result = new InnerRetDrpltRecogInfo;
    errString.clear();
    return true;
}

bool DropletImgAnalysisHelper::setSettings(Ravelin::AnalysisSettings s)
{
    settings = s;
    if (settings.PreRecogThreshold <= 0.2)
        settings.PreRecogThreshold = 0.2;
    return true;
}

bool DropletImgAnalysisHelper::setTemplateModel(const QString &path)
{
    if (path.isEmpty()) {
        errString = tr("SetTemplateModel: template image is empty.\n");
        return false;
    }
    templateModelPath = path.toUtf8();
    return true;
}

bool DropletImgAnalysisHelper::setMexicanhatKernel(const QString &path)
{
    mexicanhatKernel.release();
    if (path.isEmpty()) {
        mexicanhatKernel = cv::Mat(7, 7, CV_32FC1, const_cast<float *>(&BuiltinKernel[0][0])).clone();
        return true;
    }
    // The file holds the negated kernel. An unreadable or multi-channel file leaves the
    // kernel empty and the recognition refuses to run.
    try {
        const cv::Mat file = cv::imread(localPath(path), cv::IMREAD_UNCHANGED);
        if (!file.empty() && file.channels() == 1) {
            cv::Mat k;
            file.convertTo(k, CV_32F);
            mexicanhatKernel = -k;
        }
    } catch (const cv::Exception &) {
        mexicanhatKernel.release();
    }
    return true;
}

void DropletImgAnalysisHelper::setRTreesModelPath(const QString &path)
{
    rTreesModelPath = path;
}

void DropletImgAnalysisHelper::setRemoveDiscreteArea(int mode)
{
    removeDiscreteArea = mode;
}

void DropletImgAnalysisHelper::alterIsRemoveFakePos(bool on)
{
    isRemoveFakePos = on;
}

void DropletImgAnalysisHelper::alterIsTargetsUsedRox(bool on)
{
    isTargetsUsedRox = on;
}

void DropletImgAnalysisHelper::alterReferenceIndex(int index)
{
    referenceIndex = index;
}

void DropletImgAnalysisHelper::setShuffleEngine(std::mt19937 *engine)
{
    shuffleEngine = engine;
}

QString DropletImgAnalysisHelper::GetErrString() const
{
    return errString;
}

InnerRetDrpltRecogInfo *DropletImgAnalysisHelper::getResultData()
{
    return result;
}

int DropletImgAnalysisHelper::getTemplateMarkSize() const
{
    return settings.GreyValueMaskSize;
}

bool DropletImgAnalysisHelper::recogDrplt(const QString &path)
{
    cv::Mat src;
    try {
        src = cv::imread(localPath(path), cv::IMREAD_UNCHANGED);
    } catch (const cv::Exception &) {
        src.release();
    }
    return commonRecog(src);
}

bool DropletImgAnalysisHelper::recogDrplt(unsigned width, unsigned height, const void *data, int format)
{
    if (format != 0 && format != 1)
        return false;
    cv::Mat src;
    if (data && width > 0 && height > 0 && width <= unsigned(INT_MAX) && height <= unsigned(INT_MAX))
        src = cv::Mat(int(height), int(width), format == 0 ? CV_8UC1 : CV_16UC1, const_cast<void *>(data));
    return commonRecog(src);
}

bool DropletImgAnalysisHelper::toEightBit(const cv::Mat &src, cv::Mat &dst)
{
    if (src.type() == CV_8UC1) {
        dst = src.clone();
        return true;
    }
    if (src.type() != CV_16UC1)
        return false;
    // Truncation, not rounding: 511 gives 1 and 255 gives 0.
    dst.create(src.rows, src.cols, CV_8UC1);
    for (int y = 0; y < src.rows; ++y) {
        const ushort *s = src.ptr<ushort>(y);
        uchar *d = dst.ptr<uchar>(y);
        for (int x = 0; x < src.cols; ++x)
            d[x] = uchar(s[x] >> 8);
    }
    return true;
}

cv::Mat DropletImgAnalysisHelper::new_erode(int radius, cv::Mat src)
{
    cv::Mat out = src.clone();
    if (src.rows < 3 || src.cols < 3 || radius <= 0)
        return out;
    radius = std::min(radius, std::max(src.rows, src.cols)); // a larger square adds nothing
    try {
        // Erosion's default border ignores pixels outside the image, so the minimum is taken
        // over the part of the square that lies inside; the outermost ring keeps its values.
        cv::Mat eroded;
        const int side = 2 * radius + 1;
        cv::erode(src, eroded, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(side, side)));
        const cv::Rect inner(1, 1, src.cols - 2, src.rows - 2);
        eroded(inner).copyTo(out(inner));
    } catch (const cv::Exception &) {
        // A pixel type erosion does not take: left as it was.
    }
    return out;
}

cv::Mat DropletImgAnalysisHelper::diskStrel(int radius)
{
    if (radius < 1)
        return cv::Mat();
    const int side = 2 * radius - 1;
    cv::Mat m(side, side, CV_8UC1, cv::Scalar(1));
    int c;
    switch (radius) {
    case 1:
    case 3:
        c = 0;
        break;
    case 8:
    case 9:
        c = 4;
        break;
    case 11:
    case 12:
    case 13:
        c = 6;
        break;
    case 15:
    case 17:
        c = 8;
        break;
    case 19:
    case 21:
        c = 10;
        break;
    case 23:
        c = 12;
        break;
    default:
        c = 2;
        break;
    }
    for (int i = 0; i < c && i < side; ++i) {
        const int n = std::min(c - i, side);
        for (int row : {i, side - 1 - i}) {
            uchar *p = m.ptr<uchar>(row);
            for (int k = 0; k < n; ++k) {
                p[k] = 0;
                p[side - 1 - k] = 0;
            }
        }
    }
    return m;
}

double DropletImgAnalysisHelper::cacluMeanGreyValue(const cv::Mat &img, int maskSize, int x, int y, bool &saturated,
                                                    bool &brightSpot, int &saturatedPixels)
{
    const int s = std::max(0, maskSize);
    const int r = s / 2;
    const int depth = img.depth();
    const bool single = img.channels() == 1;
    // Only cells whose pixel lies in the image matter, so an oversized mask costs no more
    // than the image.
    const int iFirst = std::max(0, r + 1 - x), iLast = std::min(s - 1, r + img.cols - 1 - x);
    const int jFirst = std::max(0, r + 1 - y), jLast = std::min(s - 1, r + img.rows - 1 - y);
    std::vector<int> values;
    if (iFirst <= iLast && jFirst <= jLast)
        values.reserve(size_t(iLast - iFirst + 1) * size_t(jLast - jFirst + 1));
    for (int i = iFirst; i <= iLast; ++i) {
        for (int j = jFirst; j <= jLast; ++j) {
            if (qint64(i - r) * (i - r) + qint64(j - r) * (j - r) > qint64(r) * r)
                continue;
            const int row = y + (j - r);
            const int col = x + (i - r);
            if (row < 1 || col < 1 || row >= img.rows || col >= img.cols)
                continue;
            int v = 0;
            if (single && depth == CV_16U)
                v = img.at<ushort>(row, col);
            else if (single && depth == CV_8U)
                v = int(img.at<uchar>(row, col)) * 256;
            if (v >= 65280)
                ++saturatedPixels;
            values.push_back(v);
        }
    }
    const int n = int(values.size());
    double sum = 0.0;
    for (int v : values)
        sum += v;

    if (settings.SaturatedPixelNum == 0)
        settings.SaturatedPixelNum = 1;
    if (saturatedPixels >= settings.SaturatedPixelNum)
        saturated = true;

    std::sort(values.begin(), values.end());
    const int drop = std::max(0, settings.RemovedMaxMinNum);
    double mean = 0.0;
    if (n == 0) {
        mean = 0.0;
    } else if (n <= 2) {
        // Dropping the smallest and the largest would leave nothing to average.
        mean = sum / n;
    } else if (n <= 2 * drop) {
        mean = (sum - values.front() - values.back()) / (n - 2);
    } else {
        double kept = 0.0;
        for (int k = drop; k <= n - 1 - drop; ++k)
            kept += values[size_t(k)];
        mean = kept / (n - 2 * drop);
    }

    if (!brightSpot && n >= 2) {
        int gap = 0;
        for (int k = 1; k < n; ++k)
            gap = std::max(gap, values[size_t(k)] - values[size_t(k - 1)]);
        if (gap > 2500.0) {
            const double above = values[size_t(n - 2)] - mean;
            const double below = mean - values.front();
            const bool spot = below > 0.0 ? above / below > 1.5 : above > 0.0;
            if (spot)
                brightSpot = true;
        }
    }
    return mean;
}

double DropletImgAnalysisHelper::getMSSIM(const cv::Mat &a, const cv::Mat &b)
{
    // Structural similarity with a 3 by 3 Gaussian window (sigma 1.5, reflected border),
    // written out: the library calls cost more than the arithmetic on these small squares.
    if (a.empty() || a.size() != b.size() || a.type() != CV_8UC1 || b.type() != CV_8UC1)
        return 0.0;
    const double C1 = 6.5025, C2 = 58.5225;
    const int w = a.cols, h = a.rows;
    const cv::Mat g = cv::getGaussianKernel(3, 1.5, CV_32F);
    const float k0 = g.at<float>(0), k1 = g.at<float>(1), k2 = g.at<float>(2);
    auto reflect = [](int i, int n) { return n == 1 ? 0 : (i < 0 ? -i : (i >= n ? 2 * n - 2 - i : i)); };
    const size_t n = size_t(w) * size_t(h);
    std::vector<float> buf(n * 10);
    float *src[5] = {&buf[0], &buf[n], &buf[2 * n], &buf[3 * n], &buf[4 * n]};
    float *tmp = &buf[5 * n];
    for (int y = 0; y < h; ++y) {
        const uchar *pa = a.ptr<uchar>(y), *pb = b.ptr<uchar>(y);
        for (int x = 0; x < w; ++x) {
            const float va = pa[x], vb = pb[x];
            const size_t i = size_t(y) * w + x;
            src[0][i] = va;
            src[1][i] = vb;
            src[2][i] = va * va;
            src[3][i] = vb * vb;
            src[4][i] = va * vb;
        }
    }
    // Each map blurred in place: rows into tmp, columns back.
    for (float *m : src) {
        for (int y = 0; y < h; ++y) {
            const float *row = m + size_t(y) * w;
            float *t = tmp + size_t(y) * w;
            for (int x = 0; x < w; ++x)
                t[x] = k0 * row[reflect(x - 1, w)] + k1 * row[x] + k2 * row[reflect(x + 1, w)];
        }
        for (int y = 0; y < h; ++y) {
            const float *up = tmp + size_t(reflect(y - 1, h)) * w, *mid = tmp + size_t(y) * w,
                        *down = tmp + size_t(reflect(y + 1, h)) * w;
            float *out = m + size_t(y) * w;
            for (int x = 0; x < w; ++x)
                out[x] = k0 * up[x] + k1 * mid[x] + k2 * down[x];
        }
    }
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double mu1 = src[0][i], mu2 = src[1][i];
        const double s1 = src[2][i] - mu1 * mu1, s2 = src[3][i] - mu2 * mu2, s12 = src[4][i] - mu1 * mu2;
        sum += ((2 * mu1 * mu2 + C1) * (2 * s12 + C2)) / ((mu1 * mu1 + mu2 * mu2 + C1) * (s1 + s2 + C2));
    }
    return sum / double(n);
}

void DropletImgAnalysisHelper::matchImageFromEightBit(cv::Mat &A, int templateSide, cv::Mat &out)
{
    cv::blur(A, A, cv::Size(3, 3));
    cv::Mat F;
    cv::filter2D(A, F, CV_8U, mexicanhatKernel);
    cv::Scalar mean, dev;
    cv::meanStdDev(F, mean, dev);
    const double m = mean[0];
    // Contrast stretch; F is 8-bit, so a table does it. (p < 0.5 m implies m > 0.)
    cv::Mat table(1, 256, CV_8UC1);
    for (int p = 0; p < 256; ++p)
        table.at<uchar>(p) = p >= 0.5 * m ? 255 : uchar((255.0 / m) * p);
    cv::Mat I;
    cv::LUT(F, table, I);
    const cv::Mat E = new_erode(1, I);
    cv::medianBlur(E, out, templateSide >= 10 ? 7 : 3);
    cv::blur(out, out, cv::Size(3, 3));
}

bool DropletImgAnalysisHelper::prepareMatchImage(const cv::Mat &src, int templateSide, cv::Mat &out)
{
    try {
        if (src.empty()) {
            errString = tr("TemplateImage is empty or ori_sourceImage is empty.\n");
            return false;
        }
        if (mexicanhatKernel.empty()) {
            errString = tr("The Mexican-hat kernel is empty or could not be read.\n");
            return false;
        }
        cv::Mat A;
        if (!toEightBit(src, A)) {
            errString = tr("The type of templateImage is error.\n");
            return false;
        }
        if (A.rows < 2 || A.cols < 2) {
            errString = tr("The size of sourceImage is error.\n");
            return false;
        }
        matchImageFromEightBit(A, templateSide, out);
        return true;
    } catch (const cv::Exception &e) {
        errString = tr("Image processing failed: %1\n").arg(QString::fromUtf8(e.what()));
        return false;
    }
}

int DropletImgAnalysisHelper::adaptiveScoreThreshold(const std::vector<int> &found, int lowestScore)
{
    std::vector<int> V = found;
    std::sort(V.begin(), V.end(), std::greater<int>());
    const int n = int(V.size());
    if (n == 0)
        return 0;
    // Position k of the first largest of the gaps V[i - step] - V[i], i = step, 2 step, ...
    int largestGap = 0;
    auto firstLargestGap = [&](int step) {
        int best = -1, at = 0, k = 0;
        for (int i = step; i < n - 1; i += step, ++k) {
            const int gap = std::abs(V[size_t(i)] - V[size_t(i - step)]);
            if (gap > best) {
                best = gap;
                at = k;
            }
        }
        largestGap = std::max(best, 0);
        return at;
    };
    auto countAtLeast = [&](int limit) {
        int c = 0;
        for (int i = 0; i < n - 1; ++i)
            c += V[size_t(i)] >= limit;
        return c;
    };

    int pos = 0;
    int step = 0;
    bool found2 = false;
    bool noSeparation = false;
    // No separation to find: every candidate above the pre-recognition threshold counts.
    auto keepEveryCandidate = [&]() {
        noSeparation = true;
        pos = 0;
        for (int v : V)
            pos += v >= lowestScore;
    };
    if (n <= 100) {
        step = 1;
        for (;;) {
            pos = step * firstLargestGap(step);
            step += 1;
            if (step > n - 2)
                break;
            if (pos != 0) {
                found2 = true;
                break;
            }
        }
        if (!found2) {
            pos = countAtLeast(720);
        } else {
            // Few candidates, all droplets: the first largest of the neighbour gaps is then
            // only the widest of many small steps, and cutting there drops droplets alike. As
            // with many candidates, a step under 20 points separates nothing.
            int widestStep = 0;
            for (int i = 1; i < n; ++i)
                widestStep = std::max(widestStep, V[size_t(i - 1)] - V[size_t(i)]);
            if (widestStep < 20)
                keepEveryCandidate();
        }
    } else {
        step = 20;
        int span = step;
        for (;;) {
            span = step;
            pos = step * firstLargestGap(step);
            step += 5;
            if (step > n - 2)
                break;
            if (pos >= (n / 4) * 3) {
                found2 = true;
                break;
            }
        }
        if (!found2) {
            pos = countAtLeast(710);
        } else {
            // Where every candidate is a droplet the sorted scores only thin out towards their
            // tail, and the widest gap over `span` places is made of many small steps. A gap
            // between droplets and false matches is one step between two neighbouring scores:
            // within that span, or further down onto the scores of 800 or less that the cut
            // below would otherwise reach (the strided gaps never see the last few scores).
            // Such a step holds at least half the widest gap and 20 points of score (scores
            // of droplets alike differ by a few points). Without one there is nothing to
            // separate: every candidate counts, and only the cut below applies.
            int widestStep = 0;
            for (int i = pos + 1; i < n; ++i) {
                if (i <= pos + span || V[size_t(i)] <= 800)
                    widestStep = std::max(widestStep, V[size_t(i - 1)] - V[size_t(i)]);
            }
            if (2 * widestStep < largestGap || widestStep < 20)
                keepEveryCandidate();
        }
    }

    int P = pos;
    const int S = step;
    if (!noSeparation && P - 2 >= S && P > 100) {
        std::vector<int> w;
        for (int i = P - 1; i >= P - S + 5; --i) {
            if (i >= 0 && i < n)
                w.push_back(found[size_t(i)]);
        }
        std::sort(w.begin(), w.end(), std::greater<int>());
        int at = 0, best = -1;
        for (size_t i = 1; i < w.size(); ++i) {
            const int gap = std::abs(w[i] - w[i - 1]);
            if (gap > best) {
                best = gap;
                at = int(i - 1);
            }
        }
        P = P - (S - 5) + at;
    }

    auto index = [&](double f) { return std::clamp(int(f * P), 0, n - 1); };
    double f = 0.97;
    int i = index(f);
    while (V[size_t(i)] > 800) {
        f += 0.0005;
        if (f >= 1.0)
            break;
        i = index(f);
    }
    return V[size_t(i)];
}

bool DropletImgAnalysisHelper::commonRecog(const cv::Mat &src)
{
    try {
        return recogImpl(src);
    } catch (const cv::Exception &e) {
        errString = tr("Image processing failed: %1\n").arg(QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc &) {
        errString = tr("Out of memory.\n");
    }
    return false;
}

bool DropletImgAnalysisHelper::recogImpl(const cv::Mat &S)
{
    if (!result)
        result = new InnerRetDrpltRecogInfo;

    // 1. The template, square with an odd side so that a match centre is a pixel.
    cv::Mat T;
    if (!templateModelPath.isEmpty())
        T = cv::imread(templateModelPath.toStdString(), cv::IMREAD_GRAYSCALE);
    if (T.empty() || S.empty()) {
        errString = tr("TemplateImage is empty or ori_sourceImage is empty.\n");
        return false;
    }
    if (T.rows != T.cols || T.rows % 2 == 0) {
        errString = tr("The template image must be square with an odd side.\n");
        return false;
    }
    if (mexicanhatKernel.empty()) {
        errString = tr("The Mexican-hat kernel is empty or could not be read.\n");
        return false;
    }
    const int th = T.rows, tw = T.cols, h = tw / 2;

    // 2.-9. Eight-bit copy, blur, Mexican hat, stretch, erode, median and blur.
    cv::Mat A;
    if (!toEightBit(S, A)) {
        errString = tr("The type of templateImage is error.\n");
        return false;
    }
    if (A.rows < 2 || A.cols < 2) {
        errString = tr("The size of sourceImage is error.\n");
        return false;
    }
    const cv::Mat D = A.clone();
    cv::Mat N;
    matchImageFromEightBit(A, th, N); // A is blurred in place

    // 10. Match on a replicated border so that R(r, c) belongs to the centre (c, r).
    cv::Mat P, R;
    cv::copyMakeBorder(N, P, h, h, h, h, cv::BORDER_REPLICATE);
    cv::matchTemplate(P, T, R, cv::TM_CCOEFF_NORMED);

    // 11. Local maxima: the best value of the window, which is then cleared.
    const float t = float(settings.PreRecogThreshold);
    std::vector<DrpltRecogRecord> candidates;
    for (int r = h; r < R.rows - h; ++r) {
        const float *rowp = R.ptr<float>(r);
        for (int c = h; c < R.cols - h;) {
            if (!(rowp[c] > t)) {
                ++c;
                continue;
            }
            float best = rowp[c];
            int bx = c, by = r;
            for (int yy = r - h; yy < r - h + th; ++yy) {
                float *p = R.ptr<float>(yy);
                for (int xx = c - h; xx < c - h + tw; ++xx) {
                    if (p[xx] > best) {
                        best = p[xx];
                        bx = xx;
                        by = yy;
                    }
                    p[xx] = 0.0f;
                }
            }
            DrpltRecogRecord rec;
            rec.x = bx;
            rec.y = by;
            rec.size = th;
            rec.score = int(best * 1000.0f);
            if (bx - 1.5 * h > 0 && bx + 1.5 * h < N.cols && by - 1.5 * h > 0 && by + 1.5 * h < N.rows)
                candidates.push_back(rec);
            c += tw + 1;
        }
    }

    // 12. Doubtful matches must also look like the template.
    for (int k = int(candidates.size()) - 1; k >= 0; --k) {
        const DrpltRecogRecord &cand = candidates[size_t(k)];
        if (cand.score < 701 || cand.score >= 990)
            continue;
        const cv::Rect box = clampedRect(cand.x, cand.y, tw, tw, N.size());
        if (box.width != tw || box.height != tw || getMSSIM(N(box), T) < 0.3)
            candidates.erase(candidates.begin() + k);
    }

    // 13.
    if (candidates.size() <= 2) {
        errString = QStringLiteral("error1");
        return false;
    }

    // 14.-15. Accept what lies above the largest gap of the scores.
    std::vector<int> scores;
    scores.reserve(candidates.size());
    for (const DrpltRecogRecord &c : candidates)
        scores.push_back(c.score);
    const int threshold = adaptiveScoreThreshold(scores, int(t * 1000.0f));
    std::vector<DrpltRecogRecord> accepted;
    for (const DrpltRecogRecord &c : candidates) {
        if (c.score >= threshold)
            accepted.push_back(c);
    }

    // 16.
    const int d = settings.MeanGreyvalueRadius < 6 ? 5 : settings.MeanGreyvalueRadius;
    for (DrpltRecogRecord &rec : accepted) {
        bool saturated = false, spotOff = true;
        int counter = 0;
        rec.meanGrey = cacluMeanGreyValue(A, d, rec.x, rec.y, saturated, spotOff, counter);
    }

    // 17. Discrete-region removal: count the neighbours in an L by L window (through an
    // integral image of the marks, which counts the same pixels as a walk of the window).
    cv::Mat marks = cv::Mat::zeros(A.size(), CV_8UC1);
    for (const DrpltRecogRecord &rec : accepted) {
        if (rec.x > 0 && rec.x < A.cols - 1 && rec.y > 0 && rec.y < A.rows - 1)
            marks.at<uchar>(rec.y, rec.x) = 1;
    }
    cv::Mat sums;
    cv::integral(marks, sums, CV_32S);
    const int L = settings.DiscreteRectLength, Lh = L / 2;
    const double W = A.cols;
    std::vector<const DrpltRecogRecord *> edge;
    for (DrpltRecogRecord &rec : accepted) {
        const int xa = std::max(1, rec.x - Lh), xb = std::min(A.cols - 2, rec.x - Lh + L - 1);
        const int ya = std::max(1, rec.y - Lh), yb = std::min(A.rows - 2, rec.y - Lh + L - 1);
        int count = 0;
        if (xa <= xb && ya <= yb) {
            count = sums.at<int>(yb + 1, xb + 1) - sums.at<int>(ya, xb + 1) - sums.at<int>(yb + 1, xa)
                    + sums.at<int>(ya, xa);
        }
        const bool dense = count > settings.DiscreteCountThreshold;
        switch (removeDiscreteArea) {
        case 0:
            rec.removed = !dense;
            break;
        case 1:
            if (rec.x < W / 5.0)
                edge.push_back(&rec);
            rec.removed = !dense && !(rec.x < W / 5.0);
            break;
        case 2:
            if (rec.x > (W / 5.0) * 4.0)
                edge.push_back(&rec);
            rec.removed = !dense && !(rec.x > (W / 5.0) * 4.0);
            break;
        default:
            break;
        }
    }
    int yLow = 0, yHigh = A.rows;
    if (!edge.empty()) {
        int lo = INT_MAX, hi = INT_MIN;
        for (const DrpltRecogRecord *e : edge) {
            lo = std::min(lo, e->y);
            hi = std::max(hi, e->y);
        }
        // The band keeps clear of the ends of the droplet area along the edge. Where the edge
        // droplets run on to the image border (within one mark of the first or last row a
        // match can have), the area does not end in this image and the band stays open: it
        // would only cut whole droplets off an image filled with them.
        const int g = settings.GreyValueMaskSize;
        const double firstRow = 1.5 * h, lastRow = A.rows - 1.5 * h;
        yLow = lo - g <= firstRow ? 0 : lo + 2 * g;
        yHigh = hi + g >= lastRow ? A.rows : hi - 2 * g;
    }

    // 18.
    for (const DrpltRecogRecord &rec : accepted) {
        if (!rec.removed && rec.y >= yLow && rec.y <= yHigh)
            result->droplets.append(rec);
    }

    // 19. Keep the leading fraction.
    const int total = result->droplets.size();
    const double cut = (1.0 - settings.SaveResultThld) * total;
    const int trim = cut > 0.0 ? (cut >= total ? total : int(cut)) : 0;
    if (trim > 0)
        result->droplets.resize(total - trim);

    // 20.
    if (settings.RandomShuffle && result->droplets.size() > 1) {
        thread_local std::mt19937 threadEngine{std::random_device{}()};
        std::mt19937 &engine = shuffleEngine ? *shuffleEngine : threadEngine;
        std::shuffle(result->droplets.begin(), result->droplets.end(), engine);
    }

    // 21. The mark cut around the best match, kept inside the image.
    if (result->droplets.isEmpty()) {
        errString = QStringLiteral("error2");
        return false;
    }
    const DrpltRecogRecord *best = &accepted.front();
    for (const DrpltRecogRecord &rec : accepted) {
        if (rec.score >= best->score)
            best = &rec;
    }
    const int g = settings.GreyValueMaskSize;
    const cv::Rect markBox = clampedRect(best->x, best->y, g, g, D.size());
    templateMark = markBox.empty() ? cv::Mat() : D(markBox);
    return true;
}

double DropletImgAnalysisHelper::ImageSharpnessCheck(const cv::Mat &img)
{
    if (img.empty())
        return -1.0;
    if (img.depth() != CV_8U && img.depth() != CV_16U)
        return 0.0;
    try {
        cv::Mat d;
        cv::Sobel(img, d, -1, 1, 1, 3, 1, 0, cv::BORDER_DEFAULT);
        return cv::mean(d)[0];
    } catch (const cv::Exception &) {
        return 0.0;
    }
}

double DropletImgAnalysisHelper::ImageSharpnessCheck(int width, int height, void *data, int depth)
{
    if (!data || width <= 0 || height <= 0)
        return -1.0;
    if (depth != CV_8U && depth != CV_16U)
        return 0.0;
    return ImageSharpnessCheck(cv::Mat(height, width, depth == CV_8U ? CV_8UC1 : CV_16UC1, data));
}

bool DropletImgAnalysisHelper::getChannelDrpltGray(int channel, const QString &path)
{
    if (channel < 0 || channel > 5) {
        errString = tr("Channel type is error.\n");
        return false;
    }
    cv::Mat img;
    try {
        img = cv::imread(localPath(path), cv::IMREAD_UNCHANGED);
    } catch (const cv::Exception &) {
        img.release();
    }
    if (img.empty()) {
        errString = tr("Image_data is empty.\n");
        return false;
    }
    if (!result)
        result = new InnerRetDrpltRecogInfo;
    result->sharpness[channel] = ImageSharpnessCheck(img);
    return commonGetGrey(channel, img);
}

bool DropletImgAnalysisHelper::getChannelDrpltGray(int channel, unsigned width, unsigned height, const void *data,
                                                   int format)
{
    if (channel < 0 || channel >= 6) {
        errString = tr("Channel type is error.\n");
        return false;
    }
    if (width < 2 || height < 2 || width > unsigned(INT_MAX) || height > unsigned(INT_MAX)) {
        errString = tr("The size of the image which used to take the grayscale is error.\n");
        return false;
    }
    if (format != 0 && format != 1)
        return false;
    if (!data) {
        errString = tr("Image_data is empty.\n");
        return false;
    }
    if (!result)
        result = new InnerRetDrpltRecogInfo;
    const cv::Mat img(int(height), int(width), format == 0 ? CV_8UC1 : CV_16UC1, const_cast<void *>(data));
    result->sharpness[channel] = ImageSharpnessCheck(int(width), int(height), const_cast<void *>(data),
                                                     format == 0 ? CV_8U : CV_16U);
    return commonGetGrey(channel, img);
}

bool DropletImgAnalysisHelper::commonGetGrey(int channel, const cv::Mat &img)
{
    try {
        return greyImpl(channel, img);
    } catch (const cv::Exception &e) {
        errString = tr("Image processing failed: %1\n").arg(QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc &) {
        errString = tr("Out of memory.\n");
    }
    return false;
}

bool DropletImgAnalysisHelper::greyImpl(int c, const cv::Mat &I)
{
    if (I.empty()) {
        errString = tr("Image_data is empty.\n");
        return false;
    }
    if (!result)
        result = new InnerRetDrpltRecogInfo;
    cv::Mat I8;
    if (!toEightBit(I, I8)) {
        errString = tr("The type of the image which used to take the grayscale is error.\n");
        return false;
    }
    cv::Mat W = I;
    if (settings.MedianFilter != 0)
        cv::medianBlur(I, W, 5);

    QVector<DrpltRecogRecord> &list = result->droplets;

    // 4. Grey, saturation and bright spot of every droplet.
    int saturatedDroplets = 0;
    for (DrpltRecogRecord &rec : list) {
        bool saturated = false, spot = false;
        int counter = 0;
        const double g = cacluMeanGreyValue(W, settings.MeanGreyvalueRadius, rec.x, rec.y, saturated, spot, counter);
        rec.greys[c] = rec.workingGreys[c] = qint32(g);
        if (saturated) {
            rec.flags[c] = 3;
            ++saturatedDroplets;
        }
        if (spot)
            rec.flags[c] = 4;
    }

    // 5. Reference droplets far off their neighbours' level are outliers.
    if (c == referenceIndex && !isTargetsUsedRox && !list.isEmpty()) {
        cv::Mat owner(I8.size(), CV_32SC1, cv::Scalar(-1));
        for (int k = 0; k < list.size(); ++k) {
            const DrpltRecogRecord &rec = list[k];
            if (rec.x >= 0 && rec.y >= 0 && rec.x < owner.cols && rec.y < owner.rows)
                owner.at<int>(rec.y, rec.x) = k;
        }
        // The neighbour grey depends only on the position; measure each once.
        std::vector<double> neighbourGrey(size_t(list.size()), std::numeric_limits<double>::quiet_NaN());
        const double k = settings.StdDevInfluenceCoefficient;
        for (DrpltRecogRecord &rec : list) {
            const int xa = std::max(1, rec.x - 37), xb = std::min(owner.cols - 2, rec.x + 37);
            const int ya = std::max(1, rec.y - 37), yb = std::min(owner.rows - 2, rec.y + 37);
            double sum = 0.0, sumSq = 0.0;
            int count = 0;
            for (int yy = ya; yy <= yb; ++yy) {
                if (yy == rec.y)
                    continue;
                const int *row = owner.ptr<int>(yy);
                for (int xx = xa; xx <= xb; ++xx) {
                    const int idx = row[xx];
                    if (idx < 0 || xx == rec.x)
                        continue;
                    double &v = neighbourGrey[size_t(idx)];
                    if (std::isnan(v)) {
                        bool saturated = false, spotOff = true;
                        int counter = 0;
                        v = cacluMeanGreyValue(I, settings.MeanGreyvalueRadius, xx, yy, saturated, spotOff, counter);
                    }
                    sum += v;
                    sumSq += v * v;
                    ++count;
                }
            }
            // One neighbour, or neighbours all alike, give no spread to judge against: any
            // difference at all would make the droplet an outlier.
            if (count < 2)
                continue;
            const double mu = sum / count;
            const double sigma = std::sqrt(std::max(0.0, sumSq / count - mu * mu));
            if (!(sigma > 0.0))
                continue;
            const double g = rec.workingGreys[c];
            if (g < mu - k * sigma || g > mu + k * sigma)
                rec.outlier = true;
        }
    }

    // 6.
    result->saturatedCounts[c] = saturatedDroplets;
    for (DrpltRecogRecord &rec : list)
        rec.measuredGreys[c] = rec.greys[c];

    // 7.
    if (templateMark.empty()) {
        errString = tr("The templateImage which taken in the SrcImage is empty.\n");
        return false;
    }

    // 8.
    QVector<DrpltRecogRecord> kept;
    kept.reserve(list.size());
    for (const DrpltRecogRecord &rec : qAsConst(list)) {
        if (rec.flags[c] != 4 && !rec.outlier)
            kept.append(rec);
    }

    // 9.-10. Droplets sitting on a raised background are suspects; the classifier decides
    // whether their cut-out shows a droplet at all.
    std::vector<bool> confirmed(size_t(kept.size()), false);
    if (isRemoveFakePos && c != referenceIndex && !kept.isEmpty()) {
        const int mask = settings.GreyValueMaskSize;
        const int strel = mask <= 10 ? 7 : (mask <= 20 ? 8 : 12);
        // The image minus its top-hat is its opening.
        cv::Mat B;
        cv::morphologyEx(I, B, cv::MORPH_OPEN, diskStrel(strel), cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
                         cv::morphologyDefaultBorderValue());
        std::vector<double> b(size_t(kept.size()));
        double meanB = 0.0;
        for (int k = 0; k < kept.size(); ++k) {
            bool saturated = false, spotOff = true;
            int counter = 0;
            b[size_t(k)] = cacluMeanGreyValue(B, settings.MeanGreyvalueRadius, kept[k].x, kept[k].y, saturated,
                                              spotOff, counter);
            meanB += b[size_t(k)];
        }
        meanB /= kept.size();
        const double factor = settings.BackgroundUniformAdjustType == 2 ? 1.5 : 1.2;
        std::vector<double> cands;
        for (double v : b) {
            if (v > factor * meanB)
                cands.push_back(v);
        }
        std::sort(cands.begin(), cands.end());
        const int n = int(cands.size());
        if (n >= 2) {
            int j = 0;
            double widest = -1.0;
            for (int i = 0; i + 1 < n; ++i) {
                const double gap = cands[size_t(i + 1)] - cands[size_t(i)];
                if (gap > widest) {
                    widest = gap;
                    j = i;
                }
            }
            if (settings.BrightestNumber < n && n - 1 - settings.BrightestNumber < j)
                j = n - 1 - settings.BrightestNumber;
            const double limit = cands[size_t(j)];
            ML_ClassifyModel model;
            std::string loadError;
            model.loadModel(rTreesModelPath.toStdString(), settings.MLFeatureType, loadError);
            for (int k = 0; k < kept.size(); ++k) {
                if (!(b[size_t(k)] > limit) || kept[k].workingGreys[c] <= 6000)
                    continue;
                const cv::Rect box =
                    clampedRect(kept[k].x, kept[k].y, templateMark.cols, templateMark.rows, I8.size());
                if (!box.empty() && model.predict(I8(box)) == 0)
                    confirmed[size_t(k)] = true;
            }
        }
    }

    // 11.
    QVector<DrpltRecogRecord> next;
    next.reserve(kept.size());
    for (int k = 0; k < kept.size(); ++k) {
        if (!confirmed[size_t(k)])
            next.append(kept[k]);
    }
    list = next;

    // 12.
    if (list.size() < 2) {
        errString = tr("No droplets detected");
        return false;
    }
    return true;
}

WellImageAnalysisInfo DropletImgAnalysisHelper::getWellAnalysisInfo() const
{
    WellImageAnalysisInfo info;
    info.valid = true;
    if (!result)
        return info;
    if (referenceIndex >= 0 && referenceIndex < 6)
        info.sharpness = result->sharpness[referenceIndex];
    quint32 saturated = 0;
    for (int c = 0; c < 6; ++c)
        saturated += quint32(std::max(0, result->saturatedCounts[c]));
    info.countSum = saturated;
    info.droplets.reserve(result->droplets.size());
    for (const DrpltRecogRecord &rec : qAsConst(result->droplets)) {
        DropletAnalysisInfo d;
        d.x = quint32(std::max(0, rec.x));
        d.y = quint32(std::max(0, rec.y));
        d.maskSize = quint32(std::max(0, settings.GreyValueMaskSize));
        for (int c = 0; c < 6; ++c) {
            d.measuredGreys[c] = quint32(std::max(0, rec.measuredGreys[c]));
            d.workingGreys[c] = quint32(std::max(0, rec.workingGreys[c]));
            d.flags[c] = quint32(std::max(0, rec.flags[c]));
        }
        info.droplets.append(d);
    }
    return info;
}
