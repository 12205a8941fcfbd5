#include "shell/mainwinframe.h"

#include "pages/analysisplot.h"
#include "pages/explore.h"
#include "pages/export.h"
#include "pages/qcpage.h"
#include "pages/setup.h"
#include "pages/viewresult.h"

#include <QStackedLayout>

MainWinFrame::MainWinFrame(QWidget *parent)
    : QWidget(parent)
{
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

void MainWinFrame::switchPage(int primary, int sub)
{
    if (primary < 0 || primary >= m_stack->count())
        return;
    m_stack->setCurrentIndex(primary);

    switch (primary) {
    case 0:
        m_qcPage->switchPage(sub);
        break;
    case 1:
        m_setup->switchPage(sub);
        break;
    case 2:
        m_analysisPlot->switchPage(sub);
        break;
    case 3:
        m_explore->switchPage(sub);
        break;
    case 4:
        m_viewResult->switchPage(sub);
        break;
    case 5:
        m_export->switchPage(sub);
        break;
    }
}
