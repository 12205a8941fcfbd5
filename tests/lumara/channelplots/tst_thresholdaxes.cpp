// Grey-value axes that reach past the threshold lines: the widening itself, and the histogram,
// 1D and 2D pages on wells whose thresholds lie below, inside or above all their droplets,
// drawn afresh, typed key by key, dragged past the canvas's end and typed into a zoom.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/histogram.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/thresholdaxis.h"
#include "plots/common/thresholdmodel.h"
#include "shell/appresources.h"

#include "testmain.h"

#include <QWheelEvent>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>

#include <limits>
#include <memory>

using namespace ChannelPlotsTest;

namespace {

enum Kind { HistogramPage, OneDotPage, TwoDotPage };

// Every droplet lies from Lowest to Highest; an ordinary threshold between them.
constexpr uint Lowest = 3800;
constexpr uint Highest = 4800;
constexpr uint Ordinary = 4300;
// A line counts as shown inside when it lies this share of the axis span away from each end.
constexpr double Room = 0.02;

const char *kindName(Kind kind)
{
    return kind == HistogramPage ? "histogram" : kind == OneDotPage ? "1D" : "2D";
}

// Wells A1 (row 0) and A2 (row 1) with the same 41 droplets at 3800, 3825, .. 4800 in
// channels 1 and 2, every threshold ordinary unless `stored` gives well A2 another one for
// `channel`; the 2D combination (1, 2).
BllTest::DocumentSeed document(uint channel = 0, uint stored = Ordinary)
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    QVector<BllTest::DropletSeed> droplets;
    for (uint j = 0; j <= 40; ++j) {
        BllTest::Greys g{};
        g[0] = g[1] = Lowest + 25 * j;
        droplets.append(BllTest::droplet(g));
    }
    for (uint id : {1u, 2u}) {
        BllTest::WellSeed w = BllTest::well(id, QStringLiteral("A%1").arg(id), {1, 2}, droplets);
        w.lineThresholds.fill(Ordinary);
        if (id == 2 && channel != 0)
            w.lineThresholds[channel - 1] = stored;
        seed.wells.append(w);
    }
    seed.plots2D = {{QStringLiteral("P12"), {1u, 2u}}};
    return seed;
}

AxisRange shownRange(const QwtPlot *plot, int axis)
{
    const QwtScaleDiv &div = plot->axisScaleDiv(axis);
    return AxisRange(div.lowerBound(), div.upperBound());
}

QString text(const AxisRange &r)
{
    return QStringLiteral("%1..%2").arg(r.first).arg(r.second);
}

// The value lies inside the axis with room to either end, and every droplet is shown too.
bool showsLineAndDroplets(const AxisRange &r, double value)
{
    const double room = (r.second - r.first) * Room;
    return value - r.first >= room && r.second - value >= room && r.first <= Lowest && r.second >= Highest;
}

// The user's mouse wheel over the canvas's centre: positive notches zoom in.
void wheel(QwtPlot *plot, int notches)
{
    QWidget *canvas = plot->canvas();
    const QPointF at = canvas->rect().center();
    QWheelEvent ev(at, canvas->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &ev);
}

// A value typed into the channel's box key by key: each text on the way reaches the page.
void typeKeys(ChannelPlotPage *page, uint channel, uint value)
{
    const QString typed = QString::number(value);
    for (int n = 1; n <= typed.size(); ++n)
        page->thresholdModel()->setChannelThresholdValue(channel, typed.left(n));
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestThresholdAxes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void cleanup();

    void reachPast_data();
    void reachPast();
    void drawnAfresh_data();
    void drawnAfresh();
    void typedKeyByKey_data();
    void typedKeyByKey();
    void draggedPastTheEnd_data();
    void draggedPastTheEnd();
    void zoomKept_data();
    void zoomKept();
    void typedBoundsKept();

private:
    // The page of the kind on the document, shown, in per-well scope, well `row` selected
    // with the plot of `channel` (the 2D page: the combination (1, 2)).
    void open(Kind kind, const BllTest::DocumentSeed &seed, int row, uint channel);
    void select(int row);
    QwtPlot *plot() const;
    // The grey axis of the channel on the page's plot.
    int axisOf(uint channel) const;

    Kind m_kind = HistogramPage;
    uint m_channel = 1;
    std::unique_ptr<ThumbnailModel> m_thumbs;
    std::unique_ptr<QWidget> m_owned;
    ChannelPlotPage *m_page = nullptr;
};

