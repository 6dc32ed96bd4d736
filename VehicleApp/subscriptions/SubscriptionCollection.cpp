#include "VehicleApp/subscriptions/SubscriptionCollection.h"

#include <algorithm>

#include "VehicleApp/subscriptions/Subscription.h"
#include "platform/Platform.h"

namespace marl {
namespace {
constexpr uint8_t kGlobal = 0xFF;

// A settled slot: a valid mark, the PGN (18 bits) and who may send it with no change: one
// address, or anyone once no entry of the PGN can learn more.
constexpr uint32_t kSettledValid = 0x80000000u;
constexpr unsigned kSettledPgnShift = 9;
constexpr uint32_t kSettledPgnMask = 0x3FFFF;
constexpr uint32_t kSettledSenderMask = 0x1FF;
constexpr uint32_t kAnySender = 0x100;

uint32_t SettledWord(uint32_t pgn, uint32_t sender) {
    return kSettledValid | (pgn & kSettledPgnMask) << kSettledPgnShift | sender;
}

// Whether a message from `sourceAddress` would leave `entry` as it is.
bool Learnt(const Subscription& entry, uint8_t sourceAddress) {
    if (entry.destination != kGlobal && entry.destination != sourceAddress) return true;
    return entry.responder == kSeveralResponders || entry.responder == sourceAddress;
}
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
    if (!entry) return;
    byPgn_[entry->pgn].push_back(entry.get());
    Unsettle(entry->pgn);
    entries_.push_back(std::move(entry));
}

void SubscriptionCollection::Rearm(Subscription& entry) {
    marl::Rearm(entry);
    Unsettle(entry.pgn);
}

void SubscriptionCollection::Remove(uint32_t teskId, uint8_t destination) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const std::unique_ptr<Subscription>& entry) {
                                      return !entry || (entry->teskId == teskId && entry->destination == destination);
                                  }),
                   entries_.end());
    byPgn_.clear();
    for (const std::unique_ptr<Subscription>& entry : entries_) byPgn_[entry->pgn].push_back(entry.get());
    UnsettleAll();
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
    const auto found = byPgn_.find(pgn);
    const std::vector<Subscription*>* ofPgn = found == byPgn_.end() ? nullptr : &found->second;
    for (Subscription* entry : ofPgn != nullptr ? *ofPgn : std::vector<Subscription*>{}) {
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
    Settle(pgn, sourceAddress, ofPgn);
}

void SubscriptionCollection::Settle(uint32_t pgn, uint8_t sourceAddress, const std::vector<Subscription*>* ofPgn) {
    // A message claiming the global address is reported every time it comes.
    if (sourceAddress == kGlobal) return;
    bool anySender = true;
    bool thisSender = true;
    for (const Subscription* entry : ofPgn != nullptr ? *ofPgn : std::vector<Subscription*>{}) {
        // An addressed entry learns only from its destination; a global one is done once
        // several have answered.
        anySender = anySender && (entry->responder == kSeveralResponders ||
                                  (entry->destination != kGlobal && entry->responder == entry->destination));
        thisSender = thisSender && Learnt(*entry, sourceAddress);
    }
    if (!thisSender) return;
    settled_[pgn % kSettledSlots].store(SettledWord(pgn, anySender ? kAnySender : sourceAddress));
}

void SubscriptionCollection::Unsettle(uint32_t pgn) { settled_[pgn % kSettledSlots].store(0); }

void SubscriptionCollection::UnsettleAll() {
    for (std::atomic<uint32_t>& slot : settled_) slot.store(0);
}

bool SubscriptionCollection::ResponderSettled(uint32_t pgn, uint8_t sourceAddress) const {
    // A message claiming the global address is reported every time it comes.
    if (sourceAddress == kGlobal) return false;
    const uint32_t word = settled_[pgn % kSettledSlots].load();
    if ((word & kSettledValid) == 0 || (word >> kSettledPgnShift & kSettledPgnMask) != (pgn & kSettledPgnMask))
        return false;
    const uint32_t sender = word & kSettledSenderMask;
    return sender == kAnySender || sender == sourceAddress;
}

}  // namespace marl
