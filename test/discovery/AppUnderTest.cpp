#include "test/discovery/AppUnderTest.h"

#include <cstdio>
#include <cstring>

#include "VehicleApp/core/ModuleRecord.h"

namespace marl::testing {

std::vector<uint8_t> Message(uint32_t pgn, uint8_t source, const std::vector<uint8_t>& data, uint8_t destination) {
    std::vector<uint8_t> message = {static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8),
                                    static_cast<uint8_t>(pgn >> 16), 6, source, destination};
    for (uint8_t byte : data) message.push_back(byte);
    return message;
}

std::vector<uint8_t> Acknowledgement(uint8_t control, uint32_t pgn, uint8_t source) {
    return Message(0xE800, source,
                   {control, 0xFF, 0xFF, 0xFF, 0xF9, static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8),
                    static_cast<uint8_t>(pgn >> 16)});
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t b : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof(pair), "%02X", b);
        if (!text.empty()) text += ' ';
        text += pair;
    }
    return text;
}

hostsim::DataPointDefinition DataPoint(TESKID teskId, uint32_t pgn, int16_t security, uint16_t guidedTest) {
    hostsim::DataPointDefinition described;
    described.teskId = teskId;
    described.name = "DP_" + std::to_string(teskId);
    described.attribute.pgn = pgn;
    described.attribute.security = security;
    described.attribute.guidedTest = guidedTest;
    return described;
}

void AppTest::SetUp() {
    hostsim::Reset();
    app.Attach(&shared, 0);
    app.Trace().LookUpAndOpen(0);
}

void AppTest::TearDown() {
    hostsim::SetSendHook(nullptr);
    hostsim::Reset();
}

ModuleRecordPtr AppTest::AddModule(int32_t handle, uint8_t address, int16_t channel) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = address;
    info.channel = channel;
    const bool first = !app.Modules().FindByChannel(nullptr, channel);
    ModuleRecordPtr rec = app.Modules().AddModuleRecord(handle, info, first);
    if (rec) rec->SetComponentSa(address);
    return rec;
}

uint16_t AppTest::Receive(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t timeStamp) {
    return app.Receiver().ParseMessage(sendHandle, message.data(), static_cast<uint16_t>(message.size()), timeStamp);
}

size_t ParsedCount() { return hostsim::CallCount("ParseJ1939Msg"); }

std::vector<std::string> Parsed() {
    std::vector<std::string> buffers;
    for (const hostsim::Call& call : hostsim::CallsTo("ParseJ1939Msg")) buffers.push_back(call.Arg(1));
    return buffers;
}

std::vector<std::pair<uint32_t, uint8_t>> SentRequests() {
    std::vector<std::pair<uint32_t, uint8_t>> requests;
    for (const std::vector<uint8_t>& m : hostsim::SentMessages()) {
        if (m.size() < 9 || m[0] != 0x00 || m[1] != 0xEA || m[2] != 0x00) continue;
        requests.emplace_back(m[6] | (m[7] << 8) | (m[8] << 16), m[5]);
    }
    return requests;
}

}  // namespace marl::testing
