// CTaskBarDlg: the edge beside the task bar, the slide-in, wait and slide-out timers, painting
// and hover.
#include "TaskBarDlg.h"
#include "CommonDlgsRes.h"
#include "Dc.h"
#include "FileUtils.h"
#include "Library.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CTaskBarDlg, CDialog)

BEGIN_MESSAGE_MAP(CTaskBarDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_MOUSEHOVER()
    ON_WM_LBUTTONUP()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CTaskBarDlg::Host CTaskBarDlg::s_defaultHost;

void CTaskBarDlg::Host::GetScreen(RECT* workArea, SIZE* screen)
{
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, workArea, 0))
        ::SetRect(workArea, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    screen->cx = ::GetSystemMetrics(SM_CXSCREEN);
    screen->cy = ::GetSystemMetrics(SM_CYSCREEN);
}

void CTaskBarDlg::Host::StartTimer(HWND wnd, UINT_PTR id, UINT elapse)
{
    ::SetTimer(wnd, id, elapse, nullptr);
}

void CTaskBarDlg::Host::StopTimer(HWND wnd, UINT_PTR id)
{
    ::KillTimer(wnd, id);
}

CTaskBarDlg::CTaskBarDlg(CWnd* pParent) : CDialog(IDD_TASKBAR_DIALOG, pParent)
{
}

CTaskBarDlg::~CTaskBarDlg()
{
    if (m_hSkin)
        ::DeleteObject(m_hSkin);
}

BOOL CTaskBarDlg::Create()
{
    return CDialog::Create(IDD_TASKBAR_DIALOG, m_pParentWnd);
}

UINT CTaskBarDlg::IntervalFor(UINT totalMs, int size, int step)
{
    // A skin of a pixel or two still slides in one tick rather than dividing by zero.
    int ticks = step > 0 ? size / step : size;
    return totalMs / (UINT)std::max(ticks, 1);
}

bool CTaskBarDlg::SetSkin(UINT bitmapId, short, short, short)
{
    HBITMAP skin = (HBITMAP)::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0);
    if (skin == nullptr)
        skin = (HBITMAP)::LoadImageW(ToviInterfaceInstance(), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0);
    BITMAP info = {};
    if (skin == nullptr || !::GetObjectW(skin, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        if (skin)
            ::DeleteObject(skin);
        TraceLog(2048, L"[ CTaskBarDlg::SetSkin ] bitmap %u did not load\n", bitmapId);
        return false;
    }
    if (m_hSkin)
        ::DeleteObject(m_hSkin);
    m_hSkin = skin;
    m_nWidth = info.bmWidth;
    m_nHeight = std::abs(info.bmHeight);
    SetVantelRgn(m_nWidth, m_nHeight);
    return true;
}

int CTaskBarDlg::SetVantelRgn(int width, int height)
{
    if (width <= 0 || height <= 0)
        return -1;
    CRgn region;
    region.CreateRectRgn(0, 0, width + 1, height + 1);
    // Each top corner loses what of its 5 x 5 square lies outside an 11 x 11 circle.
    const struct { RECT square, ellipse; } corners[] = {
        { { 0, 0, 5, 5 }, { 0, 0, 11, 11 } },
        { { width - 4, 0, width + 1, 5 }, { width - 10, 0, width + 1, 11 } },
    };
    for (const auto& corner : corners) {
        CRgn square, ellipse;
        square.CreateRectRgnIndirect(&corner.square);
        ellipse.CreateEllipticRgnIndirect(&corner.ellipse);
        ::CombineRgn(square, square, ellipse, RGN_DIFF);
        ::CombineRgn(region, region, square, RGN_DIFF);
    }
    m_rgn.DeleteObject();
    m_rgn.Attach(region.Detach());
    if (m_hWnd) {
        // The window owns the region it is given: hand it a copy and keep ours.
        HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(copy, (HRGN)m_rgn.GetSafeHandle(), nullptr, RGN_COPY);
        if (!SetWindowRgn(copy, TRUE))
            ::DeleteObject(copy);
    }
    return 0;
}

void CTaskBarDlg::BuildFont(const CString& face)
{
    HFONT current = (HFONT)SendMessage(WM_GETFONT);
    LOGFONTW lf = {};
    if (current)
        ::GetObjectW(current, sizeof(lf), &lf);
    else
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    ::ZeroMemory(lf.lfFaceName, sizeof(lf.lfFaceName));
    ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfWeight = FW_NORMAL;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
    lf.lfWeight = 600;
    m_fontTitle.DeleteObject();
    m_fontTitle.CreateFontIndirect(&lf);
    SendMessageToDescendants(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), TRUE);
}

