// The test-screen mutex, held while a guided test shows its screen. Other applications
// of the host take the same named mutex for their test screens, so one test screen shows
// at a time; the guard gives it back however the test ends.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Platform.h"

namespace marl {

class TestScreenLock {
public:
    // Takes the mutex, waiting at most `limitMs`. The wait goes in short slices so that
    // a test whose module goes (`stopping` true) does not sit out the whole limit.
    TestScreenLock(platform::NamedMutex& mutex, uint32_t limitMs, const std::function<bool()>& stopping);
    ~TestScreenLock();
    TestScreenLock(const TestScreenLock&) = delete;
    TestScreenLock& operator=(const TestScreenLock&) = delete;

    // False on a time-out, a failed wait or a stop.
    bool Owned() const { return owned_; }

private:
    platform::NamedMutex& mutex_;
    bool owned_ = false;
};

}  // namespace marl
