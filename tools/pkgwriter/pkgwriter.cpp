#include "pkgwriter.h"

#include <QBuffer>
#include <QDataStream>
#include <QFileInfo>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

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

// ---- Archives ------------------------------------------------------------------------------------

QByteArray passwordEntry(const QString &password)
{
    Writer w;
    w.ds() << qint32(1) << QStringLiteral("PkgWriter") << password;
    for (int i = 0; i < 5; ++i)
        w.ds() << QString();
    return w.bytes();
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
