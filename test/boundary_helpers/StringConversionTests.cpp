// The tests run in the C runtime's default "C" locale. Its 8-bit range differs between
// the platforms: glibc's accepts only ASCII, the Windows runtime's maps all 256 bytes to
// the first 256 code points. The ANSI code page is Latin-1 here and Windows-1252 under
// Wine; the characters used agree in both.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "VehicleApp/boundary/ExportedStrings.h"

namespace {

using marl::boundary::kWholeString;

constexpr char kSentinel = '#';
constexpr wchar_t kWideSentinel = L'#';
constexpr wchar_t kCjkChar = 0x4E2D;
constexpr size_t kRoom = 16;

#if defined(_WIN32)
constexpr bool kLocaleTakesUpperLatin1 = true;
#else
constexpr bool kLocaleTakesUpperLatin1 = false;
#endif

struct NarrowBuffer {
    NarrowBuffer() { std::memset(bytes, kSentinel, sizeof(bytes)); }
    char bytes[kRoom];
};

struct WideBuffer {
    WideBuffer() {
        for (wchar_t& unit : units) {
            unit = kWideSentinel;
        }
    }
    wchar_t units[kRoom];
};

TEST(MBSToAsciiTest, WholeStringRoundTripsThroughAsciiToMBS) {
    const wchar_t* text = L"Engine #1 (SA 00)";
    char narrow[32];
    ASSERT_EQ(MBSToAscii(narrow, text, kWholeString), 1);
    EXPECT_STREQ(narrow, "Engine #1 (SA 00)");
    wchar_t wide[32];
    ASSERT_EQ(AsciiToMBS(wide, narrow, kWholeString), 1);
    EXPECT_EQ(std::wstring(wide), std::wstring(text));
}

TEST(MBSToAsciiTest, LimitAboveTheLengthWritesTextAndTerminatorOnly) {
    NarrowBuffer out;
    EXPECT_EQ(MBSToAscii(out.bytes, L"abc", 10), 1);
    EXPECT_EQ(std::string(out.bytes, 5), std::string("abc\0#", 5));
}

TEST(MBSToAsciiTest, LimitBelowTheLengthCutsAndTerminates) {
    NarrowBuffer out;
    EXPECT_EQ(MBSToAscii(out.bytes, L"abcdef", 3), 1);
    EXPECT_EQ(std::string(out.bytes, 5), std::string("abc\0#", 5));
    NarrowBuffer empty;
    EXPECT_EQ(MBSToAscii(empty.bytes, L"abcdef", 0), 1);
    EXPECT_EQ(std::string(empty.bytes, 2), std::string("\0#", 2));
}

// The locale pass overwrites the code-page pass as far as it gets; where it stops, the
// code-page text remains.
TEST(MBSToAsciiTest, WholeStringKeepsTheCodePageTextWhereTheLocaleFails) {
    NarrowBuffer accented;
    EXPECT_EQ(MBSToAscii(accented.bytes, L"caf\u00e9", kWholeString), kLocaleTakesUpperLatin1 ? 1 : 0);
    EXPECT_EQ(std::string(accented.bytes, 6), std::string("caf\xe9\0#", 6));

    const wchar_t foreign[] = {L'a', kCjkChar, L'b', 0};
    NarrowBuffer out;
    EXPECT_EQ(MBSToAscii(out.bytes, foreign, kWholeString), 0);
    EXPECT_EQ(std::string(out.bytes, 5), std::string("a?b\0#", 5));
}

TEST(MBSToAsciiTest, UnrepresentableCharacterFailsWithALimit) {
    const wchar_t foreign[] = {L'a', kCjkChar, 0};
    NarrowBuffer out;
    EXPECT_EQ(MBSToAscii(out.bytes, foreign, 10), 0);
}

TEST(MBSToAsciiTest, NullPointersGiveZero) {
    NarrowBuffer out;
    EXPECT_EQ(MBSToAscii(nullptr, L"abc", kWholeString), 0);
    EXPECT_EQ(MBSToAscii(out.bytes, nullptr, kWholeString), 0);
    EXPECT_EQ(out.bytes[0], kSentinel);
}

TEST(MakeAsciiTest, FillsTheTextAndTerminatesButReportsTheCutConversion) {
    NarrowBuffer out;
    EXPECT_EQ(Make_ASCII(out.bytes, L"abc"), 0);
    EXPECT_EQ(std::string(out.bytes, 5), std::string("abc\0#", 5));

    NarrowBuffer empty;
    EXPECT_EQ(Make_ASCII(empty.bytes, L""), 1);
    EXPECT_EQ(std::string(empty.bytes, 2), std::string("\0#", 2));
}

TEST(MakeAsciiTest, ReplacesUnconvertibleCharacters) {
    const wchar_t foreign[] = {L'a', kCjkChar, L'\u00e9', 0};
    NarrowBuffer out;
    Make_ASCII(out.bytes, foreign);
    EXPECT_EQ(std::string(out.bytes, 5), std::string("a?\xe9\0#", 5));
}

TEST(MakeAsciiTest, SecondExportNameBehavesTheSame) {
    NarrowBuffer viaMake;
    NarrowBuffer viaEx;
    const int makeResult = Make_ASCII(viaMake.bytes, L"Brakes");
    EXPECT_EQ(MBSToAsciiEx(viaEx.bytes, L"Brakes"), makeResult);
    EXPECT_EQ(std::string(viaEx.bytes, kRoom), std::string(viaMake.bytes, kRoom));
    EXPECT_EQ(MBSToAsciiEx(viaEx.bytes, L""), 1);
    EXPECT_EQ(MBSToAsciiEx(nullptr, L"x"), 0);
    EXPECT_EQ(Make_ASCII(viaEx.bytes, nullptr), 0);
}

TEST(AsciiToMBSTest, WholeStringKeepsTheCodePageTextWhereTheLocaleFails) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBS(out.units, "ab\xe9", kWholeString), kLocaleTakesUpperLatin1 ? 1 : 0);
    EXPECT_EQ(std::wstring(out.units, 5), std::wstring(L"ab\u00e9\0#", 5));
}

