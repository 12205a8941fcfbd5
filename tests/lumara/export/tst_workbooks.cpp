// The export's two workbooks, read back with openpyxl: the result table with its population
// blocks, fills, fonts, widths and the method sheet; the grey values of every stored droplet;
// sheet names the workbook accepts; a failed save that leaves nothing and reports once; a
// reagent-kit package's figures without a value where the pages have none.
#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "exporttest.h"
#include "pages/Export/exportjob.h"
#include "pages/Export/xlsxbook.h"
#include "pages/ViewResult/resultmodel.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <array>
#include <cmath>

using namespace ExportTest;
using LumaraAnalysisData::MethodStageInfo;
using LumaraAnalysisData::MethodStepInfo;

namespace {

MethodStepInfo step(double temperature, double rate, int hold)
{
    MethodStepInfo s;
    s.temperature = temperature;
    s.rampRate = rate;
    s.holdTime = hold;
    return s;
}

// The population colour at its alpha over white, by the blending rule, for comparison.
QString blendedOverWhite(const QString &argb)
{
    const uint v = argb.mid(1).toUInt(nullptr, 16);
    const double a = ((v >> 24) & 0xFF) / 255.0;
    QString out;
    for (int shift : {16, 8, 0}) {
        const double c = ((v >> shift) & 0xFF) / 255.0 * a + (1.0 - a);
        out += QStringLiteral("%1").arg(qRound(c * 255.0), 2, 16, QLatin1Char('0'));
    }
    return out.toUpper();
}

} // namespace

class TestWorkbooks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sheetNames_data();
    void sheetNames();
    void opaqueColour_data();
    void opaqueColour();
    void resultTable();
    void methodSheet_data();
    void methodSheet();
    void greyValues();
    void numberRows_data();
    void numberRows();
    void failedSave_data();
    void failedSave();
    void otherThreads_data();
    void otherThreads();
    void kitFiguresWithoutValue();

private:
    QJsonArray exportResultTable(QTemporaryDir &dir);
    QJsonArray m_result;
    QTemporaryDir m_resultDir;
};

void TestWorkbooks::initTestCase()
{
    QString error;
    QVERIFY2(XlsxBook::moduleAvailable(&error), qPrintable(error));
    // Two wells of one sample (a merged row), a third of another, and a well without droplets.
    QList<BllTest::WellSeed> wells = {
        ResultTest::well(1, QStringLiteral("A1"), QStringLiteral("S1"), 12, {{3, 5, 0, 0, 0, 0}}),
        ResultTest::well(2, QStringLiteral("A2"), QStringLiteral("S1"), 9, {{2, 0, 0, 0, 0, 0}}),
        ResultTest::well(3, QStringLiteral("A3"), QStringLiteral("S3"), 7, {{7, 1, 0, 0, 0, 0}}),
        ResultTest::well(4, QStringLiteral("A4"), QStringLiteral("S4"), 0, {{0, 0, 0, 0, 0, 0}}),
    };
    wells[1].excluded = {0, 4};
    wells[0].comment = QStringLiteral("first well");
    BllTest::DocumentSeed seed = ResultTest::document(wells);
    MethodStageInfo hold;
    hold.type = 0;
    hold.cycles = 1;
    hold.steps = {step(95.0, 2.5, 600)};
    MethodStageInfo cycling;
    cycling.type = 1;
    cycling.cycles = 40;
    cycling.steps = {step(94.0, 2.0, 30), step(60.125, 1.5, 60)};
    MethodStageInfo odd;
    odd.type = 7;
    odd.cycles = 3;
    odd.steps = {step(4.0, 1.0, 5), step(5.0, 1.0, 6), step(6.0, 1.0, 7)};
    seed.method.stages = {hold, cycling, odd};
    QVERIFY2(ResultTest::useKit(false, &error), qPrintable(error));
    QVERIFY2(ResultTest::load(seed, &error), qPrintable(error));
    QCOMPARE(WellListModel::instance()->getWellList().size(), 4);
    QVERIFY(!ResultModel::instance()->getMergedRows().isEmpty());

    QVERIFY(m_resultDir.isValid());
    m_result = exportResultTable(m_resultDir);
    QVERIFY(!m_result.isEmpty());
}

