#include "hostsim/bus/HostileBus.h"

#include <fstream>
#include <functional>
#include <map>
#include <random>

#include "hostsim/bus/J1939Message.h"
#include "hostsim/database/JsonFields.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

using namespace j1939;

constexpr int64_t kFrameGapMicros = 540;
constexpr uint8_t kWinningNameByte = 0x00;  // all-zero NAME bytes win every claim contest
constexpr size_t kNameBytes = 8;
constexpr uint64_t kMaxScenarioFrames = 1000000;

class Generator {
public:
    explicit Generator(const HostileBusScenario& scenario) : scenario_(scenario), random_(scenario.seed) {}

    std::vector<CandumpFrame> Run() {
        static const std::map<std::string, void (Generator::*)()> kKinds = {
            {"address-claim-flood", &Generator::ClaimFlood},    {"address-stealing", &Generator::Stealing},
            {"request-flood", &Generator::RequestFlood},        {"endless-bam", &Generator::EndlessBam},
            {"overlapping-bam", &Generator::OverlappingBam},    {"cts-abuse", &Generator::CtsAbuse},
            {"rts-exhaustion", &Generator::RtsExhaustion},      {"random-frames", &Generator::RandomFrames},
            {"stopped-transfers", &Generator::StoppedTransfers}};
        auto kind = kKinds.find(scenario_.kind);
        if (kind == kKinds.end()) return {};
        while (frames_.size() < scenario_.frames) (this->*kind->second)();
        frames_.resize(scenario_.frames);
        return std::move(frames_);
    }

private:
    uint8_t Byte() { return static_cast<uint8_t>(random_()); }
    uint8_t Source() { return static_cast<uint8_t>(random_() % (kMaxClaimableAddress + 1)); }
    std::vector<uint8_t> Bytes(size_t count) {
        std::vector<uint8_t> bytes(count);
        for (uint8_t& byte : bytes) byte = Byte();
        return bytes;
    }

    void Send(uint32_t pgn, uint8_t source, uint8_t destination, std::vector<uint8_t> data,
              uint8_t priority = kDefaultPriority) {
        J1939Message message{pgn, priority, source, destination, std::move(data)};
        Frame(CanIdOf(message), message.data);
    }
    void Frame(uint32_t id, std::vector<uint8_t> data) {
        CandumpFrame frame;
        frame.timeMicros = static_cast<int64_t>(frames_.size()) * kFrameGapMicros;
        frame.interfaceName = InterfaceOfChannel(1);
        frame.frame = CanFrame{id, std::move(data)};
        frames_.push_back(std::move(frame));
    }
    // TP.CM: control byte, size, packets, the field after them, and the PGN carried.
    void Management(uint8_t source, uint8_t destination, uint8_t control, uint16_t size, uint8_t packets, uint8_t fifth,
                    uint32_t pgn) {
        Send(kPgnTpConnection, source, destination,
             {control, static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), packets, fifth,
              static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8), static_cast<uint8_t>(pgn >> 16)},
             kTransportPriority);
    }
    void Packet(uint8_t source, uint8_t destination, uint8_t sequence) {
        std::vector<uint8_t> data = Bytes(kSingleFrameBytes);
        data[0] = sequence;
        Send(kPgnTpData, source, destination, std::move(data), kTransportPriority);
    }

    void ClaimFlood() {
        // Every address claimed over and over with random NAMEs, the target's too.
        for (int address = 0; address <= kMaxClaimableAddress; ++address)
            Send(kPgnAddressClaimed, static_cast<uint8_t>(address), kGlobalAddress, Bytes(kNameBytes));
    }
    void Stealing() {
        // A NAME that wins takes the target's address; another cannot claim; the target
        // answers; requests for claims go round.
        Send(kPgnAddressClaimed, scenario_.target, kGlobalAddress, std::vector<uint8_t>(kNameBytes, kWinningNameByte));
        Send(kPgnAddressClaimed, kNullAddress, kGlobalAddress, Bytes(kNameBytes));
        Send(kPgnRequest, Source(), kGlobalAddress, {0x00, 0xEE, 0x00});
        Send(kPgnAddressClaimed, scenario_.target, kGlobalAddress, Bytes(kNameBytes));
    }
    void RequestFlood() {
        const uint8_t destination = random_() % 2 == 0 ? kGlobalAddress : kToolAddress;
        Send(kPgnRequest, Source(), destination, Bytes(3));
    }
    void EndlessBam() {
        // Announced for 255 packets, one short of the last, then announced again.
        const uint8_t source = random_() % 2 == 0 ? scenario_.target : Source();
        Management(source, kGlobalAddress, kTpBroadcastAnnounce, kTpMaxMessageBytes, kTpMaxPackets, 0xFF, 0xFECA);
        for (uint8_t sequence = 1; sequence < kTpMaxPackets && frames_.size() < scenario_.frames; ++sequence)
            Packet(source, kGlobalAddress, sequence);
    }
    void OverlappingBam() {
        // Two announcements from one source, their packets interleaved.
        Management(scenario_.target, kGlobalAddress, kTpBroadcastAnnounce, 20, 3, 0xFF, 0xFECA);
        Management(scenario_.target, kGlobalAddress, kTpBroadcastAnnounce, 30, 5, 0xFF, 0xFEEC);
        for (uint8_t sequence = 1; sequence <= 5; ++sequence) {
            Packet(scenario_.target, kGlobalAddress, sequence);
            Packet(scenario_.target, kGlobalAddress, static_cast<uint8_t>(sequence % 3 + 1));
        }
    }
    void CtsAbuse() {
        // CTS, end-of-message and aborts with nothing behind them, to and from the tool.
        const uint8_t control = random_() % 3 == 0 ? kTpEndOfMessageAck : (random_() % 2 ? kTpClearToSend : kTpAbort);
        const bool toTool = random_() % 2 == 0;
        Management(toTool ? Source() : kToolAddress, toTool ? kToolAddress : Source(), control, Byte(), Byte(), Byte(),
                   random_() & 0x3FFFF);
    }
    void RtsExhaustion() {
        // A connection opened for every pair of addresses, none ever sending data.
        Management(Source(), random_() % 4 == 0 ? kToolAddress : Source(), kTpRequestToSend, kTpMaxMessageBytes,
                   kTpMaxPackets, kTpMaxPackets, 0xFEEC);
    }
    void RandomFrames() {
        // Half of them from the target, so that its module hears every PGN there is.
        uint32_t id = static_cast<uint32_t>(random_()) & 0x1FFFFFFF;
        if (random_() % 2 == 0) id = (id & ~0xFFu) | scenario_.target;
        Frame(id, Bytes(random_() % (kSingleFrameBytes + 1)));
    }
    void StoppedTransfers() {
        // A BAM and an RTS/CTS session that stop half-way, then an ordinary message.
        Management(scenario_.target, kGlobalAddress, kTpBroadcastAnnounce, 70, 10, 0xFF, 0xFECA);
        for (uint8_t sequence = 1; sequence <= 5; ++sequence) Packet(scenario_.target, kGlobalAddress, sequence);
        Management(scenario_.target, kToolAddress, kTpRequestToSend, 70, 10, 10, 0xFEEC);
        Management(kToolAddress, scenario_.target, kTpClearToSend, 0, 10, 1, 0xFEEC);
        for (uint8_t sequence = 1; sequence <= 4; ++sequence) Packet(scenario_.target, kToolAddress, sequence);
        Send(0xF004, scenario_.target, kGlobalAddress, Bytes(kSingleFrameBytes), 3);
    }

    const HostileBusScenario& scenario_;
    std::mt19937 random_;
    std::vector<CandumpFrame> frames_;
};

}  // namespace

