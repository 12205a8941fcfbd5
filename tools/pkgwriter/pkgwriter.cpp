#include "pkgwriter.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>
#include <zlib.h>

namespace PkgWriter {

namespace {

// A stream over a growing byte array with the stream defaults and the given byte order.
class Writer {
public:
    explicit Writer(QDataStream::ByteOrder order = QDataStream::BigEndian)
        : m_ds(&m_bytes, QIODevice::WriteOnly)
    {
        m_ds.setByteOrder(order);
    }
    QDataStream &ds() { return m_ds; }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    QDataStream m_ds;
};

void putStrings(QDataStream &ds, const QStringList &list)
{
    ds << quint32(list.size());
    for (const QString &s : list)
        ds << s;
}

void putStages(QDataStream &ds, const QList<MethodStage> &stages)
{
    ds << quint32(stages.size());
    for (const MethodStage &stage : stages) {
        ds << stage.type << stage.cycles << quint32(stage.steps.size());
        for (const MethodStep &s : stage.steps)
            ds << s.rampRate << s.temperature << s.deltaTemperature << s.gradient << s.holdTime
               << s.deltaTime << s.extraValue << s.extraInt << s.collect << s.mode;
    }
}

void putTargets(QDataStream &ds, const QList<TargetEntry> &targets)
{
    ds << quint32(targets.size());
    for (const TargetEntry &t : targets)
        ds << t.name << t.note << t.dye;
}

void putSamples(QDataStream &ds, const QList<SampleEntry> &samples)
{
    ds << quint32(samples.size());
    for (const SampleEntry &s : samples)
        ds << s.name << s.note;
}

template <typename T>
void putVector(QDataStream &ds, const QVector<T> &v)
{
    ds << quint32(v.size());
    for (const T &x : v)
        ds << x;
}

void putScanParams(QDataStream &ds, const QVector<ScanParam> &params)
{
    ds << quint32(params.size());
    for (const ScanParam &p : params)
        ds << p.exposure << p.focus;
}

} // namespace

QByteArray entryHeader(qint32 fileType, qint32 version, qint64 writeTime)
{
    Writer w;
    w.ds() << fileType << version << QString() << QString() << QString() << writeTime;
    return w.bytes();
}

// ---- .expzip -------------------------------------------------------------------------------------

QByteArray exp1MethodBlock(const Exp1Record &r)
{
    if (r.useRawMethodBlock)
        return r.rawMethodBlock;
    Writer w(QDataStream::LittleEndian);
    QByteArray preamble = r.methodPreamble.left(128);
    preamble.append(QByteArray(128 - preamble.size(), '\0'));
    w.ds().writeRawData(preamble.constData(), preamble.size());
    w.ds() << r.methodValue << r.methodFlag << r.methodInt;
    putStages(w.ds(), r.stages);
    return w.bytes();
}

QByteArray exp1Record(const Exp1Record &r)
{
    Writer w(QDataStream::LittleEndian);
    QDataStream &ds = w.ds();
    ds << r.name << r.comment << r.blocksType << r.expType << r.reagentsType << r.flag;
    putTargets(ds, r.targets);
    putSamples(ds, r.samples);
    ds << quint32(r.wells.size());
    for (const Exp1Well &well : r.wells) {
        putStrings(ds, well.targetNames);
        ds << well.sampleName << well.text << well.drpltVolume << well.drpltSum;
    }
    ds << exp1MethodBlock(r);
    return w.bytes();
}

QByteArray exp1MagicArea(const QByteArray &text, const QByteArray &tail)
{
    QByteArray area = text;
    area.append('\0');
    area.append(tail);
    area = area.left(128);
    area.append(QByteArray(128 - area.size(), '\0'));
    return area;
}

QByteArray exp1Entry(const Exp1Record &r, const QByteArray &magicArea)
{
    return magicArea + exp1Record(r);
}

// ---- .imrs ---------------------------------------------------------------------------------------

QByteArray exp3Record(const Exp3Record &r, int layout)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << r.name << r.comment;
    if (layout == 1)
        ds << r.blocksType << r.dropletWorkType << r.expType << r.reagentsType;
    else
        ds << r.blocksType << r.expType << r.reagentsType;
    ds << r.flag << r.flagInt;
    putTargets(ds, r.targets);
    putSamples(ds, r.samples);
    ds << quint32(r.wells.size());
    for (const Exp3Well &well : r.wells) {
        ds << well.prefix << well.plateIndex << well.drpltVolume << well.drpltSum;
        putStrings(ds, well.targetNames);
        ds << well.sampleName << quint32(well.triples.size());
        for (const Exp3Triple &t : well.triples)
            ds << t.code << t.first << t.second;
        ds << well.text;
    }
    ds << r.methodValue << r.methodFlag << r.methodInt;
    putStages(ds, r.stages);
    return w.bytes();
}

