#include "analysisrecords.h"
// The records are plain values; this unit anchors their export.
