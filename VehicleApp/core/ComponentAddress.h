// Which component of a parameter file describes an ECU: components are named after the
// source address the ECU's J1939 function normally claims.
#pragma once

#include <cstdint>
#include <string>

namespace marl {

// The parameter file that describes every ECU by the component of its address.
constexpr const wchar_t* kDefaultParameterFile = L"MARL_J1939.BIN";

// The preferred address of a J1939 function; the null address 0xFE for a function the
// parameter files have no component for.
uint8_t ComponentAddressForFunction(uint8_t function);

// Brake controllers claim several addresses but share the component of 0x0B.
constexpr uint8_t kBrakeComponentAddress = 0x0B;
uint8_t FoldComponentAddress(uint8_t address);
// The further addresses of the brakes (not 0x0B itself).
bool IsBrakeAddress(uint8_t address);
// The brakes at any of their addresses, 0x0B included.
bool IsBrakeController(uint8_t address);

// "SA_" and the address in upper-case hex, at least two digits ("SA_0B", "SA_100").
std::string ComponentName(uint32_t address);

}  // namespace marl
