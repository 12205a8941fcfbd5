#include "generator.h"

#include "dropletlattice.h"
#include "wellrecognition.h"

#include "assets/analyserassets.h"
#include "settings.h"
#include "synthchip.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cmath>
#include <exception>

namespace MkPackage {

namespace {

constexpr double RowFactor = 0.8660254037844386; // sqrt(3) / 2: row spacing over pitch
constexpr int MaxSide = 16384;
// Greys are measured inside the droplet, clear of its anti-aliased rim.
constexpr double MeasureFraction = 0.85;

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool synthVolume(int volume, LumaraSynth::Volume *out)
{
    switch (volume) {
    case 300:
        *out = LumaraSynth::Volume::Pl300;
        return true;
    case 600:
        *out = LumaraSynth::Volume::Pl600;
        return true;
    case 800:
        *out = LumaraSynth::Volume::Pl800;
        return true;
    case 3000:
        *out = LumaraSynth::Volume::Pl3000;
        return true;
    }
    return false;
}

QImage toQImage(const cv::Mat &m)
{
    if (m.empty())
        return QImage();
    QImage img(m.cols, m.rows, QImage::Format_Grayscale16);
    for (int y = 0; y < m.rows; ++y)
        std::memcpy(img.scanLine(y), m.ptr<std::uint16_t>(y), size_t(m.cols) * 2);
    return img;
}

DrawnKind kindOf(LumaraSynth::DrawnAs as)
{
    switch (as) {
    case LumaraSynth::DrawnAs::Positive:
        return DrawnKind::Positive;
    case LumaraSynth::DrawnAs::Rain:
        return DrawnKind::Rain;
    case LumaraSynth::DrawnAs::Debris:
        return DrawnKind::Debris;
    case LumaraSynth::DrawnAs::Saturated:
        return DrawnKind::Saturated;
    case LumaraSynth::DrawnAs::Negative:
    case LumaraSynth::DrawnAs::Low:
        break;
    }
    return DrawnKind::Negative;
}

std::array<DrawnKind, ChannelCount> kindsOf(const LumaraSynth::Droplet &d)
{
    std::array<DrawnKind, ChannelCount> kinds{};
    for (int c = 0; c < ChannelCount; ++c)
        kinds[size_t(c)] = kindOf(d.drawnAs[size_t(c)]);
    return kinds;
}

// The shape as the ground truth states it; a lower tail, a plateau and levels only where drawn.
QJsonObject shapeJson(const LumaraSynth::WellShape &s)
{
    QJsonObject o{{"negativeMean", s.negativeMean},
                  {"negativeSd", s.negativeSd},
                  {"logNormal", s.logNormal},
                  {"flatTail", s.flatTail},
                  {"flatTailWidth", s.flatTailWidth},
                  {"positiveFraction", s.positiveFraction},
                  {"positiveMean", s.positiveMean},
                  {"positiveCv", s.positiveCv},
                  {"rain", s.rain},
                  {"rainMidpoint", s.rainMidpoint()},
                  {"debris", s.debris},
                  {"debrisGrey", s.debrisGrey},
                  {"saturated", s.saturated}};
    if (s.lowerTail > 0.0) {
        o.insert("lowerTail", s.lowerTail);
        o.insert("lowerDepth", s.lowerDepth);
        o.insert("lowerShelf", s.lowerShelf);
    }
    if (!s.levels.empty()) {
        QJsonArray levels;
        for (const LumaraSynth::WellShape::Level &level : s.levels)
            levels.append(QJsonObject{{"multiple", level.multiple}, {"share", level.share}});
        o.insert("levels", levels);
    } else if (s.plateauTo > s.plateauFrom) {
        o.insert("plateauFrom", s.plateauFrom);
        o.insert("plateauTo", s.plateauTo);
        o.insert("plateauHumps", s.plateauHumps);
    }
    return o;
}

// The brightest level positives are drawn at: the top of the plateau, the highest level, or the
// cluster's centre (rain reaches up to it as well).
double highestPositive(const LumaraSynth::WellShape &s)
{
    double top = s.positiveMean;
    if (!s.levels.empty()) {
        top = 0.0;
        for (const LumaraSynth::WellShape::Level &level : s.levels)
            top = std::max(top, level.multiple * s.negativeMean);
    } else if (s.plateauTo > s.plateauFrom) {
        top = s.plateauTo * s.negativeMean;
    }
    return s.rain > 0.0 ? std::max(top, s.positiveMean) : top;
}

bool debrisOrSaturated(const LumaraSynth::ShapedDroplet &d)
{
    return d.drawnAs == LumaraSynth::DrawnAs::Debris || d.drawnAs == LumaraSynth::DrawnAs::Saturated;
}

// Each shaped channel's droplets drawn from its well shape onto the placed droplets. Debris and
// saturated droplets go to droplets in the middle of the image, where the recognition finds
// them, the rest in the shape's own random order. A droplet at full scale is drawn at twice
// it, so that every pixel of it clips as a saturated droplet's do.
void drawShapes(std::vector<LumaraSynth::Droplet> &drawn,
                const std::array<std::optional<LumaraSynth::WellShape>, ChannelCount> &shapes, quint64 seed,
                int width, int height)
{
    std::vector<size_t> middle, rest;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const LumaraSynth::Droplet &d = drawn[i];
        const bool inside = d.x >= width / 4.0 && d.x < 3.0 * width / 4.0 && d.y >= height / 4.0
                            && d.y < 3.0 * height / 4.0;
        (inside ? middle : rest).push_back(i);
    }
    for (int c = 0; c < ChannelCount; ++c) {
        if (!shapes[size_t(c)])
            continue;
        const quint64 channelSeed = seed * 6364136223846793005ull + quint64(c + 1) * 1442695040888963407ull;
        LumaraSynth::Random random(channelSeed);
        std::vector<size_t> places = middle;
        for (int i = int(places.size()) - 1; i > 0; --i)
            std::swap(places[size_t(i)], places[size_t(random.below(i + 1))]);
        places.insert(places.end(), rest.cbegin(), rest.cend());
        std::vector<LumaraSynth::ShapedDroplet> values =
            LumaraSynth::drawWell(*shapes[size_t(c)], int(drawn.size()), channelSeed);
        std::stable_partition(values.begin(), values.end(), debrisOrSaturated);
        for (size_t k = 0; k < places.size() && k < values.size(); ++k) {
            LumaraSynth::Droplet &d = drawn[places[k]];
            const LumaraSynth::ShapedDroplet &v = values[k];
            d.pureGrey[size_t(c)] = v.drawnAs == LumaraSynth::DrawnAs::Saturated ? 2.0 * 65535.0 : std::max(0.0, v.grey);
            d.positive[size_t(c)] = v.positive;
            d.drawnAs[size_t(c)] = v.drawnAs;
        }
    }
}

// The recognised droplets with the greys the analysis measured, each with the class of the
// drawn droplet it lies on (a droplet found where none was drawn is negative everywhere).
std::vector<DropletPlan> recognisedDroplets(const QVector<DropletAnalysisInfo> &found,
                                            const std::vector<LumaraSynth::Droplet> &drawn, double pitch,
                                            double radius)
{
    DropletLattice lattice(pitch);
    for (const LumaraSynth::Droplet &d : drawn)
        lattice.add(d.x, d.y);

    std::vector<DropletPlan> out;
    out.reserve(size_t(found.size()));
    for (const DropletAnalysisInfo &f : found) {
        DropletPlan drop;
        drop.x = f.x;
        drop.y = f.y;
        drop.radius = radius;
        drop.size = f.maskSize;
        drop.positive[ReferenceChannel] = true;
        for (int c = 0; c < ChannelCount; ++c) {
            drop.grey[size_t(c)] = f.measuredGreys.value(c);
            drop.saturated[size_t(c)] = f.flags.value(c) == 3;
        }
        double bestDistance = 0.0;
        const int nearest = lattice.nearest(drop.x, drop.y, &bestDistance);
        const LumaraSynth::Droplet *best = nearest < 0 ? nullptr : &drawn[size_t(nearest)];
        if (best && bestDistance <= best->radius) {
            drop.radius = best->radius;
            drop.positive = best->positive;
            drop.drawnAs = kindsOf(*best);
        }
        out.push_back(drop);
    }
    return out;
}

bool levelsFault(const std::vector<LumaraSynth::WellShape::Level> &levels, QString *message)
{
    double shares = 0.0;
    for (const LumaraSynth::WellShape::Level &level : levels) {
        if (!(level.multiple > 0.0)) {
            *message = QStringLiteral("the levels' multiples must be above 0");
            return true;
        }
        if (!(level.share >= 0.0 && level.share <= 1.0)) {
            *message = QStringLiteral("the levels' shares must lie in [0, 1]");
            return true;
        }
        shares += level.share;
    }
    if (levels.empty())
        *message = QStringLiteral("levels need at least one level");
    else if (shares > 1.0 + 1e-9)
        *message = QStringLiteral("the levels' shares must add up to at most 1");
    else
        return false;
    return true;
}

bool shapeFault(const ShapeOptions &s, QString *message)
{
    auto within = [](const std::optional<double> &v, double lo, double hi) { return !v || (*v >= lo && *v <= hi); };
    if (!within(s.rain, 0.0, 1.0))
        *message = QStringLiteral("rain must lie in [0, 1]");
    else if (!within(s.positiveCv, 0.0, 1.0))
        *message = QStringLiteral("the positives' CV must lie in [0, 1]");
    else if (s.separation && !(*s.separation > 0.0))
        *message = QStringLiteral("the separation must be above 0");
    else if (s.logNormal && !(*s.logNormal > 0.0 && *s.logNormal <= 2.0))
        *message = QStringLiteral("the log-normal shape must lie in (0, 2]");
    else if (!within(s.flatTail, 0.0, 1.0))
        *message = QStringLiteral("the flat tail's share must lie in [0, 1]");
    else if (s.flatTailWidth && !(*s.flatTailWidth > 0.0))
        *message = QStringLiteral("the flat tail's width must be above 0");
    else if ((s.debris && *s.debris < 0) || (s.saturated && *s.saturated < 0))
        *message = QStringLiteral("debris and saturated droplets cannot be negative");
    else if (!within(s.lowerTail, 0.0, 1.0))
        *message = QStringLiteral("the lower tail's share must lie in [0, 1]");
    else if (s.lowerDepth && !(*s.lowerDepth > 0.0 && *s.lowerDepth < 1.0))
        *message = QStringLiteral("the lower tail's depth must lie in (0, 1)");
    else if ((s.plateauFrom || s.plateauTo)
             && !(s.plateauFrom && s.plateauTo && *s.plateauFrom > 0.0 && *s.plateauTo > *s.plateauFrom))
        *message = QStringLiteral("a plateau needs 0 < FROM < TO");
    else if (s.plateauHumps && *s.plateauHumps < 0)
        *message = QStringLiteral("the plateau's humps cannot be negative");
    else if (!s.levels || !levelsFault(*s.levels, message))
        return false;
    return true;
}

// Every well of a per-well table in the run, every target it names one of the run's.
template <typename Value>
bool knownWellsAndTargets(const QMap<int, QMap<QString, Value>> &perWell, const GeneratorOptions &o, QString *error)
{
    for (auto it = perWell.cbegin(); it != perWell.cend(); ++it) {
        if (it.key() < 0 || it.key() >= o.wells)
            return fail(error, QStringLiteral("well %1 is not in the run").arg(it.key() + 1));
        for (const QString &name : it.value().keys()) {
            const bool known = std::any_of(o.targets.cbegin(), o.targets.cend(),
                                           [&name](const TargetOption &t) { return t.name == name; });
            if (!known)
                return fail(error, QStringLiteral("\"%1\" is not a target of the run").arg(name));
        }
    }
    return true;
}

} // namespace

