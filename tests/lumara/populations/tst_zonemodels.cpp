// The line and polygon zone tables on seeded documents: roles, the column functions the QML
// header reads, the marks a population's bindings show and the binding list the marks make.
#include "plots/PopulationEdit/linezonemodel.h"
#include "plots/PopulationEdit/polygonzonemodel.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "shell/channelcolors.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

using namespace LumaraAnalysisData;

Q_DECLARE_METATYPE(QVector<ZoneBinding>)

namespace {

// Three named targets on channels 4, 1 and 2 (first seen in that order in the wells), so that
// the wells' order and the classification's ascending order differ.
BllTest::DocumentSeed lineSeed()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 4});
    seed.wells.append(BllTest::well(1, QStringLiteral("A1"), {4, 1, 2}));
    seed.wells.append(BllTest::well(2, QStringLiteral("A2"), {1, 2, 4}));
    return seed;
}

BllTest::DocumentSeed polygonSeed()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells.append(BllTest::well(1, QStringLiteral("A1"), {1, 2}));
    seed.mode = PolygonThreshold;
    seed.plots2D.append({QStringLiteral("xy"), {1, 2}});
    BllTest::ZoneSeed z;
    z.plot = 0;
    z.polygon = QPolygonF({QPointF(0, 0), QPointF(10, 0), QPointF(10, 10)});
    seed.zones << z << z;
    return seed;
}

void load(const BllTest::DocumentSeed &seed, BllTest::SeededIds *ids)
{
    QString error;
    QVERIFY2(BllTest::seedDocument(seed, ids, &error), qPrintable(error));
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
}

PopulationsMgr *populations()
{
    return BLLInstance::getInstance()->getPopulationsMgr();
}

// A population of its own whose bindings are exactly the listed ones.
uint populationWith(const QVector<ZoneBinding> &bindings, bool negEdited)
{
    const uint id = populations()->addPopulation(QStringLiteral("P%1").arg(populations()->getPopulations().size()),
                                                 QStringLiteral("#123456"));
    for (const ZoneBinding &b : bindings)
        populations()->bindPopulationAndZone(b, id);
    populations()->setNegEdited(id, negEdited);
    return id;
}

int rowOfZone(const QAbstractItemModel &model, uint zoneId)
{
    for (int r = 0; r < model.rowCount(); ++r)
        if (model.data(model.index(r, 0), Qt::UserRole + 1).toUInt() == zoneId)
            return r;
    return -1;
}

} // namespace

class TestZoneModels : public QObject {
    Q_OBJECT
private slots:
    void roleNames()
    {
        LineZoneModel line;
        PolygonZoneModel polygon;
        const QHash<int, QByteArray> l = line.roleNames(), p = polygon.roleNames();
        QCOMPARE(l.value(257), QByteArray("zoneID"));
        QCOMPARE(l.value(259), QByteArray("zoneTarget"));
        QCOMPARE(l.value(262), QByteArray("zoneSelect"));
        QCOMPARE(p.value(259), QByteArray("zonePositive"));
        QCOMPARE(p.value(261), QByteArray("zoneSelect"));
        QVERIFY(!p.contains(262));
    }

