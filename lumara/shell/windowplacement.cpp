#include "shell/windowplacement.h"

double scaleForWidth(int width, bool fromResize)
{
    if (width < 2000)
        return 1.0;
    if (width < 3000)
        return fromResize ? 1.3 : 1.33;
    return 2.0;
}

int chooseScreen(const QRect &window, const QList<QRect> &screens)
{
    int chosen = 0;
    qint64 largest = -1;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect part = window.intersected(screens.at(i));
        const qint64 area = part.isEmpty() ? 0 : qint64(part.width()) * part.height();
        if (area > largest) {
            largest = area;
            chosen = i;
        }
    }
    return chosen;
}

int habitScreenIndex(int stored, int screenCount)
{
    return stored >= 0 && stored < screenCount ? stored : 0;
}
