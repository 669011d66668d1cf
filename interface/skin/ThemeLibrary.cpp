// The theme functions of UxTheme.dll, bound at run time.
#include "ThemeLibrary.h"
#include <mutex>

namespace {
std::mutex g_lock;
HMODULE g_hUxTheme = nullptr;

FARPROC Lookup(const char* name)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_hUxTheme ? ::GetProcAddress(g_hUxTheme, name) : nullptr;
}
}

void ThemeLibraryLoad(const wchar_t* name)
{
    HMODULE loaded = name ? ::LoadLibraryW(name) : nullptr;
    HMODULE old;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        old = g_hUxTheme;
        g_hUxTheme = loaded;
    }
    if (old)
        ::FreeLibrary(old);
}

void ThemeLibraryUnload()
{
    ThemeLibraryLoad(nullptr);
}

HMODULE ThemeLibraryModule()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_hUxTheme;
}

bool ThemeIsAppThemed()
{
    typedef BOOL(WINAPI * IsAppThemedFn)();
    auto fn = reinterpret_cast<IsAppThemedFn>(Lookup("IsAppThemed"));
    return fn != nullptr && fn() != FALSE;
}

HRESULT WINAPI UxThemeFallback(HWND, HDC, const RECT*)
{
    return E_FAIL;
}

HRESULT ThemeDrawParentBackground(HWND hwnd, HDC hdc, const RECT* prc)
{
    typedef HRESULT(WINAPI * DrawParentFn)(HWND, HDC, const RECT*);
    auto fn = reinterpret_cast<DrawParentFn>(Lookup("DrawThemeParentBackground"));
    if (fn == nullptr)
        fn = &UxThemeFallback;
    return fn(hwnd, hdc, prc);
}
