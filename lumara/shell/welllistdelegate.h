#pragma once
// Paints one well of the well lists: the selected background, the row number, the well name
// (bold and italic for the current well, elided when too long) and the well's exclusion mark.
#include <QAbstractItemDelegate>

class WellListDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    explicit WellListDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
