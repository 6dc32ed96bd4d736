// The host's receive thread delivers a busy bus at full rate while modules register,
// complete, subscribe, unsubscribe and unregister over and over, the last one included.
// Under the sanitizers this is where races and use-after-free show.
#if defined(__linux__)
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

constexpr const char* kBusyLog = MARL_TEST_LOGS_DIR "/mixed-19-ecus.candump.log";
constexpr int kRounds = 3;
constexpr TESKID kSlow = 900;
constexpr TESKID kFast = 901;
constexpr TESKID kOnDemand = 902;
// The soak's cycles: MARL_SOAK_CYCLES, else a short run for the suite (scripts/soak.sh runs
// 1,000). Memory is measured after the tenth cycle, halfway and after the last.
constexpr int kShortSoakCycles = 20;
constexpr int kSoakBaselineCycle = 10;
constexpr double kSoakGrowthAllowed = 1.05;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' own bookkeeping (freed memory held in quarantine, shadow) grows with
// the run, so resident memory says nothing about the plug-in there.
constexpr bool kMemoryMeaningful = false;
#else
constexpr bool kMemoryMeaningful = true;
#endif

// Heap in use (allocated, not freed) in KiB, where the C library tells; else 0.
size_t HeapInUseKib() {
#if defined(__GLIBC__)
    return mallinfo2().uordblks / 1024;
#else
    return 0;
#endif
}

// Resident memory of this process in KiB, where the system tells (Linux); else 0.
size_t ResidentKib() {
#if defined(__linux__)
    size_t pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE)) / 1024;
#else
    return 0;
#endif
}

// Resident memory once the free heap pages the C library keeps for reuse are given back:
// they are the allocator's cache, sized by how the threads' allocations happened to
// interleave, not memory anything holds.
size_t SettledResidentKib() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    return ResidentKib();
}

constexpr const char* kRefusingTruck = R"({"ecus": [
  {"label": "Engine", "address": "0x00", "name": {"function": 0, "industryGroup": 1}, "default": "nack",
   "pgns": {"61444": {"behaviour": "broadcast", "periodMs": 20, "data": "F0 7D 87 50 14 00 FF 87"}}},
  {"label": "Transmission", "address": "0x03", "name": {"function": 3, "industryGroup": 1}, "default": "nack"}]})";

class Stress : public EntryTest {
protected:
    void SetUp() override {
        EntryTest::SetUp();
        // Completion runs discovery for this adapter, so every round takes its full path.
        hostsim::SetProductId(0x47);
        hostsim::SetAssignableDefault(false);
        for (auto [teskId, pgn, security] : {std::tuple<TESKID, uint32_t, int16_t>{kSlow, 65253, 2},
                                             {kFast, 61444, 3}, {kOnDemand, 65259, 5}})
            hostsim::AddDataPoint(DataPoint(teskId, pgn, security));
        LoadNetwork(kRefusingTruck);
    }

    void KeepTheBusBusy() {
        if (!hostsim::LastReplay().running) {
            ASSERT_EQ(hostsim::ReplayBusLog(kBusyLog, 1, 0), "");
        }
    }
};

TEST_F(Stress, ModulesComeAndGoWhileTheBusDeliversAtFullRate) {
    auto subscribe = Entry<zorv::FnSubscribeDatapoints>(zorv::kEntrySubscribeDatapoints);
    auto unsubscribe = Entry<zorv::FnSubscribeDatapoints>(zorv::kEntryUnsubscribeDatapoints);
    const uint32_t teskIds[] = {kSlow, kFast, kOnDemand};
    size_t delivered = 0;

    for (int round = 0; round < kRounds; ++round) {
        KeepTheBusBusy();
        ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0) << "round " << round;
        ASSERT_EQ(RegisterWithInfo(2, 0x03, 1), 0) << "round " << round;
        KeepTheBusBusy();
        for (int32_t handle : {1, 2}) {
            Complete(handle);
            EXPECT_EQ(subscribe(handle, teskIds, 3), 0);
        }
        KeepTheBusBusy();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(unsubscribe(1, teskIds, 3), 0);
        delivered += hostsim::LastReplay().messagesDelivered;
        UnregisterAll();
        EXPECT_FALSE(AppExists()) << "round " << round << ": the last unregistration tears everything down";
    }
    hostsim::StopReplay();
    EXPECT_GT(delivered, 0u) << "the replay must have kept the receive thread busy";
}

