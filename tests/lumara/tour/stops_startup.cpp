// Start-up: the splash as the program shows it.
#include "tour.h"

#include <QSplashScreen>

void addStartUpStops(Tour &tour)
{
    tour.add(QStringLiteral("splash"), [](TourContext &context) {
        const QImage image = grabWindow(context.splash);
        context.splash->close();
        return image;
    });
}
