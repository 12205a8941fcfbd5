// Merging run archives into the open document: the check's answers and the pending state, the
// appended wells under fresh ids with their images, records, results and device parameters,
// the signal, and a merged document that saves and reopens with every source inside.
#include "documenttestsupport.h"
#include "testmain.h"
#include "zipcheck.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace DocTest;
using namespace LumaraAnalysisData;
using MkPackage::ArchiveKind;
using MkPackage::GeneratorOptions;

Q_DECLARE_METATYPE(MkPackage::GeneratorOptions)
Q_DECLARE_METATYPE(PcrAnalysisDocument::ErrorCode)
Q_DECLARE_METATYPE(MkPackage::TargetOption)

namespace {

PcrAnalysisDocument *doc()
{
    return PcrAnalysisDocument::getInstance();
}

// A permit with every flag set the other way round from what a successful check gives.
PcrAnalysisDocument::MergePermit untouchedPermit()
{
    PcrAnalysisDocument::MergePermit p;
    p.accepted = false;
    p.sameExperimentCfg = true;
    p.sameDevParas = false;
    p.sameCompensationMatrix = false;
    return p;
}

bool samePermit(const PcrAnalysisDocument::MergePermit &a, const PcrAnalysisDocument::MergePermit &b)
{
    return a.accepted == b.accepted && a.sameExperimentCfg == b.sameExperimentCfg
        && a.sameDevParas == b.sameDevParas && a.sameCompensationMatrix == b.sameCompensationMatrix;
}

// The content of an archive opened alone.
Snapshot snapshotOf(const QString &path)
{
    PcrAnalysisDocument::release();
    Snapshot s;
    if (doc()->open(path))
        s = snapshot(doc());
    PcrAnalysisDocument::release();
    return s;
}

// A run whose analysed wells are stored under ids from `firstId` on (the generator numbers
// them from 1), built from the generator's own pieces.
bool writeRunWithIds(const QString &path, const GeneratorOptions &o, qint32 firstId)
{
    MkPackage::SynthWells synth;
    QString error;
    if (!synth.setOptions(o, &error))
        return false;
    QList<MkPackage::WellSummary> summaries;
    for (int i = 0; i < synth.wellCount(); ++i)
        summaries << synth.summary(i);
    MkPackage::Composer composer;
    if (!composer.prepare(synth.runPlan(), summaries, &error))
        return false;
    PkgWriter::ArchiveWriter zip;
    bool ok = zip.create(path) && zip.add("password", composer.passwordEntry());
    PkgWriter::Pcr3Body body;
    for (int i = 0; ok && i < synth.wellCount(); ++i) {
        MkPackage::WellPlan well;
        MkPackage::ComposedWell c;
        ok = synth.well(i, &well, &error) && composer.composeWell(well, i, &c, &error);
        c.expInfo.wellId = c.dropletData.wellId = c.classify.wellId = c.result.wellId = firstId + i;
        body.expInfos << c.expInfo;
        body.dropletData << c.dropletData;
        body.classifications << c.classify;
        body.results << c.result;
        for (const auto &image : qAsConst(c.images))
            ok = ok && zip.add(image.first, image.second, o.password);
    }
    ok = ok && zip.add("run.exp", composer.experimentEntry(), o.password)
        && zip.add("run.pcr", PkgWriter::pcr3Entry(body, o.pcrVersion), o.password)
        && zip.add("run.dps", composer.deviceEntry(), o.password)
        && zip.add("run.cmtx", composer.matrixEntry(), o.password);
    return zip.close() && ok;
}

} // namespace

class TestMerge : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void merge_data();
    void merge();
    void checkAnswers_data();
    void checkAnswers();
    void pendingState_data();
    void pendingState();
    void noDocument();
    void afterWellCounter8();
    void continueTwice();
    void failedContinue();
    void wellsStoredUnderOtherIds();
    void inconsistentWells();
    void experimentCfgComparison_data();
    void experimentCfgComparison();
    void classificationOfNewWells_data();
    void classificationOfNewWells();

private:
    QString make(const QString &name, GeneratorOptions o);
    QTemporaryDir m_dir;
};

void TestMerge::init()
{
    PcrAnalysisDocument::release();
}

void TestMerge::cleanup()
{
    PcrAnalysisDocument::release();
}

