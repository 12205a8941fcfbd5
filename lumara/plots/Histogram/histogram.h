#pragma once
// The histogram page (page 0 of the analysis plots): for the selected wells one grey-value
// histogram per shown channel, with the edited (solid) and stored (dotted) line thresholds, the
// threshold panel, and the count axis linear or logarithmic with bounds per well and channel.
#include "plots/common/channelplotpage.h"
#include "plots/common/thresholdaxis.h"

#include <QPair>
#include <QVector>

class ZetanHistogramPlot;

class Histogram : public ChannelPlotPage {
    Q_OBJECT
public:
    explicit Histogram(ThumbnailModel *thumbnails, QWidget *parent = nullptr);
    ~Histogram() override;

    // Free of widgets: the export calls them too, also off the user-interface thread.
    // The listed wells' grey values of the channel, concatenated in list order.
    static QVector<uint> getGrayValues(const QList<uint> &wellIDs, uint channelID);
    // (smallest, largest) of those values; (70000, 0) without any.
    static QPair<uint, uint> getGrayRange(const QList<uint> &wellIDs, uint channelID);
    // The widest bin width from 315 down to 10 (steps of 5) with at least 17 bins of 16 or
    // more values; 5 when none qualifies or there are no values.
    static int calBinWidth(const QList<uint> &wellIDs, uint channelID);
    static int binWidthOf(const QVector<uint> &values);

    ZetanHistogramPlot *plot(int index) const { return m_plots[index]; }
    int currentPlot() const { return m_currentPlot; }
    const QVector<WellAxisRange> &axisRanges() const { return m_axisRanges; }

protected:
    void refreshPanel() override;
    void refreshThumbnails() override;
    void refreshPlots() override;
    void moveSolidLine(int plotIndex, uint value) override;
    bool reloadsOnIndividual() const override { return false; }

protected slots:
    void initData() override;

private slots:
    void axisYLeftClicked(double lower, double upper);
    void updateAxisProperty(bool isLinear, double lower, double upper);
    void updateTempThreshold(uint gray);

private:
    // Bars, axis kind and stored range of the selected wells' channel.
    void drawHistogram(ZetanHistogramPlot *plot, uint channel, int upperValue, bool thumbnail);
    // The grey axis of the plot at position 0..3 follows its moved solid line.
    void followSolidLine(int plotIndex, uint value, bool dragged);

    ZetanHistogramPlot *m_plots[4] = {nullptr, nullptr, nullptr, nullptr};
    ThresholdAxis m_greyAxes[4];
    bool m_linesShown = false;
    int m_currentPlot = 0;
    QVector<WellAxisRange> m_axisRanges;
};
