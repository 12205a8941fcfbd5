// The analysis document: opening generated run archives, saving them as packages that carry
// their sources, reopening, saving over the package itself, refused saves that leave the
// target alone, and bad input that leaves the loaded document as it was.
#include "documenttestsupport.h"
#include "testmain.h"
#include "zipcheck.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace DocTest;
using namespace LumaraAnalysisData;
using MkPackage::ArchiveKind;
using MkPackage::GeneratorOptions;

Q_DECLARE_METATYPE(MkPackage::GeneratorOptions)

namespace {

PcrAnalysisDocument *doc()
{
    return PcrAnalysisDocument::getInstance();
}

QStringList tempLeftovers(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).filter(QRegularExpression("^\\."));
}

// The entries a save writes for one run archive opened and saved: the archive's entries under
// its base name, the shared entries at the top level, then the typed entries.
QStringList expectedSavedLayout(const QString &source, const QString &base)
{
    QStringList names;
    const QStringList sourceNames = entryNames(source);
    for (const QString &n : sourceNames)
        names << base + "/" + n;
    if (sourceNames.contains("analysisparams.json"))
        names << "analysisparams.json";
    if (sourceNames.contains("password"))
        names << "password";
    return names + typedEntries();
}

// What the generator says it stored, as the opened document holds it: droplet and exclusion
// counts, line thresholds by channel, droplets per zone mask, effective droplet numbers.
QString truthDifference(const Snapshot &s, const MkPackage::RunTruth &truth)
{
    if (s.lineWells.size() != truth.wells.size() || s.imageInfos.size() != truth.wells.size())
        return "well count";
    for (int i = 0; i < truth.wells.size(); ++i) {
        const MkPackage::WellTruth &w = truth.wells.at(i);
        const WellImageAnalysisInfo &info = s.imageInfos.at(i);
        if (info.droplets.size() != w.droplets || info.excludedDrplts.size() != w.excluded)
            return QString("droplets of well %1").arg(i + 1);
        if (s.results.at(i).effDrpltNum != quint32(w.droplets - w.excluded))
            return QString("effective droplets of well %1").arg(i + 1);
        const WellClassifyInfoByLine &line = s.lineWells.at(i);
        for (const MkPackage::ChannelTruth &c : w.channels)
            if (line.thlds.value(c.channel).id != quint32(c.channel + 1) || line.thlds.value(c.channel).value != c.threshold)
                return QString("threshold of well %1 channel %2").arg(i + 1).arg(c.channel + 1);
        QMap<quint32, int> expected;
        for (const auto &zone : w.zones)
            expected.insert(zone.first, zone.second);
        for (const DrpltZoneInfo &zone : s.classification.zones) {
            const auto count = std::find_if(line.zoneDrpltNums.cbegin(), line.zoneDrpltNums.cend(),
                                            [&](const ZoneDrpltNumInfo &z) { return z.zoneId == zone.id; });
            if (count == line.zoneDrpltNums.cend() || count->drpltNum != quint32(expected.value(zone.code)))
                return QString("droplets of well %1 in zone mask %2").arg(i + 1).arg(zone.code);
        }
    }
    return QString();
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lifecycle();
    void openSaveReopen_data();
    void openSaveReopen();
    void editedDocumentRoundTrip_data();
    void editedDocumentRoundTrip();
    void saveAgainAndOverItself_data();
    void saveAgainAndOverItself();
    void refusedSave_data();
    void refusedSave();
    void badInput_data();
    void badInput();
    void chanIndicesUsed_data();
    void chanIndicesUsed();

private:
    QTemporaryDir m_dir;
};

void TestDocument::init()
{
    PcrAnalysisDocument::release();
}

void TestDocument::cleanup()
{
    PcrAnalysisDocument::release();
}

