// Every fault the control channel injects, as a raw socket client sees it on the wire.
#include "ServerHarness.h"
#include <chrono>

namespace {

class Faults : public ServerHarness {
protected:
    void SetUp() override
    {
        ServerHarness::SetUp();
        Control("POLICY fixed aria-128-ofb");
        m_client = Keyed();
    }

    // Plain payload of one echo request with three records.
    static std::string EchoPayload(const std::string& tag = "x")
    {
        return testwire::Join({testwire::Record({{21, "Y"}, {101, tag}}), testwire::Record({{44, "N"}}),
                               testwire::Record({{255, "end"}})});
    }

    std::string Plain(const RawFrame& frame) { return m_client->Plain(frame); }

    std::unique_ptr<TestClient> m_client;
};

}

TEST_F(Faults, SilentLeavesTheRequestUnansweredAndAnswersTheNextOne)
{
    Control("FAULT silent");
    m_client->SendRequest("Z1", EchoPayload("first"));
    m_client->SendRequest("Z1", EchoPayload("second"));
    std::string command, payload;
    ASSERT_TRUE(m_client->ReadMessage(command, payload));
    EXPECT_EQ(payload, EchoPayload("second"));
    EXPECT_TRUE(m_client->NothingArrives(50));
}

TEST_F(Faults, SilentOnA0NeverAnswersTheKeyExchange)
{
    Control("FAULT silent cmd=A0");
    auto client = Connected();
    client->SendFrame(0x01, "A0", "");
    EXPECT_TRUE(client->NothingArrives(300));
    EXPECT_NE(Control("LAST").find("cmd=A0"), std::string::npos);
}

TEST_F(Faults, CloseEndsTheConnectionWithoutAnAnswer)
{
    Control("FAULT close");
    m_client->SendRequest("Z1", EchoPayload());
    bool closed = false;
    EXPECT_EQ(m_client->ReadUntilClosed(closed), "");
    EXPECT_TRUE(closed);
}

TEST_F(Faults, CloseMidFrameSendsTheFirstBytesOfTheReplyFrame)
{
    Control("FAULT close-mid-frame bytes=5");
    m_client->SendRequest("Z1", EchoPayload());
    bool closed = false;
    const std::string got = m_client->ReadUntilClosed(closed);
    EXPECT_TRUE(closed);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(testwire::Hex(got.substr(1, 3)), "815a31");   // flags 0x81, "Z1"
}

