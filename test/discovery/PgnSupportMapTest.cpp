// The per-module table of PGNs and answers, as pure logic, and the Request it leads to.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "VehicleApp/discovery/PgnSupportMap.h"
#include "VehicleApp/core/MessageSender.h"

namespace marl {
namespace {

constexpr uint8_t kEngine = 0x00;

class PgnSupportMapTest : public ::testing::Test {
protected:
    std::atomic<bool> positiveSeen{false};
    PgnSupportMap map{kEngine, positiveSeen};

    // Present, the address it is asked of, requested, responded, supported.
    using State = std::tuple<bool, uint8_t, bool, bool, bool>;
    State StateOf(uint32_t pgn) const {
        return {map.contains(pgn), map.sourceAddressOf(pgn), map.wasRequested(pgn), map.hasResponded(pgn), map.isSupported(pgn)};
    }
};

TEST_F(PgnSupportMapTest, AnEntryMovesFromRecordedToProbedToAnswered) {
    EXPECT_EQ(StateOf(0xFEEE), State(false, 0xFE, false, false, false)) << "an absent PGN";
    EXPECT_EQ(map.lastRecordTime(0xFEEE), 0u);
    EXPECT_EQ(map.size(), 0u) << "queries insert nothing";

    map.recordPgn(0xFEEE);
    EXPECT_EQ(StateOf(0xFEEE), State(true, kEngine, false, false, false));
    map.recordProbe(0xFEEE, 0xFF);
    EXPECT_EQ(StateOf(0xFEEE), State(true, 0xFF, true, false, false));
    map.recordResponse(0xFEEE, false);
    EXPECT_EQ(StateOf(0xFEEE), State(true, kEngine, true, true, true)) << "an answer points the PGN back at the module";
    EXPECT_TRUE(positiveSeen.load());
}

TEST_F(PgnSupportMapTest, NegativeAnswerIsRespondedButNotSupportedAndRaisesNoFlag) {
    map.recordResponse(0xFECA, true);
    EXPECT_EQ(StateOf(0xFECA), State(true, kEngine, false, true, false)) << "a response for a never requested PGN inserts it";
    EXPECT_FALSE(positiveSeen.load());
    map.recordResponse(0xFECA, false);
    EXPECT_TRUE(map.isSupported(0xFECA)) << "a later positive answer replaces the refusal";
}

TEST_F(PgnSupportMapTest, SnapshotIsOrderedAndIndependentOfLaterChanges) {
    for (uint32_t pgn : {0xFEEEu, 0xF004u, 0xFEF1u}) map.recordPgn(pgn);
    const PgnSupportSnapshot copy = map.snapshot();
    map.recordResponse(0xF004, false);
    map.recordPgn(0x1234);
    std::vector<uint32_t> order;
    for (const auto& item : copy) order.push_back(item.first);
    EXPECT_EQ(order, (std::vector<uint32_t>{0xF004, 0xFEEE, 0xFEF1}));
    EXPECT_EQ(copy.at(0xF004).pgn, 0xF004u);
    EXPECT_FALSE(copy.at(0xF004).responded);
}

TEST_F(PgnSupportMapTest, ThrottlePassesOncePerIntervalAndAcrossTheWrap) {
    map.recordProbe(0xF004, kEngine);
    EXPECT_TRUE(map.passThrottle(0xF004, 5000, 400));
    EXPECT_FALSE(map.passThrottle(0xF004, 5400, 400)) << "exactly the interval is not more than it";
    EXPECT_TRUE(map.passThrottle(0xF004, 5401, 400));
    EXPECT_EQ(map.lastRecordTime(0xF004), 5401u);

    EXPECT_TRUE(map.passThrottle(0xF004, 0xFFFFFF00u, 400));
    EXPECT_TRUE(map.passThrottle(0xF004, 0x00000100u, 400)) << "0x200 units after the last one";
    EXPECT_FALSE(map.passThrottle(0xF004, 0x00000200u, 400));

    EXPECT_FALSE(map.passThrottle(0xAAAA, 300, 400));
    EXPECT_TRUE(map.passThrottle(0xAAAA, 500, 400));
    EXPECT_FALSE(map.contains(0xAAAA));
}

// The discovery thread and the receive thread write one table at once; run under the
// thread sanitizer this shows that every access is guarded.
TEST_F(PgnSupportMapTest, ConcurrentWritersAndReadersKeepEveryEntry) {
    constexpr uint32_t kPerThread = 500;
    std::thread discovery([this] {
        for (uint32_t i = 0; i < kPerThread; ++i) {
            map.recordPgn(0x10000 + i);
            map.recordProbe(0x10000 + i, 0xFF);
            (void)map.snapshot();
        }
    });
    std::thread receive([this] {
        for (uint32_t i = 0; i < kPerThread; ++i) {
            map.recordProbe(0x20000 + i, kEngine);
            map.recordResponse(0x10000 + i, (i % 2) != 0);
            map.passThrottle(0x20000 + i, 1000, 400);
        }
    });
    discovery.join();
    receive.join();
    EXPECT_EQ(map.size(), 2 * kPerThread);
    EXPECT_TRUE(map.isSupported(0x10000));
    EXPECT_FALSE(map.isSupported(0x10001));
    EXPECT_TRUE(map.hasResponded(0x10001));
    EXPECT_TRUE(map.wasRequested(0x10000 + kPerThread - 1));
}

TEST(RequestMessage, HeaderAndThreeBytesOfTheRequestedPgnLeastSignificantFirst) {
    EXPECT_EQ(BuildRequestMessage(0xFEEC, 0x00), (std::vector<uint8_t>{0x00, 0xEA, 0x00, 6, 0xF9, 0x00, 0xEC, 0xFE, 0x00}));
    EXPECT_EQ(BuildRequestMessage(0x1FEDA, 0xFF), (std::vector<uint8_t>{0x00, 0xEA, 0x00, 6, 0xF9, 0xFF, 0xDA, 0xFE, 0x01}));
    EXPECT_EQ(BuildRequestMessage(0x12, 0x03), (std::vector<uint8_t>{0x00, 0xEA, 0x00, 6, 0xF9, 0x03, 0x12, 0, 0}));
    EXPECT_EQ(BuildRequestMessage(0xFF00FFFF, 0x03).size(), 9u) << "bits above the 24 of a PGN are dropped";
}

}  // namespace
}  // namespace marl
