#pragma once
#include "tesmar_global.h"

#include <QByteArray>
#include <QScopedPointer>

class CompensationMatrixMgrPrivate;

// The spill-over compensation matrix of the document, kept as the opaque bytes of its matrix
// image, with the flag that says whether a matrix is in force.
class TESMAR_EXPORT CompensationMatrixMgr {
public:
    CompensationMatrixMgr();
    ~CompensationMatrixMgr();

    const QByteArray &getMatrixBuf() const;
    bool isApplied() const;
    // Stores a copy and marks the matrix applied, also for an empty buffer.
    void setMatrixBuf(const QByteArray &buf);
    void resetMatrix();

private:
    Q_DISABLE_COPY(CompensationMatrixMgr)
    Q_DECLARE_PRIVATE(CompensationMatrixMgr)
    QScopedPointer<CompensationMatrixMgrPrivate> d_ptr;
};
