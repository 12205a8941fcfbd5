#include "shell/welllistdelegate.h"

#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QPainter>
#include <QPixmap>

WellListDelegate::WellListDelegate(QObject *parent) : QAbstractItemDelegate(parent) {}

void WellListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!index.isValid())
        return;
    const QRect &r = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);

    const QColor background = index.data(WellListModel::WellSelect).toBool() ? QColor(191, 236, 255) : QColor(Qt::white);
    painter->setPen(background);
    painter->setBrush(background);
    painter->drawRoundedRect(r, 0, 0);

    const QColor ink(51, 51, 51);
    painter->setPen(ink);
    painter->setBrush(ink);
    QFont font = option.font;
    font.setPixelSize(int(uiScaleFactor * 12));
    font.setFamily(QStringLiteral("Roboto"));
    const bool current = index.data(WellListModel::CurrentWellRole).toBool();
    font.setWeight(current ? QFont::Bold : QFont::Normal);
    font.setItalic(current);
    painter->setFont(font);

    const QRect number(QPoint(r.left(), r.top()), QPoint(r.height(), r.bottom()));
    painter->drawText(number, Qt::AlignCenter, QStringLiteral("%1.").arg(index.row() + 1));

    const QRect nameBox(QPoint(int(uiScaleFactor * 34), r.top()), QPoint(int(r.right() - uiScaleFactor * 35), r.bottom()));
    QString name = index.data(WellListModel::WellNameRole).toString();
    const QFontMetrics metrics = painter->fontMetrics();
    if (metrics.horizontalAdvance(name) > nameBox.width())
        name = metrics.elidedText(name, Qt::ElideRight, nameBox.width());
    painter->drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter, name);

    const QRect iconBox(QPoint(int(r.right() - uiScaleFactor * 30), int(r.top() + uiScaleFactor * 8)),
                        QPoint(int(r.right() - uiScaleFactor * 14), int(r.bottom() - uiScaleFactor * 8)));
    painter->drawPixmap(iconBox, QPixmap(index.data(WellListModel::WellExclude).toBool()
                                             ? QStringLiteral(":/assets/exclude_icon_latter.png")
                                             : QStringLiteral(":/assets/exclude_icon_former.png")));
    painter->restore();
}

QSize WellListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(index)
    return option.rect.size();
}

bool WellListDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    Q_UNUSED(event)
    Q_UNUSED(view)
    Q_UNUSED(option)
    Q_UNUSED(index)
    return false;
}
