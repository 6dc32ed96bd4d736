#include "hostsim/bus/J1939Message.h"

#include <cstring>

namespace hostsim {
namespace {

constexpr unsigned kPriorityShift = 26;
constexpr unsigned kPgnShift = 8;
constexpr unsigned kByteBits = 8;
constexpr uint32_t kByteMask = 0xFF;
constexpr uint32_t kPriorityMask = 0x7;
constexpr unsigned kFormatShift = 16;
constexpr unsigned kPageShift = 24;
constexpr uint32_t kPageMask = 0x3;

}  // namespace

bool J1939Message::operator==(const J1939Message& other) const {
    return pgn == other.pgn && priority == other.priority && source == other.source &&
           destination == other.destination && data == other.data;
}

std::vector<uint8_t> ToHostLayout(const J1939Message& message) {
    std::vector<uint8_t> bytes(HostLayoutSize(message));
    WriteHostLayout(message, bytes.data());
    return bytes;
}

size_t HostLayoutSize(const J1939Message& message) { return j1939::kHeaderSize + message.data.size(); }

void WriteHostLayout(const J1939Message& message, uint8_t* out) {
    for (size_t i = 0; i < j1939::kPgnBytes; ++i) out[i] = static_cast<uint8_t>(message.pgn >> (kByteBits * i));
    out[j1939::kPriorityIndex] = message.priority;
    out[j1939::kSourceIndex] = message.source;
    out[j1939::kDestinationIndex] = message.destination;
    if (!message.data.empty()) std::memcpy(out + j1939::kHeaderSize, message.data.data(), message.data.size());
}

std::optional<J1939Message> FromHostLayout(const uint8_t* bytes, size_t length) {
    if (bytes == nullptr || length < j1939::kHeaderSize) return std::nullopt;
    J1939Message message;
    message.pgn = j1939::ReadPgn(bytes);
    message.priority = bytes[j1939::kPriorityIndex];
    message.source = bytes[j1939::kSourceIndex];
    message.destination = bytes[j1939::kDestinationIndex];
    message.data.assign(bytes + j1939::kHeaderSize, bytes + length);
    return message;
}

bool IsPdu1(ZPgn pgn) { return ((pgn >> j1939::kPgnFormatShift) & kByteMask) < j1939::kFirstPdu2Format; }

uint32_t CanIdOf(const J1939Message& message) {
    ZPgn pgn = message.pgn & j1939::kPgnMask;
    if (IsPdu1(pgn)) pgn = (pgn & j1939::kPgnPageAndFormatMask) | message.destination;
    return ((message.priority & kPriorityMask) << kPriorityShift) | (pgn << kPgnShift) | message.source;
}

J1939Message HeaderOfCanId(uint32_t canId) {
    J1939Message message;
    ReadCanId(canId, message);
    return message;
}

void ReadCanId(uint32_t canId, J1939Message& message) {
    message.priority = static_cast<uint8_t>((canId >> kPriorityShift) & kPriorityMask);
    message.source = static_cast<uint8_t>(canId & kByteMask);
    uint32_t format = (canId >> kFormatShift) & kByteMask;
    uint32_t specific = (canId >> kPgnShift) & kByteMask;
    uint32_t page = (canId >> kPageShift) & kPageMask;
    ZPgn pgn = (page << kFormatShift) | (format << kPgnShift);
    if (format < j1939::kFirstPdu2Format) {
        message.destination = static_cast<uint8_t>(specific);
    } else {
        pgn |= specific;
        message.destination = j1939::kGlobalAddress;
    }
    message.pgn = pgn;
}

}  // namespace hostsim
