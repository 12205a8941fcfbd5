#pragma once
// The 336-byte image of a compensation matrix: 36 little-endian doubles row by row, then the
// six backgrounds. The same bytes make a .cmtx file and the package's matrix entry.
#include "compensationmatrix.h"
#include "ravelin_global.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

class RAVELIN_EXPORT SpilloverCompensationFileParser {
    Q_DECLARE_TR_FUNCTIONS(SpilloverCompensationFileParser)

public:
    static constexpr int ImageSize = 336;

    SpilloverCompensationFileParser() = default;

    QByteArray converToArray(const CompensationMatrix &m) const;
    // Takes the first 336 bytes; a shorter buffer is refused and m left as it was.
    bool converToMatrix(const QByteArray &buf, CompensationMatrix &m) const;
    // Reads a matrix file; anything but exactly 336 bytes is refused and m left as it was.
    bool openFile(const QString &path, CompensationMatrix &m, QString *error = nullptr) const;
    // Writes a matrix file.
    bool readFile(const QString &path, const CompensationMatrix &m, QString *error = nullptr) const;
};
