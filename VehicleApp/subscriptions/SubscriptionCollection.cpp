#include "VehicleApp/subscriptions/SubscriptionCollection.h"

#include <algorithm>

#include "VehicleApp/subscriptions/Subscription.h"
#include "platform/Platform.h"

namespace marl {
namespace {
constexpr uint8_t kGlobal = 0xFF;
}  // namespace

SubscriptionCollection::SubscriptionCollection() = default;

SubscriptionCollection::~SubscriptionCollection() {
    while (!entries_.empty()) entries_.pop_back();
}

Subscription* SubscriptionCollection::Find(uint32_t teskId, uint8_t destination) const {
    for (const std::unique_ptr<Subscription>& entry : entries_) {
        if (entry && entry->teskId == teskId && entry->destination == destination) return entry.get();
    }
    return nullptr;
}

void SubscriptionCollection::Add(std::unique_ptr<Subscription> entry) {
    if (entry) entries_.push_back(std::move(entry));
}

void SubscriptionCollection::Remove(uint32_t teskId, uint8_t destination) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const std::unique_ptr<Subscription>& entry) {
                                      return !entry || (entry->teskId == teskId && entry->destination == destination);
                                  }),
                   entries_.end());
}

void SubscriptionCollection::MarkRequested(uint32_t pgn, uint8_t destination, uint32_t now,
                                           const std::vector<int32_t>& sameConnection) {
    for (const std::unique_ptr<Subscription>& entry : entries_) {
        if (!entry || entry->pgn != pgn) continue;
        if (!sameConnection.empty() &&
            std::find(sameConnection.begin(), sameConnection.end(), entry->moduleHandle) == sameConnection.end())
            continue;
        if (destination != kGlobal && entry->destination != destination) continue;
        entry->lastRequestTime = now;
        ++entry->requestCount;
    }
}

Subscription* SubscriptionCollection::Next(SubscriptionCursor& cursor) const {
    while (cursor.next < entries_.size()) {
        Subscription* entry = entries_[cursor.next++].get();
        if (entry != nullptr) return entry;
    }
    return nullptr;
}

void SubscriptionCollection::NoteResponder(uint32_t pgn, uint8_t sourceAddress) {
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
