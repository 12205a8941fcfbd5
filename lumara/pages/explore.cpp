#include "pages/explore.h"

#include "pages/Explore/explorepage.h"

#include <QStackedLayout>

Explore::Explore(QWidget *parent) : PageContainer(0, parent)
{
    m_page = new ExplorePage;
    m_stack->addWidget(m_page);
    m_stack->setCurrentIndex(0);
}

Explore::~Explore() = default;

void Explore::switchPage(int index)
{
    if (index == 0 && m_page)
        m_page->refresh();
    PageContainer::switchPage(index);
}

ExplorePage *Explore::page() const
{
    return m_page;
}
