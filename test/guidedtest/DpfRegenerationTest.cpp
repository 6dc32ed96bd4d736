// The DPF active regeneration test from its subscription to its end: the screens and
// their texts, the test-screen mutex, the DM7 and the ECU's DM30, the ways it ends early,
// and a test whose module is unregistered while it waits for the user.
#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "VehicleApp/guidedtest/GuidedTest.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr TESKID kDpfTest = 2901;
constexpr TESKID kOtherGuidedTest = 2902;  // a guided test that is not the DPF test
constexpr int32_t kModule = 1;
constexpr uint8_t kEngine = 0x00;
constexpr uint32_t kDm7 = 0xE300;
constexpr uint32_t kDm30 = 0xA400;
constexpr uint32_t kTestEndMs = 30000;
const std::vector<uint8_t> kDm7Sent = {0x00, 0xE3, 0x00, 6, 0xF9, kEngine, 0xF9, 0x4F, 0x10, 0x1F};
const std::vector<uint8_t> kDm30Result = {0xF9, 0x4F, 0x10, 0x1F, 0x01, 0x00, 0x10, 0x00, 0x64, 0x00, 0x00, 0x00};

// What a screen call showed: title, message and its last argument, as the call log has them.
Texts Screen(const std::string& title, const std::string& message, const std::string& mode) {
    return {"\"" + title + "\"", "\"" + message + "\"", mode};
}
const Texts kOpen = Screen("", "201", "0");
const Texts kPrompt = Screen("", "213§901§6", "-1");
const Texts kClose = Screen("", "202§", "-1");
const Texts kFirstStart = Screen("", "206§900§4§Press Start§", "-1");
const Texts kStartAgain = Screen("", "206§900§4§Test Completed - Press Start To ReStart Test§", "-1");
Texts TestScreen(const std::string& dataPoints) {
    return Screen("DPF Active Regeneration Test", "201§900§2§DPF Regen§" + dataPoints, "0");
}

class DpfRegenerationTest : public AppTest {
protected:
    std::vector<TESKID> categoryOne = {11, 12};

    void DescribeDatabase() override {
        hostsim::DataPointDefinition test = DataPoint(kDpfTest, kDm7, 4, 1);
        test.attribute.kind = kDpKindDpfRegenerationTest;
        hostsim::AddDataPoint(test);
        hostsim::AddDataPoint(DataPoint(kOtherGuidedTest, kDm7, 4, 1));
        hostsim::AddCategory(Category(1, "DPF", categoryOne));
        hostsim::SetResourceString(L"SPN_4175", L"DPF Regen");
        hostsim::SetResourceString(L"PRESS_START_BUTTON_TEXT", L"Press Start");
    }
    void SetUp() override {
        AppTest::SetUp();
        AddCompletedModule(kModule, kEngine);
    }
    // The engine reports each DM7's result in a DM30, except the ones numbered in
    // `silentOnes` (counted from 1).
    void EngineReportsResults(std::vector<int> silentOnes = {}) {
        // The host may call a copy of the rule: the count lives outside it.
        auto sent = std::make_shared<int>(0);
        hostsim::SetSendHook([this, silentOnes, sent](ZModuleHandle, const std::vector<uint8_t>& message) {
            if (message.size() <= 2 || message[1] != 0xE3) return ZResult{0};
            ++*sent;
            if (std::find(silentOnes.begin(), silentOnes.end(), *sent) == silentOnes.end())
                DeliverLater(10, kModule, Message(kDm30, kEngine, kDm30Result));
            return ZResult{0};
        });
    }
    // Runs a test with these replies on `tests` and waits for it to end; true when it
    // signalled the exit-test event.
    bool RunTest(const std::vector<std::wstring>& replies, TESKID teskId = kDpfTest, GuidedTest* tests = nullptr) {
        GuidedTest& runner = tests != nullptr ? *tests : app.GuidedTests();
        for (const std::wstring& reply : replies) hostsim::QueueUiReply(reply);
        runner.StartGuidedTest(kModule, teskId);
        const bool ended = runner.ExitTestEvent().Wait(kTestEndMs) == platform::WaitResult::Signalled;
        runner.JoinAll();
        return ended;
    }
    static std::vector<Texts> Screens() {
        std::vector<Texts> screens;
        for (const Texts& args : ArgsOf("Zorv_UIMsgDataInput")) screens.push_back({args[2], args[3], args[9]});
        return screens;
    }
    static std::vector<std::vector<uint8_t>> Dm7s() {
        std::vector<std::vector<uint8_t>> sent;
        for (const auto& message : hostsim::SentMessages())
            if (message.size() > 2 && message[1] == 0xE3) sent.push_back(message);
        return sent;
    }
    // The test-screen mutex is free for another owner.
    static bool ScreenMutexFree() {
        platform::NamedMutex probe(kTestScreenMutexName, false);
        if (probe.Lock(0) != platform::WaitResult::Signalled) return false;
        probe.Unlock();
        return true;
    }
    static void ExpectOutboundOffThenOn() {
        EXPECT_EQ(ArgsOf("Zorv_OutboundEnable"), (std::vector<Texts>{{"1", "0"}, {"1", "1"}}));
    }
};

