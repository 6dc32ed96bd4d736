#include "hostsim/database/DataFolder.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hostsim {
namespace {

constexpr const char* kDataFolderName = "data";

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The folder of the library this code is in.
std::filesystem::path LibraryFolder() {
#if defined(_WIN32)
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&LibraryFolder), &module)) {
        return {};
    }
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::filesystem::path(path).parent_path();
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr) return {};
    return std::filesystem::path(info.dli_fname).parent_path();
#endif
}

}  // namespace

void DataFolder::Set(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    chosen_ = path;
}

std::string DataFolder::Get() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!chosen_.empty()) return chosen_;
    }
    return Default();
}

std::string DataFolder::Find(const std::string& fileName) {
    std::filesystem::path folder = Get();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (SameIgnoringCase(entry->path().filename().string(), fileName)) return entry->path().string();
    }
    return {};
}

void DataFolder::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    chosen_.clear();
}

std::string DataFolder::Default() {
    std::error_code error;
    std::filesystem::path beside = LibraryFolder() / kDataFolderName;
    if (std::filesystem::is_directory(beside, error)) return beside.string();
    return MARL_SOURCE_DATA_DIR;
}

}  // namespace hostsim
