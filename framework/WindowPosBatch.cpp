// CWindowPosBatch: moves several windows at once.
#include "WindowPosBatch.h"

CWindowPosBatch::CWindowPosBatch(int nExpected) : m_nExpected(nExpected > 0 ? nExpected : 1)
{
    m_moves.reserve(m_nExpected);
}

CWindowPosBatch::~CWindowPosBatch()
{
    End();
}

void CWindowPosBatch::Move(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags)
{
    if (hWnd != nullptr)
        m_moves.push_back({ hWnd, hWndInsertAfter, x, y, cx, cy, uFlags });
}

BOOL CWindowPosBatch::End()
{
    if (m_bEnded)
        return TRUE;
    m_bEnded = true;
    if (m_moves.empty())
        return TRUE;
    HDWP hdwp = ::BeginDeferWindowPos((int)m_moves.size());
    for (const Pending& m : m_moves) {
        if (hdwp == nullptr)
            break;
        hdwp = ::DeferWindowPos(hdwp, m.hWnd, m.hWndInsertAfter, m.x, m.y, m.cx, m.cy, m.uFlags);
    }
    if (hdwp != nullptr && ::EndDeferWindowPos(hdwp))
        return TRUE;
    // A failed batch is dropped whole by Windows; apply the moves singly instead.
    BOOL ok = TRUE;
    for (const Pending& m : m_moves) {
        if (::IsWindow(m.hWnd) && !::SetWindowPos(m.hWnd, m.hWndInsertAfter, m.x, m.y, m.cx, m.cy, m.uFlags))
            ok = FALSE;
    }
    return ok;
}
