// CMutex: a Win32 mutex, optionally named (shared between processes).
#pragma once
#include "SyncObject.h"

class FW_API CMutex : public CSyncObject {
    DECLARE_DYNAMIC(CMutex)
public:
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCTSTR lpszName = nullptr,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = nullptr);
    // TRUE also when the previous owner ended without releasing it.
    BOOL Lock(DWORD dwTimeout = INFINITE) override;
    BOOL Unlock() override { return ::ReleaseMutex(m_hObject); }
};
