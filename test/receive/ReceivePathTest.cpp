// The receive path: which messages reach the host's parser, what the plug-in learns from
// them on the way, and the categories with a fixed role.
#include <atomic>
#include <cstring>

#include "VehicleApp/receive/Categories.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

class ReceiveTest : public AppTest {
protected:
    ModuleRecordPtr engine;
    void SetUp() override {
        AppTest::SetUp();
        engine = AddModule(1, 0x00);
    }
    uint16_t FromEngine(uint32_t pgn, const std::vector<uint8_t>& data = kValues, uint32_t timeStamp = 100000) {
        return Receive(1, Message(pgn, 0x00, data), timeStamp);
    }
};

// The engine once its registration is complete.
class CompletedReceiveTest : public ReceiveTest {
protected:
    void SetUp() override {
        ReceiveTest::SetUp();
        engine->SetRegistrationComplete();
    }
};

TEST_F(CompletedReceiveTest, ShortNullForeignAndUnreadableMessagesChangeNothing) {
    const std::vector<uint8_t> four = {0x04, 0xF0, 0x00, 0x06};
    EXPECT_EQ(Receive(1, four), 0);
    EXPECT_EQ(app.Receiver().ParseMessage(1, nullptr, 14, 100000), 0);
    const std::vector<uint8_t> full = Message(0xF004, 0x00, kValues);
    EXPECT_EQ(app.Receiver().ParseMessage(1, full.data(), 0x8000, 100000), 0) << "a length that reads negative";
    EXPECT_EQ(Receive(1, Message(0xF004, 0x17, kValues)), 0) << "no module at that address";
    EXPECT_EQ(Receive(2, Message(0xF004, 0x00, kValues)), 0) << "the module listens on another connection";
    EXPECT_EQ(engine->pgnMap.size(), 0u);

    // Acknowledgements cut short, saying that the ECU cannot respond, or from another ECU
    // than the request waits for.
    app.Sender().Awaited().Arm(0x00, 0xFEE9);
    std::vector<uint8_t> cut = Acknowledgement(1, 0xFEE9, 0x00);
    cut.pop_back();
    EXPECT_EQ(Receive(1, cut), 0);
    EXPECT_EQ(Receive(1, Acknowledgement(3, 0xFEE9, 0x00)), 0);
    EXPECT_TRUE(app.Sender().Awaited().IsArmed());
    EXPECT_FALSE(engine->pgnMap.contains(0xFEE9));
    app.Sender().Awaited().Arm(0x03, 0xFEE9);
    EXPECT_EQ(Receive(1, Acknowledgement(1, 0xFEE9, 0x00)), 0);
    EXPECT_FALSE(app.Sender().Awaited().Answered());
    EXPECT_EQ(Parsed().size(), 0u);
}

TEST_F(ReceiveTest, IdleModuleBeforeRegistrationCompletesHearsOnlyTheAddressClaimQuery) {
    EXPECT_EQ(FromEngine(0xF004), 0);
    EXPECT_EQ(Parsed().size(), 0u);
    EXPECT_FALSE(engine->pgnMap.contains(0xF004));

    Registration::NameRequestScope pending(app.Registrations());
    hostsim::SetResult("ParseJ1939Msg", 77);
    EXPECT_EQ(FromEngine(0xEE00), 77) << "the parser's result is the entry's";
    EXPECT_EQ(FromEngine(0xF004), 0);
    EXPECT_EQ(Parsed(), Texts{"00 EE 00 06 00 F9 10 20 30 40 50 60 70 80"});
    EXPECT_TRUE(engine->pgnMap.wasRequested(0xF004)) << "still noted as seen";
}

// A short message is read as far as it goes; only the first eight data bytes count.
TEST_F(ReceiveTest, DuringDiscoveryOnlyAvailableValuesMarkSupport) {
    engine->SetBusy(true);
    const std::tuple<uint32_t, std::vector<uint8_t>, bool> cases[] = {
        {0xF004, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false},
        {0xFEF1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, true},
        {0xFEEE, {}, false},
        {0xFEE0, {0xFF, 0xFF, 0xFF}, false},
        {0xFEE1, {0xFF, 0xFF, 0x00}, true},
        {0xFEE2, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02}, false}};
    for (const auto& [pgn, data, available] : cases) {
        FromEngine(pgn, data);
        EXPECT_TRUE(engine->pgnMap.wasRequested(pgn)) << pgn;
        EXPECT_EQ(engine->pgnMap.hasResponded(pgn), available) << pgn;
        EXPECT_EQ(engine->pgnMap.isSupported(pgn), available) << pgn;
    }
    EXPECT_EQ(engine->pgnMap.sourceAddressOf(0xFEF1), 0x00);
    engine->SetBusy(false);

    engine->SetRegistrationComplete();
    FromEngine(0xFEE3);
    EXPECT_FALSE(engine->pgnMap.hasResponded(0xFEE3)) << "outside discovery nothing is marked";
}

