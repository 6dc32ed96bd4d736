// The host's AppConfig.ini as the plug-in reads it when it asks whether to show only
// supported parameters. The stand-in host puts a first file in place; every input then
// overwrites that file where the plug-in opens it.
#include <cstdlib>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "fuzz/FuzzSupport.h"
#include "hostsim/HostSim.h"
#include "platform/Platform.h"

namespace {
constexpr uint32_t kUiHandle = 7;
constexpr const char* kConfigFile = "\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini";
marl::SharedState shared{1};
marl::CVehicleApp* app = nullptr;
std::string path;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    hostsim::Reset();
    if (!hostsim::SetAppConfigText("[Testing]\nMarlJ1939PromptShowAllParameters=1\n").empty()) std::abort();
    path = marl::platform::HostPath(kConfigFile);
    app = new marl::CVehicleApp(1);
    app->Attach(&shared, kUiHandle);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    marl::fuzz::WriteFile(path, data, size);
    app->Receiver().PromptShowOnlySupported(kUiHandle);
    marl::fuzz::ForgetHostLogs();
    return 0;
}
