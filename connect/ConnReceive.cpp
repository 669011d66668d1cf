// CToviConn, receive side: the receive thread, one frame, one message, and what a failed
// receive leaves behind.
#include <winsock2.h>
#include "ToviConn.h"
#include "ToviProto.h"
#include "ConnTrace.h"
#include "Frame.h"
#include "RecordCodec.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <cstring>
#include <exception>

namespace {

bool IsErrorReply(uint16_t command)
{
    return command == C_ERROR || command == C_ERROR_WARN || command == C_ERROR_OTHER;
}

}

UINT CToviConn::ReceiveThread(LPVOID param)
{
    CToviConn* conn = static_cast<CToviConn*>(param);
    WaitForSingleObject(conn->m_hRequestSent, INFINITE);
    ResetEvent(conn->m_hRequestSent);
    while (!conn->m_bStop) {
        conn->ReceiveOne();
        WaitForSingleObject(conn->m_hRequestSent, INFINITE);
        ResetEvent(conn->m_hRequestSent);
    }
    return 0;
}

void CToviConn::ReceiveOne()
{
    m_csRecv.Lock();
    try {
        _PROT msg;
        int code = RecvProt(msg);
        if (code != 0) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveThread ] RecvProt Error --> ErrCode = [ %d ]\n", code);
            FailReceive(code);
        } else if (!ReplyBelongs(msg.command)) {
            // A reply of an earlier request, or of another one altogether: nothing of it is
            // read, and the stream it came on is out of step for good.
            TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveThread ] reply [ %x ] to request [ %x ]\n", msg.command,
                     m_wLastCmd);
            FailReceive(IXO_SOCK_ERR_CMD_MISMATCH);
        } else if ((m_nLastFlags & FLAG_MORE) && !IsErrorReply(msg.command)) {
            // Only an acknowledgement of a fragment: the request's answer comes after its last frame.
        } else {
            int parsed = m_pOwner->ParseReply(msg);
            if (parsed != 0) {
                TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveThread ] ReceiveData Error! [ %x ]\n", msg.command);
                m_pOwner->SetResult(C_ERROR, parsed, L"Receive data error.");
                DropStream();
            } else {
                TraceReceive(msg.command);
                if (msg.command == C_DNLOAD_FILE) {
                    m_bStreamArrived = true;
                    ReceiveDownload();
                }
            }
        }
    } catch (const std::exception&) {
        // No memory for a reply: the requester must not wait for ever.
        TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveThread ] exception\n");
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        SetError(IXO_SOCK_ERR_RECV);
        DropStream();
    }
    m_csRecv.Unlock();
    SetEvent(m_hReplyDone);
}

bool CToviConn::ReplyBelongs(uint16_t reply) const
{
    if (IsErrorReply(reply))
        return true;
    // File data answers only a request that gave it somewhere to go.
    if (reply == C_DNLOAD_FILE)
        return !(m_nLastFlags & FLAG_MORE) && DownloadPending();
    if (m_nLastFlags & FLAG_MORE)
        return true;
    return reply == m_wLastCmd;
}

void CToviConn::FailReceive(int code)
{
    // 10 and 19 were stored where the receive failed. The others mean the stream is out of
    // step: the waiting request must fail rather than succeed with nothing parsed.
    if (code != IXO_SOCK_ERR_RECV && code != IXO_SOCK_ERR_TIMEOUT) {
        SetLastError(0);
        SetError(code);
    }
    DropStream();
}

void CToviConn::DropStream()
{
    InterlockedExchange(&m_bDropped, 1);
    if (m_hSocket != INVALID_SOCKET)
        shutdown(static_cast<SOCKET>(m_hSocket), SD_BOTH);
}

int CToviConn::ReceiveExact(unsigned char* dest, int count)
{
    if (m_hSocket == INVALID_SOCKET)
        return IXO_SOCK_ERR_INVALID_SOCKET;
    int got = 0;
    while (got < count) {
        WSASetLastError(0);
        int n = recv(static_cast<SOCKET>(m_hSocket), reinterpret_cast<char*>(dest + got), count - got, 0);
        if (n <= 0) {
            int err = WSAGetLastError();
            int code = err == WSAETIMEDOUT ? IXO_SOCK_ERR_TIMEOUT : IXO_SOCK_ERR_RECV;
            WSASetLastError(err);
            SetError(code);
            return code;
        }
        got += n;
        // Each receive has its time-out, but a frame that trickles in would never end: the
        // frame as a whole has its own bound.
        const uint64_t now = GetTickCount64();
        if (m_nFrameStartTick == 0)
            m_nFrameStartTick = now;
        if (got < count && now - m_nFrameStartTick > m_nFrameBoundMs) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::ReceiveData ] frame still incomplete after %u ms\n",
                     static_cast<unsigned>(now - m_nFrameStartTick));
            WSASetLastError(WSAETIMEDOUT);
            SetError(IXO_SOCK_ERR_TIMEOUT);
            return IXO_SOCK_ERR_TIMEOUT;
        }
    }
    return 0;
}

