// CToviDialog: background, frame, region and font of the update program's dialogs.
#include "ToviDialog.h"
#include "CaptionPalette.h"
#include "FileUtils.h"
#include "UpdaterRes.h"
#include "Dc.h"
#include <windowsx.h>
#include <vector>

BEGIN_MESSAGE_MAP(CToviDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

void VerticalGradient(HDC dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to)
{
    if (right <= left || bottom <= top)
        return;
    const RECT r = { left, top, right, bottom };
    CDC::FromHandle(dc)->FillGradientRect(&r, from, to, true);
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    RECT r = { left, top, right, bottom };
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

int CALLBACK NoteFaces(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found)
{
    if (font->lfFaceName[0] != L'@')
        reinterpret_cast<std::vector<CString>*>(found)->push_back(font->lfFaceName);
    return 1;
}

// The faces that have glyphs of that character set; a face given narrows it to that face.
std::vector<CString> FacesWith(BYTE charSet, const CString& face)
{
    LOGFONTW query = {};
    query.lfCharSet = charSet;
    wcsncpy(query.lfFaceName, face.GetString(), LF_FACESIZE - 1);
    std::vector<CString> found;
    HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(dc, &query, NoteFaces, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}

// Whether the face has real glyphs for both scripts (some fallback fonts list Latin but draw boxes).
bool DrawsLatinAndHangul(const CString& face)
{
    LOGFONTW lf = {};
    lf.lfHeight = -12;
    wcsncpy(lf.lfFaceName, face.GetString(), LF_FACESIZE - 1);
    HFONT font = ::CreateFontIndirectW(&lf);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    WORD glyphs[2] = {};
    bool both = ::GetGlyphIndicesW(dc, L"A\uAC00", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 2 && glyphs[0] != 0xFFFF &&
                glyphs[1] != 0xFFFF && glyphs[0] != 0 && glyphs[1] != 0;
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(font);
    return both;
}

// The dialog face, or on systems without it one with both Hangul and Latin glyphs.
CString InstalledFace(const CString& face)
{
    if (!FacesWith(DEFAULT_CHARSET, face).empty())
        return face;
    for (const CString& candidate : FacesWith(HANGEUL_CHARSET, CString()))
        if (DrawsLatinAndHangul(candidate))
            return candidate;
    return face;
}

}

CToviDialog::CToviDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
    m_bodyBrush = ::CreateSolidBrush(kBodyColor);
}

CToviDialog::~CToviDialog()
{
    if (m_bodyBrush != nullptr)
        ::DeleteObject(m_bodyBrush);
}

BOOL CToviDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    LOGFONTW lf = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    ::GetObjectW(current != nullptr ? current : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    CString face = CFileUtils::GetFont(m_nProductIndex);
    face = InstalledFace(face);
    wcsncpy(lf.lfFaceName, face.GetString(), LF_FACESIZE - 1);
    lf.lfQuality = CLEARTYPE_QUALITY;
    m_font.CreateFontIndirect(&lf);
    lf.lfWeight = 600;
    m_titleFont.CreateFontIndirect(&lf);
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    SetVantelRgn(rc.right, rc.bottom);
    return TRUE;
}

BOOL CToviDialog::PreTranslateMessage(MSG* pMsg)
{
    // The caption band moves the window, as a title bar would.
    if (pMsg->message == WM_LBUTTONDOWN && pMsg->hwnd == m_hWnd && GET_Y_LPARAM(pMsg->lParam) < 31) {
        ::ReleaseCapture();
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, pMsg->lParam);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CToviDialog::DrawBkgnd(HDC dc, const RECT& client)
{
    int w = client.right - client.left;
    int h = client.bottom - client.top;
    Fill(dc, 0, 0, w, h, RGB(0xFF, 0xFF, 0xFF));
    VerticalGradient(dc, 0, 0, w, kCaptionHeight, toolkit::kCaptionTop, toolkit::kCaptionBottom);
    Fill(dc, 0, kCaptionHeight, w, kCaptionHeight + 1, RGB(0x38, 0x64, 0x9A));
    Fill(dc, 0, kCaptionHeight + 1, w, kCaptionHeight + 2, RGB(0x2E, 0x51, 0x7C));
    Fill(dc, 0, kCaptionHeight + 2, w, h - kBottomBand, kBodyColor);
    Fill(dc, 0, h - kBottomBand, w, h - kBottomBand + 1, RGB(0xDD, 0xDD, 0xDD));
    VerticalGradient(dc, 0, h - kBottomBand + 1, w, h, RGB(0xEE, 0xEE, 0xEE), RGB(0xE5, 0xE3, 0xE3));

    wchar_t title[256] = {};
    ::GetWindowTextW(m_hWnd, title, 255);
    HGDIOBJ oldFont = ::SelectObject(dc, m_titleFont.GetSafeHandle() != nullptr ? m_titleFont.GetSafeHandle()
                                                                                 : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT text = { 6, 0, w - 28, 22 };
    ::DrawTextW(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
    DrawBorders(dc, client);
    return TRUE;
}

void CToviDialog::DrawBorders(HDC dc, const RECT& client)
{
    int w = client.right - client.left;
    int h = client.bottom - client.top;
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0x3F, 0x3E, 0x43));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, 0, 0, w, h, 11, 11);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
    Fill(dc, 2, 1, w - 2, 2, RGB(0xAC, 0xC5, 0xE1));
}

BOOL CToviDialog::OnEraseBkgnd(CDC* pDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HDC target = pDC->GetSafeHdc();
    HDC memory = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, rc.right, rc.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    DrawBkgnd(memory, rc);
    ::BitBlt(target, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    return TRUE;
}

void CToviDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::Default();
    if (nType != SIZE_MINIMIZED) {
        SetVantelRgn(cx, cy);
        SetSysButtonPos();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

HBRUSH CToviDialog::OnCtlColor(CDC* pDC, CWnd*, UINT nCtlColor)
{
    // Labels sit on the body colour; their text is drawn without a box of its own.
    if (nCtlColor == CTLCOLOR_STATIC) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetBkColor(kBodyColor);
        return m_bodyBrush;
    }
    return reinterpret_cast<HBRUSH>(Default());
}

void CToviDialog::SetVantelRgn(int cx, int cy)
{
    HRGN region = ::CreateRoundRectRgn(0, 0, cx + 1, cy + 1, 11, 11);
    // The system owns the region once it is set.
    if (::SetWindowRgn(m_hWnd, region, TRUE) == 0)
        ::DeleteObject(region);
}

void CToviDialog::SetSysButtonPos()
{
    HWND button = ::GetDlgItem(m_hWnd, IDC_BTN_SYSEXIT);
    if (button == nullptr)
        return;
    RECT client, rc;
    ::GetClientRect(m_hWnd, &client);
    ::GetWindowRect(button, &rc);
    int w = rc.right - rc.left;
    ::SetWindowPos(button, nullptr, client.right - 72 + 2 * w, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
