#include "pages/Explore/explorepage.h"

#include "pages/DropletImage/dropletmarker.h"
#include "pages/Explore/explore1ddot.h"
#include "pages/Explore/explore2ddot.h"
#include "pages/Explore/exploreview.h"
#include "pages/Explore/quorinbox.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "shell/channelcolors.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QQuickItem>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString noPopulation = QStringLiteral("#999");
const QString negativeGrey = QStringLiteral("#555555");
constexpr double PointSize = 1.7;
constexpr double LineWidth = 2.0;

int scaled(double pixels)
{
    return int(pixels * uiScaleFactor);
}

QString axisTitle(uint channel)
{
    BLLInstance *bll = BLLInstance::getInstance();
    return QStringLiteral("%1(%2)").arg(bll->getFluorophoreName(channel), bll->getTargetName(channel));
}

QWidget *expanding(QWidget *widget)
{
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return widget;
}

} // namespace

ExplorePage::ExplorePage(QWidget *parent) : QQuickWidget(parent)
{
    buildUi();
    buildLayout();
    // The window keeps its own minimum (small screens): the page is laid out in what it gets
    // rather than widening the window to its content.
    setMinimumSize(1, 1);
    for (QWidget *h : {holder1D, holderXY, holderXZ, holderYZ})
        h->hide();
    connectSignals();
}

ExplorePage::~ExplorePage() = default;

QWidget *ExplorePage::holder(int index) const
{
    switch (index) {
    case 0:
        return holder1D;
    case 1:
        return holderXY;
    case 2:
        return holderXZ;
    case 3:
        return holderYZ;
    default:
        return nullptr;
    }
}

// ---- Building -----------------------------------------------------------------------------

