#include "plots/Histogram/histogram.h"

#include "plots/Histogram/histogrampropertydialog.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/common/plotpage.h"
#include "plots/common/plotstyle.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnailmodel.h"

#include "bll/bllinstance.h"
#include "shell/channelcolors.h"
#include "shell/dialoghost.h"
#include "shell/welllistmodel.h"

#include <algorithm>

namespace {

const char *const PlotPrefix = "Histogram";

} // namespace

Histogram::Histogram(ThumbnailModel *thumbnails, QWidget *parent)
    : ChannelPlotPage(thumbnails, QStringLiteral("qrc:/Histogram/qml/Histogram.qml"), 24 + 155 + 22 + 197 + 22, parent)
{
    QVector<QWidget *> widgets;
    for (int i = 0; i < 4; ++i) {
        auto *plot = new ZetanHistogramPlot;
        plot->setObjectName(QString::fromLatin1(PlotPrefix) + QString::number(i + 1));
        stylePlot(plot);
        connect(plot, &QwtBasic::axisYLeftDoubleClicked, this, &Histogram::axisYLeftClicked);
        connect(plot, &ZetanHistogramPlot::updateTempThreshold, this, &Histogram::updateTempThreshold);
        connect(plot, &ZetanHistogramPlot::resetAxisScale, this, &Histogram::resetAxisScale);
        connect(plot, &QwtBasic::repaintPlot, this, &Histogram::resetAxisScale);
        m_plots[i] = plot;
        widgets.append(plot);
    }
    addPlots(widgets);
}

Histogram::~Histogram() = default;

QVector<uint> Histogram::getGrayValues(const QList<uint> &wellIDs, uint channelID)
{
    QVector<uint> values;
    BLLInstance *bll = BLLInstance::getInstance();
    for (uint well : wellIDs)
        values += bll->getWellChannelGrayValues(well, channelID);
    return values;
}

QPair<uint, uint> Histogram::getGrayRange(const QList<uint> &wellIDs, uint channelID)
{
    QPair<uint, uint> range(70000, 0);
    for (uint value : getGrayValues(wellIDs, channelID)) {
        range.first = std::min(range.first, value);
        range.second = std::max(range.second, value);
    }
    return range;
}

int Histogram::binWidthOf(const QVector<uint> &values)
{
    if (values.isEmpty())
        return 5;
    const uint max = *std::max_element(values.cbegin(), values.cend());
    // Every tried width is a multiple of 5, and value / (5k) == (value / 5) / k: one pass
    // counts by fives, each width then sums those counts. Sized so that the largest value's
    // bin exists, also when it is an exact multiple of the width or 0.
    QVector<uint> fives(int(max / 5) + 1, 0);
    for (uint v : values)
        ++fives[int(v / 5)];
    for (int width = 315; width >= 10; width -= 5) {
        const int k = width / 5;
        int filled = 0;
        for (int first = 0; first < fives.size(); first += k) {
            uint count = 0;
            for (int i = first; i < std::min(first + k, int(fives.size())); ++i)
                count += fives.at(i);
            if (count >= 16)
                ++filled;
        }
        if (filled >= 17)
            return width;
    }
    return 5;
}

int Histogram::calBinWidth(const QList<uint> &wellIDs, uint channelID)
{
    return binWidthOf(getGrayValues(wellIDs, channelID));
}

void Histogram::initData()
{
    m_currentPlot = 0;
    m_axisRanges.clear();
}

void Histogram::refreshPanel()
{
    setModeProperties();
}

void Histogram::drawHistogram(ZetanHistogramPlot *plot, uint channel, int upperValue, bool thumbnail)
{
    const QList<uint> wells = selectedWells();
    const QVector<uint> values = getGrayValues(wells, channel);
    const uint largest = values.isEmpty() ? 0 : *std::max_element(values.cbegin(), values.cend());
    plot->SetHistogramData(getChannelColor(int(channel)), binWidthOf(values), int(largest) + upperValue, values);
    if (histogramLogAxis == 1) {
        if (!thumbnail)
            plot->SetTitleName(QwtPlot::yLeft, tr("Number of Droplets(log₁₀))"));
        plot->SetLogAxis(QwtPlot::yLeft);
        plot->setAxisAutoScale(QwtPlot::yLeft);
        return;
    }
    if (!thumbnail)
        plot->SetTitleName(QwtPlot::yLeft, tr("Number of Droplets(Linear)"));
    plot->SetLinearAxis(QwtPlot::yLeft);
    AxisRange range;
    if (storedAxisRange(m_axisRanges, wells, channel, &range))
        plot->setAxisScale(QwtPlot::yLeft, range.first, range.second, 0);
    else
        plot->setAxisAutoScale(QwtPlot::yLeft);
}

