// The folder the host reads its parameter databases and example trucks from. By default
// it is the "data" folder beside the host library (the build copies the source tree's
// data/ there), else the source tree's data/ itself.
#pragma once

#include <mutex>
#include <string>

namespace hostsim {

class DataFolder {
public:
    void Set(const std::string& path);
    std::string Get();
    // The file in the folder whose name matches, ignoring the case of ASCII letters;
    // empty when there is none.
    std::string Find(const std::string& fileName);
    void Reset();

    static std::string Default();

private:
    std::mutex mutex_;
    std::string chosen_;
};

}  // namespace hostsim
