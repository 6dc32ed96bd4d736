#include "hostsim/database/FaultBytes.h"

#include <algorithm>

#include "hostsim/bus/DtcMessage.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr size_t kLampBytes = kFaultBytes - kDtcBytes;

}  // namespace

FaultBytes EncodeFaultBytes(const DtcLamps& lamps, const Dtc& dtc) {
    // The message of this one code, as its ECU would send it, without its padding.
    const std::vector<uint8_t> message = EncodeDtcMessage(lamps, {dtc});
    FaultBytes bytes{};
    std::copy(message.begin(), message.begin() + kFaultBytes, bytes.begin());
    return bytes;
}

std::optional<ReceivedFault> DecodeFaultBytes(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kFaultBytes) return std::nullopt;
    std::optional<DtcReport> report = DecodeDtcMessage(data, kFaultBytes);
    if (!report || report->dtcs.empty()) return std::nullopt;
    return ReceivedFault{report->lamps, report->dtcs.front()};
}

std::optional<Dtc> DecodeDtcBytes(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kDtcBytes) return std::nullopt;
    FaultBytes bytes{j1939::kNotAvailableByte, j1939::kNotAvailableByte};
    std::copy(data, data + kDtcBytes, bytes.begin() + kLampBytes);
    auto fault = DecodeFaultBytes(bytes.data(), bytes.size());
    return fault ? std::optional<Dtc>(fault->dtc) : std::nullopt;
}

}  // namespace hostsim
