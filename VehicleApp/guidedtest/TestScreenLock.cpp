#include "VehicleApp/guidedtest/TestScreenLock.h"

#include <algorithm>

namespace marl {
namespace {
constexpr uint32_t kSliceMs = 100;
}  // namespace

TestScreenLock::TestScreenLock(platform::NamedMutex& mutex, uint32_t limitMs, const std::function<bool()>& stopping)
    : mutex_(mutex) {
    const uint32_t start = platform::TickCountMs();
    for (;;) {
        const uint32_t spent = platform::TickCountMs() - start;
        if (spent >= limitMs || stopping()) return;
        const platform::WaitResult result = mutex_.Lock(std::min(kSliceMs, limitMs - spent));
        if (result == platform::WaitResult::Signalled) {
            owned_ = true;
            return;
        }
        if (result == platform::WaitResult::Failed) return;
    }
}

TestScreenLock::~TestScreenLock() {
    if (owned_) mutex_.Unlock();
}

}  // namespace marl
