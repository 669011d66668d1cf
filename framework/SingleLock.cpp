// CSingleLock: holds one synchronisation object for a scope.
#include "SingleLock.h"

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock) : m_pObject(pObject)
{
    if (bInitialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

BOOL CSingleLock::Lock(DWORD dwTimeout)
{
    if (m_pObject == nullptr)
        return FALSE;
    if (m_bAcquired)
        return TRUE;   // held already: locking twice through one CSingleLock takes it once
    m_bAcquired = m_pObject->Lock(dwTimeout);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_pObject == nullptr || !m_bAcquired)
        return FALSE;
    m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}
