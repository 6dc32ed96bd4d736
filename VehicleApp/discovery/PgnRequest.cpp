// J1939 Requests for one PGN, the one kind of message discovery, the query thread and
// the category update put on the bus.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/discovery/RequestMessage.h"

namespace marl {

uint16_t CVehicleApp::RequestPgn(int32_t sendHandle, uint32_t pgn, uint8_t destination, bool expectAnswer,
                                 uint16_t timeoutMs, uint8_t attempts) {
    return SendTimedMessage(sendHandle, BuildRequestMessage(pgn, destination), pgn, expectAnswer, attempts,
                            timeoutMs);
}

}  // namespace marl
