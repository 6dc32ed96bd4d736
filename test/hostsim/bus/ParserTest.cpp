// The host's J1939 parser behind ParseJ1939Msg, the NAME table behind GetJ1939NAME, the
// arbitrary-address check and the fault codes kept from DM1 and DM2.
#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/bus/CandumpLog.h"

#include "hostsim/bus/J1939Name.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

std::vector<uint8_t> Message(uint32_t pgn, uint8_t source, const std::vector<uint8_t>& data) {
    hostsim::J1939Message message;
    message.pgn = pgn;
    message.source = source;
    message.data = data;
    return hostsim::ToHostLayout(message);
}

std::vector<uint8_t> Text(uint32_t pgn, uint8_t source, const std::string& text) {
    return Message(pgn, source, std::vector<uint8_t>(text.begin(), text.end()));
}

class Parser : public HostSimTest {
protected:
    void SetUp() override {
        HostSimTest::SetUp();
        const char* engine[] = {"SA_00"};
        const char* transmission[] = {"SA_03"};
        ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(1, L"MARL_J1939.BIN", L"MARL_J1939", engine, 1), 0);
        ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(2, L"MARL_J1939.BIN", L"MARL_J1939", transmission, 1), 0);
        parse_ = Lookup<zorv::ParseJ1939MsgFn>(zorv::kLookupParseJ1939Msg);
    }

    ZResult Parse(ZModuleHandle handle, const std::vector<uint8_t>& bytes) {
        return parse_(handle, bytes.data(), static_cast<uint16_t>(bytes.size()), 1000);
    }

    zorv::ParseJ1939MsgFn parse_ = nullptr;
};

}  // namespace

// What each decoding gives is the SPN decoder's and the example truck's business; here:
// the module's own table, values that stop being available, and messages that are too short.
TEST_F(Parser, DecodesTheModulesDataPointsOfThePgn) {
    EXPECT_EQ(ValueText(1, "SPN_190"), L"N/A") << "nothing received yet";
    ASSERT_EQ(Parse(1, Message(0xF004, 0x00, {0xF0, 0x7D, 0x87, 0x40, 0x1F, 0x00, 0xFF, 0x87})), 0);
    EXPECT_EQ(ValueText(1, "SPN_190"), L"1000 rpm");
    EXPECT_EQ(ValueText(1, "SPN_899"), L"Low idle governor");
    EXPECT_EQ(hostsim::ModuleDataPoint(1, "SPN_190").value, (std::vector<uint8_t>{0x40, 0x1F}));
    EXPECT_EQ(hostsim::ModuleDataPoint(1, "SPN_190").updates, 1u);
    EXPECT_EQ(ValueText(2, "SPN_190"), L"(no such data point)");

    ASSERT_EQ(Parse(1, Message(0xF004, 0x00, {0xF0, 0x7D, 0x87, 0xFF, 0xFF, 0x00, 0xFF, 0x87})), 0);
    EXPECT_EQ(ValueText(1, "SPN_190"), L"N/A") << "the engine reports the speed as not available";
    EXPECT_TRUE(hostsim::ModuleDataPoint(1, "SPN_190").value.empty());
    ASSERT_EQ(Parse(1, Message(0xFEEE, 0x00, {0x7D, 0x50, 0x00, 0x2E})), 0);
    EXPECT_EQ(ValueText(1, "SPN_110"), L"85 \u00B0C");
    EXPECT_EQ(ValueText(1, "SPN_52"), L"N/A") << "a short message leaves later fields not available";
    ASSERT_EQ(Parse(1, Text(0xFEDA, 0x00, "\x03" "ECM-4.2.1*")), 0);
    EXPECT_EQ(ValueText(1, "SPN_234_00"), L"ECM-4.2.1");
    EXPECT_EQ(parse_(1, nullptr, 0, 0), hostsim::kResultBadArgument);
    EXPECT_EQ(Parse(1, {0xEC, 0xFE, 0x00, 6, 0x00}), hostsim::kResultBadArgument);
}

