#pragma once
// Writers of the entries an instrument run archive holds, and of zip archives made of them.
// The structs are plain: every field the stored layout has is here, in stream order, so test
// data can set fields the program ignores and craft damaged entries.
#include <QByteArray>
#include <QChar>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace PkgWriter {

// ---- Shared parts ------------------------------------------------------------------------------

struct MethodStep {
    double rampRate = 5.0;
    double temperature = 0.0;
    double deltaTemperature = 0.0;
    double gradient = 0.0;
    qint32 holdTime = 60;
    qint32 deltaTime = 0;
    double extraValue = 0.0;
    qint32 extraInt = 0;
    bool collect = false;
    qint32 mode = 0;
};

struct MethodStage {
    qint32 type = 0;
    qint32 cycles = 0;
    QList<MethodStep> steps;
};

// A target as the instrument names it: by dye number.
struct TargetEntry {
    QString name;
    QString note;
    qint32 dye = 0;
};

struct SampleEntry {
    QString name;
    QString note;
};

// The common header of typed entries: type, version, three null strings, write time.
QByteArray entryHeader(qint32 fileType, qint32 version, qint64 writeTime = 0);

// ---- run.exp of .expzip archives (little-endian, behind a 128-byte magic area) ------------------

struct Exp1Well {
    QStringList targetNames;
    QString sampleName;
    QString text;
    qint32 drpltVolume = 800;
    qint32 drpltSum = 20000;
};

struct Exp1Record {
    QString name;
    QString comment;
    qint32 blocksType = 0;
    qint32 expType = 0;
    qint32 reagentsType = 0;
    bool flag = false;
    QList<TargetEntry> targets;
    QList<SampleEntry> samples;
    QList<Exp1Well> wells; // entry k is grid position k
    // The method block, itself a little-endian stream.
    QByteArray methodPreamble = QByteArray(128, '\0'); // padded or cut to 128 bytes
    double methodValue = 150.0;
    bool methodFlag = true;
    qint32 methodInt = 1;
    QList<MethodStage> stages;
    // When set, stored as the method block instead of the fields above.
    bool useRawMethodBlock = false;
    QByteArray rawMethodBlock;
};

// The bytes of the method block of `r` (its raw block when that is set).
QByteArray exp1MethodBlock(const Exp1Record &r);
// The record alone, little-endian.
QByteArray exp1Record(const Exp1Record &r);
// The 128-byte magic area: `text`, a NUL, then `tail`, padded with NULs or cut to 128 bytes.
QByteArray exp1MagicArea(const QByteArray &text = QByteArrayLiteral("PCRExperiment"),
                         const QByteArray &tail = QByteArray());
// The whole entry: magic area, then the record.
QByteArray exp1Entry(const Exp1Record &r, const QByteArray &magicArea = exp1MagicArea());

// ---- run.exp of .imrs archives (big-endian, behind the common header) --------------------------

struct Exp3Triple {
    QChar code;
    double first = 0.0;
    double second = 0.0;
};

struct Exp3Well {
    QString prefix;
    qint32 plateIndex = 0;
    qint32 drpltVolume = 0;
    qint32 drpltSum = 0;
    QStringList targetNames;
    QString sampleName;
    QList<Exp3Triple> triples;
    QString text;
};

struct Exp3Record {
    QString name;
    QString comment;
    qint32 blocksType = 0;
    qint32 dropletWorkType = 0; // written by layout 1 only
    qint32 expType = 0;
    qint32 reagentsType = 0;
    bool flag = false;
    qint32 flagInt = 0;
    QList<TargetEntry> targets;
    QList<SampleEntry> samples;
    QList<Exp3Well> wells; // entry k is grid position k
    double methodValue = 0.0;
    bool methodFlag = false;
    qint32 methodInt = 0;
    QList<MethodStage> stages;
};

// The record alone in `layout` (1: four type integers, 0: three).
QByteArray exp3Record(const Exp3Record &r, int layout);
// Header {fileType, version} then the record in layout `version`.
QByteArray exp3Entry(const Exp3Record &r, qint32 version, qint32 fileType = 1);

// ---- run.exp of saved packages (the program's configuration body) -----------------------------

struct ConfigWell {
    quint32 id = 0;
    QString position;
    QString name;
    QString prefix;
    qint32 plateIndex = 0;
    QString text;
    qint32 drpltVolume = 0;
    qint32 drpltSum = 0;
    QList<quint32> channels;
    QString sampleName;
};

struct ConfigBody {
    QString name;
    qint32 blocksType = 0;
    qint32 expType = 0;
    qint32 dropletWorkType = 0; // written by the four-integer form only
    qint32 reagentsType = 0;
    QList<QPair<QString, QString>> targets; // name, fluorophore
    QStringList samples;
    QList<ConfigWell> wells;
    double methodValue = 0.0;
    QList<MethodStage> stages;
    QString comment;
};

QByteArray configBody(const ConfigBody &b, bool fourIntegers);
QByteArray configEntry(const ConfigBody &b, qint32 version, bool fourIntegers, qint32 fileType = 1);

// ---- Archives ----------------------------------------------------------------------------------

// The unencrypted "password" entry: an integer, then seven strings, the second the password.
QByteArray passwordEntry(const QString &password);

// Adds one deflated entry to the archive at zipPath (created when missing), encrypted with the
// Latin-1 bytes of `password` unless it is empty. False when the archive cannot be written.
bool addEntry(const QString &zipPath, const QString &entryName, const QByteArray &data,
              const QString &password = QString());

} // namespace PkgWriter
