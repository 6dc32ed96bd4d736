// Calls the host keeps as typed records for tests and the command-line host, in order;
// the host's reset empties them. Plug-in threads add while tests read, so it is locked.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace hostsim {

template <typename Record>
class RecordedList {
public:
    void Add(Record record) {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(std::move(record));
    }
    std::vector<Record> Snapshot() {
        std::lock_guard<std::mutex> lock(mutex_);
        return records_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<Record> records_;
};

}  // namespace hostsim
