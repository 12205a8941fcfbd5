// The "run.pcr" entry: the common writer, the saved-package reader in its three body versions
// (bodies written independently by the package writer), the droplet images of the embedded
// sources, and damaged entries.
#include "io/analysisdatafileparser2.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/customizedplotmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "pkgwriter.h"
#include "savedpcr.h"
#include "testmain.h"

#include <QBuffer>
#include <QImage>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstring>

using namespace LumaraAnalysisData;
using namespace PkgWriter;

namespace {

// ---- A populated document, as the package writer stores it ----------------------------------

SavedDroplet droplet(quint32 seed)
{
    SavedDroplet d;
    d.first = seed;
    d.second = seed * 3 + 1;
    d.third = seed % 7 + 2;
    for (quint32 c = 0; c < 6; ++c) {
        d.listA << seed * 10 + c;
        d.listB << 1000 + seed + c;
        d.grayPairs << qMakePair(5000 + seed * 6 + c, 4000 + seed * 6 + c);
        d.grays << 5000 + seed * 6 + c;
    }
    return d;
}

SavedChanInfo chanInfo(int seed)
{
    SavedChanInfo c;
    for (int i = 0; i < 6; ++i)
        c.quality[i] = seed + 0.125 * (i + 1);
    c.lineThld = quint32(9000 + seed);
    c.compensatedLineThld = quint32(7000 + seed);
    return c;
}

QStringList names(const QString &pattern, int n)
{
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << pattern.arg(i);
    return out;
}

// Three wells of two sources: one name list, two lists, none.
SavedPcrBody populatedBody(qint32 mode)
{
    SavedPcrBody b;
    b.mode = mode;
    b.wells = {{11, 3, {names("capture/w11_c%1.png", 6)}, 2},
               {12, 1, {names("capture/w12_top%1.png", 6), names("capture/w12_bot%1.png", 6)}, 5},
               {13, 6, {}, 2}};
    b.experiments = {{2, "runA.imrs", {11, 13}}, {5, "runB.2024.imrs", {12}}};
    const QList<QList<quint32>> excluded = {{0, 2}, {1}, {}};
    for (int i = 0; i < 3; ++i) {
        SavedImageRecord r;
        r.wellId = b.wells[i].wellId;
        r.valid = i != 1;
        r.sharpness = 1500.25 + 100 * i;
        r.counter = quint32(3 + i);
        r.roxChannel = quint32(4 - i);
        r.roxValue = 0.5 + i;
        for (int k = 0; k < (i == 2 ? 0 : 3 - i); ++k)
            r.droplets << droplet(quint32(100 * i + k));
        r.excluded = excluded[i];
        for (int c = 0; c < 6; ++c)
            r.chanInfos << chanInfo(10 * i + c);
        b.images << r;
    }
    b.plots2D = {{1, "FAM/VIC", 1, 2}, {4, QString::fromUtf8("Zielgröße ÄÖ"), 3, 6}};
    b.plots3D = {{2, "Cube", 1, 2, 5}};
    if (mode == 0)
        b.zones = {{0, 0, {}}, {1, 1, {1}}, {2, 2, {2}}, {3, 3, {1, 2}}};
    else
        b.zones = {{7, 1, {1}}, {9, 4, {1, 2}}};
    b.populations = {{1, "Blue Channel", "#0024d9", false, {{1, 0}, {3, 0}}},
                     {2, "Cyan Channel", "#009ada", true, {{2, 1}, {3, 7}}}};
    for (const SavedWell &w : qAsConst(b.wells)) {
        SavedLineWell line;
        line.wellId = w.wellId;
        for (quint32 c = 1; c <= 6; ++c)
            line.thresholds << qMakePair(c, 1000 * c + w.wellId);
        for (quint32 z = 0; z < 4; ++z)
            line.zoneCounts << qMakePair(z, 100 * z + w.wellId);
        b.lineWells << line;

        SavedPolygonWell poly;
        poly.wellId = w.wellId;
        poly.polygons << qMakePair(quint32(7), QList<QPair<double, double>>{
                                                   {1000.5 + w.wellId, 2000.25},
                                                   {3000.0, 2000.25 + w.wellId},
                                                   {1500.75, 4000.0}});
        poly.polygons << qMakePair(quint32(9), QList<QPair<double, double>>{});
        poly.zoneCounts = {{7, 40 + w.wellId}, {9, 50}};
        b.polygonWells << poly;

        SavedWellResult r;
        r.wellId = w.wellId;
        r.effDrpltNum = 20000 - w.wellId;
        const quint16 types[6] = {0, 1, 2, 65535, 300, 7};
        for (quint32 c = 1; c <= 6; ++c)
            r.chans << SavedChanResult{c, types[c - 1], 12.5 * c, 1.0 + 0.5 * c};
        r.populations << SavedPopulationResult{1, 400 + w.wellId, 19000, 21.5, 20.1, 22.9, 0.031};
        r.populations << SavedPopulationResult{2, 7, 19393, 0.25, 0.0625, 0.5, 0.75};
        b.results << r;
    }
    return b;
}

// ---- The same document as records ----------------------------------------------------------

struct Doc {
    ThresholdMode mode = LineThreshold;
    AnalysisExpGlobalInfo experiments;
    QList<WellImageAnalysisInfo> images;
    CustomizedPlotGlobalInfo plots;
    ClassifyGlobalInfo classification;
    QList<WellClassifyInfoByLine> lineWells;
    QList<WellClassifyInfoByPolygon> polygonWells;
    QList<WellResultInfo> results;
};

template <typename T>
QVector<T> vec(const QList<T> &l)
{
    return QVector<T>(l.cbegin(), l.cend());
}

struct DocOptions {
    bool flat = false;             // one name list per well
    bool shortRecords = false;     // no reference-dye channel
    bool bothWellLists = false;    // the document holds the other mode's list too
    double populationDilution = 1.0;
};

Doc toDoc(const SavedPcrBody &b, const DocOptions &o)
{
    Doc d;
    d.mode = ThresholdMode(b.mode);
    for (const SavedWell &w : b.wells) {
        WellItemInfo r;
        r.wellId = w.wellId;
        r.refChanId = w.refChanId;
        if (o.flat)
            r.imageNames = {vec(w.imageNames.value(0))};
        else
            for (const QStringList &l : w.imageNames)
                r.imageNames << vec(l);
        r.expId = w.expId;
        d.experiments.wells << r;
    }
    for (const SavedExperiment &e : b.experiments)
        d.experiments.experiments << ExpItemInfo{e.id, e.fileName, e.wellIds};
    for (const SavedImageRecord &s : b.images) {
        WellImageAnalysisInfo r;
        r.wellId = s.wellId;
        r.valid = s.valid;
        r.sharpness = s.sharpness;
        r.saturatedDrpltNum = s.counter;
        r.roxChannel = o.shortRecords ? 0 : s.roxChannel;
        r.roxValue = s.roxValue;
        for (const SavedDroplet &sd : s.droplets) {
            DrpltInfo dr;
            dr.x = sd.first;
            dr.y = sd.second;
            dr.size = sd.third;
            dr.flags = vec(sd.listA);
            dr.values = vec(sd.listB);
            dr.grayPairs = vec(sd.grayPairs);
            dr.grays = vec(sd.grays);
            r.droplets << dr;
        }
        r.excludedDrplts = QSet<quint32>(s.excluded.cbegin(), s.excluded.cend());
        r.chanInfos.clear();
        for (const SavedChanInfo &c : s.chanInfos)
            r.chanInfos << ChanAnalysisInfo{c.quality[0], c.quality[1], c.quality[2], c.quality[3],
                                            c.quality[4], c.quality[5], c.lineThld,
                                            c.compensatedLineThld};
        d.images << r;
    }
    for (const SavedPlot2D &p : b.plots2D)
        d.plots.plots2D << Customized2DPlotInfo{p.id, p.name, p.x, p.y};
    for (const SavedPlot3D &p : b.plots3D)
        d.plots.plots3D << Customized3DPlotInfo{p.id, p.name, p.x, p.y, p.z};
    for (const SavedZone &z : b.zones)
        d.classification.zones << DrpltZoneInfo{z.id, z.code, z.populations};
    for (const SavedPopulation &p : b.populations) {
        PopulationsInfo r{p.id, p.name, p.color, p.negEdited, {}};
        for (const auto &z : p.zones)
            r.zones << qMakePair(z.first, ZoneType(z.second));
        d.classification.populations << r;
    }
    if (b.mode == 0 || o.bothWellLists)
        for (const SavedLineWell &w : b.lineWells) {
            WellClassifyInfoByLine r;
            r.wellId = w.wellId;
            for (const auto &t : w.thresholds)
                r.thlds << LineThresholdInfo{t.first, t.second};
            for (const auto &z : w.zoneCounts)
                r.zoneDrpltNums << ZoneDrpltNumInfo{z.first, z.second};
            d.lineWells << r;
        }
    if (b.mode != 0 || o.bothWellLists)
        for (const SavedPolygonWell &w : b.polygonWells) {
            WellClassifyInfoByPolygon r;
            r.wellId = w.wellId;
            for (const auto &p : w.polygons) {
                QPolygonF poly;
                for (const auto &pt : p.second)
                    poly << QPointF(pt.first, pt.second);
                r.thlds << PolygonThresholdInfo{p.first, poly};
            }
            for (const auto &z : w.zoneCounts)
                r.zoneDrpltNums << ZoneDrpltNumInfo{z.first, z.second};
            d.polygonWells << r;
        }
    for (const SavedWellResult &s : b.results) {
        WellResultInfo r;
        r.wellId = s.wellId;
        r.effDrpltNum = s.effDrpltNum;
        r.chanResults.clear();
        for (const SavedChanResult &c : s.chans)
            r.chanResults << ChanResultInfo{c.chanId, c.chanType, c.refConcentration, c.dilution};
        for (const SavedPopulationResult &p : s.populations)
            r.populationResults << PopulationResultInfo{p.populationId, o.populationDilution, p.pos, p.neg,
                                                        p.concentration, p.lower, p.upper,
                                                        p.uncertainty};
        d.results << r;
    }
    return d;
}

void fill(AnalysisDataMgr &mgr, const Doc &d)
{
    mgr.setThldType(d.mode);
    mgr.getAnalysisExpMgr()->setAnalysisExpGlobalInfo(d.experiments);
    mgr.getDrpltImgInfoMgr()->setWellImgAnalysisInfos(d.images);
    mgr.getCustomizedPlotMgr()->setCustomizedPlotGlobalInfo(d.plots);
    mgr.getDrpltClassifyMgr()->setClassifyGlobalInfo(d.classification);
    mgr.getDrpltClassifyMgr()->setClassifyInfoOfWellsByLine(d.lineWells);
    mgr.getDrpltClassifyMgr()->setClassifyInfoOfWellsByPolygon(d.polygonWells);
    mgr.getAnalysisRetMgr()->setWellResults(d.results);
}

Doc snapshot(AnalysisDataMgr &mgr)
{
    Doc d;
    d.mode = mgr.getThldType();
    d.experiments = mgr.getAnalysisExpMgr()->getAnalysisExpGlobalInfo();
    d.images = mgr.getDrpltImgInfoMgr()->getWellImgAnalysisInfos();
    d.plots = mgr.getCustomizedPlotMgr()->getCustomizedPlotGlobalInfo();
    d.classification = mgr.getDrpltClassifyMgr()->getClassifyGlobalInfo();
    d.lineWells = mgr.getDrpltClassifyMgr()->getClassifyInfosOfWellsByLine();
    d.polygonWells = mgr.getDrpltClassifyMgr()->getClassifyInfosOfWellsByPolygon();
    d.results = mgr.getAnalysisRetMgr()->getWellResults();
    return d;
}

// The first field in which two documents differ; empty when they agree.
QString difference(const Doc &a, const Doc &b)
{
    if (a.mode != b.mode)
        return "mode";
    if (!(a.experiments.wells == b.experiments.wells))
        return "wells";
    if (!(a.experiments.experiments == b.experiments.experiments))
        return "experiments";
    if (!(a.images == b.images))
        return "image-analysis records";
    if (!(a.plots == b.plots))
        return "plots";
    if (!(a.classification == b.classification))
        return "zones and populations";
    if (!(a.lineWells == b.lineWells))
        return "line wells";
    if (!(a.polygonWells == b.polygonWells))
        return "polygon wells";
    if (!(a.results == b.results))
        return "results";
    return QString();
}

// ---- Packages ------------------------------------------------------------------------------

QImage greyImage(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.scanLine(y)[x] = uchar((x * 3 + y * 17 + seed * 29) & 0xff);
    return img;
}

QByteArray png(const QImage &img)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return out;
}

