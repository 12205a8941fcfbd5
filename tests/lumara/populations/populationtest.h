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
// its own modal loop). `seen` tells whether one came. Delete the timer to stop polling.
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
    // Nothing came within the bound: stop polling.
    QTimer::singleShot(10000, timer, [timer] { timer->deleteLater(); });
    return timer;
}

} // namespace PopulationTest
