#include "hostsim/BusState.h"

namespace hostsim {

void BusState::SetSendHook(SendHook hook) {
    std::lock_guard<std::mutex> lock(mutex_);
    hook_ = std::move(hook);
}

SendHook BusState::Hook() {
    std::lock_guard<std::mutex> lock(mutex_);
    return hook_;
}

void BusState::AddSent(std::vector<uint8_t> message) {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.push_back(std::move(message));
}

std::vector<std::vector<uint8_t>> BusState::Sent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
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
    return found != assignable_.end() ? found->second : assignableDefault_;
}

void BusState::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    hook_ = nullptr;
    sent_.clear();
    names_.clear();
    assignable_.clear();
    assignableDefault_ = false;
}

}  // namespace hostsim
