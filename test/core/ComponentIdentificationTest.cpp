// Which parameter file and component a module gets: by make, by the J1939 NAME of the
// ECU, or by its address, and the fallback when the file lacks the component.

#include "host/ZorvLookup.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

class ComponentTest : public RegistrationTest {
protected:
    // Adds the module and chooses and loads its parameter file.
    uint16_t Identify(int32_t handle, uint8_t address, const char* make = "") {
        record = app.Modules().AddModuleRecord(handle, Info(address, 1, make), true);
        return record ? app.Registrations().GetJ1939NameAndLoadBinFile(*record) : 0xFFFF;
    }
    ModuleRecordPtr record;


    // The NAME request waits seconds for every ECU's address claim; with the exit event
    // raised the sender returns at once without sending, as it does while the last module
    // is unregistered, and the NAME the host already has is read all the same.
    void SkipTheNameRequestWait() { shared.ExitEvent().Set(); }

    // The components of each load, in order.
    static Texts LoadedComponents() { return ArgOf("Zorv_LoadBinFileWithSpecifiedComponents", 3); }
    // File, vehicle name and components of each load, in order.
    static std::vector<std::string> Loads() {
        std::vector<std::string> loads;
        for (const hostsim::Call& call : CallsTo("Zorv_LoadBinFileWithSpecifiedComponents"))
            loads.push_back(call.Arg(1) + " " + call.Arg(2) + " " + call.Arg(3));
        return loads;
    }
};

TEST_F(ComponentTest, DtnaInAnyLetterCaseNeverAsksForTheName) {
    for (const char* make : {"DTNA", "dtna", "DtNa"}) {
        SCOPED_TRACE(make);
        ResetHost();
        hostsim::SetAssignableDefault(true);
        EXPECT_EQ(Identify(1, 0x21, make), 0);
        EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_DTNA\"]"});
        EXPECT_EQ(CallCount("CheckAssignable"), 0u);
        EXPECT_EQ(CallCount("GetJ1939NAME"), 0u);
        EXPECT_TRUE(hostsim::SentMessages().empty());
        app.Modules().RemoveModuleRecord(1);
    }
}

TEST_F(ComponentTest, JcbIsNamedAfterItsAddressWhateverItsName) {
    SelfConfigurableEcu(0x21, NameWithFunction(19), true);
    EXPECT_EQ(Identify(1, 0x21, "jCb"), 0);
    EXPECT_EQ(Loads(), std::vector<std::string>{"\"JCB.BIN\" \"JCB.EN\" [\"SA_21\"]"});
    EXPECT_EQ(CallCount("CheckAssignable"), 0u);
}

TEST_F(ComponentTest, TheNamesFunctionChoosesTheComponent) {
    SkipTheNameRequestWait();
    for (const auto& [function, component, componentSa] :
         {std::tuple<uint8_t, std::string, uint8_t>{19, "SA_17", 0x17}, {1, "SA_FE", 0xFE}, {9, "SA_0B", 0x0B}}) {
        SCOPED_TRACE(component);
        ResetHost();
        SelfConfigurableEcu(0x80, NameWithFunction(function), true);
        EXPECT_EQ(Identify(3, 0x80), 0);
        EXPECT_EQ(Loads(), Texts{"\"MARL_J1939.BIN\" \"MARL_J1939\" [\"" + component + "\"]"});
        EXPECT_EQ(record->ComponentSa(), componentSa);
        EXPECT_EQ(record->DecodedName()[1], function) << "the decoded NAME is kept with the module";
        app.Modules().RemoveModuleRecord(3);
    }
    EXPECT_EQ(TraceLevels("CVehicleApp::GetComponentNameByJ1939Name (Line 541) MAKE  MODEL  on 0B -- COMPONENT SA_0B"), std::vector<int32_t>{2});
}

TEST_F(ComponentTest, AnEcuThatCannotBeIdentifiedKeepsItsAddress) {
    SkipTheNameRequestWait();
    // The NAME is there but is not arbitrary-address capable.
    SelfConfigurableEcu(0x1A, NameWithFunction(19), false);
    EXPECT_EQ(Identify(1, 0x1A, "Paccar"), 0);
    EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_1A\"]"});

    // No NAME known for the address: the host's failure is reported in the trace.
    ResetHost();
    hostsim::SetAssignable(0x2C, kAssignableQuery, true);
    EXPECT_EQ(Identify(2, 0x2C), 0);
    EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_2C\"]"});
    EXPECT_EQ(TraceCodes("on 2C -- COMPONENT SA_2C"), std::vector<ZResult>{hostsim::kResultNotFound});
    EXPECT_EQ(record->DecodedName()[1], 0xFF) << "nothing was decoded";

    // Without the host's assignable check nothing is asked at all.
    ResetHost();
    hostsim::RemoveLookup(zorv::kLookupCheckAssignable);
    EXPECT_EQ(Identify(4, 0x2D), 0);
    EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_2D\"]"});
    EXPECT_EQ(CallCount("GetJ1939NAME"), 0u);
    EXPECT_EQ(TracesWith("(Line 465) Zorv_GetFunctionAddress failed to get the address of CheckAssignableFnPtr").size(), 1u);
}