QByteArray entryOf(AnalysisFileParser &parser)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    if (!parser.write(&buf))
        return QByteArray();
    return out;
}

// A package holding a password entry (when `password` is set), the given entries and run.pcr.
bool makePackage(const QString &path, const QString &password, const QByteArray &runPcr,
                 const QList<QPair<QString, QByteArray>> &entries = {})
{
    if (!password.isEmpty() && !addEntry(path, "password", passwordEntry(password)))
        return false;
    for (const auto &e : entries)
        if (!addEntry(path, e.first, e.second, password))
            return false;
    return addEntry(path, "run.pcr", runPcr, password);
}

bool readPackage(const QString &path, AnalysisDataMgr *mgr, qint32 *version = nullptr)
{
    AnalysisDataMgr *slot = mgr;
    AnalysisDataFileParser2 parser(path, &slot);
    const bool ok = parser.parse();
    if (version)
        *version = parser.version();
    return ok;
}

bool sameGrey(const QImage &actual, const QImage &expected)
{
    if (actual.isNull() || expected.isNull() || actual.size() != expected.size())
        return false;
    const QImage a = actual.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < a.height(); ++y)
        if (memcmp(a.constScanLine(y), expected.constScanLine(y), size_t(a.width())) != 0)
            return false;
    return true;
}