TEST_F(Faults, CloseMidFrameSendsHalfTheFrameByDefault)
{
    Control("FAULT close-mid-frame");
    const std::string payload = EchoPayload();
    m_client->SendRequest("Z1", payload);
    bool closed = false;
    const std::string got = m_client->ReadUntilClosed(closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(got.size(), (1 + 3 + payload.size()) / 2);
}

TEST_F(Faults, ReplacesTheLengthPrefixOfTheFirstFrame)
{
    const struct { const char* fault; const char* prefixHex; } rows[] = {
        {"FAULT prefix", "80"},
        {"FAULT prefix hex=00", "00"},
        {"FAULT prefix hex=F8", "f8"},
        {"FAULT prefix hex=C141", "c141"},
        {"FAULT length value=2", "02"},
        {"FAULT length value=0", "00"},
        {"FAULT length value=0x1FFFFD size=4", "f7bfbfbd"},
        {"FAULT length value=0x41 size=2", "c181"},
    };
    for (const auto& row : rows) {
        auto client = Keyed();
        Control(row.fault);
        client->SendRequest("Z1", EchoPayload());
        const std::string prefix = testwire::Unhex(row.prefixHex);
        std::string got;
        ASSERT_TRUE(client->ReadExact(prefix.size() + 3, got)) << row.fault;
        EXPECT_EQ(testwire::Hex(got), std::string(row.prefixHex) + "815a31") << row.fault;
    }
}

TEST_F(Faults, SendsTheFlagsByteAsGiven)
{
    for (const char* flags : {"80", "83", "01", "C1"}) {
        Control(std::string("FAULT flags value=") + flags);
        m_client->SendRequest("Z1", EchoPayload());
        RawFrame frame;
        ASSERT_TRUE(m_client->ReadFrame(frame)) << flags;
        EXPECT_EQ(frame.flags, std::stoi(flags, nullptr, 16)) << flags;
        // The payload is still enciphered with the session key.
        EXPECT_EQ(testwire::Crypt(m_client->CipherName(), m_client->Key(), frame.payload, false), EchoPayload());
    }
}

TEST_F(Faults, TruncateCutsTheLastRecordShort)
{
    Control("FAULT truncate bytes=2");
    m_client->SendRequest("Z1", EchoPayload());
    RawFrame frame;
    ASSERT_TRUE(m_client->ReadFrame(frame));
    const std::string plain = Plain(frame);
    EXPECT_EQ(plain, EchoPayload().substr(0, EchoPayload().size() - 2));
    std::vector<testwire::Fields> records;
    EXPECT_EQ(testwire::Decode(plain, records), 7);
}

TEST_F(Faults, TruncateOfAnEmptyReplyLeavesAFieldIdWithoutItsValue)
{
    Control("FAULT truncate");
    m_client->SendRequest("Z1", "");
    RawFrame frame;
    ASSERT_TRUE(m_client->ReadFrame(frame));
    std::vector<testwire::Fields> records;
    EXPECT_EQ(testwire::Decode(Plain(frame), records), 7);
}

TEST_F(Faults, WrongFixedSendsAFixedFieldWithAnotherLength)
{
    Control("FAULT wrong-fixed");
    m_client->SendRequest("Z1", EchoPayload());
    RawFrame frame;
    ASSERT_TRUE(m_client->ReadFrame(frame));
    // {21: "Y"} goes out as 21 with two bytes.
    EXPECT_EQ(testwire::Hex(Plain(frame).substr(0, 3)), "155930");
}

TEST_F(Faults, WrongFixedCutsTheA0PassPhraseByAByte)
{
    Control("FAULT wrong-fixed id=9 delta=-1 cmd=A0");
    auto client = Connected();
    client->SendFrame(0x01, "A0", "");
    RawFrame frame;
    ASSERT_TRUE(client->ReadFrame(frame));
    // 21, 22 and 3 carry 2 + 2 + 4 bytes; the phrase that should be 33 bytes with its id is 32.
    EXPECT_EQ(frame.payload.size(), 1 + 3 + 1 + 31 + 2 + 2u);
    EXPECT_EQ(static_cast<uint8_t>(frame.payload[4]), 9);
}

TEST_F(Faults, PayloadReplacesTheReplyBytes)
{
    Control("FAULT payload hex=C80015");
    m_client->SendRequest("Z1", EchoPayload());
    RawFrame frame;
    ASSERT_TRUE(m_client->ReadFrame(frame));
    EXPECT_EQ(testwire::Hex(Plain(frame)), "c80015");
}

TEST_F(Faults, DelayAnswersLate)
{
    Control("FAULT delay ms=300");
    const auto start = std::chrono::steady_clock::now();
    m_client->SendRequest("Z1", EchoPayload());
    std::string command, payload;
    ASSERT_TRUE(m_client->ReadMessage(command, payload));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(payload, EchoPayload());
}

TEST_F(Faults, ErrorAnswersWithTheGivenReplyCodeAndMessage)
{
    const struct { const char* fault; const char* command; const char* code; const char* message; } rows[] = {
        {"FAULT error", "E0", "1500", "Injected error."},
        {"FAULT error reply=E1 code=3001 -- abc", "E1", "3001", "abc"},
        {"FAULT error reply=E2 code=2210 -- \xEC\x9D\xB4\xEB\xAF\xB8 \xEB\xA1\x9C\xEA\xB7\xB8\xEC\x9D\xB8", "E2", "2210",
         "\xEC\x9D\xB4\xEB\xAF\xB8 \xEB\xA1\x9C\xEA\xB7\xB8\xEC\x9D\xB8"},
    };
    for (const auto& row : rows) {
        Control(row.fault);
        std::string command;
        std::vector<testwire::Fields> records;
        ASSERT_TRUE(m_client->Exchange("Z1", EchoPayload(), command, records)) << row.fault;
        EXPECT_EQ(command, row.command) << row.fault;
        ASSERT_EQ(records.size(), 1u) << row.fault;
        EXPECT_EQ(records[0][240], row.code) << row.fault;
        EXPECT_EQ(records[0][255], row.message) << row.fault;
    }
}

TEST_F(Faults, ErrorOnA0GoesInTheClear)
{
    Control("FAULT error cmd=A0 code=1 -- refused");
    auto client = Connected();
    client->SendFrame(0x01, "A0", "");
    RawFrame frame;
    ASSERT_TRUE(client->ReadFrame(frame));
    EXPECT_EQ(frame.command, "E0");
    EXPECT_EQ(frame.flags, 0x01);
    std::vector<testwire::Fields> records;
    ASSERT_EQ(testwire::Decode(frame.payload, records), 0);
    EXPECT_EQ(records.at(0)[255], "refused");
}

TEST_F(Faults, FragmentCutsTheReplyIntoFramesOfFewRecords)
{
    Control("FAULT fragment records=1");
    m_client->SendRequest("Z1", EchoPayload());
    std::vector<uint8_t> flags;
    std::string joined;
    RawFrame frame;
    do {
        ASSERT_TRUE(m_client->ReadFrame(frame));
        EXPECT_EQ(frame.command, "Z1");
        flags.push_back(frame.flags);
        joined += Plain(frame);
    } while (frame.flags & 0x20);
    EXPECT_EQ(flags, (std::vector<uint8_t>{0xA1, 0xA1, 0x81}));
    EXPECT_EQ(joined, EchoPayload());
}

TEST_F(Faults, MismatchPutsAnotherCommandOnTheLastFrame)
{
    const struct { const char* fault; const char* lastCommand; } rows[] = {
        {"FAULT mismatch", "Z2"},
        {"FAULT mismatch command=Q9", "Q9"},
    };
    for (const auto& row : rows) {
        Control(row.fault);
        m_client->SendRequest("Z1", testwire::Record({{44, "Y"}}));
        RawFrame first, second;
        ASSERT_TRUE(m_client->ReadFrame(first)) << row.fault;
        ASSERT_TRUE(m_client->ReadFrame(second)) << row.fault;
        EXPECT_EQ(first.command, "Z1");
        EXPECT_EQ(first.flags, 0xA1);
        EXPECT_EQ(second.command, row.lastCommand) << row.fault;
        EXPECT_EQ(second.flags, 0x81);
    }
}

TEST_F(Faults, MismatchOnAStreamChangesTheCommandOfItsLastDataFrame)
{
    Control("FAULT mismatch");
    m_client->SendRequest("Z2", testwire::Record({{192, "100"}}));
    RawFrame header, first, second;
    ASSERT_TRUE(m_client->ReadFrame(header));
    ASSERT_TRUE(m_client->ReadFrame(first));
    ASSERT_TRUE(m_client->ReadFrame(second));
    EXPECT_EQ(header.flags, 0x81);
    EXPECT_EQ(first.command, "H4");
    EXPECT_EQ(first.flags, 0xA1);
    EXPECT_EQ(second.command, "H5");
    EXPECT_EQ(first.payload.size() + second.payload.size(), 100u);
}

TEST_F(Faults, RekeyStreamsWithTheInjectedKey)
{
    const std::string key = "KEYKEYKEYKEYKEYKEYKEYKEYKEYKEY12";
    Control("FAULT rekey key=" + key);
    m_client->SendRequest("Z2", testwire::Record({{192, "5000"}}));
    RawFrame header, data;
    ASSERT_TRUE(m_client->ReadFrame(header));
    ASSERT_TRUE(m_client->ReadFrame(data));
    m_client->Rekey(key);
    EXPECT_EQ(testwire::CryptPieces(m_client->CipherName(), m_client->Key(), data.payload, false),
              testwire::Pattern(0, 5000));
}

TEST_F(Faults, CutStreamClosesInsideTheFileData)
{
    Control("FAULT cut-stream bytes=1000");
    m_client->SendRequest("Z2", testwire::Record({{192, "300000"}}));
    RawFrame header;
    ASSERT_TRUE(m_client->ReadFrame(header));
    bool closed = false;
    const std::string rest = m_client->ReadUntilClosed(closed);
    EXPECT_TRUE(closed);
    // One data frame header (4-byte prefix for 130,003, flags, command), then 1,000 bytes.
    EXPECT_EQ(rest.size(), 4 + 3 + 1000u);
}

TEST_F(Faults, StopStreamEndsTheDataWithABareErrorFrame)
{
    const struct { const char* fault; size_t dataFrames; const char* command; } rows[] = {
        {"FAULT stop-stream", 0, "E0"},
        {"FAULT stop-stream frames=1 reply=E1", 1, "E1"},
    };
    for (const auto& row : rows) {
        Control(row.fault);
        m_client->SendRequest("Z2", testwire::Record({{192, "300000"}}));
        RawFrame header, frame;
        ASSERT_TRUE(m_client->ReadFrame(header)) << row.fault;
        EXPECT_EQ(header.command, "H4");
        for (size_t i = 0; i < row.dataFrames; ++i) {
            ASSERT_TRUE(m_client->ReadFrame(frame)) << row.fault;
            EXPECT_EQ(frame.command, "H4");
            EXPECT_EQ(frame.flags, 0xA1);
        }
        ASSERT_TRUE(m_client->ReadFrame(frame)) << row.fault;
        EXPECT_EQ(frame.command, row.command) << row.fault;
        EXPECT_EQ(frame.flags, 0x81) << row.fault;
        EXPECT_EQ(Plain(frame), testwire::Record({{240, "1500"}})) << row.fault;
        EXPECT_TRUE(m_client->NothingArrives(100)) << row.fault;
    }
}

TEST_F(Faults, DuplicateSendsTheReplyTwiceAtOnceOrBeforeTheNextReply)
{
    Control("FAULT duplicate");
    m_client->SendRequest("Z1", EchoPayload("once"));
    std::string command, payload;
    for (int copy = 0; copy < 2; ++copy) {
        ASSERT_TRUE(m_client->ReadMessage(command, payload)) << copy;
        EXPECT_EQ(command, "Z1");
        EXPECT_EQ(payload, EchoPayload("once"));
    }
    EXPECT_TRUE(m_client->NothingArrives(100));

    Control("FAULT duplicate late=1");
    m_client->SendRequest("Z1", EchoPayload("late"));
    ASSERT_TRUE(m_client->ReadMessage(command, payload));
    EXPECT_EQ(payload, EchoPayload("late"));
    EXPECT_TRUE(m_client->NothingArrives(100));
    m_client->SendRequest("Z5", testwire::Record({{192, "3"}}));
    ASSERT_TRUE(m_client->ReadMessage(command, payload));
    EXPECT_EQ(command, "Z1");
    EXPECT_EQ(payload, EchoPayload("late"));
    ASSERT_TRUE(m_client->ReadMessage(command, payload));
    EXPECT_EQ(command, "Z5");
}

TEST_F(Faults, ReplyAsPutsAnotherCommandOnEveryFrame)
{
    Control("FAULT reply-as command=H0");
    Control("FAULT fragment records=1");
    m_client->SendRequest("Z1", EchoPayload());
    RawFrame frame;
    std::string joined;
    int frames = 0;
    do {
        ASSERT_TRUE(m_client->ReadFrame(frame));
        EXPECT_EQ(frame.command, "H0");
        joined += Plain(frame);
        ++frames;
    } while (frame.flags & 0x20);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(joined, EchoPayload());
}

TEST_F(Faults, TrickleWritesTheReplyAFewBytesAtATime)
{
    Control("FAULT trickle ms=30 bytes=1");
    const auto start = std::chrono::steady_clock::now();
    m_client->SendRequest("Z1", EchoPayload());
    std::string command, payload;
    ASSERT_TRUE(m_client->ReadMessage(command, payload));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(payload, EchoPayload());
    // The frame is over 20 bytes: ten pauses at least.
    EXPECT_GE(took, std::chrono::milliseconds(300));
}

TEST_F(Faults, EndlessFragmentsGoOnUntilTheLimit)
{
    Control("FAULT endless-fragments bytes=1000 limit=1");
    m_client->SendRequest("Z1", EchoPayload());
    RawFrame frame;
    size_t bytes = 0;
    int frames = 0;
    while (bytes < (1u << 20)) {
        ASSERT_TRUE(m_client->ReadFrame(frame)) << "after " << bytes;
        EXPECT_EQ(frame.command, "Z1");
        ASSERT_EQ(frame.flags, 0x21);
        bytes += frame.payload.size();
        ++frames;
    }
    EXPECT_EQ(frames, 1049);   // 1 MB in 1,000-byte fragments, the last one whole
    EXPECT_TRUE(m_client->NothingArrives(100));
}

TEST_F(Faults, AppliesOnlyToTheNamedCommand)
{
    Control("FAULT error cmd=Z5 code=1301 -- only Z5");
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(m_client->Exchange("Z1", EchoPayload(), command, records));
    EXPECT_EQ(command, "Z1");
    ASSERT_TRUE(m_client->Exchange("Z5", testwire::Record({{192, "3"}}), command, records));
    EXPECT_EQ(command, "E0");
    ASSERT_TRUE(m_client->Exchange("Z5", testwire::Record({{192, "3"}}), command, records));
    EXPECT_EQ(command, "Z5");
}

TEST_F(Faults, AppliesToTheNextCountExchanges)
{
    Control("FAULT error count=2");
    std::vector<std::string> commands;
    for (int i = 0; i < 3; ++i) {
        std::string command;
        std::vector<testwire::Fields> records;
        ASSERT_TRUE(m_client->Exchange("Z1", EchoPayload(), command, records));
        commands.push_back(command);
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"E0", "E0", "Z1"}));
}

