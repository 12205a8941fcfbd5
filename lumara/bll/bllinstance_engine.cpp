// The facade's side of the analysis engine, saving and merging.
#include "bll/bllinstance.h"

#include "bll/documentaccess.h"
#include "bll/reanalysis.h"

#include "spillovercompensation.h"

#include <QDebug>

#include <exception>

ReAnalysis *BLLInstance::getReAnalysis() const
{
    return m_reAnalysis;
}

DrpltImg BLLInstance::getWellChannelImage(uint wellId, uint channelId) const
{
    return m_reAnalysis->getWellChannelImage(wellId, channelId);
}

// ---- Saving -----------------------------------------------------------------------------------

void BLLInstance::beginSaveFile()
{
    DocumentAccess::document()->beginSaveFile();
}

bool BLLInstance::saveFile(QString path)
{
    bool saved = false;
    try {
        saved = DocumentAccess::document()->save(path);
    } catch (const char *what) {
        qWarning() << "saveFile():" << what;
    } catch (const std::exception &e) {
        qWarning() << "saveFile():" << e.what();
    }
    emit saveCompleted();
    return saved;
}

void BLLInstance::endSaveFile()
{
    DocumentAccess::document()->endSaveFile();
}

// ---- Merging ----------------------------------------------------------------------------------

PcrAnalysisDocument::ErrorCode BLLInstance::isMergeSupported4Load(QString path,
                                                                  PcrAnalysisDocument::MergePermit &permit)
{
    return DocumentAccess::document()->isMergeSupported4Load(path, permit);
}

bool BLLInstance::continueLoadFile()
{
    m_addedBegin = -1;
    m_addedSize = 0;
    const int before = DocumentAccess::wells().size();
    bool merged = false;
    try {
        merged = DocumentAccess::document()->continueLoadFile();
    } catch (const char *what) {
        qWarning() << "continueLoadFile():" << what;
    } catch (const std::exception &e) {
        qWarning() << "continueLoadFile():" << e.what();
    }
    if (!merged) {
        qDebug("Merge Error!");
        return false;
    }
    try {
        // Only the appended wells: the others came to the common exposure when they were
        // opened, and the references are still those of the wells loaded before.
        const int after = DocumentAccess::wells().size();
        m_reAnalysis->storeWellResults(before, after - before);
        m_reAnalysis->preprocessWells();
        // Handled here rather than on the user-interface thread, so that nothing else works
        // on the document while they are brought up to date.
        if (m_addedBegin >= 0)
            updateNewWellInfo(m_addedBegin, m_addedSize);
    } catch (const char *what) {
        qWarning() << "continueLoadFile():" << what;
    } catch (const std::exception &e) {
        qWarning() << "continueLoadFile():" << e.what();
    }
    emit mergeComplete();
    return true;
}

void BLLInstance::noteAddedWells(int begin, int size)
{
    m_addedBegin = begin;
    m_addedSize = size;
}

void BLLInstance::updateNewWellInfo(int begin, int size)
{
    const QByteArray matrix = getCompensationMatrixBuf();
    if (!matrix.isEmpty()) {
        m_pendingBegin = begin;
        m_pendingSize = size;
        m_compensationPending = true;
        Ravelin::SpilloverCompensation compensation(matrix);
        // Announced only once the added wells are recounted too: the announcements reach
        // listeners on the user-interface thread, which read the document while this job
        // would still be writing it.
        m_reAnalysis->compensateWells(&compensation);
        compensationComplated(true);
        m_reAnalysis->announceCompensation();
        return;
    }
    recountWells(begin, begin + size - 1, true);
    emit dataFixed();
}

void BLLInstance::compensationComplated(bool success)
{
    if (!success || !m_compensationPending)
        return;
    m_compensationPending = false;
    recountWells(m_pendingBegin, m_pendingBegin + m_pendingSize - 1, true);
    emit dataFixed();
}
