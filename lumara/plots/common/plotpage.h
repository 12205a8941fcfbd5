#pragma once
// What the channel plot pages (histogram, 1D and 2D dot plots) do alike: the 2 x 2 grid of
// shown plots, the rows of the threshold panel, the stored vertical ranges and which plot
// sent a signal.
#include "shell/globalvalues.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QVector>

class QGridLayout;
class QObject;
class QWidget;
class ThresholdModel;

// Where plots and white fillers go for a number of shown channels: 1 one cell; 2 the top row
// and two fillers below; 3 three cells and a filler at the lower right; 4 every cell. Any other
// count shows nothing. Points are (column, row).
struct PlotGrid {
    QVector<QPoint> plots;
    QVector<QPoint> fillers;
};
PlotGrid plotGrid(int shown);

// Takes every widget out of the grid (last first) and puts plots[0..] and the fillers into the
// cells for their number.
void placePlots(QGridLayout *grid, const QVector<QWidget *> &plots, QWidget *const fillers[2]);

// The threshold panel's rows. Polygon mode: none. Line mode without selected wells: left as
// they are. One selected well or common scope: one row per shown channel with its colour and
// the first selected well's cached value, editable. Several wells in per-well scope: the same
// rows without a value, not editable.
void refreshThresholdRows(ThresholdModel *model, const QList<uint> &selectedWells,
                          const QVector<uint> &shownChannels);

// The vertical range stored for the channel: the first entry in store order whose well is
// selected gives it, its lower bound raised to 1. None without such an entry, when its pair
// of the channel was never set, or when the lower bound is then not below the upper one.
bool storedAxisRange(const QVector<WellAxisRange> &ranges, const QList<uint> &selectedWells,
                     uint channel, AxisRange *range);

// Sets (lower, upper) for the channel on every listed well, adding entries where missing.
void storeAxisRange(QVector<WellAxisRange> *ranges, const QList<uint> &wells, uint channel,
                    const AxisRange &range);

// 1..4 for a sender named prefix + "1" .. prefix + "4", otherwise 0.
int plotNumberOf(const QObject *sender, const QString &prefix);

// The channel shown by plot number 1..4 (the last shown one for plot 2 of two); 0 when the
// number shows nothing.
uint shownChannelOfPlot(const QVector<uint> &shownChannels, int plotNumber);

// The plot position 0..3 that shows the channel; -1 when none does.
int plotIndexOfChannel(const QVector<uint> &shownChannels, uint channel);
