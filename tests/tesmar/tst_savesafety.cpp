// Saving that never damages the package it replaces: a full disk and a killed process leave the
// old package or the new one whole, standard zip tools read what is written, images read the
// same after a save, and a package with an oversized image opens in bounded memory. The full
// disk, the kills and the memory are measured in child processes (savechild).
#include "documenttestsupport.h"
#include "io/packagecopy.h"
#include "pkgwriter.h"
#include "runarchivetestsupport.h"
#include "testmain.h"
#include "zipcheck.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>

#include <QThread>

#include <signal.h>
#include <zlib.h>

using namespace DocTest;

namespace {

PcrAnalysisDocument *doc()
{
    return PcrAnalysisDocument::getInstance();
}

struct ChildResult {
    bool finished = false;
    QString out;
};

ChildResult runChild(const QStringList &args, int timeoutMs = 60000)
{
    QProcess child;
    child.start(QStringLiteral(SAVECHILD_PATH), args);
    ChildResult r;
    r.finished = child.waitForStarted(timeoutMs) && child.waitForFinished(timeoutMs)
                 && child.exitStatus() == QProcess::NormalExit;
    if (!r.finished) {
        child.kill();
        child.waitForFinished();
    }
    // The failures the child is made to meet log warnings: shown only when it did not finish.
    const QByteArray errors = child.readAllStandardError();
    if (!r.finished && !errors.isEmpty())
        qWarning().noquote() << "The child's messages:" << errors;
    r.out = QString::fromUtf8(child.readAllStandardOutput());
    return r;
}

QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".*") + PackageCopy::TempTarget::marker() + QLatin1Char('*')},
                                  QDir::Files | QDir::Hidden | QDir::System);
}

QByteArray pngOf(const QImage &image)
{
    return RunArchiveTest::pngBytes(image);
}

QImage greyImage(int width, int height, int seed)
{
    return RunArchiveTest::rampImage(width, height, seed, QImage::Format_Grayscale8);
}

// The first droplet image entry of an archive whose name holds `part`.
QString firstImage(const QString &zipPath, const QString &part = QString())
{
    for (const QString &name : entryNames(zipPath))
        if (name.startsWith("capture/") && name.contains(part))
            return name;
    return QString();
}

// A black 8-bit grey PNG of the given size, made row by row: a small file that would take
// width x height bytes once decoded.
QByteArray hugeBlackPng(int width, int height)
{
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&out](const char *type, const QByteArray &data) {
        const quint32 n = quint32(data.size());
        const char length[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
        out.append(length, 4);
        const QByteArray body = QByteArray(type, 4) + data;
        out.append(body);
        const quint32 crc = quint32(crc32(0L, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())));
        const char sum[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
        out.append(sum, 4);
    };
    QByteArray header(13, '\0');
    for (int i = 0; i < 4; ++i) {
        header[i] = char(quint32(width) >> (24 - 8 * i));
        header[4 + i] = char(quint32(height) >> (24 - 8 * i));
    }
    header[8] = 8; // bit depth; colour type 0 (grey), default compression, filter, no interlace
    chunk("IHDR", header);

    z_stream zs{};
    deflateInit(&zs, 9);
    const QByteArray row(width + 1, '\0'); // filter byte, then the pixels
    QByteArray compressed;
    char buffer[1 << 16];
    for (int y = 0; y <= height; ++y) {
        const bool last = y == height;
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        zs.avail_in = last ? 0 : uInt(row.size());
        do {
            zs.next_out = reinterpret_cast<Bytef *>(buffer);
            zs.avail_out = sizeof buffer;
            deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(buffer, int(sizeof buffer - zs.avail_out));
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    chunk("IDAT", compressed);
    chunk("IEND", QByteArray());
    return out;
}

// Replaces one stored image name in a run.pcr entry, both spelt with the same length: names
// are stored as UTF-16.
QByteArray renamed(const QByteArray &entry, const QString &from, const QString &to)
{
    auto utf16 = [](const QString &s) {
        QByteArray b;
        for (QChar c : s)
            b.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        return b;
    };
    QByteArray out = entry;
    out.replace(utf16(from), utf16(to));
    return out;
}

// Adds an entry to an archive (encrypted with the password when there is one).
bool addEntry(const QString &zipPath, const QString &name, const QByteArray &bytes, const QString &password)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdAdd))
        return false;
    QuaZipFile f(&zip);
    const QByteArray pw = password.toLatin1();
    bool ok = f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), password.isEmpty() ? nullptr : pw.constData());
    ok = ok && f.write(bytes) == bytes.size();
    f.close();
    zip.close();
    return ok && f.getZipError() == ZIP_OK && zip.getZipError() == ZIP_OK;
}

} // namespace

