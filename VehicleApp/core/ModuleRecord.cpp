#include "VehicleApp/core/ModuleRecord.h"

#include <cstring>

namespace marl {
namespace {

// The host's texts in the module information are zero-terminated within their field;
// a field without a terminator is cut at the field's end rather than read past it.
std::string BoundedText(const char* field, size_t capacity) {
    size_t n = 0;
    while (n < capacity && field[n] != '\0') ++n;
    return std::string(field, n);
}

}  // namespace

// Handle and address are kept apart by a separator: run together, handle 1 at address 10
// and handle 11 at address 0 would both be "110" and share one idle event.
std::string IdleEventName(int32_t moduleHandle, uint8_t ecuAddress) {
    return "Marl J1939 Build ParametersList " + std::to_string(moduleHandle) + "_" + std::to_string(ecuAddress);
}

ModuleRecord::ModuleRecord(int32_t moduleHandle, const ModuleInfo& info)
    : pgnMap(static_cast<uint8_t>(info.ecuAddress), positiveAnswerSeen_),
      handle_(moduleHandle),
      info_(info),
      idleEvent_(IdleEventName(moduleHandle, static_cast<uint8_t>(info.ecuAddress)).c_str(), true, true) {
    decodedName_.fill(0xFF);
    idleEvent_.Set();
}

uint8_t ModuleRecord::EcuAddress() const { return static_cast<uint8_t>(info_.ecuAddress & 0xFF); }
int16_t ModuleRecord::Channel() const { return info_.channel; }
int32_t ModuleRecord::ModuleId() const { return info_.moduleId; }
std::string ModuleRecord::Make() const { return BoundedText(info_.make, sizeof(info_.make)); }
std::string ModuleRecord::Model() const { return BoundedText(info_.model, sizeof(info_.model)); }
uint32_t ModuleRecord::ModuleType() const { return info_.moduleType; }

std::array<uint8_t, kDecodedNameSize> ModuleRecord::DecodedName() const {
    platform::CsLock lock(recordLock_);
    return decodedName_;
}

void ModuleRecord::SetDecodedName(const uint8_t* name) {
    if (name == nullptr) return;
    platform::CsLock lock(recordLock_);
    std::memcpy(decodedName_.data(), name, kDecodedNameSize);
}

void ModuleRecord::SetBusy(bool on) {
    platform::CsLock lock(recordLock_);
    busyCount_ += on ? 1 : -1;
    if (busyCount_ <= 0) {
        busyCount_ = 0;
        idleEvent_.Set();
    } else if (idleEvent_.IsSignalled()) {
        idleEvent_.Reset();
    }
    busy_.store(busyCount_ >= 1);
}

int32_t ModuleRecord::BusyCount() const {
    platform::CsLock lock(recordLock_);
    return busyCount_;
}

bool ModuleRecord::IsBusy() const {
    return busy_.load() && idleEvent_.Valid() && BusyCount() >= 1 && !idleEvent_.IsSignalled();
}

bool ModuleRecord::WaitIdle(uint32_t timeoutMs) {
    if (!idleEvent_.Valid() || BusyCount() < 1) return false;
    return idleEvent_.Wait(timeoutMs) != platform::WaitResult::Signalled;
}

}  // namespace marl
