// Text conversions and number texts of the exported helpers.
//
// The tests run in the C runtime's default "C" locale. Its 8-bit range differs between
// the platforms: glibc's accepts only ASCII, the Windows runtime's maps all 256 bytes to
// the first 256 code points. The ANSI code page is Latin-1 here and Windows-1252 under
// Wine; the characters used agree in both.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "VehicleApp/boundary/ExportedStrings.h"

namespace {

using marl::boundary::kWholeString;

constexpr size_t kRoom = 16;
const wchar_t kForeign[] = {L'a', 0x4E2D, L'b', 0};
const wchar_t kForeignThenAccent[] = {L'a', 0x4E2D, L'\u00e9', 0};

#if defined(_WIN32)
constexpr int kLocaleTakesUpperLatin1 = 1;
#else
constexpr int kLocaleTakesUpperLatin1 = 0;
#endif
// A byte the locale refuses keeps its sign-extended 16-bit value in AsciiToMBSRaw.
constexpr wchar_t kRawE9 = kLocaleTakesUpperLatin1 ? static_cast<wchar_t>(0x00E9) : static_cast<wchar_t>(0xFFE9);
const char kBytesWithNul[] = {'A', '\0', 'z', static_cast<char>(0xE9)};

template <uint32_t Limit>
int MbsToAsciiWithLimit(char* out, const wchar_t* text) {
    return MBSToAscii(out, text, Limit);
}

template <uint32_t Limit>
int AsciiToMbsWithLimit(wchar_t* out, const char* text) {
    return AsciiToMBS(out, text, Limit);
}

template <int16_t Length, int16_t Room>
int AsciiToMbsRaw(wchar_t* out, const char* text) {
    return AsciiToMBSRaw(text, Length, out, Room);
}

// Each conversion writes into a buffer of kRoom '#' sentinels; `written` is the buffer's
// start afterwards, sentinels included.
TEST(StringConversionTest, WideTo8Bit) {
    constexpr auto kWhole = MbsToAsciiWithLimit<kWholeString>;
    struct Case {
        const char* label;
        int (*convert)(char*, const wchar_t*);
        const wchar_t* source;
        int result;
        std::string written;
    };
    const Case cases[] = {
        {"whole string", kWhole, L"Engine #1", 1, std::string("Engine #1\0#", 11)},
        {"limit below the length cuts", MbsToAsciiWithLimit<3>, L"abcdef", 1, std::string("abc\0#", 5)},
        {"zero limit", MbsToAsciiWithLimit<0>, L"abcdef", 1, std::string("\0#", 2)},
        // The locale pass overwrites the code-page pass as far as it gets; where it stops,
        // the code-page text remains.
        {"whole accented", kWhole, L"caf\u00e9", kLocaleTakesUpperLatin1, std::string("caf\xe9\0#", 6)},
        {"whole foreign", kWhole, kForeign, 0, std::string("a?b\0#", 5)},
        {"limit foreign", MbsToAsciiWithLimit<10>, kForeign, 0, ""},
        {"null text", kWhole, nullptr, 0, "#"},
        {"Make_ASCII reports the cut conversion", Make_ASCII, L"abc", 0, std::string("abc\0#", 5)},
        {"Make_ASCII empty", Make_ASCII, L"", 1, std::string("\0#", 2)},
        {"Make_ASCII replaces", Make_ASCII, kForeignThenAccent, 0, std::string("a?\xe9\0#", 5)},
        {"Make_ASCII null text", Make_ASCII, nullptr, 0, "#"},
        {"MBSToAsciiEx", MBSToAsciiEx, L"abc", 0, std::string("abc\0#", 5)},
    };
    for (const Case& c : cases) {
        char out[kRoom];
        std::memset(out, '#', sizeof(out));
        EXPECT_EQ(c.convert(out, c.source), c.result) << c.label;
        EXPECT_EQ(std::string(out, c.written.size()), c.written) << c.label;
    }
    EXPECT_EQ(MBSToAscii(nullptr, L"abc", kWholeString), 0) << "a null destination";
    EXPECT_EQ(MBSToAsciiEx(nullptr, L"x"), 0) << "a null destination";
}

TEST(StringConversionTest, EightBitToWide) {
    struct Case {
        const char* label;
        int (*convert)(wchar_t*, const char*);
        const char* source;
        int result;
        std::wstring written;
    };
    const Case cases[] = {
        {"whole string", AsciiToMbsWithLimit<kWholeString>, "Engine #1", 1, std::wstring(L"Engine #1\0#", 11)},
        {"whole accented", AsciiToMbsWithLimit<kWholeString>, "ab\xe9", kLocaleTakesUpperLatin1,
         std::wstring(L"ab\u00e9\0#", 5)},
        {"limit below the length cuts", AsciiToMbsWithLimit<2>, "abcdef", 1, std::wstring(L"ab\0#", 4)},
        {"null text", AsciiToMbsWithLimit<kWholeString>, nullptr, 0, L"#"},
        {"AsciiToMBSEx counts the terminator", AsciiToMBSEx, "J1939", 6, std::wstring(L"J1939\0#", 7)},
        {"AsciiToMBSEx empty writes nothing", AsciiToMBSEx, "", 0, L"#"},
        {"AsciiToMBSEx null text", AsciiToMBSEx, nullptr, 0, L"#"},
        {"raw: a short destination writes nothing", AsciiToMbsRaw<4, 3>, "abcd", 0, L"#"},
        {"raw: empty source", AsciiToMbsRaw<0, 4>, "abcd", 1, L"#"},
        {"raw: negative source length", AsciiToMbsRaw<-2, 4>, "abcd", 1, L"#"},
        {"raw: null source", AsciiToMbsRaw<2, 2>, nullptr, 0, L"#"},
        {"raw: each byte, no terminator", AsciiToMbsRaw<4, 4>, kBytesWithNul, 1,
         std::wstring({L'A', L'\0', L'z', kRawE9, L'#'})},
    };
    for (const Case& c : cases) {
        wchar_t out[kRoom];
        std::fill(out, out + kRoom, L'#');
        EXPECT_EQ(c.convert(out, c.source), c.result) << c.label;
        EXPECT_EQ(std::wstring(out, c.written.size()), c.written) << c.label;
    }
    EXPECT_EQ(AsciiToMBS(nullptr, "abc", kWholeString), 0) << "a null destination";
    EXPECT_EQ(AsciiToMBSEx(nullptr, "abc"), 0) << "a null destination";
    EXPECT_EQ(AsciiToMBSRaw("ab", 2, nullptr, 2), 0) << "a null destination";
}

// Text without a point is a decimal integer that saturates at 32 bits; text with one is
// a floating-point number; anything that does not parse gives zero.
TEST(NumberTextTest, ConvertStrToDouble) {
    const std::pair<const wchar_t*, double> cases[] = {
        {L"12", 12.0},           {L"  -42 kPa", -42.0},   {L"0x1F", 0.0},
        {L"abc", 0.0},           {L"", 0.0},              {L"2147483647", 2147483647.0},
        {L"99999999999", 2147483647.0},                   {L"-99999999999", -2147483648.0},
        {L"1.5", 1.5},           {L" -3.25e1", -32.5},    {L"99999999999.5", 99999999999.5},
        {L"7.25 V", 7.25},       {L".", 0.0},             {L"n/a.", 0.0},
        {nullptr, 0.0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ConvertStrToDouble(text), expected) << (text != nullptr ? text : L"(null)");
    }
}

// One letter anywhere is enough.
TEST(NumberTextTest, IsAlphaString) {
    const std::pair<const wchar_t*, int> cases[] = {{L"123a", 1},     {L"Z99", 1}, {L"123", 0}, {L" -1.5e", 1},
                                                    {L"12 3.5-+", 0}, {L"", 0},    {nullptr, 0}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(IsAlphaString(text), expected) << (text != nullptr ? text : L"(null)");
    }
}

}  // namespace
