#include "hostsim/control/CallLog.h"

#include <utility>

namespace hostsim {

void CallLog::Record(Call call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
}

std::vector<Call> CallLog::Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<Call> CallLog::CallsTo(const std::string& function) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Call> matching;
    for (const Call& call : calls_) {
        if (call.function == function) matching.push_back(call);
    }
    return matching;
}

size_t CallLog::Count(const std::string& function) const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t count = 0;
    for (const Call& call : calls_) {
        if (call.function == function) ++count;
    }
    return count;
}

void CallLog::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    // Given back, not kept for reuse: a long run that clears the log between rounds
    // should not hold the largest log it ever had.
    std::vector<Call>().swap(calls_);
}

}  // namespace hostsim
