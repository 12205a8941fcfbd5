#pragma once
// The parser sets of the three package generations. Each binds its run.cmtx, run.dps and
// run.exp parsers (parsed in parallel, listed as run.exp, run.dps, run.cmtx) and its run.pcr
// parser to the set's manager slots.
#include "io/analysisfileparseassigner.h"
#include "tesmar_global.h"

// .expzip run archives.
class TESMAR_EXPORT AnalysisFileParseAssigner1 : public AnalysisFileParseAssigner {
public:
    explicit AnalysisFileParseAssigner1(const QString &zipPath);
};

// .arlx saved packages.
class TESMAR_EXPORT AnalysisFileParseAssigner2 : public AnalysisFileParseAssigner {
public:
    explicit AnalysisFileParseAssigner2(const QString &zipPath);
};

// .imrs run archives.
class TESMAR_EXPORT AnalysisFileParseAssigner3 : public AnalysisFileParseAssigner {
public:
    explicit AnalysisFileParseAssigner3(const QString &zipPath);
};
