// CSyncObject: base of the synchronisation objects that CSingleLock can hold.
#pragma once
#include "Object.h"

class FW_API CSyncObject : public CObject {
    DECLARE_DYNAMIC(CSyncObject)
public:
    ~CSyncObject() override;
    // TRUE when acquired within dwTimeout milliseconds.
    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;
    operator HANDLE() const { return m_hObject; }

    HANDLE m_hObject = nullptr;   // the kernel object (null for a critical section)

protected:
    CSyncObject() = default;
};
