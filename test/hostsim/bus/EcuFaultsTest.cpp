// The fault state of a simulated ECU: the DM1, DM2 and DM4 it builds, how it takes DM3
// and DM11, and the state as it crosses the bus to the host's parser.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

#include "hostsim/bus/DtcMessage.h"
#include "hostsim/bus/FreezeFrame.h"
#include "hostsim/bus/SimulatedFaults.h"
#include "hostsim/bus/VirtualEcu.h"
#include "hostsim/database/JsonFields.h"
#include "hostsim/database/Scenario.h"
#include "platform/Platform.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

using hostsim::Dtc;
using hostsim::SimulatedDtc;

std::vector<uint8_t> Hex(const std::string& text) { return hostsim::jsonfields::HexBytes(text, "test", "hex"); }

std::vector<hostsim::VirtualEcu> EcusOf(const std::string& text) {
    hostsim::ScenarioResult result = hostsim::ParseScenarioText(text, "test.json");
    EXPECT_TRUE(result.scenario) << result.error;
    std::vector<hostsim::VirtualEcu> ecus;
    if (result.scenario) {
        for (const hostsim::EcuDescription& ecu : result.scenario->ecus) ecus.emplace_back(ecu);
    }
    return ecus;
}

}  // namespace

TEST(EcuFaults, Dm1AndDm2FromTheState) {
    hostsim::SimulatedFaults faults;
    EXPECT_EQ(Dm1Payload(faults), Hex("00 FF 00 00 00 00 FF FF")) << "nothing active";
    EXPECT_EQ(Dm2Payload(faults), Hex("00 FF 00 00 00 00 FF FF"));

    faults.lamps.amberWarning = hostsim::kLampSteadyOn;
    faults.lamps.redStop = {hostsim::kLampOn, hostsim::kLampFastFlash};
    faults.active = {{{3719, 16, 3, false}, {}}};
    EXPECT_EQ(Dm1Payload(faults), Hex("14 DF 87 0E 10 03 FF FF")) << "one code: a padded single frame";
    faults.active.push_back({{0x71A0B, 3, hostsim::kOccurrenceCountNotAvailable, false}, {}});
    faults.active.push_back({{110, 15, 1, false}, {}});
    EXPECT_EQ(Dm1Payload(faults), Hex("14 DF 87 0E 10 03 0B 1A E3 7F 6E 00 0F 01"))
        << "the SPN's top bits above the FMI, an uncounted code";

    std::vector<Dtc> many;
    for (uint32_t spn = 0; spn < 300; ++spn)
        many.push_back({spn * 1747 + 1, static_cast<uint8_t>(spn % 32), static_cast<uint8_t>(spn % 127), false});
    faults.active.clear();
    for (const Dtc& dtc : many) faults.active.push_back({dtc, {}});
    std::vector<uint8_t> dm1 = Dm1Payload(faults);
    auto decoded = hostsim::DecodeDtcMessage(dm1.data(), dm1.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(dm1.size(), 2u + 4u * many.size());
    EXPECT_EQ(decoded->dtcs, many) << "the host's decoder reads back what the ECU wrote";
    EXPECT_EQ(decoded->lamps.amberWarning, hostsim::kLampSteadyOn);

    faults.previouslyActive = {{{100, 1, 2, false}, {}}};
    EXPECT_EQ(Dm2Payload(faults), Hex("00 FF 64 00 01 02 FF FF")) << "previously active codes light no lamp";
    faults.active.clear();
    EXPECT_EQ(Dm1Payload(faults), Hex("00 FF 00 00 00 00 FF FF")) << "no lamp without an active code";
}

TEST(EcuFaults, FreezeFramesOfDm4) {
    const auto& parameters = hostsim::FreezeFrameParameters();
    ASSERT_EQ(parameters.size(), 6u);
    const double values[] = {0, 196, 1450, 62, 112, 85};
    std::vector<uint8_t> frame;
    for (size_t i = 0; i < parameters.size(); ++i) {
        AppendFreezeFrameParameter(frame, parameters[i], FreezeFrameRaw(parameters[i], values[i]));
    }
    EXPECT_EQ(frame, Hex("F0 62 50 2D 3E 98 00 55")) << "torque mode, boost, speed, load, coolant, vehicle speed";
    const std::pair<size_t, double> outOfRange[] = {{0, 16},  {1, 502}, {2, 8032}, {4, -41},
                                                    {4, 211}, {5, -1},  {2, NAN}};
    for (const auto& [index, value] : outOfRange) EXPECT_FALSE(FreezeFrameRaw(parameters[index], value)) << value;
    EXPECT_EQ(FreezeFrameRaw(parameters[2], 8031.875), 64255u) << "the highest valid engine speed";
    std::vector<uint8_t> missing;
    AppendFreezeFrameParameter(missing, parameters[5], std::nullopt);
    EXPECT_EQ(missing, Hex("FF FF")) << "a value left out is not available";

    hostsim::SimulatedFaults faults;
    faults.active = {{{110, 15, 1, false}, frame}, {{3719, 16, 3, false}, {}}};
    faults.previouslyActive = {{{100, 1, 2, false}, Hex("01 02")}};
    EXPECT_EQ(Dm4Payload(faults), Hex("0C 6E 00 0F 01 F0 62 50 2D 3E 98 00 55 06 64 00 01 02 01 02"))
        << "one frame per code that has one, active codes first";
    ClearActive(faults);
    EXPECT_EQ(Dm4Payload(faults), Hex("06 64 00 01 02 01 02")) << "an active code's frame goes with it";
    ClearPreviouslyActive(faults);
    EXPECT_TRUE(Dm4Payload(faults).empty());
}

TEST(EcuFaults, RequestsAnsweredFromTheStateAndClears) {
    const char* scenario = R"({"ecus": [
      {"address": 0, "faults": {"lamps": {"amberWarning": "on"}, "dm3": "nack",
        "active": [{"spn": 110, "fmi": 15, "occurrences": 1, "freezeFrame": "01 02"}],
        "previouslyActive": [{"spn": 100, "fmi": 1, "occurrences": 2}]}},
      {"address": 3, "default": "ignore", "faults": {"dm1PeriodMs": 0, "dm3": "silent-clear", "dm11": "ignore",
        "dm4": "ignore", "active": [{"spn": 520, "fmi": 2}], "previouslyActive": [{"spn": 84, "fmi": 9}]}}]})";
    std::vector<hostsim::VirtualEcu> ecus = EcusOf(scenario);
    ASSERT_EQ(ecus.size(), 2u);
    hostsim::VirtualEcu& engine = ecus[0];
    hostsim::VirtualEcu& gearbox = ecus[1];
    auto only = [](const std::vector<hostsim::J1939Message>& replies) {
        EXPECT_EQ(replies.size(), 1u);
        return replies.empty() ? hostsim::J1939Message{} : replies[0];
    };
    ASSERT_EQ(engine.Broadcasts().size(), 1u);
    EXPECT_EQ(engine.Broadcasts()[0].pgn, j1939::kPgnDm1);
    EXPECT_EQ(engine.Broadcasts()[0].periodMs, 1000u) << "the default DM1 period";
    EXPECT_TRUE(gearbox.Broadcasts().empty()) << "DM1 only on request";

    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm1, 0xFF))).data, Hex("04 FF 6E 00 0F 01 FF FF"));
    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm2, 0x00))).data, Hex("00 FF 64 00 01 02 FF FF"));
    hostsim::J1939Message dm4 = only(engine.OnMessage(RequestMessage(j1939::kPgnDm4, 0x00)));
    EXPECT_EQ(dm4.data, Hex("06 6E 00 0F 01 01 02"));
    EXPECT_EQ(dm4.destination, j1939::kGlobalAddress);
    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm3, 0x00))).data, Hex("01 FF FF FF F9 CC FE 00"))
        << "DM3 refused";
    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm2, 0x00))).data, Hex("00 FF 64 00 01 02 FF FF"))
        << "a refused clear keeps the codes";
    hostsim::VirtualEcu fresh = engine;
    EXPECT_TRUE(engine.OnMessage(RequestMessage(j1939::kPgnDm3, 0xFF)).empty()) << "no refusal to everybody";
    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm11, 0xFF))).data, Hex("00 FF FF FF F9 D3 FE 00"))
        << "a clearing ECU acknowledges a global DM11";
    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm1, 0x00))).data, Hex("00 FF 00 00 00 00 FF FF"))
        << "a global DM11 clears too, lamps off";
    EXPECT_EQ(only(engine.OnMessage(RequestMessage(j1939::kPgnDm4, 0x00))).data[0], j1939::kAckNegative)
        << "no freeze frame left: refused";
    EXPECT_EQ(only(fresh.OnMessage(RequestMessage(j1939::kPgnDm11, 0x00))).data, Hex("00 FF FF FF F9 D3 FE 00"));
    EXPECT_EQ(fresh.BroadcastMessage(j1939::kPgnDm1).data, Hex("00 FF 00 00 00 00 FF FF"));

    EXPECT_EQ(only(fresh.OnMessage(RequestMessage(j1939::kPgnDm2, 0x00))).data, Hex("00 FF 64 00 01 02 FF FF"))
        << "DM11 leaves the previously active codes";

    EXPECT_TRUE(gearbox.OnMessage(RequestMessage(j1939::kPgnDm11, 0x03)).empty());
    EXPECT_EQ(only(gearbox.OnMessage(RequestMessage(j1939::kPgnDm1, 0x03))).data, Hex("00 FF 08 02 02 7F FF FF"))
        << "an ignored clear keeps the codes";
    EXPECT_TRUE(gearbox.OnMessage(RequestMessage(j1939::kPgnDm3, 0x03)).empty());
    EXPECT_EQ(only(gearbox.OnMessage(RequestMessage(j1939::kPgnDm2, 0x03))).data, Hex("00 FF 00 00 00 00 FF FF"))
        << "a silent clear still clears";
    EXPECT_EQ(only(gearbox.OnMessage(RequestMessage(j1939::kPgnDm1, 0x03))).data, Hex("00 FF 08 02 02 7F FF FF"))
        << "DM3 leaves the active codes";
    EXPECT_TRUE(gearbox.OnMessage(RequestMessage(j1939::kPgnDm4, 0x03)).empty()) << "DM4 without frames ignored";
}

