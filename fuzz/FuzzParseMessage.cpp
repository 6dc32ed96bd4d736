// Messages from the bus, in the host's layout, through the ParseMessage entry into three
// registered modules and one handle nobody registered. Each input is a chain of
// (handle selector, length, message bytes).
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "hostsim/HostSim.h"

using namespace marl::fuzz;

namespace {
const std::vector<FuzzModule> kModules = {{1, 0x00}, {2, 0x03}, {3, 0x0B}};
constexpr int32_t kUnregisteredHandle = 9;
zorv::FnParseMessage parse = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!RegisterPlaybackModules(kModules)) std::abort();
    parse = Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    uint32_t timeStamp = 0;
    while (!input.Empty()) {
        const uint8_t selector = input.Byte();
        const int32_t handle = selector < kModules.size() ? kModules[selector].handle : kUnregisteredHandle;
        const std::vector<uint8_t> message = input.Chunk();
        // An exactly sized heap copy, so that a read past the length the host gave shows.
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[message.size() + 1]);
        std::copy(message.begin(), message.end(), bytes.get());
        parse(handle, message.empty() ? nullptr : bytes.get(), static_cast<uint16_t>(message.size()), timeStamp);
        timeStamp += 10;
    }
    ForgetHostLogs();
    return 0;
}