QByteArray exp3Entry(const Exp3Record &r, qint32 version, qint32 fileType)
{
    return entryHeader(fileType, version) + exp3Record(r, version);
}

// ---- .arlx ---------------------------------------------------------------------------------------

QByteArray configBody(const ConfigBody &b, bool fourIntegers)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << b.name << b.blocksType << b.expType;
    if (fourIntegers)
        ds << b.dropletWorkType;
    ds << b.reagentsType;
    ds << quint32(b.targets.size());
    for (const auto &t : b.targets)
        ds << t.first << t.second;
    putStrings(ds, b.samples);
    ds << quint32(b.wells.size());
    for (const ConfigWell &well : b.wells) {
        ds << well.id << well.position << well.name << well.prefix << well.plateIndex << well.text
           << well.drpltVolume << well.drpltSum << quint32(well.channels.size());
        for (quint32 c : well.channels)
            ds << c;
        ds << well.sampleName;
    }
    ds << b.methodValue;
    putStages(ds, b.stages);
    ds << b.comment;
    return w.bytes();
}

QByteArray configEntry(const ConfigBody &b, qint32 version, bool fourIntegers, qint32 fileType)
{
    return entryHeader(fileType, version) + configBody(b, fourIntegers);
}

// ---- run.pcr of .imrs ----------------------------------------------------------------------------

QByteArray pcr3ExpInfoList(const QList<Pcr3ExpInfo> &list, int layout)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << quint32(list.size());
    for (const Pcr3ExpInfo &e : list) {
        ds << e.wellId << e.refChannel;
        if (layout == 0) {
            putStrings(ds, e.imageNameSets.value(0));
        } else {
            ds << quint32(e.imageNameSets.size());
            for (const QStringList &set : e.imageNameSets)
                putStrings(ds, set);
        }
    }
    return w.bytes();
}

QByteArray pcr3DropletRecord(const Pcr3DropletData &d)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << d.wellId << d.valid << d.sharpness << d.counter << quint32(d.droplets.size());
    for (const Pcr3Droplet &drop : d.droplets) {
        ds << drop.x << drop.y << drop.size;
        for (const QVector<qint32> &list : drop.lists)
            putVector(ds, list);
    }
    ds << quint32(d.channelLists.size());
    for (const QVector<qint32> &list : d.channelLists)
        putVector(ds, list);
    return w.bytes();
}

QByteArray pcr3ClassifyList(const QList<Pcr3Classify> &list)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << quint32(list.size());
    for (const Pcr3Classify &c : list) {
        ds << c.wellId << c.roxValue << c.roxChannel << quint32(c.excluded.size());
        for (quint32 index : c.excluded)
            ds << index;
        ds << quint32(c.pairs.size());
        for (const Pcr3PairEntry &pair : c.pairs) {
            putVector(ds, pair.first);
            putVector(ds, pair.second);
        }
        ds << quint32(c.figures.size());
        for (const QualityFigures &f : c.figures)
            for (double v : f)
                ds << v;
    }
    return w.bytes();
}

QByteArray pcr3ResultList(const QList<Pcr3WellResult> &list)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << quint32(list.size());
    for (const Pcr3WellResult &r : list) {
        ds << r.wellId << r.first << r.second << r.effDrpltNum << quint32(r.results.size());
        for (const Pcr3TargetResult &t : r.results)
            ds << t.targetName << t.fraction << t.positives << t.negatives << t.concentration
               << t.lower << t.upper << t.uncertainty << t.flag;
    }
    return w.bytes();
}

