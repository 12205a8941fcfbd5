#pragma once
#include <QtGlobal>

#if defined(NIVEX_LIBRARY)
#define NIVEX_EXPORT Q_DECL_EXPORT
#else
#define NIVEX_EXPORT Q_DECL_IMPORT
#endif
