#pragma once
// The analysis data of the instrument's run archives ("run.pcr" of .imrs and .expzip) as they
// are stored, and their stream readers. Internal to the run-archive readers: nothing here
// reaches the document's managers unchanged, but for the channel results both readers give.
#include "io/recordstream.h"
#include "model/lumaraanalysisdata.h"

#include <QDataStream>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// ---- Generation 3 (.imrs) --------------------------------------------------------------------

namespace LumetAnalysis3 {

// List 1. Layout 3.0 stores one set of names; it is held as a list of one set so that both
// layouts look alike.
struct WellAnalysisExpInfo {
    qint32 wellId = 0;
    qint32 refChannel = 0; // 0-based
    QVector<QVector<QString>> imageNames;
};

// One droplet of list 2 after conversion: the three integers and the four lists the document
// keeps (lists 2 to 4 indexed by channel; lists 3 and 4 only matter at the six channels). The
// stored lists are int32; they are held with the same bits as the u32 the document records use.
struct DropletEntry {
    quint32 x = 0;
    quint32 y = 0;
    quint32 size = 0;
    QVector<quint32> flags;  // list 1
    QVector<quint32> values; // list 2
    std::array<quint32, 6> raw{};  // list 3
    std::array<quint32, 6> comp{}; // list 4
};

// List 2 as kept in memory (the stored per-channel lists of the record are read and dropped).
struct WellImageAnalysisInfo {
    qint32 wellId = 0;
    bool valid = false;
    double sharpness = 0.0;
    qint32 counter = 0;
    QVector<DropletEntry> droplets;
};

struct PairEntry {
    QVector<qint32> first; // its first value is the channel's line value
    QVector<qint32> second;
};

// List 3.
struct WellClassifyInfo {
    qint32 wellId = 0;
    double roxValue = 0.0;
    qint32 roxChannel = 0;
    QSet<quint32> excludedDrplts;
    QVector<PairEntry> pairs;                    // by channel index
    QVector<std::array<double, 6>> chanFigures;  // by channel index
};

struct TargetResultInfo {
    QString targetName;
    double fraction = 0.0;
    qint32 posDrpltNum = 0;
    qint32 negDrpltNum = 0;
    double concentration = 0.0;
    double concentrationLower = 0.0;
    double concentrationUpper = 0.0;
    double uncertainty = 0.0;
    bool flag = false;
};

// List 4: one record per well of the archive.
struct WellTargetResultInfo {
    qint32 wellId = 0;
    QString first;
    QString second;
    qint32 effDrpltNum = 0;
    QVector<TargetResultInfo> results;
};

// Readers keep the status rules of the shared record readers.
bool readExpInfo(QDataStream &ds, WellAnalysisExpInfo &v, int layout);
bool readRecord(QDataStream &ds, PairEntry &v);
bool readRecord(QDataStream &ds, WellClassifyInfo &v);
bool readRecord(QDataStream &ds, TargetResultInfo &v);
bool readRecord(QDataStream &ds, WellTargetResultInfo &v);

} // namespace LumetAnalysis3

// ---- Generation 1 (.expzip) ------------------------------------------------------------------

namespace LumetAnalysis1 {

struct Pcr1ChanEntry {
    quint32 targetIndex = 0; // position in the experiment's channel list
    quint32 lineThld = 0;
};

struct Pcr1DrpltRecord {
    quint32 x = 0;
    quint32 y = 0;
    quint32 size = 0;
    QVector<quint32> values; // not used
    QVector<quint32> grays;  // one per channel entry
    quint32 refGray = 0;
};

struct Pcr1ChanStat {
    quint32 posDrpltNum = 0;
    std::array<double, 6> values{}; // the second is the concentration
};

struct Pcr1WellRecord {
    quint32 number = 0; // not used: wells are numbered by position
    QVector<QString> imageNames;
    bool valid = false;
    QVector<Pcr1ChanEntry> chanEntries;
    QVector<Pcr1DrpltRecord> drplts;
    QSet<quint32> excludedDrplts;
    QVector<quint32> values; // not used
    std::array<quint32, 4> counts{}; // the fourth is the effective droplet number
    double value = 0.0;              // not used
    QVector<Pcr1ChanStat> chanStats;

    quint32 effDrpltNum() const { return counts[3]; }
};

bool readRecord(QDataStream &ds, Pcr1ChanEntry &v);
bool readRecord(QDataStream &ds, Pcr1DrpltRecord &v);
bool readRecord(QDataStream &ds, Pcr1ChanStat &v);
bool readRecord(QDataStream &ds, Pcr1WellRecord &v);

} // namespace LumetAnalysis1

namespace LumaraAnalysisData {
template <>
struct StreamMinBytes<LumetAnalysis3::WellAnalysisExpInfo> {
    static constexpr int value = 12;
};
template <>
struct StreamMinBytes<LumetAnalysis3::PairEntry> {
    static constexpr int value = 8;
};
template <>
struct StreamMinBytes<LumetAnalysis3::WellClassifyInfo> {
    static constexpr int value = 28;
};
template <>
struct StreamMinBytes<LumetAnalysis3::TargetResultInfo> {
    static constexpr int value = 53;
};
template <>
struct StreamMinBytes<LumetAnalysis3::WellTargetResultInfo> {
    static constexpr int value = 20;
};
template <>
struct StreamMinBytes<LumetAnalysis3::WellImageAnalysisInfo> {
    static constexpr int value = 25;
};
template <>
struct StreamMinBytes<LumetAnalysis3::DropletEntry> {
    static constexpr int value = 40;
};
template <>
struct StreamMinBytes<std::array<double, 6>> {
    static constexpr int value = 48;
};
template <>
struct StreamMinBytes<LumetAnalysis1::Pcr1ChanEntry> {
    static constexpr int value = 8;
};
template <>
struct StreamMinBytes<LumetAnalysis1::Pcr1DrpltRecord> {
    static constexpr int value = 24;
};
template <>
struct StreamMinBytes<LumetAnalysis1::Pcr1ChanStat> {
    static constexpr int value = 52;
};
template <>
struct StreamMinBytes<LumetAnalysis1::Pcr1WellRecord> {
    static constexpr int value = 53;
};
} // namespace LumaraAnalysisData

namespace RunArchive {

constexpr quint16 UnknownChanType = 85; // 'U'

// Neither generation stores per-channel results: channels 1 to 6, of unknown type, no
// reference concentration, undiluted.
inline void setUnknownChannelResults(LumaraAnalysisData::WellResultInfo &result)
{
    for (int c = 0; c < result.chanResults.size(); ++c) {
        LumaraAnalysisData::ChanResultInfo &chan = result.chanResults[c];
        chan.chanId = quint32(c + 1);
        chan.chanType = UnknownChanType;
        chan.refConcentration = 0.0;
        chan.dilution = 1.0;
    }
}

} // namespace RunArchive
