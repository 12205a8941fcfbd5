#pragma once
// The Explore module: the explore view.
#include "pages/pagecontainer.h"

class Explore : public PageContainer {
    Q_OBJECT
public:
    explicit Explore(QWidget *parent = nullptr)
        : PageContainer(1, parent)
    {
    }
};
