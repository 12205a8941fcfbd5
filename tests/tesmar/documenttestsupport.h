#pragma once
// Helpers for document tests: generated run archives, the whole content of the open document
// for comparison, and archives with one entry damaged.
#include "generator.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/customizedplotmgr.h"
#include "model/devparasmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "model/filelogmgr.h"
#include "pcranalysisdocument.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtTest>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <quazipnewinfo.h>

#include <cstring>
#include <functional>

namespace DocTest {

// A small run: 64 x 48 droplet images make a package in a few milliseconds.
inline MkPackage::GeneratorOptions smallRun(int wells = 2, quint64 seed = 1)
{
    MkPackage::GeneratorOptions o;
    o.wells = wells;
    o.width = 64;
    o.height = 48;
    o.seed = seed;
    // Too small for the recognition: the droplets as drawn.
    o.storedDroplets = MkPackage::StoredDroplets::Drawn;
    return o;
}

inline bool generate(const MkPackage::GeneratorOptions &o, const QString &path)
{
    QString error;
    const bool ok = MkPackage::generatePackage(o, path, nullptr, &error);
    if (!ok)
        qWarning() << "generatePackage:" << error;
    return ok;
}

// ---- Whole document content ---------------------------------------------------------------

struct Snapshot {
    LumaraAnalysisData::ExperimentInfo experiment;
    LumaraAnalysisData::DevParasInfoOfWells devParas;
    QByteArray matrix;
    bool matrixApplied = false;
    FileLogMgr::Log counters{};
    LumaraAnalysisData::ThresholdMode mode = LumaraAnalysisData::LineThreshold;
    LumaraAnalysisData::AnalysisExpGlobalInfo experiments;
    QList<LumaraAnalysisData::WellImageAnalysisInfo> imageInfos;
    LumaraAnalysisData::CustomizedPlotGlobalInfo plots;
    LumaraAnalysisData::ClassifyGlobalInfo classification;
    QList<LumaraAnalysisData::WellClassifyInfoByLine> lineWells;
    QList<LumaraAnalysisData::WellClassifyInfoByPolygon> polygonWells;
    QList<LumaraAnalysisData::WellResultInfo> results;
    QVector<uint> zoneCombination;
    QList<WellDrpltImgInfo<QImage>> images;
};

inline Snapshot snapshot(PcrAnalysisDocument *doc)
{
    Snapshot s;
    s.experiment = doc->getExperimentCfgMgr()->getExp();
    s.devParas = doc->getDevParasMgr()->getDevParas();
    s.matrix = doc->getCompensationMatrixMgr()->getMatrixBuf();
    s.matrixApplied = doc->getCompensationMatrixMgr()->isApplied();
    s.counters = doc->getFileLogMgr()->getLog();
    AnalysisDataMgr *data = doc->getAnalysisDataMgr();
    s.mode = data->getThldType();
    s.experiments = data->getAnalysisExpMgr()->getAnalysisExpGlobalInfo();
    s.imageInfos = data->getDrpltImgInfoMgr()->getWellImgAnalysisInfos();
    s.plots = data->getCustomizedPlotMgr()->getCustomizedPlotGlobalInfo();
    s.classification = data->getDrpltClassifyMgr()->getClassifyGlobalInfo();
    s.lineWells = data->getDrpltClassifyMgr()->getClassifyInfosOfWellsByLine();
    s.polygonWells = data->getDrpltClassifyMgr()->getClassifyInfosOfWellsByPolygon();
    s.results = data->getAnalysisRetMgr()->getWellResults();
    s.zoneCombination = data->getDrpltClassifyMgr()->getZoneCombinationOfChan();
    s.images = data->getAnalysisExpMgr()->getWellDrpltImgInfos();
    return s;
}

inline bool sameImages(const QList<WellDrpltImgInfo<QImage>> &a, const QList<WellDrpltImgInfo<QImage>> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].wellId != b[i].wellId || a[i].refChanId != b[i].refChanId || a[i].images.size() != b[i].images.size())
            return false;
        for (int c = 0; c < a[i].images.size(); ++c) {
            const QImage &x = a[i].images[c];
            const QImage &y = b[i].images[c];
            // Decoded images compare by pixels whatever their stride.
            if (x.isNull() != y.isNull() || x.size() != y.size() || x.format() != y.format())
                return false;
            const size_t rowBytes = size_t(x.width()) * size_t(x.depth()) / 8;
            for (int r = 0; r < x.height(); ++r)
                if (std::memcmp(x.constScanLine(r), y.constScanLine(r), rowBytes) != 0)
                    return false;
        }
    }
    return true;
}

