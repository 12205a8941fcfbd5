#pragma once
// Helpers for the run-archive reader tests: generated runs together with the records the
// generator stored for each well, fresh managers to read into, and crafted archives.
#include "generator.h"

#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/filelogmgr.h"

#include <QBuffer>
#include <QLoggingCategory>
#include <QImage>
#include <QString>
#include <QVector>

#include <memory>

namespace RunArchiveTest {

// A generated run: what was written, and per well the rendered well and its stored records.
struct Run {
    MkPackage::RunPlan plan;
    MkPackage::RunTruth truth;
    QVector<MkPackage::WellPlan> wells;
    QVector<MkPackage::ComposedWell> composed;
};

// The synthetic wells with hand-excluded droplets added.
class ExcludingWells : public MkPackage::WellSource {
public:
    ExcludingWells(const MkPackage::WellSource &base, QList<quint32> excluded)
        : m_base(base), m_excluded(std::move(excluded))
    {
    }
    int wellCount() const override { return m_base.wellCount(); }
    MkPackage::WellSummary summary(int index) const override { return m_base.summary(index); }
    bool well(int index, MkPackage::WellPlan *out, QString *error) const override
    {
        if (!m_base.well(index, out, error))
            return false;
        for (quint32 e : m_excluded)
            if (e < quint32(out->droplets.size()))
                out->excluded.append(e);
        return true;
    }

private:
    const MkPackage::WellSource &m_base;
    QList<quint32> m_excluded;
};

inline bool generateRun(MkPackage::GeneratorOptions options, const QString &path, const QList<quint32> &excluded,
                        Run *run, QString *error)
{
    if (!MkPackage::kindForPath(path, &options.kind))
        return false;
    MkPackage::SynthWells synth;
    if (!synth.setOptions(options, error))
        return false;
    const ExcludingWells source(synth, excluded);
    run->plan = synth.runPlan();
    if (!MkPackage::writeArchive(run->plan, source, path, &run->truth, error))
        return false;
    // The stored records again, from the same deterministic wells.
    QList<MkPackage::WellSummary> summaries;
    for (int i = 0; i < source.wellCount(); ++i)
        summaries.append(source.summary(i));
    MkPackage::Composer composer;
    if (!composer.prepare(run->plan, summaries, error))
        return false;
    for (int i = 0; i < source.wellCount(); ++i) {
        MkPackage::WellPlan well;
        MkPackage::ComposedWell composed;
        if (!source.well(i, &well, error) || !composer.composeWell(well, i, &composed, error))
            return false;
        run->wells.append(well);
        run->composed.append(composed);
    }
    return true;
}

// A fresh analysis state as a parser set holds it.
struct Managers {
    FileLogMgr log;
    std::unique_ptr<AnalysisDataMgr> data{new AnalysisDataMgr(&log)};
    AnalysisDataMgr *slot = data.get();

    AnalysisExperimentMgr *exp() const { return data->getAnalysisExpMgr(); }
    DrpltImgInfoMgr *img() const { return data->getDrpltImgInfoMgr(); }
    DrpltClassifyMgr *classify() const { return data->getDrpltClassifyMgr(); }
    AnalysisResultMgr *results() const { return data->getAnalysisRetMgr(); }

    // The wells' image records, once they have decoded: an open hands them over still decoding.
    int imageRecords() const { return exp()->getWellDrpltImgInfos().size(); }

