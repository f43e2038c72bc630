// The session wire format (header bytes, requests), and a connection's link:
// whole messages from a stream that splits, stalls, overflows or ends, with
// no time limit on a message that is slow to come whole, and a queue that
// refuses what would pass its bound.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <utility>

#include "net/session_link.h"
#include "net/session_message.h"
#include "net/socket_table.h"
#include "net_test_support.h"

using nettest::hexBytes;

namespace {

std::string wireOf(const SessionMessage& message) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    return std::string(reinterpret_cast<char*>(wire), encodeSessionMessage(message, wire));
}

void sendRaw(int32_t slot, const std::string& bytes) {
    ASSERT_EQ(sendOnSocket(slot, bytes.data(), static_cast<int32_t>(bytes.size()), nullptr),
              static_cast<int32_t>(bytes.size()));
}

// Receives until `count` messages are whole (or the wait ends).
bool receiveWhole(SessionLink& link, int32_t slot, std::deque<SessionMessage>& whole, size_t count) {
    return nettest::waitUntil([&] {
        link.receive(slot, 16, whole);
        return whole.size() >= count;
    });
}

}  // namespace

TEST(SessionMessage, HeadersAreSevenLittleEndianBytes) {
    const SessionMessage text = makeSessionMessage(kKindText, kEveryPlayer, 101, "hi", 2);
    EXPECT_EQ(hexBytes(wireOf(text)), "03 02 00 FF FF 65 00 68 69");
    const SessionMessage query = makeSessionMessage(kKindPlayerCount, 0, 102, nullptr, 0);
    EXPECT_EQ(hexBytes(wireOf(query)), "65 00 00 00 00 66 00");
    const SessionMessage reply = makeSessionMessageU16(kKindPlayerIdByNumber, 0x1234, 0, 0xBEEF);
    EXPECT_EQ(hexBytes(wireOf(reply)), "66 02 00 34 12 00 00 EF BE");
    EXPECT_EQ(sessionPayloadU16(reply), 0xBEEF);
    EXPECT_EQ(sessionPayloadU16(text), 0x6968);
    EXPECT_EQ(sessionPayloadU16(query), 0);

    uint8_t raw[kSessionHeaderBytes] = {0x68, 0x00, 0x04, 0xFE, 0xFF, 0x01, 0x80};
    const SessionMessageHeader header = decodeSessionHeader(raw);
    EXPECT_EQ(header.kind, 104);
    EXPECT_EQ(header.length, 1024);
    EXPECT_EQ(header.receiver, 65534);
    EXPECT_EQ(header.sender, 0x8001);

    // Past the format: cut when made, refused when sent.
    const std::string big(1500, 'x');
    SessionMessage cut = makeSessionMessage(kKindText, 1, 2, big.data(), 1500);
    EXPECT_EQ(cut.header.length, 1024);
    EXPECT_EQ(cut.payload[1024], 0);  // a full payload still ends in a NUL
    cut.header.length = 1025;
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    EXPECT_EQ(encodeSessionMessage(cut, wire), 0u);
}

TEST(SessionMessage, PlayerRequestsCarry136BytesWhateverTheName) {
    for (const char* name : {static_cast<const char*>(""), static_cast<const char*>("Ann"), static_cast<const char*>(nullptr)}) {
        const SessionMessage request = makePlayerRequest(name == nullptr, name ? name : "query");
        const std::string wire = wireOf(request);
        ASSERT_EQ(wire.size(), 7u + 136u);
        EXPECT_EQ(hexBytes(wire.substr(0, 15)),
                  std::string("01 88 00 00 00 00 00 FF FF FF FF FE FF ") + (name ? "00" : "01") + " 00");
        EXPECT_STREQ(wire.c_str() + 15, name ? name : "query");
    }
    const std::string longName(300, 'n');
    const SessionMessage request = makePlayerRequest(false, longName.c_str());
    EXPECT_EQ(request.payload[8 + 126], 'n');
    EXPECT_EQ(request.payload[8 + 127], 0);
    bool queryOnly = true;
    char name[kPlayerNameBytes];
    readPlayerRequest(request, &queryOnly, name);
    EXPECT_FALSE(queryOnly);
    EXPECT_EQ(std::strlen(name), 127u);
}

