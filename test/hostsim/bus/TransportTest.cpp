// J1939 on the wire: NAMEs, transport sessions onto the bus and back, the candump line
// format, and reassembly of real recorded traffic (whose PDU2 identifiers the replay test
// reads back).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "hostsim/bus/CandumpLog.h"
#include "hostsim/bus/J1939Name.h"
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

}  // namespace

TEST(J1939, NameFieldsBytesAndTheDecodedRecord) {
    hostsim::J1939NameFields tire;
    tire.identityNumber = 0x1ABCDE;
    tire.manufacturerCode = 312;
    tire.ecuInstance = 5;
    tire.functionInstance = 8;
    tire.function = 38;
    tire.industryGroup = 1;
    tire.arbitraryAddressCapable = true;
    uint64_t name = hostsim::EncodeName(tire);
    EXPECT_EQ(name >> 63, 1u) << "arbitrary-address capable is the top bit";
    EXPECT_EQ((name >> 40) & 0xFF, 38u) << "function in bits 40-47";
    EXPECT_EQ(hostsim::DecodeName(name), tire);
    uint8_t bytes[8] = {};
    hostsim::NameToBytes(name, bytes);
    EXPECT_EQ(bytes[0], 0xDE) << "least significant byte first on the bus";
    EXPECT_EQ(hostsim::NameFromBytes(bytes), name);

    J1939DecodedName decoded = hostsim::DecodedNameOf(name, 0x33);
    EXPECT_EQ(hostsim::NameOfDecoded(decoded), name);
    uint32_t instanceWord = decoded.instanceWord;
    EXPECT_EQ(instanceWord & 0x1F0000u, 0x080000u) << "function instance 8 in bits 16-20";
    EXPECT_EQ(instanceWord & 0x7u, 5u) << "ECU instance in bits 0-2";
    uint32_t identity = 0;
    std::memcpy(&identity, reinterpret_cast<const uint8_t*>(&decoded) + 12, sizeof(identity));
    EXPECT_EQ(identity, 0x1ABCDEu);
    EXPECT_TRUE(hostsim::IsArbitraryAddressCapable(decoded.lastWord));
    EXPECT_EQ(decoded.FirstWord() & 0xFFu, 0x33u) << "claimed address in byte 0";
    J1939DecodedName plain = hostsim::DecodedNameOf(hostsim::EncodeName({}), 0);
    EXPECT_FALSE(hostsim::IsArbitraryAddressCapable(plain.lastWord));
    EXPECT_GE(plain.FirstWord(), hostsim::kDecodedNameMarker) << "never mistaken for an address, even all zero";
}

TEST(Transport, GlobalMessagesTravelAsBamAddressedOnesAsRtsCts) {
    auto bam = hostsim::FramesOf(Vin(0xFF));
    ASSERT_EQ(bam.size(), 4u) << "announcement and three packets for 18 bytes";
    EXPECT_EQ(bam[0].id, 0x1CECFF00u);
    EXPECT_EQ(bam[0].data, (std::vector<uint8_t>{0x20, 18, 0, 3, 0xFF, 0xEC, 0xFE, 0x00}));
    EXPECT_EQ(bam[3].data[5], 0xFF) << "the last packet is padded";
    auto rts = hostsim::FramesOf(Vin(0xF9));
    ASSERT_EQ(rts.size(), 6u);
    EXPECT_EQ(rts[0].data[0], 16) << "request to send";
    EXPECT_EQ(rts[1].id, 0x1CEC00F9u) << "clear to send comes from the receiver";
    EXPECT_EQ(rts[5].data[0], 19) << "end of message acknowledged by the receiver";

    hostsim::TransportReassembler reassembler;
    for (const auto& frames : {bam, rts}) {
        auto messages = Reassemble(frames, reassembler);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].pgn, 0xFEECu);
        EXPECT_EQ(messages[0].data, Vin(0xFF).data);
    }
    EXPECT_EQ(reassembler.Statistics().broadcastsCompleted, 1u);
    EXPECT_EQ(reassembler.Statistics().connectionsCompleted, 1u);
}

TEST(Transport, BrokenSessionsAreDropped) {
    auto frames = hostsim::FramesOf(Vin(0xFF));
    hostsim::CanFrame tooFewPackets = frames[0];
    tooFewPackets.data[3] = 1;
    hostsim::CanFrame abort{0x1CECFF00u, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEC, 0xFE, 0x00}};
    const std::vector<hostsim::CanFrame> broken[] = {
        {frames[0], frames[1], frames[3]},                   // a packet missing
        {frames[2]},                                         // a packet without announcement
        {tooFewPackets, frames[1]},                          // one packet cannot carry 18 bytes
        {frames[0], frames[1], abort, frames[2], frames[3]},  // aborted
    };
    for (const auto& session : broken) {
        hostsim::TransportReassembler reassembler;
        EXPECT_TRUE(Reassemble(session, reassembler).empty());
    }
}

TEST(Candump, LinesInTheCanUtilsFormat) {
    hostsim::CandumpFrame frame{1700000000000042, hostsim::InterfaceOfChannel(1), true, {0x18EAFFF9u, {0x00, 0xEE, 0x00}}};
    std::string line = hostsim::FormatCandumpLine(frame);
    EXPECT_EQ(line, "(1700000000.000042) can0 18EAFFF9#00EE00");
    std::string error;
    auto parsed = hostsim::ParseCandumpLine(line, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->timeMicros, frame.timeMicros);
    EXPECT_EQ(parsed->frame, frame.frame);
    EXPECT_EQ(hostsim::ChannelOfInterface("can3"), 4);
    EXPECT_FALSE(hostsim::ParseCandumpLine("(1635188466.947300) can1 001#73", error).value().extended);
    EXPECT_FALSE(hostsim::ParseCandumpLine("", error));
    EXPECT_TRUE(error.empty()) << "an empty line is no error";
    for (const char* bad : {"1700000000.000000 can0 18EAFFF9#00", "(1700000000.0) can0 18EAFFF9#00",
                            "(1700000000.000000) can0 18EAFFF9#0", "(1700000000.000000) can0 X8EAFFF9#00"}) {
        EXPECT_FALSE(hostsim::ParseCandumpLine(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(Candump, RealEngineLogReassemblesEveryBamTransfer) {
    hostsim::CandumpReader reader;
    EXPECT_NE(reader.Open(std::string(MARL_TEST_LOGS_DIR) + "/no-such.candump.log").find("no-such"),
              std::string::npos);
    ASSERT_EQ(reader.Open(std::string(MARL_TEST_LOGS_DIR) + "/engine-vin-broadcast.candump.log"), "");
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
    EXPECT_EQ(reassembler.Statistics().broadcastsCompleted, 16u);
    ASSERT_EQ(vins.size(), 3u);
    EXPECT_EQ(vins[0], vins[2]);
    EXPECT_GE(vins[0].find('*'), 17u) << "a VIN of 17 characters before its delimiter: " << vins[0];
}
