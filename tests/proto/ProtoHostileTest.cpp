// A server that answers wrongly: replies of another command, key exchanges that set no cipher
// up, replies that never end or trickle in. Each request must fail, leave the public data
// alone and leave the object able to start afresh.
#include <winsock2.h>
#include "HexBytes.h"
#include "ProtoServer.h"
#include <cstring>

using namespace protoserver;

namespace {

const uint16_t kEcho = PROT_CMD('Z', '1');

// {240: code} alone: an error reply that says nothing.
std::string BareErrorHex(const char* code)
{
    std::string record;
    record.push_back(static_cast<char>(240));
    record.push_back(static_cast<char>(std::strlen(code)));
    record += code;
    return hexbytes::UpperHex(record);
}

class HostileTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        m_proto.Aim(m_ports.port, "1");
    }
    void Fault(const std::string& line)
    {
        ASSERT_EQ("OK", Control("FAULT " + line).substr(0, 2)) << line;
    }
    std::string Text() const { return std::string(CStringA(m_proto.Message().c_str())); }
    TestProto m_proto;
};

}

TEST_F(HostileTest, AReplyOfAnotherCommandFailsTheRequestAndIsNeverParsed)
{
    // The echo's records come back under a command whose parser would take them.
    ProtRecord upload;
    upload[192] = "12345";
    upload[205] = "99";
    ProtRecord download;
    download[40] = "Y";
    download[44] = "Y";
    struct Row { const char* command; ProtRecord record; };
    const Row rows[] = {{"H0", upload}, {"H1", download}};
    for (const Row& row : rows) {
        Fault(std::string("reply-as command=") + row.command + " cmd=Z1");
        EXPECT_EQ(-1, m_proto.Echo({row.record})) << row.command;
        EXPECT_EQ(C_ERROR, m_proto.ResultInfo.nReplyCmd) << row.command;
        EXPECT_EQ(IXO_SOCK_ERR_CMD_MISMATCH, m_proto.ResultInfo.nResultCode) << row.command;
        EXPECT_EQ(nullptr, m_proto.m_pConn) << row.command;
        EXPECT_STREQ("", m_proto.UploadInfo.szStoredSize) << row.command;
        EXPECT_STREQ("", m_proto.DownloadInfo.cAnswer) << row.command;
        EXPECT_STREQ("", m_proto.ContinueFlag) << row.command;
        EXPECT_EQ(0, m_proto.Echo({})) << row.command << ": " << Text();
    }
}

TEST_F(HostileTest, AReplyThatCameTwiceIsNotTakenForTheNextRequestsAnswer)
{
    // The copy goes out just before the next reply, too late for the check before sending:
    // the next request, of another command, meets it first.
    Fault("duplicate late=1 cmd=Z1");
    EXPECT_EQ(0, m_proto.Echo({}));
    m_proto.ClearResult();
    _PROT report;
    m_proto.NewMessage(report, PROT_CMD('Z', '4'));
    EXPECT_EQ(-1, m_proto.Request(report));
    EXPECT_EQ(IXO_SOCK_ERR_CMD_MISMATCH, m_proto.ResultInfo.nResultCode);
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    // Every exchange after it is in step again.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, m_proto.Echo({})) << i << ": " << Text();
}

TEST_F(HostileTest, BytesWaitingBeforeARequestMakeItStartAfresh)
{
    Fault("duplicate cmd=Z1");
    EXPECT_EQ(0, m_proto.Echo({}));
    CToviConn* first = m_proto.m_pConn;
    ASSERT_NE(nullptr, first);
    // The copy is on its way at once; give it time to arrive.
    for (int i = 0; i < 100 && first->IsUsable(); ++i)
        Sleep(10);
    EXPECT_FALSE(first->IsUsable());
    m_proto.ClearResult();
    _PROT report;
    m_proto.NewMessage(report, PROT_CMD('Z', '4'));
    EXPECT_EQ(0, m_proto.Request(report)) << Text();
    // A second key exchange: the request went out on a new connection.
    std::string count = Control("COUNT");
    EXPECT_EQ("2", Control::Value(count, "a0")) << count;
}

