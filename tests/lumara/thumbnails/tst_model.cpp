// The thumbnail model: the shown-row rules (at most four, never none once one is), the other
// flags and the title, one reset per change, filling without signals, and the id getters.
#include "plots/common/thumbnailmodel.h"
#include "testmain.h"
#include "thumbnailtest.h"

#include <QSignalSpy>

using ThumbnailTest::fill;
using ThumbnailTest::flags;
using ThumbnailTest::shownFlags;

namespace {

// Counts the model's announcements; every write must be exactly one reset.
struct ResetSpy {
    explicit ResetSpy(ThumbnailModel &model)
        : about(&model, &QAbstractItemModel::modelAboutToBeReset)
        , done(&model, &QAbstractItemModel::modelReset)
        , inserted(&model, &QAbstractItemModel::rowsInserted)
        , changed(&model, &QAbstractItemModel::dataChanged)
        , layout(&model, &QAbstractItemModel::layoutChanged)
    {
    }
    bool oneReset() const { return about.count() == 1 && done.count() == 1 && silentOtherwise(); }
    bool silent() const { return about.isEmpty() && done.isEmpty() && silentOtherwise(); }
    bool silentOtherwise() const { return inserted.isEmpty() && changed.isEmpty() && layout.isEmpty(); }

    QSignalSpy about, done, inserted, changed, layout;
};

} // namespace

