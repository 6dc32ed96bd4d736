// The plug-in's receive path as the host's receive thread drives it: the ParseMessage
// entry with eight registered modules whose registration is complete and a number of
// subscriptions of the PGNs on the bus. Two streams: messages the per-PGN throttle lets
// through to the host's parser, and messages it drops.
//
// Google Benchmark gives the time per message (the host's parser included). Run as
// `marl_receive_bench --count pass|throttled SUBSCRIPTIONS MESSAGES` under callgrind it
// counts instructions instead: statistics are zeroed after a warm-up and dumped after
// the measured messages. The host's J1939 parser is replaced by one that only counts, so
// that the figures are the plug-in's own and each run checks that its stream passed or
// was dropped as intended.
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/AppInstance.h"
#include "VehicleApp/boundary/Entries.h"
#include "host/ZorvPlugin.h"
#include "hostsim/HostSim.h"
#include "j1939/Protocol.h"

namespace {

constexpr std::array<uint8_t, 8> kModuleAddresses = {0x00, 0x03, 0x0B, 0x12, 0x17, 0x21, 0x28, 0x33};
constexpr int16_t kChannel = 1;
constexpr uint32_t kUiHandle = 0x55;
// The PGNs the bus carries; subscriptions spread over this many PGNs from the same base,
// so every PGN on the bus has subscriptions whatever their number.
constexpr uint32_t kFirstPgn = 0xFE00;
constexpr uint32_t kBusPgns = 8;
constexpr uint32_t kSubscribedPgns = 64;
constexpr uint32_t kFirstTeskId = 100000;
// Periodic (addressed to the module) and on-demand (global) request classes, alternating.
constexpr std::array<int16_t, 2> kSecurities = {2, 0};
// Time-stamp step of the passing stream: each (module, PGN) pair comes again after
// 64 messages, 640 units later, past the 400-unit throttle.
constexpr uint32_t kPassStep = 10;
constexpr uint32_t kThrottledTime = 5000;
constexpr size_t kWarmUp = 4096;
// The host logs every call; the log is emptied this often so that it does not grow.
constexpr size_t kClearLogEvery = 4096;

using Bytes = std::vector<uint8_t>;

size_t gParsed = 0;
ZResult ZORV_STDCALL CountingParser(ZModuleHandle, const uint8_t*, uint16_t, uint32_t) {
    ++gParsed;
    return 0;
}

Bytes MessageOf(uint32_t pgn, uint8_t source) {
    Bytes message;
    j1939::AppendPgn(message, pgn);
    message.insert(message.end(), {j1939::kDefaultPriority, source, j1939::kGlobalAddress});
    message.insert(message.end(), {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80});
    return message;
}

ModuleInfo InfoOf(uint8_t address) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = address;
    info.channel = kChannel;
    info.moduleId = zorv::kModuleIdMarlJ1939;
    return info;
}

