#include <gtest/gtest.h>

#include "VehicleApp/boundary/ExportedStrings.h"

namespace {

TEST(ConvertStrToDoubleTest, TextWithoutAPointIsADecimalInteger) {
    EXPECT_EQ(ConvertStrToDouble(L"12"), 12.0);
    EXPECT_EQ(ConvertStrToDouble(L"  -42 kPa"), -42.0);
    EXPECT_EQ(ConvertStrToDouble(L"0x1F"), 0.0);
    EXPECT_EQ(ConvertStrToDouble(L"abc"), 0.0);
    EXPECT_EQ(ConvertStrToDouble(L""), 0.0);
}

TEST(ConvertStrToDoubleTest, IntegersSaturateAtThirtyTwoBits) {
    EXPECT_EQ(ConvertStrToDouble(L"2147483647"), 2147483647.0);
    EXPECT_EQ(ConvertStrToDouble(L"99999999999"), 2147483647.0);
    EXPECT_EQ(ConvertStrToDouble(L"-99999999999"), -2147483648.0);
}

TEST(ConvertStrToDoubleTest, TextWithAPointIsAFloatingPointNumber) {
    EXPECT_EQ(ConvertStrToDouble(L"1.5"), 1.5);
    EXPECT_EQ(ConvertStrToDouble(L" -3.25e1"), -32.5);
    EXPECT_EQ(ConvertStrToDouble(L"99999999999.5"), 99999999999.5);
    EXPECT_EQ(ConvertStrToDouble(L"7.25 V"), 7.25);
}

TEST(ConvertStrToDoubleTest, PointTextThatDoesNotParseGivesZero) {
    EXPECT_EQ(ConvertStrToDouble(L"."), 0.0);
    EXPECT_EQ(ConvertStrToDouble(L"n/a."), 0.0);
    EXPECT_EQ(ConvertStrToDouble(nullptr), 0.0);
}

TEST(IsAlphaStringTest, OneLetterAnywhereIsEnough) {
    EXPECT_EQ(IsAlphaString(L"123a"), 1);
    EXPECT_EQ(IsAlphaString(L"Z99"), 1);
    EXPECT_EQ(IsAlphaString(L"123"), 0);
    EXPECT_EQ(IsAlphaString(L" -1.5e"), 1);
    EXPECT_EQ(IsAlphaString(L"12 3.5-+"), 0);
    EXPECT_EQ(IsAlphaString(L""), 0);
    EXPECT_EQ(IsAlphaString(nullptr), 0);
}

}  // namespace
