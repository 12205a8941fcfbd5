#pragma once
// What a module's page container is until its own pages are built: a stack of empty pages,
// one per sub-page, through which the navigation already moves.
#include <QWidget>

class QStackedLayout;

class PageContainer : public QWidget {
    Q_OBJECT
public:
    PageContainer(int pages, QWidget *parent);

    // Makes the sub-page of that index current; an index without a page changes nothing.
    void switchPage(int index);
    int currentIndex() const;

protected:
    QStackedLayout *m_stack = nullptr;
};