TEST(AsciiToMBSTest, LimitBelowTheLengthCutsAndTerminates) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBS(out.units, "abcdef", 2), 1);
    EXPECT_EQ(std::wstring(out.units, 4), std::wstring(L"ab\0#", 4));
}

TEST(AsciiToMBSTest, NullPointersGiveZero) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBS(nullptr, "abc", kWholeString), 0);
    EXPECT_EQ(AsciiToMBS(out.units, nullptr, kWholeString), 0);
    EXPECT_EQ(out.units[0], kWideSentinel);
}

TEST(AsciiToMBSExTest, ConvertsWithTheTerminatorAndCountsIt) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBSEx(out.units, "J1939"), 6);
    EXPECT_EQ(std::wstring(out.units, 7), std::wstring(L"J1939\0#", 7));
}

TEST(AsciiToMBSExTest, EmptyTextWritesNothing) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBSEx(out.units, ""), 0);
    EXPECT_EQ(out.units[0], kWideSentinel);
    EXPECT_EQ(AsciiToMBSEx(nullptr, "abc"), 0);
    EXPECT_EQ(AsciiToMBSEx(out.units, nullptr), 0);
}

TEST(AsciiToMBSRawTest, ShortDestinationWritesNothing) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBSRaw("abcd", 4, out.units, 3), 0);
    EXPECT_EQ(out.units[0], kWideSentinel);
}

TEST(AsciiToMBSRawTest, EmptyOrNegativeSourceSucceedsWithoutWriting) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBSRaw("abcd", 0, out.units, 4), 1);
    EXPECT_EQ(AsciiToMBSRaw("abcd", -2, out.units, 4), 1);
    EXPECT_EQ(out.units[0], kWideSentinel);
}

TEST(AsciiToMBSRawTest, ConvertsEachByteAndWritesNoTerminator) {
    const char source[] = {'A', '\0', 'z', static_cast<char>(0xE9)};
    WideBuffer out;
    ASSERT_EQ(AsciiToMBSRaw(source, 4, out.units, 4), 1);
    EXPECT_EQ(out.units[0], L'A');
    EXPECT_EQ(out.units[1], L'\0');
    EXPECT_EQ(out.units[2], L'z');
    // A byte the locale refuses keeps its sign-extended 16-bit value.
    const wchar_t expected = kLocaleTakesUpperLatin1 ? static_cast<wchar_t>(0x00E9)
                                                     : static_cast<wchar_t>(0xFFE9);
    EXPECT_EQ(static_cast<uint32_t>(out.units[3]), static_cast<uint32_t>(expected));
    EXPECT_EQ(out.units[4], kWideSentinel);
}

TEST(AsciiToMBSRawTest, NullPointersGiveZero) {
    WideBuffer out;
    EXPECT_EQ(AsciiToMBSRaw(nullptr, 2, out.units, 2), 0);
    EXPECT_EQ(AsciiToMBSRaw("ab", 2, nullptr, 2), 0);
}

}  // namespace
