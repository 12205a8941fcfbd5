// Damaged and mutated packages of every kind opened one by one, each in a forked child of a
// process that holds a loaded document: no crash, no hang, no sanitizer report, and an open
// that fails leaves the loaded document as it was. Every entry is cut at many offsets, and each
// kind of entry gets a few hundred seeded mutations. LUMARA_FUZZ_STRIDE=n opens every n-th
// case only, for a quick look.
#include "documenttestsupport.h"
#include "testmain.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThreadPool>

#include <sys/types.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

using namespace DocTest;

namespace {

constexpr int MutationsPerKind = 200;
constexpr int Parallel = 6;
constexpr int HangMs = 30000;

// Exit codes of a child.
enum ChildCode { Opened = 0, RefusedUnchanged = 1, RefusedChanged = 2 };

struct Entry {
    QString name;
    QByteArray bytes;
    bool encrypted = false;
};

struct Package {
    QString path;
    QString password;
    QList<Entry> entries;
};

QString entryKind(const QString &name)
{
    const QString leaf = name.section('/', -1);
    if (leaf.endsWith(".png"))
        return QStringLiteral("image");
    return leaf;
}

Package readPackage(const QString &path, const QString &password)
{
    Package p;
    p.path = path;
    p.password = password;
    for (const QString &name : entryNames(path)) {
        Entry e;
        e.name = name;
        e.encrypted = isEncrypted(path, name);
        e.bytes = entryData(path, name, e.encrypted ? password : QString());
        p.entries.append(e);
    }
    return p;
}

bool writePackage(const Package &p, const QString &to)
{
    QuaZip out(to);
    if (!out.open(QuaZip::mdCreate))
        return false;
    const QByteArray pw = p.password.toLatin1();
    bool ok = true;
    for (const Entry &e : p.entries) {
        QuaZipFile f(&out);
        ok = ok && f.open(QIODevice::WriteOnly, QuaZipNewInfo(e.name), e.encrypted ? pw.constData() : nullptr);
        ok = ok && f.write(e.bytes) == e.bytes.size();
        f.close();
    }
    out.close();
    return ok && out.getZipError() == ZIP_OK;
}

QByteArray mutate(QByteArray b, QRandomGenerator &random)
{
    const int steps = 1 + int(random.bounded(4));
    for (int s = 0; s < steps; ++s) {
        if (b.isEmpty()) {
            b.append(char(random.bounded(256)));
            continue;
        }
        const int at = int(random.bounded(b.size()));
        switch (random.bounded(7)) {
        case 0: // one bit
            b[at] = char(b.at(at) ^ (1 << random.bounded(8)));
            break;
        case 1: // one byte
            b[at] = char(random.bounded(256));
            break;
        case 2: { // a count or length gone large
            const char big[4] = {'\x7f', '\xff', '\xff', char(random.bounded(256))};
            b.replace(at, 4, QByteArray(big, 4));
            break;
        }
        case 3: { // ... or negative, or just past the end
            const quint32 v = random.bounded(2) ? 0xFFFFFFFFu : quint32(b.size() - at);
            const char word[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
            b.replace(at, 4, QByteArray(word, 4));
            break;
        }
        case 4: // bytes removed
            b.remove(at, 1 + int(random.bounded(16)));
            break;
        case 5: // bytes inserted
            b.insert(at, QByteArray(1 + int(random.bounded(16)), char(random.bounded(256))));
            break;
        default: { // a stretch repeated
            const int len = 1 + int(random.bounded(qMin(64, b.size() - at)));
            b.insert(at, b.mid(at, len));
            break;
        }
        }
    }
    return b;
}

struct Case {
    QString what;
    Package package;
};

// Threads a fork would leave behind without their state; there must be none.
int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

} // namespace

class TestFuzzOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void damagedPackagesOpenSafely();

private:
    QTemporaryDir m_dir;
    QList<Package> m_packages;
    QString m_loaded;
};

void TestFuzzOpen::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The test framework's own threads; no more may run when the children are forked.
    const int baseThreads = threadCount();
    // Pool threads end once idle, so that none is running when the children are forked.
    QThreadPool::globalInstance()->setExpiryTimeout(0);

    struct Kind {
        const char *file;
        MkPackage::ArchiveKind kind;
        int pcrVersion;
        int imageSets;
        const char *password;
    };
    const Kind kinds[] = {
        {"layout31.imrs", MkPackage::ArchiveKind::Imrs, 1, 1, "alpha"},
        {"layout30.imrs", MkPackage::ArchiveKind::Imrs, 0, 1, ""},
        {"halves.imrs", MkPackage::ArchiveKind::Imrs, 1, 2, "beta"},
        {"run.expzip", MkPackage::ArchiveKind::Expzip, 1, 1, "gamma"},
    };
    for (const Kind &k : kinds) {
        MkPackage::GeneratorOptions o = smallRun(2, 77);
        o.width = 32;
        o.height = 24;
        o.kind = k.kind;
        o.pcrVersion = k.pcrVersion;
        o.imageSets = k.imageSets;
        o.password = QString::fromLatin1(k.password);
        const QString path = m_dir.filePath(QString::fromLatin1(k.file));
        QVERIFY(generate(o, path));
        m_packages.append(readPackage(path, o.password));
    }
    // A saved package, from the first run archive.
    const QString saved = m_dir.filePath("saved.arlx");
    QVERIFY(PcrAnalysisDocument::getInstance()->open(m_packages.first().path));
    QVERIFY(PcrAnalysisDocument::getInstance()->save(saved));
    m_packages.append(readPackage(saved, "alpha"));

    // The document the children hold when they open a damaged package.
    m_loaded = m_packages.at(1).path;
    QVERIFY(PcrAnalysisDocument::getInstance()->open(m_loaded));
    QThreadPool::globalInstance()->waitForDone();
    QElapsedTimer waited;
    waited.start();
    while (threadCount() > baseThreads && waited.elapsed() < 5000)
        QThread::msleep(10);
    QCOMPARE(threadCount(), baseThreads);
}

