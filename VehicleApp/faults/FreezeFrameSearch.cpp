#include "VehicleApp/faults/FreezeFrameSearch.h"

#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {

constexpr uint8_t kLengthNotAvailable = 0xFF;
constexpr uint8_t kLengthError = 0xFE;
// A frame names its fault in its first three bytes after the length byte.
constexpr size_t kFaultBytes = 3;
constexpr uint8_t kFmiMask = 0x1F;
constexpr uint8_t kSpnTopBitsMask = 0xE0;
constexpr int kSpnTopBitsShift = 3;  // bits 7-5 of the third byte are SPN bits 18-16

constexpr uint8_t kRecordTag = 0x10;
constexpr uint8_t kRecordAddress = 0x00;

uint32_t SpnOf(const uint8_t* frame) {
    return ((static_cast<uint32_t>(frame[3] & kSpnTopBitsMask) << kSpnTopBitsShift | frame[2]) << 8) | frame[1];
}

}  // namespace

std::optional<FreezeFrameSpan> FindFreezeFrame(const std::vector<uint8_t>& message, uint32_t spn, uint8_t fmi) {
    size_t offset = j1939::kHeaderSize;
    while (offset < message.size()) {
        const uint8_t length = message[offset];
        if (length == kLengthNotAvailable || length == kLengthError) return std::nullopt;
        const size_t size = static_cast<size_t>(length) + 1;
        if (size > message.size() - offset) return std::nullopt;
        const uint8_t* frame = &message[offset];
        // A frame too short to name a fault names none.
        if (length >= kFaultBytes && SpnOf(frame) == spn && (frame[3] & kFmiMask) == fmi) {
            return FreezeFrameSpan{offset, size};
        }
        offset += size;
    }
    return std::nullopt;
}

std::vector<uint8_t> FreezeFrameRecord(const std::vector<uint8_t>& message, FreezeFrameSpan frame) {
    std::vector<uint8_t> record = {kRecordTag};
    j1939::AppendPgn(record, j1939::kPgnDm4);
    record.push_back(kRecordAddress);
    const auto first = message.begin() + static_cast<std::ptrdiff_t>(frame.offset);
    record.insert(record.end(), first, first + static_cast<std::ptrdiff_t>(frame.size));
    return record;
}

}  // namespace marl
