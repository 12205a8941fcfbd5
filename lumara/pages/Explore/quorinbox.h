#pragma once
// A drop-down of rich-text entries: each a name with a small green superscript tag, shown in
// the open list and, for the chosen entry, in a label over the closed box. Long names are
// shortened in the middle for the eye; a choice always reports the full name.
#include <QComboBox>
#include <QFont>
#include <QPair>

class QLabel;
class QListWidget;
class QListWidgetItem;

class QuorinBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int HtmlRole = Qt::UserRole + 1;
    static constexpr int NameRole = Qt::UserRole + 2;

    explicit QuorinBox(QWidget *parent = nullptr);
    ~QuorinBox() override;

    // (name, tag)
    void addHtmlItem(QPair<QString, QString> entry);
    // The entries and the shown text.
    void clearItems();
    // The shown text only.
    void clearLabel();
    // An index without an entry changes nothing.
    void selectIndex(int index);
    // The full name of the current entry; "" without one.
    QString currentName() const;

    QString labelText() const;
    QListWidget *list() const { return listWidget; }

signals:
    void quorinBoxClick(QString text);

public slots:
    void updateItem(QListWidgetItem *item);

private:
    QListWidget *listWidget = nullptr;
    QFont font;
    QLabel *label = nullptr;
};
