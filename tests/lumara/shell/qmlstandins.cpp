#include "qmlstandins.h"

#include "shell/recentfilemodel.h"
#include "shell/welllistmodel.h"

// "resoving" is set by the smoke test itself. Add one row per context property, e.g.
// {"TableWellModel", [] { return QVariant::fromValue<QObject *>(WellListModel::instance()); }}.
const QVector<QmlStandIn> &qmlStandIns()
{
    static const QVector<QmlStandIn> table = {
        {QStringLiteral("TableWellModel"), [] { return QVariant::fromValue<QObject *>(WellListModel::instance()); }},
        {QStringLiteral("FileModel"), [] { return QVariant::fromValue<QObject *>(RecentFileModel::instance()); }},
    };
    return table;
}
