#include "VehicleApp/receive/FreezeFrameStore.h"

namespace marl {

void FreezeFrameStore::Store(const std::vector<uint8_t>& bytes, uint32_t timeStamp) {
    platform::CsLock lock(lock_);
    message_.bytes = bytes;
    message_.timeStamp = timeStamp;
}

FreezeFrameMessage FreezeFrameStore::Read() const {
    platform::CsLock lock(lock_);
    return message_;
}

void FreezeFrameStore::Clear() {
    platform::CsLock lock(lock_);
    message_ = FreezeFrameMessage{};
}

}  // namespace marl
