// The Quality Control page with a well that has excluded, saturated, positive and negative
// droplets, and the re-analysis dialog as it opens over the window.
#include "tour.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "model/analysisdatamgr.h"
#include "model/drpltimginfomgr.h"
#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qcdrpltmarker.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/QualityControl/reanalysisdialog.h"
#include "pages/qcpage.h"
#include "pcranalysisdocument.h"
#include "shell/dialoghost.h"
#include "shell/mainwindows.h"
#include "shell/welllistmodel.h"

#include <stdexcept>

namespace {

DrpltImgInfoMgr *images()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getDrpltImgInfoMgr();
}

// Every fifth droplet saturated in the first channel it has; the record as it was returned.
LumaraAnalysisData::WellImageAnalysisInfo saturateSome(uint well)
{
    LumaraAnalysisData::WellImageAnalysisInfo record = images()->getImgAnalysisInfo(well);
    const LumaraAnalysisData::WellImageAnalysisInfo before = record;
    for (int i = 3; i < record.droplets.size(); i += 5)
        record.droplets[i].flags[0] = 3;
    record.saturatedDrpltNum = uint(record.droplets.size() / 5);
    images()->setWellImgAnalsisInfo(record);
    return before;
}

} // namespace

void addQualityControlStops(Tour &tour)
{
    tour.add(QStringLiteral("quality-control"), [](TourContext &context) {
        auto *page = qobject_cast<QCPage *>(context.visit(0, 0));
        if (!page)
            throw std::runtime_error("no Quality Control page");
        QualityControl *quality = page->qualityControl();
        const uint well = quality->currentWell();
        if (well == 0 || quality->currentChannel() == 0)
            throw std::runtime_error("the page shows no well");
        const LumaraAnalysisData::WellImageAnalysisInfo before = saturateSome(well);
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(well, {0, 1, 7, 12});
        WellListModel::instance()->setWellExclude(well, true);
        WellListModel::instance()->updateModel();
        quality->refresh();

        bool excluded = false, saturated = false, positive = false, negative = false;
        for (const QCDrpltMarker *marker : quality->panel()->markers()) {
            excluded |= marker->excluded;
            saturated |= marker->saturated && !marker->excluded;
            positive |= marker->positive && !marker->excluded;
            negative |= !marker->positive && !marker->excluded;
        }
        if (!(excluded && saturated && positive && negative))
            throw std::runtime_error("the well lacks a kind of droplet");
        const QImage image = grabWindow(context.window);

        BLLInstance::getInstance()->getDropletExclude()->restoreDroplets(well);
        images()->setWellImgAnalsisInfo(before);
        WellListModel::instance()->setWellExclude(well, false);
        WellListModel::instance()->updateModel();
        quality->refresh();
        return image;
    });
    tour.add(QStringLiteral("reanalysis-dialog"), [](TourContext &context) {
        context.visit(0, 0);
        ReAnalysisDialog dialog;
        centreOnActiveWindow(&dialog);
        const QImage image = grabWindow(&dialog);
        dialog.close();
        return image;
    });
}
