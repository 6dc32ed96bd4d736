// The plug-in's sections of a recording file: what is appended when a recording ends,
// what playback restores from it, and the messages handed to a running recording.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "VehicleApp/receive/Categories.h"
#include "VehicleApp/recording/RecordingFormat.h"
#include "host/ZorvApi.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr ZCategoryId kRecordable = 30;
constexpr ZCategoryId kVehicleInfo = 31;
constexpr ZCategoryId kShownBySupport = 32;
constexpr uint32_t kPgnBase = 0xFE00;
constexpr uint32_t kRecordingValue = 77;

// An ECU at address 0 with three supported recordable data points 101, 102 and 103 and
// one vehicle-information data point 555 whose value is the text 12.
const std::string kExampleBlock =
    "\r\n\r\n[ConnectionInfo]\r\nMID = 0\r\nProtocol = J1939:Baud=Auto\r\n\r\n[VIN]\r\n\r\n"
    "\r\n[MARL_J1939_PROPRIETARY_DATA]\r\nSETS_OF_TESKIDS = 1\r\nSUPPORTED_TESKIDS[0] = 3, 101, 102, 103\r\n\r\n"
    "[VehicleInfo]\r\nSIZE = 1\r\nTESKID[0] = 555\r\nVALUE[0] = 12\r\n";

class RecordingFileTest : public AppTest {
protected:
    const std::filesystem::path file_ = std::filesystem::temp_directory_path() / "marl-recording-test.rec";
    const std::wstring path_ = file_.wstring();

    // 104 is recordable but hidden, 105 shown but its PGN is never answered, 556 is
    // shown until a recording hides it.
    void DescribeDatabase() override {
        for (TESKID teskId : {101u, 102u, 103u, 104u, 105u, 555u, 556u}) {
            hostsim::DataPointDefinition point = DataPoint(teskId, kPgnBase + teskId);
            point.visible = teskId != 104;
            hostsim::AddDataPoint(point);
        }
        hostsim::DataPointDefinition value = DataPoint(555, 0xFEE0);
        value.valueText = L"12";
        value.visible = true;
        hostsim::AddDataPoint(value);
        hostsim::AddCategory(Category(kRecordable, "RecordablePids", {101, 102, 103, 104, 105}));
        hostsim::AddCategory(Category(kVehicleInfo, "Vehicle Info", {555}));
        hostsim::CategoryDefinition shown = Category(kShownBySupport, "Engine", {101, 102, 103, 104, 556});
        shown.type = 1;
        hostsim::AddCategory(shown);
    }
    void SetUp() override {
        AppTest::SetUp();
        std::filesystem::remove(file_);
        app.Receiver().ClassifyCategories(1);
    }
    void TearDown() override {
        std::filesystem::remove(file_);
        AppTest::TearDown();
    }
    ModuleRecordPtr ExampleEngine(int32_t handle = 1) {
        ModuleRecordPtr engine = AddCompletedModule(handle, 0x00);
        for (TESKID teskId : {101u, 102u, 103u, 104u}) engine->pgnMap.recordResponse(kPgnBase + teskId, false);
        return engine;
    }
    std::string FileText() const {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }
    // Playback of the file for a module handle whose parameter file the host has loaded.
    uint16_t Play(int32_t handle = 1) {
        const char* components[] = {"SA_00"};
        EXPECT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(handle, L"MARL_J1939.BIN", L"MARL_J1939", components, 1), 0);
        return app.Recorder().ReadDataFromRecordingFile(handle, path_.c_str());
    }
    static bool Shown(TESKID teskId) { return hostsim::DataPoint(teskId).visible && hostsim::DataPoint(teskId).valid; }
};

