#pragma once
// The program's start-up steps, shared by main and the page tour so that the tour starts the
// program exactly as a user does.
#include <QPixmap>
#include <QString>
#include <QStringList>

class QSplashScreen;

// The version text on the splash.
extern const char *const LumaraVersionText;

// Before the application object exists: the program scales itself (uiScaleFactor), so the
// platform's own high-DPI scaling is off.
void prepareApplication();

// Once the application object exists, in this order: the application's name, the resources,
// the log file and its message handler, the document, facade and signal hub on this thread,
// the file association and the fonts. Returns the log file's path (empty when there is none).
QString startApplication();

// Adds the two fonts of the resources and makes "Roboto" the application font. Returns the
// families the fonts brought (empty when the resources lack them).
QStringList loadApplicationFonts();

// The splash picture with the version text painted on it.
QPixmap splashPixmap();

// Keeps processing events until the splash has been shown for the given whole seconds.
void waitOnSplash(int seconds);
