// The result list beside the charts, driven by real mouse events: a click, Ctrl toggling and
// its guard, Shift ranges, drags, the right button, and one announcement per change.
#define QTEST_QPA_MOUSE_HANDLING
#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "pages/ViewResult/resultlistview.h"
#include "pages/ViewResult/resultmodel.h"
#include "resultseed.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>

#include <memory>

namespace {

// One step of a gesture: a press, a move with the left button held, or a release, over a row
// (-1: below the last row).
struct Step {
    enum Kind { Press, Move, Release } kind;
    int row;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    Qt::MouseButton button = Qt::LeftButton;
};

Step press(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton)
{
    return {Step::Press, row, modifiers, button};
}

Step move(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {Step::Move, row, modifiers};
}

Step release(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton)
{
    return {Step::Release, row, modifiers, button};
}

QList<Step> click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton)
{
    return {press(row, modifiers, button), release(row, modifiers, button)};
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestResultListView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        BLLInstance::createSingletons();
        // Samples A, A, B: wells 1 to 3 in rows 0 to 2, the merged row (id 4) in row 3.
        QString error;
        QVERIFY2(ResultTest::useKit(false, &error), qPrintable(error));
        QVERIFY2(ResultTest::load(ResultTest::document(
                                      {ResultTest::well(1, "A1", "A", 10, {{2, 1, 0, 0, 0, 0}}),
                                       ResultTest::well(2, "A2", "A", 10, {{3, 1, 0, 0, 0, 0}}),
                                       ResultTest::well(3, "B1", "B", 10, {{4, 1, 0, 0, 0, 0}})}),
                                  &error),
                 qPrintable(error));
        WellListModel::instance()->setModelType(0);
        ResultModel::instance()->setViewMode(1);
    }

    void init()
    {
        ResultModel::instance()->setListMode(0);
        ResultModel::instance()->clearSelect();
        m_view = std::make_unique<ResultListView>();
        m_view->setModel(ResultModel::instance());
        m_view->setItemDelegate(new WellListDelegate(m_view.get()));
        m_view->resize(240, 400);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() { m_view.reset(); }

    void gestures_data();
    void gestures();
    void mergedRowsOnly();
    void pressesReachTheHub();

private:
    QPoint centreOf(int row) const
    {
        if (row < 0)
            return QPoint(20, m_view->viewport()->height() - 4);
        return m_view->visualRect(m_view->model()->index(row, 0)).center();
    }

    void run(const QList<Step> &steps)
    {
        QWidget *port = m_view->viewport();
        for (const Step &s : steps) {
            if (s.kind == Step::Press)
                QTest::mousePress(port, s.button, s.modifiers, centreOf(s.row));
            else if (s.kind == Step::Release)
                QTest::mouseRelease(port, s.button, s.modifiers, centreOf(s.row));
            else if (s.modifiers == Qt::NoModifier)
                QTest::mouseMove(port, centreOf(s.row));
            else {
                // QTest moves carry no modifier.
                QMouseEvent event(QEvent::MouseMove, centreOf(s.row), Qt::NoButton, Qt::LeftButton, s.modifiers);
                QApplication::sendEvent(port, &event);
            }
        }
    }

    std::unique_ptr<ResultListView> m_view;
};

void TestResultListView::gestures_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QList<uint>>("selected");
    QTest::addColumn<int>("announced");
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    QTest::newRow("click") << click(2) << QList<uint>{3} << 1;
    QTest::newRow("click on the merged row") << click(3) << QList<uint>{4} << 1;
    QTest::newRow("ctrl adds") << (click(0) + click(3, ctrl)) << QList<uint>{1, 4} << 2;
    QTest::newRow("ctrl removes") << (click(0) + click(1, ctrl) + click(0, ctrl)) << QList<uint>{2} << 3;
    QTest::newRow("ctrl keeps the last well") << (click(1) + click(1, ctrl)) << QList<uint>{2} << 1;
    QTest::newRow("ctrl keeps the last merged row") << (click(3) + click(3, ctrl)) << QList<uint>{4} << 1;
    QTest::newRow("ctrl removes a merged row beside a well") << (click(3) + click(0, ctrl) + click(3, ctrl))
                                                              << QList<uint>{1} << 3;
    QTest::newRow("shift range down") << (click(0) + click(2, shift)) << QList<uint>{1, 2, 3} << 2;
    QTest::newRow("shift range up to the merged row") << (click(3) + click(1, shift)) << QList<uint>{2, 3, 4} << 2;
    QTest::newRow("shift from the ctrl anchor") << (click(0) + click(2, ctrl) + click(3, shift))
                                                << QList<uint>{3, 4} << 3;
    QTest::newRow("shift before any anchor") << click(2, shift) << QList<uint>{3} << 1;
    QTest::newRow("drag") << QList<Step>{press(0), move(1), move(2), release(2)} << QList<uint>{1, 2, 3} << 3;
    QTest::newRow("drag back") << QList<Step>{press(2), move(1), move(0), move(1), release(1)} << QList<uint>{2, 3}
                               << 4;
    QTest::newRow("drag before any anchor") << QList<Step>{press(-1), move(1), move(2), release(2)}
                                            << QList<uint>{3} << 2;
    QTest::newRow("ctrl drag selects nothing more") << (click(0) + QList<Step>{press(1, ctrl), move(2, ctrl),
                                                                              release(2, ctrl)})
                                                    << QList<uint>{1, 2} << 2;
    QTest::newRow("right button selects nothing") << click(2, Qt::NoModifier, Qt::RightButton) << QList<uint>{1} << 0;
}

void TestResultListView::gestures()
{
    QFETCH(QList<Step>, steps);
    QFETCH(QList<uint>, selected);
    QFETCH(int, announced);
    ResultModel::instance()->addSelectRow(0); // the state after a reload: the first well
    QSignalSpy changes(m_view.get(), &ResultListView::wellSelectChange);
    run(steps);
    QCOMPARE(ResultModel::instance()->getSelectIDs(), selected);
    QCOMPARE(changes.count(), announced);
}

// In Merge mode the rows are the merged rows alone; a well selected elsewhere does not let
// the last merged row go.
void TestResultListView::mergedRowsOnly()
{
    ResultModel *rows = ResultModel::instance();
    rows->addSelectRow(0);
    rows->setListMode(2);
    rows->ensureSelection();
    QCOMPARE(m_view->model()->rowCount(), 1);
    QCOMPARE(rows->getSelectIDs(), QList<uint>{4});
    QSignalSpy changes(m_view.get(), &ResultListView::wellSelectChange);
    run(click(0, Qt::ControlModifier));
    QCOMPARE(rows->getSelectIDs(), QList<uint>{4});
    QCOMPARE(changes.count(), 0);
}

// Each press is forwarded once to the hub, through its table and nothing else.
void TestResultListView::pressesReachTheHub()
{
    QSignalSpy hidden(SignalTransfer::getInstance(), &SignalTransfer::sigHideMenuDialog);
    QSignalSpy pressed(m_view.get(), &ResultListView::sigPressed);
    run(click(1) + click(-1) + click(2, Qt::NoModifier, Qt::RightButton));
    QCOMPARE(pressed.count(), 3);
    QCOMPARE(hidden.count(), 3);
}

LUMARA_TEST_GUI_MAIN(TestResultListView)
#include "tst_resultlistview.moc"
