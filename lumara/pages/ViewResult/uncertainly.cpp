#include "pages/ViewResult/uncertainly.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/ztuncertainly.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

QVector<UncertainlyPlotItem> uncertaintyItems(const QList<uint> &rows, const QList<uint> &wells, uint population)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const QString colour = bll->getPopulationsMgr()->getPopulationColor(population);
    QVector<UncertainlyPlotItem> items;
    for (uint id : rows) {
        UncertainlyPlotItem item;
        // A merged row is told from a well by not being one of the wells' ids.
        static_cast<UncertainlyCurveInfo &>(item) =
            wells.contains(id) ? bll->getResultCalculate()->uncertaintyCurveOfPopulation(id, population)
                               : mergedRowUncertaintyCurve(id, population);
        item.color = colour;
        items.append(item);
    }
    return items;
}

Uncertainly::Uncertainly(QWidget *parent) : ResultChartPage(uncertaintyLogAxis, parent)
{
    m_chart = new ZtUncertainly(int(12 * uiScaleFactor));
    build(m_chart, QUrl(QStringLiteral("qrc:/ViewResult/Uncertainty/qml/Uncertainty.qml")));
}

void Uncertainly::updatePopulations()
{
    const QList<uint> ticked = populationModel()->getSelectIDs();
    QVector<PopulationSelectItem> items;
    for (const LumaraAnalysisData::PopulationsInfo &p : BLLInstance::getInstance()->getPopulationsMgr()->getPopulations())
        items.append({p.id, p.signColor, p.name, ticked.contains(p.id)});
    if (ticked.isEmpty() && !items.isEmpty())
        items.first().select = true;
    populationModel()->setItems(items);
}

void Uncertainly::updatePlot()
{
    setAxisTitleFonts(m_chart);
    if (uncertaintyLogAxis == 1) {
        m_chart->SetTitleName(QwtPlot::xBottom, QStringLiteral("Concentration(cp/ul-Log)"));
        m_chart->setLogAxis();
    } else {
        m_chart->SetTitleName(QwtPlot::xBottom, QStringLiteral("Concentration(cp/ul-Linear)"));
        m_chart->setLinearAxis();
    }

    const QList<uint> rows = ResultModel::instance()->getSelectIDs();
    const QList<uint> wells = WellListModel::instance()->getSelectWellIDs();
    const QList<uint> ticked = populationModel()->getSelectIDs();
    if (ticked.isEmpty())
        return;

    BLLInstance *bll = BLLInstance::getInstance();
    const uint population = ticked.first();
    m_chart->SetTitleName(QwtPlot::yLeft, bll->getPopulationsMgr()->getPopulationName(population));
    const QVector<UncertainlyPlotItem> items = uncertaintyItems(rows, wells, population);
    m_chart->setData(items);
    m_chart->replot();
}
