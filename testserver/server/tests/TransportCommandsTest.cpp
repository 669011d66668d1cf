// Requests and replies that the transport tests rely on: echo, fragments both ways, file
// streams with and without a download key, upload data, and what closes a connection.
#include "ServerHarness.h"
#include <thread>

namespace {

class Transport : public ServerHarness {
protected:
    void SetUp() override
    {
        ServerHarness::SetUp();
        Control("POLICY fixed aria-128-cfb");
    }
};

std::string Z2Request(uint64_t bytes, uint64_t offset = 0, const std::string& key = std::string(),
                      int factor = 0)
{
    std::vector<std::pair<uint8_t, std::string>> fields;
    if (!key.empty())
        fields.push_back({9, key});
    if (factor)
        fields.push_back({159, std::to_string(factor)});
    fields.push_back({192, std::to_string(bytes)});
    if (offset)
        fields.push_back({204, std::to_string(offset)});
    return testwire::Record(fields);
}

}

TEST_F(Transport, EchoesRecordsOfEveryFieldKind)
{
    auto client = Keyed();
    const std::string request = testwire::Join({
        testwire::Record({{0, "ko"}, {3, "128"}, {9, std::string(32, 'k')}, {44, "Y"}, {171, "sid"}}),
        testwire::Record({}),
        testwire::Record({{255, std::string(300, 'm')}}),
    });
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client->Exchange("Z1", request, command, records));
    EXPECT_EQ(command, "Z1");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0][171], "sid");
    EXPECT_TRUE(records[1].empty());
    EXPECT_EQ(records[2][255], std::string(300, 'm'));
}

TEST_F(Transport, AnswersEachRequestFragmentAndThenTheJoinedRequest)
{
    auto client = Keyed();
    const std::string first = testwire::Record({{101, "part one"}}) + "\xFE";
    const std::string second = testwire::Record({{102, "part two"}});
    client->SendRequest("Z1", first, true);
    std::string command, payload;
    ASSERT_TRUE(client->ReadMessage(command, payload));
    EXPECT_EQ(command, "Z0");
    EXPECT_EQ(payload, "");
    client->SendRequest("Z1", second, false);
    ASSERT_TRUE(client->ReadMessage(command, payload));
    EXPECT_EQ(command, "Z1");
    EXPECT_EQ(payload, first + second);
    EXPECT_NE(Control("LAST cmd=Z1").find("frames=2"), std::string::npos);
}

TEST_F(Transport, ClosesWhenARequestFragmentChangesItsCommand)
{
    auto client = Keyed();
    client->SendRequest("Z1", testwire::Record({{101, "a"}}), true);
    std::string command, payload;
    ASSERT_TRUE(client->ReadMessage(command, payload));
    client->SendRequest("Z5", testwire::Record({{101, "b"}}), false);
    bool closed = false;
    EXPECT_EQ(client->ReadUntilClosed(closed), "");
    EXPECT_TRUE(closed);
}

TEST_F(Transport, FragmentsAReplyLargerThanOneFrame)
{
    auto client = Keyed();
    // Five records of 900,000 bytes: two fit a frame's 0x1FFFF9-byte payload, so three frames.
    client->SendRequest("Z5", testwire::Record({{166, "5"}, {192, "900000"}}));
    std::vector<RawFrame> frames;
    RawFrame frame;
    do {
        ASSERT_TRUE(client->ReadFrame(frame, 20000));
        frames.push_back(frame);
    } while (frame.flags & 0x20);
    ASSERT_EQ(frames.size(), 3u);
    std::string joined;
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].flags, i + 1 < frames.size() ? 0xA1 : 0x81) << "frame " << i;
        EXPECT_EQ(frames[i].command, "Z5");
        EXPECT_LE(frames[i].prefix.size() + frames[i].payload.size() + 3, 0x200000u);
        // Each fragment is enciphered on its own, from the IV.
        joined += client->Plain(frames[i]);
    }
    std::vector<testwire::Fields> records;
    ASSERT_EQ(testwire::Decode(joined, records), 0);
    ASSERT_EQ(records.size(), 5u);
    for (auto& record : records)
        EXPECT_EQ(record[101], testwire::Pattern(0, 900000));
}

