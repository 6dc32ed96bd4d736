// The guided DPF regeneration test in the command-line host: the host subscribes the
// test's data point, and the test's screens are answered from a script (first prompt,
// test screen, Start once, then leave) or, when asked, by the person at the console.
#pragma once

#include <cstdio>

#include "tools/PluginLoader.h"
#include "tools/TruckSession.h"

namespace marl::tools {

// False when the module has no DPF test data point or the test did not end.
bool RunDpfTest(PluginLoader& plugin, const EcuEntry& ecu, bool interactive, FILE* out);

}  // namespace marl::tools
