// CSearchMenuDlg: the search window's condition panel.
#include "SearchMenuDlg.h"
#include "Dc.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "SearchDlg.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include <commctrl.h>
#include <cstring>

IMPLEMENT_DYNAMIC(CSearchMenuDlg, CDialog)

BEGIN_MESSAGE_MAP(CSearchMenuDlg, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_SIZE()
    ON_EN_CHANGE(IDC_SEARCH_NAME, OnNameChange)
    ON_BN_CLICKED(IDC_SEARCH_RUN, OnSearchButton)
    ON_BN_CLICKED(IDC_SEARCH_USE_USER, OnUserCheck)
    ON_BN_CLICKED(IDC_SEARCH_USE_CATEGORY, OnCategoryCheck)
    ON_CBN_SELCHANGE(IDC_SEARCH_CATEGORY, OnCategoryCheck)
    ON_BN_CLICKED(IDC_SEARCH_USE_SIZE, OnSizeCheck)
    ON_CBN_SELCHANGE(IDC_SEARCH_SIZE, OnSizeCheck)
    ON_BN_CLICKED(IDC_SEARCH_USE_DATE, OnDateCheck)
    ON_CBN_SELCHANGE(IDC_SEARCH_MONTHS, OnMonthsChange)
END_MESSAGE_MAP()

namespace {

const COLORREF kPanelBack = 0xF8F8F8;
const COLORREF kBoxLine = 0xD9D9D9;
const COLORREF kTitleColour = 0xDE8D54;
const COLORREF kLocationBack = 0xECE1E3;
const UINT kSearchIcon = 522;

const char* const kSizeRanges[] = {"-1024",
                                   "1024-102400",
                                   "102400-1048576",
                                   "1048576-10485760",
                                   "10485760-104857600",
                                   "104857600-1073741824",
                                   "1073741824-"};
const int kMonths[] = {0, 1, 3, 6};

// Where each control sits in the panel (pixels); the two boxes are painted around them.
struct Place {
    UINT id;
    int x, y, width, height;
};
const Place kPlaces[] = {
    {IDC_SEARCH_TITLE, 20, 20, 180, 16},
    {IDC_SEARCH_LABEL_LOCATION, 20, 42, 180, 14},
    {IDC_SEARCH_LOCATION, 20, 58, 180, 20},
    {IDC_SEARCH_LABEL_NAME, 20, 84, 180, 14},
    {IDC_SEARCH_NAME, 20, 100, 180, 20},
    {IDC_SEARCH_RUN, 20, 128, 180, 24},
    {IDC_SEARCH_PROGRESS, 20, 158, 180, 10},
    {IDC_SEARCH_TITLE_CONDITIONS, 20, 204, 180, 16},
    {IDC_SEARCH_USE_USER, 20, 226, 180, 18},
    {IDC_SEARCH_USER, 38, 246, 162, 20},
    {IDC_SEARCH_USE_CATEGORY, 20, 272, 180, 18},
    {IDC_SEARCH_CATEGORY, 38, 292, 162, 200},
    {IDC_SEARCH_USE_SIZE, 20, 320, 180, 18},
    {IDC_SEARCH_SIZE, 38, 340, 162, 200},
    {IDC_SEARCH_USE_DATE, 20, 368, 180, 18},
    {IDC_SEARCH_MONTHS, 38, 388, 162, 200},
    {IDC_SEARCH_LABEL_FROM, 38, 419, 48, 14},
    {IDC_SEARCH_DATE_FROM, 88, 416, 112, 20},
    {IDC_SEARCH_LABEL_TO, 38, 443, 48, 14},
    {IDC_SEARCH_DATE_TO, 88, 440, 112, 20},
};

// Zero-filled, cut to the field's width.
void Copy(char* target, size_t size, const char* text, size_t length)
{
    memset(target, 0, size);
    memcpy(target, text, length < size - 1 ? length : size - 1);
}

void Copy(char* target, size_t size, const char* text)
{
    Copy(target, size, text, strlen(text));
}

}

CSearchMenuDlg::CSearchMenuDlg(CSearchDlg* search, bool contentSearch, const CString& customFlag)
    : CDialog(IDD_SEARCH_MENU, search), m_pSearch(search), m_bContentSearch(contentSearch), m_strCustomFlag(customFlag)
{
}

// ---- Decisions ----

void CSearchMenuDlg::SplitRange(const char* range, char (&from)[15], char (&to)[15])
{
    memset(from, 0, sizeof from);
    memset(to, 0, sizeof to);
    if (!range)
        return;
    const char* dash = strchr(range, '-');
    Copy(from, sizeof from, range, dash ? static_cast<size_t>(dash - range) : strlen(range));
    if (dash)
        Copy(to, sizeof to, dash + 1);
}

const char* CSearchMenuDlg::SizeRange(int row)
{
    return row >= 0 && row < static_cast<int>(sizeof kSizeRanges / sizeof kSizeRanges[0]) ? kSizeRanges[row] : nullptr;
}

SYSTEMTIME CSearchMenuDlg::MonthsBack(const SYSTEMTIME& today, int months)
{
    FILETIME file = {};
    SYSTEMTIME day = today;
    day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
    if (!::SystemTimeToFileTime(&day, &file))
        return today;
    ULARGE_INTEGER at;
    at.LowPart = file.dwLowDateTime;
    at.HighPart = file.dwHighDateTime;
    at.QuadPart -= static_cast<ULONGLONG>(months) * 30 * 24 * 3600 * 10000000ULL;
    file.dwLowDateTime = at.LowPart;
    file.dwHighDateTime = at.HighPart;
    SYSTEMTIME back = {};
    ::FileTimeToSystemTime(&file, &back);
    return back;
}

// ---- Set-up ----

BOOL CSearchMenuDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brushWhite.CreateSolidBrush(0xFFFFFF);
    m_brushPanel.CreateSolidBrush(kPanelBack);
    m_brushLocation.CreateSolidBrush(kLocationBack);
    InitControls();
    return FALSE;
}

