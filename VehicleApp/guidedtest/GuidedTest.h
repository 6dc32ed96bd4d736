// The guided DPF regeneration test. Subscribing its data point starts the test, which
// talks to the user and the ECU for as long as the user stays on its screen, so it runs
// on a thread of its own; the subscription call returns at once.
#pragma once

#include <cstdint>

#include "VehicleApp/guidedtest/GuidedTestThreads.h"
#include "platform/Platform.h"

namespace marl {

class CVehicleApp;

constexpr const char* kAbortTestEventName = "1002 Marl J1939 - Event for aborting tests.";
constexpr const char* kExitTestEventName = "1002 Marl J1939 - Event for exiting tests.";
constexpr const char* kTestScreenMutexName = "MarlJ1939 APP ID Display Test Screen Mutex";

class GuidedTest {
public:
    explicit GuidedTest(CVehicleApp& app);
    // Every test thread ends before the events and locks below go.
    ~GuidedTest() { JoinAll(); }
    GuidedTest(const GuidedTest&) = delete;
    GuidedTest& operator=(const GuidedTest&) = delete;
    bool Valid() const;

    // Keeps the test's context, resets the two test events and runs the test on a thread
    // of its own; always 0.
    uint16_t StartGuidedTest(int32_t moduleHandle, uint32_t teskId);
    GuidedTestContext LastGuidedTest() const { return threads_.LastContext(); }
    // Waits for every test thread to end. The tests work on the application's
    // subsystems, so this runs before any of them goes away.
    void JoinAll() { threads_.JoinAll(); }
    platform::Event& AbortTestEvent() { return abortTestEvent_; }
    platform::Event& ExitTestEvent() { return exitTestEvent_; }

private:
    // The body of a test thread.
    void GuidedTestLoop(GuidedTestContext context);

    [[maybe_unused]] CVehicleApp& app_;
    platform::Event abortTestEvent_;
    platform::Event exitTestEvent_;
    platform::NamedMutex testScreenMutex_;
    GuidedTestThreads threads_;
};

}  // namespace marl
