// Backup windows read in the session's language: finding them under either title where a test
// leaves the language to the thread's locale, and checking their labels and face.
#pragma once
#include "WindowDriver.h"
#include <string>
#include <vector>
#include <cwchar>

inline HWND WaitForBackupDialog(const wchar_t* korean, const wchar_t* english, DWORD timeoutMs = 15000)
{
    HWND found = nullptr;
    uitest::WaitUntil(
        [&] {
            found = uitest::FindTopWindow(L"#32770", korean);
            if (!found)
                found = uitest::FindTopWindow(L"#32770", english);
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

// The labels and buttons of a dialog that still show Hangul (user data lives in edits and
// lists, which are left out).
inline std::vector<std::wstring> HangulLabels(HWND dialog)
{
    std::vector<std::wstring> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (_wcsicmp(cls, L"Static") && _wcsicmp(cls, L"Button"))
            continue;
        const std::wstring text = uitest::GetText(child);
        for (wchar_t c : text) {
            if (c >= 0xAC00 && c <= 0xD7A3) {
                found.push_back(text);
                break;
            }
        }
    }
    return found;
}

// Whether the dialog's font draws Hangul (a policy name or path may be Korean in any language).
inline bool FontHasHangul(HWND dialog)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    WORD glyph = 0xFFFF;
    const bool has = GetGlyphIndicesW(dc, L"\xAC00", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return has;
}