void CSearchMenuDlg::InitControls()
{
    SetDlgItemText(IDC_SEARCH_TITLE, CToviString::GetString(m_bContentSearch ? 14028 : 14133).GetString());
    SetDlgItemText(IDC_SEARCH_LABEL_LOCATION, CToviString::GetString(14134).GetString());
    SetDlgItemText(IDC_SEARCH_LABEL_NAME, CToviString::GetString(m_bContentSearch ? 14132 : 14135).GetString());
    SetDlgItemText(IDC_SEARCH_TITLE_CONDITIONS, CToviString::GetString(14136).GetString());
    SetDlgItemText(IDC_SEARCH_USE_USER, CToviString::GetString(14137).GetString());
    SetDlgItemText(IDC_SEARCH_USE_CATEGORY, CToviString::GetString(14138).GetString());
    SetDlgItemText(IDC_SEARCH_USE_SIZE, CToviString::GetString(14001).GetString());
    SetDlgItemText(IDC_SEARCH_USE_DATE, CToviString::GetString(14003).GetString());
    SetDlgItemText(IDC_SEARCH_LABEL_FROM, CToviString::GetString(14139).GetString());
    SetDlgItemText(IDC_SEARCH_LABEL_TO, CToviString::GetString(14144).GetString());
    dialogkit::SkinButton(m_btnSearch, this, IDC_SEARCH_RUN, 15, CToviString::GetString(14131), kSearchIcon);
    m_btnSearch.EnableWindow(FALSE);
    m_progress.SubclassDlgItem(IDC_SEARCH_PROGRESS, this);
    m_progress.SetBkColor(0xFFFFFF);
    m_progress.ShowWindow(SW_HIDE);

    m_comboCategory.SubclassDlgItem(IDC_SEARCH_CATEGORY, this);
    m_comboCategory.AddString(CToviString::GetString(14068).GetString());
    m_comboCategory.AddString(CToviString::GetString(14069).GetString());
    m_comboCategory.SetCurSel(0);

    m_comboSize.SubclassDlgItem(IDC_SEARCH_SIZE, this);
    const CString less = CToviString::GetString(14140), more = CToviString::GetString(14141);
    CString first, last;
    first.Format(L"1KB %s", less.GetString());
    last.Format(L"1GB %s", more.GetString());
    const CString rows[] = {first, L"1KB~ 100KB", L"100KB ~ 1MB", L"1MB ~ 10MB", L"10MB ~ 100MB", L"100MB ~ 1GB", last};
    for (int row = 0; row < 7; ++row) {
        const int at = m_comboSize.AddString(rows[row].GetString());
        m_comboSize.SetItemDataPtr(at, const_cast<char*>(kSizeRanges[row]));
    }
    m_comboSize.SetCurSel(0);

    m_comboMonths.SubclassDlgItem(IDC_SEARCH_MONTHS, this);
    const CString unit = CToviString::GetString(14143);
    for (int months : kMonths) {
        CString text;
        if (months == 0)
            text = CToviString::GetString(14142);
        else
            text.Format(L"%d %s", months, unit.GetString());
        const int at = m_comboMonths.AddString(text.GetString());
        m_comboMonths.SetItemData(at, static_cast<DWORD_PTR>(months));
    }
    m_comboMonths.SetCurSel(0);
    // The same days as the share and link dialogs write them: day first under the English
    // interface, the system's short date otherwise.
    unsigned short language = 18;
    CToviRegistry::GetLanguage(0, &language);
    if (language == 9)
        for (UINT id : {IDC_SEARCH_DATE_FROM, IDC_SEARCH_DATE_TO})
            ::SendDlgItemMessageW(m_hWnd, id, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd/MM/yyyy"));

    for (UINT id : {IDC_SEARCH_USER, IDC_SEARCH_CATEGORY, IDC_SEARCH_SIZE, IDC_SEARCH_MONTHS, IDC_SEARCH_DATE_FROM,
                    IDC_SEARCH_DATE_TO})
        Enable(id, false);
    if (m_strCustomFlag.CompareNoCase(L"WQPD_IN") == 0)
        Enable(IDC_SEARCH_USE_USER, false);
    if (m_bContentSearch) {
        // Documents only: the category is fixed to files.
        CheckDlgButton(IDC_SEARCH_USE_CATEGORY, BST_CHECKED);
        Enable(IDC_SEARCH_USE_CATEGORY, false);
        m_comboCategory.SetCurSel(1);
        Copy(m_szCategory, sizeof m_szCategory, "F");
    }
}

void CSearchMenuDlg::InitMenu(const CString& searchText, const CString& location)
{
    SetDlgItemText(IDC_SEARCH_NAME, searchText.GetString());
    SetDlgItemText(IDC_SEARCH_LOCATION, location.GetString());
    m_btnSearch.EnableWindow(!searchText.IsEmpty());
    if (CWnd* name = GetDlgItem(IDC_SEARCH_NAME))
        name->SetFocus();
    if (!searchText.IsEmpty()) {
        m_bSearching = true;
        m_btnSearch.SetWindowText(CToviString::GetString(14090).GetString());
    }
    // The dialog font reached the titles too: they keep a bold one of the same face.
    HFONT base = reinterpret_cast<HFONT>(::SendDlgItemMessageW(m_hWnd, IDC_SEARCH_NAME, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    if (base && ::GetObjectW(base, sizeof lf, &lf)) {
        lf.lfWeight = FW_BOLD;
        m_fontBold.DeleteObject();
        m_fontBold.CreateFontIndirect(&lf);
    }
    for (UINT id : {IDC_SEARCH_TITLE, IDC_SEARCH_TITLE_CONDITIONS})
        ::SendDlgItemMessageW(m_hWnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontBold.GetSafeHandle()), TRUE);
}

void CSearchMenuDlg::SearchEnded()
{
    m_bSearching = false;
    if (!m_btnSearch.GetSafeHwnd())
        return;
    m_btnSearch.SetWindowText(CToviString::GetString(14131).GetString());
    m_btnSearch.EnableWindow(::GetWindowTextLengthW(::GetDlgItem(m_hWnd, IDC_SEARCH_NAME)) > 0);
}

// ---- Layout and painting ----

void CSearchMenuDlg::OnSize(UINT nType, int, int cy)
{
    if (nType != SIZE_MINIMIZED)
        LayoutControls(cy);
}

void CSearchMenuDlg::LayoutControls(int height)
{
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(sizeof kPlaces / sizeof kPlaces[0]) + 1);
    for (const Place& place : kPlaces) {
        HWND control = ::GetDlgItem(m_hWnd, place.id);
        if (control && batch)
            batch = ::DeferWindowPos(batch, control, nullptr, place.x, place.y, place.width, place.height,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND frame = ::GetDlgItem(m_hWnd, IDC_DIALOG_HIDDEN);
    if (frame && batch)
        batch = ::DeferWindowPos(batch, frame, nullptr, 8, 10, 212, height > 20 ? height - 20 : 0,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (batch)
        ::EndDeferWindowPos(batch);
    Invalidate();
}

BOOL CSearchMenuDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    HDC dc = pDC->GetSafeHdc();
    ::SetBkColor(dc, kPanelBack);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    CRect frame, progress;
    HWND frameWnd = ::GetDlgItem(m_hWnd, IDC_DIALOG_HIDDEN);
    HWND progressWnd = ::GetDlgItem(m_hWnd, IDC_SEARCH_PROGRESS);
    if (!frameWnd || !progressWnd)
        return TRUE;
    ::GetWindowRect(frameWnd, &frame);
    ::GetWindowRect(progressWnd, &progress);
    ScreenToClient(&frame);
    ScreenToClient(&progress);
    HPEN pen = ::CreatePen(PS_SOLID, 1, kBoxLine);
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(WHITE_BRUSH));
    ::RoundRect(dc, frame.left, frame.top, frame.right, progress.bottom + 16, 7, 7);
    if (progress.bottom + 26 < frame.bottom)
        ::RoundRect(dc, frame.left, progress.bottom + 26, frame.right, frame.bottom, 7, 7);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
    return TRUE;
}

HBRUSH CSearchMenuDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const UINT id = pWnd ? static_cast<UINT>(pWnd->GetDlgCtrlID()) : 0;
    if (id == IDC_SEARCH_LOCATION) {
        pDC->SetBkColor(kLocationBack);
        return static_cast<HBRUSH>(m_brushLocation.GetSafeHandle());
    }
    if (nCtlColor == CTLCOLOR_STATIC || nCtlColor == CTLCOLOR_BTN) {
        // Everything here stands inside the white boxes, the check boxes included.
        pDC->SetBkMode(TRANSPARENT);
        if (id == IDC_SEARCH_TITLE || id == IDC_SEARCH_TITLE_CONDITIONS)
            pDC->SetTextColor(kTitleColour);
        return static_cast<HBRUSH>(m_brushWhite.GetSafeHandle());
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

// ---- The conditions ----

bool CSearchMenuDlg::IsChecked(UINT id) const
{
    return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
}

void CSearchMenuDlg::Enable(UINT id, bool on)
{
    if (HWND control = ::GetDlgItem(m_hWnd, id))
        ::EnableWindow(control, on ? TRUE : FALSE);
}

void CSearchMenuDlg::OnNameChange()
{
    if (!m_bSearching)
        m_btnSearch.EnableWindow(::GetWindowTextLengthW(::GetDlgItem(m_hWnd, IDC_SEARCH_NAME)) > 0);
}

void CSearchMenuDlg::OnUserCheck()
{
    const bool on = IsChecked(IDC_SEARCH_USE_USER);
    Enable(IDC_SEARCH_USER, on);
    if (!on)
        SetDlgItemText(IDC_SEARCH_USER, L"");
}

void CSearchMenuDlg::OnCategoryCheck()
{
    const bool on = IsChecked(IDC_SEARCH_USE_CATEGORY);
    Enable(IDC_SEARCH_CATEGORY, on && !m_bContentSearch);
    if (!on) {
        Copy(m_szCategory, sizeof m_szCategory, "A");
        Enable(IDC_SEARCH_USE_SIZE, true);
        return;
    }
    if (m_comboCategory.GetCurSel() == 0) {
        // Folders have no size to search by.
        Copy(m_szCategory, sizeof m_szCategory, "D");
        CheckDlgButton(IDC_SEARCH_USE_SIZE, BST_UNCHECKED);
        Enable(IDC_SEARCH_USE_SIZE, false);
        Enable(IDC_SEARCH_SIZE, false);
        memset(m_szSizeFrom, 0, sizeof m_szSizeFrom);
        memset(m_szSizeTo, 0, sizeof m_szSizeTo);
        return;
    }
    Copy(m_szCategory, sizeof m_szCategory, "F");
    Enable(IDC_SEARCH_USE_SIZE, true);
    OnSizeCheck();
}

void CSearchMenuDlg::OnSizeCheck()
{
    const bool on = IsChecked(IDC_SEARCH_USE_SIZE);
    Enable(IDC_SEARCH_SIZE, on);
    if (on)
        ReadSize();
    else
        SplitRange(nullptr, m_szSizeFrom, m_szSizeTo);
}

void CSearchMenuDlg::ReadSize()
{
    const int row = m_comboSize.GetCurSel();
    SplitRange(row >= 0 ? static_cast<const char*>(m_comboSize.GetItemDataPtr(row)) : nullptr, m_szSizeFrom,
               m_szSizeTo);
}

void CSearchMenuDlg::OnDateCheck()
{
    const bool on = IsChecked(IDC_SEARCH_USE_DATE);
    for (UINT id : {IDC_SEARCH_MONTHS, IDC_SEARCH_DATE_FROM, IDC_SEARCH_DATE_TO})
        Enable(id, on);
    if (on) {
        SetMonthsBack();
        return;
    }
    memset(m_szDateFrom, 0, sizeof m_szDateFrom);
    memset(m_szDateTo, 0, sizeof m_szDateTo);
}

void CSearchMenuDlg::OnMonthsChange()
{
    SetMonthsBack();
}

void CSearchMenuDlg::SetMonthsBack()
{
    const int row = m_comboMonths.GetCurSel();
    const int months = row >= 0 ? static_cast<int>(m_comboMonths.GetItemData(row)) : 0;
    if (months <= 0)
        return;
    SYSTEMTIME today = {};
    ::GetLocalTime(&today);
    const SYSTEMTIME start = MonthsBack(today, months);
    ::SendDlgItemMessageW(m_hWnd, IDC_SEARCH_DATE_TO, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));
    ::SendDlgItemMessageW(m_hWnd, IDC_SEARCH_DATE_FROM, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));
}

bool CSearchMenuDlg::ReadDates()
{
    SYSTEMTIME from = {}, to = {};
    const bool haveFrom =
        ::SendDlgItemMessageW(m_hWnd, IDC_SEARCH_DATE_FROM, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&from)) ==
        GDT_VALID;
    const bool haveTo =
        ::SendDlgItemMessageW(m_hWnd, IDC_SEARCH_DATE_TO, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&to)) ==
        GDT_VALID;
    const auto day = [](const SYSTEMTIME& t) { return (t.wYear * 100 + t.wMonth) * 100 + t.wDay; };
    if (haveFrom && haveTo && day(from) > day(to)) {
        dialogkit::MessageBox(m_pSearch->GetSafeHwnd(), CToviMsg::GetString(12105), MB_ICONEXCLAMATION);
        return false;
    }
    // The pickers show the user's format; the server reads one format only.
    Copy(m_szDateFrom, sizeof m_szDateFrom, haveFrom ? CSearchDlg::WireDate(from).c_str() : "");
    Copy(m_szDateTo, sizeof m_szDateTo, haveTo ? CSearchDlg::WireDate(to).c_str() : "");
    return true;
}

