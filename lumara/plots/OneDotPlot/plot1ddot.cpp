#include "plots/OneDotPlot/plot1ddot.h"

#include "plots/OneDotPlot/dotlayout.h"
#include "plots/OneDotPlot/plot1dpropertydialog.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/common/plotpage.h"
#include "plots/common/plotstyle.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnailmodel.h"

#include "bll/bllinstance.h"
#include "shell/channelcolors.h"
#include "shell/dialoghost.h"
#include "shell/qcparamadialog.h"
#include "shell/welllistmodel.h"

#include <algorithm>
#include <qwt_scale_div.h>

namespace {

const char *const PlotPrefix = "Quorin1D";
const char *const BelowColour = "#555555";
const char *const DividerColour = "#888888";

} // namespace

Plot1DDot::Plot1DDot(ThumbnailModel *thumbnails, QWidget *parent)
    : ChannelPlotPage(thumbnails, QStringLiteral("qrc:/OneDotPlot/qml/Plot1DDot.qml"), 670, parent)
{
    QVector<QWidget *> widgets;
    for (int i = 0; i < 4; ++i) {
        auto *plot = new Zetan1Plot;
        plot->setObjectName(QString::fromLatin1(PlotPrefix) + QString::number(i + 1));
        stylePlot(plot);
        connect(plot, &QwtBasic::axisYLeftDoubleClicked, this, &Plot1DDot::axisYLeftClicked);
        connect(plot, &Zetan1Plot::updateTempThreshold, this, &Plot1DDot::updateTempThreshold);
        connect(plot, &Zetan1Plot::resetAxisScale, this, &Plot1DDot::resetAxisScale);
        connect(plot, &QwtBasic::repaintPlot, this, &Plot1DDot::resetAxisScale);
        m_plots[i] = plot;
        widgets.append(plot);
    }
    addPlots(widgets);
    isAxisIndividual = 1;
    m_autoRanges.resize(6);
    thumbnailModel()->clear();
    if (QObject *root = qmlRoot()) {
        connect(root, SIGNAL(switchAxisApplyAll()), this, SLOT(switchAxisApplyAll()));
        connect(root, SIGNAL(switchAxisIndividual()), this, SLOT(switchAxisIndividual()));
        connect(root, SIGNAL(sigQcParamDialog()), this, SLOT(openParamDialog()));
    }
}

Plot1DDot::~Plot1DDot() = default;

void Plot1DDot::initData()
{
    m_activePlot = 0;
    isAxisIndividual = 1;
    // The ranges the old document's thumbnails found are no range of the new one.
    m_autoRanges = QVector<AxisRange>(6);
    hideFigures();
}

void Plot1DDot::hideFigures()
{
    QObject *root = qmlRoot();
    if (!root)
        return;
    root->setProperty("parametersShow", false);
    root->setProperty("effDroplets", QString());
    root->setProperty("refDroplets", QString());
    root->setProperty("pFu", QString());
    root->setProperty("dropletNumbersAbnormal", true);
}

uint Plot1DDot::panelChannel() const
{
    const QVector<uint> channels = shownChannels();
    return channels.isEmpty() ? 0 : channels.first();
}

void Plot1DDot::refreshPanel()
{
    QObject *root = qmlRoot();
    if (!root)
        return;
    BLLInstance *bll = BLLInstance::getInstance();
    const bool lineMode = bll->getThldType() == LumaraAnalysisData::LineThreshold;
    root->setProperty("moreParameterEnable", lineMode);
    const QList<uint> wells = selectedWells();
    const int well = WellListModel::instance()->getSelectWellID();
    const uint channel = panelChannel();
    if (wells.size() > 1) {
        root->setProperty("axisApply", false);
        hideFigures();
    } else {
        root->setProperty("axisApply", true);
        // Figures need one well and one channel; without either there is nothing to show.
        if (shownChannels().size() < 2 && well >= 0 && channel != 0) {
            const uint effective = bll->getWellDropletNum(uint(well));
            const uint reference = bll->getNumbersRef(uint(well));
            root->setProperty("parametersShow", true);
            root->setProperty("effDroplets", QStringLiteral("%1").arg(effective));
            root->setProperty("refDroplets", QStringLiteral("%1").arg(reference));
            root->setProperty("pFu", lineMode ? QString::number(bll->getPFuMean(uint(well), channel), 'f', 2)
                                              : QStringLiteral("---"));
            root->setProperty("dropletNumbersAbnormal", !(effective < reference));
        } else {
            hideFigures();
        }
    }
    setModeProperties();
}

