// CVantelDialog: frame messages, region, system buttons, caption drag, control colours.
#include "VantelDialog.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ThemeLibrary.h"
#include <vector>

IMPLEMENT_DYNAMIC(CVantelDialog, CDialog)

BEGIN_MESSAGE_MAP(CVantelDialog, CDialog)
    ON_WM_NCACTIVATE()
    ON_WM_NCCALCSIZE()
    ON_WM_SIZE()
    ON_WM_ENTERSIZEMOVE()
    ON_WM_EXITSIZEMOVE()
    ON_WM_NCPAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CVantelDialog::CVantelDialog(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_nBorder(::GetSystemMetrics(SM_CXFRAME) + 1)
{
    m_brushCtl.CreateStockObject(NULL_BRUSH);
}

CVantelDialog::~CVantelDialog()
{
    m_fontTitle.DeleteObject();
    m_fontDlg.DeleteObject();
    m_strTitle.Empty();
    m_brushCtl.DeleteObject();
    m_rgnWnd.DeleteObject();
}

bool CVantelDialog::IsLoginLook(int uiType)
{
    return uiType == 1 || uiType == 2 || uiType == 3 || uiType == 7;
}

bool CVantelDialog::IsMinimizable(int uiType)
{
    return uiType >= 1 && uiType <= 5;
}

void CVantelDialog::PreSubclassWindow()
{
    // The caption band is painted in the client area: a caption in the template (which gives
    // the window its text) must not also get a system caption.
    ModifyStyle(WS_CAPTION, 0);
    if (IsMinimizable(m_nUIType))
        ModifyStyle(0, WS_MINIMIZEBOX);
    // The frame is ours: let WM_NCCALCSIZE run again with the border we want.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CDialog::PreSubclassWindow();
}

BOOL CVantelDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    HFONT current = (HFONT)SendMessage(WM_GETFONT);
    if (current == nullptr)
        return TRUE;
    m_fontDlg.DeleteObject();
    m_fontTitle.DeleteObject();
    LOGFONTW lf = {};
    ::GetObjectW(current, sizeof(lf), &lf);
    ::ZeroMemory(lf.lfFaceName, sizeof(lf.lfFaceName));
    CString face = CFileUtils::GetDlgFont(m_nProductType);
    ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    if (face == L"\xB9D1\xC740 \xACE0\xB515")   // the Korean system face
        lf.lfCharSet = DEFAULT_CHARSET;
    m_fontDlg.CreateFontIndirect(&lf);
    SendMessageToDescendants(WM_SETFONT, (WPARAM)m_fontDlg.GetSafeHandle(), TRUE);
    lf.lfWeight = 600;
    m_fontTitle.CreateFontIndirect(&lf);
    return TRUE;
}

BOOL CVantelDialog::OnNcActivate(BOOL bActive)
{
    if (IsIconic())
        return (BOOL)Default();
    // The system never paints its own active or inactive frame over ours.
    DrawBorders();
    return TRUE;
}

void CVantelDialog::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    if (!IsIconic()) {
        RECT& r = lpncsp->rgrc[0];
        int dx = m_nBorder - ::GetSystemMetrics(SM_CXFRAME);
        int dy = m_nBorder - ::GetSystemMetrics(SM_CYFRAME);
        r.top += dy;
        r.left += dx;
        r.right -= dx;
        r.bottom -= dy;
    }
    Default();
}

void CVantelDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!IsIconic())
        DrawBorders();
    if (nType != SIZE_MINIMIZED) {
        CRect window;
        GetWindowRect(&window);
        SetVantelRgn(window.Width(), window.Height());
        SetSysButtonPos();
    }
}

void CVantelDialog::OnEnterSizeMove()
{
    m_bNcTracking = false;
}

void CVantelDialog::OnExitSizeMove()
{
    m_bNcTracking = false;
}

void CVantelDialog::OnNcPaint()
{
    if (!IsIconic())
        DrawBorders();
}

