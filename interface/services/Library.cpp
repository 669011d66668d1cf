// ToviInterface.dll entry, start-up and shut-down.
#include "Library.h"
#include "Resources.h"
#include "ThemeLibrary.h"
#include <gdiplus.h>
#include <mutex>

namespace {
HINSTANCE g_hInstance = nullptr;
std::mutex g_lock;
int g_nStarts = 0;
ULONG_PTR g_gdiplusToken = 0;

void UseClearType()
{
    const UINT flags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
    ::SystemParametersInfoW(SPI_SETFONTSMOOTHING, TRUE, nullptr, flags);
    ::SystemParametersInfoW(SPI_SETFONTSMOOTHINGTYPE, 0, (PVOID)(UINT_PTR)FE_FONTSMOOTHINGCLEARTYPE, flags);
}
}

// Only bookkeeping here: GDI+ and the theme library start in ToviInterfaceInit.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        AfxRegisterResourceModule(hInstance);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxUnregisterResourceModule(hInstance);
    }
    return TRUE;
}

bool ToviInterfaceInit()
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_nStarts > 0) {
        ++g_nStarts;
        return true;
    }
    Gdiplus::GdiplusStartupInput input;   // version 1, no debug callback, own thread, external codecs
    if (Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
        g_gdiplusToken = 0;
        return false;
    }
    UseClearType();
    ThemeLibraryLoad(L"uxtheme.dll");
    g_nStarts = 1;
    return true;
}

void ToviInterfaceTerm()
{
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_nStarts == 0 || --g_nStarts > 0)
        return;
    ThemeLibraryUnload();
    Gdiplus::GdiplusShutdown(g_gdiplusToken);
    g_gdiplusToken = 0;
}

bool ToviInterfaceStarted()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_nStarts > 0;
}

HINSTANCE ToviInterfaceInstance()
{
    return g_hInstance;
}
