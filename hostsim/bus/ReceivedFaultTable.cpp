#include "hostsim/bus/ReceivedFaultTable.h"

#include <utility>

namespace hostsim {

void ReceivedFaultTable::SetActive(ZModuleHandle handle, DtcReport report) {
    std::lock_guard<std::mutex> lock(mutex_);
    ReceivedFaultCodes& codes = modules_[handle];
    codes.activeReceived = true;
    codes.active = std::move(report);
}

void ReceivedFaultTable::SetPreviouslyActive(ZModuleHandle handle, DtcReport report) {
    std::lock_guard<std::mutex> lock(mutex_);
    ReceivedFaultCodes& codes = modules_[handle];
    codes.previouslyActiveReceived = true;
    codes.previouslyActive = std::move(report);
}

ReceivedFaultCodes ReceivedFaultTable::Of(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = modules_.find(handle);
    return found == modules_.end() ? ReceivedFaultCodes{} : found->second;
}

void ReceivedFaultTable::Forget(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    modules_.erase(handle);
}

void ReceivedFaultTable::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    modules_.clear();
}

}  // namespace hostsim
