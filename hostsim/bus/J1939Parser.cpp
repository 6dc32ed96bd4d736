#include "hostsim/bus/J1939Parser.h"

#include <optional>
#include <utility>

#include "hostsim/bus/DtcMessage.h"
#include "hostsim/bus/J1939Name.h"

namespace hostsim {

void NoteAddressClaim(BusState& bus, const J1939Message& message) {
    if (message.pgn != j1939::kPgnAddressClaimed || message.data.size() < j1939::kNameBytes) return;
    // A claim at the null address is an ECU saying it cannot claim one.
    if (message.source > j1939::kMaxClaimableAddress) return;
    bus.SetName(message.source, DecodedNameOf(NameFromBytes(message.data.data()), message.source));
}

size_t ParseJ1939(ParameterDatabase& database, BusState& bus, ReceivedFaultTable& faults, ZModuleHandle handle,
                  const J1939Message& message, std::vector<TESKID>* decoded) {
    NoteAddressClaim(bus, message);
    if (message.pgn == j1939::kPgnDm1 || message.pgn == j1939::kPgnDm2) {
        std::optional<DtcReport> report = DecodeDtcMessage(message.data.data(), message.data.size());
        if (report && message.pgn == j1939::kPgnDm1) faults.SetActive(handle, std::move(*report));
        if (report && message.pgn == j1939::kPgnDm2) faults.SetPreviouslyActive(handle, std::move(*report));
    }
    const std::vector<TESKID> parsed = database.DecodeMessage(message.pgn, message.data.data(), message.data.size());
    if (decoded != nullptr) decoded->insert(decoded->end(), parsed.begin(), parsed.end());
    return parsed.size();
}

}  // namespace hostsim
