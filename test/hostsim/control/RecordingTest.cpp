// The host's recordings: what the plug-in hands the recorder, the host's section of the
// recording file read back whole or damaged, and playback into the plug-in's receive
// entry.
#include <filesystem>
#include <fstream>
#include <mutex>

#include "test/hostsim/HostSimFixture.h"

namespace {

std::mutex gLock;
std::vector<std::vector<uint8_t>> gDelivered;

uint16_t ZORV_STDCALL Deliver(int32_t handle, const uint8_t* message, uint16_t length, uint32_t timeStamp) {
    std::lock_guard<std::mutex> lock(gLock);
    EXPECT_EQ(handle, 4);
    EXPECT_EQ(timeStamp, 100u * (gDelivered.size() + 1)) << "the recorded time";
    gDelivered.emplace_back(message, message + length);
    return 0;
}

class RecordingTest : public HostSimTest {
protected:
    std::string path_ = (std::filesystem::temp_directory_path() /
                         ("marl-recording-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())))
                            .string();
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove(path_, error);
        HostSimTest::TearDown();
    }
    void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
};

const std::vector<uint8_t> kDm1 = {0xCA, 0xFE, 0x00, 0x06, 0x00, 0xFF, 0x04, 0xFF, 0x6E, 0x00, 0x0F, 0x01};

TEST_F(RecordingTest, WhatThePluginRecordsIsWrittenAndReadBackWithTheEcusName) {
    J1939DecodedName name{};
    name.function = 0;
    name.manufacturer = 115;
    hostsim::SetJ1939Name(0x00, name);
    const uint32_t recording = hostsim::BeginRecording();
    EXPECT_EQ(Zorv_RecordMessage(recording, 1, kDm1.data(), static_cast<uint16_t>(kDm1.size()), 1400), 0);
    EXPECT_EQ(Zorv_RecordMessage(recording, 2, kDm1.data(), 12, 1500), 0) << "another module's message";
    EXPECT_NE(Zorv_RecordMessage(recording + 1, 1, kDm1.data(), 12, 1500), 0) << "no such recording";
    EXPECT_NE(Zorv_RecordMessage(recording, 1, kDm1.data(), 3, 1500), 0) << "no whole header";
    ASSERT_EQ(hostsim::WriteRecording(recording, 1, path_, "Engine #1", 0x00, 2), "");
    hostsim::EndRecording(recording);
    EXPECT_NE(Zorv_RecordMessage(recording, 1, kDm1.data(), 12, 1600), 0) << "the recording ended";

    hostsim::ModuleRecording read;
    ASSERT_EQ(hostsim::ReadRecording(path_, read), "");
    EXPECT_EQ(read.label, "Engine #1");
    EXPECT_EQ(read.channel, 2);
    ASSERT_TRUE(read.hasName);
    EXPECT_EQ(uint32_t{read.name.manufacturer}, 115u) << "a copy: the host's record is packed";
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].timeStamp, 1400u);
    EXPECT_EQ(read.messages[0].bytes, kDm1);
    EXPECT_EQ(read.skippedLines, 0u);
}

TEST_F(RecordingTest, DamagedFilesGiveWhatIsValidAndSayWhatIsNot) {
    hostsim::ModuleRecording read;
    EXPECT_NE(hostsim::ReadRecording(path_, read), "") << "no file";
    WriteFile("[ConnectionInfo]\r\nMID = 0\r\n");
    EXPECT_NE(hostsim::ReadRecording(path_, read).find("no [HostRecording] section"), std::string::npos);
    WriteFile("[HostRecording]\r\nAddress = 300\r\n");
    EXPECT_NE(hostsim::ReadRecording(path_, read), "") << "an address out of range";

    // A count far beyond the lines present, lines without "=", bad hex, short messages,
    // indexes beyond the count, a NAME of the wrong size, and other sections after it.
    WriteFile(
        "[hostrecording]\nADDRESS=3\nName = 01 02\nMessages = 4000000000\nMessage[0] = 10 CA FE 00 06 03 FF 00\n"
        "garbage line\nMessage[1] = 20 CA FE 0G\nMessage[2] = 30 CA FE\nMessage[7] = x\n"
        "Message[4000000001] = 40 CA FE 00 06 03 FF\nMessage[3] = 50 CA FE 00 06 03 FF 01\n[Other]\nMessage[5] = 60 "
        "CA FE 00 06 03 FF\n");
    ASSERT_EQ(hostsim::ReadRecording(path_, read), "");
    EXPECT_EQ(read.address, 3);
    EXPECT_FALSE(read.hasName);
    ASSERT_EQ(read.messages.size(), 2u);
    EXPECT_EQ(read.messages[1].timeStamp, 50u);
    EXPECT_EQ(read.skippedLines, 6u);
}

TEST_F(RecordingTest, PlaybackBringsTheMessagesInAsTheBusWould) {
    hostsim::ModuleRecording recording;
    recording.address = 0x00;
    recording.hasName = true;
    recording.name.manufacturer = 77;
    recording.messages = {{100, kDm1}, {200, kDm1}, {300, {1, 2}}};
    hostsim::AttachPlugin(&Deliver);
    hostsim::PreparePlayback(recording);
    uint32_t status = 0;
    EXPECT_EQ(Zorv_GetModulePlaybackStatus(0, &status), 0);
    EXPECT_EQ(status, 1u);
    J1939DecodedName name{};
    EXPECT_EQ(Lookup<zorv::GetJ1939NameFn>(zorv::kLookupGetJ1939Name)(0x00, &name), 0);
    EXPECT_EQ(uint32_t{name.manufacturer}, 77u) << "the recorded address claims its recorded NAME";
    EXPECT_EQ(hostsim::PlayBack(recording, 4), 2u) << "a message without a header is not played";
    std::lock_guard<std::mutex> lock(gLock);
    EXPECT_EQ(gDelivered, (std::vector<std::vector<uint8_t>>{kDm1, kDm1}));
    hostsim::DetachPlugin();
}

}  // namespace
