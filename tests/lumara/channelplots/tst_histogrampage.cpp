// The histogram page on seeded documents: what drags, typing and the panel's buttons do to the
// threshold cache and the document, the grid, the threshold rows and the stored axis ranges.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/histogram.h"
#include "plots/Histogram/histogrampropertydialog.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/common/thresholdmodel.h"
#include "shell/appresources.h"
#include "shell/dialogmessage.h"

#include "testmain.h"

#include <QGridLayout>
#include <QSignalSpy>
#include <qwt_scale_div.h>

using namespace ChannelPlotsTest;
using Rows = QList<int>;

class TestHistogramPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void init();
    void cleanup();
    void dragChangesCacheOnly_data();
    void dragChangesCacheOnly();
    void typing_data();
    void typing();
    void applyWritesDocument();
    void reloads_data();
    void reloads();
    void declinedSwitch();
    void grid_data();
    void grid();
    void thresholdRows_data();
    void thresholdRows();
    void axisRangesPerWell_data();
    void axisRangesPerWell();

private:
    std::unique_ptr<ThumbnailModel> m_thumbs;
    std::unique_ptr<Histogram> m_page;
};

void TestHistogramPage::init()
{
    histogramLogAxis = 0;
    QVERIFY(load(rampDocument({40, 40, 40}, {1, 2, 3, 4})));
    m_thumbs.reset(new ThumbnailModel);
    m_page.reset(new Histogram(m_thumbs.get()));
    m_page->resize(1600, 900);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    emit SignalTransfer::getInstance()->updateWellComplete();
    // A load starts in common scope; these cases start per well.
    isIndividualMode = 1;
    choose(m_page.get(), {0}, {0});
}

void TestHistogramPage::cleanup()
{
    m_page.reset();
    m_thumbs.reset();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

QString rowText(ThresholdModel *model, int row)
{
    return model->data(model->index(row, 0), ThresholdModel::ChannelThresholdRole).toString();
}

void TestHistogramPage::dragChangesCacheOnly_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<Rows>("changed"); // well rows whose cache takes the value
    QTest::newRow("per well") << 1 << Rows{0};
    QTest::newRow("common") << 0 << Rows{0, 1, 2};
}

void TestHistogramPage::dragChangesCacheOnly()
{
    QFETCH(int, scope);
    QFETCH(Rows, changed);
    isIndividualMode = scope;
    choose(m_page.get(), {0}, {0, 1});
    ZetanHistogramPlot *plot = m_page->plot(1); // channel 2
    QApplication::processEvents();
    const QPoint target = pixel(plot, 7000, 1);
    const uint expected = uint(std::trunc(valueAt(plot, target).x()));
    drag(plot, QPointF(Threshold, 1), QPointF(7000, 1));
    QCOMPARE(plot->getSolidlineThreshold(), double(expected));
    const QList<uint> ids = wells()->getAllWellIDs();
    for (int row = 0; row < ids.size(); ++row) {
        QCOMPARE(wells()->getCachedThreshold(ids.at(row), 2), changed.contains(row) ? int(expected) : int(Threshold));
        QCOMPARE(bll()->getThldByLine(ids.at(row), 2), Threshold);
        QCOMPARE(wells()->getCachedThreshold(ids.at(row), 1), int(Threshold));
    }
    QCOMPARE(rowText(m_page->thresholdModel(), 1), QString::number(expected));
}

void TestHistogramPage::typing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cached");
    QTest::newRow("a number") << "6123" << 6123;
    QTest::newRow("emptied while retyping") << "" << int(Threshold);
    QTest::newRow("no number") << "12a" << int(Threshold);
}

void TestHistogramPage::typing()
{
    QFETCH(QString, text);
    QFETCH(int, cached);
    choose(m_page.get(), {1}, {0, 1});
    m_page->thresholdModel()->setChannelThresholdValue(2, text);
    QCOMPARE(wells()->getCachedThreshold(2, 2), cached);
    QCOMPARE(m_page->plot(1)->getSolidlineThreshold(), double(cached));
    QCOMPARE(bll()->getThldByLine(2, 2), Threshold);
    QCOMPARE(wells()->getCachedThreshold(1, 2), int(Threshold));
}

