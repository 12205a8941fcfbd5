#include "pages/ViewResult/resultchartpage.h"

#include "bll/signaltransfer.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultlistview.h"
#include "pages/ViewResult/resultmodel.h"
#include "shell/globalvalues.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"

#include "qwtbasic.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QQmlContext>
#include <QQuickItem>
#include <QVBoxLayout>

ResultChartPage::ResultChartPage(int &logAxis, QWidget *parent) : QQuickWidget(parent), m_logAxis(logAxis) {}

void ResultChartPage::build(QwtBasic *plot, const QUrl &panel)
{
    const auto scaled = [](int pixels) { return int(pixels * uiScaleFactor); };

    m_header = new WellHeaderView(Qt::Horizontal, this);
    m_header->setMinimumHeight(32);
    m_header->setMaximumHeight(32);
    m_delegate = new WellListDelegate(this);
    m_list = new ResultListView;
    m_list->setHorizontalHeader(m_header);
    // The list's own header stretched its one column; the page's header must as well.
    m_header->setSectionResizeMode(QHeaderView::Stretch);
    m_list->setModel(ResultModel::instance());
    m_list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_list->setItemDelegate(m_delegate);
    m_plotContainer = new QWidget;
    m_plotContainer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_populations = new PopulationSelectModel(this);

    rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    rootContext()->setContextProperty(QStringLiteral("populationModel"), m_populations);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setSource(panel);
    m_root = rootObject();

    // The panel's controls lie in the room the layouts leave free: the row-set choice above
    // the list, the population, view and legend frames right of the chart.
    auto *left = new QVBoxLayout;
    left->addSpacing(scaled(50));
    left->addWidget(m_list);
    auto *plotLayout = new QHBoxLayout(m_plotContainer);
    plotLayout->setSpacing(0);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    plotLayout->addWidget(plot);
    auto *page = new QHBoxLayout(this);
    page->setSpacing(0);
    page->setContentsMargins(scaled(26), scaled(26), scaled(28), scaled(30));
    page->addLayout(left, 1);
    page->addSpacing(scaled(15));
    page->addWidget(m_plotContainer, 5);
    page->addSpacing(scaled(350));

    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::updateWellComplete, this, &ResultChartPage::initData);
    connect(m_list, &ResultListView::wellSelectChange, this, &ResultChartPage::updateWellSelect);
    connect(m_populations, &PopulationSelectModel::selectStatusChange, this, &ResultChartPage::updateWellSelect);
    if (QObject *root = m_root.data()) {
        connect(hub, SIGNAL(updateWellComplete()), root, SIGNAL(openNewFile()));
        connect(root, SIGNAL(switch2Linear()), this, SLOT(switch2Linear()));
        connect(root, SIGNAL(switch2Log()), this, SLOT(switch2Log()));
        connect(root, SIGNAL(bothWell()), this, SLOT(switch2Both()));
        connect(root, SIGNAL(mergeWell()), this, SLOT(switch2Merge()));
        connect(root, SIGNAL(individualWell()), this, SLOT(switch2Individual()));
        connect(this, SIGNAL(selectBoth()), root, SIGNAL(selectBoth()));
        connect(this, SIGNAL(selectMerge()), root, SIGNAL(selectMerge()));
        connect(this, SIGNAL(selectIndividual()), root, SIGNAL(selectIndividual()));
    }
}

void ResultChartPage::setAxisTitleFonts(QwtBasic *plot)
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(int(20 * uiScaleFactor));
    plot->SetTitleFont(QwtPlot::xBottom, font);
    plot->SetTitleFont(QwtPlot::yLeft, font);
}

void ResultChartPage::refreshView()
{
    ResultModel *rows = ResultModel::instance();
    if (rows->getAllIDs().isEmpty())
        return;
    switch (rows->listMode()) {
    case 0:
        emit selectBoth();
        break;
    case 1:
        emit selectIndividual();
        break;
    case 2:
        emit selectMerge();
        break;
    default:
        break;
    }
    updatePopulations();
    updatePlot();
}

void ResultChartPage::updateWellSelect()
{
    updatePopulations();
    updatePlot();
}

void ResultChartPage::switch2Linear()
{
    m_logAxis = 0;
    updatePlot();
}

void ResultChartPage::switch2Log()
{
    m_logAxis = 1;
    updatePlot();
}

void ResultChartPage::switchListMode(int mode)
{
    ResultModel::instance()->setListMode(mode);
    ResultModel::instance()->ensureSelection();
    updatePopulations();
    updatePlot();
}

void ResultChartPage::switch2Both()
{
    switchListMode(0);
}

void ResultChartPage::switch2Merge()
{
    switchListMode(2);
}

void ResultChartPage::switch2Individual()
{
    switchListMode(1);
}

void ResultChartPage::initData()
{
    m_populations->clearItems();
    resetOnReload();
    m_logAxis = 0;
    emit selectBoth();
}
