#pragma once

#include <QtGlobal>

// Symbols of the control library are hidden unless marked; the library exports its control
// classes, the container helpers hosts need and the registration entry points.
#if defined(VGLINTBAR_LIBRARY)
#define VGLINTBAR_EXPORT Q_DECL_EXPORT
#else
#define VGLINTBAR_EXPORT Q_DECL_IMPORT
#endif