// What one image of a well should be: nothing, one stored image, or two stacked.
struct Expect {
    QString top;
    QString bottom;
};
const Expect Null{};

} // namespace

class TestAnalysisDataFile : public QObject {
    Q_OBJECT

private slots:
    void emptyDocument_data();
    void emptyDocument();
    void writtenLayout_data();
    void writtenLayout();
    void roundTrip_data();
    void roundTrip();
    void craftedBodies_data();
    void craftedBodies();
    void refusedBodies_data();
    void refusedBodies();
    void images_data();
    void images();
    void imagesWithoutArchive();
    void truncation_data();
    void truncation();

private:
    QString newPath() { return m_dir.filePath(QString("p%1.arlx").arg(++m_count)); }
    QTemporaryDir m_dir;
    int m_count = 0;
};

// ---- Writer --------------------------------------------------------------------------------

void TestAnalysisDataFile::emptyDocument_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("written");
    QTest::newRow("line, stored 0") << 0 << 0 << 2;
    QTest::newRow("line, stored 1") << 0 << 1 << 1;
    QTest::newRow("line, stored 2") << 0 << 2 << 2;
    QTest::newRow("polygon, stored 0") << 1 << 0 << 2;
    QTest::newRow("line, stored 7") << 0 << 7 << 2;
}

