#pragma once
// What every pop-up that hosts a QML view does alike: the view fills a frameless, translucent
// dialog, and the dialog is centred on the window the user works in.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QPair>
#include <QUrl>
#include <QVariant>
#include <QVector>

class QDialog;
class QQuickWidget;
class QWidget;

// Puts a QQuickWidget on the view into the dialog (resized with it, transparent, on top, in a
// box without spacing or margins). With `scaled` the view gets "resoving" = uiScaleFactor
// before it loads. The dialog owns the widget.
QQuickWidget *hostQmlView(QDialog *dialog, const QUrl &view, bool scaled);
// The same, with further context properties (name, value) set before the view loads.
QQuickWidget *hostQmlView(QDialog *dialog, const QUrl &view, bool scaled,
                          const QVector<QPair<QString, QVariant>> &context);

// Loads the view into a widget that hosts it directly (not in a dialog): the root follows the
// widget's size and gets "resoving" = uiScaleFactor before it loads.
void loadScaledView(QQuickWidget *widget, const QUrl &view);

// The top left corner that centres a box of the given size on the window (integer halves).
QPoint centredOn(const QRect &window, const QSize &box);

// Moves the widget to the centre of the active window, or of the primary screen without one.
void centreOnActiveWindow(QWidget *widget);
