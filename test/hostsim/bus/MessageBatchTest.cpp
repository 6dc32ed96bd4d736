// The receive thread's queue: messages written in the host's layout, appended, swapped and
// cleared without losing or mixing up a byte.
#include <gtest/gtest.h>

#include <vector>

#include "hostsim/bus/MessageBatch.h"

namespace {

hostsim::J1939Message Message(uint8_t source, size_t length) {
    hostsim::J1939Message message;
    message.pgn = 0xFEEC;
    message.priority = 6;
    message.source = source;
    for (size_t i = 0; i < length; ++i) message.data.push_back(static_cast<uint8_t>(source + i));
    return message;
}

std::vector<uint8_t> BytesAt(const hostsim::MessageBatch& batch, size_t index) {
    const auto& entry = batch.At(index);
    return {batch.Bytes(entry), batch.Bytes(entry) + entry.length};
}

}  // namespace

TEST(MessageBatch, MessagesKeepTheirBytesAndAddressesThroughAppendSwapAndClear) {
    hostsim::MessageBatch queue;
    hostsim::MessageBatch posted;
    queue.Add(1, 0, 0, Message(0x00, 8));
    // Enough messages, some of them transport-sized, for the buffer to grow several times.
    for (uint8_t source = 1; source <= 100; ++source)
        posted.Add(0, 7, source * 10u, Message(source, source % 3 ? 8 : 40));
    queue.Append(posted);
    ASSERT_EQ(queue.Size(), 101u);
    EXPECT_EQ(BytesAt(queue, 0), hostsim::ToHostLayout(Message(0x00, 8)));
    EXPECT_EQ(queue.At(0).channel, 1);
    for (uint8_t source = 1; source <= 100; ++source) {
        EXPECT_EQ(BytesAt(queue, source), hostsim::ToHostLayout(Message(source, source % 3 ? 8 : 40))) << +source;
        EXPECT_EQ(queue.At(source).handle, 7);
        EXPECT_EQ(queue.At(source).timeStamp, source * 10u);
    }
    EXPECT_EQ(posted.Size(), 100u) << "what was appended stays where it was";

    hostsim::MessageBatch taken;
    taken.Swap(queue);
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(BytesAt(taken, 100), hostsim::ToHostLayout(Message(100, 8)));
    taken.Clear();
    EXPECT_TRUE(taken.Empty());
    taken.Add(2, 0, 0, Message(0x21, 3));
    ASSERT_EQ(taken.Size(), 1u);
    EXPECT_EQ(taken.At(0).offset, 0u);
    EXPECT_EQ(BytesAt(taken, 0), hostsim::ToHostLayout(Message(0x21, 3)));
}
