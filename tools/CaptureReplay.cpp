#include "tools/CaptureReplay.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "host/ZorvApi.h"
#include "hostsim/HostSim.h"
#include "tools/SessionRecording.h"

namespace marl::tools {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuietProgress = std::chrono::seconds(1);
constexpr double kMillisPerSecond = 1000.0;
constexpr double kPercent = 100.0;

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Every decoded value, with the capture time it came with, as one CSV line.
class ValuesCsv {
public:
    std::string Open(const std::string& path, const std::map<ZModuleHandle, uint8_t>& addresses) {
        out_.open(path, std::ios::out | std::ios::trunc);
        if (!out_) return "cannot write the values file " + path;
        addresses_ = addresses;
        out_ << "time,address,spn,name,value,unit\n";
        hostsim::SetDecodedValueListener(
            [this](ZModuleHandle handle, uint32_t timeStamp, const hostsim::DataPointState& value) {
                Write(handle, timeStamp, value);
            });
        return {};
    }
    ~ValuesCsv() {
        if (out_.is_open()) hostsim::SetDecodedValueListener(nullptr);
    }

private:
    void Write(ZModuleHandle handle, uint32_t timeStamp, const hostsim::DataPointState& value) {
        char time[32];
        std::snprintf(time, sizeof(time), "%.3f", timeStamp / kMillisPerSecond);
        const std::string text = ValueWithoutUnit(hostsim::ToUtf8(value.valueText), value.unit);
        const auto address = addresses_.find(handle);
        if (address == addresses_.end()) return;
        out_ << time << ',' << static_cast<unsigned>(address->second) << ',' << value.spn << ','
             << CsvField(hostsim::ToUtf8(value.description)) << ',' << CsvField(text) << ',' << CsvField(value.unit)
             << '\n';
    }

    std::ofstream out_;
    std::map<ZModuleHandle, uint8_t> addresses_;
};

// The plug-in builds a module's record from its recording file; a capture gives nothing
// but the address.
std::string WriteConnectionInfo(const std::string& path, uint8_t address) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[ConnectionInfo]\r\nMID = " << static_cast<unsigned>(address) << "\r\n";
    return out ? std::string() : "cannot write " + path;
}

EcuReport ReportOf(const hostsim::CaptureEcu& ecu, ZModuleHandle handle) {
    EcuReport report;
    report.address = ecu.address;
    report.claimed = ecu.claimed;
    report.name = ecu.name;
    report.messages = ecu.messages;
    report.pgns = ecu.pgns;
    GatherModuleFacts(handle, ecu.activeSeen, report);
    return report;
}

}  // namespace

ReplayResult ReplayCapture(PluginLoader& plugin, const ReplayOptions& options, FILE* progress) {
    ReplayResult result;
    const Clock::time_point started = Clock::now();
    result.capture = hostsim::ScanCapture(options.log, options.interfaceName);
    if (!result.capture.error.empty()) {
        result.error = result.capture.error;
        return result;
    }
    auto unregister = plugin.Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);

    hostsim::PrepareCapturePlayback(result.capture);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("marl-replay-" + std::to_string(started.time_since_epoch().count()));
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::vector<std::pair<uint8_t, ZModuleHandle>> modules;
    std::map<ZModuleHandle, uint8_t> addresses;
    for (const hostsim::CaptureEcu& ecu : result.capture.ecus) {
        const auto handle = static_cast<ZModuleHandle>(modules.size() + 1);
        const std::string path = (folder / ("ecu-" + std::to_string(ecu.address) + ".rec")).string();
        result.error = WriteConnectionInfo(path, ecu.address);
        if (!result.error.empty()) break;
        RegisterForPlayback(plugin, handle, ecu.address, 1, path);
        modules.emplace_back(ecu.address, handle);
        addresses[handle] = ecu.address;
    }
    std::filesystem::remove_all(folder, ignored);

    ValuesCsv csv;
    if (result.error.empty() && !options.valuesCsv.empty()) result.error = csv.Open(options.valuesCsv, addresses);
    if (result.error.empty()) {
        const size_t total = result.capture.frames;
        result.delivered = hostsim::PlayCapture(
            options.log, options.interfaceName, modules, options.speed, [&](const hostsim::CaptureProgress& state) {
                const auto elapsed = std::chrono::duration<double>(Clock::now() - started);
                if (progress == nullptr || elapsed < kQuietProgress) return;
                std::fprintf(progress, "\r   %zu frames (%.0f%%), %.0f frames/s ", state.frames,
                             total == 0 ? kPercent : kPercent * static_cast<double>(state.frames) / total,
                             state.frames / elapsed.count());
                std::fflush(progress);
            });
        if (progress != nullptr && Clock::now() - started >= kQuietProgress) std::fprintf(progress, "\n");
        for (size_t i = 0; i < modules.size(); ++i) {
            result.ecus.push_back(ReportOf(result.capture.ecus[i], modules[i].second));
        }
    }
    for (auto it = modules.rbegin(); it != modules.rend(); ++it) unregister(it->second);
    result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return result;
}

}  // namespace marl::tools
