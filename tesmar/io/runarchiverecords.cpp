#include "io/runarchiverecords.h"

using namespace LumaraAnalysisData;

namespace {

bool ok(const QDataStream &ds)
{
    return ds.status() == QDataStream::Ok;
}

bool readSixDoubles(QDataStream &ds, std::array<double, 6> &v)
{
    for (double &d : v)
        ds >> d;
    return ok(ds);
}

} // namespace

namespace LumetAnalysis3 {

bool readExpInfo(QDataStream &ds, WellAnalysisExpInfo &v, int layout)
{
    ds >> v.wellId >> v.refChannel;
    v.imageNames.clear();
    if (layout == 0) {
        QVector<QString> names;
        readContainer(ds, names);
        if (ok(ds))
            v.imageNames.append(names);
    } else {
        readContainerWith<QVector<QVector<QString>>, QVector<QString>>(
            ds, v.imageNames, [](QDataStream &s, QVector<QString> &set) { readContainer(s, set); }, 4);
    }
    return ok(ds);
}

bool readRecord(QDataStream &ds, PairEntry &v)
{
    readContainer(ds, v.first);
    readContainer(ds, v.second);
    return ok(ds);
}

bool readRecord(QDataStream &ds, WellClassifyInfo &v)
{
    ds >> v.wellId >> v.roxValue >> v.roxChannel;
    readContainer(ds, v.excludedDrplts);
    readContainer(ds, v.pairs);
    readContainerWith<QVector<std::array<double, 6>>, std::array<double, 6>>(
        ds, v.chanFigures, [](QDataStream &s, std::array<double, 6> &e) { readSixDoubles(s, e); },
        StreamMinBytes<std::array<double, 6>>::value);
    return ok(ds);
}

bool readRecord(QDataStream &ds, TargetResultInfo &v)
{
    ds >> v.targetName >> v.fraction >> v.posDrpltNum >> v.negDrpltNum >> v.concentration
        >> v.concentrationLower >> v.concentrationUpper >> v.uncertainty >> v.flag;
    return ok(ds);
}

bool readRecord(QDataStream &ds, WellTargetResultInfo &v)
{
    ds >> v.wellId >> v.first >> v.second >> v.effDrpltNum;
    readContainer(ds, v.results);
    return ok(ds);
}

} // namespace LumetAnalysis3

namespace LumetAnalysis1 {

bool readRecord(QDataStream &ds, Pcr1ChanEntry &v)
{
    ds >> v.targetIndex >> v.lineThld;
    return ok(ds);
}

bool readRecord(QDataStream &ds, Pcr1DrpltRecord &v)
{
    ds >> v.x >> v.y >> v.size;
    readContainer(ds, v.values);
    readContainer(ds, v.grays);
    ds >> v.refGray;
    return ok(ds);
}

bool readRecord(QDataStream &ds, Pcr1ChanStat &v)
{
    ds >> v.posDrpltNum;
    return readSixDoubles(ds, v.values);
}

bool readRecord(QDataStream &ds, Pcr1WellRecord &v)
{
    ds >> v.number;
    readContainer(ds, v.imageNames);
    ds >> v.valid;
    readContainer(ds, v.chanEntries);
    readContainer(ds, v.drplts);
    readContainer(ds, v.excludedDrplts);
    readContainer(ds, v.values);
    for (quint32 &c : v.counts)
        ds >> c;
    ds >> v.value;
    readContainer(ds, v.chanStats);
    return ok(ds);
}

} // namespace LumetAnalysis1