void ExplorePage::buildUi()
{
    loadScaledView(this, QUrl(QStringLiteral("qrc:/qml/Explore.qml")));

    header = new WellHeaderView(Qt::Horizontal, this);
    header->setFixedHeight(32);
    delegate = new WellListDelegate(this);
    wellTable = new WellListView(this);
    wellTable->setHorizontalHeader(header);
    wellTable->setModel(WellListModel::instance());
    wellTable->setItemDelegate(delegate);
    wellTable->setMultiSelect(false);
    expanding(wellTable);

    imageHolder = expanding(new QWidget(this));
    plotHolder = expanding(new QWidget(this));

    QFont labelFont(QStringLiteral("Roboto"));
    labelFont.setPixelSize(std::max(1, scaled(12)));
    populationLabel = new QLabel(tr("Select the population to diaplay : "));
    populationLabel->setFont(labelFont);
    populationLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    populationDot = new QLabel;
    populationDot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setDotColour(noPopulation);
    populationBox = new QuorinBox;
    plotBox = new QuorinBox;
    for (QuorinBox *box : {populationBox, plotBox}) {
        box->setMinimumSize(scaled(162), scaled(28));
        box->setMaximumSize(scaled(180), scaled(28));
        box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    view = new ExploreView;
    expanding(view);
    view->setFrameShape(QFrame::NoFrame);
    plotLabel = new QLabel(tr("Select the plot to display : "));
    plotLabel->setFont(labelFont);
    plotLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    plot1D = new Explore1DDot;
    plot1D->setObjectName(QStringLiteral("Explore1DObj"));
    plotXY = new Explore2DDot;
    plotXY->setObjectName(QStringLiteral("Explore2DXY"));
    plotXZ = new Explore2DDot;
    plotXZ->setObjectName(QStringLiteral("Explore2DXZ"));
    plotYZ = new Explore2DDot;
    plotYZ->setObjectName(QStringLiteral("Explore2DYZ"));
    for (QWidget *plot : {static_cast<QWidget *>(plot1D), static_cast<QWidget *>(plotXY),
                          static_cast<QWidget *>(plotXZ), static_cast<QWidget *>(plotYZ)})
        expanding(plot);
    for (QWidget **h : {&holder1D, &holderXY, &holderXZ, &holderYZ}) {
        *h = expanding(new QWidget);
        (*h)->setMinimumHeight(scaled(260));
    }

    root = rootObject();
}

void ExplorePage::buildLayout()
{
    const QVector<QPair<QWidget *, QWidget *>> holders = {
        {holder1D, plot1D}, {holderXY, plotXY}, {holderXZ, plotXZ}, {holderYZ, plotYZ}};
    for (const auto &h : holders) {
        auto *box = new QHBoxLayout(h.first);
        box->setSpacing(0);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(h.second);
    }

    auto *populationRow = new QHBoxLayout;
    populationRow->setSpacing(0);
    populationRow->setContentsMargins(0, 0, 0, 0);
    populationRow->addStretch(1);
    populationRow->addWidget(populationLabel);
    populationRow->addSpacing(scaled(5));
    populationRow->addWidget(populationDot);
    populationRow->addSpacing(scaled(5));
    populationRow->addWidget(populationBox);
    populationRow->addStretch(1);

    auto *imageColumn = new QVBoxLayout(imageHolder);
    imageColumn->setContentsMargins(0, 0, 0, 0);
    imageColumn->addSpacing(scaled(10));
    imageColumn->addLayout(populationRow);
    imageColumn->addSpacing(scaled(10));
    imageColumn->addWidget(view);
    imageColumn->addSpacing(scaled(70));

    auto *plotRow = new QHBoxLayout;
    plotRow->setSpacing(0);
    plotRow->setContentsMargins(0, 0, 0, 0);
    plotRow->addStretch(1);
    plotRow->addWidget(plotLabel);
    plotRow->addSpacing(scaled(5));
    plotRow->addWidget(plotBox);
    plotRow->addStretch(1);

    auto *plotColumn = new QVBoxLayout(plotHolder);
    plotColumn->setContentsMargins(0, 0, 0, 0);
    plotColumn->addSpacing(scaled(10));
    plotColumn->addLayout(plotRow);
    plotColumn->addSpacing(scaled(10));
    for (QWidget *h : {holder1D, holderXY, holderXZ, holderYZ})
        plotColumn->addWidget(h);
    plotColumn->addStretch(0);

    auto *page = new QHBoxLayout(this);
    page->setContentsMargins(scaled(26), scaled(26), scaled(28), scaled(30));
    page->addWidget(wellTable, 2);
    page->addSpacing(scaled(15));
    page->addWidget(imageHolder, 8);
    page->addSpacing(scaled(8));
    page->addWidget(plotHolder, 3);
    // The tool bar's strip.
    page->addSpacing(scaled(210));
}

void ExplorePage::connectSignals()
{
    if (root) {
        connect(root, SIGNAL(updateSelectChannel(int)), this, SLOT(updateSelectImage(int)));
        for (const char *command : {"addBrightness()", "reduceBrightness()", "addConstract()", "reduceConstract()",
                                    "defaultBrightAndConstract()", "autoBrightAndConstract()", "redo()", "undo()",
                                    "exclude()", "include()", "restore()", "selectAll()", "updateOpacity(double)"}) {
            connect(root, QByteArray(QByteArray::number(QSIGNAL_CODE) + command).constData(), this,
                    QByteArray(QByteArray::number(QSLOT_CODE) + command).constData());
        }
        connect(this, SIGNAL(updateQMLSelectChannel(int)), root, SIGNAL(setSelectChannel(int)));
        connect(this, SIGNAL(updateConstractAdjustType(int)), root, SIGNAL(updateConstractAdjustType(int)));
        connect(view, SIGNAL(enableRedo(bool)), root, SIGNAL(enableRedo(bool)));
        connect(view, SIGNAL(enableUndo(bool)), root, SIGNAL(enableUndo(bool)));
    }
    connect(populationBox, &QuorinBox::quorinBoxClick, this, &ExplorePage::populationBoxClicked);
    connect(plotBox, &QuorinBox::quorinBoxClick, this, &ExplorePage::targetBoxClicked);
    connect(plot1D, &Explore1DDot::showMarkerByThreshold, this, &ExplorePage::showMarkerByThreshold);
    connect(plot1D, &Explore1DDot::showMarkerBySelectRect, this, &ExplorePage::showMarkerBySelectRect);
    connect(plot1D, &Explore1DDot::canlcelMark, this, &ExplorePage::cancelSelect);
    for (Explore2DDot *plot : {plotXY, plotXZ, plotYZ}) {
        connect(plot, &Explore2DDot::showMarkerBySelectRect, this, &ExplorePage::showMarkerBySelectRect);
        connect(plot, &Explore2DDot::showMarkerByThreshold, this, &ExplorePage::showMarkerBy2DThreshold);
        connect(plot, &Explore2DDot::canlcelMark, this, &ExplorePage::cancelSelect);
    }
    connect(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete, this, &ExplorePage::openNewFile);
    connect(wellTable, &WellListView::sigWellSelectChange, this, &ExplorePage::selectWellChange);
}

void ExplorePage::setRootProperty(const char *name, const QVariant &value)
{
    if (root)
        root->setProperty(name, value);
}

void ExplorePage::setDotColour(const QString &colour)
{
    populationDot->setStyleSheet(QStringLiteral("min-width: 20px; min-height: 20px; max-width:20px; "
                                                "max-height: 20px; border-radius: 10px;  border:0px solid black; "
                                                "background: %1")
                                     .arg(colour));
    populationDot->setProperty("dotColour", colour);
}

// ---- Refreshing ---------------------------------------------------------------------------

bool ExplorePage::haveWells() const
{
    return !WellListModel::instance()->getAllWellIDs().isEmpty();
}

uint ExplorePage::selectedWell() const
{
    const int well = WellListModel::instance()->getSelectWellID();
    return well >= 1 ? uint(well) : 0;
}

void ExplorePage::loadShownImage()
{
    // Without a well or a channel there is no image to ask for (and no message to show).
    const uint well = selectedWell();
    if (well == 0 || imageChannel == 0)
        return;
    view->loadImage(well, imageChannel);
}

void ExplorePage::refresh()
{
    if (!haveWells())
        return;
    setRootProperty("uiEnabled", true);
    updatePopulationBox();
    // Then as for a well chosen anew.
    selectWellChange();
}

void ExplorePage::selectWellChange()
{
    // The new well's plot entries before anything is marked: a pick made on a plot that the
    // well does not offer must not be replayed on it.
    rebuildPlotBox();
    updateWellChannels(WellListModel::instance()->getSelectWellID());
    emit updateConstractAdjustType(view->getAdjustType(imageChannel));
    loadShownImage();
    initMarker(false);
    emit updateConstractAdjustType(view->getAdjustType(imageChannel));
    updatePlots(plotBox->currentName());
    restoreSelection();
    initMarker(false);
}

void ExplorePage::openNewFile()
{
    // The well list now holds another document (or the same one analysed again): nothing of
    // what was shown, picked or chosen stays, or a stored pick would mark, and let the user
    // exclude, droplets never chosen.
    markerMode = Threshold;
    populationId = 0;
    imageChannel = 0;
    forgetPicks();
    lastSelectAll = false;
    populationBox->clearItems();
    plotBox->clearItems();
    plotEntries.clear();
    setDotColour(noPopulation);
    clearPlots();
    view->forgetDocument();
    updateChannelButtons({}, 0);
    setRootProperty("uiEnabled", false);
    // On screen the page is built from the new document before it takes any input.
    if (isVisible())
        refresh();
}

void ExplorePage::forgetPick()
{
    hasPick = false;
    oneDChannel = 0;
    positive = false;
    xChannel = 0;
    yChannel = 0;
    xPositive = false;
    yPositive = false;
    range1 = qMakePair(0u, 0u);
    range2 = qMakePair(0u, 0u);
}

void ExplorePage::forgetPicks()
{
    forgetPick();
    plot1D->clearSelection();
    for (Explore2DDot *plot : {plotXY, plotXZ, plotYZ})
        plot->clearSelection();
}

void ExplorePage::clearPlots()
{
    for (QWidget *h : {holder1D, holderXY, holderXZ, holderYZ})
        h->hide();
    plot1D->SetPlot1DPoints({});
    plot1D->setThresholdLines({});
    plot1D->clearSelection();
    for (Explore2DDot *plot : {plotXY, plotXZ, plotYZ}) {
        plot->setThresholdVisible(false);
        plot->clearCurves();
        plot->clearSelection();
    }
}

void ExplorePage::updateWellChannels(int wellId)
{
    const QList<uint> channels =
        wellId >= 1 ? BLLInstance::getInstance()->getSortedChannelsOfWells({uint(wellId)}) : QList<uint>();
    updateChannelButtons(channels, wellId);
}

void ExplorePage::updateChannelButtons(const QList<uint> &channels, int wellId)
{
    for (int n = 1; n <= 6; ++n) {
        setRootProperty(QByteArray("channel" + QByteArray::number(n) + "Status").constData(), false);
        setRootProperty(QByteArray("channel" + QByteArray::number(n) + "Text").constData(), false);
    }
    for (int n = 1; n <= 6; ++n)
        setRootProperty(QByteArray("channel" + QByteArray::number(n) + "Status").constData(),
                        channels.contains(uint(n)));
    const uint ref = wellId >= 1 ? BLLInstance::getInstance()->getRefChannelId(uint(wellId)) : 0;
    if (ref >= 1 && ref <= 6)
        setRootProperty(QByteArray("channel" + QByteArray::number(ref) + "Text").constData(), true);
    // A channel the well does not use (wells of merged runs) has no image: the well's first
    // channel is shown instead, as for a page that has none yet.
    if (imageChannel == 0 || !channels.contains(imageChannel))
        imageChannel = channels.isEmpty() ? 0 : channels.first();
    emit updateQMLSelectChannel(int(imageChannel));
}

void ExplorePage::updateSelectImage(int channelID)
{
    imageChannel = channelID > 0 ? uint(channelID) : 0;
    emit updateConstractAdjustType(view->getAdjustType(imageChannel));
    loadShownImage();
    initMarker(false);
}

void ExplorePage::updatePopulationBox()
{
    PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr();
    const QStringList names = populations->getPopulationNames();
    populationBox->clearItems();
    for (const QString &name : names)
        populationBox->addHtmlItem(qMakePair(name, QString()));
    if (markerMode != Population) {
        setDotColour(noPopulation);
        return;
    }
    const LumaraAnalysisData::PopulationsInfo current = populations->getPopulation(populationId);
    if (!current.name.isEmpty()) {
        populationBox->selectIndex(names.indexOf(current.name));
        setDotColour(current.signColor);
    } else if (!names.isEmpty()) {
        populationId = populations->getPopulationId(names.first());
        populationBox->selectIndex(0);
        setDotColour(populations->getPopulations().first().signColor);
    } else {
        setDotColour(noPopulation);
    }
}

void ExplorePage::updatePlotBox()
{
    const QString previous = plotBox->currentName();
    plotBox->clearItems();
    plotEntries.clear();
    BLLInstance *bll = BLLInstance::getInstance();
    const QList<uint> wells = WellListModel::instance()->getSelectWellIDs();
    const QList<uint> channels = bll->getChannelsOfWells(wells);
    // Without a selected well there is no reference to add.
    const uint ref = wells.isEmpty() ? 0 : bll->getRefChannelId(wells.first());
    QHash<uint, QString> names;
    for (uint c : channels)
        names.insert(c, bll->getTargetName(c));
    plotEntries = explorePlotEntries(channels, names, ref);
    int current = 0;
    bool found = false;
    for (int i = 0; i < plotEntries.size(); ++i) {
        plotBox->addHtmlItem(qMakePair(plotEntries[i].name, explorePlotTag(plotEntries[i])));
        if (!found && plotEntries[i].name == previous) {
            current = i;
            found = true;
        }
    }
    plotBox->selectIndex(current);
}

void ExplorePage::rebuildPlotBox()
{
    const QVector<uint> before = getPlotChannels(plotBox->currentName());
    updatePlotBox();
    if (getPlotChannels(plotBox->currentName()) != before)
        forgetPicks();
}

QVector<uint> ExplorePage::getPlotChannels(const QString &name) const
{
    return explorePlotChannels(plotEntries, name);
}

// ---- Choosing and marking -----------------------------------------------------------------

void ExplorePage::populationBoxClicked(QString populationName)
{
    const LumaraAnalysisData::PopulationsInfo population =
        BLLInstance::getInstance()->getPopulationsMgr()->getPopulationByName(populationName);
    if (markerMode != Population) {
        markerMode = Population;
        forgetPicks();
    }
    populationId = population.id;
    setDotColour(population.signColor);
    initMarker(false);
}

void ExplorePage::targetBoxClicked(QString itemName)
{
    populationBox->clearLabel();
    setDotColour(noPopulation);
    markerMode = Threshold;
    // A pick belongs to the plot it was made on.
    forgetPicks();
    lastSelectAll = false;
    if (view->imageItem())
        view->reloadImage();
    updatePlots(itemName);
}

void ExplorePage::initMarker()
{
    initMarker(false);
}

void ExplorePage::initMarker(bool selectAll)
{
    const QVector<uint> channels = getPlotChannels(plotBox->currentName());
    lastSelectAll = selectAll;
    if (channels.isEmpty())
        return;
    const bool one = channels.size() == 1;
    switch (markerMode) {
    case Population:
        view->markByPopulation(
            BLLInstance::getInstance()->getPopulationsMgr()->getPopulationId(populationBox->currentName()), selectAll);
        break;
    case Threshold:
        if (!hasPick)
            break;
        if (one) {
            if (channels.first() == oneDChannel)
                view->markBy1DThreshold(channels.first(), positive, selectAll);
        } else {
            view->markBy2DThreshold(xChannel, yChannel, xPositive, yPositive, selectAll);
        }
        break;
    case SelectRect:
        if (!hasPick)
            break;
        if (one)
            view->markBy1DRect(range1, range2, oneDChannel, selectAll);
        else
            view->markBy2DRect(range1, range2, xChannel, yChannel, selectAll);
        break;
    }
}

void ExplorePage::clearOther2DSelections(const QObject *sender)
{
    for (Explore2DDot *plot : {plotXY, plotXZ, plotYZ})
        if (plot != sender)
            plot->clearSelection();
}

bool ExplorePage::pairOfSender(const QObject *sender, uint &x, uint &y) const
{
    const QVector<uint> channels = getPlotChannels(plotBox->currentName());
    int first = -1;
    int second = -1;
    if (sender == plotXY) {
        first = 0;
        second = 1;
    } else if (sender == plotXZ) {
        first = 0;
        second = 2;
    } else if (sender == plotYZ) {
        first = 1;
        second = 2;
    }
    if (first < 0 || second >= channels.size())
        return false;
    x = channels[first];
    y = channels[second];
    return true;
}

void ExplorePage::showMarkerByThreshold(bool isPositive)
{
    const QVector<uint> channels = getPlotChannels(plotBox->currentName());
    markerMode = Threshold;
    // A new pick replaces the old one, and its markers are not yet selected.
    forgetPick();
    lastSelectAll = false;
    if (channels.size() != 1)
        return;
    oneDChannel = channels.first();
    positive = isPositive;
    hasPick = true;
    view->showMarkerBy1DThreshold(oneDChannel, positive, false);
}

void ExplorePage::showMarkerBy2DThreshold(bool ch1, bool ch2)
{
    markerMode = Threshold;
    clearOther2DSelections(sender());
    forgetPick();
    lastSelectAll = false;
    xPositive = ch1;
    yPositive = ch2;
    if (!pairOfSender(sender(), xChannel, yChannel))
        return;
    hasPick = true;
    view->showMarkerBy2DThreshold(xChannel, yChannel, ch1, ch2, false);
}

void ExplorePage::showMarkerBySelectRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> graysRange)
{
    markerMode = SelectRect;
    const QObject *from = sender();
    const bool from2D = from == plotXY || from == plotXZ || from == plotYZ;
    if (from2D)
        clearOther2DSelections(from);
    forgetPick();
    lastSelectAll = false;
    range1 = indexRange;
    range2 = graysRange;
    if (from == plot1D) {
        const QVector<uint> channels = getPlotChannels(plotBox->currentName());
        if (channels.size() != 1)
            return;
        oneDChannel = channels.first();
        hasPick = true;
        view->showMarkerBy1DRect(range1, range2, oneDChannel, false);
    } else if (from2D && pairOfSender(from, xChannel, yChannel)) {
        hasPick = true;
        view->showMarkerBy2DRect(range1, range2, xChannel, yChannel, false);
    }
}