void TestAnalysisDataFile::emptyDocument()
{
    QFETCH(int, mode);
    QFETCH(int, stored);
    QFETCH(int, written);
    AnalysisDataMgr mgr;
    mgr.setThldType(ThresholdMode(mode));
    AnalysisDataMgr *slot = &mgr;
    AnalysisDataFileParser writer(newPath(), &slot);
    writer.setVersion(stored);
    const QByteArray bytes = entryOf(writer);
    // Header 28 (type, version, three null strings, time) + mode 4 + nine empty counts 36:
    // wells, experiments, image records, 2D plots, 3D plots, zones, populations, per-well
    // thresholds, results.
    QCOMPARE(bytes.size(), 68);
    QDataStream ds(bytes);
    qint32 type = 0, version = 0;
    quint32 s1 = 0, s2 = 0, s3 = 0;
    qint64 time = 0;
    ds >> type >> version >> s1 >> s2 >> s3 >> time;
    QCOMPARE(type, 2);
    QCOMPARE(version, written);
    QCOMPARE(s1 & s2 & s3, 0xffffffffu);
    qint32 storedMode = -1;
    ds >> storedMode;
    QCOMPARE(storedMode, mode);
    for (int i = 0; i < 9; ++i) {
        quint32 count = 1;
        ds >> count;
        QCOMPARE(count, 0u);
    }
    QVERIFY(ds.atEnd());
    QCOMPARE(writer.version(), stored); // the kept number itself is not changed

    // It reads back as an empty document of that mode.
    QByteArray copy = bytes;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    AnalysisDataMgr read;
    read.setThldType(ThresholdMode(1 - mode));
    AnalysisDataMgr *readSlot = &read;
    AnalysisDataFileParser2 reader(m_dir.filePath("absent.arlx"), &readSlot);
    QVERIFY(reader.readHeader(&buf));
    QCOMPARE(int(read.getThldType()), mode);
    QCOMPARE(reader.version(), written);
}

// The written body equals the independently written current form, byte for byte: zone lists
// before their codes, channel types as one character, no population dilution, only the
// current mode's per-well list.
void TestAnalysisDataFile::writtenLayout_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("line") << 0;
    QTest::newRow("polygon") << 1;
}

void TestAnalysisDataFile::writtenLayout()
{
    QFETCH(int, mode);
    SavedPcrBody body = populatedBody(mode);
    DocOptions o;
    o.bothWellLists = true;
    o.populationDilution = 2.5;
    AnalysisDataMgr mgr;
    fill(mgr, toDoc(body, o));
    // Sets stream in their iteration order.
    const QList<WellImageAnalysisInfo> &held = mgr.getDrpltImgInfoMgr()->getWellImgAnalysisInfos();
    for (int i = 0; i < body.images.size(); ++i) {
        body.images[i].excluded.clear();
        for (quint32 v : held.at(i).excludedDrplts)
            body.images[i].excluded << v;
    }
    AnalysisDataMgr *slot = &mgr;
    AnalysisDataFileParser writer(newPath(), &slot);
    writer.setVersion(2);
    const QByteArray bytes = entryOf(writer);
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(bytes.mid(28).toHex(), savedPcrBody(body, false, false).toHex());
}

