// The subscription list and its due-time rules as pure logic: no host, a clock the test
// hands in.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "VehicleApp/subscriptions/Subscription.h"
#include "VehicleApp/subscriptions/SubscriptionCollection.h"

namespace marl {
namespace {

std::unique_ptr<Subscription> Entry(uint32_t teskId, uint32_t pgn, uint8_t destination) {
    auto entry = std::make_unique<Subscription>();
    entry->teskId = teskId;
    entry->pgn = pgn;
    entry->destination = destination;
    return entry;
}

// Classes 2 and 3 come due strictly after 4500 and 800 ms whatever the answers and the
// number of requests; the others (on demand) are asked again 800 ms later until an ECU
// answers, at most three times. An entry never requested is due at once. The clock wraps.
TEST(SubscriptionSchedule, EachClassComesDueByItsRule) {
    constexpr uint32_t kWrap = 0xFFFFFF00u;
    const struct {
        int16_t security;
        uint32_t lastRequest;
        uint32_t count;
        int32_t responder;
        uint32_t now;
        bool due;
    } cases[] = {
        {0, 5000, 0, 0x00, 5000, true},        {1, 5000, 0, 0x00, 5000, true},        {2, 5000, 0, 0x00, 5000, true},
        {3, 5000, 0, 0x00, 5000, true},        {4, 5000, 0, 0x00, 5000, true},
        {2, 10000, 57, 0x00, 14500, false},    {2, 10000, 57, 0x00, 14501, true},     {3, 10000, 57, 0x00, 10800, false},
        {3, 10000, 57, 0x00, 10801, true},     {3, kWrap, 1, kNoResponder, kWrap + 800, false},
        {3, kWrap, 1, kNoResponder, kWrap + 801, true},                               {2, kWrap, 1, kNoResponder, 0x10, false},
        {2, kWrap, 1, kNoResponder, kWrap + 4501, true},                              {4, kWrap, 1, kNoResponder, 0x20, false},
        {4, kWrap, 1, kNoResponder, kWrap + 801, true},                               {0, 2000, 1, kNoResponder, 2800, false},
        {0, 2000, 1, kNoResponder, 2801, true}, {1, 2000, 2, kNoResponder, 2801, true}, {4, 2000, 2, kNoResponder, 2801, true},
        {1, 2000, 3, kNoResponder, 90000, false},  // given up after three requests
        {4, 2000, 1, 0x17, 90000, false},          // answered
        {0, 2000, 1, kSeveralResponders, 90000, false}};
    for (const auto& c : cases) {
        Subscription entry;
        entry.security = c.security;
        entry.lastRequestTime = c.lastRequest;
        entry.requestCount = c.count;
        entry.responder = c.responder;
        EXPECT_EQ(IsDue(entry, c.now), c.due) << "class " << c.security << " count " << c.count << " at " << c.now;
    }
}

class SubscriptionList : public ::testing::Test {
protected:
    SubscriptionCollection list;