QString TestMerge::make(const QString &name, GeneratorOptions o)
{
    const QString path = m_dir.filePath(name);
    if (!QFile::exists(path) && !generate(o, path))
        return QString();
    return path;
}

void TestMerge::merge_data()
{
    QTest::addColumn<QString>("targetName");
    QTest::addColumn<GeneratorOptions>("target");
    QTest::addColumn<QString>("addedName");
    QTest::addColumn<GeneratorOptions>("added");
    QTest::addColumn<bool>("targetSaved"); // merge into the package saved from the target

    GeneratorOptions a = smallRun(3, 21);
    a.password = "first";
    GeneratorOptions b = smallRun(2, 22);
    b.password = "second";
    QTest::newRow("imrs into imrs") << "mA.imrs" << a << "mB.imrs" << b << false;
    GeneratorOptions c = b;
    c.kind = ArchiveKind::Expzip;
    QTest::newRow("expzip into imrs") << "mA.imrs" << a << "mC.expzip" << c << false;
    GeneratorOptions d = smallRun(2, 23);
    d.pcrVersion = 0;
    d.zeroWellIds = true;
    QTest::newRow("3.0 without password, ids 0, into a saved package") << "mA.imrs" << a << "mD.imrs" << d << true;
}

void TestMerge::merge()
{
    QFETCH(QString, targetName);
    QFETCH(GeneratorOptions, target);
    QFETCH(QString, addedName);
    QFETCH(GeneratorOptions, added);
    QFETCH(bool, targetSaved);
    QString targetPath = make(targetName, target);
    const QString addedPath = make(addedName, added);
    QVERIFY(!targetPath.isEmpty() && !addedPath.isEmpty());
    const Snapshot m = snapshotOf(addedPath);
    QCOMPARE(m.experiments.wells.size(), added.wells);

    if (targetSaved) {
        QVERIFY(doc()->open(targetPath));
        targetPath = m_dir.filePath(QString(targetName).replace('.', '_') + "_saved.arlx");
        QVERIFY(doc()->save(targetPath));
        LUMARA_VERIFY_STANDARD_ZIP(targetPath);
        PcrAnalysisDocument::release();
    }
    QVERIFY(doc()->open(targetPath));
    const Snapshot d = snapshot(doc());
    const int n = d.experiment.wells.size();
    const quint32 last = d.counters[FileLogMgr::WellCounter];
    QCOMPARE(last, quint32(target.wells));
    const int count = added.wells;

    QSignalSpy spy(doc(), &PcrAnalysisDocument::wellAdded);
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(addedPath, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(permit.accepted && permit.sameDevParas && permit.sameCompensationMatrix);
    // The check reads the candidate apart: the open package's password stays in force.
    QCOMPARE(doc()->getUnzipPassword(), target.password);
    QVERIFY(doc()->continueLoadFile());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toInt(), n);
    QCOMPARE(spy.first().at(1).toInt(), count);

    const Snapshot merged = snapshot(doc());
    // Counters: wells after the last one, the experiment after the document's.
    QCOMPARE(merged.counters[FileLogMgr::WellCounter], last + quint32(count));
    QCOMPARE(merged.counters[FileLogMgr::ExperimentCounter], d.counters[FileLogMgr::ExperimentCounter] + 1);
    const quint32 expId = merged.counters[FileLogMgr::ExperimentCounter];

    // Configuration wells: m's wells renumbered, measuring what the document's first well does.
    QCOMPARE(merged.experiment.wells.size(), n + count);
    QCOMPARE(merged.experiment.wells.mid(0, n), d.experiment.wells);
    for (int k = 0; k < count; ++k) {
        WellInfo expected = m.experiment.wells.at(k);
        expected.id = last + quint32(k) + 1;
        expected.channels = d.experiment.wells.first().channels;
        QCOMPARE(merged.experiment.wells.at(n + k), expected);
    }
    QCOMPARE(merged.experiment.targets, d.experiment.targets);

    // Analysed wells, the experiment, image records and images.
    QCOMPARE(merged.experiments.wells.size(), d.experiments.wells.size() + count);
    QCOMPARE(merged.experiments.experiments.size(), d.experiments.experiments.size() + 1);
    ExpItemInfo exp = m.experiments.experiments.first();
    exp.id = expId;
    exp.wellIds.clear();
    for (int k = 0; k < count; ++k) {
        WellItemInfo well = m.experiments.wells.at(k);
        well.wellId = last + quint32(k) + 1;
        well.expId = expId;
        exp.wellIds.append(well.wellId);
        QCOMPARE(merged.experiments.wells.at(d.experiments.wells.size() + k), well);

        WellImageAnalysisInfo record = m.imageInfos.at(k);
        record.wellId = well.wellId;
        QCOMPARE(merged.imageInfos.at(d.imageInfos.size() + k), record);

        WellDrpltImgInfo<QImage> images = m.images.at(k);
        images.wellId = well.wellId;
        QVERIFY(sameImages({merged.images.at(d.images.size() + k)}, {images}));

        // Results: the droplet number of the same well, fresh channel entries, and an entry
        // for each population of the document's wells.
        const WellResultInfo &result = merged.results.at(d.results.size() + k);
        QCOMPARE(result.wellId, well.wellId);
        QCOMPARE(result.effDrpltNum, m.results.at(k).effDrpltNum);
        QCOMPARE(result.chanResults.size(), 6);
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(result.chanResults[c].chanId, quint32(c + 1));
            QCOMPARE(result.chanResults[c].chanType, quint16(0));
            QCOMPARE(result.chanResults[c].refConcentration, 0.0);
            QCOMPARE(result.chanResults[c].dilution, 1.0);
        }
        QCOMPARE(result.populationResults.size(), d.results.first().populationResults.size());
        for (int p = 0; p < result.populationResults.size(); ++p)
            QCOMPARE(result.populationResults[p].populationId, d.results.first().populationResults[p].populationId);

        // Device parameters under the new id: m's shared set, or m's set of that well.
        const auto shared = m.devParas.paras.constFind(0);
        const QVector<ScanningParameterInfo> expectedParas =
            shared != m.devParas.paras.cend() ? shared.value() : m.devParas.paras.value(m.experiment.wells.at(k).id);
        QCOMPARE(merged.devParas.paras.value(well.wellId), expectedParas);
        QVERIFY(!expectedParas.isEmpty());
    }
    QCOMPARE(merged.experiments.experiments.last(), exp);

    // Classification in line mode: a copy of the first well with thresholds and counts cleared.
    QCOMPARE(merged.mode, LineThreshold);
    QCOMPARE(merged.lineWells.size(), d.lineWells.size() + count);
    for (int k = 0; k < count; ++k) {
        WellClassifyInfoByLine expected = d.lineWells.first();
        expected.wellId = last + quint32(k) + 1;
        for (LineThresholdInfo &t : expected.thlds)
            t.value = 0;
        for (ZoneDrpltNumInfo &z : expected.zoneDrpltNums)
            z.drpltNum = 0;
        QCOMPARE(merged.lineWells.at(d.lineWells.size() + k), expected);
    }

    // Saved and reopened: every source inside under its base name, the content unchanged.
    const QString saved = m_dir.filePath(QString(QTest::currentDataTag()).replace(' ', '_').replace(',', "") + ".arlx");
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    const QStringList names = entryNames(saved);
    for (const QString &source : {QFileInfo(targetName).fileName(), addedName}) {
        const QString base = source.section('.', 0, 0);
        QVERIFY2(names.contains(base + "/run.pcr"), qPrintable(base));
        QVERIFY2(!names.filter(QRegularExpression("^" + base + "/capture/")).isEmpty(), qPrintable(base));
    }
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    QCOMPARE(doc()->getUnzipPassword(), target.password);
    QString diff = difference(merged, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // Saved over itself, the package keeps both folders.
    doc()->beginSaveFile();
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    doc()->endSaveFile();
    QCOMPARE(entryNames(saved), names);
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    diff = difference(merged, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestMerge::checkAnswers_data()
{
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<PcrAnalysisDocument::ErrorCode>("expected");
    QTest::newRow("saved package") << "saved" << PcrAnalysisDocument::UnsupportedSuffix;
    QTest::newRow("suffix in upper case") << "upper" << PcrAnalysisDocument::UnsupportedSuffix;
    QTest::newRow("same file name, other folder") << "samename" << PcrAnalysisDocument::AlreadyLoaded;
    QTest::newRow("same base name, other kind") << "samebase" << PcrAnalysisDocument::AlreadyLoaded;
    QTest::newRow("same base name, extra dots") << "dots" << PcrAnalysisDocument::AlreadyLoaded;
    QTest::newRow("not a zip") << "notzip" << PcrAnalysisDocument::CannotParse;
    QTest::newRow("no such file") << "missing" << PcrAnalysisDocument::CannotParse;
    QTest::newRow("run.cmtx missing") << "nocmtx" << PcrAnalysisDocument::CannotParse;
}

// Every refusal leaves the permit, the document and its password as they were, and the
// document still saves as itself.
void TestMerge::checkAnswers()
{
    QFETCH(QString, candidate);
    QFETCH(PcrAnalysisDocument::ErrorCode, expected);
    GeneratorOptions a = smallRun(2, 31);
    a.password = "mine";
    const QString target = make("base1.imrs", a);
    GeneratorOptions other = smallRun(1, 32);
    other.password = "theirs";
    const QString source = make("cand.imrs", other);

    QString path;
    if (candidate == "saved") {
        path = m_dir.filePath("cand.arlx");
        QVERIFY(QFile::copy(source, path) || QFile::exists(path));
    } else if (candidate == "upper") {
        path = m_dir.filePath("cand.IMRS");
        QVERIFY(QFile::copy(source, path) || QFile::exists(path));
    } else if (candidate == "samename") {
        QVERIFY(QDir(m_dir.path()).mkpath("sub"));
        path = m_dir.filePath("sub/base1.imrs");
        QVERIFY(QFile::copy(source, path) || QFile::exists(path));
    } else if (candidate == "samebase") {
        GeneratorOptions e = other;
        e.kind = ArchiveKind::Expzip;
        path = make("base1.expzip", e);
    } else if (candidate == "dots") {
        path = make("base1.second.imrs", other);
    } else if (candidate == "notzip") {
        path = m_dir.filePath("junk.imrs");
        QVERIFY(writeFile(path, QByteArray(1000, '\x01')));
    } else if (candidate == "missing") {
        path = m_dir.filePath("absent.imrs");
    } else if (candidate == "nocmtx") {
        path = m_dir.filePath("nocmtx.imrs");
        QVERIFY(rewriteEntry(source, path, "run.cmtx", [](const QByteArray &) { return QByteArray(); }, "theirs"));
    }
    QVERIFY(!path.isEmpty());

    QVERIFY(doc()->open(target));
    const Snapshot before = snapshot(doc());
    PcrAnalysisDocument::MergePermit permit = untouchedPermit();
    QCOMPARE(doc()->isMergeSupported4Load(path, permit), expected);
    QVERIFY(samePermit(permit, untouchedPermit()));
    QVERIFY(!doc()->continueLoadFile());
    QCOMPARE(doc()->getUnzipPassword(), QString("mine"));
    QString diff = difference(before, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    const QString saved = m_dir.filePath(QString("refused_%1.arlx").arg(candidate));
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    diff = difference(before, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestMerge::pendingState_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("stillPending");
    // A refusal by suffix or name leaves the pending archive; a check that gets as far as
    // reading drops it, whatever its answer.
    QTest::newRow("refused by suffix") << "arlx" << true;
    QTest::newRow("refused by name") << "name" << true;
    QTest::newRow("unreadable") << "junk" << false;
    QTest::newRow("open in between") << "open" << false;
}

void TestMerge::pendingState()
{
    QFETCH(QString, second);
    QFETCH(bool, stillPending);
    const QString target = make("pendA.imrs", smallRun(2, 41));
    const QString candidate = make("pendB.imrs", smallRun(1, 42));
    QVERIFY(doc()->open(target));
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::MergeSupported);

    PcrAnalysisDocument::MergePermit other;
    if (second == "arlx") {
        QCOMPARE(doc()->isMergeSupported4Load(m_dir.filePath("x.arlx"), other), PcrAnalysisDocument::UnsupportedSuffix);
    } else if (second == "name") {
        QCOMPARE(doc()->isMergeSupported4Load(target, other), PcrAnalysisDocument::AlreadyLoaded);
    } else if (second == "junk") {
        const QString junk = m_dir.filePath("pendjunk.imrs");
        QVERIFY(writeFile(junk, "no zip"));
        QCOMPARE(doc()->isMergeSupported4Load(junk, other), PcrAnalysisDocument::CannotParse);
    } else {
        QVERIFY(doc()->open(target));
    }
    QCOMPARE(doc()->continueLoadFile(), stillPending);
    // 2 + 1 wells after the merge, 2 without.
    QCOMPARE(doc()->getExperimentCfgMgr()->getWells().size(), stillPending ? 3 : 2);
}

void TestMerge::noDocument()
{
    const QString candidate = make("lonely.imrs", smallRun(1, 51));
    PcrAnalysisDocument::MergePermit permit = untouchedPermit();
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::CannotParse);
    QVERIFY(samePermit(permit, untouchedPermit()));
    QVERIFY(!doc()->continueLoadFile());
    QVERIFY(doc()->getUnzipPassword().isEmpty());
    QVERIFY(!doc()->getAnalysisDataMgr());
}

void TestMerge::afterWellCounter8()
{
    const QString target = make("c8A.imrs", smallRun(2, 61));
    const QString candidate = make("c8B.imrs", smallRun(3, 62));
    QVERIFY(doc()->open(target));
    FileLogMgr::Log log = doc()->getFileLogMgr()->getLog();
    log[FileLogMgr::WellCounter] = 8;
    doc()->getFileLogMgr()->setLog(log);

    QSignalSpy spy(doc(), &PcrAnalysisDocument::wellAdded);
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(doc()->continueLoadFile());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toInt(), 2);
    QCOMPARE(spy.first().at(1).toInt(), 3);
    QCOMPARE(doc()->getFileLogMgr()->getLog()[FileLogMgr::WellCounter], 11u);

    QList<quint32> config, analysed, records, results;
    for (const WellInfo &w : doc()->getExperimentCfgMgr()->getWells())
        config << w.id;
    AnalysisDataMgr *data = doc()->getAnalysisDataMgr();
    for (const WellItemInfo &w : data->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().wells)
        analysed << w.wellId;
    for (const WellImageAnalysisInfo &w : data->getDrpltImgInfoMgr()->getWellImgAnalysisInfos())
        records << w.wellId;
    for (const WellResultInfo &w : data->getAnalysisRetMgr()->getWellResults())
        results << w.wellId;
    const QList<quint32> expected = {1, 2, 9, 10, 11};
    QCOMPARE(config, expected);
    QCOMPARE(analysed, expected);
    QCOMPARE(records, expected);
    QCOMPARE(results, expected);
    for (quint32 id : {9u, 10u, 11u}) {
        QVERIFY(!doc()->getDevParasMgr()->getScanningParas(id).isEmpty());
        QCOMPARE(data->getAnalysisExpMgr()->getWellImg(id).wellId, id);
    }
}

void TestMerge::continueTwice()
{
    const QString target = make("twA.imrs", smallRun(2, 71));
    const QString candidate = make("twB.imrs", smallRun(2, 72));
    QVERIFY(doc()->open(target));
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(doc()->continueLoadFile());
    QVERIFY(!doc()->continueLoadFile());
    QCOMPARE(doc()->getExperimentCfgMgr()->getWells().size(), 4);
    // Merged once, the archive is now part of the document.
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::AlreadyLoaded);
}