bool ShapeOptions::any() const
{
    return rain || positiveCv || separation || logNormal || flatTail || flatTailWidth || lowerTail || lowerDepth
           || lowerShelf || plateauFrom || plateauTo || plateauHumps || levels || debris || saturated;
}

ShapeOptions ShapeOptions::over(const ShapeOptions &base) const
{
    ShapeOptions s = base;
    auto take = [](auto &into, const auto &from) {
        if (from)
            into = from;
    };
    take(s.rain, rain);
    take(s.positiveCv, positiveCv);
    take(s.separation, separation);
    take(s.logNormal, logNormal);
    take(s.flatTail, flatTail);
    take(s.flatTailWidth, flatTailWidth);
    take(s.lowerTail, lowerTail);
    take(s.lowerDepth, lowerDepth);
    take(s.lowerShelf, lowerShelf);
    take(s.plateauFrom, plateauFrom);
    take(s.plateauTo, plateauTo);
    take(s.plateauHumps, plateauHumps);
    take(s.levels, levels);
    take(s.debris, debris);
    take(s.saturated, saturated);
    return s;
}

LumaraSynth::WellShape wellShapeFor(const ShapeOptions &o, double fraction, const LumaraSynth::ChipPlan &levels)
{
    // The plain levels spread uniformly by +- greySpread: a deviation of greySpread / sqrt(3).
    const double plainCv = levels.greySpread / std::sqrt(3.0);
    LumaraSynth::WellShape s;
    s.negativeMean = levels.negativeGrey;
    s.negativeSd = plainCv * levels.negativeGrey;
    s.logNormal = o.logNormal.value_or(0.0);
    s.flatTail = o.flatTail.value_or(0.0);
    s.flatTailWidth = o.flatTailWidth.value_or(s.flatTailWidth);
    s.lowerTail = o.lowerTail.value_or(0.0);
    s.lowerDepth = o.lowerDepth.value_or(s.lowerDepth);
    s.lowerShelf = o.lowerShelf.value_or(false);
    s.positiveFraction = fraction;
    s.plateauFrom = o.plateauFrom.value_or(0.0);
    s.plateauTo = o.plateauTo.value_or(0.0);
    s.plateauHumps = o.plateauHumps.value_or(0);
    if (o.levels) {
        // The levels' shares replace the target's fraction.
        s.levels = *o.levels;
        s.positiveFraction = 0.0;
        for (const LumaraSynth::WellShape::Level &level : s.levels)
            s.positiveFraction += level.share;
    }
    s.positiveMean = o.separation ? s.negativeMean + *o.separation * s.negativeSd : levels.positiveGrey;
    s.positiveCv = o.positiveCv.value_or(levels.positiveSpread < 0.0 ? plainCv : levels.positiveSpread / std::sqrt(3.0));
    s.rain = o.rain.value_or(0.0);
    s.debris = o.debris.value_or(0);
    s.debrisGrey = DebrisGrey;
    s.saturated = o.saturated.value_or(0);
    return s;
}

