// Tooltip windows: tools are child windows or rectangles of a window.
#include "ToolTipCtrl.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

namespace {

// Without the reserved field: accepted by every version of the common controls.
const UINT kToolInfoSize = TTTOOLINFOW_V2_SIZE;

// A tool without a rectangle is the window itself; its messages go to its parent.
TOOLINFOW DescribeTool(CWnd* wnd, LPCRECT rect, UINT_PTR id)
{
    TOOLINFOW info = {};
    info.cbSize = kToolInfoSize;
    HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (rect == nullptr && id == 0) {
        HWND parent = ::GetParent(hwnd);
        info.hwnd = parent ? parent : hwnd;
        info.uFlags = TTF_IDISHWND;
        info.uId = reinterpret_cast<UINT_PTR>(hwnd);
    } else {
        info.hwnd = hwnd;
        info.uId = id;
        if (rect)
            info.rect = *rect;
    }
    return info;
}

} // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
    if (!CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | style, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr))
        return FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCTSTR text, LPCRECT rect, UINT_PTR id)
{
    ASSERT(::IsWindow(m_hWnd));
    if (wnd == nullptr || !::IsWindow(wnd->GetSafeHwnd()))
        return FALSE;
    TOOLINFOW info = DescribeTool(wnd, rect, id);
    info.lpszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(::SendMessage(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, UINT textId, LPCRECT rect, UINT_PTR id)
{
    CString text;
    text.LoadString(textId);
    return AddTool(wnd, text.GetString(), rect, id);
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id)
{
    ASSERT(::IsWindow(m_hWnd));
    TOOLINFOW info = DescribeTool(wnd, nullptr, id);
    ::SendMessage(m_hWnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR text, CWnd* wnd, UINT_PTR id)
{
    ASSERT(::IsWindow(m_hWnd));
    TOOLINFOW info = DescribeTool(wnd, nullptr, id);
    info.lpszText = const_cast<LPWSTR>(text);
    ::SendMessage(m_hWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR id, LPCRECT rect)
{
    ASSERT(::IsWindow(m_hWnd));
    TOOLINFOW info = DescribeTool(wnd, rect, id);
    ::SendMessage(m_hWnd, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::GetText(CString& text, CWnd* wnd, UINT_PTR id) const
{
    ASSERT(::IsWindow(m_hWnd));
    TOOLINFOW info = DescribeTool(wnd, nullptr, id);
    // wParam is the buffer size for common controls 6; older ones assume 80 characters.
    const int kSize = 1024;
    wchar_t* buffer = text.GetBuffer(kSize);
    buffer[0] = 0;
    info.lpszText = buffer;
    ::SendMessage(m_hWnd, TTM_GETTEXTW, kSize, reinterpret_cast<LPARAM>(&info));
    if (info.lpszText != buffer) {
        CString own(info.lpszText && !IS_INTRESOURCE(info.lpszText) && info.lpszText != LPSTR_TEXTCALLBACKW ? info.lpszText : L"");
        text.ReleaseBuffer(0);
        text = own;
        return;
    }
    buffer[kSize] = 0;
    text.ReleaseBuffer(-1);
}
