// The well list view with its header and delegate on six seeded wells: clicks, Shift and Ctrl
// clicks, drags, single selection and presses below the last row, and what the header and the
// cells paint.
#define QTEST_QPA_MOUSE_HANDLING
#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QVBoxLayout>

namespace {

const int Wells = 6;

void load(int wells)
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    for (int i = 1; i <= wells; ++i) {
        BllTest::WellSeed w = BllTest::well(uint(i), QStringLiteral("A%1").arg(i), {1});
        w.sampleName = QStringLiteral("Sample %1").arg(i);
        seed.wells.append(w);
    }
    QString error;
    QVERIFY2(BllTest::seedDocument(seed, nullptr, &error), qPrintable(error));
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
}

// The assembly a page builds: view, horizontal header of height 32, delegate.
struct WellList {
    QWidget window;
    WellListView *view;
    WellHeaderView *header;

    WellList()
    {
        window.resize(240, 32 + Wells * 32 + 40);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        header = new WellHeaderView(Qt::Horizontal, &window);
        header->setFixedHeight(32);
        view = new WellListView(&window);
        view->setHorizontalHeader(header);
        view->setModel(WellListModel::instance());
        view->setItemDelegate(new WellListDelegate(view));
        layout->addWidget(view);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QPoint centreOf(int row) const { return view->visualRect(view->model()->index(row, 0)).center(); }
};

QList<int> selectedRows()
{
    QList<int> rows;
    const QList<WellListItem> wells = WellListModel::instance()->getWellList();
    for (int i = 0; i < wells.size(); ++i)
        if (wells.at(i).select)
            rows.append(i);
    return rows;
}

// Runs a script of space-separated steps: "cN" click, "sN" Shift click, "CN" Ctrl click,
// "rN" right click, "dA-B" drag from row A to row B, "b" click below the last row.
int play(WellList &list, const QString &script)
{
    QWidget *port = list.view->viewport();
    int presses = 0;
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar kind = step.at(0);
        ++presses;
        if (kind == QLatin1Char('d')) {
            const QStringList ends = step.mid(1).split(QLatin1Char('-'));
            const QPoint from = list.centreOf(ends.at(0).toInt());
            const QPoint to = list.centreOf(ends.at(1).toInt());
            QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
            const int stepY = from.y() < to.y() ? 8 : -8;
            for (QPoint p = from; (stepY > 0 ? p.y() < to.y() : p.y() > to.y()); p.ry() += stepY)
                QTest::mouseMove(port, p);
            QTest::mouseMove(port, to);
            QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
            continue;
        }
        if (kind == QLatin1Char('b')) {
            QTest::mouseClick(port, Qt::LeftButton, Qt::NoModifier, QPoint(40, port->height() - 5));
            continue;
        }
        const QPoint at = list.centreOf(step.mid(1).toInt());
        const Qt::KeyboardModifiers modifiers = kind == QLatin1Char('s')   ? Qt::ShiftModifier
                                                : kind == QLatin1Char('C') ? Qt::ControlModifier
                                                                           : Qt::NoModifier;
        QTest::mouseClick(port, kind == QLatin1Char('r') ? Qt::RightButton : Qt::LeftButton, modifiers, at);
    }
    return presses;
}

QColor colourAt(const QImage &image, const QPoint &point)
{
    return QColor(image.pixel(point));
}

// The darkest grey level of the region.
int darkest(const QImage &image, const QRect &region)
{
    int least = 255;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            least = qMin(least, qGray(image.pixel(x, y)));
    return least;
}

} // namespace

class TestWellListView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        BLLInstance::createSingletons();
    }
    void init()
    {
        compensationApplied = false;
        load(Wells);
    }

    void selecting_data();
    void selecting();
    void selectedBackgroundAndCurrentWell();
    void headerTitle_data();
    void headerTitle();
    void compensationMark();
};

