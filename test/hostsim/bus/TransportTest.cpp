// Transport sessions onto the bus and back, the candump line format, and reassembly of
// real recorded traffic.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "hostsim/bus/CandumpLog.h"
#include "hostsim/bus/TransportProtocol.h"

namespace {

hostsim::J1939Message Vin(uint8_t destination) {
    hostsim::J1939Message message;
    message.pgn = 0xFEEC;
    message.source = 0x00;
    message.destination = destination;
    std::string vin = "1M2TR2407PM004217*";
    message.data.assign(vin.begin(), vin.end());
    return message;
}

std::vector<hostsim::J1939Message> Reassemble(const std::vector<hostsim::CanFrame>& frames,
                                              hostsim::TransportReassembler& reassembler) {
    std::vector<hostsim::J1939Message> messages;
    for (const hostsim::CanFrame& frame : frames) {
        auto message = reassembler.Feed(frame);
        if (message) messages.push_back(*message);
    }
    return messages;
}

std::string LogPath(const char* name) { return std::string(MARL_TEST_LOGS_DIR) + "/" + name; }

}  // namespace

TEST(Transport, ShortMessagesAreOneFrameWithTheirJ1939Identifier) {
    hostsim::J1939Message request;
    request.pgn = 0xEA00;
    request.source = 0xF9;
    request.destination = 0x00;
    request.data = {0xEC, 0xFE, 0x00};
    auto frames = hostsim::FramesOf(request);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].id, 0x18EA00F9u) << "PDU1: the destination goes into the PS byte";
    EXPECT_EQ(frames[0].data, request.data);

    hostsim::J1939Message eec1;
    eec1.pgn = 0xF004;
    eec1.priority = 3;
    eec1.destination = 0x17;  // a PDU2 group has no destination on the bus
    eec1.source = 0x00;
    EXPECT_EQ(hostsim::CanIdOf(eec1), 0x0CF00400u);
    hostsim::J1939Message back = hostsim::HeaderOfCanId(0x0CF00400u);
    EXPECT_EQ(back.pgn, 0xF004u);
    EXPECT_EQ(back.destination, 0xFF);
    EXPECT_EQ(hostsim::HeaderOfCanId(0x18EAFFF9u).destination, 0xFF);
}

TEST(Transport, GlobalMessagesTravelAsBamAndComeBackWhole) {
    auto frames = hostsim::FramesOf(Vin(0xFF));
    ASSERT_EQ(frames.size(), 4u) << "announcement and three packets for 18 bytes";
    EXPECT_EQ(frames[0].id, 0x1CECFF00u);
    EXPECT_EQ(frames[0].data, (std::vector<uint8_t>{0x20, 18, 0, 3, 0xFF, 0xEC, 0xFE, 0x00}));
    EXPECT_EQ(frames[3].id, 0x1CEBFF00u);
    EXPECT_EQ(frames[3].data[0], 3);
    EXPECT_EQ(frames[3].data[5], 0xFF) << "the last packet is padded";

    hostsim::TransportReassembler reassembler;
    auto messages = Reassemble(frames, reassembler);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].data, Vin(0xFF).data);
    EXPECT_EQ(messages[0].pgn, 0xFEECu);
    EXPECT_EQ(reassembler.Statistics().broadcastsCompleted, 1u);
}

TEST(Transport, AddressedMessagesUseRtsCtsWithTheReceiversReplies) {
    auto frames = hostsim::FramesOf(Vin(0xF9));
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].id, 0x1CECF900u);
    EXPECT_EQ(frames[0].data[0], 16) << "request to send";
    EXPECT_EQ(frames[1].id, 0x1CEC00F9u) << "clear to send comes from the receiver";
    EXPECT_EQ(frames[5].data[0], 19) << "end of message acknowledged by the receiver";

    hostsim::TransportReassembler reassembler;
    auto messages = Reassemble(frames, reassembler);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].destination, 0xF9);
    EXPECT_EQ(messages[0].data, Vin(0xF9).data);
    EXPECT_EQ(reassembler.Statistics().connectionsCompleted, 1u);
}

