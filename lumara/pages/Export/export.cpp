#include "pages/export.h"

#include "pages/Export/exportpage.h"

#include <QResizeEvent>
#include <QStackedLayout>

Export::Export(QWidget *parent) : PageContainer(0, parent)
{
    m_page = new ExportPage;
    m_stack->addWidget(m_page);
    m_stack->setCurrentIndex(0);
}

Export::~Export() = default;

ExportPage *Export::exportPage() const
{
    return m_page.data();
}

void Export::resizeEvent(QResizeEvent *event)
{
    m_stack->setGeometry(rect());
    PageContainer::resizeEvent(event);
}
