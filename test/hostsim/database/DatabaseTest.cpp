// Parameter files, data points and categories as the plug-in walks them.
#include <cstdint>
#include <string>
#include <vector>

#include "test/hostsim/HostSimFixture.h"

namespace {

hostsim::DataPointDefinition MakeDataPoint(TESKID teskId, const char* name, ZPgn pgn) {
    hostsim::DataPointDefinition dataPoint;
    dataPoint.teskId = teskId;
    dataPoint.name = name;
    dataPoint.attribute.pgn = pgn;
    return dataPoint;
}

}  // namespace

TEST_F(HostSimTest, ParameterFileShowsTheComponentsItHolds) {
    const char* wanted[] = {"SA_00", "PC_COMPONENT"};
    uint16_t count = 99;
    EXPECT_EQ(Zorv_GetVehicleCount(1, &count), 0);
    EXPECT_EQ(count, 0) << "nothing loaded yet";

    EXPECT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(1, L"MARL_J1939.BIN", L"MARL_J1939", wanted, 2), 0);
    EXPECT_EQ(hostsim::CallsTo("Zorv_LoadBinFileWithSpecifiedComponents")[0].Arg(3),
              "[\"SA_00\", \"PC_COMPONENT\"]");
    EXPECT_EQ(Zorv_GetVehicleCount(1, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Zorv_GetComponentCount(1, 0, &count), 0);
    EXPECT_EQ(count, 2);
    wchar_t wide[8] = {};
    char name[4] = {};
    EXPECT_EQ(Zorv_GetComponent(1, 0, 1, 1, wide, 8, name, 4), 0);
    EXPECT_EQ(std::wstring(wide), L"PC_COMP") << "cut to the buffer, terminated";
    EXPECT_EQ(std::string(name), "PC_");

    hostsim::SetBinFileComponents(L"JCB.BIN", {"PC_COMPONENT"});
    EXPECT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(1, L"JCB.BIN", L"JCB.EN", wanted, 2), 0);
    EXPECT_EQ(hostsim::LoadedComponents(1), std::vector<std::string>{"PC_COMPONENT"});
    EXPECT_EQ(Zorv_UnLoadBinFile(1), 0);
    EXPECT_TRUE(hostsim::LoadedComponents(1).empty());
}

