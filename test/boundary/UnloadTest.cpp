// The host loads and unloads the plug-in many times in one session (each time the
// technician opens and closes a vehicle). Whatever the library took from the heap must
// go back when it is unloaded, or the host's process grows with every load.
//
// This runs in a program of its own: the plug-in must really leave the process at each
// unload, which it cannot while another test keeps it loaded.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "host/ZorvPlugin.h"
#include "hostsim/HostSim.h"
#include "tools/PluginLoader.h"

namespace marl::test {
namespace {

constexpr uint32_t kUiHandle = 0x1234;
constexpr int32_t kModuleHandle = 1;
constexpr int16_t kDeferringAdapter = 0x40;
constexpr int kWarmUpLoads = 2;
constexpr int kMeasuredLoads = 8;
// The loader's own bookkeeping may round a little differently from one load to the next.
constexpr size_t kToleratedBytesPerLoad = 8;

// ECUs that refuse every addressed request at once, so registration ends quickly.
constexpr const char* kRefusingTruck = R"({"ecus": [
  {"label": "Engine", "address": "0x00", "name": {"function": 0, "industryGroup": 1}, "default": "nack"}]})";

#if defined(__GLIBC__)
size_t HeapInUse() { return mallinfo2().uordblks; }

// mallinfo2 counts blocks parked in glibc's per-thread cache as in use, which would hide
// a leak or invent one; CTest starts this program with that cache turned off.
constexpr const char* kNoThreadCache = "glibc.malloc.tcache_count=0";

// One session of the host: load, one module registered and unregistered (which builds
// and tears down the application object, its events, threads and named objects), unload.
void LoadUseUnload() {
    tools::PluginLoader plugin;
    ASSERT_TRUE(plugin.Load(tools::DefaultPluginPath())) << plugin.Error();
    hostsim::Reset();
    // An adapter that defers discovery to registration completion keeps registration short.
    hostsim::SetProductId(kDeferringAdapter);
    hostsim::SetAssignableDefault(false);
    hostsim::AttachPlugin(plugin.Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
    ASSERT_EQ(hostsim::LoadScenarioText(kRefusingTruck), "");
    auto reg = plugin.Entry<zorv::FnRegisterModule>(zorv::kEntryRegisterModule);
    auto unreg = plugin.Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);
    ASSERT_TRUE(reg != nullptr && unreg != nullptr);
    EXPECT_EQ(reg(kUiHandle, kModuleHandle, L"0"), 0);
    EXPECT_EQ(unreg(kModuleHandle), 0);
    hostsim::DetachPlugin();
    hostsim::Reset();
    plugin.Unload();
}
#endif  // __GLIBC__

TEST(Unload, EveryLoadGivesItsHeapBack) {
#if !defined(__GLIBC__)
    GTEST_SKIP() << "the heap in use is read with glibc's mallinfo2";
#else
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's allocator keeps freed blocks in quarantine";
#endif
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables == nullptr || std::strstr(tunables, kNoThreadCache) == nullptr) {
        GTEST_SKIP() << "needs GLIBC_TUNABLES=" << kNoThreadCache << " (as CTest runs it)";
    }
    // One arena for every thread, so that mallinfo2 sees the plug-in's threads too.
    mallopt(M_ARENA_MAX, 1);
    // The first sessions fill the host's and the C++ runtime's one-time caches.
    for (int i = 0; i < kWarmUpLoads; ++i) {
        LoadUseUnload();
    }
    const size_t before = HeapInUse();
    for (int i = 0; i < kMeasuredLoads; ++i) {
        LoadUseUnload();
    }
    const size_t after = HeapInUse();
    const long long grownPerLoad = (static_cast<long long>(after) - static_cast<long long>(before)) / kMeasuredLoads;
    RecordProperty("bytes_per_load", std::to_string(grownPerLoad));
    EXPECT_LE(grownPerLoad, static_cast<long long>(kToleratedBytesPerLoad))
        << "heap in use grew from " << before << " to " << after << " bytes over " << kMeasuredLoads << " loads";
#endif
}

}  // namespace
}  // namespace marl::test
