#pragma once
// The zones bound to the population chosen on the 3D page ("ZoneModel"): one row per binding
// with its sign; the user selects the rows whose droplets the plot colours.
#include <QAbstractTableModel>
#include <QString>
#include <QVector>

class ZoneModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles { ZoneIdRole = Qt::UserRole + 1, ZoneNameRole, ZoneTypeRole, ZoneSelectRole };

    explicit ZoneModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The population's bindings, all selected; none for population 0.
    void updateZones(uint populationId);
    QVector<uint> getSelectZoneIDs() const;
    // Toggles the row's selection; a row that does not exist changes nothing.
    Q_INVOKABLE void updateSelectStatus(int row);

signals:
    void zoneSelectUpdate();

private:
    struct Row {
        uint zoneID = 0;
        QString zoneName;
        QString zoneType;
        bool zoneSelect = false;
    };
    QVector<Row> m_rows;
};
