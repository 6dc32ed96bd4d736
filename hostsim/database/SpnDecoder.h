// The host's decoding of one parameter (SPN) out of the data of a received message:
// raw field, J1939 not-available ranges, scaling and the value text with its unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

// Text the host shows for a parameter the ECU reports as not available (or does not
// send at all).
constexpr const wchar_t* kNotAvailableText = L"N/A";

struct DecodedSpn {
    bool available = false;
    std::vector<uint8_t> raw;   // the field's bytes (numbers little-endian, texts as sent)
    double value = 0.0;         // Number and States: the scaled value
    std::wstring text;          // the value text, kNotAvailableText when not available
};

DecodedSpn DecodeSpn(const SpnLayout& layout, const uint8_t* data, size_t length);

// J1939's not-available (and error) values of a raw field of a number of bits: for whole
// bytes the top range from 0xFB.. up (0xFB-0xFF, 0xFB00-0xFFFF, ...), for bit fields the
// value with every bit set.
bool IsNotAvailable(uint64_t raw, unsigned bits);

// A scaled value with as many decimals as the resolution has (at most six), without
// trailing zeros.
std::string FormatScaled(double value, double resolution);

}  // namespace hostsim