void ExplorePage::cancelSelect()
{
    // A cancelled pick is not marked again by the next brightness step or Select for Exclusion.
    forgetPick();
    lastSelectAll = false;
    if (view->imageItem())
        view->cancelMarkers();
}

// ---- Tool bar -----------------------------------------------------------------------------

void ExplorePage::addBrightness()
{
    view->adjustBrightContrast(0, 0.1);
    initMarker(false);
}

void ExplorePage::reduceBrightness()
{
    view->adjustBrightContrast(0, -0.1);
    initMarker(false);
}

void ExplorePage::addConstract()
{
    view->adjustBrightContrast(1, 0.1);
    initMarker(false);
}

void ExplorePage::reduceConstract()
{
    view->adjustBrightContrast(1, -0.1);
    initMarker(false);
}

void ExplorePage::defaultBrightAndConstract()
{
    view->resetBrightContrast();
    initMarker(false);
}

void ExplorePage::autoBrightAndConstract()
{
    view->autoBrightContrast();
    initMarker(false);
}

void ExplorePage::exclude()
{
    if (!haveWells())
        return;
    view->excludeSelected();
    initMarker(false);
    updatePlots(plotBox->currentName());
    restoreSelection();
}

void ExplorePage::include()
{
    if (!haveWells())
        return;
    view->includeSelected();
    initMarker(false);
    updatePlots(plotBox->currentName());
    restoreSelection();
}

