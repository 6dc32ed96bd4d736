#include "platform/TimeScale.h"

#include "platform/Platform.h"

#if defined(MARL_TEST_TIME_SCALE)
#include <cstdlib>
#endif

namespace marl::platform {

namespace {

#if defined(MARL_TEST_TIME_SCALE)
// Beyond this the 32-bit tick would wrap within minutes and 1 ms waits would dominate.
constexpr unsigned long kLargestScale = 1000;
constexpr int kDecimal = 10;

uint32_t ReadScale() {
    const char* text = std::getenv("MARL_TIME_SCALE");
    if (text == nullptr || text[0] == '\0') {
        return 1;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, kDecimal);
    if (*end != '\0' || value < 1 || value > kLargestScale) {
        return 1;
    }
    return static_cast<uint32_t>(value);
}
#endif

}  // namespace

uint32_t TimeScale() {
#if defined(MARL_TEST_TIME_SCALE)
    static const uint32_t scale = ReadScale();
    return scale;
#else
    return 1;
#endif
}

uint32_t RealMs(uint32_t ms) {
    const uint32_t scale = TimeScale();
    if (scale == 1 || ms == 0 || ms == kInfinite) {
        return ms;
    }
    const uint32_t scaled = ms / scale;
    return scaled == 0 ? 1 : scaled;
}

}  // namespace marl::platform
