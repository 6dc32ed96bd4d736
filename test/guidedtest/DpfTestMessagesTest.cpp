// The DPF regeneration test's screen texts at the edge of the host's buffer, and the
// reply codes. The texts themselves are checked where the test shows them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VehicleApp/guidedtest/DpfTestMessages.h"

namespace marl {
namespace {

TEST(DpfTestMessages, ATestScreenThatDoesNotFitIsCutAtAWholeDataPoint) {
    std::vector<uint32_t> many(256);
    for (uint32_t i = 0; i < many.size(); ++i) many[i] = 1000000 + i;
    const std::wstring text = TestScreenText(L"T", many);
    EXPECT_LE(text.size(), kScreenTextCapacity - 1);
    const std::wstring head = L"201\u00A7900\u00A72\u00A7T\u00A7";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ((text.size() - head.size()) % 8, 0u) << "only whole \"<7 digits>§\" fields";
    EXPECT_GT(text.size() + 8, kScreenTextCapacity - 1) << "as many as fit";

    const std::wstring longName(400, L'x');
    EXPECT_EQ(TestScreenText(longName, {11}).size(), kScreenTextCapacity - 1) << "an SPN text too long is cut";
    EXPECT_EQ(StartScreenText(longName).size(), kScreenTextCapacity - 1);
}

TEST(DpfTestMessages, ReplyCodeIsTheLeadingNumberAsEightBits) {
    const std::vector<std::pair<std::wstring, uint8_t>> replies = {
        {L"204", 204}, {L"204\u00A7x", 204}, {L" 1", 1}, {L"", 0}, {L"x204", 0}, {L"460", 204}, {L"-52", 204}};
    for (const auto& [reply, code] : replies) EXPECT_EQ(ReplyCode(reply.c_str(), reply.size() + 1), code);
    const wchar_t unterminated[3] = {L'2', L'0', L'4'};
    EXPECT_EQ(ReplyCode(unterminated, 2), 20) << "read within the capacity";
    EXPECT_EQ(ReplyCode(nullptr, 10), 0);
}

}  // namespace
}  // namespace marl
