// The shared dialogs: the message box's results and signals per type and button, its size by
// scale, the help texts and the help pop-up's close, and the colour picker.
#include "shell/appresources.h"
#include "shell/colorselect.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"
#include "testmain.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSignalSpy>
#include <QTimer>

namespace {

QObject *rootOf(QWidget *dialog)
{
    auto *view = dialog->findChild<QQuickWidget *>();
    return view ? view->rootObject() : nullptr;
}

// Clicks a button of the dialog's QML view by its object name, as the user's click would.
void clickQmlButton(QWidget *dialog, const char *name)
{
    QObject *root = rootOf(dialog);
    QObject *button = root ? root->findChild<QObject *>(QString::fromLatin1(name)) : nullptr;
    QVERIFY2(button, name);
    QVERIFY(QMetaObject::invokeMethod(button, "clicked"));
}

struct ScaleGuard {
    explicit ScaleGuard(double scale) { uiScaleFactor = scale; }
    ~ScaleGuard() { uiScaleFactor = 1.0; }
};

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }

    void messageResult_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("sigYes");
        QTest::addColumn<int>("yes");
        QTest::addColumn<int>("no");
        QTest::newRow("one: Yes") << 0 << QByteArray("yesButton") << 1 << 1 << 0 << 0;
        QTest::newRow("two: Yes") << 1 << QByteArray("yesButton") << 1 << 1 << 1 << 0;
        QTest::newRow("two: No") << 1 << QByteArray("noButton") << 0 << 0 << 0 << 1;
        QTest::newRow("three: Yes") << 2 << QByteArray("yesButton") << 1 << 1 << 0 << 0;
        QTest::newRow("three: No") << 2 << QByteArray("noButton") << 0 << 0 << 0 << 0;
        QTest::newRow("three: Cancel") << 2 << QByteArray("cancelButton") << 2 << 0 << 0 << 0;
        // Left without a button: the answer that changes nothing.
        QTest::newRow("one: Escape") << 0 << QByteArray("escape") << 0 << 0 << 0 << 0;
        QTest::newRow("two: Escape") << 1 << QByteArray("escape") << 0 << 0 << 0 << 0;
        QTest::newRow("two: closed by the window manager") << 1 << QByteArray("close") << 0 << 0 << 0 << 0;
        QTest::newRow("three: Escape") << 2 << QByteArray("escape") << 2 << 0 << 0 << 0;
        QTest::newRow("three: closed by the window manager") << 2 << QByteArray("close") << 2 << 0 << 0 << 0;
    }

    void messageResult()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, button);
        QFETCH(int, result);
        QFETCH(int, sigYes);
        QFETCH(int, yes);
        QFETCH(int, no);
        DialogMessage box(type, QStringLiteral("Save the changes?"));
        QVERIFY(rootOf(&box));
        QCOMPARE(rootOf(&box)->property("message").toString(), QStringLiteral("Save the changes?"));
        QSignalSpy sigYesSpy(&box, &DialogMessage::sigYesBtn);
        QSignalSpy yesSpy(&box, &DialogMessage::yesBtnClick);
        QSignalSpy noSpy(&box, &DialogMessage::noBtnClick);
        QTimer::singleShot(0, &box, [&] {
            if (button == "escape") {
                // Where the user's key lands: the box's view, once the box shows.
                QVERIFY(QTest::qWaitForWindowExposed(&box));
                QTest::keyClick(box.findChild<QQuickWidget *>(), Qt::Key_Escape);
            }
            else if (button == "close")
                box.close();
            else
                clickQmlButton(&box, button.constData());
        });
        QCOMPARE(box.exec(), result);
        QCOMPARE(sigYesSpy.count(), sigYes);
        QCOMPARE(yesSpy.count(), yes);
        QCOMPARE(noSpy.count(), no);
    }

    // A type without a view has no root and answers to nothing.
    void messageOfUnknownType()
    {
        DialogMessage box(3, QStringLiteral("never shown"));
        QVERIFY(!rootOf(&box));
    }

    // 584 x 215 times the scale, truncated; the view gets the scale as "resoving". With a
    // parent it is still a window of its own.
    void messageSize_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<QSize>("size");
        QTest::newRow("1.0") << 1.0 << QSize(584, 215);
        QTest::newRow("1.33") << 1.33 << QSize(776, 285);
        QTest::newRow("2.0") << 2.0 << QSize(1168, 430);
    }

    void messageSize()
    {
        QFETCH(double, scale);
        QFETCH(QSize, size);
        ScaleGuard guard(scale);
        QWidget parent;
        DialogMessage box(1, QStringLiteral("text"), &parent);
        QCOMPARE(box.size(), size);
        QVERIFY(box.isWindow());
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        auto *view = box.findChild<QQuickWidget *>();
        QVERIFY(view);
        QCOMPARE(view->rootContext()->contextProperty(QStringLiteral("resoving")).toDouble(), scale);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(qobject_cast<QQuickItem *>(view->rootObject())->size().toSize(), size);
    }

    void helpTextOfEveryKey_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        const QList<QPair<const char *, QStringList>> groups = {
            {"QualityControl", {"QC"}},
            {"SetUp", {"EditExperiment", "CompensateSpillover", "Spectrogram"}},
            {"AnalyzePlot", {"Histogram", "1DDotPlot", "2DDotPlot", "3DDotPlot", "Population Editor"}},
            {"Explore", {"ExplorePlot", "ProviewPlot"}},
            {"ViewResult", {"ResultTable", "ConcentrationGraphy", "UncertaintyCurves"}},
        };
        for (const auto &group : groups) {
            for (const QString &key : group.second)
                QTest::newRow(qPrintable(QString::fromLatin1(group.first) + QLatin1Char('/') + key))
                    << QString::fromLatin1(group.first) << key;
        }
    }

    void helpTextOfEveryKey()
    {
        QFETCH(QString, group);
        QFETCH(QString, key);
        const QString text = getHelpText(group, key);
        QVERIFY(text.trimmed().size() > 20);
        QVERIFY(!text.contains(QLatin1Char('\\')));
    }

    void helpTextLookups_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::newRow("unknown group") << QStringLiteral("Export") << QStringLiteral("QC") << false;
        QTest::newRow("unknown key") << QStringLiteral("AnalyzePlot") << QStringLiteral("4DDotPlot") << false;
        QTest::newRow("key of another group") << QStringLiteral("SetUp") << QStringLiteral("Histogram") << false;
        QTest::newRow("case matters") << QStringLiteral("analyzeplot") << QStringLiteral("Histogram") << false;
        QTest::newRow("key with a blank") << QStringLiteral("AnalyzePlot") << QStringLiteral("Population Editor")
                                          << true;
    }

    void helpTextLookups()
    {
        QFETCH(QString, group);
        QFETCH(QString, key);
        QFETCH(bool, found);
        QCOMPARE(!getHelpText(group, key).isEmpty(), found);
    }

    // A backslash before the line break continues the text on a new line.
    void helpTextContinuation()
    {
        const QString text = getHelpText(QStringLiteral("AnalyzePlot"), QStringLiteral("Histogram"));
        QVERIFY(text.contains(QLatin1Char('\n')));
        for (const QString &line : text.split(QLatin1Char('\n')))
            QVERIFY(!line.trimmed().isEmpty());
    }

    // Yes closes the pop-up without deleting it; the caller releases it afterwards.
    void helpDialogClose()
    {
        auto *help = new HelpDialog(QStringLiteral("Some help"));
        QPointer<HelpDialog> alive(help);
        QVERIFY(help->findChild<QLabel *>() != nullptr);
        bool textShown = false;
        for (QLabel *label : help->findChildren<QLabel *>()) {
            textShown = textShown || label->text() == QLatin1String("Some help");
            if (label->text().isEmpty())
                QVERIFY(!label->pixmap(Qt::ReturnByValue).isNull());
        }
        QVERIFY(textShown);
        QTimer::singleShot(0, help, [help] { help->findChild<QPushButton *>()->click(); });
        help->exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive);
        QVERIFY(!help->isVisible());
        QVERIFY(help->testAttribute(Qt::WA_DeleteOnClose));
        help->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alive);
    }

    void colourPickerCurrentColour()
    {
        QWidget parent;
        ColorSelect picker(&parent);
        QVERIFY(picker.isWindow());
        QCOMPARE(picker.size(), QSize(596, 512));
        picker.setCurrentColor(QStringLiteral("#1a2b3c"));
        QObject *root = rootOf(&picker);
        QVERIFY(root);
        QCOMPARE(root->property("currentcolor").toString(), QStringLiteral("#1a2b3c"));
        QCOMPARE(root->property("current").toString(), QStringLiteral("1a2b3c"));
        QCOMPARE(root->findChild<QObject *>(QStringLiteral("hexField"))->property("text").toString(),
                 QStringLiteral("1a2b3c"));
    }

    // Yes hands the chosen colour on first and accepts after it; No only rejects.
    void colourPickerAnswers()
    {
        ColorSelect picker;
        picker.setCurrentColor(QStringLiteral("#009944"));
        QStringList colours;
        bool visibleWhenColourCame = false;
        connect(&picker, &ColorSelect::sigClrValue, this, [&](const QString &colour) {
            colours.append(colour);
            visibleWhenColourCame = picker.isVisible();
        });
        QTimer::singleShot(0, &picker, [&] { clickQmlButton(&picker, "yesButton"); });
        QCOMPARE(picker.exec(), int(QDialog::Accepted));
        QCOMPARE(colours, QStringList(QStringLiteral("#009944")));
        QVERIFY(visibleWhenColourCame);

        QTimer::singleShot(0, &picker, [&] { clickQmlButton(&picker, "noButton"); });
        QCOMPARE(picker.exec(), int(QDialog::Rejected));
        QCOMPARE(colours.size(), 1);
    }

    // Every change shows the channels, hue, saturation and value rounded down, and the hex digits.
    void colourPickerFields_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QStringList>("fields"); // H S B R G B hex
        QTest::newRow("hsv green at 60 %") << "takeHsv" << QVariantList{1.0 / 3, 1.0, 0.6}
                                           << QStringList{"120", "100", "60", "0", "153", "0", "009900"};
        QTest::newRow("hsv 200 degrees") << "takeHsv" << QVariantList{200.0 / 360, 0.6, 1.0}
                                         << QStringList{"200", "60", "100", "102", "204", "255", "66ccff"};
        QTest::newRow("swatch orange") << "takeCurrentHex" << QVariantList{"f45000"}
                                       << QStringList{"19", "100", "95", "244", "80", "0", "f45000"};
    }

    void colourPickerFields()
    {
        QFETCH(QString, call);
        QFETCH(QVariantList, args);
        QFETCH(QStringList, fields);
        ColorSelect picker;
        QObject *root = rootOf(&picker);
        QVERIFY(root);
        if (call == QLatin1String("takeCurrentHex")) {
            picker.setCurrentColor(QLatin1Char('#') + args.first().toString());
        } else {
            QVERIFY(QMetaObject::invokeMethod(root, "takeHsv", Q_ARG(QVariant, args[0]), Q_ARG(QVariant, args[1]),
                                              Q_ARG(QVariant, args[2])));
        }
        QStringList shown;
        for (const char *row : {"hueRow", "saturationRow", "valueRow", "redRow", "greenRow", "blueRow"}) {
            QObject *field = root->findChild<QObject *>(QString::fromLatin1(row));
            QVERIFY2(field, row);
            shown.append(field->property("field").value<QObject *>()->property("text").toString());
        }
        shown.append(root->findChild<QObject *>(QStringLiteral("hexField"))->property("text").toString());
        QCOMPARE(shown, fields);
    }
};

LUMARA_TEST_GUI_MAIN(TestDialogs)
#include "tst_dialogs.moc"
