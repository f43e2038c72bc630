// The session wire format: header bytes, requests, and reading whole
// messages from a stream that splits, overflows or breaks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "net/session_message.h"
#include "net/socket_table.h"
#include "net_test_support.h"

using nettest::hexBytes;

namespace {

std::string wireOf(const SessionMessage& message) {
    uint8_t header[kSessionHeaderBytes];
    encodeSessionHeader(message.header, header);
    return std::string(reinterpret_cast<char*>(header), kSessionHeaderBytes) +
           std::string(reinterpret_cast<const char*>(message.payload), message.header.length);
}

void sendRaw(int32_t slot, const std::string& bytes) {
    ASSERT_EQ(sendOnSocket(slot, bytes.data(), static_cast<int32_t>(bytes.size()), nullptr),
              static_cast<int32_t>(bytes.size()));
}

// Reads one message once its first byte is there.
SessionRead readWhenThere(int32_t slot, SessionMessage* message) {
    SessionRead read = SessionRead::Nothing;
    nettest::waitUntil([&] {
        read = readSessionMessage(slot, message);
        return read != SessionRead::Nothing;
    });
    return read;
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
    EXPECT_EQ(sendSessionMessage(0, cut), 0);
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

TEST(SessionMessage, MessagesRoundTripAndEndInANul) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    SessionMessage message;
    EXPECT_EQ(readSessionMessage(pair.server, &message), SessionRead::Nothing);
    EXPECT_EQ(sendSessionMessage(pair.client, makeSessionMessage(kKindText, 103, 101, "hello", 5)), 1);
    EXPECT_EQ(sendSessionMessage(pair.client, makeSessionMessage(kKindRemovePlayer, 0, 101, nullptr, 0)), 1);
    ASSERT_EQ(readWhenThere(pair.server, &message), SessionRead::Whole);
    EXPECT_EQ(message.header.kind, kKindText);
    EXPECT_EQ(message.header.receiver, 103);
    EXPECT_EQ(message.header.sender, 101);
    EXPECT_STREQ(reinterpret_cast<char*>(message.payload), "hello");
    ASSERT_EQ(readWhenThere(pair.server, &message), SessionRead::Whole);
    EXPECT_EQ(message.header.kind, kKindRemovePlayer);
    EXPECT_EQ(message.header.length, 0);
}

TEST(SessionMessage, AHeaderThatArrivesInPiecesIsCompleted) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    const std::string wire = wireOf(makeSessionMessage(kKindText, 7, 8, "abc", 3));
    sendRaw(pair.client, wire.substr(0, 3));
    ASSERT_EQ(waitForSocket(pair.server, false, 5000), 1);
    std::thread rest([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sendRaw(pair.client, wire.substr(3, 5));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sendRaw(pair.client, wire.substr(8));
    });
    SessionMessage message;
    EXPECT_EQ(readSessionMessage(pair.server, &message), SessionRead::Whole);
    rest.join();
    EXPECT_EQ(message.header.receiver, 7);
    EXPECT_EQ(message.header.sender, 8);
    EXPECT_STREQ(reinterpret_cast<char*>(message.payload), "abc");
}

TEST(SessionMessage, AnOverlongMessageIsSkippedAndTheStreamStaysInStep) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    std::string overlong("\x03\xD0\x07\x01\x00\x02\x00", 7);  // claims 2,000 bytes
    overlong += std::string(2000, '\x03');
    sendRaw(pair.client, overlong);
    sendSessionMessage(pair.client, makeSessionMessage(kKindText, 5, 6, "next", 4));
    SessionMessage message;
    EXPECT_EQ(readWhenThere(pair.server, &message), SessionRead::Skipped);
    ASSERT_EQ(readWhenThere(pair.server, &message), SessionRead::Whole);
    EXPECT_STREQ(reinterpret_cast<char*>(message.payload), "next");
}

TEST(SessionMessage, APeerThatClosesMidMessageReadsAsClosed) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    sendRaw(pair.client, std::string("\x03\x0A\x00\x01\x00\x02\x00" "abc", 10));  // 3 of 10 payload bytes
    closeSocket(pair.client);
    SessionMessage message;
    EXPECT_EQ(readWhenThere(pair.server, &message), SessionRead::Closed);
    EXPECT_EQ(readSessionMessage(pair.server, &message), SessionRead::Closed);
    EXPECT_EQ(readSessionMessage(-1, &message), SessionRead::Failed);
}
