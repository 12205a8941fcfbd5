#pragma once
#include <QtGlobal>

#if defined(TESMAR_LIBRARY)
#define TESMAR_EXPORT Q_DECL_EXPORT
#else
#define TESMAR_EXPORT Q_DECL_IMPORT
#endif