QByteArray pcr3Body(const Pcr3Body &b, int layout)
{
    Writer w;
    w.ds() << quint32(b.dropletData.size());
    QByteArray out = pcr3ExpInfoList(b.expInfos, layout) + w.bytes();
    for (const Pcr3DropletData &d : b.dropletData)
        out += pcr3DropletRecord(d);
    return out + pcr3ClassifyList(b.classifications) + pcr3ResultList(b.results);
}

QByteArray pcr3Entry(const Pcr3Body &b, qint32 version, qint32 fileType, qint64 writeTime)
{
    return entryHeader(fileType, version, writeTime) + pcr3Body(b, version);
}

// ---- run.pcr of .expzip --------------------------------------------------------------------------

QByteArray pcr1WellRecord(const Pcr1Well &well)
{
    Writer w;
    QDataStream &ds = w.ds();
    ds << well.number;
    putStrings(ds, well.imageNames);
    ds << well.valid << quint32(well.chanEntries.size());
    for (const Pcr1ChanEntry &e : well.chanEntries)
        ds << e.targetIndex << e.lineThld;
    ds << quint32(well.drplts.size());
    for (const Pcr1Droplet &d : well.drplts) {
        ds << d.x << d.y << d.size;
        putVector(ds, d.values);
        putVector(ds, d.grays);
        ds << d.refGray;
    }
    ds << quint32(well.excluded.size());
    for (quint32 index : well.excluded)
        ds << index;
    putVector(ds, well.values);
    for (quint32 c : well.counts)
        ds << c;
    ds << well.value << quint32(well.chanStats.size());
    for (const Pcr1ChanStat &s : well.chanStats) {
        ds << s.posDrpltNum;
        for (double v : s.values)
            ds << v;
    }
    return w.bytes();
}

QByteArray pcr1Entry(const QList<Pcr1Well> &wells)
{
    Writer w;
    w.ds() << quint32(wells.size());
    QByteArray out = w.bytes();
    for (const Pcr1Well &well : wells)
        out += pcr1WellRecord(well);
    return out;
}

// ---- run.dps, run.cmtx, fileMgrLog -------------------------------------------------------------

QByteArray dpsBodyV0(const QString &serial, const QVector<ScanParam> &params)
{
    Writer w;
    w.ds() << serial;
    putScanParams(w.ds(), params);
    return w.bytes();
}

QByteArray dpsBodyV1(const QString &serial, const QMap<quint32, QVector<ScanParam>> &params)
{
    Writer w;
    w.ds() << serial << quint32(params.size());
    for (auto it = params.end(); it != params.begin();) {
        --it;
        w.ds() << it.key();
        putScanParams(w.ds(), it.value());
    }
    return w.bytes();
}

QByteArray dpsEntryV0(const QString &serial, const QVector<ScanParam> &params, qint64 writeTime)
{
    return entryHeader(3, 0, writeTime) + dpsBodyV0(serial, params);
}

QByteArray dpsEntryV1(const QString &serial, const QMap<quint32, QVector<ScanParam>> &params,
                      qint64 writeTime)
{
    return entryHeader(3, 1, writeTime) + dpsBodyV1(serial, params);
}

MatrixImage MatrixImage::identity()
{
    MatrixImage m;
    for (int i = 0; i < 6; ++i)
        m.matrix[i][i] = 1.0;
    return m;
}

QByteArray matrixBytes(const MatrixImage &m)
{
    QByteArray out(336, '\0');
    char *p = out.data();
    for (const auto &row : m.matrix)
        for (double v : row) {
            qToLittleEndian(v, p);
            p += 8;
        }
    for (double v : m.background) {
        qToLittleEndian(v, p);
        p += 8;
    }
    return out;
}

QByteArray cmtxEntry(const QByteArray &matrix, qint64 writeTime)
{
    Writer w;
    w.ds() << matrix;
    return entryHeader(4, 0, writeTime) + w.bytes();
}

QByteArray fileLogEntry(const std::array<qint32, 5> &counters, qint64 writeTime)
{
    Writer w;
    for (qint32 c : counters)
        w.ds() << c;
    return entryHeader(0, 0, writeTime) + w.bytes();
}

