#include "hostsim/bus/FreezeFrame.h"

#include <cmath>

#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr unsigned kByteBits = 8;
constexpr uint32_t kByteMask = 0xFF;
// Highest valid raw values; above them J1939 reserves error and not-available codes.
constexpr uint32_t kMaxValidNibble = 0x0F;
constexpr uint32_t kMaxValidByte = 0xFA;
constexpr uint32_t kMaxValidWord = 0xFAFF;

uint32_t MaxValid(unsigned bits) {
    if (bits < kByteBits) return kMaxValidNibble;
    return bits == kByteBits ? kMaxValidByte : kMaxValidWord;
}

size_t BytesOf(unsigned bits) { return (bits + kByteBits - 1) / kByteBits; }

}  // namespace

const std::vector<FreezeFrameParameter>& FreezeFrameParameters() {
    static const std::vector<FreezeFrameParameter> parameters = {
        {"engineTorqueMode", 899, 4, 1.0, 0.0, ""},
        {"boostPressureKpa", 102, 8, 2.0, 0.0, "kPa"},
        {"engineSpeedRpm", 190, 16, 0.125, 0.0, "rpm"},
        {"engineLoadPercent", 92, 8, 1.0, 0.0, "%"},
        {"coolantTemperatureC", 110, 8, 1.0, -40.0, "\u00B0C"},
        {"vehicleSpeedKmh", 84, 16, 1.0 / 256.0, 0.0, "km/h"},
    };
    return parameters;
}

std::optional<uint32_t> FreezeFrameRaw(const FreezeFrameParameter& parameter, double value) {
    double raw = std::round((value - parameter.offset) / parameter.resolution);
    if (!std::isfinite(raw) || raw < 0.0 || raw > MaxValid(parameter.bits)) return std::nullopt;
    return static_cast<uint32_t>(raw);
}

void AppendFreezeFrameParameter(std::vector<uint8_t>& frame, const FreezeFrameParameter& parameter,
                                std::optional<uint32_t> raw) {
    size_t bytes = BytesOf(parameter.bits);
    if (!raw) {
        frame.insert(frame.end(), bytes, j1939::kNotAvailableByte);
        return;
    }
    // Bits the parameter leaves free in its byte are sent as ones, as J1939 wants.
    uint32_t value = *raw | (~0u << parameter.bits);
    for (size_t i = 0; i < bytes; ++i) frame.push_back(static_cast<uint8_t>((value >> (kByteBits * i)) & kByteMask));
}

}  // namespace hostsim
