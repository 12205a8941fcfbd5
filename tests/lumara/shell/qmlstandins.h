#pragma once
// The context properties that the program's QML views expect from their hosts, for loading
// every view on its own. Each page adds the real objects its views use.
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

struct QmlStandIn {
    QString name;
    std::function<QVariant()> value; // called after the application and resources exist
    // Only for the views under this resource folder (e.g. ":/ViewResult/"), in place of a
    // row of the same name without one; empty: every view.
    QString folder = QString();
};

const QVector<QmlStandIn> &qmlStandIns();
