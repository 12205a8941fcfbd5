#pragma once
// Helpers of the thumbnail tests: rows written as flag strings ("1001": rows 0 and 3 set).
#include "plots/common/thumbnailmodel.h"
#include "shell/globalvalues.h"

#include <QString>

namespace ThumbnailTest {

// Sets uiScaleFactor for one test and puts 1.0 back.
struct ScaleGuard {
    explicit ScaleGuard(double scale) { uiScaleFactor = scale; }
    ~ScaleGuard() { uiScaleFactor = 1.0; }
    ScaleGuard(const ScaleGuard &) = delete;
    ScaleGuard &operator=(const ScaleGuard &) = delete;
};

// One row per character of `shown`, channel ids 1, 2, ... and plot ids 11, 12, ...
inline void fill(ThumbnailModel &model, const QString &shown)
{
    model.clear();
    for (int row = 0; row < shown.size(); ++row) {
        ThumbnailData data;
        data.channelId = uint(row + 1);
        data.plotId = uint(row + 11);
        data.title = QStringLiteral("plot %1").arg(row + 1);
        data.shown = shown.at(row) == QLatin1Char('1');
        model.appendThumbnail(data);
    }
    model.updateModel();
}

inline QString flags(const ThumbnailModel &model, int role)
{
    QString text;
    for (int row = 0; row < model.rowCount(); ++row)
        text += model.index(row, 0).data(role).toBool() ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

inline QString shownFlags(const ThumbnailModel &model)
{
    return flags(model, ThumbnailModel::ShownRole);
}

} // namespace ThumbnailTest
