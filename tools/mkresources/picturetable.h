#pragma once
// The pictures of the program's resources, drawn at build time: one row per picture, with
// its resource path below ":/", its size and the function that paints it. A page that needs
// pictures of its own adds its rows to the table and its drawing functions beside the others.
#include <QImage>
#include <QPainter>
#include <QString>
#include <QVector>

namespace MkResources {

// Paints into the whole image, whose rectangle is given; the image starts transparent and the
// painter antialiases.
using DrawFunction = void (*)(QPainter &painter, const QRectF &area);

struct Picture {
    const char *path; // resource path, e.g. "assets/help_icon.png"
    int width;
    int height;
    DrawFunction draw;
};

// Every picture of the table, in table order.
const QVector<Picture> &pictures();

QImage render(const Picture &picture);

// The program's icon as a Windows icon file (the association's icon path points at it).
QImage programIcon();

} // namespace MkResources
