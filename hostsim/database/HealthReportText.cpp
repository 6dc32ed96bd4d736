#include "hostsim/database/HealthReportText.h"

#include <cstdio>

#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

constexpr const char* kVehicleInfoCategory = "HealthReport_VehicleInfo";
constexpr const char* kDataCategory = "HealthReport_Data";
constexpr const wchar_t* kNotReceived = L"(not received)";

bool AppendSection(ParameterDatabase& database, const char* categoryName, const wchar_t* heading,
                   std::wstring& report) {
    bool found = false;
    for (size_t i = 0; i < database.CategoryCount(); ++i) {
        auto category = database.CategoryAt(i);
        if (!category || category->name != categoryName) continue;
        found = true;
        report += heading;
        report += L"\n";
        for (TESKID teskId : category->teskIds) {
            auto dataPoint = database.Find(teskId);
            if (!dataPoint) continue;
            std::wstring label = dataPoint->description.empty() ? Utf8ToWide(dataPoint->name) : dataPoint->description;
            auto value = database.ValueText(teskId);
            report += L"  " + label + L": " + (value && !value->empty() ? *value : std::wstring(kNotReceived)) + L"\n";
        }
    }
    return found;
}

}  // namespace

std::wstring BuildHealthReport(ParameterDatabase& database, uint8_t address) {
    char title[64];
    std::snprintf(title, sizeof(title), "Vehicle health report: ECU at address 0x%02X\n", address);
    std::wstring report = Utf8ToWide(title);
    const bool info = AppendSection(database, kVehicleInfoCategory, L"Vehicle information", report);
    const bool data = AppendSection(database, kDataCategory, L"Health data", report);
    // A database without the report's categories gives nothing to report.
    return info || data ? report : std::wstring();
}

}  // namespace hostsim
