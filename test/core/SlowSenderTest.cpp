// The exchanges whose timing is the point: unanswered attempts and the NAME request,
// which gives every ECU on the bus the whole time-out to claim its address.

#include <atomic>

#include "platform/Platform.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr uint32_t kPgn = 0xFEE5;

TEST_F(RegistrationTest, ThreeUnansweredAttemptsTakeTheirFullTime) {
    const uint32_t start = platform::TickCountMs();
    EXPECT_EQ(app.Sender().SendTimedMessage(3, RequestFor(kPgn, 0x00), kPgn, false, 3, 1250), 10);
    EXPECT_GE(platform::TickCountMs() - start, 3700u);
    EXPECT_EQ(hostsim::CallCount("SendJ1939Msg"), 3u);
}

TEST_F(RegistrationTest, TheNameRequestAsksEveryEcuForItsAddressClaim) {
    constexpr uint8_t kAddress = 0x80;
    SelfConfigurableEcu(kAddress, NameWithFunction(19), true);

    std::atomic<bool> pendingWhileSent{false};
    std::atomic<size_t> parsingBeforeSend{0};
    hostsim::SetSendHook([&](ZModuleHandle, const std::vector<uint8_t>&) {
        pendingWhileSent = app.Registrations().NameRequestPending();
        parsingBeforeSend = hostsim::CallCount("Zorv_EnableParsing");
        AnswerLater(20, kAddress, 0xEE00);
        return ZResult{0};
    });

    ASSERT_EQ(Register(8, Info(kAddress, 1)), 0);
    EXPECT_EQ(hostsim::SentMessages(), std::vector<std::vector<uint8_t>>{RequestFor(0xEE00, 0xFF)});
    EXPECT_EQ(ArgOf("SendJ1939Msg", 0), Texts{"8"});
    EXPECT_TRUE(pendingWhileSent.load()) << "the receive path lets address claims through meanwhile";
    EXPECT_FALSE(app.Registrations().NameRequestPending());
    EXPECT_EQ(ArgOf("Zorv_LoadBinFileWithSpecifiedComponents", 3), Texts{"[\"SA_17\"]"});
    // Parsing: off after connecting, on for the claims, off again after them, and on when
    // the module is set up.
    EXPECT_EQ(parsingBeforeSend.load(), 2u);
    EXPECT_EQ(ArgsOf("Zorv_EnableParsing"), (std::vector<Texts>{{"8", "0"}, {"8", "1"}, {"8", "0"}, {"8", "1"}}));
}

}  // namespace
}  // namespace marl::testing
