// The theme functions of UxTheme.dll, bound at run time so that the skinned controls work
// (unthemed) where the library is missing.
#pragma once
#include "ToviInterfaceApi.h"
#include <windows.h>

// Loads the theme library by name (ToviInterfaceInit loads "uxtheme.dll"); a library that
// cannot be loaded leaves the module null. Replaces a library loaded before.
TOVIINTERFACE_API void ThemeLibraryLoad(const wchar_t* name);
// Releases the library; the module handle becomes null.
TOVIINTERFACE_API void ThemeLibraryUnload();
// The loaded theme library, or null.
TOVIINTERFACE_API HMODULE ThemeLibraryModule();
// IsAppThemed of the library; false when the library or the function is missing.
TOVIINTERFACE_API bool ThemeIsAppThemed();
// DrawThemeParentBackground of the library, or UxThemeFallback when the library or the
// function is missing. A failing result means the caller paints the parent background itself.
TOVIINTERFACE_API HRESULT ThemeDrawParentBackground(HWND hwnd, HDC hdc, const RECT* prc);
// Stands in for DrawThemeParentBackground: always E_FAIL.
TOVIINTERFACE_API HRESULT WINAPI UxThemeFallback(HWND hwnd, HDC hdc, const RECT* prc);
