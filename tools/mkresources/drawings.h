#pragma once
// The drawing functions of the picture table, one source per area of the program.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>

namespace MkResources {

// ---- shared helpers (drawkit.cpp) -------------------------------------------------------
// Maps a design box of side `design` units onto the area, so drawings scale with the row's size.
void useDesignBox(QPainter &painter, const QRectF &area, double design);
QFont pixelFont(int pixels, bool bold = false);
// Text centred on a point (horizontally and on the cap height).
void drawCentredText(QPainter &painter, const QPointF &centre, const QString &text);

// ---- start-up and shared dialogs (draw_shell.cpp) -------------------------------------------
void drawSplash(QPainter &p, const QRectF &area);
void drawLogo(QPainter &p, const QRectF &area);
void drawSaveImageIcon(QPainter &p, const QRectF &area);
void drawSaveVectorIcon(QPainter &p, const QRectF &area);
void drawCopyImageIcon(QPainter &p, const QRectF &area);
void drawHelpIcon(QPainter &p, const QRectF &area);
void drawWarningIcon(QPainter &p, const QRectF &area);
void drawExcludedIcon(QPainter &p, const QRectF &area);
void drawNotExcludedIcon(QPainter &p, const QRectF &area);
void drawExcludeDisabledIcon(QPainter &p, const QRectF &area);
void drawCompensatedIcon(QPainter &p, const QRectF &area);
void drawCompensateDisabledIcon(QPainter &p, const QRectF &area);
void drawHelpCursor(QPainter &p, const QRectF &area);
void drawSaveCursor(QPainter &p, const QRectF &area);

// ---- 2D dot-plot views (draw_twodotplot.cpp) ------------------------------------------------
void drawAxisDialogBackground(QPainter &p, const QRectF &area);
void drawSpinUpArrow(QPainter &p, const QRectF &area);
void drawSpinUpArrowPressed(QPainter &p, const QRectF &area);
void drawSpinDownArrow(QPainter &p, const QRectF &area);
void drawSpinDownArrowPressed(QPainter &p, const QRectF &area);
void drawCombinationDialogBackground(QPainter &p, const QRectF &area);
void drawPopulationDialogBackground(QPainter &p, const QRectF &area);
void drawTrigon(QPainter &p, const QRectF &area);
// ---- main window: menu bar and navigation bar (draw_mainwindow.cpp) -------------------------
void drawOpenIcon(QPainter &p, const QRectF &area);
void drawRecentIcon(QPainter &p, const QRectF &area);
void drawSaveIcon(QPainter &p, const QRectF &area);
void drawSaveAsIcon(QPainter &p, const QRectF &area);
void drawDropDownIcon(QPainter &p, const QRectF &area);
void drawWhatIsIcon(QPainter &p, const QRectF &area);
void drawMinimiseIcon(QPainter &p, const QRectF &area);
void drawRestoreIcon(QPainter &p, const QRectF &area);
void drawCloseIcon(QPainter &p, const QRectF &area);
void drawNaviQualityIcon(QPainter &p, const QRectF &area);
void drawNaviSetupIcon(QPainter &p, const QRectF &area);
void drawNaviAnalyzeIcon(QPainter &p, const QRectF &area);
void drawNaviExploreIcon(QPainter &p, const QRectF &area);
void drawNaviResultsIcon(QPainter &p, const QRectF &area);
void drawNaviExportIcon(QPainter &p, const QRectF &area);

// ---- droplet image views (draw_droplets.cpp) ---------------------------------------------
void drawDropletRing(QPainter &p, const QRectF &area);

// ---- View Results pages (draw_viewresult.cpp) ---------------------------------------------------
void drawBothChecked(QPainter &p, const QRectF &area);
void drawBothUnchecked(QPainter &p, const QRectF &area);
void drawMergeChecked(QPainter &p, const QRectF &area);
void drawMergeUnchecked(QPainter &p, const QRectF &area);
void drawIndividualChecked(QPainter &p, const QRectF &area);
void drawIndividualUnchecked(QPainter &p, const QRectF &area);
void drawTick(QPainter &p, const QRectF &area);
void drawTickDisabled(QPainter &p, const QRectF &area);
void drawLegendCurve(QPainter &p, const QRectF &area);
void drawLegendPoint(QPainter &p, const QRectF &area);
void drawLegendOptimal(QPainter &p, const QRectF &area);
void drawLegendRangeLimit(QPainter &p, const QRectF &area);
// ---- explore page tool bar (draw_explore.cpp) --------------------------------------------
void drawExploreGroupBackground(QPainter &p, const QRectF &area);
void drawExploreMinus(QPainter &p, const QRectF &area);
void drawExplorePlus(QPainter &p, const QRectF &area);
void drawExploreUndo(QPainter &p, const QRectF &area);
void drawExploreRedo(QPainter &p, const QRectF &area);

// ---- Quality Control page (draw_qualitycontrol.cpp) -----------------------------------------
void drawQcGroupBackground(QPainter &p, const QRectF &area);
void drawReanalysisDialogBackground(QPainter &p, const QRectF &area);
// The buttons and legend pictures are instances of a few drawings.
extern void (*const drawSubtractDefault)(QPainter &, const QRectF &);
extern void (*const drawSubtractHover)(QPainter &, const QRectF &);
extern void (*const drawSubtractPress)(QPainter &, const QRectF &);
extern void (*const drawSubtractDisable)(QPainter &, const QRectF &);
extern void (*const drawAddDefault)(QPainter &, const QRectF &);
extern void (*const drawAddHover)(QPainter &, const QRectF &);
extern void (*const drawAddPress)(QPainter &, const QRectF &);
extern void (*const drawAddDisable)(QPainter &, const QRectF &);
extern void (*const drawUndoDefault)(QPainter &, const QRectF &);
extern void (*const drawUndoHover)(QPainter &, const QRectF &);
extern void (*const drawUndoPress)(QPainter &, const QRectF &);
extern void (*const drawUndoDisable)(QPainter &, const QRectF &);
extern void (*const drawRedoDefault)(QPainter &, const QRectF &);
extern void (*const drawRedoHover)(QPainter &, const QRectF &);
extern void (*const drawRedoPress)(QPainter &, const QRectF &);
extern void (*const drawRedoDisable)(QPainter &, const QRectF &);
extern void (*const drawExcludedMarkerIcon)(QPainter &, const QRectF &);
extern void (*const drawNegativeMarkerIcon)(QPainter &, const QRectF &);
extern void (*const drawPositiveMarkerIcon)(QPainter &, const QRectF &);
extern void (*const drawSaturatedMarkerIcon)(QPainter &, const QRectF &);
extern void (*const drawMarkerIconDisabled)(QPainter &, const QRectF &);
extern void (*const drawPositiveMarkerIconDisabled)(QPainter &, const QRectF &);

// ---- Export page (draw_export.cpp) ---------------------------------------------------------
void drawExportBackground(QPainter &p, const QRectF &area);
void drawUnpickMark(QPainter &p, const QRectF &area);

} // namespace MkResources