class TestSaveSafety : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void standardToolsRead_data();
    void standardToolsRead();
    void standardReaderNoticesDamage();
    void fullDisk_data();
    void fullDisk();
    void killedSaves();
    void imagesSurviveSave_data();
    void imagesSurviveSave();
    void oversizedImages_data();
    void oversizedImages();

private:
    QTemporaryDir m_dir;
    QString m_run;      // small run archive with a password
    QString m_saved;    // a package saved from it
};

void TestSaveSafety::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo(QStringLiteral(SAVECHILD_PATH)).isExecutable());
    MkPackage::GeneratorOptions o = smallRun(2, 5);
    o.password = QStringLiteral("alpha");
    m_run = m_dir.filePath(QStringLiteral("plate.imrs"));
    QVERIFY(generate(o, m_run));
    m_saved = m_dir.filePath(QStringLiteral("plate.arlx"));
    QVERIFY(doc()->open(m_run));
    QVERIFY(doc()->save(m_saved));
}

void TestSaveSafety::cleanup()
{
    PcrAnalysisDocument::release();
}

void TestSaveSafety::standardToolsRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("imageSets");
    QTest::newRow("imrs with a password") << "imrs" << "alpha" << 1;
    QTest::newRow("imrs without a password") << "imrs" << "" << 1;
    QTest::newRow("imrs with image halves") << "imrs" << "beta" << 2;
    QTest::newRow("expzip with a password") << "expzip" << "gamma" << 1;
}

// Saved from a run archive, saved again from that package, and saved over itself: every entry
// reads whole in Python's zipfile with the password, with the checksums the directory lists.
void TestSaveSafety::standardToolsRead()
{
    QFETCH(QString, kind);
    QFETCH(QString, password);
    QFETCH(int, imageSets);
    QTemporaryDir dir;
    MkPackage::GeneratorOptions o = smallRun(2, 9);
    o.password = password;
    o.imageSets = imageSets;
    o.kind = kind == "imrs" ? MkPackage::ArchiveKind::Imrs : MkPackage::ArchiveKind::Expzip;
    const QString run = dir.filePath("source." + kind);
    QVERIFY(generate(o, run));
    const QString first = dir.filePath("first.arlx");
    const QString second = dir.filePath("second.arlx");
    QVERIFY(doc()->open(run));
    QVERIFY(doc()->save(first));
    QVERIFY(doc()->open(first));
    QVERIFY(doc()->save(second));
    doc()->beginSaveFile();
    QVERIFY(doc()->save(second));
    doc()->endSaveFile();
    for (const QString &path : {first, second}) {
        const QString problem = LumaraTest::standardZipCheck(path, true);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // Everything but the password entries is encrypted when there is a password.
        for (const QString &entry : entryNames(path))
            QCOMPARE(isEncrypted(path, entry), !password.isEmpty() && entry.section('/', -1) != "password");
    }
}

// The check itself: a damaged entry does not pass.
void TestSaveSafety::standardReaderNoticesDamage()
{
    const QString damaged = m_dir.filePath("damaged.arlx");
    QVERIFY(rewriteEntry(m_saved, damaged, "run.exp", [](const QByteArray &b) { return b; }, "alpha", true));
    QVERIFY(LumaraTest::standardZipCheck(damaged, true).isEmpty());
    QVERIFY(flipStoredByte(damaged, "run.exp"));
    QVERIFY(!LumaraTest::standardZipCheck(damaged, true).isEmpty());
}

void TestSaveSafety::fullDisk_data()
{
    QTest::addColumn<QString>("target"); // "new", "other" (another package), "itself"
    QTest::addColumn<int>("below");      // bytes under the finished size
    for (const QByteArray &target : {QByteArray("new"), QByteArray("other"), QByteArray("itself")})
        for (int below : {1, 10, 100, 1000})
            QTest::addRow("%s, %d below", target.constData(), below) << QString(target) << below;
}