QJsonArray TestWorkbooks::exportResultTable(QTemporaryDir &dir)
{
    int reports = 0;
    ExportJob job(ExportSnapshot::take(dir.path()), [&reports] { ++reports; });
    if (!job.exportResultTable() || reports != 0)
        return {};
    const QStringList files = filesIn(dir.path(), QStringLiteral("*"));
    if (files.size() != 1 || !QRegularExpression(QStringLiteral("^\\d{10}_Result_Table\\.xlsx$")).match(files.first()).hasMatch()) {
        qWarning() << "unexpected files" << files;
        return {};
    }
    QString error;
    const QJsonArray book = readWorkbook(dir.filePath(files.first()), &error);
    if (book.isEmpty())
        qWarning() << error;
    return book;
}

void TestWorkbooks::sheetNames_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringList() << "A01" << 1u << "A01";
    QTest::newRow("forbidden characters") << QStringList() << "a[b]c:d*e?f/g\\h" << 1u << "a_b_c_d_e_f_g_h";
    QTest::newRow("outer apostrophes") << QStringList() << "'quoted'" << 1u << "quoted";
    QTest::newRow("inner apostrophe kept") << QStringList() << "it's" << 1u << "it's";
    QTest::newRow("empty") << QStringList() << "" << 7u << "Well 7";
    QTest::newRow("only apostrophes") << QStringList() << "''" << 8u << "Well 8";
    QTest::newRow("too long") << QStringList() << QString(40, 'x') << 1u << QString(31, 'x');
    QTest::newRow("used, other case") << QStringList{"a01"} << "A01" << 1u << "A01 (2)";
    QTest::newRow("used twice") << QStringList{"A01", "A01"} << "A01" << 1u << "A01 (3)";
    QTest::newRow("used, long") << QStringList{QString(40, 'y')} << QString(40, 'y') << 1u << QString(27, 'y') + " (2)";
}

void TestWorkbooks::sheetNames()
{
    QFETCH(QStringList, earlier);
    QFETCH(QString, name);
    QFETCH(uint, wellId);
    QFETCH(QString, expected);
    QSet<QString> used;
    for (const QString &e : earlier)
        XlsxBook::cleanSheetName(e, 1, used);
    QCOMPARE(XlsxBook::cleanSheetName(name, wellId, used), expected);

    // The workbook takes every cleaned name and the file reads back under it.
    QTemporaryDir dir;
    XlsxBook book(dir.path());
    for (const QString &e : earlier)
        QVERIFY(book.addSheet(e, 1));
    QVERIFY2(book.addSheet(name, wellId), qPrintable(book.errorText()));
    QCOMPARE(book.currentSheetName(), expected);
    QVERIFY(book.writeString(1, 1, QStringLiteral("x"), {}));
    const QString path = dir.filePath(QStringLiteral("names.xlsx"));
    QVERIFY2(book.save(path), qPrintable(book.errorText()));
    QString error;
    const QJsonArray read = readWorkbook(path, &error);
    QVERIFY2(!read.isEmpty(), qPrintable(error));
    QCOMPARE(read.last().toObject().value(QStringLiteral("name")).toString(), expected);
}

void TestWorkbooks::opaqueColour_data()
{
    QTest::addColumn<QString>("argb");
    QTest::addColumn<QString>("expected");
    QTest::newRow("light red") << "#12ff0000" << "#ffeded";
    QTest::newRow("opaque green") << "#ff00ff00" << "#00ff00";
    QTest::newRow("transparent") << "#00123456" << "#ffffff";
    QTest::newRow("half blue") << "#800000ff" << "#7f7fff";
}

void TestWorkbooks::opaqueColour()
{
    QFETCH(QString, argb);
    QFETCH(QString, expected);
    const QColor c = ExportJob::toOpaqueColor(argb);
    QCOMPARE(c.alpha(), 255);
    QCOMPARE(c.name(), expected);
}

