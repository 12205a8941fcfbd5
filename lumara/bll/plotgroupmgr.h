#pragma once
// The user-defined channel-combination plots (2D of two channels, 3D of three) that the
// document keeps and saves. Ids come from the document, counting from 1; 0 means no plot.
#include "model/lumaraanalysisdata.h"

#include <QObject>
#include <QPair>
#include <QVector3D>

class PlotGroupMgr : public QObject {
    Q_OBJECT
public:
    explicit PlotGroupMgr(QObject *parent = nullptr);

    // The new plot's id; 0 when no document is open. Names and channels are not checked.
    uint add2DPlot(const QString &name, uint xChannel, uint yChannel);
    uint add3DPlot(const QString &name, uint x, uint y, uint z);

    const QList<LumaraAnalysisData::Customized2DPlotInfo> &get2DPlots() const;
    const QList<LumaraAnalysisData::Customized3DPlotInfo> &get3DPlots() const;

    // (x, y) of the plot; (0, 0) when none has the id.
    QPair<uint, uint> get2DPlotChannels(uint plotId) const;
    // (x, y, z) of the plot; (0, 0, 0) when none has the id.
    QVector3D get3DPlotChannels(uint plotId) const;

    // The plot's name; "" when none has the id.
    QString get2DPlotName(uint plotId) const;
    QString get3DPlotName(uint plotId) const;

    // First plot with exactly this x and y (order matters); 0 when none.
    uint find2DPlot(uint xChannel, uint yChannel) const;
    // First plot each of whose channels is one of a, b, c (order does not matter); 0 when none.
    uint find3DPlot(uint a, uint b, uint c) const;

    bool is2DPlotNameExist(const QString &name) const;
    bool is3DPlotNameExist(const QString &name) const;

    bool remove2DPlot(uint plotId);
    void remove3DPlot(uint plotId);
    bool rename2DPlot(uint plotId, const QString &name);
    bool rename3DPlot(uint plotId, const QString &name);
};
