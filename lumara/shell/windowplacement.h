#pragma once
// Where the main window goes and how large the user interface is drawn: plain arithmetic,
// kept apart from the window so that it is checked without a display.
#include <QList>
#include <QRect>

// The user-interface scale factor for a reference width: 1.0 below 2000 pixels, 2.0 from 3000
// on; in between 1.33 when the width is a screen's (start-up, maximising) and 1.3 when it is
// the window's own width after a resize.
double scaleForWidth(int width, bool fromResize);

// The screen holding the largest part of the window (by area); the first of them on a tie,
// and 0 when the window meets no screen.
int chooseScreen(const QRect &window, const QList<QRect> &screens);

// The stored screen index when it names one of the screens, else 0.
int habitScreenIndex(int stored, int screenCount);
