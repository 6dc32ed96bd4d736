// The Acknowledgement message (PGN 0xE800): an ECU's positive or negative answer to a
// request or command of the plug-in.
#pragma once

#include <cstdint>
#include <vector>

namespace marl {

class CVehicleApp;
class ModuleRecord;

// Records the answer in the module's PGN table, releases a request waiting for the
// acknowledged PGN, and tells the fault clearing that DM3 or DM11 was accepted. A
// message shorter than a single frame, or one saying the ECU cannot respond, changes
// nothing.
void HandleAcknowledgement(CVehicleApp& app, ModuleRecord& module, const std::vector<uint8_t>& message);

}  // namespace marl
