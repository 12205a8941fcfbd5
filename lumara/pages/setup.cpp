#include "pages/setup.h"

#include "pages/Compensation/dyeemissionplot.h"
#include "pages/Compensation/spillovercompensate.h"
#include "pages/EditExperiment/experimentedit.h"

#include <QStackedLayout>

Setup::Setup(QWidget *parent) : PageContainer(0, parent)
{
    m_experimentEdit = new ExperimentEdit;
    m_compensate = new SpillOverCompensate;
    m_stack->addWidget(m_experimentEdit);
    m_stack->addWidget(m_compensate);
    m_stack->setCurrentIndex(0);
}

Setup::~Setup() = default;

ExperimentEdit *Setup::experimentEdit() const
{
    return m_experimentEdit;
}

SpillOverCompensate *Setup::spillOverCompensate() const
{
    return m_compensate;
}

void Setup::switchPage(int index)
{
    if (index < 0 || index >= m_stack->count())
        return;
    if (index == 0 && m_experimentEdit)
        emit m_experimentEdit->updateView();
    m_stack->setCurrentIndex(index);
    if (index == 1 && m_compensate)
        m_compensate->updatePlot();
}
