// The host functions of the plug-in's fault screen: the faults each module received from
// DM1 and DM2, their bytes cut to the caller's room, attributes scaled from the bytes
// given, related data points, the cleared fault list, DM4 freeze frames, the fault
// window, the J1708 application, and the list a recorded engine gives.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "hostsim/database/FmiText.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

constexpr uint32_t kWaitMs = 30000;
constexpr ZFaultGroupId kActive = 1;
constexpr ZFaultGroupId kPreviouslyActive = 2;

std::vector<uint8_t> HostMessage(uint32_t pgn, const std::vector<uint8_t>& data) {
    hostsim::J1939Message message;
    message.pgn = pgn;
    message.data = data;
    return hostsim::ToHostLayout(message);
}

class FaultFunctions : public HostSimTest {
protected:
    void SetUp() override {
        HostSimTest::SetUp();
        parse_ = Lookup<zorv::ParseJ1939MsgFn>(zorv::kLookupParseJ1939Msg);
    }

    void Parse(ZModuleHandle handle, uint32_t pgn, const std::vector<uint8_t>& data) {
        std::vector<uint8_t> message = HostMessage(pgn, data);
        ASSERT_EQ(parse_(handle, message.data(), static_cast<uint16_t>(message.size()), 0), 0);
    }

    static uint16_t ReceivedCount(ZModuleHandle handle) {
        uint16_t count = 0xFFFF;
        EXPECT_EQ(Zorv_GetRecvdFaultCodeCount(handle, &count), 0);
        return count;
    }

    // The received bytes with a capacity, or the result when the host has none.
    static std::vector<uint8_t> Bytes(ZModuleHandle handle, ZFaultGroupId group, ZBinNumber spn, int32_t fmi,
                                      uint16_t capacity = 16) {
        std::vector<uint8_t> buffer(capacity + 1u, 0xEE);
        uint16_t length = capacity;
        ZResult result = Zorv_GetRecvdFaultCodeData(handle, group, spn, buffer.data(), &length, fmi);
        EXPECT_EQ(buffer[capacity], 0xEE) << "written past the caller's room";
        if (result != 0) return {static_cast<uint8_t>(result), static_cast<uint8_t>(length)};
        buffer.resize(length);
        return buffer;
    }

    // The value text of an attribute scaled from bytes; "(error n)" or "(null)" otherwise.
    static std::string Scaled(ZFaultGroupId group, const std::vector<uint8_t>& bytes, uint16_t attributeId) {
        IScaledAttributes* scaled = nullptr;
        ZResult result = Zorv_GetScaledAttributeByID(1, group, 0, bytes.empty() ? nullptr : bytes.data(),
                                                     static_cast<uint16_t>(bytes.size()), 1, attributeId, &scaled);
        if (result != 0) return "(error " + std::to_string(result) + ")";
        EXPECT_EQ(scaled->GetAttributeId(), attributeId);
        const char* text = scaled->GetValueText(kScaledValueFormDefault);
        std::string value = text != nullptr ? text : "(null)";
        scaled->Release();
        return value;
    }

    zorv::ParseJ1939MsgFn parse_ = nullptr;
};

// A recorded engine's DM1s reach the host's parser through a stand-in plug-in entry that
// hands every message to ParseJ1939Msg, as the plug-in does.
uint16_t ZORV_STDCALL ParseEverything(int32_t handle, const uint8_t* message, uint16_t length, uint32_t timeStamp) {
    auto parse = reinterpret_cast<zorv::ParseJ1939MsgFn>(
        Zorv_GetFunctionAddress(zorv::kLookupParseJ1939Msg, zorv::kModuleIdHost));
    return parse(handle, message, length, timeStamp);
}

}  // namespace

