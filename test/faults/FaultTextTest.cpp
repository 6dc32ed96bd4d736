// What the fault screen reads from the host and the bus without the host's help: the
// request text, the freeze-frame chain of a DM4 and the attributes of the more-info body.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VehicleApp/faults/FaultRequest.h"
#include "VehicleApp/faults/FreezeFrameSearch.h"
#include "VehicleApp/faults/MoreInfoAttributes.h"

namespace marl {
namespace {

FaultRequest Read(const std::wstring& text) { return ReadFaultRequest(text.c_str(), text.size() + 1); }

TEST(FaultRequestText, FieldsAreReadUpToTheirSeparatorWhateverTheTextHolds) {
    FaultRequest request = Read(L"12\u00A71234\u00A736\u00A799");
    EXPECT_EQ(request.groupId, 12u);
    EXPECT_EQ(request.binNumber, 1234);
    EXPECT_EQ(request.fmi, 36) << "the FMI is passed on whole; callers mask it";

    request = Read(L"12 1234 4");
    EXPECT_EQ(request.groupId, 0u) << "no separator: nothing is read";
    EXPECT_EQ(request.binNumber, 0);
    request = Read(L"7\u00A7");
    EXPECT_EQ(request.groupId, 7u);
    EXPECT_EQ(request.binNumber, 0) << "missing fields read as 0";
    request = Read(L"7\u00A75x9\u00A7-1");
    EXPECT_EQ(request.binNumber, 5) << "a number stops at the first character that is not a digit";
    EXPECT_EQ(request.fmi, -1);

    // Fields of 300 digits saturate instead of wrapping round.
    const std::wstring digits(300, L'9');
    request = Read(digits + L"\u00A7" + digits + L"\u00A7" + digits);
    EXPECT_EQ(request.groupId, 0xFFFFFFFFu);
    EXPECT_EQ(request.binNumber, INT64_MAX);
    EXPECT_EQ(request.fmi, INT32_MAX);

    // A buffer without a terminator is read only as far as the host said it reaches.
    const wchar_t unterminated[] = {L'3', L'\u00A7', L'4', L'\u00A7', L'5', L'6'};
    request = ReadFaultRequest(unterminated, 5);
    EXPECT_EQ(request.fmi, 5);
    EXPECT_EQ(ReadFaultRequest(nullptr, 100).groupId, 0u);
}

// A DM4 as the receive path stores it: six header bytes, then the frames.
std::vector<uint8_t> Dm4(const std::vector<std::vector<uint8_t>>& frames) {
    std::vector<uint8_t> message = {0xCD, 0xFE, 0x00, 0x06, 0x00, 0xF9};
    for (const auto& frame : frames) message.insert(message.end(), frame.begin(), frame.end());
    return message;
}

// SPN 110 FMI 15 and SPN 524287 (all 19 bits) FMI 31, with two parameter bytes each.
const std::vector<uint8_t> kCoolantFrame = {0x06, 0x6E, 0x00, 0x0F, 0x01, 0x98, 0x7A};
const std::vector<uint8_t> kWideSpnFrame = {0x06, 0xFF, 0xFF, 0xFF, 0x02, 0x11, 0x22};

TEST(FreezeFrameSearch, FindsAFrameAnywhereInTheChainAndBuildsTheParserRecord) {
    const std::vector<uint8_t> message = Dm4({kCoolantFrame, kWideSpnFrame});
    auto frame = FindFreezeFrame(message, 524287, 31);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->offset, 13u);
    EXPECT_EQ(frame->size, 7u);
    std::vector<uint8_t> expected = {0x10, 0xCD, 0xFE, 0x00, 0x00};
    expected.insert(expected.end(), kWideSpnFrame.begin(), kWideSpnFrame.end());
    EXPECT_EQ(FreezeFrameRecord(message, *frame), expected);
    EXPECT_TRUE(FindFreezeFrame(message, 110, 15).has_value());
    EXPECT_FALSE(FindFreezeFrame(message, 110, 14).has_value()) << "the FMI must match too";
}

TEST(FreezeFrameSearch, HostileChainsEndTheSearchWithoutReadingPastTheMessage) {
    for (uint8_t terminator : {0xFE, 0xFF}) {
        std::vector<uint8_t> second = kWideSpnFrame;
        second[0] = terminator;
        EXPECT_FALSE(FindFreezeFrame(Dm4({kCoolantFrame, second}), 524287, 31).has_value());
    }
    std::vector<uint8_t> overlong = kWideSpnFrame;
    overlong[0] = 0x40;
    EXPECT_FALSE(FindFreezeFrame(Dm4({kCoolantFrame, overlong}), 524287, 31).has_value());
    // Zero lengths step one byte at a time and name no fault, even when the bytes after
    // them would read as one.
    EXPECT_FALSE(FindFreezeFrame(Dm4({{0x00, 0x00, 0x6E, 0x00, 0x0F}}), 110, 15).has_value());
    EXPECT_TRUE(FindFreezeFrame(Dm4({{0x00, 0x00}, kCoolantFrame}), 110, 15).has_value());
    EXPECT_FALSE(FindFreezeFrame({0xCD, 0xFE, 0x00}, 110, 15).has_value()) << "shorter than a header";
    EXPECT_FALSE(FindFreezeFrame({}, 0, 0).has_value());
    std::vector<uint8_t> cut = Dm4({kCoolantFrame});
    cut.pop_back();
    EXPECT_FALSE(FindFreezeFrame(cut, 110, 15).has_value()) << "the last frame is one byte short";
}

TEST(MoreInfoAttributes, KeysPickTheirSlotAndTheBodyKeepsItsOwnOrder) {
    EXPECT_EQ(SlotForKey("status"), AttributeSlot::kStatus);
    EXPECT_EQ(SlotForKey("FLASH_CODE_2"), AttributeSlot::kFlashCode);
    EXPECT_EQ(SlotForKey("id_type"), AttributeSlot::kIdType);
    EXPECT_FALSE(SlotForKey("ID2").has_value()) << "only the exact ID";
    EXPECT_FALSE(SlotForKey("FLASH").has_value());
    EXPECT_FALSE(SlotForKey("").has_value());

    MoreInfoAttributes attributes;
    attributes.Add("Status", L"State", L"Active");
    attributes.Add("ID", L"SPN", L"110");
    attributes.Add("FMI", L"FMI", L"15");
    attributes.Add("Colour", L"Colour", L"Red");
    EXPECT_EQ(attributes.AppendTo(L"Fault: X"), L"Fault: X\r\nSPN: 110\r\nFMI: 15\r\nState: Active");

    attributes.Add("ID_Type", L"Kind", L"PID");
    attributes.Add("Status", L"State", L"Previously active");
    attributes.Add("FLASH_CODE", L"Flash", std::wstring(400, L'7'));
    const std::wstring body = attributes.AppendTo(L"F");
    EXPECT_NE(body.find(L"\r\nPID: 110\r\n"), std::wstring::npos) << "the ID type's value labels the ID";
    EXPECT_NE(body.find(L"State: Previously active"), std::wstring::npos);
    EXPECT_EQ(body.find(L"State: Active"), std::wstring::npos) << "the later attribute of a key wins";
    EXPECT_EQ(body.substr(body.rfind(L"\r\n") + 2).size(), 254u) << "a slot holds 254 characters";

    MoreInfoAttributes typeOnly;
    typeOnly.Add("ID_Type", L"Kind", L"SPN");
    EXPECT_EQ(typeOnly.AppendTo(L"F"), L"F") << "an ID type without an ID adds nothing";
}

}  // namespace
}  // namespace marl
