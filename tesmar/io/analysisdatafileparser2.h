#pragma once
#include "io/analysisdatafileparser.h"
#include "tesmar_global.h"

// The "run.pcr" entry of saved packages (.arlx). The body comes in three versions:
//   0: experiment data flat (one name list per well), image-analysis records without the
//      reference-dye channel;
//   1: experiment data flat or nested (whichever reads the whole body), full image records;
//   2: as the common writer writes it.
// After a good read the droplet images of every well are loaded from the source archives
// embedded in the package under "<base>/", base being the source file name up to its first ".".
class TESMAR_EXPORT AnalysisDataFileParser2 : public AnalysisDataFileParser {
public:
    AnalysisDataFileParser2(const QString &zipPath, AnalysisDataMgr **target);

    // Reads everything into local records first: the managers change only after the whole
    // body has read without error.
    bool parseBody(const EntryHeader &header, QIODevice *device) override;

private:
    void loadDrpltImages();
};
