#include "shell/mainwinframe.h"

#include "bll/bllinstance.h"
#include "bll/resultcalculate.h"
#include "pages/analysisplot.h"
#include "pages/explore.h"
#include "pages/export.h"
#include "pages/qcpage.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/setup.h"
#include "pages/viewresult.h"
#include "shell/welllistmodel.h"

#include <QStackedLayout>

MainWinFrame::MainWinFrame(QWidget *parent)
    : QWidget(parent)
{
    // The shared well list exists before any page: it must hear the first open's reload.
    WellListModel::instance();

    m_stack = new QStackedLayout(this);
    m_stack->setSpacing(0);
    m_stack->setContentsMargins(0, 0, 0, 0);

    m_qcPage = new QCPage;
    m_setup = new Setup;
    m_analysisPlot = new AnalysisPlot;
    m_explore = new Explore;
    m_viewResult = new ViewResult;
    m_export = new Export;
    for (QWidget *page : {static_cast<QWidget *>(m_qcPage), static_cast<QWidget *>(m_setup),
                          static_cast<QWidget *>(m_analysisPlot), static_cast<QWidget *>(m_explore),
                          static_cast<QWidget *>(m_viewResult), static_cast<QWidget *>(m_export)})
        m_stack->addWidget(page);
    m_stack->setCurrentIndex(0);
}

int MainWinFrame::currentIndex() const
{
    return m_stack->currentIndex();
}

QWidget *MainWinFrame::page(int primary) const
{
    return m_stack->widget(primary);
}

// Each page finds the shared well list in its own mode and with the selection it works on: the
// image pages one well, the plot pages at least one; the result pages recomputed figures.
void MainWinFrame::switchPage(int primary, int sub)
{
    if (primary < 0 || primary >= m_stack->count())
        return;
    m_stack->setCurrentIndex(primary);

    WellListModel *wells = WellListModel::instance();
    const auto selectionPage = [wells](bool oneWell, int mode) {
        wells->ensureSelection();
        if (oneWell)
            wells->keepFirstSelection();
        wells->setModelType(mode);
        wells->updateModel();
    };
    const auto recomputeResults = [wells] {
        if (wells->modelIsEmpty())
            return;
        BLLInstance::getInstance()->getResultCalculate()->updatePopulationResults();
        wells->refreshPopulationResults();
    };

    switch (primary) {
    case 0:
        selectionPage(true, 0);
        m_qcPage->switchPage(sub);
        break;
    case 1:
        selectionPage(false, sub == 0 ? 1 : 0);
        m_setup->switchPage(sub);
        break;
    case 2:
        selectionPage(false, 0);
        m_analysisPlot->switchPage(sub);
        break;
    case 3:
        selectionPage(true, 0);
        m_explore->switchPage(sub);
        break;
    case 4:
        recomputeResults();
        wells->updateModel();
        wells->setModelType(sub == 0 ? 2 : 0);
        // Merged samples follow the wells' figures and names as they are now.
        ResultModel::instance()->rebuildRows();
        ResultModel::instance()->updateModel();
        m_viewResult->switchPage(sub);
        break;
    case 5:
        recomputeResults();
        wells->setModelType(0);
        ResultModel::instance()->rebuildRows();
        m_export->switchPage(sub);
        break;
    }
}
