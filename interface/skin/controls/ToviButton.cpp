// CToviButton: styles, skins, regions, check state and the mouse state machine.
#include "ToviButton.h"
#include "Dc.h"
#include "Library.h"
#include "SkinRes.h"
#include "VImageList.h"
#include <vector>

IMPLEMENT_DYNAMIC(CToviButton, CButton)

BEGIN_MESSAGE_MAP(CToviButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSELEAVE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
struct FlatStyle {
    int style;
    COLORREF outline;
    COLORREF states[6];
    COLORREF text;
};

const COLORREF kStyle9States[6] = { 0xFDFDFD, 0xEFEFEF, 0xFDFDFD, 0xF9F9F9, 0xD2D2D2, 0xD2D2D2 };

const FlatStyle kFlatStyles[] = {
    { 9, 0xA7A7A7, { 0xFDFDFD, 0xEFEFEF, 0xFDFDFD, 0xF9F9F9, 0xD2D2D2, 0xD2D2D2 }, 0x3C3C3C },
    { 10, 0xD2D2D2, { 0xFFFFFF, 0xF9F9F9, 0xFFFFFF, 0xD1E4F1, 0xE8F2F9, 0x85B9DC }, 0x000000 },
    { 11, 0x383838, { 0x696969, 0x565656, 0x696969, 0x696969, 0x565656, 0x565656 }, 0xFFFFFF },
    { 13, 0xB46B39, { 0xE3A577, 0xAF794A, 0xE3A577, 0xC29163, 0xAF794A, 0xAF794A }, 0xFFFFFF },
    { 14, 0xA7A7A7, {}, 0x000000 },
    { 15, 0xA7A7A7, {}, 0x000000 },
    { 16, 0x78ADA8, {}, 0x000000 },
    { 17, 0xA7A7A7, { 0xECD0B7, 0xECD0B7, 0xF2E0D0, 0xF2E0D0, 0xE2B994, 0xE2B994 }, 0x3C3C3C },
    { 18, 0xA7A7A7, { 0x7EC2F5, 0x7EC2F5, 0xAAD8F9, 0xAAD8F9, 0x62B5F2, 0x62B5F2 }, 0x3C3C3C },
    { 19, 0x101010, { 0x808080, 0x6C6C6C, 0x929292, 0x797979, 0x565656, 0x565656 }, 0xFFFFFF },
};

const FlatStyle* FindFlatStyle(int style)
{
    for (const FlatStyle& f : kFlatStyles)
        if (f.style == style)
            return &f;
    return nullptr;
}

bool UsesRoundCorners(int style)
{
    return style == 9 || (style >= 11 && style <= 20);
}
}

CToviButton::CToviButton() = default;

CToviButton::~CToviButton()
{
    if (m_hGrayIcon)
        ::DestroyIcon(m_hGrayIcon);
    if (m_hRgn && (m_hWnd == nullptr || !::IsWindow(m_hWnd)))
        m_hRgn = nullptr;   // the window that owned it deleted it
    m_imageList.DeleteImageList();
    if (m_toolTip.m_hWnd && ::IsWindow(m_toolTip.m_hWnd))
        m_toolTip.DestroyWindow();
}

