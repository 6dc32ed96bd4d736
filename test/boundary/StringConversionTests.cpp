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
const wchar_t kForeign[] = {L'a', kCjkChar, L'b', 0};
const wchar_t kForeignThenAccent[] = {L'a', kCjkChar, L'\u00e9', 0};

#if defined(_WIN32)
constexpr int kLocaleTakesUpperLatin1 = 1;
#else
constexpr int kLocaleTakesUpperLatin1 = 0;
#endif

struct NarrowBuffer {
    NarrowBuffer() { std::memset(bytes, kSentinel, sizeof(bytes)); }
    std::string Start(size_t n) const { return std::string(bytes, n); }
    char bytes[kRoom];
};

struct WideBuffer {
    WideBuffer() {
        for (wchar_t& unit : units) {
            unit = kWideSentinel;
        }
    }
    std::wstring Start(size_t n) const { return std::wstring(units, n); }
    wchar_t units[kRoom];
};

// Wide to 8-bit: MBSToAscii with a limit, and its fixed-limit forms.
struct ToNarrowCase {
    const char* label;
    int (*convert)(char*, const wchar_t*);
    const wchar_t* source;
    int result;
    std::string written;  // the buffer's start afterwards, sentinels included
};

template <uint32_t Limit>
int MbsToAsciiWithLimit(char* out, const wchar_t* text) {
    return MBSToAscii(out, text, Limit);
}
constexpr auto kWhole = MbsToAsciiWithLimit<kWholeString>;
constexpr auto kLimit10 = MbsToAsciiWithLimit<10>;
constexpr auto kLimit3 = MbsToAsciiWithLimit<3>;
constexpr auto kLimit0 = MbsToAsciiWithLimit<0>;

class ToNarrowTest : public ::testing::TestWithParam<ToNarrowCase> {};