void TestDocument::lifecycle()
{
    PcrAnalysisDocument *first = PcrAnalysisDocument::getInstance();
    QCOMPARE(PcrAnalysisDocument::getInstance(), first);
    // Nothing open: no managers, no password, nothing to save or merge into.
    QVERIFY(!first->getAnalysisDataMgr());
    QVERIFY(!first->getExperimentCfgMgr());
    QVERIFY(first->getUnzipPassword().isEmpty());
    QVERIFY(first->getChanIndicesUsed().isEmpty());
    QVERIFY(!first->save(m_dir.filePath("nothing.arlx")));
    QVERIFY(!QFile::exists(m_dir.filePath("nothing.arlx")));
    QVERIFY(!first->continueLoadFile());

    const QString path = m_dir.filePath("life.imrs");
    GeneratorOptions o = smallRun();
    o.password = "pw";
    QVERIFY(generate(o, path));
    QVERIFY(first->open(path));
    QCOMPARE(first->getUnzipPassword(), QString("pw"));
    AnalysisDataMgr *data = first->getAnalysisDataMgr();
    QVERIFY(data);
    // A save keeps the managers.
    QVERIFY(first->save(m_dir.filePath("life.arlx")));
    QCOMPARE(first->getAnalysisDataMgr(), data);

    PcrAnalysisDocument::release();
    PcrAnalysisDocument *second = PcrAnalysisDocument::getInstance();
    QVERIFY(!second->getAnalysisDataMgr());
    QVERIFY(second->getUnzipPassword().isEmpty());
}

void TestDocument::openSaveReopen_data()
{
    QTest::addColumn<GeneratorOptions>("options");
    QTest::addColumn<QString>("fileName");

    GeneratorOptions o = smallRun(3);
    o.password = "s3cr#t";
    QTest::newRow("3.1, password, matrix") << o << "run1.imrs";
    o.pcrVersion = 0;
    QTest::newRow("3.0, password") << o << "run30.imrs";
    o = smallRun(2);
    QTest::newRow("3.1, no password") << o << "plain.imrs";
    o.passwordEntry = false;
    QTest::newRow("no password entry") << o << "nopw.imrs";
    o = smallRun(2);
    o.matrix = false;
    o.password = "m";
    QTest::newRow("no matrix") << o << "nomatrix.imrs";
    o = smallRun(3);
    o.zeroWellIds = true;
    QTest::newRow("wells stored with id 0") << o << "zero.imrs";
    o = smallRun(2);
    o.imageSets = 2;
    o.password = "two";
    QTest::newRow("two image sets") << o << "halves.imrs";
    o = smallRun(2);
    o.fileLog = false;
    o.analysisParams = false;
    o.reagentKit = true;
    QTest::newRow("no counters, no parameters, reagent kit") << o << "nolog.imrs";
    o = smallRun(2);
    o.password = "dots";
    QTest::newRow("name with extra dots") << o << "run.2024.05.imrs";
    o = smallRun(2);
    o.kind = ArchiveKind::Expzip;
    o.password = "old";
    QTest::newRow("expzip, password") << o << "legacy.expzip";
    o.password.clear();
    o.matrix = false;
    QTest::newRow("expzip, no password, no matrix") << o << "legacy2.expzip";
}

