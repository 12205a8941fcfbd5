#pragma once
// Values the whole program shares. They live on the user-interface thread: workers never
// read or write them.
#include <QString>

// Factor by which widget sizes are multiplied (sizes truncated to integers); every QML view
// gets it as "resoving". 1.0 until the main window sets it from the screen width.
extern double uiScaleFactor;

// The plot action the menu has armed for the next left click on a plot or droplet image:
// 0 none, 1 save as PNG, 2 save as SVG, 3 copy to the clipboard, 4 show the help text.
// The view that carries it out sets it back to 0.
extern int imageActionMode;

// The open file's name without folder and without anything from its first '.': the window
// title and the default names of saved images start with it.
extern QString currentFileBaseName;
