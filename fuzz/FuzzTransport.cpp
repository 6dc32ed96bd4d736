// Transport-protocol reassembly of the stand-in host fed raw frames: a chain of (29-bit
// identifier, length, data). A message handed back holds no more than the protocol allows.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "hostsim/bus/TransportProtocol.h"
#include "j1939/Protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    marl::fuzz::FuzzInput input(data, size);
    hostsim::TransportReassembler reassembler;
    while (!input.Empty()) {
        hostsim::CanFrame frame;
        frame.id = input.Word() & 0x1FFFFFFF;
        frame.data = input.Chunk();  // a CAN frame keeps at most the first 8 bytes
        const auto message = reassembler.Feed(frame);
        if (message && message->data.size() > j1939::kTpMaxMessageBytes) std::abort();
    }
    return 0;
}