TEST_F(Parser, AddressClaimsFillTheNameTableThatTheAddressCheckReads) {
    auto assignable = Lookup<zorv::CheckAssignableFn>(zorv::kLookupCheckAssignable);
    auto getName = Lookup<zorv::GetJ1939NameFn>(zorv::kLookupGetJ1939Name);
    J1939DecodedName decoded{};
    EXPECT_EQ(getName(0x44, &decoded), hostsim::kResultNotFound);
    hostsim::J1939NameFields brakes;
    brakes.function = 9;
    std::vector<uint8_t> name(8);
    hostsim::NameToBytes(hostsim::EncodeName(brakes), name.data());
    ASSERT_EQ(Parse(1, Message(0xEE00, 0x44, name)), 0);
    ASSERT_EQ(getName(0x44, &decoded), 0);
    EXPECT_EQ(decoded.function, 9);
    ASSERT_EQ(Parse(1, Message(0xEE00, 0xFE, name)), 0);
    EXPECT_EQ(getName(0xFE, &decoded), hostsim::kResultNotFound) << "cannot-claim messages name no address";

    ASSERT_EQ(hostsim::LoadScenarioText(R"({"tpPacketGapMs": 0, "ecus": [
        {"address": 0, "name": {"function": 0, "industryGroup": 1}},
        {"address": "0x33", "name": {"function": 38, "manufacturerCode": 312, "arbitraryAddressCapable": true}}]})"),
              "");
    EXPECT_NE(assignable(0x33, 1), 0) << "an address the host saw claimed";
    EXPECT_EQ(assignable(0x40, 1), 0) << "nobody claimed it and it is a preferred address";
    EXPECT_NE(assignable(0x90, 1), 0) << "an address self-configurable ECUs take";

    J1939DecodedName tire{};
    J1939DecodedName engine{};
    ASSERT_EQ(getName(0x33, &tire), 0);
    ASSERT_EQ(getName(0x00, &engine), 0);
    EXPECT_NE(assignable(tire.FirstWord(), tire.lastWord), 0);
    EXPECT_EQ(assignable(engine.FirstWord(), engine.lastWord), 0);
    hostsim::SetAssignableDefault(false);
    EXPECT_EQ(assignable(0x33, 1), 0) << "a test's default wins over the network";

    hostsim::Reset();
    EXPECT_EQ(assignable(0x90, 1), 0) << "without a network the host answers no";
}

TEST_F(Parser, KeepsTheLastDm1AndDm2OfEachModule) {
    EXPECT_FALSE(hostsim::ReceivedFaults(1).activeReceived);
    ASSERT_EQ(Parse(1, Message(j1939::kPgnDm1, 0x00, {0x04, 0xFF, 0xD4, 0x03, 0x09, 0x7E, 0xFF, 0xFF})), 0);
    ASSERT_EQ(Parse(1, Message(j1939::kPgnDm2, 0x00, {0x00, 0xFF, 0x61, 0x02, 0x0C, 0x03, 0x6E, 0x00, 0x04, 0x01})), 0);
    hostsim::ReceivedFaultCodes kept = hostsim::ReceivedFaults(1);
    ASSERT_TRUE(kept.activeReceived);
    EXPECT_EQ(kept.active.lamps.amberWarning.state, hostsim::kLampOn);
    EXPECT_EQ(kept.active.dtcs, (std::vector<hostsim::Dtc>{{980, 9, 126, false}}));
    ASSERT_TRUE(kept.previouslyActiveReceived);
    EXPECT_EQ(kept.previouslyActive.dtcs, (std::vector<hostsim::Dtc>{{609, 12, 3, false}, {110, 4, 1, false}}));
    EXPECT_FALSE(hostsim::ReceivedFaults(2).activeReceived) << "another module's table";

    ASSERT_EQ(Parse(1, Message(j1939::kPgnDm1, 0x00, {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF})), 0);
    ASSERT_EQ(Parse(1, Message(j1939::kPgnDm1, 0x00, {0x04})), 0);
    kept = hostsim::ReceivedFaults(1);
    EXPECT_TRUE(kept.activeReceived);
    EXPECT_TRUE(kept.active.dtcs.empty()) << "a DM1 is the current state: the code went inactive";
    EXPECT_EQ(kept.active.lamps.amberWarning.state, hostsim::kLampOff) << "nor did the short DM1 replace it";
    EXPECT_EQ(kept.previouslyActive.dtcs.size(), 2u);
    hostsim::Reset();
    EXPECT_FALSE(hostsim::ReceivedFaults(1).previouslyActiveReceived);
}

// The engine of a real truck repeats one DM1 of four codes by BAM; each reassembled one goes
// through the parser in the host's message layout, with the rest of the engine's traffic.
TEST_F(Parser, ActiveCodesOfARecordedEngine) {
    hostsim::CandumpReader reader;
    ASSERT_EQ(reader.Open(std::string(MARL_TEST_LOGS_DIR) + "/engine-idle-dm1.candump.log"), "");
    hostsim::TransportReassembler reassembler;
    size_t dm1s = 0;
    while (auto line = reader.Next()) {
        if (!line->extended) continue;
        auto message = reassembler.Feed(line->frame);
        if (!message || message->source != 0x00) continue;
        ASSERT_EQ(Parse(1, hostsim::ToHostLayout(*message)), 0);
        if (message->pgn == j1939::kPgnDm1) ++dm1s;
    }
    EXPECT_EQ(dm1s, 127u);
    hostsim::ReceivedFaultCodes kept = hostsim::ReceivedFaults(1);
    ASSERT_TRUE(kept.activeReceived);
    EXPECT_EQ(kept.active.dtcs, (std::vector<hostsim::Dtc>{
                                    {980, 9, 126, false}, {3216, 20, 2, false}, {609, 9, 1, false}, {609, 12, 3, false}}));
    // Lamp byte 0x43: malfunction indicator on, red stop and amber warning off, no protect lamp.
    EXPECT_EQ(kept.active.lamps.malfunction.state, hostsim::kLampOn);
    EXPECT_EQ(kept.active.lamps.amberWarning.state, hostsim::kLampOff);
    EXPECT_EQ(kept.active.lamps.protect.state, hostsim::kLampNotAvailable);
    EXPECT_FALSE(kept.previouslyActiveReceived);
}
