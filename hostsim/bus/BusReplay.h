// Replays a recorded candump log onto one of the host's channels, as if the bus carried it
// again: the frames of one interface of the log (by default the interface of its first
// 29-bit frame) at the pace they were recorded, sped up by a factor (0 or less: as fast
// as they can be read), with transport sessions (BAM and RTS/CTS) reassembled. Every
// frame goes to the bus watchers; every message goes to the host's receiver. However fast
// it goes, a replay stays at most a bounded number of messages ahead of the plug-in, so
// that the receive queue cannot grow with the length of the log.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "hostsim/bus/BusWatchers.h"
#include "hostsim/bus/CandumpLog.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class BusReplay {
public:
    using Receiver = std::function<void(int channel, const J1939Message& message)>;
    // True once the receiver has room for another message, false after the time-out.
    using RoomWait = std::function<bool(uint32_t timeoutMs)>;

    BusReplay(BusWatchers& watchers, Receiver receiver, RoomWait room = nullptr);
    ~BusReplay();

    // Empty when the replay started, else why not (the previous replay is stopped first).
    std::string Start(const std::string& path, int channel, double speed);
    // True once the replay has ended.
    bool Wait(uint32_t timeoutMs);
    void Stop();
    ReplayStats Stats();

private:
    void Run(int channel, double speed);
    bool PauseUntil(std::chrono::steady_clock::time_point when);
    // False when the replay is stopped while waiting.
    bool WaitForRoom();

    BusWatchers& watchers_;
    Receiver receiver_;
    RoomWait room_;
    CandumpReader reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    ReplayStats stats_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace hostsim
