// Registration of a module as the host drives it: the checks before anything is kept,
// the connection, and what each failing step leaves behind.

#include "VehicleApp/boundary/AddressText.h"
#include "host/ZorvLookup.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

TEST_F(RegistrationTest, AddressTextGivesAddressAndChannelOfTheConnection) {
    ModuleInfo info = ModuleInfoFromAddressText(L"773");  // 0x305
    info.moduleType = kRestrictedModuleType;
    ASSERT_EQ(Register(4, info), 0);

    EXPECT_EQ(ArgsOf("Zorv_Connect"), (std::vector<Texts>{{"4", "\"J1939:Baud=Auto,Channel=3\"",
                                                           std::to_string(hostsim::kDefaultDeviceId), "null", "1"}}));
    EXPECT_EQ(ArgsOf("OpenTraceSource"), (std::vector<Texts>{{std::to_string(zorv::kTraceClassVehicleApp), "1002", "5", "0", "out"}}));
    EXPECT_EQ(TracesWith("CVehicleApp::RegisterModule (Line 1208) :: Ecu Address - 5 (0x05) Received Make:").size(), 1u);

    ModuleRecordPtr record = app.Modules().FindModule(4);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Channel(), 3);
    EXPECT_FALSE(record->RegistrationFailed());
    EXPECT_EQ(record->BusyCount(), 0) << "registration holds the module busy only while it runs";
    EXPECT_TRUE(app.Connected());
    EXPECT_EQ(TracesWith("---End of RegisterModule for Module 5 (ModHandle - 4) ---").size(), 1u);
}

TEST_F(RegistrationTest, AnotherApplicationsModuleIsRefusedBeforeAnythingIsKept) {
    hostsim::SetModuleId(7, zorv::kModuleIdJ1708App);
    EXPECT_EQ(Register(7, Info(kQuickAddress)), 2);
    EXPECT_FALSE(app.Modules().FindModule(7));
    EXPECT_EQ(CallCount("GetDeviceID"), 0u);
    EXPECT_EQ(CallCount("Zorv_Connect"), 0u);
    EXPECT_EQ(TraceLevels("Incorrect Module ID - will fail this DLL connection"), std::vector<int32_t>{2});
}

TEST_F(RegistrationTest, FailuresBeforeTheRecordExistKeepNothing) {
    EXPECT_EQ(Register(300, Info(kQuickAddress)), 5);

    hostsim::QueueResults("Zorv_GetModuleIDFromHandle", {0, 9});
    EXPECT_EQ(Register(1, Info(kQuickAddress)), 9) << "the second module-id read fails";

    hostsim::SetResult("Zorv_GetModulePlaybackStatus", 8);
    EXPECT_EQ(Register(1, Info(kQuickAddress)), 8);
    hostsim::ClearResult("Zorv_GetModulePlaybackStatus");

    hostsim::SetResult("GetDeviceID", 33);
    EXPECT_EQ(Register(1, Info(kQuickAddress)), 33);
    EXPECT_EQ(TraceCodes("(Line 1240) :: Failed to get the Device Id for Module - 5, Channel - 1"), std::vector<ZResult>{33});
    hostsim::ClearResult("GetDeviceID");

    hostsim::RemoveLookup(zorv::kLookupGetDeviceId);
    EXPECT_EQ(Register(1, Info(kQuickAddress)), 20);
    EXPECT_EQ(TracesWith("CVehicleApp::GetDeviceId (Line 1484) GetDeviceID == NULL").size(), 1u);

    EXPECT_FALSE(app.Modules().FindModule(1));
    EXPECT_EQ(CallCount("Zorv_Connect"), 0u);
}

