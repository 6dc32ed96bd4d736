// The time scale for tests. A build configured with MARL_TEST_TIME_SCALE reads the
// environment variable MARL_TIME_SCALE (an integer, at least 1) once: every finite wait
// of the platform layer then lasts its length divided by the scale, and TickCountMs runs
// that many times faster, so the plug-in's seconds-long discovery and request timings
// pass quickly while their order and ratios stay. Any other build runs at real time and
// never looks at the environment. The stand-in host times its simulated bus with the
// same functions so that the ECUs keep pace with the plug-in's clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace marl::platform {

// 1 at real time.
uint32_t TimeScale();

// How many real milliseconds a wait of ms lasts: ms / scale, at least 1 when ms > 0.
// kInfinite and 0 stay what they are.
uint32_t RealMs(uint32_t ms);

// The same for a duration of the simulated bus; sub-millisecond lengths are kept.
template <typename Rep, typename Period>
std::chrono::steady_clock::duration RealDuration(std::chrono::duration<Rep, Period> length) {
    using Steady = std::chrono::steady_clock::duration;
    const Steady steady = std::chrono::duration_cast<Steady>(length);
    const uint32_t scale = TimeScale();
    if (scale == 1 || steady <= Steady::zero()) {
        return steady;
    }
    const Steady shortest = std::chrono::milliseconds(1);
    const Steady scaled = steady / scale;
    return scaled < shortest ? shortest : scaled;
}

}  // namespace marl::platform
