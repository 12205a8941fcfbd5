#pragma once
// Draws the polygon being dragged over the plot canvas, so that a move repaints only the
// region around it instead of the whole plot.
#include <QPointer>
#include <qwt_widget_overlay.h>

class Editor;

class Overlay : public QwtWidgetOverlay {
public:
    Overlay(QWidget *canvas, Editor *editor);

protected:
    QRegion maskHint() const override;
    void drawOverlay(QPainter *painter) const override;

private:
    QPointer<Editor> m_editor;
};
