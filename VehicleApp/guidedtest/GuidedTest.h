// The guided DPF regeneration test. Subscribing its data point starts the test, which
// talks to the user and the ECU for as long as the user stays on its screen, so it runs
// on a thread of its own; the subscription call returns at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "VehicleApp/guidedtest/GuidedTestThreads.h"
#include "platform/Platform.h"

namespace marl {

class CVehicleApp;
class ModuleRecord;

constexpr const char* kAbortTestEventName = "1002 Marl J1939 - Event for aborting tests.";
constexpr const char* kExitTestEventName = "1002 Marl J1939 - Event for exiting tests.";
constexpr const char* kTestScreenMutexName = "MarlJ1939 APP ID Display Test Screen Mutex";
// How long a test waits for another test screen of the host to close.
constexpr uint32_t kTestScreenMutexWaitMs = 20000;
// Each Start sends the DM7 up to three times and gives the ECU two seconds to report
// the result.
constexpr uint16_t kDm7TimeoutMs = 2000;
constexpr uint8_t kDm7Attempts = 3;

class GuidedTest {
public:
    explicit GuidedTest(CVehicleApp& app, uint32_t screenMutexWaitMs = kTestScreenMutexWaitMs);
    // Every test thread ends before the events and locks below go.
    ~GuidedTest() { JoinAll(); }
    GuidedTest(const GuidedTest&) = delete;
    GuidedTest& operator=(const GuidedTest&) = delete;
    bool Valid() const;

    // Keeps the test's context, resets the two test events and runs the test on a thread
    // of its own; always 0.
    uint16_t StartGuidedTest(int32_t moduleHandle, uint32_t teskId);
    GuidedTestContext LastGuidedTest() const { return threads_.LastContext(); }
    // The module goes: its tests (every test for kEveryModule) end at their next step,
    // each closing its screen and signalling the exit-test event; true when they all
    // ended within `timeoutMs`. A test waiting for the user ends when the host closes
    // the module's screens.
    bool EndTests(int32_t moduleHandle, uint32_t timeoutMs) { return threads_.StopTests(moduleHandle, timeoutMs); }
    // Ends every test thread and waits for it. The tests work on the application's
    // subsystems, so this runs before any of them goes away.
    void JoinAll() { threads_.JoinAll(); }
    platform::Event& AbortTestEvent() { return abortTestEvent_; }
    platform::Event& ExitTestEvent() { return exitTestEvent_; }

    // Sends a diagnostic message (`pgn` with `data`) to the module's ECU and waits up to
    // `timeoutMs` per attempt for its answer; the sender's result.
    uint16_t RequestJ1939Dm(uint32_t pgn, const ModuleRecord& module, const std::vector<uint8_t>& data,
                            bool expectAnswer, uint16_t timeoutMs);

private:
    // The test thread's body: outbound traffic of the module off, the test its data
    // point stands for, the screen closed, the exit-test event, outbound traffic on.
    uint16_t RunGuidedTest(int32_t moduleHandle, uint32_t teskId, const std::atomic<bool>& stop);
    void RunDpfActiveRegenerationTest(int32_t moduleHandle, const std::atomic<bool>& stop);
    // Shows one screen and returns the reply's code.
    uint8_t ShowScreen(int32_t moduleHandle, const std::wstring& text, const wchar_t* title, int32_t mode);
    std::wstring LoadResource(int32_t moduleHandle, const wchar_t* name);
    std::vector<uint32_t> CategoryOneDataPoints(int32_t moduleHandle);
    bool Stopping(const std::atomic<bool>& stop) const;

    CVehicleApp& app_;
    const uint32_t screenMutexWaitMs_;
    platform::Event abortTestEvent_;
    platform::Event exitTestEvent_;
    platform::NamedMutex testScreenMutex_;
    GuidedTestThreads threads_;
};

}  // namespace marl
