#pragma once
// The six background values of the spill-over matrix as a one-row table (column k: channel
// k+1), with which of them the user may edit. One process-wide instance kept equal to the
// backgrounds of MatrixModel; every change is a full model reset.
#include <QAbstractTableModel>
#include <QList>
#include <QString>

class BackGrdModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles {
        BackValueRole = 0, // "backvalue"
        BackAbleRole = 1,  // "backable"
    };

    static BackGrdModel *instance();
    ~BackGrdModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The user's edit: also reaches MatrixModel. An index outside 0..5 changes nothing.
    Q_INVOKABLE void modifyBack(int i, QString val);

    void setBack(int i, double value);
    // Background k is editable exactly when channel k+1 is listed.
    void setChannels(const QList<uint> &channels);

private:
    BackGrdModel();
    Q_DISABLE_COPY(BackGrdModel)

    double m_back[6];
    bool m_editable[6];
};
