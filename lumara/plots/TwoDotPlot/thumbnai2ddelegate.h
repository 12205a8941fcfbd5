#pragma once
// Paints a thumbnail row of the 2D and 3D pages: a check box that marks the plot combination
// for deletion, the number, the picture and the name, which is renamed in place with a
// Plot2DTextEditor.
#include <QFont>
#include <QStyledItemDelegate>

class Thumbnai2DDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit Thumbnai2DDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where the row's check box sits; the view leaves presses there to the delegate.
    QRect checkBoxRect(const QStyleOptionViewItem &option) const;

signals:
    void deleteStatusChange();

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

protected slots:
    // The editor grows with the lines of the name.
    void textAreaChanged();

private:
    static QRect titleRect(const QRect &r);

    QFont m_editorFont;
};
