#include "VehicleApp/receive/J1939Message.h"

namespace marl::j1939 {

uint32_t ReadPgn(const uint8_t* bytes) {
    constexpr uint32_t kBitsPerByte = 8;
    uint32_t pgn = 0;
    for (size_t i = kPgnBytes; i > 0; --i) pgn = (pgn << kBitsPerByte) | bytes[i - 1];
    return pgn;
}

}  // namespace marl::j1939
