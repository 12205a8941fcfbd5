#include "plots/TwoDotPlot/thumbnai2ddelegate.h"

#include "plots/TwoDotPlot/plot2dtexteditor.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailpaint.h"
#include "shell/globalvalues.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>

using ThumbnailPaint::scaled;
using ThumbnailPaint::spanning;

Thumbnai2DDelegate::Thumbnai2DDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_editorFont(ThumbnailPaint::textFont(QFont()))
{
}

QRect Thumbnai2DDelegate::titleRect(const QRect &r)
{
    return spanning(r.left() + scaled(34), r.bottom() - scaled(19), r.right() - scaled(34), r.bottom() - scaled(6));
}

QRect Thumbnai2DDelegate::checkBoxRect(const QStyleOptionViewItem &option) const
{
    const QStyleOptionButton button;
    const QSize size = QApplication::style()->subElementRect(QStyle::SE_CheckBoxIndicator, &button).size();
    const QRect &r = option.rect;
    const int h = size.height();
    return QRect(QPoint(r.x() + h / 2, r.y() + r.height() / 2 - h / 2), size);
}

void Thumbnai2DDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!index.isValid())
        return;
    const QRect r = option.rect;
    const bool marked = index.data(ThumbnailModel::MarkedRole).toBool();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    if (index.data(ThumbnailModel::ShownRole).toBool()) {
        painter->setBrush(QColor(191, 236, 255));
        painter->setPen(QColor(QStringLiteral("#3b9fc8")));
    } else if (index.data(ThumbnailModel::HoveredRole).toBool()) {
        QColor light(QStringLiteral("#bfecff"));
        light.setAlphaF(0.5);
        painter->setBrush(light);
        painter->setPen(light);
    } else if (marked) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QColor(Qt::white));
    } else {
        painter->setBrush(Qt::white);
        painter->setPen(Qt::white);
    }
    painter->drawRoundedRect(spanning(r.left() + scaled(25), r.top(), r.left() + scaled(167), r.bottom()), 0, 0);

    painter->setFont(ThumbnailPaint::textFont(option.font));
    ThumbnailPaint::drawNumber(painter, spanning(r.left(), r.top() + scaled(10), r.left() + scaled(25), r.top() + scaled(20)),
                               index);
    painter->drawImage(spanning(r.left() + scaled(34), r.top() + scaled(10), r.right() - scaled(50), r.bottom() - scaled(25)),
                       ThumbnailPaint::image(index));
    const QRect title = titleRect(r);
    ThumbnailPaint::drawTitle(painter, title, title.width(), Qt::AlignHCenter | Qt::AlignBottom | Qt::AlignVCenter,
                              index.data(ThumbnailModel::TitleRole).toString());

    QStyleOptionButton box;
    box.state = QStyle::State_Enabled | (marked ? QStyle::State_On : QStyle::State_Off);
    box.rect = checkBoxRect(option);
    QApplication::style()->drawControl(QStyle::CE_CheckBox, &box, painter);
    painter->restore();
}

QSize Thumbnai2DDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return option.rect.size();
}

bool Thumbnai2DDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                     const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() == Qt::LeftButton && checkBoxRect(option).contains(press->pos())) {
            const bool marked = index.data(ThumbnailModel::MarkedRole).toBool();
            const bool result = model->setData(index, !marked, ThumbnailModel::MarkedRole);
            emit deleteStatusChange();
            return result;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

QWidget *Thumbnai2DDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new Plot2DTextEditor(parent);
    connect(editor, &Plot2DTextEditor::closeEditor, this, &Thumbnai2DDelegate::commitData);
    connect(editor->document(), SIGNAL(contentsChanged()), this, SLOT(textAreaChanged()));
    editor->setFrameStyle(QFrame::NoFrame);
    editor->setFont(m_editorFont);
    editor->setWordWrapMode(QTextOption::WrapAnywhere);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return editor;
}

void Thumbnai2DDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *text = qobject_cast<Plot2DTextEditor *>(editor);
    if (!text)
        return;
    text->setFont(m_editorFont);
    // Plain text: a name that looks like markup stays the name.
    text->setPlainText(index.data(ThumbnailModel::TitleRole).toString());
    text->selectAll();
    text->setTextColor(QColor(QStringLiteral("#ffffff")));
}

void Thumbnai2DDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *text = qobject_cast<Plot2DTextEditor *>(editor))
        model->setData(index, text->toPlainText(), ThumbnailModel::TitleRole);
}

void Thumbnai2DDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(titleRect(option.rect));
}

void Thumbnai2DDelegate::textAreaChanged()
{
    auto *document = qobject_cast<QTextDocument *>(sender());
    if (!document)
        return;
    document->setTextWidth(120 * uiScaleFactor);
    for (QObject *owner = document->parent(); owner; owner = owner->parent()) {
        if (auto *editor = qobject_cast<Plot2DTextEditor *>(owner)) {
            const int height = int(document->size().height() + 10 * uiScaleFactor);
            if (height != editor->height())
                editor->setFixedHeight(height);
            return;
        }
    }
}