// Another tool on the bus gets acknowledgements of its own; only those to our address
// or to everyone answer our requests.
TEST_F(ReceiveTest, AcknowledgementsToTheToolMarkThePgnAndReleaseTheRequest) {
    engine->SetRegistrationComplete();
    struct Case {
        uint8_t control;
        uint8_t destination;
        bool counts;
    };
    uint32_t pgn = 0xFEE0;
    for (const Case& c : {Case{1, 0xF9, true}, Case{2, 0xFF, true}, Case{0, 0xF9, true}, Case{1, 0xFA, false},
                          Case{0, 0x17, false}}) {
        ++pgn;
        app.Sender().Awaited().Arm(0x00, pgn);
        EXPECT_EQ(Receive(1, Acknowledgement(c.control, pgn, 0x00, c.destination)), 0);
        const auto what = "control " + std::to_string(c.control) + " to " + std::to_string(c.destination);
        EXPECT_EQ(engine->pgnMap.hasResponded(pgn), c.counts) << what;
        EXPECT_EQ(engine->pgnMap.isSupported(pgn), c.counts && c.control == 0) << what;
        EXPECT_EQ(app.Sender().Awaited().Answered(), c.counts) << what;
        EXPECT_EQ(app.Sender().Awaited().IsArmed(), !c.counts) << what;
    }
    EXPECT_TRUE(engine->pgnMap.hasResponded(0xE800));
    EXPECT_FALSE(engine->pgnMap.isSupported(0xE800));
    EXPECT_EQ(Parsed().size(), 0u) << "acknowledgements are never parsed";
}

TEST_F(CompletedReceiveTest, FaultMessagesAreHeldBackWhileClearing) {
    app.Receiver().SetClearingInProgress(true);
    uint32_t timeStamp = 100000;
    for (uint32_t pgn : {0xFECAu, 0xFECBu, 0xFECFu, 0xFED4u, 0xFDB5u, 0xFD82u, 0xFD80u, 0x9F00u}) {
        EXPECT_EQ(FromEngine(pgn, kValues, timeStamp += 1000), 0) << pgn;
    }
    EXPECT_EQ(Parsed().size(), 0u);

    FromEngine(0xFECD, kValues, timeStamp += 1000);
    EXPECT_EQ(Parsed().size(), 1u) << "DM4 is still handled";
    shared.SetWait(false);
    Receive(1, Acknowledgement(0, 0xFED3, 0x00));
    EXPECT_TRUE(shared.WaitEvent().IsSignalled()) << "and so is the acknowledgement of the clear";
    EXPECT_TRUE(engine->pgnMap.isSupported(0xFED3));
    shared.SetWait(false);
    Receive(1, Acknowledgement(0, 0xFECD, 0x00));
    Receive(1, Acknowledgement(1, 0xFECC, 0x00));
    EXPECT_FALSE(shared.WaitEvent().IsSignalled()) << "only the clear's own acknowledgement, and only a positive one";

    app.Sender().Awaited().Arm(0xFF, 0xFECA);
    FromEngine(0xFECA, kValues, timeStamp += 1000);
    EXPECT_TRUE(app.Sender().Awaited().Answered()) << "a held-back message still answers its request";

    app.Receiver().SetClearingInProgress(false);
    FromEngine(0xFECA, kValues, timeStamp += 1000);
    EXPECT_EQ(Parsed().size(), 2u);
}

TEST_F(ReceiveTest, EngineFaultsGoToTheHostsOwnApplicationOnDeferredAdapters) {
    engine->SetRegistrationComplete();
    AddCompletedModule(2, 0x03);
    hostsim::SetProductId(0x40);
    app.Registrations().IdentifyAdapter();
    // Without the host's own application the engines' faults stay with the plug-in.
    EXPECT_FALSE(app.Subscribed().Module5Present());
    FromEngine(0xFECA);
    Receive(1, Message(0xFECA, 0x03, kValues));
    EXPECT_EQ(Parsed().size(), 2u);
}