TEST_F(FaultFunctions, EachModuleKeepsTheFaultsOfItsLastDm1AndDm2) {
    // DM1: amber lamp on, SPN 110 FMI 0 seen 3 times. DM2: SPN 100 FMI 1 and SPN 609 FMI 12.
    Parse(1, j1939::kPgnDm1, {0x04, 0xFF, 0x6E, 0x00, 0x00, 0x03, 0xFF, 0xFF});
    Parse(1, j1939::kPgnDm2, {0x00, 0xFF, 0x64, 0x00, 0x01, 0x02, 0x61, 0x02, 0x0C, 0x05});
    EXPECT_EQ(ReceivedCount(1), 3);
    EXPECT_EQ(ReceivedCount(2), 0) << "another module received nothing";
    EXPECT_EQ(Bytes(1, kActive, 110, 0), (std::vector<uint8_t>{0x04, 0xFF, 0x6E, 0x00, 0x00, 0x03}));
    EXPECT_EQ(Bytes(1, kPreviouslyActive, 609, 12), (std::vector<uint8_t>{0x00, 0xFF, 0x61, 0x02, 0x0C, 0x05}));
    EXPECT_EQ(Bytes(1, kActive, 110, 0, 4), (std::vector<uint8_t>{0x04, 0xFF, 0x6E, 0x00}));
    const std::vector<uint8_t> notFound{hostsim::kResultNotFound, 0};
    EXPECT_EQ(Bytes(1, kActive, 110, 1), notFound) << "another FMI";
    EXPECT_EQ(Bytes(1, kPreviouslyActive, 110, 0), notFound) << "another group";
    EXPECT_EQ(Bytes(2, kActive, 110, 0), notFound) << "another module";

    // Forty codes need the transport protocol; the parser gets the reassembled message.
    std::vector<uint8_t> many{0x10, 0xFF};
    for (uint8_t i = 0; i < 40; ++i) many.insert(many.end(), {static_cast<uint8_t>(200 + i), 0x00, 0x07, 0x01});
    Parse(2, j1939::kPgnDm1, many);
    EXPECT_EQ(ReceivedCount(2), 40);
    EXPECT_EQ(Bytes(2, kActive, 239, 7), (std::vector<uint8_t>{0x10, 0xFF, 239, 0x00, 0x07, 0x01}));
    // Two whole codes and three stray bytes: only the whole ones count.
    Parse(2, j1939::kPgnDm1, {0x00, 0xFF, 0x6E, 0x00, 0x03, 0x01, 0xBE, 0x00, 0x04, 0x02, 0x64, 0x00, 0x01});
    EXPECT_EQ(ReceivedCount(2), 2);
    EXPECT_EQ(Bytes(2, kActive, 100, 1), notFound);

    auto clear = Lookup<zorv::ClearFaultListFn>(zorv::kLookupClearFaultList);
    ASSERT_EQ(clear(1), 0);
    EXPECT_EQ(ReceivedCount(1), 0);
    EXPECT_EQ(Bytes(1, kActive, 110, 0), notFound);
    EXPECT_FALSE(hostsim::ReceivedFaults(1).activeReceived);
    EXPECT_EQ(ReceivedCount(2), 2) << "only the module's own list";
    Parse(1, j1939::kPgnDm1, {0x04, 0xFF, 0x6E, 0x00, 0x00, 0x04, 0xFF, 0xFF});
    EXPECT_EQ(ReceivedCount(1), 1) << "the next DM1 fills it again";
    hostsim::SetReceivedFaultCount(9);
    EXPECT_EQ(ReceivedCount(2), 9) << "a test's count answers for every module";
}