void Plot1DDot::drawPlot(Zetan1Plot *plot, uint channel, bool thumbnail)
{
    const QList<uint> wells = selectedWells();
    BLLInstance *bll = BLLInstance::getInstance();
    WellListModel *wellModel = WellListModel::instance();
    const bool lineMode = bll->getThldType() == LumaraAnalysisData::LineThreshold;
    const QString colour = getChannelColor(int(channel));

    plot->setIndividual(isIndividualMode == 1);
    plot->SetPlot1DPointsColor(lineMode ? colour : QString::fromLatin1(BelowColour),
                               QString::fromLatin1(BelowColour), 3.0);
    plot->Set1DThresholdSoildLineDraw(colour, 1.8);
    plot->Set1DThresholdDottedLineDraw(colour, 1.8);

    QVector<uint> counts;
    for (uint well : wells)
        counts.append(uint(qMax(0, bll->getWellEffDropletCount(well))));
    const DotLayout layout = dotLayout(counts);

    if (isIndividualMode == 0 && !wells.isEmpty()) {
        const int first = wellModel->getCachedThreshold(wells.first(), channel);
        for (uint well : wells)
            wellModel->setCachedThreshold(well, channel, first);
    }
    // Emptied first, so that the new lines do not sort the old droplets; the old points'
    // buffer is refilled below.
    QVector<QPointF> points = plot->TakePlot1DPoints();
    QVector<uint> solid, dotted;
    for (uint well : wells) {
        solid.append(uint(qMax(0, wellModel->getCachedThreshold(well, channel))));
        dotted.append(lineMode ? bll->getThldByLine(well, channel) : 0u);
    }
    plot->setSolidThresholdLines(thresholdLines(layout, solid));
    plot->setDottedThresholdLines(thresholdLines(layout, dotted));
    plot->setThresholdLinesVisible(lineMode);

    // Thumbnails take a stored range only; plots fall back on the range their thumbnail found.
    AxisRange range;
    bool haveRange = storedAxisRange(wellAxisRanges, wells, channel, &range);
    const bool typedRange = haveRange && isAxisIndividual != 0;
    if (!thumbnail) {
        if (isAxisIndividual == 0)
            range = commonAxisRanges.value(int(channel) - 1);
        else if (!haveRange)
            range = m_autoRanges.value(int(channel) - 1);
        // A range never found (no thumbnail drawn yet) is empty: the plot scales itself.
        haveRange = range.first < range.second;
    }
    if (haveRange)
        plot->setAxisScale(QwtPlot::yLeft, range.first, range.second);
    else
        plot->setAxisAutoScale(QwtPlot::yLeft);
    // A range found from the droplets, for one well or for all, reaches past every line drawn
    // (autoscaling takes them in already); the bounds the user typed stay as typed.
    const int index = int(std::find(std::begin(m_plots), std::end(m_plots), plot) - std::begin(m_plots));
    if (!thumbnail && index < 4) {
        if (typedRange || !haveRange) {
            m_greyAxes[index].leaveToUser();
        } else {
            QVector<double> heights;
            if (lineMode) {
                for (int i = 0; i < solid.size(); ++i)
                    heights << double(solid.at(i)) << double(dotted.at(i));
            }
            m_greyAxes[index].fit(plot, QwtPlot::yLeft, range, heights);
        }
    }

    if (!thumbnail) {
        plot->SetTitleName(QwtPlot::xBottom, wells.size() == 1 ? QStringLiteral("Droplet Index") : QStringLiteral(" "));
        plot->SetTitleName(QwtPlot::yLeft, QStringLiteral("%1(%2)").arg(bll->getTargetName(channel),
                                                                         bll->getFluorophoreName(channel)));
    }

    points.resize(int(layout.offsets.last()));
    int n = 0;
    for (int i = 0; i < wells.size(); ++i) {
        const QVector<uint> greys = bll->getWellChannelGrayValues(wells.at(i), channel);
        const double start = layout.offsets.at(i);
        // A well never holds more kept droplets than its count; guarded all the same.
        if (n + greys.size() > points.size())
            points.resize(n + greys.size());
        QPointF *out = points.data() + n;
        for (int j = 0; j < greys.size(); ++j)
            out[j] = QPointF(start + j, greys.at(j));
        n += greys.size();
    }
    points.resize(n);
    plot->SetPlot1DPoints(points);

    if (thumbnail) {
        // The thumbnail plot is reused: nothing of the last channel's wells may stay.
        plot->Clear1DAxisDiv();
        plot->setAxisAutoScale(QwtPlot::xBottom);
        plot->Set1DXAxisDivInfo(wellModel->getSelectWellNameIDs(), QString::fromLatin1(DividerColour), 2.0);
    } else if (wells.size() == 1) {
        plot->Clear1DAxisDiv();
        plot->setAxisScale(QwtPlot::xBottom, 0, layout.offsets.last());
    } else {
        plot->Clear1DAxisDiv();
        plot->Set1DXAxisDivInfo(wellModel->getSelectWellNameIDs(), QString::fromLatin1(DividerColour), 2.0);
    }
    plot->replot();
}

