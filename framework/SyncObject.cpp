// CSyncObject: base of the synchronisation objects that CSingleLock can hold.
#include "SyncObject.h"

IMPLEMENT_DYNAMIC(CSyncObject, CObject)

CSyncObject::~CSyncObject()
{
    if (m_hObject != nullptr)
        ::CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD dwTimeout)
{
    return m_hObject != nullptr && ::WaitForSingleObject(m_hObject, dwTimeout) == WAIT_OBJECT_0;
}