TEST_F(FaultFunctions, AttributesAreScaledFromTheBytesGiven) {
    const std::vector<uint8_t> coolant{0x04, 0xFF, 0x6E, 0x00, 0x00, 0x03};
    EXPECT_EQ(Scaled(kActive, coolant, 1), "SPN");
    EXPECT_EQ(Scaled(kActive, coolant, 2), "110");
    EXPECT_EQ(Scaled(kActive, coolant, 3), "Active");
    EXPECT_EQ(Scaled(kPreviouslyActive, coolant, 3), "Previously Active");
    EXPECT_EQ(Scaled(kActive, coolant, 4), "3");
    EXPECT_EQ(Scaled(kActive, coolant, 5), hostsim::FmiText(0));
    EXPECT_EQ(Scaled(kActive, coolant, 6), "0");
    EXPECT_EQ(Scaled(kActive, coolant, 7), "151") << "the file's flash code of SPN 110 FMI 0";
    // SPN 520000 (0x7EF40) FMI 2, occurrences not counted, conversion-method bit set.
    const std::vector<uint8_t> proprietary{0x00, 0xFF, 0x40, 0xEF, 0xE2, 0xFF};
    EXPECT_EQ(Scaled(kActive, proprietary, 2), "520000");
    EXPECT_EQ(Scaled(kActive, proprietary, 4), "N/A");
    EXPECT_EQ(Scaled(kActive, proprietary, 7), "(null)") << "no flash code";
    const std::string badArgument = "(error " + std::to_string(hostsim::kResultBadArgument) + ")";
    EXPECT_EQ(Scaled(kActive, {0x04, 0xFF, 0x6E, 0x00, 0x00}, 2), badArgument) << "short data";
    EXPECT_EQ(Scaled(kActive, {}, 2), badArgument);
    EXPECT_EQ(Scaled(kActive, {0x04, 0xFF, 0x00, 0x00, 0x00, 0x00}, 2), badArgument) << "no code";
    EXPECT_EQ(Scaled(kActive, coolant, 99), "(error " + std::to_string(hostsim::kResultNotFound) + ")");
    EXPECT_EQ(Scaled(9, coolant, 2), "(error " + std::to_string(hostsim::kResultNotFound) + ")");
    IScaledAttributes* fmi = nullptr;
    ASSERT_EQ(Zorv_GetScaledAttributeByID(1, kActive, 110, coolant.data(), 6, 1, 6, &fmi), 0);
    double number = -1;
    EXPECT_EQ(fmi->GetScaledNumber(&number), 0);
    EXPECT_EQ(number, 0.0);
    EXPECT_EQ(hostsim::LiveScaledAttributes(), 1);
    fmi->Release();
    EXPECT_EQ(hostsim::LiveScaledAttributes(), 0);

    auto binInfo = Lookup<zorv::GetAttributeBinInfoFn>(zorv::kLookupGetAttributeBinInfo);
    AttributeBinInfo record;
    std::memset(&record, 0xAB, sizeof(record));
    ASSERT_EQ(binInfo(1, kActive, 110, 6, &record), 0);
    EXPECT_EQ(record.attributeId, 7);
    EXPECT_EQ(record.reserved0[0], 0);
    EXPECT_EQ(binInfo(1, kActive, 110, 7, &record), hostsim::kResultNotFound);
    EXPECT_EQ(binInfo(1, kActive, 6000, 0, &record), hostsim::kResultNotFound) << "not named, not received";
}

TEST_F(FaultFunctions, RelatedDataPointsComeFromTheModulesDatabase) {
    const char* engine[] = {"SA_00"};
    ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(1, L"MARL_J1939.BIN", L"MARL_J1939", engine, 1), 0);
    auto count = Lookup<zorv::GetFaultRelatedTeskIdCountFn>(zorv::kLookupGetFaultRelatedTeskIdCount);
    auto related = Lookup<zorv::GetFaultRelatedTeskIdFn>(zorv::kLookupGetFaultRelatedTeskId);
    auto relatedOf = [&](ZModuleHandle handle, ZBinNumber spn) {
        uint16_t n = 0;
        std::vector<TESKID> teskIds;
        if (count(handle, spn, &n) != 0) return teskIds;
        for (uint16_t i = 0; i < n; ++i) {
            TESKID teskId = 0;
            EXPECT_EQ(related(handle, spn, i, &teskId), 0);
            teskIds.push_back(teskId);
        }
        TESKID beyond = 0;
        EXPECT_EQ(related(handle, spn, n, &beyond), hostsim::kResultNotFound);
        return teskIds;
    };
    auto teskIdOf = [](const char* name) {
        TESKID teskId = 0;
        EXPECT_EQ(Zorv_GetDPIDbyName(1, name, &teskId), 0) << name;
        return teskId;
    };
    EXPECT_EQ(relatedOf(1, 110), (std::vector<TESKID>{teskIdOf("SPN_110"), teskIdOf("SPN_111"), teskIdOf("SPN_175"),
                                                      teskIdOf("SPN_190")}));
    EXPECT_EQ(relatedOf(1, 91), std::vector<TESKID>{teskIdOf("SPN_91")}) << "no list: the SPN's own data point";
    EXPECT_TRUE(relatedOf(1, 609).empty()) << "the file relates no data point";
    EXPECT_TRUE(relatedOf(2, 110).empty()) << "a module without a parameter file";
}