void TestHistogramPage::applyWritesDocument()
{
    QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
    m_page->thresholdModel()->setChannelThresholdValue(1, QStringLiteral("6000"));
    QCOMPARE(fixed.count(), 0);
    qmlSignal(m_page.get(), "applyThreshold");
    QCOMPARE(bll()->getThldByLine(1, 1), 6000u);
    QCOMPARE(bll()->getThldByLine(2, 1), Threshold);
    QVERIFY(fixed.count() >= 1);
    // Recounted: droplets 17.. of 40 reach 6000 (1000 + 300 j + 10 >= 6000).
    QCOMPARE(m_page->plot(0)->getDotlineThreshold(), 6000.0);
}

void TestHistogramPage::reloads_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<bool>("reloaded");
    QTest::newRow("cancel") << QByteArray("cancelThreshold") << false << true;
    QTest::newRow("auto") << QByteArray("autoThreshold") << false << true;
    QTest::newRow("switch to lines") << QByteArray("switchLineModel") << true << true;
    // The histogram keeps the edits when the scope becomes per well.
    QTest::newRow("switch to per well") << QByteArray("switchIndividual") << false << false;
}

void TestHistogramPage::reloads()
{
    QFETCH(QByteArray, action);
    QFETCH(bool, dialog);
    QFETCH(bool, reloaded);
    m_page->thresholdModel()->setChannelThresholdValue(1, QStringLiteral("6400"));
    ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
    qmlSignal(m_page.get(), action.constData());
    QCOMPARE(answerer.seen(), dialog ? QStringList{QStringLiteral("DialogMessage")} : QStringList());
    // Reloaded: the document's value (the switch to lines puts the analysis thresholds back).
    const int expected = reloaded ? int(bll()->getThldByLine(1, 1)) : 6400;
    QVERIFY(!reloaded || expected != 6400);
    QCOMPARE(wells()->getCachedThreshold(1, 1), expected);
    QCOMPARE(m_page->plot(0)->getSolidlineThreshold(), double(expected));
    QCOMPARE(rowText(m_page->thresholdModel(), 0), QString::number(expected));
}

void TestHistogramPage::declinedSwitch()
{
    m_page->thresholdModel()->setChannelThresholdValue(1, QStringLiteral("6400"));
    QObject *polygons = qmlChild(m_page.get(), QStringLiteral("polygonsButton"));
    QVERIFY(polygons);
    ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
    // A click checks the radio button, then its handler asks the page.
    QVERIFY(QMetaObject::invokeMethod(polygons, "toggle"));
    QVERIFY(QMetaObject::invokeMethod(polygons, "clicked"));
    QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
    QCOMPARE(bll()->getThldType(), LumaraAnalysisData::LineThreshold);
    QCOMPARE(m_page->qmlRoot()->property("isLinerType").toBool(), true);
    QCOMPARE(polygons->property("checked").toBool(), false);
    QCOMPARE(qmlChild(m_page.get(), QStringLiteral("linesButton"))->property("checked").toBool(), true);
    QCOMPARE(wells()->getCachedThreshold(1, 1), 6400);
}

void TestHistogramPage::grid_data()
{
    QTest::addColumn<Rows>("shown");
    QTest::newRow("one") << Rows{0};
    QTest::newRow("two") << Rows{1, 3};
    QTest::newRow("three") << Rows{0, 1, 2};
    QTest::newRow("four") << Rows{0, 1, 2, 3};
}

void TestHistogramPage::grid()
{
    QFETCH(Rows, shown);
    choose(m_page.get(), {0, 1}, shown);
    QGridLayout *grid = m_page->plotGrid();
    const int n = shown.size();
    const int fillers = n == 2 ? 2 : n == 3 ? 1 : 0;
    QCOMPARE(grid->count(), n + fillers);
    const QPoint cells[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int i = 0; i < n; ++i) {
        QWidget *w = grid->itemAtPosition(cells[i].x(), cells[i].y())->widget();
        QCOMPARE(w, static_cast<QWidget *>(m_page->plot(i)));
        QVERIFY(w->isVisible());
        // The x title names the channel of the shown thumbnail row.
        const uint channel = uint(shown.at(i) + 1);
        QCOMPARE(m_page->plot(i)->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("D%1(T%1)").arg(channel));
    }
    for (int i = n; i < n + fillers; ++i) {
        QWidget *w = grid->itemAtPosition(cells[i].x(), cells[i].y())->widget();
        QVERIFY(w == m_page->filler(0) || w == m_page->filler(1));
    }
    for (int i = n; i < 4; ++i)
        QVERIFY(!m_page->plot(i)->isVisible());
}

