// A recording file read back into a module through the ReadDataFromRecordingFile entry.
// The handle stays the same: the first file that names an address makes the module, and
// every later one is read in full and then refused as a second module of that handle.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "hostsim/HostSim.h"

using namespace marl::fuzz;

namespace {
constexpr int32_t kResident = 1;
constexpr int32_t kRestored = 2;
std::string file;
std::wstring wideFile;
zorv::FnReadDataFromRecordingFile restore = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A module that stays keeps the application alive between inputs.
    if (!RegisterPlaybackModules({{kResident, 0x00}})) std::abort();
    file = ScratchPath("input.rec");
    wideFile.assign(file.begin(), file.end());
    restore = Entry<zorv::FnReadDataFromRecordingFile>(zorv::kEntryReadDataFromRecordingFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFile(file, data, size);
    restore(0, kRestored, wideFile.c_str());
    ForgetHostLogs();
    return 0;
}
