// The buffered entry view: lists and data-stream reads taking turns across its block boundary,
// sources that deliver in small pieces or end early, and forged counts.
#include "io/entryreadbuffer.h"
#include "testmain.h"

#include <QBuffer>
#include <QDataStream>

#include <algorithm>

namespace {

// A source that hands out at most `step` bytes per read, as a zip entry may.
class TrickleDevice : public QIODevice {
public:
    TrickleDevice(const QByteArray &data, int step) : m_data(data), m_step(step) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_pos + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>({maxSize, qint64(m_step), qint64(m_data.size() - m_pos)});
        memcpy(data, m_data.constData() + m_pos, size_t(n));
        m_pos += int(n);
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    int m_step;
    int m_pos = 0;
};

// Records of: a string, a list of `len` values counting on from `next`, a double.
QByteArray records(int count, int len)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    quint32 next = 0;
    for (int r = 0; r < count; ++r) {
        ds << QStringLiteral("record %1").arg(r);
        ds << quint32(len);
        for (int i = 0; i < len; ++i)
            ds << next++;
        ds << double(r) / 4.0;
    }
    return out;
}

} // namespace

class TestEntryReadBuffer : public QObject {
    Q_OBJECT

private slots:
    void takingTurns_data();
    void takingTurns();
    void endsEarly_data();
    void endsEarly();
    void forgedCount();
};

void TestEntryReadBuffer::takingTurns_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("len");
    QTest::addColumn<int>("step");
    // 3000 records of 100 values: about 1.3 MB, so lists and strings straddle the first block.
    QTest::newRow("small, 1-byte pieces") << 5 << 6 << 1;
    QTest::newRow("past one block, whole reads") << 3000 << 100 << (1 << 30);
    QTest::newRow("past one block, 7-byte pieces") << 3000 << 100 << 7;
    QTest::newRow("one list of 300000 values") << 1 << 300000 << 4096;
}

void TestEntryReadBuffer::takingTurns()
{
    QFETCH(int, count);
    QFETCH(int, len);
    QFETCH(int, step);
    const QByteArray data = records(count, len);
    TrickleDevice source(data, step);
    EntryReadBuffer in(&source, source.bytesAvailable());
    QCOMPARE(in.bytesAvailable(), qint64(data.size()));
    QDataStream ds(&in);
    quint32 next = 0;
    for (int r = 0; r < count; ++r) {
        QString name;
        ds >> name;
        QCOMPARE(name, QStringLiteral("record %1").arg(r));
        QVector<quint32> list;
        QVERIFY(in.readU32List(list));
        QCOMPARE(list.size(), len);
        for (quint32 v : qAsConst(list))
            QCOMPARE(v, next++);
        double d = 0;
        ds >> d;
        QCOMPARE(d, double(r) / 4.0);
        QCOMPARE(ds.status(), QDataStream::Ok);
    }
    QCOMPARE(in.bytesAvailable(), qint64(0));
    quint32 more = 0;
    QVERIFY(!in.readU32(more));
    ds >> more;
    QCOMPARE(ds.status(), QDataStream::ReadPastEnd);
}

void TestEntryReadBuffer::endsEarly_data()
{
    QTest::addColumn<int>("cut");
    // records(1, 4): string "record 0" (4 + 16 bytes), count (4), four values (16), double (8).
    QTest::newRow("inside the count") << 22;
    QTest::newRow("after the count") << 24;
    QTest::newRow("inside the third value") << 34;
    QTest::newRow("before the last value") << 36;
}

void TestEntryReadBuffer::endsEarly()
{
    QFETCH(int, cut);
    const QByteArray data = records(1, 4).left(cut);
    // The source claims more than it has, as a damaged entry may.
    TrickleDevice source(data, 3);
    EntryReadBuffer in(&source, 1000);
    QDataStream ds(&in);
    QString name;
    ds >> name;
    QCOMPARE(name, QStringLiteral("record 0"));
    QVector<quint32> list{9, 9};
    QVERIFY(!in.readU32List(list));
    QVERIFY(list.isEmpty());
    QCOMPARE(in.bytesAvailable(), qint64(0));
}

void TestEntryReadBuffer::forgedCount()
{
    // A count of 2^31 - 1 over eight bytes of data: refused at once, nothing reserved.
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << quint32(0x7fffffff) << quint32(1) << quint32(2);
    QBuffer source(&data);
    source.open(QIODevice::ReadOnly);
    EntryReadBuffer in(&source, source.size());
    QVector<quint32> list;
    QVERIFY(!in.readU32List(list));
    QVERIFY(list.isEmpty());
    QCOMPARE(list.capacity(), 0);

    // The same count when the source claims far more than it holds: the list grows only in
    // bounded steps as data arrives, and fails when it ends.
    QBuffer liar(&data);
    liar.open(QIODevice::ReadOnly);
    EntryReadBuffer claimed(&liar, qint64(1) << 40);
    QVERIFY(!claimed.readU32List(list));
    QVERIFY(list.isEmpty());
}

LUMARA_TEST_MAIN(TestEntryReadBuffer)
#include "tst_entryreadbuffer.moc"
