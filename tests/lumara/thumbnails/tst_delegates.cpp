// The two thumbnail painters, painted into images: card colours by the row's state, the
// picture filling its rectangle, the elided title and the check box; the 2D delegate's tick
// and its in-place name editor.
#include "plots/TwoDotPlot/plot2dtexteditor.h"
#include "plots/TwoDotPlot/thumbnai2ddelegate.h"
#include "plots/common/thumbnaildelegate.h"
#include "plots/common/thumbnailmodel.h"
#include "shell/appresources.h"
#include "shell/startup.h"
#include "testmain.h"
#include "thumbnailtest.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTextDocument>

#include <memory>

using ThumbnailTest::fill;

namespace {

const QColor Ground(40, 60, 80); // what lies under the row
const QRect RowRect(0, 0, 200, 130);

QStyleOptionViewItem rowOption()
{
    QStyleOptionViewItem option;
    option.rect = RowRect;
    option.font = QFont(QStringLiteral("Roboto"));
    return option;
}

QImage paintRow(const QAbstractItemDelegate &delegate, const QModelIndex &index)
{
    QImage image(RowRect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Ground);
    QPainter painter(&image);
    delegate.paint(&painter, rowOption(), index);
    return image;
}

// One row (row 1 of three) with the given flags and title.
void setRow(ThumbnailModel &model, const QString &state, const QString &title, const QImage &picture = QImage())
{
    QVector<ThumbnailData> rows(3);
    ThumbnailData &row = rows[1];
    row.shown = state.contains(QLatin1String("shown"));
    row.hovered = state.contains(QLatin1String("hovered"));
    row.marked = state.contains(QLatin1String("marked"));
    row.title = title;
    row.image = picture;
    model.setThumbnails(rows);
}

bool near(QColor actual, QColor expected)
{
    return qAbs(actual.red() - expected.red()) <= 2 && qAbs(actual.green() - expected.green()) <= 2
        && qAbs(actual.blue() - expected.blue()) <= 2;
}

QColor over(const QColor &top, double alpha, const QColor &under)
{
    return QColor::fromRgbF(top.redF() * alpha + under.redF() * (1 - alpha),
                            top.greenF() * alpha + under.greenF() * (1 - alpha),
                            top.blueF() * alpha + under.blueF() * (1 - alpha));
}

} // namespace

