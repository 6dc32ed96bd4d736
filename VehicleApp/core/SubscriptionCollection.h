// The data-point subscriptions the host has made, shared by all modules. The entries are
// owned here and freed last to first when the collection goes.
#pragma once

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

private:
    std::vector<std::unique_ptr<Subscription>> entries_;
};

}  // namespace marl
