// The Analyze Plot container: its five pages in their places, the page switch that refreshes
// before showing and ignores an index without a page, and the thumbnail model shared by the
// histogram and 1D pages only.
#include "pages/analysisplot.h"

#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/PopulationEdit/populationedit.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/thumbnailmodel.h"
#include "shell/appresources.h"
#include "shell/welllistmodel.h"

#include "channelplotstest.h"
#include "testmain.h"

#include <QStackedLayout>
#include <qwt_plot_curve.h>

using namespace ChannelPlotsTest;

class TestAnalysisPlot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void pages();
    void switching_data();
    void switching();
    void refreshBeforeShowing();
};

void TestAnalysisPlot::pages()
{
    AnalysisPlot container;
    QCOMPARE(container.count(), 5);
    QCOMPARE(container.currentIndex(), 0);
    auto *stack = container.findChild<QStackedLayout *>();
    QVERIFY(stack);
    QCOMPARE(stack->widget(0), static_cast<QWidget *>(container.histogram()));
    QCOMPARE(stack->widget(1), static_cast<QWidget *>(container.plot1DDot()));
    QCOMPARE(stack->widget(2), static_cast<QWidget *>(container.plot2DDot()));
    QCOMPARE(stack->widget(3), static_cast<QWidget *>(container.plot3DDot()));
    QCOMPARE(stack->widget(4), static_cast<QWidget *>(container.populationEdit()));
    QCOMPARE(container.histogram()->thumbnailModel(), container.sharedThumbnails());
    QCOMPARE(container.plot1DDot()->thumbnailModel(), container.sharedThumbnails());
    QVERIFY(container.plot2DDot()->thumbnailModel() != container.sharedThumbnails());
    // The pages do not force the main window past a small screen.
    QVERIFY(container.layout()->minimumSize().height() < 600);
    QVERIFY(container.layout()->minimumSize().width() < 800);
}

void TestAnalysisPlot::switching_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<int>("current");
    QTest::newRow("2D") << QList<int>{2} << 2;
    QTest::newRow("population editor") << QList<int>{4} << 4;
    QTest::newRow("7 keeps the page") << QList<int>{1, 7} << 1;
    QTest::newRow("-1 keeps the page") << QList<int>{3, -1} << 3;
    QTest::newRow("back to the histogram") << QList<int>{2, 0} << 0;
}

void TestAnalysisPlot::switching()
{
    QFETCH(QList<int>, indexes);
    QFETCH(int, current);
    // Without wells no page refreshes, and each is still shown.
    AnalysisPlot container;
    for (int index : indexes)
        container.switchPage(index);
    QCOMPARE(container.currentIndex(), current);
}

void TestAnalysisPlot::refreshBeforeShowing()
{
    BllTest::DocumentSeed seed = rampDocument({30, 30});
    seed.plots2D = {{QString(), {1u, 2u}}};
    QVERIFY(load(seed));
    AnalysisPlot container;
    container.resize(1600, 1000);
    emit SignalTransfer::getInstance()->updateWellComplete();
    selectRows({0});
    QCOMPARE(container.plot2DDot()->thumbnailModel()->rowCount(), 0);
    container.switchPage(2);
    // The 2D page was filled by the switch: its thumbnails and its first plot.
    QCOMPARE(container.plot2DDot()->thumbnailModel()->rowCount(), 1);
    QCOMPARE(container.plot2DDot()->shownPlotIds().size(), 1);
    int dots = 0;
    for (const auto *curve : container.plot2DDot()->plot(0)->curves())
        dots += int(curve->dataSize());
    QCOMPARE(dots, 30);
}

LUMARA_TEST_GUI_MAIN(TestAnalysisPlot)
#include "tst_analysisplot.moc"
