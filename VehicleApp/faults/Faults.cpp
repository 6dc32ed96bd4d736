// Not built yet: the fault list, the more-info text and clearing. Until they are, each
// worker answers what the finished one answers when there is nothing to report, so that
// the entries and the command-line host work end to end.
#include "VehicleApp/faults/Faults.h"

namespace marl {

uint16_t Faults::ClearFaultCodes(int32_t /*moduleHandle*/) { return 0; }

void Faults::ListFaultGroupIds(int32_t /*moduleHandle*/, wchar_t* /*text*/, int16_t* /*length*/) {}

uint16_t Faults::HandleFaultInfoRequest(int32_t /*moduleHandle*/, int16_t /*code*/, wchar_t* /*text*/,
                                        int16_t* /*length*/, uint8_t* /*data*/, int16_t* /*extra*/,
                                        uint32_t* /*flag*/) {
    return 0;
}

}  // namespace marl
