// The helper functions are reached by name, as sibling components of the host do. What
// they compute is tested with the helpers linked directly; here each export must lead to
// the right function.
#include "PluginFixture.h"

namespace marl::test {
namespace {

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
    using IsAlphaFn = int (*)(const wchar_t*);
    using ToDoubleFn = double (*)(const wchar_t*);
    using PutBigEndianFn = void (*)(unsigned char*, unsigned long);
    using GetBigEndian16Fn = void (*)(unsigned short*, const unsigned char*);

    auto isAlpha = reinterpret_cast<IsAlphaFn>(Plugin().Symbol("IsAlphaString"));
    auto toDouble = reinterpret_cast<ToDoubleFn>(Plugin().Symbol("ConvertStrToDouble"));
    auto put = reinterpret_cast<PutBigEndianFn>(Plugin().Symbol("PutBigEndian"));
    auto get16 = reinterpret_cast<GetBigEndian16Fn>(Plugin().Symbol("_Z12GetBigEndianPtPKh"));
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
