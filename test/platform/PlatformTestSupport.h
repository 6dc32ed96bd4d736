// What the platform tests share: names of their own for kernel objects, deadlines, and
// a body run on a thread of its own (ownership of mutexes is per thread).
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace marl::platform::test {

// Kernel object names are shared by every process of a Windows session and the suite
// runs test programs side by side, so the names used here carry a prefix of their own
// and a stamp.
inline std::string UniqueName(const char* tag) {
    static int counter = 0;
    return std::string("marl-platform-test-") + tag + "-" + std::to_string(TickCountMs()) + "-" +
           std::to_string(++counter);
}

// A wait that should end at once gets this long in real time before the test gives up:
// the CI machine has two cores, runs sanitizers and Wine. Platform waits are shortened
// by the test time scale, so the figure handed to them is stretched by it.
constexpr uint32_t kDeadlineRealMs = 5000;
inline uint32_t DeadlineMs() { return kDeadlineRealMs * TimeScale(); }

// A time-out that should pass, in the platform's (scaled) milliseconds.
constexpr uint32_t kShortWaitMs = 200;

template <typename Body>
void OnOtherThread(Body body) {
    Thread thread;
    ASSERT_TRUE(thread.Start(body, 0));
    thread.Join();
}

}  // namespace marl::platform::test
