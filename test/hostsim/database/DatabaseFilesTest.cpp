// Parameter database files of the data folder as the plug-in loads and walks them.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "hostsim/database/JsonDatabase.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

ZResult Load(ZModuleHandle handle, const wchar_t* file, const wchar_t* vehicle,
             std::vector<const char*> components) {
    return Zorv_LoadBinFileWithSpecifiedComponents(handle, file, vehicle, components.data(),
                                                   static_cast<int32_t>(components.size()));
}

TESKID TeskIdOf(ZModuleHandle handle, const char* name) {
    TESKID teskId = 0;
    return Zorv_GetDPIDbyName(handle, name, &teskId) == 0 ? teskId : 0;
}

std::vector<TESKID> Udi(ZModuleHandle handle, ZUdi udi) {
    TESKID teskIds[16] = {};
    uint32_t count = 16;
    if (Zorv_GetTeskIdsFromUdiList(handle, &udi, 1, teskIds, &count) != 0) return {};
    return std::vector<TESKID>(teskIds, teskIds + count);
}

std::vector<std::string> CategoryNames(ZModuleHandle handle) {
    uint16_t count = 0;
    Zorv_GetCategoryCount(handle, 0, &count);
    std::vector<std::string> names;
    for (uint16_t i = 0; i < count; ++i) {
        wchar_t wide[256] = {};
        char name[256] = {};
        Zorv_GetCategory(handle, 0, i, 1, wide, 256, name, 256);
        names.emplace_back(name);
    }
    return names;
}

class DatabaseFiles : public HostSimTest {
protected:
    void TearDown() override {
        std::error_code error;
        for (const std::string& folder : folders_) std::filesystem::remove_all(folder, error);
        HostSimTest::TearDown();
    }

    // A data folder holding one file of the given text.
    std::string FolderWith(const std::string& fileName, const std::string& text) {
        std::string name = "marl-db-" + std::to_string(++counter_);
        std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / fileName) << text;
        folders_.push_back(folder.string());
        return folder.string();
    }

    std::vector<std::string> folders_;
    static inline int counter_ = 0;
};

const char* kGoodFile = R"({
  "vehicles": [{"name": "V", "components": ["SA_00"]}],
  "components": [{"name": "SA_00", "groups": ["engine"]}],
  "categories": [{"id": 16, "name": "RequestPGNs"}],
  "dataPoints": [{"teskId": 1, "name": "SPN_190", "group": "engine", "pgn": 61444, "byte": 4, "bits": 16,
                  "resolution": 0.125, "unit": "rpm", "categories": ["RequestPGNs"]}]
})";

