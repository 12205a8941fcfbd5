// Export: the page after the open, enabled, its boxes cleared by the reload and the default
// folder in the folder field.
#include "tour.h"

#include "pages/Export/exportpage.h"
#include "pages/export.h"
#include "platform/platform.h"
#include "shell/mainwindows.h"

#include <stdexcept>

void addExportStops(Tour &tour)
{
    tour.add(QStringLiteral("export"), [](TourContext &context) {
        auto *page = qobject_cast<Export *>(context.visit(5, 0));
        if (!page || !page->exportPage() || !page->exportPage()->root())
            throw std::runtime_error("no Export page");
        QObject *root = page->exportPage()->root();
        if (!root->property("uiEnable").toBool())
            throw std::runtime_error("the Export page is not enabled after the open");
        if (root->property("filePath").toString() != Platform::defaultExportFolder())
            throw std::runtime_error("the Export page does not show the default folder");
        return grabWindow(context.window);
    });
}
