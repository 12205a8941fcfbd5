#include "tour.h"

#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/navibar.h"

#include <QApplication>
#include <QDir>
#include <QQuickItem>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <exception>

void Tour::add(const QString &name, Grab grab)
{
    m_stops.append({name, std::move(grab)});
}

int Tour::run(TourContext &context, const QString &outFolder)
{
    QDir().mkpath(outFolder);
    int failures = 0;
    const QStringList files = pictures(outFolder);
    for (int i = 0; i < m_stops.size(); ++i) {
        const Stop &stop = m_stops.at(i);
        const QString &file = files.at(i);
        QString failure;
        try {
            const QImage image = stop.grab(context);
            if (image.isNull())
                failure = QStringLiteral("nothing grabbed");
            else if (isOneColour(image))
                failure = QStringLiteral("the grab is one colour");
            if (!image.isNull() && !image.save(file, "PNG"))
                failure = QStringLiteral("cannot write %1").arg(file);
        } catch (const std::exception &e) {
            failure = QStringLiteral("exception: %1").arg(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            failure = QStringLiteral("unknown exception");
        }
        if (failure.isEmpty()) {
            std::printf("%s\n", qPrintable(file));
        } else {
            ++failures;
            std::printf("FAILED %s: %s\n", qPrintable(stop.name), qPrintable(failure));
        }
        std::fflush(stdout);
    }
    return failures;
}

QStringList Tour::pictures(const QString &outFolder) const
{
    QStringList files;
    for (const Stop &stop : m_stops) {
        files.append(QStringLiteral("%1/%2-%3.png")
                         .arg(QDir(outFolder).absolutePath())
                         .arg(files.size() + 1, 2, 10, QLatin1Char('0'))
                         .arg(stop.name));
    }
    return files;
}

void registerStops(Tour &tour)
{
    addStartUpStops(tour);
    addMainWindowStops(tour);
    addSharedDialogStops(tour);
    addWellListStops(tour);
    addChannelPlotStops(tour);
    addPlot2DStops(tour);
    addDropletViewerStops(tour);
    addExploreStops(tour);
    addViewResultStops(tour);
    addSetUpStops(tour);
    addQualityControlStops(tour);
    addPopulationStops(tour);
    addExportStops(tour);
}

QImage grabWindow(QWidget *window)
{
    window->show();
    window->raise();
    if (!QTest::qWaitForWindowExposed(window))
        return QImage();
    // QML views render on the next frames.
    QTest::qWait(150);
    // A grab reuses the window's last composition of its QML views, which can still hold one
    // hidden since (the busy overlay after an open); a repaint brings it up to date.
    window->repaint();
    return window->grab().toImage();
}

bool isOneColour(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb first = argb.pixel(0, 0);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (line[x] != first)
                return false;
        }
    }
    return true;
}

QWidget *TourContext::visit(int primary, int sub)
{
    QQuickItem *bar = window->naviBar()->rootObject();
    QMetaObject::invokeMethod(bar, "updateIndex", Q_ARG(QVariant, primary), Q_ARG(QVariant, sub));
    QTest::qWait(150);
    return window->frame()->page(primary);
}
