// A stand-in host with a simulated network, and the plug-in reached through the dispatch
// table of its own GetDllInfo, as the host reaches it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "host/ZorvPlugin.h"
#include "hostsim/HostSim.h"

namespace marl::testing {

// The UI handle the tests register their modules with.
constexpr uint32_t kEntryUiHandle = 7;

void* EntryAddress(uint32_t id);
template <typename Fn>
Fn Entry(uint32_t id) {
    return reinterpret_cast<Fn>(EntryAddress(id));
}

// A Request the tool put on the bus: when, on which channel, to whom, for what.
struct SeenRequest {
    uint32_t timeMs;
    int channel;
    uint8_t destination;
    uint32_t pgn;
};

// Requests seen on the bus from `sinceMs` on, optionally of one channel and PGN only.
std::vector<SeenRequest> RequestsSeen(uint32_t sinceMs = 0, int channel = 0, uint32_t pgn = 0);
// Whether the application object exists.
bool AppExists();

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads a network of ECUs from JSON text; fails the test when it is refused.
    void LoadNetwork(const std::string& json);
    // Unregisters every handle in handles_, which tears the application down.
    void UnregisterAll();
    uint16_t RegisterWithInfo(int32_t handle, uint8_t address, int16_t channel);
    // The host's registration-complete command.
    static void Complete(int32_t handle);

    // The module's record inside the running application (null when none).
    ModuleRecordPtr Module(int32_t handle);

    std::vector<int32_t> handles_;
};

}  // namespace marl::testing