void ExplorePage::restore()
{
    if (!haveWells())
        return;
    if (view->restoreWell()) {
        initMarker(false);
        updatePlots(plotBox->currentName());
        restoreSelection();
    }
}

void ExplorePage::undo()
{
    if (haveWells())
        view->undo();
}

void ExplorePage::redo()
{
    if (haveWells())
        view->redo();
}

void ExplorePage::selectAll()
{
    if (haveWells())
        initMarker(true);
}

void ExplorePage::updateOpacity(double opacity)
{
    markerOpacity = opacity;
    QMetaObject::invokeMethod(this, "initMarker", Q_ARG(bool, lastSelectAll));
}

// ---- Plot feeding -------------------------------------------------------------------------

void ExplorePage::updatePlots(const QString &plotName)
{
    for (QWidget *h : {holder1D, holderXY, holderXZ, holderYZ})
        h->hide();
    const QVector<uint> channels = getPlotChannels(plotName);
    switch (channels.size()) {
    case 1:
        holder1D->show();
        update1DPlot(channels[0]);
        break;
    case 2:
        holderXY->show();
        update2DPlot(channels[0], channels[1], plotXY);
        break;
    case 3:
        holderXY->show();
        holderXZ->show();
        holderYZ->show();
        update2DPlot(channels[0], channels[1], plotXY);
        update2DPlot(channels[0], channels[2], plotXZ);
        update2DPlot(channels[1], channels[2], plotYZ);
        break;
    default:
        break;
    }
}

