#pragma once
// The zones of polygon thresholding ("polygonModel"): each zone one drawn polygon. Columns:
// zone, positive, and negative only while negatives are edited.
#include "plots/PopulationEdit/zonetablemodel.h"

#include <QStringList>

class PolygonZoneModel : public ZoneTableModel {
    Q_OBJECT
public:
    enum Roles {
        ZoneIdRole = Qt::UserRole + 1, // 257
        ZoneNameRole,
        ZonePositiveRole,
        ZoneNegativeRole,
        ZoneSelectRole, // 261
    };

    explicit PolygonZoneModel(QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE QStringList getColumNames() const;
    Q_INVOKABLE int columnSize() const;
};
