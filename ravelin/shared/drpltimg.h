#pragma once
// Raw channel image shared by the document and the image-analysis library. Header only: the
// two libraries do not link each other, but exchange this record by definition.
#include <QtGlobal>

// A view on one channel's pixels: rows packed one after the other, exactly `width` pixels
// each. The pixels belong to whoever produced the view.
struct DrpltImg {
    qint32 width = 0;
    qint32 height = 0;
    qint32 type = 0; // 0: 8-bit grey, 1: 16-bit grey; anything else is skipped
    const void *data = nullptr;
};
