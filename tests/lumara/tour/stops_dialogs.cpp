// The shared dialogs: the three message boxes, a help pop-up and the colour picker.
#include "tour.h"

#include "shell/colorselect.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/helpdialog.h"

#include <QCoreApplication>

namespace {

// The dialog as its caller shows it, centred; closed again after the grab.
QImage grabDialog(QDialog *dialog)
{
    centreOnActiveWindow(dialog);
    const QImage image = grabWindow(dialog);
    dialog->close();
    return image;
}

} // namespace

void addSharedDialogStops(Tour &tour)
{
    tour.add(QStringLiteral("message-one-button"), [](TourContext &context) {
        DialogMessage box(0, QStringLiteral("%1 wells were opened from %2.")
                                 .arg(context.wellCount)
                                 .arg(context.packagePath.section(QLatin1Char('/'), -1)));
        return grabDialog(&box);
    });
    tour.add(QStringLiteral("message-two-buttons"), [](TourContext &) {
        DialogMessage box(1, QStringLiteral("The analysis has changed. Do you want to apply the new thresholds to "
                                            "every well?"));
        return grabDialog(&box);
    });
    tour.add(QStringLiteral("message-three-buttons"), [](TourContext &) {
        DialogMessage box(2, QStringLiteral("The file has been modified. Do you want to save your changes before "
                                            "closing? Unsaved changes are lost."));
        return grabDialog(&box);
    });
    tour.add(QStringLiteral("help"), [](TourContext &) {
        auto *help = new HelpDialog(getHelpText(QStringLiteral("AnalyzePlot"), QStringLiteral("Histogram")));
        const QImage image = grabDialog(help);
        help->deleteLater();
        return image;
    });
    tour.add(QStringLiteral("colour-picker"), [](TourContext &) {
        ColorSelect picker;
        picker.setCurrentColor(QStringLiteral("#009944"));
        return grabDialog(&picker);
    });
}