void TestDocument::openSaveReopen()
{
    QFETCH(GeneratorOptions, options);
    QFETCH(QString, fileName);
    const QString source = m_dir.filePath(fileName);
    const QString password = options.passwordEntry ? options.password : QString();
    MkPackage::RunTruth truth;
    QString error;
    QVERIFY2(MkPackage::generatePackage(options, source, &truth, &error), qPrintable(error));

    QVERIFY(doc()->open(source));
    QCOMPARE(doc()->getUnzipPassword(), password);
    const Snapshot opened = snapshot(doc());
    QCOMPARE(opened.experiments.wells.size(), options.wells);
    QCOMPARE(opened.images.size(), options.wells);
    int images = 0;
    for (const WellDrpltImgInfo<QImage> &w : opened.images)
        for (const QImage &i : w.images)
            images += i.isNull() ? 0 : 1;
    QVERIFY(images >= options.wells);
    QCOMPARE(opened.experiments.experiments.size(), 1);
    QCOMPARE(opened.experiments.experiments.first().fileName, fileName);
    // FAM, HEX and CY5 sit on channel indices 0, 1 and 3; line mode gets the masks of three
    // channels ordered by the number of set bits.
    QCOMPARE(doc()->getChanIndicesUsed(), QVector<int>({0, 1, 3}));
    QCOMPARE(opened.zoneCombination, QVector<uint>({0, 1, 2, 4, 3, 5, 6, 7}));
    QVERIFY(truth.wells.first().droplets > 0);
    const QString wrong = truthDifference(opened, truth);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));

    // The saved layout: the source under its name up to the first ".", then the shared and
    // the typed entries; everything but "password" entries encrypted with the password.
    const QString saved = m_dir.filePath(QString(fileName).replace('.', '_') + ".arlx");
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    const QString base = fileName.section('.', 0, 0);
    QCOMPARE(entryNames(saved), expectedSavedLayout(source, base));
    for (const QString &name : entryNames(saved)) {
        const bool passwordEntry = name.section('/', -1) == "password";
        QVERIFY2(isEncrypted(saved, name) == (!password.isEmpty() && !passwordEntry), qPrintable(name));
    }
    for (const QString &name : entryNames(source)) {
        bool a = false, b = false;
        const QString pw = isEncrypted(source, name) ? password : QString();
        const QByteArray original = entryData(source, name, pw, &a);
        QVERIFY(a);
        QCOMPARE(entryData(saved, base + "/" + name, name == "password" ? QString() : password, &b), original);
        QVERIFY(b);
    }
    if (entryNames(source).contains("password")) {
        QCOMPARE(entryData(saved, "password", QString()), entryData(source, "password", QString()));
    }

    // Reopened in a fresh document, the package gives back every manager's content and the
    // images from the embedded source.
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    QCOMPARE(doc()->getUnzipPassword(), password);
    const QString diff = difference(opened, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestDocument::editedDocumentRoundTrip_data()
{
    QTest::addColumn<bool>("polygon");
    QTest::newRow("line mode") << false;
    QTest::newRow("polygon mode") << true;
}

// What the user changes after opening (plots, exclusions, matrix, names, polygons) is what
// the saved package gives back.
void TestDocument::editedDocumentRoundTrip()
{
    QFETCH(bool, polygon);
    const QString source = m_dir.filePath("edited.imrs");
    if (!QFile::exists(source)) {
        GeneratorOptions o = smallRun(3, 5);
        o.password = "ed";
        QVERIFY(generate(o, source));
    }
    QVERIFY(doc()->open(source));
    AnalysisDataMgr *data = doc()->getAnalysisDataMgr();
    CustomizedPlotMgr *plots = data->getCustomizedPlotMgr();
    QCOMPARE(plots->add2DPlot(Customized2DPlotInfo{0, "FAM-HEX", 1, 2}), 1u);
    QCOMPARE(plots->add3DPlot(Customized3DPlotInfo{0, "three", 1, 2, 4}), 1u);
    QCOMPARE(plots->add3DPlot(Customized3DPlotInfo{0, "three again", 2, 1, 4}), 2u);
    data->getDrpltImgInfoMgr()->excludedDrplts(2, {0, 3});
    doc()->getCompensationMatrixMgr()->setMatrixBuf(QByteArray(336, '\x11'));
    QVERIFY(doc()->getExperimentCfgMgr()->setSampleName(1, "renamed"));
    doc()->getExperimentCfgMgr()->setComment("checked");
    QVERIFY(data->getAnalysisRetMgr()->setChanDilution(3, 2, 4.5));
    if (polygon) {
        data->switch2PolygonMode();
        DrpltClassifyMgr *classify = data->getDrpltClassifyMgr();
        const uint zone = classify->addZone(DrpltZoneInfo{0, 1, {}});
        const uint population = classify->addPopulation(PopulationsInfo{0, "drawn", "#4FB1DB", false, {}});
        classify->bindPopulationAndZone({zone, PositiveZone}, population);
        QVERIFY(classify->setThldByPolygon(2, zone, QPolygonF({{10, 10}, {900, 10}, {900, 900}})));
        QVERIFY(classify->setDrpltNumByPolygon(2, zone, 12));
    } else {
        data->getDrpltClassifyMgr()->setThldOfAllWellsByLine(1, 7777);
    }
    const Snapshot edited = snapshot(doc());

    const QString saved = m_dir.filePath(polygon ? "edited_polygon.arlx" : "edited_line.arlx");
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    const QString diff = difference(edited, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // The next plots do not repeat an id.
    QCOMPARE(doc()->getAnalysisDataMgr()->getCustomizedPlotMgr()->add3DPlot(Customized3DPlotInfo{}), 3u);
    QCOMPARE(doc()->getAnalysisDataMgr()->getCustomizedPlotMgr()->add2DPlot(Customized2DPlotInfo{}), 2u);
}

void TestDocument::saveAgainAndOverItself_data()
{
    QTest::addColumn<GeneratorOptions>("options");
    QTest::addColumn<QString>("fileName");
    GeneratorOptions o = smallRun(2);
    o.password = "again";
    QTest::newRow("imrs") << o << "again.imrs";
    QTest::newRow("imrs, name with extra dots") << o << "run.2024.imrs";
    o.kind = ArchiveKind::Expzip;
    QTest::newRow("expzip") << o << "again.expzip";
    QTest::newRow("expzip, name with extra dots") << o << "old.run.expzip";
}

void TestDocument::saveAgainAndOverItself()
{
    QFETCH(GeneratorOptions, options);
    QFETCH(QString, fileName);
    const QString source = m_dir.filePath(fileName);
    QVERIFY(generate(options, source));
    QVERIFY(doc()->open(source));
    const Snapshot opened = snapshot(doc());
    const QString base = fileName.section('.', 0, 0);

    // Saved twice from one document: the second save reads the first package's folders.
    const QString first = m_dir.filePath(base + "_1.arlx");
    const QString second = m_dir.filePath(base + "_2.arlx");
    QVERIFY(doc()->save(first));
    LUMARA_VERIFY_STANDARD_ZIP(first);
    QVERIFY(doc()->save(second));
    LUMARA_VERIFY_STANDARD_ZIP(second);
    QCOMPARE(entryNames(second), entryNames(first));

    // Reopened and saved over itself, with the copy made beforehand.
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(second));
    doc()->beginSaveFile();
    QVERIFY(QFile::exists(m_dir.filePath("quorintmp")));
    QVERIFY(doc()->save(second));
    LUMARA_VERIFY_STANDARD_ZIP(second);
    doc()->endSaveFile();
    QVERIFY(!QFile::exists(m_dir.filePath("quorintmp")));
    QCOMPARE(entryNames(second), entryNames(first));

    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(second));
    QCOMPARE(doc()->getUnzipPassword(), options.password);
    const QString diff = difference(opened, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(tempLeftovers(m_dir.path()).isEmpty());
}

void TestDocument::refusedSave_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("read-only folder") << "readonly";
    QTest::newRow("folder missing") << "nofolder";
    QTest::newRow("target suffix not arlx") << "suffix";
    QTest::newRow("source removed after open") << "removed";
    QTest::newRow("source entry damaged after open") << "damaged";
    QTest::newRow("source entry damaged after open, no password") << "damagedplain";
    QTest::newRow("stored source entry damaged after open") << "damagedstored";
    QTest::newRow("own package, no copy made") << "self";
    QTest::newRow("saved source removed, no copy made") << "savedremoved";
}

