#pragma once
// Stream forms of the data-model records. Containers are a 32-bit count followed by the
// elements. Readers keep Qt's status rules (an earlier error survives the call, a failed
// element empties the container) but never trust a stored count for memory: reservation is
// bounded by what the device can still deliver.
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QDataStream>
#include <QIODevice>
#include <algorithm>
#include <utility>

namespace LumaraAnalysisData {

// ---- Status keeping and bounded reservation ------------------------------------------------

class StreamStatusKeeper {
public:
    explicit StreamStatusKeeper(QDataStream &ds) : m_ds(ds), m_old(ds.status())
    {
        if (!ds.device() || !ds.device()->isTransactionStarted())
            ds.resetStatus();
    }
    ~StreamStatusKeeper()
    {
        if (m_old != QDataStream::Ok) {
            m_ds.resetStatus();
            m_ds.setStatus(m_old);
        }
    }
    StreamStatusKeeper(const StreamStatusKeeper &) = delete;
    StreamStatusKeeper &operator=(const StreamStatusKeeper &) = delete;

private:
    QDataStream &m_ds;
    QDataStream::Status m_old;
};

// How many elements it is worth reserving for a stored count: never more than the bytes left
// on the device could hold, and never more than a fixed cap.
TESMAR_EXPORT int boundedReservation(const QDataStream &ds, quint32 count, int minElementBytes);

template <typename T>
struct StreamMinBytes {
    static constexpr int value = 4;
};
template <>
struct StreamMinBytes<bool> {
    static constexpr int value = 1;
};
template <>
struct StreamMinBytes<double> {
    static constexpr int value = 8;
};

// ---- Primitive elements --------------------------------------------------------------------

inline void writeRecord(QDataStream &ds, quint32 v) { ds << v; }
inline void writeRecord(QDataStream &ds, qint32 v) { ds << v; }
inline void writeRecord(QDataStream &ds, double v) { ds << v; }
inline void writeRecord(QDataStream &ds, bool v) { ds << v; }
inline void writeRecord(QDataStream &ds, const QString &v) { ds << v; }
inline bool readRecord(QDataStream &ds, quint32 &v) { ds >> v; return ds.status() == QDataStream::Ok; }
inline bool readRecord(QDataStream &ds, qint32 &v) { ds >> v; return ds.status() == QDataStream::Ok; }
inline bool readRecord(QDataStream &ds, double &v) { ds >> v; return ds.status() == QDataStream::Ok; }
inline bool readRecord(QDataStream &ds, bool &v) { ds >> v; return ds.status() == QDataStream::Ok; }
inline bool readRecord(QDataStream &ds, QString &v) { ds >> v; return ds.status() == QDataStream::Ok; }

template <typename A, typename B>
void writeRecord(QDataStream &ds, const QPair<A, B> &p)
{
    writeRecord(ds, p.first);
    writeRecord(ds, p.second);
}
template <typename A, typename B>
bool readRecord(QDataStream &ds, QPair<A, B> &p)
{
    readRecord(ds, p.first);
    return readRecord(ds, p.second);
}
template <typename A, typename B>
struct StreamMinBytes<QPair<A, B>> {
    static constexpr int value = StreamMinBytes<A>::value + StreamMinBytes<B>::value;
};

// Enumerations travel as signed 32-bit integers.
template <typename E, typename = std::enable_if_t<std::is_enum<E>::value>>
void writeRecord(QDataStream &ds, E e)
{
    ds << qint32(e);
}
template <typename E, typename = std::enable_if_t<std::is_enum<E>::value>>
bool readRecord(QDataStream &ds, E &e)
{
    qint32 v = 0;
    ds >> v;
    e = E(v);
    return ds.status() == QDataStream::Ok;
}

// ---- Containers ----------------------------------------------------------------------------

template <typename C>
void writeContainer(QDataStream &ds, const C &c)
{
    ds << quint32(c.size());
    for (const auto &e : c)
        writeRecord(ds, e);
}

template <typename T>
void writeContainer(QDataStream &ds, const QSet<T> &c)
{
    ds << quint32(c.size());
    for (const auto &e : c)
        writeRecord(ds, e);
}

// Keys in descending order, as the stored form has it.
template <typename K, typename V>
void writeContainer(QDataStream &ds, const QMap<K, V> &m)
{
    ds << quint32(m.size());
    for (auto it = m.constEnd(); it != m.constBegin();) {
        --it;
        writeRecord(ds, it.key());
        writeContainer(ds, it.value());
    }
}

namespace detail {
template <typename T>
void addElement(QVector<T> &c, T &&e) { c.append(std::move(e)); }
template <typename T>
void addElement(QList<T> &c, T &&e) { c.append(std::move(e)); }
template <typename T>
void addElement(QSet<T> &c, T &&e) { c.insert(std::move(e)); }
template <typename T>
void reserveFor(QVector<T> &c, int n) { c.reserve(n); }
template <typename T>
void reserveFor(QList<T> &c, int n) { c.reserve(n); }
template <typename T>
void reserveFor(QSet<T> &c, int n) { c.reserve(n); }
} // namespace detail

// Generic shared reader: count, then elements read by `readElement(ds, element)`.
template <typename C, typename T, typename ReadElement>
bool readContainerWith(QDataStream &ds, C &out, ReadElement readElement, int minElementBytes)
{
    StreamStatusKeeper keep(ds);
    out.clear();
    quint32 n = 0;
    ds >> n;
    if (ds.status() != QDataStream::Ok)
        return false;
    detail::reserveFor(out, boundedReservation(ds, n, minElementBytes));
    for (quint32 i = 0; i < n; ++i) {
        T e{};
        readElement(ds, e);
        if (ds.status() != QDataStream::Ok) {
            out.clear();
            return false;
        }
        detail::addElement(out, std::move(e));
    }
    return true;
}

template <typename T>
bool readContainer(QDataStream &ds, QVector<T> &out)
{
    return readContainerWith<QVector<T>, T>(
        ds, out, [](QDataStream &s, T &e) { readRecord(s, e); }, StreamMinBytes<T>::value);
}
template <typename T>
bool readContainer(QDataStream &ds, QList<T> &out)
{
    return readContainerWith<QList<T>, T>(
        ds, out, [](QDataStream &s, T &e) { readRecord(s, e); }, StreamMinBytes<T>::value);
}
template <typename T>
bool readContainer(QDataStream &ds, QSet<T> &out)
{
    return readContainerWith<QSet<T>, T>(
        ds, out, [](QDataStream &s, T &e) { readRecord(s, e); }, StreamMinBytes<T>::value);
}

// QMap of key to vector: the key, then the vector; each pair inserted.
template <typename K, typename V>
bool readContainer(QDataStream &ds, QMap<K, QVector<V>> &out)
{
    StreamStatusKeeper keep(ds);
    out.clear();
    quint32 n = 0;
    ds >> n;
    if (ds.status() != QDataStream::Ok)
        return false;
    for (quint32 i = 0; i < n; ++i) {
        K key{};
        QVector<V> value;
        readRecord(ds, key);
        readContainer(ds, value);
        if (ds.status() != QDataStream::Ok) {
            out.clear();
            return false;
        }
        out.insert(key, value);
    }
    return true;
}

// ---- Records -------------------------------------------------------------------------------

// A polygon is read element by element too: its count is as untrusted as any other.
TESMAR_EXPORT void writeRecord(QDataStream &ds, const QPolygonF &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, QPolygonF &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const MethodStepInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, MethodStepInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const MethodStageInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, MethodStageInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const MethodInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, MethodInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const TargetInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, TargetInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const SampleInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, SampleInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const WellInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, WellInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const ExperimentInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ExperimentInfo &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const WellItemInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, WellItemInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const ExpItemInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ExpItemInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const AnalysisExpGlobalInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, AnalysisExpGlobalInfo &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const DrpltInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, DrpltInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const ChanAnalysisInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ChanAnalysisInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const WellImageAnalysisInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, WellImageAnalysisInfo &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const DrpltZoneInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, DrpltZoneInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const PopulationsInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, PopulationsInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const ClassifyGlobalInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ClassifyGlobalInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const ZoneDrpltNumInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ZoneDrpltNumInfo &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const Customized2DPlotInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, Customized2DPlotInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const Customized3DPlotInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, Customized3DPlotInfo &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const ChanResultInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ChanResultInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const PopulationResultInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, PopulationResultInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const WellResultInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, WellResultInfo &v);

TESMAR_EXPORT void writeRecord(QDataStream &ds, const ScanningParameterInfo &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, ScanningParameterInfo &v);
TESMAR_EXPORT void writeRecord(QDataStream &ds, const DevParasInfoOfWells &v);
TESMAR_EXPORT bool readRecord(QDataStream &ds, DevParasInfoOfWells &v);

template <typename T>
void writeRecord(QDataStream &ds, const ThresholdInfo<T> &v)
{
    ds << v.id;
    writeRecord(ds, v.value);
}
template <typename T>
bool readRecord(QDataStream &ds, ThresholdInfo<T> &v)
{
    ds >> v.id;
    return readRecord(ds, v.value);
}
template <typename T>
void writeRecord(QDataStream &ds, const WellClassifyInfo<T> &v)
{
    ds << v.wellId;
    writeContainer(ds, v.thlds);
    writeContainer(ds, v.zoneDrpltNums);
}
template <typename T>
bool readRecord(QDataStream &ds, WellClassifyInfo<T> &v)
{
    ds >> v.wellId;
    readContainer(ds, v.thlds);
    readContainer(ds, v.zoneDrpltNums);
    return ds.status() == QDataStream::Ok;
}

// Element sizes for reservation (lower bounds of the stored size).
template <typename T>
struct StreamMinBytes<ThresholdInfo<T>> {
    static constexpr int value = 8;
};
template <>
struct StreamMinBytes<ZoneDrpltNumInfo> {
    static constexpr int value = 8;
};
template <>
struct StreamMinBytes<ScanningParameterInfo> {
    static constexpr int value = 12;
};
template <>
struct StreamMinBytes<DrpltInfo> {
    static constexpr int value = 28;
};
template <>
struct StreamMinBytes<MethodStepInfo> {
    static constexpr int value = 53;
};

} // namespace LumaraAnalysisData
