#include "plots/TwoDotPlot/plot2dtexteditor.h"

#include <QColor>
#include <QKeyEvent>
#include <QMouseEvent>

Plot2DTextEditor::Plot2DTextEditor(QWidget *parent)
    : QTextEdit(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    installEventFilter(this);
    setAcceptDrops(false);
}

bool Plot2DTextEditor::ignoresMove() const
{
    // The name is selected when the editor opens; a pointer that comes in with the button held
    // from elsewhere must not shrink that selection.
    return textCursor().hasSelection() && !m_leftPressed;
}

void Plot2DTextEditor::notePress(const QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
}

void Plot2DTextEditor::noteRelease(const QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
}

void Plot2DTextEditor::useTypingColour()
{
    // The titles' grey. Over a selection it colours the text about to be replaced, whose
    // format the new text then takes.
    setTextColor(QColor(51, 51, 51));
}

bool Plot2DTextEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *press = static_cast<QKeyEvent *>(event);
            const int key = press->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit closeEditor(this);
                return true;
            }
            if (!press->text().isEmpty() && press->text().at(0).isPrint())
                useTypingColour();
            break;
        }
        case QEvent::MouseMove:
            if (ignoresMove())
                return true;
            break;
        case QEvent::MouseButtonPress:
            notePress(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            noteRelease(static_cast<QMouseEvent *>(event));
            break;
        default:
            break;
        }
    }
    return QTextEdit::eventFilter(watched, event);
}

// The pointer's events reach the editor's viewport, not the editor: the same rule here.
void Plot2DTextEditor::mousePressEvent(QMouseEvent *event)
{
    notePress(event);
    QTextEdit::mousePressEvent(event);
}

void Plot2DTextEditor::mouseMoveEvent(QMouseEvent *event)
{
    if (ignoresMove())
        return;
    QTextEdit::mouseMoveEvent(event);
}

void Plot2DTextEditor::mouseReleaseEvent(QMouseEvent *event)
{
    noteRelease(event);
    QTextEdit::mouseReleaseEvent(event);
}