TEST_F(Transport, StreamsFileDataAfterAnH4Header)
{
    auto client = Keyed();
    client->SendRequest("Z2", Z2Request(300000, 5) + testwire::Record({{228, "remark"}}));
    RawFrame header;
    ASSERT_TRUE(client->ReadFrame(header));
    EXPECT_EQ(header.command, "H4");
    EXPECT_EQ(header.flags, 0x81);
    std::vector<testwire::Fields> records;
    ASSERT_EQ(testwire::Decode(client->Plain(header), records), 0);
    EXPECT_EQ(records.at(0)[228], "remark");

    const size_t sizes[] = {130000, 130000, 40000};
    std::string data;
    for (size_t i = 0; i < 3; ++i) {
        RawFrame frame;
        ASSERT_TRUE(client->ReadFrame(frame));
        EXPECT_EQ(frame.command, "H4");
        EXPECT_EQ(frame.flags, i < 2 ? 0xA1 : 0x81) << "data frame " << i;
        EXPECT_EQ(frame.payload.size(), sizes[i]);
        data += testwire::CryptPieces(client->CipherName(), client->Key(), frame.payload, false);
    }
    EXPECT_EQ(data, testwire::Pattern(5, 300000));
}

TEST_F(Transport, StreamsInFramesOfTheAskedFactor)
{
    auto client = Keyed();
    client->SendRequest("Z2", Z2Request(65000 * 32 + 1, 0, std::string(), 32));
    RawFrame frame;
    ASSERT_TRUE(client->ReadFrame(frame));
    ASSERT_TRUE(client->ReadFrame(frame));
    EXPECT_EQ(frame.payload.size(), 65000u * 32);
    EXPECT_EQ(frame.flags, 0xA1);
    ASSERT_TRUE(client->ReadFrame(frame));
    EXPECT_EQ(frame.payload.size(), 1u);
    EXPECT_EQ(frame.flags, 0x81);
}

TEST_F(Transport, StreamsOneEmptyFrameForNoData)
{
    auto client = Keyed();
    client->SendRequest("Z2", Z2Request(0));
    RawFrame header, data;
    ASSERT_TRUE(client->ReadFrame(header));
    ASSERT_TRUE(client->ReadFrame(data));
    EXPECT_EQ(data.command, "H4");
    EXPECT_EQ(data.flags, 0x81);
    EXPECT_EQ(data.payload, "");
}

TEST_F(Transport, RekeysWithTheDownloadKeyAfterTheHeaderForTheRestOfTheConnection)
{
    auto client = Keyed();
    const std::string fileKey = "0123456789abcdef0123456789ABCDEF";
    client->SendRequest("Z2", Z2Request(1000, 0, fileKey));
    RawFrame header, data;
    ASSERT_TRUE(client->ReadFrame(header));
    // The header still goes with the session key, and announces the bytes that follow.
    EXPECT_EQ(client->Plain(header), testwire::Record({{192, "1000"}}));
    client->Rekey(fileKey);
    ASSERT_TRUE(client->ReadFrame(data));
    EXPECT_EQ(testwire::CryptPieces(client->CipherName(), client->Key(), data.payload, false),
              testwire::Pattern(0, 1000));

    // Both directions keep the file key.
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client->Exchange("Z1", testwire::Record({{101, "still keyed"}}), command, records));
    EXPECT_EQ(records.at(0)[101], "still keyed");
}

TEST_F(Transport, TakesUploadDataInPiecesAndReportsIt)
{
    auto client = Keyed();
    std::string command;
    std::vector<testwire::Fields> records;
    const size_t total = 2 * 130000 + 777;
    ASSERT_TRUE(client->Exchange("Z3", testwire::Record({{192, std::to_string(total)}}), command, records));
    EXPECT_EQ(command, "Z3");
    const std::string data = testwire::Pattern(0, total);
    for (size_t at = 0; at < total; at += 130000) {
        const std::string piece = data.substr(at, 130000);
        const bool last = at + piece.size() == total;
        client->SendFrame(last ? 0x81 : 0xA1, "H3",
                          testwire::CryptPieces(client->CipherName(), client->Key(), piece, true));
    }
    // Nothing answers H3; the next request does.
    ASSERT_TRUE(client->Exchange("Z4", "", command, records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][192], std::to_string(total));
    EXPECT_EQ(records[0][166], "3");
    EXPECT_EQ(records[0][44], "Y");
    EXPECT_EQ(records[0][45], "Y");
    EXPECT_NE(records[0][205], "0");
    EXPECT_NE(Control("UPLOAD").find("sizes=130000,130000,777"), std::string::npos);
}

