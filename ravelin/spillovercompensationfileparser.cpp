#include "spillovercompensationfileparser.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

CompensationMatrix::CompensationMatrix()
{
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c)
            matrix[r][c] = r == c ? 1.0 : 0.0;
        negativeBackground[r] = 0.0;
    }
}

namespace {

void putDouble(char *at, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian(bits, at);
}

double takeDouble(const char *at)
{
    const quint64 bits = qFromLittleEndian<quint64>(at);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

} // namespace

QByteArray SpilloverCompensationFileParser::converToArray(const CompensationMatrix &m) const
{
    QByteArray out(ImageSize, '\0');
    char *p = out.data();
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            putDouble(p + 8 * (6 * r + c), m.matrix[r][c]);
    for (int ch = 0; ch < 6; ++ch)
        putDouble(p + 288 + 8 * ch, m.negativeBackground[ch]);
    return out;
}

bool SpilloverCompensationFileParser::converToMatrix(const QByteArray &buf, CompensationMatrix &m) const
{
    if (buf.size() < ImageSize)
        return false;
    const char *p = buf.constData();
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            m.matrix[r][c] = takeDouble(p + 8 * (6 * r + c));
    for (int ch = 0; ch < 6; ++ch)
        m.negativeBackground[ch] = takeDouble(p + 288 + 8 * ch);
    return true;
}

bool SpilloverCompensationFileParser::openFile(const QString &path, CompensationMatrix &m, QString *error) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = tr("Failed to open the compensation matrix file.\n");
        return false;
    }
    // One byte more than needed tells an over-long file apart without reading all of it.
    const QByteArray bytes = file.read(ImageSize + 1);
    file.close();
    if (bytes.size() != ImageSize) {
        if (error)
            *error = tr("The compensation matrix file is not %1 bytes long.\n").arg(ImageSize);
        return false;
    }
    return converToMatrix(bytes, m);
}

bool SpilloverCompensationFileParser::readFile(const QString &path, const CompensationMatrix &m, QString *error) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = tr("Failed to open the compensation matrix file for writing.\n");
        return false;
    }
    const QByteArray bytes = converToArray(m);
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        if (error)
            *error = tr("Failed to write the compensation matrix file.\n");
        return false;
    }
    return true;
}
