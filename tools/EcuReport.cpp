#include "tools/EcuReport.h"

#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Name.h"
#include "tools/FaultScreen.h"
#include "tools/PgnNames.h"

namespace marl::tools {
namespace {

using nlohmann::json;

// The fault-code database's groups: Active is fed by DM1, Previously Active by DM2.
constexpr ZFaultGroupId kActiveGroup = 1;
constexpr ZFaultGroupId kPreviouslyActiveGroup = 2;
// A VIN has 17 characters; an ECU may send more before the field's '*'.
constexpr size_t kVinLength = 17;
constexpr const char* kSoftwarePrefix = "SPN_234_";
// The host's text for a field the ECU did not send.
constexpr const char* kNotAvailable = "N/A";

std::optional<std::string> TextOf(const std::vector<hostsim::DataPointState>& values, const std::string& name) {
    for (const auto& value : values) {
        if (value.name != name) continue;
        const std::string text = hostsim::ToUtf8(value.valueText);
        if (!text.empty()) return text;
    }
    return std::nullopt;
}

bool Lists(const std::vector<hostsim::FaultListEntry>& faults, const hostsim::Dtc& dtc) {
    for (const auto& fault : faults) {
        if (fault.dtc.spn == dtc.spn && fault.dtc.fmi == dtc.fmi) return true;
    }
    return false;
}

std::string Or(const std::optional<std::string>& text) { return text ? *text : "-"; }
json OrNull(const std::optional<std::string>& text) { return text ? json(*text) : json(nullptr); }

json NameJson(const EcuReport& ecu) {
    if (!ecu.claimed) return nullptr;
    const hostsim::J1939NameFields name = hostsim::DecodeName(ecu.name);
    return {{"identityNumber", name.identityNumber},
            {"manufacturerCode", name.manufacturerCode},
            {"ecuInstance", name.ecuInstance},
            {"functionInstance", name.functionInstance},
            {"function", name.function},
            {"vehicleSystem", name.vehicleSystem},
            {"vehicleSystemInstance", name.vehicleSystemInstance},
            {"industryGroup", name.industryGroup},
            {"arbitraryAddressCapable", name.arbitraryAddressCapable}};
}

json LampsJson(const EcuReport& ecu) {
    if (!ecu.dm1Heard) return nullptr;
    return {{"mil", LampText(ecu.lamps.malfunction)},
            {"redStop", LampText(ecu.lamps.redStop)},
            {"amberWarning", LampText(ecu.lamps.amberWarning)},
            {"protect", LampText(ecu.lamps.protect)}};
}

void PrintDtcs(FILE* out, const char* heading, const std::vector<hostsim::FaultListEntry>& faults) {
    if (faults.empty()) return;
    std::fprintf(out, "   %s:\n", heading);
    for (const auto& fault : faults) {
        const std::string occurrences = fault.dtc.occurrenceCount == hostsim::kOccurrenceCountNotAvailable
                                            ? "n/a"
                                            : std::to_string(fault.dtc.occurrenceCount);
        std::fprintf(out, "      SPN %6u FMI %2u  x%-3s %s - %s\n", fault.dtc.spn, fault.dtc.fmi, occurrences.c_str(),
                     fault.description.c_str(), fault.fmiText.c_str());
    }
}

}  // namespace

json DtcsJson(const std::vector<hostsim::FaultListEntry>& faults) {
    json list = json::array();
    for (const auto& fault : faults) {
        json occurrences = fault.dtc.occurrenceCount == hostsim::kOccurrenceCountNotAvailable
                               ? json(nullptr)
                               : json(fault.dtc.occurrenceCount);
        list.push_back({{"spn", fault.dtc.spn},
                        {"fmi", fault.dtc.fmi},
                        {"occurrences", occurrences},
                        {"description", fault.description},
                        {"fmiText", fault.fmiText}});
    }
    return list;
}

void GatherModuleFacts(ZModuleHandle handle, const std::vector<hostsim::Dtc>& activeSeen, EcuReport& report) {
    for (auto& value : hostsim::ModuleDataPoints(handle)) {
        if (value.updates > 0) report.values.push_back(std::move(value));
    }
    report.make = TextOf(report.values, "SPN_586");
    report.model = TextOf(report.values, "SPN_587_0");
    report.serial = TextOf(report.values, "SPN_588");
    report.unit = TextOf(report.values, "SPN_233");
    report.vin = TextOf(report.values, "SPN_237");
    if (report.vin) report.vin = report.vin->substr(0, kVinLength);
    for (const auto& value : report.values) {
        const std::string text = hostsim::ToUtf8(value.valueText);
        if (value.name.rfind(kSoftwarePrefix, 0) == 0 && !text.empty() && text != kNotAvailable)
            report.software.push_back(text);
    }
    const hostsim::FaultListView faults = hostsim::FaultList(handle);
    report.dm1Heard = faults.received.activeReceived;
    report.lamps = faults.received.active.lamps;
    for (const auto& fault : faults.faults) {
        if (fault.groupId == kActiveGroup) report.activeDtcs.push_back(fault);
        if (fault.groupId == kPreviouslyActiveGroup) report.previousDtcs.push_back(fault);
    }
    std::vector<hostsim::Dtc> gone;
    for (const hostsim::Dtc& dtc : activeSeen) {
        if (!Lists(report.activeDtcs, dtc)) gone.push_back(dtc);
    }
    if (!gone.empty()) report.clearedDtcs = hostsim::DescribeActiveCodes(handle, gone);
}

std::string ValueWithoutUnit(const std::string& text, const std::string& unit) {
    const std::string suffix = " " + unit;
    if (!unit.empty() && text.size() > suffix.size() &&
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return text.substr(0, text.size() - suffix.size());
    }
    return text;
}

json EcuReportJson(const EcuReport& ecu) {
    json values = json::array();
    for (const auto& value : ecu.values) {
        values.push_back({{"spn", value.spn},
                          {"name", hostsim::ToUtf8(value.description)},
                          {"value", ValueWithoutUnit(hostsim::ToUtf8(value.valueText), value.unit)},
                          {"unit", value.unit},
                          {"updates", value.updates}});
    }
    return {{"address", ecu.address},
            {"name", NameJson(ecu)},
            {"make", OrNull(ecu.make)},
            {"model", OrNull(ecu.model)},
            {"serial", OrNull(ecu.serial)},
            {"unit", OrNull(ecu.unit)},
            {"vin", OrNull(ecu.vin)},
            {"software", ecu.software},
            {"lamps", LampsJson(ecu)},
            {"activeDtcs", DtcsJson(ecu.activeDtcs)},
            {"previousDtcs", DtcsJson(ecu.previousDtcs)},
            {"clearedDtcs", DtcsJson(ecu.clearedDtcs)},
            {"values", values},
            {"pgns", ecu.pgns}};
}

void PrintEcuReport(FILE* out, const EcuReport& ecu) {
    if (ecu.claimed) {
        const hostsim::J1939NameFields name = hostsim::DecodeName(ecu.name);
        std::fprintf(out,
                     "   NAME: identity %u, manufacturer %u, function %u (instance %u), ECU instance %u, vehicle "
                     "system %u (instance %u), industry group %u%s\n",
                     name.identityNumber, name.manufacturerCode, name.function, name.functionInstance, name.ecuInstance,
                     name.vehicleSystem, name.vehicleSystemInstance, name.industryGroup,
                     name.arbitraryAddressCapable ? ", arbitrary address capable" : "");
    } else {
        std::fprintf(out, "   NAME: no address claim heard\n");
    }
    std::fprintf(out, "   make %s, model %s, serial %s, unit %s\n", Or(ecu.make).c_str(), Or(ecu.model).c_str(),
                 Or(ecu.serial).c_str(), Or(ecu.unit).c_str());
    std::fprintf(out, "   VIN %s\n", Or(ecu.vin).c_str());
    for (const std::string& software : ecu.software) std::fprintf(out, "   software %s\n", software.c_str());
    if (ecu.dm1Heard) {
        std::fprintf(out, "   lamps: MIL %s, red stop %s, amber warning %s, protect %s\n",
                     LampText(ecu.lamps.malfunction), LampText(ecu.lamps.redStop), LampText(ecu.lamps.amberWarning),
                     LampText(ecu.lamps.protect));
    } else {
        std::fprintf(out, "   no DM1 heard\n");
    }
    PrintDtcs(out, "active DTCs", ecu.activeDtcs);
    PrintDtcs(out, "previously active DTCs", ecu.previousDtcs);
    PrintDtcs(out, "DTCs listed earlier, no longer active (cleared or gone)", ecu.clearedDtcs);
    if (!ecu.values.empty()) std::fprintf(out, "   values (last, updates):\n");
    for (const auto& value : ecu.values) {
        std::fprintf(out, "      SPN %5u %-48s %s (%u)\n", value.spn, hostsim::ToUtf8(value.description).c_str(),
                     hostsim::ToUtf8(value.valueText).c_str(), value.updates);
    }
    if (ecu.pgns.empty()) return;
    std::fprintf(out, "   PGNs heard:");
    for (ZPgn pgn : ecu.pgns) {
        const char* name = PgnName(pgn);
        std::fprintf(out, name[0] != '\0' ? " 0x%04X (%s)" : " 0x%04X", pgn, name);
    }
    std::fprintf(out, "\n");
}

}  // namespace marl::tools
