// Bus logs in the can-utils candump format, one frame a line:
//   (1700000000.000000) can0 18EAFFF9#00EE00
// time in seconds with microseconds, interface, identifier (eight hex digits for a
// 29-bit frame, three for an 11-bit one) and the data bytes in hex. The host's channel n
// is interface "can<n-1>".
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/bus/TransportProtocol.h"

namespace hostsim {

struct CandumpFrame {
    int64_t timeMicros = 0;
    std::string interfaceName;
    bool extended = true;
    CanFrame frame;
};

std::string InterfaceOfChannel(int channel);
// 0 when the name is not "can" and a number.
int ChannelOfInterface(const std::string& interfaceName);

std::string FormatCandumpLine(const CandumpFrame& frame);
// A line of a log; an empty line or a comment gives no frame and no error.
std::optional<CandumpFrame> ParseCandumpLine(const std::string& line, std::string& error);

// Reads a log line by line. Malformed lines are counted and skipped.
class CandumpReader {
public:
    // Empty when the file opened, else why not.
    std::string Open(const std::string& path);
    std::optional<CandumpFrame> Next();
    size_t LinesRead() const { return lines_; }
    size_t MalformedLines() const { return malformed_; }
    const std::string& FirstError() const { return firstError_; }

private:
    std::ifstream file_;
    size_t lines_ = 0;
    size_t malformed_ = 0;
    std::string firstError_;
};

}  // namespace hostsim
