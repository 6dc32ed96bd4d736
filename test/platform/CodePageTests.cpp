// The characters used here mean the same in Latin-1 and in Windows-1252, the ANSI code
// page Wine and a western Windows run with.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace marl::platform {
namespace {

constexpr char kSentinel = '#';
constexpr wchar_t kWideSentinel = L'#';
constexpr wchar_t kCjkChar = 0x4E2D;

TEST(WideToAnsiTest, ConvertsWithTheTerminatorWhenLengthIsMinusOne) {
    char out[8];
    std::memset(out, kSentinel, sizeof(out));
    bool usedDefault = true;
    EXPECT_EQ(WideToAnsi(L"ab\u00e9", -1, out, sizeof(out), &usedDefault), 4);
    EXPECT_STREQ(out, "ab\xe9");
    EXPECT_FALSE(usedDefault);
}

TEST(WideToAnsiTest, ExplicitLengthWritesNoTerminator) {
    char out[8];
    std::memset(out, kSentinel, sizeof(out));
    EXPECT_EQ(WideToAnsi(L"abcdef", 3, out, sizeof(out), nullptr), 3);
    EXPECT_EQ(std::string(out, 4), "abc#");
}

TEST(WideToAnsiTest, ZeroCapacityAsksForTheSize) {
    EXPECT_EQ(WideToAnsi(L"abc", -1, nullptr, 0, nullptr), 4);
    EXPECT_EQ(WideToAnsi(L"abc", 2, nullptr, 0, nullptr), 2);
    EXPECT_EQ(WideToAnsi(L"", -1, nullptr, 0, nullptr), 1);
}

TEST(WideToAnsiTest, TooSmallDestinationFailsWithoutOverrun) {
    char out[4];
    std::memset(out, kSentinel, sizeof(out));
    EXPECT_EQ(WideToAnsi(L"abc", -1, out, 2, nullptr), 0);
    EXPECT_EQ(out[2], kSentinel);
}

TEST(WideToAnsiTest, UnconvertibleCharacterBecomesTheDefault) {
    const wchar_t text[] = {L'a', kCjkChar, L'b', 0};
    char out[8];
    bool usedDefault = false;
    EXPECT_EQ(WideToAnsi(text, -1, out, sizeof(out), &usedDefault), 4);
    EXPECT_STREQ(out, "a?b");
    EXPECT_TRUE(usedDefault);
}

TEST(WideToAnsiTest, RejectsInvalidArguments) {
    char out[4];
    EXPECT_EQ(WideToAnsi(nullptr, -1, out, sizeof(out), nullptr), 0);
    EXPECT_EQ(WideToAnsi(L"abc", 0, out, sizeof(out), nullptr), 0);
}

TEST(AnsiToWideTest, ConvertsWithTheTerminatorWhenLengthIsMinusOne) {
    wchar_t out[8];
    EXPECT_EQ(AnsiToWide("ab\xe9", -1, out, 8), 4);
    EXPECT_EQ(std::wstring(out), std::wstring(L"ab\u00e9"));
}

TEST(AnsiToWideTest, ZeroCapacityAsksForTheSize) {
    EXPECT_EQ(AnsiToWide("abcd", -1, nullptr, 0), 5);
    EXPECT_EQ(AnsiToWide("abcd", 3, nullptr, 0), 3);
}

TEST(AnsiToWideTest, TooSmallDestinationFailsWithoutOverrun) {
    wchar_t out[4] = {kWideSentinel, kWideSentinel, kWideSentinel, kWideSentinel};
    EXPECT_EQ(AnsiToWide("abc", -1, out, 3), 0);
    EXPECT_EQ(out[3], kWideSentinel);
    wchar_t exact[3];
    EXPECT_EQ(AnsiToWide("abc", 3, exact, 3), 3);
    EXPECT_EQ(std::wstring(exact, 3), L"abc");
}

TEST(AnsiToWideTest, RejectsInvalidArguments) {
    wchar_t out[4];
    EXPECT_EQ(AnsiToWide(nullptr, -1, out, 4), 0);
    EXPECT_EQ(AnsiToWide("abc", 0, out, 4), 0);
}

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
