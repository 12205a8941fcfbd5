#include "pages/qcpage.h"

#include "pages/QualityControl/qualitycontrol.h"

#include <QStackedLayout>

QCPage::QCPage(QWidget *parent) : PageContainer(0, parent)
{
    m_quality = new QualityControl;
    m_stack->addWidget(m_quality);
    m_stack->setCurrentIndex(0);
}

void QCPage::switchPage(int index)
{
    m_quality->refresh();
    PageContainer::switchPage(index);
}
