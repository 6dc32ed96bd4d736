// The shared events and the query thread's one-time start.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/core/ModuleRecord.h"

namespace marl {
namespace {

TEST(SharedState, ConnectedStartsSignalledAndTheOthersReset) {
    SharedState shared(1);
    ASSERT_TRUE(shared.Valid());
    EXPECT_TRUE(shared.ConnectedEvent().IsSignalled());
    EXPECT_FALSE(shared.ExitEvent().IsSignalled());
    EXPECT_FALSE(shared.WaitEvent().IsSignalled());
    EXPECT_FALSE(shared.QueryEvent().IsSignalled());
    EXPECT_EQ(shared.FirstModuleHandle(), 1);
    EXPECT_EQ(shared.Modules()->Count(), 0);
}

TEST(SharedState, SettersDriveTheirEvents) {
    SharedState shared(1);
    shared.SetConnected(false);
    EXPECT_FALSE(shared.ConnectedEvent().IsSignalled());
    shared.SetConnected(true);
    EXPECT_TRUE(shared.ConnectedEvent().IsSignalled());
    shared.SetWait(true);
    EXPECT_TRUE(shared.WaitEvent().IsSignalled());
    shared.SetWait(false);
    EXPECT_FALSE(shared.WaitEvent().IsSignalled());
    shared.SignalQuery();
    EXPECT_TRUE(shared.QueryEvent().IsSignalled());
}

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

TEST(SharedState, ExitIsSignalledOnlyForTheLastModule) {
    SharedState shared(1);
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    shared.Modules()->InsertAfter(nullptr, std::make_shared<ModuleRecord>(1, info));
    shared.Modules()->InsertAfter(nullptr, std::make_shared<ModuleRecord>(2, info));
    shared.SignalExitIfLast();
    EXPECT_FALSE(shared.ExitEvent().IsSignalled()) << "two modules registered: not the last";
    shared.Modules()->Remove(nullptr);
    shared.SignalExitIfLast();
    EXPECT_TRUE(shared.ExitEvent().IsSignalled());
    EXPECT_TRUE(shared.PauseOrExit(10000)) << "a pause ends at once once exit is signalled";
}

TEST(SharedState, QueryThreadStartsOnceAndStopsAtExit) {
    std::atomic<int> runs{0};
    {
        SharedState shared(1);
        auto body = [&shared, &runs] {
            ++runs;
            while (!shared.PauseOrExit(10)) {
            }
            shared.SignalQuery();
        };
        EXPECT_FALSE(shared.QueryThreadStarted());
        EXPECT_TRUE(shared.StartQueryThread(body));
        EXPECT_FALSE(shared.StartQueryThread(body));
        EXPECT_TRUE(shared.QueryThreadStarted());
        shared.ExitEvent().Set();
        EXPECT_EQ(shared.QueryEvent().Wait(5000), platform::WaitResult::Signalled);
    }
    EXPECT_EQ(runs.load(), 1);
}

TEST(SharedState, DestructionStopsARunningQueryThread) {
    std::atomic<bool> ended{false};
    {
        SharedState shared(1);
        shared.StartQueryThread([&shared, &ended] {
            while (!shared.PauseOrExit(10)) {
            }
            ended = true;
        });
    }
    EXPECT_TRUE(ended.load()) << "the destructor must not return while the thread still runs";
}

}  // namespace
}  // namespace marl
