#include "hostsim/bus/BusState.h"

#include "j1939/Protocol.h"
#include "hostsim/bus/J1939Name.h"

namespace hostsim {
namespace {

// The second argument of the question about an address.
constexpr uint32_t kAskAboutAddress = 1;

bool IsDynamicAddress(uint32_t address) {
    return address >= j1939::kFirstDynamicAddress && address <= j1939::kLastDynamicAddress;
}

}  // namespace

void BusState::SetSendResultRule(SendResultRule rule) {
    std::lock_guard<std::mutex> lock(mutex_);
    sendRule_ = std::move(rule);
}

SendResultRule BusState::SendRule() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sendRule_;
}

void BusState::SetName(uint8_t address, const J1939DecodedName& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    names_[address] = name;
}

bool BusState::Name(uint8_t address, J1939DecodedName& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = names_.find(address);
    if (found == names_.end()) return false;
    name = found->second;
    return true;
}

void BusState::SetAssignable(uint32_t first, uint32_t second, bool assignable) {
    std::lock_guard<std::mutex> lock(mutex_);
    assignable_[{first, second}] = assignable;
}

void BusState::SetAssignableDefault(bool assignable) {
    std::lock_guard<std::mutex> lock(mutex_);
    assignableDefault_ = assignable;
}

bool BusState::Assignable(uint32_t first, uint32_t second) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = assignable_.find({first, second});
    if (found != assignable_.end()) return found->second;
    if (assignableDefault_) return *assignableDefault_;
    if (!networkRunning_) return false;
    if (second == kAskAboutAddress && first <= j1939::kGlobalAddress) {
        return names_.count(static_cast<uint8_t>(first)) != 0 || IsDynamicAddress(first);
    }
    return IsArbitraryAddressCapable(second);
}

void BusState::SetNetworkRunning(bool running) {
    std::lock_guard<std::mutex> lock(mutex_);
    networkRunning_ = running;
}

void BusState::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    sendRule_ = nullptr;
    names_.clear();
    assignable_.clear();
    assignableDefault_.reset();
    networkRunning_ = false;
}

}  // namespace hostsim
