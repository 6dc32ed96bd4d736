// The example truck of the data folder against the shipped parameter database: every ECU
// answers what its component's data points need, and the values decode as the truck
// means them. The command-line host runs this truck.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "hostsim/database/Scenario.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

constexpr uint32_t kWaitMs = 5000;

// Each source address is a module of its own with the component of that address.
const std::map<uint8_t, ZModuleHandle> kModules = {{0x00, 10}, {0x03, 13}, {0x0B, 21},
                                                   {0x12, 28}, {0x17, 33}, {0x33, 61}};

uint16_t ZORV_STDCALL ParseIntoModule(int32_t, const uint8_t* bytes, uint16_t length, uint32_t timeStamp) {
    auto message = hostsim::FromHostLayout(bytes, length);
    if (!message || kModules.count(message->source) == 0) return 0;
    auto parse = reinterpret_cast<zorv::ParseJ1939MsgFn>(
        Zorv_GetFunctionAddress(zorv::kLookupParseJ1939Msg, zorv::kModuleIdHost));
    return parse(kModules.at(message->source), bytes, length, timeStamp);
}

}  // namespace

TEST_F(HostSimTest, DefaultTruckAnswersWhatTheDatabaseDescribes) {
    ASSERT_EQ(hostsim::LoadDefaultScenario(), "");
    for (const auto& [address, module] : kModules) {
        char component[8];
        std::snprintf(component, sizeof(component), "SA_%02X", address);
        const char* components[] = {component};
        ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(module, L"MARL_J1939.BIN", L"MARL_J1939", components, 1), 0);
    }
    ASSERT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0);
    ASSERT_EQ(Zorv_EnableParsing(1, 1), 0);
    hostsim::AttachPlugin(&ParseIntoModule);
    hostsim::ScenarioResult truck = hostsim::ReadScenarioFile(hostsim::DataFolderPath() + "/trucks/default-truck.json");
    ASSERT_TRUE(truck.scenario) << truck.error;
    hostsim::BusRecorder recorder;
    auto send = Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
    for (const hostsim::EcuDescription& ecu : truck.scenario->ecus) {
        std::vector<ZPgn> pgns = {j1939::kPgnDm1, j1939::kPgnDm2, j1939::kPgnDm4};
        for (const auto& pgn : ecu.pgns) pgns.push_back(pgn.first);
        for (ZPgn pgn : pgns) {
            std::vector<uint8_t> bytes = Request(pgn, ecu.address);
            ASSERT_EQ(send(1, bytes.data(), static_cast<uint16_t>(bytes.size()), 1, 1, 0), 0);
        }
    }
    // Broadcasts keep the bus busy: wait for a quiet moment, as long as there is time.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!hostsim::WaitForBus(100) && std::chrono::steady_clock::now() < deadline) {
    }

    struct Expected {
        ZModuleHandle module;
        const char* dataPoint;
        const wchar_t* text;
    };
    const Expected expected[] = {
        {10, "SPN_190", L"650 rpm"},
        {10, "SPN_110", L"85 \u00B0C"},
        {10, "SPN_247", L"12345.6 h"},
        {10, "SPN_245", L"456789 km"},
        {10, "SPN_237", L"1M2TR2407PM004217"},
        {10, "SPN_965", L"3"},
        {10, "SPN_234_02", L"BOOT-1.07"},
        {10, "SPN_624", L"On"},
        {13, "SPN_163", L"N "},
        {21, "SPN_1243", L"Fully operational"},
        {28, "SPN_587_0", L"Agility CNG"},
        {33, "SPN_96", L"62.4 %"},
        // This maker counts tire locations from 0x11.
        {61, "SPN_929", L"17"},
        {61, "SPN_241", L"760 kPa"},
    };
    for (const Expected& e : expected) EXPECT_EQ(ValueText(e.module, e.dataPoint), e.text) << e.dataPoint;

    // The engine's fault state as the host's parser decoded it; the others have none.
    hostsim::ReceivedFaultCodes engine = hostsim::ReceivedFaults(10);
    ASSERT_TRUE(engine.activeReceived && engine.previouslyActiveReceived);
    EXPECT_EQ(engine.active.dtcs, (std::vector<hostsim::Dtc>{{3719, 16, 3, false}, {110, 15, 1, false}}));
    EXPECT_EQ(engine.active.lamps.amberWarning, hostsim::kLampSteadyOn);
    EXPECT_EQ(engine.active.lamps.malfunction, hostsim::kLampSteadyOff);
    EXPECT_EQ(engine.previouslyActive.dtcs, (std::vector<hostsim::Dtc>{{100, 1, 2, false}}));
    for (ZModuleHandle module : {13, 21, 28, 33, 61}) {
        hostsim::ReceivedFaultCodes other = hostsim::ReceivedFaults(module);
        EXPECT_TRUE(other.activeReceived && other.active.dtcs.empty() && other.previouslyActive.dtcs.empty()) << module;
    }
    // Coolant 88 and 112 °C, 1200 and 1450 rpm, 45 and 62 % load, 62 and 85 km/h.
    const std::vector<uint8_t> frames = {0x0C, 0x87, 0x0E, 0x10, 0x03, 0xF0, 0x4B, 0x80, 0x25, 0x2D, 0x80, 0x00, 0x3E,
                                         0x0C, 0x6E, 0x00, 0x0F, 0x01, 0xF0, 0x62, 0x50, 0x2D, 0x3E, 0x98, 0x00, 0x55};
    size_t dm4s = 0;
    for (const hostsim::TrafficRecord& message : recorder.Messages()) {
        if (message.pgn != j1939::kPgnDm4 || message.fromTool) continue;
        ++dm4s;
        EXPECT_EQ(message.source, 0x00) << "only the engine keeps freeze frames";
        EXPECT_EQ(message.data, frames);
    }
    EXPECT_EQ(dm4s, 1u);
}
