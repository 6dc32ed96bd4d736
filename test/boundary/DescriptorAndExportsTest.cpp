// GetDllInfo's descriptor and entry table, the entries that answer without an
// application object, and the helpers exported by name.
#include <cstring>
#include <set>
#include <vector>

#include "PluginFixture.h"

namespace marl::test {
namespace {

TEST(Descriptor, SameAddressAndValuesOnEveryCall) {
    ASSERT_TRUE(Plugin().Loaded());
    zorv::PluginDescriptor* first = Plugin().CallGetDllInfo();
    const zorv::PluginDescriptor copy = *first;
    zorv::PluginDescriptor* second = Plugin().CallGetDllInfo();
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::memcmp(&copy, second, sizeof(copy)), 0) << "the same values on every call";
    EXPECT_EQ(second->interfaceVersion, 0x00180001u);
    EXPECT_EQ(second->secondInterfaceVersion, 0x00030019u);
    EXPECT_EQ(second->reserved12, 0u);
    EXPECT_EQ(second->reserved16, 0u);
    EXPECT_EQ(second->field20, 2u);
}

TEST(Descriptor, TableHas23EntriesInHostOrderThenTheClosingRow) {
    const std::vector<uint32_t> expected = {0x10279, 0x10258, 0x10259, 0x10283, 0x1025d, 0x1025f,
                                            0x1025a, 0x10260, 0x10261, 0x10262, 0x10263, 0x10264,
                                            0x10277, 0x10278, 0x10286, 0x10287, 0x10404, 0x10289,
                                            0x1027c, 0x1027d, 0x1027b, 0x1028b, 0x1028c};
    const zorv::DispatchEntry* table = Plugin().Descriptor()->table;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table[i].id, expected[i]) << "row " << i;
        EXPECT_NE(table[i].function, nullptr) << "row " << i;
    }
    EXPECT_EQ(table[expected.size()].id, 0u);
    EXPECT_EQ(table[expected.size()].function, nullptr);

    std::set<void*> distinct;
    for (size_t i = 0; i < expected.size(); ++i) distinct.insert(table[i].function);
    EXPECT_EQ(distinct.size(), expected.size() - 1) << "only 0x10262 and 0x10264 share a function";
    EXPECT_EQ(Plugin().EntryAddress(0x10262), Plugin().EntryAddress(0x10264));
}

TEST(Descriptor, UnsupportedEntriesAnswerZeroWithoutAnApp) {
    uint32_t a = 7, b = 7, c = 7, d = 7, e = 7;
    EXPECT_EQ(EntryOf<zorv::FnUnsupportedOut1>(0x10260)(&a), 0);
    EXPECT_EQ(EntryOf<zorv::FnUnsupportedOut2>(0x10261)(&b, &c), 0);
    EXPECT_EQ(EntryOf<zorv::FnUnsupportedArgs2Out>(0x10262)(1, 2, &d), 0);
    EXPECT_EQ(EntryOf<zorv::FnUnsupportedArg1Out>(0x10263)(1, &e), 0);
    EXPECT_EQ(std::vector<uint32_t>({a, b, c, d, e}), std::vector<uint32_t>(5, 0u)) << "every out value cleared";
    uint32_t untouched = 7;
    EXPECT_EQ(EntryOf<zorv::FnUnsupportedArg1Out>(0x1028b)(1, &untouched), 1) << "needs an application object";
    EXPECT_EQ(untouched, 7u);

    auto hash = EntryOf<zorv::FnHashMessage>(0x10289);
    const uint8_t request[] = {0x00, 0xEA, 0x00, 0x06};
    uint32_t out = 99;
    EXPECT_EQ(hash(0, request, 4, 0, 0, 16, &out), 0);
    EXPECT_EQ(out, 0u);
    const uint8_t twoKey[] = {0x11, 0x20, 0x30};
    EXPECT_EQ(hash(0, twoKey, 3, 0, 0, 7, &out), 0);
    EXPECT_EQ(out, 3u);
}

// The helper functions are reached by name, as sibling components of the host do. What
// they compute is tested with the helpers linked directly; here each export must lead to
// the right function.
TEST(Exports, HelpersAreExportedUnderTheNamesTheHostLinks) {
    // Plain C names, and the overloads under their type-encoded names.
    for (const char* name : {"GetDllInfo", "MBSToAscii", "AsciiToMBS", "AsciiToMBSEx", "AsciiToMBSRaw", "Make_ASCII",
                             "MBSToAsciiEx", "IsAlphaString", "ConvertStrToDouble", "PutBigEndian",
                             "_Z12GetBigEndianPtPKh", "_Z12GetBigEndianPmPKh", "_Z15GetLittleEndianPtPKh",
                             "_Z15GetLittleEndianPmPKh", "_Z15GetLittleEndianPdPKh", "_Z7ReorderRm", "_Z7ReorderRt",
                             "_Z7MYHTONLl", "_Z7MYNTOHLl"}) {
        EXPECT_NE(Plugin().Symbol(name), nullptr) << name;
    }
}

TEST(Exports, ExportsLeadToTheirFunctions) {
    auto isAlpha = reinterpret_cast<int (*)(const wchar_t*)>(Plugin().Symbol("IsAlphaString"));
    auto toDouble = reinterpret_cast<double (*)(const wchar_t*)>(Plugin().Symbol("ConvertStrToDouble"));
    auto put = reinterpret_cast<void (*)(unsigned char*, unsigned long)>(Plugin().Symbol("PutBigEndian"));
    auto get16 =
        reinterpret_cast<void (*)(unsigned short*, const unsigned char*)>(Plugin().Symbol("_Z12GetBigEndianPtPKh"));
    ASSERT_TRUE(isAlpha && toDouble && put && get16);

    EXPECT_EQ(isAlpha(L"123a"), 1);
    EXPECT_DOUBLE_EQ(toDouble(L"1.5"), 1.5);
    unsigned char bytes[4] = {0};
    put(bytes, 0x12345678ul);
    EXPECT_EQ(bytes[0], 0x78);
    const unsigned char be[] = {0x12, 0x34};
    unsigned short v = 0;
    get16(&v, be);
    EXPECT_EQ(v, 0x1234);
}

}  // namespace
}  // namespace marl::test