TEST_F(Stress, SoakOfRegisterCompleteSubscribeUnregisterKeepsMemoryFlat) {
    const char* configured = std::getenv("MARL_SOAK_CYCLES");
    const int cycles = configured != nullptr ? std::atoi(configured) : kShortSoakCycles;
    const uint32_t teskIds[] = {kSlow, kFast, kOnDemand};
    size_t rawBaseline = 0, baseline = 0, heapBaseline = 0, heapHalfway = 0, delivered = 0;
    // The fixture's traffic capture keeps every message the bus carries; a soak needs none.
    hostsim::StopTrafficCapture();
    const auto keepBusy = [&] {
        const hostsim::ReplayStats replay = hostsim::LastReplay();
        if (replay.running) return;
        delivered += replay.messagesDelivered;
        ASSERT_EQ(hostsim::ReplayBusLog(kBusyLog, 1, 0), "");
    };
    const auto started = std::chrono::steady_clock::now();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        keepBusy();
        ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0) << "cycle " << cycle;
        Complete(1);
        // Subscribed and complete, the module has the query thread requesting for it.
        ASSERT_EQ(Entry<zorv::FnSubscribeDatapoints>(zorv::kEntrySubscribeDatapoints)(1, teskIds, 3), 0);
        UnregisterAll();
        ASSERT_FALSE(AppExists()) << "cycle " << cycle;
        // The host's call log, traces and sent messages are the test's instruments, not the
        // plug-in's memory.
        hostsim::ClearCalls();
        hostsim::ClearTraces();
        hostsim::ClearSentMessages();
        if (cycle == kSoakBaselineCycle) {
            rawBaseline = ResidentKib();
            baseline = SettledResidentKib();
            heapBaseline = HeapInUseKib();
        }
        if (cycle == cycles / 2) heapHalfway = HeapInUseKib();
    }
    delivered += hostsim::LastReplay().messagesDelivered;
    hostsim::StopReplay();
    const size_t rawLast = ResidentKib(), last = SettledResidentKib(), heapLast = HeapInUseKib();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto growth = [](size_t from, size_t to) {
        return from != 0 ? 100.0 * (static_cast<double>(to) / static_cast<double>(from) - 1) : 0.0;
    };
    std::printf(
        "soak: %d cycles in %.0f s, %zu messages delivered\n"
        "  after cycle %d: resident %zu KiB (%zu KiB before free heap pages were given back), heap in use %zu KiB\n"
        "  after the last: resident %zu KiB (%+.1f%%) (%zu KiB, %+.1f%%, before), heap in use %zu KiB\n",
        cycles, seconds, delivered, kSoakBaselineCycle, baseline, rawBaseline, heapBaseline, last,
        growth(baseline, last), rawLast, growth(rawBaseline, rawLast), heapLast);
    EXPECT_GT(delivered, 0u) << "the replay must have kept the receive thread busy";
    // A leak shows in the heap in use over the second half of the run and in resident
    // memory against the tenth cycle. Short runs only report.
    if (kMemoryMeaningful && baseline != 0 && heapHalfway != 0 && cycles >= 5 * kSoakBaselineCycle) {
        EXPECT_LE(static_cast<double>(heapLast), static_cast<double>(heapHalfway) * kSoakGrowthAllowed);
        EXPECT_LE(static_cast<double>(last), static_cast<double>(baseline) * kSoakGrowthAllowed);
    }
}

}  // namespace
}  // namespace marl::testing
