// Framework.dll entry: per-thread state lifetime.
#include "ThreadExit.h"
#include "ThreadState.h"
#include "Wnd.h"

namespace {
DWORD g_tlsIndex = TLS_OUT_OF_INDEXES;
HINSTANCE g_hFrameworkModule = nullptr;
}

HINSTANCE FwFrameworkModule()
{
    return g_hFrameworkModule;
}

FwThreadState* FwGetThreadState()
{
    auto* state = static_cast<FwThreadState*>(TlsGetValue(g_tlsIndex));
    if (state == nullptr) {
        state = new FwThreadState;
        TlsSetValue(g_tlsIndex, state);
    }
    return state;
}

void FwAtThreadExit(void (*fn)(void* arg), void* arg)
{
    FwGetThreadState()->atExit.emplace_back(fn, arg);
}

void FwFreeThreadState()
{
    auto* state = static_cast<FwThreadState*>(TlsGetValue(g_tlsIndex));
    if (state == nullptr)
        return;
    // Callbacks may register more; take them one at a time from the end.
    while (!state->atExit.empty()) {
        auto entry = state->atExit.back();
        state->atExit.pop_back();
        entry.first(entry.second);
    }
    if (state->hCbtHook)
        UnhookWindowsHookEx(state->hCbtHook);
    delete state;
    TlsSetValue(g_tlsIndex, nullptr);
}

// Only bookkeeping here: nothing that loads libraries or waits.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_hFrameworkModule = hInstance;
        g_tlsIndex = TlsAlloc();
        return g_tlsIndex != TLS_OUT_OF_INDEXES;
    case DLL_THREAD_DETACH:
        fwmap::DeleteTemporaries(true);
        FwFreeThreadState();
        break;
    case DLL_PROCESS_DETACH:
        if (reserved == nullptr) {   // FreeLibrary, not process exit
            fwmap::DeleteTemporaries(true);
            FwFreeThreadState();
            TlsFree(g_tlsIndex);
        }
        break;
    }
    return TRUE;
}
