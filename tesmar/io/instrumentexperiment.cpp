#include "instrumentexperiment.h"
#include "model/experimentcfgmgr.h"

#include <algorithm>

namespace LumaraAnalysisData {

namespace {

bool ok(const QDataStream &ds) { return ds.status() == QDataStream::Ok; }

// Bytes at the start of the method block that carry nothing for the document.
constexpr int MethodBlockPreamble = 128;

} // namespace

// ---- Dye tables ------------------------------------------------------------------------------

const QVector<DyeTableRow> &dyeTable(InstrumentFormat format)
{
    static const QVector<DyeTableRow> format1 = {
        {0, "", 0},        {1, "FAM", 1},   {2, "EvaGreen", 1}, {3, "HEX", 2},
        {4, "VIC", 2},     {5, "CY5", 4},   {6, "Q670", 4},     {7, "CY5.5", 5},
        {8, "Quasar705", 5}, {9, "CY3", 6}, {10, "ROX", 3},
    };
    // The newer instrument inserted ROX after VIC and added one dye at the end.
    static const QVector<DyeTableRow> format3 = {
        {0, "", 0},       {1, "FAM", 1},    {2, "EvaGreen", 1},  {3, "HEX", 2},
        {4, "VIC", 2},    {5, "ROX", 3},    {6, "CY5", 4},       {7, "Q670", 4},
        {8, "CY5.5", 5},  {9, "Quasar705", 5}, {10, "CY3", 6},   {11, "Atto 425", 6},
    };
    return format == InstrumentFormat::Format1 ? format1 : format3;
}

static const DyeTableRow *findDye(InstrumentFormat format, qint32 dye)
{
    for (const DyeTableRow &row : dyeTable(format))
        if (row.dye == dye)
            return &row;
    return nullptr;
}

int dyeChannel(InstrumentFormat format, qint32 dye)
{
    const DyeTableRow *row = findDye(format, dye);
    return row ? row->channel : 0;
}

QString dyeName(InstrumentFormat format, qint32 dye)
{
    const DyeTableRow *row = findDye(format, dye);
    return row ? QString::fromLatin1(row->name) : QString();
}

// ---- Stream forms ----------------------------------------------------------------------------

bool readRecord(QDataStream &ds, InstrumentTargetEntry &v)
{
    ds >> v.name >> v.note >> v.dye;
    return ok(ds);
}

bool readRecord(QDataStream &ds, InstrumentSampleEntry &v)
{
    ds >> v.name >> v.note;
    return ok(ds);
}

bool readRecord(QDataStream &ds, InstrumentWellEntry1 &v)
{
    readContainer(ds, v.targetNames);
    ds >> v.sampleName >> v.text >> v.drpltVolume >> v.drpltSum;
    return ok(ds);
}

bool readRecord(QDataStream &ds, InstrumentWellTriple &v)
{
    ds >> v.code >> v.first >> v.second;
    return ok(ds);
}

bool readRecord(QDataStream &ds, InstrumentWellEntry3 &v)
{
    ds >> v.prefix >> v.plateIndex >> v.drpltVolume >> v.drpltSum;
    readContainer(ds, v.targetNames);
    ds >> v.sampleName;
    readContainer(ds, v.triples);
    ds >> v.text;
    return ok(ds);
}

void decodeMethodBlock1(const QByteArray &block, InstrumentExperiment1 &out)
{
    out.stages.clear();
    QDataStream ms(block);
    ms.setByteOrder(QDataStream::LittleEndian);
    if (ms.skipRawData(MethodBlockPreamble) != MethodBlockPreamble)
        return;
    double value = 0.0;
    bool flag = false;
    qint32 number = 0;
    ms >> value >> flag >> number;
    if (!ok(ms))
        return;
    out.methodValue = value;
    out.methodFlag = flag;
    out.methodInt = number;
    // Emptied at the first bad element; the entry itself is not failed by it.
    readContainer(ms, out.stages);
}

bool readInstrumentExperiment1(QDataStream &ds, InstrumentExperiment1 &out)
{
    ds >> out.name >> out.comment >> out.blocksType >> out.expType >> out.reagentsType >> out.flag;
    readContainer(ds, out.targets);
    readContainer(ds, out.samples);
    readContainer(ds, out.wells);
    QByteArray methodBlock;
    ds >> methodBlock;
    if (!ok(ds))
        return false;
    decodeMethodBlock1(methodBlock, out);
    return true;
}

bool readInstrumentExperiment3(QDataStream &ds, InstrumentExperiment3 &out, int layout)
{
    ds >> out.name >> out.comment;
    if (layout == 1)
        ds >> out.blocksType >> out.dropletWorkType >> out.expType >> out.reagentsType;
    else
        ds >> out.blocksType >> out.expType >> out.reagentsType;
    ds >> out.flag >> out.flagInt;
    readContainer(ds, out.targets);
    readContainer(ds, out.samples);
    readContainer(ds, out.wells);
    ds >> out.methodValue >> out.methodFlag >> out.methodInt;
    readContainer(ds, out.stages);
    return ok(ds);
}

// ---- Conversion ------------------------------------------------------------------------------

int interleavedLayoutIndex(int k)
{
    return 8 * (k / 8) + 2 * (k % 4) + (k % 8) / 4;
}

QString layoutPositionText(int layoutIndex)
{
    return QStringLiteral("%1%2")
        .arg(layoutIndex / 8 + 1)
        .arg(QChar(QLatin1Char('A').unicode() + layoutIndex % 8));
}

namespace {

void convertTargets(const QList<InstrumentTargetEntry> &entries, InstrumentFormat format,
                    ExperimentInfo &exp)
{
    for (const InstrumentTargetEntry &t : entries) {
        const int channel = dyeChannel(format, t.dye);
        if (channel < 1 || channel > PerChannel)
            continue;
        // A later target on the same channel replaces the earlier one.
        exp.targets[channel - 1].name = t.name;
        exp.targets[channel - 1].fluorophore = dyeName(format, t.dye);
    }
}

void convertSamples(const QList<InstrumentSampleEntry> &entries, ExperimentInfo &exp)
{
    for (const InstrumentSampleEntry &s : entries) {
        const bool known = std::any_of(exp.samples.cbegin(), exp.samples.cend(),
                                       [&](const SampleInfo &e) { return e.name == s.name; });
        if (!known)
            exp.samples.append(SampleInfo{s.name});
    }
}

QList<quint32> targetIndices(const QStringList &names, const QVector<TargetInfo> &targets)
{
    QList<quint32> indices;
    for (const QString &name : names) {
        for (int i = 0; i < targets.size(); ++i) {
            if (targets.at(i).name == name) {
                indices.append(quint32(i));
                break;
            }
        }
    }
    return indices;
}

void convertMethod(const QList<MethodStageInfo> &stages, ExperimentInfo &exp)
{
    exp.method.value = 0.0;
    for (MethodStageInfo stage : stages) {
        switch (stage.type) {
        case 0:
        case 1:
            break;
        case 2:
            stage.type = 3;
            break;
        default:
            stage.type = 2;
            break;
        }
        exp.method.stages.append(stage);
    }
}

// The used wells of a record (target names and a sample name), ordered by layout index.
// `fill` completes the fields that differ between the formats.
template <typename Entry, typename Fill>
void convertWells(const QVector<Entry> &entries, bool interleaved, ExperimentInfo &exp, Fill fill)
{
    QVector<QPair<int, int>> used; // layout index, grid position
    for (int k = 0; k < entries.size(); ++k) {
        const Entry &e = entries.at(k);
        if (e.targetNames.isEmpty() || e.sampleName.isEmpty())
            continue;
        used.append(qMakePair(interleaved ? interleavedLayoutIndex(k) : k, k));
    }
    std::sort(used.begin(), used.end());

    const ExperimentCfgMgr naming;
    quint32 id = 0;
    for (const auto &u : qAsConst(used)) {
        const Entry &e = entries.at(u.second);
        WellInfo w;
        w.id = ++id;
        w.position = layoutPositionText(u.first);
        w.comment = e.text;
        w.channels = targetIndices(e.targetNames, exp.targets);
        w.sampleName = e.sampleName;
        fill(e, w);
        w.name = naming.generateWellName(w.prefix, w.position, w.sampleName);
        exp.wells.append(w);
    }
}

} // namespace

ExperimentInfo convertInstrumentExperiment(const InstrumentExperiment1 &record)
{
    ExperimentInfo exp;
    exp.name = record.name;
    exp.comment = record.comment;
    exp.blocksType = BlocksType(record.blocksType);
    exp.expType = ExperimentType(record.expType);
    exp.dropletWorkType = DropletWorkType(0);
    exp.reagentsType = ReagentsType(record.reagentsType);
    convertTargets(record.targets, InstrumentFormat::Format1, exp);
    convertSamples(record.samples, exp);
    convertWells(record.wells, true, exp, [](const InstrumentWellEntry1 &e, WellInfo &w) {
        w.plateIndex = 0;
        w.drpltVolume = e.drpltVolume;
        w.drpltSum = e.drpltSum;
    });
    convertMethod(record.stages, exp);
    return exp;
}

ExperimentInfo convertInstrumentExperiment(const InstrumentExperiment3 &record, int version)
{
    const bool layout1 = version == 1;
    ExperimentInfo exp;
    exp.name = record.name;
    exp.comment = record.comment;
    exp.blocksType = BlocksType(record.blocksType);
    exp.expType = ExperimentType(record.expType);
    exp.dropletWorkType = DropletWorkType(layout1 ? record.dropletWorkType : 0);
    exp.reagentsType = ReagentsType(record.reagentsType);
    convertTargets(record.targets, InstrumentFormat::Format3, exp);
    convertSamples(record.samples, exp);
    convertWells(record.wells, !layout1, exp, [](const InstrumentWellEntry3 &e, WellInfo &w) {
        w.prefix = e.prefix;
        w.plateIndex = e.plateIndex;
        w.drpltVolume = e.drpltVolume;
        w.drpltSum = e.drpltSum;
    });
    convertMethod(record.stages, exp);
    return exp;
}

} // namespace LumaraAnalysisData
