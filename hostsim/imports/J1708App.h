// The host's J1708 vehicle application (module 1001), as far as this plug-in meets it:
// when present, the host lists the module, gives it a handle, and the look-up gives its
// command entry, which takes the command that clears the J1708 faults. The stand-in
// records each command it receives.
#pragma once

#include <atomic>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"
#include "hostsim/control/RecordedList.h"
#include "hostsim/imports/LookupTable.h"

namespace hostsim {

class J1708App {
public:
    // Registers or removes the command entry in the host's look-up.
    void SetPresent(bool present, LookupTable& lookup);
    bool Present() const { return present_.load(); }
    RecordedList<J1708Command>& Commands() { return commands_; }
    // Absent, nothing recorded (the look-up's own reset drops the entry).
    void Reset();

private:
    std::atomic<bool> present_{false};
    RecordedList<J1708Command> commands_;
};

}  // namespace hostsim
