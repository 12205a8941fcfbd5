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
