// Trace formats keep their Windows meaning on every platform: %s is wide, %S is 8-bit.
#include <string>

#include "test/hostsim/HostSimFixture.h"

using hostsim::FormatTrace;

TEST(TraceFormat, WideAndNarrowTextsFollowWindowsMeaning) {
    EXPECT_EQ(FormatTrace(L"%s ClaimBusAddress == NULL", L"CVehicleApp::Send (Line 227)"),
              "CVehicleApp::Send (Line 227) ClaimBusAddress == NULL");
    EXPECT_EQ(FormatTrace(L"%S - %s ::", "VehicleApp/CVehicleApp", L"Finish"), "VehicleApp/CVehicleApp - Finish ::");
    EXPECT_EQ(FormatTrace(L"[%ls|%hs|%ws]", L"wide", "narrow", L"w"), "[wide|narrow|w]");
    EXPECT_EQ(FormatTrace(L"%s/%S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
              "(null)/(null)");
}

TEST(TraceFormat, TextsOutsideAsciiSurviveAsUtf8) {
    // A "§" in the wide format, and the Latin-1 byte of "§" in an 8-bit argument.
    EXPECT_EQ(FormatTrace(L"%d\u00A7%S", 201, "\xA7x"), "201\xC2\xA7\xC2\xA7x");
    EXPECT_EQ(FormatTrace(L"%s", L"\u00E9\u20AC"), "\xC3\xA9\xE2\x82\xAC");
}

TEST(TraceFormat, IntegersWithFlagsWidthAndPrecision) {
    EXPECT_EQ(FormatTrace(L"%d (0x%02X)", 5, 5), "5 (0x05)");
    EXPECT_EQ(FormatTrace(L"%02X|%02x|%X", 0xAB, 0xAB, 0xFFEE), "AB|ab|FFEE");
    EXPECT_EQ(FormatTrace(L"%d %i %u", -7, 42, 4000000000u), "-7 42 4000000000");
    EXPECT_EQ(FormatTrace(L"PGN:%06X", 0xFECA), "PGN:00FECA");
    EXPECT_EQ(FormatTrace(L"[%5d|%-5d|%+d|%05d]", 42, 42, 42, -42), "[   42|42   |+42|-0042]");
    EXPECT_EQ(FormatTrace(L"[%*d|%-*d|%.3d]", 4, 7, 3, 7, 7), "[   7|7  |007]");
    EXPECT_EQ(FormatTrace(L"%ld|%lu|%lld", 123456L, 4000000000UL, -5000000000LL), "123456|4000000000|-5000000000");
    EXPECT_EQ(FormatTrace(L"%hd|%hu|%hhu", 70000, 70000, 300), "4464|4464|44");
    EXPECT_EQ(FormatTrace(L"%I64d|%I64X", static_cast<long long>(-1), static_cast<unsigned long long>(0x1F00000000ULL)),
              "-1|1F00000000");
    EXPECT_EQ(FormatTrace(L"%o|%#x", 8, 255), "10|0xff");
}

TEST(TraceFormat, TextWidthPrecisionAndCharacters) {
    EXPECT_EQ(FormatTrace(L"[%6s|%-6S|%.2s]", L"ab", "cd", L"xyz"), "[    ab|cd    |xy]");
    EXPECT_EQ(FormatTrace(L"[%c%C%3c]", L'w', 'n', L'z'), "[wn  z]");
    EXPECT_EQ(FormatTrace(L"%.1f|%6.2f|%g", 2.375, 3.14159, 0.5), "2.4|  3.14|0.5");
}

TEST(TraceFormat, PercentSignsAndMalformedConversions) {
    EXPECT_EQ(FormatTrace(L"100%% done"), "100% done");
    EXPECT_EQ(FormatTrace(L"%%s %d", 3), "%s 3");
    EXPECT_EQ(FormatTrace(L"odd %y then %d", 4), "odd %y then 4");
    EXPECT_EQ(FormatTrace(L"ends with %"), "ends with %");
    EXPECT_EQ(FormatTrace(L"ends with %-0"), "ends with %-0");
    int untouched = 17;
    EXPECT_EQ(FormatTrace(L"a%nb%d", &untouched, 9), "ab9");
    EXPECT_EQ(untouched, 17);
}

TEST_F(HostSimTest, TraceOutputKeepsFormattedLines) {
    auto open = Lookup<zorv::OpenTraceSourceFn>(zorv::kLookupOpenTraceSource);
    auto trace = Lookup<zorv::TraceOutputFn>(zorv::kLookupTraceOutput);
    ASSERT_NE(open, nullptr);
    ASSERT_NE(trace, nullptr);
    ZTraceId id = 0xFFFF;
    ASSERT_EQ(open(zorv::kTraceClassVehicleApp, zorv::kModuleIdMarlJ1939, 0, 0, &id), 0);

    trace(id, zorv::kTraceLevelProgress, 0, L"%s :: Ecu Address - %d (0x%02X) Received Make:%S",
          L"CVehicleApp::RegisterModule (Line 1208)", 11, 11, "DTNA");
    trace(id, zorv::kTraceLevelFailure, 20, L"%s ParseJ1939Msg == NULL", L"Get (Line 24)");

    auto lines = hostsim::Traces();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].traceId, id);
    EXPECT_EQ(lines[0].level, zorv::kTraceLevelProgress);
    EXPECT_EQ(lines[0].code, 0);
    EXPECT_EQ(lines[0].text, "CVehicleApp::RegisterModule (Line 1208) :: Ecu Address - 11 (0x0B) Received Make:DTNA");
    EXPECT_EQ(lines[1].level, zorv::kTraceLevelFailure);
    EXPECT_EQ(lines[1].code, 20);
    EXPECT_EQ(lines[1].text, "Get (Line 24) ParseJ1939Msg == NULL");

    hostsim::ClearTraces();
    EXPECT_TRUE(hostsim::Traces().empty());
}
