// CToviProto: construction, the connection and its cipher (GetSecureCode), the common request
// path and the small settings of the connection.
#include <winsock2.h>
#include "ToviProto.h"
#include "ProtoFields.h"
#include "ToviConn.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

using namespace protofield;

namespace {

constexpr unsigned kMsgNetworkError = 12123;

}

CToviProto::CToviProto()
    : m_pConn(nullptr), ContinueFlag(), NoTimerFlag(0), ServerVersionInfo(), WebLogin(), ConnectTimeout(),
      SocketTimeout(), RetryTimeout(), RetryCount(), ServerIn(), ServerOut(), LoginOption(), TitlebarColor(),
      UpdateUrl(), AdDomain(), m_bCallerFlag1(0), m_bCallerFlag2(1), m_bCallerFlag3(1)
{
    std::memset(&LoginInfo, 0, sizeof LoginInfo);
    std::memset(ServerAddress.szHost, 0, sizeof ServerAddress.szHost);
    std::memset(ServerAddress.szCode, 0, sizeof ServerAddress.szCode);
    ServerAddress.nPort = -1;
    std::memset(&DownloadInfo, 0, sizeof DownloadInfo);
    std::memset(&ResultInfo, 0, sizeof ResultInfo);
}

CToviProto::~CToviProto()
{
    DeleteConnection();
}

void CToviProto::DeleteConnection()
{
    if (m_pConn) {
        delete m_pConn;
        m_pConn = nullptr;
    }
}

int CToviProto::CloseSocket()
{
    DeleteConnection();
    return 0;
}

void CToviProto::ZeroMemoryPROT(_PROT* msg)
{
    if (!msg)
        return;
    msg->length = 0;
    msg->prefixSize = 0;
    msg->flags = 0;
    msg->command = 0;
    msg->records.clear();
}

void CToviProto::NewMessage(_PROT& msg, uint16_t command)
{
    ZeroMemoryPROT(&msg);
    msg.flags = FLAG_ENCRYPTED;
    msg.command = command;
}

ProtRecord CToviProto::SessionRecord() const
{
    ProtRecord record;
    record[kSessionId] = std::string(LoginInfo.SessionId, strnlen(LoginInfo.SessionId, sizeof LoginInfo.SessionId));
    return record;
}

ProtRecord CToviProto::SessionRecord(const char* sessionId)
{
    ProtRecord record;
    record[kSessionId] = sessionId ? std::string(sessionId) : std::string();
    return record;
}

void CToviProto::ClearResult()
{
    std::memset(&ResultInfo, 0, sizeof ResultInfo);
}

void CToviProto::SetResult(uint32_t replyCmd, int code, const wchar_t* message)
{
    ResultInfo.nReplyCmd = replyCmd;
    ResultInfo.nResultCode = code;
    std::wcsncpy(ResultInfo.wszMessage, message ? message : L"", 255);
    ResultInfo.wszMessage[255] = 0;
}

int CToviProto::GetSecureCode(HWND wnd, char* host, int port, char* code, uint16_t pendingCmd)
{
    (void)wnd;
    if (m_pConn) {
        if (m_pConn->CheckServerConnect() == 0 && m_pConn->IsUsable())
            return 0;
        DeleteConnection();
    }
    ClearResult();
    m_pConn = new (std::nothrow) CToviConn(this);
    if (!m_pConn) {
        CString text;
        text.Format(L"%s Create Instance.", CToviMsg::GetString(kMsgNetworkError).GetString());
        SetResult(C_ERROR, -1, text.GetString());
        return -1;
    }
    m_pConn->m_wLastCmd = pendingCmd;
    int result = m_pConn->Connect(host, port);
    if (result != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviProto::GetSecureCode ] Connect Fail %x \n", pendingCmd);
        m_pConn->Disconnect();
        return result;
    }

    _PROT msg;
    ZeroMemoryPROT(&msg);
    msg.command = C_SECURE_CODE;
    ProtRecord record;
    if (code)
        record[kSessionCode] = code;
    msg.records.push_back(record);
    result = m_pConn->SendProt(msg);
    if (result != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] SendProt ERROR! [ %d ] ", result);
        m_pConn->Disconnect();
        return result;
    }
    if (ResultInfo.wszMessage[0])
        return -1;
    if (!m_pConn->m_pEncCtx) {
        // The answer set no cipher up (an error reply that says nothing): every request after it
        // would fail, so the key exchange has.
        TraceLog(TRACE_ERROR, L"[ CToviProto::GetSecureCode ] no session cipher\n");
        SetLastError(0);
        m_pConn->SetError(IXO_SOCK_ERR_KEY_SETUP);
        m_pConn->Disconnect();
        return -1;
    }
    return 0;
}

int CToviProto::EnsureConnection(uint16_t pendingCommand)
{
    if (m_pConn && !m_pConn->IsUsable())
        DeleteConnection();
    if (m_pConn)
        return 0;
    if (GetSecureCode(nullptr, ServerAddress.szHost, ServerAddress.nPort, ServerAddress.szCode, pendingCommand) != 0) {
        DeleteConnection();
        return -1;
    }
    return 0;
}

int CToviProto::Request(_PROT& msg, unsigned flags)
{
    // A connection left without a socket by a failed set-up, given up by the receive side, or
    // holding bytes nobody asked for would fail this request or answer it wrongly: start afresh.
    if (EnsureConnection(msg.command) != 0)
        return -1;
    const int code = m_pConn->SendProt(msg);
    // A stream the receive side gave up on is never used again.
    bool drop = m_pConn->IsDropped();
    int result = code;
    if (code == 0) {
        if (ResultInfo.wszMessage[0]) {
            result = -1;
            if (!(flags & kKeepOnErrorReply))
                drop = true;
        }
    } else if (code == IXO_SOCK_ERR_SEND || code == IXO_SOCK_ERR_TIMEOUT) {
        if (!(flags & kKeepOnSendError))
            drop = true;
    }
    if (drop)
        DeleteConnection();
    return result;
}

int CToviProto::CheckServerCon()
{
    return m_pConn ? m_pConn->CheckServerConnect() : IXO_SOCK_ERR_INVALID_SOCKET;
}

void CToviProto::SetBandWidth(char* kb)
{
    if (m_pConn && kb && *kb)
        m_pConn->SetBandWidth(std::strtoull(kb, nullptr, 10) * 1024);
}

void CToviProto::SetUpDownFactor(char* factor)
{
    // Kept as given; the upload loop clamps it to 1-32 pieces.
    if (m_pConn && factor && *factor)
        m_pConn->m_nFactor = std::atoi(factor);
}

void CToviProto::SetPolicyKey(CString key, DWORD number)
{
    if (m_pConn) {
        m_pConn->m_strPolicyKey = key;
        m_pConn->m_dwPolicyNo = number;
    }
}