// With the file size limited below the finished package, a save never reports success with a
// damaged target: either it succeeds with a whole package, or the target is as it was.
void TestSaveSafety::fullDisk()
{
    QFETCH(QString, target);
    QFETCH(int, below);
    QTemporaryDir dir;
    const QString path = dir.filePath("target.arlx");
    QStringList args;
    if (target == "itself") {
        QVERIFY(QFile::copy(m_saved, path));
        args << "save" << path << path << "--begin";
    } else {
        if (target == "other")
            QVERIFY(QFile::copy(m_saved, path));
        args << "save" << m_run << path;
    }

    // The size a save without a limit reaches, on a copy of the same start (once per kind).
    static QHash<QString, qint64> finishedSizes;
    if (!finishedSizes.contains(target)) {
        const QString probe = dir.filePath("probe.arlx");
        if (target == "itself") {
            QVERIFY(QFile::copy(m_saved, probe));
            QCOMPARE(runChild({"save", probe, probe, "--begin"}).out.trimmed(), QString("saved 1"));
        } else {
            QCOMPARE(runChild({"save", m_run, probe}).out.trimmed(), QString("saved 1"));
        }
        finishedSizes.insert(target, QFileInfo(probe).size());
        QVERIFY(QFile::remove(probe));
    }
    const qint64 finished = finishedSizes.value(target);

    const QByteArray before = readFile(path);
    const ChildResult r = runChild(args << "--fsize" << QString::number(finished - below));
    QVERIFY2(r.finished, qPrintable(r.out));
    const QString result = r.out.trimmed();
    QVERIFY2(result == "saved 0" || result == "saved 1", qPrintable(result));
    if (result == "saved 1") {
        // Saves differ by a few bytes of time stamps; a true result must mean a whole package.
        QVERIFY2(below < 100, "a save reported success with too little room");
        const QString problem = LumaraTest::standardZipCheck(path, true);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(doc()->open(path));
    } else {
        QCOMPARE(QFileInfo::exists(path), target != "new");
        if (target != "new")
            QVERIFY(readFile(path) == before);
    }
    QCOMPARE(leftovers(dir.path()), QStringList());
}

// A child saving over and over is killed at random moments: the target is always the old
// package or a new one, and the next save removes what the killed one left.
void TestSaveSafety::killedSaves()
{
    QTemporaryDir dir;
    MkPackage::GeneratorOptions o = smallRun(2, 21);
    o.width = o.height = 224;
    o.password = QStringLiteral("delta");
    const QString run = dir.filePath("big.imrs");
    QVERIFY(generate(o, run));
    const QString target = dir.filePath("target.arlx");
    QVERIFY(doc()->open(run));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(doc()->save(target));
    const qint64 saveMs = std::max<qint64>(20, timer.elapsed());
    PcrAnalysisDocument::release();

    QRandomGenerator random(20240601);
    int leftBehind = 0;
    // A loaded machine can stretch the child's save past every kill of a round: keep killing
    // until one lands inside a save, within a bound.
    for (int run_ = 0; run_ < 20 || (leftBehind == 0 && run_ < 60); ++run_) {
        const QByteArray old = readFile(target);
        QProcess child;
        child.start(QStringLiteral(SAVECHILD_PATH), {"loop", run, target});
        QVERIFY(child.waitForStarted(30000));
        while (!child.canReadLine())
            QVERIFY2(child.waitForReadyRead(30000), "the child did not get ready");
        QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
        QThread::msleep(ulong(random.bounded(int(saveMs * 2))));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));

        const QString where = QString("run %1").arg(run_);
        if (readFile(target) != old) {
            const QString problem = LumaraTest::standardZipCheck(target);
            QVERIFY2(problem.isEmpty(), qPrintable(where + ": " + problem));
            QVERIFY2(doc()->open(target), qPrintable(where));
            PcrAnalysisDocument::release();
        }
        if (!leftovers(dir.path()).isEmpty()) {
            ++leftBehind;
            // Only the program's own, unheld temporary files go.
            const QString foreign = dir.filePath(".target.arlx.notours");
            QVERIFY(writeFile(foreign, "keep"));
            QCOMPARE(PackageCopy::TempTarget::removeLeftovers(dir.path()), leftovers(dir.path()).size());
            QVERIFY(QFileInfo::exists(foreign));
            QVERIFY(QFile::remove(foreign));
        }
        QCOMPARE(leftovers(dir.path()), QStringList());
    }
    // Kills fall mostly while a package is being written.
    QVERIFY2(leftBehind > 0, "no kill interrupted a save");

    // A file a running save holds is not taken away from it.
    PackageCopy::TempTarget held(dir.filePath("held.arlx"));
    QVERIFY(held.isValid());
    QCOMPARE(PackageCopy::TempTarget::removeLeftovers(dir.path()), 0);
    QVERIFY(QFileInfo::exists(held.path()));
}

void TestSaveSafety::imagesSurviveSave_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("image halves of different sizes") << "halves";
    QTest::newRow("a name the archive does not hold") << "missing name";
    QTest::newRow("a name outside the capture folder") << "other folder";
}

