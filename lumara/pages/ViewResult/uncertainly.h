#pragma once
// The uncertainty page of View Results: for one ticked population, the relative uncertainty
// of each selected row's concentration estimate, and for a single row its whole curve.
#include "pages/ViewResult/resultchartpage.h"

class ZtUncertainly;

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
