// The 2D plot's axis dialog: its size by scale, the bounds it shows and gives back, Yes and
// Cancel, and the spin boxes' arrows, floor and reformatting.
#define QTEST_QPA_MOUSE_HANDLING
#include "messagerecorder.h"
#include "plots/TwoDotPlot/plot2dpropertydialog.h"
#include "shell/appresources.h"
#include "shell/startup.h"
#include "testmain.h"
#include "thumbnailtest.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSignalSpy>

using Range = QPair<double, double>;

namespace {

QQuickWidget *viewOf(Plot2DPropertyDialog &dialog)
{
    return dialog.findChild<QQuickWidget *>();
}

QObject *rootOf(Plot2DPropertyDialog &dialog)
{
    QQuickWidget *view = viewOf(dialog);
    return view ? view->rootObject() : nullptr;
}

QQuickItem *itemOf(Plot2DPropertyDialog &dialog, const QString &name)
{
    return rootOf(dialog)->findChild<QQuickItem *>(name);
}

QString bound(Plot2DPropertyDialog &dialog, const char *name)
{
    return rootOf(dialog)->property(name).toString();
}

// A spin box of the shown dialog, driven as the user drives it.
struct Spin {
    Spin(Plot2DPropertyDialog &dialog, const QString &name)
        : view(viewOf(dialog))
        , box(itemOf(dialog, name))
        , field(box ? box->findChild<QQuickItem *>(QStringLiteral("field")) : nullptr)
    {
    }
    QString text() const { return box->property("text").toString(); }
    void setText(const QString &text) { box->setProperty("text", text); }
    void click(const char *arrow)
    {
        auto *item = box->findChild<QQuickItem *>(QString::fromLatin1(arrow));
        QVERIFY(item);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    }
    void focus()
    {
        field->forceActiveFocus();
        QVERIFY(field->hasActiveFocus());
    }
    void selectAll() { QVERIFY(QMetaObject::invokeMethod(field, "selectAll")); }

    QQuickWidget *view;
    QQuickItem *box;
    QQuickItem *field;
};

} // namespace

