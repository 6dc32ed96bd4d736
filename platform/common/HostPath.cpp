#include <cstdlib>
#include <string>

#include "platform/Platform.h"

namespace marl::platform {
namespace {
#if defined(_WIN32)
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif
constexpr const char* kHostRootVariable = "MARL_HOST_ROOT";
}  // namespace

std::string HostPath(const char* devicePath) {
    std::string path = devicePath != nullptr ? devicePath : "";
    for (char& c : path) {
        if (c == '\\' || c == '/') c = kSeparator;
    }
    const char* root = std::getenv(kHostRootVariable);
    if (root == nullptr || *root == '\0') {
#if defined(_WIN32)
        return path;
#else
        return path.empty() || path[0] == kSeparator ? path : kSeparator + path;
#endif
    }
    std::string rooted = root;
    while (!rooted.empty() && (rooted.back() == '/' || rooted.back() == '\\')) rooted.pop_back();
    if (path.empty() || path[0] != kSeparator) rooted += kSeparator;
    return rooted + path;
}

}  // namespace marl::platform
