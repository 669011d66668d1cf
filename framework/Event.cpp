// CEvent: a Win32 event.
#include "Event.h"
#include "Trace.h"

IMPLEMENT_DYNAMIC(CEvent, CSyncObject)

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset, LPCTSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
{
    m_hObject = ::CreateEventW(lpsaAttribute, bManualReset, bInitiallyOwn, lpszName);
    if (m_hObject == nullptr)
        FwTrace("CEvent", "CreateEvent failed");
}
