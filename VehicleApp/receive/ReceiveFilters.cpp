#include "VehicleApp/receive/ReceiveFilters.h"

#include <algorithm>
#include <iterator>

#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {

constexpr uint32_t kSuppressedDiagnosticPgns[] = {
    j1939::kPgnDm1,  j1939::kPgnDm2,  j1939::kPgnDm6,  j1939::kPgnDm12,
    j1939::kPgnDm23, j1939::kPgnDm27, j1939::kPgnDm28, j1939::kPgn40704,
};

}  // namespace

bool IsSuppressedDiagnosticPgn(uint32_t pgn) {
    return std::find(std::begin(kSuppressedDiagnosticPgns), std::end(kSuppressedDiagnosticPgns), pgn) !=
           std::end(kSuppressedDiagnosticPgns);
}

bool HasAvailableData(const uint8_t* message, int16_t length) {
    if (length <= static_cast<int16_t>(j1939::kHeaderSize)) return false;
    const auto end = std::min(static_cast<size_t>(length), j1939::kSingleFrameLength);
    return std::any_of(message + j1939::kHeaderSize, message + end,
                       [](uint8_t byte) { return byte != j1939::kNotAvailableByte; });
}

}  // namespace marl
