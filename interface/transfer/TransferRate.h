// CTransferRate: the speed and time-left meter of the transfer windows. A small value class fed
// with the byte counts of the progress messages; used on the window's thread only.
#pragma once
#include "Strings.h"
#include "ToviInterfaceApi.h"
#include <cstdint>

class TOVIINTERFACE_API CTransferRate {
public:
    // The clock in system-time units (100 ns since 1601), as GetSystemTimeAsFileTime gives it.
    typedef uint64_t (*Clock)();

    CTransferRate();

    // n bytes transferred.
    void AddBytes(__int64 n);
    // n bytes that were there already (a resume offset): counted, but not as speed, and the
    // measurement starts again.
    void AddBase(__int64 n);
    // Recomputes the speed, the seconds left and both texts.
    void Compute();
    CString GetSpeedText() const { return m_strSpeed; }
    CString GetTimeLeftText() const { return m_strTimeLeft; }
    // "1 hr 2 min 5 sec" style text; empty for 0 or less.
    static CString FormatTimeLeft(int seconds);

    uint32_t GetBytesPerSecond() const { return m_nBytesPerSecond; }
    int GetSecondsLeft() const { return m_nSecondsLeft; }
    __int64 GetRunningTotal() const { return m_nRunningTotal; }
    void SetClock(Clock clock) { m_clock = clock; }

    // Set by the owner: the size of everything to transfer.
    __int64 m_nExpectedTotal = 0;

private:
    enum { kSlots = 10 };
    struct Sample {
        __int64 bytes;
        uint32_t ms;
    };
    void AddSample(uint64_t ms, __int64 bytes);
    uint64_t NowMs() const;

    CString m_strSpeedFormat;
    CString m_strSpeed;
    CString m_strTimeLeft;
    __int64 m_nTotalAtLastSample = 0;
    __int64 m_nRunningTotal = 0;
    // Milliseconds on a 64-bit clock: a 32-bit one wraps every 71 minutes and would give one
    // sample of four billion milliseconds.
    uint64_t m_nLastSampleMs = 0;
    bool m_bMeasuring = false;
    uint32_t m_nBytesPerSecond = 0;
    Sample m_samples[kSlots] = {};
    int m_nNextSlot = 0;
    bool m_bRingFull = false;
    int m_nSecondsLeft = -1;
    Clock m_clock = nullptr;
};
