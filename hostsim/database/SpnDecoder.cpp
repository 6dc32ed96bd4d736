#include "hostsim/database/SpnDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "hostsim/TextConvert.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr unsigned kByteBits = 8;
constexpr unsigned kMaxNumberBits = 32;
constexpr uint64_t kFirstNotAvailableByte = 0xFB;
constexpr char kFieldSeparator = '*';
constexpr uint8_t kPaddingZero = 0x00;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr char kUnprintable = '?';
constexpr int kMaxDecimals = 6;
constexpr double kDecimalTolerance = 1e-9;
constexpr double kDecimalBase = 10.0;
constexpr size_t kNumberTextSize = 64;

DecodedSpn NotAvailable() {
    DecodedSpn decoded;
    decoded.text = kNotAvailableText;
    return decoded;
}

// Bit offset of the field from the start of the data (startByte and startBit count from 1).
size_t FirstBit(const SpnLayout& layout) {
    return static_cast<size_t>(layout.startByte - 1) * kByteBits + (layout.startBit - 1);
}

bool Fits(const SpnLayout& layout, size_t length) {
    if (layout.startByte == 0 || layout.startBit == 0 || layout.bits == 0) return false;
    return FirstBit(layout) + layout.bits <= length * kByteBits;
}

uint64_t ReadBits(const uint8_t* data, size_t firstBit, unsigned bits) {
    uint64_t raw = 0;
    for (unsigned i = 0; i < bits; ++i) {
        size_t bit = firstBit + i;
        if ((data[bit / kByteBits] >> (bit % kByteBits)) & 1u) raw |= uint64_t{1} << i;
    }
    return raw;
}

std::vector<uint8_t> RawBytes(uint64_t raw, unsigned bits) {
    std::vector<uint8_t> bytes((bits + kByteBits - 1) / kByteBits);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(raw >> (kByteBits * i));
    return bytes;
}

std::wstring WithUnit(const std::string& number, const std::string& unit) {
    return Utf8ToWide(unit.empty() ? number : number + " " + unit);
}

std::wstring Printable(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        text += (byte >= kFirstPrintable && byte != kDelete) ? static_cast<char>(byte) : kUnprintable;
    }
    return Latin1ToWide(text.data(), text.size());
}

DecodedSpn DecodeNumber(const SpnLayout& layout, const uint8_t* data, size_t length) {
    if (layout.bits > kMaxNumberBits || !Fits(layout, length)) return NotAvailable();
    uint64_t raw = ReadBits(data, FirstBit(layout), layout.bits);
    if (IsNotAvailable(raw, layout.bits)) return NotAvailable();
    DecodedSpn decoded;
    decoded.available = true;
    decoded.raw = RawBytes(raw, layout.bits);
    decoded.value = static_cast<double>(raw) * layout.resolution + layout.offset;
    if (layout.type == SpnLayout::Type::States) {
        auto state = layout.states.find(static_cast<uint32_t>(raw));
        decoded.text = state != layout.states.end() ? Utf8ToWide(state->second)
                                                    : Utf8ToWide(std::to_string(raw));
    } else {
        decoded.text = WithUnit(FormatScaled(decoded.value, layout.resolution), layout.unit);
    }
    return decoded;
}

DecodedSpn DecodeText(const SpnLayout& layout, const uint8_t* data, size_t length) {
    if (layout.startByte == 0 || layout.startByte > length) return NotAvailable();
    // Fields are separated by '*': skip to the one wanted and take it up to the next.
    const uint8_t* at = data + (layout.startByte - 1);
    const uint8_t* const end = data + length;
    for (size_t skipped = 0; skipped < layout.field; ++skipped) {
        at = std::find(at, end, kFieldSeparator);
        if (at == end) return NotAvailable();
        ++at;
    }
    std::vector<uint8_t> field(at, std::find(at, end, kFieldSeparator));
    // A text shorter than a single frame is padded to eight bytes.
    while (!field.empty() && (field.back() == j1939::kPaddingByte || field.back() == kPaddingZero)) field.pop_back();
    if (field.empty()) return NotAvailable();
    DecodedSpn decoded;
    decoded.available = true;
    decoded.text = Printable(field);
    decoded.raw = std::move(field);
    return decoded;
}

DecodedSpn DecodeAscii(const SpnLayout& layout, const uint8_t* data, size_t length) {
    if (layout.bits % kByteBits != 0 || !Fits(layout, length)) return NotAvailable();
    const uint8_t* first = data + (layout.startByte - 1);
    std::vector<uint8_t> bytes(first, first + layout.bits / kByteBits);
    bool allPadding = true;
    for (uint8_t byte : bytes) allPadding = allPadding && byte == j1939::kPaddingByte;
    if (allPadding) return NotAvailable();
    DecodedSpn decoded;
    decoded.available = true;
    decoded.text = Printable(bytes);
    decoded.raw = std::move(bytes);
    return decoded;
}

}  // namespace

DecodedSpn DecodeSpn(const SpnLayout& layout, const uint8_t* data, size_t length) {
    if (data == nullptr) return NotAvailable();
    switch (layout.type) {
        case SpnLayout::Type::Text:
            return DecodeText(layout, data, length);
        case SpnLayout::Type::Ascii:
            return DecodeAscii(layout, data, length);
        case SpnLayout::Type::Number:
        case SpnLayout::Type::States:
            break;
    }
    return DecodeNumber(layout, data, length);
}

bool IsNotAvailable(uint64_t raw, unsigned bits) {
    if (bits == 0) return true;
    if (bits >= kByteBits && bits % kByteBits == 0) return raw >= (kFirstNotAvailableByte << (bits - kByteBits));
    return raw == (uint64_t{1} << bits) - 1;
}

std::string FormatScaled(double value, double resolution) {
    int decimals = 0;
    double scaled = std::fabs(resolution);
    while (decimals < kMaxDecimals && std::fabs(scaled - std::round(scaled)) > kDecimalTolerance) {
        scaled *= kDecimalBase;
        ++decimals;
    }
    char buffer[kNumberTextSize];
    std::snprintf(buffer, sizeof(buffer), "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

}  // namespace hostsim
