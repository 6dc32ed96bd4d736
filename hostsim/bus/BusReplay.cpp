#include "hostsim/bus/BusReplay.h"

#include <chrono>

#include "hostsim/bus/TransportProtocol.h"
#include "platform/TimeScale.h"

namespace hostsim {

namespace {
// How often a replay waiting for the receiver looks whether it was stopped.
constexpr uint32_t kRoomWaitSliceMs = 20;
}  // namespace

BusReplay::BusReplay(BusWatchers& watchers, Receiver receiver, RoomWait room)
    : watchers_(watchers), receiver_(std::move(receiver)), room_(std::move(room)) {}

BusReplay::~BusReplay() { Stop(); }

std::string BusReplay::Start(const std::string& path, int channel, double speed) {
    Stop();
    std::lock_guard<std::mutex> lock(mutex_);
    stats_ = ReplayStats{};
    reader_ = CandumpReader{};
    std::string error = reader_.Open(path);
    if (!error.empty()) {
        stats_.error = error;
        return error;
    }
    stats_.running = true;
    stopping_ = false;
    thread_ = std::thread(&BusReplay::Run, this, channel, speed);
    return {};
}

bool BusReplay::Wait(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !stats_.running; });
}

void BusReplay::Stop() {
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        ending = std::move(thread_);
        changed_.notify_all();
    }
    if (ending.joinable()) ending.join();
}

ReplayStats BusReplay::Stats() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stats_;
}

bool BusReplay::PauseUntil(std::chrono::steady_clock::time_point when) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !changed_.wait_until(lock, when, [this] { return stopping_; });
}

bool BusReplay::WaitForRoom() {
    while (room_ && !room_(kRoomWaitSliceMs)) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return false;
    }
    return true;
}

void BusReplay::Run(int channel, double speed) {
    using Clock = std::chrono::steady_clock;
    TransportReassembler reassembler;
    std::string interfaceName;
    bool timed = speed > 0.0;
    int64_t firstMicros = 0;
    Clock::time_point started = Clock::now();
    bool first = true;

    // The reader belongs to this thread until the replay ends.
    while (auto frame = reader_.Next()) {
        if (!frame->extended || frame->kind != CandumpFrame::Kind::Data ||
            (!interfaceName.empty() && frame->interfaceName != interfaceName)) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++stats_.framesSkipped;
            continue;
        }
        if (interfaceName.empty()) interfaceName = frame->interfaceName;
        if (first) {
            firstMicros = frame->timeMicros;
            first = false;
        }
        if (timed) {
            auto offset = std::chrono::microseconds(frame->timeMicros - firstMicros);
            // Paced like the plug-in's clock, which a test time scale speeds up.
            auto due = started + marl::platform::RealDuration(offset / speed);
            if (!PauseUntil(due)) break;
        } else {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) break;
        }
        watchers_.Frame(channel, frame->frame);
        auto message = reassembler.Feed(frame->frame);
        if (message && !WaitForRoom()) break;
        if (message) receiver_(channel, *message);
        std::lock_guard<std::mutex> lock(mutex_);
        ++stats_.framesRead;
        if (message) ++stats_.messagesDelivered;
    }

    std::lock_guard<std::mutex> lock(mutex_);
    const TransportReassembler::Stats& transport = reassembler.Statistics();
    stats_.transportMessages = transport.broadcastsCompleted + transport.connectionsCompleted;
    stats_.malformedLines = reader_.MalformedLines();
    if (stats_.error.empty()) stats_.error = reader_.FirstError();
    stats_.running = false;
    changed_.notify_all();
}

}  // namespace hostsim
