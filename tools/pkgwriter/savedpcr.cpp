#include "savedpcr.h"
#include "pkgwriter.h"

#include <QChar>
#include <QDataStream>

namespace PkgWriter {

namespace {

template <typename T>
void putList(QDataStream &ds, const QList<T> &list)
{
    ds << quint32(list.size());
    for (const T &v : list)
        ds << v;
}

void putPairs(QDataStream &ds, const QList<QPair<quint32, quint32>> &pairs)
{
    ds << quint32(pairs.size());
    for (const auto &p : pairs)
        ds << p.first << p.second;
}

void putImageRecord(QDataStream &ds, const SavedImageRecord &r, bool shortForm)
{
    ds << r.wellId << r.valid << r.sharpness << r.counter;
    if (!shortForm)
        ds << r.roxChannel;
    ds << r.roxValue;
    ds << quint32(r.droplets.size());
    for (const SavedDroplet &d : r.droplets) {
        ds << d.first << d.second << d.third;
        putList(ds, d.listA);
        putList(ds, d.listB);
        putPairs(ds, d.grayPairs);
        putList(ds, d.grays);
    }
    putList(ds, r.excluded);
    ds << quint32(r.chanInfos.size());
    for (const SavedChanInfo &c : r.chanInfos) {
        for (double q : c.quality)
            ds << q;
        ds << c.lineThld << c.compensatedLineThld;
    }
}

void putExperiments(QDataStream &ds, const SavedPcrBody &b, bool flat)
{
    ds << quint32(b.wells.size());
    for (const SavedWell &w : b.wells) {
        ds << w.wellId << w.refChanId;
        if (flat) {
            putList(ds, w.imageNames.value(0));
        } else {
            ds << quint32(w.imageNames.size());
            for (const QStringList &names : w.imageNames)
                putList(ds, names);
        }
        ds << w.expId;
    }
    ds << quint32(b.experiments.size());
    for (const SavedExperiment &e : b.experiments) {
        ds << e.id << e.fileName;
        putList(ds, e.wellIds);
    }
}

} // namespace

QByteArray savedPcrExperiments(const SavedPcrBody &b, bool flat)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    putExperiments(ds, b, flat);
    return out;
}

QByteArray savedPcrBody(const SavedPcrBody &b, bool flatExperiments, bool shortImageRecords)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    ds << b.mode;
    putExperiments(ds, b, flatExperiments);

    ds << quint32(b.images.size());
    for (const SavedImageRecord &r : b.images)
        putImageRecord(ds, r, shortImageRecords);

    ds << quint32(b.plots2D.size());
    for (const SavedPlot2D &p : b.plots2D)
        ds << p.id << p.name << p.x << p.y;
    ds << quint32(b.plots3D.size());
    for (const SavedPlot3D &p : b.plots3D)
        ds << p.id << p.name << p.x << p.y << p.z;

    ds << quint32(b.zones.size());
    for (const SavedZone &z : b.zones) {
        ds << z.id;
        putList(ds, z.populations);
        ds << z.code;
    }
    ds << quint32(b.populations.size());
    for (const SavedPopulation &p : b.populations) {
        ds << p.id << p.name << p.color << p.negEdited << quint32(p.zones.size());
        for (const auto &z : p.zones)
            ds << z.first << z.second;
    }

    if (b.mode == 0) {
        ds << quint32(b.lineWells.size());
        for (const SavedLineWell &w : b.lineWells) {
            ds << w.wellId;
            putPairs(ds, w.thresholds);
            putPairs(ds, w.zoneCounts);
        }
    } else {
        ds << quint32(b.polygonWells.size());
        for (const SavedPolygonWell &w : b.polygonWells) {
            ds << w.wellId << quint32(w.polygons.size());
            for (const auto &zone : w.polygons) {
                ds << zone.first << quint32(zone.second.size());
                for (const auto &pt : zone.second)
                    ds << pt.first << pt.second;
            }
            putPairs(ds, w.zoneCounts);
        }
    }

    ds << quint32(b.results.size());
    for (const SavedWellResult &r : b.results) {
        ds << r.wellId << r.effDrpltNum << quint32(r.chans.size());
        for (const SavedChanResult &c : r.chans)
            ds << c.chanId << QChar(c.chanType) << c.refConcentration << c.dilution;
        ds << quint32(r.populations.size());
        for (const SavedPopulationResult &p : r.populations)
            ds << p.populationId << p.pos << p.neg << p.concentration << p.lower << p.upper
               << p.uncertainty;
    }
    return out;
}

QByteArray savedPcrEntry(const SavedPcrBody &b, qint32 version, bool flatExperiments,
                         bool shortImageRecords, qint32 fileType)
{
    return entryHeader(fileType, version) + savedPcrBody(b, flatExperiments, shortImageRecords);
}

} // namespace PkgWriter