void TestWorkbooks::resultTable()
{
    const QJsonObject table = sheet(m_result, QStringLiteral("Result_Table"));
    QVERIFY(!table.isEmpty());
    QCOMPARE(m_result.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Result_Table"));
    const QList<WellListItem> wells = WellListModel::instance()->getWellList();
    const QList<MergedResultRow> merged = ResultModel::instance()->getMergedRows();
    const int populations = wells.first().populations.size();
    QCOMPARE(populations, 2);
    QStringList colours;
    for (int p = 0; p < populations; ++p)
        colours.append(WellListModel::instance()->getPopulationBackgroundColor(p));
    QVERIFY2(colours.at(0).mid(3) != colours.at(1).mid(3), "the two populations need different colours");

    // Row 1: the population names over the fifth column of their block, in their colour.
    for (int p = 0; p < populations; ++p) {
        const QJsonObject name = cell(table, ref(1, 8 + 7 * p));
        QCOMPARE(name.value("v").toString(), WellListModel::instance()->getPopulationNameByIndex(p));
        QCOMPARE(name.value("font").toString(), colours.at(p).mid(3).toUpper());
        QVERIFY(name.value("bold").toBool());
    }
    // Row 2: 3 + 7 per population headers, black for the first three.
    const QStringList block = {"Dilution", "C(cp/ul)", "Nb Pos", "Nb Neg", "C_min(cp/ul)", "C_max(cp/ul)",
                               "Relative Uncertainly(%)"};
    QStringList headers = {"well Name", "Well Comment", "Nb Droples"};
    for (int p = 0; p < populations; ++p)
        headers += block;
    QCOMPARE(headers.size(), 17);
    const QJsonObject widths = table.value("widths").toObject();
    for (int i = 0; i < headers.size(); ++i) {
        const QJsonObject h = cell(table, ref(2, i + 1));
        QCOMPARE(h.value("v").toString(), headers.at(i));
        QVERIFY(h.value("bold").toBool());
        const QString font = h.value("font").toString();
        if (i < 3)
            QVERIFY2(font.isEmpty() || font == "000000", qPrintable(font));
        else
            QCOMPARE(font, colours.at((i - 3) / 7).mid(3).toUpper());
        // Widths carry the reader's padding of about 0.71 characters.
        const double expected = i == 0 ? -1 : (i == 1 ? 24.0 : headers.at(i).size() + 1.0);
        if (expected > 0)
            QVERIFY2(std::abs(widths.value(columnName(i + 1)).toDouble() - expected) < 1.0,
                     qPrintable(QStringLiteral("%1: %2").arg(headers.at(i)).arg(widths.value(columnName(i + 1)).toDouble())));
    }
    QVERIFY(cell(table, ref(2, 18)).isEmpty());

    // Well rows, then merged rows; every value is a text cell.
    int row = 3;
    QString lastLabel;
    auto checkRow = [&](const QString &label, const QString &comment, uint droplets,
                        const QVector<LumaraAnalysisData::PopulationResultInfo> &results, double factor) {
        QCOMPARE(cell(table, ref(row, 1)).value("v").toString(), label);
        QCOMPARE(cell(table, ref(row, 2)).value("v").toString(), comment);
        QCOMPARE(cell(table, ref(row, 3)).value("v").toString(), QString::number(droplets));
        QCOMPARE(cell(table, ref(row, 1)).value("fill").toString(), QStringLiteral("FFFFFF"));
        // A figure without a value (no droplets, all positive, none positive) reads "N/A".
        const auto figure = [](double v) {
            return std::isfinite(v) ? QString::number(v, 'f', 2) : QStringLiteral("N/A");
        };
        for (int q = 0; q < results.size(); ++q) {
            const auto &r = results.at(q);
            const QStringList values = {QStringLiteral("%1").arg(r.dilution), figure(r.concentration),
                                        QString::number(r.posDrpltNum), QString::number(r.negDrpltNum),
                                        figure(r.concentrationLower), figure(r.concentrationUpper),
                                        figure(r.uncertainty * factor)};
            for (int k = 0; k < 7; ++k) {
                const QJsonObject c = cell(table, ref(row, 4 + 7 * q + k));
                QCOMPARE(c.value("v").toString(), values.at(k));
                QCOMPARE(c.value("t").toString(), QStringLiteral("s"));
                QCOMPARE(c.value("fill").toString(), blendedOverWhite(colours.at(q)));
            }
        }
        lastLabel = label;
        ++row;
    };
    for (const WellListItem &w : wells)
        checkRow(QStringLiteral("%1. %2").arg(w.wellId).arg(w.wellName), w.comment, w.effDropletSum, w.populations, 100.0);
    for (const MergedResultRow &m : merged)
        checkRow(QStringLiteral("%1. %2").arg(m.id).arg(m.name), QString(), m.effDropletSum, m.populations, 1.0);
    QCOMPARE(table.value("maxRow").toInt(), row - 1);
    // Well 3's first target is positive in all 7 droplets: an infinite concentration with
    // infinite bounds and no uncertainty; its second, 1 of 7, has figures; no cell reads as a
    // number that is none.
    for (int k : {1, 4, 5, 6})
        QCOMPARE(cell(table, ref(5, 4 + k)).value("v").toString(), QStringLiteral("N/A"));
    QVERIFY(std::isfinite(wells.at(2).populations.at(1).concentration));
    QCOMPARE(cell(table, ref(5, 12)).value("v").toString(),
             QString::number(wells.at(2).populations.at(1).concentration, 'f', 2));
    for (const QJsonValue &c : table.value("cells").toObject()) {
        const QString v = c.toObject().value("v").toString();
        QVERIFY2(!v.contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
                     !v.contains(QLatin1String("inf"), Qt::CaseInsensitive),
                 qPrintable(v));
    }
    QVERIFY(std::abs(widths.value("A").toDouble() - (lastLabel.size() + 1)) < 1.0);
    // An excluded droplet is not counted.
    QCOMPARE(cell(table, "C4").value("v").toString(), QString::number(9 - 2));
}

void TestWorkbooks::methodSheet_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<QStringList>("temperatures");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("holds");
    QTest::addColumn<QStringList>("rates");
    QTest::addColumn<int>("cycles");
    QTest::newRow("one step: single cells") << 2 << QStringList{"95.00"} << "StageHold" << QList<int>{600}
                                            << QStringList{"2.50"} << 1;
    QTest::newRow("two steps: merged") << 3 << QStringList{"94.00", "60.13"} << "StageCycling" << QList<int>{30, 60}
                                       << QStringList{"2.00", "1.50"} << 40;
    QTest::newRow("unknown type: empty name") << 5 << QStringList{"4.00", "5.00", "6.00"} << "" << QList<int>{5, 6, 7}
                                              << QStringList{"1.00", "1.00", "1.00"} << 3;
}

