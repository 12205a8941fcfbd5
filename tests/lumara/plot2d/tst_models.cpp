// The list models of the plot pages' panels: the threshold rows and the population rows.
// Their QML reads roles by name, and every change must reach the views as exactly one reset.
#include "plots/common/populationmodel.h"
#include "plots/common/thresholdmodel.h"

#include "bll/bllinstance.h"
#include "seeddocument.h"
#include "testmain.h"

#include <QSignalSpy>

#include <functional>

namespace {

// Counts begin and end of model resets and any row-level signal, which the QML views must
// never get from these models.
struct ResetCounter {
    explicit ResetCounter(QAbstractItemModel *model)
        : begin(model, &QAbstractItemModel::modelAboutToBeReset),
          end(model, &QAbstractItemModel::modelReset),
          inserted(model, &QAbstractItemModel::rowsInserted),
          removed(model, &QAbstractItemModel::rowsRemoved),
          changed(model, &QAbstractItemModel::dataChanged)
    {
    }
    bool onePair() const
    {
        return begin.count() == 1 && end.count() == 1 && inserted.isEmpty() && removed.isEmpty()
            && changed.isEmpty();
    }
    QSignalSpy begin, end, inserted, removed, changed;
};

ThresholdItem item(uint channel, const QString &threshold, bool editable = true)
{
    ThresholdItem i;
    i.channelID = channel;
    i.color = QStringLiteral("#%1%1%1").arg(channel);
    i.threshold = threshold;
    i.editable = editable;
    return i;
}

// Each row as "channel:colour:threshold:editable", read through the roles as QML reads them.
QStringList thresholdRows(const ThresholdModel &model)
{
    const QHash<int, QByteArray> roles = model.roleNames();
    const int id = roles.key("ChannelID"), colour = roles.key("ChannelColor");
    const int text = roles.key("ChannelThreshold"), editable = roles.key("ThresholdEditAble");
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex i = model.index(r);
        rows << QStringLiteral("%1:%2:%3:%4")
                    .arg(model.data(i, id).toUInt())
                    .arg(model.data(i, colour).toString(), model.data(i, text).toString())
                    .arg(model.data(i, editable).toBool() ? 1 : 0);
    }
    return rows;
}

QStringList populationRows(const PopulationModel &model)
{
    const QHash<int, QByteArray> roles = model.roleNames();
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex i = model.index(r);
        rows << model.data(i, roles.key("name")).toString() + QLatin1Char('/')
                    + model.data(i, roles.key("surfaceColor")).toString();
    }
    return rows;
}

using ThresholdOp = std::function<void(ThresholdModel &)>;
using PopulationOp = std::function<void(PopulationModel &)>;

} // namespace

Q_DECLARE_METATYPE(ThresholdOp)
Q_DECLARE_METATYPE(PopulationOp)

class TestModels : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BLLInstance::createSingletons(); }
    void thresholdRoles();
    void thresholdOperations_data();
    void thresholdOperations();
    void typedThresholdOnlySignals();
    void populationRoles();
    void populationOperations_data();
    void populationOperations();
    void reloadFollowsDocument();
};

void TestModels::thresholdRoles()
{
    ThresholdModel model;
    const QHash<int, QByteArray> expected{
        {0, "ChannelID"}, {1, "ChannelColor"}, {2, "ChannelThreshold"}, {3, "ThresholdEditAble"}};
    QCOMPARE(model.roleNames(), expected);
    model.setThresholds({item(4, "1200", false)});
    QCOMPARE(model.data(model.index(0), 0), QVariant(4u));
    QCOMPARE(model.data(model.index(0), 3), QVariant(false));
    QVERIFY(!model.data(model.index(0), 4).isValid());
    QVERIFY(!model.data(model.index(0), Qt::UserRole).isValid());
    QVERIFY(!model.data(model.index(1), 0).isValid());
    QVERIFY(!model.data(QModelIndex(), 0).isValid());
}

void TestModels::thresholdOperations_data()
{
    QTest::addColumn<ThresholdOp>("op");
    QTest::addColumn<QStringList>("rows");
    // Start: channel 2 "100" editable, channel 5 "" locked, channel 2 again "300".
    QTest::newRow("setThresholds") << ThresholdOp([](ThresholdModel &m) { m.setThresholds({item(6, "7")}); })
                                   << QStringList{"6:#666:7:1"};
    QTest::newRow("setThresholds empty") << ThresholdOp([](ThresholdModel &m) { m.setThresholds({}); })
                                         << QStringList{};
    QTest::newRow("clear") << ThresholdOp([](ThresholdModel &m) { m.clear(); }) << QStringList{};
    QTest::newRow("enableEditing") << ThresholdOp([](ThresholdModel &m) { m.enableEditing(); })
                                   << QStringList{"2:#222:100:1", "5:#555::1", "2:#222:300:1"};
    QTest::newRow("disableEditing") << ThresholdOp([](ThresholdModel &m) { m.disableEditing(); })
                                    << QStringList{"2:#222:100:0", "5:#555::0", "2:#222:300:0"};
    QTest::newRow("threshold of the first row of a channel")
        << ThresholdOp([](ThresholdModel &m) { m.setChannelThreshold(2, 65535); })
        << QStringList{"2:#222:65535:1", "5:#555::0", "2:#222:300:1"};
    QTest::newRow("threshold of an empty text") << ThresholdOp([](ThresholdModel &m) { m.setChannelThreshold(5, 0); })
                                                << QStringList{"2:#222:100:1", "5:#555:0:0", "2:#222:300:1"};
    QTest::newRow("threshold of a channel without row")
        << ThresholdOp([](ThresholdModel &m) { m.setChannelThreshold(3, 9); })
        << QStringList{"2:#222:100:1", "5:#555::0", "2:#222:300:1"};
}

