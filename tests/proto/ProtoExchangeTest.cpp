// Requests against the test server: the A0 exchange with every cipher, the request pattern's
// outcomes, error replies, fragments both ways and every transport failure the server can cause.
#include <winsock2.h>
#include "ProtoServer.h"
#include "ToviMsg.h"
#include <cstring>

using namespace protoserver;

namespace {

const uint16_t kEcho = PROT_CMD('Z', '1');
const uint16_t kBulk = PROT_CMD('Z', '5');

std::vector<ProtRecord> SampleRecords()
{
    ProtRecord first;
    first[21] = "1";
    first[9] = std::string(32, 'k');
    first[171] = "session";
    ProtRecord second;
    second[101] = std::string(1000, 'x');
    second[255] = "\xED\x95\x9C";  // UTF-8 text
    return {first, second};
}

class ExchangeTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        m_proto.Aim(m_ports.port, "1");
    }
    TestProto m_proto;
};

}

// The echo reply's command is one the parser does not know: accepted, nothing stored.
TEST_F(ExchangeTest, AFreshObjectConnectsSendsA0InTheClearThenTheRequestEnciphered)
{
    ASSERT_EQ(0, m_proto.Echo(SampleRecords())) << std::string(CStringA(m_proto.Message().c_str()));
    EXPECT_EQ(L"", m_proto.Message());
    ASSERT_NE(nullptr, m_proto.m_pConn);
    std::string count = Control("COUNT");
    EXPECT_EQ("1", Control::Value(count, "a0")) << count;
    std::string last = Control("LAST cmd=Z1");
    EXPECT_EQ("81", Control::Value(last, "flags")) << last;
    EXPECT_EQ("2", Control::Value(last, "records")) << last;
    // The server saw the records as sent: ids in order, values whole.
    EXPECT_NE(std::string::npos, last.find(",171:73657373696F6E/")) << last;
}

TEST_F(ExchangeTest, A0WorksWithEveryAlgorithmModeAndKeySize)
{
    const char* policies[] = {"seed-128-ofb", "seed-128-cfb", "aria-128-ofb", "aria-128-cfb", "aria-192-ofb",
                              "aria-192-cfb", "aria-256-ofb", "aria-256-cfb", "seed-256-ofb"};
    for (const char* policy : policies) {
        ASSERT_EQ("OK", Control(std::string("POLICY fixed ") + policy).substr(0, 2)) << policy;
        TestProto proto;
        proto.Aim(m_ports.port);
        EXPECT_EQ(0, proto.Echo(SampleRecords())) << policy << ": " << std::string(CStringA(proto.Message().c_str()));
        // The server deciphered exactly what was sent, and a second request still agrees.
        EXPECT_EQ("2", Control::Value(Control("LAST cmd=Z1"), "records")) << policy;
        EXPECT_EQ(0, proto.Echo(SampleRecords())) << policy;
        ASSERT_NE(nullptr, proto.m_pConn) << policy;
        ASSERT_NE(nullptr, proto.m_pConn->m_pEncCtx) << policy;
        const unsigned algo = std::strncmp(policy, "seed", 4) == 0 ? 1 : 2;
        EXPECT_EQ(algo, proto.m_pConn->m_pEncCtx->algo) << policy;
    }
}

TEST_F(ExchangeTest, AnA0ReplyChoosingEcbOrCbcIsRefusedWith15)
{
    const char* policies[] = {"raw 1 1 128", "raw 1 2 128", "raw 2 1 256", "raw 2 2 192"};
    for (const char* policy : policies) {
        ASSERT_EQ("OK", Control(std::string("POLICY ") + policy).substr(0, 2)) << policy;
        TestProto proto;
        proto.Aim(m_ports.port);
        EXPECT_EQ(-1, proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, proto.ServerAddress.nPort,
                                          proto.ServerAddress.szCode, kEcho)) << policy;
        EXPECT_EQ(C_ERROR, proto.ResultInfo.nReplyCmd) << policy;
        EXPECT_EQ(IXO_SOCK_ERR_KEY_SETUP, proto.ResultInfo.nResultCode) << policy;
        EXPECT_EQ(L"Receive data error.", proto.Message()) << policy;
        // Through the request path the object is left without a connection.
        EXPECT_EQ(-1, proto.Echo(SampleRecords())) << policy;
        EXPECT_EQ(nullptr, proto.m_pConn) << policy;
    }
}

