// CMessageBoxDlg: buttons and icon by type, sizing to the text, painting and results.
#include "MessageBoxDlg.h"
#include "DataExchange.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CMessageBoxDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CMessageBoxDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedBtnSysExit)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
END_MESSAGE_MAP()

namespace {

const int kButtonStyle = 14;
const int kCloseStyle = CToviButton::kStyleCaptionClose;
// Room beside the text: the icon column on the left and a margin on the right.
const int kTextMargin = 70;
// Height of everything but the text: caption band, margins and the button row.
const int kFrameHeight = 115;

}

CMessageBoxDlg::CMessageBoxDlg(CWnd* pParent) : CVantelDialog(IDD_MESSAGEBOX_DIALOG, pParent)
{
}

CMessageBoxDlg::~CMessageBoxDlg()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

CMessageBoxDlg::ButtonSet CMessageBoxDlg::ButtonsOf(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return kButtonsOkCancel;
    case MB_YESNO:
        return kButtonsYesNo;
    default:
        return kButtonsOk;
    }
}

LPCWSTR CMessageBoxDlg::IconOf(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONASTERISK:
        return IDI_ASTERISK;
    case MB_ICONEXCLAMATION:
        return IDI_EXCLAMATION;
    case MB_ICONQUESTION:
        return IDI_QUESTION;
    case MB_ICONHAND:
        return IDI_HAND;
    case 0:
        // A question box without its own icon asks; an OK/Cancel box warns.
        if (ButtonsOf(type) == kButtonsYesNo)
            return IDI_QUESTION;
        if (ButtonsOf(type) == kButtonsOkCancel)
            return IDI_EXCLAMATION;
        return IDI_APPLICATION;
    default:
        return IDI_APPLICATION;
    }
}

int CMessageBoxDlg::ResultOfOk(unsigned type)
{
    return ButtonsOf(type) == kButtonsYesNo ? IDYES : IDOK;
}

int CMessageBoxDlg::ResultOfCancel(unsigned type)
{
    return ButtonsOf(type) == kButtonsYesNo ? IDNO : IDCANCEL;
}

int CMessageBoxDlg::ResultOfClose(unsigned type)
{
    switch (ButtonsOf(type)) {
    case kButtonsOkCancel:
        return IDCANCEL;
    case kButtonsYesNo:
        return IDNO;
    default:
        return IDOK;
    }
}

int CMessageBoxDlg::CountLines(const CString& text, CString* longest)
{
    if (longest)
        longest->Empty();
    if (text.IsEmpty())
        return 0;
    int lines = 0;
    int best = -1;
    int start = 0;
    for (;;) {
        int end = text.Find(L'\n', start);
        CString line = end < 0 ? text.Mid(start) : text.Mid(start, end - start);
        ++lines;
        int weight = 0;
        for (int i = 0; i < line.GetLength(); ++i)
            weight += line.GetAt(i) >= 256 ? 2 : 1;
        if (weight > best) {
            best = weight;
            if (longest)
                *longest = line;
        }
        if (end < 0)
            break;
        start = end + 1;
    }
    return lines;
}

int CMessageBoxDlg::GetMessageLine(CString text)
{
    return CountLines(text, &m_strLongLine);
}

CString CMessageBoxDlg::WrapLines(HDC hdc, const CString& text, int maxWidth)
{
    if (maxWidth < 1)
        maxWidth = 1;
    CString out;
    int start = 0;
    for (;;) {
        int end = text.Find(L'\n', start);
        CString line = end < 0 ? text.Mid(start) : text.Mid(start, end - start);
        const wchar_t* p = line;
        int left = line.GetLength();
        for (;;) {
            int fit = 0;
            SIZE size = {};
            if (!::GetTextExtentExPointW(hdc, p, left, maxWidth, &fit, nullptr, &size) || fit >= left) {
                out.Append(p, left);
                break;
            }
            // Never an empty piece: a character wider than the box still goes on its own line.
            fit = std::max(fit, 1);
            int cut = fit;
            int blank = -1;
            for (int i = fit; i > 0; --i) {
                if (p[i] == L' ') {
                    blank = i;
                    break;
                }
            }
            if (blank > 0)
                cut = blank;
            out.Append(p, cut);
            p += cut;
            left -= cut;
            while (left > 0 && *p == L' ') {
                ++p;
                --left;
            }
            if (left == 0)
                break;
            out.AppendChar(L'\n');
        }
        if (end < 0)
            break;
        out.AppendChar(L'\n');
        start = end + 1;
    }
    return out;
}

