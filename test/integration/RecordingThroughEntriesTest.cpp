// A recording through the entries: the default truck's engine is recorded while its
// values come in, the host writes its part of the file and the plug-in appends its own;
// played back with no bus, the engine comes back with its supported parameters shown,
// its vehicle information and its recorded values. Recordings written by the Linux
// build and by the Windows DLL are in test/data/recordings and restore the same.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/ZorvApi.h"
#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

constexpr const char* kRecordingsDir = MARL_TEST_DATA_DIR "/recordings";
constexpr TESKID kEngineSpeed = 1004;
constexpr TESKID kVin = 8001;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

// What a played-back engine shows: the data points the host lists and two values.
struct Restored {
    std::set<TESKID> visible;
    std::string engineSpeed;
    std::string vin;
};

class RecordingThroughEntries : public EntryTest {
protected:
    std::string path_ = (std::filesystem::temp_directory_path() / "marl-engine-recording.rec").string();

    void TearDown() override {
        EntryTest::TearDown();
        std::error_code error;
        std::filesystem::remove(path_, error);
    }

    Restored PlayBack(const std::string& path) {
        UnregisterAll();
        hostsim::Reset();
        hostsim::AttachPlugin(Entry<zorv::FnParseMessage>(zorv::kEntryParseMessage));
        hostsim::ModuleRecording recording;
        EXPECT_EQ(hostsim::ReadRecording(path, recording), "");
        hostsim::PreparePlayback(recording);
        EXPECT_EQ(RegisterWithInfo(1, recording.address, 1), 0);
        const std::wstring widePath = Wide(path);
        EXPECT_EQ(
            Entry<zorv::FnReadDataFromRecordingFile>(zorv::kEntryReadDataFromRecordingFile)(0, 1, widePath.c_str()), 0);
        // As after any registration, the host says it is complete; the record exists now.
        Complete(1);
        EXPECT_EQ(hostsim::PlayBack(recording, 1), recording.messages.size());
        EXPECT_TRUE(Module(1)) << "the recording made the module's record";
        Restored restored;
        for (TESKID teskId = 1000; teskId < 10000; ++teskId) {
            const hostsim::DataPointState state = hostsim::ModuleDataPoint(1, teskId);
            if (state.known && state.visible) restored.visible.insert(teskId);
        }
        restored.engineSpeed = hostsim::ToUtf8(hostsim::ModuleDataPoint(1, kEngineSpeed).valueText);
        restored.vin = hostsim::ToUtf8(hostsim::ModuleDataPoint(1, kVin).valueText);
        return restored;
    }
};

TEST_F(RecordingThroughEntries, ARecordedEngineComesBackWithoutTheTruck) {
    ASSERT_EQ(hostsim::LoadDefaultScenario(), "");
    ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0);
    Complete(1);
    std::wstring vin(64, L'\0');
    int16_t length = 64;
    EXPECT_EQ(Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand)(1, zorv::kCmdGetVin, &vin[0], &length,
                                                                              nullptr, nullptr, nullptr),
              0);

    const uint32_t recording = hostsim::BeginRecording();
    EXPECT_EQ(Entry<zorv::FnStartRecording>(zorv::kEntryStartRecording)(recording, 0, 0, 0), 0);
    platform::SleepMs(1500);
    ASSERT_EQ(hostsim::WriteRecording(recording, 1, path_, "Engine #1", 0x00, 1), "");
    const std::wstring widePath = Wide(path_);
    EXPECT_EQ(Entry<zorv::FnAppendDataToRecordingFile>(zorv::kEntryAppendDataToRecordingFile)(0, 1, widePath.c_str()),
              0);
    hostsim::EndRecording(recording);

    const std::string text = FileText(path_);
    EXPECT_NE(text.find("\r\n\r\n[ConnectionInfo]\r\nMID = 0\r\nProtocol = J1939:Baud=Auto\r\n\r\n[VIN]\r\n"
                        "VIN = 1M2TR2407PM004217\r\n"),
              std::string::npos)
        << text.substr(0, 400);
    EXPECT_NE(text.find("SETS_OF_TESKIDS = 1\r\nSUPPORTED_TESKIDS[0] = "), std::string::npos);
    if (const char* keep = std::getenv("MARL_KEEP_RECORDING")) std::filesystem::copy_file(path_, keep);

    const Restored restored = PlayBack(path_);
    EXPECT_TRUE(restored.visible.count(kEngineSpeed)) << "a recorded supported parameter is shown";
    EXPECT_EQ(restored.engineSpeed, "650 rpm") << "the recorded broadcasts were parsed";
    EXPECT_EQ(restored.vin, "1M2TR2407PM004217");
}

TEST_F(RecordingThroughEntries, RecordingsOfBothPlatformsRestoreTheSame) {
    std::vector<Restored> restored;
    for (const char* name : {"engine-linux.rec", "engine-windows.rec"}) {
        restored.push_back(PlayBack(std::string(kRecordingsDir) + "/" + name));
    }
    EXPECT_FALSE(restored[0].visible.empty());
    EXPECT_EQ(restored[0].visible, restored[1].visible);
    EXPECT_EQ(restored[0].engineSpeed, restored[1].engineSpeed);
    EXPECT_EQ(restored[0].vin, "1M2TR2407PM004217");
    EXPECT_EQ(restored[1].vin, "1M2TR2407PM004217");
}

}  // namespace
}  // namespace marl::testing
