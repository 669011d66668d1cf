// CMessageBoxDlg: layout, buttons and results of the updater's message box.
#include "MessageBoxDlg.h"
#include "Dc.h"
#include "UpdateTexts.h"
#include "UpdaterRes.h"

BEGIN_MESSAGE_MAP(CMessageBoxDlg, CToviDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_BTN_SYSEXIT, OnBnClickedBtnSysExit)
END_MESSAGE_MAP()

namespace {
HICON LoadSmallIcon(UINT id)
{
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
}
}

CMessageBoxDlg::CMessageBoxDlg(CWnd* pParent) : CToviDialog(IDD_MESSAGEBOX, pParent) {}

CMessageBoxDlg::~CMessageBoxDlg()
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
}

int CMessageBoxDlg::GetMessageLine(const CString& text, CString& longest)
{
    if (text.IsEmpty()) {
        longest.Empty();
        return 0;
    }
    int lines = 0;
    int best = -1;
    int start = 0;
    for (;;) {
        int end = text.Find(L"\n", start);
        CString line = end < 0 ? text.Mid(start) : text.Mid(start, end - start);
        int count = 0;
        for (int i = 0; i < line.GetLength(); ++i)
            count += line[i] < 0x100 ? 1 : 2;
        if (count > best) {
            best = count;
            longest = line;
        }
        ++lines;
        if (end < 0)
            break;
        start = end + 1;
    }
    return lines;
}

int CMessageBoxDlg::DialogWidth(int buttonWidth, int buttons, int lineWidth, int minimumWidth)
{
    int gap = buttons > 1 ? 10 : 0;
    int width = buttonWidth * buttons + 20 + gap;
    if (lineWidth + 70 > width)
        width = lineWidth + 70;
    return width > minimumWidth ? width : minimumWidth;
}

BOOL CMessageBoxDlg::OnInitDialog()
{
    CToviDialog::OnInitDialog();
    InitControl();
    ChangeSize();
    return TRUE;
}

void CMessageBoxDlg::InitControl()
{
    ::SetWindowTextW(m_hWnd, m_pszCaption != nullptr ? m_pszCaption : L"");
    m_text.SubclassDlgItem(IDC_MESSAGE_TEXT, this);
    m_text.SetText(m_pszMessage != nullptr ? m_pszMessage : L"");
    m_btnSysExit.SubclassDlgItem(IDC_BTN_SYSEXIT, this);
    m_btnSysExit.SetBtnStyle(1);
    SetSysButtonPos();

    m_btnFirst.SubclassDlgItem(IDOK, this);
    m_btnSecond.SubclassDlgItem(IDCANCEL, this);
    UINT kind = ButtonKind();
    if (kind == MB_YESNO) {
        ::SetWindowTextW(m_btnFirst.m_hWnd, LoadResString(IDS_YES));
        ::SetWindowTextW(m_btnSecond.m_hWnd, LoadResString(IDS_NO));
    } else if (kind == MB_OKCANCEL) {
        ::SetWindowTextW(m_btnFirst.m_hWnd, LoadResString(IDS_OK));
        ::SetWindowTextW(m_btnSecond.m_hWnd, LoadResString(IDS_CANCEL));
    } else {
        ::SetWindowTextW(m_btnFirst.m_hWnd, LoadResString(IDS_OK));
        ::ShowWindow(m_btnSecond.m_hWnd, SW_HIDE);
        ::EnableWindow(m_btnSecond.m_hWnd, FALSE);
    }
    m_btnFirst.SetBtnIcon(LoadSmallIcon(IDI_BTN_OK));
    m_btnSecond.SetBtnIcon(LoadSmallIcon(IDI_BTN_CLOSE));
    m_btnFirst.SetBtnStyle(3);
    m_btnSecond.SetBtnStyle(3);

    LPCWSTR system;
    switch (m_nType & MB_ICONMASK) {
    case MB_ICONINFORMATION: system = IDI_ASTERISK; break;
    case MB_ICONWARNING: system = IDI_EXCLAMATION; break;
    case MB_ICONQUESTION: system = IDI_QUESTION; break;
    case MB_ICONERROR: system = IDI_HAND; break;
    default:
        system = kind == MB_YESNO ? IDI_QUESTION : kind == MB_OKCANCEL ? IDI_EXCLAMATION : IDI_APPLICATION;
        break;
    }
    m_hIcon = ::CopyIcon(::LoadIconW(nullptr, system));
}

void CMessageBoxDlg::ChangeSize()
{
    int buttons = (m_nType & 0x5) != 0 ? 2 : 1;
    int lines = GetMessageLine(m_pszMessage != nullptr ? m_pszMessage : L"", m_strLongest);
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, DialogFont() != nullptr ? static_cast<HGDIOBJ>(DialogFont()) : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, m_strLongest.IsEmpty() ? L" " : m_strLongest.GetString(),
                            m_strLongest.IsEmpty() ? 1 : m_strLongest.GetLength(), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    if (lines < 1)
        lines = 1;

    RECT button;
    ::GetWindowRect(m_btnFirst.m_hWnd, &button);
    int buttonWidth = button.right - button.left;
    int buttonHeight = button.bottom - button.top;
    int width = DialogWidth(buttonWidth, buttons, extent.cx, m_nMinWidth);
    int height = extent.cy * lines + 115;

    RECT text;
    ::GetWindowRect(m_text.m_hWnd, &text);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&text), 2);
    ::SetWindowPos(m_text.m_hWnd, nullptr, text.left, text.top, extent.cx + 4, extent.cy * lines + 2,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int gap = buttons > 1 ? 10 : 0;
    int left = (client.right - (buttonWidth * buttons + gap)) / 2;
    int top = client.bottom - 32 + (32 - buttonHeight) / 2 - 2;
    ::SetWindowPos(m_btnFirst.m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_btnSecond.m_hWnd, nullptr, left + buttonWidth + gap, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Centre again at the new size over the owner (or the screen).
    RECT owner;
    HWND parent = ::GetWindow(m_hWnd, GW_OWNER);
    if (parent == nullptr || !::IsWindowVisible(parent))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    else
        ::GetWindowRect(parent, &owner);
    ::SetWindowPos(m_hWnd, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                   owner.top + (owner.bottom - owner.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetSysButtonPos();
}

BOOL CMessageBoxDlg::OnEraseBkgnd(CDC* pDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HDC target = pDC->GetSafeHdc();
    HDC memory = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, rc.right, rc.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    DrawBkgnd(memory, rc);
    if (m_hIcon != nullptr)
        ::DrawIconEx(memory, 10, 37, m_hIcon, 32, 32, 0, nullptr, DI_NORMAL);
    ::BitBlt(target, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    return TRUE;
}

void CMessageBoxDlg::OnBnClickedOk()
{
    EndDialog(ButtonKind() == MB_YESNO ? IDYES : IDOK);
}

void CMessageBoxDlg::OnBnClickedCancel()
{
    UINT kind = ButtonKind();
    if (kind == MB_YESNO)
        EndDialog(IDNO);
    else if (kind == MB_OKCANCEL)
        EndDialog(IDCANCEL);
    else
        EndDialog(IDOK);
}

void CMessageBoxDlg::OnBnClickedBtnSysExit()
{
    EndDialog(ButtonKind() == MB_OKCANCEL ? IDCANCEL : IDOK);
}

void CMessageBoxDlg::OnCancel()
{
    // Esc answers as the caption close button does.
    OnBnClickedBtnSysExit();
}
