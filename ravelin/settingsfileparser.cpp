#include "settingsfileparser.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace Ravelin {

namespace {

// One field of the record with its JSON key; exactly one of the member pointers is set.
// Numbers outside [low, high] are never used: the field takes its default instead.
struct FieldKey {
    const char *key;
    double AnalysisSettings::*real;
    qint32 AnalysisSettings::*whole;
    bool AnalysisSettings::*flag;
    bool optional; // written to files only when the last read held it
    double low;
    double high;
};

constexpr double Unbounded = 0.0; // for the flag, which has no range

// The keys in field order. The ranges hold every value the analysis handles soundly: scores
// and fractions within 0..1, sides of masks and windows within an image, strategies and
// switches among the values that name one, counts far above any droplet image's.
const FieldKey kFields[] = {
    {"PreRecogThreshold", &AnalysisSettings::PreRecogThreshold, nullptr, nullptr, false, 0.0, 1.0},
    {"MeanGreyvalueRadius", nullptr, &AnalysisSettings::MeanGreyvalueRadius, nullptr, false, 0, 255},
    {"DiscreteRectLength", nullptr, &AnalysisSettings::DiscreteRectLength, nullptr, false, 1, 16384},
    {"DiscreteCountThreshold", nullptr, &AnalysisSettings::DiscreteCountThreshold, nullptr, false, 0, 1000000},
    {"StandardDeviationThld", nullptr, &AnalysisSettings::StandardDeviationThld, nullptr, false, 0, 1000},
    {"SaveResultThld", &AnalysisSettings::SaveResultThld, nullptr, nullptr, false, 0.0, 1.0},
    {"RandomShuffle", nullptr, nullptr, &AnalysisSettings::RandomShuffle, false, Unbounded, Unbounded},
    {"BrightestNumber", nullptr, &AnalysisSettings::BrightestNumber, nullptr, false, 0, 1000000},
    {"BrightestSimilarity", &AnalysisSettings::BrightestSimilarity, nullptr, nullptr, false, 0.0, 1.0},
    {"GreyValueMaskSize", nullptr, &AnalysisSettings::GreyValueMaskSize, nullptr, false, 1, 255},
    {"BackgroundUniformAdjustType", nullptr, &AnalysisSettings::BackgroundUniformAdjustType, nullptr, false, 0, 2},
    {"DrpltGyslAdjustType", nullptr, &AnalysisSettings::DrpltGyslAdjustType, nullptr, false, 0, 2},
    {"ChannelUsed4DrpltGyslAdjust", nullptr, &AnalysisSettings::ChannelUsed4DrpltGyslAdjust, nullptr, false, 0, 6},
    {"CrosstalkAdjustType", nullptr, &AnalysisSettings::CrosstalkAdjustType, nullptr, false, 0, 2},
    {"RecogExcludeStddevNum", nullptr, &AnalysisSettings::RecogExcludeStddevNum, nullptr, false, 0, 1000},
    {"StdDevInfluenceCoefficient", &AnalysisSettings::StdDevInfluenceCoefficient, nullptr, nullptr, false, 0.0,
     1000.0},
    {"DispersionCorrection", nullptr, &AnalysisSettings::DispersionCorrection, nullptr, false, 0, 1},
    {"SaturatedPixelNum", nullptr, &AnalysisSettings::SaturatedPixelNum, nullptr, false, 0, 1000000},
    {"RemovedMaxMinNum", nullptr, &AnalysisSettings::RemovedMaxMinNum, nullptr, true, 0, 65535},
    {"MedianFilter", nullptr, &AnalysisSettings::MedianFilter, nullptr, true, 0, 1},
    {"MLFeatureType", nullptr, &AnalysisSettings::MLFeatureType, nullptr, true, 0, 1},
};

bool inRange(const FieldKey &f, double value)
{
    return std::isfinite(value) && value >= f.low && value <= f.high;
}

const char kGeneral[] = "General";

// A whole number that fits an int; anything else (fractions, strings, huge values) reads 0.
qint32 wholeValue(const QJsonValue &v)
{
    if (!v.isDouble())
        return 0;
    const double x = v.toDouble();
    if (!(x >= double(std::numeric_limits<qint32>::min()) && x <= double(std::numeric_limits<qint32>::max())))
        return 0;
    if (std::trunc(x) != x)
        return 0;
    return qint32(x);
}

QJsonObject toObject(const AnalysisSettings &s, const QMap<QString, bool> *presence)
{
    QJsonObject general;
    for (const FieldKey &f : kFields) {
        const QString key = QLatin1String(f.key);
        if (presence && f.optional && !presence->value(key, false))
            continue;
        if (f.real)
            general.insert(key, s.*f.real);
        else if (f.whole)
            general.insert(key, s.*f.whole);
        else
            general.insert(key, s.*f.flag);
    }
    QJsonObject top;
    top.insert(QLatin1String(kGeneral), general);
    return top;
}

} // namespace

