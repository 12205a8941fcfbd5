#include "experimentcfgmgr.h"

#include <QStringList>

using namespace LumaraAnalysisData;

ExperimentCfgInterface::~ExperimentCfgInterface() = default;

class ExperimentCfgMgrPrivate {
public:
    ExperimentInfo exp;
    qint32 configVersion = 0;

    // First well with that id, or -1.
    int indexOfWell(uint wellId) const
    {
        for (int i = 0; i < exp.wells.size(); ++i)
            if (exp.wells.at(i).id == wellId)
                return i;
        return -1;
    }
};

ExperimentCfgMgr::ExperimentCfgMgr() : d_ptr(new ExperimentCfgMgrPrivate) {}

ExperimentCfgMgr::~ExperimentCfgMgr() = default;

const QString &ExperimentCfgMgr::getExpName() const { return d_func()->exp.name; }
ExperimentType ExperimentCfgMgr::getExpType() const { return d_func()->exp.expType; }
ReagentsType ExperimentCfgMgr::getReagentsType() const { return d_func()->exp.reagentsType; }
DropletWorkType ExperimentCfgMgr::getDropletWorkType() const { return d_func()->exp.dropletWorkType; }
BlocksType ExperimentCfgMgr::getBlocksType() const { return d_func()->exp.blocksType; }
const QVector<TargetInfo> &ExperimentCfgMgr::getTargets() const { return d_func()->exp.targets; }
const QVector<SampleInfo> &ExperimentCfgMgr::getSamples() const { return d_func()->exp.samples; }
QList<WellInfo> &ExperimentCfgMgr::getWells() { return d_func()->exp.wells; }
const MethodInfo &ExperimentCfgMgr::getMethod() const { return d_func()->exp.method; }

bool ExperimentCfgMgr::removeWell(uint wellId)
{
    Q_D(ExperimentCfgMgr);
    const int i = d->indexOfWell(wellId);
    if (i < 0)
        return false;
    d->exp.wells.removeAt(i);
    return true;
}

void ExperimentCfgMgr::setExperiment(const ExperimentInfo &exp)
{
    Q_D(ExperimentCfgMgr);
    d->exp = exp;
    // A stored record may carry fewer targets; callers index them by channel.
    if (d->exp.targets.size() < PerChannel)
        d->exp.targets.resize(PerChannel);
}

bool ExperimentCfgMgr::setTargetName(uint channel, const QString &name)
{
    Q_D(ExperimentCfgMgr);
    if (channel < 1 || channel > uint(PerChannel) || int(channel) > d->exp.targets.size())
        return false;
    d->exp.targets[int(channel) - 1].name = name;
    return true;
}

void ExperimentCfgMgr::setComment(const QString &comment) { d_func()->exp.comment = comment; }

bool ExperimentCfgMgr::setSampleName(uint wellId, const QString &name)
{
    Q_D(ExperimentCfgMgr);
    const int i = d->indexOfWell(wellId);
    if (i < 0)
        return false;
    WellInfo &well = d->exp.wells[i];
    well.sampleName = name;
    well.name = generateWellName(well.prefix, well.position, well.sampleName);
    return true;
}

ExperimentInfo &ExperimentCfgMgr::getExp() { return d_func()->exp; }
const ExperimentInfo &ExperimentCfgMgr::getExp() const { return d_func()->exp; }

QString ExperimentCfgMgr::generateWellName(const QString &prefix, const QString &position,
                                           const QString &sampleName) const
{
    QStringList parts;
    if (!prefix.isEmpty())
        parts << prefix;
    parts << position << sampleName;
    return parts.join(QLatin1Char('_'));
}

int ExperimentCfgMgr::getExperimentCfgVersion() const { return d_func()->configVersion; }
void ExperimentCfgMgr::setExperimentCfgVersion(int version) { d_func()->configVersion = version; }
