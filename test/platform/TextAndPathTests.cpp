// Text in the ANSI code page, and the host's device paths under the root a test or the
// command-line host mounts. The characters used here mean the same in Latin-1 and in
// Windows-1252, the ANSI code page Wine and a western Windows run with.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace marl::platform {
namespace {

constexpr int kRoom = 8;
const wchar_t kForeign[] = {L'a', 0x4E2D, L'b', 0};

// Capacity 0 asks for the size; the buffer is always kRoom long and starts out filled
// with '#' sentinels, and `written` is its start afterwards, sentinels included.
TEST(CodePageTest, WideToAnsiAsWideCharToMultiByte) {
    struct Case {
        const char* label;
        const wchar_t* source;
        int sourceLength;
        int capacity;
        int result;
        std::string written;
        bool usedDefault;
    };
    const Case cases[] = {
        {"whole with terminator", L"ab\u00e9", -1, kRoom, 4, std::string("ab\xe9\0#", 5), false},
        {"a length writes no terminator", L"abcdef", 3, kRoom, 3, "abc#", false},
        {"size with terminator", L"abc", -1, 0, 4, "####", false},
        {"size of a part", L"abc", 2, 0, 2, "", false},
        {"too small fails without overrun", L"abc", -1, 2, 0, "ab#", false},
        {"unconvertible becomes the default", kForeign, -1, kRoom, 4, std::string("a?b\0", 4), true},
        {"null source", nullptr, -1, kRoom, 0, "#", false},
        {"zero length", L"abc", 0, kRoom, 0, "#", false},
    };
    for (const Case& c : cases) {
        char out[kRoom];
        std::memset(out, '#', sizeof(out));
        bool usedDefault = !c.usedDefault;
        EXPECT_EQ(WideToAnsi(c.source, c.sourceLength, c.capacity == 0 ? nullptr : out, c.capacity, &usedDefault),
                  c.result)
            << c.label;
        EXPECT_EQ(std::string(out, c.written.size()), c.written) << c.label;
        if (c.result != 0 && c.capacity != 0) {
            EXPECT_EQ(usedDefault, c.usedDefault) << c.label;
        }
    }
}

TEST(CodePageTest, AnsiToWideAsMultiByteToWideChar) {
    struct Case {
        const char* label;
        const char* source;
        int sourceLength;
        int capacity;
        int result;
        std::wstring written;
    };
    const Case cases[] = {
        {"whole with terminator", "ab\xe9", -1, kRoom, 4, std::wstring(L"ab\u00e9\0#", 5)},
        {"size with terminator", "abcd", -1, 0, 5, L"#"},
        {"size of a part", "abcd", 3, 0, 3, L""},
        {"too small fails without overrun", "abc", -1, 3, 0, L"abc#"},
        {"exact fit", "abc", 3, 3, 3, L"abc#"},
    };
    for (const Case& c : cases) {
        wchar_t out[kRoom];
        std::fill(out, out + kRoom, L'#');
        EXPECT_EQ(AnsiToWide(c.source, c.sourceLength, c.capacity == 0 ? nullptr : out, c.capacity), c.result)
            << c.label;
        EXPECT_EQ(std::wstring(out, c.written.size()), c.written) << c.label;
    }
}

TEST(CodePageTest, EveryUpperLatin1CharacterRoundTrips) {
    constexpr int kFirst = 0xA0;
    constexpr int kCount = 0x100 - kFirst;
    std::wstring wide;
    std::string expected;
    for (int i = kFirst; i < 0x100; ++i) {
        wide += static_cast<wchar_t>(i);
        expected += static_cast<char>(i);
    }
    char narrow[kCount];
    ASSERT_EQ(WideToAnsi(wide.data(), kCount, narrow, kCount, nullptr), kCount);
    EXPECT_EQ(std::string(narrow, kCount), expected);
    wchar_t back[kCount];
    ASSERT_EQ(AnsiToWide(narrow, kCount, back, kCount), kCount);
    EXPECT_EQ(std::wstring(back, kCount), wide);
}

// An empty value removes the variable.
void SetRoot(const char* value) {
#if defined(_WIN32)
    _putenv_s("MARL_HOST_ROOT", value);
#else
    (void)(value[0] != '\0' ? setenv("MARL_HOST_ROOT", value, 1) : unsetenv("MARL_HOST_ROOT"));
#endif
}

TEST(HostPath, DevicePathsGoUnderTheMountedRootOrKeepTheirPlace) {
    SetRoot("/tmp/device/");
    const std::string mapped = HostPath("\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini");
    SetRoot("");
#if defined(_WIN32)
    EXPECT_EQ(mapped, "/tmp/device\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini");
    EXPECT_EQ(HostPath("\\Hard Disk\\a.ini"), "\\Hard Disk\\a.ini");
#else
    EXPECT_EQ(mapped, "/tmp/device/Hard Disk/Brakk/Zorv/Ini/AppConfig.ini");
    EXPECT_EQ(HostPath("\\Hard Disk\\a.ini"), "/Hard Disk/a.ini");
    EXPECT_EQ(HostPath("rel\\a.ini"), "/rel/a.ini");
#endif
    EXPECT_EQ(HostPath(nullptr), HostPath(""));
}

}  // namespace
}  // namespace marl::platform
