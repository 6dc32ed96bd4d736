// The test setting of the host's configuration that lets the user choose between all
// parameters and only the supported ones.

#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr int32_t kYes = 6;
constexpr int32_t kNo = 7;

class PromptTest : public RegistrationTest {
protected:
    // The flag the prompt sets, starting from the opposite of what is expected.
    bool PromptFrom(bool before) {
        app.Discoveries().SetShowOnlySupported(before);
        app.Receiver().PromptShowOnlySupported(kUiHandle);
        return app.Discoveries().ShowOnlySupported();
    }
    static bool Asked() { return CallCount("Zorv_UIGenericMsg") != 0; }
};

TEST_F(PromptTest, WithoutTheSettingOnlySupportedParametersAreShown) {
    EXPECT_TRUE(PromptFrom(false)) << "no configuration file";
    EXPECT_FALSE(Asked());

    UseAppConfig("");
    EXPECT_TRUE(PromptFrom(false)) << "an empty file";
    UseAppConfig("[Display]\nMarlJ1939PromptShowAllParameters=1\n");
    EXPECT_TRUE(PromptFrom(false)) << "the key in another section";
    EXPECT_FALSE(Asked());
}

TEST_F(PromptTest, TheSettingAsksWithYesNoAndAQuestionMark) {
    UseAppConfig("; host test switches\r\n[testing]\r\nMarlJ1939PromptShowAllParameters = 1\r\n");
    hostsim::QueueUiAnswer(kYes);
    EXPECT_TRUE(PromptFrom(false));
    auto asked = hostsim::CallsTo("Zorv_UIGenericMsg");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Arg(0), std::to_string(kUiHandle));
    EXPECT_EQ(asked[0].Arg(1), "\"Marl J1939: Show only supported parameters?\"");
    EXPECT_EQ(asked[0].Arg(2), "4");
    EXPECT_EQ(asked[0].Arg(3), "32");
    EXPECT_EQ(asked[0].Arg(4), "0") << "the answer starts at 0";

    hostsim::QueueUiAnswer(kNo);
    EXPECT_FALSE(PromptFrom(true));
    EXPECT_FALSE(PromptFrom(true)) << "a host that leaves the answer alone counts as No";
}

TEST_F(PromptTest, OnlyAWholeNonZeroNumberAsks) {
    struct Case {
        const char* value;
        bool asks;
    };
    const Case cases[] = {{"0x0", false}, {"0", false},  {"yes", false}, {"1x", false},
                          {"", false},    {"0x10", true}, {"-1", true},  {"0X1", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        hostsim::ClearCalls();
        UseAppConfig(std::string("[TESTING]\nmarlj1939promptshowallparameters=") + c.value + "\n");
        PromptFrom(true);
        EXPECT_EQ(Asked(), c.asks);
    }
}

TEST_F(PromptTest, PlaybackNeverAsks) {
    UseAppConfig("[Testing]\nMarlJ1939PromptShowAllParameters=1\n");
    app.SetPlaybackStatus(1);
    EXPECT_TRUE(PromptFrom(false));
    EXPECT_FALSE(Asked());
}

TEST_F(PromptTest, TheQuestionIsAskedOncePerChannel) {
    UseAppConfig("[Testing]\nMarlJ1939PromptShowAllParameters=1\n");
    hostsim::QueueUiAnswer(kNo);
    ASSERT_EQ(Register(1, Info(kQuickAddress, 1)), 0);
    EXPECT_FALSE(app.Discoveries().ShowOnlySupported());
    ASSERT_EQ(Register(2, Info(0x17, 1)), 0);
    EXPECT_EQ(CallCount("Zorv_UIGenericMsg"), 1u);
    EXPECT_FALSE(app.Discoveries().ShowOnlySupported()) << "the answer for the channel holds";

    hostsim::QueueUiAnswer(kYes);
    ASSERT_EQ(Register(3, Info(kQuickAddress, 2)), 0);
    EXPECT_EQ(CallCount("Zorv_UIGenericMsg"), 2u);
    EXPECT_TRUE(app.Discoveries().ShowOnlySupported()) << "the last answer holds for every module";
}

}  // namespace
}  // namespace marl::testing
