// The host's configuration file as the plug-in finds it: the plug-in opens the device path
// "\Hard Disk\Brakk\Zorv\Ini\AppConfig.ini", which the platform layer places under the
// folder named by the environment variable MARL_HOST_ROOT. Choosing a file here builds a
// private root folder holding a copy of it at that place and points the variable there;
// clearing removes the folder and gives the variable back its earlier value.
#pragma once

#include <mutex>
#include <optional>
#include <string>

namespace hostsim {

class AppConfig {
public:
    // Empty when the file is in place, else why not.
    std::string UseFile(const std::string& path);
    std::string UseText(const std::string& contents);
    void Clear();
    // The private root folder, empty when none is in use.
    std::string Root();

private:
    std::string Install(const std::string& contents);
    void ClearLocked();

    std::mutex mutex_;
    std::string root_;
    std::optional<std::string> previousRoot_;
};

}  // namespace hostsim
