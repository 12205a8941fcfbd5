#include "qmlstandins.h"

#include "shell/recentfilemodel.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/Compensation/backgrdmodel.h"
#include "pages/Compensation/matrixmodel.h"
#include "shell/welllistmodel.h"

// "resoving" is set by the smoke test itself. Add one row per context property, e.g.
// {"TableWellModel", [] { return QVariant::fromValue<QObject *>(WellListModel::instance()); }}.
const QVector<QmlStandIn> &qmlStandIns()
{
    static const QVector<QmlStandIn> table = {
        {QStringLiteral("TableWellModel"), [] { return QVariant::fromValue<QObject *>(WellListModel::instance()); }},
        {QStringLiteral("FileModel"), [] { return QVariant::fromValue<QObject *>(RecentFileModel::instance()); }},
        {QStringLiteral("TableWellModel"), [] { return QVariant::fromValue<QObject *>(ResultModel::instance()); },
         QStringLiteral(":/ViewResult/")},
        {QStringLiteral("populationModel"),
         [] {
             static PopulationSelectModel model;
             return QVariant::fromValue<QObject *>(&model);
         }},
        {QStringLiteral("MatrixModel"), [] { return QVariant::fromValue<QObject *>(MatrixModel::instance()); }},
        {QStringLiteral("BackGrdModel"), [] { return QVariant::fromValue<QObject *>(BackGrdModel::instance()); }},
    };
    return table;
}
