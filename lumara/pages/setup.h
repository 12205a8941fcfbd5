#pragma once
// The Set Up module: 0 the experiment editor, 1 the spill-over compensation.
#include "pages/pagecontainer.h"

class Setup : public PageContainer {
    Q_OBJECT
public:
    explicit Setup(QWidget *parent = nullptr)
        : PageContainer(2, parent)
    {
    }
};
