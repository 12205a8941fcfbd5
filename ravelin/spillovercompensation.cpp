#include "spillovercompensation.h"

#include "spillovercompensationfileparser.h"

#include <QDebug>
#include <QtConcurrent>

#include <opencv2/core.hpp>

#include <cmath>
#include <limits>

namespace Ravelin {

class SpilloverCompensationPrivate {
public:
    CompensationMatrix matrix;
    SpilloverCompensationFileParser parser;
    QString error;
    QFuture<bool> calculation; // the latest matrix calculation
};

namespace {

const int kChannels = 6;

bool isChannel(qint32 ch)
{
    return ch >= 0 && ch < kChannels;
}

// Compensated values below zero mean no signal; values past the range of the record (or not
// a number, from a broken matrix) must not turn into arbitrary integers.
quint32 toGrey(float v)
{
    if (!(v > 0.0f))
        return 0;
    if (v >= 4294967295.0f)
        return std::numeric_limits<quint32>::max();
    return quint32(v);
}

// Mean working grey of the droplets that carry channel ch; 0 for a well without droplets.
double meanGrey(const WellImageAnalysisInfo &info, qint32 ch)
{
    double sum = 0;
    int count = 0;
    for (const DropletAnalysisInfo &drop : info.droplets) {
        if (ch < drop.workingGreys.size()) {
            sum += drop.workingGreys[ch];
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

bool hasStateOne(const WellImageAnalysisInfo &info)
{
    return info.channelStates.contains(1u);
}

} // namespace

SpilloverCompensation::SpilloverCompensation() : d(new SpilloverCompensationPrivate) {}

SpilloverCompensation::SpilloverCompensation(const QByteArray &buf) : d(new SpilloverCompensationPrivate)
{
    d->parser.converToMatrix(buf, d->matrix);
}

SpilloverCompensation::~SpilloverCompensation()
{
    // The calculation writes into this object when it ends.
    d->calculation.waitForFinished();
    delete m_adjuster;
    delete d;
}

bool SpilloverCompensation::loadCompensationMatrixFile(const QString &path)
{
    return d->parser.openFile(path, d->matrix, &d->error);
}

bool SpilloverCompensation::exportCompensationMatrixFile(const QString &path)
{
    return d->parser.readFile(path, d->matrix, &d->error);
}

bool SpilloverCompensation::loadCompensationMatrixBuf(const QByteArray &buf)
{
    d->parser.converToMatrix(buf, d->matrix);
    return true;
}

QByteArray SpilloverCompensation::getCompensationMatrixBuf() const
{
    return d->parser.converToArray(d->matrix);
}

const CompensationMatrix &SpilloverCompensation::getCompensationMatrix() const
{
    return d->matrix;
}

void SpilloverCompensation::setCompensationMatrix(const CompensationMatrix &m)
{
    d->matrix = m;
}

void SpilloverCompensation::setAdjustStrategy(CrosstalkAdjustStrategy strategy)
{
    delete m_adjuster;
    m_adjuster = nullptr;
    switch (strategy) {
    case NoneCrosstalk:
        m_adjuster = new NoneCaer;
        break;
    case CompensationMatrixCrosstalk:
        m_adjuster = new CompensationMatrixCaer(this);
        break;
    case IntelligenceCrosstalk:
        m_adjuster = new IntelligenceCaer;
        break;
    }
}

CrosstalkAdjuster *SpilloverCompensation::getCrosstalkAdjuster() const
{
    return m_adjuster;
}

void SpilloverCompensation::applyCompensationMatrix(WellImageAnalysisInfo &info)
{
    QVector<qint32> chans;
    for (qint32 ch : qAsConst(info.channels))
        if (isChannel(ch))
            chans.append(ch);
    const int n = chans.size();
    if (n == 0)
        return;

    // The matrix holds dye rows against channel columns; measured greys are x = S t with S
    // its transpose over the present channels.
    cv::Mat inverse;
    try {
        cv::Mat s(n, n, CV_32F);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                s.at<float>(a, b) = float(d->matrix.matrix[chans[b]][chans[a]]);
        cv::invert(s, inverse, cv::DECOMP_LU); // a singular S gives all zeros
    } catch (const cv::Exception &e) {
        qWarning() << "Spill-over compensation skipped:" << e.what();
        return;
    }

    QVector<float> bg(n), x(n);
    for (int a = 0; a < n; ++a)
        bg[a] = float(d->matrix.negativeBackground[chans[a]]);
    const qint32 top = chans.last();
    for (DropletAnalysisInfo &drop : info.droplets) {
        if (top >= drop.workingGreys.size() || top >= drop.compensatedGreys.size())
            continue; // a malformed droplet record
        for (int a = 0; a < n; ++a)
            x[a] = float(drop.workingGreys[chans[a]]) - bg[a];
        for (int a = 0; a < n; ++a) {
            const float *row = inverse.ptr<float>(a);
            float y = 0.0f;
            for (int b = 0; b < n; ++b)
                y += row[b] * x[b];
            const quint32 grey = toGrey(bg[a] + y);
            drop.compensatedGreys[chans[a]] = grey;
            drop.workingGreys[chans[a]] = grey;
        }
    }
}

bool SpilloverCompensation::getNegativeBackgrd(const WellImageAnalysisInfo &info, CompensationMatrix &m)
{
    if (hasStateOne(info)) {
        for (double &b : m.negativeBackground)
            b = 0.0;
        return true;
    }
    for (qint32 ch : info.channels)
        if (isChannel(ch))
            m.negativeBackground[ch] = meanGrey(info, ch);
    return true;
}

bool SpilloverCompensation::getNegativeBackgrd(const QVector<WellImageAnalysisInfo> &wells, CompensationMatrix &m)
{
    const WellImageAnalysisInfo *source = nullptr;
    for (const WellImageAnalysisInfo &w : wells)
        if (!hasStateOne(w))
            source = &w;
    if (!source) {
        for (double &b : m.negativeBackground)
            b = 0.0;
        return true;
    }
    for (qint32 ch : source->channels)
        if (isChannel(ch))
            m.negativeBackground[ch] = meanGrey(*source, ch);
    return true;
}

QFuture<bool> SpilloverCompensation::calculateCompensationMatrix(
    const QVector<QPair<WellImageAnalysisInfo *, QVector<int>>> &wells)
{
    // One calculation at a time: each ends by replacing the matrix.
    d->calculation.waitForFinished();
    d->calculation = QtConcurrent::run([this, wells]() { return calculate(wells); });
    return d->calculation;
}

bool SpilloverCompensation::calculate(const QVector<QPair<WellImageAnalysisInfo *, QVector<int>>> &wells)
{
    CompensationMatrix result;
    for (const auto &pair : wells) {
        const WellImageAnalysisInfo *info = pair.first;
        if (!info)
            continue;
        int dye = -1;
        for (int i = 0; i < qMin(pair.second.size(), kChannels); ++i)
            if (pair.second[i] == 1)
                dye = i;
        if (dye < 0 || !info->channels.contains(dye))
            continue;

        const quint32 level = info->channelLevels.value(dye, 0);
        double negSum[kChannels] = {}, posSum[kChannels] = {};
        int negCount = 0, posCount = 0;
        for (const DropletAnalysisInfo &drop : info->droplets) {
            if (drop.workingGreys.size() < kChannels)
                continue;
            const bool positive = drop.workingGreys[dye] >= level;
            (positive ? posCount : negCount) += 1;
            double *sums = positive ? posSum : negSum;
            for (int ch = 0; ch < kChannels; ++ch)
                sums[ch] += drop.workingGreys[ch];
        }

        double diff[kChannels] = {}, background[kChannels] = {};
        const bool bothGroups = negCount > 0 && posCount > 0;
        for (qint32 ch : info->channels) {
            if (!isChannel(ch))
                continue;
            const double neg = bothGroups ? negSum[ch] / negCount : negSum[ch];
            const double pos = bothGroups ? posSum[ch] / posCount : posSum[ch];
            background[ch] = bothGroups ? neg : 0.0;
            diff[ch] = std::fabs(pos - neg);
        }
        if (!(diff[dye] > 0.0)) {
            d->error = tr("Cannot calculate the compensation matrix: the droplets of channel %1 show no "
                          "difference between negative and positive.\n")
                           .arg(dye + 1);
            return false;
        }
        for (qint32 ch : info->channels) {
            if (!isChannel(ch))
                continue;
            result.matrix[dye][ch] = diff[ch] / diff[dye];
            result.negativeBackground[ch] = background[ch];
        }
    }
    d->matrix = result;
    return true;
}

QString SpilloverCompensation::getError() const
{
    return d->error;
}

} // namespace Ravelin