TEST(SessionLink, MessagesRoundTripAndEndInANul) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    SessionLink sending;
    SessionLink receiving;
    std::deque<SessionMessage> whole;
    receiving.receive(pair.server, 16, whole);
    EXPECT_TRUE(whole.empty());
    EXPECT_EQ(receiving.endCause(), 0);
    EXPECT_EQ(sending.queue(makeSessionMessage(kKindText, 103, 101, "hello", 5), 1024), 0);
    EXPECT_EQ(sending.queue(makeSessionMessage(kKindRemovePlayer, 0, 101, nullptr, 0)), 0);
    EXPECT_TRUE(sending.hasQueued());  // queued, not sent yet
    EXPECT_EQ(sending.flush(pair.client), 0u);
    ASSERT_TRUE(receiveWhole(receiving, pair.server, whole, 2));
    EXPECT_EQ(whole[0].header.kind, kKindText);
    EXPECT_EQ(whole[0].header.receiver, 103);
    EXPECT_EQ(whole[0].header.sender, 101);
    EXPECT_STREQ(reinterpret_cast<char*>(whole[0].payload), "hello");
    EXPECT_EQ(whole[1].header.kind, kKindRemovePlayer);
    EXPECT_EQ(whole[1].header.length, 0);
}

TEST(SessionLink, AMessageInPiecesIsResumedHoweverLongItsPiecesTake) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    const std::string wire = wireOf(makeSessionMessage(kKindText, 7, 8, "abc", 3));
    SessionLink link;
    std::deque<SessionMessage> whole;
    // Each piece is taken when it is there; nothing waits for the rest, and
    // no time between pieces ends the link (a peer gone silent is the
    // system's to end).
    for (const auto& [from, length] : {std::pair<size_t, size_t>{0, 3}, {3, 5}, {8, 2}}) {
        sendRaw(pair.client, wire.substr(from, length));
        ASSERT_EQ(waitForSocket(pair.server, false, 5000), 1);
        link.receive(pair.server, 16, whole);
        EXPECT_EQ(link.endCause(), 0);
        if (from == 3) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].header.receiver, 7);
    EXPECT_EQ(whole[0].header.sender, 8);
    EXPECT_STREQ(reinterpret_cast<char*>(whole[0].payload), "abc");
    EXPECT_EQ(link.endCause(), 0);
}

TEST(SessionLink, AnOverlongMessageIsSkippedAndTheStreamStaysInStep) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    std::string overlong("\x03\xD0\x07\x01\x00\x02\x00", 7);  // claims 2,000 bytes
    overlong += std::string(2000, '\x03');
    sendRaw(pair.client, overlong);
    sendRaw(pair.client, wireOf(makeSessionMessage(kKindText, 5, 6, "next", 4)));
    SessionLink link;
    std::deque<SessionMessage> whole;
    ASSERT_TRUE(receiveWhole(link, pair.server, whole, 1));
    EXPECT_STREQ(reinterpret_cast<char*>(whole[0].payload), "next");
    EXPECT_EQ(whole.size(), 1u);
}

TEST(SessionLink, APeerThatClosesMidMessageSendsNothingMore) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    sendRaw(pair.client, wireOf(makeSessionMessage(kKindText, 1, 2, "whole", 5)));
    sendRaw(pair.client, std::string("\x03\x0A\x00\x01\x00\x02\x00" "abc", 10));  // 3 of 10 payload bytes
    closeSocket(pair.client);
    SessionLink link;
    std::deque<SessionMessage> whole;
    EXPECT_TRUE(nettest::waitUntil([&] {
        link.receive(pair.server, 16, whole);
        return link.peerFinished();
    }));
    // What came whole before the end is kept; the link lasts for answers.
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_STREQ(reinterpret_cast<char*>(whole[0].payload), "whole");
    EXPECT_EQ(link.endCause(), 0);
    link.end(platform::kSockConnectionReset);
    link.end(platform::kSockTimedOut);  // the first cause stays
    // Ended: nothing is queued, and the cause says why.
    EXPECT_EQ(link.queue(makeSessionMessage(kKindText, 1, 2, "x", 1)), platform::kSockConnectionReset);
    EXPECT_FALSE(link.hasQueued());
    link.clear();
    EXPECT_EQ(link.endCause(), 0);
    EXPECT_FALSE(link.peerFinished());
}

