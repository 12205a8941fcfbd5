#pragma once
// The image actions that the menu arms for the next press on a plot or droplet image
// (imageActionMode: 1 save PNG, 2 save SVG, 3 copy, 4 help), written once for every view.
#include <QString>

#include <functional>

class QCursor;
class QMouseEvent;
class QWidget;
class QwtBasic;
class QwtPlot;

// Sets the application's override cursor without growing Qt's cursor stack: the first call
// pushes, every later one replaces the top.
void setViewCursor(const QCursor &cursor);

// A cursor from a picture of the resources, hot spot in the picture's centre.
QCursor pictureCursor(const QString &path);

// What one view names in its actions.
struct ImageActionNames {
    QString pngName; // proposed name of a saved PNG
    QString svgName; // proposed name of a saved SVG
    QString helpGroup;
    QString helpKey;
    bool helpScaled = true; // the help dialog's 200 x 200 minimum grows with the interface scale
};

// The names of a plot's actions: currentFileBaseName, the bottom and left axis titles and the
// view's suffix joined by "_", ending ".png" or ".svg"; help under "AnalyzePlot" and helpKey.
ImageActionNames plotImageNames(const QwtPlot *plot, const QString &suffix, const QString &helpKey);

// Asks where an image goes ("" when the user cancels). The file dialog unless replaced; an
// empty function restores it. Tests answer through it.
using SavePrompt = std::function<QString(QWidget *parent, const QString &caption,
                                         const QString &proposed, const QString &filter)>;
void setSavePrompt(SavePrompt prompt);

// Carries out action `mode` on the whole view: a PNG or an SVG of it where the user chooses
// (Cancel writes nothing; a file that cannot be written is reported), the grabbed view on
// the clipboard, or the view's help text. Other modes do nothing. Dialog captions use the
// view's class as their translation context.
void runImageAction(QWidget *view, int mode, const ImageActionNames &names);

// The plots' part, for views built on QwtBasic. Entering shows the action's cursor, and
// while an action is pending the highlight mask.
void plotImageActionEnter(QwtBasic *plot, const QString &helpCursor, const QString &saveCursor);
// Leaving restores the arrow and, while an action is pending, the plain plot.
void plotImageActionLeave(QwtBasic *plot);
// Any press consumes the pending action: a left press carries it out, any other cancels it.
// The caller passes the press on to its base afterwards.
void plotImageActionPress(QwtBasic *plot, const QMouseEvent *event, const ImageActionNames &names);
