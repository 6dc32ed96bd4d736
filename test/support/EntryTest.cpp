#include "test/support/EntryTest.h"

#include "j1939/Protocol.h"

#include "VehicleApp/boundary/AppInstance.h"
#include "test/support/AppTest.h"

extern "C" zorv::PluginDescriptor* GetDllInfo();

namespace marl::testing {
void* EntryAddress(uint32_t id) { return zorv::FindEntry(GetDllInfo(), id); }

std::vector<SeenRequest> RequestsSeen(uint32_t sinceMs, int channel, uint32_t pgn) {
    std::vector<SeenRequest> seen;
    for (const auto& record : hostsim::Traffic()) {
        if (!record.fromTool || record.pgn != j1939::kPgnRequest || record.data.size() < 3 || record.timeMs < sinceMs)
            continue;
        const uint32_t requested = record.data[0] | record.data[1] << 8 | record.data[2] << 16;
        if ((channel != 0 && record.channel != channel) || (pgn != 0 && requested != pgn)) continue;
        seen.push_back(SeenRequest{record.timeMs, record.channel, record.destination, requested});
    }
    return seen;
}

bool AppExists() {
    AppLease lease;
    return static_cast<bool>(lease);
}

void EntryTest::SetUp() {
    hostsim::Reset();
    hostsim::StartTrafficCapture();
    hostsim::AttachPlugin(Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
}

void EntryTest::TearDown() {
    UnregisterAll();
    hostsim::DetachPlugin();
    EXPECT_EQ(hostsim::LiveScaledAttributes(), 0) << "a scaled fault attribute was not given back";
    hostsim::Reset();
}

void EntryTest::LoadNetwork(const std::string& json) { ASSERT_EQ(hostsim::LoadScenarioText(json), ""); }

void EntryTest::UnregisterAll() {
    auto unregister = Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);
    for (auto it = handles_.rbegin(); it != handles_.rend(); ++it) unregister(*it);
    handles_.clear();
}

uint16_t EntryTest::RegisterWithInfo(int32_t handle, uint8_t address, int16_t channel) {
    ModuleInfo info = Info(address, channel, "", 0);
    handles_.push_back(handle);
    return Entry<zorv::FnRegisterModuleWithInfo>(zorv::kEntryRegisterModuleWithInfo)(kEntryUiHandle, handle, &info);
}

void EntryTest::Complete(int32_t handle) {
    Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand)(
        static_cast<uint32_t>(handle), zorv::kCmdRegistrationComplete, nullptr, nullptr, nullptr, nullptr, nullptr);
}

ModuleRecordPtr EntryTest::Module(int32_t handle) {
    AppLease lease;
    return lease ? lease.App()->Modules().FindModule(handle) : nullptr;
}

}  // namespace marl::testing
