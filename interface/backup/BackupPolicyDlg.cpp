// CBackupPolicyDlg: the controls, the schedule layouts and the save of one backup policy.
#include "BackupLook.h"
#include "BackupPolicyDlg.h"
#include "BackupRes.h"
#include "DateTime.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "FolderSelectDlg.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <commctrl.h>
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CBackupPolicyDlg, CVantelDialog)

namespace {

const COLORREF kHeadingColour = RGB(84, 141, 222);
const wchar_t kPolicyRoot[] = L"Software\\Varivivod\\VariruDADBackup\\Policy";
const wchar_t kRunNow[] = L"즉시 실행";
const wchar_t* const kOverwriteModes[] = {L"건너뛰기", L"덮어쓰기", L"최신 파일만 덮어쓰기"};
const wchar_t* const kCycleKinds[] = {L"한번만", L"매일", L"매주", L"매월"};
const wchar_t* const kWeekdays[] = {L"일요일", L"월요일", L"화요일", L"수요일", L"목요일", L"금요일", L"토요일"};
const UINT kFrames[] = {IDC_POLICY_FRAME_POLICY, IDC_POLICY_FRAME_FOLDER, IDC_POLICY_FRAME_OVERWRITE, IDC_POLICY_FRAME_CYCLE};
const UINT kCycleControls[] = {IDC_POLICY_KIND_LABEL, IDC_POLICY_KIND, IDC_POLICY_TIME_LABEL, IDC_POLICY_TIME,
                               IDC_POLICY_DATE_LABEL, IDC_POLICY_DATE, IDC_POLICY_WEEKDAY_LABEL, IDC_POLICY_WEEKDAY,
                               IDC_POLICY_MONTHDAY};

bool KeyExists(const CString& subKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.GetString(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

CString PolicyKey(const CString& id)
{
    CString key;
    key.Format(L"%s\\%s", kPolicyRoot, id.GetString());
    return key;
}

} // namespace

BEGIN_MESSAGE_MAP(CBackupPolicyDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_POLICY_FOLDER_BUTTON, OnBnClickedBtnFolder)
    ON_BN_CLICKED(IDC_POLICY_OK, OnBnClickedBtnSet)
    ON_BN_CLICKED(IDC_POLICY_CYCLE, OnBnClickedCheckCycle)
    ON_STN_CLICKED(IDC_POLICY_CYCLE_LABEL, OnClickedCycleLabel)
    // Two quick clicks on the label are two clicks, not a double click to ignore.
    ON_STN_DBLCLK(IDC_POLICY_CYCLE_LABEL, OnClickedCycleLabel)
    ON_CBN_SELCHANGE(IDC_POLICY_KIND, OnCbnSelchangeCycle)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

CBackupPolicyDlg::CBackupPolicyDlg(CWnd* pParent) : CVantelDialog(IDD_BACKUP_POLICY, pParent) {}

CBackupPolicyDlg::~CBackupPolicyDlg()
{
    if (m_hBold)
        DeleteObject(m_hBold);
    if (m_hWhite)
        DeleteObject(m_hWhite);
}

void CBackupPolicyDlg::ReleaseFolderInfo()
{
    m_mapFolder.clear();
}

BOOL CBackupPolicyDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    const wchar_t* title = backuplook::Text(m_bEditMode ? L"백업 수정" : L"백업 생성");
    SetWindowText(title);
    SetTitleBar(title);
    InitControl();
    if (m_bEditMode) {
        GetDlgItem(IDC_POLICY_FOLDER_BUTTON)->EnableWindow(FALSE);
        GetDlgItem(IDC_POLICY_OK)->SetFocus();
    } else {
        GetDlgItem(IDC_POLICY_NAME)->SetFocus();
    }
    return FALSE;
}

void CBackupPolicyDlg::ApplyLook()
{
    // Policy names and paths are often Korean whatever the language: a face with Hangul.
    backuplook::ApplyFace(m_hWnd, m_nProductType, m_fontDlg, m_fontTitle);
    backuplook::TranslateChildren(m_hWnd);
}

void CBackupPolicyDlg::InitControl()
{
    ApplyLook();
    LOGFONTW lf = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    GetObjectW(dialogFont ? dialogFont : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = 600;
    m_hBold = CreateFontIndirectW(&lf);
    m_hWhite = CreateSolidBrush(RGB(255, 255, 255));
    for (UINT id : {IDC_POLICY_HEAD_POLICY, IDC_POLICY_HEAD_FOLDER, IDC_POLICY_HEAD_OVERWRITE})
        ::SendMessageW(::GetDlgItem(m_hWnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(m_hBold), TRUE);

    dialogkit::SkinButton(m_btnOk, this, IDC_POLICY_OK, 13, backuplook::Text(kRunNow), IDI_BTN_CONFIRM);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), IDI_BTN_CANCEL);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);