TEST_F(RecordingFileTest, TheBlockIsAppendedByteForByteAndEndsTheRecording) {
    ExampleEngine();
    WriteFile("host data");
    app.Recorder().StartRecording(kRecordingValue);
    EXPECT_EQ(app.Recorder().AppendDataToRecordingFile(1, path_.c_str()), 0);
    EXPECT_FALSE(app.Recorder().IsRecording());
    EXPECT_EQ(FileText(), "host data" + kExampleBlock) << "104 is hidden, 105's PGN unanswered: both left out";

    // A second append adds a whole block and never rewrites the first; the value is read
    // as it is now, and an empty one is written empty.
    Zorv_SetDPDisplayValue(1, 555, L"", 1);
    EXPECT_EQ(app.Recorder().AppendDataToRecordingFile(1, path_.c_str()), 0);
    std::string second = kExampleBlock;
    second.replace(second.find("VALUE[0] = 12"), 13, "VALUE[0] = ");
    EXPECT_EQ(FileText(), "host data" + kExampleBlock + second);

    app.Recorder().StartRecording(kRecordingValue);
    EXPECT_EQ(app.Recorder().AppendDataToRecordingFile(1, nullptr), 0) << "no path: nothing to do";
    EXPECT_FALSE(app.Recorder().IsRecording()) << "the recording ends all the same";
    EXPECT_EQ(app.Recorder().AppendDataToRecordingFile(9, path_.c_str()), 1) << "no module with the handle";
    const std::wstring folder = std::filesystem::temp_directory_path().wstring();
    EXPECT_EQ(app.Recorder().AppendDataToRecordingFile(1, folder.c_str()), 1) << "not a file";
    EXPECT_EQ(FileText(), "host data" + kExampleBlock + second);
}

TEST_F(RecordingFileTest, SupportedDataPointsGoHundredALineAndTheVinReadIsRecorded) {
    const struct {
        size_t supported;
        std::vector<std::string> lines;
    } cases[] = {{250, {"SETS_OF_TESKIDS = 3", "[0] = 100, 1, ", ", 100\r\n", "[1] = 100, 101, ", "[2] = 50, 201, "}},
                 {100, {"SETS_OF_TESKIDS = 1", "[0] = 100, 1, ", ", 100\r\n"}},
                 {0, {"SETS_OF_TESKIDS = 0\r\n\r\n[VehicleInfo]"}}};
    for (const auto& c : cases) {
        recording::RecordingBlock block;
        for (TESKID teskId = 1; teskId <= c.supported; ++teskId) block.supported.push_back(teskId);
        const std::string text = recording::FormatRecordingBlock(block);
        for (const std::string& line : c.lines) EXPECT_NE(text.find(line), std::string::npos) << line;
        EXPECT_EQ(text.find(c.supported == 100 ? "[1] =" : "[3] ="), std::string::npos);
    }

    hostsim::DataPointDefinition vin = DataPoint(700, 0xFEEC);
    vin.udis = {zorv::kUdiVin};
    vin.valueText = L"1XKYD49X0NJ123456";
    hostsim::AddDataPoint(vin);
    ExampleEngine();
    wchar_t text[32] = {};
    int16_t length = 32;
    ASSERT_EQ(app.Vehicle().GetVin(1, text, &length), 0);
    EXPECT_EQ(app.Recorder().AppendDataToRecordingFile(1, path_.c_str()), 0);
    EXPECT_NE(FileText().find("\r\n[VIN]\r\nVIN = 1XKYD49X0NJ123456\r\n\r\n\r\n[MARL"), std::string::npos);
}

TEST_F(RecordingFileTest, PlaybackRestoresTheModuleItsSupportAndTheVehicleInformation) {
    WriteFile(kExampleBlock + "[VehicleInfo]\r\nSIZE = 5\r\n");
    EXPECT_EQ(Play(), 0);
    ModuleRecordPtr engine = app.Modules().FindModule(1);
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->EcuAddress(), 0);
    EXPECT_EQ(engine->Channel(), 1);
    EXPECT_FALSE(engine->IsBusy());
    for (TESKID teskId : {101u, 102u, 103u}) {
        EXPECT_TRUE(engine->pgnMap.isSupported(kPgnBase + teskId));
        EXPECT_TRUE(Shown(teskId)) << teskId;
    }
    EXPECT_FALSE(engine->pgnMap.contains(kPgnBase + 104));
    EXPECT_FALSE(hostsim::DataPoint(104).visible || hostsim::DataPoint(104).valid);
    EXPECT_FALSE(hostsim::DataPoint(556).visible || hostsim::DataPoint(556).valid);
    EXPECT_EQ(hostsim::DataPoint(555).displayValue, L"12") << "the first of two equal sections is read";

    // A module already registered at the address stays as it is; the host's lists follow
    // the recording all the same.
    hostsim::ClearCalls();
    WriteFile("[ConnectionInfo]\r\nMID = 0\r\n[VehicleInfo]\r\nSIZE=1\r\nTESKID[0]=556\r\nVALUE[0]=--\r\n");
    EXPECT_EQ(Play(2), 0);
    EXPECT_EQ(app.Modules().Count(), 1);
    EXPECT_FALSE(app.Modules().FindModule(2));
    EXPECT_EQ(CallsWithArg("Zorv_SetDataPointVisible", 1, "556"), 2u) << "\"--\" hides, then the list decides";
    EXPECT_EQ(CallCount("Zorv_SetDPDisplayValue"), 0u);
}

