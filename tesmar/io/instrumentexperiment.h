#pragma once
// The instrument's own experiment record as run archives store it in "run.exp", its two
// layouts, the instrument's dye tables and the conversion into the document's ExperimentInfo.
#include "io/recordstream.h"
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QDataStream>
#include <QStringList>

namespace LumaraAnalysisData {

// ---- Dye tables ------------------------------------------------------------------------------

struct DyeTableRow {
    qint32 dye;
    const char *name;
    int channel; // 1..6, 0 for none
};

enum class InstrumentFormat { Format1, Format3 };

TESMAR_EXPORT const QVector<DyeTableRow> &dyeTable(InstrumentFormat format);
// Channel of a dye number (first row with that number); 0 when the table has none.
TESMAR_EXPORT int dyeChannel(InstrumentFormat format, qint32 dye);
// Dye name of a dye number; empty when the table has none.
TESMAR_EXPORT QString dyeName(InstrumentFormat format, qint32 dye);

// ---- Record entries --------------------------------------------------------------------------

struct InstrumentTargetEntry {
    QString name;
    QString note; // not used
    qint32 dye = 0;
};

struct InstrumentSampleEntry {
    QString name;
    QString note; // not used
};

// Format-1 well. The two integers are stored after the text.
struct InstrumentWellEntry1 {
    qint32 drpltVolume = 800;
    qint32 drpltSum = 20000;
    QStringList targetNames;
    QString sampleName;
    QString text;
};

struct InstrumentWellTriple {
    QChar code;
    double first = 0.0;
    double second = 0.0;
};

// Format-3 well.
struct InstrumentWellEntry3 {
    QString prefix;
    qint32 plateIndex = 0;
    qint32 drpltVolume = 0;
    qint32 drpltSum = 0;
    QStringList targetNames;
    QString sampleName;
    QList<InstrumentWellTriple> triples; // not used
    QString text;
};

struct InstrumentExperiment1 {
    QString name;
    QString comment;
    qint32 blocksType = 0;
    qint32 expType = 0;
    qint32 reagentsType = 0;
    bool flag = false; // not used
    QList<InstrumentTargetEntry> targets;
    QList<InstrumentSampleEntry> samples;
    QVector<InstrumentWellEntry1> wells; // entry k: grid position k
    // Decoded from the method block; the three scalars are not used.
    double methodValue = 150.0;
    bool methodFlag = true;
    qint32 methodInt = 1;
    QList<MethodStageInfo> stages;
};

struct InstrumentExperiment3 {
    QString name;
    QString comment;
    qint32 blocksType = 0;
    qint32 dropletWorkType = 0; // layout 1 only
    qint32 expType = 0;
    qint32 reagentsType = 0;
    bool flag = false;    // not used
    qint32 flagInt = 0;   // not used
    QList<InstrumentTargetEntry> targets;
    QList<InstrumentSampleEntry> samples;
    QVector<InstrumentWellEntry3> wells; // entry k: grid position k
    double methodValue = 0.0; // not used
    bool methodFlag = false;  // not used
    qint32 methodInt = 0;     // not used
    QList<MethodStageInfo> stages;
};

// ---- Stream forms ----------------------------------------------------------------------------

TESMAR_EXPORT bool readRecord(QDataStream &ds, InstrumentTargetEntry &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, InstrumentSampleEntry &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, InstrumentWellEntry1 &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, InstrumentWellTriple &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, InstrumentWellEntry3 &v);

template <>
struct StreamMinBytes<InstrumentTargetEntry> {
    static constexpr int value = 12;
};
template <>
struct StreamMinBytes<InstrumentSampleEntry> {
    static constexpr int value = 8;
};
template <>
struct StreamMinBytes<InstrumentWellEntry1> {
    static constexpr int value = 20;
};
template <>
struct StreamMinBytes<InstrumentWellTriple> {
    static constexpr int value = 18;
};
template <>
struct StreamMinBytes<InstrumentWellEntry3> {
    static constexpr int value = 32;
};

// Reads the format-1 record from the stream (the caller sets its byte order). The method block
// is decoded as a little-endian stream of its own: an error inside it leaves the stage list as
// far as it could be read and does not touch the status of `ds`.
TESMAR_EXPORT bool readInstrumentExperiment1(QDataStream &ds, InstrumentExperiment1 &out);
// Decodes the bytes of a format-1 method block into `out`.
TESMAR_EXPORT void decodeMethodBlock1(const QByteArray &block, InstrumentExperiment1 &out);
// Reads the format-3 record; layout 1 carries four type integers, layout 0 three.
TESMAR_EXPORT bool readInstrumentExperiment3(QDataStream &ds, InstrumentExperiment3 &out, int layout);

// ---- Conversion ------------------------------------------------------------------------------

// Layout index of an instrument grid position: the instrument fills each column of eight in
// the order of rows 0, 2, 4, 6, 1, 3, 5, 7.
TESMAR_EXPORT int interleavedLayoutIndex(int gridPosition);
// "%1%2": column number from 1, then the row letter.
TESMAR_EXPORT QString layoutPositionText(int layoutIndex);

TESMAR_EXPORT ExperimentInfo convertInstrumentExperiment(const InstrumentExperiment1 &record);
// `version` is the entry version: 1 for layout 1, otherwise layout 0.
TESMAR_EXPORT ExperimentInfo convertInstrumentExperiment(const InstrumentExperiment3 &record, int version);

} // namespace LumaraAnalysisData