TEST_F(ComponentTest, DeferredDiscoveryAdaptersAlsoLoadThePcComponent) {
    hostsim::SetProductId(0x46);
    app.Registrations().IdentifyAdapter();
    hostsim::SetBinFileComponents(L"MARL_J1939.BIN", {"SA_05"});
    EXPECT_EQ(Identify(1, kQuickAddress), 0) << "only the first component must be in the file";
    EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_05\", \"PC_COMPONENT\"]"});
    EXPECT_EQ(ArgOf("Zorv_LoadBinFileWithSpecifiedComponents", 4), Texts{"2"});

    ResetHost();
    hostsim::SetBinFileComponents(L"MARL_J1939.BIN", {"PC_COMPONENT", "SA_100"});
    EXPECT_EQ(app.Registrations().GetJ1939NameAndLoadBinFile(*record), 0);
    EXPECT_EQ(LoadedComponents(), (Texts{"[\"SA_05\", \"PC_COMPONENT\"]", "[\"SA_100\", \"PC_COMPONENT\"]"}))
        << "the PC component alone does not do";
    EXPECT_EQ(CallCount("Zorv_UnLoadBinFile"), 1u);
}

TEST_F(ComponentTest, AFileWithoutTheComponentIsUnloadedForTheFallback) {
    hostsim::SetBinFileComponents(L"MARL_J1939.BIN", {"SA_100"});
    EXPECT_EQ(Identify(1, kQuickAddress), 0);
    EXPECT_EQ(Loads(), (std::vector<std::string>{"\"MARL_J1939.BIN\" \"MARL_J1939\" [\"SA_05\"]",
                                                 "\"MARL_J1939.BIN\" \"MARL_J1939\" [\"SA_100\"]"}));
    EXPECT_EQ(CallCount("Zorv_UnLoadBinFile"), 1u);
    EXPECT_EQ(hostsim::LoadedComponents(1), std::vector<std::string>{"SA_100"});

    // A JCB file without either component: the fallback keeps the JCB vehicle name.
    ResetHost();
    hostsim::SetBinFileComponents(L"JCB.BIN", {});
    hostsim::SetBinFileComponents(L"MARL_J1939.BIN", {});
    EXPECT_EQ(Identify(2, 0x21, "JCB"), 20);
    EXPECT_EQ(Loads(), (std::vector<std::string>{"\"JCB.BIN\" \"JCB.EN\" [\"SA_21\"]",
                                                 "\"MARL_J1939.BIN\" \"JCB.EN\" [\"SA_100\"]"}));
    EXPECT_EQ(CallCount("Zorv_UnLoadBinFile"), 2u);
    EXPECT_EQ(TraceCodes("(Line 800) :: Failed to load the bin file with the 256 source address component."), std::vector<ZResult>{20});
}

TEST_F(ComponentTest, HostLoadErrorsArePassedOn) {
    hostsim::SetResult("Zorv_LoadBinFileWithSpecifiedComponents", 61);
    EXPECT_EQ(Identify(1, kQuickAddress), 61);
    EXPECT_EQ(CallCount("Zorv_LoadBinFileWithSpecifiedComponents"), 2u);
    EXPECT_EQ(CallCount("Zorv_UnLoadBinFile"), 0u);
}

// The brake addresses share one component; the global address has none except in
// playback.
TEST_F(ComponentTest, TheAddressNamesTheComponent) {
    EXPECT_EQ(Identify(2, 0xC2), 0);
    EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_0B\"]"});
    EXPECT_EQ(record->ComponentSa(), 0x0B);

    ResetHost();
    EXPECT_EQ(Identify(1, 0xFF), 20);
    EXPECT_EQ(CallCount("Zorv_LoadBinFileWithSpecifiedComponents"), 0u);
    EXPECT_EQ(TracesWith("CVehicleApp::GetJ1939NameAndLoadBinFile (Line 733)").size(), 1u);

    app.SetPlaybackStatus(1);
    EXPECT_EQ(app.Registrations().GetJ1939NameAndLoadBinFile(*record), 0);
    EXPECT_EQ(LoadedComponents(), Texts{"[\"SA_FF\"]"});
}

}  // namespace
}  // namespace marl::testing