int ExplorePage::getDropletCount(uint channel)
{
    return BLLInstance::getInstance()->getWellChannelGrayValues(selectedWell(), channel).size();
}

void ExplorePage::update1DPlot(uint channel)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const uint well = selectedWell();
    const bool lineMode = bll->getThldType() == 0;
    const QString colour = getChannelColor(int(channel));
    // One read serves the count and the points.
    const QVector<uint> greys = bll->getWellChannelGrayValues(well, channel);
    const int count = greys.size();
    const ExploreRange yRange = explore1DYRange(greys);

    plot1D->Set1DThresholdSoildLineDraw(colour, LineWidth);
    plot1D->Set1DThresholdDottedLineDraw(colour, LineWidth);
    plot1D->Set1DThresholdDottedLineVisible(false);
    double lineAt = 65535.0;
    if (lineMode) {
        plot1D->SetPlot1DPointsColor(colour, negativeGrey, PointSize);
        plot1D->Set1DThresholdSoildLineVisible(true);
        // The reference channel is drawn all in its colour: its line sits at 0.
        lineAt = channel == bll->getRefChannelId(well) ? 0.0 : double(bll->getThldByLine(well, channel));
    } else {
        plot1D->SetPlot1DPointsColor(negativeGrey, negativeGrey, PointSize);
        plot1D->Set1DThresholdSoildLineVisible(false);
    }
    plot1D->setThresholdLines({QPolygonF(QVector<QPointF>{QPointF(0, lineAt), QPointF(count, lineAt)})});

    plot1D->SetTitleName(QwtPlot::xBottom, QStringLiteral("Droplet Index"));
    const ExploreRange xRange = explore1DXRange(count);
    plot1D->setAxisScale(QwtPlot::xBottom, xRange.first, xRange.second);
    plot1D->setAxisScale(QwtPlot::yLeft, yRange.first, yRange.second);
    plot1D->updateAxes();
    plot1D->SetTitleName(QwtPlot::yLeft, axisTitle(channel));

    QVector<QPointF> points(count);
    for (int i = 0; i < count; ++i)
        points[i] = QPointF(i, greys[i]);
    plot1D->SetPlot1DPoints(points);
    plot1D->clearSelection();
}

