// The subscription list and its due-time rules as pure logic: no host, a clock the test
// hands in.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "VehicleApp/subscriptions/Subscription.h"
#include "VehicleApp/subscriptions/SubscriptionCollection.h"

namespace marl {
namespace {

constexpr int16_t kOnDemandAtEcu = 4;

Subscription Requested(int16_t security, uint32_t lastRequestTime, uint32_t requestCount = 1) {
    Subscription entry;
    entry.security = security;
    entry.lastRequestTime = lastRequestTime;
    entry.requestCount = requestCount;
    return entry;
}

std::unique_ptr<Subscription> Entry(uint32_t teskId, uint32_t pgn, uint8_t destination) {
    auto entry = std::make_unique<Subscription>();
    entry->teskId = teskId;
    entry->pgn = pgn;
    entry->destination = destination;
    return entry;
}

TEST(SubscriptionSchedule, AnEntryNeverRequestedIsDueWhateverItsClassAndAnswer) {
    for (int16_t security : {0, 1, 2, 3, 4}) {
        Subscription entry = Requested(security, 5000, 0);
        entry.responder = 0x00;
        EXPECT_TRUE(IsDue(entry, 5000)) << "class " << security;
    }
}

TEST(SubscriptionSchedule, PeriodicClassesComeDueStrictlyAfterTheirPeriod) {
    struct Case {
        int16_t security;
        uint32_t period;
    };
    for (const Case& c : {Case{2, 4500}, Case{3, 800}}) {
        // Answers and the number of requests do not stop a periodic entry.
        Subscription entry = Requested(c.security, 10000, 57);
        entry.responder = 0x00;
        EXPECT_FALSE(IsDue(entry, 10000 + c.period)) << "class " << c.security;
        EXPECT_TRUE(IsDue(entry, 10000 + c.period + 1)) << "class " << c.security;
    }
}

TEST(SubscriptionSchedule, TheClockWrapNeitherStallsNorHurriesARequest) {
    const uint32_t beforeWrap = 0xFFFFFF00u;
    Subscription fast = Requested(3, beforeWrap);
    EXPECT_FALSE(IsDue(fast, beforeWrap + 800)) << "800 ms after, across the wrap";
    EXPECT_TRUE(IsDue(fast, beforeWrap + 801));
    Subscription slow = Requested(2, beforeWrap);
    EXPECT_FALSE(IsDue(slow, 0x10)) << "only 272 ms passed";
    EXPECT_TRUE(IsDue(slow, beforeWrap + 4501));
    Subscription onDemand = Requested(kOnDemandAtEcu, beforeWrap);
    EXPECT_FALSE(IsDue(onDemand, 0x20));
    EXPECT_TRUE(IsDue(onDemand, beforeWrap + 801));
}

TEST(SubscriptionSchedule, OnDemandIsRetriedUntilAnsweredAtMostThreeTimes) {
    for (int16_t security : {int16_t{0}, int16_t{1}, kOnDemandAtEcu}) {
        Subscription entry = Requested(security, 2000);
        EXPECT_FALSE(IsDue(entry, 2800));
        EXPECT_TRUE(IsDue(entry, 2801)) << "class " << security;
        entry.requestCount = 2;
        EXPECT_TRUE(IsDue(entry, 2801));
        entry.requestCount = 3;
        EXPECT_FALSE(IsDue(entry, 90000)) << "given up after three requests";
        entry.requestCount = 1;
        entry.responder = 0x17;
        EXPECT_FALSE(IsDue(entry, 90000)) << "answered";
        entry.responder = kSeveralResponders;
        EXPECT_FALSE(IsDue(entry, 90000)) << "answered by several";
    }
}

class SubscriptionList : public ::testing::Test {
protected:
    SubscriptionCollection list;