void TestWorkbooks::methodSheet()
{
    QFETCH(int, firstRow);
    QFETCH(QStringList, temperatures);
    QFETCH(QString, type);
    QFETCH(QList<int>, holds);
    QFETCH(QStringList, rates);
    QFETCH(int, cycles);
    const QJsonObject method = sheet(m_result, QStringLiteral("MethInfo"));
    QVERIFY(!method.isEmpty());
    const QStringList headers = {"Temperature(℃)", "Stage Type", "Keep Temperature Time(s)", "Temperature Rate(℃/s)", "Cycles"};
    for (int i = 0; i < headers.size(); ++i) {
        QCOMPARE(cell(method, ref(1, i + 1)).value("v").toString(), headers.at(i));
        QVERIFY(cell(method, ref(1, i + 1)).value("bold").toBool());
        QVERIFY(std::abs(method.value("widths").toObject().value(columnName(i + 1)).toDouble() - (headers.at(i).size() + 1)) < 1.0);
    }
    const int steps = temperatures.size();
    for (int s = 0; s < steps; ++s) {
        const int row = firstRow + s;
        QCOMPARE(cell(method, ref(row, 1)).value("v").toString(), temperatures.at(s));
        QCOMPARE(cell(method, ref(row, 1)).value("t").toString(), QStringLiteral("s"));
        QCOMPARE(cell(method, ref(row, 3)).value("v").toString().toDouble(), double(holds.at(s)));
        QCOMPARE(cell(method, ref(row, 3)).value("t").toString(), QStringLiteral("n"));
        QCOMPARE(cell(method, ref(row, 4)).value("v").toString(), rates.at(s));
    }
    // The type and the cycles stand in the stage's first row, a number cell.
    QCOMPARE(cell(method, ref(firstRow, 2)).value("v").toString(), type);
    QCOMPARE(cell(method, ref(firstRow, 5)).value("v").toString().toDouble(), double(cycles));
    QCOMPARE(cell(method, ref(firstRow, 5)).value("t").toString(), QStringLiteral("n"));
    QStringList merges;
    for (const QJsonValue &m : method.value("merges").toArray())
        merges.append(m.toString());
    const QString typeRange = QStringLiteral("B%1:B%2").arg(firstRow).arg(firstRow + steps - 1);
    const QString cycleRange = QStringLiteral("E%1:E%2").arg(firstRow).arg(firstRow + steps - 1);
    QCOMPARE(merges.contains(typeRange), steps > 1);
    QCOMPARE(merges.contains(cycleRange), steps > 1);
}

