// The last DM4 (freeze frame) message received from the address a fault request is
// aimed at. The receive thread replaces it while the command thread may read it for the
// fault list, so both sides go through the store's lock and the reader gets a copy.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace marl {

struct FreezeFrameMessage {
    std::vector<uint8_t> bytes;
    uint32_t timeStamp = 0;
};

class FreezeFrameStore {
public:
    void Store(const std::vector<uint8_t>& bytes, uint32_t timeStamp);
    FreezeFrameMessage Read() const;
    void Clear();

private:
    mutable platform::CriticalSection lock_;
    FreezeFrameMessage message_;
};

}  // namespace marl
