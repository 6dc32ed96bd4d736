// The shared events.
#include <gtest/gtest.h>

#include "VehicleApp/core/SharedState.h"

namespace marl {
namespace {

TEST(SharedState, ANewStateDoesNotInheritTheLastOnesSignals) {
    {
        SharedState first(1);
        first.ExitEvent().Set();
        first.SignalQuery();
        first.SetConnected(false);
    }
    SharedState second(1);
    EXPECT_FALSE(second.ExitEvent().IsSignalled());
    EXPECT_FALSE(second.QueryEvent().IsSignalled());
    EXPECT_TRUE(second.ConnectedEvent().IsSignalled());
}

TEST(SharedState, APauseEndsAtOnceOnceExitIsSignalled) {
    SharedState shared(1);
    EXPECT_FALSE(shared.PauseOrExit(1));
    shared.ExitEvent().Set();
    EXPECT_TRUE(shared.PauseOrExit(10000));
    EXPECT_TRUE(PauseStops(nullptr, 10000)) << "no shared state counts as an exit";
}

}  // namespace
}  // namespace marl
