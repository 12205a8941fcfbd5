#pragma once
// The 1D dot-plot page (page 1 of the analysis plots): for the selected wells side by side one
// dot plot per shown channel (x droplet index, y grey value) with a solid (edited) and a dotted
// (stored) threshold line per well, the threshold panel, the droplet-quality summary and the
// vertical range per well or for all wells.
#include "plots/common/channelplotpage.h"
#include "plots/common/thresholdaxis.h"

#include <QVector>

#include <memory>

class Zetan1Plot;

class Plot1DDot : public ChannelPlotPage {
    Q_OBJECT
public:
    explicit Plot1DDot(ThumbnailModel *thumbnails, QWidget *parent = nullptr);
    ~Plot1DDot() override;

    Zetan1Plot *plot(int index) const { return m_plots[index]; }
    int activePlot() const { return m_activePlot; }
    const QVector<AxisRange> &automaticRanges() const { return m_autoRanges; }

    // Draws the selected wells' droplets of the channel on the plot (without axis titles and
    // the x scale when `thumbnail`).
    void drawPlot(Zetan1Plot *plot, uint channel, bool thumbnail);

protected:
    void refreshPanel() override;
    void refreshThumbnails() override;
    void refreshPlots() override;
    void moveSolidLine(int plotIndex, uint value) override;
    bool reloadsOnIndividual() const override { return true; }

protected slots:
    void initData() override;

private slots:
    void axisYLeftClicked(double lower, double upper);
    void updateAxisProperty(double lower, double upper);
    void updateTempThreshold(QVector<int> thldIdx, uint gray);
    void switchAxisApplyAll();
    void switchAxisIndividual();
    void openParamDialog();

private:
    // The channel the panel's figures and the quality dialog are about: the first shown one.
    uint panelChannel() const;
    // The panel without the droplet figures of one well and channel.
    void hideFigures();
    // The grey axis of the plot at position 0..3 follows its moved solid line(s).
    void followSolidLines(int plotIndex, uint value, bool dragged);

    Zetan1Plot *m_plots[4] = {nullptr, nullptr, nullptr, nullptr};
    ThresholdAxis m_greyAxes[4];
    // Drawn off screen for every channel's thumbnail and kept: its buffers of a million
    // droplets are refilled in place on each refresh.
    std::unique_ptr<Zetan1Plot> m_thumbnailPlot;
    int m_activePlot = 0;
    QVector<AxisRange> m_autoRanges;
};
