#pragma once
// Shared steps of the plot tests: show a plot offscreen, render it to a PNG and look at the
// pixels that the drawn items should have coloured.
#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_item.h>
#include <qwt_plot_marker.h>

namespace PlotTest {

inline void show(QwtPlot &plot, QSize size = QSize(640, 480))
{
    plot.resize(size);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QCoreApplication::processEvents(); // layout requests of the scale widgets
    plot.replot();
}

// Grabs the plot, writes it as a PNG into dir and reads the file back.
template<typename Plot>
QImage renderPng(Plot &plot, const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    if (!plot.GetPlotGrab().save(path, "png"))
        return QImage();
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// Widget pixel of a plot value on the bottom and left axes.
inline QPoint pixelOf(const QwtPlot &plot, double x, double y)
{
    const QPoint origin = plot.canvas()->geometry().topLeft();
    return origin + QPoint(qRound(plot.transform(QwtPlot::xBottom, x)),
                           qRound(plot.transform(QwtPlot::yLeft, y)));
}

inline bool near(QRgb a, const QColor &b, int tolerance = 24)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

// Pixels of about that colour within radius r of p.
inline int countNear(const QImage &img, QPoint p, const QColor &c, int r = 1)
{
    int n = 0;
    for (int y = p.y() - r; y <= p.y() + r; ++y)
        for (int x = p.x() - r; x <= p.x() + r; ++x)
            if (img.rect().contains(x, y) && near(img.pixel(x, y), c))
                ++n;
    return n;
}

inline int countIn(const QImage &img, const QRect &rect, const QColor &c)
{
    int n = 0;
    const QRect r = rect & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (near(img.pixel(x, y), c))
                ++n;
    return n;
}

template<typename T>
QList<T *> items(const QwtPlot &plot, int rtti)
{
    QList<T *> out;
    for (QwtPlotItem *item : plot.itemList(rtti))
        out.append(static_cast<T *>(item));
    return out;
}

inline QList<QwtPlotCurve *> curvesOf(const QwtPlot &plot)
{
    return items<QwtPlotCurve>(plot, QwtPlotItem::Rtti_PlotCurve);
}

inline QList<QwtPlotMarker *> markersOf(const QwtPlot &plot)
{
    return items<QwtPlotMarker>(plot, QwtPlotItem::Rtti_PlotMarker);
}

} // namespace PlotTest
