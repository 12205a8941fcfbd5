#include "pages/pagecontainer.h"

#include <QStackedLayout>

PageContainer::PageContainer(int pages, QWidget *parent)
    : QWidget(parent)
{
    m_stack = new QStackedLayout(this);
    m_stack->setSpacing(0);
    m_stack->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < pages; ++i)
        m_stack->addWidget(new QWidget);
    m_stack->setCurrentIndex(0);
}

void PageContainer::switchPage(int index)
{
    m_stack->setCurrentIndex(index);
}

int PageContainer::currentIndex() const
{
    return m_stack->currentIndex();
}
