#include "tools/SessionRecording.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "host/ZorvApi.h"
#include "hostsim/HostSim.h"
#include "tools/LiveSession.h"

namespace marl::tools {
namespace {

constexpr const char* kExtension = ".rec";
constexpr uint32_t kUiHandle = 1;
constexpr uint16_t kHighestTeskId = 9999;

std::wstring Wide(const std::string& text) { return hostsim::FromUtf8(text); }

std::string FileName(const EcuEntry& ecu) {
    char prefix[8];
    std::snprintf(prefix, sizeof(prefix), "%02X-", ecu.address);
    std::string name = prefix;
    for (char c : ecu.label)
        name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '-';
    return name + kExtension;
}

}  // namespace

PlaybackRegistration RegisterForPlayback(PluginLoader& plugin, int32_t handle, uint8_t address, int channel,
                                         const std::string& recordingPath) {
    ModuleInfo info{};
    info.ecuAddress = address;
    info.channel = static_cast<int16_t>(channel);
    info.moduleId = zorv::kModuleIdMarlJ1939;
    PlaybackRegistration result;
    result.registered =
        plugin.Entry<zorv::FnRegisterModuleWithInfo>(zorv::kEntryRegisterModuleWithInfo)(kUiHandle, handle, &info);
    result.restored = plugin.Entry<zorv::FnReadDataFromRecordingFile>(zorv::kEntryReadDataFromRecordingFile)(
        0, handle, Wide(recordingPath).c_str());
    plugin.Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand)(
        static_cast<uint32_t>(handle), zorv::kCmdRegistrationComplete, nullptr, nullptr, nullptr, nullptr, nullptr);
    return result;
}

SessionRecording::SessionRecording(PluginLoader& plugin, FILE* out) : plugin_(plugin), out_(out) {}

std::string SessionRecording::Start(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return "cannot create the recording folder " + folder + ": " + error.message();
    folder_ = folder;
    recording_ = hostsim::BeginRecording();
    plugin_.Entry<zorv::FnStartRecording>(zorv::kEntryStartRecording)(recording_, 0, 0, 0);
    std::fprintf(out_, "   recording into %s\n", folder.c_str());
    return {};
}

void SessionRecording::Finish(const std::vector<EcuEntry>& ecus) {
    if (folder_.empty()) return;
    auto append = plugin_.Entry<zorv::FnAppendDataToRecordingFile>(zorv::kEntryAppendDataToRecordingFile);
    std::fprintf(out_, "\n== Recording written to %s\n", folder_.c_str());
    for (const auto& ecu : ecus) {
        if (ecu.result != 0) continue;
        const std::string path = (std::filesystem::path(folder_) / FileName(ecu)).string();
        const std::string error =
            hostsim::WriteRecording(recording_, ecu.handle, path, ecu.label, ecu.address, ecu.channel);
        if (!error.empty()) {
            std::fprintf(out_, "   %-28s %s\n", ecu.label.c_str(), error.c_str());
            continue;
        }
        const uint16_t result = append(0, static_cast<uint32_t>(ecu.handle), Wide(path).c_str());
        hostsim::ModuleRecording written;
        hostsim::ReadRecording(path, written);
        std::fprintf(out_, "   %-28s %-40s %5zu messages, plug-in sections %s\n", ecu.label.c_str(),
                     FileName(ecu).c_str(), written.messages.size(), result == 0 ? "appended" : "NOT appended");
    }
    hostsim::EndRecording(recording_);
}

int PlayBackRecording(PluginLoader& plugin, const std::string& folder, FILE* out) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == kExtension) files.push_back(entry.path().string());
    }
    if (error || files.empty()) {
        std::fprintf(stderr, "marl-host: no recording files (*%s) in %s\n", kExtension, folder.c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());
    auto unregister = plugin.Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);

    std::fprintf(out, "\n== Playing back %s (%zu modules, no bus)\n", folder.c_str(), files.size());
    int failures = 0;
    std::vector<int32_t> handles;
    for (const std::string& path : files) {
        hostsim::ModuleRecording recording;
        const std::string problem = hostsim::ReadRecording(path, recording);
        if (!problem.empty()) {
            std::fprintf(out, "   %s\n", problem.c_str());
            ++failures;
            continue;
        }
        const int32_t handle = static_cast<int32_t>(handles.size()) + 1;
        hostsim::PreparePlayback(recording);
        const PlaybackRegistration answered =
            RegisterForPlayback(plugin, handle, recording.address, recording.channel, path);
        const uint16_t registered = answered.registered;
        const uint16_t restored = answered.restored;
        const size_t played = hostsim::PlayBack(recording, handle);
        handles.push_back(handle);
        if (registered != 0 || restored != 0) ++failures;

        size_t shown = 0;
        std::vector<std::string> values;
        for (TESKID teskId = 1; teskId <= kHighestTeskId; ++teskId) {
            const hostsim::DataPointState state = hostsim::ModuleDataPoint(handle, teskId);
            if (!state.known || !state.visible) continue;
            ++shown;
            if (state.updates > 0 || state.hasDisplayValue) {
                values.push_back(hostsim::ToUtf8(state.description) + " = " + hostsim::ToUtf8(state.valueText));
            }
        }
        std::fprintf(out,
                     "   %-28s address 0x%02X, registration %u, recording read %u, %zu messages played, "
                     "%zu parameters shown\n",
                     recording.label.c_str(), recording.address, registered, restored, played, shown);
        for (const std::string& value : values) std::fprintf(out, "      %s\n", value.c_str());
        if (recording.skippedLines != 0) {
            std::fprintf(out, "      (%zu unreadable lines skipped)\n", recording.skippedLines);
        }
    }
    for (auto it = handles.rbegin(); it != handles.rend(); ++it) unregister(*it);
    return failures;
}

}  // namespace marl::tools
