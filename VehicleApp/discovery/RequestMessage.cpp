#include "VehicleApp/discovery/RequestMessage.h"

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/J1939Constants.h"

namespace marl {
std::vector<uint8_t> BuildRequestMessage(uint32_t requestedPgn, uint8_t destination) {
    std::vector<uint8_t> message;
    message.reserve(j1939::kHeaderSize + j1939::kPgnBytes);
    j1939::AppendPgn(message, j1939::kPgnRequest);
    message.push_back(j1939::kRequestPriority);
    message.push_back(kToolAddress);
    message.push_back(destination);
    j1939::AppendPgn(message, requestedPgn);
    return message;
}

}  // namespace marl
