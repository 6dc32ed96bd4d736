#include "EntryFixture.h"

#include <algorithm>
#include <cstring>

#include "VehicleApp/boundary/AppInstance.h"

extern "C" zorv::PluginDescriptor* GetDllInfo();

namespace marl::testing {
namespace {
constexpr uint32_t kUiHandle = 7;
constexpr uint32_t kRequestPgn = 0xEA00;
}  // namespace

void* EntryAddress(uint32_t id) {
    for (const zorv::DispatchEntry* row = GetDllInfo()->table; row->id != 0; ++row) {
        if (row->id == id) return row->function;
    }
    return nullptr;
}

void EntryTest::SetUp() {
    hostsim::Reset();
    hostsim::StartTrafficCapture();
    hostsim::AttachPlugin(Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
}

void EntryTest::TearDown() {
    UnregisterAll();
    hostsim::DetachPlugin();
    hostsim::Reset();
}

void EntryTest::LoadNetwork(const std::string& json) {
    const std::string error = hostsim::LoadScenarioText(json);
    ASSERT_EQ(error, "");
}

void EntryTest::UnregisterAll() {
    auto unregister = Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);
    for (auto it = handles_.rbegin(); it != handles_.rend(); ++it) unregister(*it);
    handles_.clear();
}

uint16_t EntryTest::RegisterByText(int32_t handle, const wchar_t* addressText) {
    handles_.push_back(handle);
    return Entry<zorv::FnRegisterModule>(zorv::kEntryRegisterModule)(kUiHandle, handle, addressText);
}

uint16_t EntryTest::RegisterWithInfo(int32_t handle, uint8_t address, int16_t channel) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = address;
    info.channel = channel;
    info.moduleId = 1002;
    handles_.push_back(handle);
    return Entry<zorv::FnRegisterModuleWithInfo>(zorv::kEntryRegisterModuleWithInfo)(kUiHandle, handle, &info);
}

ModuleRecordPtr EntryTest::Module(int32_t handle) {
    AppLease lease;
    return lease ? lease.App()->Modules().FindModule(handle) : nullptr;
}

std::vector<SeenRequest> EntryTest::RequestsSeen() {
    std::vector<SeenRequest> seen;
    for (const auto& record : hostsim::Traffic()) {
        if (!record.fromTool || record.pgn != kRequestPgn || record.data.size() < 3) continue;
        const uint32_t pgn = record.data[0] | record.data[1] << 8 | record.data[2] << 16;
        std::vector<uint8_t> bytes = {static_cast<uint8_t>(record.pgn), static_cast<uint8_t>(record.pgn >> 8),
                                      static_cast<uint8_t>(record.pgn >> 16), record.priority, record.source,
                                      record.destination};
        bytes.insert(bytes.end(), record.data.begin(), record.data.end());
        seen.push_back(SeenRequest{record.timeMs, record.destination, pgn, bytes});
    }
    return seen;
}

}  // namespace marl::testing