HRGN CVantelDialog::CreateRoundedRegion(int width, int height)
{
    const int w = width, h = height;
    HRGN region = ::CreateRectRgn(0, 0, w + 1, h + 1);
    const RECT ellipses[4] = { { 0, 0, 11, 11 }, { w - 10, 0, w + 1, 11 }, { 0, h - 10, 11, h + 1 }, { w - 10, h - 10, w + 1, h + 1 } };
    const RECT squares[4] = { { 0, 0, 5, 5 }, { w - 4, 0, w + 1, 5 }, { 0, h - 4, 5, h + 1 }, { w - 4, h - 4, w + 1, h + 1 } };
    for (int i = 0; i < 4; ++i) {
        HRGN square = ::CreateRectRgnIndirect(&squares[i]);
        HRGN ellipse = ::CreateEllipticRgnIndirect(&ellipses[i]);
        ::CombineRgn(square, square, ellipse, RGN_DIFF);
        ::CombineRgn(region, region, square, RGN_DIFF);
        ::DeleteObject(ellipse);
        ::DeleteObject(square);
    }
    return region;
}

void CVantelDialog::SetVantelRgn(int width, int height)
{
    m_rgnWnd.DeleteObject();
    m_rgnWnd.Attach(CreateRoundedRegion(width, height));
    // The window owns the region it is given: hand it a copy and keep ours.
    CRgn copy;
    copy.CreateRectRgn(0, 0, 0, 0);
    copy.CopyRgn(&m_rgnWnd);
    HRGN handed = (HRGN)copy.Detach();
    if (SetWindowRgn(handed, TRUE) == 0)
        ::DeleteObject(handed);
}

void CVantelDialog::SetSysButtonPos()
{
    CRect client;
    GetClientRect(&client);
    const int right = client.right;
    HWND minimize = ::GetDlgItem(m_hWnd, IDC_SYSBTN_MINIMIZE);
    HWND middle = ::GetDlgItem(m_hWnd, IDC_SYSBTN_MIDDLE);
    HWND close = ::GetDlgItem(m_hWnd, IDC_SYSBTN_CLOSE);
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW;
    if ((GetStyle() & WS_MINIMIZEBOX) && minimize && middle && close) {
        RECT r;
        ::GetWindowRect(minimize, &r);
        const int w = r.right - r.left;
        HDWP batch = ::BeginDeferWindowPos(3);
        batch = ::DeferWindowPos(batch, minimize, nullptr, right - 72, 2, 0, 0, flags);
        batch = ::DeferWindowPos(batch, middle, nullptr, right - 72 + w, 2, 0, 0, flags);
        batch = ::DeferWindowPos(batch, close, nullptr, right - 72 + 2 * w, 2, 0, 0, flags);
        ::EndDeferWindowPos(batch);
    } else if (close) {
        RECT r;
        ::GetWindowRect(close, &r);
        ::SetWindowPos(close, nullptr, right - 72 + 2 * (r.right - r.left), 2, 0, 0, flags);
    }
}

void CVantelDialog::SetTitleBar(CString text)
{
    m_strTitle = text;
}

void CVantelDialog::GetTitleBar(CString& text)
{
    text = m_strTitle;
}

void CVantelDialog::SetTitleBarColor(COLORREF color)
{
    m_clrTitle1 = color;
    m_clrTitle2 = color;
}

bool CVantelDialog::IsCaptionDrag(HWND target, POINT pt) const
{
    if (IsLoginLook(m_nUIType) && m_nUIType != kUITypeLoginCorners) {
        HWND middle = ::GetDlgItem(m_hWnd, IDC_SYSBTN_MIDDLE);
        RECT r;
        if (middle && ::GetWindowRect(middle, &r) && ::PtInRect(&r, pt))
            return false;
    }
    // A press on a control in the band is the control's: a button must get its click, not
    // a move loop that swallows the release. Statics are the band's decoration.
    if (target != m_hWnd) {
        wchar_t cls[16] = {};
        ::GetClassNameW(target, cls, 16);
        if (::lstrcmpiW(cls, L"Static") != 0)
            return false;
    }
    CRect band;
    GetClientRect(&band);
    ClientToScreen(&band);
    band.bottom = band.top + kDragBandHeight;
    return band.PtInRect(pt) != FALSE;
}

