// Calling conventions and linkage of the host platform interface.
//
// The host is a 32-bit Windows program: its library exports C functions with the
// standard callee-cleans convention, its variadic functions are __cdecl because they
// cannot be anything else, and plug-in entries are called the same way. On other
// platforms the macros are empty and visibility does the exporting.
#pragma once

#if defined(_WIN32)
#define ZORV_STDCALL __stdcall
#define ZORV_CDECL __cdecl
#if defined(ZORVAPI_BUILDING)
#define ZORVAPI __declspec(dllexport)
#else
#define ZORVAPI __declspec(dllimport)
#endif
#else
#define ZORV_STDCALL
#define ZORV_CDECL
#define ZORVAPI __attribute__((visibility("default")))
#endif
