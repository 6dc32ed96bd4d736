#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "VehicleApp/boundary/ExportedByteOrder.h"

namespace {

const unsigned char kBytes[] = {0x12, 0x34, 0x56, 0x78};
const unsigned char kHighBytes[] = {0xFE, 0xDC, 0xBA, 0x98};
// Every bit of an unsigned long set: on a 64-bit long the readers must clear the upper
// half, on a 32-bit long this is simply a full value.
constexpr unsigned long kAllBits = ~0UL;
// Bits above the host's 32-bit long, zero where long is 32 bits.
constexpr unsigned long kUpperBits = ~0UL ^ 0xFFFFFFFFUL;

TEST(ByteOrderTest, ReadsSixteenBitValuesInBothOrders) {
    unsigned short value = 0;
    GetBigEndian(&value, kBytes);
    EXPECT_EQ(value, 0x1234);
    GetLittleEndian(&value, kBytes);
    EXPECT_EQ(value, 0x3412);
    GetBigEndian(&value, kHighBytes);
    EXPECT_EQ(value, 0xFEDC);
}

TEST(ByteOrderTest, ReadsThirtyTwoBitValuesAsTheHostsUnsignedLong) {
    unsigned long value = kAllBits;
    GetBigEndian(&value, kBytes);
    EXPECT_EQ(value, 0x12345678UL);
    value = kAllBits;
    GetLittleEndian(&value, kBytes);
    EXPECT_EQ(value, 0x78563412UL);
    value = kAllBits;
    GetBigEndian(&value, kHighBytes);
    EXPECT_EQ(value, 0xFEDCBA98UL);
    value = kAllBits;
    GetLittleEndian(&value, kHighBytes);
    EXPECT_EQ(value, 0x98BADCFEUL);
}

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

TEST(ByteOrderTest, PutBigEndianWritesLeastSignificantFirst) {
    unsigned char out[5] = {0, 0, 0, 0, 0xAA};
    PutBigEndian(out, 0x12345678u);
    EXPECT_EQ(out[0], 0x78);
    EXPECT_EQ(out[1], 0x56);
    EXPECT_EQ(out[2], 0x34);
    EXPECT_EQ(out[3], 0x12);
    EXPECT_EQ(out[4], 0xAA);

    unsigned long back = 0;
    GetLittleEndian(&back, out);
    EXPECT_EQ(back, 0x12345678UL);
}

TEST(ByteOrderTest, ReorderSwapsBytesInPlace) {
    unsigned long wide = 0x12345678UL;
    Reorder(wide);
    EXPECT_EQ(wide, 0x78563412UL);
    Reorder(wide);
    EXPECT_EQ(wide, 0x12345678UL);

    unsigned long withUpperBits = 0x12345678UL | kUpperBits;
    Reorder(withUpperBits);
    EXPECT_EQ(withUpperBits, 0x78563412UL);

    unsigned short narrow = 0x1234;
    Reorder(narrow);
    EXPECT_EQ(narrow, 0x3412);
}

TEST(ByteOrderTest, HostToNetworkPutsTheMostSignificantByteFirstInMemory) {
    const long network = MYHTONL(0x12345678L);
    const auto low = static_cast<uint32_t>(network);
    unsigned char memory[4];
    std::memcpy(memory, &low, sizeof(memory));
    EXPECT_EQ(memory[0], 0x12);
    EXPECT_EQ(memory[1], 0x34);
    EXPECT_EQ(memory[2], 0x56);
    EXPECT_EQ(memory[3], 0x78);
    EXPECT_EQ(MYNTOHL(network), 0x12345678L);
}

TEST(ByteOrderTest, NetworkOrderRoundTripsNegativeValuesAsThirtyTwoBitNumbers) {
    const long values[] = {-1L, -16777215L, 0x7F000080L, 0L, static_cast<long>(INT32_MIN)};
    for (long value : values) {
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