TEST_F(ExchangeTest, ErrorRepliesFailTheRequestAndDropTheConnection)
{
    struct Row { const char* reply; uint16_t command; };
    const Row rows[] = {{"E0", C_ERROR}, {"E1", C_ERROR_WARN}, {"E2", C_ERROR_OTHER}};
    for (const Row& row : rows) {
        ASSERT_EQ("OK", Control(std::string("FAULT error reply=") + row.reply + " code=3001 cmd=Z1 -- abc 한글").substr(0, 2));
        EXPECT_EQ(-1, m_proto.Echo(SampleRecords())) << row.reply;
        EXPECT_EQ(row.command, m_proto.ResultInfo.nReplyCmd) << row.reply;
        EXPECT_EQ(3001, m_proto.ResultInfo.nResultCode) << row.reply;
        EXPECT_EQ(L"abc 한글", m_proto.Message()) << row.reply;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << row.reply;
    }
    // The next request reconnects with the address block.
    EXPECT_EQ(0, m_proto.Echo(SampleRecords()));
    EXPECT_EQ(0, m_proto.ResultInfo.nResultCode);
}

TEST_F(ExchangeTest, AnErrorMessageIsCutToItsSlotWithoutSplittingAPair)
{
    // A character outside the basic plane travels as two three-byte halves and takes two units
    // of the 255 that the message slot holds.
    const std::string pair = "\xED\xA0\xBD\xED\xB8\x80";
    const std::wstring widePair = L"\xD83D\xDE00";
    struct Row { size_t letters; std::wstring expected; };
    const Row rows[] = {
        {253, std::wstring(253, L'a') + widePair},   // the pair ends exactly at the slot's end
        {254, std::wstring(254, L'a')},              // the cut would split it: it goes whole
        {300, std::wstring(255, L'a')},
    };
    for (const Row& row : rows) {
        ASSERT_EQ("OK", Control("FAULT error reply=E1 code=3001 cmd=Z1 -- " + std::string(row.letters, 'a') + pair)
                            .substr(0, 2));
        EXPECT_EQ(-1, m_proto.Echo(SampleRecords())) << row.letters;
        EXPECT_EQ(row.expected, m_proto.Message()) << row.letters;
    }
}

TEST_F(ExchangeTest, FragmentedRepliesAreJoinedAndDecoded)
{
    ASSERT_EQ("OK", Control("FAULT fragment records=1 count=2 cmd=Z1").substr(0, 2));
    std::vector<ProtRecord> records = SampleRecords();
    records.push_back(records[0]);
    // Two fragmented replies in a row on one connection.
    EXPECT_EQ(0, m_proto.Echo(records)) << std::string(CStringA(m_proto.Message().c_str()));
    EXPECT_EQ(0, m_proto.Echo(records)) << std::string(CStringA(m_proto.Message().c_str()));
    EXPECT_NE(nullptr, m_proto.m_pConn);

    // A reply past 2 MB has to come in several frames.
    m_proto.ClearResult();
    _PROT bulk;
    m_proto.NewMessage(bulk, kBulk);
    ProtRecord ask;
    ask[166] = "3";
    ask[192] = "1000000";
    bulk.records.push_back(ask);
    EXPECT_EQ(0, m_proto.Request(bulk)) << std::string(CStringA(m_proto.Message().c_str()));
    EXPECT_EQ(0, m_proto.Echo(SampleRecords()));
}

TEST_F(ExchangeTest, ARequestPastOneFrameGoesOutInFragmentsCutBetweenRecords)
{
    ProtRecord big;
    big[101] = std::string(1500000, 'a');
    ProtRecord other;
    other[102] = std::string(1500000, 'b');
    ProtRecord small;
    small[21] = "Y";
    EXPECT_EQ(0, m_proto.Echo({big, other, small})) << std::string(CStringA(m_proto.Message().c_str()));
    std::string last = Control("LAST cmd=Z1");
    EXPECT_EQ("2", Control::Value(last, "frames")) << last.substr(0, 200);
    EXPECT_EQ("3", Control::Value(last, "records")) << last.substr(0, 200);
}