void CSearchMenuDlg::OnSearchButton()
{
    if (m_bSearching) {
        m_bSearching = false;
        m_btnSearch.EnableWindow(FALSE);
        m_pSearch->PostMessage(WM_SEARCH_THREAD_STOP);
        return;
    }
    if (!IsChecked(IDC_SEARCH_USE_USER))
        SetDlgItemText(IDC_SEARCH_USER, L"");
    if (!IsChecked(IDC_SEARCH_USE_CATEGORY))
        Copy(m_szCategory, sizeof m_szCategory, "A");
    if (!IsChecked(IDC_SEARCH_USE_SIZE))
        SplitRange(nullptr, m_szSizeFrom, m_szSizeTo);
    if (IsChecked(IDC_SEARCH_USE_DATE)) {
        if (!ReadDates())
            return;
    } else {
        memset(m_szDateFrom, 0, sizeof m_szDateFrom);
        memset(m_szDateTo, 0, sizeof m_szDateTo);
    }
    m_bSearching = true;
    m_btnSearch.SetWindowText(CToviString::GetString(14090).GetString());
    if (!m_pSearch->GetSearch())
        SearchEnded();
}

// ---- Keys ----

BOOL CSearchMenuDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        m_pSearch->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SYSBTN_CLOSE, BN_CLICKED), 0);
        return TRUE;
    }
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        HWND name = ::GetDlgItem(m_hWnd, IDC_SEARCH_NAME);
        if (pMsg->hwnd == name || pMsg->hwnd == m_btnSearch.GetSafeHwnd()) {
            if (::GetWindowTextLengthW(name) > 0 && m_btnSearch.IsWindowEnabled())
                OnSearchButton();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CSearchMenuDlg::OnOK()
{
    // Enter belongs to the file name (above), never to closing the panel.
}

void CSearchMenuDlg::OnCancel()
{
    m_pSearch->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SYSBTN_CLOSE, BN_CLICKED), 0);
}
