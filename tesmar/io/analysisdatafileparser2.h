#pragma once
#include "io/analysisdatafileparser.h"
#include "io/runarchiveimages.h"
#include "tesmar_global.h"

#include <memory>

// The "run.pcr" entry of saved packages (.arlx). The body comes in three versions:
//   0: experiment data flat (one name list per well), image-analysis records without the
//      reference-dye channel;
//   1: experiment data flat or nested (whichever reads the whole body), full image records;
//   2: as the common writer writes it.
// While the body is read (after it, for version 1) the droplet images of every well are loaded
// from the source archives embedded in the package under "<base>/", base being the source file
// name up to its first ".".
class TESMAR_EXPORT AnalysisDataFileParser2 : public AnalysisDataFileParser {
public:
    AnalysisDataFileParser2(const QString &zipPath, AnalysisDataMgr **target);

    // Reads everything into local records first: the managers change only after the whole
    // body has read without error.
    bool parseBody(const EntryHeader &header, QIODevice *device) override;

private:
    // The images of every well, decoding on the pool from now on.
    std::unique_ptr<RunArchiveImages::ImageLoadJob>
    startImageLoad(const LumaraAnalysisData::AnalysisExpGlobalInfo &info) const;
};
