#include "compensationmatrixmgr.h"

class CompensationMatrixMgrPrivate {
public:
    bool applied = false;
    QByteArray matrixBuf;
};

CompensationMatrixMgr::CompensationMatrixMgr() : d_ptr(new CompensationMatrixMgrPrivate) {}

CompensationMatrixMgr::~CompensationMatrixMgr() = default;

const QByteArray &CompensationMatrixMgr::getMatrixBuf() const
{
    Q_D(const CompensationMatrixMgr);
    return d->matrixBuf;
}

bool CompensationMatrixMgr::isApplied() const
{
    Q_D(const CompensationMatrixMgr);
    return d->applied;
}

void CompensationMatrixMgr::setMatrixBuf(const QByteArray &buf)
{
    Q_D(CompensationMatrixMgr);
    d->matrixBuf = buf;
    d->applied = true;
}

void CompensationMatrixMgr::resetMatrix()
{
    Q_D(CompensationMatrixMgr);
    d->matrixBuf.clear();
    d->applied = false;
}