TEST_F(Faults, LastsUntilResetWithCountStar)
{
    Control("FAULT error count=*");
    std::string command;
    std::vector<testwire::Fields> records;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(m_client->Exchange("Z1", EchoPayload(), command, records));
        EXPECT_EQ(command, "E0") << "exchange " << i;
    }
    Control("RESET");
    ASSERT_TRUE(m_client->Exchange("Z1", EchoPayload(), command, records));
    EXPECT_EQ(command, "Z1");
}

TEST_F(Faults, CombinesADelayWithAShapeOfTheReply)
{
    Control("FAULT delay ms=100");
    Control("FAULT fragment");
    m_client->SendRequest("Z1", EchoPayload());
    std::string command, payload;
    int frames = 0;
    ASSERT_TRUE(m_client->ReadMessage(command, payload, &frames));
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(payload, EchoPayload());
}

TEST_F(Faults, StoppingTheServerEndsADelayedAnswer)
{
    Control("FAULT delay ms=600000");
    m_client->SendRequest("Z1", EchoPayload());
    // The delay waits on the server's stop signal, so stopping does not wait ten minutes.
    EXPECT_TRUE(m_client->NothingArrives(100));
    m_server->Stop();
    bool closed = false;
    EXPECT_EQ(m_client->ReadUntilClosed(closed), "");
    EXPECT_TRUE(closed);
}
