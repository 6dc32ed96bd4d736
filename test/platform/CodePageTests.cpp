// The characters used here mean the same in Latin-1 and in Windows-1252, the ANSI code
// page Wine and a western Windows run with.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace marl::platform {
namespace {

constexpr char kSentinel = '#';
constexpr wchar_t kWideSentinel = L'#';
constexpr wchar_t kCjkChar = 0x4E2D;
constexpr int kRoom = 8;
const wchar_t kForeign[] = {L'a', kCjkChar, L'b', 0};

struct ToAnsiCase {
    const char* label;
    const wchar_t* source;
    int sourceLength;
    int capacity;  // 0 asks for the size; the buffer is always kRoom long
    int result;
    std::string written;  // the buffer's start afterwards, sentinels included
    bool usedDefault;
};

class WideToAnsiTest : public ::testing::TestWithParam<ToAnsiCase> {};

TEST_P(WideToAnsiTest, ConvertsAsWideCharToMultiByte) {
    const ToAnsiCase& c = GetParam();
    char out[kRoom];
    std::memset(out, kSentinel, sizeof(out));
    bool usedDefault = !c.usedDefault;
    EXPECT_EQ(WideToAnsi(c.source, c.sourceLength, c.capacity == 0 ? nullptr : out, c.capacity, &usedDefault),
              c.result);
    EXPECT_EQ(std::string(out, c.written.size()), c.written);
    if (c.result != 0 && c.capacity != 0) {
        EXPECT_EQ(usedDefault, c.usedDefault);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideToAnsiTest,
    ::testing::Values(
        ToAnsiCase{"WholeWithTerminator", L"ab\u00e9", -1, kRoom, 4, std::string("ab\xe9\0#", 5), false},
        ToAnsiCase{"LengthWritesNoTerminator", L"abcdef", 3, kRoom, 3, "abc#", false},
        ToAnsiCase{"SizeWithTerminator", L"abc", -1, 0, 4, "####", false},
        ToAnsiCase{"SizeOfAPart", L"abc", 2, 0, 2, "", false},
        ToAnsiCase{"SizeOfEmpty", L"", -1, 0, 1, "", false},
        ToAnsiCase{"TooSmallFailsWithoutOverrun", L"abc", -1, 2, 0, "ab#", false},
        ToAnsiCase{"UnconvertibleBecomesDefault", kForeign, -1, kRoom, 4, std::string("a?b\0", 4), true},
        ToAnsiCase{"NullSource", nullptr, -1, kRoom, 0, "#", false},
        ToAnsiCase{"ZeroLength", L"abc", 0, kRoom, 0, "#", false}),
    [](const auto& tested) { return std::string(tested.param.label); });

struct ToWideCase {
    const char* label;
    const char* source;
    int sourceLength;
    int capacity;
    int result;
    std::wstring written;
};

class AnsiToWideTest : public ::testing::TestWithParam<ToWideCase> {};

TEST_P(AnsiToWideTest, ConvertsAsMultiByteToWideChar) {
    const ToWideCase& c = GetParam();
    wchar_t out[kRoom];
    for (wchar_t& unit : out) {
        unit = kWideSentinel;
    }
    EXPECT_EQ(AnsiToWide(c.source, c.sourceLength, c.capacity == 0 ? nullptr : out, c.capacity), c.result);
    EXPECT_EQ(std::wstring(out, c.written.size()), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnsiToWideTest,
    ::testing::Values(ToWideCase{"WholeWithTerminator", "ab\xe9", -1, kRoom, 4, std::wstring(L"ab\u00e9\0#", 5)},
                      ToWideCase{"SizeWithTerminator", "abcd", -1, 0, 5, L"#"},
                      ToWideCase{"SizeOfAPart", "abcd", 3, 0, 3, L""},
                      ToWideCase{"TooSmallFailsWithoutOverrun", "abc", -1, 3, 0, L"abc#"},
                      ToWideCase{"ExactFit", "abc", 3, 3, 3, L"abc#"},
                      ToWideCase{"NullSource", nullptr, -1, kRoom, 0, L"#"},
                      ToWideCase{"ZeroLength", "abc", 0, kRoom, 0, L"#"}),
    [](const auto& tested) { return std::string(tested.param.label); });

TEST(CodePageTest, EveryUpperLatin1CharacterRoundTrips) {
    constexpr int kFirst = 0xA0;
    constexpr int kCount = 0x100 - kFirst;
    wchar_t wide[kCount];
    for (int i = 0; i < kCount; ++i) {
        wide[i] = static_cast<wchar_t>(kFirst + i);
    }
    char narrow[kCount];
    ASSERT_EQ(WideToAnsi(wide, kCount, narrow, kCount, nullptr), kCount);
    wchar_t back[kCount];
    ASSERT_EQ(AnsiToWide(narrow, kCount, back, kCount), kCount);
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(narrow[i]), kFirst + i);
        EXPECT_EQ(back[i], wide[i]);
    }
}

}  // namespace
}  // namespace marl::platform
