#pragma once
// The Analyze Plot module: 0 histogram, 1 1D, 2 2D and 3 3D dot plots, 4 the population editor.
// The histogram and 1D pages share one thumbnail model, which lives as long as the process.
#include "pages/pagecontainer.h"

#include <QPointer>

class Histogram;
class Plot1DDot;
class Plot2DDot;
class Plot3DDot;
class PopulationEdit;
class ThumbnailModel;

class AnalysisPlot : public PageContainer {
    Q_OBJECT
public:
    explicit AnalysisPlot(QWidget *parent = nullptr);
    ~AnalysisPlot() override;

    // Refreshes the page of that index before it shows; an index without a page refreshes
    // nothing and the current page stays.
    void switchPage(int index);
    int count() const;

    ThumbnailModel *sharedThumbnails() const { return m_thumbnails; }
    Histogram *histogram() const;
    Plot1DDot *plot1DDot() const;
    Plot2DDot *plot2DDot() const;
    Plot3DDot *plot3DDot() const;
    PopulationEdit *populationEdit() const;

private:
    ThumbnailModel *m_thumbnails = nullptr;
    QPointer<Histogram> m_histogram;
    QPointer<Plot1DDot> m_plot1D;
    QPointer<Plot2DDot> m_plot2D;
    QPointer<Plot3DDot> m_plot3D;
    QPointer<PopulationEdit> m_populationEdit;
};
