// One TCP connection to the server: socket, frame buffer, receive thread, the event pair that
// makes each request synchronous, the session cipher and file-data streaming.
//
// Internal to the connection library: only CToviProto creates and deletes it; interface/ and
// app/ use CToviProto. Not exported: the library's own tests link the wire core (ToviWireCore)
// to drive the transport.
#pragma once
#include "ToviConnectApi.h"
#include "ToviProtoTypes.h"
#include "ToviCrypto.h"
#include "CriticalSection.h"
#include "Files.h"
#include "Strings.h"
#include <windows.h>
#include <cstdint>
#include <string>

// A file stream whose data frames do not add up to the size its header announced, or that
// goes on past it (a receive failure like 6-19, kept beside them in the result block).
#define IXO_SOCK_ERR_STREAM_SIZE 21

class CToviProto;
class CWinThread;
class CFramePump;

// Time as the upload throttle sees it. The real clock unless a test hands in its own.
class CConnClock {
public:
    virtual ~CConnClock() {}
    // Wall clock in microseconds.
    virtual uint64_t NowMicros();
    virtual void SleepMs(DWORD ms);
    static CConnClock& Real();
};

class CToviConn {
public:
    // The owner's public data receives the replies; the owner outlives the connection.
    explicit CToviConn(CToviProto* owner);
    ~CToviConn();
    CToviConn(const CToviConn&) = delete;
    CToviConn& operator=(const CToviConn&) = delete;

    // Opens the socket and starts the receive thread: 0 or 1-4, 19. A failed Connect leaves
    // the socket for Disconnect to close.
    int Connect(const char* host, int port);
    // Stops the receive thread (pumping the caller's window messages meanwhile) and closes
    // everything. Always 0.
    int Disconnect();

    // Any thread. Encodes and sends a message, fragmented as needed, and returns once its reply
    // was handled on the receive thread: 0 (a failed reply is in the owner's result block) or
    // a send-side error code.
    int SendProt(_PROT& msg);
    // One frame whose msg.length payload bytes already lie in the frame buffer's payload area.
    // Waits for the reply except for H3. 0 or 9, 13, 17.
    int SendPacket(_PROT& msg);

    // Receive thread only: one message (fragments joined and decoded), one frame.
    int RecvProt(_PROT& msg);
    int ReceiveData(_PROT& msg);

    // Sends the file from its current position as H3 frames (msg carries H3 and
    // FLAG_ENCRYPTED). The requester's thread, with the connection to itself. 0 (done,
    // cancelled, window gone, or a read failure in the owner's result block) or a send error.
    int SendFileData(CFile& file, HWND wnd, _PROT& msg, uint64_t size, uint64_t offset);
    // Receive thread only: the H4 data frames after a header into m_hDownloadFile.
    int ReceiveFileData(_PROT& msg);

    // 0 when the socket takes a zero-byte send, else 8 (also stored in the result block).
    int CheckServerConnect();
    // Stores a failure in the owner's result block (either thread).
    void SetError(int code);
    // Fills m_strSysError from the calling thread's last error; returns its number.
    int GetSystemErrorMessage();

    // The upload frame size in file pieces: 1-32; 0 or less means 2.
    int EffectiveFactor() const;
    // Set by the receive thread when the stream can no longer be trusted (a malformed reply,
    // a reply to another request, a cancelled or failed download): the socket is shut and the
    // owner deletes the connection after the exchange.
    bool IsDropped() const { return m_bDropped != 0; }
    // Whether the next request may use this connection: false without a socket, after the
    // receive side gave up on the stream, or when bytes are waiting that no request asked for
    // (a reply that came twice); the caller then starts afresh.
    bool IsUsable();

    // The download slots m_hDownloadFile and m_hProgressWnd belong to the request that set them
    // before it sent (a download, a thumbnail): they serve its exchange and the follow-ups of
    // the same command (position, continuation), and are cleared once a data stream has ended,
    // when an exchange fails, or when a request of another command begins. File data is
    // written only while they are set.
    bool DownloadPending() const;
    void EndDownload();
    // Whether the last exchange was answered by a data stream (whatever became of it).
    bool StreamArrived() const { return m_bStreamArrived; }

