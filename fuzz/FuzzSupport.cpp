#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"

extern "C" zorv::PluginDescriptor* GetDllInfo();

namespace marl::fuzz {

void* EntryAddress(uint32_t id) { return zorv::FindEntry(GetDllInfo(), id); }

std::string ScratchPath(const char* tag) {
    const std::filesystem::path shm("/dev/shm");
    const std::filesystem::path folder =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    return (folder / ("marl-fuzz-" + std::to_string(getpid()) + "-" + tag)).string();
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

bool RegisterPlaybackModules(const std::vector<FuzzModule>& modules) {
    hostsim::Reset();
    hostsim::SetPlaybackStatus(1);
    const auto registerModule = Entry<zorv::FnRegisterModuleWithInfo>(zorv::kEntryRegisterModuleWithInfo);
    const auto restore = Entry<zorv::FnReadDataFromRecordingFile>(zorv::kEntryReadDataFromRecordingFile);
    const auto command = Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand);
    const std::string file = ScratchPath("module.rec");
    const std::wstring wideFile(file.begin(), file.end());
    bool registered = true;
    for (const FuzzModule& module : modules) {
        ModuleInfo info;
        std::memset(&info, 0, sizeof(info));
        info.ecuAddress = module.address;
        info.channel = 1;
        info.moduleId = zorv::kModuleIdMarlJ1939;
        std::ofstream(file, std::ios::binary) << "[ConnectionInfo]\r\nMID = " << int{module.address} << "\r\n";
        registered = registered && registerModule(0, module.handle, &info) == 0 &&
                     restore(0, module.handle, wideFile.c_str()) == 0;
        command(static_cast<uint32_t>(module.handle), zorv::kCmdRegistrationComplete, nullptr, nullptr, nullptr,
                nullptr, nullptr);
    }
    std::filesystem::remove(file);
    return registered;
}

void ForgetHostLogs() {
    hostsim::ClearCalls();
    hostsim::ClearTraces();
}

}  // namespace marl::fuzz