void TestHistogramPage::thresholdRows_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("scope");
    QTest::addColumn<Rows>("selected");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("linesShown");
    QTest::newRow("one well per well") << 0 << 1 << Rows{1} << QStringList{"5200", "5000"} << true << true;
    QTest::newRow("two wells per well") << 0 << 1 << Rows{1, 2} << QStringList{"", ""} << false << false;
    QTest::newRow("two wells common") << 0 << 0 << Rows{1, 2} << QStringList{"5200", "5000"} << true << true;
    QTest::newRow("polygons") << 1 << 1 << Rows{1} << QStringList() << false << false;
}

void TestHistogramPage::thresholdRows()
{
    QFETCH(int, mode);
    QFETCH(int, scope);
    QFETCH(Rows, selected);
    QFETCH(QStringList, texts);
    QFETCH(bool, editable);
    QFETCH(bool, linesShown);
    wells()->setCachedThreshold(2, 1, 5200);
    isIndividualMode = scope;
    if (mode == 1) {
        ModalAnswerer answerer([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        qmlSignal(m_page.get(), "switchPolygonModel");
    }
    choose(m_page.get(), selected, {0, 1});
    ThresholdModel *rows = m_page->thresholdModel();
    QCOMPARE(rows->rowCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(rows->data(rows->index(i, 0), ThresholdModel::ChannelIDRole).toUInt(), uint(i + 1));
        QCOMPARE(rowText(rows, i), texts.at(i));
        QCOMPARE(rows->data(rows->index(i, 0), ThresholdModel::ThresholdEditAbleRole).toBool(), editable);
    }
    // The plot's lines follow the same rule; hidden lines cannot be taken hold of.
    ZetanHistogramPlot *plot = m_page->plot(0);
    QApplication::processEvents();
    const double line = plot->getSolidlineThreshold();
    QTest::mouseMove(plot->canvas(), pixel(plot, line + 3, 1));
    QCOMPARE(plot->isNearLine(), linesShown);
    QCOMPARE(m_page->qmlRoot()->property("isCommonAll").toBool(), scope == 0);
    QCOMPARE(m_page->qmlRoot()->property("isLinerType").toBool(), mode == 0);
}

void TestHistogramPage::axisRangesPerWell_data()
{
    QTest::addColumn<bool>("linear");
    QTest::newRow("linear") << true;
    QTest::newRow("logarithmic") << false;
}

void TestHistogramPage::axisRangesPerWell()
{
    QFETCH(bool, linear);
    choose(m_page.get(), {0, 2}, {0, 1});
    ModalAnswerer answerer([linear](QWidget *modal) {
        auto *dialog = qobject_cast<HistogramPropertyDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        QObject *root = dialog->view()->rootObject();
        root->setProperty("isLineraScale", linear);
        root->setProperty("lowerBound", QStringLiteral("0.25"));
        root->setProperty("upperBound", QStringLiteral("12"));
        QMetaObject::invokeMethod(root, "clickYes");
    });
    emit m_page->plot(1)->axisYLeftDoubleClicked(0, 30);
    QCOMPARE(answerer.seen(), QStringList{QStringLiteral("HistogramPropertyDialog")});
    QCOMPARE(m_page->currentPlot(), 2);
    QCOMPARE(histogramLogAxis, linear ? 0 : 1);
    const QVector<WellAxisRange> &ranges = m_page->axisRanges();
    QCOMPARE(ranges.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(ranges.at(i).wellID, uint(i == 0 ? 1 : 3));
        QCOMPARE(ranges.at(i).ranges.at(1), AxisRange(0.25, 12));
        QCOMPARE(ranges.at(i).ranges.at(0), AxisRange(-1.0, -1.0));
    }
    const QwtScaleDiv div = m_page->plot(1)->axisScaleDiv(QwtPlot::yLeft);
    if (linear) {
        QCOMPARE(div.lowerBound(), 1.0);
        QCOMPARE(div.upperBound(), 12.0);
    } else {
        QVERIFY(div.upperBound() != 12.0);
    }
    // The other channel's pair was never set: its plot scales itself.
    QVERIFY(m_page->plot(0)->axisAutoScale(QwtPlot::yLeft));
}

LUMARA_TEST_GUI_MAIN(TestHistogramPage)
#include "tst_histogrampage.moc"