// The small entries read, run.pcr does not: nothing is merged, the check has to be repeated.
void TestMerge::failedContinue()
{
    const QString target = make("fcA.imrs", smallRun(2, 101));
    const QString good = make("fcB.imrs", smallRun(2, 102));
    const QString bad = m_dir.filePath("fcBad.imrs");
    QVERIFY(rewriteEntry(good, bad, "run.pcr", [](const QByteArray &b) { return b.left(b.size() / 3); }, QString()));
    QVERIFY(doc()->open(target));
    const Snapshot before = snapshot(doc());
    QSignalSpy spy(doc(), &PcrAnalysisDocument::wellAdded);
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(bad, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(!doc()->continueLoadFile());
    QVERIFY(!doc()->continueLoadFile());
    QCOMPARE(spy.count(), 0);
    const QString diff = difference(before, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // Its name is not taken: the intact archive merges afterwards.
    QCOMPARE(doc()->isMergeSupported4Load(good, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(doc()->continueLoadFile());
    QCOMPARE(spy.count(), 1);
}

// The added wells are found by their own ids, whatever they are.
void TestMerge::wellsStoredUnderOtherIds()
{
    const QString target = make("oiA.imrs", smallRun(2, 121));
    GeneratorOptions o = smallRun(2, 122);
    o.password = "ids";
    const QString candidate = m_dir.filePath("oiB.imrs");
    QVERIFY(writeRunWithIds(candidate, o, 5));
    const Snapshot m = snapshotOf(candidate);
    QCOMPARE(m.experiments.wells.size(), 2);
    QCOMPARE(m.experiments.wells.at(0).wellId, 5u);
    QCOMPARE(m.results.at(1).wellId, 6u);
    QVERIFY(m.results.at(0).effDrpltNum > 0 && m.results.at(1).effDrpltNum > 0);

    QVERIFY(doc()->open(target));
    QSignalSpy spy(doc(), &PcrAnalysisDocument::wellAdded);
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(doc()->continueLoadFile());
    QCOMPARE(spy.count(), 1);
    AnalysisDataMgr *data = doc()->getAnalysisDataMgr();
    for (int k = 0; k < 2; ++k) {
        const quint32 id = 3 + quint32(k);
        QCOMPARE(data->getAnalysisRetMgr()->getWellResult(id).effDrpltNum, m.results.at(k).effDrpltNum);
        WellImageAnalysisInfo record = m.imageInfos.at(k);
        record.wellId = id;
        QCOMPARE(data->getDrpltImgInfoMgr()->getImgAnalysisInfo(id), record);
        QVERIFY(!doc()->getDevParasMgr()->getScanningParas(id).isEmpty());
    }
}

// A configuration with more wells than the analysed ones: everything is added, the counter
// covers every id given out, and the wells are not announced.
void TestMerge::inconsistentWells()
{
    const QString target = make("icA.imrs", smallRun(2, 111));
    const QString two = make("icTwo.imrs", smallRun(2, 112));
    const QString three = make("icThree.imrs", smallRun(3, 112));
    const QString mixed = m_dir.filePath("icMixed.imrs");
    const QByteArray exp3 = entryData(three, "run.exp", QString());
    QVERIFY(rewriteEntry(two, mixed, "run.exp", [&](const QByteArray &) { return exp3; }, QString()));
    QVERIFY(doc()->open(target));

    QSignalSpy spy(doc(), &PcrAnalysisDocument::wellAdded);
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(mixed, permit), PcrAnalysisDocument::MergeSupported);
    QTest::ignoreMessage(QtWarningMsg, "mergeFile():well data is inconsistent!");
    if (!doc()->continueLoadFile())
        QSKIP("the reader refuses analysis data that does not match the configuration");
    QCOMPARE(spy.count(), 0);
    QCOMPARE(doc()->getExperimentCfgMgr()->getWells().size(), 5);
    QCOMPARE(doc()->getAnalysisDataMgr()->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().wells.size(), 4);
    // Configuration wells 3, 4, 5; analysed wells 3, 4: the counter stays above both.
    QCOMPARE(doc()->getFileLogMgr()->getLog()[FileLogMgr::WellCounter], 5u);
}

void TestMerge::experimentCfgComparison_data()
{
    QTest::addColumn<QList<MkPackage::TargetOption>>("targets");
    QTest::addColumn<bool>("same");
    const QList<MkPackage::TargetOption> base = GeneratorOptions::defaultTargets();
    QTest::newRow("same targets") << base << true;
    QList<MkPackage::TargetOption> t = base;
    t[1].name = "Target-VIC-named";
    QTest::newRow("one target name differs") << t << false;
    t = base;
    t[1].dye = "VIC"; // the same channel, another dye
    QTest::newRow("one dye differs") << t << false;
    t = base;
    t.removeLast();
    QTest::newRow("one target fewer") << t << false;
}

void TestMerge::experimentCfgComparison()
{
    QFETCH(QList<MkPackage::TargetOption>, targets);
    QFETCH(bool, same);
    const QString target = make("cfgA.imrs", smallRun(1, 81));
    GeneratorOptions o = smallRun(1, 82);
    o.targets = targets;
    const QString candidate = m_dir.filePath(QString("cfg_%1.imrs").arg(QTest::currentDataTag()).replace(' ', '_'));
    QVERIFY(generate(o, candidate));
    QVERIFY(doc()->open(target));
    PcrAnalysisDocument::MergePermit permit = untouchedPermit();
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(permit.accepted);
    QCOMPARE(permit.sameExperimentCfg, same);
    QVERIFY(permit.sameDevParas);
    QVERIFY(permit.sameCompensationMatrix);
}

void TestMerge::classificationOfNewWells_data()
{
    QTest::addColumn<bool>("polygon");
    QTest::addColumn<bool>("keepWells");
    QTest::newRow("line, from the first well") << false << true;
    QTest::newRow("line, no well left") << false << false;
    QTest::newRow("polygon, from the first well") << true << true;
    QTest::newRow("polygon, no well left") << true << false;
}

// New wells get the classification of the document's first well, cleared; without any well
// a cleared record is made from the zones, and no population results.
void TestMerge::classificationOfNewWells()
{
    QFETCH(bool, polygon);
    QFETCH(bool, keepWells);
    const QString target = make("clA.imrs", smallRun(2, 91));
    const QString candidate = make("clB.imrs", smallRun(2, 92));
    QVERIFY(doc()->open(target));
    AnalysisDataMgr *data = doc()->getAnalysisDataMgr();
    DrpltClassifyMgr *classify = data->getDrpltClassifyMgr();
    if (polygon) {
        data->switch2PolygonMode();
        // Two zones on a plot; the first well gets a polygon in the first.
        QCOMPARE(classify->addZone(DrpltZoneInfo{0, 1, {}}), 1u);
        QCOMPARE(classify->addZone(DrpltZoneInfo{0, 1, {}}), 2u);
        QVERIFY(classify->setThldByPolygon(1, 1, QPolygonF({{1, 1}, {5, 1}, {5, 5}})));
        QVERIFY(classify->setDrpltNumByPolygon(1, 1, 17));
    }
    // Population results come from the first well's (none after the switch, none without wells).
    const int populations = keepWells ? data->getAnalysisRetMgr()->getWellResults().first().populationResults.size() : 0;
    QVector<quint32> zoneIds;
    for (const DrpltZoneInfo &z : classify->getZones())
        zoneIds << z.id;
    QVERIFY(!zoneIds.isEmpty());
    if (!keepWells) {
        for (quint32 id : {1u, 2u}) {
            QVERIFY(data->removeWell(id));
            QVERIFY(doc()->getExperimentCfgMgr()->removeWell(id));
        }
    }

    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(doc()->isMergeSupported4Load(candidate, permit), PcrAnalysisDocument::MergeSupported);
    QVERIFY(doc()->continueLoadFile());

    for (quint32 id : {3u, 4u}) {
        if (polygon) {
            // One empty polygon and a zero count per zone.
            const QVector<PolygonThresholdInfo> &thlds = classify->getThldsByPolygon(id);
            const QVector<ZoneDrpltNumInfo> &counts = classify->getWellDrpltNumOfZonesByPolygon(id);
            QCOMPARE(thlds.size(), zoneIds.size());
            QCOMPARE(counts.size(), zoneIds.size());
            for (int z = 0; z < zoneIds.size(); ++z) {
                QCOMPARE(thlds[z].id, zoneIds[z]);
                QVERIFY(thlds[z].value.isEmpty());
                QCOMPARE(counts[z].zoneId, zoneIds[z]);
                QCOMPARE(counts[z].drpltNum, 0u);
            }
        } else {
            // Six zero thresholds, channels 1 to 6, and a zero count per zone.
            const QVector<LineThresholdInfo> &thlds = classify->getThldsByLine(id);
            QCOMPARE(thlds.size(), 6);
            for (int c = 0; c < 6; ++c) {
                QCOMPARE(thlds[c].id, quint32(c + 1));
                QCOMPARE(thlds[c].value, 0u);
            }
            const QVector<ZoneDrpltNumInfo> &counts = classify->getWellDrpltNumOfZonesByLine(id);
            QCOMPARE(counts.size(), zoneIds.size());
            for (int z = 0; z < zoneIds.size(); ++z) {
                QCOMPARE(counts[z].zoneId, zoneIds[z]);
                QCOMPARE(counts[z].drpltNum, 0u);
            }
        }
        QCOMPARE(data->getAnalysisRetMgr()->getWellResult(id).populationResults.size(), populations);
    }
}

LUMARA_TEST_MAIN(TestMerge)
#include "tst_merge.moc"
