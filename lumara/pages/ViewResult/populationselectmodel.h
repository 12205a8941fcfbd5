#pragma once
// The population check list of the concentration and uncertainty pages: which populations
// the chart shows. Every change is a full model reset.
#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QVector>

struct PopulationSelectItem {
    uint populationId = 0;
    QString color; // the population's colour name
    QString name;
    bool select = false;
};

class PopulationSelectModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Roles {
        ChannelColorRole = Qt::UserRole + 1, // 257 "channelColor"
        ChannelSelectRole,                   // 258 "channelSelect"
        ChannelNameRole,                     // 259 "channelName"
    };

    explicit PopulationSelectModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Ticks or unticks the row; with radioType every other tick goes. A request that equals
    // the row's tick changes nothing: the check boxes report their state after every reset,
    // and must not start a redraw each time. Rows outside the list change nothing.
    Q_INVOKABLE void updateSelectStatus(int row, bool select, bool radioType);
    Q_INVOKABLE void updateSelectStatus(int row, bool select);

    void clearItems();
    void setItems(const QVector<PopulationSelectItem> &items);
    QList<uint> getSelectIDs() const;
    QList<uint> getUnselectIDs() const;

signals:
    void selectStatusChange();

private:
    QList<uint> idsWithTick(bool ticked) const;

    QVector<PopulationSelectItem> m_items;
};
