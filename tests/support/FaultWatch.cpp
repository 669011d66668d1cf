#include "FaultWatch.h"

namespace uitest {

namespace {
// One watch at a time is enough for the tests; a second one on another thread would only
// share the count.
volatile DWORD g_thread = 0;
volatile LONG g_faults = 0;

LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
{
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && ::GetCurrentThreadId() == g_thread)
        ::InterlockedIncrement(&g_faults);
    return EXCEPTION_CONTINUE_SEARCH;
}
}

FaultWatch::FaultWatch()
{
    g_thread = ::GetCurrentThreadId();
    g_faults = 0;
    m_handler = ::AddVectoredExceptionHandler(1, OnException);
}

FaultWatch::~FaultWatch()
{
    if (m_handler)
        ::RemoveVectoredExceptionHandler(m_handler);
    g_thread = 0;
}

LONG FaultWatch::Faults() const
{
    return g_faults;
}

}