QVector<ExploreSeries> ExplorePage::build2DSeries(uint x, uint y)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const uint well = selectedWell();
    const bool lineMode = bll->getThldType() == 0;
    const QVector<QString> colours = {getTwoChannelColor(int(x), int(y)), getChannelColor(int(y)), negativeGrey,
                                      getChannelColor(int(x))};
    const uint tx = lineMode ? bll->getThldByLine(well, x) : 0;
    const uint ty = lineMode ? bll->getThldByLine(well, y) : 0;
    return exploreQuadrants(bll->getWellChannelGrayValues(well, x), bll->getWellChannelGrayValues(well, y), tx, ty,
                            colours, lineMode);
}

void ExplorePage::update2DPlot(uint x, uint y, Explore2DDot *plot)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const uint well = selectedWell();
    const bool lineMode = bll->getThldType() == 0;
    plot->clearCurves();
    plot->SetTitleName(QwtPlot::xBottom, axisTitle(x));
    plot->SetTitleName(QwtPlot::yLeft, axisTitle(y));
    // The pens before the dots: each pen change redraws the plot.
    if (lineMode) {
        plot->setXThresholdPen(getChannelColor(int(x)), LineWidth);
        plot->setYThresholdPen(getChannelColor(int(y)), LineWidth);
    }
    const QVector<ExploreSeries> series = build2DSeries(x, y);
    const ExploreBounds bounds = exploreSeriesBounds(series);
    for (const ExploreSeries &s : series)
        plot->addSeries(s.colour, s.points, PointSize);
    const ExploreRange xRange = explore2DXRange(bounds);
    const ExploreRange yRange = explore2DYRange(bounds);
    plot->setAxisScale(QwtPlot::xBottom, xRange.first, xRange.second);
    plot->setAxisScale(QwtPlot::yLeft, yRange.first, yRange.second);
    plot->updateAxes();
    plot->setThresholdVisible(lineMode);
    if (lineMode)
        plot->setThresholds(QPointF(bll->getThldByLine(well, x), bll->getThldByLine(well, y)));
    plot->replot();
}