    HWND list = ::GetDlgItem(m_hWnd, IDC_POLICY_FOLDERS);
    SHFILEINFOW info = {};
    m_hSystemImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    DWORD extra = LVS_EX_FULLROWSELECT;
    if (CFileUtils::GetWindowsType() > 5)
        extra |= LVS_EX_DOUBLEBUFFER;
    ListView_SetExtendedListViewStyle(list, extra);
    // The system's list: shared, never destroyed by the control.
    ::SetWindowLongW(list, GWL_STYLE, ::GetWindowLongW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    if (m_hSystemImages)
        ListView_SetImageList(list, m_hSystemImages, LVSIL_SMALL);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 380;
    column.pszText = const_cast<wchar_t*>(backuplook::Text(L"폴더 경로"));
    ListView_InsertColumn(list, 0, &column);

    auto fill = [this](UINT id, const wchar_t* const* texts, int count) {
        for (int i = 0; i < count; ++i)
            ::SendDlgItemMessageW(m_hWnd, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(backuplook::Text(texts[i])));
        ::SendDlgItemMessageW(m_hWnd, id, CB_SETCURSEL, 0, 0);
    };
    fill(IDC_POLICY_OVERWRITE, kOverwriteModes, 3);
    fill(IDC_POLICY_KIND, kCycleKinds, 4);
    fill(IDC_POLICY_WEEKDAY, kWeekdays, 7);
    for (int day = 1; day <= 31; ++day) {
        CString text;
        text.Format(L"%d", day);
        ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_MONTHDAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.GetString()));
    }
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_MONTHDAY, CB_SETCURSEL, 0, 0);

    SYSTEMTIME now = {};
    m_pfnLocalTime(&now);
    SYSTEMTIME today = now;
    today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;
    SYSTEMTIME range[2] = {today, {}};
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_DATE, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd/MM/yyyy"));
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_DATE, DTM_SETRANGE, GDTR_MIN, reinterpret_cast<LPARAM>(range));
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));
    SYSTEMTIME clock = now;
    clock.wSecond = clock.wMilliseconds = 0;
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_TIME, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm"));
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&clock));
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_POLICY_DATE), &m_rectDatePicker);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rectDatePicker), 2);

    EnableCycleControl(false);
    if (m_bEditMode && !m_strPolicyID.IsEmpty())
        LoadPolicy();
}

