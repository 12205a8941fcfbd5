#include "channeltable.h"
#include <array>

namespace LumaraAnalysisData {

namespace {
const std::array<ChannelTableEntry, ChannelCount> &table()
{
    static const std::array<ChannelTableEntry, ChannelCount> t = {{
        {QStringLiteral("Blue Channel"), QStringLiteral("#0024d9")},
        {QStringLiteral("Cyan Channel"), QStringLiteral("#009ada")},
        {QStringLiteral("Green Channel"), QStringLiteral("#009944")},
        {QStringLiteral("Orange Channel"), QStringLiteral("#f45000")},
        {QStringLiteral("Red Channel"), QStringLiteral("#ff0014")},
        {QStringLiteral("Dark Red Channel"), QStringLiteral("#840000")},
    }};
    return t;
}
} // namespace

const ChannelTableEntry &channelTableEntry(int index)
{
    static const ChannelTableEntry none;
    if (index < 0 || index >= ChannelCount)
        return none;
    return table()[size_t(index)];
}

} // namespace LumaraAnalysisData
