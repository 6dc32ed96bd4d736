// Host commands answered by the boundary itself, with and without an application object,
// and the hash the host files messages under.
#include <algorithm>
#include <tuple>

#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/boundary/HashMessage.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

struct Buffers {
    wchar_t text[64];
    int16_t length = 64;
    uint8_t data[8] = {0};
    int16_t extra = 0x5A5A;
    uint32_t flag = 0xDEADBEEF;
    Buffers() { std::fill(std::begin(text), std::end(text), L'#'); }
};

uint16_t Command(CVehicleApp* app, uint32_t handle, int16_t code, Buffers& b) {
    return HandleVehicleAppCommand(app, handle, code, b.text, &b.length, b.data, &b.extra, &b.flag);
}

// Without an application object the capability codes set their flag and nothing else;
// unlisted codes and 3003 touch nothing at all.
TEST(CommandHandler, CodesWithoutAppSetAtMostTheirFlag) {
    constexpr uint32_t kUntouched = 0xDEADBEEF;
    const std::tuple<int16_t, uint16_t, uint32_t> cases[] = {
        {1001, 0, 0}, {1021, 0, 0}, {1002, 0, 1}, {1003, 0, 1}, {1004, 0, 1}, {1005, 0, 1}, {1014, 0, 1}, {1015, 0, 1},
        {1016, 0, 0}, {1038, 0, 0}, {3004, 0, 15}, {3003, 57, kUntouched}, {0, 0, kUntouched}, {1000, 0, kUntouched},
        {1010, 0, kUntouched}, {1011, 0, kUntouched}, {1013, 0, kUntouched}, {1017, 0, kUntouched}, {1020, 0, kUntouched},
        {1022, 0, kUntouched}, {1035, 0, kUntouched}, {1037, 0, kUntouched}, {3001, 0, kUntouched}, {3002, 0, kUntouched},
        {3005, 0, kUntouched}};
    for (const auto& [code, result, flag] : cases) {
        Buffers b;
        EXPECT_EQ(Command(nullptr, 1, code, b), result) << code;
        EXPECT_EQ(b.flag, flag) << code;
        EXPECT_EQ(b.length, 64) << code;
        EXPECT_EQ(b.text[0], L'#') << code;
        EXPECT_EQ(b.extra, 0x5A5A) << code;
    }
}

// With an application object the connection text names the module's address, the null
// address for an unknown module.
TEST_F(AppTest, ProtocolIdAndConnectionText) {
    AddModule(1, 0x00);
    const struct {
        bool withApp;
        uint32_t handle;
        int16_t code;
        int16_t capacity;
        const wchar_t* text;
        int16_t length;
    } cases[] = {{false, 1, 1006, 64, L"-1", 1}, {false, 1, 1012, 64, L"\u00A7J1939:Baud=Auto", 16}, {false, 1, 1012, 6, L"\u00A7J193", 5},
                 {true, 1, 1012, 64, L"0\u00A7J1939:Baud=Auto", 17}, {true, 9, 1012, 64, L"254\u00A7J1939:Baud=Auto", 19}};
    for (const auto& c : cases) {
        Buffers b;
        b.length = c.capacity;
        EXPECT_EQ(Command(c.withApp ? &app : nullptr, c.handle, c.code, b), 0);
        EXPECT_EQ(std::wstring(b.text), c.text);
        EXPECT_EQ(b.length, c.length);
        EXPECT_EQ(b.text[std::min<int16_t>(c.capacity, 63)], L'#') << "nothing written past the capacity";
    }
}

TEST(HashMessage, KeysByMarkerAndLengthAndReadsNothingBeyondTheMessage) {
    const uint8_t twoByteKey[] = {0x11, 0x20, 0x30};
    const uint8_t shortMessage[] = {0x05, 0x01};
    const uint8_t request[] = {0x00, 0xEA, 0x00, 0x06, 0x55};
    const uint8_t marked[] = {0x91, 0x02, 0x03, 0x04};
    // 0x91 asks for four key bytes, 0x11 for two: short messages are not read past their end.
    const uint8_t shortMarked[] = {0x91, 0x02};
    const uint8_t shortTwoByte[] = {0x11, 0x40};
    const struct {
        const uint8_t* bytes;
        int16_t length;
        int32_t divisor;
        uint32_t hash;
    } cases[] = {{twoByteKey, 3, 7, (0x20u + 0x30u) % 7}, {shortMessage, 2, 4, 1u},
                 {request, 4, 16, 0xF0u % 16},           {request, 5, 16, 0xF0u % 16},  // only four bytes count
                 {marked, 4, 1000, 0x91u + 2 + 3 + 4},   {shortMarked, 2, 1000, 0x91u + 0x02u},
                 {shortTwoByte, 2, 1000, 0x40u},         {shortMarked, 2, 0, 0u},  // a zero divisor must not fault
                 {shortMarked, 2, -3, 0u},               {nullptr, 4, 7, 0u},
                 {shortMarked, 0, 7, 0u}};
    for (const auto& c : cases) EXPECT_EQ(HashMessage(c.bytes, c.length, c.divisor), c.hash) << c.length << " " << c.divisor;
}

}  // namespace
}  // namespace marl::testing
