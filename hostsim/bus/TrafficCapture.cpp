#include "hostsim/bus/TrafficCapture.h"

namespace hostsim {

void TrafficCapture::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    active_ = true;
}

void TrafficCapture::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    active_ = false;
}

void TrafficCapture::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
}

void TrafficCapture::Add(uint32_t timeMs, int channel, bool fromTool, const J1939Message& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!active_) return;
    if (records_.size() >= kCapacity) records_.pop_front();
    records_.push_back(TrafficRecord{timeMs, channel, fromTool, message.pgn, message.priority, message.source,
                                     message.destination, message.data});
}

std::vector<TrafficRecord> TrafficCapture::Records() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<TrafficRecord>(records_.begin(), records_.end());
}

}  // namespace hostsim
