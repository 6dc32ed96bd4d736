// candump logs, both the log format (`candump -l`) and the console's (`candump -ta`): each
// line parsed, what parses written back and parsed again to the same frame, and the data
// frames fed to transport-protocol reassembly as a replay does.
#include <cstdlib>
#include <sstream>

#include "fuzz/FuzzSupport.h"
#include "hostsim/bus/CandumpLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream log(std::string(reinterpret_cast<const char*>(data), size));
    hostsim::TransportReassembler reassembler;
    std::string line, error;
    while (std::getline(log, line)) {
        const auto frame = hostsim::ParseCandumpLine(line, error);
        if (!frame) continue;
        const auto again = hostsim::ParseCandumpLine(hostsim::FormatCandumpLine(*frame), error);
        if (!again || !(again->frame == frame->frame) || again->kind != frame->kind) std::abort();
        if (frame->kind == hostsim::CandumpFrame::Kind::Data && frame->extended) reassembler.Feed(frame->frame);
    }
    return 0;
}
