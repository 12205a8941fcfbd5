#include "qmlstandins.h"

// "resoving" is set by the smoke test itself. Add one row per context property, e.g.
// {"TableWellModel", [] { return QVariant::fromValue<QObject *>(WellListModel::instance()); }}.
const QVector<QmlStandIn> &qmlStandIns()
{
    static const QVector<QmlStandIn> table = {};
    return table;
}
