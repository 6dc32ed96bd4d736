#include "hostsim/database/FaultTexts.h"

#include <algorithm>

#include "hostsim/TextConvert.h"
#include "hostsim/database/FmiText.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr const char* kIdTypeSpn = "SPN";
constexpr const char* kSpnPrefix = "SPN ";
// An occurrence count of all ones: the ECU does not count occurrences.
constexpr const char* kCountNotAvailable = "N/A";

}  // namespace

std::wstring SpnDescription(FaultDatabase& faults, ParameterDatabase& module, uint32_t spn) {
    auto text = faults.SpnText(spn);
    if (text && !text->description.empty()) return Utf8ToWide(text->description);
    for (size_t i = 0, count = module.DataPointCount(); i < count; ++i) {
        auto dataPoint = module.DataPointAt(i);
        if (dataPoint && dataPoint->layout.spn == spn && !dataPoint->description.empty()) {
            return dataPoint->description;
        }
    }
    return Utf8ToWide(kSpnPrefix + std::to_string(spn));
}

std::vector<TESKID> TeskIdsOfSpns(ParameterDatabase& module, const std::vector<uint32_t>& spns) {
    std::vector<DataPointDefinition> dataPoints;
    for (size_t i = 0, count = module.DataPointCount(); i < count; ++i) {
        if (auto dataPoint = module.DataPointAt(i)) dataPoints.push_back(std::move(*dataPoint));
    }
    std::vector<TESKID> teskIds;
    for (uint32_t spn : spns) {
        for (const DataPointDefinition& dataPoint : dataPoints) {
            if (dataPoint.layout.spn != spn || spn == 0) continue;
            if (std::find(teskIds.begin(), teskIds.end(), dataPoint.teskId) == teskIds.end()) {
                teskIds.push_back(dataPoint.teskId);
            }
        }
    }
    return teskIds;
}

std::optional<ScaledText> ScaleFaultAttribute(const std::string& key, const Dtc& dtc, const FaultGroupDefinition& group,
                                              FaultDatabase& faults) {
    using namespace faultkeys;
    if (key == kIdType) return ScaledText{true, kIdTypeSpn};
    if (key == kId) return ScaledText{true, std::to_string(dtc.spn)};
    if (key == kFmi) return ScaledText{true, std::to_string(dtc.fmi)};
    if (key == kFmiDescription) return ScaledText{true, FmiText(dtc.fmi)};
    if (key == kStatus) return ScaledText{true, group.status};
    if (key == kOccurrences) {
        bool counted = dtc.occurrenceCount != kOccurrenceCountNotAvailable;
        return ScaledText{true, counted ? std::to_string(dtc.occurrenceCount) : kCountNotAvailable};
    }
    if (key == kFlashCode) {
        auto text = faults.SpnFmi(dtc.spn, dtc.fmi);
        if (!text || text->flashCode.empty()) return ScaledText{false, {}};
        return ScaledText{true, text->flashCode};
    }
    return std::nullopt;
}

const DtcReport* ReportOfGroup(const ReceivedFaultCodes& received, const FaultGroupDefinition& group) {
    if (group.messagePgn == j1939::kPgnDm1 && received.activeReceived) return &received.active;
    if (group.messagePgn == j1939::kPgnDm2 && received.previouslyActiveReceived) return &received.previouslyActive;
    return nullptr;
}

bool ReceivedSpn(const ReceivedFaultCodes& received, uint32_t spn) {
    auto lists = [spn](const DtcReport& report) {
        return std::any_of(report.dtcs.begin(), report.dtcs.end(), [spn](const Dtc& dtc) { return dtc.spn == spn; });
    };
    return lists(received.active) || lists(received.previouslyActive);
}

std::optional<Dtc> FindDtc(const DtcReport& report, uint32_t spn, int32_t fmi) {
    for (const Dtc& dtc : report.dtcs) {
        if (dtc.spn == spn && dtc.fmi == fmi) return dtc;
    }
    return std::nullopt;
}

FaultListView BuildFaultList(FaultDatabase& faults, ParameterDatabase& module, const ReceivedFaultCodes& received) {
    FaultListView view;
    view.received = received;
    for (size_t i = 0, count = faults.GroupCount(); i < count; ++i) {
        auto group = faults.GroupAt(i);
        const DtcReport* report = group ? ReportOfGroup(received, *group) : nullptr;
        if (report == nullptr) continue;
        for (const Dtc& dtc : report->dtcs) {
            FaultListEntry entry;
            entry.groupId = group->id;
            entry.groupName = group->name;
            entry.binNumber = dtc.spn;
            entry.dtc = dtc;
            entry.description = WideToUtf8(SpnDescription(faults, module, dtc.spn));
            entry.fmiText = FmiText(dtc.fmi);
            entry.status = group->status;
            if (auto text = faults.SpnFmi(dtc.spn, dtc.fmi)) entry.extendedText = text->extendedText;
            view.faults.push_back(std::move(entry));
        }
    }
    return view;
}

}  // namespace hostsim