    // The most a reply joined from fragments may hold: far above any real reply, so that a
    // server that never sends the last fragment cannot take all memory.
    static constexpr size_t kMaxJoinedReply = 64u << 20;
    // How long one frame may take from its first byte to its last, given the receive time-out
    // and its announced size: four time-outs, and one more for every 64 KB.
    static uint64_t FrameTimeBoundMs(DWORD receiveTimeoutMs, uint64_t frameBytes);

    // Bandwidth limit, read and written whole from any thread (64 bits are two stores on a
    // 32-bit build).
    void SetBandWidth(uint64_t bytesPerSecond);
    uint64_t BandWidth() const;

    uintptr_t m_hSocket;                 // SOCKET; INVALID_SOCKET when none
    CWinThread* m_pRecvThread;
    CCriticalSection m_csSend;
    CCriticalSection m_csRecv;
    CCriticalSection m_csClose;
    volatile BYTE m_bStop;
    unsigned char m_FrameBuf[FRAME_BUFFER_SIZE];
    std::string m_strJoin;
    HANDLE m_hReplyDone;
    HANDLE m_hRequestSent;
    _ENC_CTX* m_pEncCtx;
    char m_szPassPhrase[33];
    CToviProto* m_pOwner;
    volatile LONG64 m_nBandWidth;        // upload limit, bytes per second; 0 = none (SetBandWidth)
    uint64_t m_nLastBandWidth;
    CString m_strSysError;
    HANDLE m_hDownloadFile;
    HWND m_hProgressWnd;
    BYTE m_bRekey;
    char m_szDownloadKey[33];
    WORD m_wLastCmd;
    int m_nFactor;
    CCriticalSection m_csLog;
    CString m_strPolicyKey;
    DWORD m_dwPolicyNo;

    CConnClock* m_pClock;                // not owned
    volatile LONG m_bDropped;
    bool m_bWsaStarted;
    CFramePump* m_pPump;                 // writes or sends file data beside the cipher; owned
    DWORD m_dwRecvTimeoutMs;             // one receive's time-out, set by Connect
    WORD m_wDownloadCmd;                 // command of the request the download slots serve; 0 = not yet known
    volatile bool m_bStreamArrived;
    // Bytes the header of the stream being received says follow; -1 when it said nothing.
    int64_t m_nStreamAnnounced;
    BYTE m_nLastFlags;                   // flags of the last frame sent

private:
    static UINT ReceiveThread(LPVOID param);
    void ReceiveOne();
    // SendProt's work inside the send lock.
    int EncodeAndSend(_PROT& msg);
    // Whether a reply of this command may answer the frame last sent.
    bool ReplyBelongs(uint16_t reply) const;
    // Around one message exchange: the download slots' scope.
    void BeginExchange(uint16_t command);
    void FinishExchange(int code);
    void ReceiveDownload();
    void DropStream();
    // One frame; a message payload is deciphered as a whole, file data is left as it came.
    int ReceiveFrame(_PROT& msg, bool fileData);
    int ReceiveExact(unsigned char* dest, int count);
    uint64_t m_nFrameStartTick;          // when the frame in hand began to arrive; 0 = not yet
    uint64_t m_nFrameBoundMs;
    void FailReceive(int code);
    void SetFileError(DWORD osError);
    // Each piece of pieceSize bytes is its own cipher call from the iv: 0, or 17/18. Several
    // pieces are shared with a pool thread. With a pump, bytes [0, pumpOffset + end of the
    // unbroken run of finished pieces) are handed over as pieces finish; *done says how far
    // that run got.
    int CipherInPlace(bool encrypt, unsigned char* data, size_t size, size_t pieceSize,
                      CFramePump* pump = nullptr, size_t pumpOffset = 0, size_t* done = nullptr);
    // The pump with its thread running, or null when no thread can be had.
    CFramePump* Pump();
    int SendEnciphering(CFramePump* pump, size_t frameStart, size_t frameSize);
    int WriteFileData(unsigned char* payload, size_t size, bool encrypted, DWORD& writeError);
    static bool SendSink(void* context, const unsigned char* data, size_t size, DWORD* error);
    static bool WriteSink(void* context, const unsigned char* data, size_t size, DWORD* error);
    HWND TimerWindow() const;
    int SendFrame(const unsigned char* data, size_t size);
    bool Throttle(HWND wnd, uint64_t& windowStart, uint64_t& bytesInWindow, bool& stop);
    bool ReportUpload(HWND wnd, uint64_t bytes, uint64_t& windowStart, uint64_t& bytesInWindow);
};