void Plot1DDot::refreshThumbnails()
{
    if (!m_thumbnailPlot) {
        m_thumbnailPlot = std::make_unique<Zetan1Plot>();
        m_thumbnailPlot->resize(750, 550);
        m_thumbnailPlot->setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    }
    rebuildThumbnails([this](uint channel) {
        Zetan1Plot *plot = m_thumbnailPlot.get();
        drawPlot(plot, channel, true);
        const QwtScaleDiv &div = plot->axisScaleDiv(QwtPlot::yLeft);
        if (channel >= 1 && channel <= 6)
            m_autoRanges[int(channel) - 1] = AxisRange(div.lowerBound(), div.upperBound());
        return plot->grab().toImage();
    });
}

void Plot1DDot::refreshPlots()
{
    const QVector<uint> channels = shownChannels();
    QVector<QWidget *> placed;
    const int count = ::plotGrid(channels.size()).plots.size();
    for (int i = 0; i < count; ++i) {
        const uint channel = i == 1 && channels.size() == 2 ? channels.last() : channels.at(i);
        drawPlot(m_plots[i], channel, false);
        placed.append(m_plots[i]);
    }
    placeShownPlots(placed);
}

void Plot1DDot::moveSolidLine(int plotIndex, uint value)
{
    if (plotIndex < 0 || plotIndex >= 4)
        return;
    Zetan1Plot *plot = m_plots[plotIndex];
    QVector<QPolygonF> lines = plot->solidThresholdLines();
    for (QPolygonF &line : lines) {
        if (!line.isEmpty())
            line = QPolygonF(QVector<QPointF>{QPointF(line.first().x(), value), QPointF(line.last().x(), value)});
    }
    plot->setSolidThresholdLines(lines);
    followSolidLines(plotIndex, value, false);
}

void Plot1DDot::followSolidLines(int plotIndex, uint value, bool dragged)
{
    if (BLLInstance::getInstance()->getThldType() != LumaraAnalysisData::LineThreshold)
        return;
    Zetan1Plot *plot = m_plots[plotIndex];
    QVector<double> heights;
    for (const QPolygonF &line : plot->solidThresholdLines() + plot->dottedThresholdLines()) {
        if (!line.isEmpty())
            heights << line.first().y();
    }
    if (m_greyAxes[plotIndex].follow(plot, QwtPlot::yLeft, heights, {double(value)}, dragged))
        plot->replot();
}

void Plot1DDot::axisYLeftClicked(double lower, double upper)
{
    m_activePlot = plotNumberOf(sender(), QString::fromLatin1(PlotPrefix));
    auto *dialog = new Plot1DpropertyDialog;
    dialog->setBounds(lower, upper);
    centreOnActiveWindow(dialog);
    connect(dialog, &Plot1DpropertyDialog::updateProperty, this, &Plot1DDot::updateAxisProperty, Qt::UniqueConnection);
    dialog->exec();
    dialog->deleteLater();
}

void Plot1DDot::updateAxisProperty(double lower, double upper)
{
    const uint channel = shownChannelOfPlot(shownChannels(), m_activePlot);
    storeAxisRange(&wellAxisRanges, selectedWells(), channel, AxisRange(lower, upper));
    fullRefresh();
}

void Plot1DDot::updateTempThreshold(QVector<int> thldIdx, uint gray)
{
    m_activePlot = plotNumberOf(sender(), QString::fromLatin1(PlotPrefix));
    const uint channel = shownChannelOfPlot(shownChannels(), m_activePlot);
    if (channel == 0)
        return;
    WellListModel *wells = WellListModel::instance();
    if (isIndividualMode != 1) {
        for (uint well : wells->getAllWellIDs())
            wells->setCachedThreshold(well, channel, int(gray));
    } else {
        const QList<uint> selected = selectedWells();
        for (int k : thldIdx) {
            // The plot may still show wells the list no longer selects.
            if (k >= 0 && k < selected.size())
                wells->setCachedThreshold(selected.at(k), channel, int(gray));
        }
    }
    thresholdModel()->setChannelThreshold(int(channel), gray);
    followSolidLines(m_activePlot - 1, gray, true);
}

void Plot1DDot::switchAxisApplyAll()
{
    isAxisIndividual = 0;
    const int well = WellListModel::instance()->getSelectWellID();
    WellListModel::instance()->setCurrentWell(well < 0 ? 0u : uint(well));
    commonAxisRanges = m_autoRanges;
    refreshPlots();
}

void Plot1DDot::switchAxisIndividual()
{
    isAxisIndividual = 1;
    WellListModel::instance()->setCurrentWell(0);
    refreshPlots();
}

void Plot1DDot::openParamDialog()
{
    const int well = WellListModel::instance()->getSelectWellID();
    const uint channel = panelChannel();
    // Without one well and a shown channel there are no figures to show.
    if (well < 0 || channel == 0)
        return;
    auto *dialog = new QcParamaDialog;
    dialog->showQcParams(uint(well), channel);
    centreOnActiveWindow(dialog);
    dialog->exec();
    dialog->deleteLater();
}
