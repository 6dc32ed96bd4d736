#include "tools/ReplayReport.h"

#include <nlohmann/json.hpp>

#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Name.h"
#include "tools/FaultScreen.h"
#include "tools/PgnNames.h"

namespace marl::tools {
namespace {

using nlohmann::json;

constexpr int kJsonIndent = 2;

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

void PrintEcu(FILE* out, const EcuReport& ecu) {
    std::fprintf(out, "\n== ECU 0x%02X (%zu messages)\n", ecu.address, ecu.messages);
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
    if (!ecu.values.empty()) std::fprintf(out, "   values (last, updates):\n");
    for (const auto& value : ecu.values) {
        std::fprintf(out, "      SPN %5u %-48s %s (%u)\n", value.spn, hostsim::ToUtf8(value.description).c_str(),
                     hostsim::ToUtf8(value.valueText).c_str(), value.updates);
    }
    std::fprintf(out, "   PGNs heard:");
    for (ZPgn pgn : ecu.pgns) {
        const char* name = PgnName(pgn);
        std::fprintf(out, name[0] != '\0' ? " 0x%04X (%s)" : " 0x%04X", pgn, name);
    }
    std::fprintf(out, "\n");
}

}  // namespace

void PrintReplayReport(const ReplayOptions& options, const ReplayResult& result, FILE* out) {
    const hostsim::CaptureSummary& capture = result.capture;
    std::fprintf(out,
                 "Replayed %s (interface %s): %zu frames, %zu skipped, %zu malformed lines, %zu messages "
                 "to %zu ECUs over %.1f s of capture, in %.2f s\n",
                 options.log.c_str(), capture.interfaceName.empty() ? "-" : capture.interfaceName.c_str(),
                 capture.frames, capture.skipped, capture.malformed, result.delivered, result.ecus.size(),
                 static_cast<double>(capture.spanMicros) / 1e6, result.seconds);
    if (capture.interfaces.size() > 1) {
        std::fprintf(out, "   the capture holds %zu interfaces; --interface picks another:", capture.interfaces.size());
        for (const std::string& name : capture.interfaces) std::fprintf(out, " %s", name.c_str());
        std::fprintf(out, "\n");
    }
    if (!capture.firstProblem.empty()) std::fprintf(out, "   first malformed line: %s\n", capture.firstProblem.c_str());
    for (const EcuReport& ecu : result.ecus) PrintEcu(out, ecu);
}

std::string ReplayReportJson(const ReplayOptions& options, const ReplayResult& result) {
    json ecus = json::array();
    for (const EcuReport& ecu : result.ecus) {
        json values = json::array();
        for (const auto& value : ecu.values) {
            values.push_back({{"spn", value.spn},
                              {"name", hostsim::ToUtf8(value.description)},
                              {"value", ValueWithoutUnit(hostsim::ToUtf8(value.valueText), value.unit)},
                              {"unit", value.unit},
                              {"updates", value.updates}});
        }
        ecus.push_back({{"address", ecu.address},
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
                        {"values", values},
                        {"pgns", ecu.pgns}});
    }
    const json document = {{"log", options.log},
                           {"interface", result.capture.interfaceName},
                           {"interfaces", result.capture.interfaces},
                           {"frames", result.capture.frames},
                           {"skipped", result.capture.skipped},
                           {"malformed", result.capture.malformed},
                           {"messages", result.delivered},
                           {"ecus", ecus}};
    // Texts come off a real bus: bytes that are no UTF-8 are replaced, never fatal.
    return document.dump(kJsonIndent, ' ', false, json::error_handler_t::replace);
}

}  // namespace marl::tools
