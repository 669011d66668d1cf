// Per-thread state of the framework linked statically into a program: a TLS callback of the
// executable frees a thread's state when the thread ends, as Framework.dll's entry does.
#include "ThreadExit.h"
#include "ThreadState.h"
#include "Wnd.h"

namespace {

DWORD TlsIndex()
{
    // Allocated on first use: a static object's constructor may already need thread state.
    static DWORD index = ::TlsAlloc();
    return index;
}

void FreeCallingThreadState()
{
    if (TlsIndex() == TLS_OUT_OF_INDEXES)
        return;
    if (::TlsGetValue(TlsIndex()) == nullptr)
        return;
    fwmap::DeleteTemporaries(true);
    FwFreeThreadState();
}

void NTAPI FrameworkThreadCallback(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_THREAD_DETACH)
        FreeCallingThreadState();
}

}

// The loader calls every pointer of the image's TLS callback array (.CRT$XLA..XLZ).
extern "C" __attribute__((section(".CRT$XLF"), used)) const PIMAGE_TLS_CALLBACK g_frameworkThreadCallback =
    FrameworkThreadCallback;

HINSTANCE FwFrameworkModule()
{
    return ::GetModuleHandleW(nullptr);
}

FwThreadState* FwGetThreadState()
{
    auto* state = static_cast<FwThreadState*>(::TlsGetValue(TlsIndex()));
    if (state == nullptr) {
        state = new FwThreadState;
        ::TlsSetValue(TlsIndex(), state);
    }
    return state;
}

void FwAtThreadExit(void (*fn)(void* arg), void* arg)
{
    FwGetThreadState()->atExit.emplace_back(fn, arg);
}

void FwFreeThreadState()
{
    auto* state = static_cast<FwThreadState*>(::TlsGetValue(TlsIndex()));
    if (state == nullptr)
        return;
    while (!state->atExit.empty()) {
        auto entry = state->atExit.back();
        state->atExit.pop_back();
        entry.first(entry.second);
    }
    if (state->hCbtHook)
        ::UnhookWindowsHookEx(state->hCbtHook);
    delete state;
    ::TlsSetValue(TlsIndex(), nullptr);
}