    std::vector<uint32_t> TeskIds() const {
        std::vector<uint32_t> ids;
        for (const auto& entry : list.Entries()) ids.push_back(entry ? entry->teskId : 0);
        return ids;
    }
};

TEST_F(SubscriptionList, FindNeedsDataPointAndDestination) {
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Add(Entry(1, 0xFEEE, 0x00));
    list.Add(nullptr);
    EXPECT_EQ(list.Entries().size(), 2u) << "an empty entry is not added";
    ASSERT_NE(list.Find(1, 0x00), nullptr);
    EXPECT_EQ(list.Find(1, 0x00), list.Entries()[1].get());
    EXPECT_EQ(list.Find(1, 0x03), nullptr);
    EXPECT_EQ(list.Find(2, 0xFF), nullptr);
}

TEST_F(SubscriptionList, RemoveFreesMatchingEntriesAndEmptySlotsOnly) {
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Entries().push_back(nullptr);
    list.Add(Entry(2, 0xFEEF, 0x00));
    list.Add(Entry(1, 0xFEEE, 0x00));
    list.Entries().push_back(nullptr);
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Add(Entry(3, 0xFEF0, 0xFF));

    list.Remove(1, 0xFF);
    EXPECT_EQ(TeskIds(), (std::vector<uint32_t>{2, 1, 3}));
    EXPECT_EQ(list.Entries()[1]->destination, 0x00);

    list.Remove(9, 0xFF);
    EXPECT_EQ(TeskIds(), (std::vector<uint32_t>{2, 1, 3}));
}

TEST_F(SubscriptionList, ARequestCountsForItsDestinationOrForAllWhenGlobal) {
    list.Add(Entry(1, 0xFEEE, 0x00));
    list.Add(Entry(2, 0xFEEE, 0x03));
    list.Add(Entry(3, 0xFEEE, 0xFF));
    list.Entries().push_back(nullptr);
    list.Add(Entry(4, 0xFEEF, 0x00));
    auto& e = list.Entries();

    list.MarkRequested(0xFEEE, 0x03, 7000);
    EXPECT_EQ(e[0]->requestCount, 0u);
    EXPECT_EQ(e[1]->requestCount, 1u);
    EXPECT_EQ(e[1]->lastRequestTime, 7000u);
    EXPECT_EQ(e[2]->requestCount, 0u) << "a request to one ECU is not the global one";

    list.MarkRequested(0xFEEE, 0xFF, 9000);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(e[i]->lastRequestTime, 9000u) << i;
    EXPECT_EQ(e[0]->requestCount, 1u);
    EXPECT_EQ(e[1]->requestCount, 2u);
    EXPECT_EQ(e[2]->requestCount, 1u);
    EXPECT_EQ(e[4]->requestCount, 0u) << "another PGN";
    EXPECT_EQ(e[4]->lastRequestTime, 0u);
}

TEST_F(SubscriptionList, ARequestServesOnlyTheModulesOfItsConnection) {
    list.Add(Entry(1, 0xFEE5, 0x00));
    list.Add(Entry(2, 0xFEE5, 0x00));
    list.Entries()[0]->moduleHandle = 1;  // engine on channel 1
    list.Entries()[1]->moduleHandle = 3;  // another engine at 0x00 on channel 2
    list.MarkRequested(0xFEE5, 0x00, 5000, {1, 2});
    EXPECT_EQ(list.Entries()[0]->requestCount, 1u);
    EXPECT_EQ(list.Entries()[1]->requestCount, 0u) << "the request went out on the other channel";
    EXPECT_EQ(list.Entries()[1]->lastRequestTime, 0u);
}

TEST_F(SubscriptionList, CursorSkipsEmptySlotsAndFollowsTheListAsItChanges) {
    list.Entries().push_back(nullptr);
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Entries().push_back(nullptr);
    list.Add(Entry(2, 0xFEEF, 0xFF));

    SubscriptionCursor cursor;
    Subscription* first = list.Next(cursor);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->teskId, 1u);
    list.Add(Entry(3, 0xFEF0, 0xFF));
    ASSERT_NE(list.Next(cursor), nullptr);
    Subscription* added = list.Next(cursor);
    ASSERT_NE(added, nullptr) << "an entry added during the walk is reached";
    EXPECT_EQ(added->teskId, 3u);
    EXPECT_EQ(list.Next(cursor), nullptr);

    // Removal during a walk shortens the list under the cursor; it ends, never reads past.
    SubscriptionCursor late;
    late.next = 4;
    list.Remove(1, 0xFF);
    EXPECT_EQ(list.Next(late), nullptr);
}

TEST_F(SubscriptionList, ResponderIsTheOneEcuThatAnsweredOrSeveral) {
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Add(Entry(2, 0xFEEE, 0x03));
    list.Entries().push_back(nullptr);
    list.Add(Entry(3, 0xFEEF, 0xFF));
    auto& e = list.Entries();

    list.NoteResponder(0xFEEE, 0x00);
    EXPECT_EQ(e[0]->responder, 0x00);
    EXPECT_EQ(e[1]->responder, kNoResponder) << "addressed to another ECU";
    list.NoteResponder(0xFEEE, 0x00);
    EXPECT_EQ(e[0]->responder, 0x00) << "the same ECU again";
    list.NoteResponder(0xFEEE, 0x03);
    EXPECT_EQ(e[0]->responder, kSeveralResponders);
    EXPECT_EQ(e[1]->responder, 0x03);
    list.NoteResponder(0xFEEE, 0x00);
    EXPECT_EQ(e[0]->responder, kSeveralResponders) << "several stays several";
    EXPECT_EQ(e[3]->responder, kNoResponder);

    // The global address is no sender: nothing changes.
    list.NoteResponder(0xFEEF, 0xFF);
    EXPECT_EQ(e[3]->responder, kNoResponder);
}

}  // namespace
}  // namespace marl
