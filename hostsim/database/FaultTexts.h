// What the host shows of a received fault for a module: the SPN's description, the
// attribute texts scaled from the fault's bytes, the data points related to it, and the
// fault screen's list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/HostSimTypes.h"
#include "hostsim/database/FaultDatabase.h"
#include "hostsim/database/ParameterDatabase.h"

namespace hostsim {

// The file's description of the SPN, else the name of the module's data point of that
// SPN, else "SPN <n>".
std::wstring SpnDescription(FaultDatabase& faults, ParameterDatabase& module, uint32_t spn);

// The module's data points of the SPNs, in the SPNs' order, each once.
std::vector<TESKID> TeskIdsOfSpns(ParameterDatabase& module, const std::vector<uint32_t>& spns);

struct ScaledText {
    bool hasValue = false;  // false: the attribute has no value for this fault
    std::string text;       // 8-bit
};

// An attribute's value for a received code of a group; nothing for a key the host does
// not scale.
std::optional<ScaledText> ScaleFaultAttribute(const std::string& key, const Dtc& dtc, const FaultGroupDefinition& group,
                                              FaultDatabase& faults);

// The report that lists a group's faults (nothing for a group no message feeds, or when
// the module never received that message).
const DtcReport* ReportOfGroup(const ReceivedFaultCodes& received, const FaultGroupDefinition& group);
// Whether the module's last DM1 or DM2 listed the SPN.
bool ReceivedSpn(const ReceivedFaultCodes& received, uint32_t spn);
// The first code of the report with that SPN and FMI.
std::optional<Dtc> FindDtc(const DtcReport& report, uint32_t spn, int32_t fmi);

FaultListView BuildFaultList(FaultDatabase& faults, ParameterDatabase& module, const ReceivedFaultCodes& received);

}  // namespace hostsim
