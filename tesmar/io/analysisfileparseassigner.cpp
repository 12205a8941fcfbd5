#include "io/analysisfileparseassigner.h"

#include "io/analysisfileparser.h"
#include "io/filelogpaser.h"
#include "io/packagecopy.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/customizedplotmgr.h"
#include "model/devparasmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/experimentcfgmgr.h"
#include "model/filelogmgr.h"

#include <QDebug>
#include <QtConcurrent>

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>

const QString AnalysisFileParseAssigner::MiscExceptionText =
    QStringLiteral("Read miscellaneous occurs an exception!");

namespace {

// Runs a parser step; whatever it throws stays on this side and counts as a failure. Readers
// reach managers whose getters throw a C string, and nothing may unwind through the pool.
bool guarded(const std::function<bool()> &step, std::atomic<bool> *threw)
{
    try {
        return step();
    } catch (const std::exception &e) {
        qWarning() << "parser step threw:" << e.what();
    } catch (const char *text) {
        qWarning() << "parser step threw:" << text;
    } catch (...) {
        qWarning() << "parser step threw";
    }
    if (threw)
        threw->store(true);
    return false;
}

} // namespace

AnalysisFileParseAssigner::AnalysisFileParseAssigner(const QString &zipPath) : m_zipPath(zipPath)
{
    m_analysisDataMgr = new AnalysisDataMgr;
    m_experimentCfgMgr = new ExperimentCfgMgr;
    m_devParasMgr = new DevParasMgr;
    m_compensationMatrixMgr = new CompensationMatrixMgr;
    m_fileLogMgr = new FileLogMgr;
    // The analysis managers take their new ids from the counters that travel with them.
    m_analysisDataMgr->setFileLogMgr(m_fileLogMgr);
    m_logParser = new FileLogPaser(zipPath, &m_fileLogMgr);
}

AnalysisFileParseAssigner::~AnalysisFileParseAssigner()
{
    deleteManagers();
    qDeleteAll(m_miscParsers);
    m_miscParsers.clear();
    delete m_analysisDataParser;
    delete m_logParser;
}

void AnalysisFileParseAssigner::deleteManagers()
{
    delete m_analysisDataMgr;
    delete m_experimentCfgMgr;
    delete m_devParasMgr;
    delete m_compensationMatrixMgr;
    delete m_fileLogMgr;
    releaseManagers();
}

void AnalysisFileParseAssigner::installParsers(AnalysisFileParser *experiment, AnalysisFileParser *devParas,
                                               AnalysisFileParser *compensationMatrix,
                                               AnalysisFileParser *analysisData)
{
    m_miscParsers = {experiment, devParas, compensationMatrix};
    m_analysisDataParser = analysisData;
}

bool AnalysisFileParseAssigner::parseMiscEntries()
{
    m_errorText.clear();
    std::atomic<bool> threw{false};
    const std::function<bool(AnalysisFileParser *)> parseOne = [&threw](AnalysisFileParser *parser) {
        return guarded([parser] { return parser->parse(); }, &threw);
    };
    const QList<bool> results = QtConcurrent::blockingMapped<QList<bool>>(m_miscParsers, parseOne);
    if (threw.load()) {
        m_errorText = MiscExceptionText;
        qWarning() << m_errorText << m_zipPath;
        return false;
    }
    return std::all_of(results.cbegin(), results.cend(), [](bool ok) { return ok; });
}

bool AnalysisFileParseAssigner::parseAnalysisData()
{
    if (!m_analysisDataParser)
        return false;
    AnalysisFileParser *parser = m_analysisDataParser;
    return guarded([parser] { return parser->parse(); }, nullptr);
}

bool AnalysisFileParseAssigner::parseFileLog()
{
    if (!m_logParser || !m_fileLogMgr)
        return true;
    FileLogPaser *parser = m_logParser;
    if (!guarded([parser] { return parser->parse(); }, nullptr)) {
        rebuildCounters();
        return true;
    }
    // Stored counters never fall behind the ids in use: the 3D plot counter is not stored at
    // all, and a counter behind its largest id would hand that id out a second time.
    const FileLogMgr::Log stored = m_fileLogMgr->getLog();
    rebuildCounters();
    FileLogMgr::Log log = m_fileLogMgr->getLog();
    for (size_t i = 0; i < log.size(); ++i)
        log[i] = std::max(log[i], stored[i]);
    m_fileLogMgr->setLog(log);
    return true;
}

void AnalysisFileParseAssigner::rebuildCounters()
{
    if (!m_fileLogMgr || !m_analysisDataMgr)
        return;
    m_fileLogMgr->rebuild(m_analysisDataMgr->getAnalysisExpMgr()->getAnalysisExpGlobalInfo(),
                          m_analysisDataMgr->getDrpltClassifyMgr()->getClassifyGlobalInfo(),
                          m_analysisDataMgr->getCustomizedPlotMgr()->getCustomizedPlotGlobalInfo());
}

QString AnalysisFileParseAssigner::getUnzipPassword() const
{
    return m_analysisDataParser ? m_analysisDataParser->getPassword() : QString();
}

void AnalysisFileParseAssigner::setManagers(CompensationMatrixMgr *compensationMatrix,
                                            AnalysisDataMgr *analysisData, DevParasMgr *devParas,
                                            ExperimentCfgMgr *experimentCfg, FileLogMgr *fileLog)
{
    deleteManagers();
    m_compensationMatrixMgr = compensationMatrix;
    m_analysisDataMgr = analysisData;
    m_devParasMgr = devParas;
    m_experimentCfgMgr = experimentCfg;
    m_fileLogMgr = fileLog;
}

void AnalysisFileParseAssigner::releaseManagers()
{
    m_compensationMatrixMgr = nullptr;
    m_analysisDataMgr = nullptr;
    m_devParasMgr = nullptr;
    m_experimentCfgMgr = nullptr;
    m_fileLogMgr = nullptr;
}

bool AnalysisFileParseAssigner::saveEntries(PackageCopy::Writer &target)
{
    QList<AnalysisFileParser *> writers;
    writers << m_analysisDataParser << m_miscParsers << m_logParser;
    for (AnalysisFileParser *writer : qAsConst(writers)) {
        const bool written = writer && target.isOpen()
            && guarded([writer, &target] { return writer->writeEntry(*target.zip()); }, nullptr);
        if (!written) {
            qWarning() << "saveEntries(): writing" << (writer ? writer->entryName() : QString())
                       << "failed";
            return false;
        }
        target.addedEntry(writer->entryName());
    }
    return true;
}