TEST_F(HostSimTest, DataPointsByIndexNameAndPgn) {
    hostsim::AddDataPoint(MakeDataPoint(101, "SPN_190", 0xF004));
    hostsim::AddDataPoint(MakeDataPoint(102, "SPN_91", 0xF003));
    hostsim::AddDataPoint(MakeDataPoint(103, "SPN_513", 0xF004));

    uint16_t count = 0;
    EXPECT_EQ(Zorv_GetDPCount(1, &count), 0);
    EXPECT_EQ(count, 3);
    TESKID teskId = 0;
    EXPECT_EQ(Zorv_GetDPID(1, 2, &teskId), 0);
    EXPECT_EQ(teskId, 103u);
    EXPECT_EQ(Zorv_GetDPIDbyName(1, "SPN_91", &teskId), 0);
    EXPECT_EQ(teskId, 102u);
    EXPECT_EQ(Zorv_GetDPIDbyName(1, "SPN_965", &teskId), hostsim::kResultNotFound);

    ZPgn pgn = 0;
    EXPECT_EQ(Zorv_GetPIDForTESKID(1, 101, &pgn), 0);
    EXPECT_EQ(pgn, 0xF004u);
    int16_t index = -1;
    EXPECT_EQ(Zorv_GetIndexForPID(1, 0xF004, &index), 0);
    EXPECT_EQ(Zorv_GetTESKIDCountForPID(1, index, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Zorv_GetTESKIDFromPID(1, index, 1, &teskId), 0);
    EXPECT_EQ(teskId, 103u);
    EXPECT_NE(Zorv_GetTESKIDFromPID(1, index, 2, &teskId), 0);
    EXPECT_NE(Zorv_GetIndexForPID(1, 0xFEEE, &index), 0);
}

TEST_F(HostSimTest, AttributesQueriesValuesAndVisibility) {
    hostsim::DataPointDefinition dataPoint = MakeDataPoint(7, "SPN_234_03", 0xFEDA);
    dataPoint.attribute.security = 3;
    dataPoint.attribute.kind = kDpKindPgnFromQueryMessage;
    dataPoint.query = {0xFE, 0xCA, 0x00};
    dataPoint.valueText = L"N/A";
    hostsim::AddDataPoint(dataPoint);

    sDpAttribute attribute{};
    EXPECT_EQ(Zorv_GetDPAttributes(1, 7, &attribute), 0);
    int16_t security = attribute.security;
    uint32_t kind = attribute.kind;
    EXPECT_EQ(security, 3);
    EXPECT_EQ(kind, kDpKindPgnFromQueryMessage);

    uint16_t msgIndex = 9;
    uint8_t query[2] = {};
    uint16_t length = 0;
    EXPECT_EQ(Zorv_FindMsg(1, 7, &msgIndex), 0);
    EXPECT_EQ(Zorv_GetQueryMsg(1, msgIndex, query, sizeof(query), &length), 0);
    EXPECT_EQ(query[0], 0xFE);
    EXPECT_EQ(query[1], 0xCA);
    EXPECT_EQ(length, 3) << "the query's own size, though only two bytes fit";

    wchar_t text[255] = {};
    uint32_t textLength = 255;
    EXPECT_EQ(Zorv_GetDataPointValueStr(1, 7, 0, 2, text, 255, &textLength), 0);
    EXPECT_EQ(std::wstring(text), L"N/A");
    EXPECT_EQ(textLength, 3u);
    EXPECT_EQ(Zorv_SetDPDisplayValue(1, 7, L"Agility and more", 7), 0);
    EXPECT_EQ(Zorv_GetDataPointValueStr(1, 7, 0, 2, text, 255, &textLength), 0);
    EXPECT_EQ(std::wstring(text), L"Agility");

    const uint8_t make[] = {'C', 'M', 'M', 'N', 'S'};
    EXPECT_EQ(Zorv_SetDPValue(1, 7, make, sizeof(make), 0), 0);
    uint8_t value[3] = {};
    length = sizeof(value);
    EXPECT_EQ(Zorv_GetDPValue(1, 7, value, &length), 0);
    EXPECT_EQ(length, 3) << "never more than the caller's room";
    EXPECT_EQ(value[2], 'M');

    EXPECT_EQ(Zorv_SetDataPointVisible(1, 7, 1), 0);
    EXPECT_EQ(Zorv_SetDataPointValid(1, 7, 0), 0);
    hostsim::DataPointState state = hostsim::DataPoint(7);
    EXPECT_TRUE(state.visible);
    EXPECT_FALSE(state.valid);
    EXPECT_EQ(state.displayValue, L"Agility");
    EXPECT_FALSE(hostsim::DataPoint(8).known);
}

TEST_F(HostSimTest, IdentifierListsReportTheSizeNeeded) {
    hostsim::DataPointDefinition vin = MakeDataPoint(70, "SPN_237", 0xFEEC);
    vin.udis = {7};
    hostsim::DataPointDefinition make1 = MakeDataPoint(171, "SPN_586", 0xFDC5);
    make1.udis = {17};
    hostsim::DataPointDefinition make2 = MakeDataPoint(172, "SPN_586_1", 0xFDC5);
    make2.udis = {17};
    hostsim::AddDataPoint(vin);
    hostsim::AddDataPoint(make1);
    hostsim::AddDataPoint(make2);

    const ZUdi makeUdi = 17;
    TESKID teskIds[2] = {};
    uint32_t count = 1;
    EXPECT_EQ(Zorv_GetTeskIdsFromUdiList(1, &makeUdi, 1, teskIds, &count), hostsim::kResultUdiListTooSmall);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(teskIds[0], 0u) << "nothing written to a list that is too small";
    EXPECT_EQ(Zorv_GetTeskIdsFromUdiList(1, &makeUdi, 1, teskIds, &count), 0);
    EXPECT_EQ(teskIds[0], 171u);
    EXPECT_EQ(teskIds[1], 172u);

    auto discoveryUdis = Lookup<zorv::GetDiscoveryUdisFn>(zorv::kLookupGetDiscoveryUdis);
    hostsim::SetDiscoveryUdis({7, 17, 23});
    ZUdi udis[3] = {};
    count = 2;
    EXPECT_EQ(discoveryUdis(udis, &count), zorv::kResultListTooSmall);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(discoveryUdis(udis, &count), 0);
    EXPECT_EQ(udis[2], 23u);
}

TEST_F(HostSimTest, CategoriesByIndexAndById) {
    hostsim::AddCategory({12, "RequestPGNs", L"Request PGNs", 0, {101, 102, 103}});
    hostsim::AddCategory({-3, "TripData_Engine", L"Trip", 1, {}});

    uint16_t count = 0;
    EXPECT_EQ(Zorv_GetCategoryCount(1, 0, &count), 0);
    EXPECT_EQ(count, 2);
    wchar_t wide[256] = {};
    char name[256] = {};
    EXPECT_EQ(Zorv_GetCategory(1, 0, 1, 1, wide, 256, name, 256), 0);
    EXPECT_EQ(std::string(name), "TripData_Engine");
    ZCategoryId id = 0;
    EXPECT_EQ(Zorv_GetCategoryID(1, 0, 1, &id), 0);
    EXPECT_EQ(id, -3);

    TESKID teskIds[2] = {};
    count = 2;
    int16_t categoryIndex = -1;
    EXPECT_EQ(Zorv_GetCategoryDPs(1, 0, 12, teskIds, &count, &categoryIndex), 0);
    EXPECT_EQ(count, 2) << "cut to the caller's room";
    EXPECT_EQ(teskIds[1], 102u);
    EXPECT_EQ(categoryIndex, 0);

    count = 1024;
    EXPECT_NE(Zorv_GetCategoryDPs(1, 0, 99, teskIds, &count, &categoryIndex), 0);
    EXPECT_EQ(count, 0) << "an unknown category lists nothing, so an untested result is harmless";

    TESKID teskId = 0;
    EXPECT_EQ(Zorv_GetCategoryDPID(1, 0, 0, 2, &teskId), 0);
    EXPECT_EQ(teskId, 103u);
    EXPECT_EQ(Zorv_GetCategoryCount(1, 1, &count), 0);
    EXPECT_EQ(count, 0) << "only vehicle 0 has categories";
}

TEST_F(HostSimTest, FailuresReportEmptyListsWhereCallersMayNotTest) {
    TESKID teskIds[4] = {};
    uint32_t count = 4;
    const ZUdi vin = 7;
    hostsim::SetResult("Zorv_GetTeskIdsFromUdiList", 5);
    EXPECT_EQ(Zorv_GetTeskIdsFromUdiList(1, &vin, 1, teskIds, &count), 5);
    EXPECT_EQ(count, 0u);
    uint8_t value[8] = {};
    uint16_t length = sizeof(value);
    EXPECT_EQ(Zorv_GetDPValue(1, 404, value, &length), hostsim::kResultNotFound);
    EXPECT_EQ(length, 0);
}
