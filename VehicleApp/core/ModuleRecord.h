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
// Discovery of a module may still run when the host subscribes its data points or asks
// for a health report; its answers decide what is requested, so both wait this long
// for it.
constexpr uint32_t kDiscoveryWaitMs = 20000;

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

    // The decoded J1939 NAME from the host, all 0xFF until it has been read. Registration
    // writes it while the receive thread reads it for the tire-location correction, so
    // both go through the record's lock and the reader gets a copy.
    std::array<uint8_t, kDecodedNameSize> DecodedName() const;
    void SetDecodedName(const uint8_t* name);

    // Raised by the first positive answer the module gave (PgnSupportMap::recordResponse);
    // discovery settles sooner and the visibility pass trusts the table once it is set.
    bool PositiveAnswerSeen() const { return positiveAnswerSeen_.load(); }
    // Set by the host's registration-complete command: from then on every message of
    // the module is parsed, throttled per PGN.
    bool RegistrationComplete() const { return registrationComplete_.load(); }
    void SetRegistrationComplete() { registrationComplete_.store(true); }
    // The health report asks for the diagnostic PGNs once per module.
    bool DiagnosticsRequested() const { return diagnosticsRequested_.load(); }
    void SetDiagnosticsRequested() { diagnosticsRequested_.store(true); }
    // A module whose registration failed holds nothing on the bus to wait for.
    bool RegistrationFailed() const { return registrationFailed_.load(); }
    void MarkRegistrationFailed() { registrationFailed_.store(true); }

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

private:
    std::atomic<bool> positiveAnswerSeen_{false};
    std::atomic<bool> registrationComplete_{false};
    std::atomic<bool> diagnosticsRequested_{false};
    std::atomic<bool> registrationFailed_{false};

public:
    // The PGNs the module may send and what the bus answered about them.
    PgnSupportMap pgnMap;

private:
    friend class ModuleTable;
    // The next record at the same source address (ModuleTable's chain).
    std::atomic<ModuleRecord*> nextAtAddress_{nullptr};
    const int32_t handle_;
    std::atomic<int32_t> sendHandle_{0};
    std::atomic<uint8_t> componentSa_{0};
    std::array<uint8_t, kDecodedNameSize> decodedName_;
    ModuleInfo info_;
    platform::Event idleEvent_;
    mutable platform::CriticalSection recordLock_;
    int32_t busyCount_ = 0;
    // busyCount_ >= 1, written with it: the receive path asks for every message, and a
    // module that is not busy is answered without a lock.
    std::atomic<bool> busy_{false};
};

// "Marl J1939 Build ParametersList " followed by the handle and the ECU address in decimal.
std::string IdleEventName(int32_t moduleHandle, uint8_t ecuAddress);

}  // namespace marl
