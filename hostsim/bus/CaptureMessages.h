// The J1939 messages of a captured bus, read from a candump log: the 29-bit data frames of
// one interface, with transport sessions (BAM and RTS/CTS) reassembled, each with its time
// since the first frame. 11-bit, remote and error frames, frames of other interfaces and
// lines that are no frame are counted and skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/bus/CandumpLog.h"
#include "hostsim/bus/J1939Message.h"
#include "hostsim/bus/TransportProtocol.h"

namespace hostsim {

class CaptureMessages {
public:
    struct Timed {
        int64_t micros = 0;           // since the capture's first frame
        const J1939Message& message;  // valid until the next call
    };

    // Empty when the file opened, else why not. An empty interface name takes the
    // interface of the first 29-bit data frame.
    std::string Open(const std::string& path, const std::string& interfaceName);
    std::optional<Timed> Next();

    size_t Frames() const { return frames_; }  // 29-bit data frames of the interface
    size_t Skipped() const { return skipped_; }
    size_t Malformed() const { return reader_.MalformedLines(); }
    const std::string& FirstError() const { return reader_.FirstError(); }
    const std::string& InterfaceName() const { return interfaceName_; }
    // Every interface the capture's frames came from, in order of appearance.
    const std::vector<std::string>& Interfaces() const { return interfaces_; }

private:
    void NoteInterface(const std::string& name);

    CandumpReader reader_;
    TransportReassembler reassembler_;
    std::string interfaceName_;
    std::vector<std::string> interfaces_;
    size_t current_ = 0;  // the interface of the last frame in interfaces_
    std::optional<int64_t> firstMicros_;
    size_t frames_ = 0;
    size_t skipped_ = 0;
};

}  // namespace hostsim
