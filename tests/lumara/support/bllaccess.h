#pragma once
// The one document and engine every page test drives.
#include "bll/bllinstance.h"

inline BLLInstance *bll()
{
    return BLLInstance::getInstance();
}
