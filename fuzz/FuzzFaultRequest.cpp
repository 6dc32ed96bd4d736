// The fault request text as the host's buffer holds it: the capacity the host claims, then
// the characters, with no terminator. The copy is sized exactly, so a read beyond what
// the host gave shows.
#include <memory>

#include "VehicleApp/faults/FaultRequest.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    marl::fuzz::FuzzInput input(data, size);
    const std::vector<uint8_t> bytes = input.Rest();
    // Two bytes a character, so that "§" (0xA7) and digits are both within reach.
    const size_t length = bytes.size() / 2;
    std::unique_ptr<wchar_t[]> text(new wchar_t[length == 0 ? 1 : length]);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    marl::ReadFaultRequest(length == 0 ? nullptr : text.get(), length);
    return 0;
}
