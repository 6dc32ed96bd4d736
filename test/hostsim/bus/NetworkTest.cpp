// The simulated network end to end: requests onto the bus, ECU answers on the host's
// receive thread, connections and filters, the bus log and replays.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hostsim/bus/CandumpLog.h"
#include "platform/Platform.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

constexpr uint32_t kWaitMs = 5000;

const char* kTwoEcus = R"({"tpPacketGapMs": 1, "ecus": [
  {"label": "Engine", "address": 0, "replyDelayMs": 2, "default": "nack",
   "name": {"identityNumber": 1, "function": 0, "industryGroup": 1},
   "pgns": {"65253": {"behaviour": "answer", "data": "80 C4 03 00 FF FF FF FF"},
            "65260": {"behaviour": "answer", "text": "1M2TR2407PM004217*"},
            "65164": {"behaviour": "ignore"}}},
  {"label": "Cluster", "address": "0x17", "replyDelayMs": 3, "default": "ignore",
   "name": {"identityNumber": 2, "function": 19, "industryGroup": 1},
   "pgns": {"65260": {"behaviour": "answer", "text": "1M2TR2407PM004217*"}}},
  {"label": "Other bus", "channel": 2, "address": 0, "replyDelayMs": 1,
   "pgns": {"65253": {"behaviour": "answer", "data": "00 00 00 00 FF FF FF FF"}}}
]})";

struct Delivery {
    ZModuleHandle handle;
    hostsim::J1939Message message;
    std::thread::id thread;
};

std::mutex gMutex;
std::vector<Delivery> gDeliveries;
std::atomic<bool> gHold{false};
std::atomic<bool> gInside{false};

uint16_t ZORV_STDCALL Record(int32_t handle, const uint8_t* bytes, uint16_t length, uint32_t) {
    gInside = true;
    while (gHold) marl::platform::SleepMs(1);
    auto message = hostsim::FromHostLayout(bytes, length);
    std::lock_guard<std::mutex> lock(gMutex);
    if (message) gDeliveries.push_back({handle, *message, std::this_thread::get_id()});
    gInside = false;
    return 0;
}

std::vector<Delivery> DeliveriesOf(uint32_t pgn) {
    std::lock_guard<std::mutex> lock(gMutex);
    std::vector<Delivery> found;
    for (const Delivery& delivery : gDeliveries) {
        if (delivery.message.pgn == pgn) found.push_back(delivery);
    }
    return found;
}

class Network : public HostSimTest {
protected:
    void SetUp() override {
        HostSimTest::SetUp();
        {
            std::lock_guard<std::mutex> lock(gMutex);
            gDeliveries.clear();
        }
        gHold = false;
        ASSERT_EQ(hostsim::LoadScenarioText(kTwoEcus), "");
        ASSERT_TRUE(hostsim::WaitForBus(kWaitMs)) << "power-up claims carried";
        hostsim::AttachPlugin(&Record);
        ASSERT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0);
        ASSERT_EQ(Zorv_EnableParsing(1, 1), 0);
        send_ = Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
    }

    void TearDown() override {
        gHold = false;
        std::error_code error;
        std::filesystem::remove(log_, error);
        HostSimTest::TearDown();
    }

    ZResult Send(ZModuleHandle handle, const std::vector<uint8_t>& message) {
        return send_(handle, message.data(), static_cast<uint16_t>(message.size()), 1, 1, 0);
    }

    zorv::SendJ1939MsgFn send_ = nullptr;
    const std::string log_ = (std::filesystem::temp_directory_path() / "marl-bus-test.candump.log").string();
};

}  // namespace

