#pragma once
// The borderless in-place editor of a 2D thumbnail's name. Return or Enter hands the name over
// (closeEditor) instead of starting a new line, a selection is only extended by a drag that
// started inside the editor, and typed text is dark grey on the white field.
#include <QTextEdit>

class Plot2DTextEditor : public QTextEdit {
    Q_OBJECT
public:
    explicit Plot2DTextEditor(QWidget *parent = nullptr);

signals:
    void closeEditor(QWidget *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The name comes in white on its selection; what replaces it would take that white.
    void useTypingColour();
    bool ignoresMove() const;
    void notePress(const QMouseEvent *event);
    void noteRelease(const QMouseEvent *event);

    bool m_leftPressed = false;
};
