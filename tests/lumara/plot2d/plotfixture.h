#pragma once
// A 2D plot on screen for tests driven by real mouse events: inside a shown window (a plot
// without parent would be a window of its own), both axes fixed to 0..upper and laid out, so
// that plot values and canvas pixels map both ways.
#include "plot2dtest.h"
#include "plots/TwoDotPlot/zt2dplot.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>
#include <cmath>
#include <memory>
#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>

namespace Plot2DTest {

class Fixture {
public:
    explicit Fixture(double upper = 10000, const QSize &size = QSize(700, 600))
    {
        host.reset(new QWidget);
        host->resize(size);
        auto *layout = new QVBoxLayout(host.get());
        layout->setContentsMargins(0, 0, 0, 0);
        plot = new Zt2DPlot(host.get());
        layout->addWidget(plot);
        plot->setAxisScale(QwtPlot::xBottom, 0, upper);
        plot->setAxisScale(QwtPlot::yLeft, 0, upper);
        host->show();
        if (!QTest::qWaitForWindowExposed(host.get()))
            QTest::qFail("the plot's window was never exposed", __FILE__, __LINE__);
        plot->replot();
        QApplication::processEvents();
    }
    ~Fixture()
    {
        // Entering a plot sets the application's cursor; the next test starts without it.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    QWidget *canvas() const { return plot->canvas(); }

    // The canvas pixel nearest to a plot value.
    QPoint pixel(double x, double y) const
    {
        return QPoint(qRound(plot->transform(QwtPlot::xBottom, x)), qRound(plot->transform(QwtPlot::yLeft, y)));
    }
    QPoint pixel(const QPointF &value) const { return pixel(value.x(), value.y()); }

    // What the plot takes a canvas pixel for: the value truncated toward zero.
    QPointF pointer(const QPoint &pixel) const
    {
        return QPointF(std::trunc(plot->invTransform(QwtPlot::xBottom, pixel.x())),
                       std::trunc(plot->invTransform(QwtPlot::yLeft, pixel.y())));
    }

    void hover(double x, double y) const { QTest::mouseMove(canvas(), pixel(x, y)); }
    void press(double x, double y, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::mousePress(canvas(), button, modifiers, pixel(x, y));
    }
    void release(double x, double y, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::mouseRelease(canvas(), button, modifiers, pixel(x, y));
    }
    void click(double x, double y, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        press(x, y, button, modifiers);
        release(x, y, button, modifiers);
    }
    // A left-button drag through the points, as a hand would do it: hover, press, moves,
    // release at the last point.
    void drag(const QVector<QPointF> &path) const
    {
        hover(path.first().x(), path.first().y());
        press(path.first().x(), path.first().y());
        for (int i = 1; i < path.size(); ++i)
            QTest::mouseMove(canvas(), pixel(path.at(i)));
        release(path.last().x(), path.last().y());
    }

    QPair<double, double> xRange() const
    {
        const QwtScaleDiv &div = plot->axisScaleDiv(QwtPlot::xBottom);
        return qMakePair(div.lowerBound(), div.upperBound());
    }

    std::unique_ptr<QWidget> host;
    Zt2DPlot *plot = nullptr;
};

} // namespace Plot2DTest
