#pragma once
// The current analysis parameters of one analyser, with their JSON load and export.
#include "analysissettings.h"
#include "ravelin_global.h"

#include <QByteArray>
#include <QString>

namespace Ravelin {

class SettingsPrivate;

class RAVELIN_EXPORT Settings {
public:
    Settings();
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    AnalysisSettings getAnalysisSettings() const;
    void setAnalysisSettings(const AnalysisSettings &settings);

    // Loads change only the keys the document holds; a failure keeps the record.
    bool loadAnalysisSettingsFile(const QString &path);
    bool loadAnalysisSettingsBuf(const QByteArray &json);
    bool exportAnalysisSettingsFile(const QString &path);
    QByteArray getAnalysisSettingsBuf();

    // The text of the last failure; later successes leave it in place.
    QString getError() const;

private:
    AnalysisSettings m_settings;
    SettingsPrivate *d;
};

} // namespace Ravelin
