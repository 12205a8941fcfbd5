#include "settings.h"

#include "settingsfileparser.h"

namespace Ravelin {

class SettingsPrivate {
public:
    QString error;
    SettingsFileParser parser;
};

Settings::Settings() : d(new SettingsPrivate) {}

Settings::~Settings()
{
    delete d;
}

AnalysisSettings Settings::getAnalysisSettings() const
{
    return m_settings;
}

void Settings::setAnalysisSettings(const AnalysisSettings &settings)
{
    m_settings = settings;
}

bool Settings::loadAnalysisSettingsFile(const QString &path)
{
    const bool ok = d->parser.Read(path, &m_settings);
    if (!ok)
        d->error = d->parser.GetError();
    return ok;
}

bool Settings::loadAnalysisSettingsBuf(const QByteArray &json)
{
    const bool ok = d->parser.Read(json, &m_settings);
    if (!ok)
        d->error = d->parser.GetError();
    return ok;
}

bool Settings::exportAnalysisSettingsFile(const QString &path)
{
    const bool ok = d->parser.Write(path, &m_settings);
    if (!ok)
        d->error = d->parser.GetError();
    return ok;
}

QByteArray Settings::getAnalysisSettingsBuf()
{
    return d->parser.ReadToByte(&m_settings);
}

QString Settings::getError() const
{
    return d->error;
}

} // namespace Ravelin
