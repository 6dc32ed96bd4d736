#include "VehicleApp/core/SubscriptionCollection.h"

#include "VehicleApp/core/Subscription.h"
#include "platform/Platform.h"

namespace marl {

SubscriptionCollection::SubscriptionCollection() = default;

SubscriptionCollection::~SubscriptionCollection() {
    while (!entries_.empty()) entries_.pop_back();
}

void SubscriptionCollection::NoteResponder(uint32_t pgn, uint8_t sourceAddress) {
    constexpr uint8_t kGlobal = 0xFF;
    for (const std::unique_ptr<Subscription>& entry : entries_) {
        if (!entry || entry->pgn != pgn) continue;
        if (entry->destination != kGlobal && entry->destination != sourceAddress) continue;
        // The global address is never a sender; a message claiming it is not an answer.
        if (sourceAddress == kGlobal) {
            platform::DebugOutput(L"Invalid address.");
            continue;
        }
        if (entry->responder < 0) {
            entry->responder = sourceAddress;
        } else if (entry->responder < kSeveralResponders && entry->responder != sourceAddress) {
            entry->responder = kSeveralResponders;
        }
    }
}

}  // namespace marl
