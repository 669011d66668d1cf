// CToviConn: construction, connect and disconnect, sending messages and frames, the probe,
// and timer 1 of the caller's main window.
#include <winsock2.h>
#include <ws2tcpip.h>
#include "ToviConn.h"
#include "FramePump.h"
#include "ToviProto.h"
#include "Frame.h"
#include "HostAddress.h"
#include "RecordCodec.h"
#include "ConnTrace.h"
#include "ProtoMoreCommands.h"
#include "TraceLog.h"
#include "WinThread.h"
#include "Wnd.h"
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Timer 1 of the main window closes an idle connection.
constexpr UINT_PTR kIdleTimerId = 1;
constexpr UINT kIdleTimerMs = 10000;

// Room in the system's buffers for two whole frames each way, so that file data keeps
// flowing while either side works on a frame; and no delay for a small request behind file
// data. Both are hints: a system that refuses them still works.
void TuneSocket(SOCKET s)
{
    const int room = 2 * static_cast<int>(FRAME_BUFFER_SIZE);
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&room), sizeof room);
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&room), sizeof room);
    const BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
}

int SecondsOption(const char* text, int fallback)
{
    int value = text ? std::atoi(text) : 0;
    return value < 1 ? fallback : value;
}

}

uint64_t CConnClock::NowMicros()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return t.QuadPart / 10;
}

void CConnClock::SleepMs(DWORD ms)
{
    ::Sleep(ms);
}

CConnClock& CConnClock::Real()
{
    static CConnClock clock;
    return clock;
}

CToviConn::CToviConn(CToviProto* owner)
    : m_hSocket(INVALID_SOCKET), m_pRecvThread(nullptr), m_bStop(0), m_hReplyDone(nullptr),
      m_hRequestSent(nullptr), m_pEncCtx(nullptr), m_pOwner(owner), m_nBandWidth(0),
      m_nLastBandWidth(0), m_hDownloadFile(INVALID_HANDLE_VALUE), m_hProgressWnd(nullptr),
      m_bRekey(0), m_wLastCmd(0), m_nFactor(0), m_dwPolicyNo(0), m_pClock(&CConnClock::Real()),
      m_bDropped(0), m_bWsaStarted(false), m_pPump(nullptr), m_dwRecvTimeoutMs(5000), m_wDownloadCmd(0),
      m_bStreamArrived(false), m_nStreamAnnounced(-1), m_nLastFlags(0), m_nFrameStartTick(0), m_nFrameBoundMs(0)
{
    std::memset(m_FrameBuf, 0, sizeof m_FrameBuf);
    std::memset(m_szPassPhrase, 0, sizeof m_szPassPhrase);
    std::memset(m_szDownloadKey, 0, sizeof m_szDownloadKey);
}

CToviConn::~CToviConn()
{
    Disconnect();
    delete m_pPump;
}