void TestDocument::refusedSave()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString source = dir.filePath("src.imrs");
    GeneratorOptions o = smallRun(2);
    o.password = how == "damagedplain" ? "" : "keep";
    QVERIFY(generate(o, source));
    const QString image = entryNames(source).filter(QRegularExpression("^capture/")).value(0);
    QVERIFY(!image.isEmpty());
    if (how == "damagedstored") {
        const QString generated = dir.filePath("generated.imrs");
        QVERIFY(QFile::rename(source, generated));
        QVERIFY(rewriteEntry(generated, source, image, [](const QByteArray &b) { return b; }, "keep", true));
    }
    QVERIFY(doc()->open(source));

    const QString folder = dir.filePath("out");
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + "/existing.arlx";
    const QByteArray before = "the user's earlier package";
    QVERIFY(writeFile(target, before));

    if (how == "readonly") {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFile(folder + "/probe").open(QIODevice::WriteOnly)) {
            QFile::remove(folder + "/probe");
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("folder permissions are not enforced for this user");
        }
    } else if (how == "suffix") {
        target = folder + "/existing.imrs";
        QVERIFY(writeFile(target, before));
    } else if (how == "nofolder") {
        target = dir.filePath("missing/new.arlx");
    } else if (how == "removed") {
        QVERIFY(QFile::remove(source));
    } else if (how.startsWith("damaged")) {
        QVERIFY(flipStoredByte(source, image));
    } else if (how == "self" || how == "savedremoved") {
        const QString saved = folder + "/existing.arlx";
        QVERIFY(doc()->save(saved));
        LUMARA_VERIFY_STANDARD_ZIP(saved);
        PcrAnalysisDocument::release();
        QVERIFY(doc()->open(saved));
        if (how == "self") {
            target = saved;
        } else {
            target = dir.filePath("elsewhere.arlx");
            QVERIFY(writeFile(target, before));
            QVERIFY(QFile::remove(saved));
        }
    }
    const QByteArray targetBefore = readFile(target);
    const QStringList leftoversBefore = tempLeftovers(QFileInfo(target).absolutePath());

    QVERIFY(!doc()->save(target));
    QCOMPARE(readFile(target), targetBefore);
    QCOMPARE(tempLeftovers(QFileInfo(target).absolutePath()), leftoversBefore);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestDocument::badInput_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("damage");
    for (const char *entry : {"run.pcr", "run.exp", "run.dps", "run.cmtx"}) {
        QTest::addRow("%s truncated", entry) << entry << "truncate";
        QTest::addRow("%s damaged in the zip", entry) << entry << "flip";
        // Stored without compression, a changed byte shows only in the checksum.
        QTest::addRow("%s stored, damaged in the zip", entry) << entry << "storedflip";
    }
    QTest::newRow("run.cmtx missing") << "run.cmtx" << "drop";
    QTest::newRow("run.pcr missing") << "run.pcr" << "drop";
    QTest::newRow("wrong password") << "password" << "wrongpassword";
    QTest::newRow("not a zip") << "" << "notzip";
    QTest::newRow("empty file") << "" << "empty";
    QTest::newRow("no such file") << "" << "missing";
    QTest::newRow("suffix in upper case") << "" << "uppercase";
    QTest::newRow("unknown suffix") << "" << "zipsuffix";
}

