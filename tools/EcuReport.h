// What the host learned of one ECU: the facts its data points, fault lists and the bus
// gave, gathered after a session or a replay, as text lines or as a JSON object.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "hostsim/HostSimTypes.h"

namespace marl::tools {

struct EcuReport {
    uint8_t address = 0;
    bool claimed = false;
    uint64_t name = 0;
    size_t messages = 0;
    std::optional<std::string> make, model, serial, unit, vin;
    std::vector<std::string> software;
    bool dm1Heard = false;
    hostsim::DtcLamps lamps;
    std::vector<hostsim::FaultListEntry> activeDtcs, previousDtcs;
    // Codes a DM1 listed earlier that the last one no longer lists: cleared or gone.
    std::vector<hostsim::FaultListEntry> clearedDtcs;
    std::vector<hostsim::DataPointState> values;  // data points that got values
    std::vector<ZPgn> pgns;
};

// Fills the data-point and fault facts of the module: identification texts, VIN,
// software, values with updates, lamps and codes, and among `activeSeen` the codes the
// module no longer reports.
void GatherModuleFacts(ZModuleHandle handle, const std::vector<hostsim::Dtc>& activeSeen, EcuReport& report);

// Codes as a JSON list: spn, fmi, occurrences (null when not counted), description, fmiText.
nlohmann::json DtcsJson(const std::vector<hostsim::FaultListEntry>& faults);

// A value text without the unit the host appends to it.
std::string ValueWithoutUnit(const std::string& text, const std::string& unit);

// The ECU's JSON object: address, name, make, model, serial, unit, vin, software, lamps,
// activeDtcs, previousDtcs, clearedDtcs, values, pgns; absent facts null or empty.
nlohmann::json EcuReportJson(const EcuReport& ecu);
// The ECU's facts as indented text lines, after a heading line of the caller's.
void PrintEcuReport(FILE* out, const EcuReport& ecu);

}  // namespace marl::tools
