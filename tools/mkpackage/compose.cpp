#include "compose.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace MkPackage {

namespace {

struct DyeRow {
    const char *name;
    int channel; // 0-based, -1 none
    int number1; // format-1 table, -1 absent
    int number3; // format-3 table, -1 absent
};

// The two instrument tables side by side; they agree on every channel and differ in numbers
// from ROX on.
const DyeRow DyeRows[] = {
    {"FAM", 0, 1, 1},       {"EvaGreen", 0, 2, 2}, {"HEX", 1, 3, 3},      {"VIC", 1, 4, 4},
    {"ROX", 2, 10, 5},      {"CY5", 3, 5, 6},      {"Q670", 3, 6, 7},     {"CY5.5", 4, 7, 8},
    {"Quasar705", 4, 8, 9}, {"CY3", 5, 9, 10},     {"Atto 425", 5, -1, 11},
};

const DyeRow *findDye(const QString &dye)
{
    for (const DyeRow &row : DyeRows)
        if (dye.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

double mean(const QVector<quint32> &v)
{
    double sum = 0.0;
    for (quint32 x : v)
        sum += double(x);
    return v.isEmpty() ? 0.0 : sum / v.size();
}

double deviation(const QVector<quint32> &v, double m)
{
    double sum = 0.0;
    for (quint32 x : v)
        sum += (double(x) - m) * (double(x) - m);
    return v.isEmpty() ? 0.0 : std::sqrt(sum / v.size());
}

double finiteOr(double v, double fallback)
{
    return std::isfinite(v) ? v : fallback;
}

// The inverse of the transposed matrix over a set of channels, computed once per well.
class Compensator {
public:
    Compensator(const QVector<int> &channels, const PkgWriter::MatrixImage &m)
        : m_channels(channels), m_background(m.background)
    {
        const int n = channels.size();
        std::vector<double> a(size_t(n * n)), inv(size_t(n * n), 0.0);
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                a[size_t(r * n + c)] = m.matrix[size_t(channels[c])][size_t(channels[r])];
        for (int i = 0; i < n; ++i)
            inv[size_t(i * n + i)] = 1.0;
        bool singular = false;
        for (int col = 0; col < n && !singular; ++col) {
            int pivot = col;
            for (int r = col + 1; r < n; ++r)
                if (std::fabs(a[size_t(r * n + col)]) > std::fabs(a[size_t(pivot * n + col)]))
                    pivot = r;
            if (std::fabs(a[size_t(pivot * n + col)]) < 1e-12) {
                singular = true;
                break;
            }
            for (int c = 0; c < n; ++c) {
                std::swap(a[size_t(col * n + c)], a[size_t(pivot * n + c)]);
                std::swap(inv[size_t(col * n + c)], inv[size_t(pivot * n + c)]);
            }
            const double p = a[size_t(col * n + col)];
            for (int c = 0; c < n; ++c) {
                a[size_t(col * n + c)] /= p;
                inv[size_t(col * n + c)] /= p;
            }
            for (int r = 0; r < n; ++r) {
                if (r == col)
                    continue;
                const double f = a[size_t(r * n + col)];
                for (int c = 0; c < n; ++c) {
                    a[size_t(r * n + c)] -= f * a[size_t(col * n + c)];
                    inv[size_t(r * n + c)] -= f * inv[size_t(col * n + c)];
                }
            }
        }
        // A singular matrix compensates to the backgrounds alone, as a zero inverse does.
        if (singular)
            std::fill(inv.begin(), inv.end(), 0.0);
        m_inverse = inv;
    }

    std::array<quint32, ChannelCount> apply(const std::array<quint32, ChannelCount> &g) const
    {
        std::array<quint32, ChannelCount> out = g;
        const int n = m_channels.size();
        for (int a = 0; a < n; ++a) {
            double y = 0.0;
            for (int b = 0; b < n; ++b) {
                const int ch = m_channels[b];
                y += m_inverse[size_t(a * n + b)] * (double(g[size_t(ch)]) - m_background[size_t(ch)]);
            }
            const double v = m_background[size_t(m_channels[a])] + y;
            out[size_t(m_channels[a])] = v <= 0.0 ? 0u : quint32(std::min(v, double(MaxGrey)));
        }
        return out;
    }

private:
    QVector<int> m_channels;
    std::array<double, ChannelCount> m_background;
    std::vector<double> m_inverse;
};

QVector<qint32> signedList(const std::array<quint32, ChannelCount> &v)
{
    QVector<qint32> out(ChannelCount);
    for (int i = 0; i < ChannelCount; ++i)
        out[i] = qint32(v[size_t(i)]);
    return out;
}

PkgWriter::QualityFigures undefinedQuality()
{
    return {0.0, 0.0, 0.0, 0.0, -1.0, -1.0};
}

// The droplet-list flag of a saturated channel, as the analysis marks it.
constexpr qint32 SaturatedFlag = 3;

void tally(DrawnKind kind, bool positive, DrawnCounts *counts)
{
    switch (kind) {
    case DrawnKind::Negative:
        ++counts->negatives;
        break;
    case DrawnKind::Positive:
        ++counts->positives;
        break;
    case DrawnKind::Rain:
        ++counts->rain;
        counts->rainPositive += positive ? 1 : 0;
        break;
    case DrawnKind::Debris:
        ++counts->debris;
        break;
    case DrawnKind::Saturated:
        ++counts->saturated;
        break;
    }
}

quint32 storedSize(const DropletPlan &d)
{
    return d.size > 0 ? d.size : quint32(std::lround(2.0 * d.radius));
}

QString imageLeaf(const QString &position, int channel, int set, int setCount)
{
    if (setCount == 1)
        return QStringLiteral("%1_CH%2.png").arg(position).arg(channel + 1);
    return QStringLiteral("%1_CH%2_%3.png").arg(position).arg(channel + 1).arg(set + 1);
}

QList<PkgWriter::MethodStage> pcrMethod()
{
    PkgWriter::MethodStep activation;
    activation.temperature = 95.0;
    activation.holdTime = 600;
    PkgWriter::MethodStep denature;
    denature.temperature = 94.0;
    denature.holdTime = 30;
    denature.rampRate = 2.0;
    PkgWriter::MethodStep anneal;
    anneal.temperature = 58.0;
    anneal.holdTime = 60;
    anneal.rampRate = 2.0;
    anneal.collect = true;
    PkgWriter::MethodStep inactivate;
    inactivate.temperature = 98.0;
    inactivate.holdTime = 600;
    PkgWriter::MethodStep hold;
    hold.temperature = 4.0;
    hold.holdTime = 0;
    return {{0, 1, {activation}}, {1, 40, {denature, anneal}}, {0, 1, {inactivate}}, {2, 1, {hold}}};
}

} // namespace

// ---- Small pieces --------------------------------------------------------------------------------

void volumeTypes(int volume, qint32 *workType, qint32 *blocksType)
{
    *blocksType = volume == 600 ? 2 : 0;
    *workType = volume == 300 ? 1 : volume == 3000 ? 2 : 0;
}

bool kindForPath(const QString &path, ArchiveKind *kind)
{
    const QString suffix = path.section(QLatin1Char('.'), -1);
    if (!path.contains(QLatin1Char('.')))
        return false;
    if (suffix == QLatin1String("imrs"))
        *kind = ArchiveKind::Imrs;
    else if (suffix == QLatin1String("expzip"))
        *kind = ArchiveKind::Expzip;
    else
        return false;
    return true;
}

QString kindName(ArchiveKind kind)
{
    return kind == ArchiveKind::Imrs ? QStringLiteral("imrs") : QStringLiteral("expzip");
}

int dyeChannel(const QString &dye)
{
    const DyeRow *row = findDye(dye);
    return row ? row->channel : -1;
}

int dyeNumber(const QString &dye, ArchiveKind kind)
{
    const DyeRow *row = findDye(dye);
    if (!row)
        return -1;
    return kind == ArchiveKind::Imrs ? row->number3 : row->number1;
}

QString wellPosition(int layoutIndex)
{
    return QStringLiteral("%1%2").arg(layoutIndex / 8 + 1).arg(QChar('A' + layoutIndex % 8));
}

int gridPosition(int layoutIndex, bool columnInterleaved)
{
    if (!columnInterleaved)
        return layoutIndex;
    const int row = layoutIndex % 8;
    return 8 * (layoutIndex / 8) + (row % 2) * 4 + row / 2;
}

Concentration poissonConcentration(int positives, int total, int volume)
{
    Concentration c;
    if (total <= 0 || volume <= 0)
        return c;
    const double p = double(positives) / double(total);
    const double scale = 1e6 / double(volume);
    const double f = 1.96 * std::sqrt(p * (1.0 - p) / double(total));
    const double conc = -std::log(1.0 - p) * scale;
    const double upper = -std::log(1.0 - (p + f)) * scale;
    const double lower = -std::log(1.0 - (p - f)) * scale;
    c.concentration = finiteOr(conc, 0.0);
    c.upper = finiteOr(upper, 0.0);
    c.lower = finiteOr(lower, 0.0);
    if (std::isfinite(upper) && std::isfinite(lower) && c.concentration > 0.0)
        c.uncertainty = (upper - lower) / (2.0 * c.concentration);
    return c;
}

PkgWriter::QualityFigures dropletQuality(const QVector<quint32> &values, quint32 threshold, int k)
{
    PkgWriter::QualityFigures q = undefinedQuality();
    if (values.isEmpty())
        return q;
    QVector<quint32> neg, pos;
    for (quint32 v : values)
        (v < threshold ? neg : pos).append(v);
    const double negMean = mean(neg), posMean = mean(pos);
    const double negDev = deviation(neg, negMean), posDev = deviation(pos, posMean);
    q[0] = posMean;
    q[1] = posMean != 0.0 ? posDev / posMean : 0.0;
    q[2] = negMean;
    q[3] = negMean != 0.0 ? negDev / negMean : 0.0;
    const double cvSum = q[1] + q[3];
    if (cvSum != 0.0 && negMean < posMean)
        q[4] = (posMean - negMean) / cvSum;
    if (!neg.isEmpty() && !pos.isEmpty()) {
        const double lo = negDev * k + negMean;
        const double hi = posMean - posDev * k;
        if (lo < hi) {
            int rain = 0;
            int negatives = neg.size();
            for (quint32 v : values) {
                if (double(v) >= lo && double(v) <= hi) {
                    ++rain;
                    if (v < threshold)
                        --negatives;
                }
            }
            q[5] = finiteOr(std::log(double(rain) / negatives + 1.0) /
                                std::log(double(values.size()) / negatives),
                            -1.0);
        }
    }
    return q;
}

quint32 thresholdBetween(const QVector<quint32> &negatives, const QVector<quint32> &positives)
{
    if (negatives.isEmpty() && positives.isEmpty())
        return 0;
    if (positives.isEmpty()) {
        const quint32 top = *std::max_element(negatives.begin(), negatives.end());
        return std::max(std::min<quint32>(2 * top, MaxGrey), top + 1);
    }
    if (negatives.isEmpty())
        return *std::min_element(positives.begin(), positives.end()) / 2;
    const quint32 top = *std::max_element(negatives.begin(), negatives.end());
    const quint32 bottom = *std::min_element(positives.begin(), positives.end());
    if (top < bottom)
        return quint32((quint64(top) + bottom + 1) / 2);
    // Overlapping classes: the threshold that misclassifies the fewest droplets, as the best
    // analysis of the drawn classes would place it (halfway between the means misses the tail of
    // a broad cluster). Between two neighbouring values the misses stay the same; of the
    // thresholds with the fewest, the one nearest halfway between the means.
    const qint64 halfway = std::lround((mean(negatives) + mean(positives)) / 2.0);
    QVector<quint32> neg = negatives, pos = positives;
    std::sort(neg.begin(), neg.end());
    std::sort(pos.begin(), pos.end());
    int negAbove = neg.size(), posBelow = 0; // for thresholds up to the next value
    int in = 0, ip = 0;
    int fewest = negAbove;
    qint64 best = std::clamp<qint64>(halfway, 0, std::min(neg.first(), pos.first()));
    while (in < neg.size() || ip < pos.size()) {
        const quint32 v = in < neg.size() && (ip >= pos.size() || neg[in] <= pos[ip]) ? neg[in] : pos[ip];
        while (in < neg.size() && neg[in] == v) {
            --negAbove;
            ++in;
        }
        while (ip < pos.size() && pos[ip] == v) {
            ++posBelow;
            ++ip;
        }
        // Thresholds from v + 1 to the next value (or the top of the scale) miss this many.
        const qint64 from = qint64(v) + 1;
        const qint64 to = in < neg.size() || ip < pos.size()
                              ? qint64(std::min(in < neg.size() ? neg[in] : MaxGrey, ip < pos.size() ? pos[ip] : MaxGrey))
                              : qint64(MaxGrey);
        const int misses = negAbove + posBelow;
        const qint64 nearest = std::clamp(halfway, from, std::max(from, to));
        if (misses < fewest || (misses == fewest && std::llabs(nearest - halfway) < std::llabs(best - halfway))) {
            fewest = misses;
            best = nearest;
        }
    }
    return quint32(best);
}

quint32 discMean(const QImage &image, double x, double y, double radius)
{
    if (image.isNull())
        return 0;
    const bool eight = image.format() == QImage::Format_Grayscale8;
    auto pixel = [&](int px, int py) -> double {
        const uchar *line = image.constScanLine(py);
        return eight ? double(line[px]) * 256.0 : double(reinterpret_cast<const quint16 *>(line)[px]);
    };
    const int x0 = std::max(0, int(std::floor(x - radius)));
    const int x1 = std::min(image.width() - 1, int(std::ceil(x + radius)));
    const int y0 = std::max(0, int(std::floor(y - radius)));
    const int y1 = std::min(image.height() - 1, int(std::ceil(y + radius)));
    double sum = 0.0;
    int count = 0;
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px)
            if ((px - x) * (px - x) + (py - y) * (py - y) <= radius * radius) {
                sum += pixel(px, py);
                ++count;
            }
    if (count == 0) {
        const int px = std::clamp(int(std::lround(x)), 0, image.width() - 1);
        const int py = std::clamp(int(std::lround(y)), 0, image.height() - 1);
        return quint32(pixel(px, py));
    }
    return quint32(std::lround(sum / count));
}

void measureGreys(WellPlan &well, bool eightBit, double radiusFraction)
{
    std::array<QImage, ChannelCount> images;
    for (int c = 0; c < ChannelCount; ++c) {
        const QImage &src = well.images[size_t(c)];
        if (src.isNull() || !eightBit) {
            images[size_t(c)] = src;
            continue;
        }
        // The stored halves keep the upper byte of each pixel.
        QImage cut(src.size(), QImage::Format_Grayscale8);
        for (int y = 0; y < src.height(); ++y) {
            const quint16 *in = reinterpret_cast<const quint16 *>(src.constScanLine(y));
            uchar *out = cut.scanLine(y);
            for (int x = 0; x < src.width(); ++x)
                out[x] = uchar(in[x] >> 8);
        }
        images[size_t(c)] = cut;
    }
    for (DropletPlan &d : well.droplets)
        for (int c = 0; c < ChannelCount; ++c)
            d.grey[size_t(c)] = std::min(discMean(images[size_t(c)], d.x, d.y, d.radius * radiusFraction), MaxGrey);
}

std::array<quint32, ChannelCount> compensate(const std::array<quint32, ChannelCount> &greys,
                                             const QVector<int> &channels,
                                             const PkgWriter::MatrixImage &matrix)
{
    return Compensator(channels, matrix).apply(greys);
}

QByteArray encodePng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Light compression: noisy droplet images hardly shrink further, and it is several times
    // faster than the default.
    writer.setQuality(80);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

QImage eightBitHalf(const QImage &image16, bool bottom)
{
    const int rows = image16.height() / 2;
    QImage out(image16.width(), rows, QImage::Format_Grayscale8);
    for (int y = 0; y < rows; ++y) {
        const quint16 *in = reinterpret_cast<const quint16 *>(image16.constScanLine(bottom ? y + rows : y));
        uchar *line = out.scanLine(y);
        for (int x = 0; x < image16.width(); ++x)
            line[x] = uchar(in[x] >> 8);
    }
    return out;
}

// ---- Composer ------------------------------------------------------------------------------------

bool Composer::prepare(const RunPlan &plan, const QList<WellSummary> &wells, QString *error)
{
    m_plan = &plan;
    m_wells = wells;
    m_targetChannels.clear();
    m_zoneChannels.clear();

    if (plan.kind == ArchiveKind::Imrs) {
        if (plan.pcrVersion != 0 && plan.pcrVersion != 1)
            return fail(error, QStringLiteral("run.pcr version must be 0 (layout 3.0) or 1 (layout 3.1)"));
        if (plan.expVersion != 0 && plan.expVersion != 1)
            return fail(error, QStringLiteral("run.exp version must be 0 or 1"));
    }
    if (plan.imageSets != 1 && plan.imageSets != 2)
        return fail(error, QStringLiteral("image sets must be 1 or 2"));
    if (plan.imageSets == 2 && (plan.kind != ArchiveKind::Imrs || plan.pcrVersion != 1))
        return fail(error, QStringLiteral("two image sets need layout 3.1 of an .imrs archive"));
    if (plan.dpsVersion != 0 && plan.dpsVersion != 1)
        return fail(error, QStringLiteral("run.dps version must be 0 or 1"));
    if (!plan.password.isEmpty() && !plan.passwordEntry)
        return fail(error, QStringLiteral("a password needs the password entry"));
    if (plan.volume <= 0)
        return fail(error, QStringLiteral("the droplet volume must be positive"));
    if (plan.targets.isEmpty())
        return fail(error, QStringLiteral("the run has no targets"));
    if (wells.isEmpty())
        return fail(error, QStringLiteral("the run has no wells"));

    QSet<QString> names;
    QSet<int> channels;
    for (const TargetPlan &t : plan.targets) {
        const int channel = dyeChannel(t.dye);
        if (channel < 0)
            return fail(error, QStringLiteral("unknown dye \"%1\"").arg(t.dye));
        if (dyeNumber(t.dye, plan.kind) < 0)
            return fail(error, QStringLiteral("dye \"%1\" is not in the %2 dye table").arg(t.dye, kindName(plan.kind)));
        if (channel == ReferenceChannel)
            return fail(error, QStringLiteral("channel 3 holds the reference dye; target \"%1\" cannot use it").arg(t.name));
        if (channels.contains(channel))
            return fail(error, QStringLiteral("two targets on channel %1").arg(channel + 1));
        if (t.name.isEmpty() || names.contains(t.name))
            return fail(error, QStringLiteral("target names must be unique and not empty"));
        channels.insert(channel);
        names.insert(t.name);
        m_targetChannels.append(channel);
    }

    // The zone masks run over the channels of the targets the wells use (.imrs) or of every
    // target of the experiment (.expzip), as each reader derives them.
    QSet<int> used;
    for (const WellSummary &w : wells) {
        if (w.sampleName.isEmpty())
            return fail(error, QStringLiteral("every well needs a sample name"));
        QSet<QString> seen;
        for (const QString &t : w.targets) {
            if (!names.contains(t))
                return fail(error, QStringLiteral("well target \"%1\" is not a target of the run").arg(t));
            if (seen.contains(t))
                return fail(error, QStringLiteral("well target \"%1\" given twice").arg(t));
            seen.insert(t);
        }
        for (int i = 0; i < plan.targets.size(); ++i)
            if (plan.kind == ArchiveKind::Expzip || w.targets.isEmpty() || w.targets.contains(plan.targets[i].name))
                used.insert(m_targetChannels[i]);
    }
    m_zoneChannels = used.values();
    std::sort(m_zoneChannels.begin(), m_zoneChannels.end());
    return true;
}

QList<int> Composer::wellTargets(const QStringList &targets) const
{
    QList<int> out;
    if (targets.isEmpty()) {
        for (int i = 0; i < m_plan->targets.size(); ++i)
            out.append(i);
        return out;
    }
    for (const QString &name : targets)
        for (int i = 0; i < m_plan->targets.size(); ++i)
            if (m_plan->targets[i].name == name)
                out.append(i);
    return out;
}

bool Composer::composeWell(const WellPlan &well, int index, ComposedWell *out, QString *error) const
{
    const RunPlan &plan = *m_plan;
    const bool imrs = plan.kind == ArchiveKind::Imrs;
    const int sets = plan.imageSets;
    *out = ComposedWell();
    if (index < 0 || index >= m_wells.size())
        return fail(error, QStringLiteral("well %1 is not in the run").arg(index + 1));
    if (well.targets != m_wells[index].targets || well.sampleName != m_wells[index].sampleName)
        return fail(error, QStringLiteral("well %1 does not match its summary").arg(index + 1));

    const QList<int> targets = wellTargets(well.targets);
    QVector<int> wellChannels; // per well target, in the well's order
    for (int t : targets)
        wellChannels.append(m_targetChannels[t]);
    QVector<int> measured = wellChannels; // channels with a measurement: targets and reference
    measured.append(ReferenceChannel);
    std::sort(measured.begin(), measured.end());

    // Images: one size per well, a width the 8-bit rows can share without padding.
    QSize size;
    for (int c : qAsConst(measured)) {
        const QImage &img = well.images[size_t(c)];
        if (img.isNull())
            continue;
        if (img.format() != QImage::Format_Grayscale16)
            return fail(error, QStringLiteral("well %1: channel images must be 16-bit grey").arg(index + 1));
        if (size.isValid() && img.size() != size)
            return fail(error, QStringLiteral("well %1: channel images differ in size").arg(index + 1));
        size = img.size();
    }
    if (size.isValid() && size.width() % 4 != 0)
        return fail(error, QStringLiteral("well %1: image width must be a multiple of 4").arg(index + 1));
    if (size.isValid() && sets == 2 && size.height() % 2 != 0)
        return fail(error, QStringLiteral("well %1: two image sets need an even image height").arg(index + 1));

    const int count = int(well.droplets.size());
    QSet<quint32> excluded;
    for (quint32 e : well.excluded) {
        if (e >= quint32(count))
            return fail(error, QStringLiteral("well %1: excluded droplet %2 does not exist").arg(index + 1).arg(e));
        excluded.insert(e);
    }

    // The values each reader classifies: compensated greys when an .imrs archive stores a
    // matrix, the measured ones otherwise.
    const bool compensated = imrs && plan.storeMatrix;
    std::vector<std::array<quint32, ChannelCount>> values(static_cast<size_t>(count));
    std::vector<std::array<quint32, ChannelCount>> compensatedGreys;
    if (compensated) {
        const Compensator comp(measured, plan.matrix);
        compensatedGreys.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            compensatedGreys[size_t(i)] = comp.apply(well.droplets[size_t(i)].grey);
        values = compensatedGreys;
    } else {
        for (int i = 0; i < count; ++i)
            values[size_t(i)] = well.droplets[size_t(i)].grey;
    }

    WellTruth &truth = out->truth;
    truth.id = quint32(index + 1);
    truth.position = wellPosition(index);
    truth.droplets = count;
    truth.drawnDroplets = well.drawnDroplets < 0 ? count : well.drawnDroplets;
    truth.excluded = excluded.size();
    truth.sharpness = well.sharpness;
    const int total = count - excluded.size();

    std::array<quint32, ChannelCount> thresholds{};
    for (int j = 0; j < targets.size(); ++j) {
        const int c = wellChannels[j];
        QVector<quint32> neg, pos, kept;
        int truePositives = 0;
        DrawnCounts drawn;
        for (int i = 0; i < count; ++i) {
            if (excluded.contains(quint32(i)))
                continue;
            const DropletPlan &d = well.droplets[size_t(i)];
            const quint32 v = values[size_t(i)][size_t(c)];
            kept.append(v);
            if (d.positive[size_t(c)]) {
                pos.append(v);
                ++truePositives;
            } else {
                neg.append(v);
            }
            tally(d.drawnAs[size_t(c)], d.positive[size_t(c)], &drawn);
        }
        ChannelTruth ch;
        ch.shape = well.shapes[size_t(c)];
        ch.drawn = drawn;
        ch.channel = c;
        ch.target = plan.targets[targets[j]].name;
        ch.dye = plan.targets[targets[j]].dye;
        ch.threshold = thresholdBetween(neg, pos);
        thresholds[size_t(c)] = ch.threshold;
        ch.truePositives = truePositives;
        ch.total = total;
        for (quint32 v : qAsConst(kept))
            if (v >= ch.threshold)
                ++ch.storedPositives;
        ch.drawnFraction = well.drawnFraction[size_t(c)];
        ch.concentration = poissonConcentration(ch.storedPositives, total, plan.volume);
        ch.quality = dropletQuality(kept, ch.threshold, 3);
        truth.channels.append(ch);
    }

    // Zone masks over every droplet, excluded ones too: bit i for the i-th zone channel, set
    // when the well does not measure it or the droplet is at or above its threshold.
    QMap<quint32, int> zones;
    for (int i = 0; i < count; ++i) {
        quint32 mask = 0;
        for (int b = 0; b < m_zoneChannels.size(); ++b) {
            const int c = m_zoneChannels[b];
            if (!wellChannels.contains(c) || values[size_t(i)][size_t(c)] >= thresholds[size_t(c)])
                mask |= 1u << b;
        }
        ++zones[mask];
    }
    for (auto it = zones.cbegin(); it != zones.cend(); ++it)
        truth.zones.append({it.key(), it.value()});

    double refSum = 0.0;
    for (int i = 0; i < count; ++i)
        if (!excluded.contains(quint32(i)))
            refSum += well.droplets[size_t(i)].grey[ReferenceChannel];
    truth.referenceMean = total > 0 ? refSum / total : 0.0;

    // Images and their names, one set or a top and a bottom set.
    QList<QStringList> nameSets;
    for (int s = 0; s < sets; ++s)
        nameSets.append(QStringList(QVector<QString>(ChannelCount, QStringLiteral("")).toList()));
    for (int c : qAsConst(measured)) {
        const QImage &img = well.images[size_t(c)];
        if (img.isNull())
            continue;
        for (int s = 0; s < sets; ++s) {
            const QString leaf = imageLeaf(truth.position, c, s, sets);
            const QByteArray png = encodePng(sets == 1 ? img : eightBitHalf(img, s == 1));
            if (png.isEmpty())
                return fail(error, QStringLiteral("well %1: cannot encode image %2").arg(index + 1).arg(leaf));
            out->images.append({QStringLiteral("capture/") + leaf, png});
            truth.imageEntries.append(QStringLiteral("capture/") + leaf);
            nameSets[s][c] = imrs ? plan.imageFolder + leaf : QStringLiteral("capture/") + leaf;
        }
    }

    int saturated = well.saturated;
    if (saturated < 0) {
        saturated = 0;
        for (const DropletPlan &d : well.droplets)
            for (int c : qAsConst(measured))
                if (d.saturated[size_t(c)] || d.grey[size_t(c)] >= MaxGrey)
                    ++saturated;
    }
    truth.saturated = saturated;

    if (imrs) {
        const qint32 storedId = plan.zeroWellIds ? 0 : qint32(index + 1);
        out->expInfo.wellId = storedId;
        out->expInfo.refChannel = ReferenceChannel;
        out->expInfo.imageNameSets = nameSets;

        PkgWriter::Pcr3DropletData &dd = out->dropletData;
        dd.wellId = storedId;
        dd.valid = well.valid;
        dd.sharpness = well.sharpness;
        dd.counter = saturated;
        dd.droplets.reserve(count);
        for (int i = 0; i < count; ++i) {
            const DropletPlan &d = well.droplets[size_t(i)];
            PkgWriter::Pcr3Droplet drop;
            drop.x = qint32(std::lround(d.x));
            drop.y = qint32(std::lround(d.y));
            drop.size = qint32(storedSize(d));
            const QVector<qint32> greys = signedList(d.grey);
            // Second list: the reader's fallback for a missing reference grey; third: the
            // measured greys; fifth: the compensated ones.
            drop.lists[1] = greys;
            drop.lists[2] = greys;
            if (compensated)
                drop.lists[4] = signedList(compensatedGreys[size_t(i)]);
            // The seventh list marks saturated channels (3); a saturated droplet always keeps it,
            // for the analysis leaves such droplets out of its clustering.
            QVector<qint32> flags(ChannelCount, 0);
            for (int c = 0; c < ChannelCount; ++c)
                if (d.saturated[size_t(c)] || d.grey[size_t(c)] >= MaxGrey)
                    flags[c] = SaturatedFlag;
            if (plan.fullDropletLists || flags.contains(SaturatedFlag))
                drop.lists[6] = flags;
            if (plan.fullDropletLists) {
                drop.lists[0] = compensated ? drop.lists[4] : greys; // working greys
                drop.lists[3] = greys;                               // adjusted: unchanged
                drop.lists[5] = QVector<qint32>(ChannelCount, 0);
            }
            dd.droplets.append(drop);
        }
        for (int c = 0; c < ChannelCount; ++c)
            dd.channelLists.append(wellChannels.contains(c) ? QVector<qint32>{qint32(thresholds[size_t(c)])}
                                                            : QVector<qint32>());

        PkgWriter::Pcr3Classify &cl = out->classify;
        cl.wellId = storedId;
        cl.roxValue = truth.referenceMean;
        cl.roxChannel = ReferenceChannel;
        cl.excluded = well.excluded;
        for (int c = 0; c < ChannelCount; ++c) {
            PkgWriter::Pcr3PairEntry pair;
            PkgWriter::QualityFigures figures = undefinedQuality();
            for (const ChannelTruth &ch : qAsConst(truth.channels))
                if (ch.channel == c) {
                    pair.first = {qint32(ch.threshold)};
                    figures = ch.quality;
                }
            cl.pairs.append(pair);
            cl.figures.append(figures);
        }

        PkgWriter::Pcr3WellResult &r = out->result;
        r.wellId = storedId;
        r.first = truth.position;
        r.second = well.sampleName;
        r.effDrpltNum = total;
        for (const ChannelTruth &ch : qAsConst(truth.channels)) {
            PkgWriter::Pcr3TargetResult t;
            t.targetName = ch.target;
            t.fraction = total > 0 ? double(ch.storedPositives) / total : 0.0;
            t.positives = ch.storedPositives;
            t.negatives = total - ch.storedPositives;
            t.concentration = ch.concentration.concentration;
            t.lower = ch.concentration.lower;
            t.upper = ch.concentration.upper;
            t.uncertainty = ch.concentration.uncertainty;
            t.flag = well.valid;
            r.results.append(t);
        }
    } else {
        PkgWriter::Pcr1Well &w = out->pcr1;
        w.number = quint32(index + 1);
        w.imageNames.append(nameSets[0][ReferenceChannel]);
        for (int c : qAsConst(wellChannels))
            w.imageNames.append(nameSets[0][c]);
        w.valid = well.valid;
        for (int j = 0; j < targets.size(); ++j)
            w.chanEntries.append({quint32(targets[j]), thresholds[size_t(wellChannels[j])]});
        w.drplts.reserve(count);
        for (const DropletPlan &d : well.droplets) {
            PkgWriter::Pcr1Droplet drop;
            drop.x = quint32(std::lround(d.x));
            drop.y = quint32(std::lround(d.y));
            drop.size = storedSize(d);
            for (int c : qAsConst(wellChannels))
                drop.grays.append(d.grey[size_t(c)]);
            drop.refGray = d.grey[ReferenceChannel];
            w.drplts.append(drop);
        }
        w.excluded = well.excluded;
        w.counts = {quint32(count), quint32(excluded.size()), quint32(saturated), quint32(total)};
        w.value = well.sharpness;
        for (const ChannelTruth &ch : qAsConst(truth.channels)) {
            PkgWriter::Pcr1ChanStat s;
            s.posDrpltNum = quint32(ch.storedPositives);
            s.values = {total > 0 ? double(ch.storedPositives) / total : 0.0,
                        ch.concentration.concentration,
                        ch.concentration.lower,
                        ch.concentration.upper,
                        ch.concentration.uncertainty,
                        double(ch.threshold)};
            w.chanStats.append(s);
        }
    }
    return true;
}

QByteArray Composer::passwordEntry() const
{
    return PkgWriter::passwordEntry(m_plan->password);
}

QByteArray Composer::experimentEntry() const
{
    const RunPlan &plan = *m_plan;
    const bool imrs = plan.kind == ArchiveKind::Imrs;
    const bool interleaved = !imrs || plan.expVersion == 0;
    int gridSize = 96;
    for (int i = 0; i < m_wells.size(); ++i)
        gridSize = std::max(gridSize, (gridPosition(i, interleaved) / 8 + 1) * 8);

    QList<PkgWriter::TargetEntry> targets;
    for (const TargetPlan &t : plan.targets)
        targets.append({t.name, QString(), dyeNumber(t.dye, plan.kind)});
    QList<PkgWriter::SampleEntry> samples;
    QStringList sampleNames;
    for (const WellSummary &w : m_wells)
        if (!sampleNames.contains(w.sampleName)) {
            sampleNames.append(w.sampleName);
            samples.append({w.sampleName, QString()});
        }
    auto targetNames = [&](const WellSummary &w) {
        QStringList names;
        for (int t : wellTargets(w.targets))
            names.append(plan.targets[t].name);
        return names;
    };
    qint32 workType = 0, blocksType = 0;
    volumeTypes(plan.volume, &workType, &blocksType);

    if (imrs) {
        PkgWriter::Exp3Record r;
        r.name = plan.name;
        r.comment = plan.comment;
        r.blocksType = blocksType;
        r.dropletWorkType = workType;
        r.targets = targets;
        r.samples = samples;
        for (int k = 0; k < gridSize; ++k)
            r.wells.append(PkgWriter::Exp3Well());
        for (int i = 0; i < m_wells.size(); ++i) {
            PkgWriter::Exp3Well &w = r.wells[gridPosition(i, interleaved)];
            w.drpltVolume = plan.volume;
            w.drpltSum = m_wells[i].droplets;
            w.targetNames = targetNames(m_wells[i]);
            w.sampleName = m_wells[i].sampleName;
        }
        r.methodValue = 0.0;
        r.stages = pcrMethod();
        return PkgWriter::exp3Entry(r, plan.expVersion);
    }
    PkgWriter::Exp1Record r;
    r.name = plan.name;
    r.comment = plan.comment;
    r.blocksType = blocksType;
    r.targets = targets;
    r.samples = samples;
    for (int k = 0; k < gridSize; ++k) {
        PkgWriter::Exp1Well empty;
        empty.drpltVolume = 0;
        empty.drpltSum = 0;
        r.wells.append(empty);
    }
    for (int i = 0; i < m_wells.size(); ++i) {
        PkgWriter::Exp1Well &w = r.wells[gridPosition(i, interleaved)];
        w.drpltVolume = plan.volume;
        w.drpltSum = m_wells[i].droplets;
        w.targetNames = targetNames(m_wells[i]);
        w.sampleName = m_wells[i].sampleName;
    }
    r.stages = pcrMethod();
    return PkgWriter::exp1Entry(r);
}

QByteArray Composer::deviceEntry() const
{
    const RunPlan &plan = *m_plan;
    const QVector<PkgWriter::ScanParam> params(ChannelCount, {plan.exposure, plan.focus});
    if (plan.dpsVersion == 0)
        return PkgWriter::dpsEntryV0(plan.serialNumber, params, plan.writeTime);
    QMap<quint32, QVector<PkgWriter::ScanParam>> byWell;
    for (int i = 0; i < m_wells.size(); ++i)
        byWell.insert(quint32(i + 1), params);
    return PkgWriter::dpsEntryV1(plan.serialNumber, byWell, plan.writeTime);
}

QByteArray Composer::matrixEntry() const
{
    return PkgWriter::cmtxEntry(m_plan->storeMatrix ? PkgWriter::matrixBytes(m_plan->matrix) : QByteArray(""),
                                m_plan->writeTime);
}

QByteArray Composer::fileLogEntry() const
{
    // Experiment 1, the last well id, the last line-mode zone id (2^n - 1), one population per
    // zone channel, no plots.
    const int n = m_zoneChannels.size();
    return PkgWriter::fileLogEntry({1, qint32(m_wells.size()), qint32((1u << n) - 1), qint32(n), 0},
                                   m_plan->writeTime);
}

QByteArray Composer::reagentKitEntry()
{
    return QByteArrayLiteral("[Kit]\nName=Synthetic droplet PCR kit\nLot=SYN-0001\n");
}

} // namespace MkPackage