// The plug-in's objects with the modules and subscriptions in place; all gone again at
// the end.
class ReceiveFixture {
public:
    explicit ReceiveFixture(uint32_t subscriptions) {
        hostsim::Reset();
        hostsim::RegisterModuleFunction(zorv::kLookupParseJ1939Msg, zorv::kModuleIdHost,
                                        reinterpret_cast<void*>(&CountingParser));
        std::vector<uint32_t> teskIds;
        for (uint32_t i = 0; i < subscriptions; ++i) {
            hostsim::DataPointDefinition point;
            point.teskId = kFirstTeskId + i;
            point.name = "DP_" + std::to_string(point.teskId);
            point.attribute.pgn = kFirstPgn + i % kSubscribedPgns;
            point.attribute.security = kSecurities[i % kSecurities.size()];
            hostsim::AddDataPoint(point);
            teskIds.push_back(point.teskId);
        }
        marl::app_instance::EnsureCreated(1);
        marl::AppLease lease;
        if (!lease) return;
        marl::CVehicleApp& app = *lease.App();
        app.Trace().LookUpAndOpen(0);
        for (size_t i = 0; i < kModuleAddresses.size(); ++i) {
            const auto handle = static_cast<int32_t>(i + 1);
            auto module = app.Modules().AddModuleRecord(handle, InfoOf(kModuleAddresses[i]), i == 0);
            if (!module) continue;
            module->SetComponentSa(kModuleAddresses[i]);
            module->SetRegistrationComplete();
        }
        // Spread over the modules, as the host subscribes each module's own data points.
        const size_t perModule = (teskIds.size() + kModuleAddresses.size() - 1) / kModuleAddresses.size();
        for (size_t i = 0; i < kModuleAddresses.size() && i * perModule < teskIds.size(); ++i) {
            const size_t count = std::min(perModule, teskIds.size() - i * perModule);
            app.Subscribed().UpdateDatapointSubscriptions(static_cast<int32_t>(i + 1), &teskIds[i * perModule],
                                                          static_cast<int32_t>(count), true);
        }
        ready_ = app.Subscribed().Entries().size() == subscriptions;
        for (uint32_t pgn = 0; pgn < kBusPgns; ++pgn) {
            for (uint8_t address : kModuleAddresses) messages_.push_back(MessageOf(kFirstPgn + pgn, address));
        }
    }
    ~ReceiveFixture() {
        {
            marl::AppLease lease;
            for (size_t i = 1; lease && i <= kModuleAddresses.size(); ++i)
                lease.App()->Modules().RemoveModuleRecord(static_cast<int32_t>(i));
        }
        marl::app_instance::DestroyIfEmpty();
        hostsim::Reset();
    }

    bool Ready() const { return ready_; }

    // The `index`th message of the stream; the passing stream's time stamps advance.
    uint16_t Deliver(size_t index, bool pass) {
        const Bytes& message = messages_[index % messages_.size()];
        const uint32_t timeStamp = pass ? static_cast<uint32_t>(index) * kPassStep : kThrottledTime;
        if (index % kClearLogEvery == 0) hostsim::ClearCalls();
        return marl::entries::ParseMessage(1, message.data(), static_cast<uint16_t>(message.size()), timeStamp);
    }

private:
    bool ready_ = false;
    std::vector<Bytes> messages_;
};

void Receive(benchmark::State& state, bool pass) {
    ReceiveFixture fixture(static_cast<uint32_t>(state.range(0)));
    if (!fixture.Ready()) {
        state.SkipWithError("the subscriptions did not go in");
        return;
    }
    size_t index = 0;
    for (; index < kWarmUp; ++index) fixture.Deliver(index, pass);
    for (auto _ : state) benchmark::DoNotOptimize(fixture.Deliver(index++, pass));
    state.SetItemsProcessed(state.iterations());
}

void ReceivePassing(benchmark::State& state) { Receive(state, true); }
void ReceiveThrottled(benchmark::State& state) { Receive(state, false); }
BENCHMARK(ReceivePassing)->Arg(10)->Arg(500)->Arg(1000);
BENCHMARK(ReceiveThrottled)->Arg(10)->Arg(500)->Arg(1000);

// The callgrind run: one stream, its statistics dumped under the stream's name.
int Count(const std::string& stream, uint32_t subscriptions, size_t messages) {
    const bool pass = stream == "pass";
    ReceiveFixture fixture(subscriptions);
    if (!fixture.Ready()) {
        std::fprintf(stderr, "the subscriptions did not go in\n");
        return 1;
    }
    size_t index = 0;
    for (; index < kWarmUp; ++index) fixture.Deliver(index, pass);
    const size_t parsedBefore = gParsed;
    CALLGRIND_ZERO_STATS;
    for (size_t end = index + messages; index < end; ++index) fixture.Deliver(index, pass);
    CALLGRIND_DUMP_STATS_AT(stream.c_str());
    const size_t parsed = gParsed - parsedBefore;
    if (parsed != (pass ? messages : 0)) {
        std::fprintf(stderr, "%zu of %zu messages reached the parser\n", parsed, messages);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--count") == 0) {
        return Count(argv[2], static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)),
                     static_cast<size_t>(std::strtoull(argv[4], nullptr, 10)));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
