// The threads guided tests run on. Subscribing a guided-test data point starts a test on
// a thread of its own, and the host may subscribe again while an earlier test is still
// running; each thread is kept here until it has ended and been joined, so none outlives
// the application object it works on. A test is asked to stop when its module goes; it
// stops at its next step.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>

#include "platform/Platform.h"

namespace marl {

// What a guided test needs to know: the module it runs on and its data point.
struct GuidedTestContext {
    int32_t moduleHandle = 0;
    uint32_t teskId = 0;
};

// Module handles run from 1; this one stands for the tests of every module.
constexpr int32_t kEveryModule = 0;

class GuidedTestThreads {
public:
    // The body of a test; `stop` is raised when the test must end.
    using Body = std::function<void(const std::atomic<bool>& stop)>;

    GuidedTestThreads() = default;
    // Stops and waits for every test thread.
    ~GuidedTestThreads();
    GuidedTestThreads(const GuidedTestThreads&) = delete;
    GuidedTestThreads& operator=(const GuidedTestThreads&) = delete;

    // Keeps `context` as the last test started and runs `body` on a new thread; false
    // when the thread could not be started. Threads of tests that have ended are joined
    // here first.
    bool Start(const GuidedTestContext& context, Body body, uint32_t stackSize);
    GuidedTestContext LastContext() const;
    // Asks the tests of a module (or of every module) to stop, then waits up to
    // `timeoutMs` for them to end; true when they all did.
    bool StopTests(int32_t moduleHandle, uint32_t timeoutMs);
    // Stops every test started so far and waits for its thread to end. Must not be
    // called on one.
    void JoinAll();

private:
    struct Worker {
        GuidedTestContext context;
        std::atomic<bool> stop{false};
        platform::Event ended{nullptr, true, false};
        platform::Thread thread;  // last: joined before the rest goes
    };

    mutable platform::CriticalSection lock_;
    GuidedTestContext last_;
    std::list<std::shared_ptr<Worker>> workers_;
};

}  // namespace marl
