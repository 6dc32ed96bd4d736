// The byte-order helpers the host's other components call by name. The host's long is
// 32 bits; on a 64-bit long the readers must clear the upper half.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "VehicleApp/boundary/ExportedByteOrder.h"

namespace {

const unsigned char kBytes[] = {0x12, 0x34, 0x56, 0x78};
const unsigned char kHighBytes[] = {0xFE, 0xDC, 0xBA, 0x98};
constexpr unsigned long kAllBits = ~0UL;
// Bits above the host's 32-bit long, zero where long is 32 bits.
constexpr unsigned long kUpperBits = ~0UL ^ 0xFFFFFFFFUL;

// Each reader starts from a value with every bit set.
template <typename Value, void (*Reader)(Value*, const unsigned char*)>
unsigned long ReadInto(const unsigned char* bytes) {
    Value value = static_cast<Value>(kAllBits);
    Reader(&value, bytes);
    return value;
}

TEST(ByteOrderTest, Readers) {
    const struct {
        const char* label;
        unsigned long read;
        unsigned long expected;
    } cases[] = {
        {"big 16", ReadInto<unsigned short, GetBigEndian>(kBytes), 0x1234},
        {"little 16", ReadInto<unsigned short, GetLittleEndian>(kBytes), 0x3412},
        {"big 16 high", ReadInto<unsigned short, GetBigEndian>(kHighBytes), 0xFEDC},
        {"big 32", ReadInto<unsigned long, GetBigEndian>(kBytes), 0x12345678UL},
        {"little 32", ReadInto<unsigned long, GetLittleEndian>(kBytes), 0x78563412UL},
        {"big 32 high", ReadInto<unsigned long, GetBigEndian>(kHighBytes), 0xFEDCBA98UL},
        {"little 32 high", ReadInto<unsigned long, GetLittleEndian>(kHighBytes), 0x98BADCFEUL},
    };
    for (const auto& c : cases) EXPECT_EQ(c.read, c.expected) << c.label;

    // 1.5 and -2.25 in IEEE 754 binary64, least significant byte first.
    const unsigned char oneAndAHalf[] = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    const unsigned char minusTwoAndAQuarter[] = {0, 0, 0, 0, 0, 0, 0x02, 0xC0};
    double value = 0.0;
    GetLittleEndian(&value, oneAndAHalf);
    EXPECT_EQ(value, 1.5);
    GetLittleEndian(&value, minusTwoAndAQuarter);
    EXPECT_EQ(value, -2.25);
}

TEST(ByteOrderTest, WritersAndSwaps) {
    unsigned char out[5] = {0, 0, 0, 0, 0xAA};
    PutBigEndian(out, 0x12345678u);
    EXPECT_EQ(std::vector<unsigned char>(out, out + 5), (std::vector<unsigned char>{0x78, 0x56, 0x34, 0x12, 0xAA}))
        << "PutBigEndian writes four bytes, least significant first";

    unsigned long wide = 0x12345678UL | kUpperBits;
    Reorder(wide);
    EXPECT_EQ(wide, 0x78563412UL);
    unsigned short narrow = 0x1234;
    Reorder(narrow);
    EXPECT_EQ(narrow, 0x3412);

    const auto network = static_cast<uint32_t>(MYHTONL(0x12345678L));
    const auto* memory = reinterpret_cast<const unsigned char*>(&network);
    EXPECT_EQ(std::vector<unsigned char>(memory, memory + 4), (std::vector<unsigned char>{0x12, 0x34, 0x56, 0x78}))
        << "the most significant byte first in memory";
    for (long value : {-1L, -16777215L, 0x7F000080L, 0L, static_cast<long>(INT32_MIN)}) {
        const long inNetworkOrder = MYHTONL(value);
        EXPECT_GE(inNetworkOrder, static_cast<long>(INT32_MIN)) << "a 32-bit number: " << value;
        EXPECT_LE(inNetworkOrder, static_cast<long>(INT32_MAX)) << "a 32-bit number: " << value;
        EXPECT_EQ(MYNTOHL(inNetworkOrder), value) << value;
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
