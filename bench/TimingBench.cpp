// The plug-in's waits, in real time (the bench preset never scales the clock): how soon a
// sender wakes once the receive thread releases its answer, whether a discovery waits
// for anything but its own pauses, how soon the last unregistration returns, and whether
// the host's receive thread keeps up with a busy bus while the query thread requests.
// `marl_timing_bench NAME` prints "NAME value" lines for scripts/bench.sh; NAME is
// wakeup, discovery, shutdown or load.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/AppInstance.h"
#include "VehicleApp/boundary/Entries.h"
#include "VehicleApp/core/MessageSender.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvApi.h"
#include "host/ZorvPlugin.h"
#include "hostsim/HostSim.h"
#include "j1939/Protocol.h"

namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::duration<double, std::micro>;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int16_t kChannel = 1;
constexpr uint32_t kUiHandle = 0x55;
constexpr uint32_t kAnswerPgn = 0xFEEC;
constexpr uint8_t kEngine = 0x00;
constexpr uint8_t kSlowEcu = 0x33;

void Print(const char* name, double value) { std::printf("%s %.1f\n", name, value); }

double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0.0;
    const auto rank = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1));
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(rank), samples.end());
    return samples[rank];
}

// The application object with completed modules, as the host has them after
// registration; all gone at the end, through the last unregistration when asked.
class Plugin {
public:
    explicit Plugin(const std::vector<uint8_t>& addresses) {
        hostsim::Reset();
        marl::app_instance::EnsureCreated(1);
        marl::AppLease lease;
        if (!lease) return;
        lease.App()->Trace().LookUpAndOpen(0);
        lease.Shared()->ConnectedEvent().Set();
        for (size_t i = 0; i < addresses.size(); ++i) {
            ModuleInfo info;
            std::memset(&info, 0, sizeof(info));
            info.ecuAddress = addresses[i];
            info.channel = kChannel;
            info.moduleId = zorv::kModuleIdMarlJ1939;
            const auto handle = static_cast<int32_t>(i + 1);
            auto module = lease.App()->Modules().AddModuleRecord(handle, info, i == 0);
            if (!module) continue;
            module->SetComponentSa(addresses[i]);
            module->SetRegistrationComplete();
            handles_.push_back(handle);
        }
    }
    ~Plugin() {
        UnregisterAll();
        hostsim::Reset();
    }
    // Unregisters every module, last registered first; how long the last one took (ms).
    double UnregisterAll() {
        double lastMs = 0.0;
        while (!handles_.empty()) {
            const Clock::time_point start = Clock::now();
            marl::entries::UnregisterModule(handles_.back());
            lastMs = Millis(Clock::now() - start).count();
            handles_.pop_back();
        }
        return lastMs;
    }

private:
    std::vector<int32_t> handles_;
};

// From the receive thread's release of an awaited answer to the sender's return.
void WakeUp() {
    constexpr int kRounds = 2000;
    constexpr auto kSenderAsleep = std::chrono::microseconds(200);
    constexpr uint32_t kWaitMs = 1000;
    marl::AwaitedAnswer awaited;
    std::atomic<int> round{0};
    std::atomic<Clock::rep> released{0};
    std::thread receiver([&] {
        for (int r = 1; r <= kRounds; ++r) {
            while (round.load() != r) std::this_thread::yield();
            std::this_thread::sleep_for(kSenderAsleep);  // the sender is asleep in its wait by now
            released.store(Clock::now().time_since_epoch().count());
            awaited.Release(kEngine, kAnswerPgn);
        }
    });
    std::vector<double> samples;
    for (int r = 1; r <= kRounds; ++r) {
        awaited.Arm(kEngine, kAnswerPgn);
        round.store(r);
        if (!awaited.Wait(kWaitMs)) continue;
        samples.push_back(Micros(Clock::now().time_since_epoch() - Clock::duration(released.load())).count());
    }
    receiver.join();
    Print("wakeup_p50_us", Percentile(samples, 0.5));
    Print("wakeup_p99_us", Percentile(samples, 0.99));
    Print("wakeup_missed", kRounds - static_cast<double>(samples.size()));
}

// A discovery of a module that answered once, with PGNs that stay silent: two passes at
// its address and one global pass, each a 100 ms pause and a request with a 100 ms pause
// per PGN, then the 2 s settling.
void DiscoveryPacing() {
    constexpr uint32_t kPgns = 5;
    constexpr double kPassPauseMs = 100.0;
    constexpr double kProbePauseMs = 100.0;
    constexpr double kPasses = 3.0;
    constexpr double kSettleMs = 2000.0;
    Plugin plugin({kEngine});
    marl::AppLease lease;
    auto module = lease.App()->Modules().FindModule(1);
    module->pgnMap.recordResponse(kAnswerPgn, false);
    for (uint32_t i = 0; i < kPgns; ++i) module->pgnMap.recordPgn(0xFE00 + i);
    const Clock::time_point start = Clock::now();
    lease.App()->Discoveries().BuildAndRequestSupportedPgns(module.get());
    const double tookMs = Millis(Clock::now() - start).count();
    const double waitsMs = kPasses * (kPassPauseMs + kPgns * kProbePauseMs) + kSettleMs;
    Print("discovery_ms", tookMs);
    Print("discovery_waits_ms", waitsMs);
    Print("discovery_over_pct", 100.0 * (tookMs - waitsMs) / waitsMs);
}

