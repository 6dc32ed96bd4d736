#include "tools/DiscoveryTable.h"

#include <set>

namespace marl::tools {
namespace {

constexpr uint32_t kRequestPgn = 0xEA00;
constexpr uint32_t kAcknowledgementPgn = 0xE800;
constexpr uint8_t kGlobalAddress = 0xFF;
constexpr uint8_t kNegativeAcknowledgement = 1;
constexpr size_t kAckControlByte = 0;
constexpr size_t kAckPgnByte = 5;  // acknowledged PGN in data bytes 5 to 7
constexpr size_t kAckLength = 8;

uint32_t Pgn3(const std::vector<uint8_t>& data, size_t at) {
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16;
}

}  // namespace

std::vector<PgnRow> DiscoveryTableFor(const std::vector<hostsim::TrafficRecord>& traffic, int channel,
                                      uint8_t ecuAddress) {
    std::map<uint32_t, PgnRow> rows;
    std::set<uint32_t> sent;     // PGNs the ECU sent after they were first requested
    std::set<uint32_t> refused;  // PGNs the ECU refused
    for (const auto& record : traffic) {
        if (record.channel != channel) continue;
        if (record.fromTool) {
            if (record.pgn != kRequestPgn || record.data.size() < 3) continue;
            if (record.destination != ecuAddress && record.destination != kGlobalAddress) continue;
            PgnRow& row = rows[Pgn3(record.data, 0)];
            row.pgn = Pgn3(record.data, 0);
            ++row.requests;
            continue;
        }
        if (record.source != ecuAddress) continue;
        if (record.pgn == kAcknowledgementPgn && record.data.size() >= kAckLength) {
            const uint32_t acked = Pgn3(record.data, kAckPgnByte);
            if (rows.count(acked) != 0 && record.data[kAckControlByte] == kNegativeAcknowledgement) {
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