TEST_F(Network, FilterParsingSwitchAndChannels) {
    ASSERT_EQ(Zorv_Connect(2, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 0), 0);
    uint8_t filter[] = {0x04, 0x00, 0x00, 0x00, 0x00, 0x17, 0x00};
    ASSERT_EQ(Zorv_SendCommand(2, 4, filter, sizeof(filter), 0, 1, nullptr), 0);
    EXPECT_EQ(hostsim::Connection(2).owner, 1) << "a later module joins the first one's connection";
    EXPECT_EQ(hostsim::Connection(1).filter, std::vector<uint8_t>{0x17});

    ASSERT_EQ(Send(2, Request(65260, 0xFF)), 0);
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    std::vector<Delivery> vins = DeliveriesOf(65260);
    ASSERT_EQ(vins.size(), 1u) << "only the filtered source passes";
    EXPECT_EQ(vins[0].message.source, 0x17);
    EXPECT_EQ(vins[0].handle, 1) << "delivered with the connection's owner";

    ASSERT_EQ(Zorv_EnableParsing(1, 0), 0);
    ASSERT_EQ(Send(1, Request(65260, 0x17)), 0);
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    EXPECT_EQ(DeliveriesOf(65260).size(), 1u) << "parsing off: nothing delivered";

    EXPECT_EQ(Zorv_Connect(4, L"J1939:Baud=Auto", 1, nullptr, 1), hostsim::kResultBadArgument);
    EXPECT_FALSE(hostsim::Connection(4).connected);
    filter[0] = 0x05;
    EXPECT_EQ(Zorv_SendCommand(1, 4, filter, sizeof(filter), 0, 1, nullptr), hostsim::kResultBadArgument);
}

// A watcher answering the request for PGN 0xFEE5 as an ECU the scenario lacks would.
void AnswerHours(const hostsim::TrafficRecord& message) {
    if (!message.fromTool || message.pgn != 0xEA00 || message.data[0] != 0xE5) return;
    hostsim::J1939Message reply;
    reply.pgn = 0xFEE5;
    reply.source = 0x42;
    reply.data = {1, 2, 3, 4, 5, 6, 7, 8};
    hostsim::DeliverMessage(1, hostsim::ToHostLayout(reply));
}

TEST_F(Network, WatchersSeeBothDirectionsAndMayAnswer) {
    hostsim::BusRecorder recorder;
    hostsim::BusWatch answering = hostsim::WatchBus({&AnswerHours, nullptr});
    ASSERT_EQ(Send(1, Request(65253, 0x00)), 0);
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    std::vector<Delivery> hours = DeliveriesOf(65253);
    ASSERT_EQ(hours.size(), 2u) << "the watcher's answer and the engine's, not the one of channel 2";
    EXPECT_EQ(hours[1].message.data[0], 0x80);
    EXPECT_NE(hours[1].thread, std::this_thread::get_id()) << "ECU answers come on the host's receive thread";
    std::vector<hostsim::TrafficRecord> seen = recorder.Messages();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[0].fromTool && seen[0].channel == 1 && seen[0].handle == 1);
    EXPECT_EQ(seen[1].source, 0x42) << "an answer comes after the request it answers";
    EXPECT_FALSE(seen[2].fromTool);

    answering.Stop();
    recorder.Clear();
    hostsim::SetSendResultRule([](ZModuleHandle handle, const std::vector<uint8_t>&) { return ZResult(handle == 1 ? 7 : 0); });
    EXPECT_EQ(Send(1, Request(65253, 0x00)), 7);
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    EXPECT_EQ(DeliveriesOf(65253).size(), 2u) << "a refused send never reaches the bus";
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].result, 7);
    EXPECT_EQ(hostsim::SentMessages().size(), 2u) << "the sent record keeps refused sends too";
}