void CBackupPolicyDlg::LoadPolicy()
{
    _BACKUP_POLICY_INFO policy = {};
    int overwrite = 0;
    m_mapFolder.clear();
    if (!CToviRegistry::GetBackupPolicy(m_strPolicyID, &policy, m_mapFolder, &overwrite)) {
        TraceLog(2048, L"[ CBackupPolicyDlg::LoadPolicy ] cannot read [ %s ]\n", m_strPolicyID.GetString());
        return;
    }
    if (policy.PolicyName[0]) {
        SetDlgItemText(IDC_POLICY_NAME, policy.PolicyName);
        ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_NAME, EM_SETREADONLY, TRUE, 0);
    }
    if (policy.PolicyDesc[0])
        SetDlgItemText(IDC_POLICY_DESC, policy.PolicyDesc);
    FillFolderList();
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_OVERWRITE, CB_SETCURSEL, overwrite, 0);

    int reservation = 0, kind = -1, weekday = -1;
    CString date, time;
    if (!CToviRegistry::GetBackupCycle(m_strPolicyID, &reservation, &kind, date, &weekday, time) || reservation != 1)
        return;
    SetCycleOn(true);
    if (kind < 0)
        return;
    ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_KIND, CB_SETCURSEL, kind, 0);
    EnableCycleControl(true);
    ApplyCycleLayout(kind);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (kind == 0 && swscanf(date.GetString(), L"%d-%d-%d", &y, &mo, &d) == 3) {
        SYSTEMTIME day = {};
        day.wYear = static_cast<WORD>(y);
        day.wMonth = static_cast<WORD>(mo);
        day.wDay = static_cast<WORD>(d);
        ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));
    }
    if (kind == 3)
        ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_MONTHDAY, CB_SETCURSEL, _wtoi(date.GetString()) - 1, 0);
    if (kind == 2)
        ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_WEEKDAY, CB_SETCURSEL, weekday, 0);
    if (swscanf(time.GetString(), L"%d:%d:%d", &h, &mi, &s) >= 2) {
        SYSTEMTIME at = {};
        m_pfnLocalTime(&at);
        at.wHour = static_cast<WORD>(h);
        at.wMinute = static_cast<WORD>(mi);
        at.wSecond = static_cast<WORD>(s);
        at.wMilliseconds = 0;
        ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
    }
}

void CBackupPolicyDlg::FillFolderList()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_POLICY_FOLDERS);
    ListView_DeleteAllItems(list);
    int row = 0;
    for (const auto& entry : m_mapFolder) {
        SHFILEINFOW info = {};
        SHGetFileInfoW(entry.first.GetString(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row++;
        item.pszText = const_cast<wchar_t*>(entry.first.GetString());
        item.iImage = info.iIcon;
        ListView_InsertItem(list, &item);
    }
}

void CBackupPolicyDlg::SetCycleOn(bool on)
{
    CheckDlgButton(IDC_POLICY_CYCLE, on ? BST_CHECKED : BST_UNCHECKED);
    m_btnOk.SetWindowText(on ? CToviString::GetString(14061).GetString() : backuplook::Text(kRunNow));
    m_btnOk.Invalidate();
}

void CBackupPolicyDlg::EnableCycleControl(bool on)
{
    for (UINT id : kCycleControls)
        GetDlgItem(id)->EnableWindow(FALSE);
    if (!on)
        return;
    for (UINT id : {IDC_POLICY_KIND_LABEL, IDC_POLICY_KIND, IDC_POLICY_TIME_LABEL, IDC_POLICY_TIME})
        GetDlgItem(id)->EnableWindow(TRUE);
    const int kind = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_KIND, CB_GETCURSEL, 0, 0));
    if (kind == 0 || kind == 3)
        GetDlgItem(IDC_POLICY_DATE_LABEL)->EnableWindow(TRUE);
    if (kind == 0)
        GetDlgItem(IDC_POLICY_DATE)->EnableWindow(TRUE);
    if (kind == 2) {
        GetDlgItem(IDC_POLICY_WEEKDAY_LABEL)->EnableWindow(TRUE);
        GetDlgItem(IDC_POLICY_WEEKDAY)->EnableWindow(TRUE);
    }
    if (kind == 3)
        GetDlgItem(IDC_POLICY_MONTHDAY)->EnableWindow(TRUE);
}

