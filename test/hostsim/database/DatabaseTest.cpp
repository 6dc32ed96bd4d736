// The parameter database as the plug-in walks it, where the host's answers depend on the
// caller's room: texts and values are cut to it, lists say what they need, and failures
// leave empty lists for callers that never look at the result.
#include <cstdint>
#include <string>
#include <vector>

#include "test/hostsim/HostSimFixture.h"

namespace {

hostsim::DataPointDefinition MakeDataPoint(TESKID teskId, const char* name, ZPgn pgn, std::vector<ZUdi> udis = {}) {
    hostsim::DataPointDefinition dataPoint;
    dataPoint.teskId = teskId;
    dataPoint.name = name;
    dataPoint.attribute.pgn = pgn;
    dataPoint.udis = std::move(udis);
    return dataPoint;
}

}  // namespace

TEST_F(HostSimTest, TextsAndValuesAreCutToTheCallersRoom) {
    const char* wanted[] = {"SA_00", "PC_COMPONENT"};
    ASSERT_EQ(Zorv_LoadBinFileWithSpecifiedComponents(1, L"MARL_J1939.BIN", L"MARL_J1939", wanted, 2), 0);
    wchar_t wide[8] = {};
    char name[4] = {};
    EXPECT_EQ(Zorv_GetComponent(1, 0, 1, 1, wide, 8, name, 4), 0);
    EXPECT_EQ(std::wstring(wide), L"PC_COMP") << "cut to the buffer, terminated";
    EXPECT_EQ(std::string(name), "PC_");
    hostsim::Reset();

    hostsim::DataPointDefinition dataPoint = MakeDataPoint(7, "SPN_234_03", 0xFEDA);
    dataPoint.query = {0xFE, 0xCA, 0x00};
    hostsim::AddDataPoint(dataPoint);
    uint16_t msgIndex = 9;
    uint8_t query[2] = {};
    uint16_t length = 0;
    EXPECT_EQ(Zorv_FindMsg(1, 7, &msgIndex), 0);
    EXPECT_EQ(Zorv_GetQueryMsg(1, msgIndex, query, sizeof(query), &length), 0);
    EXPECT_EQ(std::vector<uint8_t>(query, query + 2), (std::vector<uint8_t>{0xFE, 0xCA}));
    EXPECT_EQ(length, 3) << "the query's own size, though only two bytes fit";

    const uint8_t make[] = {'C', 'M', 'M', 'N', 'S'};
    EXPECT_EQ(Zorv_SetDPValue(1, 7, make, sizeof(make), 0), 0);
    uint8_t value[3] = {};
    length = sizeof(value);
    EXPECT_EQ(Zorv_GetDPValue(1, 7, value, &length), 0);
    EXPECT_EQ(length, 3) << "never more than the caller's room";
    EXPECT_EQ(value[2], 'M');
}

TEST_F(HostSimTest, ListsThatDoNotFitSayWhatTheyNeed) {
    hostsim::AddDataPoint(MakeDataPoint(101, "SPN_190", 0xF004));
    hostsim::AddDataPoint(MakeDataPoint(171, "SPN_586", 0xFDC5, {17}));
    hostsim::AddDataPoint(MakeDataPoint(172, "SPN_586_1", 0xFDC5, {17}));
    const ZUdi makeUdi = 17;
    TESKID teskIds[2] = {};
    uint32_t count = 1;
    EXPECT_EQ(Zorv_GetTeskIdsFromUdiList(1, &makeUdi, 1, teskIds, &count), hostsim::kResultUdiListTooSmall);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(teskIds[0], 0u) << "nothing written to a list that is too small";
    EXPECT_EQ(Zorv_GetTeskIdsFromUdiList(1, &makeUdi, 1, teskIds, &count), 0);
    EXPECT_EQ(std::vector<TESKID>(teskIds, teskIds + 2), (std::vector<TESKID>{171, 172}));

    auto discoveryUdis = Lookup<zorv::GetDiscoveryUdisFn>(zorv::kLookupGetDiscoveryUdis);
    hostsim::SetDiscoveryUdis({7, 17, 23});
    ZUdi udis[3] = {};
    count = 2;
    EXPECT_EQ(discoveryUdis(udis, &count), zorv::kResultListTooSmall);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(discoveryUdis(udis, &count), 0);
    EXPECT_EQ(udis[2], 23u);

    hostsim::AddCategory({12, "RequestPGNs", L"Request PGNs", 0, {101, 171, 172}});
    uint16_t listed = 2;
    int16_t categoryIndex = -1;
    EXPECT_EQ(Zorv_GetCategoryDPs(1, 0, 12, teskIds, &listed, &categoryIndex), 0);
    EXPECT_EQ(listed, 2) << "a category list is cut to the caller's room";
    EXPECT_EQ(teskIds[1], 171u);
    EXPECT_EQ(categoryIndex, 0);
}

TEST_F(HostSimTest, FailuresReportEmptyListsWhereCallersMayNotTest) {
    TESKID teskIds[4] = {};
    uint16_t listed = 1024;
    int16_t categoryIndex = -1;
    EXPECT_NE(Zorv_GetCategoryDPs(1, 0, 99, teskIds, &listed, &categoryIndex), 0);
    EXPECT_EQ(listed, 0) << "an unknown category lists nothing";
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
