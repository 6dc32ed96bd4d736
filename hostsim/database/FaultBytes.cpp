#include "hostsim/database/FaultBytes.h"

#include <algorithm>

#include "hostsim/bus/DtcMessage.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr size_t kLampBytes = 2;
constexpr size_t kDtcBytes = kFaultBytes - kLampBytes;
constexpr uint8_t kLampFieldMask = 0x03;
// Bit positions of the four lamps' two-bit fields, the same in both lamp bytes.
constexpr unsigned kMalfunctionShift = 6;
constexpr unsigned kRedStopShift = 4;
constexpr unsigned kAmberWarningShift = 2;
constexpr unsigned kProtectShift = 0;
constexpr unsigned kSpnHighShift = 5;
constexpr unsigned kSpnHighPosition = 16;
constexpr unsigned kByteShift = 8;
constexpr uint8_t kFmiMask = 0x1F;
constexpr unsigned kConversionMethodShift = 7;
constexpr uint8_t kOccurrenceCountMask = 0x7F;

uint8_t LampByte(const DtcLamps& lamps, uint8_t LampStatus::*field) {
    auto bits = [&](const LampStatus& lamp, unsigned shift) {
        return static_cast<uint8_t>((lamp.*field & kLampFieldMask) << shift);
    };
    return static_cast<uint8_t>(bits(lamps.malfunction, kMalfunctionShift) | bits(lamps.redStop, kRedStopShift) |
                                bits(lamps.amberWarning, kAmberWarningShift) | bits(lamps.protect, kProtectShift));
}

}  // namespace

FaultBytes EncodeFaultBytes(const DtcLamps& lamps, const Dtc& dtc) {
    return {LampByte(lamps, &LampStatus::state),
            LampByte(lamps, &LampStatus::flash),
            static_cast<uint8_t>(dtc.spn),
            static_cast<uint8_t>(dtc.spn >> kByteShift),
            static_cast<uint8_t>((dtc.spn >> kSpnHighPosition) << kSpnHighShift | (dtc.fmi & kFmiMask)),
            static_cast<uint8_t>((dtc.conversionMethod ? 1u : 0u) << kConversionMethodShift |
                                 (dtc.occurrenceCount & kOccurrenceCountMask))};
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
