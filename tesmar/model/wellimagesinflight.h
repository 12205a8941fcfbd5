#pragma once
// The images of an open that are still decoding when its records are handed over: the well
// list is complete, and each place's images come as soon as their own decode ends. Whoever
// works on the wells right after the open can thus start on a well before the last is decoded.
#include "model/welldrpltimginfo.h"
#include "tesmar_global.h"

#include <QImage>
#include <QList>

#include <functional>

class TESMAR_EXPORT WellImagesInFlight {
public:
    using Stage = std::function<void(int position, const WellDrpltImgInfo<QImage> &images)>;

    virtual ~WellImagesInFlight();

    // The length of the well list the images run parallel to.
    virtual int count() const = 0;
    // The images of the well at that place, once decoded (this thread decodes them when no one
    // has begun). A place the open loads nothing for gives its well's id with no images.
    virtual WellDrpltImgInfo<QImage> wellAt(int position) = 0;
    // stage once for every place, as soon as its images are decoded: on the thread that decoded
    // them, or on this thread and the pool for those decoded before the call. Returns when every
    // place has gone through it. An exception stage lets out is dropped; stages catch their own.
    virtual void forEachWell(const Stage &stage) = 0;
    // Every place's images in well order, once all are decoded; empty after the first call.
    virtual QList<WellDrpltImgInfo<QImage>> takeAll() = 0;
};
