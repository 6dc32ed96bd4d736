#include "tools/PluginLoader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace marl::tools {
namespace {

#if defined(_WIN32)
std::string LastErrorText() {
    return "Windows error " + std::to_string(static_cast<unsigned long>(GetLastError()));
}
#endif

}  // namespace

PluginLoader::~PluginLoader() { Unload(); }

bool PluginLoader::Load(const std::string& path) {
    Unload();
#if defined(_WIN32)
    HMODULE lib = LoadLibraryA(path.c_str());
    if (lib == nullptr) {
        error_ = "cannot load " + path + ": " + LastErrorText();
        return false;
    }
    library_ = reinterpret_cast<void*>(lib);
#else
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        const char* why = dlerror();
        error_ = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
        return false;
    }
#endif
    getDllInfo_ = reinterpret_cast<zorv::FnGetDllInfo>(Symbol(zorv::kGetDllInfoName));
    if (getDllInfo_ == nullptr) {
        error_ = path + " does not export " + zorv::kGetDllInfoName + ": it is not a vehicle-application plug-in";
        Unload();
        return false;
    }
    descriptor_ = getDllInfo_();
    if (descriptor_ == nullptr || descriptor_->table == nullptr) {
        error_ = path + ": GetDllInfo gave no descriptor or no dispatch table";
        Unload();
        return false;
    }
    error_.clear();
    return true;
}

void PluginLoader::Unload() {
    if (library_ == nullptr) return;
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(library_));
#else
    dlclose(library_);
#endif
    library_ = nullptr;
    getDllInfo_ = nullptr;
    descriptor_ = nullptr;
}

zorv::PluginDescriptor* PluginLoader::CallGetDllInfo() const {
    return getDllInfo_ != nullptr ? getDllInfo_() : nullptr;
}

std::vector<zorv::DispatchEntry> PluginLoader::Entries() const {
    std::vector<zorv::DispatchEntry> rows;
    if (descriptor_ == nullptr || descriptor_->table == nullptr) return rows;
    for (size_t i = 0; i < zorv::kMaxDispatchRows; ++i) {
        const zorv::DispatchEntry& row = descriptor_->table[i];
        if (row.id == 0 && row.function == nullptr) break;
        rows.push_back(row);
    }
    return rows;
}

void* PluginLoader::EntryAddress(uint32_t id) const { return zorv::FindEntry(descriptor_, id); }

void* PluginLoader::Symbol(const std::string& name) const {
    if (library_ == nullptr) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library_), name.c_str()));
#else
    return dlsym(library_, name.c_str());
#endif
}

const char* EntryName(uint32_t id) {
    switch (id) {
        case zorv::kEntryRegisterModule: return "RegisterModule";
        case zorv::kEntryUnregisterModule: return "UnregisterModule";
        case zorv::kEntryCheckHandleSign: return "CheckHandleSign";
        case zorv::kEntryNotifyDisconnect: return "NotifyDisconnect";
        case zorv::kEntryRequestDiagnosticPgns: return "RequestDiagnosticPgnsForHandle";
        case zorv::kEntryClearFaultCodes: return "ClearFaultCodes";
        case zorv::kEntryParseMessage: return "ParseMessage";
        case zorv::kEntrySubscribeDatapoint: return "SubscribeDatapoint";
        case zorv::kEntryUnsubscribeDatapoint: return "UnsubscribeDatapoint";
        case zorv::kEntrySubscribeDatapoints: return "SubscribeDatapoints";
        case zorv::kEntryUnsubscribeDatapoints: return "UnsubscribeDatapoints";
        case zorv::kEntryVehicleAppCommand: return "VehicleAppCommand";
        case zorv::kEntryHashMessage: return "HashMessage";
        case zorv::kEntryAppendDataToRecordingFile: return "AppendDataToRecordingFile";
        case zorv::kEntryReadDataFromRecordingFile: return "ReadDataFromRecordingFile";
        case zorv::kEntryStartRecording: return "StartRecording";
        case zorv::kEntryRegisterModuleWithInfo: return "RegisterModuleWithInfo";
        case zorv::kEntryUnsupported1:
        case zorv::kEntryUnsupported2:
        case zorv::kEntryUnsupported3:
        case zorv::kEntryUnsupported4:
        case zorv::kEntryUnsupported5:
        case zorv::kEntryUnsupported6: return "(unsupported)";
        default: return "(unknown)";
    }
}

std::string DefaultPluginPath() {
#if defined(_WIN32)
    char buffer[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string self(buffer, n);
    const auto slash = self.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "MarlJ1939.dll";
#else
    char buffer[PATH_MAX] = {0};
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    std::string self = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    const auto slash = self.find_last_of('/');
    return (slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1)) + "MarlJ1939.so";
#endif
}

}  // namespace marl::tools
