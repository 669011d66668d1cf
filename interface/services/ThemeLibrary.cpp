// The theme functions of UxTheme.dll, bound at run time.
#include "ThemeLibrary.h"
#include <mutex>

namespace {
std::mutex g_lock;
HMODULE g_hUxTheme = nullptr;

// A function of the library together with a reference of its own on the library, so that an
// unload on another thread cannot take the code away while the call runs.
class PinnedFunction {
public:
    explicit PinnedFunction(const char* name)
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (!g_hUxTheme)
            return;
        FARPROC fn = ::GetProcAddress(g_hUxTheme, name);
        if (fn && ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(fn),
                                       &m_module))
            m_fn = fn;
    }
    ~PinnedFunction()
    {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    PinnedFunction(const PinnedFunction&) = delete;
    PinnedFunction& operator=(const PinnedFunction&) = delete;

    FARPROC Get() const { return m_fn; }

private:
    HMODULE m_module = nullptr;
    FARPROC m_fn = nullptr;
};
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
    PinnedFunction pinned("IsAppThemed");
    auto fn = reinterpret_cast<IsAppThemedFn>(pinned.Get());
    return fn != nullptr && fn() != FALSE;
}

HRESULT WINAPI UxThemeFallback(HWND, HDC, const RECT*)
{
    return E_FAIL;
}

HRESULT ThemeDrawParentBackground(HWND hwnd, HDC hdc, const RECT* prc)
{
    typedef HRESULT(WINAPI * DrawParentFn)(HWND, HDC, const RECT*);
    PinnedFunction pinned("DrawThemeParentBackground");
    auto fn = reinterpret_cast<DrawParentFn>(pinned.Get());
    if (fn == nullptr)
        fn = &UxThemeFallback;
    return fn(hwnd, hdc, prc);
}