BOOL CVantelDialog::PreTranslateMessage(MSG* pMsg)
{
    switch (pMsg->message) {
    case WM_NCMOUSELEAVE:
        m_bNcTracking = false;
        break;
    case WM_NCMOUSEMOVE:
        if (!m_bNcTracking) {
            m_bNcTracking = true;
            TRACKMOUSEEVENT tme = { sizeof(tme), TME_LEAVE | TME_NONCLIENT, m_hWnd, 0 };
            ::TrackMouseEvent(&tme);
        }
        break;
    case WM_LBUTTONDOWN: {
        POINT pt = { (short)LOWORD(pMsg->lParam), (short)HIWORD(pMsg->lParam) };
        ::ClientToScreen(pMsg->hwnd, &pt);
        if ((pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)) && IsCaptionDrag(pMsg->hwnd, pt))
            PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        break;
    }
    default:
        break;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

HBRUSH CVantelDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_STATIC || pWnd == nullptr || (pWnd->GetStyle() & 0x0F) == 0)
        return brush;
    if (ThemeIsAppThemed()) {
        HBRUSH themed = ThemedCtlBrush(pWnd);
        if (themed)
            return themed;
        return brush;
    }
    pDC->SetBkMode(TRANSPARENT);
    HGDIOBJ nullBrush = ::GetStockObject(NULL_BRUSH);
    if (m_brushCtl.GetSafeHandle() != nullBrush) {
        m_brushCtl.DeleteObject();
        m_brushCtl.CreateStockObject(NULL_BRUSH);
    }
    return (HBRUSH)nullBrush;
}

// The parent's themed background under the child, as a pattern brush. Only the newest brush
// is kept (the previous child has finished painting with its own); the bitmap is copied into
// the brush and goes at once, so nothing piles up however often controls repaint.
HBRUSH CVantelDialog::ThemedCtlBrush(CWnd* pWnd)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    if (rc.Width() <= 0 || rc.Height() <= 0)
        return nullptr;
    BITMAPINFOHEADER bih = { sizeof(bih), rc.Width(), -rc.Height(), 1, 32, BI_RGB };
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HBITMAP bitmap = ::CreateDIBSection(mem, (BITMAPINFO*)&bih, DIB_RGB_COLORS, &bits, nullptr, 0);
    HBRUSH pattern = nullptr;
    if (bitmap) {
        HGDIOBJ old = ::SelectObject(mem, bitmap);
        ThemeDrawParentBackground(pWnd->m_hWnd, mem, &rc);
        ::GdiFlush();
        std::vector<BYTE> packed(sizeof(bih) + (size_t)rc.Width() * rc.Height() * 4);
        ::memcpy(packed.data(), &bih, sizeof(bih));
        ::memcpy(packed.data() + sizeof(bih), bits, packed.size() - sizeof(bih));
        pattern = ::CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
        ::SelectObject(mem, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(mem);
    if (pattern == nullptr)
        return nullptr;
    m_brushCtl.DeleteObject();
    m_brushCtl.Attach(pattern);
    return pattern;
}

void CVantelDialog::ActivateWindow(HWND wnd)
{
    HWND target = wnd ? wnd : m_hWnd;
    if (!::IsWindow(target))
        return;
    if (::IsIconic(target))
        ::ShowWindowAsync(target, SW_RESTORE);
    ::ShowWindow(target, SW_SHOW);
    ::SetForegroundWindow(target);
    if (::GetForegroundWindow() != target) {
        HWND foreground = ::GetForegroundWindow();
        DWORD ours = ::GetWindowThreadProcessId(target, nullptr);
        DWORD theirs = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
        bool attached = theirs != 0 && theirs != ours && ::AttachThreadInput(ours, theirs, TRUE);
        ::BringWindowToTop(target);
        ::SetForegroundWindow(target);
        if (attached)
            ::AttachThreadInput(ours, theirs, FALSE);
    }
    if (::GetForegroundWindow() != target) {
        DWORD timeout = 0;
        ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
        ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
        ::BringWindowToTop(target);
        ::SetForegroundWindow(target);
        ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)(UINT_PTR)timeout, SPIF_SENDCHANGE);
    }
}
