#include "customizedplotmgr.h"
#include "model/filelogmgr.h"

using namespace LumaraAnalysisData;

class CustomizedPlotMgrPrivate {
public:
    CustomizedPlotGlobalInfo info;
    FileLogMgr *counters = nullptr;

    template <typename T>
    static T *find(QList<T> &plots, uint id)
    {
        for (T &p : plots)
            if (p.id == id)
                return &p;
        return nullptr;
    }
    template <typename T>
    static bool removeFirst(QList<T> &plots, uint id)
    {
        for (int i = 0; i < plots.size(); ++i) {
            if (plots.at(i).id == id) {
                plots.removeAt(i);
                return true;
            }
        }
        return false;
    }
};

CustomizedPlotInterface::~CustomizedPlotInterface() = default;

CustomizedPlotMgr::CustomizedPlotMgr(FileLogMgr *counters) : d_ptr(new CustomizedPlotMgrPrivate)
{
    d_ptr->counters = counters;
}

CustomizedPlotMgr::~CustomizedPlotMgr() = default;

const QList<Customized2DPlotInfo> &CustomizedPlotMgr::get2DPlots() const
{
    Q_D(const CustomizedPlotMgr);
    return d->info.plots2D;
}

const QList<Customized3DPlotInfo> &CustomizedPlotMgr::get3DPlots() const
{
    Q_D(const CustomizedPlotMgr);
    return d->info.plots3D;
}

uint CustomizedPlotMgr::add2DPlot(const Customized2DPlotInfo &plot)
{
    Q_D(CustomizedPlotMgr);
    if (!d->counters)
        return 0;
    Customized2DPlotInfo copy = plot;
    copy.id = d->counters->next2DPlotId();
    d->info.plots2D.append(copy);
    return copy.id;
}

uint CustomizedPlotMgr::add3DPlot(const Customized3DPlotInfo &plot)
{
    Q_D(CustomizedPlotMgr);
    if (!d->counters)
        return 0;
    Customized3DPlotInfo copy = plot;
    copy.id = d->counters->next3DPlotId();
    d->info.plots3D.append(copy);
    return copy.id;
}

bool CustomizedPlotMgr::remove2DPlot(uint id)
{
    Q_D(CustomizedPlotMgr);
    return CustomizedPlotMgrPrivate::removeFirst(d->info.plots2D, id);
}

bool CustomizedPlotMgr::remove3DPlot(uint id)
{
    Q_D(CustomizedPlotMgr);
    return CustomizedPlotMgrPrivate::removeFirst(d->info.plots3D, id);
}

void CustomizedPlotMgr::clearPlot()
{
    Q_D(CustomizedPlotMgr);
    d->info.plots2D.clear();
    d->info.plots3D.clear();
}

bool CustomizedPlotMgr::rename2DPlotName(uint id, const QString &name)
{
    Q_D(CustomizedPlotMgr);
    Customized2DPlotInfo *p = CustomizedPlotMgrPrivate::find(d->info.plots2D, id);
    if (!p)
        return false;
    p->name = name;
    return true;
}

bool CustomizedPlotMgr::rename3DPlotName(uint id, const QString &name)
{
    Q_D(CustomizedPlotMgr);
    Customized3DPlotInfo *p = CustomizedPlotMgrPrivate::find(d->info.plots3D, id);
    if (!p)
        return false;
    p->name = name;
    return true;
}

const CustomizedPlotGlobalInfo &CustomizedPlotMgr::getCustomizedPlotGlobalInfo() const
{
    Q_D(const CustomizedPlotMgr);
    return d->info;
}

void CustomizedPlotMgr::setCustomizedPlotGlobalInfo(const CustomizedPlotGlobalInfo &info)
{
    Q_D(CustomizedPlotMgr);
    d->info.plots2D = info.plots2D;
    d->info.plots3D = info.plots3D;
}

FileLogMgr *CustomizedPlotMgr::fileLogMgr() const
{
    Q_D(const CustomizedPlotMgr);
    return d->counters;
}

void CustomizedPlotMgr::setFileLogMgr(FileLogMgr *counters)
{
    Q_D(CustomizedPlotMgr);
    d->counters = counters;
}