int CToviConn::ReceiveData(_PROT& msg)
{
    return ReceiveFrame(msg, false);
}

int CToviConn::ReceiveFrame(_PROT& msg, bool fileData)
{
    // Only the header area is cleared: every payload byte is overwritten by what arrives, and
    // clearing all 2 MB for each frame would cost more than the file data's own copy.
    std::memset(m_FrameBuf, 0, wire::kHeaderRoom);
    m_nFrameStartTick = 0;
    m_nFrameBoundMs = FrameTimeBoundMs(m_dwRecvTimeoutMs, wire::kMinFrame);
    int code = ReceiveExact(m_FrameBuf, static_cast<int>(wire::kMinFrame));
    if (code != 0)
        return code;
    if (m_FrameBuf[0] == 0)
        return IXO_SOCK_ERR_LEN_PREFIX;
    int prefixSize = 0;
    uint32_t length = 0;
    code = wire::ParseFramePrefix(m_FrameBuf, prefixSize, length);
    if (code != 0)
        return code;
    // The whole prefix lies in the first four bytes. A length that fits the buffer lets the
    // rest of the header come in the same receive as the payload (one receive a frame instead
    // of two); its flags are checked as soon as they are in. Any other length is refused after
    // the header alone, flags first.
    const bool lengthFits = length >= 3 && static_cast<uint64_t>(prefixSize) + length <= wire::kFrameBufferSize;
    m_nFrameBoundMs = FrameTimeBoundMs(m_dwRecvTimeoutMs, lengthFits ? prefixSize + length : wire::kMinFrame);
    const int rest = prefixSize - 1 + (lengthFits ? static_cast<int>(length) - 3 : 0);
    code = ReceiveExact(m_FrameBuf + wire::kMinFrame, rest);
    if (code != 0)
        return code;
    const uint8_t flags = m_FrameBuf[prefixSize];
    code = wire::CheckFrameHeader(prefixSize, length, flags);
    if (code != 0)
        return code;
    unsigned char* payload = m_FrameBuf + prefixSize + 3;
    const size_t payloadSize = length - 3;

    msg.length = length;
    msg.prefixSize = static_cast<uint32_t>(prefixSize);
    msg.flags = flags;
    msg.command = static_cast<uint16_t>((m_FrameBuf[prefixSize + 1] << 8) | m_FrameBuf[prefixSize + 2]);
    // File data is deciphered piece by piece as it goes to the file (ReceiveFileData).
    if (!fileData && payloadSize > 0 && (flags & FLAG_ENCRYPTED))
        return CipherInPlace(false, payload, payloadSize, payloadSize);
    return 0;
}

int CToviConn::RecvProt(_PROT& msg)
{
    m_strJoin.clear();
    int code = ReceiveData(msg);
    if (code != 0)
        return code;
    const unsigned char* payload = m_FrameBuf + msg.prefixSize + 3;
    if (!(msg.flags & FLAG_MORE))
        return wire::DecodePayload(payload, msg.length - 3, msg.records);

    const uint16_t command = msg.command;
    m_strJoin.append(reinterpret_cast<const char*>(payload), msg.length - 3);
    bool more = true;
    while (more) {
        _PROT next;
        code = ReceiveData(next);
        if (code != 0)
            return code;
        if (next.command != command)
            return IXO_SOCK_ERR_CMD_MISMATCH;
        const size_t size = next.length - 3;
        if (m_strJoin.size() + size > kMaxJoinedReply) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::RecvProt ] reply past %u bytes\n", static_cast<unsigned>(kMaxJoinedReply));
            std::string().swap(m_strJoin);
            return IXO_SOCK_ERR_FRAME_LEN;
        }
        m_strJoin.append(reinterpret_cast<const char*>(m_FrameBuf + next.prefixSize + 3), size);
        more = (next.flags & FLAG_MORE) != 0;
        msg.flags = next.flags;
    }
    code = wire::DecodePayload(reinterpret_cast<const unsigned char*>(m_strJoin.data()), m_strJoin.size(),
                               msg.records);
    // A big reply's room goes back at once rather than staying with the connection.
    std::string().swap(m_strJoin);
    return code;
}
