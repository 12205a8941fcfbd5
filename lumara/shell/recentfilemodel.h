#pragma once
// The recent-files list as the pop-up shows it: the paths of the database, newest first, and
// the clear entry last. One process-wide instance, loaded once when first used and again on
// every reload; user-interface thread only.
#include <QAbstractListModel>
#include <QStringList>

class RecentFileModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Roles { FileNameRole = 0 }; // Qt's display role, named "display" in QML

    static RecentFileModel *instance();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = FileNameRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The row of the clear entry (the last row).
    Q_INVOKABLE int getLastIndexID() const;

    // Reads the table again; on a failed read the list stays as it was.
    void reload();

signals:
    void modelUpdate();

private:
    RecentFileModel();

    QStringList m_files;
};
