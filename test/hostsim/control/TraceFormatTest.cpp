// Trace formats keep their Windows meaning on every platform (%s wide, %S 8-bit); only the
// conversions the plug-in's traces use are formatted, anything else is written as it stands.
#include <string>

#include "test/hostsim/HostSimFixture.h"

using hostsim::FormatTrace;

TEST(TraceFormat, ConversionsOfThePluginsTraces) {
    struct Case {
        const char* what;
        std::string formatted;
        std::string expected;
    };
    const Case cases[] = {
        {"wide %s, 8-bit %S", FormatTrace(L"%S - %s ::", "VehicleApp/CVehicleApp", L"Finish"),
         "VehicleApp/CVehicleApp - Finish ::"},
        {"null texts", FormatTrace(L"%s/%S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
         "(null)/(null)"},
        {"texts outside ASCII", FormatTrace(L"\u00A7%S%s", "\xA7", L"\u20AC"), "\xC2\xA7\xC2\xA7\xE2\x82\xAC"},
        {"%d", FormatTrace(L"%d|%d|%d", 0, -7, 2147483647), "0|-7|2147483647"},
        {"most negative %d", FormatTrace(L"%d", -2147483647 - 1), "-2147483648"},
        {"%X with zero padding", FormatTrace(L"%02X|%02X|%06X|%X", 5, 0xAB, 0xFECA, 0xFFFFFFFFu),
         "05|AB|00FECA|FFFFFFFF"},
        {"width wider than the number", FormatTrace(L"[%4d|%03d]", 42, -4), "[  42|-04]"},
        {"percent signs", FormatTrace(L"100%% %%s %d", 3), "100% %s 3"},
        {"other conversions stay as written", FormatTrace(L"%x %ls %5s %d", 11), "%x %ls %5s 11"},
        {"a format ending in %", FormatTrace(L"ends %02"), "ends %02"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.formatted, c.expected) << c.what;
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
    EXPECT_EQ(lines[0].text, "CVehicleApp::RegisterModule (Line 1208) :: Ecu Address - 11 (0x0B) Received Make:DTNA");
    EXPECT_EQ(lines[1].code, 20);
    EXPECT_EQ(lines[1].text, "Get (Line 24) ParseJ1939Msg == NULL");

    hostsim::ClearTraces();
    EXPECT_TRUE(hostsim::Traces().empty());
}