// The last unregistration with the query thread idle between requests, and with a
// discovery in its 20 s settling pause (the slow ECU that has not answered).
void Shutdown() {
    {
        Plugin plugin({kEngine});
        {
            marl::AppLease lease;
            lease.App()->Subscribed().StartQueryThread();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Print("shutdown_idle_ms", plugin.UnregisterAll());
    }
    Plugin plugin({kSlowEcu});
    Clock::time_point discoveryEnd;
    std::thread discovery([&discoveryEnd] {
        marl::AppLease lease;
        if (!lease) return;
        auto module = lease.App()->Modules().FindModule(1);
        if (module) lease.App()->Discoveries().BuildAndRequestSupportedPgns(module.get());
        discoveryEnd = Clock::now();
    });
    // Past the probing passes (three 100 ms pauses), inside the settling.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const Clock::time_point exit = Clock::now();
    const double unregisterMs = plugin.UnregisterAll();
    discovery.join();
    Print("shutdown_settling_ms", unregisterMs);
    Print("shutdown_settling_discovery_ms", Millis(discoveryEnd - exit).count());
}

// 4,000 messages a second through the host's receive thread into ParseMessage for 3 s,
// eight modules, the query thread requesting 20 subscriptions meanwhile. The backlog is
// what the host has queued and not yet handed over.
std::atomic<size_t> gDelivered{0};
uint16_t ZORV_STDCALL CountingParseMessage(int32_t handle, const uint8_t* message, uint16_t length, uint32_t time) {
    gDelivered.fetch_add(1);
    return marl::entries::ParseMessage(handle, message, length, time);
}

void Load() {
    constexpr int kRate = 4000;
    constexpr int kSeconds = 3;
    constexpr auto kTick = std::chrono::milliseconds(10);
    constexpr int kPerTick = kRate / 100;
    constexpr uint32_t kSubscriptions = 20;
    const std::vector<uint8_t> addresses = {0x00, 0x03, 0x0B, 0x12, 0x17, 0x21, 0x28, 0x33};
    Plugin plugin(addresses);
    hostsim::UseRealSysTime();
    hostsim::AttachPlugin(&CountingParseMessage);
    const std::wstring connectText = L"J1939:Baud=Auto,Channel=1";
    Zorv_Connect(1, connectText.c_str(), 0, nullptr, 1);
    Zorv_EnableParsing(1, 1);
    std::vector<uint32_t> teskIds;
    for (uint32_t i = 0; i < kSubscriptions; ++i) {
        hostsim::DataPointDefinition point;
        point.teskId = 500 + i;
        point.name = "DP_" + std::to_string(point.teskId);
        point.attribute.pgn = 0xFE00 + i;
        point.attribute.security = kDpSecurityPeriodicFast;
        hostsim::AddDataPoint(point);
        teskIds.push_back(point.teskId);
    }
    {
        marl::AppLease lease;
        lease.App()->Subscribed().UpdateDatapointSubscriptions(1, teskIds.data(), kSubscriptions, true);
        lease.App()->Subscribed().StartQueryThread();
    }
    std::vector<std::vector<uint8_t>> messages;
    for (uint32_t pgn = 0; pgn < kSubscriptions; ++pgn) {
        for (uint8_t address : addresses) {
            std::vector<uint8_t> message;
            j1939::AppendPgn(message, 0xFE00 + pgn);
            message.insert(message.end(),
                           {j1939::kDefaultPriority, address, j1939::kGlobalAddress, 1, 2, 3, 4, 5, 6, 7, 8});
            messages.push_back(message);
        }
    }
    size_t posted = 0;
    size_t maxBacklog = 0;
    const Clock::time_point start = Clock::now();
    for (int tick = 0; tick < kSeconds * 100; ++tick) {
        for (int i = 0; i < kPerTick; ++i) hostsim::DeliverMessage(kChannel, messages[posted++ % messages.size()]);
        maxBacklog = std::max(maxBacklog, posted - gDelivered.load());
        std::this_thread::sleep_until(start + (tick + 1) * kTick);
    }
    const Clock::time_point end = Clock::now();
    hostsim::WaitForBus(5000);
    Print("load_rate_per_s", posted / std::chrono::duration<double>(end - start).count());
    Print("load_max_backlog", static_cast<double>(maxBacklog));
    Print("load_drain_ms", Millis(Clock::now() - end).count());
    Print("load_delivered_pct", 100.0 * static_cast<double>(gDelivered.load()) / static_cast<double>(posted));
    hostsim::DetachPlugin();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "wakeup") WakeUp();
    if (what == "discovery") DiscoveryPacing();
    if (what == "shutdown") Shutdown();
    if (what == "load") Load();
    return what == "wakeup" || what == "discovery" || what == "shutdown" || what == "load" ? 0 : 2;
}
