#include "hostsim/control/ResultTable.h"

namespace hostsim {

void ResultTable::Set(const std::string& function, int32_t result) {
    std::lock_guard<std::mutex> lock(mutex_);
    lasting_[function] = result;
}

void ResultTable::Queue(const std::string& function, const std::vector<int32_t>& results) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& queue = queued_[function];
    queue.insert(queue.end(), results.begin(), results.end());
}

void ResultTable::Clear(const std::string& function) {
    std::lock_guard<std::mutex> lock(mutex_);
    lasting_.erase(function);
    queued_.erase(function);
}

void ResultTable::FailCallNumber(uint32_t calls, int32_t result) {
    std::lock_guard<std::mutex> lock(mutex_);
    callsToFailure_ = calls;
    failure_ = result;
    failedCall_.clear();
}

std::string ResultTable::FailedCall() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failedCall_;
}

int32_t ResultTable::Take(const std::string& function) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (callsToFailure_ != 0 && --callsToFailure_ == 0) {
        failedCall_ = function;
        return failure_;
    }
    auto queued = queued_.find(function);
    if (queued != queued_.end() && !queued->second.empty()) {
        int32_t result = queued->second.front();
        queued->second.pop_front();
        return result;
    }
    auto lasting = lasting_.find(function);
    return lasting != lasting_.end() ? lasting->second : 0;
}

void ResultTable::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    lasting_.clear();
    queued_.clear();
    callsToFailure_ = 0;
    failure_ = 0;
    failedCall_.clear();
}

}  // namespace hostsim
