// CTransferRate: speed over the last ten one-second samples, and the time still needed.
#include "TransferRate.h"
#include "FileUtils.h"
#include "ToviString.h"
#include <windows.h>

namespace {

uint64_t SystemClock()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}

CTransferRate::CTransferRate()
{
    m_strSpeedFormat = L"%s / " + CToviString::GetString(14150);
}

uint64_t CTransferRate::NowMs() const
{
    return (m_clock ? m_clock() : SystemClock()) / 10000;
}

void CTransferRate::AddBytes(__int64 n)
{
    const uint64_t now = NowMs();
    m_nRunningTotal += n;
    // A clock set back restarts the measurement rather than making a bogus sample.
    if (!m_bMeasuring || now < m_nLastSampleMs) {
        m_nTotalAtLastSample = m_nRunningTotal;
        m_nLastSampleMs = now;
        m_bMeasuring = true;
        return;
    }
    if (now - m_nLastSampleMs < 1000)
        return;
    AddSample(now - m_nLastSampleMs, m_nRunningTotal - m_nTotalAtLastSample);
    m_nTotalAtLastSample = m_nRunningTotal;
    m_nLastSampleMs = now;
}

void CTransferRate::AddBase(__int64 n)
{
    if (n == 0)
        return;
    m_nRunningTotal += n;
    m_bMeasuring = false;
    m_nTotalAtLastSample = m_nRunningTotal;
}

void CTransferRate::AddSample(uint64_t ms, __int64 bytes)
{
    if (ms < 20 || bytes <= 0)
        return;
    m_samples[m_nNextSlot].bytes = bytes;
    m_samples[m_nNextSlot].ms = ms > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
    if (++m_nNextSlot == kSlots) {
        m_nNextSlot = 0;
        m_bRingFull = true;
    }
}

void CTransferRate::Compute()
{
    const int count = m_bRingFull ? kSlots : m_nNextSlot;
    if (count == 0)
        return;
    __int64 bytes = 0;
    uint64_t ms = 0;
    for (int i = 0; i < count; ++i) {
        bytes += m_samples[i].bytes;
        ms += m_samples[i].ms;
    }
    if (bytes == 0 || ms == 0)
        return;
    const uint64_t perSecond = static_cast<uint64_t>(bytes) * 1000 / ms;
    m_nBytesPerSecond = perSecond > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(perSecond);
    m_strSpeed.Format(m_strSpeedFormat, CFileUtils::ConvertFileSize2(static_cast<__int64>(m_nBytesPerSecond)));
    if (m_nBytesPerSecond == 0) {
        m_nSecondsLeft = -1;
    } else {
        const __int64 remaining = m_nExpectedTotal - m_nRunningTotal;
        if (remaining <= 0) {
            m_nSecondsLeft = 0;
        } else {
            const __int64 seconds = (remaining - 1) / m_nBytesPerSecond + 1;
            m_nSecondsLeft = seconds > 0x7FFFFFFF ? -1 : static_cast<int>(seconds);
        }
    }
    if (m_nSecondsLeft >= 0)
        m_strTimeLeft = FormatTimeLeft(m_nSecondsLeft);
}

CString CTransferRate::FormatTimeLeft(int seconds)
{
    CString text;
    if (seconds < 0)
        return text;
    const int hours = seconds / 3600;
    if (hours != 0)
        seconds %= 3600;
    const int minutes = seconds / 60;
    const int secs = seconds % 60;
    struct Part {
        int value;
        unsigned id;
    };
    const Part parts[] = {{hours, 14148}, {minutes, 14149}, {secs, 14150}};
    for (const Part& part : parts) {
        if (part.value == 0)
            continue;
        CString piece;
        piece.Format(L"%d %s", part.value, CToviString::GetString(part.id));
        if (!text.IsEmpty())
            text += L" ";
        text += piece;
    }
    return text;
}
