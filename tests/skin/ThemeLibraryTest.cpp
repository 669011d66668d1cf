// The theme library bound at run time: a function in use keeps its library loaded, even when
// the library is released while the call runs.
#include "ThemeLibrary.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(ThemeLibrary, ALibraryReleasedDuringACallStaysUntilTheCallReturns)
{
    ThemeLibraryLoad(L"FakeUxTheme.dll");
    HMODULE fake = ThemeLibraryModule();
    ASSERT_NE(nullptr, fake);
    typedef void(WINAPI * DuringNextCallFn)(void (*)());
    auto duringNextCall = reinterpret_cast<DuringNextCallFn>(::GetProcAddress(fake, "FakeThemeDuringNextCall"));
    ASSERT_NE(nullptr, duringNextCall);
    // The release that another thread could make at any moment, made at the worst one: the
    // fake's own code still runs after it.
    duringNextCall([] { ThemeLibraryUnload(); });

    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 4, 4);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, 4, 4};
    EXPECT_EQ(S_OK, ThemeDrawParentBackground(nullptr, dc, &all));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), ::GetPixel(dc, 2, 2)) << "the fake painted after the release";
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);

    EXPECT_EQ(nullptr, ThemeLibraryModule());
    EXPECT_EQ(nullptr, ::GetModuleHandleW(L"FakeUxTheme.dll")) << "released once the call was over";
    EXPECT_EQ(E_FAIL, ThemeDrawParentBackground(nullptr, nullptr, &all)) << "the fallback without a library";
}

}