SIZE CMessageBoxDlg::WidestLine(HDC hdc, const CString& text)
{
    // The longest line by character count is only a guess at the widest: "WWW" outgrows
    // "iiiii". Every line must fit, so all are measured.
    SIZE widest = {};
    TEXTMETRICW metrics = {};
    if (::GetTextMetricsW(hdc, &metrics))
        widest.cy = metrics.tmHeight;
    int start = 0;
    for (;;) {
        int end = text.Find(L'\n', start);
        CString line = end < 0 ? text.Mid(start) : text.Mid(start, end - start);
        SIZE size = {};
        ::GetTextExtentPoint32W(hdc, line, line.GetLength(), &size);
        if (size.cx > widest.cx)
            widest.cx = size.cx;
        if (size.cy > widest.cy)
            widest.cy = size.cy;
        if (end < 0)
            break;
        start = end + 1;
    }
    return widest;
}

void CMessageBoxDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_MSGBOX_TEXT, m_staticText);
}

BOOL CMessageBoxDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (m_nUIType == kUITypeDefault)
        SetWindowText(L"Corvane IXO MessageBox");
    else if (m_nUIType == kUITypeBlueAccent)
        SetWindowText(L"Corvane Drive IXO MessageBox");
    SetTitleBar(m_pszCaption ? m_pszCaption : L"");
    InitControl();
    ChangeSize();
    if (m_nType & (MB_TOPMOST | MB_SYSTEMMODAL))
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CMessageBoxDlg::InitControl()
{
    m_strShown = m_pszText ? m_pszText : L"";
    m_staticText.SetWindowText(m_strShown);

    m_btnClose.SubclassDlgItem(IDC_SYSBTN_CLOSE, this);
    m_btnClose.SetBtnStyle(kCloseStyle);
    CRect client, close;
    GetClientRect(&client);
    m_btnClose.GetWindowRect(&close);
    m_btnClose.SetWindowPos(nullptr, client.Width() + 2 * close.Width() - 72, 2, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const ButtonSet buttons = ButtonsOf(m_nType);
    const unsigned asked = m_nType & MB_TYPEMASK;
    if (asked != MB_OK && asked != MB_OKCANCEL && asked != MB_YESNO)
        TraceLog(2, L"[ CMessageBoxDlg::InitControl ] button type %u is not offered: an OK box instead\n", asked);
    m_btnOk.SetWindowText(CToviString::GetString(buttons == kButtonsYesNo ? 14078 : 14061));
    m_btnOk.SetIcon(IDI_BTN_OK);
    m_btnOk.SetBtnStyle(kButtonStyle);
    if (buttons == kButtonsOk) {
        m_btnCancel.ShowWindow(SW_HIDE);
    } else {
        m_btnCancel.SetWindowText(CToviString::GetString(buttons == kButtonsYesNo ? 14079 : 14064));
        m_btnCancel.SetIcon(IDI_BTN_CANCEL);
        m_btnCancel.SetBtnStyle(kButtonStyle);
    }
    if (buttons == kButtonsYesNo)
        m_btnClose.EnableWindow(FALSE);

    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    m_pszIconId = IconOf(m_nType);
    HICON system = ::LoadIconW(nullptr, m_pszIconId);
    if (system)
        m_hIcon = ::CopyIcon(system);
}

int CMessageBoxDlg::MaxWidth() const
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoW(monitor, &info))
        return info.rcWork.right - info.rcWork.left;
    RECT work = {};
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return work.right - work.left;
    return ::GetSystemMetrics(SM_CXSCREEN);
}