class TestThumbnailModel : public QObject {
    Q_OBJECT
private slots:
    void setShown_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("value");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("limits");
        QTest::newRow("show with none shown") << "00000" << 2 << true << "00100" << 0;
        QTest::newRow("show a fourth") << "11100" << 4 << true << "11101" << 0;
        QTest::newRow("show a fifth") << "11110" << 4 << true << "11110" << 1;
        QTest::newRow("show a shown row with four shown") << "11110" << 1 << true << "11110" << 1;
        QTest::newRow("show a shown row with three shown") << "11100" << 1 << true << "11100" << 0;
        QTest::newRow("hide one of two") << "01010" << 3 << false << "01000" << 0;
        QTest::newRow("hide the only shown row") << "00100" << 2 << false << "00100" << 0;
        QTest::newRow("hide a hidden row beside the only one") << "00100" << 0 << false << "00100" << 0;
        QTest::newRow("hide with none shown") << "00000" << 0 << false << "00000" << 0;
        QTest::newRow("row past the end") << "11110" << 5 << true << "11110" << 0;
        QTest::newRow("no row") << "01000" << -1 << false << "01000" << 0;
    }

    void setShown()
    {
        QFETCH(QString, before);
        QFETCH(int, row);
        QFETCH(bool, value);
        QFETCH(QString, after);
        QFETCH(int, limits);
        ThumbnailModel model;
        fill(model, before);
        // An index of the right row number that the model itself would not give.
        const QModelIndex index = row >= 0 && row < model.rowCount() ? model.index(row, 0) : QModelIndex();
        ResetSpy resets(model);
        QSignalSpy limit(&model, &ThumbnailModel::channelLimitExceeded);
        QSignalSpy renamed(&model, &ThumbnailModel::updatePlotCombitionName);

        QVERIFY(model.setData(index, value, ThumbnailModel::ShownRole));
        QCOMPARE(shownFlags(model), after);
        QCOMPARE(limit.count(), limits);
        QVERIFY(renamed.isEmpty());
        QVERIFY(resets.oneReset());
    }

    // An index beyond the rows (a view's stale row after the model shrank) writes nothing.
    void setDataPastTheRows()
    {
        ThumbnailModel model;
        fill(model, QStringLiteral("0100"));
        const QModelIndex stale = model.index(3, 0);
        fill(model, QStringLiteral("01"));
        QVERIFY(model.setData(stale, true, ThumbnailModel::ShownRole));
        QVERIFY(model.setData(stale, QStringLiteral("x"), ThumbnailModel::TitleRole));
        QCOMPARE(shownFlags(model), QStringLiteral("01"));
        QVERIFY(!model.data(stale, ThumbnailModel::TitleRole).isValid());
    }

    // Each of the other flags changes alone; roles without a rule change nothing.
    void setFlag_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("hovered");
        QTest::addColumn<QString>("marked");
        QTest::newRow("first on") << int(ThumbnailModel::FirstRole) << QVariant(true) << "010" << "000" << "000";
        QTest::newRow("hovered on") << int(ThumbnailModel::HoveredRole) << QVariant(true) << "000" << "010" << "000";
        QTest::newRow("marked on") << int(ThumbnailModel::MarkedRole) << QVariant(true) << "000" << "000" << "010";
        QTest::newRow("marked from an int") << int(ThumbnailModel::MarkedRole) << QVariant(1) << "000" << "000" << "010";
        QTest::newRow("image") << int(ThumbnailModel::ImageRole) << QVariant(QImage(4, 4, QImage::Format_RGB32)) << "000"
                               << "000" << "000";
        QTest::newRow("plot id") << int(ThumbnailModel::PlotIdRole) << QVariant(99u) << "000" << "000" << "000";
        QTest::newRow("display") << int(Qt::DisplayRole) << QVariant(true) << "000" << "000" << "000";
    }

    void setFlag()
    {
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(QString, first);
        QFETCH(QString, hovered);
        QFETCH(QString, marked);
        ThumbnailModel model;
        fill(model, QStringLiteral("100"));
        ResetSpy resets(model);
        QSignalSpy renamed(&model, &ThumbnailModel::updatePlotCombitionName);

        QVERIFY(model.setData(model.index(1, 0), value, role));
        QCOMPARE(flags(model, ThumbnailModel::FirstRole), first);
        QCOMPARE(flags(model, ThumbnailModel::HoveredRole), hovered);
        QCOMPARE(flags(model, ThumbnailModel::MarkedRole), marked);
        QCOMPARE(shownFlags(model), QStringLiteral("100"));
        QCOMPARE(model.index(1, 0).data(ThumbnailModel::PlotIdRole).toUInt(), 12u);
        QVERIFY(model.index(1, 0).data(ThumbnailModel::ImageRole).value<QImage>().isNull());
        QVERIFY(renamed.isEmpty());
        QVERIFY(resets.oneReset());

        // And back off.
        if (role >= ThumbnailModel::FirstRole && role <= ThumbnailModel::MarkedRole) {
            model.setData(model.index(1, 0), false, role);
            QCOMPARE(flags(model, role), QStringLiteral("000"));
        }
    }

    void setTitle()
    {
        ThumbnailModel model;
        fill(model, QStringLiteral("100"));
        ResetSpy resets(model);
        QSignalSpy renamed(&model, &ThumbnailModel::updatePlotCombitionName);
        QSignalSpy limit(&model, &ThumbnailModel::channelLimitExceeded);

        QVERIFY(model.setData(model.index(2, 0), QStringLiteral("FAM vs HEX"), ThumbnailModel::TitleRole));
        QCOMPARE(model.index(2, 0).data(ThumbnailModel::TitleRole).toString(), QStringLiteral("FAM vs HEX"));
        QCOMPARE(model.index(1, 0).data(ThumbnailModel::TitleRole).toString(), QStringLiteral("plot 2"));
        QCOMPARE(renamed.count(), 1);
        const auto index = renamed.at(0).at(0).value<QModelIndex>();
        QCOMPARE(index.row(), 2);
        QCOMPARE(index.data(ThumbnailModel::PlotIdRole).toUInt(), 13u);
        QCOMPARE(renamed.at(0).at(1).toString(), QStringLiteral("FAM vs HEX"));
        QVERIFY(limit.isEmpty());
        QVERIFY(resets.oneReset());
    }

    // The painters read the picture as an image and the page the plot id as a number; outside
    // the rows and roles there is nothing.
    void dataByRole()
    {
        ThumbnailModel model;
        ThumbnailData row;
        row.plotId = 42;
        row.image = QImage(6, 5, QImage::Format_ARGB32);
        row.image.fill(Qt::red);
        model.appendThumbnail(row);
        model.updateModel();

        const QModelIndex index = model.index(0, 0);
        QCOMPARE(index.data(ThumbnailModel::ImageRole).value<QImage>(), row.image);
        QCOMPARE(index.data(ThumbnailModel::PlotIdRole), QVariant(42u));
        QVERIFY(!index.data(Qt::DisplayRole).isValid());
        QVERIFY(!index.data(ThumbnailModel::PlotIdRole + 1).isValid());
        QVERIFY(!model.data(QModelIndex(), ThumbnailModel::TitleRole).isValid());
        QVERIFY(model.flags(index) & Qt::ItemIsEditable);
    }

    // Pages fill row by row without signals and announce the whole once.
    void appendThenUpdate()
    {
        ThumbnailModel model;
        ResetSpy resets(model);
        for (int i = 0; i < 3; ++i)
            model.appendThumbnail(ThumbnailData());
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(resets.silent());
        model.updateModel();
        QVERIFY(resets.oneReset());
    }

    void replaceAndClear()
    {
        ThumbnailModel model;
        fill(model, QStringLiteral("1"));
        {
            ResetSpy resets(model);
            model.setThumbnails(QVector<ThumbnailData>(4));
            QCOMPARE(model.rowCount(), 4);
            QCOMPARE(shownFlags(model), QStringLiteral("0000"));
            QVERIFY(resets.oneReset());
        }
        ResetSpy resets(model);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(resets.oneReset());
    }

    void showFirst_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("resets");
        QTest::newRow("empty") << "" << "" << 0;
        QTest::newRow("none shown") << "000" << "100" << 1;
        QTest::newRow("another shown") << "001" << "101" << 1;
        QTest::newRow("first shown") << "100" << "100" << 1;
    }

    void showFirst()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, resets);
        ThumbnailModel model;
        fill(model, before);
        ResetSpy spy(model);
        model.showFirst();
        QCOMPARE(shownFlags(model), after);
        QCOMPARE(spy.about.count(), resets);
        QCOMPARE(spy.done.count(), resets);
    }

    void firstShownIndex_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("row");
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("none") << "0000" << -1;
        QTest::newRow("first") << "1001" << 0;
        QTest::newRow("middle") << "0011" << 2;
        QTest::newRow("last") << "0001" << 3;
    }

    void firstShownIndex()
    {
        QFETCH(QString, shown);
        QFETCH(int, row);
        ThumbnailModel model;
        fill(model, shown);
        const QModelIndex index = model.firstShownIndex();
        QCOMPARE(index.isValid(), row >= 0);
        if (row >= 0) {
            QCOMPARE(index.row(), row);
            QCOMPARE(index.column(), 0);
            QCOMPARE(index.model(), &model);
        }
    }

    void idGetters_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QVector<uint>>("channels");
        QTest::addColumn<QVector<uint>>("plots");
        QTest::addColumn<QVector<uint>>("deleted");
        QTest::newRow("nothing") << "00000" << "00000" << QVector<uint>() << QVector<uint>() << QVector<uint>();
        QTest::newRow("row order") << "10101" << "01001" << QVector<uint>{1, 3, 5} << QVector<uint>{11, 13, 15}
                                   << QVector<uint>{12, 15};
        QTest::newRow("shown and marked apart") << "00011" << "11000" << QVector<uint>{4, 5} << QVector<uint>{14, 15}
                                                << QVector<uint>{11, 12};
    }

    void idGetters()
    {
        QFETCH(QString, shown);
        QFETCH(QString, marked);
        QFETCH(QVector<uint>, channels);
        QFETCH(QVector<uint>, plots);
        QFETCH(QVector<uint>, deleted);
        ThumbnailModel model;
        fill(model, shown);
        for (int row = 0; row < marked.size(); ++row) {
            if (marked.at(row) == QLatin1Char('1'))
                model.setData(model.index(row, 0), true, ThumbnailModel::MarkedRole);
        }
        QCOMPARE(model.getShownChannelIds(), channels);
        QCOMPARE(model.getShownPlotIds(), plots);
        QCOMPARE(model.getDeletePlotIds(), deleted);
    }
};

LUMARA_TEST_GUI_MAIN(TestThumbnailModel)
#include "tst_model.moc"