BOOL CTaskBarDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    BuildFont(CFileUtils::GetDlgFont(0));
    return TRUE;
}

void CTaskBarDlg::ResetLocale()
{
    BuildFont(CFileUtils::GetFont(0));
    CString title;
    if (!CToviRegistry::GetMainTitle(0, title) || title.IsEmpty())
        title = L"CORVANE IXO";
    m_strTitle = title;
    Repaint();
}

void CTaskBarDlg::ChooseEdge()
{
    RECT work = {};
    SIZE screen = {};
    m_pHost->GetScreen(&work, &screen);
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    if (workWidth < screen.cx) {
        if (work.left == 0) {
            m_nEdge = kEdgeRight;
            m_nTargetX = work.right;
            m_nTargetY = work.bottom - m_nHeight;
        } else {
            m_nEdge = kEdgeLeft;
            m_nTargetX = screen.cx;
            m_nTargetY = screen.cy - m_nHeight;
        }
    } else if (workHeight < screen.cy && work.top != 0) {
        m_nEdge = kEdgeTop;
        m_nTargetX = screen.cx - m_nWidth;
        m_nTargetY = screen.cy;
    } else {
        m_nEdge = kEdgeBottom;
        m_nTargetX = work.right - m_nWidth;
        m_nTargetY = work.bottom;
    }
    const int size = Vertical() ? m_nHeight : m_nWidth;
    m_nAppearInterval = IntervalFor(m_nAppearTime, size, m_nStep);
    m_nDisappearInterval = IntervalFor(m_nDisappearTime, size, m_nStep);
    m_nCurrentX = m_nTargetX;
    m_nCurrentY = m_nTargetY;
}

void CTaskBarDlg::Show(CString text)
{
    if (m_hSkin == nullptr || m_hWnd == nullptr) {
        TraceLog(2, L"[ CTaskBarDlg::Show ] no skin: nothing to show\n");
        return;
    }
    // The skin draws the text; the window text carries it too, for screen readers.
    SetWindowText(text);
    switch (m_nState) {
    case kHidden:
        TraceLog(1, L"IDT_HIDDEN\n");
        m_strText = text;
        ChooseEdge();
        Place();
        ShowWindow(SW_SHOWNOACTIVATE);
        m_nState = kAppearing;
        m_pHost->StartTimer(m_hWnd, kTimerAppear, m_nAppearInterval);
        break;
    case kAppearing:
        TraceLog(1, L"IDT_APPEARING\n");
        m_strText = text;
        Repaint();
        break;
    case kWaiting:
        TraceLog(1, L"IDT_WAITING\n");
        m_strText = text;
        Repaint();
        m_pHost->StopTimer(m_hWnd, kTimerWait);
        m_pHost->StartTimer(m_hWnd, kTimerWait, m_nWaitTime);
        break;
    case kDisappearing:
        TraceLog(1, L"IDT_DISAPPEARING\n");
        m_strText = text;
        m_pHost->StopTimer(m_hWnd, kTimerDisappear);
        m_pHost->StartTimer(m_hWnd, kTimerWait, m_nWaitTime);
        // Back in full view where the slide-in ended, whichever edge it slides from.
        if (Vertical())
            m_nCurrentY = m_nTargetY - m_nHeight;
        else
            m_nCurrentX = m_nTargetX - m_nWidth;
        m_nState = kWaiting;
        Place();
        Repaint();
        break;
    }
}

void CTaskBarDlg::Hide()
{
    if (m_hWnd == nullptr)
        return;
    m_pHost->StopTimer(m_hWnd, kTimerAppear);
    m_pHost->StopTimer(m_hWnd, kTimerWait);
    m_pHost->StopTimer(m_hWnd, kTimerDisappear);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_HIDE);
    m_nState = kHidden;
}

