// CCriticalSection: an in-process lock that the owning thread may take again (recursive).
#pragma once
#include "SyncObject.h"

class FW_API CCriticalSection : public CSyncObject {
    DECLARE_DYNAMIC(CCriticalSection)
public:
    CCriticalSection();
    ~CCriticalSection() override;

    // Waits without limit for INFINITE; otherwise tries until the time-out passes.
    BOOL Lock(DWORD dwTimeout = INFINITE) override;
    BOOL Unlock() override;
    operator CRITICAL_SECTION*() { return &m_sect; }

    CRITICAL_SECTION m_sect;
};