class TestPlot2DPropertyDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        loadApplicationFonts();
        qRegisterMetaType<Range>();
    }

    void size_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<QSize>("size");
        QTest::newRow("1.0") << 1.0 << QSize(636, 336);
        QTest::newRow("1.33") << 1.33 << QSize(845, 446);
        QTest::newRow("2.0") << 2.0 << QSize(1272, 672);
    }

    void size()
    {
        QFETCH(double, scale);
        QFETCH(QSize, size);
        ThumbnailTest::ScaleGuard guard(scale);
        LumaraTest::MessageRecorder recorder;
        Plot2DPropertyDialog dialog;
        QCOMPARE(dialog.size(), size);
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
        QQuickWidget *view = viewOf(dialog);
        QVERIFY(view);
        QCOMPARE(view->rootContext()->contextProperty(QStringLiteral("resoving")).toDouble(), scale);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), size);
        QCOMPARE(qobject_cast<QQuickItem *>(view->rootObject())->size().toSize(), size);
        QCOMPARE(recorder.warnings(), QStringList());
    }

    // The shortest text of each bound, which reads back as the same value: Yes on an untouched
    // dialog gives the ranges it was filled with.
    void axisRange_data()
    {
        QTest::addColumn<Range>("x");
        QTest::addColumn<Range>("y");
        QTest::addColumn<QStringList>("texts"); // horizontal lower, upper, vertical lower, upper
        QTest::newRow("whole") << Range(0, 12000) << Range(500, 30000)
                               << QStringList{"0", "12000", "500", "30000"};
        QTest::newRow("a million") << Range(0, 1e6) << Range(100, 1e6)
                                   << QStringList{"0", "1e+06", "100", "1e+06"};
        QTest::newRow("seven digits") << Range(1234567, 7654321) << Range(2.5, 1234567.5)
                                      << QStringList{"1234567", "7654321", "2.5", "1234567.5"};
        QTest::newRow("fractions") << Range(0.1, 1.0 / 3) << Range(-250.75, 0.000125)
                                   << QStringList{"0.1", "0.3333333333333333", "-250.75", "0.000125"};
    }

    void axisRange()
    {
        QFETCH(Range, x);
        QFETCH(Range, y);
        QFETCH(QStringList, texts);
        Plot2DPropertyDialog dialog;
        dialog.setAxisRange(x, y);
        QCOMPARE(bound(dialog, "horizontalLowerTxt"), texts.at(0));
        QCOMPARE(bound(dialog, "horizontalUpperTxt"), texts.at(1));
        QCOMPARE(bound(dialog, "vertialLowerTxt"), texts.at(2));
        QCOMPARE(bound(dialog, "vertialUpperTxt"), texts.at(3));
        // The fields show them as they are until they are touched.
        QCOMPARE(Spin(dialog, QStringLiteral("horizontalUpperSpin")).text(), texts.at(1));
        QCOMPARE(Spin(dialog, QStringLiteral("verticalLowerSpin")).text(), texts.at(2));

        QSignalSpy applied(&dialog, &Plot2DPropertyDialog::updateProperty);
        QVERIFY(QMetaObject::invokeMethod(rootOf(dialog), "yes"));
        QCOMPARE(applied.count(), 1);
        QCOMPARE(applied.at(0).at(0).value<Range>(), x);
        QCOMPARE(applied.at(0).at(1).value<Range>(), y);
    }

    // Yes copies what the fields show, gives the four bounds (text that is no number is 0) and
    // closes; Cancel only closes. Lower bounds above upper ones pass unchecked.
    void answer_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QStringList>("typed"); // horizontal lower, upper, vertical lower, upper
        QTest::addColumn<bool>("applies");
        QTest::addColumn<Range>("x");
        QTest::addColumn<Range>("y");
        QTest::newRow("Yes") << QByteArray("yesButton") << QStringList{"10.00", "2000.50", "0.00", "9000"} << true
                             << Range(10, 2000.5) << Range(0, 9000);
        QTest::newRow("Yes, reversed") << QByteArray("yesButton") << QStringList{"500", "100", "7", "3"} << true
                                       << Range(500, 100) << Range(7, 3);
        QTest::newRow("Yes, no number") << QByteArray("yesButton") << QStringList{"abc", "", "1e+06", "12"} << true
                                        << Range(0, 0) << Range(1e6, 12);
        QTest::newRow("Cancel") << QByteArray("cancelButton") << QStringList{"10", "20", "30", "40"} << false
                                << Range() << Range();
    }

    void answer()
    {
        QFETCH(QByteArray, button);
        QFETCH(QStringList, typed);
        QFETCH(bool, applies);
        QFETCH(Range, x);
        QFETCH(Range, y);
        Plot2DPropertyDialog dialog;
        dialog.setAxisRange(Range(1, 2), Range(3, 4));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QStringList spins{"horizontalLowerSpin", "horizontalUpperSpin", "verticalLowerSpin", "verticalUpperSpin"};
        for (int i = 0; i < 4; ++i)
            Spin(dialog, spins.at(i)).setText(typed.at(i));
        QSignalSpy applied(&dialog, &Plot2DPropertyDialog::updateProperty);

        QObject *clicked = rootOf(dialog)->findChild<QObject *>(QString::fromLatin1(button));
        QVERIFY(clicked);
        QVERIFY(QMetaObject::invokeMethod(clicked, "clicked"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(applied.count(), applies ? 1 : 0);
        if (!applies)
            return;
        QCOMPARE(applied.at(0).at(0).value<Range>(), x);
        QCOMPARE(applied.at(0).at(1).value<Range>(), y);
        QCOMPARE(bound(dialog, "horizontalLowerTxt"), typed.at(0));
        QCOMPARE(bound(dialog, "vertialUpperTxt"), typed.at(3));
    }

    // The root's own signals, as the host sees them.
    void rootSignals()
    {
        Plot2DPropertyDialog dialog;
        dialog.setAxisRange(Range(5, 6), Range(7, 8));
        QSignalSpy applied(&dialog, &Plot2DPropertyDialog::updateProperty);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(QMetaObject::invokeMethod(rootOf(dialog), "cancel"));
        QVERIFY(!dialog.isVisible());
        QVERIFY(applied.isEmpty());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(QMetaObject::invokeMethod(rootOf(dialog), "yes"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(applied.count(), 1);
    }

    // Up adds one, down takes one off and stops at 0.00; both show two decimals and report
    // the new text.
    void arrows_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QByteArray>("arrow");
        QTest::addColumn<QString>("after");
        QTest::newRow("up") << "5" << QByteArray("upArrow") << "6.00";
        QTest::newRow("up from a fraction") << "2.345" << QByteArray("upArrow") << "3.35";
        QTest::newRow("up from empty") << "" << QByteArray("upArrow") << "1.00";
        QTest::newRow("up from a million") << "1e+06" << QByteArray("upArrow") << "1000001.00";
        QTest::newRow("down") << "5" << QByteArray("downArrow") << "4.00";
        QTest::newRow("down to the floor") << "0.50" << QByteArray("downArrow") << "0.00";
        QTest::newRow("down at the floor") << "0.00" << QByteArray("downArrow") << "0.00";
    }

    void arrows()
    {
        QFETCH(QString, start);
        QFETCH(QByteArray, arrow);
        QFETCH(QString, after);
        Plot2DPropertyDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Spin spin(dialog, QStringLiteral("verticalUpperSpin"));
        QVERIFY(spin.box);
        spin.setText(start);
        QSignalSpy reported(spin.box, SIGNAL(textChange(QString)));
        spin.click(arrow.constData());
        QCOMPARE(spin.text(), after);
        QCOMPARE(reported.count(), 1);
        QCOMPARE(reported.at(0).at(0).toString(), after);
    }

    // Typing a negative number gives 0.00 at once; leaving the field turns an empty or
    // unreadable text into 0 and shows two decimals.
    void typing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::newRow("negative") << "-5" << "0.00" << "0.00";
        QTest::newRow("minus alone") << "-" << "-" << "0.00";
        QTest::newRow("number") << "3.14159" << "3.14159" << "3.14";
        QTest::newRow("exponent") << "1e6" << "1e6" << "1000000.00";
        QTest::newRow("emptied") << "" << "" << "0.00";
        QTest::newRow("letters") << "abc" << "abc" << "0.00";
    }

    void typing()
    {
        QFETCH(QString, keys);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        Plot2DPropertyDialog dialog;
        dialog.setAxisRange(Range(100, 200), Range(300, 400));
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Spin spin(dialog, QStringLiteral("horizontalLowerSpin"));
        spin.focus();
        spin.selectAll();
        QTest::keyClick(spin.view, Qt::Key_Backspace);
        QCOMPARE(spin.text(), QString());
        QTest::keyClicks(spin.view, keys);
        QCOMPARE(spin.text(), typed);

        QSignalSpy reported(spin.box, SIGNAL(textChange(QString)));
        Spin(dialog, QStringLiteral("verticalLowerSpin")).focus();
        QCOMPARE(spin.text(), left);
        QCOMPARE(reported.count(), 1);
        // The bound itself is written on Yes, not before.
        QCOMPARE(bound(dialog, "horizontalLowerTxt"), QStringLiteral("100"));
    }
};

LUMARA_TEST_GUI_MAIN(TestPlot2DPropertyDialog)
#include "tst_propertydialog.moc"
