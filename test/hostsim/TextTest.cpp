// Text conversions the host uses for logs and traces, with wide texts of either width.
#include <string>

#include "test/hostsim/HostSimFixture.h"

TEST(HostSimText, Utf8RoundTripAcrossThePlanes) {
    const std::wstring text = L"A\u00A7\u20AC\U0001F69A";
    const std::string utf8 = "A\xC2\xA7\xE2\x82\xAC\xF0\x9F\x9A\x9A";
    EXPECT_EQ(hostsim::ToUtf8(text), utf8);
    EXPECT_EQ(hostsim::FromUtf8(utf8), text);
    EXPECT_EQ(hostsim::FormatTrace(L"%s", text.c_str()), utf8);
}

TEST(HostSimText, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(hostsim::FromUtf8("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(hostsim::FromUtf8("\xE2\x82"), L"\uFFFD\uFFFD") << "a cut sequence reads no further";
    std::wstring loneSurrogate;
    if (sizeof(wchar_t) == 2) {
        loneSurrogate = std::wstring(1, static_cast<wchar_t>(0xD800));
    } else {
        loneSurrogate = std::wstring(1, static_cast<wchar_t>(0x110000));
    }
    EXPECT_EQ(hostsim::ToUtf8(loneSurrogate), "\xEF\xBF\xBD");
}

TEST_F(HostSimTest, FailuresReportEmptyListsWhereCallersMayNotTest) {
    TESKID teskIds[4] = {};
    uint32_t count = 4;
    const ZUdi vin = 7;
    hostsim::SetResult("Zorv_GetTeskIdsFromUdiList", 5);
    EXPECT_EQ(Zorv_GetTeskIdsFromUdiList(1, &vin, 1, teskIds, &count), 5);
    EXPECT_EQ(count, 0u);

    uint8_t value[8] = {};
    uint16_t length = sizeof(value);
    EXPECT_EQ(Zorv_GetDPValue(1, 404, value, &length), hostsim::kResultNotFound);
    EXPECT_EQ(length, 0);
}