void TestThresholdAxes::cleanup()
{
    m_owned.reset();
    m_page = nullptr;
    m_thumbs.reset();
    isAxisIndividual = 1;
    wellAxisRanges.clear();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TestThresholdAxes::open(Kind kind, const BllTest::DocumentSeed &seed, int row, uint channel)
{
    m_owned.reset();
    m_page = nullptr;
    m_kind = kind;
    m_channel = channel;
    histogramLogAxis = 0;
    isAxisIndividual = 1;
    wellAxisRanges.clear();
    QVERIFY(load(seed));
    m_thumbs.reset(new ThumbnailModel);
    if (kind == HistogramPage)
        m_page = new Histogram(m_thumbs.get());
    else if (kind == OneDotPage)
        m_page = new Plot1DDot(m_thumbs.get());
    else
        m_page = new Plot2DDot;
    m_owned.reset(m_page);
    m_page->resize(1600, 1000);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page));
    emit SignalTransfer::getInstance()->updateWellComplete();
    isIndividualMode = 1;
    select(row);
}

void TestThresholdAxes::select(int row)
{
    choose(m_page, {row}, {m_kind == TwoDotPage ? 0 : int(m_channel) - 1});
    QApplication::processEvents();
}

QwtPlot *TestThresholdAxes::plot() const
{
    if (m_kind == HistogramPage)
        return static_cast<Histogram *>(m_page)->plot(0);
    if (m_kind == OneDotPage)
        return static_cast<Plot1DDot *>(m_page)->plot(0);
    return static_cast<Plot2DDot *>(m_page)->plot(0);
}

int TestThresholdAxes::axisOf(uint channel) const
{
    if (m_kind == HistogramPage)
        return QwtPlot::xBottom;
    if (m_kind == OneDotPage)
        return QwtPlot::yLeft;
    return channel == 1 ? QwtPlot::xBottom : QwtPlot::yLeft;
}

// ---- The widening ------------------------------------------------------------------------------

void TestThresholdAxes::reachPast_data()
{
    QTest::addColumn<AxisRange>("range");
    QTest::addColumn<QVector<double>>("lines");
    QTest::addColumn<AxisRange>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("inside: unchanged") << AxisRange(3800, 4800) << QVector<double>{4300, 4350} << AxisRange(3800, 4800);
    QTest::newRow("no lines") << AxisRange(3800, 4800) << QVector<double>{} << AxisRange(3800, 4800);
    QTest::newRow("not a number") << AxisRange(3800, 4800) << QVector<double>{nan} << AxisRange(3800, 4800);
    // Span 3800..5335, margin 76.75, rounded outward.
    QTest::newRow("above") << AxisRange(3800, 4800) << QVector<double>{4300, 5335} << AxisRange(3800, 5412);
    // Span 2000..4800, margin 140.
    QTest::newRow("below") << AxisRange(3800, 4800) << QVector<double>{2000, 4300} << AxisRange(1860, 4800);
    // Span 2000..6000, margin 200.
    QTest::newRow("one below, one above") << AxisRange(3800, 4800) << QVector<double>{6000, 2000} << AxisRange(1800, 6200);
    // Span 6000, margin 300: on the end, and less than half the margin inside, is at the end.
    QTest::newRow("on the upper end") << AxisRange(0, 6000) << QVector<double>{6000} << AxisRange(0, 6300);
    QTest::newRow("149 inside the upper end") << AxisRange(0, 6000) << QVector<double>{5851} << AxisRange(0, 6151);
    QTest::newRow("150 inside the upper end") << AxisRange(0, 6000) << QVector<double>{5850} << AxisRange(0, 6000);
    QTest::newRow("on the lower end") << AxisRange(1000, 7000) << QVector<double>{1000} << AxisRange(700, 7000);
    // Span 100..4800, margin 235: not below 0 on account of the line.
    QTest::newRow("near 0") << AxisRange(3800, 4800) << QVector<double>{100} << AxisRange(0, 4800);
    QTest::newRow("at 0 on an axis from 0") << AxisRange(0, 5000) << QVector<double>{0} << AxisRange(0, 5000);
    QTest::newRow("an axis the user took below 0") << AxisRange(-500, 5000) << QVector<double>{0} << AxisRange(-500, 5000);
}

