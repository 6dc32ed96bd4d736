#include <gtest/gtest.h>

#include "VehicleApp/boundary/HashMessage.h"

namespace marl {
namespace {

TEST(HashMessage, KeysByMarkerAndLengthAndReadsNothingBeyondTheMessage) {
    const uint8_t twoByteKey[] = {0x11, 0x20, 0x30};
    const uint8_t shortMessage[] = {0x05, 0x01};
    const uint8_t request[] = {0x00, 0xEA, 0x00, 0x06, 0x55};
    const uint8_t marked[] = {0x91, 0x02, 0x03, 0x04};
    // 0x91 asks for four key bytes, 0x11 for two: short messages are not read past their end.
    const uint8_t shortMarked[] = {0x91, 0x02};
    const uint8_t shortTwoByte[] = {0x11, 0x40};
    const struct {
        const uint8_t* bytes;
        int16_t length;
        int32_t divisor;
        uint32_t hash;
    } cases[] = {{twoByteKey, 3, 7, (0x20u + 0x30u) % 7}, {shortMessage, 2, 4, 1u},
                 {request, 4, 16, 0xF0u % 16},           {request, 5, 16, 0xF0u % 16},  // only four bytes count
                 {marked, 4, 1000, 0x91u + 2 + 3 + 4},   {shortMarked, 2, 1000, 0x91u + 0x02u},
                 {shortTwoByte, 2, 1000, 0x40u},         {shortMarked, 2, 0, 0u},  // a zero divisor must not fault
                 {shortMarked, 2, -3, 0u},               {nullptr, 4, 7, 0u},
                 {shortMarked, 0, 7, 0u}};
    for (const auto& c : cases) EXPECT_EQ(HashMessage(c.bytes, c.length, c.divisor), c.hash) << c.length << " " << c.divisor;
}

}  // namespace
}  // namespace marl