TEST_F(FaultFunctions, FreezeFramesAreKeptApartFromLiveValues) {
    const char* engine[] = {"SA_00"};
    ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(1, L"MARL_J1939.BIN", L"MARL_J1939", engine, 1), 0);
    auto record = [](const std::vector<uint8_t>& frame) {
        const uint8_t header[] = {0x10, 0xCD, 0xFE, 0x00, 0x00};
        std::vector<uint8_t> bytes(sizeof(header) + frame.size());
        std::copy(frame.begin(), frame.end(), std::copy(std::begin(header), std::end(header), bytes.begin()));
        return bytes;
    };
    // SPN 110 FMI 0 seen 3 times; torque mode 1, 150 kPa, 650 rpm, 25 %, 85 °C, 80 km/h; two manufacturer bytes.
    const std::vector<uint8_t> full =
        record({14, 0x6E, 0x00, 0x00, 0x03, 0x01, 0x4B, 0x50, 0x14, 0x19, 0x7D, 0x00, 0x50, 0xAA, 0xBB});
    ASSERT_EQ(Zorv_ParseMsg(1, full.data(), static_cast<uint16_t>(full.size()), 0), 0);
    hostsim::FreezeFrameRecord frame = hostsim::FreezeFrame(1);
    ASSERT_TRUE(frame.found);
    EXPECT_EQ(frame.dtc, (hostsim::Dtc{110, 0, 3, false}));
    std::vector<std::string> values;
    for (const hostsim::FreezeFrameValue& value : frame.values) values.push_back(value.name + "=" + value.valueText);
    EXPECT_EQ(values, (std::vector<std::string>{"SPN_190=650 rpm", "SPN_92=25 %", "SPN_110=85 \u00B0C",
                                                "SPN_102=150 kPa", "SPN_84=80 km/h"}));
    EXPECT_EQ(hostsim::ModuleDataPoint(1, "SPN_190").updates, 0u) << "live values untouched";

    // A frame that ends after engine speed: what it lacks is not available.
    ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(2, L"MARL_J1939.BIN", L"MARL_J1939", engine, 1), 0);
    const std::vector<uint8_t> shortFrame = record({8, 0x6E, 0x00, 0x00, 0x03, 0x01, 0x4B, 0x50, 0x14});
    ASSERT_EQ(Zorv_ParseMsg(2, shortFrame.data(), static_cast<uint16_t>(shortFrame.size()), 0), 0);
    values.clear();
    for (const hostsim::FreezeFrameValue& value : hostsim::FreezeFrame(2).values) {
        values.push_back(value.name + "=" + value.valueText);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"SPN_190=650 rpm", "SPN_92=N/A", "SPN_110=N/A", "SPN_102=150 kPa",
                                                "SPN_84=N/A"}));

    for (const std::vector<uint8_t>& ignored :
         {record({15, 0x6E, 0x00, 0x00, 0x03, 0x01}), record({3, 0x6E, 0x00, 0x00}), record({2}),
          std::vector<uint8_t>{0x10, 0xCD, 0xFE},
          std::vector<uint8_t>{0x10, 0xCA, 0xFE, 0x00, 0x00, 0x04, 0x6E, 0x00, 0x00, 0x03}}) {
        ASSERT_EQ(Zorv_ParseMsg(3, ignored.data(), static_cast<uint16_t>(ignored.size()), 0), 0);
    }
    EXPECT_FALSE(hostsim::FreezeFrame(3).found) << "short frames and other records keep nothing";
    EXPECT_EQ(hostsim::FreezeFrame(1).dtc.spn, 110u);
}

