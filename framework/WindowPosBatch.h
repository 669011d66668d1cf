// CWindowPosBatch: moves several windows at once (BeginDeferWindowPos / EndDeferWindowPos).
#pragma once
#include "Wnd.h"
#include <vector>

// Collect the moves, then End() (or the destructor) applies them together, which avoids the
// repaint of each intermediate layout. When Windows refuses the batch (a window went away,
// another thread's window), the moves are applied one window at a time instead.
class FW_API CWindowPosBatch {
public:
    explicit CWindowPosBatch(int nExpected = 4);
    // Applies what End() has not applied yet.
    ~CWindowPosBatch();

    void Move(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags);
    void Move(CWnd* pWnd, const RECT& rect, UINT uFlags = SWP_NOZORDER | SWP_NOACTIVATE)
    { Move(pWnd->GetSafeHwnd(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, uFlags); }
    // Applies the moves once; TRUE when all went through.
    BOOL End();

private:
    CWindowPosBatch(const CWindowPosBatch&) = delete;
    CWindowPosBatch& operator=(const CWindowPosBatch&) = delete;
    struct Pending {
        HWND hWnd, hWndInsertAfter;
        int x, y, cx, cy;
        UINT uFlags;
    };
    std::vector<Pending> m_moves;
    int m_nExpected;
    bool m_bEnded = false;
};
