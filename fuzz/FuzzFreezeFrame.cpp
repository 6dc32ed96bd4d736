// The DM4 freeze-frame search over a message from the bus: the SPN and FMI looked for,
// then the message. A frame found must lie inside the message, and its record must carry it.
#include <cstdlib>

#include "VehicleApp/faults/FreezeFrameSearch.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    marl::fuzz::FuzzInput input(data, size);
    const uint32_t spn = input.Word() & 0x7FFFF;
    const uint8_t fmi = input.Byte() & 0x1F;
    const std::vector<uint8_t> message = input.Rest();
    const auto frame = marl::FindFreezeFrame(message, spn, fmi);
    if (!frame) return 0;
    if (frame->size == 0 || frame->offset + frame->size > message.size()) std::abort();
    const std::vector<uint8_t> record = marl::FreezeFrameRecord(message, *frame);
    if (record.size() < frame->size ||
        !std::equal(message.begin() + static_cast<std::ptrdiff_t>(frame->offset),
                    message.begin() + static_cast<std::ptrdiff_t>(frame->offset + frame->size),
                    record.end() - static_cast<std::ptrdiff_t>(frame->size)))
        std::abort();
    return 0;
}