// The window at the moving corner with the part of the pop-up that is out.
void CTaskBarDlg::Place()
{
    int width = m_nWidth, height = m_nHeight;
    if (Vertical())
        height = m_nTargetY - m_nCurrentY;
    else
        width = m_nTargetX - m_nCurrentX;
    SetWindowPos(nullptr, m_nCurrentX, m_nCurrentY, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTaskBarDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case kTimerAppear: {
        m_nState = kAppearing;
        const bool vertical = Vertical();
        int& current = vertical ? m_nCurrentY : m_nCurrentX;
        const int limit = vertical ? m_nTargetY - m_nHeight : m_nTargetX - m_nWidth;
        if (current > limit) {
            current = std::max(current - m_nStep, limit);
        } else {
            m_pHost->StopTimer(m_hWnd, kTimerAppear);
            m_pHost->StartTimer(m_hWnd, kTimerWait, m_nWaitTime);
            m_nState = kWaiting;
        }
        Place();
        break;
    }
    case kTimerWait:
        m_pHost->StopTimer(m_hWnd, kTimerWait);
        m_pHost->StartTimer(m_hWnd, kTimerDisappear, m_nDisappearInterval);
        break;
    case kTimerDisappear: {
        m_nState = kDisappearing;
        const bool vertical = Vertical();
        int& current = vertical ? m_nCurrentY : m_nCurrentX;
        const int limit = vertical ? m_nTargetY : m_nTargetX;
        if (current < limit) {
            current = std::min(current + m_nStep, limit);
            Place();
        } else {
            m_pHost->StopTimer(m_hWnd, kTimerDisappear);
            Hide();
        }
        break;
    }
    default:
        Default();
        break;
    }
}

void CTaskBarDlg::Repaint()
{
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL CTaskBarDlg::OnEraseBkgnd(CDC* pDC)
{
    Default();
    if (m_hSkin)
        Paint(pDC);
    return TRUE;
}

void CTaskBarDlg::Paint(CDC* pDC)
{
    const int width = m_nWidth, height = m_nHeight;
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap picture;
    picture.CreateCompatibleBitmap(pDC, width, height);
    CBitmap* oldPicture = mem.SelectObject(&picture);
    CDC skin;
    skin.CreateCompatibleDC(pDC);
    HGDIOBJ oldSkin = skin.SelectObject((HGDIOBJ)m_hSkin);
    mem.BitBlt(0, 0, width, height, &skin, 0, 0, SRCCOPY);
    skin.SelectObject(oldSkin);
    mem.SetBkMode(TRANSPARENT);
    if (!m_strTitle.IsEmpty()) {
        HGDIOBJ oldFont = m_fontTitle.GetSafeHandle() ? mem.SelectObject(m_fontTitle.GetSafeHandle()) : nullptr;
        mem.SetTextColor(RGB(255, 255, 255));
        RECT rc = { 8, 0, width - 8, 24 };
        ::DrawTextW(mem.GetSafeHdc(), m_strTitle, m_strTitle.GetLength(), &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (oldFont)
            mem.SelectObject(oldFont);
    }
    if (!m_strText.IsEmpty()) {
        CFont underlined;
        HGDIOBJ font = m_font.GetSafeHandle();
        if (m_bHover && font) {
            LOGFONTW lf = {};
            ::GetObjectW(font, sizeof(lf), &lf);
            lf.lfUnderline = TRUE;
            underlined.CreateFontIndirect(&lf);
            font = underlined.GetSafeHandle();
        }
        HGDIOBJ oldFont = font ? mem.SelectObject(font) : nullptr;
        mem.SetTextColor(m_bHover ? m_clrHover : m_clrText);
        RECT rc = { 4, 24, width - 4, height - 4 };
        ::DrawTextW(mem.GetSafeHdc(), m_strText, m_strText.GetLength(), &rc,
                    DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (oldFont)
            mem.SelectObject(oldFont);
    }
    pDC->BitBlt(0, 0, width, height, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldPicture);
}

void CTaskBarDlg::OnMouseMove(UINT, CPoint)
{
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = 1;
    ::TrackMouseEvent(&track);
}

void CTaskBarDlg::OnMouseHover(UINT, CPoint)
{
    m_bHover = true;
    Repaint();
}

void CTaskBarDlg::OnMouseLeave()
{
    m_bHover = false;
    Repaint();
}

void CTaskBarDlg::OnLButtonUp(UINT, CPoint)
{
    // The main window opens its alarm page; the pop-up keeps its own course.
    if (m_pParentWnd && m_pParentWnd->GetSafeHwnd())
        m_pParentWnd->PostMessage(WM_TASKBAR_CLICK, 0, 0);
    else if (HWND parent = ::GetParent(m_hWnd))
        ::PostMessageW(parent, WM_TASKBAR_CLICK, 0, 0);
}

void CTaskBarDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        SetVantelRgn(cx, cy);
}

void CTaskBarDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    delete this;
}
