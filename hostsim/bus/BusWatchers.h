// The watchers of the host's bus (see WatchBus in HostSim.h): the candump log, the record
// of sent messages and whatever a test or the command-line host watches with. What the
// bus carries is handed to every watcher with no lock of the list held, so that a watcher
// can deliver an answer, which comes back through the watchers on the same thread. Each
// watcher has a recursive lock of its own: calls to it never overlap, and once it is
// removed it is neither running nor called again.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Message.h"
#include "hostsim/bus/TransportProtocol.h"

namespace hostsim {

class BusWatchers {
public:
    uint32_t Add(BusWatcher watcher);
    void Remove(uint32_t id);
    void RemoveAll();

    void Message(const TrafficRecord& message);
    // Stamps the frame with the wall-clock time it went by.
    void Frame(int channel, const CanFrame& frame);

private:
    struct Entry {
        uint32_t id = 0;
        BusWatcher watcher;
        std::recursive_mutex calling;
        bool removed = false;
    };
    std::vector<std::shared_ptr<Entry>> Snapshot();
    void Count(const Entry& entry, int change);

    std::mutex mutex_;
    std::vector<std::shared_ptr<Entry>> entries_;
    // How many watchers take frames or messages: with none, nothing is stamped, copied
    // or formatted for them.
    std::atomic<size_t> frameWatchers_{0};
    std::atomic<size_t> messageWatchers_{0};
    uint32_t nextId_ = 1;
};

// A whole message as the watchers see it.
TrafficRecord RecordOf(uint32_t timeMs, int channel, const J1939Message& message);

// The host's own record of what the plug-in sent, kept as a watcher of the bus.
class SentMessageRecord {
public:
    BusWatcher Watcher();
    std::vector<std::vector<uint8_t>> Messages();
    void Clear();

private:
    std::mutex mutex_;
    std::vector<std::vector<uint8_t>> sent_;
};

}  // namespace hostsim
