// The population editor driven through its QML root's signals: choosing, negative editing,
// marks, Apply (binding and unbinding, counts), Restore Default, renaming, adding, deleting
// and the colour picker; every write marks the file changed once.
#include "populationtest.h"

#include "bll/bllinstance.h"
#include "bll/documentaccess.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "plots/PopulationEdit/linezonemodel.h"
#include "plots/PopulationEdit/polygonzonemodel.h"
#include "plots/PopulationEdit/populationedit.h"
#include "plots/PopulationEdit/zonetablemodel.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/common/populationmodel.h"
#include "shell/appresources.h"
#include "shell/colorselect.h"
#include "shell/dialogmessage.h"
#include "testmain.h"

#include <QSignalSpy>

using namespace LumaraAnalysisData;
using PopulationTest::item;

namespace {

PopulationsMgr *populations()
{
    return BLLInstance::getInstance()->getPopulationsMgr();
}

// Polygon mode, one well, two zones on plot (1, 2): zone 0 around the low droplets, zone 1
// around the high ones. "Low" binds zone 0 positive, "High" zone 1 positive and zone 0
// negative with negatives edited.
BllTest::DocumentSeed polygonSeed()
{
    BllTest::DocumentSeed s;
    s.targets = BllTest::namedTargets({1, 2});
    s.mode = PolygonThreshold;
    QVector<BllTest::DropletSeed> droplets;
    for (uint v : {100u, 200u, 300u, 5000u, 6000u})
        droplets.append(BllTest::droplet({v, v, 0, 0, 0, 0}));
    s.wells.append(BllTest::well(1, QStringLiteral("A1"), {1, 2}, droplets));
    s.plots2D.append({QStringLiteral("xy"), {1, 2}});
    BllTest::ZoneSeed low, high;
    low.plot = high.plot = 0;
    low.polygon = QPolygonF({QPointF(0, 0), QPointF(1000, 0), QPointF(1000, 1000), QPointF(0, 1000)});
    high.polygon = QPolygonF({QPointF(4000, 4000), QPointF(7000, 4000), QPointF(7000, 7000), QPointF(4000, 7000)});
    s.zones << low << high;
    BllTest::PopulationSeed a, b;
    a.name = QStringLiteral("Low");
    a.zones = {{0, PositiveZone}};
    b.name = QStringLiteral("High");
    b.negEdited = true;
    b.zones = {{1, PositiveZone}, {0, NegativeZone}};
    s.populations << a << b;
    return s;
}

QString bindings(uint population)
{
    QStringList out;
    for (const auto &bound : populations()->getPopulation(population).zones)
        out << QStringLiteral("%1:%2").arg(bound.first).arg(int(bound.second));
    return out.join(QLatin1Char(','));
}

struct Page {
    Page()
    {
        page.resize(1600, 900);
        page.refresh();
        root = page.rootObject();
    }
    int indexOf(const QString &name) const
    {
        for (int r = 0; r < page.populationModel()->rowCount(); ++r)
            if (page.populationModel()->populationName(r) == name)
                return r;
        return -1;
    }
    // As a click on the row does.
    void choose(const QString &name)
    {
        root->setProperty("chosenIndex", indexOf(name));
        QMetaObject::invokeMethod(root, "updatePopulation", Q_ARG(int, indexOf(name)));
    }
    void apply(const QString &name, const QString &colour, bool negative)
    {
        QMetaObject::invokeMethod(root, "apply", Q_ARG(QString, name), Q_ARG(QString, colour), Q_ARG(bool, negative));
    }
    PopulationEdit page;
    QObject *root = nullptr;
};

// What a zone table shows: per row the zone, its marks and its selection, then the editing.
QStringList shownRows(ZoneTableModel *model)
{
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex i = model->index(r, 0);
        QStringList cells;
        for (int role = Qt::UserRole + 1; role <= Qt::UserRole + 6; ++role)
            cells << model->data(i, role).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    rows << QStringLiteral("negative editing %1, population %2").arg(model->negativeEdit()).arg(model->populationId());
    return rows;
}

} // namespace