TEST_F(ExchangeTest, ReceiveFailuresReachTheResultBlockAndDropTheConnection)
{
    struct Row { const char* fault; int code; };
    const Row rows[] = {
        {"close", IXO_SOCK_ERR_RECV},
        {"close-mid-frame bytes=3", IXO_SOCK_ERR_RECV},
        {"close-mid-frame", IXO_SOCK_ERR_RECV},
        {"prefix hex=00", IXO_SOCK_ERR_LEN_PREFIX},
        {"prefix hex=80", IXO_SOCK_ERR_LEN_PREFIX},
        {"prefix hex=F8", IXO_SOCK_ERR_LEN_PREFIX},
        {"flags value=80", IXO_SOCK_ERR_FLAGS},
        {"flags value=83", IXO_SOCK_ERR_FLAGS},
        {"length value=2", IXO_SOCK_ERR_FRAME_LEN},
        {"length value=0x1FFFFD size=4", IXO_SOCK_ERR_FRAME_LEN},
        {"truncate", IXO_SOCK_ERR_RECORD_SHORT},
        {"payload hex=C800", IXO_SOCK_ERR_LEN_PREFIX},
        {"fragment records=1 mismatch command=Z9", IXO_SOCK_ERR_CMD_MISMATCH},
        {"silent", IXO_SOCK_ERR_TIMEOUT},
    };
    for (const Row& row : rows) {
        std::string fault(row.fault);
        // Faults with two kinds are set one by one.
        size_t split = fault.find(" mismatch");
        if (split != std::string::npos) {
            ASSERT_EQ("OK", Control("FAULT " + fault.substr(0, split) + " cmd=Z1").substr(0, 2)) << row.fault;
            ASSERT_EQ("OK", Control("FAULT" + fault.substr(split) + " cmd=Z1").substr(0, 2)) << row.fault;
        } else {
            ASSERT_EQ("OK", Control("FAULT " + fault + " cmd=Z1").substr(0, 2)) << row.fault;
        }
        m_proto.ResultInfo.nResultCode = 0;
        EXPECT_EQ(-1, m_proto.Echo(SampleRecords())) << row.fault;
        EXPECT_EQ(C_ERROR, m_proto.ResultInfo.nReplyCmd) << row.fault;
        EXPECT_EQ(row.code, m_proto.ResultInfo.nResultCode) << row.fault;
        EXPECT_NE(L"", m_proto.Message()) << row.fault;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << row.fault;
        // The next request starts afresh and works.
        Control("RESET");
        EXPECT_EQ(0, m_proto.Echo(SampleRecords())) << "after " << row.fault << ": "
                                                    << std::string(CStringA(m_proto.Message().c_str()));
    }
}

TEST_F(ExchangeTest, ALateAnswerWithinTheSocketTimeOutIsFine)
{
    ASSERT_EQ("OK", Control("FAULT delay ms=300 cmd=Z1").substr(0, 2));
    EXPECT_EQ(0, m_proto.Echo(SampleRecords()));
}

TEST_F(ExchangeTest, TheClientErrorTextNamesTheCodeAndTheCommand)
{
    ASSERT_EQ("OK", Control("FAULT close cmd=Z1").substr(0, 2));
    EXPECT_EQ(-1, m_proto.Echo(SampleRecords()));
    const std::wstring message = m_proto.Message();
    const std::wstring lead = CToviMsg::GetString(12123).GetString();
    EXPECT_EQ(0u, message.find(lead)) << std::string(CStringA(message.c_str()));
    EXPECT_NE(std::wstring::npos, message.find(L"[10][5a31]")) << std::string(CStringA(message.c_str()));
}

TEST_F(ExchangeTest, SendSideFailuresAreReturnedAsTheyAre)
{
    ASSERT_EQ(0, m_proto.Echo(SampleRecords()));
    // A fixed-size field of the wrong length: nothing is sent, the connection stays.
    ProtRecord wrong;
    wrong[21] = "12";
    EXPECT_EQ(IXO_SOCK_ERR_FIELD_LEN, m_proto.Echo({wrong}));
    EXPECT_NE(nullptr, m_proto.m_pConn);

    // A value too long to code.
    ProtRecord huge;
    huge[101] = std::string(0x200000, 'h');
    EXPECT_EQ(IXO_SOCK_ERR_LEN_RANGE, m_proto.Echo({huge}));
    EXPECT_NE(nullptr, m_proto.m_pConn);

    // A socket that can no longer send: 9 in the result block, the connection deleted.
    shutdown(static_cast<SOCKET>(m_proto.m_pConn->m_hSocket), SD_SEND);
    EXPECT_EQ(IXO_SOCK_ERR_SEND, m_proto.Echo(SampleRecords()));
    EXPECT_EQ(IXO_SOCK_ERR_SEND, m_proto.ResultInfo.nResultCode);
    EXPECT_NE(std::wstring::npos, m_proto.Message().find(L"[9][5a31]"));
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_EQ(0, m_proto.Echo(SampleRecords()));
}