int CToviConn::Connect(const char* host, int port)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] WSAStartup Failded!\n");
        return IXO_SOCK_ERR_CREATE_SOCK;
    }
    if (data.wVersion != MAKEWORD(2, 2)) {
        WSACleanup();
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] return IXO_SOCK_ERR_CREATE_SOCK!\n");
        return IXO_SOCK_ERR_CREATE_SOCK;
    }
    m_bWsaStarted = true;

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] IXO_SOCK_ERR_CREATE_SOCK! \n");
        SetError(IXO_SOCK_ERR_CREATE_SOCK);
        return IXO_SOCK_ERR_CREATE_SOCK;
    }
    m_hSocket = s;
    TuneSocket(s);

    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        int err = WSAGetLastError();
        SetError(err);
        return IXO_SOCK_ERR_CONNECT;
    }

    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    if (wire::IsDottedIPv4(host)) {
        addr.sin_addr.s_addr = inet_addr(host);
    } else {
        // A name, also one that starts with a digit: the last address of its list.
        hostent* entry = host && *host ? gethostbyname(host) : nullptr;
        if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] gethostbyname : IXO_SOCK_ERR_GET_HOST\n");
            SetError(IXO_SOCK_ERR_GET_HOST);
            return IXO_SOCK_ERR_GET_HOST;
        }
        int last = 0;
        while (entry->h_addr_list[last + 1])
            ++last;
        std::memcpy(&addr.sin_addr, entry->h_addr_list[last], sizeof addr.sin_addr);
    }

    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        int err = WSAGetLastError();
        if (err != WSAEWOULDBLOCK) {
            TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] connect : IXO_SOCK_ERR_CONNECT [ %d ]\n", err);
            SetError(IXO_SOCK_ERR_CONNECT);
            return IXO_SOCK_ERR_CONNECT;
        }
    }

    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(s, &writable);
    timeval wait = {};
    wait.tv_sec = SecondsOption(m_pOwner->ConnectTimeout, 3);
    int ready = select(0, nullptr, &writable, nullptr, &wait);
    if (ready == SOCKET_ERROR) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] select : IXO_SOCK_ERR_CONNECT [ %d]\n", WSAGetLastError());
        SetError(IXO_SOCK_ERR_CONNECT);
        return IXO_SOCK_ERR_CONNECT;
    }
    int soError = 0;
    int soLen = sizeof soError;
    if (ready == 0 || !FD_ISSET(s, &writable) ||
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &soLen) != 0 || soError != 0) {
        // Not connected in time, or refused: both are a time-out to the caller.
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] FD_ISSET : IXO_SOCK_ERR_TIMEOUT \n");
        WSASetLastError(soError ? soError : WSAETIMEDOUT);
        SetError(IXO_SOCK_ERR_TIMEOUT);
        return IXO_SOCK_ERR_TIMEOUT;
    }

    u_long blocking = 0;
    if (ioctlsocket(s, FIONBIO, &blocking) != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] ioctlsocket : IXO_SOCK_ERR_CONNECT [ %d ] \n", WSAGetLastError());
        SetError(IXO_SOCK_ERR_CONNECT);
        return IXO_SOCK_ERR_CONNECT;
    }

    DWORD timeoutMs = static_cast<DWORD>(SecondsOption(m_pOwner->SocketTimeout, 5)) * 1000;
    m_dwRecvTimeoutMs = timeoutMs;
    if (setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs) != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::Connect ] setsockopt : IXO_SOCK_ERR_CONNECT \n");
        SetError(IXO_SOCK_ERR_CONNECT);
        return IXO_SOCK_ERR_CONNECT;
    }

    m_hReplyDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_hRequestSent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_bStop = 0;
    if (m_hReplyDone && m_hRequestSent)
        m_pRecvThread = AfxBeginThread(ReceiveThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pRecvThread) {
        TraceLog(TRACE_ERROR, L"IXO_SOCK_ERR_CREATE_RECVTHREAD\n");
        SetError(IXO_SOCK_ERR_CREATE_RECVTHREAD);
        return IXO_SOCK_ERR_CREATE_RECVTHREAD;
    }
    m_pRecvThread->m_bAutoDelete = FALSE;
    m_pRecvThread->ResumeThread();
    return 0;
}

int CToviConn::Disconnect()
{
    m_csClose.Lock();
    if (m_hSocket != INVALID_SOCKET)
        shutdown(static_cast<SOCKET>(m_hSocket), SD_BOTH);   // a receive in progress ends at once
    if (m_pRecvThread) {
        m_bStop = 1;
        SetEvent(m_hRequestSent);
        // Keep a GUI caller's windows alive while the thread ends.
        while (WaitForSingleObject(m_pRecvThread->m_hThread, 10) == WAIT_TIMEOUT) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        delete m_pRecvThread;
        m_pRecvThread = nullptr;
    }
    if (m_hReplyDone) {
        CloseHandle(m_hReplyDone);
        m_hReplyDone = nullptr;
    }
    if (m_hRequestSent) {
        CloseHandle(m_hRequestSent);
        m_hRequestSent = nullptr;
    }
    delete m_pEncCtx;
    m_pEncCtx = nullptr;
    if (m_hSocket != INVALID_SOCKET) {
        if (closesocket(static_cast<SOCKET>(m_hSocket)) == 0)
            m_hSocket = INVALID_SOCKET;
    }
    if (m_bWsaStarted) {
        WSACleanup();
        m_bWsaStarted = false;
    }
    m_csClose.Unlock();
    return 0;
}

