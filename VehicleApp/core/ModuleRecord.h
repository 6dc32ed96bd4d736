// What the plug-in keeps for one registered module: one ECU on one channel.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "VehicleApp/discovery/PgnSupportMap.h"
#include "host/ZorvRecords.h"
#include "platform/Platform.h"

namespace marl {

constexpr size_t kDecodedNameSize = 24;

class ModuleRecord {
public:
    ModuleRecord(int32_t moduleHandle, const ModuleInfo& info);
    ModuleRecord(const ModuleRecord&) = delete;
    ModuleRecord& operator=(const ModuleRecord&) = delete;

    bool Valid() const { return idleEvent_.Valid(); }

    int32_t Handle() const { return handle_; }
    int32_t SendHandle() const { return sendHandle_.load(); }
    void SetSendHandle(int32_t sendHandle) { sendHandle_.store(sendHandle); }

    uint8_t ComponentSa() const { return componentSa_.load(); }
    void SetComponentSa(uint8_t sa) { componentSa_.store(sa); }

    // Fields of the host's module information that the plug-in reads.
    const ModuleInfo& Info() const { return info_; }
    uint8_t EcuAddress() const;
    int16_t Channel() const;
    int32_t ModuleId() const;
    std::string Make() const;
    std::string Model() const;
    uint32_t ModuleType() const;

    // The decoded J1939 NAME from the host, all 0xFF until it has been read.
    const std::array<uint8_t, kDecodedNameSize>& DecodedName() const { return decodedName_; }
    void SetDecodedName(const uint8_t* name);

    // Raised by the first positive answer the module gave (PgnSupportMap::recordResponse);
    // discovery settles sooner and the visibility pass trusts the table once it is set.
    std::atomic<bool> positiveAnswerSeen{false};
    std::atomic<bool> registrationComplete{false};
    std::atomic<bool> diagnosticsRequested{false};
    std::atomic<bool> registrationFailed{false};

    // Busy count protocol: work on the bus for this module (registration, discovery,
    // health-report requests) holds it busy; unregistration waits for the idle event.
    void SetBusy(bool on);
    // True when the module was busy and did not become idle within the time-out.
    bool WaitIdle(uint32_t timeoutMs);
    int32_t BusyCount() const;
    platform::Event& IdleEvent() { return idleEvent_; }
    // Busy as the receive path judges it: a count of 1 or more and the idle event not
    // signalled.
    bool IsBusy() const;

    // The PGNs the module may send and what the bus answered about them.
    PgnSupportMap pgnMap;

private:
    const int32_t handle_;
    std::atomic<int32_t> sendHandle_{0};
    std::atomic<uint8_t> componentSa_{0};
    std::array<uint8_t, kDecodedNameSize> decodedName_;
    ModuleInfo info_;
    platform::Event idleEvent_;
    mutable platform::CriticalSection recordLock_;
    int32_t busyCount_ = 0;
};

// "Marl J1939 Build ParametersList " followed by the handle and the ECU address in decimal.
std::string IdleEventName(int32_t moduleHandle, uint8_t ecuAddress);

}  // namespace marl
