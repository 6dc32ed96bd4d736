// The shared events.
#include <gtest/gtest.h>

#include "VehicleApp/core/SharedState.h"

namespace marl {
namespace {

TEST(SharedState, ANewStateDoesNotInheritTheLastOnesSignalsAndAPauseEndsOnExit) {
    {
        SharedState first(1);
        first.ExitEvent().Set();
        first.SignalQuery();
        first.SetConnected(false);
    }
    SharedState shared(1);
    EXPECT_FALSE(shared.ExitEvent().IsSignalled());
    EXPECT_FALSE(shared.QueryEvent().IsSignalled());
    EXPECT_TRUE(shared.ConnectedEvent().IsSignalled());

    EXPECT_FALSE(shared.PauseOrExit(1));
    shared.ExitEvent().Set();
    EXPECT_TRUE(shared.PauseOrExit(10000));
    EXPECT_TRUE(PauseStops(nullptr, 10000)) << "no shared state counts as an exit";
}

}  // namespace
}  // namespace marl
