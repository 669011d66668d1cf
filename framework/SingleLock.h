// CSingleLock: holds one synchronisation object for a scope; the destructor releases it.
#pragma once
#include "SyncObject.h"

class FW_API CSingleLock {
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock();

    BOOL Lock(DWORD dwTimeout = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
    CSyncObject* m_pObject;
    BOOL m_bAcquired = FALSE;
};
