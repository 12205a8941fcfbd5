#pragma once
// The Export module.
#include "pages/pagecontainer.h"

class Export : public PageContainer {
    Q_OBJECT
public:
    explicit Export(QWidget *parent = nullptr)
        : PageContainer(1, parent)
    {
    }
};