bool GeneratorOptions::drawsShapes() const
{
    if (shape.any())
        return true;
    for (const QMap<QString, ShapeOptions> &targets : wellShapes)
        for (const ShapeOptions &s : targets)
            if (s.any())
                return true;
    return false;
}

QList<TargetOption> GeneratorOptions::defaultTargets()
{
    return {{QStringLiteral("Target-FAM"), QStringLiteral("FAM"), 0.2},
            {QStringLiteral("Target-HEX"), QStringLiteral("HEX"), 0.35},
            {QStringLiteral("Target-CY5"), QStringLiteral("CY5"), 0.1}};
}

std::array<std::array<double, ChannelCount>, ChannelCount> crosstalkMatrix(double amount,
                                                                           const QVector<int> &channels)
{
    std::array<std::array<double, ChannelCount>, ChannelCount> m{};
    for (int i = 0; i < ChannelCount; ++i)
        m[size_t(i)][size_t(i)] = 1.0;
    for (int k : channels) {
        if (channels.contains(k + 1))
            m[size_t(k + 1)][size_t(k)] = amount;
        if (channels.contains(k - 1))
            m[size_t(k - 1)][size_t(k)] = amount / 2.0;
    }
    return m;
}

bool SynthWells::setOptions(const GeneratorOptions &o, QString *error)
{
    m_options = o;
    m_recognition.reset();
    LumaraSynth::Volume volume;
    if (!synthVolume(o.volume, &volume))
        return fail(error, QStringLiteral("the droplet volume must be 300, 600, 800 or 3000 pl"));
    if (o.wells < 1)
        return fail(error, QStringLiteral("at least one well is needed"));
    if (o.droplets < 0 || o.width < 0 || o.height < 0)
        return fail(error, QStringLiteral("droplet count and image size cannot be negative"));
    if (o.crosstalk < 0.0 || o.crosstalk > 0.5 || (o.matrixCrosstalk && !(*o.matrixCrosstalk >= 0.0 && *o.matrixCrosstalk <= 0.5)))
        return fail(error, QStringLiteral("crosstalk must lie between 0 and 0.5"));
    if (o.vignetting < 0.0 || o.vignetting >= 1.0)
        return fail(error, QStringLiteral("vignetting must lie in [0, 1)"));
    for (const TargetOption &t : o.targets)
        if (!(t.fraction >= 0.0 && t.fraction <= 1.0))
            return fail(error, QStringLiteral("the fraction of \"%1\" must lie in [0, 1]").arg(t.name));
    if (!knownWellsAndTargets(o.wellFractions, o, error))
        return false;
    for (const QMap<QString, double> &fractions : o.wellFractions)
        for (double f : fractions)
            if (!(f >= 0.0 && f <= 1.0))
                return fail(error, QStringLiteral("fractions must lie in [0, 1]"));
    for (auto it = o.wellTargets.cbegin(); it != o.wellTargets.cend(); ++it)
        if (it.key() < 0 || it.key() >= o.wells)
            return fail(error, QStringLiteral("well %1 is not in the run").arg(it.key() + 1));
    QString shapeError;
    if (shapeFault(o.shape, &shapeError))
        return fail(error, shapeError);
    if (!knownWellsAndTargets(o.wellShapes, o, error))
        return false;
    for (auto it = o.wellShapes.cbegin(); it != o.wellShapes.cend(); ++it)
        for (const ShapeOptions &shape : it.value())
            if (shapeFault(shape, &shapeError))
                return fail(error, QStringLiteral("well %1: %2").arg(it.key() + 1).arg(shapeError));
    // Positives too bright leave no room above them for debris.
    for (int w = 0; w < o.wells; ++w)
        for (const TargetOption &t : o.targets) {
            const ShapeOptions shape = o.wellShapes.value(w).value(t.name).over(o.shape);
            if (!shape.any())
                continue;
            // A run-wide plateau under a well's levels, or the other way round, would draw one
            // of them silently.
            if (shape.levels && (shape.plateauFrom || shape.plateauTo))
                return fail(error, QStringLiteral("well %1: \"%2\" cannot take both a plateau and levels")
                                       .arg(w + 1)
                                       .arg(t.name));
            if (highestPositive(wellShapeFor(shape, t.fraction, LumaraSynth::ChipPlan())) > MaxPositiveGrey)
                return fail(error, QStringLiteral("well %1: the positives of \"%2\" would lie above %3")
                                       .arg(w + 1)
                                       .arg(t.name)
                                       .arg(MaxPositiveGrey));
        }

    // Geometry: the volume's droplets, scaled when both a count and a size are asked for.
    const LumaraSynth::Geometry g = LumaraSynth::geometryFor(volume);
    double scale = 1.0;
    int width = o.width, height = o.height > 0 ? o.height : o.width;
    const double cell = g.pitch * g.pitch * RowFactor;
    if (width == 0 && o.droplets > 0) {
        width = height = int(std::ceil(std::sqrt(o.droplets * cell)));
    } else if (width == 0) {
        width = height = 512;
    } else if (o.droplets > 0) {
        scale = std::sqrt(double(width) * height / (o.droplets * cell));
    }
    width = (width + 3) / 4 * 4;
    if (o.imageSets == 2)
        height += height % 2;
    if (width > MaxSide || height > MaxSide)
        return fail(error, QStringLiteral("images larger than %1 pixels a side are refused").arg(MaxSide));
    m_width = width;
    m_height = height;
    m_pitch = g.pitch * scale;
    m_radius = g.radius * scale;
    m_radiusJitter = g.radiusJitter * scale;
    m_positionJitter = g.positionJitter * scale;
    if (m_radius < 1.5)
        return fail(error, QStringLiteral("%1 droplets do not fit a %2 x %3 image").arg(o.droplets).arg(width).arg(height));
    if (scale != 1.0 && o.storedDroplets == StoredDroplets::Recognised)
        return fail(error, QStringLiteral("droplets scaled to fit a count into a given size match none of the "
                                          "recognition's templates; store them as drawn"));
    m_expectedDroplets = int(std::lround(double(width) * height / (m_pitch * m_pitch * RowFactor)));

    RunPlan &run = m_run;
    run = RunPlan();
    run.kind = o.kind;
    run.name = QStringLiteral("Synthetic run %1").arg(o.seed);
    run.pcrVersion = o.pcrVersion;
    run.imageSets = o.imageSets;
    run.expVersion = o.expVersion;
    run.passwordEntry = o.passwordEntry;
    run.password = o.password;
    run.storeMatrix = o.matrix;
    run.fileLog = o.fileLog;
    run.reagentKit = o.reagentKit;
    run.zeroWellIds = o.zeroWellIds;
    run.fullDropletLists = o.fullDropletLists;
    run.imageFolder = o.imageFolder;
    run.volume = o.volume;
    run.seed = o.seed;
    for (const TargetOption &t : o.targets)
        run.targets.append({t.name, t.dye});
    if (o.analysisParams && !o.analysisParamsJson.isEmpty()) {
        run.analysisParams = o.analysisParamsJson;
    } else if (o.analysisParams) {
        Ravelin::Settings defaults;
        run.analysisParams = defaults.getAnalysisSettingsBuf();
    }

    // The flat field of the rendering's vignetting, one image block large, as the instrument
    // stores it with its runs.
    const cv::Mat flatField = LumaraSynth::shadingField(width, height / o.imageSets, o.vignetting);
    std::vector<uchar> tiff;
    if (!cv::imencode(".tif", flatField, tiff))
        return fail(error, QStringLiteral("cannot encode the flat field"));
    run.uniformImage = QByteArray(reinterpret_cast<const char *>(tiff.data()), int(tiff.size()));

    if (o.storedDroplets == StoredDroplets::Recognised) {
        // The parameters the program analyses the package with: its own entry, else the data
        // folder's.
        const QString data = o.dataFolder.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/')
                                                          + AnalyserAssets::dataFolder()
                                                    : o.dataFolder;
        QByteArray parameters = run.analysisParams;
        if (parameters.isEmpty()) {
            QFile defaults(QStringLiteral("%1/%2").arg(data, AnalyserAssets::generalParameterEntry()));
            if (!defaults.open(QIODevice::ReadOnly))
                return fail(error, QStringLiteral("cannot read %1").arg(defaults.fileName()));
            parameters = defaults.readAll();
        }
        auto recognition = std::make_shared<WellRecognition>();
        if (!recognition->setUp(data, o.volume, width, parameters, flatField, error))
            return false;
        m_recognition = recognition;
    }

    // The stored matrix is the rendering's crosstalk over every measured channel (or the share
    // asked for), with the negatives' levels as backgrounds.
    LumaraSynth::ChipPlan nominal;
    nominal.referenceGrey = ReferenceGrey;
    QVector<int> channels{ReferenceChannel};
    for (const TargetOption &t : o.targets)
        if (dyeChannel(t.dye) >= 0 && !channels.contains(dyeChannel(t.dye)))
            channels.append(dyeChannel(t.dye));
    m_crosstalk = crosstalkMatrix(o.crosstalk, channels);
    const auto stored = crosstalkMatrix(o.matrixCrosstalk.value_or(o.crosstalk), channels);
    run.matrix = PkgWriter::MatrixImage::identity();
    for (int r = 0; r < ChannelCount; ++r)
        for (int c = 0; c < ChannelCount; ++c)
            run.matrix.matrix[size_t(r)][size_t(c)] = stored[size_t(c)][size_t(r)];
    for (int c : qAsConst(channels)) {
        double bg = 0.0;
        for (int k : qAsConst(channels))
            bg += stored[size_t(c)][size_t(k)] * (k == ReferenceChannel ? nominal.referenceGrey : nominal.negativeGrey);
        run.matrix.background[size_t(c)] = bg;
    }

    // Let the composer check targets and dyes once, before anything is rendered.
    QList<WellSummary> summaries;
    for (int i = 0; i < o.wells; ++i)
        summaries.append(summary(i));
    Composer check;
    return check.prepare(run, summaries, error);
}

