#pragma once
#include <QtGlobal>

#if defined(CORVEL_LIBRARY)
#define CORVEL_EXPORT Q_DECL_EXPORT
#else
#define CORVEL_EXPORT Q_DECL_IMPORT
#endif
