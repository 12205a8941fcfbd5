#include "shell/helpdialog.h"

#include <QDebug>
#include <QFile>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

QVBoxLayout *column()
{
    auto *layout = new QVBoxLayout;
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

} // namespace

HelpDialog::HelpDialog(QString text, QWidget *parent)
    : QDialog(parent)
{
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);

    auto *icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/assets/help_icon.png")));
    icon->setFixedSize(60, 60);

    auto *label = new QLabel(text, this);
    QFont font;
    font.setFamily(QStringLiteral("Roboto"));
    font.setPixelSize(15);
    label->setFont(font);
    label->setWordWrap(true);
    // The column is 280 wide: the text wraps there and grows downwards.
    label->setFixedWidth(280);
    label->setMinimumHeight(60);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    auto *button = new QPushButton(QStringLiteral("Yes"), this);
    button->setFixedSize(100, 40);
    button->setStyleSheet(QStringLiteral("QPushButton{border:2px solid #3b9fc8}QPushButton:hover{background-color:#F0F8FF}"));
    connect(button, &QPushButton::clicked, this, &HelpDialog::closeDialog);

    QVBoxLayout *iconColumn = column();
    iconColumn->addItem(new QSpacerItem(60, 20, QSizePolicy::Minimum, QSizePolicy::Fixed));
    iconColumn->addWidget(icon);
    iconColumn->addItem(new QSpacerItem(60, 80, QSizePolicy::Minimum, QSizePolicy::Expanding));

    QVBoxLayout *textColumn = column();
    textColumn->addItem(new QSpacerItem(280, 20, QSizePolicy::Minimum, QSizePolicy::Fixed));
    textColumn->addWidget(label);
    textColumn->addItem(new QSpacerItem(280, 80, QSizePolicy::Minimum, QSizePolicy::Fixed));

    QVBoxLayout *buttonColumn = column();
    buttonColumn->addItem(new QSpacerItem(60, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    buttonColumn->addWidget(button);
    buttonColumn->addItem(new QSpacerItem(60, 40, QSizePolicy::Minimum, QSizePolicy::Fixed));

    auto *row = new QHBoxLayout(this);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Fixed, QSizePolicy::Expanding));
    row->addLayout(iconColumn);
    row->addItem(new QSpacerItem(80, 20, QSizePolicy::Fixed, QSizePolicy::Expanding));
    row->addLayout(textColumn);
    row->addLayout(buttonColumn);
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Fixed, QSizePolicy::Expanding));
}

void HelpDialog::resizeEvent(QResizeEvent *event)
{
    adjustSize();
    QDialog::resizeEvent(event);
}

void HelpDialog::closeDialog()
{
    // Set only after this close: the caller still holds the dialog and releases it itself.
    close();
    setAttribute(Qt::WA_DeleteOnClose);
}

QString getHelpText(QString group, QString key)
{
    QFile file(QStringLiteral(":/Others/helpDocument/help.json"));
    if (!file.open(QIODevice::ReadOnly))
        qCritical() << "Cannot open help.josn file";
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical() << "Help Json file parse error";
        return QString();
    }
    if (!document.isObject())
        return QString();
    const QJsonObject groups = document.object();
    const auto found = groups.constFind(group);
    if (found == groups.constEnd())
        return QString();
    const QJsonArray entries = found.value().toArray();
    for (const QJsonValue &entry : entries) {
        const QJsonObject texts = entry.toObject();
        for (auto it = texts.constBegin(); it != texts.constEnd(); ++it) {
            if (it.key() == key)
                return it.value().toString();
        }
    }
    return QString();
}
