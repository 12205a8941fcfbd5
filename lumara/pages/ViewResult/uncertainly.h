#pragma once
// The uncertainty page of View Results: for one ticked population, the relative uncertainty
// of each selected row's concentration estimate, and for a single row its whole curve.
#include "pages/ViewResult/resultchartpage.h"
#include "pages/ViewResult/uncertainlyplotitem.h"

class ZtUncertainly;

// One curve per result row id in the population's colour: a well's (one of `wells`) own, else
// the merged row's. GUI thread (reads the result model).
QVector<UncertainlyPlotItem> uncertaintyItems(const QList<uint> &rows, const QList<uint> &wells, uint population);

class Uncertainly : public ResultChartPage {
    Q_OBJECT
public:
    explicit Uncertainly(QWidget *parent = nullptr);

    ZtUncertainly *chart() const { return m_chart; }

protected:
    // One population at a time: the ticked one while it exists, else the first.
    void updatePopulations() override;
    void updatePlot() override;

private:
    ZtUncertainly *m_chart = nullptr;
};
