// CCriticalSection: an in-process recursive lock.
#include "CriticalSection.h"

IMPLEMENT_DYNAMIC(CCriticalSection, CSyncObject)

CCriticalSection::CCriticalSection()
{
    ::InitializeCriticalSection(&m_sect);
}

CCriticalSection::~CCriticalSection()
{
    ::DeleteCriticalSection(&m_sect);
}

BOOL CCriticalSection::Lock(DWORD dwTimeout)
{
    if (dwTimeout == INFINITE) {
        ::EnterCriticalSection(&m_sect);
        return TRUE;
    }
    DWORD start = ::GetTickCount();
    for (;;) {
        if (::TryEnterCriticalSection(&m_sect))
            return TRUE;
        if (::GetTickCount() - start >= dwTimeout)
            return FALSE;
        ::Sleep(1);
    }
}

BOOL CCriticalSection::Unlock()
{
    ::LeaveCriticalSection(&m_sect);
    return TRUE;
}