TEST_F(RegistrationTest, ConnectFailuresMarkTheKeptRecordFailed) {
    const std::pair<const char*, void (*)()> cases[] = {
        {"override missing", [] { hostsim::RemoveLookup(zorv::kLookupOverrideRp1210Impl); }},
        {"override refused", [] { hostsim::SetResult("OverrideRp1210Impl", 7); }},
        {"connect refused", [] { hostsim::SetResult("Zorv_Connect", 12); }},
    };
    int32_t handle = 20;
    for (const auto& [what, arrange] : cases) {
        SCOPED_TRACE(what);
        ResetHost();
        arrange();
        EXPECT_EQ(Register(handle, Info(kQuickAddress, static_cast<int16_t>(handle))), 1);
        ModuleRecordPtr record = app.Modules().FindModule(handle);
        ASSERT_TRUE(record) << "the module stays registered until the host unregisters it";
        EXPECT_TRUE(record->RegistrationFailed());
        EXPECT_EQ(record->BusyCount(), 0);
        EXPECT_EQ(CallCount("Zorv_LoadBinFileWithSpecifiedComponents"), 0u);
        EXPECT_EQ(TracesWith("CVehicleApp::RegisterModule (Line 1254) :: Failed to Connect to the bus for Module - 5").size(), 1u);
        ++handle;
    }
}

TEST_F(RegistrationTest, LaterFailuresMarkTheRecordAndReleaseIt) {
    hostsim::SetBinFileComponents(L"MARL_J1939.BIN", {"SA_17"});
    EXPECT_EQ(Register(2, Info(kQuickAddress)), 1);
    EXPECT_EQ(TracesWith("(Line 1273) :: Failed to load the Bin file for Module - 5, Channel - 1").size(), 1u);
    EXPECT_EQ(CallCount("Zorv_EnableHashing"), 0u);
    ResetHost();
    hostsim::SetResult("Zorv_SendCommand", 44);
    EXPECT_EQ(Register(3, Info(kQuickAddress, 2)), 44);
    EXPECT_EQ(TracesWith("(Line 1282) :: FinishRegistration Failed for Module - 5, Channel - 2").size(), 1u);
    ResetHost();
    hostsim::SetResult("Zorv_RemoveNotifyModule", 3);
    EXPECT_EQ(Register(4, Info(kQuickAddress, 3)), 3) << "finishing answers with the host's last result";
    for (int32_t handle : {2, 3, 4}) {
        ModuleRecordPtr record = app.Modules().FindModule(handle);
        ASSERT_TRUE(record) << handle;
        EXPECT_TRUE(record->RegistrationFailed());
        EXPECT_EQ(record->BusyCount(), 0);
    }
}

TEST_F(RegistrationTest, TraceFunctionsAreLookedUpAgainAtEachRegistration) {
    hostsim::RemoveLookup(zorv::kLookupTraceOutput);
    ASSERT_EQ(Register(1, Info(kQuickAddress, 1)), 0);
    EXPECT_TRUE(hostsim::Traces().empty());
    EXPECT_EQ(CallCount("OpenTraceSource"), 0u) << "the source is opened only when all four are there";

    hostsim::RestoreLookup(zorv::kLookupTraceOutput);
    ASSERT_EQ(Register(2, Info(kQuickAddress, 2)), 0);
    EXPECT_EQ(CallCount("OpenTraceSource"), 1u);
    EXPECT_FALSE(hostsim::Traces().empty());
    EXPECT_EQ(hostsim::Traces()[0].traceId, app.Trace().TraceId());
}

// A played-back module keeps no record of registration's own (the recording reader
// builds it from the file), but it is connected and its parameter file is loaded.
TEST_F(RegistrationTest, PlaybackConnectsAndLoadsWithoutKeepingARecord) {
    UseAppConfig("[Testing]\nMarlJ1939PromptShowAllParameters=1\n");
    hostsim::SetPlaybackStatus(1);
    ASSERT_EQ(Register(6, Info(0x00, 1)), 0);

    EXPECT_FALSE(app.Modules().FindModule(6));
    EXPECT_TRUE(app.Modules().SendHandles().empty());
    EXPECT_EQ(CallCount("Zorv_Connect"), 1u);
    EXPECT_EQ(hostsim::LoadedComponents(6), std::vector<std::string>{"SA_00"});
    for (const char* untouched : {"Zorv_UIGenericMsg", "Zorv_SendCommand", "ClaimBusAddress"}) EXPECT_EQ(CallCount(untouched), 0u) << untouched;
    EXPECT_EQ(CallCount("Zorv_RemoveNotifyModule"), 1u);
    EXPECT_TRUE(hostsim::SentMessages().empty());
    EXPECT_EQ(app.Registrations().UnregisterModule(6), 0);
}

}  // namespace
}  // namespace marl::testing
