// The threads guided tests run on. Subscribing a guided-test data point starts a test on
// a thread of its own, and the host may subscribe again while an earlier test is still
// running; each thread is kept here until it has ended and been joined, so none outlives
// the application object it works on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>

#include "platform/Platform.h"

namespace marl {

// What a guided test needs to know: the module it runs on and its data point.
struct GuidedTestContext {
    int32_t moduleHandle = 0;
    uint32_t teskId = 0;
};

class GuidedTestThreads {
public:
    GuidedTestThreads() = default;
    // Waits for every test thread to end.
    ~GuidedTestThreads();
    GuidedTestThreads(const GuidedTestThreads&) = delete;
    GuidedTestThreads& operator=(const GuidedTestThreads&) = delete;

    // Keeps `context` as the last test started and runs `body` on a new thread; false
    // when the thread could not be started. Threads of tests that have ended are joined
    // here first.
    bool Start(const GuidedTestContext& context, std::function<void()> body, uint32_t stackSize);
    GuidedTestContext LastContext() const;
    // Waits for every test thread started so far to end. Must not be called on one.
    void JoinAll();

private:
    struct Worker {
        platform::Thread thread;
        std::atomic<bool> ended{false};
    };

    mutable platform::CriticalSection lock_;
    GuidedTestContext last_;
    std::list<Worker> workers_;
};

}  // namespace marl
