#pragma once
// The Quality Control module: the quality-control view.
#include "pages/pagecontainer.h"

class QCPage : public PageContainer {
    Q_OBJECT
public:
    explicit QCPage(QWidget *parent = nullptr)
        : PageContainer(1, parent)
    {
    }
};
