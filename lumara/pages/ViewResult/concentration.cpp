#include "pages/ViewResult/concentration.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/ztconcentration.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

namespace {

// Bars above this concentration (copies per microlitre) are left out.
const double LargestCharted = 1e8;

} // namespace

QVector<ConcentrationGroup> concentrationGroups(const QList<uint> &rows, const QList<uint> &wells,
                                                const std::function<bool(uint populationId, double concentration)> &keep,
                                                QString *longest)
{
    BLLInstance *bll = BLLInstance::getInstance();
    PopulationsMgr *populations = bll->getPopulationsMgr();
    QVector<ConcentrationGroup> groups;
    for (uint id : rows) {
        ConcentrationGroup group;
        QVector<LumaraAnalysisData::PopulationResultInfo> results;
        // A merged row is told from a well by not being one of the wells' ids.
        if (wells.contains(id)) {
            results = bll->getResultCalculate()->getPopulationResults(id);
            group.label = bll->getWellSampleName(id);
        } else {
            const MergedResultRow merged = ResultModel::instance()->getMergedRow(id);
            results = merged.populations;
            group.label = merged.name;
        }
        if (longest && group.label.size() > longest->size())
            *longest = group.label;
        for (const LumaraAnalysisData::PopulationResultInfo &r : results) {
            if (!keep(r.populationId, r.concentration))
                continue;
            group.points.append({r.populationId, r.concentration, r.concentrationLower, r.concentrationUpper,
                                 populations->getPopulationColor(r.populationId)});
        }
        groups.append(group);
    }
    return groups;
}

Concentration::Concentration(QWidget *parent) : ResultChartPage(concentrationLogAxis, parent)
{
    m_chart = new ZtConcentration;
    build(m_chart, QUrl(QStringLiteral("qrc:/ViewResult/Concentration/qml/Concentration.qml")));
}

void Concentration::resetOnReload()
{
    ResultModel::instance()->setListMode(0);
}

void Concentration::updatePopulations()
{
    const QList<uint> unticked = populationModel()->getUnselectIDs();
    QVector<PopulationSelectItem> items;
    for (const LumaraAnalysisData::PopulationsInfo &p : BLLInstance::getInstance()->getPopulationsMgr()->getPopulations())
        items.append({p.id, p.signColor, p.name, !unticked.contains(p.id)});
    populationModel()->setItems(items);
}

void Concentration::updatePlot()
{
    const QList<uint> rows = ResultModel::instance()->getSelectIDs();
    const QList<uint> wells = WellListModel::instance()->getSelectWellIDs();
    const QList<uint> ticked = populationModel()->getSelectIDs();

    QString longest;
    const QVector<ConcentrationGroup> groups = concentrationGroups(
        rows, wells, [&ticked](uint population, double c) { return c <= LargestCharted && ticked.contains(population); },
        &longest);

    setAxisTitleFonts(m_chart);
    if (concentrationLogAxis == 1) {
        m_chart->SetTitleName(QwtPlot::yLeft, QStringLiteral("cp/ul-Log"));
        m_chart->setLogAxis();
    } else {
        m_chart->SetTitleName(QwtPlot::yLeft, QStringLiteral("cp/ul-Linear"));
        m_chart->setLinearAxis();
    }
    m_chart->setPlotSize(plotContainer()->width(), plotContainer()->height());
    m_chart->setData(groups, longest);
    m_chart->replot();
}
