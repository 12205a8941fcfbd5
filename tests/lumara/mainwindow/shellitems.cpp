#include "shellitems.h"

#include <QQuickItem>
#include <QQuickWidget>

namespace ShellTest {

namespace {

QQuickItem *search(QQuickItem *item, const QString &objectName)
{
    if (!item)
        return nullptr;
    if (item->objectName() == objectName)
        return item;
    const QList<QQuickItem *> children = item->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = search(child, objectName))
            return found;
    }
    return nullptr;
}

} // namespace

QQuickItem *findItem(QQuickWidget *view, const QString &objectName)
{
    return view ? search(view->rootObject(), objectName) : nullptr;
}

QQuickItem *findItem(QQuickItem *under, const QString &objectName)
{
    return search(under, objectName);
}

QPoint centreOf(QQuickItem *item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

bool clickItem(QQuickWidget *view, const QString &objectName)
{
    QQuickItem *item = findItem(view, objectName);
    return item && QMetaObject::invokeMethod(item, "clicked");
}

} // namespace ShellTest
