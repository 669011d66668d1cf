// A0 over a real socket: every cipher policy, deciphered by the test's own OpenSSL client.
#include "ServerHarness.h"
#include <set>

namespace {

struct PolicyRow {
    const char* policy;
    int algo, mode, bits;
    const char* cipherName;
};

class KeyExchange : public ServerHarness {};

}

TEST_F(KeyExchange, AnnouncesEachPolicysCipherAndEnciphersWithIt)
{
    const PolicyRow rows[] = {
        {"seed-128-ofb", 1, 3, 128, "SEED-OFB"}, {"seed-128-cfb", 1, 4, 128, "SEED-CFB"},
        {"seed-256-ofb", 1, 3, 256, "SEED-OFB"},
        {"aria-128-ofb", 2, 3, 128, "ARIA-128-OFB"}, {"aria-128-cfb", 2, 4, 128, "ARIA-128-CFB"},
        {"aria-192-ofb", 2, 3, 192, "ARIA-192-OFB"}, {"aria-192-cfb", 2, 4, 192, "ARIA-192-CFB"},
        {"aria-256-ofb", 2, 3, 256, "ARIA-256-OFB"}, {"aria-256-cfb", 2, 4, 256, "ARIA-256-CFB"},
    };
    for (const PolicyRow& row : rows) {
        SCOPED_TRACE(row.policy);
        Control(std::string("POLICY fixed ") + row.policy);
        auto client = Connected();
        A0Reply reply;
        ASSERT_TRUE(client->KeyExchange(reply, "DEBUG"));
        EXPECT_EQ(reply.flags, 0x01);
        EXPECT_EQ(reply.algo, row.algo);
        EXPECT_EQ(reply.mode, row.mode);
        EXPECT_EQ(reply.bits, row.bits);
        ASSERT_EQ(reply.phrase.size(), 32u);
        for (char c : reply.phrase)
            EXPECT_TRUE(c > ' ' && c < 0x7F) << "pass phrase byte " << int(c);
        EXPECT_EQ(client->CipherName(), row.cipherName);

        // The echo comes back enciphered with the key derived from that phrase.
        const std::string request = testwire::Join({testwire::Record({{21, "Y"}, {171, "session"}}),
                                                    testwire::Record({{255, "\xED\x95\x9C"}})});
        client->SendRequest("Z1", request);
        RawFrame frame;
        ASSERT_TRUE(client->ReadFrame(frame));
        EXPECT_EQ(frame.flags, 0x81);
        EXPECT_EQ(frame.command, "Z1");
        EXPECT_NE(frame.payload, request);
        EXPECT_EQ(testwire::Crypt(row.cipherName, testwire::DeriveKey(row.algo, row.bits, reply.phrase),
                                  frame.payload, false), request);
    }
}

TEST_F(KeyExchange, RotatesTheCipherFromOneConnectionToTheNext)
{
    Control("POLICY rotate aria-192-cfb,seed-128-ofb,aria-256-ofb");
    const char* expected[] = {"ARIA-192-CFB", "SEED-OFB", "ARIA-256-OFB", "ARIA-192-CFB"};
    for (const char* name : expected) {
        auto client = Keyed();
        EXPECT_EQ(client->CipherName(), name);
        std::string command;
        std::vector<testwire::Fields> records;
        ASSERT_TRUE(client->Exchange("Z1", testwire::Record({{44, "N"}}), command, records));
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0][44], "N") << name;
    }
}

TEST_F(KeyExchange, RotatesOverEveryCombinationByDefault)
{
    std::set<std::string> seen;
    for (int i = 0; i < 8; ++i) {
        A0Reply reply;
        auto client = Keyed(&reply);
        seen.insert(std::to_string(reply.algo) + "-" + std::to_string(reply.mode) + "-" + std::to_string(reply.bits));
    }
    EXPECT_EQ(seen.size(), 8u);
}

TEST_F(KeyExchange, AcceptsAnA0WithoutASetUpCode)
{
    auto client = Connected();
    client->SendFrame(0x01, "A0", "");
    RawFrame frame;
    ASSERT_TRUE(client->ReadFrame(frame));
    EXPECT_EQ(frame.command, "A0");
    EXPECT_EQ(frame.flags, 0x01);
    EXPECT_NE(Control("LAST cmd=A0").find("records=0"), std::string::npos);
}

TEST_F(KeyExchange, RekeysTheConnectionOnARepeatedA0)
{
    Control("POLICY rotate aria-128-ofb,seed-128-cfb");
    auto client = Keyed();
    EXPECT_EQ(client->CipherName(), "ARIA-128-OFB");
    A0Reply second;
    ASSERT_TRUE(client->KeyExchange(second));
    EXPECT_EQ(client->CipherName(), "SEED-CFB");
    std::string command;
    std::vector<testwire::Fields> records;
    ASSERT_TRUE(client->Exchange("Z1", testwire::Record({{101, "after"}}), command, records));
    EXPECT_EQ(records.at(0)[101], "after");
}

TEST_F(KeyExchange, AnnouncesARawEcbCipherAndThenRefusesEncipheredRequests)
{
    Control("POLICY raw 1 1 128");
    auto client = Connected();
    A0Reply reply;
    ASSERT_TRUE(client->KeyExchange(reply));
    EXPECT_EQ(reply.mode, 1);
    EXPECT_FALSE(client->IsKeyed());
    client->SendFrame(0x81, "Z1", "ciphertext");
    bool closed = false;
    EXPECT_EQ(client->ReadUntilClosed(closed), "");
    EXPECT_TRUE(closed);
}

TEST_F(KeyExchange, ClosesAConnectionThatSendsEncipheredDataBeforeA0)
{
    auto client = Connected();
    client->SendFrame(0x81, "Z1", "abc");
    bool closed = false;
    EXPECT_EQ(client->ReadUntilClosed(closed), "");
    EXPECT_TRUE(closed);
}

TEST_F(KeyExchange, TellsTheControlChannelWhichCipherAndPhraseItChose)
{
    Control("POLICY fixed aria-256-cfb");
    A0Reply reply;
    auto client = Keyed(&reply);
    EXPECT_EQ(Control("CIPHER"), "OK aria-256-cfb " + reply.phrase);
}
