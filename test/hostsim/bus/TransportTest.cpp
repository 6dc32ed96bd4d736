// J1939 on the wire: NAMEs, transport sessions onto the bus and back, and the candump
// line format. Real recorded traffic is reassembled by the replay test of the network.
#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    const uint64_t name = hostsim::EncodeName(tire);
    EXPECT_EQ(name, 0x90002645271ABCDEull);
    EXPECT_EQ(hostsim::DecodeName(name), tire);
    uint8_t bytes[8] = {};
    hostsim::NameToBytes(name, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8),
              (std::vector<uint8_t>{0xDE, 0xBC, 0x1A, 0x27, 0x45, 0x26, 0x00, 0x90}))
        << "least significant first";
    EXPECT_EQ(hostsim::NameFromBytes(bytes), name);

    // Address, function, marker with industry group, instances, maker, identity, raw NAME.
    const J1939DecodedName decoded = hostsim::DecodedNameOf(name, 0x33);
    const auto* record = reinterpret_cast<const uint8_t*>(&decoded);
    EXPECT_EQ(std::vector<uint8_t>(record, record + sizeof(decoded)),
              (std::vector<uint8_t>{0x33, 0x26, 0x00, 0x90, 0x05, 0x00, 0x08, 0x00, 0x38, 0x01, 0x00, 0x00,
                                    0xDE, 0xBC, 0x1A, 0x00, 0xDE, 0xBC, 0x1A, 0x27, 0x45, 0x26, 0x00, 0x90}));
    EXPECT_EQ(hostsim::NameOfDecoded(decoded), name);
    EXPECT_TRUE(hostsim::IsArbitraryAddressCapable(decoded.lastWord));
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
        {frames[0], frames[1], frames[3]},                    // a packet missing
        {frames[2]},                                          // a packet without announcement
        {tooFewPackets, frames[1]},                           // one packet cannot carry 18 bytes
        {frames[0], frames[1], abort, frames[2], frames[3]},  // aborted
    };
    for (const auto& session : broken) {
        hostsim::TransportReassembler reassembler;
        EXPECT_TRUE(Reassemble(session, reassembler).empty());
    }
}

TEST(Candump, LinesInTheCanUtilsFormat) {
    hostsim::CandumpFrame frame{
        1700000000000042, hostsim::InterfaceOfChannel(1), true, {0x18EAFFF9u, {0x00, 0xEE, 0x00}}};
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
    for (const char* bad :
         {"1700000000.000000 can0 18EAFFF9#00", "(1700000000.0) can0 18EAFFF9#00",
          "(1700000000.000000) can0 18EAFFF9#0", "(1700000000.000000) can0 X8EAFFF9#00",
          "(1234567:.000000) can0 18EAFFF9#00", "(/2345678.000000) can0 18EAFFF9#00",
          "(1700000000.00000a) can0 18EAFFF9#00", "(1700000000.000000) can0 18EAFFF9#0001020304050607G8",
          "(1700000000.000000) can0 18EAFFF9#000102030405060708"}) {
        EXPECT_FALSE(hostsim::ParseCandumpLine(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_FALSE(hostsim::ParseCandumpLine("(1700000000.000000 can0 18EAFFF9#00", error));
    EXPECT_EQ(error, "the time has no closing parenthesis");
    // Seconds of any length; long ones are read eight digits at a time.
    const std::pair<const char*, int64_t> times[] = {{"(0.000001) can0 18EAFFF9#0a0B", 1},
                                                     {"(12345678.123456) can0 18EAFFF9#0a0B", 12345678123456},
                                                     {"(987654321098.000007) can0 18EAFFF9#0a0B", 987654321098000007}};
    for (const auto& [text, micros] : times) {
        const auto timed = hostsim::ParseCandumpLine(text, error);
        ASSERT_TRUE(timed) << text << ": " << error;
        EXPECT_EQ(timed->timeMicros, micros) << text;
        EXPECT_EQ(timed->frame.data, (hostsim::FrameData{0x0A, 0x0B})) << text;
    }
}

TEST(Candump, FrameDataHoldsAtMostEightBytes) {
    hostsim::FrameData data(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(data.ToVector(), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(data.push_back(10));
    data.clear();
    EXPECT_TRUE(data.push_back(10));
    EXPECT_EQ(data, hostsim::FrameData{10});
}

TEST(Candump, ConsoleLinesRemoteAndErrorFrames) {
    std::string error;
    const auto console =
        hostsim::ParseCandumpLine(" (000.001671)  can1  08FE6E0B   [8]  FF FE FF FE FF FE FF FE", error);
    const auto log = hostsim::ParseCandumpLine("(0.001671) can1 08FE6E0B#FFFEFFFEFFFEFFFE", error);
    ASSERT_TRUE(console && log) << error;
    EXPECT_EQ(console->frame, log->frame);
    EXPECT_EQ(console->timeMicros, log->timeMicros);
    EXPECT_EQ(console->interfaceName, "can1");
    EXPECT_FALSE(hostsim::ParseCandumpLine("  (000.002000)  vcan0  123   [2]  01 02  '..'", error).value().extended);
    using Kind = hostsim::CandumpFrame::Kind;
    // Written back, remote and error frames stay what they were.
    const auto again = [&](const char* line) {
        return hostsim::ParseCandumpLine(hostsim::FormatCandumpLine(hostsim::ParseCandumpLine(line, error).value()),
                                         error);
    };
    for (const char* remote : {"(1.000000) can0 18EAFF00#R", " (000.000100)  can0  18EAFF00   [0]  remote request"}) {
        EXPECT_EQ(hostsim::ParseCandumpLine(remote, error).value().kind, Kind::Remote) << remote;
        EXPECT_EQ(again(remote).value().kind, Kind::Remote) << remote;
    }
    for (const char* fault : {"(1.000000) can0 FC040000#F0FF7D0000FFFFFF",
                              " (000.000200)  can0  20000004   [8]  00 04 00 00 00 00 00 00   ERRORFRAME"}) {
        EXPECT_EQ(hostsim::ParseCandumpLine(fault, error).value().kind, Kind::Error) << fault;
        EXPECT_EQ(again(fault).value().kind, Kind::Error) << fault;
    }
    for (const char* bad : {" (000.000300)  can0  18FEF100   [9]  01 02 03 04 05 06 07 08 09",
                            " (000.000300)  can0  18FEF100   [3]  01 02", " (000.000300)  can0  18FEF100   [1]  01 02",
                            " (000.000300)  can0  18FEF100   8  01", " (000.000300)  can0  18FEF100   [2]  01 0G",
                            "(99999999999999999999.000000) can0 18FEF100#01"}) {
        EXPECT_FALSE(hostsim::ParseCandumpLine(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}
