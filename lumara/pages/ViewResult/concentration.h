#pragma once
// The concentration page of View Results: one group of bars per selected result row, one bar
// per ticked population, on a linear or logarithmic concentration axis.
#include "pages/ViewResult/resultchartpage.h"

class ZtConcentration;

class Concentration : public ResultChartPage {
    Q_OBJECT
public:
    explicit Concentration(QWidget *parent = nullptr);

    ZtConcentration *chart() const { return m_chart; }

protected:
    // Several populations may be ticked; new ones come ticked, unticked ones stay so.
    void updatePopulations() override;
    void updatePlot() override;
    void resetOnReload() override;

private:
    ZtConcentration *m_chart = nullptr;
};