TEST_F(DpfRegenerationTest, StartTwiceSendsTwoIdenticalDm7sAndTheSecondScreenShowsTheTestCompleted) {
    EngineReportsResults();
    ASSERT_TRUE(RunTest({L"", L"1", L"", L"1", L"1", L"204", L""}));
    EXPECT_EQ(Screens(), (std::vector<Texts>{kOpen, kPrompt, TestScreen("11§12§"), kFirstStart, kStartAgain,
                                             kStartAgain, kClose}));
    EXPECT_EQ(Dm7s(), (std::vector<std::vector<uint8_t>>{kDm7Sent, kDm7Sent})) << "each answered by its DM30";
    EXPECT_EQ(CallsWithArg("Zorv_UIMsgDataInput", 0, std::to_string(kUiHandle)), 7u);
    EXPECT_TRUE(TracesWith("RequestJ1939Dm").empty());
    EXPECT_TRUE(ScreenMutexFree());
    ExpectOutboundOffThenOn();
}

class DpfRegenerationEmptyCategoryTest : public DpfRegenerationTest {
protected:
    DpfRegenerationEmptyCategoryTest() { categoryOne.clear(); }
};

TEST_F(DpfRegenerationEmptyCategoryTest, AnUnansweredDm7IsTracedAndTheTestCanStartAgain) {
    EngineReportsResults({1, 2, 3});
    ASSERT_TRUE(RunTest({L"", L"1", L"", L"1", L"1", L"204", L""}));
    EXPECT_EQ(Screens(),
              (std::vector<Texts>{kOpen, kPrompt, TestScreen(""), kFirstStart, kStartAgain, kStartAgain, kClose}))
        << "no data points in category 1: the SPN text and its separator end the test screen";
    EXPECT_EQ(Dm7s().size(), 4u) << "three attempts unanswered, then one answered";
    EXPECT_EQ(TraceCodes("CVehicleApp::RequestJ1939Dm (Line 270)"), (std::vector<ZResult>{10}));
    EXPECT_TRUE(ScreenMutexFree());
}

TEST_F(DpfRegenerationTest, TestsThatEndBeforeTheTestScreenStillCloseItAndSignalExit) {
    // Another application's test screen holds the mutex; this test's wait for it is
    // shortened from 20 seconds.
    platform::Event release(nullptr, true, false);
    platform::Event held(nullptr, true, false);
    std::thread otherScreen([&] {
        platform::NamedMutex mutex(kTestScreenMutexName, false);
        EXPECT_EQ(mutex.Lock(0), platform::WaitResult::Signalled);
        held.Set();
        release.Wait(platform::kInfinite);
        mutex.Unlock();
    });
    ASSERT_EQ(held.Wait(kTestEndMs), platform::WaitResult::Signalled);
    GuidedTest shortWait(app, 300);
    struct Case {
        const char* what;
        TESKID teskId;
        std::vector<std::wstring> replies;
        std::vector<Texts> screens;
        size_t resourceLoads;  // none: the test ended before it would take the mutex
    };
    const Case cases[] = {
        {"cancel at the first prompt", kDpfTest, {L"", L"204"}, {kOpen, kPrompt, kClose}, 0},
        {"a guided test that is not the DPF test", kOtherGuidedTest, {}, {kClose}, 0},
        {"the test-screen mutex held elsewhere", kDpfTest, {L"", L"1", L"1"}, {kOpen, kPrompt, kClose}, 1},
    };
    for (const Case& test : cases) {
        hostsim::ClearCalls();
        ASSERT_TRUE(RunTest(test.replies, test.teskId, &shortWait)) << test.what;
        EXPECT_EQ(Screens(), test.screens) << test.what;
        EXPECT_EQ(CallCount("Zorv_LoadResourceStringByName"), test.resourceLoads) << test.what;
        EXPECT_TRUE(Dm7s().empty()) << test.what;
        ExpectOutboundOffThenOn();
    }
    release.Set();
    otherScreen.join();
}

TEST_F(DpfRegenerationTest, UnregisteringTheModuleEndsATestThatWaitsForTheUser) {
    AddCompletedModule(2, 0x03, 2);
    hostsim::QueueUiReply(L"");
    hostsim::QueueUiReply(L"1");
    hostsim::QueueUiReply(L"");
    hostsim::QueueHeldUiScreen();
    app.GuidedTests().StartGuidedTest(kModule, kDpfTest);
    ASSERT_TRUE(hostsim::WaitForHeldUiScreen(kTestEndMs)) << "the test waits for Start";
    EXPECT_FALSE(ScreenMutexFree()) << "held while the test screen shows";

    EXPECT_EQ(app.Registrations().UnregisterModule(kModule), 0);
    EXPECT_TRUE(app.GuidedTests().ExitTestEvent().IsSignalled()) << "the test ended before unregistration returned";
    EXPECT_EQ(Screens().back(), kClose);
    EXPECT_TRUE(ScreenMutexFree());
    EXPECT_TRUE(Dm7s().empty());
    ExpectOutboundOffThenOn();
    EXPECT_TRUE(TracesWith("guided test did not end").empty());
    EXPECT_FALSE(shared.ExitEvent().IsSignalled()) << "another module remains";
    EXPECT_EQ(app.Registrations().UnregisterModule(2), 0);
}

}  // namespace
}  // namespace marl::testing