// ---- Write, then read through a package ----------------------------------------------------

void TestAnalysisDataFile::roundTrip_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("readAs");
    QTest::addColumn<QString>("password");
    for (int mode : {0, 1}) {
        const char *m = mode ? "polygon" : "line";
        QTest::addRow("%s, stored 0", m) << mode << 0 << 2 << QString();
        QTest::addRow("%s, stored 1", m) << mode << 1 << 1 << QString();
        QTest::addRow("%s, stored 2", m) << mode << 2 << 2 << QString();
        QTest::addRow("%s, stored 1, password", m) << mode << 1 << 1 << QString("geheim");
    }
}

void TestAnalysisDataFile::roundTrip()
{
    QFETCH(int, mode);
    QFETCH(int, stored);
    QFETCH(int, readAs);
    QFETCH(QString, password);
    const SavedPcrBody body = populatedBody(mode);
    DocOptions o;
    o.bothWellLists = true;
    o.populationDilution = 2.5;
    AnalysisDataMgr source;
    fill(source, toDoc(body, o));

    const QString path = newPath();
    if (!password.isEmpty())
        QVERIFY(addEntry(path, "password", passwordEntry(password)));
    AnalysisDataMgr *slot = &source;
    AnalysisDataFileParser writer(path, &slot);
    writer.setVersion(stored);
    QVERIFY(writer.writeEntry(path));

    AnalysisDataMgr read;
    qint32 version = -1;
    QVERIFY(readPackage(path, &read, &version));
    QCOMPARE(version, readAs);
    // Not stored: the other mode's list and the population dilution (read as 1.0).
    DocOptions expected;
    const QString diff = difference(snapshot(read), toDoc(body, expected));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // One image record per well, in well order, even though the package holds no images.
    const QList<WellDrpltImgInfo<QImage>> &images = read.getAnalysisExpMgr()->getWellDrpltImgInfos();
    QCOMPARE(images.size(), body.wells.size());
    for (int i = 0; i < images.size(); ++i)
        QCOMPARE(images.at(i).wellId, body.wells.at(i).wellId);
}

// ---- Bodies of every version, written by the package writer --------------------------------

namespace {

// A nested body whose flat reading gets through the experiment data without error: the
// well's first name list has two names, read flat as one name of 2 bytes (the top half of the
// next length), then an experiment id made of the rest of that length and the first
// character, then an experiment count of 0 made of the two NUL characters.
SavedPcrBody halfFlatBody()
{
    SavedPcrBody b;
    const QString trap = QString("A") + QChar(0) + QChar(0);
    b.wells = {{21, 2, {{trap, "capture/h.png"}}, 9}};
    b.experiments = {{9, "half.imrs", {21}}};
    SavedImageRecord r;
    r.wellId = 21;
    r.valid = true;
    r.sharpness = 42.0;
    r.roxChannel = 3;
    r.droplets = {droplet(5)};
    for (int c = 0; c < 6; ++c)
        r.chanInfos << chanInfo(c);
    b.images = {r};
    b.zones = {{0, 0, {}}, {1, 1, {1}}};
    b.populations = {{1, "Blue Channel", "#0024d9", false, {{1, 0}}}};
    b.lineWells = {{21, {{1, 900}}, {{0, 3}, {1, 4}}}};
    b.results = {{21, 7, {{1, 2, 3.5, 1.0}}, {{1, 4, 3, 1.0, 0.5, 1.5, 0.25}}}};
    return b;
}

} // namespace

void TestAnalysisDataFile::craftedBodies_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<bool>("flatRead");
    QTest::addColumn<bool>("shortRead");
    QTest::addColumn<int>("source"); // 0/1: populated body of that mode, 2: half-flat body
    for (int mode : {0, 1}) {
        const SavedPcrBody b = populatedBody(mode);
        const char *m = mode ? "polygon" : "line";
        QTest::addRow("%s, version 0, flat, short records", m)
            << savedPcrEntry(b, 0, true, true) << true << true << mode;
        QTest::addRow("%s, version 1, flat", m) << savedPcrEntry(b, 1, true, false) << true << false << mode;
        QTest::addRow("%s, version 1, nested", m) << savedPcrEntry(b, 1, false, false) << false << false << mode;
        QTest::addRow("%s, version 2", m) << savedPcrEntry(b, 2, false, false) << false << false << mode;
    }
    QTest::newRow("version 1, nested, flat reading half succeeds")
        << savedPcrEntry(halfFlatBody(), 1, false, false) << false << false << 2;
}

