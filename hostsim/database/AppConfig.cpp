#include "hostsim/database/AppConfig.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace hostsim {
namespace {

constexpr const char* kRootVariable = "MARL_HOST_ROOT";
constexpr const char* kFolderPrefix = "marl-host-";
// The configuration file's device path below the root, folder by folder.
constexpr const char* kConfigFolders[] = {"Hard Disk", "Brakk", "Zorv", "Ini"};
constexpr const char* kConfigFileName = "AppConfig.ini";

void SetRootVariable(const std::string& value) {
#if defined(_WIN32)
    // The plug-in reads the variable with the C runtime's getenv, which sees only what
    // goes through the runtime (SetEnvironmentVariable alone would not reach it).
    _putenv_s(kRootVariable, value.c_str());
#else
    setenv(kRootVariable, value.c_str(), 1);
#endif
}

void UnsetRootVariable() {
#if defined(_WIN32)
    _putenv_s(kRootVariable, "");
#else
    unsetenv(kRootVariable);
#endif
}

std::filesystem::path NewRootFolder() {
    std::random_device random;
    std::ostringstream name;
    name << kFolderPrefix << std::hex << random() << random();
    return std::filesystem::temp_directory_path() / name.str();
}

}  // namespace

std::string AppConfig::UseFile(const std::string& path) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) return "cannot read the configuration file " + path;
    std::ostringstream contents;
    contents << file.rdbuf();
    return UseText(contents.str());
}

std::string AppConfig::UseText(const std::string& contents) {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearLocked();
    return Install(contents);
}

std::string AppConfig::Install(const std::string& contents) {
    std::error_code error;
    std::filesystem::path root = NewRootFolder();
    std::filesystem::path folder = root;
    for (const char* part : kConfigFolders) folder /= part;
    std::filesystem::create_directories(folder, error);
    if (error) return "cannot create " + folder.string() + ": " + error.message();
    std::ofstream file(folder / kConfigFileName, std::ios::out | std::ios::binary | std::ios::trunc);
    file << contents;
    file.close();
    if (!file) {
        std::filesystem::remove_all(root, error);
        return "cannot write the configuration file under " + root.string();
    }
    const char* previous = std::getenv(kRootVariable);
    previousRoot_ = previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
    root_ = root.string();
    SetRootVariable(root_);
    return {};
}

void AppConfig::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearLocked();
}

void AppConfig::ClearLocked() {
    if (root_.empty()) return;
    if (previousRoot_) {
        SetRootVariable(*previousRoot_);
    } else {
        UnsetRootVariable();
    }
    std::error_code error;
    std::filesystem::remove_all(root_, error);
    root_.clear();
    previousRoot_.reset();
}

std::string AppConfig::Root() {
    std::lock_guard<std::mutex> lock(mutex_);
    return root_;
}

}  // namespace hostsim
