// The host adapter's own record of the J1939 messages it carried, whole (after transport
// reassembly), in both directions: what the tool sent and what the bus brought. The
// command-line host reads it to show what each ECU answered. Bounded: the oldest
// messages go first.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "hostsim/HostSimTypes.h"
#include "hostsim/bus/J1939Message.h"

namespace hostsim {

class TrafficCapture {
public:
    static constexpr size_t kCapacity = 200000;

    void Start();
    void Stop();
    void Clear();
    void Add(uint32_t timeMs, int channel, bool fromTool, const J1939Message& message);
    std::vector<TrafficRecord> Records();

private:
    std::mutex mutex_;
    bool active_ = false;
    std::deque<TrafficRecord> records_;
};

}  // namespace hostsim
