// Host commands answered by the boundary itself, with and without an application object.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "VehicleApp/boundary/CommandHandler.h"
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

TEST(CommandHandler, CapabilityFlagsWithoutApp) {
    const std::pair<int16_t, uint32_t> cases[] = {{1001, 0}, {1021, 0}, {1002, 1}, {1003, 1}, {1004, 1}, {1005, 1},
                                                  {1014, 1}, {1015, 1}, {1016, 0}, {1038, 0}, {3004, 15}};
    for (const auto& [code, flag] : cases) {
        Buffers b;
        EXPECT_EQ(Command(nullptr, 1, code, b), 0) << code;
        EXPECT_EQ(b.flag, flag) << code;
    }
}

TEST(CommandHandler, UnlistedCodesAnd3003TouchNothing) {
    for (int16_t code : {0, 1000, 1010, 1011, 1013, 1017, 1020, 1022, 1035, 1037, 3001, 3002, 3005, 3003}) {
        Buffers b;
        EXPECT_EQ(Command(nullptr, 1, code, b), code == 3003 ? 57 : 0) << code;
        EXPECT_EQ(b.flag, 0xDEADBEEFu) << code;
        EXPECT_EQ(b.length, 64) << code;
        EXPECT_EQ(b.text[0], L'#') << code;
        EXPECT_EQ(b.extra, 0x5A5A) << code;
    }
}

TEST(CommandHandler, ProtocolIdAndConnectionTextWithoutApp) {
    const struct {
        int16_t code;
        int16_t capacity;
        const wchar_t* text;
        int16_t length;
    } cases[] = {{1006, 64, L"-1", 1}, {1012, 64, L"\u00A7J1939:Baud=Auto", 16}, {1012, 6, L"\u00A7J193", 5}};
    for (const auto& c : cases) {
        Buffers b;
        b.length = c.capacity;
        EXPECT_EQ(Command(nullptr, 1, c.code, b), 0);
        EXPECT_EQ(std::wstring(b.text), c.text);
        EXPECT_EQ(b.length, c.length);
        EXPECT_EQ(b.text[std::min<int16_t>(c.capacity, 63)], L'#') << "nothing written past the capacity";
    }
}

class CommandWithApp : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        AddModule(1, 0x00);
        AddModule(2, 0x03);
    }
};

TEST_F(CommandWithApp, ConnectionTextNamesTheModuleAddress) {
    Buffers engine;
    EXPECT_EQ(Command(&app, 1, 1012, engine), 0);
    EXPECT_EQ(std::wstring(engine.text), L"0\u00A7J1939:Baud=Auto");
    EXPECT_EQ(engine.length, 17);
    Buffers unknown;
    EXPECT_EQ(Command(&app, 9, 1012, unknown), 0);
    EXPECT_EQ(std::wstring(unknown.text), L"254\u00A7J1939:Baud=Auto");
}

TEST_F(CommandWithApp, TripDataOnlyForEngineAddresses) {
    Buffers transmission;
    EXPECT_EQ(Command(&app, 2, 1016, transmission), 0);
    EXPECT_EQ(transmission.flag, 0u);
}

}  // namespace
}  // namespace marl::testing
