// The fault-code database as the fault screen walks it: the data folder's file with its
// groups, attributes and SPN texts, the descriptions of SPNs it does not name, and the
// hand-described table that takes its place.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "hostsim/database/FaultCodeFile.h"
#include "hostsim/database/JsonDatabase.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

std::wstring Description(ZModuleHandle handle, ZBinNumber binNumber, size_t capacity = 128) {
    uint16_t index = 0;
    if (Zorv_GetFaultCodeIndexByBinNumber(handle, 0, 0, 0, binNumber, &index) != 0) return L"(no fault)";
    std::vector<wchar_t> text(capacity, L'#');
    char narrow[128] = {};
    int64_t value = 0;
    if (Zorv_GetFaultCodeExtendedInfo(handle, 0, 0, 0, index, 1, text.data(), static_cast<uint16_t>(capacity), narrow,
                                      sizeof(narrow), &value, nullptr, nullptr, nullptr, 0) != 0 ||
        value != binNumber) {
        return L"(no description)";
    }
    return text.data();
}

std::vector<uint8_t> Dm1(const std::vector<uint8_t>& data) {
    hostsim::J1939Message message;
    message.pgn = j1939::kPgnDm1;
    message.data = data;
    return hostsim::ToHostLayout(message);
}

}  // namespace

TEST_F(HostSimTest, FaultCodeFileNamesEveryParameterAndTheRecordedCodes) {
    const std::string dataDir = hostsim::DataFolderPath();
    const std::string path = dataDir + "/" + hostsim::kFaultCodeFileName;
    ASSERT_EQ(hostsim::CheckFaultDatabaseFile(path), "");
    hostsim::FaultCodeFileResult faults = hostsim::ReadFaultCodeFile(path);
    hostsim::DatabaseResult parameters = hostsim::ReadDatabaseFile(dataDir + "/MARL_J1939.json");
    ASSERT_TRUE(faults.file && parameters.file);
    for (const hostsim::DatabaseDataPoint& dataPoint : parameters.file->dataPoints) {
        uint32_t spn = dataPoint.described.layout.spn;
        if (spn == 0 || !dataPoint.described.layout.startByte) continue;
        EXPECT_EQ(faults.file->spns.count(spn), 1u) << "SPN " << spn << " of " << dataPoint.described.name;
    }
    EXPECT_EQ(faults.file->spns.at(609).description, "Controller #2");
    for (uint32_t recorded : {980u, 3216u, 609u}) EXPECT_EQ(faults.file->spns.count(recorded), 1u) << recorded;

    uint32_t groups = 0;
    ASSERT_EQ(Zorv_GetGroupCount(1, 0, 0, &groups), 0);
    ASSERT_EQ(groups, 2u);
    ZFaultGroupId ids[2] = {};
    for (uint32_t i = 0; i < groups; ++i) ASSERT_EQ(Zorv_GetFaultGroupIDByIndex(1, 0, 0, i, &ids[i]), 0);
    EXPECT_EQ(std::vector<ZFaultGroupId>(ids, ids + 2), (std::vector<ZFaultGroupId>{1, 2}));
    uint16_t first = 9, second = 9, third = 9;
    ASSERT_EQ(Zorv_GetFaultGroupIndexesByID(1, 2, &first, &second, &third), 0);
    EXPECT_EQ(first + second + third, 1);
    EXPECT_EQ(Zorv_GetFaultGroupIndexesByID(1, 3, &first, &second, &third), hostsim::kResultNotFound);

    uint16_t index = 0;
    ASSERT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, 1, 0, 0, 110, &index), 0);
    int16_t attributes = 0;
    ASSERT_EQ(Zorv_GetFaultCodeAttributeCount(1, 1, 0, 0, index, &attributes), 0);
    std::vector<std::string> keys;
    for (int16_t i = 0; i < attributes; ++i) {
        wchar_t name[32] = {};
        char key[32] = {};
        ASSERT_EQ(Zorv_GetFaultCodeAttributeBinInfo(1, 1, 0, 0, index, i, 1, name, 32, key, 32), 0);
        if (keys.empty()) {
            EXPECT_STREQ(name, L"Type");
        }
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"ID_Type", "ID", "Status", "Occurrences", "FMI_Description", "FMI",
                                              "FLASH_CODE"}));
    EXPECT_EQ(Description(1, 110), L"Engine Coolant Temperature");
    EXPECT_EQ(Description(1, 110, 7), L"Engine") << "cut to the caller's room, terminated";
}

