// Fault codes: the fault groups the host lists, the more-info text and freeze frames of
// one fault, and the clearing of faults (DM3, DM11 and the J1708 application).
#pragma once

#include <cstdint>

namespace marl {

class CVehicleApp;

class Faults {
public:
    explicit Faults(CVehicleApp& app) : app_(app) {}
    Faults(const Faults&) = delete;
    Faults& operator=(const Faults&) = delete;

    uint16_t ClearFaultCodes(int32_t moduleHandle);
    // Command 1007.
    void ListFaultGroupIds(int32_t moduleHandle, wchar_t* text, int16_t* length);
    // Commands 1009 and 1036.
    uint16_t HandleFaultInfoRequest(int32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length, uint8_t* data,
                                    int16_t* extra, uint32_t* flag);

private:
    [[maybe_unused]] CVehicleApp& app_;
};

}  // namespace marl
