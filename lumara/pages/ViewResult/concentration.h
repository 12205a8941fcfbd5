#pragma once
// The concentration page of View Results: one group of bars per selected result row, one bar
// per ticked population, on a linear or logarithmic concentration axis.
#include "pages/ViewResult/concentrationgroup.h"
#include "pages/ViewResult/resultchartpage.h"

#include <functional>

class ZtConcentration;

// One group per result row id: a well's (one of `wells`) sample name and results, else the
// merged row's name and results; the points keep only results `keep` accepts. longest gets
// the first label of the greatest length. GUI thread (reads the result model).
QVector<ConcentrationGroup> concentrationGroups(const QList<uint> &rows, const QList<uint> &wells,
                                                const std::function<bool(uint populationId, double concentration)> &keep,
                                                QString *longest);

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