// Open, save, reopen: the same images as the first open.
void TestSaveSafety::imagesSurviveSave()
{
    QFETCH(QString, damage);
    QTemporaryDir dir;
    MkPackage::GeneratorOptions o = smallRun(2, 33);
    o.password = QStringLiteral("eps");
    QString source;
    if (damage == "halves") {
        o.imageSets = 2;
        const QString run = dir.filePath("halves.imrs");
        QVERIFY(generate(o, run));
        // One bottom half larger than its top half.
        const QString bottom = firstImage(run, "B");
        QVERIFY(!bottom.isEmpty());
        source = dir.filePath("damaged.imrs");
        QVERIFY(rewriteEntry(run, source, bottom, [](const QByteArray &) { return pngOf(greyImage(80, 60, 3)); },
                             o.password));
    } else {
        o.kind = MkPackage::ArchiveKind::Expzip;
        const QString run = dir.filePath("names.expzip");
        QVERIFY(generate(o, run));
        const QString image = firstImage(run);
        QVERIFY(!image.isEmpty());
        const QString other = QString(image).replace("capture/", "capturX/");
        source = dir.filePath("damaged.expzip");
        QVERIFY(rewriteEntry(run, source, "run.pcr",
                             [&](const QByteArray &b) { return renamed(b, image, other); }, o.password));
        if (damage == "other folder")
            QVERIFY(addEntry(source, other, pngOf(greyImage(64, 48, 9)), o.password));
    }

    auto nullImages = [](const QList<WellDrpltImgInfo<QImage>> &wells) {
        int nulls = 0;
        for (const auto &well : wells)
            for (const QImage &image : well.images)
                nulls += image.isNull() ? 1 : 0;
        return nulls;
    };
    QVERIFY(doc()->open(source.left(source.lastIndexOf('/')) + (damage == "halves" ? "/halves.imrs" : "/names.expzip")));
    const int undamagedNulls = nullImages(snapshot(doc()).images);

    QVERIFY(doc()->open(source));
    const Snapshot opened = snapshot(doc());
    // The damaged image is null, unless the archive holds it where its name says.
    QCOMPARE(nullImages(opened.images), undamagedNulls + (damage == "other folder" ? 0 : 1));
    const QString saved = dir.filePath("saved.arlx");
    QVERIFY(doc()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);
    PcrAnalysisDocument::release();
    QVERIFY(doc()->open(saved));
    QVERIFY(sameImages(snapshot(doc()).images, opened.images));
}

void TestSaveSafety::oversizedImages_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("16000 x 16000 in place of a channel") << "huge";
    QTest::newRow("a channel of another size") << "mismatched";
}

// An image entry that declares another size than the well's other images is refused before it
// is decoded: it stays null, and opening takes no more memory than the package without it.
void TestSaveSafety::oversizedImages()
{
    QFETCH(QString, damage);
    QTemporaryDir dir;
    MkPackage::GeneratorOptions o = smallRun(2, 41);
    o.width = o.height = 256;
    const QString run = dir.filePath("plain.imrs");
    QVERIFY(generate(o, run));
    const QString image = firstImage(run);
    QVERIFY(!image.isEmpty());

    // The same package with that image in the usual size, and with the damaged one.
    const QString plain = dir.filePath("same.imrs");
    QVERIFY(rewriteEntry(run, plain, image, [](const QByteArray &) { return pngOf(greyImage(256, 256, 1)); },
                         QString()));
    const QByteArray bad = damage == "huge" ? hugeBlackPng(16000, 16000) : pngOf(greyImage(300, 256, 1));
    const QString damaged = dir.filePath("damaged.imrs");
    QVERIFY(rewriteEntry(run, damaged, image, [&bad](const QByteArray &) { return bad; }, QString()));

    auto open = [](const QString &path, int *nulls, long *peak) {
        const ChildResult r = runChild({"open", path});
        const QStringList f = r.out.split(' ', Qt::SkipEmptyParts);
        if (!r.finished || f.size() != 6 || f.at(1) != "1")
            return false;
        *nulls = f.at(3).toInt();
        *peak = f.at(5).toLong();
        return true;
    };
    int plainNulls = 0, damagedNulls = 0;
    long plainPeak = 0, damagedPeak = 0;
    QVERIFY(open(plain, &plainNulls, &plainPeak));
    QVERIFY(open(damaged, &damagedNulls, &damagedPeak));
    QCOMPARE(damagedNulls, plainNulls + 1);
    QVERIFY2(double(damagedPeak) < 1.2 * double(plainPeak),
             qPrintable(QString("peak %1 kB against %2 kB").arg(damagedPeak).arg(plainPeak)));
}

LUMARA_TEST_MAIN(TestSaveSafety)
#include "tst_savesafety.moc"