void TestWorkbooks::greyValues()
{
    QTemporaryDir dir;
    int reports = 0;
    ExportJob job(ExportSnapshot::take(dir.path()), [&reports] { ++reports; });
    QVERIFY(job.exportGrayValueTable());
    QCOMPARE(reports, 0);
    const QStringList files = filesIn(dir.path(), QStringLiteral("*"));
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{10}_GrayValue_Table\\.xlsx$")).match(files.first()).hasMatch(),
             qPrintable(files.first()));
    QString error;
    const QJsonArray book = readWorkbook(dir.filePath(files.first()), &error);
    QVERIFY2(!book.isEmpty(), qPrintable(error));
    BLLInstance *bll = BLLInstance::getInstance();
    const QList<WellListItem> wells = WellListModel::instance()->getWellList();
    QCOMPARE(book.size(), wells.size());
    for (int w = 0; w < wells.size(); ++w) {
        const QJsonObject s = book.at(w).toObject();
        QCOMPARE(s.value("name").toString(), wells.at(w).wellName);
        // Targets 1 and 2 and the reference channel 3, as the seed gives every well.
        const QList<uint> channels = {1, 2, 3};
        QStringList headers;
        for (uint c : channels) {
            const QString dye = bll->getFluorophoreName(c);
            headers.append(QStringLiteral("Chan%1_%2").arg(c).arg(dye.isEmpty() ? QStringLiteral("ref") : dye));
        }
        headers << "x-coordinate_in_pixel" << "y-coordinate_in_pixel";
        for (int i = 0; i < headers.size(); ++i) {
            QCOMPARE(cell(s, ref(1, i + 1)).value("v").toString(), headers.at(i));
            QVERIFY(std::abs(s.value("widths").toObject().value(columnName(i + 1)).toDouble() - 20.0) < 1.0);
        }
        QVERIFY(cell(s, ref(1, headers.size() + 1)).isEmpty());
        const auto &droplets = bll->getDropletExclude()->getImgAnalysisInfo(wells.at(w).wellId).droplets;
        // Every stored droplet, excluded ones included; a well without droplets: the header only.
        QCOMPARE(s.value("maxRow").toInt(), droplets.size() + 1);
        for (int ci = 0; ci < channels.size(); ++ci) {
            const QVector<uint> values = bll->getAllDropletGrayValues(wells.at(w).wellId, channels.at(ci));
            QCOMPARE(values.size(), droplets.size());
            for (int d = 0; d < droplets.size(); ++d) {
                const QJsonObject c = cell(s, ref(d + 2, ci + 1));
                QCOMPARE(c.value("t").toString(), QStringLiteral("n"));
                QCOMPARE(c.value("v").toString().toDouble(), double(values.at(d)));
            }
        }
        for (int d = 0; d < droplets.size(); ++d) {
            QCOMPARE(cell(s, ref(d + 2, 4)).value("v").toString().toDouble(), double(droplets.at(d).x));
            QCOMPARE(cell(s, ref(d + 2, 5)).value("v").toString().toDouble(), double(droplets.at(d).y));
        }
    }
    // The excluded droplets of the second well are in its sheet: its value list is complete.
    QCOMPARE(book.at(1).toObject().value("maxRow").toInt(), 9 + 1);
}

void TestWorkbooks::numberRows_data()
{
    QTest::addColumn<bool>("constantMemory");
    QTest::addColumn<QList<int>>("rows"); // written in this order
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("ok");
    QTest::newRow("rows in order") << true << QList<int>{2, 3, 4} << 1 << 5 << true;
    QTest::newRow("from a later column") << false << QList<int>{2, 5} << 4 << 3 << true;
    QTest::newRow("nothing to write") << true << QList<int>{2} << 1 << 0 << true;
    // Constant-memory mode has flushed row 3 once row 4 is begun.
    QTest::newRow("a row back, constant memory") << true << QList<int>{2, 4, 3} << 1 << 3 << false;
    QTest::newRow("a row back, in memory") << false << QList<int>{2, 4, 3} << 1 << 3 << true;
    // The last column of a sheet is 16384: a row running past it is refused.
    QTest::newRow("past the last column") << false << QList<int>{2} << 16383 << 3 << false;
}