void TestAnalysisDataFile::craftedBodies()
{
    QFETCH(QByteArray, entry);
    QFETCH(bool, flatRead);
    QFETCH(bool, shortRead);
    QFETCH(int, source);
    const SavedPcrBody body = source == 2 ? halfFlatBody() : populatedBody(source);
    if (source == 2) {
        // The trap works: read flat, the experiment data come out without error, misplaced.
        QDataStream ds(entry.mid(28));
        qint32 mode = 0;
        quint32 wells = 0, wellId = 0, ref = 0, expId = 0, experiments = 1;
        QStringList flatNames;
        ds >> mode >> wells >> wellId >> ref >> flatNames >> expId >> experiments;
        QCOMPARE(ds.status(), QDataStream::Ok);
        QCOMPARE(wells, 1u);
        QCOMPARE(flatNames, QStringList{QString(QChar(0))});
        QCOMPARE(expId, 0x00060041u); // rest of the length 6, then 'A'
        QCOMPARE(experiments, 0u);
    }
    const QString path = newPath();
    QVERIFY(makePackage(path, QString(), entry));
    AnalysisDataMgr mgr;
    QVERIFY(readPackage(path, &mgr));
    DocOptions o;
    o.flat = flatRead;
    o.shortRecords = shortRead;
    const QString diff = difference(snapshot(mgr), toDoc(body, o));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(mgr.getAnalysisExpMgr()->getWellDrpltImgInfos().size(), body.wells.size());
}

void TestAnalysisDataFile::refusedBodies_data()
{
    QTest::addColumn<QByteArray>("entry");
    const SavedPcrBody b = populatedBody(0);
    QTest::newRow("file type 1") << savedPcrEntry(b, 2, false, false, 1);
    QTest::newRow("version 3") << savedPcrEntry(b, 3, false, false);
    QTest::newRow("version -1") << savedPcrEntry(b, -1, false, false);
    QTest::newRow("header only") << entryHeader(2, 2);
    QTest::newRow("version 1, fits neither form") << savedPcrEntry(b, 1, true, true);
    QTest::newRow("version 0, nested") << savedPcrEntry(b, 0, false, true);
    QTest::newRow("version 0, full records") << savedPcrEntry(b, 0, true, false);
    QTest::newRow("version 2, flat") << savedPcrEntry(b, 2, true, false);
    QByteArray modeSwapped = savedPcrEntry(b, 2, false, false);
    modeSwapped[31] = 1; // polygon mode over line wells
    QTest::newRow("mode does not match the well list") << modeSwapped;
    QTest::newRow("trailing bytes after a flat version-1 body, nested fails")
        << savedPcrEntry(b, 1, true, false) + QByteArray(4, '\0');
}

void TestAnalysisDataFile::refusedBodies()
{
    QFETCH(QByteArray, entry);
    const QString path = newPath();
    QVERIFY(makePackage(path, QString(), entry));
    AnalysisDataMgr mgr;
    const Doc before = toDoc(halfFlatBody(), DocOptions());
    fill(mgr, before);
    QVERIFY(!readPackage(path, &mgr));
    const QString diff = difference(snapshot(mgr), before);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(mgr.getAnalysisExpMgr()->getWellDrpltImgInfos().isEmpty());
}

// ---- Droplet images ------------------------------------------------------------------------

