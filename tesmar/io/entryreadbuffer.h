#pragma once
#include "tesmar_global.h"

#include <QByteArray>
#include <QIODevice>
#include <QVector>

// A read-only, sequential, buffered view of a large entry. It reads its source in large
// blocks, counts the bytes still to come (bounded reservations ask that at every container;
// a zip entry would answer by reading the archive's directory each time), and reads lists of
// 32-bit values straight from its buffer. It does its own buffering, so data streams on it and
// its own readers can take turns.
class TESMAR_EXPORT EntryReadBuffer : public QIODevice {
public:
    // `size`: the bytes `source` still holds (its bytesAvailable() when the view is made).
    EntryReadBuffer(QIODevice *source, qint64 size);
    ~EntryReadBuffer() override;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return qint64(m_end - m_pos) + m_left + QIODevice::bytesAvailable(); }

    // Big-endian 32-bit values, as a data stream has them. False when the entry ends first.
    bool readU32(quint32 &v);
    // A count, then that many values. The list grows as data arrives, never ahead of it, so a
    // forged count cannot reserve memory. False (and `out` empty) when the entry ends first.
    bool readU32List(QVector<quint32> &out);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    // At least `need` (at most one block) bytes buffered; false when the entry ends first.
    bool fill(int need);

    QIODevice *m_source;
    qint64 m_left;
    int m_block; // the buffer's size once filled
    QByteArray m_buffer;
    int m_pos = 0;
    int m_end = 0;
};
