// The channel-combination and add-population dialogs: the channels they offer, the check-box
// rules of their views, the channel order they send, and what they refuse.
#include "populationtest.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "plots/ThreeDotPlot/add3dcombition.h"
#include "plots/TwoDotPlot/addplotcombition.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "shell/appresources.h"
#include "testmain.h"

#include <QSignalSpy>

#include <memory>

using PopulationTest::item;

namespace {

// Channels 1, 2 and 5 in the wells, 2D plot T1/T2 (x 1, y 2), 3D plot "Trio" of 1, 2, 5.
BllTest::DocumentSeed seed()
{
    BllTest::DocumentSeed s;
    s.targets = BllTest::namedTargets({1, 2, 5});
    s.wells.append(BllTest::well(1, QStringLiteral("A1"), {1, 2}));
    s.wells.append(BllTest::well(2, QStringLiteral("A2"), {5, 1}));
    s.plots2D.append({QStringLiteral("Pair"), {1, 2}});
    s.plots3D.append({QStringLiteral("Trio"), {5, 1, 2}});
    return s;
}

void check(QObject *root, int channel, bool on)
{
    QObject *box = item(root, QStringLiteral("channelBox%1").arg(channel));
    QVERIFY2(box, qPrintable(QStringLiteral("no box %1").arg(channel)));
    box->setProperty("checked", on);
}

void pressYes(QObject *root)
{
    QObject *yes = item(root, QStringLiteral("yesButton"));
    QVERIFY(yes);
    QVERIFY(QMetaObject::invokeMethod(yes, "clicked"));
}

QString errorLine(QObject *root)
{
    QObject *error = item(root, QStringLiteral("errorText"));
    return error && error->property("visible").toBool() ? error->property("text").toString() : QString();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        QVERIFY(PopulationTest::load(seed()));
    }

    void channelProperties_data()
    {
        QTest::addColumn<bool>("threeD");
        QTest::newRow("2D") << false;
        QTest::newRow("3D") << true;
    }
    void channelProperties()
    {
        QFETCH(bool, threeD);
        std::unique_ptr<QDialog> dialog(threeD ? static_cast<QDialog *>(new Add3DCombition) : new AddPlotCombition);
        QObject *root = threeD ? static_cast<Add3DCombition *>(dialog.get())->rootObject()
                               : static_cast<AddPlotCombition *>(dialog.get())->rootObject();
        QVERIFY(root);
        QCOMPARE(dialog->size(), QSize(560, 402));
        const QList<bool> offered{true, true, false, false, true, false};
        for (int n = 1; n <= 6; ++n) {
            const QByteArray enable = n == 1 ? "channelEnable" : "channe" + QByteArray::number(n) + "Enable";
            QCOMPARE(root->property(enable).toBool(), offered[n - 1]);
            const QString target = root->property("target" + QByteArray::number(n) + "Name").toString();
            const QString dye = root->property("fluo" + QByteArray::number(n) + "Name").toString();
            QCOMPARE(target, offered[n - 1] ? QStringLiteral("T%1").arg(n) : QStringLiteral("--"));
            QCOMPARE(dye, offered[n - 1] ? QStringLiteral("D%1").arg(n) : QStringLiteral("--"));
            QCOMPARE(item(root, QStringLiteral("channelBox%1").arg(n))->property("enabled").toBool(), offered[n - 1]);
        }
    }

    // The order of checking and what the Yes button sends.
    void order_data()
    {
        QTest::addColumn<bool>("threeD");
        QTest::addColumn<QList<int>>("checks"); // negative: uncheck
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("sent");
        QTest::newRow("2D x first") << false << QList<int>{5, 2} << "T5-T2" << QList<int>{5, 2};
        QTest::newRow("2D x low") << false << QList<int>{1, 5} << "T1-T5" << QList<int>{1, 5};
        QTest::newRow("2D recheck") << false << QList<int>{5, 2, -5, 1} << "T2-T1" << QList<int>{2, 1};
        QTest::newRow("3D any order") << true << QList<int>{5, 1, 2} << "T1-T2-T5" << QList<int>{1, 2, 5};
    }
    void order()
    {
        QFETCH(bool, threeD);
        QFETCH(QList<int>, checks);
        QFETCH(QString, name);
        QFETCH(QList<int>, sent);
        // The combinations sent here must not exist yet.
        BllTest::DocumentSeed s = seed();
        s.plots3D.clear();
        QVERIFY(PopulationTest::load(s));
        Add3DCombition three;
        AddPlotCombition two;
        QObject *root = threeD ? three.rootObject() : two.rootObject();
        QSignalSpy spy3(&three, &Add3DCombition::selectPlotCombition);
        QSignalSpy spy2(&two, &AddPlotCombition::selectPlotCombition);
        for (int c : checks)
            check(root, qAbs(c), c > 0);
        QCOMPARE(item(root, "nameField")->property("text").toString(), name);
        QVERIFY(item(root, "yesButton")->property("enabled").toBool());
        pressYes(root);
        if (threeD) {
            QCOMPARE(spy3.count(), 1);
            QCOMPARE((QList<int>{spy3[0][0].toInt(), spy3[0][1].toInt(), spy3[0][2].toInt()}), sent);
            QCOMPARE(spy3[0][3].toString(), name);
        } else {
            QCOMPARE(spy2.count(), 1);
            QCOMPARE((QList<int>{spy2[0][0].toInt(), spy2[0][1].toInt()}), sent);
            QCOMPARE(spy2[0][2].toString(), name);
        }
    }

