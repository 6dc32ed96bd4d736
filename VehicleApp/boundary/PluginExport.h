// Marks the functions the plug-in exports to its host. The plug-in is built with hidden
// visibility on Linux, so only what carries this mark is visible from outside.
#pragma once

#if defined(_WIN32)
#define MARL_EXPORT __declspec(dllexport)
#else
#define MARL_EXPORT __attribute__((visibility("default")))
#endif
