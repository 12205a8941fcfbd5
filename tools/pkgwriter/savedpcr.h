#pragma once
// Writer of the "run.pcr" entry of saved packages in each body form it has had: experiment
// data flat (one name list per well) or nested (a list of name lists), image-analysis records
// short (no reference-dye channel) or full. Plain structs in stream order, so test data can
// craft any body, including ones a reader must refuse.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace PkgWriter {

struct SavedWell {
    quint32 wellId = 0;
    quint32 refChanId = 0;
    QList<QStringList> imageNames; // flat form: the first list only (none: an empty list)
    quint32 expId = 0;
};

struct SavedExperiment {
    quint32 id = 0;
    QString fileName;
    QList<quint32> wellIds;
};

struct SavedDroplet {
    quint32 first = 0;
    quint32 second = 0;
    quint32 third = 0;
    QList<quint32> listA;
    QList<quint32> listB;
    QList<QPair<quint32, quint32>> grayPairs;
    QList<quint32> grays;
};

struct SavedChanInfo {
    double quality[6] = {}; // positive mean, CV, negative mean, CV, Rs, rain
    quint32 lineThld = 0;
    quint32 compensatedLineThld = 0;
};

struct SavedImageRecord {
    quint32 wellId = 0;
    bool valid = false;
    double sharpness = 0.0;
    quint32 counter = 0;
    quint32 roxChannel = 0; // full form only
    double roxValue = 0.0;
    QList<SavedDroplet> droplets;
    QList<quint32> excluded; // written in this order
    QList<SavedChanInfo> chanInfos;
};

struct SavedPlot2D {
    quint32 id = 0;
    QString name;
    quint32 x = 0;
    quint32 y = 0;
};

struct SavedPlot3D {
    quint32 id = 0;
    QString name;
    quint32 x = 0;
    quint32 y = 0;
    quint32 z = 0;
};

// Stored as id, population list, then code.
struct SavedZone {
    quint32 id = 0;
    quint32 code = 0;
    QList<quint32> populations;
};

struct SavedPopulation {
    quint32 id = 0;
    QString name;
    QString color;
    bool negEdited = false;
    QList<QPair<quint32, qint32>> zones; // zone id, zone type
};

struct SavedLineWell {
    quint32 wellId = 0;
    QList<QPair<quint32, quint32>> thresholds; // channel, value
    QList<QPair<quint32, quint32>> zoneCounts; // zone id, droplets
};

struct SavedPolygonWell {
    quint32 wellId = 0;
    QList<QPair<quint32, QList<QPair<double, double>>>> polygons; // zone id, points
    QList<QPair<quint32, quint32>> zoneCounts;
};

struct SavedChanResult {
    quint32 chanId = 0;
    quint16 chanType = 0; // one 16-bit character
    double refConcentration = 0.0;
    double dilution = 1.0;
};

// The stored form has no dilution.
struct SavedPopulationResult {
    quint32 populationId = 0;
    quint32 pos = 0;
    quint32 neg = 0;
    double concentration = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    double uncertainty = 0.0;
};

struct SavedWellResult {
    quint32 wellId = 0;
    quint32 effDrpltNum = 0;
    QList<SavedChanResult> chans;
    QList<SavedPopulationResult> populations;
};

struct SavedPcrBody {
    qint32 mode = 0; // 0: the line wells are written, otherwise the polygon wells
    QList<SavedWell> wells;
    QList<SavedExperiment> experiments;
    QList<SavedImageRecord> images;
    QList<SavedPlot2D> plots2D;
    QList<SavedPlot3D> plots3D;
    QList<SavedZone> zones;
    QList<SavedPopulation> populations;
    QList<SavedLineWell> lineWells;
    QList<SavedPolygonWell> polygonWells;
    QList<SavedWellResult> results;
};

// The experiment data alone (wells, then experiments).
QByteArray savedPcrExperiments(const SavedPcrBody &b, bool flat);
// The body after the header.
QByteArray savedPcrBody(const SavedPcrBody &b, bool flatExperiments, bool shortImageRecords);
// Header {fileType, version}, then the body.
QByteArray savedPcrEntry(const SavedPcrBody &b, qint32 version, bool flatExperiments,
                         bool shortImageRecords, qint32 fileType = 2);

} // namespace PkgWriter