class TestThumbnailDelegates : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        loadApplicationFonts();
    }

    // Sampled inside the card, clear of the number, picture, title and check box.
    void cardColour_data()
    {
        QTest::addColumn<bool>("twoD");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QColor>("colour");
        const QColor shown(191, 236, 255);
        QTest::newRow("1D shown") << false << "shown hovered marked" << shown;
        QTest::newRow("1D hovered") << false << "hovered marked" << QColor(229, 247, 255);
        QTest::newRow("1D plain") << false << "" << QColor(Qt::white);
        QTest::newRow("1D marked is plain") << false << "marked" << QColor(Qt::white);
        QTest::newRow("2D shown") << true << "shown hovered marked" << shown;
        QTest::newRow("2D hovered") << true << "hovered marked" << over(QColor(0xbf, 0xec, 0xff), 0.5, Ground);
        QTest::newRow("2D marked, transparent") << true << "marked" << Ground;
        QTest::newRow("2D plain") << true << "" << QColor(Qt::white);
    }

    void cardColour()
    {
        QFETCH(bool, twoD);
        QFETCH(QString, state);
        QFETCH(QColor, colour);
        ThumbnailModel model;
        setRow(model, state, QStringLiteral("FAM"));
        ThumbnailDelegate delegate;
        Thumbnai2DDelegate delegate2D;
        const QImage image = paintRow(twoD ? static_cast<QAbstractItemDelegate &>(delegate2D) : delegate, model.index(1, 0));
        // Card: 35..173 (1D) or 25..167 (2D); picture from 43 (1D) or 34 (2D) to 158 or 149.
        const QList<QPoint> samples = twoD ? QList<QPoint>{{29, 40}, {158, 60}} : QList<QPoint>{{39, 60}, {166, 40}};
        for (const QPoint &at : samples)
            QVERIFY2(near(image.pixelColor(at), colour), qPrintable(image.pixelColor(at).name() + " at "
                                                                   + QString::number(at.x())));
        // Nothing painted left of the card, above the check box.
        QCOMPARE(image.pixelColor(3, 40), Ground);
    }

    // A one-colour picture fills exactly its rectangle (1D: 43..158 x 8..107; 2D: 34..149 x
    // 10..104 for a 200 x 130 row).
    void picture_data()
    {
        QTest::addColumn<bool>("twoD");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("1D") << false << QRect(QPoint(43, 8), QPoint(158, 107));
        QTest::newRow("2D") << true << QRect(QPoint(34, 10), QPoint(149, 104));
    }

    void picture()
    {
        QFETCH(bool, twoD);
        QFETCH(QRect, rect);
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(QColor(200, 0, 0));
        ThumbnailModel model;
        setRow(model, QString(), QString(), picture);
        ThumbnailDelegate delegate;
        Thumbnai2DDelegate delegate2D;
        const QImage image = paintRow(twoD ? static_cast<QAbstractItemDelegate &>(delegate2D) : delegate, model.index(1, 0));
        const QColor red(200, 0, 0);
        for (const QPoint &inside : {rect.topLeft(), rect.bottomRight(), rect.center(), rect.topRight() + QPoint(-1, 1)})
            QCOMPARE(image.pixelColor(inside), red);
        for (const QPoint &outside : {rect.topLeft() - QPoint(1, 0), rect.topLeft() - QPoint(0, 1),
                                      rect.bottomRight() + QPoint(1, 0), rect.bottomRight() + QPoint(0, 1)})
            QVERIFY(image.pixelColor(outside) != red);
    }

    // A picture the model holds as another type is converted; a value that is no picture
    // leaves the rectangle to the card.
    void pictureOfOtherTypes_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QColor>("colour");
        QPixmap red(10, 10);
        red.fill(QColor(200, 0, 0));
        QTest::newRow("pixmap") << QVariant(red) << QColor(200, 0, 0);
        QTest::newRow("text") << QVariant(QStringLiteral("no picture")) << QColor(Qt::white);
    }

    void pictureOfOtherTypes()
    {
        QFETCH(QVariant, value);
        QFETCH(QColor, colour);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), value, ThumbnailModel::ImageRole);
        Thumbnai2DDelegate delegate;
        QCOMPARE(paintRow(delegate, model.index(0, 0)).pixelColor(90, 50), colour);
    }

    // A long title is elided at the right exactly as the font metrics elide it for the width
    // (1D: 124 pixels; 2D: the title rectangle 34..165); a short one is drawn whole.
    void titleElided_data()
    {
        QTest::addColumn<bool>("twoD");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("width");
        const QString longTitle = QStringLiteral("FAM channel against the HEX channel of run 12");
        QTest::newRow("1D long") << false << longTitle << 124;
        QTest::newRow("2D long") << true << longTitle << 132;
        QTest::newRow("1D short") << false << QStringLiteral("FAM") << 124;
        QTest::newRow("2D short") << true << QStringLiteral("FAM") << 132;
    }

    void titleElided()
    {
        QFETCH(bool, twoD);
        QFETCH(QString, title);
        QFETCH(int, width);
        QFont font(QStringLiteral("Roboto"));
        font.setPixelSize(12);
        const QString elided = QFontMetrics(font).elidedText(title, Qt::ElideRight, width);
        QCOMPARE(elided == title, title.size() < 10);

        ThumbnailModel model;
        ThumbnailDelegate delegate;
        Thumbnai2DDelegate delegate2D;
        const QAbstractItemDelegate &painter = twoD ? static_cast<QAbstractItemDelegate &>(delegate2D) : delegate;
        setRow(model, QString(), title);
        const QImage drawn = paintRow(painter, model.index(1, 0));
        setRow(model, QString(), elided);
        QCOMPARE(drawn, paintRow(painter, model.index(1, 0)));
        // The model keeps it whole.
        setRow(model, QString(), title);
        QCOMPARE(model.index(1, 0).data(ThumbnailModel::TitleRole).toString(), title);
        // And something was written.
        setRow(model, QString(), QString());
        QVERIFY(drawn != paintRow(painter, model.index(1, 0)));
    }

    // The number " 2." for row 1 lies in its rectangle at the top left.
    void number()
    {
        ThumbnailModel model;
        setRow(model, QString(), QString());
        Thumbnai2DDelegate delegate;
        const QImage second = paintRow(delegate, model.index(1, 0));
        const QImage third = paintRow(delegate, model.index(2, 0));
        const QRect numberRect(QPoint(0, 10), QPoint(25, 20));
        QVERIFY(second.copy(numberRect) != third.copy(numberRect));
        QCOMPARE(second.copy(0, 40, 200, 90), third.copy(0, 40, 200, 90));
    }

    // The check box sits at the left, centred in height; ticked and unticked differ there only.
    void checkBox()
    {
        Thumbnai2DDelegate delegate;
        const QRect box = delegate.checkBoxRect(rowOption());
        QVERIFY(!box.isEmpty());
        QCOMPARE(box.left(), box.height() / 2);
        QCOMPARE(box.top(), 65 - box.height() / 2);
        QVERIFY(box.right() < 25);

        ThumbnailModel model;
        setRow(model, QStringLiteral("marked"), QString());
        const QImage ticked = paintRow(delegate, model.index(1, 0));
        setRow(model, QString(), QString());
        const QImage unticked = paintRow(delegate, model.index(1, 0));
        QVERIFY(ticked.copy(box) != unticked.copy(box));
        QCOMPARE(ticked.copy(0, 0, 24, box.top() - 1), unticked.copy(0, 0, 24, box.top() - 1));
    }

    // A left press on the box flips the mark alone and reports it once; anything else is not a tick.
    void tick_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("onBox");
        QTest::addColumn<bool>("ticks");
        QTest::newRow("left on the box") << int(Qt::LeftButton) << true << true;
        QTest::newRow("right on the box") << int(Qt::RightButton) << true << false;
        QTest::newRow("left beside it") << int(Qt::LeftButton) << false << false;
    }

    void tick()
    {
        QFETCH(int, button);
        QFETCH(bool, onBox);
        QFETCH(bool, ticks);
        ThumbnailModel model;
        fill(model, QStringLiteral("010"));
        Thumbnai2DDelegate delegate;
        QSignalSpy ticked(&delegate, &Thumbnai2DDelegate::deleteStatusChange);
        const QPoint at = onBox ? delegate.checkBoxRect(rowOption()).center() : QPoint(100, 65);

        for (const bool expected : {true, false}) {
            QMouseEvent press(QEvent::MouseButtonPress, at, Qt::MouseButton(button), Qt::MouseButton(button), Qt::NoModifier);
            const bool handled = static_cast<QAbstractItemDelegate &>(delegate).editorEvent(&press, &model, rowOption(), model.index(2, 0));
            QCOMPARE(handled, ticks);
            QCOMPARE(model.index(2, 0).data(ThumbnailModel::MarkedRole).toBool(), ticks && expected);
            QCOMPARE(ticked.count(), ticks ? (expected ? 1 : 2) : 0);
            QCOMPARE(ThumbnailTest::shownFlags(model), QStringLiteral("010"));
        }
    }

    // The editor opens on the name, all of it selected and as plain text, and grows with its lines.
    void editor_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << 1.0 << QStringLiteral("FAM vs HEX");
        QTest::newRow("looks like markup") << 1.0 << QStringLiteral("<b>FAM</b> & HEX");
        QTest::newRow("scaled") << 1.33 << QStringLiteral("FAM vs HEX");
    }

    void editor()
    {
        QFETCH(double, scale);
        QFETCH(QString, title);
        ThumbnailTest::ScaleGuard guard(scale);
        ThumbnailModel model;
        fill(model, QStringLiteral("100"));
        model.setData(model.index(0, 0), title, ThumbnailModel::TitleRole);
        Thumbnai2DDelegate delegate;
        QWidget parent;
        parent.resize(200, 130);
        QStyleOptionViewItem option = rowOption();
        std::unique_ptr<QWidget> widget(delegate.createEditor(&parent, option, model.index(0, 0)));
        auto *editor = qobject_cast<Plot2DTextEditor *>(widget.get());
        QVERIFY(editor);
        delegate.updateEditorGeometry(editor, option, model.index(0, 0));
        delegate.setEditorData(editor, model.index(0, 0));

        QCOMPARE(editor->toPlainText(), title);
        QCOMPARE(editor->textCursor().selectedText(), title);
        QCOMPARE(editor->textColor(), QColor(Qt::white));
        QCOMPARE(editor->font().pixelSize(), int(12 * scale));
        QCOMPARE(editor->geometry().left(), int(34 * scale));
        QCOMPARE(editor->geometry().width(), 200 - 2 * int(34 * scale));
        QCOMPARE(editor->document()->textWidth(), 120 * scale);
        const int oneLine = int(editor->document()->size().height() + 10 * scale);
        QCOMPARE(editor->height(), oneLine);

        editor->setPlainText(title + QStringLiteral(" and a name long enough to need a second line"));
        QVERIFY(editor->height() > oneLine);
        QCOMPARE(editor->height(), int(editor->document()->size().height() + 10 * scale));
    }

    // Return and Enter hand the name over without a line break; the name is the plain text.
    void commit_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    void commit()
    {
        QFETCH(int, key);
        ThumbnailModel model;
        fill(model, QStringLiteral("100"));
        Thumbnai2DDelegate delegate;
        QWidget parent;
        std::unique_ptr<QWidget> widget(delegate.createEditor(&parent, rowOption(), model.index(0, 0)));
        auto *editor = qobject_cast<Plot2DTextEditor *>(widget.get());
        delegate.setEditorData(editor, model.index(0, 0));
        QSignalSpy committed(&delegate, &QAbstractItemDelegate::commitData);
        QTest::keyClicks(editor, QStringLiteral("VIC"));
        QTest::keyClick(editor, Qt::Key(key));
        QCOMPARE(committed.count(), 1);
        QCOMPARE(committed.at(0).at(0).value<QWidget *>(), editor);
        QCOMPARE(editor->toPlainText(), QStringLiteral("VIC"));

        QSignalSpy renamed(&model, &ThumbnailModel::updatePlotCombitionName);
        delegate.setModelData(editor, &model, model.index(0, 0));
        QCOMPARE(model.index(0, 0).data(ThumbnailModel::TitleRole).toString(), QStringLiteral("VIC"));
        QCOMPARE(renamed.count(), 1);
    }

    // What is typed over the selected name can be read on the white field: many more dark
    // pixels than the empty editor's caret.
    void typedTextReadable()
    {
        ThumbnailModel model;
        fill(model, QStringLiteral("1"));
        Thumbnai2DDelegate delegate;
        QWidget parent;
        parent.resize(400, 200);
        std::unique_ptr<QWidget> widget(delegate.createEditor(&parent, rowOption(), model.index(0, 0)));
        auto *editor = qobject_cast<Plot2DTextEditor *>(widget.get());
        editor->setGeometry(0, 0, 300, 40);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        editor->setFocus();
        const auto darkPixels = [editor] {
            const QImage image = editor->viewport()->grab().toImage();
            int dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
            return dark;
        };
        const int empty = darkPixels();
        delegate.setEditorData(editor, model.index(0, 0));
        QVERIFY(editor->textCursor().hasSelection());
        QTest::keyClicks(editor, QStringLiteral("VIC"));
        QCOMPARE(editor->toPlainText(), QStringLiteral("VIC"));
        QVERIFY2(darkPixels() > empty + 20, qPrintable(QStringLiteral("%1 dark pixels, %2 empty").arg(darkPixels()).arg(empty)));
    }

    // A drag that starts inside the editor still selects.
    void selectionDrag()
    {
        ThumbnailModel model;
        fill(model, QStringLiteral("1"));
        model.setData(model.index(0, 0), QStringLiteral("FAM vs HEX"), ThumbnailModel::TitleRole);
        Thumbnai2DDelegate delegate;
        QWidget parent;
        parent.resize(400, 200);
        std::unique_ptr<QWidget> widget(delegate.createEditor(&parent, rowOption(), model.index(0, 0)));
        auto *editor = qobject_cast<Plot2DTextEditor *>(widget.get());
        editor->setGeometry(0, 0, 300, 40);
        delegate.setEditorData(editor, model.index(0, 0));
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QWidget *area = editor->viewport();

        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(1, 8));
        QMouseEvent drag(QEvent::MouseMove, QPoint(22, 8), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &drag);
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(22, 8));
        QVERIFY(editor->textCursor().hasSelection());
        QVERIFY(editor->textCursor().selectedText() != QStringLiteral("FAM vs HEX"));
    }
};

LUMARA_TEST_GUI_MAIN(TestThumbnailDelegates)
#include "tst_delegates.moc"