int CToviConn::CheckServerConnect()
{
    if (m_hSocket == INVALID_SOCKET) {
        SetError(IXO_SOCK_ERR_INVALID_SOCKET);
        TraceLog(TRACE_ERROR, L"[ CheckServerConnect ] IXO_SOCK_ERR_INVALID_SOCKET \n");
        return IXO_SOCK_ERR_INVALID_SOCKET;
    }
    int sent = send(static_cast<SOCKET>(m_hSocket), "", 0, 0);
    if (sent == SOCKET_ERROR || m_bDropped) {
        int err = WSAGetLastError();
        TraceLog(TRACE_ERROR, L"Disconnected!! : [%d]  ERR[%d]\t\n", sent, err);
        SetError(IXO_SOCK_ERR_INVALID_SOCKET);
        return IXO_SOCK_ERR_INVALID_SOCKET;
    }
    return 0;
}

bool CToviConn::IsUsable()
{
    if (m_hSocket == INVALID_SOCKET || m_bDropped)
        return false;
    // Nothing is owed to us between exchanges: waiting bytes would answer the next request
    // in place of its own reply.
    u_long waiting = 0;
    if (ioctlsocket(static_cast<SOCKET>(m_hSocket), FIONREAD, &waiting) != 0 || waiting > 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::IsUsable ] %lu bytes nobody asked for\n", waiting);
        return false;
    }
    return true;
}

bool CToviConn::DownloadPending() const
{
    return m_hDownloadFile != INVALID_HANDLE_VALUE && m_hDownloadFile != nullptr;
}

void CToviConn::EndDownload()
{
    m_hDownloadFile = INVALID_HANDLE_VALUE;
    m_hProgressWnd = nullptr;
    m_wDownloadCmd = 0;
}

void CToviConn::BeginExchange(uint16_t command)
{
    m_bStreamArrived = false;
    if (!DownloadPending())
        return;
    // Slots set for this request are claimed by its command; slots left from a request of
    // another command are no business of this one.
    if (m_wDownloadCmd == 0)
        m_wDownloadCmd = command;
    else if (m_wDownloadCmd != command)
        EndDownload();
}

void CToviConn::FinishExchange(int code)
{
    // An answer without data (a resume question, a preparation wait) keeps the slots for the
    // follow-up of the same command, and so does a thumbnail page with more pages to come:
    // they go into the same file. Anything else ends the download.
    const bool morePages = m_wDownloadCmd == C_THUMBNAIL && m_pOwner->ContinueFlag[0] == 'Y';
    if (code != 0 || (m_bStreamArrived && !morePages) || m_bDropped || m_pOwner->ResultInfo.wszMessage[0])
        EndDownload();
}

uint64_t CToviConn::FrameTimeBoundMs(DWORD receiveTimeoutMs, uint64_t frameBytes)
{
    return static_cast<uint64_t>(receiveTimeoutMs) * (4 + frameBytes / 65536);
}

void CToviConn::SetBandWidth(uint64_t bytesPerSecond)
{
    InterlockedExchange64(&m_nBandWidth, static_cast<LONG64>(bytesPerSecond));
}

uint64_t CToviConn::BandWidth() const
{
    // A compare-exchange that never changes anything reads all 64 bits at once.
    return static_cast<uint64_t>(InterlockedCompareExchange64(const_cast<volatile LONG64*>(&m_nBandWidth), 0, 0));
}

int CToviConn::EffectiveFactor() const
{
    if (m_nFactor <= 0)
        return 2;
    // 32 pieces is the most that fits a frame's payload.
    return m_nFactor > 32 ? 32 : m_nFactor;
}