void TestModels::thresholdOperations()
{
    QFETCH(ThresholdOp, op);
    ThresholdModel model;
    model.setThresholds({item(2, "100"), item(5, "", false), item(2, "300")});
    ResetCounter resets(&model);
    op(model);
    QVERIFY(resets.onePair());
    QTEST(thresholdRows(model), "rows");
}

// Editing with no rows still resets once; typing only reports, the rows stay as they were.
void TestModels::typedThresholdOnlySignals()
{
    ThresholdModel empty;
    ResetCounter emptyResets(&empty);
    empty.enableEditing();
    QVERIFY(emptyResets.onePair());

    ThresholdModel model;
    model.setThresholds({item(1, "500"), item(3, "800")});
    QVERIFY(model.containsChannel(3));
    QVERIFY(!model.containsChannel(2));
    ResetCounter resets(&model);
    QSignalSpy typed(&model, &ThresholdModel::updateChannelThreshold);
    // As the panel's text field calls it.
    QVERIFY(QMetaObject::invokeMethod(&model, "setChannelThresholdValue", Q_ARG(uint, 3),
                                      Q_ARG(QString, QStringLiteral("812"))));
    QCOMPARE(typed.count(), 1);
    QCOMPARE(typed.at(0).at(0).toUInt(), 3u);
    QCOMPARE(typed.at(0).at(1).toString(), QStringLiteral("812"));
    QCOMPARE(resets.begin.count(), 0);
    QCOMPARE(thresholdRows(model), (QStringList{"1:#111:500:1", "3:#333:800:1"}));
}

void TestModels::populationRoles()
{
    PopulationModel model;
    const QHash<int, QByteArray> expected{{257, "name"}, {258, "surfaceColor"}};
    QCOMPARE(model.roleNames(), expected);
    model.addPopulation(QStringLiteral("FAM+"), QStringLiteral("#00ff00"));
    QCOMPARE(static_cast<QAbstractItemModel &>(model).columnCount(), 1);
    QCOMPARE(model.data(model.index(0), 257).toString(), QStringLiteral("FAM+"));
    QCOMPARE(model.data(model.index(0), 258).toString(), QStringLiteral("#00ff00"));
    QVERIFY(!model.data(model.index(0), Qt::DisplayRole).isValid());
    QVERIFY(!model.data(model.index(1), 257).isValid());
    QCOMPARE(model.populationName(0), QStringLiteral("FAM+"));
    // A row that is not there, as a stale index from a view would ask.
    QCOMPARE(model.populationName(1), QString());
    QCOMPARE(model.populationName(-1), QString());
}

void TestModels::populationOperations_data()
{
    QTest::addColumn<PopulationOp>("op");
    QTest::addColumn<QStringList>("rows");
    // Start: A, B, A (two rows of the same name), C.
    QTest::newRow("add") << PopulationOp([](PopulationModel &m) { m.addPopulation("D", "#d"); })
                         << QStringList{"A/#a1", "B/#b", "A/#a2", "C/#c", "D/#d"};
    QTest::newRow("remove the later of two") << PopulationOp([](PopulationModel &m) { m.removePopulation("A"); })
                                             << QStringList{"A/#a1", "B/#b", "C/#c"};
    QTest::newRow("remove the last row") << PopulationOp([](PopulationModel &m) { m.removePopulation("C"); })
                                         << QStringList{"A/#a1", "B/#b", "A/#a2"};
    QTest::newRow("remove a name not there") << PopulationOp([](PopulationModel &m) { m.removePopulation("a"); })
                                             << QStringList{"A/#a1", "B/#b", "A/#a2", "C/#c"};
    QTest::newRow("clear") << PopulationOp([](PopulationModel &m) { m.clear(); }) << QStringList{};
}

void TestModels::populationOperations()
{
    QFETCH(PopulationOp, op);
    PopulationModel model;
    for (const char *row : {"A/#a1", "B/#b", "A/#a2", "C/#c"}) {
        const QStringList parts = QString::fromLatin1(row).split(QLatin1Char('/'));
        model.addPopulation(parts.at(0), parts.at(1));
    }
    ResetCounter resets(&model);
    op(model);
    QVERIFY(resets.onePair());
    QTEST(populationRows(model), "rows");
}

// The document's populations in the document's order, whatever was in the model before.
void TestModels::reloadFollowsDocument()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells = {BllTest::well(1, QStringLiteral("A1"), {1, 2})};
    seed.mode = LumaraAnalysisData::PolygonThreshold;
    seed.plots2D = {{QStringLiteral("x_y"), {1, 2}}};
    BllTest::PopulationSeed zebra{QStringLiteral("Zebra"), QStringLiteral("#112233"), false, {}};
    BllTest::PopulationSeed apple{QStringLiteral("Apple"), QStringLiteral("#445566"), false, {}};
    BllTest::PopulationSeed mango{QStringLiteral("Mango"), QStringLiteral("#778899"), false, {}};
    seed.populations = {zebra, apple, mango};
    QVERIFY(BllTest::seedDocument(seed));

    PopulationModel model;
    model.addPopulation(QStringLiteral("Apple"), QStringLiteral("#000000"));
    model.addPopulation(QStringLiteral("Old"), QStringLiteral("#ffffff"));
    ResetCounter resets(&model);
    model.reload();
    QVERIFY(resets.onePair());
    QCOMPARE(populationRows(model), (QStringList{"Zebra/#112233", "Apple/#445566", "Mango/#778899"}));
}

LUMARA_TEST_MAIN(TestModels)
#include "tst_models.moc"
