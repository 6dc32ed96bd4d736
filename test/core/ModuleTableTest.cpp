// The module table: records, their busy protocol, and the look-ups the workers use.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/AddressText.h"
#include "VehicleApp/core/ModuleList.h"
#include "VehicleApp/core/ModuleRecord.h"
#include "VehicleApp/core/SharedState.h"

namespace marl {
namespace {

ModuleInfo Info(int16_t address, int16_t channel) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = address;
    info.channel = channel;
    return info;
}

std::shared_ptr<ModuleRecord> Record(int32_t handle, int16_t address = 0, int16_t channel = 1) {
    return std::make_shared<ModuleRecord>(handle, Info(address, channel));
}

TEST(ModuleList, InsertsWalksAndRemovesInOrder) {
    ModuleList list;
    auto a = Record(1), b = Record(2), c = Record(3);
    list.InsertAfter(nullptr, a);      // a
    list.InsertAfter(nullptr, b);      // b a
    list.InsertAfter(b.get(), c);      // b c a
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Next(nullptr), b);
    EXPECT_EQ(list.Next(b.get()), c);
    EXPECT_EQ(list.Next(c.get()), a);
    EXPECT_EQ(list.Next(a.get()), nullptr);

    EXPECT_EQ(list.Remove(c.get()), c);
    EXPECT_EQ(list.Next(b.get()), a);
    EXPECT_EQ(list.Remove(nullptr), b);  // no element given: the first goes
    EXPECT_EQ(list.Count(), 1);
    auto stranger = Record(9);
    EXPECT_EQ(list.Remove(stranger.get()), nullptr);
    EXPECT_EQ(list.Next(stranger.get()), nullptr);
    EXPECT_EQ(list.Count(), 1);
    list.Remove(nullptr);
    EXPECT_EQ(list.Remove(nullptr), nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ModuleList, RemovedRecordStaysAliveForItsUser) {
    ModuleList list;
    list.InsertAfter(nullptr, Record(4, 0x0B));
    ModuleRecordPtr held = list.Next(nullptr);
    list.Remove(nullptr);
    ASSERT_TRUE(held);
    EXPECT_EQ(held->Handle(), 4);
    EXPECT_EQ(held->EcuAddress(), 0x0B);
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
    EXPECT_EQ(rec->BusyCount(), 0);
    EXPECT_TRUE(rec->IdleEvent().IsSignalled());
    rec->SetBusy(false);
    EXPECT_EQ(rec->BusyCount(), 0) << "an extra off never goes below zero";
    EXPECT_TRUE(rec->IdleEvent().IsSignalled());
    EXPECT_FALSE(rec->WaitIdle(20));
}

TEST(ModuleRecord, WaitIdleReturnsWhenAnotherThreadFinishes) {
    auto rec = Record(8);
    rec->SetBusy(true);
    std::thread worker([rec] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        rec->SetBusy(false);
    });
    EXPECT_FALSE(rec->WaitIdle(5000));
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

TEST(ModuleRecord, ReadsTheHostFieldsAndBoundsUnterminatedTexts) {
    ModuleInfo info = Info(0x117, 2);
    std::memset(info.make, 'M', sizeof(info.make));  // no terminator inside the field
    std::strcpy(info.model, "T680");
    info.moduleId = 1002;
    info.moduleType = 74;
    ModuleRecord rec(3, info);
    EXPECT_EQ(rec.EcuAddress(), 0x17);
    EXPECT_EQ(rec.Channel(), 2);
    EXPECT_EQ(rec.ModuleId(), 1002);
    EXPECT_EQ(rec.Make(), std::string(sizeof(info.make), 'M'));
    EXPECT_EQ(rec.Model(), "T680");
    EXPECT_EQ(rec.ModuleType(), 74u);
    for (uint8_t b : rec.DecodedName()) EXPECT_EQ(b, 0xFF);
}

class ModuleTableTest : public ::testing::Test {
protected:
    SharedState shared{1};
    CVehicleApp app{1};
    void SetUp() override { app.Attach(&shared, 0); }
};

TEST_F(ModuleTableTest, CheckHandleAcceptsOneTo255) {
    EXPECT_TRUE(app.Modules().CheckHandle(1));
    EXPECT_TRUE(app.Modules().CheckHandle(255));
    EXPECT_FALSE(app.Modules().CheckHandle(0));
    EXPECT_FALSE(app.Modules().CheckHandle(256));
    EXPECT_FALSE(app.Modules().CheckHandle(-1));
}

TEST_F(ModuleTableTest, SecondModuleOnAChannelSendsThroughTheFirst) {
    ASSERT_TRUE(app.Modules().AddModuleRecord(4, Info(0x00, 1), true));
    ASSERT_TRUE(app.Modules().AddModuleRecord(6, Info(0x03, 1), false));
    ASSERT_TRUE(app.Modules().AddModuleRecord(9, Info(0x00, 2), true));
    ASSERT_TRUE(app.Modules().AddModuleRecord(12, Info(0x0B, 1), false));
    EXPECT_EQ(app.Modules().FindModule(6)->SendHandle(), 4);
    EXPECT_EQ(app.Modules().FindModule(12)->SendHandle(), 4);
    EXPECT_EQ(app.Modules().FindModule(9)->SendHandle(), 9);
    EXPECT_EQ(app.Modules().SendHandles(), (std::vector<int32_t>{4, 9}));
    EXPECT_EQ(app.Modules().Count(), 4);
}

TEST_F(ModuleTableTest, FindOperations) {
    auto engine = app.Modules().AddModuleRecord(4, Info(0x00, 1), true);
    auto brakes = app.Modules().AddModuleRecord(6, Info(0x0B, 1), false);
    engine->SetComponentSa(0x00);
    brakes->SetComponentSa(0x0B);

    EXPECT_EQ(app.Modules().FindModule(6), brakes);
    EXPECT_EQ(app.Modules().FindModule(5), nullptr);
    EXPECT_EQ(app.Modules().FindByChannel(engine.get(), 1), brakes);
    EXPECT_EQ(app.Modules().FindByChannel(nullptr, 2), nullptr);
    EXPECT_EQ(app.Modules().FindSendHandle(0x0B, 1), 4);
    EXPECT_EQ(app.Modules().FindSendHandle(0x0B, 2), kNoSendHandle);
    EXPECT_EQ(app.Modules().SourceAddressOf(6), 0x0B);
    EXPECT_EQ(app.Modules().SourceAddressOf(77), kNullAddress);

    EXPECT_EQ(app.Modules().RemoveModuleRecord(6), brakes);
    EXPECT_EQ(app.Modules().FindModule(6), nullptr);
    EXPECT_EQ(app.Modules().RemoveModuleRecord(6), nullptr);
}

TEST(AddressText, DecimalTextGivesAddressAndChannel) {
    ModuleInfo five = ModuleInfoFromAddressText(L"5");
    EXPECT_EQ(five.ecuAddress, 5);
    EXPECT_EQ(five.channel, 1);
    ModuleInfo onChannel3 = ModuleInfoFromAddressText(L"773");  // 0x305
    EXPECT_EQ(onChannel3.ecuAddress, 5);
    EXPECT_EQ(onChannel3.channel, 3);
    ModuleInfo garbage = ModuleInfoFromAddressText(L"engine");
    EXPECT_EQ(garbage.ecuAddress, 0);
    EXPECT_EQ(garbage.channel, 1);
    ModuleInfo none = ModuleInfoFromAddressText(nullptr);
    EXPECT_EQ(none.ecuAddress, 0);
    EXPECT_EQ(none.make[0], '\0');
}

}  // namespace
}  // namespace marl
