// The plug-in's one application object: the object every entry reaches. It owns one
// object per subsystem, each with its own state and lock, wires them together, and keeps
// only what they all share: the host trace, the shared events, the playback status, the
// bus connection state and the user-interface handle.
#pragma once

#include <atomic>
#include <cstdint>

#include "VehicleApp/core/HostTrace.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/MessageSender.h"
#include "VehicleApp/core/ModuleTable.h"
#include "VehicleApp/core/Registration.h"
#include "VehicleApp/discovery/Discovery.h"
#include "VehicleApp/faults/Faults.h"
#include "VehicleApp/guidedtest/GuidedTest.h"
#include "VehicleApp/receive/ReceivePath.h"
#include "VehicleApp/recording/Recording.h"
#include "VehicleApp/subscriptions/Subscriptions.h"
#include "VehicleApp/vehicleinfo/VehicleInfo.h"

namespace marl {

class SharedState;

class CVehicleApp {
public:
    // The first module's handle is handed over by the creating entry but not kept.
    explicit CVehicleApp(int32_t firstModuleHandle);
    ~CVehicleApp();
    CVehicleApp(const CVehicleApp&) = delete;
    CVehicleApp& operator=(const CVehicleApp&) = delete;

    // False when a kernel object could not be created; the entry then answers 43.
    bool Valid() const;
    // Ties the object to its shared events; done once, before any other thread can see
    // the object, since the receive thread reads the pointer without a lock.
    void Attach(SharedState* shared, uint32_t uiHandle);
    // Ends every thread of the plug-in (the query thread, guided tests) and waits for
    // them: teardown calls it before the shared events go.
    void StopWorkers();

    HostTrace& Trace() { return trace_; }
    SharedState* Shared() const { return shared_; }
    uint32_t UiHandle() const { return uiHandle_.load(); }
    void SetUiHandle(uint32_t uiHandle) { uiHandle_.store(uiHandle); }
    // The host plays a recording back: nothing is asked of the bus.
    bool InPlayback() const { return playbackStatus_.load() != 0; }
    void SetPlaybackStatus(uint32_t status) { playbackStatus_.store(status); }
    // Cleared when the host reports the connection lost.
    bool Connected() const { return connected_.load(); }
    void SetConnected(bool on);

    ModuleTable& Modules() { return modules_; }
    MessageSender& Sender() { return sender_; }
    Registration& Registrations() { return registration_; }
    Discovery& Discoveries() { return discovery_; }
    Subscriptions& Subscribed() { return subscriptions_; }
    VehicleInfo& Vehicle() { return vehicleInfo_; }
    ReceivePath& Receiver() { return receive_; }
    Faults& FaultCodes() { return faults_; }
    Recording& Recorder() { return recording_; }
    GuidedTest& GuidedTests() { return guidedTest_; }

private:
    HostTrace trace_;
    SharedState* shared_ = nullptr;
    std::atomic<uint32_t> uiHandle_{0xFFFFFFFFu};
    std::atomic<uint32_t> playbackStatus_{0};
    std::atomic<bool> connected_{false};

    // Declared in the order they are built; threads of the later ones end first.
    ModuleTable modules_;
    MessageSender sender_;
    Registration registration_;
    Discovery discovery_;
    VehicleInfo vehicleInfo_;
    ReceivePath receive_;
    Faults faults_;
    Recording recording_;
    Subscriptions subscriptions_;
    GuidedTest guidedTest_;
};

}  // namespace marl
