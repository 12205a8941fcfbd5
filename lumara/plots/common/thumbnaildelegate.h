#pragma once
// Paints a thumbnail row of the histogram and 1D pages: a card coloured by the row's state,
// its number, its picture and its caption. It offers no editor.
#include <QAbstractItemDelegate>

class ThumbnailDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    explicit ThumbnailDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
