#include "pages/Explore/quorinbox.h"

#include "shell/globalvalues.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QStyledItemDelegate>

namespace {

QString num(double value)
{
    return QString::number(value, 'g', 6);
}

QString styleSheetFor(double s)
{
    const QString v1 = num(20 * s), v2 = num(10 * s), v3 = num(26 * s), v4 = num(15 * s), v5 = num(28 * s),
                  v6 = num(5 * s);
    const QString handle = QStringLiteral("width: %1px; background: %2; border-radius: %3px; min-height: %4;");
    return QStringLiteral("QComboBox { background-color: #ffffff; color: #000000; font-size: %1px; "
                          "border: 1px solid #bbbbbb; padding: %2px; }")
               .arg(v1, v2) +
           QStringLiteral("QComboBox::drop-down { background-color: #ffffff; image: url(:/assert/set_up_btn.png); "
                          "width: %1px; right: 1px; }")
               .arg(v3) +
           QStringLiteral("QComboBox QAbstractItemView { outline: %1px; border: 1px solid #00beff; "
                          "background-color: #FFF; font-size: %2px; }")
               .arg(v2, v4) +
           QStringLiteral("QComboBox QAbstractItemView::item { height: %1px; }").arg(v5) +
           QStringLiteral("QComboBox QAbstractItemView::item:selected { color: #000000; background-color: #bfecff; }") +
           QStringLiteral("QComboBox QAbstractItemView::item:hover { color: #000000; background-color: #e5f7ff; }") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar:vertical { width: %1px; "
                          "background: rgb(238,238,238); margin: 0px; }")
               .arg(v2) +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::handle:vertical { %1 }")
               .arg(handle.arg(v2, QStringLiteral("rgb(88,180,218)"), v6, v1)) +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::handle:vertical:hover { %1 }")
               .arg(handle.arg(v2, QStringLiteral("rgb(59,159,200)"), v6, v1)) +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::sub-line:vertical { height: 0px; width: 0px; "
                          "subcontrol-position: top; }"
                          "QComboBox QAbstractScrollArea QScrollBar::add-line:vertical { height: 0px; width: 0px; "
                          "subcontrol-position: bottom; }");
}

} // namespace

QuorinBox::QuorinBox(QWidget *parent) : QComboBox(parent)
{
    setItemDelegate(new QStyledItemDelegate(this));
    setStyleSheet(styleSheetFor(uiScaleFactor));
    font = QFont(QStringLiteral("Roboto"));
    font.setPixelSize(std::max(1, int(uiScaleFactor * 13)));
    setFont(font);
    listWidget = new QListWidget(this);
    listWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listWidget->setTextElideMode(Qt::ElideMiddle);
    listWidget->setFont(font);
    // The model first: the other order leaves box and list on different models.
    setModel(listWidget->model());
    setView(listWidget);
    label = new QLabel;
    label->setFont(font);
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addSpacing(5);
    layout->addWidget(label, 128);
    connect(listWidget, &QListWidget::itemPressed, this, &QuorinBox::updateItem);
}

QuorinBox::~QuorinBox()
{
    delete label;
}

void QuorinBox::addHtmlItem(QPair<QString, QString> entry)
{
    auto *item = new QListWidgetItem(listWidget);
    auto *itemLabel = new QLabel;
    const double available = width() - uiScaleFactor * 35;
    const QFontMetrics metrics(font);
    const QString nameSize = QString::number(int(uiScaleFactor * 13));
    const QString tagSize = QString::number(int(uiScaleFactor * 16));
    // Every template is filled in one pass: a name may hold "%1" itself.
    QString namePart;
    if (metrics.horizontalAdvance(entry.first) > available)
        namePart = QStringLiteral("<font style = 'font-family:Roboto; font-size:%2px; color:#000000;'>%1</font>")
                       .arg(metrics.elidedText(entry.first, Qt::ElideMiddle, int(available)).toHtmlEscaped(),
                            nameSize);
    else
        namePart = QStringLiteral("<font style = 'font-family:Roboto; font-size:%2px; color:#000000;'> %1</font>")
                       .arg(entry.first.toHtmlEscaped(), nameSize);
    const QString tagPart =
        QStringLiteral("<font style = 'font-family:Roboto; font-size:%1px; color:#009944; vertical-align:super;'> "
                       "%2</font>")
            .arg(tagSize, entry.second.toHtmlEscaped());
    const QString html = namePart + tagPart;
    itemLabel->setText(html);
    itemLabel->setFont(font);
    item->setData(HtmlRole, html);
    item->setData(NameRole, entry.first);
    listWidget->setItemWidget(item, itemLabel);
}

void QuorinBox::clearItems()
{
    QComboBox::clear();
    label->setText(QString());
}

void QuorinBox::clearLabel()
{
    label->setText(QString());
}

void QuorinBox::selectIndex(int index)
{
    QListWidgetItem *item = listWidget->item(index);
    if (!item)
        return;
    setCurrentIndex(index);
    label->setText(item->data(HtmlRole).toString());
}

QString QuorinBox::currentName() const
{
    const QListWidgetItem *item = listWidget->item(currentIndex());
    return item ? item->data(NameRole).toString() : QString();
}

QString QuorinBox::labelText() const
{
    return label->text();
}

void QuorinBox::updateItem(QListWidgetItem *item)
{
    if (!item)
        return;
    label->setText(item->data(HtmlRole).toString());
    setCurrentIndex(listWidget->row(item));
    hidePopup();
    emit quorinBoxClick(item->data(NameRole).toString());
}
