// The thumbnail column's mouse rules: plain, Ctrl and Shift presses, drags, single selection,
// hover marks, presses on a row's check box and hover while a name is typed.
#define QTEST_QPA_MOUSE_HANDLING
#include "plots/TwoDotPlot/plot2dtexteditor.h"
#include "plots/TwoDotPlot/thumbnai2ddelegate.h"
#include "plots/common/thumbnaildelegate.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "shell/appresources.h"
#include "testmain.h"
#include "thumbnailtest.h"

#include <QHeaderView>
#include <QHoverEvent>
#include <QSignalSpy>
#include <memory>

using ThumbnailTest::fill;
using ThumbnailTest::flags;
using ThumbnailTest::shownFlags;

namespace {

// A column of eight rows of 130 pixels, all in sight, with the 2D page's delegate.
struct Column {
    explicit Column(const QString &shown, bool twoD = true)
    {
        fill(model, shown);
        view.setModel(&model);
        if (twoD)
            view.setItemDelegate(&delegate2D);
        else
            view.setItemDelegate(&delegate);
        view.resize(200, 1200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    QPoint centre(int row) const { return view.visualRect(model.index(row, 0)).center(); }
    QPoint checkBox(int row) const
    {
        QStyleOptionViewItem option;
        option.rect = view.visualRect(model.index(row, 0));
        return delegate2D.checkBoxRect(option).center();
    }
    void press(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, centre(row));
    }
    void hover(const QPoint &viewportPos)
    {
        const QPoint pos = view.viewport()->mapTo(&view, viewportPos);
        QHoverEvent event(QEvent::HoverMove, pos, m_lastHover);
        m_lastHover = pos;
        QApplication::sendEvent(&view, &event);
    }

    ThumbnailModel model;
    ThumbnailView view;
    ThumbnailDelegate delegate;
    Thumbnai2DDelegate delegate2D;
    QPoint m_lastHover;
};

} // namespace

class TestThumbnailView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }

    void press_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("anchor"); // -1: none
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("limits");
        const int plain = Qt::NoModifier;
        const int ctrl = Qt::ControlModifier;
        const int shift = Qt::ShiftModifier;
        // A plain press shows the pressed row alone, whatever was shown and without the limit.
        QTest::newRow("plain, one shown") << "10000000" << 0 << plain << 3 << "00010000" << 0;
        QTest::newRow("plain, four shown, a fifth") << "11110000" << 0 << plain << 5 << "00000100" << 0;
        QTest::newRow("plain, four shown, one of them") << "11110000" << 0 << plain << 1 << "01000000" << 0;
        QTest::newRow("plain, none shown") << "00000000" << -1 << plain << 2 << "00100000" << 0;
        QTest::newRow("plain, the shown row") << "00100000" << 2 << plain << 2 << "00100000" << 0;
        QTest::newRow("plain with Alt") << "11000000" << 0 << int(Qt::AltModifier) << 4 << "00001000" << 0;
        QTest::newRow("plain with Ctrl and Shift") << "11000000" << 0 << (ctrl | shift) << 4 << "00001000" << 0;
        // Ctrl toggles one row, within the limits.
        QTest::newRow("ctrl shows") << "10000000" << 0 << ctrl << 2 << "10100000" << 0;
        QTest::newRow("ctrl hides") << "10100000" << 0 << ctrl << 0 << "00100000" << 0;
        QTest::newRow("ctrl, a fifth") << "11110000" << 0 << ctrl << 6 << "11110000" << 1;
        QTest::newRow("ctrl, the only shown") << "00010000" << 3 << ctrl << 3 << "00010000" << 0;
        // Shift shows the range from the anchor; rows outside go afterwards.
        QTest::newRow("shift, no anchor") << "10000000" << -1 << shift << 3 << "10010000" << 0;
        QTest::newRow("shift, on the anchor") << "10000000" << 2 << shift << 2 << "10100000" << 0;
        QTest::newRow("shift down") << "01000000" << 1 << shift << 3 << "01110000" << 0;
        QTest::newRow("shift up") << "00000100" << 5 << shift << 3 << "00011100" << 0;
        // Every row of the range is asked for: a shown one counts against the limit too.
        QTest::newRow("shift, shown row at the end") << "00000100" << 5 << shift << 2 << "00111100" << 1;
        QTest::newRow("shift, range over the limit") << "10000000" << 0 << shift << 6 << "11110000" << 3;
        QTest::newRow("shift, shown rows outside count") << "00000011" << 1 << shift << 3 << "01100000" << 1;
        QTest::newRow("shift, four shown outside") << "11110000" << 5 << shift << 7 << "00010000" << 3;
    }

    void press()
    {
        QFETCH(QString, before);
        QFETCH(int, anchor);
        QFETCH(int, modifiers);
        QFETCH(int, row);
        QFETCH(QString, after);
        QFETCH(int, limits);
        Column column(before);
        column.view.resetAnchor(anchor >= 0 ? column.model.index(anchor, 0) : QModelIndex());
        QSignalSpy limit(&column.model, &ThumbnailModel::channelLimitExceeded);
        QSignalSpy changed(&column.view, &ThumbnailView::modelDataChange);

        column.press(row, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(shownFlags(column.model), after);
        QCOMPARE(limit.count(), limits);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(flags(column.model, ThumbnailModel::MarkedRole), QStringLiteral("00000000"));
    }

    // The anchor follows plain and Shift presses: a Shift range starts where the last one ended.
    void anchorAcrossPresses()
    {
        Column column(QStringLiteral("10000000"));
        column.press(1);
        column.press(3, Qt::ShiftModifier);
        QCOMPARE(shownFlags(column.model), QStringLiteral("01110000"));
        column.press(2, Qt::ShiftModifier);
        QCOMPARE(shownFlags(column.model), QStringLiteral("00110000"));
        // Ctrl leaves the anchor where it was.
        column.press(6, Qt::ControlModifier);
        column.press(4, Qt::ShiftModifier);
        QCOMPARE(shownFlags(column.model), QStringLiteral("00111000"));
    }

    // An anchor left past the rows by a smaller refill counts as none.
    void anchorPastTheRows()
    {
        Column column(QStringLiteral("10000000"));
        column.view.resetAnchor(column.model.index(7, 0));
        fill(column.model, QStringLiteral("100"));
        column.press(1, Qt::ShiftModifier);
        QCOMPARE(shownFlags(column.model), QStringLiteral("110"));
    }

    void otherButtons()
    {
        Column column(QStringLiteral("10000000"));
        QSignalSpy changed(&column.view, &ThumbnailView::modelDataChange);
        QTest::mouseClick(column.view.viewport(), Qt::RightButton, Qt::NoModifier, column.centre(3));
        QTest::mouseClick(column.view.viewport(), Qt::MiddleButton, Qt::ControlModifier, column.centre(4));
        QCOMPARE(shownFlags(column.model), QStringLiteral("10000000"));
        QVERIFY(changed.isEmpty());
    }

    // Dragging with the left button adds the rows passed over, up to the limit; not after the
    // release, and not while Ctrl is held.
    void drag()
    {
        Column column(QStringLiteral("00000001"));
        QSignalSpy changed(&column.view, &ThumbnailView::modelDataChange);
        QSignalSpy limit(&column.model, &ThumbnailModel::channelLimitExceeded);
        QWidget *viewport = column.view.viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, column.centre(1));
        QTest::mouseMove(viewport, column.centre(1) + QPoint(0, 20));
        QTest::mouseMove(viewport, column.centre(2));
        QTest::mouseMove(viewport, column.centre(3));
        QCOMPARE(shownFlags(column.model), QStringLiteral("01110000"));
        QCOMPARE(changed.count(), 3);

        QMouseEvent ctrlMove(QEvent::MouseMove, column.centre(4), Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(viewport, &ctrlMove);
        QCOMPARE(shownFlags(column.model), QStringLiteral("01110000"));

        QTest::mouseMove(viewport, column.centre(5));
        QTest::mouseMove(viewport, column.centre(6));
        QCOMPARE(shownFlags(column.model), QStringLiteral("01110100"));
        QCOMPARE(limit.count(), 1);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, column.centre(6));

        QTest::mouseMove(viewport, column.centre(0));
        QCOMPARE(shownFlags(column.model), QStringLiteral("01110100"));
    }

    // One plot at a time: a plain press still shows its row alone, the rest is the item view's.
    void singleSelection()
    {
        Column column(QStringLiteral("01000000"));
        column.view.setSingleSelection();
        QSignalSpy changed(&column.view, &ThumbnailView::modelDataChange);
        QWidget *viewport = column.view.viewport();

        column.press(3, Qt::ControlModifier);
        column.press(5, Qt::ShiftModifier);
        QCOMPARE(shownFlags(column.model), QStringLiteral("01000000"));
        QVERIFY(changed.isEmpty());

        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, column.centre(2));
        QTest::mouseMove(viewport, column.centre(3));
        QTest::mouseMove(viewport, column.centre(4));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, column.centre(4));
        QCOMPARE(shownFlags(column.model), QStringLiteral("00100000"));
        QCOMPARE(changed.count(), 1);
    }

    // One row carries the hover mark; empty space below the rows clears it, and staying over
    // the same row writes nothing.
    void hover()
    {
        Column column(QStringLiteral("100"));
        QSignalSpy resets(&column.model, &QAbstractItemModel::modelReset);
        column.hover(column.centre(1));
        QCOMPARE(flags(column.model, ThumbnailModel::HoveredRole), QStringLiteral("010"));
        column.hover(column.centre(1) + QPoint(5, 30));
        QCOMPARE(resets.count(), 1);
        column.hover(column.centre(2));
        QCOMPARE(flags(column.model, ThumbnailModel::HoveredRole), QStringLiteral("001"));
        column.hover(QPoint(100, 3 * 130 + 40));
        QCOMPARE(flags(column.model, ThumbnailModel::HoveredRole), QStringLiteral("000"));
        column.hover(QPoint(100, 3 * 130 + 90));
        column.hover(column.centre(0));
        QCOMPARE(flags(column.model, ThumbnailModel::HoveredRole), QStringLiteral("100"));
        QCOMPARE(shownFlags(column.model), QStringLiteral("100"));
    }

    // A press on a row's check box marks the row and nothing else: the shown rows, the Shift
    // anchor and the drag stay as they were.
    void checkBoxPress()
    {
        Column column(QStringLiteral("01000000"));
        column.view.resetAnchor(column.model.index(1, 0));
        QSignalSpy changed(&column.view, &ThumbnailView::modelDataChange);
        QSignalSpy ticked(&column.delegate2D, &Thumbnai2DDelegate::deleteStatusChange);
        QWidget *viewport = column.view.viewport();

        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, column.checkBox(3));
        QTest::mouseMove(viewport, column.centre(4));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, column.centre(4));
        QCOMPARE(flags(column.model, ThumbnailModel::MarkedRole), QStringLiteral("00010000"));
        QCOMPARE(shownFlags(column.model), QStringLiteral("01000000"));
        QCOMPARE(ticked.count(), 1);
        QVERIFY(changed.isEmpty());

        column.press(2, Qt::ShiftModifier);
        QCOMPARE(shownFlags(column.model), QStringLiteral("01100000"));

        // Unticking likewise; Ctrl on the box is a tick too.
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, column.checkBox(3));
        QCOMPARE(flags(column.model, ThumbnailModel::MarkedRole), QStringLiteral("00000000"));
        QCOMPARE(shownFlags(column.model), QStringLiteral("01100000"));
    }

    // Without check boxes (histogram and 1D pages) the same spot is an ordinary press.
    void noCheckBoxWithoutTheDelegate()
    {
        Column column(QStringLiteral("01000000"), false);
        QStyleOptionViewItem option;
        option.rect = column.view.visualRect(column.model.index(3, 0));
        QTest::mouseClick(column.view.viewport(), Qt::LeftButton, Qt::NoModifier,
                          column.delegate2D.checkBoxRect(option).center());
        QCOMPARE(shownFlags(column.model), QStringLiteral("00010000"));
        QCOMPARE(flags(column.model, ThumbnailModel::MarkedRole), QStringLiteral("00000000"));
    }

    // A name being typed survives the pointer crossing other rows, and Return stores it.
    void hoverWhileRenaming()
    {
        Column column(QStringLiteral("100"));
        column.hover(column.centre(1));
        const QModelIndex row1 = column.model.index(1, 0);
        column.view.edit(row1);
        QPointer<Plot2DTextEditor> editor = qobject_cast<Plot2DTextEditor *>(column.view.indexWidget(row1));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("FAM x HEX"));

        column.hover(column.centre(2));
        column.hover(column.centre(0));
        QCOMPARE(column.view.indexWidget(column.model.index(1, 0)), editor.data());
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->toPlainText(), QStringLiteral("FAM x HEX"));
        QCOMPARE(flags(column.model, ThumbnailModel::HoveredRole), QStringLiteral("010"));

        QSignalSpy renamed(&column.model, &ThumbnailModel::updatePlotCombitionName);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(column.model.index(1, 0).data(ThumbnailModel::TitleRole).toString(), QStringLiteral("FAM x HEX"));
        QCOMPARE(renamed.count(), 1);
        QVERIFY(!column.view.indexWidget(column.model.index(1, 0)));
        QTRY_VERIFY(!editor);

        // Marks follow the pointer again.
        column.hover(column.centre(2));
        QCOMPARE(flags(column.model, ThumbnailModel::HoveredRole), QStringLiteral("001"));
    }

    // Pressing another row while a name is typed stores the name first, then shows that row.
    void pressWhileRenaming()
    {
        Column column(QStringLiteral("100"));
        column.view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&column.view));
        column.view.edit(column.model.index(1, 0));
        auto *editor = qobject_cast<Plot2DTextEditor *>(column.view.indexWidget(column.model.index(1, 0)));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("ROX"));
        column.press(2);
        QCOMPARE(column.model.index(1, 0).data(ThumbnailModel::TitleRole).toString(), QStringLiteral("ROX"));
        QCOMPARE(shownFlags(column.model), QStringLiteral("001"));
    }

    void rowHeight_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("height");
        QTest::newRow("1.0") << 1.0 << 130;
        QTest::newRow("1.33") << 1.33 << 172;
        QTest::newRow("2.0") << 2.0 << 260;
    }

    void rowHeight()
    {
        QFETCH(double, scale);
        QFETCH(int, height);
        ThumbnailTest::ScaleGuard guard(scale);
        ThumbnailModel model;
        fill(model, QStringLiteral("100"));
        ThumbnailView view;
        view.setModel(&model);
        view.resize(220, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.visualRect(model.index(1, 0)).height(), height);
        QCOMPARE(view.visualRect(model.index(1, 0)).top(), height);
        QCOMPARE(view.visualRect(model.index(1, 0)).width(), view.viewport()->width());
    }
};

LUMARA_TEST_GUI_MAIN(TestThumbnailView)
#include "tst_view.moc"