TEST_F(HostileTest, AKeyExchangeThatSetsNoCipherUpFails)
{
    struct Row { std::string faults[2]; int code; };
    const Row rows[] = {
        // An error reply without a message would count as success, with no cipher to go on.
        {{"payload hex=" + BareErrorHex("1500") + " cmd=A0", "reply-as command=E0 cmd=A0"}, IXO_SOCK_ERR_KEY_SETUP},
        {{"reply-as command=Z1 cmd=A0", ""}, IXO_SOCK_ERR_CMD_MISMATCH},
    };
    for (const Row& row : rows) {
        for (const std::string& fault : row.faults) {
            if (!fault.empty())
                Fault(fault);
        }
        EXPECT_EQ(-1, m_proto.GetSecureCode(nullptr, m_proto.ServerAddress.szHost, m_proto.ServerAddress.nPort,
                                            m_proto.ServerAddress.szCode, kEcho))
            << row.faults[0];
        EXPECT_NE(L"", m_proto.Message()) << row.faults[0];
        EXPECT_EQ(row.code, m_proto.ResultInfo.nResultCode) << row.faults[0];
        ASSERT_NE(nullptr, m_proto.m_pConn);
        EXPECT_EQ(nullptr, m_proto.m_pConn->m_pEncCtx) << row.faults[0];
        // The next request makes a connection of its own.
        EXPECT_EQ(0, m_proto.Echo({})) << row.faults[0] << ": " << Text();
        m_proto.CloseSocket();
    }
}

TEST_F(HostileTest, AReplyWhoseFragmentsNeverEndFailsAtItsBound)
{
    Fault("endless-fragments cmd=Z1");
    int result = 0;
    const bool ended = RunBounded(120, [&] { result = m_proto.Echo({}); }, [&] { ShutConnection(m_proto); });
    ASSERT_TRUE(ended) << "the request was still joining fragments";
    EXPECT_EQ(-1, result);
    EXPECT_EQ(IXO_SOCK_ERR_FRAME_LEN, m_proto.ResultInfo.nResultCode) << Text();
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_EQ(0, m_proto.Echo({})) << Text();
}

TEST_F(HostileTest, AReplyThatTricklesInFailsWith19WithinItsBound)
{
    // One byte every 200 ms keeps each receive within its 1 s time-out; a small frame may take
    // four time-outs.
    Fault("trickle ms=200 cmd=Z1");
    ProtRecord record;
    record[101] = std::string(200, 'x');
    int result = 0;
    const DWORD start = GetTickCount();
    const bool ended = RunBounded(60, [&] { result = m_proto.Echo({record}); }, [&] { ShutConnection(m_proto); });
    const DWORD took = GetTickCount() - start;
    ASSERT_TRUE(ended) << "the request waited for the whole trickle";
    EXPECT_EQ(-1, result);
    EXPECT_EQ(IXO_SOCK_ERR_TIMEOUT, m_proto.ResultInfo.nResultCode) << Text();
    EXPECT_EQ(nullptr, m_proto.m_pConn);
    EXPECT_GE(took, 4000u);
    EXPECT_LT(took, 10000u);
    EXPECT_EQ(0, m_proto.Echo({})) << Text();
}

TEST(FrameTimeBound, IsFourTimeOutsAndOneMoreFor64KB)
{
    struct Row { DWORD timeout; uint64_t bytes; uint64_t bound; };
    const Row rows[] = {
        {1000, 4, 4000},
        {5000, 65535, 20000},
        {5000, 65536, 25000},
        {5000, 0x200000, 180000},   // the largest frame: 36 time-outs
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.bound, CToviConn::FrameTimeBoundMs(row.timeout, row.bytes)) << row.timeout << " " << row.bytes;
}
