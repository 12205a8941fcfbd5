#pragma once
#include "tesmar_global.h"
#include <QString>

namespace LumaraAnalysisData {

// The six detection channels, by channel index 0..5 (channel number minus one).
struct ChannelTableEntry {
    QString name;
    QString color;
};

constexpr int ChannelCount = 6;

// Entry of a valid index; an index outside 0..5 gives an empty entry.
TESMAR_EXPORT const ChannelTableEntry &channelTableEntry(int index);

} // namespace LumaraAnalysisData
