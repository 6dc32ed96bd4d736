// The module table: records, their busy protocol and the look-ups the workers use; and
// the shared events.
#include <cstring>

#include "VehicleApp/boundary/AddressText.h"
#include "VehicleApp/core/ModuleList.h"
#include "VehicleApp/core/ModuleRecord.h"
#include "VehicleApp/core/SharedState.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

std::shared_ptr<ModuleRecord> Record(int32_t handle, uint8_t address = 0) {
    return std::make_shared<ModuleRecord>(handle, Info(address));
}

// The handles of the list's records, walked with Next.
std::vector<int32_t> Walk(const ModuleList& list) {
    std::vector<int32_t> handles;
    for (ModuleRecordPtr rec = list.Next(nullptr); rec; rec = list.Next(rec.get())) handles.push_back(rec->Handle());
    return handles;
}

TEST(ModuleList, InsertsWalksAndRemovesInOrder) {
    ModuleList list;
    auto a = Record(1), b = Record(2), c = Record(3);
    list.InsertAfter(nullptr, a);
    list.InsertAfter(nullptr, b);
    list.InsertAfter(b.get(), c);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{2, 3, 1}));

    EXPECT_EQ(list.Remove(c.get()), c);
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(list.Remove(nullptr), b);  // no element given: the first goes
    auto stranger = Record(9);
    EXPECT_EQ(list.Remove(stranger.get()), nullptr);
    EXPECT_EQ(list.Next(stranger.get()), nullptr);
    EXPECT_EQ(list.Count(), 1);
    ModuleRecordPtr held = list.Remove(nullptr);
    EXPECT_EQ(list.Remove(nullptr), nullptr);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(held->Handle(), 1) << "a removed record stays alive for its user";
}

TEST(ModuleRecord, BusyCountSignalsIdleOnlyWhenItReachesZero) {
    auto rec = Record(7);
    EXPECT_TRUE(rec->IdleEvent().IsSignalled());
    rec->SetBusy(true);
    rec->SetBusy(true);
    rec->SetBusy(false);
    EXPECT_EQ(rec->BusyCount(), 1);
    EXPECT_FALSE(rec->IdleEvent().IsSignalled());
    EXPECT_TRUE(rec->WaitIdle(20)) << "still busy: the wait must time out";
    rec->SetBusy(false);
    rec->SetBusy(false);
    EXPECT_EQ(rec->BusyCount(), 0) << "an extra off never goes below zero";
    EXPECT_TRUE(rec->IdleEvent().IsSignalled());
    EXPECT_FALSE(rec->WaitIdle(20));

    rec->SetBusy(true);
    std::thread worker([rec] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        rec->SetBusy(false);
    });
    EXPECT_FALSE(rec->WaitIdle(5000)) << "another thread's finish ends the wait";
    worker.join();
}

TEST(ModuleRecord, IdleEventsOfDifferentModulesAreDistinct) {
    // Handle 1 at address 10 and handle 11 at address 0 must not share an idle event.
    EXPECT_NE(IdleEventName(1, 10), IdleEventName(11, 0));
    auto first = Record(1, 10);
    auto second = Record(11, 0);
    first->SetBusy(true);
    EXPECT_FALSE(first->IdleEvent().IsSignalled());
    EXPECT_TRUE(second->IdleEvent().IsSignalled());
    first->SetBusy(false);
}

TEST(ModuleRecord, KeepsTheLowByteOfTheAddressAndBoundsUnterminatedTexts) {
    ModuleInfo info = Info(0x17, 2);
    info.ecuAddress = 0x117;
    std::memset(info.make, 'M', sizeof(info.make));  // no terminator inside the field
    ModuleRecord rec(3, info);
    EXPECT_EQ(rec.EcuAddress(), 0x17);
    EXPECT_EQ(rec.Make(), std::string(sizeof(info.make), 'M'));
}

