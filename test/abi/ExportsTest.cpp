// The helper functions are reached by name, as sibling components of the host do.
#include "PluginFixture.h"

namespace marl::test {
namespace {

TEST(Exports, PlainNamedHelpersAreExported) {
    for (const char* name : {"GetDllInfo", "MBSToAscii", "AsciiToMBS", "AsciiToMBSEx", "AsciiToMBSRaw", "Make_ASCII",
                             "MBSToAsciiEx", "IsAlphaString", "ConvertStrToDouble", "PutBigEndian"}) {
        EXPECT_NE(Plugin().Symbol(name), nullptr) << name;
    }
}

TEST(Exports, OverloadsAreExportedUnderTypeEncodedNames) {
    for (const char* name : {"_Z12GetBigEndianPtPKh", "_Z12GetBigEndianPmPKh", "_Z15GetLittleEndianPtPKh",
                             "_Z15GetLittleEndianPmPKh", "_Z15GetLittleEndianPdPKh", "_Z7ReorderRm", "_Z7ReorderRt",
                             "_Z7MYHTONLl", "_Z7MYNTOHLl"}) {
        EXPECT_NE(Plugin().Symbol(name), nullptr) << name;
    }
}

TEST(Exports, HelpersWorkThroughTheirExports) {
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
    EXPECT_EQ(isAlpha(L"123"), 0);
    EXPECT_EQ(isAlpha(L""), 0);
    EXPECT_DOUBLE_EQ(toDouble(L"12"), 12.0);
    EXPECT_DOUBLE_EQ(toDouble(L"1.5"), 1.5);
    EXPECT_DOUBLE_EQ(toDouble(L"abc"), 0.0);

    unsigned char bytes[4] = {0};
    put(bytes, 0x12345678ul);
    EXPECT_EQ(bytes[0], 0x78);
    EXPECT_EQ(bytes[3], 0x12);
    const unsigned char be[] = {0x12, 0x34};
    unsigned short v = 0;
    get16(&v, be);
    EXPECT_EQ(v, 0x1234);
}

}  // namespace
}  // namespace marl::test
