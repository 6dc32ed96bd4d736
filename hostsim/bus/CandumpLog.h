// Bus logs of can-utils candump, one frame a line, in the log format (`candump -l`):
//   (1700000000.000000) can0 18EAFFF9#00EE00
// or as the console shows it with a time stamp (`candump -ta`, `-td`, `-tz`):
//    (000.001671)  can1  08FE6E0B   [8]  FF FE FF FE FF FE FF FE
// time in seconds with microseconds, interface, identifier (eight hex digits for a
// 29-bit frame, three for an 11-bit one) and the data bytes in hex. Remote frames ("R",
// "remote request") and error frames (identifier with the error flag 0x20000000) are
// read as such, so a reader can count and skip them. The host's channel n is interface
// "can<n-1>".
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/bus/TransportProtocol.h"

namespace hostsim {

struct CandumpFrame {
    int64_t timeMicros = 0;
    std::string interfaceName;
    bool extended = true;
    CanFrame frame;
    enum class Kind { Data, Remote, Error };
    Kind kind = Kind::Data;  // Remote and Error frames carry no J1939 message
};

std::string InterfaceOfChannel(int channel);
// 0 when the name is not "can" and a number.
int ChannelOfInterface(const std::string& interfaceName);

std::string FormatCandumpLine(const CandumpFrame& frame);
// A line of a log; an empty line or a comment gives no frame and no error.
std::optional<CandumpFrame> ParseCandumpLine(const std::string& line, std::string& error);
// The same into `frame`, whose storage is reused; false when the line gives no frame.
bool ParseCandumpLine(std::string_view line, CandumpFrame& frame, std::string& error);

// Reads a log line by line. Malformed lines are counted and skipped.
class CandumpReader {
public:
    // Empty when the file opened, else why not.
    std::string Open(const std::string& path);
    // The next frame, valid until the next call; null at the end of the log.
    const CandumpFrame* Next();
    size_t LinesRead() const { return lines_; }
    size_t MalformedLines() const { return malformed_; }
    const std::string& FirstError() const { return firstError_; }

private:
    // The next line, without its newline, valid until the next call; false at the end.
    bool NextLine(std::string_view& line);
    bool Refill();

    std::ifstream file_;
    std::unique_ptr<char[]> buffer_;
    size_t start_ = 0;
    size_t filled_ = 0;
    std::string carry_;
    bool lineInCarry_ = false;
    CandumpFrame frame_;
    std::string error_;
    size_t lines_ = 0;
    size_t malformed_ = 0;
    std::string firstError_;
};

}  // namespace hostsim