using ModuleTableTest = AppTest;

TEST_F(ModuleTableTest, ChecksHandlesAndSendsThroughTheFirstModuleOfAChannel) {
    for (const auto& [handle, valid] : {std::pair<int32_t, bool>{0, false}, {1, true}, {255, true}, {256, false}, {-1, false}})
        EXPECT_EQ(app.Modules().CheckHandle(handle), valid) << handle;

    ModuleRecordPtr engine = AddModule(4, 0x00, 1);
    ModuleRecordPtr transmission = AddModule(6, 0x03, 1);
    AddModule(9, 0x00, 2);
    ModuleRecordPtr brakes = AddModule(12, 0x0B, 1);
    EXPECT_EQ(transmission->SendHandle(), 4);
    EXPECT_EQ(brakes->SendHandle(), 4);
    EXPECT_EQ(app.Modules().SendHandles(), (std::vector<int32_t>{4, 9}));
    EXPECT_EQ(app.Modules().Count(), 4);

    EXPECT_EQ(app.Modules().FindModule(5), nullptr);
    EXPECT_EQ(app.Modules().FindByChannel(nullptr, 3), nullptr);
    EXPECT_EQ(app.Modules().FindByChannel(brakes.get(), 1), transmission) << "the newest module of the channel but the one given";
    EXPECT_EQ(app.Modules().FindSendHandle(0x0B, 1), 4);
    EXPECT_EQ(app.Modules().FindSendHandle(0x0B, 2), kNoSendHandle);
    EXPECT_EQ(app.Modules().SourceAddressOf(12), 0x0B);
    EXPECT_EQ(app.Modules().SourceAddressOf(77), kNullAddress);
    EXPECT_EQ(app.Modules().RemoveModuleRecord(12), brakes);
    EXPECT_EQ(app.Modules().FindModule(12), nullptr);
    EXPECT_EQ(app.Modules().RemoveModuleRecord(12), nullptr);
}

// The receive thread finds its module with no lock; unregistration may remove it meanwhile.
TEST_F(ModuleTableTest, ARecordFoundUnderAGuardOutlivesItsRemovalUntilTheGuardEnds) {
    std::weak_ptr<ModuleRecord> first = AddCompletedModule(1, 0x00);
    AddCompletedModule(2, 0x00, 2);  // the same address on another channel
    {
        const ModuleTable::ReadGuard guard(app.Modules());
        ModuleRecord* found = app.Modules().FindBySourceAddress(guard, 1, 0x00);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(app.Modules().FindBySourceAddress(guard, 2, 0x00)->Handle(), 2);
        EXPECT_EQ(app.Modules().FindBySourceAddress(guard, 1, 0x03), nullptr);
        EXPECT_NE(app.Modules().RemoveModuleRecord(1), nullptr);
        EXPECT_FALSE(first.expired());
        EXPECT_EQ(found->Handle(), 1);
        EXPECT_EQ(app.Modules().FindBySourceAddress(guard, 1, 0x00), nullptr);
    }
    EXPECT_TRUE(first.expired());
    const ModuleTable::ReadGuard guard(app.Modules());
    EXPECT_EQ(app.Modules().FindBySourceAddress(guard, 2, 0x00)->Handle(), 2);
}

TEST(AddressText, DecimalTextGivesAddressAndChannel) {
    const struct {
        const wchar_t* text;
        int16_t address;
        int16_t channel;
    } cases[] = {{L"5", 5, 1}, {L"773", 5, 3} /* 0x305 */, {L"engine", 0, 1}, {nullptr, 0, 1}};
    for (const auto& c : cases) {
        const ModuleInfo info = ModuleInfoFromAddressText(c.text);
        EXPECT_EQ(info.ecuAddress, c.address);
        EXPECT_EQ(info.channel, c.channel);
        EXPECT_EQ(info.make[0], '\0');
    }
}

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
}  // namespace marl::testing
