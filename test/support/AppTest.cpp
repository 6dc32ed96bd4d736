#include "test/support/AppTest.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "host/ZorvLookup.h"
#include "platform/Platform.h"

namespace marl::testing {

std::vector<uint8_t> Message(uint32_t pgn, uint8_t source, const std::vector<uint8_t>& data, uint8_t destination) {
    std::vector<uint8_t> message = {static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8),
                                    static_cast<uint8_t>(pgn >> 16), 6, source, destination};
    for (uint8_t byte : data) message.push_back(byte);
    return message;
}

std::vector<uint8_t> Acknowledgement(uint8_t control, uint32_t pgn, uint8_t source, uint8_t destination) {
    return Message(0xE800, source,
                   {control, 0xFF, 0xFF, 0xFF, 0xF9, static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8),
                    static_cast<uint8_t>(pgn >> 16)},
                   destination);
}

std::vector<uint8_t> RequestFor(uint32_t pgn, uint8_t destination) {
    return Message(0xEA00, 0xF9, {static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8), static_cast<uint8_t>(pgn >> 16)},
                   destination);
}

bool IsRequest(const std::vector<uint8_t>& m) { return m.size() >= 9 && m[0] == 0x00 && m[1] == 0xEA && m[2] == 0x00; }

uint32_t RequestedPgn(const std::vector<uint8_t>& m) { return m.size() >= 9 ? m[6] | (m[7] << 8) | (m[8] << 16) : 0; }

hostsim::DataPointDefinition DataPoint(TESKID teskId, uint32_t pgn, int16_t security, uint16_t guidedTest) {
    hostsim::DataPointDefinition described;
    described.teskId = teskId;
    described.name = "DP_" + std::to_string(teskId);
    described.attribute.pgn = pgn;
    described.attribute.security = security;
    described.attribute.guidedTest = guidedTest;
    return described;
}

hostsim::CategoryDefinition Category(int16_t id, const std::string& name, std::vector<TESKID> teskIds) {
    hostsim::CategoryDefinition described;
    described.id = id;
    described.name = name;
    described.teskIds = std::move(teskIds);
    return described;
}

ModuleInfo Info(uint8_t address, int16_t channel, const char* make, uint32_t moduleType) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = address;
    info.channel = channel;
    info.moduleId = zorv::kModuleIdMarlJ1939;
    std::strncpy(info.make, make, sizeof(info.make) - 1);
    info.moduleType = moduleType;
    return info;
}

J1939DecodedName NameWithFunction(uint8_t function) {
    J1939DecodedName name{};
    name.function = function;
    name.manufacturer = 0x123;
    name.lastWord = 0xA5A5A5A5u;
    return name;
}

void SelfConfigurableEcu(uint8_t address, const J1939DecodedName& name, bool nameAssignable) {
    hostsim::SetAssignable(address, kAssignableQuery, true);
    hostsim::SetJ1939Name(address, name);
    hostsim::SetAssignable(name.FirstWord(), name.lastWord, nameAssignable);
}

std::vector<bool> Visible(const std::vector<TESKID>& teskIds) {
    std::vector<bool> shown;
    for (TESKID teskId : teskIds) shown.push_back(hostsim::DataPoint(teskId).visible);
    return shown;
}

std::vector<hostsim::TraceLine> TracesWith(const std::string& fragment) {
    std::vector<hostsim::TraceLine> found;
    for (const hostsim::TraceLine& line : hostsim::Traces()) {
        if (line.text.find(fragment) != std::string::npos) found.push_back(line);
    }
    return found;
}

std::vector<ZResult> TraceCodes(const std::string& fragment) {
    std::vector<ZResult> codes;
    for (const hostsim::TraceLine& line : TracesWith(fragment)) codes.push_back(line.code);
    return codes;
}

std::vector<int32_t> TraceLevels(const std::string& fragment) {
    std::vector<int32_t> levels;
    for (const hostsim::TraceLine& line : TracesWith(fragment)) levels.push_back(line.level);
    return levels;
}

bool HasTrace(int32_t level, const std::string& text, ZResult code) {
    for (const hostsim::TraceLine& line : hostsim::Traces()) {
        if (line.level == level && line.code == code && line.text == text) return true;
    }
    return false;
}

std::vector<Texts> ArgsOf(const std::string& function) {
    std::vector<Texts> args;
    for (const hostsim::Call& call : CallsTo(function)) args.push_back(call.args);
    return args;
}