void TestWellListView::selecting_data()
{
    QTest::addColumn<bool>("multi");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("plain") << true << "c2" << QList<int>{2};
    QTest::newRow("plain after plain") << true << "c2 c4" << QList<int>{4};
    QTest::newRow("shift up from an anchor on 5") << true << "c5 s2" << QList<int>{2, 3, 4, 5};
    QTest::newRow("shift down, anchor kept") << true << "c1 s3 s4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("shift without an anchor") << true << "s3" << QList<int>{3};
    QTest::newRow("ctrl adds") << true << "c1 C3" << QList<int>{1, 3};
    QTest::newRow("ctrl removes one of two") << true << "c1 C3 C1" << QList<int>{3};
    QTest::newRow("ctrl keeps the last one") << true << "c1 C1" << QList<int>{1};
    QTest::newRow("shift from a ctrl anchor") << true << "c0 C4 s2" << QList<int>{2, 3, 4};
    QTest::newRow("right button") << true << "c2 r4" << QList<int>{2};
    QTest::newRow("drag down") << true << "d1-4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("drag up") << true << "d5-3" << QList<int>{3, 4, 5};
    QTest::newRow("below the last row") << true << "c2 b" << QList<int>{2};
    QTest::newRow("single: plain") << false << "c2" << QList<int>{2};
    QTest::newRow("single: shift acts as plain") << false << "c2 s4" << QList<int>{4};
    QTest::newRow("single: ctrl acts as plain") << false << "c2 C4" << QList<int>{4};
    QTest::newRow("single: ctrl on the selected well") << false << "c2 C2" << QList<int>{2};
    QTest::newRow("single: drag moves the well") << false << "d1-4" << QList<int>{4};
    QTest::newRow("single: below the last row") << false << "c3 b" << QList<int>{3};
}

void TestWellListView::selecting()
{
    QFETCH(bool, multi);
    QFETCH(QString, script);
    QFETCH(QList<int>, selected);
    WellList list;
    list.view->setMultiSelect(multi);
    QSignalSpy pressed(list.view, &WellListView::sigPressed);
    QSignalSpy changed(list.view, &WellListView::sigWellSelectChange);
    QSignalSpy resets(WellListModel::instance(), &QAbstractItemModel::modelReset);
    const int presses = play(list, script);
    QCOMPARE(selectedRows(), selected);
    QCOMPARE(pressed.count(), presses);
    QCOMPARE(changed.count(), presses);
    // Every change reached the model's views through a reset.
    QVERIFY(resets.count() >= 1);
}

void TestWellListView::selectedBackgroundAndCurrentWell()
{
    WellList list;
    play(list, "c1 C3");
    WellListModel::instance()->setCurrentWell(5); // row 4
    const QImage image = list.view->viewport()->grab().toImage();
    const int edge = list.view->viewport()->width() - 4;
    for (int row = 0; row < Wells; ++row) {
        const QColor expected = row == 1 || row == 3 ? QColor(191, 236, 255) : QColor(Qt::white);
        QCOMPARE(colourAt(image, QPoint(edge, list.centreOf(row).y())), expected);
    }
    // The name of the current well is written bold: darker ink covers more of its box.
    const auto ink = [&](int row) {
        const QRect cell = list.view->visualRect(list.view->model()->index(row, 0));
        const QRect name(34, cell.top() + 4, 80, cell.height() - 8);
        int dark = 0;
        for (int y = name.top(); y <= name.bottom(); ++y)
            for (int x = name.left(); x <= name.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        return dark;
    };
    QVERIFY2(ink(4) > ink(5) * 1.15, qPrintable(QStringLiteral("%1 against %2").arg(ink(4)).arg(ink(5))));
}

void TestWellListView::headerTitle_data()
{
    QTest::addColumn<int>("wells");
    QTest::addColumn<bool>("grey");
    QTest::newRow("no wells") << 0 << true;
    QTest::newRow("wells") << Wells << false;
}

void TestWellListView::headerTitle()
{
    QFETCH(int, wells);
    QFETCH(bool, grey);
    load(wells);
    WellList list;
    const QImage image = list.header->grab().toImage();
    // The title's ink: grey (153) without wells, black with them.
    const int least = darkest(image, QRect(0, 0, 120, image.height()));
    if (grey)
        QVERIFY2(least >= 140 && least <= 160, qPrintable(QString::number(least)));
    else
        QVERIFY2(least <= 30, qPrintable(QString::number(least)));
}

void TestWellListView::compensationMark()
{
    WellList list;
    const auto markOf = [&] {
        const QImage image = list.header->grab().toImage();
        const int right = image.width() - 1;
        return image.copy(QRect(QPoint(right - 61, 0), QPoint(right - 45, image.height() - 18)));
    };
    const QImage off = markOf();
    SignalTransfer *hub = SignalTransfer::getInstance();
    emit hub->compensationStatus(true);
    const QImage on = markOf();
    QVERIFY(on != off);
    QVERIFY(compensationApplied);
    // A false status leaves the mark on; only clearing takes it away.
    emit hub->compensationStatus(false);
    QCOMPARE(markOf(), on);
    emit hub->clearCompensation();
    QCOMPARE(markOf(), off);
    QVERIFY(!compensationApplied);
}

LUMARA_TEST_GUI_MAIN(TestWellListView)
#include "tst_welllistview.moc"
