#pragma once
// Reaching into the main window's QML views as a user's click would: items by object name,
// their centres, and their clicks.
#include <QPoint>
#include <QString>
#include <QVariant>
#include <Qt>

#include <functional>

class QQuickItem;
class QQuickWidget;

namespace ShellTest {

// The view's item of that object name, searched through the visual tree (delegates included).
QQuickItem *findItem(QQuickWidget *view, const QString &objectName);
// The same below an item (the item itself included).
QQuickItem *findItem(QQuickItem *under, const QString &objectName);
// The item's centre in the view's coordinates.
QPoint centreOf(QQuickItem *item);
// Emits the button's clicked(), as a click on it does (whether it is enabled or not).
bool clickItem(QQuickWidget *view, const QString &objectName);
// The first item from `under` down the visual tree (delegates included) that `matches`.
QQuickItem *findItemWhere(QQuickItem *under, const std::function<bool(const QQuickItem *)> &matches);
// The first item of the view whose property has the value (delegates included).
QQuickItem *findItemWith(QQuickWidget *view, const char *property, const QVariant &value);
// The left button pressed and released on the item's centre as a mouse does it: the click
// goes to the window, and whatever lies on top at that point (an overlay) takes it. Focus
// moves as the click moves it.
void mouseClickItem(QQuickWidget *view, QQuickItem *item, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

} // namespace ShellTest