TEST_F(ExchangeTest, ConnectFailuresGiveTheirCodes)
{
    // A name that starts with a digit is looked up by name, and this one does not exist.
    TestProto byName;
    byName.Aim(m_ports.port);
    std::strcpy(byName.ServerAddress.szHost, "1nohost.invalid");
    EXPECT_EQ(IXO_SOCK_ERR_GET_HOST, byName.GetSecureCode(nullptr, byName.ServerAddress.szHost, m_ports.port,
                                                          byName.ServerAddress.szCode, kEcho));
    EXPECT_EQ(IXO_SOCK_ERR_GET_HOST, byName.ResultInfo.nResultCode);
    // The connection object left behind is not used again: the request tries afresh.
    EXPECT_EQ(-1, byName.Echo(SampleRecords()));
    EXPECT_EQ(IXO_SOCK_ERR_GET_HOST, byName.ResultInfo.nResultCode);
    EXPECT_EQ(nullptr, byName.m_pConn);

    // "localhost" is a name that resolves.
    TestProto local;
    local.Aim(m_ports.port);
    std::strcpy(local.ServerAddress.szHost, "localhost");
    EXPECT_EQ(0, local.Echo(SampleRecords()));

    // Nobody listens: the connect wait ends in 19.
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = inet_addr("127.0.0.1");
    bind(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    int len = sizeof addr;
    getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
    const int freePort = ntohs(addr.sin_port);
    closesocket(probe);
    TestProto refused;
    refused.Aim(freePort);
    std::strcpy(refused.ConnectTimeout, "1");
    EXPECT_EQ(IXO_SOCK_ERR_TIMEOUT, refused.GetSecureCode(nullptr, refused.ServerAddress.szHost, freePort,
                                                           refused.ServerAddress.szCode, kEcho));
    EXPECT_EQ(IXO_SOCK_ERR_TIMEOUT, refused.ResultInfo.nResultCode);
}

TEST_F(ExchangeTest, TheProbeTellsALiveConnectionFromNone)
{
    EXPECT_EQ(IXO_SOCK_ERR_INVALID_SOCKET, m_proto.CheckServerCon());
    ASSERT_EQ(0, m_proto.Echo(SampleRecords()));
    EXPECT_EQ(0, m_proto.CheckServerCon());
    // GetSecureCode on a live connection sends nothing.
    const std::string before = Control::Value(Control("COUNT"), "a0");
    EXPECT_EQ(0, m_proto.GetSecureCode(nullptr, m_proto.ServerAddress.szHost, m_proto.ServerAddress.nPort,
                                       m_proto.ServerAddress.szCode, kEcho));
    EXPECT_EQ(before, Control::Value(Control("COUNT"), "a0"));
    EXPECT_EQ(0, m_proto.CloseSocket());
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_EQ(IXO_SOCK_ERR_INVALID_SOCKET, m_proto.CheckServerCon());
}

TEST_F(ExchangeTest, WithoutASessionCipherEncipheredMessagesFailWith17And18)
{
    TestProto owner;
    owner.Aim(m_ports.port);
    CToviConn* conn = new CToviConn(&owner);
    owner.m_pConn = conn;
    ASSERT_EQ(0, conn->Connect("127.0.0.1", m_ports.port));
    _PROT msg;
    owner.NewMessage(msg, kEcho);
    msg.records = SampleRecords();
    EXPECT_EQ(IXO_SOCK_ERR_ENCRYPT, conn->SendProt(msg));

    // A clear request whose reply claims to be enciphered.
    ASSERT_EQ("OK", Control("FAULT flags value=81 cmd=Z1").substr(0, 2));
    _PROT clear;
    CToviProto::ZeroMemoryPROT(&clear);
    clear.command = kEcho;
    clear.records = SampleRecords();
    EXPECT_EQ(0, conn->SendProt(clear));
    EXPECT_EQ(IXO_SOCK_ERR_DECRYPT, owner.ResultInfo.nResultCode);
    EXPECT_TRUE(conn->IsDropped());
}
