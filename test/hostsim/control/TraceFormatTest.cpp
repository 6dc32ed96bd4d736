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
        {"%d", FormatTrace(L"%d|%d|%d|%d", 0, -7, 2147483647, -2147483647 - 1), "0|-7|2147483647|-2147483648"},
        {"%X with zero padding", FormatTrace(L"%02X|%02X|%06X|%X", 5, 0xAB, 0xFECA, 0xFFFFFFFFu),
         "05|AB|00FECA|FFFFFFFF"},
        {"width wider than the number", FormatTrace(L"[%4d|%03d]", 42, -4), "[  42|-04]"},
        {"percent signs", FormatTrace(L"100%% %%s %d", 3), "100% %s 3"},
        {"other conversions stay as written", FormatTrace(L"%x %ls %5s %d", 11), "%x %ls %5s 11"},
        {"a format ending in %", FormatTrace(L"ends %02"), "ends %02"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.formatted, c.expected) << c.what;
}