std::string Broken(const std::string& from, const std::string& to) {
    std::string text = kGoodFile;
    size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST_F(DatabaseFiles, EngineComponentOfTheShippedDatabase) {
    ASSERT_EQ(Load(1, L"MARL_J1939.BIN", L"MARL_J1939", {"SA_00", "PC_COMPONENT"}), 0) << hostsim::LastDatabaseError();
    EXPECT_EQ(hostsim::LoadedComponents(1), (std::vector<std::string>{"SA_00", "PC_COMPONENT"}));

    TESKID speed = TeskIdOf(1, "SPN_190");
    ASSERT_NE(speed, 0u);
    sDpAttribute attribute{};
    ASSERT_EQ(Zorv_GetDPAttributes(1, speed, &attribute), 0);
    uint32_t pgn = attribute.pgn;
    int16_t security = attribute.security;
    EXPECT_EQ(pgn, 61444u);
    EXPECT_EQ(security, 3) << "a fast broadcast is requested periodically";
    EXPECT_NE(TeskIdOf(1, "SPN_3719"), 0u) << "the engine carries its aftertreatment";
    EXPECT_NE(TeskIdOf(1, "HEALTH_REPORTS_VEHICLE_INFO_SA"), 0u) << "from the adapter's component";
    EXPECT_EQ(TeskIdOf(1, "SPN_191"), 0u) << "transmission data belongs to SA_03";
    EXPECT_NE(TeskIdOf(1, "SPN_965"), 0u);
    EXPECT_NE(TeskIdOf(1, "SPN_234_19"), 0u);

    std::vector<std::string> categories = CategoryNames(1);
    for (const char* role : {"TripData", "MobileTripLife", "MobileParameters", "RecordablePids", "Vehicle Info",
                             "FreezeFrame", "RequestPGNs", "HealthReport_Data", "HealthReport_VehicleInfo"}) {
        EXPECT_EQ(std::count(categories.begin(), categories.end(), role), 1) << role;
    }
    EXPECT_EQ(std::count(categories.begin(), categories.end(), "Engine"), 1);

    EXPECT_EQ(Udi(1, 7), std::vector<TESKID>{TeskIdOf(1, "SPN_237")});
    EXPECT_EQ(Udi(1, 17), std::vector<TESKID>{TeskIdOf(1, "SPN_586")});
    EXPECT_EQ(Udi(1, 10).size(), 3u) << "hours, total fuel and distance of the engine";

    auto discovery = Lookup<zorv::GetDiscoveryUdisFn>(zorv::kLookupGetDiscoveryUdis);
    ZUdi udis[32] = {};
    uint32_t count = 32;
    ASSERT_EQ(discovery(udis, &count), 0);
    EXPECT_EQ(std::set<ZUdi>(udis, udis + count).count(7), 1u);
}

TEST_F(DatabaseFiles, EachModuleHasATableOfItsOwn) {
    ASSERT_EQ(Load(1, L"MARL_J1939.BIN", L"MARL_J1939", {"SA_00"}), 0);
    ASSERT_EQ(Load(2, L"marl_j1939.bin", L"MARL_J1939", {"SA_03"}), 0) << "file names ignore case";
    EXPECT_NE(TeskIdOf(2, "SPN_191"), 0u);
    EXPECT_EQ(TeskIdOf(2, "SPN_190"), 0u);

    TESKID make = TeskIdOf(1, "SPN_586");
    const uint8_t text[] = {'M', 'R', 'L'};
    ASSERT_EQ(Zorv_SetDPValue(1, make, text, sizeof(text), 0), 0);
    EXPECT_EQ(hostsim::ModuleDataPoint(1, "SPN_586").value.size(), 3u);
    EXPECT_TRUE(hostsim::ModuleDataPoint(2, "SPN_586").value.empty()) << "the same data point of another module";

    uint16_t before = 0;
    Zorv_GetDPCount(1, &before);
    EXPECT_EQ(Zorv_UnLoadBinFile(1), 0);
    uint16_t after = 0;
    Zorv_GetDPCount(1, &after);
    EXPECT_GT(before, 0);
    EXPECT_EQ(after, 0);
}

TEST_F(DatabaseFiles, ComponentsAndVehiclesTheFileLacks) {
    ASSERT_EQ(Load(1, L"MARL_J1939.BIN", L"MARL_J1939", {"SA_FE"}), 0) << "the file loads";
    uint16_t count = 9;
    EXPECT_EQ(Zorv_GetComponentCount(1, 0, &count), 0);
    EXPECT_EQ(count, 0) << "but holds no such component";

    EXPECT_EQ(Load(1, L"JCB.BIN", L"JCB.EN", {"SA_03"}), 0);
    EXPECT_NE(TeskIdOf(1, "SPN_523"), 0u);
    EXPECT_EQ(Load(1, L"MARL_J1939.BIN", L"JCB.EN", {"SA_100"}), 0) << "the generic fallback for machines";
    EXPECT_EQ(hostsim::LoadedComponents(1), std::vector<std::string>{"SA_100"});

    EXPECT_EQ(Load(1, L"MARL_J1939.BIN", L"NO_SUCH", {"SA_00"}), hostsim::kResultNotFound);
    EXPECT_NE(hostsim::LastDatabaseError().find("no vehicle \"NO_SUCH\""), std::string::npos);
    EXPECT_EQ(Load(1, L"OTHER.BIN", L"MARL_J1939", {"SA_00"}), hostsim::kResultFileNotFound);
    EXPECT_NE(hostsim::LastDatabaseError().find("OTHER.json"), std::string::npos);
    EXPECT_TRUE(hostsim::LoadedComponents(1).empty());
}

TEST_F(DatabaseFiles, DescribedDatabaseStillAnswersForEveryModule) {
    hostsim::DataPointDefinition dataPoint;
    dataPoint.teskId = 77;
    dataPoint.name = "SPN_190";
    hostsim::AddDataPoint(dataPoint);
    ASSERT_EQ(Load(1, L"MARL_J1939.BIN", L"MARL_J1939", {"SA_FE"}), 0);
    EXPECT_EQ(hostsim::LoadedComponents(1), std::vector<std::string>{"SA_FE"}) << "as described: every component";
    EXPECT_EQ(TeskIdOf(1, "SPN_190"), 77u);
    uint16_t count = 0;
    Zorv_GetDPCount(1, &count);
    EXPECT_EQ(count, 1);
}

TEST_F(DatabaseFiles, ShippedFilesAreValidAndTheirFieldsFitTheirMessages) {
    for (const char* name : {"MARL_J1939.json", "JCB.json"}) {
        std::string path = hostsim::DataFolderPath() + "/" + name;
        EXPECT_EQ(hostsim::CheckDatabaseFile(path), "") << name;
        hostsim::DatabaseResult read = hostsim::ReadDatabaseFile(path);
        ASSERT_TRUE(read.file) << read.error;
        std::set<uint32_t> spns;
        for (const hostsim::DatabaseDataPoint& dataPoint : read.file->dataPoints) {
            const hostsim::SpnLayout& layout = dataPoint.described.layout;
            spns.insert(layout.spn);
            if (layout.type == hostsim::SpnLayout::Type::Text || layout.startByte == 0) continue;
            // Apart from the diagnostic messages every PGN here is a single frame.
            EXPECT_LE((layout.startByte - 1) * 8 + layout.startBit - 1 + layout.bits, 64) << dataPoint.described.name;
        }
        EXPECT_GE(spns.size(), std::string(name) == "JCB.json" ? 15u : 60u) << name;
    }
}

TEST_F(DatabaseFiles, BrokenFilesGiveClearErrors) {
    EXPECT_EQ(hostsim::ParseDatabaseText(kGoodFile, "x.json").error, "");
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"{ \"vehicles\": ", "x.json: not valid JSON"},
        {Broken("\"teskId\": 1,", ""), "dataPoints[0] (SPN_190): 'teskId' is missing"},
        {Broken("\"bits\": 16", "\"bits\": 40"), "'bits' is 40, not between 1 and 32"},
        {Broken("\"categories\": [\"RequestPGNs\"]}]", "\"categories\": [\"RequestPGN\"]}]"),
         "category \"RequestPGN\" is not in the file"},
        {Broken("\"groups\": [\"engine\"]", "\"groups\": [\"engin\"]"), "group \"engin\" has no data points"},
        {Broken("\"components\": [\"SA_00\"]", "\"components\": [\"SA_01\"]"),
         "component \"SA_01\" is not in the file"},
        {Broken("\"pgn\": 61444", "\"pgn\": \"0xF00G\""), "'pgn' \"0xF00G\" is not a number"},
        {Broken("\"resolution\": 0.125", "\"resolution\": 0"), "'resolution' must not be 0"},
        {Broken("\"byte\": 4", "\"byte\": 4, \"type\": \"float\""), "'type' \"float\" is not one of"},
        {Broken("{\"id\": 16, ", "{"), "categories[0] (RequestPGNs): 'id' is missing"},
    };
    for (const Case& test : cases) {
        std::string error = hostsim::ParseDatabaseText(test.text, "x.json").error;
        EXPECT_NE(error.find(test.expected), std::string::npos) << error;
    }
    std::string twice = std::string(kGoodFile);
    twice.replace(twice.find("}]\n}"), 4,
                  "}, {\"teskId\": 1, \"name\": \"SPN_91\", \"group\": \"engine\", \"pgn\": 61443}]\n}");
    EXPECT_NE(hostsim::ParseDatabaseText(twice, "x.json").error.find("TESKID 1 appears twice"), std::string::npos);
    EXPECT_NE(hostsim::CheckDatabaseFile("no-such.json").find("no-such.json: cannot open"), std::string::npos);

    hostsim::SetDataFolder(FolderWith("MARL_J1939.json", Broken("\"bits\": 16", "\"bits\": 0")));
    EXPECT_EQ(Load(1, L"MARL_J1939.BIN", L"V", {"SA_00"}), hostsim::kResultBadFile);
    EXPECT_NE(hostsim::LastDatabaseError().find("'bits' is 0"), std::string::npos);
    hostsim::SetDataFolder(FolderWith("MARL_J1939.json", kGoodFile));
    EXPECT_EQ(Load(1, L"MARL_J1939.BIN", L"V", {"SA_00"}), 0);
    EXPECT_EQ(hostsim::LastDatabaseError(), "");
}
