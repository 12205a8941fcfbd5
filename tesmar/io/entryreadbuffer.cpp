#include "io/entryreadbuffer.h"

#include <QtEndian>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {
constexpr int BlockSize = 1 << 20;
constexpr quint32 ListStep = 1 << 16; // values added to a list per step
constexpr qint64 AheadFrom = 4 * qint64(BlockSize); // entries this large are read ahead
constexpr size_t AheadBlocks = 8; // blocks read ahead at most
} // namespace

// Blocks of the source read on a thread of its own, handed over in order. An empty block ends
// the source (its end, or a failed read).
struct EntryReadBuffer::ReadAhead {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> blocks;
    bool stop = false;
    std::thread thread;

    ReadAhead(QIODevice *source, qint64 size)
    {
        thread = std::thread([this, source, size] {
            qint64 left = size;
            for (;;) {
                QByteArray block;
                if (left > 0) {
                    try {
                        block.resize(int(qMin<qint64>(BlockSize, left)));
                        const qint64 n = source->read(block.data(), block.size());
                        block.resize(n > 0 ? int(n) : 0);
                    } catch (...) {
                        block.clear(); // out of memory: the entry ends here for the reader
                    }
                }
                left = block.isEmpty() ? 0 : left - block.size();
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] { return stop || blocks.size() < AheadBlocks; });
                if (stop)
                    return;
                blocks.push_back(block);
                changed.notify_all();
                if (block.isEmpty())
                    return;
            }
        });
    }

    ~ReadAhead()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        changed.notify_all();
        thread.join();
    }

    QByteArray take()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !blocks.empty(); });
        QByteArray block = blocks.front();
        if (!block.isEmpty())
            blocks.pop_front();
        changed.notify_all();
        return block;
    }
};

EntryReadBuffer::EntryReadBuffer(QIODevice *source, qint64 size) : m_source(source), m_left(qMax<qint64>(0, size))
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (m_source && m_left >= AheadFrom)
        m_ahead.reset(new ReadAhead(m_source, m_left));
}

EntryReadBuffer::~EntryReadBuffer() = default;

bool EntryReadBuffer::takeAhead()
{
    const QByteArray block = m_ahead->take();
    if (block.isEmpty()) {
        m_left = 0; // the source ended early or failed: nothing more will come
        return false;
    }
    // What was kept and a whole block: at most two blocks.
    if (m_buffer.size() < m_end + block.size())
        m_buffer.resize(m_end + block.size());
    std::memcpy(m_buffer.data() + m_end, block.constData(), size_t(block.size()));
    m_end += block.size();
    m_left -= block.size();
    return true;
}

bool EntryReadBuffer::fill(int need)
{
    if (m_end - m_pos >= need)
        return true;
    if (m_buffer.size() < BlockSize)
        m_buffer.resize(BlockSize);
    // Keep what is left at the front, then top up.
    const int kept = m_end - m_pos;
    if (kept > 0 && m_pos > 0)
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, size_t(kept));
    m_pos = 0;
    m_end = kept;
    while (m_end < need && m_left > 0 && m_ahead) {
        if (!takeAhead())
            break;
    }
    while (m_end < need && m_left > 0 && m_source && !m_ahead) {
        const qint64 n = m_source->read(m_buffer.data() + m_end, qMin<qint64>(BlockSize - m_end, m_left));
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
