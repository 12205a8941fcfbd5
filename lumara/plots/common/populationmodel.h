#pragma once
// Names and colours of the populations, for the QML panels of the 2D page and the population
// editor ("populationModel"). It holds copies; the populations live in the document. Every
// change is one model reset, so the views rebuild their delegates.
#include <QAbstractListModel>
#include <QString>
#include <QVector>

class PopulationModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Roles { NameRole = Qt::UserRole + 1, SurfaceColorRole };

    explicit PopulationModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void addPopulation(const QString &name, const QString &color);
    // The last row of that name; the reset happens also when there is none.
    void removePopulation(const QString &name);
    void clear();
    // The document's populations, in its order.
    void reload();
    // Empty for a row that does not exist.
    QString populationName(int row) const;

private:
    struct Row {
        QString name;
        QString color;
    };
    QVector<Row> m_rows;
};
