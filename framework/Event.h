// CEvent: a Win32 event, manual or auto reset, optionally named (shared between processes).
#pragma once
#include "SyncObject.h"

class FW_API CEvent : public CSyncObject {
    DECLARE_DYNAMIC(CEvent)
public:
    // bInitiallyOwn: created signalled. With a name an existing event of that name is opened.
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCTSTR lpszName = nullptr,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = nullptr);

    BOOL SetEvent() { return ::SetEvent(m_hObject); }
    BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
    BOOL PulseEvent() { return ::PulseEvent(m_hObject); }
    BOOL Unlock() override { return TRUE; }
};
