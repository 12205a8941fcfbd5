#pragma once
// What the concentration and the uncertainty pages share: the result rows in a list on the
// left, where the user selects the rows to chart, the chart in the middle and a QML panel
// behind them with the Both / Merge / Individual choice, the population check list and the
// Linear / Log switch. The pages differ in their chart, in how many populations may be ticked
// and in what they draw.
#include <QPointer>
#include <QQuickWidget>

class PopulationSelectModel;
class QwtBasic;
class ResultListView;
class WellHeaderView;
class WellListDelegate;

class ResultChartPage : public QQuickWidget {
    Q_OBJECT
public:
    // Called by the View Results page on every switch to this page: with result rows, shows
    // the list mode in the panel and charts the selection.
    void refreshView();

    PopulationSelectModel *populationModel() const { return m_populations; }
    ResultListView *listView() const { return m_list; }

signals:
    void selectBoth();
    void selectMerge();
    void selectIndividual();

protected:
    // logAxis: the process-wide axis choice this page writes.
    ResultChartPage(int &logAxis, QWidget *parent);

    // Builds the list, the layouts and the panel around the chart (owned from then on), and
    // makes the connections.
    void build(QwtBasic *plot, const QUrl &panel);
    QWidget *plotContainer() const { return m_plotContainer; }
    // "Roboto" at 20 scaled pixels on both axis titles.
    static void setAxisTitleFonts(QwtBasic *plot);

    virtual void updatePopulations() = 0;
    virtual void updatePlot() = 0;
    // What a reload of the wells resets beyond the page's own list and axis.
    virtual void resetOnReload() {}

private slots:
    void updateWellSelect();
    void switch2Linear();
    void switch2Log();
    void switch2Both();
    void switch2Merge();
    void switch2Individual();
    void initData();

private:
    void switchListMode(int mode);

    QPointer<QObject> m_root;
    ResultListView *m_list = nullptr;
    WellListDelegate *m_delegate = nullptr;
    WellHeaderView *m_header = nullptr;
    QWidget *m_plotContainer = nullptr;
    PopulationSelectModel *m_populations = nullptr;
    int &m_logAxis;
};
