// The log of every frame the host's bus carries (requests of the tool, ECU answers,
// broadcasts, acknowledgements, address claims, transport packets), written in the
// candump format with the wall-clock time of the frame.
#pragma once

#include <fstream>
#include <mutex>
#include <string>

#include "hostsim/bus/TransportProtocol.h"

namespace hostsim {

class BusLog {
public:
    // Empty when the log file is open (created or emptied), else why not.
    std::string Start(const std::string& path);
    void Stop();
    bool Active();
    void Write(int channel, const CanFrame& frame);
    size_t FramesWritten();

private:
    std::mutex mutex_;
    std::ofstream file_;
    size_t written_ = 0;
};

}  // namespace hostsim
