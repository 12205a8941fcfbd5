#include "settingsfileparser.h"

#include <QFile>
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
struct FieldKey {
    const char *key;
    double AnalysisSettings::*real;
    qint32 AnalysisSettings::*whole;
    bool AnalysisSettings::*flag;
    bool optional; // written to files only when the last read held it
};

// The keys in field order.
const FieldKey kFields[] = {
    {"PreRecogThreshold", &AnalysisSettings::PreRecogThreshold, nullptr, nullptr, false},
    {"MeanGreyvalueRadius", nullptr, &AnalysisSettings::MeanGreyvalueRadius, nullptr, false},
    {"DiscreteRectLength", nullptr, &AnalysisSettings::DiscreteRectLength, nullptr, false},
    {"DiscreteCountThreshold", nullptr, &AnalysisSettings::DiscreteCountThreshold, nullptr, false},
    {"StandardDeviationThld", nullptr, &AnalysisSettings::StandardDeviationThld, nullptr, false},
    {"SaveResultThld", &AnalysisSettings::SaveResultThld, nullptr, nullptr, false},
    {"RandomShuffle", nullptr, nullptr, &AnalysisSettings::RandomShuffle, false},
    {"BrightestNumber", nullptr, &AnalysisSettings::BrightestNumber, nullptr, false},
    {"BrightestSimilarity", &AnalysisSettings::BrightestSimilarity, nullptr, nullptr, false},
    {"GreyValueMaskSize", nullptr, &AnalysisSettings::GreyValueMaskSize, nullptr, false},
    {"BackgroundUniformAdjustType", nullptr, &AnalysisSettings::BackgroundUniformAdjustType, nullptr, false},
    {"DrpltGyslAdjustType", nullptr, &AnalysisSettings::DrpltGyslAdjustType, nullptr, false},
    {"ChannelUsed4DrpltGyslAdjust", nullptr, &AnalysisSettings::ChannelUsed4DrpltGyslAdjust, nullptr, false},
    {"CrosstalkAdjustType", nullptr, &AnalysisSettings::CrosstalkAdjustType, nullptr, false},
    {"RecogExcludeStddevNum", nullptr, &AnalysisSettings::RecogExcludeStddevNum, nullptr, false},
    {"StdDevInfluenceCoefficient", &AnalysisSettings::StdDevInfluenceCoefficient, nullptr, nullptr, false},
    {"DispersionCorrection", nullptr, &AnalysisSettings::DispersionCorrection, nullptr, false},
    {"SaturatedPixelNum", nullptr, &AnalysisSettings::SaturatedPixelNum, nullptr, false},
    {"RemovedMaxMinNum", nullptr, &AnalysisSettings::RemovedMaxMinNum, nullptr, true},
    {"MedianFilter", nullptr, &AnalysisSettings::MedianFilter, nullptr, true},
    {"MLFeatureType", nullptr, &AnalysisSettings::MLFeatureType, nullptr, true},
};

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
        if (f.real)
            s.*f.real = v.toDouble(0.0);
        else if (f.whole)
            s.*f.whole = wholeValue(v);
        else
            s.*f.flag = v.isBool() && v.toBool();
    }
    if (out)
        *out = s;
    return true;
}

} // namespace Ravelin
