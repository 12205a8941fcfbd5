#pragma once
// What the population and 3D tests share: loading a seeded document into the well list, the
// items of a QML view by object name, and answering the next modal dialog from a timer.
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QQuickItem>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace PopulationTest {

// How long a window or dialog may take to come up on a loaded machine. Showing the 3D page
// renders the graph's first frame inside the expose, and with software OpenGL under the
// sanitizers that alone can take several seconds: Qt's default 5 s wait is not enough.
constexpr int ShowTimeoutMs = 60000;

// Seeds the document, loads the well list and selects every well.
inline bool load(const BllTest::DocumentSeed &seed, BllTest::SeededIds *ids = nullptr)
{
    QString error;
    if (!BllTest::seedDocument(seed, ids, &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    for (int row = 1; row <= seed.wells.size(); ++row)
        WellListModel::instance()->addSelectRow(row);
    return true;
}

// Found through the visual tree too: items made by repeaters and loaders have no QObject parent.
inline QObject *item(QObject *root, const QString &name)
{
    if (!root)
        return nullptr;
    if (QObject *found = root->findChild<QObject *>(name))
        return found;
    if (auto *quick = qobject_cast<QQuickItem *>(root)) {
        for (QQuickItem *child : quick->childItems()) {
            if (child->objectName() == name)
                return child;
            if (QObject *found = item(child, name))
                return found;
        }
    }
    return nullptr;
}

// Runs `act` on the first modal dialog of type T that shows up (polled while the caller runs
// its own modal loop). `seen` tells whether one came. Delete the timer to stop polling; the
// bound only ends a poll whose dialog never came, so it must outlast a slow one: a dialog
// that shows after the poll ended is never answered and its modal loop never returns.
template <typename T>
QPointer<QTimer> onModal(std::function<void(T *)> act, bool *seen)
{
    *seen = false;
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act, seen] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            T *dialog = qobject_cast<T *>(w);
            if (dialog && dialog->isVisible() && dialog->isModal()) {
                timer->stop();
                timer->deleteLater();
                *seen = true;
                act(dialog);
                return;
            }
        }
    });
    timer->start();
    QTimer::singleShot(ShowTimeoutMs, timer, [timer] { timer->deleteLater(); });
    return timer;
}

} // namespace PopulationTest
