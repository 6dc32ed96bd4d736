// Host commands answered by the boundary itself, with and without an application object.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/core/SharedState.h"

namespace marl {
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
    for (int16_t code : {1001, 1021}) {
        Buffers b;
        EXPECT_EQ(Command(nullptr, 1, code, b), 0);
        EXPECT_EQ(b.flag, 0u) << code;
    }
    for (int16_t code : {1002, 1003, 1004, 1005, 1014, 1015}) {
        Buffers b;
        EXPECT_EQ(Command(nullptr, 1, code, b), 0);
        EXPECT_EQ(b.flag, 1u) << code;
    }
    Buffers b3004;
    EXPECT_EQ(Command(nullptr, 1, 3004, b3004), 0);
    EXPECT_EQ(b3004.flag, 15u);
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

TEST(CommandHandler, ProtocolIdIsMinusOne) {
    Buffers b;
    EXPECT_EQ(Command(nullptr, 1, 1006, b), 0);
    EXPECT_EQ(std::wstring(b.text), L"-1");
    EXPECT_EQ(b.length, 1);
}

TEST(CommandHandler, ConnectionTextWithoutApp) {
    Buffers b;
    EXPECT_EQ(Command(nullptr, 1, 1012, b), 0);
    EXPECT_EQ(std::wstring(b.text), L"\u00A7J1939:Baud=Auto");
    EXPECT_EQ(b.length, 16);
}

TEST(CommandHandler, ConnectionTextIsCutToTheBuffer) {
    Buffers b;
    b.length = 6;
    EXPECT_EQ(Command(nullptr, 1, 1012, b), 0);
    EXPECT_EQ(std::wstring(b.text), L"\u00A7J193");
    EXPECT_EQ(b.length, 5);
    EXPECT_EQ(b.text[6], L'#') << "nothing written past the capacity";
}

class CommandWithApp : public ::testing::Test {
protected:
    SharedState shared{1};
    CVehicleApp app{1};
    void SetUp() override {
        app.Attach(&shared, 0);
        ModuleInfo info;
        std::memset(&info, 0, sizeof(info));
        info.channel = 1;
        info.ecuAddress = 0;
        app.Modules().AddModuleRecord(1, info, true);
        info.ecuAddress = 3;
        app.Modules().AddModuleRecord(2, info, false);
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
    Buffers noApp;
    EXPECT_EQ(Command(nullptr, 1, 1016, noApp), 0);
    EXPECT_EQ(noApp.flag, 0u);
}

TEST_F(CommandWithApp, HealthReportFlagFollowsTheReportResult) {
    Buffers noApp;
    EXPECT_EQ(Command(nullptr, 1, 1038, noApp), 0);
    EXPECT_EQ(noApp.flag, 0u);
}

}  // namespace
}  // namespace marl
