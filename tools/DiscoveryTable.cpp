#include "tools/DiscoveryTable.h"

#include <set>

#include "j1939/Protocol.h"

namespace marl::tools {
namespace {

// An acknowledgement is one frame: control byte first, acknowledged PGN in the last three.
constexpr size_t kAckControlByte = 0;
constexpr size_t kAckPgnByte = j1939::kSingleFrameBytes - j1939::kPgnBytes;

}  // namespace

std::vector<PgnRow> DiscoveryTableFor(const std::vector<hostsim::TrafficRecord>& traffic, int channel,
                                      uint8_t ecuAddress) {
    std::map<uint32_t, PgnRow> rows;
    std::set<uint32_t> sent;     // PGNs the ECU sent after they were first requested
    std::set<uint32_t> refused;  // PGNs the ECU refused
    for (const auto& record : traffic) {
        if (record.channel != channel) continue;
        if (record.fromTool) {
            // A send the host refused never reached the ECU.
            if (record.result != kZorvSuccess) continue;
            if (record.pgn != j1939::kPgnRequest || record.data.size() < j1939::kPgnBytes) continue;
            if (record.destination != ecuAddress && record.destination != j1939::kGlobalAddress) continue;
            const uint32_t requested = j1939::ReadPgn(record.data.data());
            PgnRow& row = rows[requested];
            row.pgn = requested;
            ++row.requests;
            continue;
        }
        if (record.source != ecuAddress) continue;
        if (record.pgn == j1939::kPgnAcknowledgement && record.data.size() >= j1939::kSingleFrameBytes) {
            const uint32_t acked = j1939::ReadPgn(record.data.data() + kAckPgnByte);
            if (rows.count(acked) != 0 && record.data[kAckControlByte] == j1939::kAckNegative) {
                refused.insert(acked);
            }
            continue;
        }
        if (rows.count(record.pgn) != 0) sent.insert(record.pgn);
    }
    std::vector<PgnRow> out;
    for (auto& [pgn, row] : rows) {
        if (sent.count(pgn) != 0) {
            row.outcome = PgnOutcome::Supported;
        } else if (refused.count(pgn) != 0) {
            row.outcome = PgnOutcome::Refused;
        }
        out.push_back(row);
    }
    return out;
}

OutcomeCounts Count(const std::vector<PgnRow>& rows) {
    OutcomeCounts counts;
    for (const auto& row : rows) {
        counts.requests += row.requests;
        switch (row.outcome) {
            case PgnOutcome::Supported: ++counts.supported; break;
            case PgnOutcome::Refused: ++counts.refused; break;
            case PgnOutcome::Silent: ++counts.silent; break;
        }
    }
    return counts;
}

const char* OutcomeText(PgnOutcome outcome) {
    switch (outcome) {
        case PgnOutcome::Supported: return "supported";
        case PgnOutcome::Refused: return "refused";
        case PgnOutcome::Silent: return "silent";
    }
    return "?";
}

}  // namespace marl::tools
