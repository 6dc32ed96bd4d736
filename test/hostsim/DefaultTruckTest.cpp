// The example truck of the data folder against the shipped parameter database: every ECU
// answers what its component's data points need, and the values decode as the truck
// means them.
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "hostsim/bus/J1939Message.h"
#include "hostsim/database/Scenario.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

constexpr uint32_t kWaitMs = 5000;

// Each source address is a module of its own with the component of that address.
const std::map<uint8_t, ZModuleHandle> kModules = {{0x00, 10}, {0x03, 13}, {0x0B, 21}, {0x12, 28}, {0x17, 33},
                                                   {0x33, 61}};

uint16_t ZORV_STDCALL ParseIntoModule(int32_t, const uint8_t* bytes, uint16_t length, uint32_t timeStamp) {
    auto message = hostsim::FromHostLayout(bytes, length);
    if (!message || kModules.count(message->source) == 0) return 0;
    auto parse = reinterpret_cast<zorv::ParseJ1939MsgFn>(
        Zorv_GetFunctionAddress(zorv::kLookupParseJ1939Msg, zorv::kModuleIdHost));
    return parse(kModules.at(message->source), bytes, length, timeStamp);
}

std::wstring ValueText(ZModuleHandle handle, const char* name) {
    TESKID teskId = 0;
    if (Zorv_GetDPIDbyName(handle, name, &teskId) != 0) return L"(no such data point)";
    wchar_t text[255] = {};
    uint32_t length = 255;
    Zorv_GetDataPointValueStr(handle, teskId, 0, 2, text, 255, &length);
    return text;
}

}  // namespace

TEST_F(HostSimTest, DefaultTruckAnswersWhatTheDatabaseDescribes) {
    ASSERT_EQ(hostsim::LoadDefaultScenario(), "");
    for (const auto& module : kModules) {
        char component[8];
        std::snprintf(component, sizeof(component), "SA_%02X", module.first);
        const char* components[] = {component};
        ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(module.second, L"MARL_J1939.BIN", L"MARL_J1939", components,
                                                          1),
                  0);
    }
    ASSERT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0);
    ASSERT_EQ(Zorv_EnableParsing(1, 1), 0);
    hostsim::AttachPlugin(&ParseIntoModule);

    hostsim::ScenarioResult truck = hostsim::ReadScenarioFile(hostsim::DataFolderPath() + "/trucks/default-truck.json");
    ASSERT_TRUE(truck.scenario) << truck.error;
    auto send = Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
    for (const hostsim::EcuDescription& ecu : truck.scenario->ecus) {
        for (const auto& pgn : ecu.pgns) {
            hostsim::J1939Message request;
            request.pgn = 0xEA00;
            request.source = 0xF9;
            request.destination = ecu.address;
            j1939::AppendPgn(request.data, pgn.first);
            std::vector<uint8_t> bytes = hostsim::ToHostLayout(request);
            ASSERT_EQ(send(1, bytes.data(), static_cast<uint16_t>(bytes.size()), 1, 1, 0), 0);
        }
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!hostsim::WaitForBus(100) && std::chrono::steady_clock::now() < deadline) {
    }

    EXPECT_EQ(ValueText(10, "SPN_190"), L"650 rpm");
    EXPECT_EQ(ValueText(10, "SPN_110"), L"85 \u00B0C");
    EXPECT_EQ(ValueText(10, "SPN_100"), L"300 kPa");
    EXPECT_EQ(ValueText(10, "SPN_247"), L"12345.6 h");
    EXPECT_EQ(ValueText(10, "SPN_245"), L"456789 km");
    EXPECT_EQ(ValueText(10, "SPN_3719"), L"42 %");
    EXPECT_EQ(ValueText(10, "SPN_237"), L"1M2TR2407PM004217");
    EXPECT_EQ(ValueText(10, "SPN_965"), L"3");
    EXPECT_EQ(ValueText(10, "SPN_234_02"), L"BOOT-1.07");
    EXPECT_EQ(ValueText(10, "SPN_624"), L"On") << "the amber lamp of the engine's DM1";
    EXPECT_EQ(ValueText(10, "SPN_3294"), L"1520 km");
    EXPECT_EQ(ValueText(13, "SPN_177"), L"70 \u00B0C");
    EXPECT_EQ(ValueText(13, "SPN_163"), L"N ");
    EXPECT_EQ(ValueText(21, "SPN_1243"), L"Fully operational");
    EXPECT_EQ(ValueText(21, "SPN_46"), L"896 kPa");
    EXPECT_EQ(ValueText(28, "SPN_586"), L"CMMNS");
    EXPECT_EQ(ValueText(28, "SPN_587_0"), L"Agility CNG");
    EXPECT_EQ(ValueText(33, "SPN_96"), L"62.4 %");
    EXPECT_EQ(ValueText(33, "SPN_964"), L"2024");
    EXPECT_EQ(ValueText(61, "SPN_929"), L"17") << "this maker counts tire locations from 0x11";
    EXPECT_EQ(ValueText(61, "SPN_241"), L"760 kPa");
}