// ---- Archives ------------------------------------------------------------------------------------

QByteArray passwordEntry(const QString &password)
{
    Writer w;
    w.ds() << qint32(1) << QStringLiteral("PkgWriter") << password;
    for (int i = 0; i < 5; ++i)
        w.ds() << QString();
    return w.bytes();
}

struct ArchiveWriter::Zip {
    explicit Zip(const QString &path) : zip(path) {}
    QuaZip zip;
};

ArchiveWriter::ArchiveWriter() : m_time(QDate(2024, 3, 1), QTime(9, 30)) {}

ArchiveWriter::~ArchiveWriter()
{
    close();
}

bool ArchiveWriter::create(const QString &zipPath)
{
    close();
    m_error.clear();
    if (QFileInfo::exists(zipPath) && !QFile::remove(zipPath)) {
        m_error = QStringLiteral("cannot replace %1").arg(zipPath);
        return false;
    }
    m_zip = std::make_unique<Zip>(zipPath);
    // Without data descriptors the encryption header carries the CRC, so ordinary zip tools
    // can check the password too.
    m_zip->zip.setDataDescriptorWritingEnabled(false);
    if (!m_zip->zip.open(QuaZip::mdCreate)) {
        m_error = QStringLiteral("cannot create %1 (zip error %2)")
                      .arg(zipPath)
                      .arg(m_zip->zip.getZipError());
        m_zip.reset();
        return false;
    }
    return true;
}

bool ArchiveWriter::add(const QString &entryName, const QByteArray &data, const QString &password,
                        int level)
{
    return add(entryName, QList<QByteArray>{data}, password, level);
}

bool ArchiveWriter::add(const QString &entryName, const QList<QByteArray> &parts,
                        const QString &password, int level)
{
    if (!m_zip) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("archive not open");
        return false;
    }
    QuaZipNewInfo info(entryName);
    info.dateTime = m_time;
    const QByteArray pw = password.toLatin1();
    uLong crc = crc32(0L, nullptr, 0);
    for (const QByteArray &part : parts)
        crc = crc32(crc, reinterpret_cast<const Bytef *>(part.constData()), uInt(part.size()));
    QuaZipFile file(&m_zip->zip);
    if (!file.open(QIODevice::WriteOnly, info, password.isEmpty() ? nullptr : pw.constData(),
                   quint32(crc), level == 0 ? 0 : Z_DEFLATED, level)) {
        m_error = QStringLiteral("cannot add %1 (zip error %2)").arg(entryName).arg(file.getZipError());
        return false;
    }
    bool written = true;
    for (const QByteArray &part : parts)
        written = written && file.write(part) == part.size();
    file.close();
    if (!written || file.getZipError() != 0) {
        m_error = QStringLiteral("cannot write %1 (zip error %2)").arg(entryName).arg(file.getZipError());
        return false;
    }
    return true;
}

bool ArchiveWriter::close()
{
    if (!m_zip)
        return m_error.isEmpty();
    m_zip->zip.close();
    const int err = m_zip->zip.getZipError();
    m_zip.reset();
    if (err != 0 && m_error.isEmpty())
        m_error = QStringLiteral("cannot finish the archive (zip error %1)").arg(err);
    return m_error.isEmpty();
}

QString ArchiveWriter::errorString() const
{
    return m_error;
}

bool addEntry(const QString &zipPath, const QString &entryName, const QByteArray &data,
              const QString &password)
{
    QuaZip zip(zipPath);
    if (!zip.open(QFileInfo::exists(zipPath) ? QuaZip::mdAdd : QuaZip::mdCreate))
        return false;
    QuaZipFile file(&zip);
    const QByteArray pw = password.toLatin1();
    if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(entryName),
                   password.isEmpty() ? nullptr : pw.constData(), 0, 8, -1))
        return false;
    const bool written = file.write(data) == data.size();
    file.close();
    const bool entryOk = file.getZipError() == 0;
    zip.close();
    return written && entryOk && zip.getZipError() == 0;
}

} // namespace PkgWriter