void CMessageBoxDlg::ChangeSize()
{
    const int n = ButtonsOf(m_nType) == kButtonsOk ? 1 : 2;
    const int gap = 10 * n - 10;
    CRect okRect;
    m_btnOk.GetWindowRect(&okRect);
    const int okWidth = okRect.Width();

    // Measured in the font the text control draws with, so the lines fit it exactly.
    HDC hdc = ::GetDC(m_hWnd);
    HFONT font = (HFONT)m_staticText.SendMessage(WM_GETFONT);
    if (font == nullptr)
        font = (HFONT)SendMessage(WM_GETFONT);
    HGDIOBJ oldFont = font ? ::SelectObject(hdc, font) : nullptr;

    const CString text = m_pszText ? m_pszText : L"";
    m_strShown = text;
    m_nLines = GetMessageLine(text);
    SIZE extent = WidestLine(hdc, text);
    const int buttonRow = n * (okWidth + 10) - 10;
    int width = std::max(buttonRow, (int)extent.cx + kTextMargin);
    width = std::max(width, m_nMinWidth);
    const int maxWidth = MaxWidth();
    if (width > maxWidth) {
        // Long lines wrap: the box never grows wider than the screen's work area.
        m_strShown = WrapLines(hdc, text, std::max(maxWidth - kTextMargin, 1));
        m_nLines = GetMessageLine(m_strShown);
        extent = WidestLine(hdc, m_strShown);
        width = std::max(std::max(buttonRow, (int)extent.cx + kTextMargin), std::min(m_nMinWidth, maxWidth));
        width = std::min(width, maxWidth);
    }
    if (oldFont)
        ::SelectObject(hdc, oldFont);
    ::ReleaseDC(m_hWnd, hdc);
    m_staticText.SetWindowText(m_strShown);

    const int cx = extent.cx, cy = extent.cy;
    CRect textRect;
    m_staticText.GetWindowRect(&textRect);
    ScreenToClient(&textRect);
    m_staticText.SetWindowPos(nullptr, textRect.left, textRect.top, cx, cy * (m_nLines + 5) + 2,
                              SWP_NOZORDER | SWP_NOACTIVATE);

    SetWindowPos(nullptr, 0, 0, width, cy * m_nLines + kFrameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceInWorkArea();

    CRect window;
    GetWindowRect(&window);
    ScreenToClient(&window);
    const int margin = (window.right - n * okWidth - gap - window.left) / 2;
    m_btnOk.SetWindowPos(nullptr, window.left + margin, window.bottom - 32, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (n == 2)
        m_btnCancel.SetWindowPos(nullptr, window.left + margin + okWidth + 10, window.bottom - 32, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

// The box was centred at its template size; grown, it keeps its centre and stays inside the
// work area, so a wide box never hangs off the screen.
void CMessageBoxDlg::PlaceInWorkArea()
{
    CRect window;
    GetWindowRect(&window);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    if (!monitor || !::GetMonitorInfoW(monitor, &info))
        return;
    CRect work(info.rcWork);
    CWnd* owner = m_pParentWnd;
    CRect around = work;
    if (owner && owner->GetSafeHwnd() && owner->IsWindowVisible())
        owner->GetWindowRect(&around);
    int x = around.left + (around.Width() - window.Width()) / 2;
    int y = around.top + (around.Height() - window.Height()) / 2;
    x = std::max((int)work.left, std::min(x, (int)work.right - window.Width()));
    y = std::max((int)work.top, std::min(y, (int)work.bottom - window.Height()));
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CMessageBoxDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height());
    CBitmap* old = mem.SelectObject(&bitmap);
    DrawBkgnd(&mem, rc);
    if (m_hIcon) {
        CPoint at = IconPos();
        ::DrawIconEx(mem.GetSafeHdc(), at.x, at.y, m_hIcon, 32, 32, 0, nullptr, DI_NORMAL);
    }
    pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    return TRUE;
}

HBRUSH CMessageBoxDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->GetSafeHwnd() == m_staticText.GetSafeHwnd()) {
        // The text lies on the painted background.
        pDC->SetBkMode(TRANSPARENT);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CMessageBoxDlg::OnBnClickedBtnSysExit()
{
    if (ButtonsOf(m_nType) == kButtonsYesNo)
        return;   // a question needs an answer: the close box is disabled
    EndDialog(ResultOfClose(m_nType));
}

void CMessageBoxDlg::OnBnClickedOk()
{
    EndDialog(ResultOfOk(m_nType));
}

void CMessageBoxDlg::OnBnClickedCancel()
{
    EndDialog(ResultOfCancel(m_nType));
}