// One message per PGN passes per 400 units once registration is complete, except DM28;
// before that, during playback and for the address-claim query nothing is throttled.
TEST_F(ReceiveTest, ThrottleLetsOneMessagePerPgnThroughPer400Units) {
    engine->SetBusy(true);
    FromEngine(0xFEF1);
    FromEngine(0xFEF1);
    engine->SetBusy(false);
    EXPECT_EQ(Parsed().size(), 2u) << "registration is not complete";
    {
        Registration::NameRequestScope pending(app.Registrations());
        FromEngine(0xFD80);
        EXPECT_EQ(Parsed().size(), 3u) << "DM28 passes during the address-claim query";
    }

    engine->SetRegistrationComplete();
    FromEngine(0xF004, kValues, 100000);
    FromEngine(0xF004, kValues, 100400);
    EXPECT_EQ(Parsed().size(), 4u);
    FromEngine(0xFEF0, kValues, 100400);
    EXPECT_EQ(Parsed().size(), 5u) << "each PGN has its own time";
    FromEngine(0xF004, kValues, 100401);
    FromEngine(0xFD80, kValues, 200000);
    FromEngine(0xFD80, kValues, 200000);
    EXPECT_EQ(Parsed().size(), 8u) << "DM28 is never throttled";

    app.SetPlaybackStatus(1);
    FromEngine(0xF004, kValues, 300000);
    FromEngine(0xF004, kValues, 300000);
    EXPECT_EQ(Parsed().size(), 10u) << "playback";
    app.SetPlaybackStatus(0);
}

// DM22 and DM30 never reach the parser, nor does the DM4 of the ECU a test asked; DM30
// answers the DM7 test command of that ECU only.
TEST_F(CompletedReceiveTest, AnswersToDiagnosticCommandsAreKeptFromTheParser) {
    EXPECT_EQ(FromEngine(0xC300), 0);
    app.Receiver().ExpectDiagnosticAnswersFrom(0x00);
    app.Sender().Awaited().Arm(0x00, 0xE300);
    EXPECT_EQ(FromEngine(0xA400), 0);
    EXPECT_TRUE(app.Sender().Awaited().Answered());
    EXPECT_FALSE(app.Sender().Awaited().IsArmed());

    app.Sender().Awaited().Arm(0x00, 0xFECD);
    const std::vector<uint8_t> frame = Message(0xFECD, 0x00, {0x0C, 0x00, 0x6E, 0x00, 0x04, 0x01, 0x10, 0x20, 0x30});
    EXPECT_EQ(Receive(1, frame, 123456), 0);
    EXPECT_EQ(app.Receiver().LastFreezeFrame().bytes, frame);
    EXPECT_EQ(app.Receiver().LastFreezeFrame().timeStamp, 123456u);
    EXPECT_TRUE(app.Sender().Awaited().Answered());
    EXPECT_EQ(Parsed().size(), 0u);

    app.Receiver().ExpectDiagnosticAnswersFrom(0x03);
    app.Sender().Awaited().Arm(0x00, 0xE300);
    FromEngine(0xA400, kValues, 200000);
    EXPECT_FALSE(app.Sender().Awaited().Answered()) << "the test runs on another ECU";
    Receive(1, Message(0xFECD, 0x00, kValues), 200000);
    EXPECT_EQ(Parsed().size(), 1u) << "a DM4 nobody asked for is parsed";
    EXPECT_EQ(app.Receiver().LastFreezeFrame().bytes, frame) << "and leaves the kept one";
}

TEST_F(CompletedReceiveTest, SoftwareIdentificationTellsTheFieldCountFirst) {
    FromEngine(0xFEDA, {0x03, '1', '.', '0', '*', '2', '.', '1'});
    EXPECT_EQ(ArgsOf("Zorv_ParseMsg"), (std::vector<Texts>{{"1", "10 DA FE 00 FF 03", "6", "100000"}}));
    Texts order;
    for (const hostsim::Call& call : hostsim::Calls())
        if (call.function == "Zorv_ParseMsg" || call.function == "ParseJ1939Msg") order.push_back(call.function);
    EXPECT_EQ(order, (Texts{"Zorv_ParseMsg", "ParseJ1939Msg"}));

    FromEngine(0xFEDA, {}, 200000);
    EXPECT_EQ(hostsim::CallCount("Zorv_ParseMsg"), 1u) << "no field count without a data byte";
    EXPECT_EQ(Parsed().size(), 2u);
}

J1939DecodedName TireEcuName(uint32_t manufacturer) {
    J1939DecodedName name;
    std::memset(&name, 0, sizeof(name));
    name.function = 38;
    name.instanceWord = 0x00080000;
    name.manufacturer = manufacturer;
    return name;
}

TEST_F(ReceiveTest, TireLocationsOfTheOffsetEcuAreMovedBack) {
    for (const auto& [handle, address, manufacturer] : {std::tuple<int32_t, uint8_t, uint32_t>{2, 0x33, 312}, {3, 0x34, 313}}) {
        const J1939DecodedName name = TireEcuName(manufacturer);
        AddCompletedModule(handle, address)->SetDecodedName(reinterpret_cast<const uint8_t*>(&name));
    }

    for (const auto& [pgn, source, data] : {std::tuple<uint32_t, uint8_t, std::vector<uint8_t>>{0xFEF4, 0x33, {0x11, 0x7D}},
                                            {0xFEF4, 0x33, {0x10, 0x7D}}, {0xFDB9, 0x33, {0x25}},
                                            {0xFEF4, 0x34, {0x11, 0x7D}}, {0xFEF4, 0x33, {}}})
        Receive(1, Message(pgn, source, data));
    EXPECT_EQ(Parsed(), (std::vector<std::string>{"F4 FE 00 06 33 F9 00 7D", "F4 FE 00 06 33 F9 10 7D",
                                                  "B9 FD 00 06 33 F9 14", "F4 FE 00 06 34 F9 11 7D",
                                                  "F4 FE 00 06 33 F9"}))
        << "tire messages are not throttled either";
}

