#pragma once
// The View Results module: 0 the result table, 1 the concentration graph, 2 the uncertainty curves.
#include "pages/pagecontainer.h"

class ViewResult : public PageContainer {
    Q_OBJECT
public:
    explicit ViewResult(QWidget *parent = nullptr)
        : PageContainer(3, parent)
    {
    }
};
