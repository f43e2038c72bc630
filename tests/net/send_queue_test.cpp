// A connection's send queue: replies ahead of the texts waiting but never
// inside one begun, and a reader's lag counted only while it takes.
#include <gtest/gtest.h>

#include <string>

#include "net/send_queue.h"
#include "net_test_support.h"

using nettest::wireMessage;

namespace {

void push(SendQueue& queue, const std::string& wire, bool reply = false) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(wire.data());
    reply ? queue.pushReply(bytes, wire.size()) : queue.pushText(bytes, wire.size());
}

// Hands over at most `most` bytes of what the queue gives next.
std::string send(SendQueue& queue, size_t most = SIZE_MAX) {
    size_t count = 0;
    const uint8_t* bytes = queue.next(&count);
    count = std::min(count, most);
    const std::string sent(reinterpret_cast<const char*>(bytes), count);
    queue.take(count);
    return sent;
}

}  // namespace

TEST(SendQueue, RepliesGoAheadOfWaitingTextsButNeverInsideABegunOne) {
    SendQueue queue;
    const std::string first = wireMessage(3, 102, 101, "first text");
    const std::string second = wireMessage(3, 102, 101, "second");
    const std::string id = wireMessage(2, 103, 0);
    const std::string count = wireMessage(101, 102, 0, nettest::wireU16(2));
    push(queue, first);
    push(queue, second);
    EXPECT_EQ(send(queue, 5), first.substr(0, 5));  // the socket took part of the first text
    push(queue, id, true);
    push(queue, count, true);
    EXPECT_EQ(queue.size(), first.size() - 5 + second.size() + id.size() + count.size());
    // The rest of the begun text alone, then both replies, then the texts.
    EXPECT_EQ(send(queue), first.substr(5));
    EXPECT_EQ(send(queue, 3), id.substr(0, 3));
    push(queue, wireMessage(3, 102, 101, "third"));
    EXPECT_EQ(send(queue), id.substr(3) + count);
    EXPECT_EQ(send(queue), second + wireMessage(3, 102, 101, "third"));
    EXPECT_TRUE(queue.empty());
    size_t none = 1;
    queue.next(&none);
    EXPECT_EQ(none, 0u);
}

TEST(SendQueue, LagCountsOnlyTimeInWhichTheReadersSystemTakes) {
    SendQueue queue;
    const std::string text = wireMessage(3, 102, 101, "0123456789");
    queue.observe(1000, true);
    EXPECT_EQ(queue.lagMs(), 0u);
    push(queue, text);
    push(queue, text);  // the same millisecond: one record
    // Its system takes, whether or not its program reads: the time counts.
    queue.observe(1500, true);
    EXPECT_EQ(queue.lagMs(), 500u);
    queue.observe(3500, true);
    EXPECT_EQ(queue.lagMs(), 2500u);
    // Nothing taken (an outage): the clock stands.
    queue.observe(3600, false);
    EXPECT_EQ(queue.lagMs(), 2500u);
    queue.observe(25000, false);
    EXPECT_EQ(queue.lagMs(), 2500u);
    push(queue, text);  // queued while the clock stood
    queue.observe(25100, true);
    EXPECT_EQ(queue.lagMs(), 2600u);
    // The first two texts gone, the third is the oldest.
    send(queue, 2 * text.size());
    EXPECT_EQ(queue.lagMs(), 100u);
    send(queue);
    EXPECT_EQ(queue.lagMs(), 0u);
}