void TestThresholdAxes::reachPast()
{
    QFETCH(AxisRange, range);
    QFETCH(QVector<double>, lines);
    QFETCH(AxisRange, expected);
    const AxisRange widened = ThresholdAxis::reachPast(range, lines);
    QCOMPARE(widened, expected);
    // Widened once, the lines are inside: again it changes nothing, or a typed line would
    // push the axis out a bit further at every key.
    QCOMPARE(ThresholdAxis::reachPast(widened, lines), widened);
}

// ---- Drawn afresh --------------------------------------------------------------------------

void TestThresholdAxes::drawnAfresh_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<bool>("stored"); // the stored (dotted) line, else the edited (solid) one
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("axisScope"); // the 1D page's: 1 each well's own range, 0 one for all
    const struct {
        const char *name;
        uint value;
    } places[] = {{"below", 2000}, {"inside", 4500}, {"above", 6000}};
    for (Kind kind : {HistogramPage, OneDotPage, TwoDotPage}) {
        for (uint channel : {1u, 2u}) {
            for (bool stored : {false, true}) {
                for (const auto &place : places) {
                    for (int scope : {1, 0}) {
                        // The axis scope is the 1D page's choice; the 2D page follows it too.
                        if (scope == 0 && kind == HistogramPage)
                            continue;
                        // Channel 2 is the 2D page's other axis (its stored line is drawn as
                        // channel 1's); the other pages draw it as channel 1.
                        if (channel == 2 && (kind != TwoDotPage || stored))
                            continue;
                        QTest::addRow("%s, channel %u, %s line %s%s", kindName(kind), channel,
                                      stored ? "stored" : "edited", place.name,
                                      scope == 0 ? ", one range for all wells" : "")
                            << kind << channel << stored << place.value << scope;
                    }
                }
            }
        }
    }
}

// Well A1's thresholds are ordinary; A2 has the same droplets and one line elsewhere. Drawn
// for A2, the grey axis shows that line and every droplet; a line inside leaves the axis
// A1 gets. The range for all wells is the one taken on A1.
void TestThresholdAxes::drawnAfresh()
{
    QFETCH(Kind, kind);
    QFETCH(uint, channel);
    QFETCH(bool, stored);
    QFETCH(uint, value);
    QFETCH(int, axisScope);
    open(kind, document(channel, stored ? value : Ordinary), 0, channel);
    if (axisScope == 0) {
        // The 1D page's choice, taken on A1; the 2D page draws by it as well.
        if (kind == OneDotPage) {
            qmlSignal(m_page, "switchAxisApplyAll");
        } else {
            ThumbnailModel thumbs;
            Plot1DDot oneDot(&thumbs);
            choose(&oneDot, {0}, {int(channel) - 1});
            qmlSignal(&oneDot, "switchAxisApplyAll");
        }
        QCOMPARE(isAxisIndividual, 0);
        select(0);
    }
    const int axis = axisOf(channel);
    const int other = axis == QwtPlot::xBottom ? QwtPlot::yLeft : QwtPlot::xBottom;
    const AxisRange ordinary = shownRange(plot(), axis);
    const AxisRange ordinaryOther = shownRange(plot(), other);
    QVERIFY2(showsLineAndDroplets(ordinary, Ordinary), qPrintable(text(ordinary)));

    if (!stored)
        wells()->setCachedThreshold(2, channel, int(value));
    else
        wells()->setCachedThreshold(2, channel, int(Ordinary));
    select(1);
    QCOMPARE(bll()->getThldByLine(2, channel), stored ? value : Ordinary);
    const AxisRange shown = shownRange(plot(), axis);
    if (value > Lowest && value < Highest) {
        QCOMPARE(shown, ordinary);
    } else {
        QVERIFY2(showsLineAndDroplets(shown, value), qPrintable(text(shown)));
        QVERIFY2(showsLineAndDroplets(shown, Ordinary), qPrintable(text(shown)));
    }
    // The other channel's lines are ordinary: the 2D page's other axis stays as it was.
    if (kind == TwoDotPage)
        QCOMPARE(shownRange(plot(), other), ordinaryOther);
}

