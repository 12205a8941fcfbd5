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

} // namespace MkResources
