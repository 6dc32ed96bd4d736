// Linkage of the stand-in host's control API, which lives in the same library as the
// host imports and is reached by tests and the command-line host only.
#pragma once

#if defined(_WIN32)
#if defined(ZORVAPI_BUILDING)
#define HOSTSIM_API __declspec(dllexport)
#else
#define HOSTSIM_API __declspec(dllimport)
#endif
#else
#define HOSTSIM_API __attribute__((visibility("default")))
#endif