std::vector<HostileBusScenario> LoadHostileBuses(const std::string& path, std::string& error) {
    using namespace jsonfields;
    std::vector<HostileBusScenario> scenarios;
    error.clear();
    try {
        const nlohmann::json document = ParseDocument(ReadWholeFile(path), path);
        const nlohmann::json& buses = ArrayOf(document, "buses", path);
        for (size_t i = 0; i < buses.size(); ++i) {
            const std::string where = path + ": buses[" + std::to_string(i) + "]";
            HostileBusScenario scenario;
            scenario.name = Text(buses[i], "name", where);
            scenario.kind = Text(buses[i], "kind", where);
            scenario.frames = static_cast<uint32_t>(
                Unsigned(Required(buses[i], "frames", where), 1, kMaxScenarioFrames, where, "frames"));
            scenario.seed = static_cast<uint32_t>(UnsignedOr(buses[i], "seed", 1, 0, UINT32_MAX, where));
            scenario.target = static_cast<uint8_t>(UnsignedOr(buses[i], "target", 0, 0, kMaxClaimableAddress, where));
            if (HostileBusFrames(HostileBusScenario{"", scenario.kind, 1, 0, 0}).empty())
                Fail(where, "unknown kind " + scenario.kind);
            scenarios.push_back(std::move(scenario));
        }
    } catch (const FileError& failure) {
        error = failure.what();
    } catch (const nlohmann::json::exception& failure) {
        error = path + ": " + failure.what();
    }
    return error.empty() ? scenarios : std::vector<HostileBusScenario>();
}

std::vector<CandumpFrame> HostileBusFrames(const HostileBusScenario& scenario) { return Generator(scenario).Run(); }

std::string WriteCandump(const std::vector<CandumpFrame>& frames, const std::string& path) {
    std::ofstream log(path, std::ios::binary | std::ios::trunc);
    for (const CandumpFrame& frame : frames) log << FormatCandumpLine(frame) << '\n';
    log.close();
    return log ? std::string() : "cannot write the bus log " + path;
}

}  // namespace hostsim