    std::vector<uint32_t> TeskIds() const { return Column(&Subscription::teskId); }
    // One field of every slot, 0 for an empty one.
    template <typename T>
    std::vector<T> Column(T Subscription::*field) const {
        std::vector<T> values;
        for (const auto& entry : list.Entries()) values.push_back(entry ? (*entry).*field : T{});
        return values;
    }
};

// Entries are found and removed by data point and destination; removal frees the empty
// slots too.
TEST_F(SubscriptionList, FindAndRemoveNeedDataPointAndDestination) {
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Entries().push_back(nullptr);
    list.Add(Entry(2, 0xFEEF, 0x00));
    list.Add(Entry(1, 0xFEEE, 0x00));
    list.Entries().push_back(nullptr);
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Add(Entry(3, 0xFEF0, 0xFF));
    list.Add(nullptr);
    EXPECT_EQ(list.Entries().size(), 7u) << "an empty entry is not added";
    EXPECT_EQ(list.Find(1, 0x00), list.Entries()[3].get());
    EXPECT_EQ(list.Find(1, 0x03), nullptr);
    EXPECT_EQ(list.Find(2, 0xFF), nullptr);

    list.Remove(1, 0xFF);
    EXPECT_EQ(TeskIds(), (std::vector<uint32_t>{2, 1, 3}));
    EXPECT_EQ(list.Entries()[1]->destination, 0x00);

    list.Remove(9, 0xFF);
    EXPECT_EQ(TeskIds(), (std::vector<uint32_t>{2, 1, 3}));
}

// A request counts for the entries of its PGN and destination, or for all of its PGN when
// global; one that went out on a connection serves only the modules of that connection.
TEST_F(SubscriptionList, ARequestCountsForItsDestinationOrForAllWhenGlobal) {
    list.Add(Entry(1, 0xFEEE, 0x00));
    list.Add(Entry(2, 0xFEEE, 0x03));
    list.Add(Entry(3, 0xFEEE, 0xFF));
    list.Entries().push_back(nullptr);
    list.Add(Entry(4, 0xFEEF, 0x00));
    list.Add(Entry(5, 0xFEEE, 0x00));
    list.Entries()[0]->moduleHandle = 1;  // engine on channel 1
    list.Entries()[5]->moduleHandle = 3;  // another engine at 0x00 on channel 2
    list.MarkRequested(0xFEEE, 0x03, 7000);
    EXPECT_EQ(Column(&Subscription::requestCount), (std::vector<uint32_t>{0, 1, 0, 0, 0, 0}))
        << "a request to one ECU is not the global one";
    EXPECT_EQ(Column(&Subscription::lastRequestTime), (std::vector<uint32_t>{0, 7000, 0, 0, 0, 0}));
    list.MarkRequested(0xFEEE, 0x00, 8000, {1, 2});
    EXPECT_EQ(Column(&Subscription::requestCount), (std::vector<uint32_t>{1, 1, 0, 0, 0, 0})) << "sent on channel 1";
    list.MarkRequested(0xFEEE, 0xFF, 9000);
    EXPECT_EQ(Column(&Subscription::requestCount), (std::vector<uint32_t>{2, 2, 1, 0, 0, 1})) << "not another PGN";
    EXPECT_EQ(Column(&Subscription::lastRequestTime), (std::vector<uint32_t>{9000, 9000, 9000, 0, 0, 9000}));
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
    // Each answer in turn, and the responders after it: the same ECU again changes
    // nothing, a second ECU makes several and several stays several; the entry addressed
    // to 0x03 hears only 0x03, and the global address is no sender.
    const std::pair<uint8_t, std::vector<int32_t>> answers[] = {
        {0x00, {0x00, kNoResponder, 0, kNoResponder}},
        {0x00, {0x00, kNoResponder, 0, kNoResponder}},
        {0x03, {kSeveralResponders, 0x03, 0, kNoResponder}},
        {0x00, {kSeveralResponders, 0x03, 0, kNoResponder}}};
    for (const auto& [sender, responders] : answers) {
        list.NoteResponder(0xFEEE, sender);
        EXPECT_EQ(Column(&Subscription::responder), responders) << int{sender};
    }
    list.NoteResponder(0xFEEF, 0xFF);
    EXPECT_EQ(list.Entries()[3]->responder, kNoResponder);
}

// The receive path skips the lock for a sender the PGN's entries have learnt; anything
// that lets an entry learn again must end that.
TEST_F(SubscriptionList, ASettledSenderStaysSettledOnlyWhileNoEntryCanLearn) {
    list.Add(Entry(1, 0xFEEE, 0xFF));
    list.Add(Entry(2, 0xFEEE, 0x03));
    EXPECT_FALSE(list.ResponderSettled(0xFEEE, 0x00));
    list.NoteResponder(0xFEEE, 0x00);
    EXPECT_TRUE(list.ResponderSettled(0xFEEE, 0x00));
    EXPECT_FALSE(list.ResponderSettled(0xFEEE, 0x03));  // the global entry would become several
    list.NoteResponder(0xFEEE, 0x03);
    EXPECT_TRUE(list.ResponderSettled(0xFEEE, 0x21));
    EXPECT_FALSE(list.ResponderSettled(0xFEEF, 0x21));
    EXPECT_FALSE(list.ResponderSettled(0xFEEE, 0xFF));
    list.Rearm(*list.Entries()[0]);
    EXPECT_FALSE(list.ResponderSettled(0xFEEE, 0x21));
    list.NoteResponder(0xFEEE, 0x21);
    EXPECT_EQ(list.Entries()[0]->responder, 0x21);
    list.Add(Entry(3, 0xFEEE, 0xFF));
    EXPECT_FALSE(list.ResponderSettled(0xFEEE, 0x21));
    list.NoteResponder(0xFEEE, 0x21);
    list.Remove(3, 0xFF);
    EXPECT_FALSE(list.ResponderSettled(0xFEEE, 0x21));
}

}  // namespace
}  // namespace marl
