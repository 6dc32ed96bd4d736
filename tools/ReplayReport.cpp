#include "tools/ReplayReport.h"

#include "tools/EcuReport.h"

namespace marl::tools {
namespace {

constexpr int kJsonIndent = 2;

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
    for (const EcuReport& ecu : result.ecus) {
        std::fprintf(out, "\n== ECU 0x%02X (%zu messages)\n", ecu.address, ecu.messages);
        PrintEcuReport(out, ecu);
    }
}

std::string ReplayReportJson(const ReplayOptions& options, const ReplayResult& result) {
    nlohmann::json ecus = nlohmann::json::array();
    for (const EcuReport& ecu : result.ecus) ecus.push_back(EcuReportJson(ecu));
    const nlohmann::json document = {{"log", options.log},
                           {"interface", result.capture.interfaceName},
                           {"interfaces", result.capture.interfaces},
                           {"frames", result.capture.frames},
                           {"skipped", result.capture.skipped},
                           {"malformed", result.capture.malformed},
                           {"messages", result.delivered},
                           {"ecus", ecus}};
    // Texts come off a real bus: bytes that are no UTF-8 are replaced, never fatal.
    return document.dump(kJsonIndent, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace marl::tools
