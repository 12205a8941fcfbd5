#include "io/analysisdatafileparser2.h"
#include "io/analysisfileparseassigners.h"
#include "io/compensationmatrixfileparser.h"
#include "io/devparasfileparser.h"
#include "io/experimentcfgfileparser.h"

AnalysisFileParseAssigner2::AnalysisFileParseAssigner2(const QString &zipPath)
    : AnalysisFileParseAssigner(zipPath)
{
    auto *matrix = new CompensationMatrixFileParser(zipPath, compensationMatrixSlot());
    auto *devParas = new DevParasFileParser(zipPath, devParasSlot());
    auto *experiment = new ExperimentCfgFileParser2(zipPath, experimentCfgSlot());
    installParsers(experiment, devParas, matrix, new AnalysisDataFileParser2(zipPath, analysisDataSlot()));
}
