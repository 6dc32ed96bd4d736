// The fault state of a simulated ECU: its lamps, its active and previously active trouble
// codes with their freeze frames, and how it takes a tool's requests to clear them. The
// DM1, DM2 and DM4 payloads are written from the state as it is now, so a clear shows in
// the next message.
#pragma once

#include <cstdint>
#include <vector>

#include "hostsim/HostSimTypes.h"
#include "hostsim/bus/DtcMessage.h"

namespace hostsim {

// What an ECU does with a request to clear codes (DM3: previously active, DM11: active).
// Only a request addressed to the ECU is acknowledged; one to everybody clears silently.
enum class ClearReply {
    Ack,          // clears, then acknowledges positively
    Nack,         // keeps its codes and refuses
    Ignore,       // keeps its codes and stays silent
    SilentClear,  // clears without a word
};

// What a DM4 request brings when no code has a freeze frame.
enum class NoFreezeFrameReply { Nack, Ignore };

struct SimulatedDtc {
    Dtc dtc;
    std::vector<uint8_t> freezeFrame;  // the parameters after the code; empty: no frame
};

// A lamp that is steadily on or off.
constexpr LampStatus kLampSteadyOff{kLampOff, kLampNoFlash};
constexpr LampStatus kLampSteadyOn{kLampOn, kLampNoFlash};
constexpr DtcLamps kAllLampsOff{kLampSteadyOff, kLampSteadyOff, kLampSteadyOff, kLampSteadyOff};

constexpr uint32_t kDefaultDm1PeriodMs = 1000;
// Longest freeze frame: its length byte counts the code and the parameters.
constexpr size_t kMaxFreezeFrameParameterBytes = 0xFF - kDtcBytes;

struct SimulatedFaults {
    // The lamps while a code is active; with none active every lamp is off.
    DtcLamps lamps = kAllLampsOff;
    std::vector<SimulatedDtc> active;
    std::vector<SimulatedDtc> previouslyActive;
    uint32_t dm1PeriodMs = kDefaultDm1PeriodMs;  // 0: DM1 only on request
    ClearReply dm3 = ClearReply::Ack;
    ClearReply dm11 = ClearReply::Ack;
    NoFreezeFrameReply dm4 = NoFreezeFrameReply::Nack;
};

// DM1: the lamps and the active codes.
std::vector<uint8_t> Dm1Payload(const SimulatedFaults& faults);
// DM2: the previously active codes; they light no lamp.
std::vector<uint8_t> Dm2Payload(const SimulatedFaults& faults);
// DM4: one frame per code that has one, active codes first: a length byte, the code's
// four bytes, its parameters. Empty when no code has a frame.
std::vector<uint8_t> Dm4Payload(const SimulatedFaults& faults);
size_t Dm4PayloadSize(const std::vector<SimulatedDtc>& codes);

// DM11 drops the active codes with their freeze frames, and the lamps go off; DM3 drops
// the previously active ones.
void ClearActive(SimulatedFaults& faults);
void ClearPreviouslyActive(SimulatedFaults& faults);

}  // namespace hostsim