TEST_P(ToNarrowTest, WritesAndAnswers) {
    NarrowBuffer out;
    EXPECT_EQ(GetParam().convert(out.bytes, GetParam().source), GetParam().result);
    EXPECT_EQ(out.Start(GetParam().written.size()), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToNarrowTest,
    ::testing::Values(
        ToNarrowCase{"WholeString", kWhole, L"Engine #1", 1, std::string("Engine #1\0#", 11)},
        ToNarrowCase{"LimitAboveLength", kLimit10, L"abc", 1, std::string("abc\0#", 5)},
        ToNarrowCase{"LimitBelowLengthCuts", kLimit3, L"abcdef", 1, std::string("abc\0#", 5)},
        ToNarrowCase{"ZeroLimit", kLimit0, L"abcdef", 1, std::string("\0#", 2)},
        // The locale pass overwrites the code-page pass as far as it gets; where it stops,
        // the code-page text remains.
        ToNarrowCase{"WholeAccented", kWhole, L"caf\u00e9", kLocaleTakesUpperLatin1, std::string("caf\xe9\0#", 6)},
        ToNarrowCase{"WholeForeign", kWhole, kForeign, 0, std::string("a?b\0#", 5)},
        ToNarrowCase{"LimitForeign", kLimit10, kForeign, 0, ""},
        ToNarrowCase{"NullText", kWhole, nullptr, 0, "#"},
        ToNarrowCase{"MakeAsciiReportsTheCutConversion", Make_ASCII, L"abc", 0, std::string("abc\0#", 5)},
        ToNarrowCase{"MakeAsciiEmpty", Make_ASCII, L"", 1, std::string("\0#", 2)},
        ToNarrowCase{"MakeAsciiReplaces", Make_ASCII, kForeignThenAccent, 0, std::string("a?\xe9\0#", 5)},
        ToNarrowCase{"MakeAsciiNullText", Make_ASCII, nullptr, 0, "#"},
        ToNarrowCase{"SecondExportName", MBSToAsciiEx, L"abc", 0, std::string("abc\0#", 5)},
        ToNarrowCase{"SecondExportNameEmpty", MBSToAsciiEx, L"", 1, std::string("\0#", 2)}),
    [](const auto& tested) { return std::string(tested.param.label); });

TEST(ToNarrowTest, NullDestinationGivesZero) {
    EXPECT_EQ(MBSToAscii(nullptr, L"abc", kWholeString), 0);
    EXPECT_EQ(MBSToAsciiEx(nullptr, L"x"), 0);
}

// 8-bit to wide: AsciiToMBS with a limit, AsciiToMBSEx, AsciiToMBSRaw.
struct ToWideCase {
    const char* label;
    int (*convert)(wchar_t*, const char*);
    const char* source;
    int result;
    std::wstring written;
};

template <uint32_t Limit>
int AsciiToMbsWithLimit(wchar_t* out, const char* text) {
    return AsciiToMBS(out, text, Limit);
}

template <int16_t Length, int16_t Room>
int AsciiToMbsRaw(wchar_t* out, const char* text) {
    return AsciiToMBSRaw(text, Length, out, Room);
}

class ToWideTest : public ::testing::TestWithParam<ToWideCase> {};

TEST_P(ToWideTest, WritesAndAnswers) {
    WideBuffer out;
    EXPECT_EQ(GetParam().convert(out.units, GetParam().source), GetParam().result);
    EXPECT_EQ(out.Start(GetParam().written.size()), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToWideTest,
    ::testing::Values(
        ToWideCase{"WholeString", AsciiToMbsWithLimit<kWholeString>, "Engine #1", 1, std::wstring(L"Engine #1\0#", 11)},
        ToWideCase{"WholeAccented", AsciiToMbsWithLimit<kWholeString>, "ab\xe9", kLocaleTakesUpperLatin1,
                   std::wstring(L"ab\u00e9\0#", 5)},
        ToWideCase{"LimitBelowLengthCuts", AsciiToMbsWithLimit<2>, "abcdef", 1, std::wstring(L"ab\0#", 4)},
        ToWideCase{"NullText", AsciiToMbsWithLimit<kWholeString>, nullptr, 0, L"#"},
        ToWideCase{"ExCountsTheTerminator", AsciiToMBSEx, "J1939", 6, std::wstring(L"J1939\0#", 7)},
        ToWideCase{"ExEmptyWritesNothing", AsciiToMBSEx, "", 0, L"#"},
        ToWideCase{"ExNullText", AsciiToMBSEx, nullptr, 0, L"#"},
        ToWideCase{"RawShortDestinationWritesNothing", AsciiToMbsRaw<4, 3>, "abcd", 0, L"#"},
        ToWideCase{"RawEmptySource", AsciiToMbsRaw<0, 4>, "abcd", 1, L"#"},
        ToWideCase{"RawNegativeSource", AsciiToMbsRaw<-2, 4>, "abcd", 1, L"#"},
        ToWideCase{"RawNullSource", AsciiToMbsRaw<2, 2>, nullptr, 0, L"#"}),
    [](const auto& tested) { return std::string(tested.param.label); });

TEST(ToWideTest, NullDestinationGivesZero) {
    EXPECT_EQ(AsciiToMBS(nullptr, "abc", kWholeString), 0);
    EXPECT_EQ(AsciiToMBSEx(nullptr, "abc"), 0);
    EXPECT_EQ(AsciiToMBSRaw("ab", 2, nullptr, 2), 0);
}

TEST(ToWideTest, RawConvertsEachByteAndWritesNoTerminator) {
    const char source[] = {'A', '\0', 'z', static_cast<char>(0xE9)};
    WideBuffer out;
    ASSERT_EQ(AsciiToMBSRaw(source, 4, out.units, 4), 1);
    // A byte the locale refuses keeps its sign-extended 16-bit value.
    const wchar_t accent = kLocaleTakesUpperLatin1 ? static_cast<wchar_t>(0x00E9) : static_cast<wchar_t>(0xFFE9);
    EXPECT_EQ(out.Start(5), std::wstring({L'A', L'\0', L'z', accent, kWideSentinel}));
}

}  // namespace
