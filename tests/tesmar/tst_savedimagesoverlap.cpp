// A saved package's images decode on the pool while its records are still being read: whatever
// the pool's size, the reopened document is the one that was saved, and a body that breaks off
// after the images have started refuses the open and leaves the loaded document alone.
#include "documenttestsupport.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <QThreadPool>

using namespace DocTest;

namespace {

PcrAnalysisDocument *doc()
{
    return PcrAnalysisDocument::getInstance();
}

// The global pool limited to a number of threads for one scope.
class PoolLimit {
public:
    explicit PoolLimit(int threads) : m_saved(QThreadPool::globalInstance()->maxThreadCount())
    {
        QThreadPool::globalInstance()->setMaxThreadCount(threads);
    }
    ~PoolLimit() { QThreadPool::globalInstance()->setMaxThreadCount(m_saved); }

private:
    int m_saved;
};

} // namespace

class TestSavedImagesOverlap : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reopenOnAnyPool_data();
    void reopenOnAnyPool();
    void bodyCutAfterTheImagesStarted_data();
    void bodyCutAfterTheImagesStarted();

private:
    // Opens a generated run archive and saves it; the snapshot is of the opened archive.
    QString savedPackage(const QString &name, int sets, const QString &password, Snapshot *opened);
    QTemporaryDir m_dir;
};

void TestSavedImagesOverlap::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestSavedImagesOverlap::savedPackage(const QString &name, int sets, const QString &password,
                                             Snapshot *opened)
{
    MkPackage::GeneratorOptions o = smallRun(5, 7);
    o.imageSets = sets;
    o.password = password;
    const QString source = m_dir.filePath(name + ".imrs");
    if (!generate(o, source) || !doc()->open(source))
        return QString();
    *opened = snapshot(doc());
    const QString saved = m_dir.filePath(name + ".arlx");
    return doc()->save(saved) ? saved : QString();
}

void TestSavedImagesOverlap::reopenOnAnyPool_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("sets");
    QTest::addColumn<QString>("password");
    QTest::newRow("pool of one") << 1 << 1 << "";
    QTest::newRow("pool of one, two blocks") << 1 << 2 << "";
    QTest::newRow("pool of two, password") << 2 << 1 << "pw";
    QTest::newRow("pool of eight, two blocks, password") << 8 << 2 << "pw";
}

void TestSavedImagesOverlap::reopenOnAnyPool()
{
    QFETCH(int, threads);
    QFETCH(int, sets);
    QFETCH(QString, password);
    Snapshot opened;
    const QString saved =
        savedPackage(QStringLiteral("any%1_%2%3").arg(threads).arg(sets).arg(password), sets, password, &opened);
    QVERIFY(!saved.isEmpty());
    int images = 0;
    for (const WellDrpltImgInfo<QImage> &well : opened.images)
        for (const QImage &image : well.images)
            images += image.isNull() ? 0 : 1;
    QVERIFY(images >= 5);

    PcrAnalysisDocument::release();
    {
        const PoolLimit limit(threads);
        QVERIFY(doc()->open(saved));
    }
    const QString diff = difference(opened, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestSavedImagesOverlap::bodyCutAfterTheImagesStarted_data()
{
    QTest::addColumn<double>("kept"); // the share of the records entry left
    QTest::newRow("half the records") << 0.5;
    QTest::newRow("all but the last byte") << -1.0;
}

void TestSavedImagesOverlap::bodyCutAfterTheImagesStarted()
{
    QFETCH(double, kept);
    Snapshot opened;
    const QString saved = savedPackage(QStringLiteral("cut%1").arg(kept < 0 ? 1 : 0), 1, QString(), &opened);
    QVERIFY(!saved.isEmpty());
    const QString cut = m_dir.filePath(QStringLiteral("cut%1_damaged.arlx").arg(kept < 0 ? 1 : 0));
    QVERIFY(rewriteEntry(
        saved, cut, QStringLiteral("run.pcr"),
        [kept](const QByteArray &b) { return b.left(kept < 0 ? b.size() - 1 : int(b.size() * kept)); }, QString()));

    // The opened archive stays loaded, images and all.
    QVERIFY(!doc()->open(cut));
    QString diff = difference(opened, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // And the intact package still opens after the refused one.
    QVERIFY(doc()->open(saved));
    diff = difference(opened, snapshot(doc()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

LUMARA_TEST_MAIN(TestSavedImagesOverlap)
#include "tst_savedimagesoverlap.moc"
