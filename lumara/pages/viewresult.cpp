#include "pages/viewresult.h"

#include "pages/ViewResult/concentration.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/resulttable.h"
#include "pages/ViewResult/uncertainly.h"
#include "shell/welllistmodel.h"

#include <QStackedLayout>

ViewResult::ViewResult(QWidget *parent) : PageContainer(0, parent)
{
    m_resultTable = new ResultTable;
    m_concentration = new Concentration;
    m_uncertainty = new Uncertainly;
    m_stack->addWidget(m_resultTable);
    m_stack->addWidget(m_concentration);
    m_stack->addWidget(m_uncertainty);
    m_stack->setCurrentIndex(0);
}

ViewResult::~ViewResult() = default;

ResultTable *ViewResult::resultTable() const
{
    return m_resultTable;
}

Concentration *ViewResult::concentration() const
{
    return m_concentration;
}

Uncertainly *ViewResult::uncertainty() const
{
    return m_uncertainty;
}

void ViewResult::switchPage(int index)
{
    // The refresh must already see the modes of its view. Both modes change the result
    // model's rows (the header rows of the table), so its views read it again.
    ResultModel *rows = ResultModel::instance();
    switch (index) {
    case 0:
        WellListModel::instance()->setModelType(2);
        rows->setViewMode(0);
        rows->updateModel();
        if (m_resultTable)
            m_resultTable->refresh();
        break;
    case 1:
        WellListModel::instance()->setModelType(0);
        rows->setViewMode(1);
        rows->updateModel();
        if (m_concentration)
            m_concentration->refreshView();
        break;
    case 2:
        WellListModel::instance()->setModelType(0);
        rows->setViewMode(1);
        rows->updateModel();
        if (m_uncertainty)
            m_uncertainty->refreshView();
        break;
    default:
        break;
    }
    m_stack->setCurrentIndex(index);
}

void ViewResult::resizeEvent(QResizeEvent *event)
{
    PageContainer::resizeEvent(event);
    m_stack->setGeometry(rect());
}