Texts ArgOf(const std::string& function, size_t index) {
    Texts args;
    for (const hostsim::Call& call : CallsTo(function)) args.push_back(call.Arg(index));
    return args;
}

size_t CallsWithArg(const std::string& function, size_t index, const std::string& value) {
    const Texts args = ArgOf(function, index);
    return static_cast<size_t>(std::count(args.begin(), args.end(), value));
}

Requests SentRequests() {
    Requests requests;
    for (const std::vector<uint8_t>& m : hostsim::SentMessages()) {
        if (IsRequest(m)) requests.emplace_back(RequestedPgn(m), m[5]);
    }
    return requests;
}

size_t RequestCount(uint32_t pgn, uint8_t destination) {
    const Requests requests = SentRequests();
    return static_cast<size_t>(std::count(requests.begin(), requests.end(), std::make_pair(pgn, destination)));
}

Texts Parsed() { return ArgOf("ParseJ1939Msg", 1); }

bool WaitUntil(const std::function<bool()>& condition, uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void AppTest::SetUp() {
    ResetHost();
    app.Attach(&shared, kUiHandle);
    // Registration looks the trace functions up; workers tested on their own need them too.
    app.Trace().LookUpAndOpen(0);
    hostsim::ClearCalls();
}

void AppTest::TearDown() {
    hostsim::SetSendHook(nullptr);
    JoinAnswers();
    EXPECT_EQ(hostsim::LiveScaledAttributes(), 0) << "a scaled fault attribute was not given back";
    hostsim::Reset();
}

void AppTest::ResetHost() {
    hostsim::Reset();
    DescribeDatabase();
}

ModuleRecordPtr AppTest::AddModule(int32_t handle, uint8_t address, int16_t channel, uint32_t moduleType) {
    const bool first = !app.Modules().FindByChannel(nullptr, channel);
    ModuleRecordPtr rec = app.Modules().AddModuleRecord(handle, Info(address, channel, "", moduleType), first);
    if (rec) rec->SetComponentSa(address);
    return rec;
}

ModuleRecordPtr AppTest::AddCompletedModule(int32_t handle, uint8_t address, int16_t channel, uint32_t moduleType) {
    ModuleRecordPtr rec = AddModule(handle, address, channel, moduleType);
    if (rec) rec->SetRegistrationComplete();
    return rec;
}

uint16_t AppTest::Receive(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t timeStamp) {
    return app.Receiver().ParseMessage(sendHandle, message.data(), static_cast<uint16_t>(message.size()), timeStamp);
}

uint16_t AppTest::Register(int32_t handle, const ModuleInfo& info) {
    return app.Registrations().RegisterModule(kUiHandle, handle, info);
}

void AppTest::UseAppConfig(const std::string& contents) { EXPECT_EQ(hostsim::SetAppConfigText(contents), ""); }

void AppTest::AnswerLater(uint32_t delayMs, uint8_t sourceAddress, uint32_t pgn) {
    std::lock_guard<std::mutex> lock(answersLock_);
    answers_.emplace_back([this, delayMs, sourceAddress, pgn] {
        platform::SleepMs(delayMs);
        app.Sender().Awaited().Release(sourceAddress, pgn);
    });
}

void AppTest::DeliverLater(uint32_t delayMs, int32_t sendHandle, std::vector<uint8_t> message) {
    std::lock_guard<std::mutex> lock(answersLock_);
    answers_.emplace_back([this, delayMs, sendHandle, message = std::move(message)] {
        platform::SleepMs(delayMs);
        app.Receiver().ParseMessage(sendHandle, message.data(), static_cast<uint16_t>(message.size()), 100000);
    });
}

void AppTest::AnswerEveryRequest(uint32_t delayMs) {
    hostsim::SetSendHook([this, delayMs](ZModuleHandle, const std::vector<uint8_t>& message) {
        if (message.size() >= 9) {
            const uint8_t destination = message[5];
            AnswerLater(delayMs, destination == kGlobalAddress ? 0x00 : destination, RequestedPgn(message));
        }
        return ZResult{0};
    });
}

void AppTest::JoinAnswers() {
    std::vector<std::thread> running;
    {
        std::lock_guard<std::mutex> lock(answersLock_);
        running.swap(answers_);
    }
    for (std::thread& t : running) t.join();
}

}  // namespace marl::testing