WellSummary SynthWells::summary(int index) const
{
    const QString sample = m_options.wellSamples.value(index, QStringLiteral("S%1").arg(index + 1));
    return {sample, m_options.wellTargets.value(index), m_expectedDroplets};
}

bool SynthWells::well(int index, WellPlan *out, QString *error) const
{
    const GeneratorOptions &o = m_options;
    const WellSummary s = summary(index);
    WellPlan well;
    well.sampleName = s.sampleName;
    well.targets = s.targets;

    LumaraSynth::ChipPlan chip;
    chip.width = m_width;
    chip.height = m_height;
    chip.geometry.radius = m_radius;
    chip.geometry.pitch = m_pitch;
    chip.geometry.radiusJitter = m_radiusJitter;
    chip.geometry.positionJitter = m_positionJitter;
    chip.vignetting = o.vignetting;
    // Each stored set is imaged apart, with its own vignetting.
    chip.shadingBands = o.imageSets;
    chip.referenceGrey = ReferenceGrey;
    chip.seed = o.seed * 1000003ull + quint64(index) * 7919ull + 1ull;
    chip.channelPresent.fill(false);
    chip.positiveFraction.fill(0.0);
    chip.channelPresent[ReferenceChannel] = true;
    QVector<int> measured{ReferenceChannel};
    for (const TargetOption &t : o.targets) {
        if (!s.targets.isEmpty() && !s.targets.contains(t.name))
            continue;
        const int c = dyeChannel(t.dye);
        chip.channelPresent[size_t(c)] = true;
        chip.positiveFraction[size_t(c)] = o.wellFractions.value(index).value(t.name, t.fraction);
        measured.append(c);
    }
    // Only the well's own channels leak into one another.
    chip.crosstalk = LumaraSynth::ChipPlan::identity();
    for (int c : qAsConst(measured))
        for (int k : qAsConst(measured))
            chip.crosstalk[size_t(c)][size_t(k)] = m_crosstalk[size_t(c)][size_t(k)];
    std::array<std::optional<LumaraSynth::WellShape>, ChannelCount> shapes;
    for (const TargetOption &t : o.targets) {
        const int c = dyeChannel(t.dye);
        const ShapeOptions shape = o.wellShapes.value(index).value(t.name).over(o.shape);
        if (!chip.channelPresent[size_t(c)] || !shape.any())
            continue;
        shapes[size_t(c)] = wellShapeFor(shape, chip.positiveFraction[size_t(c)], chip);
        well.shapes[size_t(c)] = shapeJson(*shapes[size_t(c)]);
        // What the shape draws positive, which levels decide instead of the fraction.
        well.drawnFraction[size_t(c)] = shapes[size_t(c)]->positiveFraction;
        chip.clipAtFullScale = chip.clipAtFullScale || shapes[size_t(c)]->saturated > 0;
    }
    if (std::any_of(shapes.cbegin(), shapes.cend(), [](const auto &shape) { return bool(shape); }))
        chip.drawLevels = [&shapes, &chip](std::vector<LumaraSynth::Droplet> &drawn) {
            drawShapes(drawn, shapes, chip.seed, chip.width, chip.height);
        };

    LumaraSynth::Chip rendered;
    try {
        rendered = LumaraSynth::makeChip(chip);
    } catch (const std::exception &e) {
        return fail(error, QStringLiteral("well %1: %2").arg(index + 1).arg(QString::fromLocal8Bit(e.what())));
    }
    for (int c : qAsConst(measured)) {
        well.images[size_t(c)] = toQImage(rendered.images[size_t(c)]);
        if (!shapes[size_t(c)])
            well.drawnFraction[size_t(c)] = c == ReferenceChannel ? 1.0 : chip.positiveFraction[size_t(c)];
    }
    well.drawnDroplets = int(rendered.droplets.size());
    if (o.storedDroplets == StoredDroplets::Drawn) {
        well.droplets.reserve(rendered.droplets.size());
        for (const LumaraSynth::Droplet &d : rendered.droplets) {
            DropletPlan drop;
            drop.x = d.x;
            drop.y = d.y;
            drop.radius = d.radius;
            drop.positive = d.positive;
            drop.drawnAs = kindsOf(d);
            well.droplets.push_back(drop);
        }
        measureGreys(well, o.imageSets == 2, MeasureFraction);
        well.sharpness = WellRecognition::sharpness(well.images[ReferenceChannel], o.imageSets);
    } else {
        const WellRecognition::Found found = m_recognition->recognise(well.images, o.imageSets);
        well.valid = found.valid;
        well.sharpness = found.sharpness;
        well.saturated = found.saturated;
        well.droplets = recognisedDroplets(found.droplets, rendered.droplets, m_pitch, m_radius);
    }
    *out = std::move(well);
    return true;
}

bool generatePackage(const GeneratorOptions &options, const QString &path, RunTruth *truth, QString *error)
{
    GeneratorOptions o = options;
    if (!kindForPath(path, &o.kind))
        return fail(error, QStringLiteral("the file name must end in .imrs or .expzip"));
    SynthWells wells;
    if (!wells.setOptions(o, error))
        return false;
    return writeArchive(wells.runPlan(), wells, path, truth, error);
}

} // namespace MkPackage