TEST_F(RecordingFileTest, TheGlobalAddressIsRefusedAndDamagedFilesAreReadAsFarAsTheyGo) {
    for (const std::string mid : {"255", "256", "99999999999999999999"}) {
        WriteFile("[ConnectionInfo]\r\nMID = " + mid + "\r\n");
        EXPECT_EQ(Play(), 20) << mid;
    }
    EXPECT_EQ(TraceCodes("CVehicleApp::ReadDataFromRecordingFile (Line 386)").size(), 3u);
    EXPECT_EQ(app.Modules().Count(), 0);
    EXPECT_EQ(CallCount("Zorv_SetDataPointVisible"), 0u);

    // A hundred ten-digit TESKIDs on one line, a line announcing more than it holds, set
    // and entry counts beyond what is there, and numbers out of range.
    std::string longLine = "100";
    for (TESKID teskId = 4000000000u; teskId < 4000000100u; ++teskId) longLine += ", " + std::to_string(teskId);
    WriteFile(std::string("bin\0ary\x01\r\n", 10) +
              "[ConnectionInfo]\r\nMID = 3\r\n[MARL_J1939_PROPRIETARY_DATA]\r\nSETS_OF_TESKIDS = "
              "99999999999\r\nSUPPORTED_TESKIDS[0] = " +
              longLine +
              "\r\nSUPPORTED_TESKIDS[1] = 9, 101, 102\r\n"
              "SUPPORTED_TESKIDS[2] = 4294967296, x\r\n[VehicleInfo]\r\nSIZE = 70000\r\nTESKID[1] = 555\r\n");
    hostsim::ClearCalls();
    EXPECT_EQ(Play(), 0);
    const Texts asked = ArgOf("Zorv_GetPIDForTESKID", 1);
    ASSERT_EQ(asked.size(), 103u) << "100 + the two present of nine + one";
    EXPECT_EQ(asked[99], "4000000099");
    EXPECT_EQ(asked[102], "0");
    EXPECT_EQ(TraceCodes("CVehicleApp::GetRecordedTeskids (Line 328)").size(), 101u) << "unknown TESKIDs";
    EXPECT_TRUE(Shown(101) && Shown(102) && !Shown(103));
    EXPECT_EQ(ArgsOf("Zorv_SetDPDisplayValue"), (std::vector<Texts>{{"1", "555", "\"\"", "1024"}}))
        << "only the entry the file has";
    ASSERT_TRUE(app.Modules().FindModule(1));
    EXPECT_EQ(app.Modules().FindModule(1)->EcuAddress(), 3);

    // No file at all: a module at address 0 that supports nothing.
    std::filesystem::remove(file_);
    EXPECT_EQ(Play(2), 0);
    EXPECT_FALSE(Shown(101));
    EXPECT_EQ(app.Modules().FindModule(2)->EcuAddress(), 0);
    EXPECT_EQ(app.Recorder().ReadDataFromRecordingFile(3, nullptr), 0);
    EXPECT_FALSE(app.Modules().FindModule(3));
}

TEST_F(RecordingFileTest, WhatReachesTheParserIsRecordedOncePerPgnWithinTheWindowWhileRecording) {
    ExampleEngine();
    AddModule(2, 0x03);
    const auto message = Message(0xFEF1, 0x00);
    Receive(1, message, 1000);
    app.Recorder().StartRecording(kRecordingValue);
    Receive(1, message, 2000);
    Receive(1, message, 2300);                // within the window: neither parsed nor recorded
    Receive(1, Message(0xFEF1, 0x03), 2400);  // registration incomplete: not parsed
    Receive(1, message, 2500);
    Receive(1, Message(0xFEF4, 0x00), 2600);  // tire messages are never throttled when parsed
    Receive(1, Message(0xFEF4, 0x00), 2700);
    EXPECT_EQ(Parsed().size(), 5u);
    const std::vector<Texts> recorded = ArgsOf("Zorv_RecordMessage");
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0], (Texts{"77", "1", "F1 FE 00 06 00 F9 10 20 30 40 50 60 70 80", "14", "2000"}));
    EXPECT_EQ(recorded[1][4], "2500");
    EXPECT_EQ(recorded[2][4], "2600");

    app.Recorder().AppendDataToRecordingFile(1, nullptr);
    Receive(1, message, 5000);
    EXPECT_EQ(CallCount("Zorv_RecordMessage"), 3u);
}

}  // namespace
}  // namespace marl::testing
