// The data-point subscriptions the host has made, shared by all modules, in the order
// they were made. The entries are owned here and freed last to first when the
// collection goes. The list may hold empty slots, which every operation skips.
//
// Nothing here locks: every caller holds the shared state's subscription lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace marl {

struct Subscription;

// A position in the list for a walk that lets go of the lock between entries: it starts
// before the first slot and moves by index, so entries added or removed meanwhile never
// leave it pointing at freed memory.
struct SubscriptionCursor {
    size_t next = 0;
};

class SubscriptionCollection {
public:
    SubscriptionCollection();
    virtual ~SubscriptionCollection();
    SubscriptionCollection(const SubscriptionCollection&) = delete;
    SubscriptionCollection& operator=(const SubscriptionCollection&) = delete;

    std::vector<std::unique_ptr<Subscription>>& Entries() { return entries_; }
    const std::vector<std::unique_ptr<Subscription>>& Entries() const { return entries_; }

    // The first entry for this data point and destination, or null.
    Subscription* Find(uint32_t teskId, uint8_t destination) const;
    // Appends the entry; an empty one is not added.
    void Add(std::unique_ptr<Subscription> entry);
    // Frees every entry for this data point and destination, and every empty slot.
    void Remove(uint32_t teskId, uint8_t destination);
    // A request for `pgn` went to `destination` at `now`: the entries of that PGN at that
    // destination (at every destination when it went to the global address) count it.
    // `sameConnection` lists the modules whose requests go out on the connection the
    // request went out on; entries of modules on other channels were not served by it.
    // Empty: every module counts.
    void MarkRequested(uint32_t pgn, uint8_t destination, uint32_t now,
                       const std::vector<int32_t>& sameConnection = {});
    // The next entry after the cursor, skipping empty slots; null at the end. The list's
    // size is read anew at every step.
    Subscription* Next(SubscriptionCursor& cursor) const;

    // The receive path saw `pgn` from `sourceAddress`: every subscription of that PGN
    // addressed globally or to that address learns who answers it.
    void NoteResponder(uint32_t pgn, uint8_t sourceAddress);

private:
    std::vector<std::unique_ptr<Subscription>> entries_;
};

}  // namespace marl
