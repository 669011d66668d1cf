// Hands the finished front of a file-data frame to a sink on a thread of its own.
#include "FramePump.h"
#include "ToviProtoTypes.h"
#include "TraceLog.h"

CFramePump::CFramePump()
    : m_hThread(nullptr), m_bStop(false), m_pFrame(nullptr), m_sink(nullptr), m_pContext(nullptr),
      m_nReady(0), m_nDone(0), m_bFailed(false), m_dwError(0)
{
    InitializeSRWLock(&m_lock);
    InitializeConditionVariable(&m_work);
    InitializeConditionVariable(&m_idle);
}

CFramePump::~CFramePump()
{
    if (!m_hThread)
        return;
    AcquireSRWLockExclusive(&m_lock);
    m_bStop = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_work);
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
}

bool CFramePump::Start()
{
    if (!m_hThread)
        m_hThread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    return m_hThread != nullptr;
}

void CFramePump::Begin(const unsigned char* frame, Sink sink, void* context)
{
    AcquireSRWLockExclusive(&m_lock);
    m_pFrame = frame;
    m_sink = sink;
    m_pContext = context;
    m_nReady = 0;
    m_nDone = 0;
    m_bFailed = false;
    m_dwError = 0;
    ReleaseSRWLockExclusive(&m_lock);
}

void CFramePump::Advance(size_t ready)
{
    AcquireSRWLockExclusive(&m_lock);
    if (ready > m_nReady)
        m_nReady = ready;
    ReleaseSRWLockExclusive(&m_lock);
    WakeConditionVariable(&m_work);
}

bool CFramePump::Finish(DWORD* error)
{
    AcquireSRWLockExclusive(&m_lock);
    while (!m_bFailed && m_nDone < m_nReady)
        SleepConditionVariableSRW(&m_idle, &m_lock, INFINITE, 0);
    const bool ok = !m_bFailed;
    if (error)
        *error = m_dwError;
    // The frame goes back to its owner: nothing of it may be touched from here on.
    m_pFrame = nullptr;
    m_nReady = m_nDone = 0;
    ReleaseSRWLockExclusive(&m_lock);
    return ok;
}

DWORD WINAPI CFramePump::ThreadMain(LPVOID param)
{
    // No exception leaves a thread entry; the sinks are plain system calls.
    try {
        static_cast<CFramePump*>(param)->Run();
    } catch (...) {
        TraceLog(TRACE_ERROR, L"[ CFramePump ] exception\n");
    }
    return 0;
}

void CFramePump::Run()
{
    AcquireSRWLockExclusive(&m_lock);
    for (;;) {
        while (!m_bStop && (m_bFailed || m_nDone >= m_nReady))
            SleepConditionVariableSRW(&m_work, &m_lock, INFINITE, 0);
        if (m_bStop)
            break;
        // Everything that is final goes in one call.
        const unsigned char* data = m_pFrame + m_nDone;
        const size_t size = m_nReady - m_nDone;
        const size_t upTo = m_nReady;
        Sink sink = m_sink;
        void* context = m_pContext;
        ReleaseSRWLockExclusive(&m_lock);
        DWORD error = 0;
        const bool ok = sink(context, data, size, &error);
        AcquireSRWLockExclusive(&m_lock);
        m_nDone = upTo;
        if (!ok) {
            m_bFailed = true;
            m_dwError = error;
        }
        WakeAllConditionVariable(&m_idle);
    }
    ReleaseSRWLockExclusive(&m_lock);
}
