#include "pages/analysisplot.h"

#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/PopulationEdit/populationedit.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/common/thumbnailmodel.h"

#include <QStackedLayout>

namespace {

// Created once, without a parent, and never deleted: it lives as long as the process, as the
// pages that share it may outlive any owner.
ThumbnailModel *sharedThumbnailModel()
{
    static ThumbnailModel *const model = new ThumbnailModel;
    return model;
}

} // namespace

AnalysisPlot::AnalysisPlot(QWidget *parent) : PageContainer(0, parent)
{
    m_thumbnails = sharedThumbnailModel();
    m_histogram = new Histogram(m_thumbnails);
    m_plot1D = new Plot1DDot(m_thumbnails);
    m_plot2D = new Plot2DDot;
    m_plot3D = new Plot3DDot;
    m_populationEdit = new PopulationEdit;
    for (QWidget *page : {static_cast<QWidget *>(m_histogram.data()), static_cast<QWidget *>(m_plot1D.data()),
                          static_cast<QWidget *>(m_plot2D.data()), static_cast<QWidget *>(m_plot3D.data()),
                          static_cast<QWidget *>(m_populationEdit.data())}) {
        // The pages' fixed spacings want more height than a small screen has: in the window
        // they take the room there is instead of forcing the window past the screen.
        page->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        m_stack->addWidget(page);
    }
    m_stack->setCurrentIndex(0);
}

AnalysisPlot::~AnalysisPlot() = default;

void AnalysisPlot::switchPage(int index)
{
    switch (index) {
    case 0:
        if (m_histogram)
            m_histogram->refresh();
        break;
    case 1:
        if (m_plot1D)
            m_plot1D->refresh();
        break;
    case 2:
        if (m_plot2D)
            m_plot2D->refresh();
        break;
    case 3:
        if (m_plot3D)
            m_plot3D->refreshPage();
        break;
    case 4:
        if (m_populationEdit)
            m_populationEdit->refresh();
        break;
    default:
        break;
    }
    PageContainer::switchPage(index);
}

int AnalysisPlot::count() const
{
    return m_stack->count();
}

Histogram *AnalysisPlot::histogram() const
{
    return m_histogram;
}

Plot1DDot *AnalysisPlot::plot1DDot() const
{
    return m_plot1D;
}

Plot2DDot *AnalysisPlot::plot2DDot() const
{
    return m_plot2D;
}

Plot3DDot *AnalysisPlot::plot3DDot() const
{
    return m_plot3D;
}

PopulationEdit *AnalysisPlot::populationEdit() const
{
    return m_populationEdit;
}