    // With the needed boxes checked the others lock; unchecking one frees the offered ones.
    void lockRules_data()
    {
        QTest::addColumn<bool>("threeD");
        QTest::newRow("2D") << false;
        QTest::newRow("3D") << true;
    }
    void lockRules()
    {
        QFETCH(bool, threeD);
        QVERIFY(PopulationTest::load(seed()));
        Add3DCombition three;
        AddPlotCombition two;
        QObject *root = threeD ? three.rootObject() : two.rootObject();
        const QList<int> chosen = threeD ? QList<int>{1, 2, 5} : QList<int>{2, 5};
        for (int c : chosen)
            check(root, c, true);
        for (int n = 1; n <= 6; ++n)
            QCOMPARE(item(root, QStringLiteral("channelBox%1").arg(n))->property("enabled").toBool(), chosen.contains(n));
        check(root, chosen.first(), false);
        QVERIFY(!item(root, "yesButton")->property("enabled").toBool());
        const QList<bool> offered{true, true, false, false, true, false};
        for (int n = 1; n <= 6; ++n)
            QCOMPARE(item(root, QStringLiteral("channelBox%1").arg(n))->property("enabled").toBool(), offered[n - 1]);
        // None checked: no proposal.
        for (int c : chosen)
            check(root, c, false);
        QCOMPARE(item(root, "nameField")->property("text").toString(), QString());
    }

    // Existing combination, existing name, empty name: refused, the dialog stays open.
    void refusals_data()
    {
        QTest::addColumn<bool>("threeD");
        QTest::addColumn<QList<int>>("checks");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("2D pair exists") << false << QList<int>{1, 2} << "New" << "The thumbnail already exist!";
        QTest::newRow("2D swapped is new") << false << QList<int>{2, 1} << "New" << "";
        QTest::newRow("2D name exists") << false << QList<int>{1, 5} << "Pair" << "The thumbnail name already exists!";
        QTest::newRow("2D empty name") << false << QList<int>{1, 5} << "" << "The plot 2D name cannot be empty!";
        QTest::newRow("3D any order exists") << true << QList<int>{2, 5, 1} << "New" << "The thumbnail already exist!";
        QTest::newRow("3D empty name") << true << QList<int>{2, 5, 1} << "" << "The plot 3D name cannot be empty!";
    }
    void refusals()
    {
        QFETCH(bool, threeD);
        QFETCH(QList<int>, checks);
        QFETCH(QString, name);
        QFETCH(QString, error);
        QVERIFY(PopulationTest::load(seed()));
        Add3DCombition three;
        AddPlotCombition two;
        QDialog *dialog = threeD ? static_cast<QDialog *>(&three) : &two;
        QObject *root = threeD ? three.rootObject() : two.rootObject();
        QSignalSpy sent3(&three, &Add3DCombition::selectPlotCombition);
        QSignalSpy sent2(&two, &AddPlotCombition::selectPlotCombition);
        dialog->show();
        for (int c : checks)
            check(root, c, true);
        item(root, "nameField")->setProperty("text", name);
        pressYes(root);
        QCOMPARE(errorLine(root), error);
        QCOMPARE(sent3.count() + sent2.count(), error.isEmpty() ? 1 : 0);
        QCOMPARE(dialog->isVisible(), !error.isEmpty());
        if (!error.isEmpty()) {
            // Editing the name hides the message again.
            QVERIFY(QMetaObject::invokeMethod(item(root, "nameField"), "textEdited"));
            QCOMPARE(errorLine(root), QString());
        }
    }

    void population()
    {
        AddpopulationDialog dialog;
        QObject *root = dialog.rootObject();
        QVERIFY(root);
        dialog.setCircleColor(QStringLiteral("#123456"));
        QCOMPARE(root->property("circleColor").toString(), QStringLiteral("#123456"));
        QSignalSpy yes(&dialog, &AddpopulationDialog::yesClicked);
        QSignalSpy no(&dialog, &AddpopulationDialog::noClicked);
        QCOMPARE(item(root, "nameField")->property("text").toString(), QStringLiteral("New population"));
        item(root, "nameField")->setProperty("text", QStringLiteral("Mine"));
        QVERIFY(QMetaObject::invokeMethod(item(root, "yesButton"), "clicked"));
        QCOMPARE(yes.count(), 1);
        QCOMPARE(yes[0][0].toString(), QStringLiteral("#123456"));
        QCOMPARE(yes[0][1].toString(), QStringLiteral("Mine"));

        // The caller's refusal shows the message until the name changes.
        emit dialog.populationNameExist();
        QVERIFY(item(root, "errorText")->property("visible").toBool());
        item(root, "nameField")->setProperty("text", QStringLiteral("Mine 2"));
        QVERIFY(!item(root, "errorText")->property("visible").toBool());

        // The panel stays centred in whatever size the caller gives.
        dialog.resize(1200, 800);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *panel = qobject_cast<QQuickItem *>(item(root, "panel"));
        QVERIFY(panel);
        QCOMPARE(panel->mapToScene(QPointF(panel->width() / 2, panel->height() / 2)), QPointF(600, 400));

        dialog.show();
        QVERIFY(QMetaObject::invokeMethod(item(root, "noButton"), "clicked"));
        QCOMPARE(no.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }
};

LUMARA_TEST_GUI_MAIN(TestDialogs)
#include "tst_dialogs.moc"