void CBackupPolicyDlg::ApplyCycleLayout(int kind)
{
    CWnd* date = GetDlgItem(IDC_POLICY_DATE);
    CWnd* day = GetDlgItem(IDC_POLICY_MONTHDAY);
    const bool monthly = kind == 3;
    date->ShowWindow(monthly ? SW_HIDE : SW_SHOW);
    date->EnableWindow(kind == 0);
    if (monthly) {
        RECT rc;
        day->GetWindowRect(&rc);
        day->MoveWindow(m_rectDatePicker.left, m_rectDatePicker.top, rc.right - rc.left, rc.bottom - rc.top);
    }
    day->ShowWindow(monthly ? SW_SHOW : SW_HIDE);
    day->EnableWindow(monthly);
    GetDlgItem(IDC_POLICY_DATE_LABEL)->EnableWindow(kind == 0 || monthly);
    GetDlgItem(IDC_POLICY_WEEKDAY_LABEL)->EnableWindow(kind == 2);
    GetDlgItem(IDC_POLICY_WEEKDAY)->EnableWindow(kind == 2);
}

void CBackupPolicyDlg::OnBnClickedCheckCycle()
{
    const bool on = IsDlgButtonChecked(IDC_POLICY_CYCLE) == BST_CHECKED;
    SetCycleOn(on);
    EnableCycleControl(on);
    if (on)
        ApplyCycleLayout(static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_KIND, CB_GETCURSEL, 0, 0)));
}

void CBackupPolicyDlg::OnClickedCycleLabel()
{
    CheckDlgButton(IDC_POLICY_CYCLE, IsDlgButtonChecked(IDC_POLICY_CYCLE) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    OnBnClickedCheckCycle();
}

void CBackupPolicyDlg::OnCbnSelchangeCycle()
{
    m_nCycle = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_KIND, CB_GETCURSEL, 0, 0));
    ApplyCycleLayout(m_nCycle);
}

bool CBackupPolicyDlg::RunFolderSelect()
{
    CFolderSelectDlg select(this);
    for (const auto& entry : m_mapFolder)
        select.m_mapFolder[entry.first] = entry.second;
    if (select.DoModal() != IDOK)
        return false;
    FillFolderList();
    return true;
}

void CBackupPolicyDlg::OnBnClickedBtnFolder()
{
    RunFolderSelect();
}

void CBackupPolicyDlg::Warn(const wchar_t* text)
{
    CFileUtils::ToviMessageBox(this, text, L"CorvaneIXO", 0x30);
}