namespace {

// Wells of two sources, interleaved and listed apart from the experiment order, so that
// matching by position would take the wrong source and run out of experiments.
SavedPcrBody imageBody()
{
    SavedPcrBody b;
    b.wells = {
        {1, 2, {{"capture/c1.png", "D:/scan/run/c2.png", "", ".", "c5.png", "missing.png"}}, 7},
        {2, 3, {{"c1.png", "sub//c2.png/"}}, 3},
        {3, 1, {{"capture/t1.png", "capture/t2.png", "", "t4.png", "t5.png", "t6.png"},
                {"capture/b1.png", "b2.png", "", "", "b5.png"}}, 7},
        {4, 1, {{"c1.png"}}, 99},
        {5, 4, {{}}, 3},
        {6, 5, {{"c1.png"}, {"c2.png"}, {"c5.png"}}, 7},
    };
    b.experiments = {{3, "runB.2024.imrs", {2, 5}}, {7, "runA.imrs", {1, 3, 6}}};
    return b;
}

QMap<QString, QImage> imageEntries()
{
    QMap<QString, QImage> m;
    int seed = 0;
    for (const char *name : {"runA/capture/c1.png", "runA/capture/c2.png", "runA/c5.png",
                             "runB/capture/c1.png", "runB/capture/c2.png", "capture/c1.png",
                             "runA/capture/t1.png", "runA/capture/b1.png", "runA/t2.png",
                             "runA/capture/b2.png", "runA/capture/t4.png", "runA/capture/t5.png",
                             "runA/capture/t6.png"})
        m.insert(name, greyImage(13, 7, ++seed));
    m.insert("runA/capture/b5.png", greyImage(14, 8, ++seed)); // larger than its top half
    // A stale copy outside the capture folder: the capture entry wins.
    m.insert("runA/c1.png", greyImage(13, 7, ++seed));
    return m;
}

using WellExpect = QList<Expect>;

QList<WellExpect> expectedImages(int version)
{
    const Expect a1{"runA/capture/c1.png", {}}, a2{"runA/capture/c2.png", {}}, a5{"runA/c5.png", {}};
    const Expect b1{"runB/capture/c1.png", {}}, b2{"runB/capture/c2.png", {}};
    const QList<Expect> six{Null, Null, Null, Null, Null, Null};
    QList<WellExpect> out;
    out << WellExpect{a1, a2, Null, Null, a5, Null};
    out << WellExpect{b1, b2};
    if (version == 2)
        out << WellExpect{{"runA/capture/t1.png", "runA/capture/b1.png"},
                          {"runA/t2.png", "runA/capture/b2.png"},
                          Null,  // both names empty
                          Null,  // one half has no name
                          Null,  // halves of different sizes
                          Null}; // the second list is one name short
    else
        out << WellExpect{{"runA/capture/t1.png", {}}, {"runA/t2.png", {}}, Null,
                          {"runA/capture/t4.png", {}}, {"runA/capture/t5.png", {}},
                          {"runA/capture/t6.png", {}}};
    out << WellExpect{Null}; // no experiment with its id
    out << six;              // an empty name list
    if (version == 2)
        out << WellExpect{}; // three lists: no images
    else
        out << WellExpect{a1};
    return out;
}

} // namespace

void TestAnalysisDataFile::images_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("password");
    for (int v : {0, 1, 2}) {
        QTest::addRow("version %d", v) << v << QString();
        QTest::addRow("version %d, password", v) << v << QString("geheim");
    }
}

void TestAnalysisDataFile::images()
{
    QFETCH(int, version);
    QFETCH(QString, password);
    const SavedPcrBody body = imageBody();
    const QMap<QString, QImage> sources = imageEntries();
    QList<QPair<QString, QByteArray>> entries;
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        entries << qMakePair(it.key(), png(it.value()));
    const QString path = newPath();
    QVERIFY(makePackage(path, password, savedPcrEntry(body, version, version == 0, version == 0), entries));

    AnalysisDataMgr mgr;
    QVERIFY(readPackage(path, &mgr));
    const QList<WellDrpltImgInfo<QImage>> &got = mgr.getAnalysisExpMgr()->getWellDrpltImgInfos();
    const QList<WellExpect> expected = expectedImages(version);
    QCOMPARE(got.size(), expected.size());
    for (int w = 0; w < got.size(); ++w) {
        QCOMPARE(got[w].wellId, body.wells[w].wellId);
        QCOMPARE(got[w].refChanId, body.wells[w].refChanId);
        QCOMPARE(got[w].images.size(), expected[w].size());
        for (int k = 0; k < expected[w].size(); ++k) {
            const Expect &e = expected[w][k];
            const QImage &img = got[w].images[k];
            const QByteArray where = QString("well %1, image %2").arg(w + 1).arg(k + 1).toUtf8();
            if (e.top.isEmpty()) {
                QVERIFY2(img.isNull(), where.constData());
            } else if (e.bottom.isEmpty()) {
                QVERIFY2(sameGrey(img, sources[e.top]), where.constData());
            } else {
                const QImage top = sources[e.top], bottom = sources[e.bottom];
                QImage stacked(top.width(), 2 * top.height(), QImage::Format_Grayscale8);
                for (int y = 0; y < top.height(); ++y) {
                    memcpy(stacked.scanLine(y), top.constScanLine(y), size_t(top.width()));
                    memcpy(stacked.scanLine(top.height() + y), bottom.constScanLine(y), size_t(top.width()));
                }
                QCOMPARE(img.format(), QImage::Format_Grayscale8);
                QVERIFY2(sameGrey(img, stacked), where.constData());
            }
        }
    }
    // The raw views the analyser takes: packed rows of exactly the width.
    const WellDrpltImgInfo<DrpltImg> raw = mgr.getAnalysisExpMgr()->getWellImgData(1);
    QCOMPARE(raw.images[0].width, 13);
    QVERIFY(memcmp(static_cast<const uchar *>(raw.images[0].data) + 13, sources["runA/capture/c1.png"].constScanLine(1), 13) == 0);
}

