#pragma once
// The zones of line thresholding ("lineModel"): each zone a combination of positive and
// negative channels. Nine fixed columns (zone, six targets, positive, negative); the QML
// header is the compact list of getColumNames, which the view maps onto the fixed columns.
// The targets are the channels of the line classification (named, ascending), so that
// target column c names bit c - 1 of the zone code.
#include "plots/PopulationEdit/zonetablemodel.h"

#include <QStringList>

class LineZoneModel : public ZoneTableModel {
    Q_OBJECT
public:
    enum Roles {
        ZoneIdRole = Qt::UserRole + 1, // 257
        ZoneNameRole,
        ZoneTargetRole,
        ZonePositiveRole,
        ZoneNegativeRole,
        ZoneSelectRole, // 262
    };

    explicit LineZoneModel(QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE int targetSize() const;
    Q_INVOKABLE void setPopulationID(uint id);
    Q_INVOKABLE QStringList getColumNames() const;
    Q_INVOKABLE int columnSize() const;
    Q_INVOKABLE int getPositiveColumn() const;
    Q_INVOKABLE int getNegativeColumn() const;
    Q_INVOKABLE bool columnVisiable(int column) const;
    Q_INVOKABLE QString getColumnColor(int column) const;

protected:
    void readDocument() override;
    void forgetDocument() override { m_targets.clear(); }

private:
    QList<uint> m_targets; // channel numbers, read at the last update
};
