#include "bll/plotgroupmgr.h"

#include "bll/documentaccess.h"

using namespace LumaraAnalysisData;

namespace {

const QList<Customized2DPlotInfo> &no2DPlots()
{
    static const QList<Customized2DPlotInfo> none;
    return none;
}

const QList<Customized3DPlotInfo> &no3DPlots()
{
    static const QList<Customized3DPlotInfo> none;
    return none;
}

// The name of the first plot with the id; "" when none has it.
template <typename Plot>
QString nameOf(const QList<Plot> &plots, uint plotId)
{
    for (const Plot &plot : plots)
        if (plot.id == plotId)
            return plot.name;
    return QString();
}

} // namespace

PlotGroupMgr::PlotGroupMgr(QObject *parent) : QObject(parent)
{
}

uint PlotGroupMgr::add2DPlot(const QString &name, uint xChannel, uint yChannel)
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    if (!plots)
        return 0;
    Customized2DPlotInfo plot;
    plot.name = name;
    plot.xChannel = xChannel;
    plot.yChannel = yChannel;
    return plots->add2DPlot(plot);
}

uint PlotGroupMgr::add3DPlot(const QString &name, uint x, uint y, uint z)
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    if (!plots)
        return 0;
    Customized3DPlotInfo plot;
    plot.name = name;
    plot.xChannel = x;
    plot.yChannel = y;
    plot.zChannel = z;
    return plots->add3DPlot(plot);
}

const QList<Customized2DPlotInfo> &PlotGroupMgr::get2DPlots() const
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    return plots ? plots->get2DPlots() : no2DPlots();
}

const QList<Customized3DPlotInfo> &PlotGroupMgr::get3DPlots() const
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    return plots ? plots->get3DPlots() : no3DPlots();
}

QPair<uint, uint> PlotGroupMgr::get2DPlotChannels(uint plotId) const
{
    const QList<Customized2DPlotInfo> plots = get2DPlots();
    for (const Customized2DPlotInfo &plot : plots)
        if (plot.id == plotId)
            return qMakePair(uint(plot.xChannel), uint(plot.yChannel));
    return qMakePair(0u, 0u);
}

QVector3D PlotGroupMgr::get3DPlotChannels(uint plotId) const
{
    QVector3D channels(0, 0, 0);
    const QList<Customized3DPlotInfo> plots = get3DPlots();
    for (const Customized3DPlotInfo &plot : plots)
        if (plot.id == plotId)
            channels = QVector3D(float(plot.xChannel), float(plot.yChannel), float(plot.zChannel));
    return channels;
}

QString PlotGroupMgr::get2DPlotName(uint plotId) const
{
    return nameOf(get2DPlots(), plotId);
}

QString PlotGroupMgr::get3DPlotName(uint plotId) const
{
    return nameOf(get3DPlots(), plotId);
}

uint PlotGroupMgr::find2DPlot(uint xChannel, uint yChannel) const
{
    const QList<Customized2DPlotInfo> plots = get2DPlots();
    for (const Customized2DPlotInfo &plot : plots)
        if (plot.xChannel == xChannel && plot.yChannel == yChannel)
            return plot.id;
    return 0;
}

uint PlotGroupMgr::find3DPlot(uint a, uint b, uint c) const
{
    const auto among = [a, b, c](uint channel) { return channel == a || channel == b || channel == c; };
    const QList<Customized3DPlotInfo> plots = get3DPlots();
    for (const Customized3DPlotInfo &plot : plots)
        if (among(plot.xChannel) && among(plot.yChannel) && among(plot.zChannel))
            return plot.id;
    return 0;
}

bool PlotGroupMgr::is2DPlotNameExist(const QString &name) const
{
    const QList<Customized2DPlotInfo> plots = get2DPlots();
    for (const Customized2DPlotInfo &plot : plots)
        if (plot.name == name)
            return true;
    return false;
}

bool PlotGroupMgr::is3DPlotNameExist(const QString &name) const
{
    const QList<Customized3DPlotInfo> plots = get3DPlots();
    for (const Customized3DPlotInfo &plot : plots)
        if (plot.name == name)
            return true;
    return false;
}

bool PlotGroupMgr::remove2DPlot(uint plotId)
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    return plots && plots->remove2DPlot(plotId);
}

void PlotGroupMgr::remove3DPlot(uint plotId)
{
    if (CustomizedPlotMgr *plots = DocumentAccess::plots())
        plots->remove3DPlot(plotId);
}

bool PlotGroupMgr::rename2DPlot(uint plotId, const QString &name)
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    return plots && plots->rename2DPlotName(plotId, name);
}

bool PlotGroupMgr::rename3DPlot(uint plotId, const QString &name)
{
    CustomizedPlotMgr *plots = DocumentAccess::plots();
    return plots && plots->rename3DPlotName(plotId, name);
}
