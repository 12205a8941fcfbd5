#include "plots/common/plotpage.h"

#include "plots/common/thresholdmodel.h"

#include "bll/bllinstance.h"
#include "shell/channelcolors.h"
#include "shell/welllistmodel.h"

#include <QGridLayout>
#include <QLayoutItem>
#include <QWidget>

PlotGrid plotGrid(int shown)
{
    const QVector<QPoint> cells = {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)};
    PlotGrid grid;
    if (shown < 1 || shown > cells.size())
        return grid;
    grid.plots = cells.mid(0, shown);
    if (shown == 2 || shown == 3)
        grid.fillers = cells.mid(shown == 2 ? 2 : 3);
    return grid;
}

void placePlots(QGridLayout *grid, const QVector<QWidget *> &plots, QWidget *const fillers[2])
{
    for (int i = grid->count() - 1; i >= 0; --i) {
        QLayoutItem *item = grid->takeAt(i);
        if (item->widget())
            item->widget()->setParent(nullptr);
        delete item;
    }
    const PlotGrid cells = plotGrid(plots.size());
    for (int i = 0; i < cells.plots.size(); ++i)
        grid->addWidget(plots.at(i), cells.plots.at(i).y(), cells.plots.at(i).x());
    for (int i = 0; i < cells.fillers.size(); ++i)
        grid->addWidget(fillers[i], cells.fillers.at(i).y(), cells.fillers.at(i).x());
    // Taken out, the widgets lost their parent and were hidden; placed again they come back.
    for (QWidget *w : plots.mid(0, cells.plots.size()))
        w->show();
    for (int i = 0; i < cells.fillers.size(); ++i)
        fillers[i]->show();
}

void refreshThresholdRows(ThresholdModel *model, const QList<uint> &selectedWells,
                          const QVector<uint> &shownChannels)
{
    if (BLLInstance::getInstance()->getThldType() != LumaraAnalysisData::LineThreshold) {
        model->clear();
        return;
    }
    if (selectedWells.isEmpty())
        return;
    const bool single = selectedWells.size() == 1 || isIndividualMode != 1;
    const WellListModel *wells = WellListModel::instance();
    QVector<ThresholdItem> rows;
    for (uint channel : shownChannels) {
        ThresholdItem row;
        row.channelID = channel;
        row.color = getChannelColor(int(channel));
        if (single)
            row.threshold = QString::number(wells->getCachedThreshold(selectedWells.first(), channel));
        row.editable = single;
        rows.append(row);
    }
    model->setThresholds(rows);
}

bool storedAxisRange(const QVector<WellAxisRange> &ranges, const QList<uint> &selectedWells,
                     uint channel, AxisRange *range)
{
    if (channel < 1 || channel > 6)
        return false;
    for (const WellAxisRange &entry : ranges) {
        if (!selectedWells.contains(entry.wellID))
            continue;
        const AxisRange pair = entry.ranges.value(int(channel) - 1, AxisRange(-1.0, -1.0));
        // A pair never set would be an inverted axis showing nothing: no stored range.
        if (pair == AxisRange(-1.0, -1.0))
            return false;
        const AxisRange raised(qMax(1.0, pair.first), pair.second);
        // Nor is a typed range whose lower bound is not below its upper one: the plot would
        // be drawn upside down or flat.
        if (!(raised.first < raised.second))
            return false;
        *range = raised;
        return true;
    }
    return false;
}

void storeAxisRange(QVector<WellAxisRange> *ranges, const QList<uint> &wells, uint channel,
                    const AxisRange &range)
{
    if (channel < 1 || channel > 6)
        return;
    for (uint well : wells) {
        auto it = std::find_if(ranges->begin(), ranges->end(),
                               [well](const WellAxisRange &e) { return e.wellID == well; });
        if (it == ranges->end()) {
            WellAxisRange entry;
            entry.wellID = well;
            ranges->append(entry);
            it = ranges->end() - 1;
        }
        it->ranges[int(channel) - 1] = range;
    }
}

int plotNumberOf(const QObject *sender, const QString &prefix)
{
    if (!sender)
        return 0;
    for (int i = 1; i <= 4; ++i) {
        if (sender->objectName() == prefix + QString::number(i))
            return i;
    }
    return 0;
}

uint shownChannelOfPlot(const QVector<uint> &shownChannels, int plotNumber)
{
    if (plotNumber < 1 || plotNumber > 4 || plotNumber > shownChannels.size())
        return 0;
    return shownChannels.at(plotNumber - 1);
}

int plotIndexOfChannel(const QVector<uint> &shownChannels, uint channel)
{
    const int index = shownChannels.indexOf(channel);
    return index >= 0 && index < 4 ? index : -1;
}
