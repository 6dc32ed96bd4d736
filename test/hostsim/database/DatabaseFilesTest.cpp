// Parameter database files of the data folder as the plug-in loads and walks them.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hostsim/database/JsonDatabase.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

ZResult Load(ZModuleHandle handle, const wchar_t* file, const wchar_t* vehicle, std::vector<const char*> components) {
    return Zorv_LoadBinFileWithSpecifiedComponents(handle, file, vehicle, components.data(),
                                                   static_cast<int32_t>(components.size()));
}

TESKID TeskIdOf(ZModuleHandle handle, const char* name) {
    TESKID teskId = 0;
    return Zorv_GetDPIDbyName(handle, name, &teskId) == 0 ? teskId : 0;
}

const char* kGoodFile = R"({
  "vehicles": [{"name": "V", "components": ["SA_00"]}],
  "components": [{"name": "SA_00", "groups": ["engine"]}],
  "categories": [{"id": 16, "name": "RequestPGNs"}],
  "dataPoints": [{"teskId": 1, "name": "SPN_190", "group": "engine", "pgn": 61444, "byte": 4, "bits": 16,
                  "resolution": 0.125, "unit": "rpm", "categories": ["RequestPGNs"]}]
})";

std::string Broken(const std::string& from, const std::string& to) {
    std::string text = kGoodFile;
    return text.replace(text.find(from), from.size(), to);
}

}  // namespace

// The shipped file's engine with the adapter's component, and a second module with the
// transmission: each module has a table of its own.
TEST_F(HostSimTest, ComponentsOfTheShippedDatabasePerModule) {
    ASSERT_EQ(Load(1, L"MARL_J1939.BIN", L"MARL_J1939", {"SA_00", "PC_COMPONENT"}), 0) << hostsim::LastDatabaseError();
    ASSERT_EQ(Load(2, L"marl_j1939.bin", L"MARL_J1939", {"SA_03"}), 0) << "file names ignore case";
    EXPECT_EQ(hostsim::LoadedComponents(1), (std::vector<std::string>{"SA_00", "PC_COMPONENT"}));
    sDpAttribute attribute{};
    ASSERT_EQ(Zorv_GetDPAttributes(1, TeskIdOf(1, "SPN_190"), &attribute), 0);
    EXPECT_EQ(static_cast<uint32_t>(attribute.pgn), 61444u);
    EXPECT_EQ(static_cast<int16_t>(attribute.security), 3) << "a fast broadcast is requested periodically";
    EXPECT_NE(TeskIdOf(1, "SPN_3719"), 0u) << "the engine carries its aftertreatment";
    EXPECT_NE(TeskIdOf(1, "HEALTH_REPORTS_VEHICLE_INFO_SA"), 0u) << "from the adapter's component";
    EXPECT_EQ(TeskIdOf(1, "SPN_191"), 0u) << "transmission data belongs to SA_03";
    EXPECT_NE(TeskIdOf(2, "SPN_191"), 0u);
    EXPECT_EQ(TeskIdOf(2, "SPN_190"), 0u);

    uint16_t count = 0;
    Zorv_GetCategoryCount(1, 0, &count);
    std::vector<std::string> categories;
    for (uint16_t i = 0; i < count; ++i) {
        wchar_t wide[256] = {};
        char name[256] = {};
        Zorv_GetCategory(1, 0, i, 1, wide, 256, name, 256);
        categories.emplace_back(name);
    }
    for (const char* role : {"TripData", "MobileTripLife", "MobileParameters", "RecordablePids", "Vehicle Info",
                             "FreezeFrame", "RequestPGNs", "HealthReport_Data", "HealthReport_VehicleInfo"}) {
        EXPECT_EQ(std::count(categories.begin(), categories.end(), role), 1) << role;
    }
    const ZUdi vinUdi = 7;
    TESKID teskIds[4] = {};
    uint32_t found = 4;
    ASSERT_EQ(Zorv_GetTeskIdsFromUdiList(1, &vinUdi, 1, teskIds, &found), 0);
    EXPECT_EQ(std::vector<TESKID>(teskIds, teskIds + found), std::vector<TESKID>{TeskIdOf(1, "SPN_237")});

    const uint8_t text[] = {'M', 'R', 'L'};
    ASSERT_EQ(Zorv_SetDPValue(1, TeskIdOf(1, "SPN_586"), text, sizeof(text), 0), 0);
    EXPECT_EQ(hostsim::ModuleDataPoint(1, "SPN_586").value.size(), 3u);
    EXPECT_TRUE(hostsim::ModuleDataPoint(2, "SPN_586").value.empty()) << "the same data point of another module";
    EXPECT_EQ(Zorv_UnLoadBinFile(1), 0);
    EXPECT_TRUE(hostsim::LoadedComponents(1).empty());
    EXPECT_NE(TeskIdOf(2, "SPN_191"), 0u) << "unloading one module keeps the other's table";
}

TEST_F(HostSimTest, WhatLoadingAFileGives) {
    struct Case {
        const wchar_t* file;
        const wchar_t* vehicle;
        const char* component;
        ZResult result;
        std::vector<std::string> loaded;
    };
    const Case cases[] = {
        {L"MARL_J1939.BIN", L"MARL_J1939", "SA_FE", 0, {}},  // loads, but holds no such component
        {L"JCB.BIN", L"JCB.EN", "SA_03", 0, {"SA_03"}},
        {L"MARL_J1939.BIN", L"JCB.EN", "SA_100", 0, {"SA_100"}},  // the generic fallback for machines
        {L"MARL_J1939.BIN", L"NO_SUCH", "SA_00", hostsim::kResultNotFound, {}},
        {L"OTHER.BIN", L"MARL_J1939", "SA_00", hostsim::kResultFileNotFound, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Load(1, c.file, c.vehicle, {c.component}), c.result) << c.component;
        EXPECT_EQ(hostsim::LoadedComponents(1), c.loaded) << c.component;
    }
    EXPECT_NE(hostsim::LastDatabaseError().find("OTHER.json"), std::string::npos);
}

TEST_F(HostSimTest, BrokenFilesGiveClearErrors) {
    EXPECT_EQ(hostsim::ParseDatabaseText(kGoodFile, "x.json").error, "");
    const std::pair<std::string, std::string> cases[] = {
        {"{ \"vehicles\": ", "x.json: not valid JSON"},
        {Broken("\"teskId\": 1,", ""), "dataPoints[0] (SPN_190): 'teskId' is missing"},
        {Broken("\"bits\": 16", "\"bits\": 40"), "'bits' is 40, not between 1 and 32"},
        {Broken("\"categories\": [\"RequestPGNs\"]}]", "\"categories\": [\"RequestPGN\"]}]"),
         "category \"RequestPGN\" is not in the file"},
        {Broken("}]\n}", "}, {\"teskId\": 1, \"name\": \"SPN_91\", \"group\": \"engine\", \"pgn\": 61443}]\n}"),
         "TESKID 1 appears twice"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error = hostsim::ParseDatabaseText(text, "x.json").error;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }

    std::filesystem::path folder = std::filesystem::temp_directory_path() / "marl-db-broken";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "MARL_J1939.json") << Broken("\"bits\": 16", "\"bits\": 0");
    hostsim::SetDataFolder(folder.string());
    EXPECT_EQ(Load(1, L"MARL_J1939.BIN", L"V", {"SA_00"}), hostsim::kResultBadFile);
    EXPECT_NE(hostsim::LastDatabaseError().find("'bits' is 0"), std::string::npos);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}
