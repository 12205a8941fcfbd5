#include "shell/dialoghost.h"

#include "shell/globalvalues.h"

#include <QApplication>
#include <QDialog>
#include <QQmlContext>
#include <QQuickWidget>
#include <QScreen>
#include <QVBoxLayout>

QQuickWidget *hostQmlView(QDialog *dialog, const QUrl &view, bool scaled)
{
    return hostQmlView(dialog, view, scaled, {});
}

QQuickWidget *hostQmlView(QDialog *dialog, const QUrl &view, bool scaled,
                          const QVector<QPair<QString, QVariant>> &context)
{
    auto *widget = new QQuickWidget(dialog);
    widget->setResizeMode(QQuickWidget::SizeRootObjectToView);
    widget->setAttribute(Qt::WA_AlwaysStackOnTop);
    widget->setClearColor(Qt::transparent);
    if (scaled)
        widget->rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    for (const auto &property : context)
        widget->rootContext()->setContextProperty(property.first, property.second);
    widget->setSource(view);

    auto *layout = new QVBoxLayout(dialog);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(widget);
    return widget;
}

void loadScaledView(QQuickWidget *widget, const QUrl &view)
{
    widget->setResizeMode(QQuickWidget::SizeRootObjectToView);
    widget->rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    widget->setSource(view);
}

QPoint centredOn(const QRect &window, const QSize &box)
{
    return QPoint(window.x() + (window.width() - box.width()) / 2, window.y() + (window.height() - box.height()) / 2);
}

void centreOnActiveWindow(QWidget *widget)
{
    QRect area;
    if (QWidget *active = QApplication::activeWindow(); active && active != widget)
        area = active->geometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    widget->move(centredOn(area, widget->size()));
}