// ---- Typed, dragged, zoomed --------------------------------------------------------------------

void TestThresholdAxes::typedKeyByKey_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<uint>("value");
    for (Kind kind : {HistogramPage, OneDotPage, TwoDotPage}) {
        for (uint channel : {1u, 2u}) {
            if (channel == 2 && kind != TwoDotPage)
                continue;
            for (uint value : {2000u, 4400u, 6000u})
                QTest::addRow("%s, channel %u: %u", kindName(kind), channel, value) << kind << channel << value;
        }
    }
}

// The edited line goes where the typed number puts it, and the axis shows it there: as far
// as the page's range reaching past it and the stored line, whatever the keys on the way put
// (the "6" of 6000 lies far below every droplet).
void TestThresholdAxes::typedKeyByKey()
{
    QFETCH(Kind, kind);
    QFETCH(uint, channel);
    QFETCH(uint, value);
    open(kind, document(), 1, channel);
    const int axis = axisOf(channel);
    const AxisRange before = shownRange(plot(), axis);
    typeKeys(m_page, channel, value);
    QCOMPARE(wells()->getCachedThreshold(2, channel), int(value));
    const AxisRange shown = shownRange(plot(), axis);
    QVERIFY2(showsLineAndDroplets(shown, value), qPrintable(text(shown)));
    QCOMPARE(shown, ThresholdAxis::reachPast(before, {double(value), double(Ordinary)}));
    // Typed back to the stored value: the page's range again.
    typeKeys(m_page, channel, Ordinary);
    QCOMPARE(shownRange(plot(), axis), before);
}

void TestThresholdAxes::draggedPastTheEnd_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<bool>("upper"); // past the upper end, else the lower
    QTest::newRow("histogram, past the right end") << HistogramPage << 1u << true;
    QTest::newRow("histogram, past the left end") << HistogramPage << 1u << false;
    QTest::newRow("1D, past the top") << OneDotPage << 1u << true;
    QTest::newRow("1D, past the bottom") << OneDotPage << 1u << false;
    QTest::newRow("2D, vertical line past the right end") << TwoDotPage << 1u << true;
    QTest::newRow("2D, horizontal line past the top") << TwoDotPage << 2u << true;
    QTest::newRow("2D, horizontal line past the bottom") << TwoDotPage << 2u << false;
}

