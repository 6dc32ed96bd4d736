// Modules, playback, bus device, system time and the NAME table.
#include <cstdint>

#include "test/hostsim/HostSimFixture.h"

TEST_F(HostSimTest, ModuleIdsPerHandleAndTheListsOfModules) {
    ZModuleId id = 0;
    ZModuleId ids[50] = {};
    int32_t count = 50;
    EXPECT_EQ(Zorv_GetModuleIDs(ids, &count, 1), 0);
    EXPECT_EQ(count, 0) << "no modules before a test names them";
    EXPECT_EQ(Zorv_GetModuleIDFromHandle(1, &id), 0);
    EXPECT_EQ(id, zorv::kModuleIdMarlJ1939);

    hostsim::SetModuleId(1, zorv::kModuleIdMarlJ1939);
    hostsim::SetModuleId(5, zorv::kModuleIdJ1708App);
    hostsim::SetModuleId(6, zorv::kModuleIdJ1708App);
    EXPECT_EQ(Zorv_GetModuleIDFromHandle(5, &id), 0);
    EXPECT_EQ(id, zorv::kModuleIdJ1708App);
    count = 50;
    EXPECT_EQ(Zorv_GetModuleIDs(ids, &count, 1), 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(ids[1], zorv::kModuleIdJ1708App);

    ZModuleHandle handles[1] = {};
    count = 1;
    EXPECT_EQ(Zorv_GetModuleHandles(zorv::kModuleIdJ1708App, &count, handles), 0);
    EXPECT_EQ(count, 1) << "never more than the caller has room for";
    EXPECT_EQ(handles[0], 5);
    hostsim::SetResult("Zorv_GetModuleHandles", 2);
    EXPECT_EQ(Zorv_GetModuleHandles(zorv::kModuleIdJ1708App, &count, handles), 2);
    EXPECT_EQ(count, 0) << "a failed list is empty";
}

TEST_F(HostSimTest, PlaybackDeviceAndProduct) {
    uint32_t status = 99;
    EXPECT_EQ(Zorv_GetModulePlaybackStatus(zorv::kModuleIdMarlJ1939, &status), 0);
    EXPECT_EQ(status, 0u);
    hostsim::SetPlaybackStatus(1);
    EXPECT_EQ(Zorv_GetModulePlaybackStatus(zorv::kModuleIdMarlJ1939, &status), 0);
    EXPECT_EQ(status, 1u);

    auto deviceId = Lookup<zorv::GetDeviceIdFn>(zorv::kLookupGetDeviceId);
    auto productId = Lookup<zorv::GetDeviceProductIdFn>(zorv::kLookupGetDeviceProductId);
    uint16_t device = 0;
    int16_t product = -1;
    EXPECT_EQ(deviceId(L"J1939", &device), 0);
    EXPECT_EQ(device, hostsim::kDefaultDeviceId);
    hostsim::SetProductId(0x47);
    EXPECT_EQ(productId(&product), 0);
    EXPECT_EQ(product, 0x47);
}

TEST_F(HostSimTest, FrozenSystemTimeStepsOnlyWhenAdvanced) {
    hostsim::SetSysTime(0xFFFFFF00u);
    EXPECT_EQ(Zorv_GetSysTime(), 0xFFFFFF00u);
    hostsim::AdvanceSysTime(0x200);
    EXPECT_EQ(Zorv_GetSysTime(), 0x100u) << "the host's time wraps at 2^32";
}

TEST_F(HostSimTest, NamesAndTheArbitraryAddressCheckATestSets) {
    auto getName = Lookup<zorv::GetJ1939NameFn>(zorv::kLookupGetJ1939Name);
    auto assignable = Lookup<zorv::CheckAssignableFn>(zorv::kLookupCheckAssignable);
    J1939DecodedName name{};
    EXPECT_EQ(getName(0x33, &name), hostsim::kResultNotFound);
    J1939DecodedName tire{};
    tire.function = 38;
    hostsim::SetJ1939Name(0x33, tire);
    EXPECT_EQ(getName(0x33, &name), 0);
    EXPECT_EQ(name.function, 38);

    EXPECT_EQ(assignable(0x33, 1), 0);
    hostsim::SetAssignable(0x33, 1, true);
    EXPECT_NE(assignable(0x33, 1), 0);
    EXPECT_EQ(assignable(0x34, 1), 0);
    hostsim::SetAssignableDefault(true);
    EXPECT_NE(assignable(0x34, 1), 0);
}