// Names the first part that differs; empty when the two agree.
inline QString difference(const Snapshot &a, const Snapshot &b, bool withImages = true)
{
    if (!(a.experiment == b.experiment))
        return QStringLiteral("experiment configuration");
    if (!(a.devParas == b.devParas))
        return QStringLiteral("device parameters");
    if (a.matrix != b.matrix || a.matrixApplied != b.matrixApplied)
        return QStringLiteral("compensation matrix");
    if (a.counters != b.counters)
        return QStringLiteral("counters");
    if (a.mode != b.mode)
        return QStringLiteral("threshold mode");
    if (!(a.experiments == b.experiments))
        return QStringLiteral("wells and experiments");
    if (!(a.imageInfos == b.imageInfos))
        return QStringLiteral("image-analysis records");
    if (!(a.plots == b.plots))
        return QStringLiteral("plots");
    if (!(a.classification == b.classification))
        return QStringLiteral("zones and populations");
    // Packages keep the per-well list of the current mode only.
    if (a.mode == LumaraAnalysisData::LineThreshold ? !(a.lineWells == b.lineWells) : !(a.polygonWells == b.polygonWells))
        return QStringLiteral("per-well classification");
    if (!(a.results == b.results))
        return QStringLiteral("results");
    // Not stored; made on opening in line mode.
    if (a.mode == LumaraAnalysisData::LineThreshold && a.zoneCombination != b.zoneCombination)
        return QStringLiteral("zone combination");
    if (withImages && !sameImages(a.images, b.images))
        return QStringLiteral("images");
    return QString();
}

// ---- Archives -----------------------------------------------------------------------------

inline QStringList entryNames(const QString &zipPath)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip))
        return {};
    return zip.getFileNameList();
}

// The decrypted content of an entry; `ok` false when it does not read whole and intact.
inline QByteArray entryData(const QString &zipPath, const QString &entry, const QString &password, bool *ok = nullptr)
{
    QuaZipFile f(zipPath, entry, QuaZip::csSensitive);
    const QByteArray pw = password.toLatin1();
    bool opened = f.open(QIODevice::ReadOnly, nullptr, nullptr, false, password.isEmpty() ? nullptr : pw.constData());
    QByteArray bytes = opened ? f.readAll() : QByteArray();
    if (opened)
        f.close();
    if (ok)
        *ok = opened && f.getZipError() == UNZ_OK;
    return bytes;
}

inline bool isEncrypted(const QString &zipPath, const QString &entry)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(entry, QuaZip::csSensitive))
        return false;
    QuaZipFileInfo64 info;
    return zip.getCurrentFileInfo(&info) && (info.flags & 1);
}

// Copies every entry (decrypted, then encrypted again as it was) into a new archive, the
// content of `entry` passed through `change` on the way (a null result leaves it out), and
// stored without compression when `storeChanged` is set.
inline bool rewriteEntry(const QString &from, const QString &to, const QString &entry,
                         const std::function<QByteArray(const QByteArray &)> &change,
                         const QString &password, bool storeChanged = false)
{
    QuaZip out(to);
    if (!out.open(QuaZip::mdCreate))
        return false;
    const QByteArray pw = password.toLatin1();
    bool ok = true;
    for (const QString &name : entryNames(from)) {
        const bool encrypted = isEncrypted(from, name);
        bool read = false;
        QByteArray bytes = entryData(from, name, encrypted ? password : QString(), &read);
        ok = ok && read;
        if (name == entry) {
            bytes = change(bytes);
            if (bytes.isNull()) // dropped
                continue;
        }
        QuaZipFile f(&out);
        const int method = storeChanged && name == entry ? 0 : 8; // 0: stored as it is
        ok = ok && f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), encrypted ? pw.constData() : nullptr, 0, method);
        ok = ok && f.write(bytes) == bytes.size();
        f.close();
        ok = ok && f.getZipError() == ZIP_OK;
    }
    out.close();
    return ok && out.getZipError() == ZIP_OK;
}

// Flips one byte in the middle of the entry's stored (compressed, maybe encrypted) data, so
// the archive stays a valid zip but the entry no longer inflates or matches its checksum.
inline bool flipStoredByte(const QString &zipPath, const QString &entry)
{
    qint64 compressed = 0;
    {
        QuaZip zip(zipPath);
        if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(entry, QuaZip::csSensitive))
            return false;
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info))
            return false;
        compressed = qint64(info.compressedSize);
    }
    QFile f(zipPath);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = f.readAll();
    const QByteArray name = entry.toUtf8();
    // The local header: signature, 26 bytes of fields (name and extra lengths last), the name.
    for (int at = bytes.indexOf(name); at >= 30; at = bytes.indexOf(name, at + 1)) {
        const int header = at - 30;
        if (bytes.mid(header, 4) != QByteArray("PK\x03\x04", 4))
            continue;
        const auto u16 = [&](int i) { return int(uchar(bytes[i])) | int(uchar(bytes[i + 1])) << 8; };
        if (u16(header + 26) != name.size())
            continue;
        const qint64 data = at + name.size() + u16(header + 28);
        const qint64 target = data + compressed / 2;
        bytes[int(target)] = char(bytes[int(target)] ^ 0x5a);
        f.seek(0);
        return f.write(bytes) == bytes.size();
    }
    return false;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The typed entries every save writes last, in this order.
inline QStringList typedEntries()
{
    return {QStringLiteral("run.pcr"), QStringLiteral("run.exp"), QStringLiteral("run.dps"),
            QStringLiteral("run.cmtx"), QStringLiteral("fileMgrLog")};
}

} // namespace DocTest
