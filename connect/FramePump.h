// Hands the finished front of a file-data frame to a sink (file write, socket send) on a thread
// of its own, so that the sink works on the first pieces while the cipher works on the rest.
//
// Internal to the connection library. One user at a time: the upload loop on the requester's
// thread or the download loop on the receive thread, never both (a connection carries one
// transfer at a time). The frame's bytes stay the caller's buffer: no copy is made, and the
// caller leaves the handed-over bytes alone until Finish returns.
#pragma once
#include <windows.h>
#include <cstddef>

class CFramePump {
public:
    // Writes or sends size bytes; false on failure, with the system error number in *error.
    typedef bool (*Sink)(void* context, const unsigned char* data, size_t size, DWORD* error);

    CFramePump();
    ~CFramePump();
    CFramePump(const CFramePump&) = delete;
    CFramePump& operator=(const CFramePump&) = delete;

    // Starts the thread if it is not running; false when it cannot be made (the caller then
    // does the sink's work itself).
    bool Start();

    // A new frame: nothing handed over yet.
    void Begin(const unsigned char* frame, Sink sink, void* context);
    // Bytes [0, ready) of the frame are final and may go to the sink.
    void Advance(size_t ready);
    // Waits until everything handed over went through the sink. False when the sink failed
    // (what followed the failure was not tried); *error is then its system error number.
    bool Finish(DWORD* error);

private:
    static DWORD WINAPI ThreadMain(LPVOID param);
    void Run();

    SRWLOCK m_lock;
    CONDITION_VARIABLE m_work;   // more bytes are final, or the pump is to end
    CONDITION_VARIABLE m_idle;   // the sink caught up or failed
    HANDLE m_hThread;
    bool m_bStop;
    const unsigned char* m_pFrame;
    Sink m_sink;
    void* m_pContext;
    size_t m_nReady;             // bytes of the frame that are final
    size_t m_nDone;              // bytes the sink has taken
    bool m_bFailed;
    DWORD m_dwError;
};