    bool untouched() const
    {
        return exp()->getAnalysisExpGlobalInfo().wells.isEmpty() &&
               exp()->getAnalysisExpGlobalInfo().experiments.isEmpty() && exp()->getWellDrpltImgInfos().isEmpty() &&
               img()->getWellImgAnalysisInfos().isEmpty() && classify()->getZones().isEmpty() &&
               classify()->getPopulations().isEmpty() && classify()->getClassifyInfosOfWellsByLine().isEmpty() &&
               results()->getWellResults().isEmpty();
    }
    // Every per-well list holds the same wells.
    bool consistent() const
    {
        const int n = exp()->getAnalysisExpGlobalInfo().wells.size();
        return exp()->getWellDrpltImgInfos().size() == n && img()->getWellImgAnalysisInfos().size() == n &&
               classify()->getClassifyInfosOfWellsByLine().size() == n && results()->getWellResults().size() == n;
    }
};

// The count of droplets in the zone whose mask is `mask`, by the manager's zone codes.
inline quint32 zoneCount(const Managers &m, quint32 wellId, quint32 mask)
{
    const QVector<LumaraAnalysisData::DrpltZoneInfo> &zones = m.classify()->getZones();
    for (const LumaraAnalysisData::WellClassifyInfoByLine &w : m.classify()->getClassifyInfosOfWellsByLine()) {
        if (w.wellId != wellId)
            continue;
        for (const LumaraAnalysisData::ZoneDrpltNumInfo &z : w.zoneDrpltNums)
            if (int(z.zoneId) < zones.size() && zones.at(int(z.zoneId)).code == mask)
                return z.drpltNum;
    }
    return 0;
}

// Pixel-exact comparison of two grey images of any depth.
inline bool sameGrey16(const QImage &a, const QImage &b)
{
    if (a.isNull() || b.isNull() || a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_Grayscale16);
    const QImage y = b.convertToFormat(QImage::Format_Grayscale16);
    for (int r = 0; r < x.height(); ++r)
        if (memcmp(x.constScanLine(r), y.constScanLine(r), size_t(x.width()) * 2) != 0)
            return false;
    return true;
}

// The upper byte of every pixel of a 16-bit image, as two-set archives store it.
inline bool isUpperByteOf(const QImage &eightBit, const QImage &sixteen)
{
    if (eightBit.format() != QImage::Format_Grayscale8 || sixteen.format() != QImage::Format_Grayscale16 ||
        eightBit.size() != sixteen.size())
        return false;
    for (int r = 0; r < sixteen.height(); ++r) {
        const auto *s = reinterpret_cast<const quint16 *>(sixteen.constScanLine(r));
        const uchar *e = eightBit.constScanLine(r);
        for (int x = 0; x < sixteen.width(); ++x)
            if (e[x] != uchar(s[x] >> 8))
                return false;
    }
    return true;
}

// A small grey image with a recognisable ramp.
inline QImage rampImage(int w, int h, int seed, QImage::Format format)
{
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = (seed * 37 + x * 11 + y * 23) & 0xff;
            if (format == QImage::Format_Grayscale16)
                reinterpret_cast<quint16 *>(img.scanLine(y))[x] = quint16(v * 257);
            else
                img.scanLine(y)[x] = uchar(v);
        }
    return img;
}

inline QByteArray pngBytes(const QImage &img)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return out;
}

inline QVector<quint32> u32(std::initializer_list<quint32> v)
{
    return QVector<quint32>(v);
}

// Sweeps read thousands of entries: their debug lines are of no interest.
class QuietDebug {
public:
    QuietDebug() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }
    ~QuietDebug() { QLoggingCategory::setFilterRules(QString()); }
};

// The cut lengths of `entry` that a fresh parser on the archive at `path` accepted, or that
// left its managers touched: none should.
template <typename Parser>
QList<int> acceptedCuts(const QString &path, const QByteArray &entry)
{
    QuietDebug quiet;
    QList<int> accepted;
    for (int cut = 0; cut < entry.size(); ++cut) {
        Managers m;
        Parser parser(path, &m.slot);
        QBuffer buf;
        buf.setData(entry.left(cut));
        buf.open(QIODevice::ReadOnly);
        if (parser.readHeader(&buf) || !m.untouched())
            accepted.append(cut);
    }
    return accepted;
}

// Reads `entry` with each byte from `from` on flipped in its lowest and its highest bit. A
// refused entry must leave the managers untouched, an accepted one consistent; returns the
// positions where that failed and counts the accepted reads.
template <typename Parser>
QList<int> brokenFlips(const QString &path, const QByteArray &entry, int from, int *accepted)
{
    QuietDebug quiet;
    QList<int> broken;
    *accepted = 0;
    for (int pos = from; pos < entry.size(); ++pos) {
        for (const char bit : {char(0x01), char(0x80)}) {
            QByteArray flipped = entry;
            flipped[pos] = char(flipped[pos] ^ bit);
            Managers m;
            Parser parser(path, &m.slot);
            QBuffer buf(&flipped);
            buf.open(QIODevice::ReadOnly);
            const bool ok = parser.readHeader(&buf);
            *accepted += ok ? 1 : 0;
            if (ok ? !m.consistent() : !m.untouched())
                broken.append(pos);
        }
    }
    return broken;
}

} // namespace RunArchiveTest
