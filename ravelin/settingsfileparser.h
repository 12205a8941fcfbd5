#pragma once
// Conversion of the analysis parameters to and from their JSON form ({"General": {...}}).
#include "analysissettings.h"
#include "ravelin_global.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QMap>
#include <QString>

namespace Ravelin {

class RAVELIN_EXPORT SettingsFileParser {
    Q_DECLARE_TR_FUNCTIONS(Ravelin::SettingsFileParser)

public:
    SettingsFileParser();
    SettingsFileParser(const SettingsFileParser &other);
    SettingsFileParser(SettingsFileParser &&other) noexcept;
    SettingsFileParser &operator=(const SettingsFileParser &other);
    SettingsFileParser &operator=(SettingsFileParser &&other) noexcept;
    ~SettingsFileParser();

    // Reads a parameter file; keys absent from it leave their fields as they were.
    bool Read(const QString &path, AnalysisSettings *out);
    bool Read(const QByteArray &json, AnalysisSettings *out);
    // Compact form with all keys.
    QByteArray ReadToByte(AnalysisSettings *in);
    // Indented form; the optional keys only when the last read held them.
    bool Write(const QString &path, AnalysisSettings *in);
    QString GetError() const;

private:
    bool doRead(const QByteArray &json, AnalysisSettings *out);

    QMap<QString, bool> keyPresence;
    QString error;
};

} // namespace Ravelin