void TestDocument::badInput()
{
    QFETCH(QString, entry);
    QFETCH(QString, damage);
    QTemporaryDir dir;

    // The document loaded first, and the archive the damaged one is made from.
    const QString good = dir.filePath("good.imrs");
    GeneratorOptions o = smallRun(2, 7);
    o.password = "alpha";
    QVERIFY(generate(o, good));
    const QString other = dir.filePath("other.imrs");
    o = smallRun(3, 11);
    o.password = "beta";
    QVERIFY(generate(o, other));

    QString bad = dir.filePath("bad.imrs");
    if (damage == "truncate") {
        QVERIFY(rewriteEntry(other, bad, entry, [](const QByteArray &b) { return b.left(b.size() / 2); }, "beta"));
    } else if (damage == "flip") {
        QVERIFY(QFile::copy(other, bad));
        QVERIFY(flipStoredByte(bad, entry));
    } else if (damage == "storedflip") {
        const QString stored = dir.filePath("stored.imrs");
        QVERIFY(rewriteEntry(other, stored, entry, [](const QByteArray &b) { return b; }, "beta", true));
        {
            // The stored entry opens intact before the damage.
            bool intact = false;
            entryData(stored, entry, "beta", &intact);
            QVERIFY(intact);
        }
        QVERIFY(QFile::copy(stored, bad));
        QVERIFY(flipStoredByte(bad, entry));
    } else if (damage == "drop") {
        QVERIFY(rewriteEntry(other, bad, entry, [](const QByteArray &) { return QByteArray(); }, "beta"));
        QVERIFY(!entryNames(bad).contains(entry));
    } else if (damage == "wrongpassword") {
        QVERIFY(rewriteEntry(other, bad, entry, [](const QByteArray &) { return PkgWriter::passwordEntry("gamma"); }, "beta"));
    } else if (damage == "notzip") {
        QVERIFY(writeFile(bad, QByteArray(4096, 'z')));
    } else if (damage == "empty") {
        QVERIFY(writeFile(bad, QByteArray()));
    } else if (damage == "missing") {
        bad = dir.filePath("absent.imrs");
    } else if (damage == "uppercase") {
        bad = dir.filePath("other.IMRS");
        QVERIFY(QFile::copy(other, bad));
    } else if (damage == "zipsuffix") {
        bad = dir.filePath("other.zip");
        QVERIFY(QFile::copy(other, bad));
    }

    QVERIFY(doc()->open(good));
    const Snapshot loaded = snapshot(doc());
    AnalysisDataMgr *data = doc()->getAnalysisDataMgr();
    ExperimentCfgMgr *cfg = doc()->getExperimentCfgMgr();

    QVERIFY(!doc()->open(bad));
    QCOMPARE(doc()->getAnalysisDataMgr(), data);
    QCOMPARE(doc()->getExperimentCfgMgr(), cfg);
    QCOMPARE(doc()->getUnzipPassword(), QString("alpha"));
    QString diff = difference(loaded, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The loaded document still saves with its own readers and password.
    const QString saved = dir.filePath("after.arlx");
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    QCOMPARE(doc()->getUnzipPassword(), QString("alpha"));
    diff = difference(loaded, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestDocument::chanIndicesUsed_data()
{
    QTest::addColumn<QStringList>("dyes"); // per channel index 0..5
    QTest::addColumn<QList<QList<quint32>>>("wellChannels");
    QTest::addColumn<QVector<int>>("expected");
    const QStringList six = {"FAM", "HEX", "ROX", "CY5", "CY5.5", "CY3"};
    QTest::newRow("first seen in any order, given ascending")
        << six << QList<QList<quint32>>{{3, 0}, {1}, {0}} << QVector<int>{0, 1, 3};
    QTest::newRow("used channel without a dye left out")
        << QStringList{"FAM", "", "ROX", "", "", ""} << QList<QList<quint32>>{{0, 1}} << QVector<int>{0};
    QTest::newRow("dye no well uses left out")
        << six << QList<QList<quint32>>{{5}} << QVector<int>{5};
    QTest::newRow("index beyond the six ignored")
        << six << QList<QList<quint32>>{{7, 2}} << QVector<int>{2};
    QTest::newRow("no wells") << six << QList<QList<quint32>>{} << QVector<int>{};
}

void TestDocument::chanIndicesUsed()
{
    QFETCH(QStringList, dyes);
    QFETCH(QList<QList<quint32>>, wellChannels);
    QFETCH(QVector<int>, expected);
    const QString path = m_dir.filePath("chan.imrs");
    if (!QFile::exists(path))
        QVERIFY(generate(smallRun(1), path));
    QVERIFY(doc()->open(path));

    ExperimentInfo exp = doc()->getExperimentCfgMgr()->getExp();
    for (int i = 0; i < PerChannel; ++i)
        exp.targets[i] = TargetInfo{QString("T%1").arg(i), dyes.value(i)};
    exp.wells.clear();
    quint32 id = 0;
    for (const QList<quint32> &channels : wellChannels) {
        WellInfo w;
        w.id = ++id;
        w.channels = channels;
        exp.wells.append(w);
    }
    doc()->getExperimentCfgMgr()->setExperiment(exp);
    QCOMPARE(doc()->getChanIndicesUsed(), expected);
}

LUMARA_TEST_MAIN(TestDocument)
#include "tst_document.moc"