void CToviButton::PreSubclassWindow()
{
    const DWORD style = GetStyle();
    const DWORD type = style & BS_TYPEMASK;
    if (type == BS_OWNERDRAW)
        m_nCheckKind = kPushButton;
    else if ((style & 0x9) == 0x9)
        m_nCheckKind = kRadioButton;
    else if ((style & 0x3) == 0x3)
        m_nCheckKind = kCheckBox;
    else
        m_nCheckKind = kPushButton;
    if (m_nCheckKind != kPushButton)
        m_bChecked = ::SendMessage(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

void CToviButton::LoadCaptionImages(UINT normal, UINT hover, UINT pressed, UINT disabled)
{
    m_imageList.DeleteImageList();
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    for (UINT id : { normal, hover, pressed, disabled }) {
        HICON icon = CVImageList::GetIcon(id, 16, 16);
        if (icon)
            m_imageList.Add(icon);
    }
    SetWindowPos(nullptr, 0, 0, 24, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CToviButton::SetFlatColors(COLORREF outline, const COLORREF states[6], COLORREF text,
                                int disabledTextSysColor, COLORREF disabledText)
{
    m_clrBg = outline;
    for (int i = 0; i < 6; ++i)
        m_clrState[i] = states[i];
    m_clrText[0] = m_clrText[1] = m_clrText[2] = text;
    m_clrText[3] = disabledTextSysColor >= 0 ? ::GetSysColor(disabledTextSysColor) : disabledText;
}

void CToviButton::SetBtnStyle(int style)
{
    m_nBtnStyle = style;
    switch (style) {
    case kStyleMainMenu:
        SetWindowPos(nullptr, 0, 0, 90, 33, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case kStyleCaptionMinimize:
        LoadCaptionImages(IDI_MINIMIZE_NORMAL, IDI_MINIMIZE_HOVER, IDI_MINIMIZE_PRESSED, IDI_MINIMIZE_DISABLED);
        break;
    case kStyleCaptionMiddle:
        LoadCaptionImages(IDI_MIDDLE_NORMAL, IDI_MIDDLE_HOVER, IDI_MIDDLE_PRESSED, IDI_MIDDLE_DISABLED);
        break;
    case kStyleCaptionClose:
        LoadCaptionImages(IDI_CLOSE_NORMAL, IDI_CLOSE_HOVER, IDI_CLOSE_PRESSED, IDI_CLOSE_DISABLED);
        break;
    case kStyleFrameMinimize:
        LoadCaptionImages(IDI_FRAME_MINIMIZE_NORMAL, IDI_FRAME_MINIMIZE_HOVER, IDI_FRAME_MINIMIZE_PRESSED, IDI_MINIMIZE_DISABLED);
        break;
    case kStyleFrameMiddle:
        LoadCaptionImages(IDI_FRAME_MIDDLE_NORMAL, IDI_FRAME_MIDDLE_HOVER, IDI_FRAME_MIDDLE_PRESSED, IDI_MIDDLE_DISABLED);
        break;
    case kStyleFrameClose:
        LoadCaptionImages(IDI_FRAME_CLOSE_NORMAL, IDI_FRAME_CLOSE_HOVER, IDI_FRAME_CLOSE_PRESSED, IDI_CLOSE_DISABLED);
        break;
    default:
        if (const FlatStyle* flat = FindFlatStyle(style)) {
            const COLORREF* states = (style >= 14 && style <= 16) ? kStyle9States : flat->states;
            if (style == 19)
                SetFlatColors(flat->outline, states, flat->text, -1, 0xFFFFFF);
            else
                SetFlatColors(flat->outline, states, flat->text, COLOR_GRAYTEXT, 0);
            if (style == 9)
                m_nFontSize = 8;
        }
        break;
    }
    CRect rc;
    GetWindowRect(&rc);
    SetButtonRgn(rc.Width(), rc.Height());
}

int CToviButton::SetButtonRgn(int width, int height)
{
    if (UsesRoundCorners(m_nBtnStyle))
        m_nRoundRadius = 2;
    if (width <= 0 || height <= 0 || m_nRoundRadius <= 0)
        return -1;
    // The window deletes the region it had when it takes the new one.
    m_hRgn = ::CreateRoundRectRgn(0, 0, width + 1, height + 1, m_nRoundRadius, m_nRoundRadius);
    if (SetWindowRgn(m_hRgn, TRUE) == 0) {
        ::DeleteObject(m_hRgn);
        m_hRgn = nullptr;
    }
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

void CToviButton::SetSkin(UINT normal, UINT status, UINT hover, UINT disabled, UINT focus, UINT mask,
                          short mode, short, short)
{
    CBitmap* bitmaps[6] = { &m_bmpNormal, &m_bmpStatus, &m_bmpHover, &m_bmpDisabled, &m_bmpFocus, &m_bmpMask };
    const UINT ids[6] = { normal, status, hover, disabled ? disabled : normal, focus, mask };
    for (int i = 0; i < 6; ++i) {
        bitmaps[i]->DeleteObject();
        if (ids[i])
            bitmaps[i]->LoadBitmap(ids[i]);
    }
    m_nSkinMode = mode > 1 ? 2 : (mode < 0 ? 0 : mode);
    if (mask && m_bmpMask.GetSafeHandle()) {
        HRGN region = CreateRgnFromBitmap((HBITMAP)m_bmpMask.GetSafeHandle(), 0xFFFFFF);
        if (region) {
            if (SetWindowRgn(region, TRUE) == 0)
                ::DeleteObject(region);
            else
                m_hRgn = region;
        }
        if (m_nSkinMode == 0) {
            HBITMAP h = (HBITMAP)m_bmpMask.GetSafeHandle();
            SetWindowPos(nullptr, 0, 0, GetBitmapWidth(h), GetBitmapHeight(h), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void CToviButton::SetIcon(UINT iconId)
{
    m_hIcon = CVImageList::GetIcon(iconId, 16, 16);
    if (m_hGrayIcon)
        ::DestroyIcon(m_hGrayIcon);
    m_hGrayIcon = CreateGrayscaleIcon(m_hIcon);
}

HICON CToviButton::CreateGrayscaleIcon(HICON icon)
{
    return CVImageList::CreateGrayscaleIcon(icon);
}

void CToviButton::SetFontSize(int points, LONG weight)
{
    if (points > 0)
        m_nFontSize = points;
    if (weight > 0)
        m_nFontWeight = weight;
}

void CToviButton::SetStateColor(COLORREF normalTop, COLORREF normalBottom, COLORREF hoverTop,
                                COLORREF hoverBottom, COLORREF pressedTop, COLORREF pressedBottom)
{
    const COLORREF c[6] = { normalTop, normalBottom, hoverTop, hoverBottom, pressedTop, pressedBottom };
    for (int i = 0; i < 6; ++i)
        m_clrState[i] = c[i];
}

void CToviButton::SetTextColor(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled)
{
    m_clrText[0] = normal;
    m_clrText[1] = hover;
    m_clrText[2] = pressed;
    m_clrText[3] = disabled;
}

void CToviButton::SetStatus(bool status)
{
    m_bStatus = status;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

HFONT CToviButton::MakeCaptionFont(HFONT base) const
{
    LOGFONTW lf = {};
    if (base == nullptr)
        base = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    ::GetObjectW(base, sizeof(lf), &lf);
    lf.lfQuality = CLEARTYPE_QUALITY;
    if (m_nFontSize > 0) {
        HDC screen = ::GetDC(nullptr);
        lf.lfHeight = -::MulDiv(m_nFontSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        ::ReleaseDC(nullptr, screen);
    }
    if (m_nFontWeight > 0)
        lf.lfWeight = m_nFontWeight;
    return ::CreateFontIndirectW(&lf);
}

int CToviButton::GetButtonWidth(int margin)
{
    CString caption;
    GetWindowText(caption);
    int width = margin;
    if (!caption.IsEmpty()) {
        HFONT font = MakeCaptionFont((HFONT)SendMessage(WM_GETFONT));
        HDC dc = ::GetDC(m_hWnd);
        HGDIOBJ old = ::SelectObject(dc, font);
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, caption, caption.GetLength(), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(m_hWnd, dc);
        ::DeleteObject(font);
        width += size.cx;
    }
    if (m_hIcon)
        width += 20;
    return width;
}

// ---- Check state: owner-drawn buttons have none of their own ----

void CToviButton::StoreCheck(bool checked)
{
    if (m_bChecked == checked)
        return;
    m_bChecked = checked;
    if (checked && m_nCheckKind == kRadioButton) {
        // One checked radio button per group, as the system's automatic ones behave.
        CWnd* parent = GetParent();
        if (parent) {
            for (HWND h = ::GetNextDlgGroupItem(parent->m_hWnd, m_hWnd, FALSE); h && h != m_hWnd;
                 h = ::GetNextDlgGroupItem(parent->m_hWnd, h, FALSE)) {
                auto* other = DYNAMIC_DOWNCAST(CToviButton, CWnd::FromHandlePermanent(h));
                if (other && other->m_nCheckKind == kRadioButton && other->m_bChecked) {
                    other->m_bChecked = false;
                    other->Invalidate(FALSE);
                }
            }
        }
    }
    Invalidate(FALSE);
}

LRESULT CToviButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDBLCLK:
        // A double click is two presses.
        message = WM_LBUTTONDOWN;
        break;
    case BM_SETCHECK:
        if (m_nCheckKind != kPushButton) {
            StoreCheck(wParam == BST_CHECKED);
            return 0;
        }
        break;
    case BM_GETCHECK:
        if (m_nCheckKind != kPushButton)
            return m_bChecked ? BST_CHECKED : BST_UNCHECKED;
        break;
    default:
        break;
    }
    return CButton::DefWindowProc(message, wParam, lParam);
}

// ---- Mouse and keyboard ----

BOOL CToviButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CToviButton::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar == VK_SPACE) {
        if (m_nCheckKind == kCheckBox)
            SendMessage(BM_SETCHECK, m_bChecked ? BST_UNCHECKED : BST_CHECKED);
        else if (m_nCheckKind == kRadioButton)
            SendMessage(BM_SETCHECK, BST_CHECKED);
    }
    Default();
}

bool CToviButton::IsUnderCursor(CPoint client) const
{
    POINT screen = client;
    ::ClientToScreen(m_hWnd, &screen);
    return ::WindowFromPoint(screen) == m_hWnd;
}

void CToviButton::OnMouseMove(UINT, CPoint point)
{
    Default();
    RelayEvent(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    if (m_bLButtonDown && ::GetCapture() == m_hWnd) {
        const bool over = IsUnderCursor(point);
        const bool pushed = (GetState() & BST_PUSHED) != 0;
        if (over != pushed)
            SetState(over);
    } else if (!m_bHover) {
        TRACKMOUSEEVENT tme = { sizeof(tme), TME_LEAVE, m_hWnd, 0 };
        if (::TrackMouseEvent(&tme)) {
            m_bHover = true;
            Invalidate(FALSE);
        }
    }
}

void CToviButton::OnKillFocus(CWnd*)
{
    Default();
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        m_bLButtonDown = false;
    }
}

void CToviButton::SelectInGroup()
{
    if (m_bStatus)
        return;
    SetStatus(true);
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    for (HWND h = ::GetNextDlgGroupItem(parent->m_hWnd, m_hWnd, FALSE); h && h != m_hWnd;
         h = ::GetNextDlgGroupItem(parent->m_hWnd, h, FALSE)) {
        auto* other = DYNAMIC_DOWNCAST(CToviButton, CWnd::FromHandlePermanent(h));
        if (other && other->m_nBtnStyle == m_nBtnStyle && other->m_bStatus)
            other->SetStatus(false);
    }
}

void CToviButton::OnLButtonDown(UINT, CPoint point)
{
    RelayEvent(WM_LBUTTONDOWN, 0, MAKELPARAM(point.x, point.y));
    if (m_bHover) {
        TRACKMOUSEEVENT tme = { sizeof(tme), TME_CANCEL | TME_LEAVE, m_hWnd, 0 };
        if (::TrackMouseEvent(&tme))
            m_bHover = false;
    }
    m_bLButtonDown = true;
    if (m_nBtnStyle == kStyleMainMenu || m_nBtnStyle == kStyleListToggle)
        SelectInGroup();
    Default();
}

void CToviButton::OnLButtonUp(UINT, CPoint point)
{
    if (m_nCheckKind != kPushButton && IsUnderCursor(point)) {
        if (m_nCheckKind == kCheckBox)
            SendMessage(BM_SETCHECK, m_bChecked ? BST_UNCHECKED : BST_CHECKED);
        else
            SendMessage(BM_SETCHECK, BST_CHECKED);
    }
    RelayEvent(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    m_bLButtonDown = false;
    Default();
}

void CToviButton::OnMouseLeave()
{
    m_bHover = false;
    Invalidate(TRUE);
}

void CToviButton::OnSize(UINT, int cx, int cy)
{
    Default();
    SetButtonRgn(cx, cy);
}

void CToviButton::RelayEvent(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_toolTip.m_hWnd == nullptr || !::IsWindow(m_toolTip.m_hWnd))
        return;
    MSG msg = { m_hWnd, message, wParam, lParam, 0, { (short)LOWORD(lParam), (short)HIWORD(lParam) } };
    ::SendMessage(m_toolTip.m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)&msg);
}

// ---- Bitmaps and regions ----

int CToviButton::GetBitmapWidth(HBITMAP bitmap)
{
    BITMAP bm = {};
    return (bitmap && ::GetObjectW(bitmap, sizeof(bm), &bm)) ? bm.bmWidth : 0;
}

int CToviButton::GetBitmapHeight(HBITMAP bitmap)
{
    BITMAP bm = {};
    return (bitmap && ::GetObjectW(bitmap, sizeof(bm), &bm)) ? bm.bmHeight : 0;
}

HRGN CToviButton::CreateRgnFromBitmap(HBITMAP bitmap, COLORREF transparent)
{
    if (bitmap == nullptr)
        return nullptr;
    const int width = GetBitmapWidth(bitmap), height = GetBitmapHeight(bitmap);
    if (width <= 0 || height <= 0)
        return nullptr;
    std::vector<DWORD> pixels((size_t)width * height);
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB };
    HDC dc = ::CreateCompatibleDC(nullptr);
    int rows = ::GetDIBits(dc, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    ::DeleteDC(dc);
    if (rows != height)
        return nullptr;
    const DWORD key = RGB(GetBValue(transparent), GetGValue(transparent), GetRValue(transparent));   // as BGRA
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    for (int y = height - 1; y >= 0; --y) {
        const DWORD* row = &pixels[(size_t)y * width];
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xFFFFFF) == key)
                ++x;
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != key)
                ++x;
            if (x > start) {
                HRGN run = ::CreateRectRgn(start, y, x, y + 1);
                ::CombineRgn(region, region, run, RGN_OR);
                ::DeleteObject(run);
            }
        }
    }
    return region;
}