void TestWorkbooks::numberRows()
{
    QFETCH(bool, constantMemory);
    QFETCH(QList<int>, rows);
    QFETCH(int, column);
    QFETCH(int, count);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    XlsxBook book(dir.path(), constantMemory);
    QVERIFY(book.addSheet(QStringLiteral("Rows")));
    XlsxBook::Style style;
    style.bold = true;
    QVERIFY(book.writeString(1, 1, QStringLiteral("head"), style));
    bool written = true;
    for (int r : rows) {
        QVector<double> values;
        for (int i = 0; i < count; ++i)
            values.append(r * 100 + i + 0.25);
        written = book.writeNumbers(r, column, values.constData(), values.size(), style) && written;
    }
    QCOMPARE(written, ok);
    const QString path = dir.filePath(QStringLiteral("rows.xlsx"));
    // A refused cell fails the save: a workbook with holes is never handed over as done.
    QCOMPARE(book.save(path), ok);
    QCOMPARE(QFile::exists(path), ok);
    if (!ok) {
        QVERIFY(!book.errorText().isEmpty());
        return;
    }
    QString error;
    const QJsonArray read = readWorkbook(path, &error);
    QVERIFY2(!read.isEmpty(), qPrintable(error));
    const QJsonObject s = read.first().toObject();
    QCOMPARE(s.value("maxRow").toInt(), count ? std::max(1, *std::max_element(rows.cbegin(), rows.cend())) : 1);
    for (int r : rows) {
        for (int i = 0; i < count; ++i) {
            const QJsonObject c = cell(s, ref(r, column + i));
            QCOMPARE(c.value("t").toString(), QStringLiteral("n"));
            QCOMPARE(c.value("v").toString().toDouble(), r * 100 + i + 0.25);
            QVERIFY(c.value("bold").toBool());
        }
        QVERIFY(cell(s, ref(r, column + count)).isEmpty());
        if (column > 1)
            QVERIFY(cell(s, ref(r, column - 1)).isEmpty());
    }
}

void TestWorkbooks::failedSave_data()
{
    QTest::addColumn<bool>("resultTable");
    QTest::newRow("result workbook") << true;
    QTest::newRow("grey-value workbook") << false;
}

void TestWorkbooks::failedSave()
{
    QFETCH(bool, resultTable);
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing/export"));
    int reports = 0;
    ExportJob job(ExportSnapshot::take(missing), [&reports] { ++reports; });
    QVERIFY(!(resultTable ? job.exportResultTable() : job.exportGrayValueTable()));
    QCOMPARE(reports, 1);
    // Nothing is left behind, neither the book nor a temporary file.
    QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QVERIFY2(!it.hasNext(), qPrintable(it.hasNext() ? it.next() : QString()));
}

void TestWorkbooks::otherThreads_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("one new thread") << 1;
    QTest::newRow("four threads at once") << 4;
}

void TestWorkbooks::otherThreads()
{
    // The module was loaded on this thread; the export writes from pool threads.
    QFETCH(int, threads);
    QTemporaryDir dir;
    QVector<QThread *> workers;
    QVector<int> results(threads, -1);
    for (int t = 0; t < threads; ++t) {
        workers.append(QThread::create([&dir, &results, t] {
            XlsxBook book(dir.path(), t % 2 == 1);
            bool ok = book.addSheet(QStringLiteral("Well's [%1]").arg(t));
            for (int r = 1; r <= 200; ++r)
                ok = book.writeNumber(r, 1, r * 0.5, {}) && book.writeString(r, 2, QStringLiteral("v%1").arg(r), {}) && ok;
            ok = book.save(dir.filePath(QStringLiteral("t%1.xlsx").arg(t))) && ok;
            results[t] = ok ? 1 : 0;
        }));
        workers.last()->start();
    }
    for (QThread *w : workers) {
        QVERIFY(w->wait(60000));
        delete w;
    }
    for (int t = 0; t < threads; ++t) {
        QCOMPARE(results.at(t), 1);
        QString error;
        const QJsonArray book = readWorkbook(dir.filePath(QStringLiteral("t%1.xlsx").arg(t)), &error);
        QVERIFY2(!book.isEmpty(), qPrintable(error));
        const QJsonObject s = book.first().toObject();
        QCOMPARE(s.value("name").toString(), QStringLiteral("Well's _%1_").arg(t));
        QCOMPARE(s.value("maxRow").toInt(), 200);
        QCOMPARE(cell(s, "A200").value("v").toString().toDouble(), 100.0);
        QCOMPARE(cell(s, "B7").value("v").toString(), QStringLiteral("v7"));
    }
}

