#pragma once
// The Analyze Plot module: 0 histogram, 1 1D, 2 2D and 3 3D dot plots, 4 the population editor.
#include "pages/pagecontainer.h"

class AnalysisPlot : public PageContainer {
    Q_OBJECT
public:
    explicit AnalysisPlot(QWidget *parent = nullptr)
        : PageContainer(5, parent)
    {
    }
};