    // The target columns name the bits of the classification's code: channels ascending.
    void lineTargets()
    {
        BllTest::SeededIds ids;
        load(lineSeed(), &ids);
        LineZoneModel model;
        model.updateFromDocument();
        QCOMPARE(model.rowCount(), populations()->getZones().size());
        QVERIFY(model.rowCount() > 0);
        QCOMPARE(model.columnCount(), 9);
        QCOMPARE(model.targetSize(), 3);
        QCOMPARE(model.getColumNames(), QStringList({"Zones", "T1", "T2", "T4", "Positive"}));
        QCOMPARE(model.columnSize(), 5);
        QCOMPARE(model.getPositiveColumn(), 4);
        QCOMPARE(model.getNegativeColumn(), 5);
        QCOMPARE(model.getColumnColor(0), QStringLiteral("#000000"));
        QCOMPARE(model.getColumnColor(1), getChannelColor(1));
        QCOMPARE(model.getColumnColor(2), getChannelColor(2));
        QCOMPARE(model.getColumnColor(3), getChannelColor(4));
        QCOMPARE(model.getColumnColor(4), QStringLiteral("#000000"));
        QCOMPARE(model.getColumnColor(5), QStringLiteral("#000000"));

        // Zone code 5: positive in the first and the third target.
        const QVector<DrpltZoneInfo> zones = populations()->getZones();
        int five = -1;
        for (int i = 0; i < zones.size(); ++i)
            if (zones.at(i).code == 5)
                five = i;
        QVERIFY(five >= 0);
        QStringList bits;
        for (int c = 1; c <= 6; ++c)
            bits << model.data(model.index(five, c), LineZoneModel::ZoneTargetRole).toString();
        QCOMPARE(bits, QStringList({"1", "0", "1", "0", "0", "0"}));
        QCOMPARE(model.data(model.index(five, 0), LineZoneModel::ZoneNameRole).toString(), QStringLiteral("zone%1").arg(five));
        QVERIFY(!model.data(model.index(five, 0), Qt::DisplayRole).isValid());
        QVERIFY(!model.data(model.index(model.rowCount(), 0), LineZoneModel::ZoneIdRole).isValid());

        model.setNegativeEdit(true);
        QCOMPARE(model.getColumNames().last(), QStringLiteral("Negative"));
        QCOMPARE(model.columnSize(), 6);
        QCOMPARE(model.getColumnColor(4), QStringLiteral("#000000"));
        QCOMPARE(model.getColumnColor(3), getChannelColor(4));
    }

    void columnVisible_data()
    {
        QTest::addColumn<bool>("negative");
        QTest::addColumn<QList<bool>>("visible"); // columns 0..9
        QTest::newRow("positives") << false << QList<bool>{true, true, true, true, false, false, false, true, false, false};
        QTest::newRow("negatives") << true << QList<bool>{true, true, true, true, false, false, false, true, true, false};
    }
    void columnVisible()
    {
        QFETCH(bool, negative);
        QFETCH(QList<bool>, visible);
        load(lineSeed(), nullptr);
        LineZoneModel model;
        model.updateFromDocument();
        model.setNegativeEdit(negative);
        QList<bool> got;
        for (int c = 0; c <= 9; ++c)
            got << model.columnVisiable(c);
        QCOMPARE(got, visible);
        QVERIFY(!model.columnVisiable(-1));
    }

    // The marks a population's stored bindings show, and the binding list they give back.
    void marks_data()
    {
        QTest::addColumn<int>("sign");
        QTest::addColumn<bool>("positive");
        QTest::addColumn<bool>("negative");
        QTest::newRow("positive") << 0 << true << false;
        QTest::newRow("negative") << 1 << false << true;
        QTest::newRow("both") << 2 << true << true;
    }
    void marks()
    {
        QFETCH(int, sign);
        QFETCH(bool, positive);
        QFETCH(bool, negative);
        for (bool lineMode : {true, false}) {
            BllTest::SeededIds ids;
            load(lineMode ? lineSeed() : polygonSeed(), &ids);
            const uint zone = ids.zones.at(1);
            const uint id = populationWith({ZoneBinding(zone, ZoneType(sign))}, true);
            LineZoneModel line;
            PolygonZoneModel polygon;
            ZoneTableModel &model = lineMode ? static_cast<ZoneTableModel &>(line) : polygon;
            const int positiveRole = lineMode ? int(LineZoneModel::ZonePositiveRole) : int(PolygonZoneModel::ZonePositiveRole);
            const int selectRole = lineMode ? int(LineZoneModel::ZoneSelectRole) : int(PolygonZoneModel::ZoneSelectRole);
            model.setPopulationId(id);
            model.updateFromDocument();
            QVERIFY(model.negativeEdit());
            const int row = rowOfZone(model, zone);
            QVERIFY(row >= 0);
            QCOMPARE(model.data(model.index(row, 0), positiveRole).toBool(), positive);
            QCOMPARE(model.data(model.index(row, 0), positiveRole + 1).toBool(), negative);
            QCOMPARE(model.data(model.index(row, 0), selectRole).toBool(), true);
            for (int r = 0; r < model.rowCount(); ++r)
                if (r != row)
                    QVERIFY(!model.data(model.index(r, 0), selectRole).toBool());
            QCOMPARE(model.bindingList(), QVector<ZoneBinding>({ZoneBinding(zone, ZoneType(sign))}));

            // Marks set by hand make the list, in row order; a row outside is ignored.
            model.setPositiveMark(0, true);
            model.setNegativeMark(0, true);
            model.setPositiveMark(row, false);
            model.setNegativeMark(row, false);
            model.setPositiveMark(model.rowCount(), true);
            model.setNegativeMark(-1, true);
            QCOMPARE(model.bindingList(),
                     QVector<ZoneBinding>({ZoneBinding(ids.zones.at(0), PositiveAndNegativeZone)}));
        }
    }

