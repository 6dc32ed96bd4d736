#include <gtest/gtest.h>

#include "VehicleApp/boundary/HashMessage.h"

namespace marl {
namespace {

TEST(HashMessage, KeysByMarkerAndLength) {
    const uint8_t twoByteKey[] = {0x11, 0x20, 0x30};
    EXPECT_EQ(HashMessage(twoByteKey, 3, 7), (0x20u + 0x30u) % 7);
    const uint8_t shortMessage[] = {0x05, 0x01};
    EXPECT_EQ(HashMessage(shortMessage, 2, 4), 1u);
    const uint8_t request[] = {0x00, 0xEA, 0x00, 0x06, 0x55};
    EXPECT_EQ(HashMessage(request, 4, 16), 0xF0u % 16);
    EXPECT_EQ(HashMessage(request, 5, 16), 0xF0u % 16) << "only the first four bytes count";
    const uint8_t marked[] = {0x91, 0x02, 0x03, 0x04};
    EXPECT_EQ(HashMessage(marked, 4, 1000), 0x91u + 2 + 3 + 4);
}

TEST(HashMessage, ShortOrBadInputReadsNothingBeyondTheMessage) {
    // 0x91 asks for four key bytes; a two-byte message must not be read past its end.
    const uint8_t shortMarked[] = {0x91, 0x02};
    EXPECT_EQ(HashMessage(shortMarked, 2, 1000), 0x91u + 0x02u);
    const uint8_t shortTwoByte[] = {0x11, 0x40};
    EXPECT_EQ(HashMessage(shortTwoByte, 2, 1000), 0x40u);
    EXPECT_EQ(HashMessage(shortMarked, 2, 0), 0u) << "a zero divisor must not fault";
    EXPECT_EQ(HashMessage(shortMarked, 2, -3), 0u);
    EXPECT_EQ(HashMessage(nullptr, 4, 7), 0u);
    EXPECT_EQ(HashMessage(shortMarked, 0, 7), 0u);
}

}  // namespace
}  // namespace marl