namespace {

uint16_t ZORV_STDCALL ParseIntoHandle1(int32_t, const uint8_t* bytes, uint16_t length, uint32_t timeStamp) {
    auto parse = reinterpret_cast<zorv::ParseJ1939MsgFn>(
        Zorv_GetFunctionAddress(zorv::kLookupParseJ1939Msg, zorv::kModuleIdHost));
    return parse(1, bytes, length, timeStamp);
}

template <typename Condition>
bool WaitUntil(Condition condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < deadline) marl::platform::SleepMs(2);
    return condition();
}

}  // namespace

TEST_F(HostSimTest, Dm1TravelsByBamAndAClearEmptiesTheNextOne) {
    ASSERT_EQ(hostsim::LoadScenarioText(R"({"tpPacketGapMs": 1, "ecus": [{"address": 0, "faults": {
        "dm1PeriodMs": 20, "lamps": {"amberWarning": "on"},
        "active": [{"spn": 3719, "fmi": 16, "occurrences": 3}, {"spn": 110, "fmi": 15, "occurrences": 1},
                   {"spn": 100, "fmi": 1, "occurrences": 2}]}}]})"),
              "");
    std::mutex mutex;
    std::vector<hostsim::BusFrame> frames;
    hostsim::BusWatch watch = hostsim::WatchBus({nullptr, [&](const hostsim::BusFrame& frame) {
                                                     std::lock_guard<std::mutex> lock(mutex);
                                                     frames.push_back(frame);
                                                 }});
    hostsim::BusRecorder recorder;
    hostsim::AttachPlugin(&ParseIntoHandle1);
    ASSERT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0);
    ASSERT_EQ(Zorv_EnableParsing(1, 1), 0);

    ASSERT_TRUE(WaitUntil([] { return hostsim::ReceivedFaults(1).active.dtcs.size() == 3; }));
    EXPECT_EQ(hostsim::ReceivedFaults(1).active.dtcs[1], (Dtc{110, 15, 1, false}));
    EXPECT_EQ(hostsim::ReceivedFaults(1).active.lamps.amberWarning, hostsim::kLampSteadyOn);
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto announce = std::find_if(frames.begin(), frames.end(),
                                     [](const hostsim::BusFrame& frame) { return frame.canId == 0x1CECFF00u; });
        ASSERT_NE(announce, frames.end()) << "a transport session to everybody";
        EXPECT_EQ(announce->data, Hex("20 0E 00 02 FF CA FE 00")) << "BAM: 14 bytes of DM1 in two packets";
    }

    auto send = Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
    std::vector<uint8_t> clear = Request(j1939::kPgnDm11, 0x00);
    ASSERT_EQ(send(1, clear.data(), static_cast<uint16_t>(clear.size()), 1, 1, 0), 0);
    ASSERT_TRUE(WaitUntil([&] {
        for (const hostsim::TrafficRecord& message : recorder.Messages()) {
            if (message.pgn == j1939::kPgnAcknowledgement) return message.data == Hex("00 FF FF FF F9 D3 FE 00");
        }
        return false;
    })) << "DM11 acknowledged";
    ASSERT_TRUE(WaitUntil([] { return hostsim::ReceivedFaults(1).active.dtcs.empty(); }));
    EXPECT_EQ(hostsim::ReceivedFaults(1).active.lamps.amberWarning, hostsim::kLampSteadyOff) << "lamps off";
    hostsim::UnloadScenario();
}
