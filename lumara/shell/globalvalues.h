#pragma once
// Values the whole program shares. They live on the user-interface thread: workers never
// read or write them.
#include <QPair>
#include <QString>
#include <QVector>

// Factor by which widget sizes are multiplied (sizes truncated to integers); every QML view
// gets it as "resoving". 1.0 until the main window sets it from the screen width.
extern double uiScaleFactor;

// The plot action the menu has armed for the next left click on a plot or droplet image:
// 0 none, 1 save as PNG, 2 save as SVG, 3 copy to the clipboard, 4 show the help text.
// The view that carries it out sets it back to 0.
extern int imageActionMode;

// The open file's name without folder and without anything from its first '.': the window
// title and the default names of saved images start with it.
extern QString currentFileBaseName;

// ---- Well list and the views fed by it ------------------------------------------------------

// Droplet-marker diameter in image pixels and its pen width, read by the droplet-image views.
// The well-list reload sets 17 / 2.0 for large images, 13 / 1.0 otherwise.
extern int dropletMarkerSize;
extern double dropletMarkerLineWidth;

// Scope of threshold and polygon edits: 1 the current well only, 0 all wells together.
extern int isIndividualMode;

// The 1D page's y-axis scope (1 each well's own range, 0 one range for all wells) and its
// ranges, index channel - 1. Never stored in a package; the well-list reload resets them.
using AxisRange = QPair<double, double>; // (lower, upper)
struct WellAxisRange {
    uint wellID = 0;
    // A pair never set holds (-1.0, -1.0).
    QVector<AxisRange> ranges = QVector<AxisRange>(6, AxisRange(-1.0, -1.0));
};
extern int isAxisIndividual;
extern QVector<AxisRange> commonAxisRanges; // six entries
extern QVector<WellAxisRange> wellAxisRanges;

// The histogram page's count axis: 1 logarithmic, 0 linear. Also read by the histogram export.
extern int histogramLogAxis;

// Set by the hub's compensationStatus(true), cleared only by its clearCompensation(): the
// well-list header shows the compensation mark while it is set.
extern bool compensationApplied;

// Line thresholds being edited on the plot pages, per well of the well list, before "Apply"
// writes them to the document. Index channel - 1.
struct WellThresholds {
    uint wellID = 0;
    QVector<int> thresholds; // six entries
};
extern QVector<WellThresholds> thresholdCache;

// ---- View Results -------------------------------------------------------------------------

// The axis choice of the concentration chart's y axis and of the uncertainty chart's x axis
// (0 linear, 1 logarithmic): written by the chart pages, followed by the export's images of
// them; a reload of the wells sets both back to 0.
extern int concentrationLogAxis;
extern int uncertaintyLogAxis;

// ---- Quality Control -------------------------------------------------------------------------

// The last accepted re-analysis options: background uniformity 2 intelligent algorithm,
// 1 machine correction, 0 none; fluorescence intensity correction on or off.
extern int reanalysisBackgroundMode;
extern bool reanalysisFluorescenceCorrection;