SettingsFileParser::SettingsFileParser() = default;
SettingsFileParser::SettingsFileParser(const SettingsFileParser &other) = default;
SettingsFileParser::SettingsFileParser(SettingsFileParser &&other) noexcept = default;
SettingsFileParser &SettingsFileParser::operator=(const SettingsFileParser &other) = default;
SettingsFileParser &SettingsFileParser::operator=(SettingsFileParser &&other) noexcept = default;
SettingsFileParser::~SettingsFileParser() = default;

bool SettingsFileParser::Read(const QString &path, AnalysisSettings *out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = tr("Failed to open file in ReadOnly mode.");
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    return doRead(bytes, out);
}

bool SettingsFileParser::Read(const QByteArray &json, AnalysisSettings *out)
{
    return doRead(json, out);
}

QByteArray SettingsFileParser::ReadToByte(AnalysisSettings *in)
{
    const AnalysisSettings s = in ? *in : AnalysisSettings();
    return QJsonDocument(toObject(s, nullptr)).toJson(QJsonDocument::Compact);
}

bool SettingsFileParser::Write(const QString &path, AnalysisSettings *in)
{
    const AnalysisSettings s = in ? *in : AnalysisSettings();
    const QByteArray text = QJsonDocument(toObject(s, &keyPresence)).toJson(QJsonDocument::Indented);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
        error = tr("Failed to open file in WriteOnly mode.");
        return false;
    }
    QTextStream ts(&file);
    ts.setCodec("UTF-8");
    ts << QString::fromUtf8(text);
    ts.flush();
    // A full disk must not pass for a written file.
    const bool written = ts.status() == QTextStream::Ok && file.error() == QFileDevice::NoError;
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        error = tr("Failed to write file.");
        return false;
    }
    return true;
}

QString SettingsFileParser::GetError() const
{
    return error;
}

bool SettingsFileParser::doRead(const QByteArray &json, AnalysisSettings *out)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = tr("QJsonParseError:%1").arg(int(parseError.error));
        return false;
    }
    // Anything but {"General": {...}} counts as a document without keys.
    const QJsonObject general = doc.object().value(QLatin1String(kGeneral)).toObject();
    AnalysisSettings s = out ? *out : AnalysisSettings();
    for (const FieldKey &f : kFields) {
        const QString key = QLatin1String(f.key);
        const auto it = general.constFind(key);
        const bool present = it != general.constEnd();
        if (f.optional)
            keyPresence.insert(key, present);
        if (!present)
            continue;
        const QJsonValue v = it.value();
        if (f.flag) {
            s.*f.flag = v.isBool() && v.toBool();
            continue;
        }
        // A number outside the range is never used. Anything else converts as it always did
        // (a fraction for a whole-number field, text, null: 0), and 0 must be in range too.
        double value = 0.0;
        if (v.isDouble()) {
            value = v.toDouble();
            if (inRange(f, value) && f.whole)
                value = double(wholeValue(v));
        }
        if (!inRange(f, value)) {
            const AnalysisSettings defaults;
            const double fallback = f.real ? defaults.*f.real : double(defaults.*f.whole);
            qWarning().noquote() << QStringLiteral("Analysis parameter %1 = %2 is outside %3..%4; its default %5 is used.")
                                        .arg(key, QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)))
                                        .arg(f.low)
                                        .arg(f.high)
                                        .arg(fallback);
            if (f.real)
                s.*f.real = defaults.*f.real;
            else
                s.*f.whole = defaults.*f.whole;
            continue;
        }
        if (f.real)
            s.*f.real = value;
        else
            s.*f.whole = qint32(value);
    }
    if (out)
        *out = s;
    return true;
}

} // namespace Ravelin