TEST_F(Transport, ReportsAnUploadLeftWithFlagMore)
{
    auto client = Keyed();
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client->Exchange("Z3", testwire::Record({{192, "200000"}}), command, records));
    client->SendFrame(0xA1, "H3", testwire::CryptPieces(client->CipherName(), client->Key(),
                                                        testwire::Pattern(0, 130000), true));
    ASSERT_TRUE(client->Exchange("Z4", "", command, records));
    EXPECT_EQ(records.at(0)[192], "130000");
    EXPECT_EQ(records.at(0)[44], "N");
}

TEST_F(Transport, ClosesOnUploadDataBeyondWhatWasAnnounced)
{
    auto client = Keyed();
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client->Exchange("Z3", testwire::Record({{192, "10"}}), command, records));
    client->SendFrame(0x81, "H3", testwire::CryptPieces(client->CipherName(), client->Key(),
                                                        testwire::Pattern(0, 11), true));
    bool closed = false;
    client->ReadUntilClosed(closed);
    EXPECT_TRUE(closed);
}

TEST_F(Transport, ClosesOnUploadDataNobodyAnnounced)
{
    auto client = Keyed();
    client->SendFrame(0x81, "H3", "data");
    bool closed = false;
    client->ReadUntilClosed(closed);
    EXPECT_TRUE(closed);
}

TEST_F(Transport, AnswersAnUnknownCommandWithE0)
{
    auto client = Keyed();
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client->Exchange("Q7", "", command, records));
    EXPECT_EQ(command, "E0");
    EXPECT_EQ(records.at(0)[240], "1500");
    EXPECT_FALSE(records.at(0)[255].empty());
}

TEST_F(Transport, ClosesOnMalformedRequests)
{
    const struct { const char* what; std::string bytes; } rows[] = {
        {"zero lead byte", std::string("\x00\x01Z1", 4)},
        {"continuation lead byte", std::string("\x80\x01Z1", 4)},
        {"five-byte lead", std::string("\xF8\x01Z1", 4)},
        {"flags 0x00", std::string("\x03\x00Z1", 4)},
        {"flags 0x83", std::string("\x03\x83Z1", 4)},
        {"length below the header", std::string("\x02\x01Z1", 4)},
        {"length past 2 MB", std::string("\xF7\xBF\xBF\xBD\x01Z1", 7)},
        {"field running past the payload", std::string("\x05\x01Z1\x09\x01", 6)},
        {"empty variable field", std::string("\x05\x01Z1\x65\x00", 6)},
    };
    for (const auto& row : rows) {
        auto client = Connected();
        client->SendRaw(row.bytes);
        bool closed = false;
        EXPECT_EQ(client->ReadUntilClosed(closed), "") << row.what;
        EXPECT_TRUE(closed) << row.what;
    }
}

TEST_F(Transport, ServesManyConnectionsAtOnce)
{
    Control("POLICY rotate");
    constexpr int kClients = 12;
    std::vector<std::string> failures(kClients);
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([this, i, &failures] {
            TestClient client;
            A0Reply reply;
            if (!client.Connect(m_server->Port()) || !client.KeyExchange(reply)) {
                failures[i] = "no key exchange";
                return;
            }
            for (int round = 0; round < 20; ++round) {
                const std::string tag = std::to_string(i) + "/" + std::to_string(round);
                std::string command;
                std::vector<testwire::Fields> records;
                if (!client.Exchange("Z1", testwire::Record({{101, tag}}), command, records) ||
                    records.size() != 1 || records[0][101] != tag) {
                    failures[i] = "echo " + tag + " came back wrong";
                    return;
                }
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int i = 0; i < kClients; ++i)
        EXPECT_EQ(failures[i], "") << "client " << i;
}