void Histogram::refreshThumbnails()
{
    rebuildThumbnails([this](uint channel) {
        ZetanHistogramPlot plot;
        plot.resize(750, 550);
        plot.setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
        drawHistogram(&plot, channel, 100, true);
        plot.replot();
        return plot.grab().toImage();
    });
}

void Histogram::refreshPlots()
{
    const QVector<uint> channels = shownChannels();
    const QList<uint> wells = selectedWells();
    BLLInstance *bll = BLLInstance::getInstance();
    const WellListModel *wellModel = WellListModel::instance();
    const bool lineMode = bll->getThldType() == LumaraAnalysisData::LineThreshold;
    const bool linesShown = lineMode && !wells.isEmpty() && (wells.size() == 1 || isIndividualMode != 1);
    m_linesShown = linesShown;
    QVector<QWidget *> placed;
    const int count = ::plotGrid(channels.size()).plots.size();
    for (int i = 0; i < count; ++i) {
        // Two shown channels: the second plot shows the last one.
        const uint channel = i == 1 && channels.size() == 2 ? channels.last() : channels.at(i);
        ZetanHistogramPlot *plot = m_plots[i];
        drawHistogram(plot, channel, 0, false);
        plot->SetTitleName(QwtPlot::xBottom, QStringLiteral("%1(%2)").arg(bll->getFluorophoreName(channel),
                                                                           bll->getTargetName(channel)));
        QVector<double> lines;
        if (linesShown) {
            const QString colour = getChannelColor(int(channel));
            plot->SetHistogramThresholdSoildLineDraw(colour, 1.8);
            plot->SetHistogramThresholdDottedLineDraw(colour, 1.8);
            plot->SetHistogramThresholdSoildLineValue(wellModel->getCachedThreshold(wells.first(), channel));
            plot->SetHistogramThresholdDottedLineValue(bll->getThldByLine(wells.first(), channel));
            lines = {plot->getSolidlineThreshold(), plot->getDotlineThreshold()};
        }
        plot->SetHistogramThresholdSoildLineVisible(linesShown);
        plot->SetHistogramThresholdDottedLineVisible(linesShown);
        // The bars set the grey axis; it reaches past the lines as well.
        m_greyAxes[i].fitScaled(plot, QwtPlot::xBottom, lines);
        plot->replot();
        placed.append(plot);
    }
    placeShownPlots(placed);
}

void Histogram::moveSolidLine(int plotIndex, uint value)
{
    if (plotIndex < 0 || plotIndex >= 4)
        return;
    followSolidLine(plotIndex, value, false);
    m_plots[plotIndex]->SetHistogramThresholdSoildLineValue(value);
}

void Histogram::followSolidLine(int plotIndex, uint value, bool dragged)
{
    if (!m_linesShown)
        return;
    ZetanHistogramPlot *plot = m_plots[plotIndex];
    if (m_greyAxes[plotIndex].follow(plot, QwtPlot::xBottom, {double(value), plot->getDotlineThreshold()},
                                     {double(value)}, dragged))
        plot->replot();
}

void Histogram::axisYLeftClicked(double lower, double upper)
{
    m_currentPlot = plotNumberOf(sender(), QString::fromLatin1(PlotPrefix));
    auto *dialog = new HistogramPropertyDialog;
    dialog->setAxisProperty(histogramLogAxis != 1, lower, upper);
    centreOnActiveWindow(dialog);
    disconnect(dialog, &HistogramPropertyDialog::updateProperty, this, &Histogram::updateAxisProperty);
    connect(dialog, &HistogramPropertyDialog::updateProperty, this, &Histogram::updateAxisProperty);
    dialog->exec();
    dialog->deleteLater();
}

void Histogram::updateAxisProperty(bool isLinear, double lower, double upper)
{
    histogramLogAxis = isLinear ? 0 : 1;
    const uint channel = shownChannelOfPlot(shownChannels(), m_currentPlot);
    storeAxisRange(&m_axisRanges, WellListModel::instance()->getSelectWellIDs(), channel, AxisRange(lower, upper));
    fullRefresh();
}

void Histogram::updateTempThreshold(uint gray)
{
    m_currentPlot = plotNumberOf(sender(), QString::fromLatin1(PlotPrefix));
    const uint channel = shownChannelOfPlot(shownChannels(), m_currentPlot);
    if (channel == 0)
        return;
    cacheThreshold(WellListModel::instance()->getSelectWellID(), channel, gray);
    thresholdModel()->setChannelThreshold(int(channel), gray);
    followSolidLine(m_currentPlot - 1, gray, true);
}