// A connected pair whose system buffers hold only 16 KiB each way, so that
// a link's own queue fills after a few texts.
namespace {
nettest::SlotPair smallSlotPair() {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    if (pair.server >= 0) {
        nettest::limitSlotBuffers(pair.client, 16 * 1024);
        nettest::limitSlotBuffers(pair.server, 16 * 1024);
    }
    return pair;
}
}  // namespace

TEST(SessionLink, AQueueRefusesAtOnceWhatWouldPassItsBound) {
    const nettest::SlotPair pair = smallSlotPair();
    ASSERT_GE(pair.server, 0);
    // The server end reads nothing yet: the socket's buffers fill, then the queue.
    SessionLink link;
    size_t sent = 0;
    int32_t result = 0;
    double lastMs = 0;
    while (result == 0 && sent < 100000) {
        const SessionMessage message = makeSessionMessage(kKindText, 1, 2, nettest::numberedText(sent, 1000).c_str(), 1000);
        lastMs = nettest::millisTaken([&] { result = link.queue(message, 64 * 1024); });
        link.flush(pair.client);
        if (result == 0) ++sent;
    }
    EXPECT_EQ(result, platform::kSockNoBufferSpace);
    EXPECT_LT(lastMs, 20);
    EXPECT_EQ(link.endCause(), 0);
    EXPECT_LE(link.queuedBytes(), 64u * 1024u);
    EXPECT_GT(link.queuedBytes(), 64u * 1024u - 1007u);
    // Everything queued arrives, in order, once the reader reads; the text
    // that found no room does not.
    SessionLink reader;
    std::deque<SessionMessage> whole;
    EXPECT_TRUE(nettest::waitUntil([&] {
        link.flush(pair.client);
        reader.receive(pair.server, 64, whole);
        return whole.size() >= sent && !link.hasQueued();
    }));
    ASSERT_EQ(whole.size(), sent);
    for (size_t i = 0; i < sent; ++i) {
        ASSERT_EQ(std::string(reinterpret_cast<char*>(whole[i].payload)), nettest::numberedText(i, 1000)) << i;
    }
    EXPECT_EQ(link.queue(makeSessionMessage(kKindText, 1, 2, "x", 1), 64 * 1024), 0);
}

TEST(SessionLink, AFlushThatFindsTheConnectionBrokenEndsTheLinkWithItsCause) {
    const nettest::SlotPair pair = smallSlotPair();
    ASSERT_GE(pair.server, 0);
    SessionLink link;
    const SessionMessage message = makeSessionMessage(kKindText, 1, 2, std::string(1000, 'b').c_str(), 1000);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(link.queue(message), 0);
    link.flush(pair.client);
    // Closed with bytes unread, the peer resets the connection: a flush fails.
    closeSocket(pair.server);
    EXPECT_TRUE(nettest::waitUntil([&] {
        link.flush(pair.client);
        return link.endCause() != 0;
    }));
    EXPECT_NE(link.endCause(), platform::kSockTimedOut);
    EXPECT_EQ(link.queue(message), link.endCause());
    closeSocket(pair.client);
}

TEST(SessionLink, ALinkNotReadForAWhileResumesItsMessageWhereItStopped) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    const std::string first = wireOf(makeSessionMessage(kKindText, 7, 8, "abc", 3));
    const std::string second = wireOf(makeSessionMessage(kKindText, 9, 8, "de", 2));
    sendRaw(pair.client, first.substr(0, 4));
    ASSERT_EQ(waitForSocket(pair.server, false, 5000), 1);
    SessionLink link;
    std::deque<SessionMessage> whole;
    link.receive(pair.server, 16, whole);
    EXPECT_TRUE(whole.empty());
    // The rest and the next message come while the link is not read.
    sendRaw(pair.client, first.substr(4) + second);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(receiveWhole(link, pair.server, whole, 2));
    EXPECT_STREQ(reinterpret_cast<char*>(whole[0].payload), "abc");
    EXPECT_EQ(whole[1].header.receiver, 9);
    EXPECT_STREQ(reinterpret_cast<char*>(whole[1].payload), "de");
    EXPECT_EQ(link.endCause(), 0);
}
