#include "VehicleApp/core/SubscriptionCollection.h"

#include "VehicleApp/core/Subscription.h"

namespace marl {

SubscriptionCollection::SubscriptionCollection() = default;

SubscriptionCollection::~SubscriptionCollection() {
    while (!entries_.empty()) entries_.pop_back();
}

}  // namespace marl
