#pragma once

// The ODBC interface. On Windows its headers need windows.h first; the
// macros it would bring (min, max and the GDI names) are left out.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
