// The clicks travel through the window as a mouse's do.
#define QTEST_QPA_MOUSE_HANDLING
#include "shellitems.h"

#include <QQuickItem>
#include <QQuickWidget>
#include <QtTest>

#include <functional>

namespace ShellTest {

QQuickItem *findItemWhere(QQuickItem *item, const std::function<bool(const QQuickItem *)> &matches)
{
    if (!item)
        return nullptr;
    if (matches(item))
        return item;
    const QList<QQuickItem *> children = item->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findItemWhere(child, matches))
            return found;
    }
    return nullptr;
}

QQuickItem *findItem(QQuickWidget *view, const QString &objectName)
{
    return view ? findItem(view->rootObject(), objectName) : nullptr;
}

QQuickItem *findItem(QQuickItem *under, const QString &objectName)
{
    return findItemWhere(under, [&objectName](const QQuickItem *item) { return item->objectName() == objectName; });
}

QPoint centreOf(QQuickItem *item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

QQuickItem *findItemWith(QQuickWidget *view, const char *property, const QVariant &value)
{
    const auto matches = [property, &value](const QQuickItem *item) { return item->property(property) == value; };
    return view ? findItemWhere(view->rootObject(), matches) : nullptr;
}

void mouseClickItem(QQuickWidget *view, QQuickItem *item, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(view, Qt::LeftButton, modifiers, centreOf(item));
}

bool clickItem(QQuickWidget *view, const QString &objectName)
{
    QQuickItem *item = findItem(view, objectName);
    return item && QMetaObject::invokeMethod(item, "clicked");
}

} // namespace ShellTest