TEST_F(Network, CandumpLogHoldsEveryFrame) {
    hostsim::BusWatch log;
    ASSERT_EQ(hostsim::WatchBusToCandump(log_, log), "");
    auto claim = Lookup<zorv::ClaimBusAddressFn>(zorv::kLookupClaimBusAddress);
    ASSERT_EQ(claim(1, 0xF9), 0);
    EXPECT_EQ(hostsim::Connection(1).claimedAddress, 0xF9);
    ASSERT_EQ(Send(1, Request(65260, 0x00)), 0);
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    log.Stop();

    hostsim::CandumpReader reader;
    ASSERT_EQ(reader.Open(log_), "");
    std::vector<std::string> lines;
    while (auto frame = reader.Next()) lines.push_back(hostsim::FormatCandumpLine(*frame).substr(20));
    EXPECT_EQ(reader.MalformedLines(), 0u);
    ASSERT_EQ(lines.size(), 6u) << "claim, request, announcement, three packets";
    EXPECT_EQ(lines[0].substr(0, 14), "can0 18EEFFF9#") << "the tool's address claim";
    EXPECT_EQ(lines[1], "can0 18EA00F9#ECFE00");
    EXPECT_EQ(lines[2], "can0 1CECFF00#20120003FFECFE00");
    EXPECT_EQ(lines[5], "can0 1CEBFF00#033231372AFFFFFF") << "the VIN's last packet, padded";
}

TEST_F(Network, BroadcastsRepeatAtTheirPeriod) {
    // Timed from before the load: the periods count from the network's start.
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(hostsim::LoadScenarioText(R"({"broadcastScale": 2, "ecus": [{"address": 0,
        "pgns": {"61444": {"behaviour": "broadcast", "periodMs": 10, "data": "F07D87401F00FF87"}}}]})"),
              "");
    while (DeliveriesOf(61444).size() < 3 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        marl::platform::SleepMs(5);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(DeliveriesOf(61444).size(), 3u);
    // The periods follow the test time scale, like the plug-in's clock.
    EXPECT_GE(elapsed, marl::platform::RealDuration(std::chrono::milliseconds(55)))
        << "three periods of 10 ms stretched twice";
    hostsim::UnloadScenario();
}

TEST_F(Network, DetachWaitsForTheDeliveryInProgress) {
    gHold = true;
    ASSERT_EQ(Send(1, Request(65253, 0x00)), 0);
    while (!gInside) marl::platform::SleepMs(1);
    std::atomic<bool> detached{false};
    marl::platform::Thread detacher;
    ASSERT_TRUE(detacher.Start([&] {
        hostsim::DetachPlugin();
        detached = true;
    }, 0));
    marl::platform::SleepMs(50);
    EXPECT_FALSE(detached) << "the plug-in is still inside ParseMessage";
    gHold = false;
    detacher.Join();
    EXPECT_TRUE(detached);
    ASSERT_EQ(Send(1, Request(65253, 0x00)), 0);
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    EXPECT_EQ(DeliveriesOf(65253).size(), 1u) << "nothing reaches a detached plug-in";
}

TEST_F(Network, ReplayOfARealLogReachesThePlugin) {
    hostsim::UnloadScenario();
    std::string path = std::string(MARL_TEST_LOGS_DIR) + "/engine-vin-broadcast.candump.log";
    ASSERT_EQ(hostsim::ReplayBusLog(path, 1, 0), "");
    ASSERT_TRUE(hostsim::WaitForReplay(kWaitMs * 6));
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    hostsim::ReplayStats stats = hostsim::LastReplay();
    EXPECT_EQ(stats.error, "");
    EXPECT_EQ(stats.transportMessages, 16u);
    EXPECT_GT(stats.framesSkipped, 0u) << "frames of can1";
    EXPECT_EQ(stats.framesRead + stats.framesSkipped, 1815u);
    EXPECT_EQ(stats.malformedLines, 0u);
    std::vector<Delivery> vins = DeliveriesOf(0xFEEC);
    ASSERT_EQ(vins.size(), 3u);
    const std::string vin(vins[0].message.data.begin(), vins[0].message.data.end());
    EXPECT_EQ(vins[2].message.data, vins[0].message.data);
    EXPECT_GE(vin.find('*'), 17u) << "a VIN of 17 characters before its delimiter: " << vin;
    EXPECT_GT(DeliveriesOf(0xF004).size(), 100u);
    EXPECT_NE(hostsim::ReplayBusLog("no-such.log", 1, 0).find("no-such.log"), std::string::npos);
}
