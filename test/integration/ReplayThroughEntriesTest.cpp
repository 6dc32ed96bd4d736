// A capture of a real idling engine replayed through the entries as the command-line
// host does: every ECU that sent becomes a module in playback, restored from a recording
// file that names only its address, and each message reaches its module with the
// capture's time. The engine's DM1 faults and its speed come through, and the same
// capture saved as candump's console output gives the same.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/ZorvApi.h"
#include "hostsim/bus/CandumpLog.h"
#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

constexpr const char* kIdleEngineLog = MARL_TEST_LOGS_DIR "/engine-idle-dm1.candump.log";
constexpr uint32_t kEngineSpeedSpn = 190;

struct Replayed {
    hostsim::CaptureSummary capture;
    std::vector<std::pair<uint32_t, uint8_t>> activeDtcs;  // of the first ECU
    std::string engineSpeed;
    uint32_t speedUpdates = 0;
    size_t speedValuesHeard = 0;
};

// The capture as `candump -ta` shows it, 11-bit frames included.
std::string ConsoleCopy(const std::string& path) {
    const std::string copy = (std::filesystem::temp_directory_path() / "marl-idle-engine.console.txt").string();
    std::ifstream in(path);
    std::ofstream out(copy);
    std::string line, error;
    while (std::getline(in, line)) {
        const auto frame = hostsim::ParseCandumpLine(line, error);
        if (!frame) continue;
        char head[80];
        std::snprintf(head, sizeof(head), frame->extended ? " (%.6f)  %s  %08X   [%zu] " : " (%.6f)  %s  %03X   [%zu] ",
                      static_cast<double>(frame->timeMicros) / 1e6, frame->interfaceName.c_str(), frame->frame.id,
                      frame->frame.data.size());
        out << head;
        for (uint8_t byte : frame->frame.data) {
            char pair[4];
            std::snprintf(pair, sizeof(pair), " %02X", byte);
            out << pair;
        }
        out << '\n';
    }
    return copy;
}

class ReplayThroughEntries : public EntryTest {
protected:
    Replayed Replay(const std::string& path) {
        UnregisterAll();
        hostsim::Reset();
        hostsim::AttachPlugin(Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
        Replayed replayed;
        replayed.capture = hostsim::ScanCapture(path, "");
        EXPECT_EQ(replayed.capture.error, "");
        hostsim::PrepareCapturePlayback(replayed.capture);
        std::vector<std::pair<uint8_t, ZModuleHandle>> modules;
        const std::string file = (std::filesystem::temp_directory_path() / "marl-replayed-ecu.rec").string();
        for (const hostsim::CaptureEcu& ecu : replayed.capture.ecus) {
            const auto handle = static_cast<ZModuleHandle>(modules.size() + 1);
            std::ofstream(file, std::ios::binary) << "[ConnectionInfo]\r\nMID = " << int{ecu.address} << "\r\n";
            EXPECT_EQ(RegisterWithInfo(handle, ecu.address, 1), 0);
            const std::wstring wide(file.begin(), file.end());
            EXPECT_EQ(Entry<zorv::FnReadDataFromRecordingFile>(zorv::kEntryReadDataFromRecordingFile)(0, handle,
                                                                                                      wide.c_str()),
                      0);
            Complete(handle);
            modules.emplace_back(ecu.address, handle);
        }
        hostsim::SetDecodedValueListener([&](ZModuleHandle handle, uint32_t, const hostsim::DataPointState& value) {
            if (handle == 1 && value.spn == kEngineSpeedSpn) ++replayed.speedValuesHeard;
        });
        EXPECT_EQ(hostsim::PlayCapture(path, "", modules, 0.0, nullptr), replayed.capture.messages);
        hostsim::SetDecodedValueListener(nullptr);
        for (const auto& fault : hostsim::FaultList(1).faults) {
            if (fault.groupName == "Active") replayed.activeDtcs.emplace_back(fault.dtc.spn, fault.dtc.fmi);
        }
        const hostsim::DataPointState speed = hostsim::ModuleDataPoint(1, "SPN_190");
        replayed.engineSpeed = hostsim::ToUtf8(speed.valueText);
        replayed.speedUpdates = speed.updates;
        return replayed;
    }
};

TEST_F(ReplayThroughEntries, ACapturedIdleEngineGivesItsFaultsAndSpeedFromEitherCandumpFormat) {
    const std::string console = ConsoleCopy(kIdleEngineLog);
    const std::vector<Replayed> runs = {Replay(kIdleEngineLog), Replay(console)};
    std::filesystem::remove(console);
    const std::vector<std::pair<uint32_t, uint8_t>> expected = {{980, 9}, {3216, 20}, {609, 9}, {609, 12}};
    for (const Replayed& run : runs) {
        ASSERT_EQ(run.capture.ecus.size(), 2u);
        EXPECT_EQ(run.capture.ecus[0].address, 0x00);
        EXPECT_EQ(run.capture.ecus[1].address, 0x55);
        EXPECT_EQ(run.capture.skipped, 57849u - 45571u) << "the 11-bit frames are skipped";
        EXPECT_EQ(run.capture.malformed, 0u);
        EXPECT_EQ(run.activeDtcs, expected);
        EXPECT_EQ(run.engineSpeed.substr(0, 2), "64") << run.engineSpeed;
        EXPECT_GT(run.speedUpdates, 10000u);
        EXPECT_EQ(run.speedValuesHeard, run.speedUpdates) << "every decoded value reaches the listener";
    }
    EXPECT_EQ(runs[0].capture.messages, runs[1].capture.messages);
    EXPECT_EQ(runs[0].speedUpdates, runs[1].speedUpdates);
}

}  // namespace
}  // namespace marl::testing
