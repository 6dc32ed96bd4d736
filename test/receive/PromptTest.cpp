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

TEST_F(PromptTest, TheSettingAsksWithYesNoAndAQuestionMark) {
    UseAppConfig("; host test switches\r\n[testing]\r\nMarlJ1939PromptShowAllParameters = 1\r\n");
    hostsim::QueueUiAnswer(kYes);
    EXPECT_TRUE(PromptFrom(false));
    // Yes/No buttons (4) with a question mark (32); the answer starts at 0.
    EXPECT_EQ(ArgsOf("Zorv_UIGenericMsg"),
              (std::vector<Texts>{{std::to_string(kUiHandle), "\"Marl J1939: Show only supported parameters?\"", "4", "32", "0"}}));

    hostsim::QueueUiAnswer(kNo);
    EXPECT_FALSE(PromptFrom(true));
    EXPECT_FALSE(PromptFrom(true)) << "a host that leaves the answer alone counts as No";
}

// Without a configuration file, with an empty one or with the key in another section
// only supported parameters are shown; the key asks when its value is a whole non-zero
// number (section and key in any letter case).
TEST_F(PromptTest, OnlyAWholeNonZeroNumberInTheTestingSectionAsks) {
    EXPECT_TRUE(PromptFrom(false)) << "no configuration file";
    EXPECT_FALSE(Asked());
    const std::pair<std::string, bool> cases[] = {
        {"", false},  {"[Display]\nMarlJ1939PromptShowAllParameters=1\n", false}, {"[TESTING]\nmarlj1939promptshowallparameters=0x0\n", false},
        {"[TESTING]\nmarlj1939promptshowallparameters=0\n", false}, {"[TESTING]\nmarlj1939promptshowallparameters=yes\n", false},
        {"[TESTING]\nmarlj1939promptshowallparameters=1x\n", false}, {"[TESTING]\nmarlj1939promptshowallparameters=\n", false},
        {"[TESTING]\nmarlj1939promptshowallparameters=0x10\n", true}, {"[TESTING]\nmarlj1939promptshowallparameters=-1\n", true},
        {"[TESTING]\nmarlj1939promptshowallparameters=0X1\n", true}};
    for (const auto& [config, asks] : cases) {
        SCOPED_TRACE(config);
        hostsim::ClearCalls();
        UseAppConfig(config);
        EXPECT_EQ(PromptFrom(false), !asks) << "unasked, only supported parameters; asked, no answer counts as No";
        EXPECT_EQ(Asked(), asks);
    }
    // The last setting asks, but never during playback.
    hostsim::ClearCalls();
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
