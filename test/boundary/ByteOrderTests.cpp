// The byte-order helpers the host's other components call by name. The host's long is
// 32 bits; on a 64-bit long the readers must clear the upper half.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "VehicleApp/boundary/ExportedByteOrder.h"

namespace {

const unsigned char kBytes[] = {0x12, 0x34, 0x56, 0x78};
const unsigned char kHighBytes[] = {0xFE, 0xDC, 0xBA, 0x98};
constexpr unsigned long kAllBits = ~0UL;
// Bits above the host's 32-bit long, zero where long is 32 bits.
constexpr unsigned long kUpperBits = ~0UL ^ 0xFFFFFFFFUL;

struct ReadCase {
    const char* label;
    unsigned long (*read)(const unsigned char*);
    const unsigned char* bytes;
    unsigned long expected;
};

template <typename Value, void (*Reader)(Value*, const unsigned char*)>
unsigned long ReadInto(const unsigned char* bytes) {
    Value value = static_cast<Value>(kAllBits);
    Reader(&value, bytes);
    return value;
}

constexpr auto kBig16 = ReadInto<unsigned short, GetBigEndian>;
constexpr auto kLittle16 = ReadInto<unsigned short, GetLittleEndian>;
constexpr auto kBig32 = ReadInto<unsigned long, GetBigEndian>;
constexpr auto kLittle32 = ReadInto<unsigned long, GetLittleEndian>;

class ByteOrderReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ByteOrderReadTest, ReadsTheValue) {
    EXPECT_EQ(GetParam().read(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Readers, ByteOrderReadTest,
                         ::testing::Values(ReadCase{"Big16", kBig16, kBytes, 0x1234},
                                           ReadCase{"Little16", kLittle16, kBytes, 0x3412},
                                           ReadCase{"Big16High", kBig16, kHighBytes, 0xFEDC},
                                           ReadCase{"Big32", kBig32, kBytes, 0x12345678UL},
                                           ReadCase{"Little32", kLittle32, kBytes, 0x78563412UL},
                                           ReadCase{"Big32High", kBig32, kHighBytes, 0xFEDCBA98UL},
                                           ReadCase{"Little32High", kLittle32, kHighBytes, 0x98BADCFEUL}),
                         [](const auto& tested) { return std::string(tested.param.label); });

TEST(ByteOrderTest, ReadsALittleEndianDouble) {
    // 1.5 and -2.25 in IEEE 754 binary64, least significant byte first.
    const unsigned char oneAndAHalf[] = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    const unsigned char minusTwoAndAQuarter[] = {0, 0, 0, 0, 0, 0, 0x02, 0xC0};
    double value = 0.0;
    GetLittleEndian(&value, oneAndAHalf);
    EXPECT_EQ(value, 1.5);
    GetLittleEndian(&value, minusTwoAndAQuarter);
    EXPECT_EQ(value, -2.25);
}

TEST(ByteOrderTest, PutBigEndianWritesFourBytesLeastSignificantFirst) {
    unsigned char out[5] = {0, 0, 0, 0, 0xAA};
    PutBigEndian(out, 0x12345678u);
    const unsigned char expected[5] = {0x78, 0x56, 0x34, 0x12, 0xAA};
    EXPECT_EQ(std::memcmp(out, expected, sizeof(out)), 0);
}

TEST(ByteOrderTest, ReorderSwapsBytesInPlace) {
    unsigned long wide = 0x12345678UL | kUpperBits;
    Reorder(wide);
    EXPECT_EQ(wide, 0x78563412UL);
    unsigned short narrow = 0x1234;
    Reorder(narrow);
    EXPECT_EQ(narrow, 0x3412);
}

TEST(ByteOrderTest, HostToNetworkPutsTheMostSignificantByteFirstInMemory) {
    const auto low = static_cast<uint32_t>(MYHTONL(0x12345678L));
    unsigned char memory[4];
    std::memcpy(memory, &low, sizeof(memory));
    const unsigned char expected[4] = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(std::memcmp(memory, expected, sizeof(memory)), 0);
}

TEST(ByteOrderTest, NetworkOrderRoundTripsNegativeValuesAsThirtyTwoBitNumbers) {
    for (long value : {-1L, -16777215L, 0x7F000080L, 0L, static_cast<long>(INT32_MIN)}) {
        const long network = MYHTONL(value);
        EXPECT_GE(network, static_cast<long>(INT32_MIN));
        EXPECT_LE(network, static_cast<long>(INT32_MAX));
        EXPECT_EQ(MYNTOHL(network), value) << value;
    }
}

TEST(ByteOrderTest, NullPointersAreIgnored) {
    unsigned short narrow = 7;
    unsigned long wide = 7;
    double real = 7.0;
    GetBigEndian(&narrow, nullptr);
    GetBigEndian(&wide, nullptr);
    GetLittleEndian(&narrow, nullptr);
    GetLittleEndian(&wide, nullptr);
    GetLittleEndian(&real, nullptr);
    GetBigEndian(static_cast<unsigned short*>(nullptr), kBytes);
    PutBigEndian(nullptr, 1u);
    EXPECT_EQ(narrow, 7);
    EXPECT_EQ(wide, 7UL);
    EXPECT_EQ(real, 7.0);
}

}  // namespace