TEST(Transport, BrokenSessionsAreDropped) {
    auto frames = hostsim::FramesOf(Vin(0xFF));
    hostsim::TransportReassembler reassembler;
    std::vector<hostsim::CanFrame> skipped = {frames[0], frames[1], frames[3]};
    EXPECT_TRUE(Reassemble(skipped, reassembler).empty());
    EXPECT_EQ(reassembler.Statistics().sessionsDropped, 1u);

    std::vector<hostsim::CanFrame> orphan = {frames[2]};
    EXPECT_TRUE(Reassemble(orphan, reassembler).empty()) << "a packet without announcement";

    hostsim::CanFrame announce = frames[0];
    announce.data[3] = 1;  // one packet cannot carry 18 bytes
    std::vector<hostsim::CanFrame> impossible = {announce, frames[1]};
    EXPECT_TRUE(Reassemble(impossible, reassembler).empty());

    hostsim::CanFrame abort{0x1CECFF00u, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEC, 0xFE, 0x00}};
    std::vector<hostsim::CanFrame> aborted = {frames[0], frames[1], abort, frames[2], frames[3]};
    EXPECT_TRUE(Reassemble(aborted, reassembler).empty());
}

TEST(Candump, LinesInTheCanUtilsFormat) {
    hostsim::CandumpFrame frame;
    frame.timeMicros = 1700000000000042;
    frame.interfaceName = hostsim::InterfaceOfChannel(1);
    frame.frame = {0x18EAFFF9u, {0x00, 0xEE, 0x00}};
    std::string line = hostsim::FormatCandumpLine(frame);
    EXPECT_EQ(line, "(1700000000.000042) can0 18EAFFF9#00EE00");

    std::string error;
    auto parsed = hostsim::ParseCandumpLine(line, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->timeMicros, frame.timeMicros);
    EXPECT_EQ(parsed->frame, frame.frame);
    EXPECT_EQ(hostsim::ChannelOfInterface("can3"), 4);
    EXPECT_EQ(hostsim::ChannelOfInterface("vcan0"), 0);

    auto standard = hostsim::ParseCandumpLine("(1635188466.947300) can1 001#73", error);
    ASSERT_TRUE(standard);
    EXPECT_FALSE(standard->extended);
    EXPECT_FALSE(hostsim::ParseCandumpLine("", error));
    EXPECT_TRUE(error.empty()) << "an empty line is no error";
    for (const char* bad : {"1700000000.000000 can0 18EAFFF9#00", "(1700000000.0) can0 18EAFFF9#00",
                            "(1700000000.000000) can0 18EAFFF9", "(1700000000.000000) can0 18EAFFF9#0",
                            "(1700000000.000000) can0 18EAFFF9#000102030405060708",
                            "(1700000000.000000) can0 X8EAFFF9#00",
                            "(1700000000.000000) can0 18EAFFF9#R"}) {
        EXPECT_FALSE(hostsim::ParseCandumpLine(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(Candump, RealEngineLogReassemblesEveryBamTransfer) {
    hostsim::CandumpReader reader;
    ASSERT_EQ(reader.Open(LogPath("engine-vin-broadcast.candump.log")), "");
    hostsim::TransportReassembler reassembler;
    std::map<uint32_t, int> transfers;
    std::vector<std::string> vins;
    size_t frames = 0;
    while (auto frame = reader.Next()) {
        ++frames;
        auto message = reassembler.Feed(frame->frame);
        if (!message || message->data.size() <= 8) continue;
        ++transfers[message->pgn];
        if (message->pgn == 0xFEEC) vins.emplace_back(message->data.begin(), message->data.end());
    }
    EXPECT_EQ(frames, 1815u);
    EXPECT_EQ(reader.MalformedLines(), 0u);
    EXPECT_EQ(transfers[0xFEE3], 13);
    EXPECT_EQ(transfers[0xFEEC], 3);
    EXPECT_EQ(reassembler.Statistics().broadcastsCompleted, 16u);
    ASSERT_EQ(vins.size(), 3u);
    EXPECT_EQ(vins[0], vins[2]);
    EXPECT_GE(vins[0].find('*'), 17u) << "a VIN of 17 characters before its delimiter: " << vins[0];
}

TEST(Candump, MissingLogIsReported) {
    hostsim::CandumpReader reader;
    EXPECT_NE(reader.Open(LogPath("no-such.candump.log")).find("no-such"), std::string::npos);
}