class TestPopulationEdit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void init() { QVERIFY(PopulationTest::load(polygonSeed(), &ids)); }

    void refreshAndChoose()
    {
        Page p;
        QVERIFY(p.root);
        QCOMPARE(p.page.populationModel()->rowCount(), 2);
        QCOMPARE(p.root->property("lineType").toBool(), false);
        QCOMPARE(p.root->property("enableUI").toBool(), true);
        QSignalSpy editable(&p.page, &PopulationEdit::populationEditAble);
        p.choose(QStringLiteral("High"));
        QCOMPARE(p.page.currentPopulation(), ids.populations.at(1));
        QCOMPARE(editable.count(), 1);
        QCOMPARE(editable[0][0].toBool(), true);
        PolygonZoneModel *zones = p.page.polygonModel();
        QCOMPARE(zones->columnCount(), 3);
        QCOMPARE(zones->bindingList(), QVector<ZoneBinding>({ZoneBinding(ids.zones.at(0), NegativeZone),
                                                               ZoneBinding(ids.zones.at(1), PositiveZone)}));
        // A row that does not exist chooses nothing.
        QMetaObject::invokeMethod(p.root, "updatePopulation", Q_ARG(int, 7));
        QCOMPARE(p.page.currentPopulation(), ids.populations.at(1));
    }

    // Another document loaded with the editor on screen, or shown afterwards by the container:
    // no population chosen and no marks of the old choice, as on a fresh page.
    void reloadDropsChoice_data()
    {
        QTest::addColumn<bool>("onScreen");
        QTest::newRow("on screen") << true;
        QTest::newRow("shown afterwards") << false;
    }
    void reloadDropsChoice()
    {
        QFETCH(bool, onScreen);
        Page p;
        p.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.page));
        p.choose(QStringLiteral("High"));
        QMetaObject::invokeMethod(p.root, "editNegetive", Q_ARG(bool, true));
        QMetaObject::invokeMethod(p.root, "setPositiveStatus", Q_ARG(int, 0), Q_ARG(bool, true));
        QVERIFY(p.page.polygonModel()->bindingList().size() == 2);
        if (!onScreen)
            p.page.hide();

        // The same zones and populations again, so that the old choice's ids exist in it.
        QVERIFY(PopulationTest::load(polygonSeed(), &ids));
        if (!onScreen) {
            p.page.show();
            p.page.refresh();
        }
        Page fresh;
        fresh.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh.page));

        QCOMPARE(shownRows(p.page.polygonModel()), shownRows(fresh.page.polygonModel()));
        QCOMPARE(shownRows(p.page.lineModel()), shownRows(fresh.page.lineModel()));
        QCOMPARE(p.page.currentPopulation(), PopulationEdit::NoPopulation);
        QVERIFY(p.page.polygonModel()->bindingList().isEmpty());
        QCOMPARE(p.page.populationModel()->rowCount(), fresh.page.populationModel()->rowCount());
        for (const char *property : {"enableUI", "lineType", "chosenIndex", "editing", "negativeEditing"})
            QCOMPARE(p.root->property(property), fresh.root->property(property));
        // Apply without choosing again writes nothing.
        const QString before = bindings(ids.populations.at(1));
        p.apply(QStringLiteral("High"), QStringLiteral("#00ff00"), true);
        QCOMPARE(bindings(ids.populations.at(1)), before);
    }

    // What Apply stores for the marks set in the table, and the counts after a recount.
    void applyBindings_data()
    {
        QTest::addColumn<QString>("population");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<QList<int>>("positiveRows");
        QTest::addColumn<QList<int>>("negativeRows");
        QTest::addColumn<QString>("stored"); // zone index:sign
        QTest::addColumn<uint>("count");      // droplets of the population
        QTest::newRow("move positive") << "Low" << false << QList<int>{1} << QList<int>{} << "1:0" << 2u;
        QTest::newRow("both") << "Low" << true << QList<int>{0, 1} << QList<int>{0} << "0:2,1:0" << 5u;
        QTest::newRow("uncheck all") << "Low" << false << QList<int>{} << QList<int>{} << "" << 0u;
        // Restore Default on a population with negative marks: only positives, as positives.
        QTest::newRow("restore default") << "High" << false << QList<int>{1} << QList<int>{0} << "1:0" << 2u;
    }
    void applyBindings()
    {
        QFETCH(QString, population);
        QFETCH(bool, negative);
        QFETCH(QList<int>, positiveRows);
        QFETCH(QList<int>, negativeRows);
        QFETCH(QString, stored);
        QFETCH(uint, count);
        Page p;
        p.choose(population);
        const uint id = p.page.currentPopulation();
        QMetaObject::invokeMethod(p.root, "editNegetive", Q_ARG(bool, negative));
        for (int row = 0; row < 2; ++row) {
            QMetaObject::invokeMethod(p.root, "setPositiveStatus", Q_ARG(int, row), Q_ARG(bool, positiveRows.contains(row)));
            QMetaObject::invokeMethod(p.root, "setNegativeStatus", Q_ARG(int, row), Q_ARG(bool, negativeRows.contains(row)));
        }
        QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
        QSignalSpy applied(&p.page, &PopulationEdit::applySucceed);
        p.apply(population, QStringLiteral("#00ff00"), negative);
        QCOMPARE(applied.count(), 1);
        QCOMPARE(fixed.count(), 1);
        QStringList expected;
        for (const QString &b : stored.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QStringList parts = b.split(QLatin1Char(':'));
            expected << QStringLiteral("%1:%2").arg(ids.zones.at(parts[0].toInt())).arg(parts[1]);
        }
        QStringList got = bindings(id).split(QLatin1Char(','), Qt::SkipEmptyParts);
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        QCOMPARE(populations()->isNegEdited(id), negative);
        QCOMPARE(populations()->getPopulationColor(id), QStringLiteral("#00ff00"));
        // The refreshed table shows what is stored.
        QVector<ZoneBinding> shown = p.page.polygonModel()->bindingList();
        QStringList shownText;
        for (const ZoneBinding &b : shown)
            shownText << QStringLiteral("%1:%2").arg(b.first).arg(int(b.second));
        shownText.sort();
        QCOMPARE(shownText, expected);

        // Only zones that still list the population count for it.
        BLLInstance::getInstance()->updateZonesDroplets(1, false);
        BLLInstance::getInstance()->getResultCalculate()->updatePopulationResults();
        uint counted = 0;
        for (const auto &entry : DocumentAccess::results()->getWellResult(1).populationResults)
            if (entry.populationId == id)
                counted = entry.posDrpltNum;
        QCOMPARE(counted, count);
    }

    void rename_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("changed"); // the file shows as changed
        QTest::newRow("own name") << "Low" << "#abcdef" << true << true;
        QTest::newRow("new name") << "Lower" << "#abcdef" << true << true;
        QTest::newRow("new name, own colour") << "Lower" << "#4FB1DB" << true << true;
        // Apply with nothing changed leaves the file as it was.
        QTest::newRow("own name and colour") << "Low" << "#4FB1DB" << true << false;
        QTest::newRow("other's name") << "High" << "#abcdef" << false << false;
        QTest::newRow("empty") << "" << "#abcdef" << false << false;
        QTest::newRow("case differs") << "high" << "#abcdef" << true << true;
    }
    void rename()
    {
        QFETCH(QString, name);
        QFETCH(QString, colour);
        QFETCH(bool, accepted);
        QFETCH(bool, changed);
        Page p;
        p.choose(QStringLiteral("Low"));
        p.root->setProperty("editing", true);
        const uint id = p.page.currentPopulation();
        QSignalSpy exists(&p.page, &PopulationEdit::modityNameExist);
        QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
        p.apply(name, colour, false);
        QCOMPARE(exists.count(), accepted ? 0 : 1);
        QCOMPARE(fixed.count(), changed ? 1 : 0);
        QCOMPARE(populations()->getPopulationName(id), accepted ? name : QStringLiteral("Low"));
        QCOMPARE(populations()->getPopulationColor(id), accepted ? colour : QStringLiteral("#4FB1DB"));
        if (!accepted)
            QVERIFY(item(p.root, "nameExistText")->property("visible").toBool());
    }

    void add_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("new") << "Third" << true;
        QTest::newRow("duplicate") << "Low" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("case differs") << "LOW" << true;
    }
    void add()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        Page p;
        QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
        bool seen = false, openAfter = false, message = false;
        PopulationTest::onModal<AddpopulationDialog>([&](AddpopulationDialog *dialog) {
            emit dialog->yesClicked(QStringLiteral("#112233"), name);
            openAfter = dialog->isVisible();
            message = item(dialog->rootObject(), "errorText")->property("visible").toBool();
            if (openAfter)
                dialog->reject();
        }, &seen);
        QMetaObject::invokeMethod(p.root, "addPopulation");
        QVERIFY(seen);
        QCOMPARE(openAfter, !accepted);
        QCOMPARE(message, !accepted);
        QCOMPARE(fixed.count(), accepted ? 1 : 0);
        QCOMPARE(populations()->getPopulations().size(), accepted ? 3 : 2);
        QCOMPARE(p.page.populationModel()->rowCount(), accepted ? 3 : 2);
        if (accepted)
            QCOMPARE(populations()->getPopulationColor(populations()->getPopulationId(name)), QStringLiteral("#112233"));
    }

    void remove_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << 1;
        QTest::newRow("no") << 0;
    }
    void remove()
    {
        QFETCH(int, answer);
        Page p;
        p.choose(QStringLiteral("High"));
        p.root->setProperty("editing", true);
        const uint id = p.page.currentPopulation();
        QSignalSpy done(&p.page, &PopulationEdit::deletePopulationCompleted);
        QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
        bool seen = false;
        PopulationTest::onModal<DialogMessage>([answer](DialogMessage *box) { box->done(answer); }, &seen);
        QMetaObject::invokeMethod(p.root, "deletePopulation");
        QVERIFY(seen);
        const bool yes = answer == 1;
        QCOMPARE(populations()->getPopulation(id).id, yes ? 0u : id);
        QCOMPARE(done.count(), yes ? 1 : 0);
        QCOMPARE(fixed.count(), yes ? 1 : 0);
        QCOMPARE(p.page.populationModel()->rowCount(), yes ? 1 : 2);
        QCOMPARE(p.page.currentPopulation(), yes ? PopulationEdit::NoPopulation : id);
        // Deleting closes the edit panel and chooses none; No leaves both.
        QCOMPARE(p.root->property("editing").toBool(), !yes);
        QCOMPARE(p.root->property("chosenIndex").toInt(), yes ? -1 : 1);
        if (yes)
            QVERIFY(!p.page.polygonModel()->negativeEdit());
    }

    // With no population chosen Apply and Delete write nothing and ask nothing.
    void nothingChosen()
    {
        Page p;
        QSignalSpy fixed(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
        QMetaObject::invokeMethod(p.root, "setPositiveStatus", Q_ARG(int, 0), Q_ARG(bool, true));
        p.apply(QStringLiteral("Ghost"), QStringLiteral("#000000"), false);
        bool seen = false;
        QPointer<QTimer> poll = PopulationTest::onModal<DialogMessage>([](DialogMessage *box) { box->done(1); }, &seen);
        QMetaObject::invokeMethod(p.root, "deletePopulation");
        QTest::qWait(100);
        delete poll.data();
        QVERIFY(!seen);
        QCOMPARE(fixed.count(), 0);
        QCOMPARE(populations()->getPopulations().size(), 2);
        for (const DrpltZoneInfo &zone : populations()->getZones())
            QVERIFY(!zone.populationIds.contains(PopulationEdit::NoPopulation));
    }

    // The picked colour reaches the edit panel only; the document keeps its colour.
    void colour()
    {
        Page p;
        p.choose(QStringLiteral("Low"));
        bool seen = false;
        PopulationTest::onModal<ColorSelect>([](ColorSelect *picker) {
            emit picker->sigClrValue(QStringLiteral("#a1b2c3"));
            picker->accept();
        }, &seen);
        QMetaObject::invokeMethod(p.root, "popupColorDialog", Q_ARG(QString, QStringLiteral("#4FB1DB")));
        QVERIFY(seen);
        QCOMPARE(p.root->property("shownColor").toString(), QStringLiteral("#a1b2c3"));
        QCOMPARE(populations()->getPopulationColor(ids.populations.at(0)), QStringLiteral("#4FB1DB"));
    }

    // Without GL the 3D page builds no graph and still refreshes its panel and models.
    void plot3dWithoutGL()
    {
        Plot3DDot page;
        page.resize(1600, 900);
        page.refreshPage();
        QVERIFY(page.rootObject());
        QCOMPARE(page.rootObject()->property("uiEnable").toBool(), true);
        QCOMPARE(page.getPopulationNames(), QStringList({"Default", "Low", "High"}));
        if (!Plot3DDot::openGLAvailable())
            QVERIFY(!page.graph());
    }

private:
    BllTest::SeededIds ids;
};

LUMARA_TEST_GUI_MAIN(TestPopulationEdit)
#include "tst_populationedit.moc"
