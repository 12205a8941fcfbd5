#pragma once
// Names built from what users type (well, sample, target and population names), made fit for
// a target that refuses some characters and bounds the length: workbook sheets and the files
// of an export. Both replace what the target refuses and keep every name given unique.
#include <QSet>
#include <QString>

#include <functional>

class CleanName {
public:
    // Each character of forbidden, and with controls every control character, becomes "_".
    static QString replaced(QString name, const QString &forbidden, bool controls);

    // fit(base, suffix) is the candidate made of base, shortened where the target needs it,
    // and suffix. The first candidate has no suffix; while one is taken (compared ignoring
    // case) the next has " (2)", " (3)", ... . The one returned joins used, lower-cased.
    using Fit = std::function<QString(const QString &base, const QString &suffix)>;
    static QString unique(const QString &base, QSet<QString> &used, const Fit &fit);

    // A file name of base and extension (".png") that every file system takes: each of
    // / \ : * ? " < > | and the control characters to "_", "_" for an empty base, at most
    // MaxFileNameBytes in UTF-8; unique among used (ignoring case, as some file systems do).
    static QString fileName(const QString &base, const QString &extension, QSet<QString> &used);
    static constexpr int MaxFileNameBytes = 255;
};
