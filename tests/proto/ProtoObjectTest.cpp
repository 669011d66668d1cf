// The protocol object without a server: its initial state, the connection settings, the
// upload factor's bounds and the network check.
#include "ProtoServer.h"
#include "ProtoNetwork.h"
#include <memory>
#include <type_traits>
#include <wininet.h>

using namespace protoserver;

static_assert(!std::is_copy_constructible<CToviProto>::value, "a copy would delete the connection twice");
static_assert(!std::is_copy_assignable<CToviProto>::value, "a copy would delete the connection twice");

namespace {

// Answers the connection-state query as told while it is installed.
class FakeNetwork : public CNetworkFacts {
public:
    FakeNetwork() : m_previous(CNetworkFacts::Install(this)) {}
    ~FakeNetwork() override { CNetworkFacts::Install(m_previous); }
    BOOL ConnectedState(DWORD* flags) override
    {
        *flags = state;
        return answer;
    }
    BOOL answer = TRUE;
    DWORD state = 0;
private:
    CNetworkFacts* m_previous;
};

}

TEST(ProtoObject, StartsWithoutAConnectionAndWithAnEmptyResult)
{
    CToviProto proto;
    EXPECT_EQ(nullptr, proto.m_pConn);
    EXPECT_EQ(-1, proto.ServerAddress.nPort);
    EXPECT_EQ(0, proto.m_bCallerFlag1);
    EXPECT_EQ(1, proto.m_bCallerFlag2);
    EXPECT_EQ(1, proto.m_bCallerFlag3);
    EXPECT_EQ(0, proto.ResultInfo.nResultCode);
    EXPECT_EQ(L'\0', proto.ResultInfo.wszMessage[0]);
    EXPECT_EQ(IXO_SOCK_ERR_INVALID_SOCKET, proto.CheckServerCon());
}

TEST(ProtoObject, SettingsNeedAConnectionAndATextToChangeAnything)
{
    CToviProto proto;
    proto.SetBandWidth(const_cast<char*>("100"));
    proto.SetUpDownFactor(const_cast<char*>("4"));
    EXPECT_EQ(nullptr, proto.m_pConn);

    proto.m_pConn = new CToviConn(&proto);
    proto.SetBandWidth(const_cast<char*>("100"));
    EXPECT_EQ(102400u, proto.m_pConn->BandWidth());
    proto.SetBandWidth(const_cast<char*>(""));
    EXPECT_EQ(102400u, proto.m_pConn->BandWidth());
    proto.SetBandWidth(const_cast<char*>("0"));
    EXPECT_EQ(0u, proto.m_pConn->BandWidth());
    proto.SetUpDownFactor(const_cast<char*>("4"));
    EXPECT_EQ(4, proto.m_pConn->m_nFactor);
    proto.SetPolicyKey(L"policy", 3);
    EXPECT_EQ(CString(L"policy"), proto.m_pConn->m_strPolicyKey);
    EXPECT_EQ(0, proto.CloseSocket());
    EXPECT_EQ(nullptr, proto.m_pConn);
}

TEST(ProtoObject, TheUploadFactorStaysWithin1To32Pieces)
{
    CToviProto proto;
    // About 2 MB: never on the stack.
    std::unique_ptr<CToviConn> conn(new CToviConn(&proto));
    struct Row { int factor; int effective; };
    const Row rows[] = {{-5, 2}, {0, 2}, {1, 1}, {2, 2}, {31, 31}, {32, 32}, {33, 32}, {100000, 32}};
    for (const Row& row : rows) {
        conn->m_nFactor = row.factor;
        EXPECT_EQ(row.effective, conn->EffectiveFactor()) << "factor " << row.factor;
    }
}

TEST(ProtoObject, TheNetworkCountsAsThereForModemLanOrProxy)
{
    FakeNetwork network;
    struct Row { BOOL answer; DWORD state; bool connected; };
    const Row rows[] = {
        {TRUE, INTERNET_CONNECTION_LAN, true},
        {TRUE, INTERNET_CONNECTION_MODEM, true},
        {TRUE, INTERNET_CONNECTION_PROXY | INTERNET_CONNECTION_CONFIGURED, true},
        {TRUE, INTERNET_CONNECTION_OFFLINE, false},
        {FALSE, INTERNET_CONNECTION_OFFLINE, false},
        {FALSE, 0, false},
        {TRUE, INTERNET_RAS_INSTALLED, false},
    };
    for (const Row& row : rows) {
        network.answer = row.answer;
        network.state = row.state;
        EXPECT_EQ(row.connected, CToviProto::CheckNetwork()) << "answer " << row.answer << " state " << row.state;
    }
}

TEST(ProtoObject, TheBandWidthIsReadWholeWhileAnotherThreadWritesIt)
{
    // Two values whose halves differ: a torn read would mix them.
    const uint64_t a = 0x00000000FFFFFFFFull, b = 0xFFFFFFFF00000000ull;
    CToviProto proto;
    std::unique_ptr<CToviConn> owned(new CToviConn(&proto));
    CToviConn& conn = *owned;
    volatile LONG stop = 0;
    struct Writer {
        CToviConn* conn;
        volatile LONG* stop;
        uint64_t a, b;
        static DWORD WINAPI Run(LPVOID param)
        {
            Writer* w = static_cast<Writer*>(param);
            while (!*w->stop) {
                w->conn->SetBandWidth(w->a);
                w->conn->SetBandWidth(w->b);
            }
            return 0;
        }
    } writer = {&conn, &stop, a, b};
    conn.SetBandWidth(a);
    HANDLE thread = CreateThread(nullptr, 0, Writer::Run, &writer, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    int torn = 0;
    for (int i = 0; i < 300000; ++i) {
        const uint64_t seen = conn.BandWidth();
        if (seen != a && seen != b)
            ++torn;
    }
    InterlockedExchange(&stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(0, torn);
}
