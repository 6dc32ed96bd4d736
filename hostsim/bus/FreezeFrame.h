// The freeze frame an ECU keeps with a trouble code and sends in its DM4: the engine's
// operating conditions when the code was set, in a fixed order after the code's four
// bytes (engine torque mode, boost pressure, engine speed, engine percent load, coolant
// temperature, vehicle speed), then whatever bytes the ECU's maker adds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace hostsim {

// One parameter of the frame with its SAE scaling: value = raw x resolution + offset.
struct FreezeFrameParameter {
    const char* key;  // its name in a scenario file
    uint32_t spn;
    unsigned bits;  // 4: the low nibble of its byte, the high one all ones
    double resolution;
    double offset;
    const char* unit;
};

// The parameters in the order the frame carries them.
const std::vector<FreezeFrameParameter>& FreezeFrameParameters();

// The raw value of a physical one, or nothing when the parameter's valid raw range
// (below J1939's error and not-available values) cannot hold it.
std::optional<uint32_t> FreezeFrameRaw(const FreezeFrameParameter& parameter, double value);

// Appends the parameter's bytes, least significant first; no value: not available.
void AppendFreezeFrameParameter(std::vector<uint8_t>& frame, const FreezeFrameParameter& parameter,
                                std::optional<uint32_t> raw);

}  // namespace hostsim
