// The data-point subscriptions the host has made, shared by all modules. The entries are
// owned here and freed last to first when the collection goes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace marl {

struct Subscription;

class SubscriptionCollection {
public:
    SubscriptionCollection();
    virtual ~SubscriptionCollection();
    SubscriptionCollection(const SubscriptionCollection&) = delete;
    SubscriptionCollection& operator=(const SubscriptionCollection&) = delete;

    std::vector<std::unique_ptr<Subscription>>& Entries() { return entries_; }
    const std::vector<std::unique_ptr<Subscription>>& Entries() const { return entries_; }

    // The receive path saw `pgn` from `sourceAddress`: every subscription of that PGN
    // addressed globally or to that address learns who answers it. The caller holds the
    // subscription lock.
    void NoteResponder(uint32_t pgn, uint8_t sourceAddress);

private:
    std::vector<std::unique_ptr<Subscription>> entries_;
};

}  // namespace marl
