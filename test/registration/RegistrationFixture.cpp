#include "test/registration/RegistrationFixture.h"

#include <cstring>

#include "platform/Platform.h"

namespace marl::test {
namespace {
constexpr size_t kRequestSize = 9;
constexpr uint8_t kEngineAddress = 0x00;
}  // namespace

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

std::vector<uint8_t> RequestFor(uint32_t pgn, uint8_t destination) {
    return {0x00, 0xEA, 0x00, 6, 0xF9, destination, static_cast<uint8_t>(pgn & 0xFF),
            static_cast<uint8_t>((pgn >> 8) & 0xFF), static_cast<uint8_t>((pgn >> 16) & 0xFF)};
}

std::vector<hostsim::TraceLine> TracesWith(const std::string& fragment) {
    std::vector<hostsim::TraceLine> found;
    for (const hostsim::TraceLine& line : hostsim::Traces()) {
        if (line.text.find(fragment) != std::string::npos) found.push_back(line);
    }
    return found;
}

void RegistrationTest::SetUp() {
    ResetHost();
    app.Attach(&shared, kUiHandle);
    // Registration looks the trace functions up; workers tested on their own need them too.
    app.Trace().LookUpAndOpen(0);
    hostsim::ClearCalls();
}

void RegistrationTest::ResetHost() {
    hostsim::Reset();
    // A database described by the test answers for every parameter file: the data
    // folder's databases are not read, and a file holds every component asked for.
    hostsim::CategoryDefinition engine;
    engine.id = 1;
    engine.name = "Engine";
    hostsim::AddCategory(engine);
}

void RegistrationTest::TearDown() {
    hostsim::SetSendHook(nullptr);
    JoinAnswers();
    hostsim::Reset();
}

void RegistrationTest::UseAppConfig(const std::string& contents) {
    EXPECT_EQ(hostsim::SetAppConfigText(contents), "");
}

void RegistrationTest::AnswerLater(uint32_t delayMs, uint8_t sourceAddress, uint32_t pgn) {
    std::lock_guard<std::mutex> lock(answersLock_);
    answers_.emplace_back([this, delayMs, sourceAddress, pgn] {
        platform::SleepMs(delayMs);
        app.Sender().Awaited().Release(sourceAddress, pgn);
    });
}

void RegistrationTest::AnswerEveryRequest(uint32_t delayMs) {
    hostsim::SetSendHook([this, delayMs](ZModuleHandle, const std::vector<uint8_t>& message) {
        if (message.size() >= kRequestSize) {
            const uint32_t pgn = message[6] | (message[7] << 8) | (message[8] << 16);
            const uint8_t destination = message[5];
            AnswerLater(delayMs, destination == kGlobalAddress ? kEngineAddress : destination, pgn);
        }
        return ZResult{0};
    });
}

void RegistrationTest::JoinAnswers() {
    std::vector<std::thread> running;
    {
        std::lock_guard<std::mutex> lock(answersLock_);
        running.swap(answers_);
    }
    for (std::thread& t : running) t.join();
}

}  // namespace marl::test
