#pragma once
// Spill-over compensation of a well's droplet greys by the channel matrix, and the estimate
// of a new matrix from single-dye wells.
#include "analysisrecords.h"
#include "compensationmatrix.h"
#include "crosstalkadjuster.h"
#include "ravelin_global.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFuture>
#include <QPair>
#include <QString>
#include <QVector>

namespace Ravelin {

class SpilloverCompensationPrivate;

class RAVELIN_EXPORT SpilloverCompensation {
    Q_DECLARE_TR_FUNCTIONS(Ravelin::SpilloverCompensation)

public:
    SpilloverCompensation();
    // Starts from the buffer's matrix; a buffer shorter than 336 bytes leaves the identity.
    explicit SpilloverCompensation(const QByteArray &buf);
    // Waits for a matrix calculation still running.
    ~SpilloverCompensation();
    SpilloverCompensation(const SpilloverCompensation &) = delete;
    SpilloverCompensation &operator=(const SpilloverCompensation &) = delete;

    // False for a file that cannot be read or is not exactly 336 bytes; the matrix stays.
    bool loadCompensationMatrixFile(const QString &path);
    bool exportCompensationMatrixFile(const QString &path);
    // Always true; a buffer shorter than 336 bytes leaves the matrix as it was.
    bool loadCompensationMatrixBuf(const QByteArray &buf);
    QByteArray getCompensationMatrixBuf() const;
    const CompensationMatrix &getCompensationMatrix() const;
    void setCompensationMatrix(const CompensationMatrix &m);

    void setAdjustStrategy(CrosstalkAdjustStrategy strategy);
    CrosstalkAdjuster *getCrosstalkAdjuster() const;

    // Replaces the working greys of the well's channels by their compensated values.
    void applyCompensationMatrix(WellImageAnalysisInfo &info);

    // Background of each channel: the mean working grey of a well's droplets.
    bool getNegativeBackgrd(const WellImageAnalysisInfo &info, CompensationMatrix &m);
    bool getNegativeBackgrd(const QVector<WellImageAnalysisInfo> &wells, CompensationMatrix &m);

    // Each pair is a single-dye well and its channel marks (1 on the dye's channel). Runs on
    // the global thread pool; the records must stay alive and unchanged, and this object's
    // matrix must not be used, until the future has finished. On success the new matrix
    // replaces the current one; on failure (a dye channel whose droplets show no difference)
    // the matrix stays and the future's result is false.
    QFuture<bool> calculateCompensationMatrix(const QVector<QPair<WellImageAnalysisInfo *, QVector<int>>> &wells);

    // The text of the last failure.
    QString getError() const;

private:
    bool calculate(const QVector<QPair<WellImageAnalysisInfo *, QVector<int>>> &wells);

    CrosstalkAdjuster *m_adjuster = nullptr;
    SpilloverCompensationPrivate *d;
};

} // namespace Ravelin
