#pragma once
// One row of a plot page's thumbnail column.
#include <QImage>
#include <QString>

struct ThumbnailData {
    uint channelId = 0; // the row's channel on the histogram and 1D pages
    uint plotId = 0;    // the row's plot combination on the 2D and 3D pages
    QImage image;       // the rendered plot
    QString title;      // caption; renamed in place on the 2D page
    bool first = false; // set by the 2D thumbnail job; kept for its callers only
    bool hovered = false;
    bool shown = false;  // the plot is in the page's plot area
    bool marked = false; // ticked for deletion
};