TEST_F(HostSimTest, FaultCodeFileErrorsNameThePlace) {
    const char* valid = R"({"groups": [{"id": 1, "name": "Active", "message": "DM1"}],
        "attributes": [{"key": "FMI", "id": 6}], "spns": [{"spn": 110, "text": "Coolant"}]})";
    EXPECT_EQ(hostsim::ParseFaultCodeText(valid, "f").error, "");
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {R"({"groups": [{"id": 1, "name": "A", "message": "DM9"}], "attributes": [], "spns": []})", "groups[0]"},
        {R"({"groups": [], "attributes": [], "spns": [{"spn": 1, "text": "a"}, {"spn": 1, "text": "b"}]})", "spns[1]"},
        {R"({"groups": [], "attributes": [], "spns": [{"spn": 1, "text": "a", "fmis": {"32": {}}}]})", "spns[0]"},
        {R"({"groups": [], "attributes": [{"key": "FMI", "id": 1}, {"key": "FMI", "id": 2}], "spns": []})",
         "attributes[1]"},
        {R"({"groups": [], "spns": []})", "attributes"},
    };
    for (const Case& c : cases) {
        std::string error = hostsim::ParseFaultCodeText(c.text, "f").error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " -> " << error;
    }
}

TEST_F(HostSimTest, ReceivedSpnsTheFileDoesNotNameAreStillDescribed) {
    hostsim::DataPointDefinition proprietary;
    proprietary.teskId = 77;
    proprietary.name = "SPN_520000";
    proprietary.description = L"Proprietary Boost Pressure";
    proprietary.layout.spn = 520000;
    hostsim::AddDataPoint(proprietary);
    uint16_t index = 0;
    EXPECT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, 0, 0, 0, 520000, &index), hostsim::kResultNotFound)
        << "no entry for an SPN nobody received";

    auto parse = Lookup<zorv::ParseJ1939MsgFn>(zorv::kLookupParseJ1939Msg);
    // SPN 520000 (0x7EF40) FMI 2 and SPN 6000 (0x1770) FMI 4.
    std::vector<uint8_t> dm1 = Dm1({0x04, 0xFF, 0x40, 0xEF, 0xE2, 0x01, 0x70, 0x17, 0x04, 0x01});
    ASSERT_EQ(parse(1, dm1.data(), static_cast<uint16_t>(dm1.size()), 0), 0);
    EXPECT_EQ(Description(1, 520000), L"Proprietary Boost Pressure") << "the module's data point of the SPN";
    EXPECT_EQ(Description(1, 6000), L"SPN 6000");
    EXPECT_EQ(Description(2, 6000), L"SPN 6000") << "once created the entry is every module's";
    ASSERT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, 1, 0, 0, 6000, &index), 0);
    uint16_t again = 0;
    ASSERT_EQ(parse(1, dm1.data(), static_cast<uint16_t>(dm1.size()), 0), 0);
    ASSERT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, 1, 0, 0, 6000, &again), 0);
    EXPECT_EQ(again, index) << "indexes stay where they were made";
    EXPECT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, 0, 0, 0, ZBinNumber{1} << 32 | 6000, &again),
              hostsim::kResultNotFound);

    hostsim::AddFaultGroup({7, "Hand", "Described", j1939::kPgnDm1});
    uint32_t groups = 0;
    ASSERT_EQ(Zorv_GetGroupCount(1, 0, 0, &groups), 0);
    EXPECT_EQ(groups, 1u) << "the described table takes the file's place";
    EXPECT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, 0, 0, 0, 6000, &index), hostsim::kResultNotFound);

    hostsim::Reset();
    const std::string empty = (std::filesystem::temp_directory_path() / "marl-no-faults").string();
    std::filesystem::create_directories(empty);
    hostsim::SetDataFolder(empty);
    ASSERT_EQ(Zorv_GetGroupCount(1, 0, 0, &groups), 0);
    EXPECT_EQ(groups, 0u);
    EXPECT_NE(hostsim::FaultDatabaseError().find(hostsim::kFaultCodeFileName), std::string::npos);
    hostsim::SetDataFolder("");
    ASSERT_EQ(Zorv_GetGroupCount(1, 0, 0, &groups), 0);
    EXPECT_EQ(groups, 2u) << "read again from the folder chosen";
}