void ExplorePage::restoreSelection()
{
    // Only a pick the user made is drawn again.
    if (markerMode == Population || !hasPick)
        return;
    const QVector<uint> channels = getPlotChannels(plotBox->currentName());
    const QPointF low(std::min(range1.first, range1.second), std::min(range2.first, range2.second));
    const QPointF high(std::max(range1.first, range1.second), std::max(range2.first, range2.second));
    if (channels.size() == 1) {
        if (markerMode == Threshold)
            plot1D->drawThresholdArea(positive);
        else
            plot1D->drawSelectRect(low, high);
        return;
    }
    Explore2DDot *plot = nullptr;
    if (channels.size() == 2) {
        plot = plotXY;
    } else if (channels.size() == 3) {
        if (xChannel != channels[0] && yChannel != channels[0])
            plot = plotYZ;
        else if (xChannel != channels[1] && yChannel != channels[1])
            plot = plotXZ;
        else
            plot = plotXY;
    }
    if (!plot)
        return;
    if (markerMode == Threshold)
        redraw2DThresholdArea(plot);
    else
        plot->drawSelectRect(low, high);
}

void ExplorePage::redraw2DThresholdArea(Explore2DDot *plot)
{
    int code = 2;
    if (xPositive && yPositive)
        code = 0;
    else if (yPositive)
        code = 1;
    else if (xPositive)
        code = 3;
    plot->drawQuadrant(code);
}