TEST_F(FaultFunctions, FaultWindowsAndTheJ1708ApplicationAreRecorded) {
    ASSERT_EQ(ZorvLite_FaultInfoMsg(3, L"SPN 110 FMI 0", L"Coolant \u00B0C", 1, 15, "FreezeFrame"), 0);
    ASSERT_EQ(ZorvLite_FaultInfoMsg(4, L"c", nullptr, 0, -1, nullptr), 0);
    std::vector<hostsim::FaultInfoWindow> windows = hostsim::FaultInfoWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].handle, 3);
    EXPECT_EQ(windows[0].body, "Coolant \u00B0C");
    EXPECT_TRUE(windows[0].freezeFrameFound);
    EXPECT_EQ(windows[0].categoryId, 15);
    EXPECT_EQ(windows[0].categoryName, "FreezeFrame");
    EXPECT_EQ(windows[1].categoryName, "");

    auto moduleIds = [] {
        ZModuleId ids[8] = {};
        int32_t n = 8;
        EXPECT_EQ(Zorv_GetModuleIDs(ids, &n, 1), 0);
        return std::vector<ZModuleId>(ids, ids + n);
    };
    hostsim::SetModuleId(1, zorv::kModuleIdMarlJ1939);
    EXPECT_EQ(moduleIds(), std::vector<ZModuleId>{zorv::kModuleIdMarlJ1939});
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App), nullptr);
    hostsim::SetJ1708AppPresent(true);
    EXPECT_EQ(moduleIds(), (std::vector<ZModuleId>{zorv::kModuleIdMarlJ1939, zorv::kModuleIdJ1708App}));
    ZModuleHandle handles[2] = {};
    int32_t n = 2;
    ASSERT_EQ(Zorv_GetModuleHandles(zorv::kModuleIdJ1708App, &n, handles), 0);
    ASSERT_EQ(n, 1);
    auto command = reinterpret_cast<zorv::VehicleAppCommandFn>(
        Zorv_GetFunctionAddress(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App));
    ASSERT_NE(command, nullptr);
    wchar_t text[] = L"CLEAR ALL";
    int16_t length = 5;
    uint8_t data[] = {1, 2, 3};
    int16_t extra = 2;
    uint32_t flag = 0;
    EXPECT_EQ(
        command(static_cast<uint32_t>(handles[0]), zorv::kJ1708CommandClearFaults, text, &length, data, &extra, &flag),
        0);
    std::vector<hostsim::J1708Command> commands = hostsim::J1708Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].handle, static_cast<uint32_t>(hostsim::kJ1708AppHandle));
    EXPECT_EQ(commands[0].code, zorv::kJ1708CommandClearFaults);
    EXPECT_EQ(commands[0].text, "CLEAR") << "no further than the length given";
    EXPECT_EQ(commands[0].data, (std::vector<uint8_t>{1, 2}));
    hostsim::SetJ1708AppPresent(false);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App), nullptr);
    hostsim::SetJ1708AppPresent(true);
    hostsim::Reset();
    EXPECT_TRUE(hostsim::FaultInfoWindows().empty());
    EXPECT_TRUE(hostsim::J1708Commands().empty());
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App), nullptr);
}

TEST_F(FaultFunctions, ARecordedEngineGivesItsFourActiveFaults) {
    hostsim::AttachPlugin(&ParseEverything);
    ASSERT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0);
    uint8_t engineOnly[] = {4, 0, 0, 0, 0, 0x00, 0};
    ASSERT_EQ(Zorv_SendCommand(1, 4, engineOnly, sizeof(engineOnly), 0, 0, nullptr), 0);
    ASSERT_EQ(Zorv_EnableParsing(1, 1), 0);
    ASSERT_EQ(hostsim::ReplayBusLog(std::string(MARL_TEST_LOGS_DIR) + "/engine-idle-dm1.candump.log", 1, 0), "");
    ASSERT_TRUE(hostsim::WaitForReplay(kWaitMs));
    ASSERT_TRUE(hostsim::WaitForBus(kWaitMs));
    hostsim::DetachPlugin();

    hostsim::FaultListView list = hostsim::FaultList(1);
    std::vector<std::pair<uint32_t, uint8_t>> codes;
    for (const hostsim::FaultListEntry& fault : list.faults) {
        codes.emplace_back(fault.dtc.spn, fault.dtc.fmi);
        EXPECT_EQ(fault.groupId, kActive);
        EXPECT_EQ(fault.status, "Active");
        EXPECT_EQ(fault.binNumber, fault.dtc.spn);
        EXPECT_NE(fault.description, "SPN " + std::to_string(fault.dtc.spn)) << "described by the database";
        EXPECT_EQ(fault.fmiText, hostsim::FmiText(fault.dtc.fmi));
        EXPECT_FALSE(fault.fmiText.empty());
    }
    EXPECT_EQ(codes, (std::vector<std::pair<uint32_t, uint8_t>>{{980, 9}, {3216, 20}, {609, 9}, {609, 12}}));
    EXPECT_EQ(list.faults[2].description, "Controller #2");
    EXPECT_EQ(list.received.active.lamps.malfunction.state, hostsim::kLampOn);
    EXPECT_EQ(hostsim::FaultList(2).faults.size(), 0u);
}
