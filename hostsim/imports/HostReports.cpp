// The host's report and identifier-list functions reached through the look-up.
#include <algorithm>

#include "host/ZorvLookup.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/database/HealthReportText.h"
#include "hostsim/Host.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/imports/HostFunctions.h"
#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

ZResult ZORV_STDCALL GenerateHealthReport(ZModuleHandle handle, uint32_t address, wchar_t* text,
                                          int16_t* length) {
    int32_t forced = Enter(names::kGenerateHealthReport, {arg::Num(handle), arg::Num(address),
                                                          arg::Out(text), arg::InOut(length)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (length == nullptr) return kZorvSuccess;
    size_t capacity = *length > 0 ? static_cast<size_t>(*length) : 0;
    // A report text a test chose wins; otherwise the report is written from the module's
    // data points as they stand.
    std::wstring report = TheHost().ui.HealthReport();
    if (report.empty()) {
        auto database = TheHost().DatabaseFor(handle);
        if (database) report = BuildHealthReport(*database, static_cast<uint8_t>(address));
    }
    *length = TheHost().hostile.Count<int16_t>(TheHost().hostile.Text(report, text, capacity), capacity);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetDiscoveryUdis(ZUdi* udis, uint32_t* count) {
    int32_t forced = Enter(names::kGetDiscoveryUdis, {arg::Out(udis), arg::InOut(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count == nullptr) return kZorvSuccess;
    std::vector<ZUdi> list = TheHost().moduleDatabases.DiscoveryUdis();
    if (*count < list.size()) {
        *count = static_cast<uint32_t>(list.size());
        return zorv::kResultListTooSmall;
    }
    if (udis != nullptr) std::copy(list.begin(), list.end(), udis);
    *count = TheHost().hostile.Count<uint32_t>(list.size(), *count);
    return kZorvSuccess;
}

}  // namespace

void AddReportFunctions(HostFunctionList& list) {
    list.push_back({zorv::kLookupGenerateHealthReport,
                    AddressAs<zorv::GenerateHealthReportFn>(&GenerateHealthReport)});
    list.push_back({zorv::kLookupGetDiscoveryUdis, AddressAs<zorv::GetDiscoveryUdisFn>(&GetDiscoveryUdis)});
}

}  // namespace hostsim
