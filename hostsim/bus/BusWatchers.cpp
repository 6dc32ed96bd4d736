#include "hostsim/bus/BusWatchers.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace hostsim {

uint32_t BusWatchers::Add(BusWatcher watcher) {
    auto entry = std::make_shared<Entry>();
    entry->watcher = std::move(watcher);
    std::lock_guard<std::mutex> lock(mutex_);
    entry->id = nextId_++;
    entries_.push_back(entry);
    Count(*entry, 1);
    return entry->id;
}

void BusWatchers::Count(const Entry& entry, int change) {
    if (entry.watcher.frame) frameWatchers_.fetch_add(static_cast<size_t>(change));
    if (entry.watcher.message) messageWatchers_.fetch_add(static_cast<size_t>(change));
}

void BusWatchers::Remove(uint32_t id) {
    std::shared_ptr<Entry> entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [id](const std::shared_ptr<Entry>& e) { return e->id == id; });
        if (found == entries_.end()) return;
        entry = *found;
        entries_.erase(found);
        Count(*entry, -1);
    }
    // Waits for a call in progress on another thread to end.
    std::lock_guard<std::recursive_mutex> calling(entry->calling);
    entry->removed = true;
}

void BusWatchers::RemoveAll() {
    std::vector<std::shared_ptr<Entry>> all;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        all.swap(entries_);
        for (const auto& entry : all) Count(*entry, -1);
    }
    for (const auto& entry : all) {
        std::lock_guard<std::recursive_mutex> calling(entry->calling);
        entry->removed = true;
    }
}

std::vector<std::shared_ptr<BusWatchers::Entry>> BusWatchers::Snapshot() {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

void BusWatchers::Message(const TrafficRecord& message) {
    if (messageWatchers_.load() == 0) return;
    for (const auto& entry : Snapshot()) {
        std::lock_guard<std::recursive_mutex> calling(entry->calling);
        if (!entry->removed && entry->watcher.message) entry->watcher.message(message);
    }
}

void BusWatchers::Frame(int channel, const CanFrame& frame) {
    if (frameWatchers_.load() == 0) return;
    auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    BusFrame seen{std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch).count(), channel, frame.id,
                  frame.data.ToVector()};
    for (const auto& entry : Snapshot()) {
        std::lock_guard<std::recursive_mutex> calling(entry->calling);
        if (!entry->removed && entry->watcher.frame) entry->watcher.frame(seen);
    }
}

TrafficRecord RecordOf(uint32_t timeMs, int channel, const J1939Message& message) {
    TrafficRecord record;
    record.timeMs = timeMs;
    record.channel = channel;
    record.pgn = message.pgn;
    record.priority = message.priority;
    record.source = message.source;
    record.destination = message.destination;
    record.data = message.data;
    return record;
}

BusWatcher SentMessageRecord::Watcher() {
    return {[this](const TrafficRecord& message) {
                if (!message.fromTool) return;
                J1939Message sent{message.pgn, message.priority, message.source, message.destination, message.data};
                std::lock_guard<std::mutex> lock(mutex_);
                sent_.push_back(ToHostLayout(sent));
            },
            nullptr};
}

std::vector<std::vector<uint8_t>> SentMessageRecord::Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

void SentMessageRecord::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    decltype(sent_)().swap(sent_);
}

}  // namespace hostsim
