#include "hostsim/bus/DtcMessage.h"

#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr size_t kLampBytes = 2;
constexpr size_t kLampStateByte = 0;
constexpr size_t kLampFlashByte = 1;
constexpr uint8_t kLampFieldMask = 0x03;
// Bit positions of the four lamps' two-bit fields, the same in both lamp bytes.
constexpr unsigned kMalfunctionShift = 6;
constexpr unsigned kRedStopShift = 4;
constexpr unsigned kAmberWarningShift = 2;
constexpr unsigned kProtectShift = 0;

// Within one code: the SPN with its FMI, then the conversion-method bit above the
// occurrence count.
constexpr size_t kCountByte = 3;
constexpr unsigned kConversionMethodShift = 7;
constexpr uint8_t kOccurrenceCountMask = 0x7F;

LampStatus LampAt(const uint8_t* data, unsigned shift) {
    return {static_cast<uint8_t>((data[kLampStateByte] >> shift) & kLampFieldMask),
            static_cast<uint8_t>((data[kLampFlashByte] >> shift) & kLampFieldMask)};
}

bool IsNoCode(const uint8_t* bytes) {
    bool allZero = true;
    bool allOnes = true;
    for (size_t i = 0; i < kDtcBytes; ++i) {
        allZero = allZero && bytes[i] == 0;
        allOnes = allOnes && bytes[i] == j1939::kPaddingByte;
    }
    return allZero || allOnes;
}

// A set conversion-method bit marks one of the SPN byte orders of older J1939 revisions.
// Those orders are not told apart by the message itself, so the SPN is read in today's
// order and the bit is kept with the code for whoever shows it.
Dtc DtcAt(const uint8_t* bytes) {
    Dtc dtc;
    dtc.spn = j1939::ReadSpn(bytes);
    dtc.fmi = j1939::ReadFmi(bytes);
    dtc.conversionMethod = (bytes[kCountByte] >> kConversionMethodShift) != 0;
    dtc.occurrenceCount = bytes[kCountByte] & kOccurrenceCountMask;
    return dtc;
}

uint8_t LampByte(const DtcLamps& lamps, uint8_t LampStatus::*field) {
    return static_cast<uint8_t>((lamps.malfunction.*field & kLampFieldMask) << kMalfunctionShift |
                                (lamps.redStop.*field & kLampFieldMask) << kRedStopShift |
                                (lamps.amberWarning.*field & kLampFieldMask) << kAmberWarningShift |
                                (lamps.protect.*field & kLampFieldMask) << kProtectShift);
}

}  // namespace

void AppendDtc(std::vector<uint8_t>& data, const Dtc& dtc) {
    j1939::AppendSpnFmi(data, dtc.spn, dtc.fmi);
    uint8_t count = dtc.occurrenceCount > kOccurrenceCountMask ? kOccurrenceCountMask : dtc.occurrenceCount;
    data.push_back(static_cast<uint8_t>((dtc.conversionMethod ? 1u : 0u) << kConversionMethodShift | count));
}

std::vector<uint8_t> EncodeDtcMessage(const DtcLamps& lamps, const std::vector<Dtc>& dtcs) {
    std::vector<uint8_t> data = {LampByte(lamps, &LampStatus::state), LampByte(lamps, &LampStatus::flash)};
    if (dtcs.empty()) data.insert(data.end(), kDtcBytes, 0);
    for (const Dtc& dtc : dtcs) AppendDtc(data, dtc);
    if (data.size() < j1939::kSingleFrameBytes) data.resize(j1939::kSingleFrameBytes, j1939::kPaddingByte);
    return data;
}

std::optional<DtcReport> DecodeDtcMessage(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kLampBytes) return std::nullopt;
    DtcReport report;
    report.lamps = {LampAt(data, kMalfunctionShift), LampAt(data, kRedStopShift), LampAt(data, kAmberWarningShift),
                    LampAt(data, kProtectShift)};
    for (size_t at = kLampBytes; at + kDtcBytes <= size; at += kDtcBytes) {
        if (!IsNoCode(data + at)) report.dtcs.push_back(DtcAt(data + at));
    }
    return report;
}

}  // namespace hostsim