HWND CToviConn::TimerWindow() const
{
    CWnd* main = AfxGetMainWnd();
    HWND hwnd = main ? main->m_hWnd : nullptr;
    // Timers belong to the thread of their window: only the caller's own main window counts.
    if (!hwnd || !IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
        return nullptr;
    return hwnd;
}

int CToviConn::SendProt(_PROT& msg)
{
    // The whole message, fragments included, is built in the shared frame buffer.
    m_csSend.Lock();
    BeginExchange(msg.command);
    const int code = EncodeAndSend(msg);
    FinishExchange(code);
    m_csSend.Unlock();
    return code;
}

int CToviConn::EncodeAndSend(_PROT& msg)
{
    wire::FrameWriter writer(m_FrameBuf);
    const size_t count = msg.records.size();
    for (size_t i = 0; i < count; ++i) {
        std::string encoded;
        int code = wire::EncodeRecord(msg.records[i], encoded);
        if (code == IXO_SOCK_ERR_FIELD_LEN)
            TraceLog(TRACE_ERROR, L"[ CToviConn::SendProt ] Error : IXO_SOCK_ERR_FIELD_LEN!\n");
        if (code != 0) {
            return code;
        }
        // The separator stays in the fragment that holds its record.
        if (i + 1 < count)
            encoded.push_back(static_cast<char>(RECORD_SEPARATOR));
        if (!writer.Fits(encoded.size()) && writer.PayloadSize() > 0) {
            msg.flags |= FLAG_MORE;
            msg.length = static_cast<uint32_t>(writer.PayloadSize());
            code = SendPacket(msg);
            if (code != 0) {
                TraceLog(TRACE_ERROR, L"[ CToviConn::SendProt ] continue = 1 --> SendPacket Error : %d\n", code);
                return code;
            }
            writer.Clear();
        }
        // A single record larger than a frame cannot be sent at all.
        if (!writer.Append(encoded.data(), encoded.size())) {
            return IXO_SOCK_ERR_LEN_RANGE;
        }
    }
    msg.flags &= static_cast<uint8_t>(~FLAG_MORE);
    msg.length = static_cast<uint32_t>(writer.PayloadSize());
    TraceSend(m_pOwner, msg.command);
    int code = SendPacket(msg);
    if (code != 0)
        TraceLog(TRACE_ERROR, L"[ SendProt ] ERROR! : code = %d", code);
    return code;
}

int CToviConn::SendFrame(const unsigned char* data, size_t size)
{
    if (m_hSocket == INVALID_SOCKET)
        return IXO_SOCK_ERR_SEND;
    size_t sent = 0;
    while (sent < size) {
        int n = send(static_cast<SOCKET>(m_hSocket), reinterpret_cast<const char*>(data + sent),
                     static_cast<int>(size - sent), 0);
        if (n <= 0)
            return IXO_SOCK_ERR_SEND;
        sent += static_cast<size_t>(n);
    }
    return 0;
}

int CToviConn::SendPacket(_PROT& msg)
{
    const bool useTimer = m_pOwner->NoTimerFlag == 0;
    HWND timerWnd = useTimer ? TimerWindow() : nullptr;
    if (timerWnd)
        KillTimer(timerWnd, kIdleTimerId);

    const size_t payloadSize = msg.length;
    wire::FrameWriter writer(m_FrameBuf);
    writer.SetPayloadSize(payloadSize);
    size_t start = 0, frameSize = 0;
    int prefixSize = 0;
    if (writer.Finish(msg.flags, msg.command, start, frameSize, prefixSize) != 0)
        return IXO_SOCK_ERR_LEN_RANGE;
    msg.flags = wire::FixFlags(msg.flags);
    msg.length = static_cast<uint32_t>(payloadSize + 3);
    msg.prefixSize = static_cast<uint32_t>(prefixSize);

    const bool fileData = msg.command == C_UPLOAD_DATA;
    const bool enciphered = (msg.flags & FLAG_ENCRYPTED) && payloadSize > 0;
    CFramePump* pump = fileData && enciphered ? Pump() : nullptr;
    int sent = 0;
    if (pump) {
        // File data frames follow each other without a reply, and their loop owns the connection.
        sent = SendEnciphering(pump, start, frameSize);
        if (sent == IXO_SOCK_ERR_ENCRYPT)
            return sent;
    } else {
        if (enciphered) {
            // File data goes in 65,000-byte pieces, a message as a whole; both from the iv.
            int code = CipherInPlace(true, writer.Payload(), payloadSize, fileData ? FILE_PIECE_SIZE : payloadSize);
            if (code != 0)
                return IXO_SOCK_ERR_ENCRYPT;
        }
        if (!fileData)
            m_csSend.Lock();
        sent = SendFrame(m_FrameBuf + start, frameSize);
    }
    if (sent != 0) {
        TraceLog(TRACE_ERROR, L"[ CToviConn::SendPacket ] Send ERROR!!\n");
        SetError(IXO_SOCK_ERR_SEND);
        if (!fileData)
            m_csSend.Unlock();
        return IXO_SOCK_ERR_SEND;
    }
    m_wLastCmd = msg.command;
    m_nLastFlags = msg.flags;
    if (!fileData) {
        SetEvent(m_hRequestSent);
        WaitForSingleObject(m_hReplyDone, INFINITE);
        ResetEvent(m_hReplyDone);
        m_csSend.Unlock();
    }

    if (timerWnd && m_pOwner->NoTimerFlag == 0 && IsWindow(timerWnd))
        SetTimer(timerWnd, kIdleTimerId, kIdleTimerMs, nullptr);
    return 0;
}

CFramePump* CToviConn::Pump()
{
    if (!m_pPump)
        m_pPump = new (std::nothrow) CFramePump();
    return m_pPump && m_pPump->Start() ? m_pPump : nullptr;
}

bool CToviConn::SendSink(void* context, const unsigned char* data, size_t size, DWORD* error)
{
    if (static_cast<CToviConn*>(context)->SendFrame(data, size) == 0)
        return true;
    *error = static_cast<DWORD>(WSAGetLastError());
    return false;
}

// An H3 frame whose front goes out while its later pieces are enciphered: 0, 9 (the
// system error number set) or 17.
int CToviConn::SendEnciphering(CFramePump* pump, size_t frameStart, size_t frameSize)
{
    const size_t headerSize = wire::kHeaderRoom - frameStart;
    size_t done = 0;
    pump->Begin(m_FrameBuf + frameStart, SendSink, this);
    const int code = CipherInPlace(true, m_FrameBuf + wire::kHeaderRoom, frameSize - headerSize, FILE_PIECE_SIZE,
                                   pump, headerSize, &done);
    DWORD error = 0;
    const bool sent = pump->Finish(&error);
    if (code != 0) {
        // The front of the frame is out already: the server would take what follows for the
        // rest of it.
        if (done > 0)
            DropStream();
        return IXO_SOCK_ERR_ENCRYPT;
    }
    if (!sent) {
        WSASetLastError(static_cast<int>(error));
        return IXO_SOCK_ERR_SEND;
    }
    return 0;
}

namespace {

// Each piece is its own call from the iv, so two threads can take turns at them: the caller
// and one pool thread with its own copy of the context pick the next piece in turn.
struct PieceJob {
    _ENC_CTX ctx;
    bool encrypt;
    unsigned char* data;
    size_t size;
    size_t pieceSize;
    LONG count;
    volatile LONG next;
    volatile LONG firstFailed;       // the lowest piece that failed, or count
    std::vector<LONG> done;          // 1 once a piece is final
    HANDLE finished;
};

bool CipherPiece(_ENC_CTX* ctx, PieceJob& job, LONG index)
{
    const size_t at = static_cast<size_t>(index) * job.pieceSize;
    const size_t piece = job.size - at < job.pieceSize ? job.size - at : job.pieceSize;
    unsigned char* out = nullptr;
    unsigned long written = job.encrypt
        ? CToviCrypto::ToviDataEncrypt(ctx, job.data + at, static_cast<int>(piece), &out)
        : CToviCrypto::ToviDataDecrypt(ctx, job.data + at, static_cast<int>(piece), &out);
    // The frame cannot change its length: anything but the same count is a failure.
    const bool ok = out != nullptr && written == piece;
    if (ok)
        std::memcpy(job.data + at, out, piece);
    delete[] out;
    return ok;
}

void NoteFailure(PieceJob& job, LONG index)
{
    LONG seen = job.firstFailed;
    while (index < seen) {
        const LONG was = InterlockedCompareExchange(&job.firstFailed, index, seen);
        if (was == seen)
            break;
        seen = was;
    }
}

// Bytes from the start that are final: the unbroken run of finished pieces. front carries
// the count of pieces known finished from one call to the next.
size_t FinishedFront(PieceJob& job, size_t& front)
{
    const size_t count = static_cast<size_t>(job.count);
    while (front < count && InterlockedCompareExchange(&job.done[front], 0, 0) == 1)
        ++front;
    return front * job.pieceSize < job.size ? front * job.pieceSize : job.size;
}

// Takes pieces until none is left or one failed. With a pump (the caller's side only), the
// finished front goes to it after each piece.
void TakePieces(_ENC_CTX* ctx, PieceJob& job, CFramePump* pump, size_t pumpOffset, size_t& front)
{
    for (;;) {
        if (job.firstFailed < job.count)
            return;
        const LONG index = InterlockedIncrement(&job.next) - 1;
        if (index >= job.count)
            return;
        if (!CipherPiece(ctx, job, index)) {
            NoteFailure(job, index);
            return;
        }
        InterlockedExchange(&job.done[static_cast<size_t>(index)], 1);
        if (pump)
            pump->Advance(pumpOffset + FinishedFront(job, front));
    }
}

DWORD WINAPI HelpWithPieces(LPVOID param)
{
    PieceJob* job = static_cast<PieceJob*>(param);
    size_t front = 0;
    TakePieces(&job->ctx, *job, nullptr, 0, front);
    SetEvent(job->finished);
    return 0;
}

}

int CToviConn::CipherInPlace(bool encrypt, unsigned char* data, size_t size, size_t pieceSize, CFramePump* pump,
                             size_t pumpOffset, size_t* doneBytes)
{
    if (doneBytes)
        *doneBytes = 0;
    if (!m_pEncCtx)
        return encrypt ? IXO_SOCK_ERR_ENCRYPT : IXO_SOCK_ERR_DECRYPT;
    if (size == 0)
        return 0;
    const int failure = encrypt ? IXO_SOCK_ERR_ENCRYPT : IXO_SOCK_ERR_DECRYPT;
    const size_t count = (size + pieceSize - 1) / pieceSize;

    PieceJob job;
    job.encrypt = encrypt;
    job.data = data;
    job.size = size;
    job.pieceSize = pieceSize;
    job.count = static_cast<LONG>(count);
    job.next = 0;
    job.firstFailed = job.count;
    job.finished = nullptr;
    try {
        job.done.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return failure;
    }
    // A second thread only where there are pieces to share; without one the caller takes them all.
    bool helped = false;
    if (count >= 2) {
        job.ctx = *m_pEncCtx;
        job.finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        helped = job.finished && QueueUserWorkItem(HelpWithPieces, &job, WT_EXECUTEDEFAULT);
    }
    size_t front = 0;
    TakePieces(m_pEncCtx, job, pump, pumpOffset, front);
    if (helped)
        WaitForSingleObject(job.finished, INFINITE);
    if (job.finished)
        CloseHandle(job.finished);
    const size_t done = FinishedFront(job, front);
    if (doneBytes)
        *doneBytes = done;
    if (pump)
        pump->Advance(pumpOffset + done);
    return job.firstFailed < job.count ? failure : 0;
}
