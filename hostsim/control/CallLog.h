// The log of every call into the stand-in host, in arrival order. The plug-in calls the
// host from its registration, query, guided-test and receive threads at once, so every
// access takes the log's lock.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

class CallLog {
public:
    void Record(Call call);
    std::vector<Call> Snapshot() const;
    std::vector<Call> CallsTo(const std::string& function) const;
    size_t Count(const std::string& function) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace hostsim
