#include "io/analysisdatafileparser1.h"
#include "io/analysisfileparseassigners.h"
#include "io/compensationmatrixfileparser.h"
#include "io/devparasfileparser.h"
#include "io/experimentcfgfileparser.h"

AnalysisFileParseAssigner1::AnalysisFileParseAssigner1(const QString &zipPath)
    : AnalysisFileParseAssigner(zipPath)
{
    auto *matrix = new CompensationMatrixFileParser(zipPath, compensationMatrixSlot());
    auto *devParas = new DevParasFileParser(zipPath, devParasSlot());
    auto *experiment = new ExperimentCfgFileParser1(zipPath, experimentCfgSlot());
    installParsers(experiment, devParas, matrix, new AnalysisDataFileParser1(zipPath, analysisDataSlot()));
}