// A reagent-kit package whose rows reach the edges: a target without positives in sample S1,
// a merged row one droplet short of saturation in S2 (a well of it all positive), one at 50 %
// in S3. The workbook reads "N/A" exactly where the result pages do, and the ratio table's
// concentrations and bounds as it shows them. Last: it leaves a kit package open.
void TestWorkbooks::kitFiguresWithoutValue()
{
    const std::array<int, 6> first{{50, 50, 100, 99, 40, 60}};
    const std::array<int, 6> second{{0, 0, 3, 3, 1, 1}};
    QList<BllTest::WellSeed> wells;
    for (int i = 0; i < 6; ++i)
        wells.append(ResultTest::well(uint(i + 1), QStringLiteral("A%1").arg(i + 1), QStringLiteral("S%1").arg(i / 2 + 1),
                                      100, {{first[i], second[i], 0, 0, 0, 0}}));
    QString error;
    QVERIFY2(ResultTest::useKit(true, &error), qPrintable(error));
    QVERIFY2(ResultTest::load(ResultTest::document(wells), &error), qPrintable(error));
    ResultModel *rows = ResultModel::instance();
    WellListModel::instance()->setModelType(2);
    rows->setViewMode(0);
    rows->setListMode(0);
    QCOMPARE(rows->getMergedRows().size(), 3);
    QTemporaryDir dir;
    const QJsonObject table = sheet(exportResultTable(dir), QStringLiteral("Result_Table"));
    QVERIFY(!table.isEmpty());

    // Table rows 1 to 6 are the wells, then the merged rows; the workbook's start at row 3.
    const int wellRows = WellListModel::instance()->rowCount();
    const auto text = [&](int tableRow, int column, int role) {
        return rows->data(rows->index(tableRow, column), role).toString();
    };
    const auto book = [&](int tableRow, int column) {
        const int bookRow = tableRow < wellRows ? tableRow + 2 : tableRow - wellRows + 3 + 6;
        return cell(table, ref(bookRow, column)).value("v").toString();
    };
    const QString none = QStringLiteral("N/A");
    int shownNone = 0;
    for (int row = 1; row < wellRows + 3; ++row) {
        // Concentration, lower, upper and uncertainty of both targets, by the pages' roles.
        const QList<QPair<int, int>> figures = {{1, WellListModel::ConcentrationRole},
                                                {4, WellListModel::MinConcentrationRole},
                                                {5, WellListModel::MaxConcentrationRole},
                                                {6, WellListModel::RelativeUncertainlyRole}};
        QStringList kitFigures;
        for (int q : {0, 1}) {
            for (const auto &f : figures) {
                const QString shown = text(row, 3 + 7 * q + f.first, f.second);
                const QString written = book(row, 4 + 7 * q + f.first);
                QVERIFY2((shown == none) == (written == none),
                         qPrintable(QStringLiteral("row %1, column %2: %3 / %4").arg(row).arg(f.first).arg(shown, written)));
                shownNone += shown == none ? 1 : 0;
                if (f.first != 6)
                    kitFigures.append(written);
            }
        }
        // The ratio table: "C  [ C_min, C_max ]" of both targets, as written.
        QCOMPARE(text(row, 0, ResultModel::BCABLConcentartionsRole),
                 QStringLiteral("%1  [ %2, %3 ]\n\n%4  [ %5, %6 ]")
                     .arg(kitFigures[0], kitFigures[1], kitFigures[2], kitFigures[3], kitFigures[4], kitFigures[5]));
    }
    QVERIFY(shownNone > 0);
    // Independently: S1 merged has no positives of its second target, S2 merged is one droplet
    // short of saturation, S3 merged is at 50 %: 100 (upper - lower) / (2 C) of 100 of 200.
    QCOMPARE(book(wellRows, 4 + 7 + 6), none);
    QCOMPARE(book(wellRows + 1, 4 + 5), none);
    QCOMPARE(book(wellRows + 1, 4 + 6), none);
    QCOMPARE(book(wellRows + 2, 4 + 6), QStringLiteral("20.12"));
    // The ratio over a target without positives has no value on the page; the workbook holds
    // no ratio, only that target's figures.
    QCOMPARE(text(1, 0, ResultModel::BCABLRatioRole), none);
    QCOMPARE(book(1, 4 + 7 + 1), QStringLiteral("0.00"));
}

LUMARA_TEST_GUI_MAIN(TestWorkbooks)
#include "tst_workbooks.moc"