    void noPopulation()
    {
        load(lineSeed(), nullptr);
        LineZoneModel model;
        model.setNegativeEdit(true);
        model.updateFromDocument();
        QVERIFY(!model.negativeEdit());
        QVERIFY(model.bindingList().isEmpty());
        for (int r = 0; r < model.rowCount(); ++r)
            QVERIFY(!model.data(model.index(r, 0), LineZoneModel::ZoneSelectRole).toBool());
    }

    // Each model updates only in its own mode and keeps its rows otherwise.
    void otherMode()
    {
        load(lineSeed(), nullptr);
        LineZoneModel line;
        PolygonZoneModel polygon;
        line.updateFromDocument();
        polygon.updateFromDocument();
        QVERIFY(line.rowCount() > 0);
        QCOMPARE(polygon.rowCount(), 0);
        QCOMPARE(polygon.columnCount(), 2);
        const int lineRows = line.rowCount();

        load(polygonSeed(), nullptr);
        line.updateFromDocument();
        polygon.updateFromDocument();
        QCOMPARE(line.rowCount(), lineRows);
        QCOMPARE(polygon.rowCount(), 2);
        QCOMPARE(polygon.data(polygon.index(1, 0), PolygonZoneModel::ZoneNameRole).toString(), QStringLiteral("zone1"));
        QCOMPARE(polygon.getColumNames(), QStringList({"Zones", "Positive"}));
        polygon.setNegativeEdit(true);
        QCOMPARE(polygon.columnSize(), 3);
        QCOMPARE(polygon.getColumNames(), QStringList({"Zones", "Positive", "Negative"}));
    }

    void emptyZoneList()
    {
        BllTest::DocumentSeed seed = polygonSeed();
        seed.zones.clear();
        load(seed, nullptr);
        BLLInstance::getInstance()->getPopulationsMgr(); // polygon mode without zones
        PolygonZoneModel polygon;
        polygon.updateFromDocument();
        QCOMPARE(polygon.rowCount(), 0);
        LineZoneModel line;
        QCOMPARE(line.columnCount(), 0);
        QCOMPARE(line.targetSize(), 0);
        QCOMPARE(line.columnSize(), 0);
        for (int c = -1; c <= 9; ++c)
            QCOMPARE(line.getColumnColor(c), QStringLiteral("#000000"));
    }

    // With negative editing off the count takes every bound zone as positive: only
    // positive-marked zones are stored, as positives.
    void storedBindings_data()
    {
        QTest::addColumn<bool>("negEdited");
        QTest::addColumn<QVector<ZoneBinding>>("marks");
        QTest::addColumn<QVector<ZoneBinding>>("stored");
        const QVector<ZoneBinding> all{ZoneBinding(1, PositiveZone), ZoneBinding(2, NegativeZone),
                                       ZoneBinding(3, PositiveAndNegativeZone)};
        QTest::newRow("edited") << true << all << all;
        QTest::newRow("default") << false << all
                                 << QVector<ZoneBinding>{ZoneBinding(1, PositiveZone), ZoneBinding(3, PositiveZone)};
        QTest::newRow("none") << false << QVector<ZoneBinding>() << QVector<ZoneBinding>();
    }
    void storedBindings()
    {
        QFETCH(bool, negEdited);
        QFETCH(QVector<ZoneBinding>, marks);
        QFETCH(QVector<ZoneBinding>, stored);
        QCOMPARE(bindingsToStore(marks, negEdited), stored);
    }
};

LUMARA_TEST_MAIN(TestZoneModels)
#include "tst_zonemodels.moc"