void CBackupPolicyDlg::OnBnClickedBtnSet()
{
    GetDlgItemText(IDC_POLICY_NAME, m_strName);
    if (m_strName.IsEmpty()) {
        Warn(backuplook::Text(L"정책 이름을 입력하세요."));
        return;
    }
    // Without any policy yet the store finds no Policy key and calls every name taken: the
    // first policy could never be made.
    if (!m_bEditMode && KeyExists(kPolicyRoot) && !CToviRegistry::IsEnableBackupPolicyName(m_strName)) {
        Warn(backuplook::Text(L"이미 등록된 정책 이름입니다."));
        return;
    }
    GetDlgItemText(IDC_POLICY_DESC, m_strDesc);
    if (m_strDesc.IsEmpty()) {
        Warn(backuplook::Text(L"정책 설명을 입력하세요."));
        return;
    }
    if (ListView_GetItemCount(::GetDlgItem(m_hWnd, IDC_POLICY_FOLDERS)) == 0) {
        Warn(backuplook::Text(L"폴더를 설정하세요."));
        RunFolderSelect();
        return;
    }
    const int overwrite = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_OVERWRITE, CB_GETCURSEL, 0, 0));
    SYSTEMTIME now = {};
    m_pfnLocalTime(&now);
    COleDateTime created(now);
    if (!m_bEditMode) {
        // Ids are made from the clock: a second policy made within the same second would
        // take over the first one's key and folders.
        CString id = created.Format(L"%Y%m%d%H%M%S");
        for (COleDateTime at = created; KeyExists(PolicyKey(id));) {
            at += COleDateTimeSpan(0, 0, 0, 1);
            id = at.Format(L"%Y%m%d%H%M%S");
        }
        m_strPolicyID = id;
    }
    m_strCreateTime = created.Format(L"%Y-%m-%d %H:%M:%S");
    if (!CToviRegistry::SetBackupPolicy(m_strPolicyID, m_strName, m_strDesc, m_strCreateTime, m_mapFolder, overwrite)) {
        CFileUtils::ToviMessageBox(this, backuplook::Text(L"정책을 저장하지 못했습니다."), L"CorvaneIXO", MB_ICONERROR);
        return;
    }

    int reservation = 0, kind = -1, weekday = -1;
    CString date, time, next;
    if (IsDlgButtonChecked(IDC_POLICY_CYCLE) == BST_CHECKED) {
        reservation = 1;
        kind = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_KIND, CB_GETCURSEL, 0, 0));
        SYSTEMTIME picked = {};
        if (kind == 0 && ::SendDlgItemMessageW(m_hWnd, IDC_POLICY_DATE, DTM_GETSYSTEMTIME, 0,
                                             reinterpret_cast<LPARAM>(&picked)) == GDT_VALID)
            date.Format(L"%04d-%02d-%02d", picked.wYear, picked.wMonth, picked.wDay);
        const int monthDay = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_MONTHDAY, CB_GETCURSEL, 0, 0)) + 1;
        if (kind == 3)
            date.Format(L"%d", monthDay);
        if (kind == 2)
            weekday = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_POLICY_WEEKDAY, CB_GETCURSEL, 0, 0));
        SYSTEMTIME at = {};
        if (::SendDlgItemMessageW(m_hWnd, IDC_POLICY_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&at)) == GDT_VALID)
            time.Format(L"%02d:%02d:%02d", at.wHour, at.wMinute, at.wSecond);
        next = NextRunTime(kind, date, weekday, monthDay, time, now);
    }
    if (!CToviRegistry::SetBackupCycle(m_strPolicyID, reservation, kind, date, weekday, time, next))
        TraceLog(2048, L"[ CBackupPolicyDlg::OnBnClickedBtnSet ] schedule not stored [ %s ]\n", m_strPolicyID.GetString());
    if (m_bEditMode)
        CToviRegistry::UpdateBackupInfo(m_strPolicyID, L"Delete", L"Delete", L"Delete");
    EndDialog(IDOK);
}

void CBackupPolicyDlg::OnOK()
{
    // Enter in a field does not save: the policy is saved by its own button only.
}

void CBackupPolicyDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CBackupPolicyDlg::OnCloseButton()
{
    OnCancel();
}

BOOL CBackupPolicyDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBkgnd(pDC, rect);
    HDC dc = pDC->GetSafeHdc();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(217, 217, 217));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    for (UINT id : kFrames) {
        RECT frame;
        ::GetWindowRect(::GetDlgItem(m_hWnd, id), &frame);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
        RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, 7, 7);
    }
    RECT line;
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_POLICY_SEPARATOR), &line);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&line), 2);
    MoveToEx(dc, line.left, line.top, nullptr);
    LineTo(dc, line.right, line.top);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return TRUE;
}

HBRUSH CBackupPolicyDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
    if (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_LISTBOX)
        return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    HDC dc = pDC->GetSafeHdc();
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = pWnd && ::IsWindowEnabled(pWnd->GetSafeHwnd());
    SetTextColor(dc, id == IDC_POLICY_HEAD_POLICY ? kHeadingColour : enabled ? RGB(31, 31, 31) : RGB(160, 160, 160));
    // The group titles and the schedule switch stand on the dialog's own background, the rest
    // inside the white frames.
    for (UINT outside : {IDC_POLICY_HEAD_POLICY, IDC_POLICY_HEAD_FOLDER, IDC_POLICY_HEAD_OVERWRITE, IDC_POLICY_CYCLE,
                         IDC_POLICY_CYCLE_LABEL})
        if (id == static_cast<int>(outside))
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return m_hWhite;
}

void CBackupPolicyDlg::OnDestroy()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_POLICY_FOLDERS);
    if (list)
        ListView_SetImageList(list, nullptr, LVSIL_SMALL);
    CVantelDialog::OnDestroy();
}
