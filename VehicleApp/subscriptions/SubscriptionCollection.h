// The data-point subscriptions the host has made, shared by all modules, in the order
// they were made. The entries are owned here and freed last to first when the
// collection goes. The list may hold empty slots, which every operation skips.
//
// Nothing here locks: every caller holds the shared state's subscription lock, except for
// ResponderSettled, which reads atomics only.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
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

    // Makes the entry due at once and forgets who answered it.
    void Rearm(Subscription& entry);

    // The receive path saw `pgn` from `sourceAddress`: every subscription of that PGN
    // addressed globally or to that address learns who answers it.
    void NoteResponder(uint32_t pgn, uint8_t sourceAddress);
    // True when NoteResponder(pgn, sourceAddress) is known to change nothing: the entries
    // of the PGN have learnt that sender already. Every message on the bus asks, so this
    // takes no lock; a stale "no" only costs the caller the lock.
    bool ResponderSettled(uint32_t pgn, uint8_t sourceAddress) const;

private:
    static constexpr size_t kSettledSlots = 1024;
    // What NoteResponder last found for a PGN, in the PGN's slot of settled_.
    void Settle(uint32_t pgn, uint8_t sourceAddress, const std::vector<Subscription*>* ofPgn);
    void Unsettle(uint32_t pgn);
    void UnsettleAll();

    std::vector<std::unique_ptr<Subscription>> entries_;
    // The entries of each PGN, so that a message visits only its own.
    std::unordered_map<uint32_t, std::vector<Subscription*>> byPgn_;
    std::array<std::atomic<uint32_t>, kSettledSlots> settled_{};
};

}  // namespace marl