void TestFuzzOpen::damagedPackagesOpenSafely()
{
    QList<Case> cases;
    // Every entry of every package cut short at many places.
    for (const Package &p : qAsConst(m_packages)) {
        for (int e = 0; e < p.entries.size(); ++e) {
            const int size = p.entries.at(e).bytes.size();
            QList<int> cuts{0, 1, 2, 3, 4, 7, 8, 12, 16, 31, 64, 100, 200, size / 4, size / 2, size - 4, size - 1};
            std::sort(cuts.begin(), cuts.end());
            cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
            for (int cut : qAsConst(cuts)) {
                if (cut < 0 || cut >= size)
                    continue;
                Case c{QString("%1: %2 cut at %3").arg(QFileInfo(p.path).fileName(), p.entries.at(e).name).arg(cut), p};
                c.package.entries[e].bytes.truncate(cut);
                cases.append(c);
            }
        }
    }
    // Seeded mutations, a few hundred for each kind of entry, spread over the packages.
    QMap<QString, QList<QPair<int, int>>> byKind; // kind -> (package, entry)
    for (int p = 0; p < m_packages.size(); ++p)
        for (int e = 0; e < m_packages.at(p).entries.size(); ++e)
            byKind[entryKind(m_packages.at(p).entries.at(e).name)].append({p, e});
    QRandomGenerator random(18);
    for (auto it = byKind.cbegin(); it != byKind.cend(); ++it) {
        for (int m = 0; m < MutationsPerKind; ++m) {
            const QPair<int, int> at = it.value().at(m % it.value().size());
            Case c{QString("%1: %2 mutation %3").arg(QFileInfo(m_packages.at(at.first).path).fileName(),
                                                     m_packages.at(at.first).entries.at(at.second).name)
                       .arg(m),
                   m_packages.at(at.first)};
            QByteArray &bytes = c.package.entries[at.second].bytes;
            bytes = mutate(bytes, random);
            cases.append(c);
        }
    }

    const int stride = qMax(1, qEnvironmentVariableIntValue("LUMARA_FUZZ_STRIDE"));
    if (stride > 1) {
        QList<Case> sample;
        for (int i = 0; i < cases.size(); i += stride)
            sample.append(cases.at(i));
        cases = sample;
    }

    PcrAnalysisDocument *doc = PcrAnalysisDocument::getInstance();
    const Snapshot before = snapshot(doc);
    QStringList problems;
    int opened = 0, refused = 0;
    struct Running {
        pid_t pid;
        int index;
        QElapsedTimer timer;
    };
    QList<Running> running;
    auto reap = [&](bool block) {
        for (int i = 0; i < running.size();) {
            int status = 0;
            const pid_t done = waitpid(running[i].pid, &status, block && i == 0 ? 0 : WNOHANG);
            const Case &c = cases.at(running[i].index);
            if (done == 0) {
                if (running[i].timer.elapsed() > HangMs) {
                    ::kill(running[i].pid, SIGKILL);
                    waitpid(running[i].pid, &status, 0);
                    problems << c.what + QStringLiteral(": hangs");
                    running.removeAt(i);
                    continue;
                }
                ++i;
                continue;
            }
            if (WIFSIGNALED(status))
                problems << c.what + QStringLiteral(": ended by signal %1").arg(WTERMSIG(status));
            else if (WEXITSTATUS(status) == Opened)
                ++opened;
            else if (WEXITSTATUS(status) == RefusedUnchanged)
                ++refused;
            else if (WEXITSTATUS(status) == RefusedChanged)
                problems << c.what + QStringLiteral(": a failed open changed the loaded document");
            else
                problems << c.what + QStringLiteral(": exit code %1").arg(WEXITSTATUS(status));
            running.removeAt(i);
        }
    };

    for (int i = 0; i < cases.size(); ++i) {
        while (running.size() >= Parallel) {
            reap(false);
            if (running.size() >= Parallel)
                QThread::msleep(1);
        }
        const QString path = m_dir.filePath(QString("case%1.%2").arg(i % (2 * Parallel)).arg(QFileInfo(cases.at(i).package.path).suffix()));
        // The file of a case still being opened is not overwritten.
        bool busy = true;
        while (busy) {
            busy = false;
            for (const Running &r : qAsConst(running))
                if (r.index % (2 * Parallel) == i % (2 * Parallel))
                    busy = true;
            if (busy) {
                reap(false);
                QThread::msleep(1);
            }
        }
        QVERIFY2(writePackage(cases.at(i).package, path), qPrintable(cases.at(i).what));
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            int code = Opened;
            if (!doc->open(path))
                code = difference(snapshot(doc), before).isEmpty() ? RefusedUnchanged : RefusedChanged;
            // Leaks are not looked for here: a forked child lacks the parent's other threads,
            // whose stacks still point at what they hold.
            _exit(code);
        }
        running.append({pid, i, QElapsedTimer()});
        running.last().timer.start();
    }
    while (!running.isEmpty()) {
        reap(false);
        if (!running.isEmpty())
            QThread::msleep(1);
    }
    qInfo("%d damaged packages: %d opened, %d refused, %d problems", int(cases.size()), opened, refused,
          int(problems.size()));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 20).join('\n')));
    QVERIFY(refused > 0);
}

LUMARA_TEST_MAIN(TestFuzzOpen)
#include "tst_fuzzopen.moc"