// The pointer taking the edited line out past the canvas's end: the line goes with it, and
// the axis follows so that the line stays where it can be seen and taken hold of again. The
// other end holds still.
void TestThresholdAxes::draggedPastTheEnd()
{
    QFETCH(Kind, kind);
    QFETCH(uint, channel);
    QFETCH(bool, upper);
    open(kind, document(), 1, channel);
    QwtPlot *p = plot();
    QWidget *canvas = p->canvas();
    const int axis = axisOf(channel);
    const AxisRange before = shownRange(p, axis);
    // From the line (1D: just below it, where it is caught) in the middle of the other axis.
    const bool horizontal = axis == QwtPlot::xBottom;
    int across = horizontal ? canvas->height() / 2 : canvas->width() / 2;
    // On the 2D plot away from the other line, which would be dragged along.
    if (kind == TwoDotPage)
        across = qRound(p->transform(horizontal ? QwtPlot::yLeft : QwtPlot::xBottom, Lowest + 100));
    const int along = qRound(p->transform(axis, kind == OneDotPage ? Ordinary - 20 : Ordinary));
    const int beyond = (upper == horizontal) ? (horizontal ? canvas->width() : canvas->height()) + 6 : -6;
    const QPoint from = horizontal ? QPoint(along, across) : QPoint(across, along);
    const QPoint to = horizontal ? QPoint(beyond, across) : QPoint(across, beyond);
    dragPixels(p, from, to);
    const int dragged = wells()->getCachedThreshold(2, channel);
    QVERIFY2(upper ? dragged > before.second : dragged < before.first, qPrintable(QString::number(dragged)));
    const AxisRange shown = shownRange(p, axis);
    const double room = (shown.second - shown.first) * Room;
    QVERIFY2(dragged - shown.first >= room && shown.second - dragged >= room,
             qPrintable(QStringLiteral("%1 on %2").arg(dragged).arg(text(shown))));
    QCOMPARE(upper ? shown.first : shown.second, upper ? before.first : before.second);
}

void TestThresholdAxes::zoomKept_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<uint>("channel");
    QTest::newRow("histogram") << HistogramPage << 1u;
    QTest::newRow("1D") << OneDotPage << 1u;
    QTest::newRow("2D, vertical line") << TwoDotPage << 1u;
    QTest::newRow("2D, horizontal line") << TwoDotPage << 2u;
}

// A zoom the user made stays: a value typed inside it leaves it as it is; one above it
// widens only its upper end, until the value is inside the zoom again.
void TestThresholdAxes::zoomKept()
{
    QFETCH(Kind, kind);
    QFETCH(uint, channel);
    open(kind, document(), 1, channel);
    const int axis = axisOf(channel);
    const AxisRange page = shownRange(plot(), axis);
    wheel(plot(), 3);
    const AxisRange zoom = shownRange(plot(), axis);
    QVERIFY2(zoom.first > page.first && zoom.second < page.second, qPrintable(text(zoom)));
    const uint inside = uint(std::ceil(zoom.first + (zoom.second - zoom.first) * 0.4));
    typeKeys(m_page, channel, inside);
    QCOMPARE(shownRange(plot(), axis), zoom);
    typeKeys(m_page, channel, 6000);
    const AxisRange widened = shownRange(plot(), axis);
    QCOMPARE(widened.first, zoom.first);
    QVERIFY2(showsLineAndDroplets(AxisRange(Lowest, widened.second), 6000), qPrintable(text(widened)));
    typeKeys(m_page, channel, inside);
    QCOMPARE(shownRange(plot(), axis), zoom);
}

// Bounds the user typed for the 1D plot stay as typed when a line lies above them; the
// automatic range of the other channel still reaches past its line.
void TestThresholdAxes::typedBoundsKept()
{
    open(OneDotPage, document(1, 6000), 1, 1);
    ModalAnswerer answerer(typedBounds(QStringLiteral("3500"), QStringLiteral("5000")));
    emit static_cast<QwtBasic *>(plot())->axisYLeftDoubleClicked(0, 20000);
    QCOMPARE(answerer.seen(), QStringList{QStringLiteral("Plot1DpropertyDialog")});
    QCOMPARE(shownRange(plot(), QwtPlot::yLeft), AxisRange(3500, 5000));
    wells()->setCachedThreshold(2, 2, 7000);
    choose(m_page, {1}, {0, 1});
    QCOMPARE(shownRange(plot(), QwtPlot::yLeft), AxisRange(3500, 5000));
    auto *second = static_cast<Plot1DDot *>(m_page)->plot(1);
    const AxisRange automatic = shownRange(second, QwtPlot::yLeft);
    QVERIFY2(showsLineAndDroplets(automatic, 7000), qPrintable(text(automatic)));
}

LUMARA_TEST_GUI_MAIN(TestThresholdAxes)
#include "tst_thresholdaxes.moc"
