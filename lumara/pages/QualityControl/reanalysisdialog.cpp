#include "pages/QualityControl/reanalysisdialog.h"

#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QDebug>
#include <QQuickItem>
#include <QQuickWidget>

ReAnalysisDialog::ReAnalysisDialog(QWidget *parent) : QDialog(parent)
{
    resize(int(318 * uiScaleFactor), int(356 * uiScaleFactor));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_view = hostQmlView(this, QUrl(QStringLiteral("qrc:/qml/ReanalysisDialog.qml")), true);
    m_root = m_view->rootObject();
    if (QObject *view = m_root.data()) {
        if (!connect(view, SIGNAL(reject()), this, SLOT(reject())))
            qWarning() << "ReAnalysisDialog: the view's reject() is not connected";
        if (!connect(view, SIGNAL(accept()), this, SLOT(acceptAnalysis())))
            qWarning() << "ReAnalysisDialog: the view's accept() is not connected";
    }
}

ReAnalysisDialog::~ReAnalysisDialog() = default;

int ReAnalysisDialog::backgroundModeOf(int choice)
{
    switch (choice) {
    case 0:
        return 2;
    case 1:
        return 1;
    default:
        return 0;
    }
}

void ReAnalysisDialog::acceptAnalysis()
{
    if (QObject *view = m_root.data()) {
        reanalysisBackgroundMode = backgroundModeOf(view->property("backgroundType").toInt());
        reanalysisFluorescenceCorrection = view->property("fluorescent").toUInt() != 0;
    }
    QDialog::accept();
}
