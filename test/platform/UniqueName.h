// Kernel object names are shared by every process of a Windows session and the suite
// runs test programs side by side, so the names used here carry a prefix of their own
// and a stamp.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace marl::platform::test {

inline std::string UniqueName(const char* tag) {
    static int counter = 0;
    return std::string("marl-platform-test-") + tag + "-" + std::to_string(TickCountMs()) + "-" +
           std::to_string(++counter);
}

}  // namespace marl::platform::test