// Registration writes the NAME while the receive thread reads it for the correction:
// each message sees one whole NAME, never half of each (ThreadSanitizer checks the
// hand-over itself).
TEST_F(ReceiveTest, TheNameMayChangeWhileTireMessagesArrive) {
    ModuleRecordPtr tires = AddCompletedModule(2, 0x33);
    const J1939DecodedName offsetName = TireEcuName(312);
    const J1939DecodedName plainName = TireEcuName(313);
    std::atomic<bool> done{false};
    std::thread registration([&] {
        for (int i = 0; !done.load(); ++i) {
            tires->SetDecodedName(reinterpret_cast<const uint8_t*>(i % 2 == 0 ? &offsetName : &plainName));
        }
    });
    for (int i = 0; i < 2000; ++i) Receive(1, Message(0xFEF4, 0x33, {0x11, 0x7D}));
    done = true;
    registration.join();
    for (const std::string& parsed : Parsed()) {
        EXPECT_TRUE(parsed == "F4 FE 00 06 33 F9 00 7D" || parsed == "F4 FE 00 06 33 F9 11 7D") << parsed;
    }
}

TEST_F(CompletedReceiveTest, MissingHostParserIsTracedAndLookedUpAgainLater) {
    hostsim::RemoveLookup(0x2013);
    EXPECT_EQ(FromEngine(0xF004), 20);
    EXPECT_TRUE(HasTrace(2, "CVehicleApp::GetParseMessageFunctionPointer (Line 24) ParseJ1939Msg == NULL"));
    EXPECT_FALSE(engine->pgnMap.contains(0xF004));

    hostsim::RestoreLookup(0x2013);
    FromEngine(0xF004, kValues, 200000);
    EXPECT_EQ(Parsed().size(), 1u);
}

TEST(CategoryRoles, NamesAreMatchedByTheirWholePrefixFirstRowFirst) {
    // A name shorter than the prefix, or in another letter case, has no role.
    const std::pair<const char*, int> cases[] = {
        {"TripData", kCategoryTripData}, {"TripDataPerDay", kCategoryTripData}, {"Trip", kNoCategoryRole},
        {"tripdata", kNoCategoryRole}, {"HealthReport_VehicleInfo", kCategoryHealthReportVehicleInfo},
        {"HealthReport_Data", kCategoryHealthReportData}, {"HealthReport_DataExtra", kCategoryHealthReportData},
        {"Vehicle Info", kCategoryVehicleInfo}, {"RequestPGNs", kCategoryRequestPgns},
        {"MobileParameters", kCategoryMobileParameters}, {"", kNoCategoryRole}, {nullptr, kNoCategoryRole}};
    for (const auto& [name, role] : cases) EXPECT_EQ(CategoryRoleForName(name), role) << (name ? name : "null");
}

TEST_F(AppTest, ClassifyKeepsTheHostIdOfEachRecognisedCategory) {
    const char* names[] = {"TripDataPerDay", "Trip", "HealthReport_VehicleInfo", "RequestPGNs", "TripData"};
    for (int16_t index = 0; index < 5; ++index) hostsim::AddCategory(Category(static_cast<int16_t>(40 + index), names[index]));
    for (int index = 0; index < 4; ++index) EXPECT_EQ(app.Receiver().ClassifyCategory(1, index, names[index]), 0);
    std::vector<int16_t> ids;
    for (CategoryRole role : {kCategoryTripData, kCategoryHealthReportVehicleInfo, kCategoryHealthReportData, kCategoryRequestPgns})
        ids.push_back(app.Receiver().CategoryId(role));
    EXPECT_EQ(ids, (std::vector<int16_t>{40, 42, -1, 43}));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryID"), 3u) << "an unrecognised name asks the host nothing";

    EXPECT_EQ(app.Receiver().ClassifyCategory(1, 4, "TripData"), 0);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryTripData), 44) << "the later category of a role wins";

    hostsim::SetResult("Zorv_GetCategoryID", 9);
    EXPECT_EQ(app.Receiver().ClassifyCategory(1, 2, "Vehicle Info"), 9);
    EXPECT_EQ(app.Receiver().CategoryId(kCategoryVehicleInfo), -1);
}

}  // namespace
}  // namespace marl::testing
