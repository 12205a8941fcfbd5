#pragma once
#include <QtGlobal>

#if defined(RAVELIN_LIBRARY)
#define RAVELIN_EXPORT Q_DECL_EXPORT
#else
#define RAVELIN_EXPORT Q_DECL_IMPORT
#endif
