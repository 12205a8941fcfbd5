#include "experimentcfgfileparser.h"
#include "io/instrumentexperiment.h"
#include "io/recordstream.h"
#include "model/experimentcfgmgr.h"

#include <cstring>

using namespace LumaraAnalysisData;

namespace LumaraAnalysisData {

void writeConfigBody(QDataStream &ds, const ExperimentInfo &exp, bool fourIntegers)
{
    ds << exp.name;
    writeRecord(ds, exp.blocksType);
    writeRecord(ds, exp.expType);
    if (fourIntegers)
        writeRecord(ds, exp.dropletWorkType);
    writeRecord(ds, exp.reagentsType);
    writeContainer(ds, exp.targets);
    writeContainer(ds, exp.samples);
    writeContainer(ds, exp.wells);
    writeRecord(ds, exp.method);
    ds << exp.comment;
}

bool readConfigBody(QDataStream &ds, ExperimentInfo &exp, bool fourIntegers)
{
    ds >> exp.name;
    readRecord(ds, exp.blocksType);
    readRecord(ds, exp.expType);
    if (fourIntegers)
        readRecord(ds, exp.dropletWorkType);
    else
        exp.dropletWorkType = DropletWorkType(0);
    readRecord(ds, exp.reagentsType);
    readContainer(ds, exp.targets);
    readContainer(ds, exp.samples);
    readContainer(ds, exp.wells);
    readRecord(ds, exp.method);
    ds >> exp.comment;
    return ds.status() == QDataStream::Ok;
}

} // namespace LumaraAnalysisData

namespace {

constexpr int MagicAreaSize = 128;
const char Magic1[] = "PCRExperiment";

} // namespace

// ---- Common ----------------------------------------------------------------------------------

const QString ExperimentCfgFileParser::EntryName = QStringLiteral("run.exp");

ExperimentCfgFileParser::ExperimentCfgFileParser(const QString &zipPath, ExperimentCfgMgr **mgrSlot)
    : AnalysisFileParser(zipPath, EntryName), m_mgrSlot(mgrSlot)
{
}

bool ExperimentCfgFileParser::deliver(const ExperimentInfo &exp) const
{
    ExperimentCfgMgr *mgr = manager();
    if (!mgr)
        return false;
    mgr->setExperiment(exp);
    return true;
}

bool ExperimentCfgFileParser::writeConfig(QIODevice *device, qint32 version, bool fourIntegers) const
{
    ExperimentCfgMgr *mgr = manager();
    if (!mgr || !device || !device->isWritable())
        return false;
    QDataStream ds(device);
    EntryHeader::make(EntryHeader::Experiment, version).write(ds);
    writeConfigBody(ds, mgr->getExp(), fourIntegers);
    return ds.status() == QDataStream::Ok;
}

// ---- .expzip ---------------------------------------------------------------------------------

ExperimentCfgFileParser1::ExperimentCfgFileParser1(const QString &zipPath, ExperimentCfgMgr **mgrSlot)
    : ExperimentCfgFileParser(zipPath, mgrSlot)
{
}

bool ExperimentCfgFileParser1::readHeader(QIODevice *device)
{
    if (!manager())
        return false;
    char area[MagicAreaSize + 1] = {};
    {
        QDataStream ds(device);
        ds.setByteOrder(QDataStream::LittleEndian);
        if (ds.readRawData(area, MagicAreaSize) != MagicAreaSize)
            return false;
    }
    // Compared as a NUL-terminated text; whatever follows the NUL is free.
    if (std::strcmp(area, Magic1) != 0)
        return false;

    QDataStream ds(device);
    ds.setByteOrder(QDataStream::LittleEndian);
    InstrumentExperiment1 record;
    if (!readInstrumentExperiment1(ds, record))
        return false;
    return deliver(convertInstrumentExperiment(record));
}

bool ExperimentCfgFileParser1::write(QIODevice *device)
{
    return writeConfig(device, 0, true);
}

// ---- .arlx -----------------------------------------------------------------------------------

ExperimentCfgFileParser2::ExperimentCfgFileParser2(const QString &zipPath, ExperimentCfgMgr **mgrSlot)
    : ExperimentCfgFileParser(zipPath, mgrSlot)
{
}

bool ExperimentCfgFileParser2::parseBody(const EntryHeader &header, QIODevice *device)
{
    if (header.fileType != EntryHeader::Experiment || !manager())
        return false;

    if (header.version == 1) {
        setVersion(1);
        QDataStream ds(device);
        ExperimentInfo exp;
        if (!readConfigBody(ds, exp, true))
            return false;
        return deliver(exp);
    }
    if (header.version != 0)
        return false;

    // Version 0 holds either body: the four-integer form (written from .expzip and .arlx) or
    // the three-integer form (written from version-0 .imrs). A wrong attempt can read without
    // error and still misplace every field after the type integers, so an attempt counts only
    // when it reads without error and ends exactly at the end of the entry.
    setVersion(0);
    for (const bool fourIntegers : {false, true}) {
        device->startTransaction();
        QDataStream ds(device);
        ExperimentInfo exp;
        const bool read = readConfigBody(ds, exp, fourIntegers);
        if (read && device->atEnd()) {
            device->commitTransaction();
            return deliver(exp);
        }
        device->rollbackTransaction();
    }
    return false;
}

bool ExperimentCfgFileParser2::write(QIODevice *device)
{
    return writeConfig(device, version(), true);
}

// ---- .imrs -----------------------------------------------------------------------------------

ExperimentCfgFileParser3::ExperimentCfgFileParser3(const QString &zipPath, ExperimentCfgMgr **mgrSlot)
    : ExperimentCfgFileParser(zipPath, mgrSlot)
{
}

bool ExperimentCfgFileParser3::parseBody(const EntryHeader &header, QIODevice *device)
{
    // The instrument's header type is not looked at.
    setVersion(header.version);
    if ((header.version != 0 && header.version != 1) || !manager())
        return false;
    QDataStream ds(device);
    InstrumentExperiment3 record;
    if (!readInstrumentExperiment3(ds, record, header.version))
        return false;
    return deliver(convertInstrumentExperiment(record, header.version));
}

bool ExperimentCfgFileParser3::write(QIODevice *device)
{
    if (version() == 0)
        return writeConfig(device, 0, false);
    // Version 1, and any version this writer does not know: a body must follow the header, and
    // the four-integer form under version 1 is the one every reader takes.
    return writeConfig(device, 1, true);
}
