#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Platform.h"

namespace {

void SetRoot(const char* value) {
#if defined(_WIN32)
    _putenv_s("MARL_HOST_ROOT", value != nullptr ? value : "");
#else
    if (value != nullptr) {
        setenv("MARL_HOST_ROOT", value, 1);
    } else {
        unsetenv("MARL_HOST_ROOT");
    }
#endif
}

TEST(HostPath, DevicePathsGoUnderTheMountedRoot) {
    SetRoot("/tmp/device/");
    const std::string mapped = marl::platform::HostPath("\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini");
#if defined(_WIN32)
    EXPECT_EQ(mapped, "/tmp/device\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini");
#else
    EXPECT_EQ(mapped, "/tmp/device/Hard Disk/Brakk/Zorv/Ini/AppConfig.ini");
#endif
    SetRoot(nullptr);
}

TEST(HostPath, WithoutARootThePathKeepsItsPlace) {
    SetRoot(nullptr);
#if defined(_WIN32)
    EXPECT_EQ(marl::platform::HostPath("\\Hard Disk\\a.ini"), "\\Hard Disk\\a.ini");
#else
    EXPECT_EQ(marl::platform::HostPath("\\Hard Disk\\a.ini"), "/Hard Disk/a.ini");
    EXPECT_EQ(marl::platform::HostPath("rel\\a.ini"), "/rel/a.ini");
#endif
    EXPECT_EQ(marl::platform::HostPath(nullptr), marl::platform::HostPath(""));
}

}  // namespace
