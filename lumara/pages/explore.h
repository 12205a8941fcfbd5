#pragma once
// The Explore module: the explore page, refreshed each time the navigation opens it.
#include "pages/pagecontainer.h"

#include <QPointer>

class ExplorePage;

class Explore : public PageContainer {
    Q_OBJECT
public:
    explicit Explore(QWidget *parent = nullptr);
    ~Explore() override;

    void switchPage(int index);
    ExplorePage *page() const;

private:
    QPointer<ExplorePage> m_page;
};