// The package cannot be opened: the read still succeeds, every image is null in its place.
void TestAnalysisDataFile::imagesWithoutArchive()
{
    const SavedPcrBody body = imageBody();
    QByteArray entry = savedPcrEntry(body, 2, false, false);
    QBuffer buf(&entry);
    buf.open(QIODevice::ReadOnly);
    AnalysisDataMgr mgr;
    AnalysisDataMgr *slot = &mgr;
    AnalysisDataFileParser2 parser(m_dir.filePath("absent.arlx"), &slot);
    QTest::ignoreMessage(QtWarningMsg, "loadDrpltImages():unzip original file failed!");
    QVERIFY(parser.readHeader(&buf));
    const QList<WellDrpltImgInfo<QImage>> &got = mgr.getAnalysisExpMgr()->getWellDrpltImgInfos();
    const QList<WellExpect> expected = expectedImages(2);
    QCOMPARE(got.size(), expected.size());
    for (int w = 0; w < got.size(); ++w) {
        QCOMPARE(got[w].images.size(), expected[w].size());
        for (const QImage &img : got[w].images)
            QVERIFY(img.isNull());
    }
}

// ---- Every cut of an entry fails and leaves the managers as they were -----------------------

void TestAnalysisDataFile::truncation_data()
{
    QTest::addColumn<QByteArray>("entry");
    for (int mode : {0, 1}) {
        DocOptions o;
        o.bothWellLists = true;
        AnalysisDataMgr mgr;
        fill(mgr, toDoc(populatedBody(mode), o));
        AnalysisDataMgr *slot = &mgr;
        AnalysisDataFileParser writer(newPath(), &slot);
        writer.setVersion(mode ? 1 : 2);
        QTest::addRow("written, %s, version %d", mode ? "polygon" : "line", mode ? 1 : 2) << entryOf(writer);
    }
    QTest::newRow("version 0") << savedPcrEntry(populatedBody(0), 0, true, true);
    QTest::newRow("version 1, flat") << savedPcrEntry(populatedBody(1), 1, true, false);
    QTest::newRow("version 1, half flat") << savedPcrEntry(halfFlatBody(), 1, false, false);
}

void TestAnalysisDataFile::truncation()
{
    QFETCH(QByteArray, entry);
    QVERIFY(entry.size() > 68);
    AnalysisDataMgr mgr;
    const Doc before = toDoc(halfFlatBody(), DocOptions());
    fill(mgr, before);
    WellDrpltImgInfo<QImage> held;
    held.wellId = 21;
    held.images = {greyImage(4, 4, 1)};
    mgr.getAnalysisExpMgr()->setWellDrpltImgs({held});
    AnalysisDataMgr *slot = &mgr;
    AnalysisDataFileParser2 parser(m_dir.filePath("absent.arlx"), &slot);

    QLoggingCategory::setFilterRules("default.debug=false");
    for (int n = 0; n < entry.size(); ++n) {
        QByteArray cut = entry.left(n);
        QBuffer buf(&cut);
        buf.open(QIODevice::ReadOnly);
        if (parser.readHeader(&buf)) {
            QLoggingCategory::setFilterRules(QString());
            QFAIL(qPrintable(QString("a cut at %1 of %2 bytes was accepted").arg(n).arg(entry.size())));
        }
        const QString diff = difference(snapshot(mgr), before);
        if (!diff.isEmpty()) {
            QLoggingCategory::setFilterRules(QString());
            QFAIL(qPrintable(QString("cut at %1 changed the %2").arg(n).arg(diff)));
        }
        QCOMPARE(mgr.getAnalysisExpMgr()->getWellDrpltImgInfos().size(), 1);
    }
    // The whole entry does read.
    QBuffer whole(&entry);
    whole.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtWarningMsg, "loadDrpltImages():unzip original file failed!");
    const bool read = parser.readHeader(&whole);
    QLoggingCategory::setFilterRules(QString());
    QVERIFY(read);
}

LUMARA_TEST_MAIN(TestAnalysisDataFile)
#include "tst_analysisdatafile.moc"
