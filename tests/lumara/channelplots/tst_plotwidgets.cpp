// The two plot widgets under the pointer: when a solid line is taken hold of, how it is drawn
// then, and what a drag reports.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/dotlayout.h"
#include "plots/OneDotPlot/zetan1plot.h"

#include "testmain.h"

#include <QSignalSpy>
#include <QVBoxLayout>
#include <memory>
#include <qwt_plot_curve.h>

using namespace ChannelPlotsTest;

Q_DECLARE_METATYPE(QVector<int>)

namespace {

template <class Plot>
struct Hosted {
    Hosted()
    {
        host.reset(new QWidget);
        host->resize(800, 600);
        auto *layout = new QVBoxLayout(host.get());
        layout->setContentsMargins(0, 0, 0, 0);
        plot = new Plot(host.get());
        layout->addWidget(plot);
        plot->setAxisScale(QwtPlot::xBottom, 0, 20000);
        plot->setAxisScale(QwtPlot::yLeft, 0, 20000);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        plot->replot();
        QApplication::processEvents();
    }
    ~Hosted()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    std::unique_ptr<QWidget> host;
    Plot *plot = nullptr;
};

// Widths of the solid line curves of a 1D plot, in line order.
QVector<double> solidWidths(const QwtPlot *plot)
{
    QVector<double> widths;
    for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        auto *curve = static_cast<QwtPlotCurve *>(item);
        if (curve->style() == QwtPlotCurve::Lines && curve->pen().style() == Qt::SolidLine)
            widths.append(curve->pen().widthF());
    }
    return widths;
}

} // namespace

class TestPlotWidgets : public QObject {
    Q_OBJECT
private slots:
    void histogramHover_data();
    void histogramHover();
    void histogramDrag();
    void dotHover_data();
    void dotHover();
};

void TestPlotWidgets::histogramHover_data()
{
    QTest::addColumn<double>("offset"); // grey values right of the line
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("near");
    QTest::newRow("on the line") << 0.0 << true << true;
    QTest::newRow("150 right") << 150.0 << true << true;
    QTest::newRow("150 left") << -150.0 << true << true;
    QTest::newRow("400 right") << 400.0 << true << false;
    QTest::newRow("hidden line") << 0.0 << false << false;
}

void TestPlotWidgets::histogramHover()
{
    QFETCH(double, offset);
    QFETCH(bool, visible);
    QFETCH(bool, near);
    Hosted<ZetanHistogramPlot> shown;
    ZetanHistogramPlot *plot = shown.plot;
    plot->SetHistogramThresholdSoildLineDraw(QStringLiteral("#2b4b9b"), 1.8);
    plot->SetHistogramThresholdSoildLineValue(8000);
    plot->SetHistogramThresholdSoildLineVisible(visible);
    QTest::mouseMove(plot->canvas(), pixel(plot, 8000 + offset, 100));
    QCOMPARE(plot->isNearLine(), near);
    QCOMPARE(plot->GetSolidlinePen().widthF(), near ? 3.0 : 1.8);
    QCOMPARE(plot->GetSolidlinePen().color(), QColor(QStringLiteral("#2b4b9b")));
    // Moving away again: the thinner width, not the page's 1.8.
    QTest::mouseMove(plot->canvas(), pixel(plot, 15000, 100));
    QCOMPARE(plot->isNearLine(), false);
    QCOMPARE(plot->GetSolidlinePen().widthF(), near ? 1.4 : 1.8);
}

void TestPlotWidgets::histogramDrag()
{
    Hosted<ZetanHistogramPlot> shown;
    ZetanHistogramPlot *plot = shown.plot;
    plot->SetHistogramThresholdSoildLineValue(8000);
    QSignalSpy dragged(plot, &ZetanHistogramPlot::updateTempThreshold);
    // Dragged left of the axis: the line stops at 0.
    ChannelPlotsTest::drag(plot, QPointF(8000, 100), QPointF(-500, 100));
    QVERIFY(!dragged.isEmpty());
    QCOMPARE(dragged.last().at(0).toUInt(), 0u);
    QCOMPARE(plot->getSolidlineThreshold(), 0.0);
}

void TestPlotWidgets::dotHover_data()
{
    QTest::addColumn<bool>("individual");
    QTest::addColumn<double>("below"); // grey values below the second well's line
    QTest::addColumn<QVector<double>>("widths");
    QTest::newRow("per well, 150 below") << true << 150.0 << QVector<double>{1.8, 3.6, 1.8};
    QTest::newRow("per well, 400 below") << true << 400.0 << QVector<double>{1.8, 1.8, 1.8};
    QTest::newRow("per well, 150 above") << true << -150.0 << QVector<double>{1.8, 1.8, 1.8};
    QTest::newRow("common, 150 below") << false << 150.0 << QVector<double>{3.6, 3.6, 3.6};
}

void TestPlotWidgets::dotHover()
{
    QFETCH(bool, individual);
    QFETCH(double, below);
    QFETCH(QVector<double>, widths);
    Hosted<Zetan1Plot> shown;
    Zetan1Plot *plot = shown.plot;
    plot->Set1DThresholdSoildLineDraw(QStringLiteral("#2b4b9b"), 1.8);
    const DotLayout layout = dotLayout({6000, 6000, 6000});
    // Common lines share one height; per well the second is higher.
    const uint second = individual ? 9000 : 6000;
    plot->setSolidThresholdLines(thresholdLines(layout, {6000, second, 6000}));
    plot->setIndividual(individual);
    plot->replot();
    const double x = layout.offsets.at(1) + 3000;
    QTest::mouseMove(plot->canvas(), pixel(plot, x, second - below));
    QCOMPARE(solidWidths(plot), widths);
    QCOMPARE(plot->isLineCaught(), widths.contains(3.6));
    if (!plot->isLineCaught())
        return;
    QSignalSpy dragged(plot, &Zetan1Plot::updateTempThreshold);
    QTest::mousePress(plot->canvas(), Qt::LeftButton, Qt::NoModifier, pixel(plot, x, second - below));
    const QPoint to = pixel(plot, x, 12000);
    QTest::mouseMove(plot->canvas(), to);
    QTest::mouseRelease(plot->canvas(), Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(!dragged.isEmpty());
    const uint grey = uint(std::trunc(valueAt(plot, to).y()));
    QCOMPARE(dragged.last().at(1).toUInt(), grey);
    const QVector<int> moved = individual ? QVector<int>{1} : QVector<int>{0, 1, 2};
    QCOMPARE(dragged.last().at(0).value<QVector<int>>(), moved);
    QCOMPARE(plot->solidThresholdLines().at(1).first().y(), double(grey));
    QCOMPARE(plot->solidThresholdLines().at(0).first().y(), individual ? 6000.0 : double(grey));
}

LUMARA_TEST_GUI_MAIN(TestPlotWidgets)
#include "tst_plotwidgets.moc"
