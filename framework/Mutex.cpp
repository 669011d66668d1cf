// CMutex: a Win32 mutex.
#include "Mutex.h"
#include "Trace.h"

IMPLEMENT_DYNAMIC(CMutex, CSyncObject)

CMutex::CMutex(BOOL bInitiallyOwn, LPCTSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
{
    m_hObject = ::CreateMutexW(lpsaAttribute, bInitiallyOwn, lpszName);
    if (m_hObject == nullptr)
        FwTrace("CMutex", "CreateMutex failed");
}

BOOL CMutex::Lock(DWORD dwTimeout)
{
    if (m_hObject == nullptr)
        return FALSE;
    DWORD r = ::WaitForSingleObject(m_hObject, dwTimeout);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}
