#include "VehicleApp/discovery/RequestMessage.h"

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/receive/J1939Message.h"

namespace marl {
namespace {

constexpr uint32_t kByteMask = 0xFF;
constexpr uint32_t kBitsPerByte = 8;

// A PGN field is always three bytes: the value's bytes from the least significant end,
// padded with zeros (PGN 0 gives three zero bytes). Bits above 24 have no place on the
// bus and are dropped rather than widening the field.
void AppendPgn(std::vector<uint8_t>& message, uint32_t pgn) {
    uint32_t rest = pgn & j1939::kPgnMask;
    size_t written = 0;
    while (rest != 0) {
        message.push_back(static_cast<uint8_t>(rest & kByteMask));
        rest >>= kBitsPerByte;
        ++written;
    }
    for (; written < j1939::kPgnBytes; ++written) message.push_back(0);
}

}  // namespace

std::vector<uint8_t> BuildRequestMessage(uint32_t requestedPgn, uint8_t destination) {
    std::vector<uint8_t> message;
    message.reserve(j1939::kHeaderSize + j1939::kPgnBytes);
    AppendPgn(message, j1939::kPgnRequest);
    message.push_back(j1939::kRequestPriority);
    message.push_back(kToolAddress);
    message.push_back(destination);
    AppendPgn(message, requestedPgn);
    return message;
}

}  // namespace marl
