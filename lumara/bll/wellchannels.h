#pragma once
// Channel lists of one well read from the document, shared by the facade and the analysis.
#include <QList>
#include <QVector>

namespace WellChannels {

// Channels of the well's targets (1..6, stored order) from the first configuration record
// with the id; empty when none has it.
QList<uint> targetChannels(uint wellId);

// The well's reference channel (1..6) from its analysis record; 0 when the document does not
// hold the well.
uint referenceChannel(uint wellId);

// The channel indices (0..5) of the well's targets followed by its reference channel minus 1,
// sorted ascending; a channel that is both stays twice. A well that is not in the
// configuration gives only its reference channel; one without a reference channel only its
// targets.
QVector<int> analysisIndices(uint wellId);

} // namespace WellChannels
