#include "picturetable.h"

#include "drawings.h"

namespace MkResources {

const QVector<Picture> &pictures()
{
    static const QVector<Picture> table = {
        // start-up
        {"Others/Icon/start.png", 480, 300, drawSplash},
        // menu bar
        {"assets/logo.png", 64, 64, drawLogo},
        {"assets/png_icon1.png", 32, 32, drawSaveImageIcon},
        {"assets/svg_icon1.png", 32, 32, drawSaveVectorIcon},
        {"assets/copy_icon1.png", 32, 32, drawCopyImageIcon},
        // shared dialogs
        {"assets/help_icon.png", 60, 60, drawHelpIcon},
        {"assets/warning_icon.png", 48, 48, drawWarningIcon},
        // well list: exclusion and compensation marks
        {"assets/exclude_icon_latter.png", 32, 32, drawExcludedIcon},
        {"assets/exclude_icon_former.png", 32, 32, drawNotExcludedIcon},
        {"assets/exclude_icon1.png", 32, 32, drawExcludeDisabledIcon},
        {"assets/compensate_icon.png", 32, 32, drawCompensatedIcon},
        {"assets/compensate_diable_icon.png", 32, 32, drawCompensateDisabledIcon},
        // cursors of the plot and image actions
        {"assets/cursor_help.png", 32, 32, drawHelpCursor},
        {"assets/cursor_save.png", 32, 32, drawSaveCursor},
        // 2D dot plot: the axis dialog and its spin-box arrows
        {"TwoDotPlot/assets/dialog_bg1.png", 636, 336, drawAxisDialogBackground},
        {"TwoDotPlot/assets/up_btn.png", 32, 24, drawSpinUpArrow},
        {"TwoDotPlot/assets/up_btn_press.png", 32, 24, drawSpinUpArrowPressed},
        {"TwoDotPlot/assets/down_btn.png", 32, 24, drawSpinDownArrow},
        {"TwoDotPlot/assets/down_btn_press.png", 32, 24, drawSpinDownArrowPressed},
        // 2D dot plot: cursors of its image actions
        {"TwoDotPlot/assets/cursor_help.png", 32, 32, drawHelpCursor},
        {"TwoDotPlot/assets/cursor_save.png", 32, 32, drawSaveCursor},
        // histogram and 1D dot plot: cursors of their image actions
        {"Histogram/assets/cursor_help.png", 32, 32, drawHelpCursor},
        {"Histogram/assets/cursor_save.png", 32, 32, drawSaveCursor},
        {"OneDotPlot/assets/cursor_help.png", 32, 32, drawHelpCursor},
        {"OneDotPlot/assets/cursor_save.png", 32, 32, drawSaveCursor},
        // cursors of the View Results charts
        {"ViewResult/Concentration/assert/cursor_help.png", 32, 32, drawHelpCursor},
        {"ViewResult/Concentration/assert/cursor_save.png", 32, 32, drawSaveCursor},
        {"ViewResult/Uncertainty/assert/cursor_help.png", 32, 32, drawHelpCursor},
        {"ViewResult/Uncertainty/assert/cursor_save.png", 32, 32, drawSaveCursor},
        // main window: menu bar actions and window buttons, navigation modules
        {"assets/menu_open.png", 32, 32, drawOpenIcon},
        {"assets/menu_recent.png", 32, 32, drawRecentIcon},
        {"assets/menu_save.png", 32, 32, drawSaveIcon},
        {"assets/menu_saveas.png", 32, 32, drawSaveAsIcon},
        {"assets/menu_dropdown.png", 32, 32, drawDropDownIcon},
        {"assets/menu_whatis.png", 32, 32, drawWhatIsIcon},
        {"assets/window_minimise.png", 32, 32, drawMinimiseIcon},
        {"assets/window_restore.png", 32, 32, drawRestoreIcon},
        {"assets/window_close.png", 32, 32, drawCloseIcon},
        {"assets/navi_quality.png", 32, 32, drawNaviQualityIcon},
        {"assets/navi_setup.png", 32, 32, drawNaviSetupIcon},
        {"assets/navi_analyze.png", 32, 32, drawNaviAnalyzeIcon},
        {"assets/navi_explore.png", 32, 32, drawNaviExploreIcon},
        {"assets/navi_results.png", 32, 32, drawNaviResultsIcon},
        {"assets/navi_export.png", 32, 32, drawNaviExportIcon},
        // droplet image views: the ring of a rectangle's markers
        {"assert/aureole4.png", 64, 64, drawDropletRing},
        // View Results: the result table's row-set buttons
        {"ViewResult/ResultTable/assert/Both_check1.png", 72, 80, drawBothChecked},
        {"ViewResult/ResultTable/assert/Both_uncheck_1.png", 72, 80, drawBothUnchecked},
        {"ViewResult/ResultTable/assert/Merge_check1.png", 72, 80, drawMergeChecked},
        {"ViewResult/ResultTable/assert/Merge_uncheck1.png", 72, 80, drawMergeUnchecked},
        {"ViewResult/ResultTable/assert/Individual_check1.png", 72, 80, drawIndividualChecked},
        {"ViewResult/ResultTable/assert/Individual_uncheck1.png", 72, 80, drawIndividualUnchecked},
        // View Results: the concentration panel
        {"ViewResult/Concentration/assert/Both_check1.png", 72, 80, drawBothChecked},
        {"ViewResult/Concentration/assert/Both_uncheck_1.png", 72, 80, drawBothUnchecked},
        {"ViewResult/Concentration/assert/Merge_check1.png", 72, 80, drawMergeChecked},
        {"ViewResult/Concentration/assert/Merge_uncheck1.png", 72, 80, drawMergeUnchecked},
        {"ViewResult/Concentration/assert/Individual_check1.png", 72, 80, drawIndividualChecked},
        {"ViewResult/Concentration/assert/Individual_uncheck1.png", 72, 80, drawIndividualUnchecked},
        {"ViewResult/Concentration/assert/tick.png", 16, 12, drawTick},
        {"ViewResult/Concentration/assert/tickenable.png", 16, 12, drawTickDisabled},
        // View Results: the uncertainty panel and its legend
        {"ViewResult/Uncertainty/assert/Both_check1.png", 72, 80, drawBothChecked},
        {"ViewResult/Uncertainty/assert/Both_uncheck_1.png", 72, 80, drawBothUnchecked},
        {"ViewResult/Uncertainty/assert/Merge_check1.png", 72, 80, drawMergeChecked},
        {"ViewResult/Uncertainty/assert/Merge_uncheck1.png", 72, 80, drawMergeUnchecked},
        {"ViewResult/Uncertainty/assert/Individual_check1.png", 72, 80, drawIndividualChecked},
        {"ViewResult/Uncertainty/assert/Individual_uncheck1.png", 72, 80, drawIndividualUnchecked},
        {"ViewResult/Uncertainty/assert/tick.png", 16, 12, drawTick},
        {"ViewResult/Uncertainty/assert/tickenable.png", 16, 12, drawTickDisabled},
        {"ViewResult/Uncertainty/assert/legend_1.png", 36, 8, drawLegendCurve},
        {"ViewResult/Uncertainty/assert/legend_2.png", 24, 24, drawLegendPoint},
        {"ViewResult/Uncertainty/assert/legend_3.png", 18, 18, drawLegendOptimal},
        {"ViewResult/Uncertainty/assert/legend_4.png", 8, 36, drawLegendRangeLimit},
        // explore page: tool bar, drop-down arrow and the cursor of its plots' help
        {"Explore/assets/group_bg.png", 207, 150, drawExploreGroupBackground},
        {"Explore/assets/minus.png", 32, 32, drawExploreMinus},
        {"Explore/assets/plus.png", 32, 32, drawExplorePlus},
        {"Explore/assets/undo.png", 32, 32, drawExploreUndo},
        {"Explore/assets/redo.png", 32, 32, drawExploreRedo},
        {"assert/set_up_btn.png", 32, 32, drawDropDownIcon},
        // cursors of the compensation page's plots
        {"Compensation/assets/cursor_help.png", 32, 32, drawHelpCursor},
        {"Compensation/assets/cursor_save.png", 32, 32, drawSaveCursor},
        // Quality Control page: group cards, step and history buttons, legend markers
        {"assets/channel_select_bg.png", 207, 123, drawQcGroupBackground},
        {"assets/contrast_adjust_bg.png", 207, 136, drawQcGroupBackground},
        {"assets/droplet_exclude_bg.png", 207, 162, drawQcGroupBackground},
        {"assets/legend_bg.png", 207, 210, drawQcGroupBackground},
        {"assets/qc_parameters2_bg.png", 207, 221, drawQcGroupBackground},
        {"assets/subtract_default.png", 30, 30, drawSubtractDefault},
        {"assets/subtract_hover.png", 30, 30, drawSubtractHover},
        {"assets/subtract_press.png", 30, 30, drawSubtractPress},
        {"assets/subtract_disable.png", 30, 30, drawSubtractDisable},
        {"assets/add_default.png", 30, 30, drawAddDefault},
        {"assets/add_hover.png", 30, 30, drawAddHover},
        {"assets/add_press.png", 30, 30, drawAddPress},
        {"assets/add_disable.png", 30, 30, drawAddDisable},
        {"assets/undo_default.png", 56, 56, drawUndoDefault},
        {"assets/undo_hover.png", 56, 56, drawUndoHover},
        {"assets/undo_press.png", 56, 56, drawUndoPress},
        {"assets/undo_disable.png", 56, 56, drawUndoDisable},
        {"assets/redo_default.png", 56, 56, drawRedoDefault},
        {"assets/redo_hover.png", 56, 56, drawRedoHover},
        {"assets/redo_press.png", 56, 56, drawRedoPress},
        {"assets/redo_disable.png", 56, 56, drawRedoDisable},
        {"assets/icon1.png", 32, 32, drawExcludedMarkerIcon},
        {"assets/icon2.png", 32, 32, drawNegativeMarkerIcon},
        {"assets/icon3.png", 32, 32, drawPositiveMarkerIcon},
        {"assets/saturated.png", 32, 32, drawSaturatedMarkerIcon},
        {"assets/icon5.png", 32, 32, drawMarkerIconDisabled},
        {"assets/icon6.png", 32, 32, drawPositiveMarkerIconDisabled},
        // Quality Control page: the re-analysis dialog
        {"assets/dialog_re-analysis_bg.png", 318, 356, drawReanalysisDialogBackground},
        // channel-combination and add-population dialogs, 3D page
        {"TwoDotPlot/assets/dialog_select_color_bg1.png", 560, 402, drawCombinationDialogBackground},
        {"ThreeDotPlot/assets/dialog_select_color_bg1.png", 560, 402, drawCombinationDialogBackground},
        {"TwoDotPlot/assets/dialog_add_population_bg1.png", 560, 262, drawPopulationDialogBackground},
        {"TwoDotPlot/assets/check_tick.png", 16, 12, drawTick},
        {"ThreeDotPlot/assets/trigon.png", 16, 16, drawTrigon},
        // Export page
        {"assert/bg_518_14636.png", 518, 400, drawExportBackground},
        {"assert/unpick.png", 16, 16, drawUnpickMark},
        {"assert/tick.png", 9, 6, drawTick},
    };
    return table;
}

QImage render(const Picture &picture)
{
    QImage image(picture.width, picture.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    picture.draw(painter, QRectF(0, 0, picture.width, picture.height));
    painter.end();
    return image;
}

QImage programIcon()
{
    return render(Picture{"install.ico", 48, 48, drawLogo});
}

} // namespace MkResources
