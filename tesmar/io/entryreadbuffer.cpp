#include "io/entryreadbuffer.h"

#include <QtEndian>

#include <cstring>

namespace {
constexpr int BlockSize = 1 << 20;
constexpr quint32 ListStep = 1 << 16; // values added to a list per step
} // namespace

EntryReadBuffer::EntryReadBuffer(QIODevice *source, qint64 size)
    : m_source(source), m_left(qMax<qint64>(0, size)),
      // No bigger than the entry: small entries are read often, and a block each costs.
      m_block(int(qBound<qint64>(4, size, BlockSize)))
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

EntryReadBuffer::~EntryReadBuffer() = default;

bool EntryReadBuffer::fill(int need)
{
    if (m_end - m_pos >= need)
        return true;
    if (m_buffer.size() < m_block)
        m_buffer.resize(m_block);
    // Keep what is left at the front, then top up.
    const int kept = m_end - m_pos;
    if (kept > 0 && m_pos > 0)
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, size_t(kept));
    m_pos = 0;
    m_end = kept;
    while (m_end < need && m_left > 0 && m_source) {
        const qint64 n = m_source->read(m_buffer.data() + m_end, qMin<qint64>(m_block - m_end, m_left));
        if (n <= 0) {
            m_left = 0; // the source ended early or failed: nothing more will come
            break;
        }
        m_left -= n;
        m_end += int(n);
    }
    return m_end - m_pos >= need;
}

qint64 EntryReadBuffer::readData(char *data, qint64 maxSize)
{
    qint64 done = 0;
    while (done < maxSize) {
        if (m_pos == m_end && !fill(1))
            break;
        const qint64 n = qMin<qint64>(maxSize - done, m_end - m_pos);
        std::memcpy(data + done, m_buffer.constData() + m_pos, size_t(n));
        m_pos += int(n);
        done += n;
    }
    return done;
}

qint64 EntryReadBuffer::writeData(const char *, qint64)
{
    return -1;
}

bool EntryReadBuffer::readU32(quint32 &v)
{
    if (!fill(4)) {
        m_pos = m_end; // a piece of a value is of no use
        return false;
    }
    v = qFromBigEndian<quint32>(m_buffer.constData() + m_pos);
    m_pos += 4;
    return true;
}

bool EntryReadBuffer::readU32List(QVector<quint32> &out)
{
    out.clear();
    quint32 n = 0;
    if (!readU32(n))
        return false;
    if (quint64(n) * 4 > quint64(bytesAvailable())) {
        m_pos = m_end; // cannot be complete: the rest of the entry is of no use
        m_left = 0;
        return false;
    }
    quint32 done = 0;
    while (done < n) {
        const quint32 step = qMin(n - done, ListStep);
        if (!fill(4)) {
            m_pos = m_end;
            out.clear();
            return false;
        }
        out.resize(int(done + step));
        quint32 *dst = out.data() + done;
        for (quint32 i = 0; i < step; ++i) {
            if (m_end - m_pos < 4 && !fill(4)) {
                m_pos = m_end;
                out.clear();
                return false;
            }
            dst[i] = qFromBigEndian<quint32>(m_buffer.constData() + m_pos);
            m_pos += 4;
        }
        done += step;
    }
    return true;
}
