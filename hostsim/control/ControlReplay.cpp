// Control API of a captured bus played into modules: the first pass that finds the ECUs,
// the host's playback state, and the delivery of the messages to their modules.
#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/bus/CaptureMessages.h"
#include "hostsim/bus/DtcMessage.h"
#include "hostsim/bus/J1939Name.h"
#include "hostsim/bus/MessageBatch.h"
#include "j1939/Protocol.h"
#include "platform/TimeScale.h"

namespace hostsim {
namespace {

constexpr uint32_t kPlaybackRunning = 1;
constexpr int64_t kMicrosPerMilli = 1000;
// The receive thread's queue is let run this far ahead of delivery, which bounds the
// memory a long capture takes and keeps the progress true.
constexpr size_t kDeliveryBatch = 2048;
constexpr uint32_t kDeliveryWaitMs = 60000;
// Progress is reported every this many messages.
constexpr size_t kProgressEvery = 4096;
constexpr size_t kAddressCount = 256;
constexpr size_t kPostBatch = 64;
constexpr ZModuleHandle kNoModule = 0;

bool IsClaim(const J1939Message& message) {
    return message.pgn == j1939::kPgnAddressClaimed && message.data.size() >= j1939::kNameBytes &&
           message.source <= j1939::kMaxClaimableAddress;
}

// Adds the codes of a DM1 to those the ECU was heard listing.
void NoteActiveCodes(const J1939Message& message, std::vector<Dtc>& seen) {
    if (message.pgn != j1939::kPgnDm1) return;
    const auto report = DecodeDtcMessage(message.data.data(), message.data.size());
    if (!report) return;
    for (const Dtc& dtc : report->dtcs) {
        auto same = std::find_if(seen.begin(), seen.end(),
                                 [&](const Dtc& known) { return known.spn == dtc.spn && known.fmi == dtc.fmi; });
        if (same == seen.end()) {
            seen.push_back(dtc);
        } else {
            *same = dtc;
        }
    }
}

}  // namespace

CaptureSummary ScanCapture(const std::string& path, const std::string& interfaceName) {
    CaptureSummary summary;
    CaptureMessages capture;
    summary.error = capture.Open(path, interfaceName);
    if (!summary.error.empty()) return summary;
    std::map<uint8_t, CaptureEcu> ecus;
    std::map<uint8_t, std::set<ZPgn>> pgns;
    while (auto timed = capture.Next()) {
        const J1939Message& message = timed->message;
        CaptureEcu& ecu = ecus[message.source];
        ecu.address = message.source;
        ++ecu.messages;
        pgns[message.source].insert(message.pgn);
        NoteActiveCodes(message, ecu.activeSeen);
        if (IsClaim(message)) {
            ecu.claimed = true;
            ecu.name = NameFromBytes(message.data.data());
        }
        ++summary.messages;
        summary.spanMicros = timed->micros;
    }
    summary.interfaceName = capture.InterfaceName();
    summary.interfaces = capture.Interfaces();
    summary.frames = capture.Frames();
    summary.skipped = capture.Skipped();
    summary.malformed = capture.Malformed();
    summary.firstProblem = capture.FirstError();
    for (auto& [address, ecu] : ecus) {
        ecu.pgns.assign(pgns[address].begin(), pgns[address].end());
        summary.ecus.push_back(std::move(ecu));
    }
    return summary;
}

void PrepareCapturePlayback(const CaptureSummary& capture) {
    Host& host = TheHost();
    host.modules.SetPlaybackStatus(kPlaybackRunning);
    for (const CaptureEcu& ecu : capture.ecus) {
        if (ecu.claimed) host.bus.SetName(ecu.address, DecodedNameOf(ecu.name, ecu.address));
    }
}

size_t PlayCapture(const std::string& path, const std::string& interfaceName,
                   const std::vector<std::pair<uint8_t, ZModuleHandle>>& modules, double speed,
                   const std::function<void(const CaptureProgress&)>& progress) {
    using Clock = std::chrono::steady_clock;
    Host& host = TheHost();
    // By source address, looked up for every message.
    std::array<ZModuleHandle, kAddressCount> handles{};
    for (const auto& [address, handle] : modules) handles[address] = handle;
    CaptureMessages capture;
    if (!capture.Open(path, interfaceName).empty()) return 0;
    CaptureProgress state;
    const Clock::time_point started = Clock::now();
    MessageBatch pending;
    while (auto timed = capture.Next()) {
        state.frames = capture.Frames();
        const ZModuleHandle module = handles[timed->message.source];
        if (module == kNoModule) continue;
        if (speed > 0.0) {
            // Paced like the plug-in's clock, which a test time scale speeds up.
            const auto offset = std::chrono::microseconds(timed->micros);
            std::this_thread::sleep_until(started + marl::platform::RealDuration(offset / speed));
        }
        const auto timeStamp = static_cast<uint32_t>(timed->micros / kMicrosPerMilli);
        pending.Add(0, module, timeStamp, timed->message);
        ++state.messages;
        // Paced messages go at once; unpaced ones a batch at a time, one lock for all.
        if (speed > 0.0 || pending.Size() == kPostBatch) host.receiver.PostAll(pending);
        if (state.messages % kDeliveryBatch == 0) {
            host.receiver.PostAll(pending);
            host.receiver.WaitIdle(kDeliveryWaitMs);
        }
        if (progress && state.messages % kProgressEvery == 0) progress(state);
    }
    host.receiver.PostAll(pending);
    host.receiver.WaitIdle(kDeliveryWaitMs);
    state.frames = capture.Frames();
    if (progress) progress(state);
    return state.messages;
}

void SetDecodedValueListener(DecodedValueListener listener) { TheHost().decodedValues.Set(std::move(listener)); }

}  // namespace hostsim
