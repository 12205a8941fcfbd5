#include "io/analysisdatafileparser3.h"
#include "io/analysisfileparseassigners.h"
#include "io/compensationmatrixfileparser.h"
#include "io/devparasfileparser.h"
#include "io/experimentcfgfileparser.h"

AnalysisFileParseAssigner3::AnalysisFileParseAssigner3(const QString &zipPath)
    : AnalysisFileParseAssigner(zipPath)
{
    auto *matrix = new CompensationMatrixFileParser(zipPath, compensationMatrixSlot());
    auto *devParas = new DevParasFileParser(zipPath, devParasSlot());
    auto *experiment = new ExperimentCfgFileParser3(zipPath, experimentCfgSlot());
    installParsers(experiment, devParas, matrix, new AnalysisDataFileParser3(zipPath, analysisDataSlot()));
}
