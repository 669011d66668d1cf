// CBackupStatusDlg: per-policy progress of the backup workers, one policy shown.
#include "BackupLook.h"
#include "BackupStatusDlg.h"
#include "BackupRes.h"
#include "BackupThread.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "Library.h"
#include "MessageBoxDlgRes.h"
#include "ShareCommon.h"
#include "SkinRes.h"
#include "ToviString.h"
#include <shlobj.h>
#include <cwchar>

IMPLEMENT_DYNAMIC(CBackupStatusDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CBackupStatusDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_BACKUP_STATUS_CANCEL, OnCancelButton)
    ON_BN_CLICKED(IDC_BACKUP_STATUS_CLOSE, OnHide)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnHide)
    ON_MESSAGE(WM_BACKUP_TOTAL_SIZE, OnTotalSize)
    ON_MESSAGE(WM_BACKUP_FULL_PATH, OnFullPath)
    ON_MESSAGE(WM_UPLOAD_POLICY_PROGRESS, OnPolicyProgress)
END_MESSAGE_MAP()

namespace {
const COLORREF kTitleColour = RGB(84, 141, 222);
const COLORREF kLabelColour = RGB(46, 81, 124);
const COLORREF kEditText = RGB(31, 31, 31);

// Folder (without its trailing backslash) and file name of a path.
void SplitPath(const wchar_t* path, CString& folder, CString& file)
{
    wchar_t drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {}, name[_MAX_FNAME] = {}, ext[_MAX_EXT] = {};
    _wsplitpath_s(path, drive, dir, name, ext);
    folder = CString(drive) + dir;
    if (folder.GetLength() > 0 && folder[folder.GetLength() - 1] == L'\\')
        folder = folder.Left(folder.GetLength() - 1);
    file = CString(name) + ext;
}
} // namespace

CBackupStatusDlg::CBackupStatusDlg(CWnd* pParent) : CVantelDialog(IDD_BACKUP_STATUS, pParent) {}

CBackupStatusDlg::~CBackupStatusDlg()
{
    if (m_hBold)
        DeleteObject(m_hBold);
}

int CBackupStatusDlg::Percent(__int64 sent, __int64 total)
{
    if (total == 0)
        return 100;
    return static_cast<int>(static_cast<double>(sent) / static_cast<double>(total) * 100.0);
}

CString CBackupStatusDlg::Caption(__int64 sent, __int64 total)
{
    CString text;
    text.Format(L"%s %s / %s (%d%%)", CToviString::GetString(14087).GetString(),
                CFileUtils::ConvertFileSize2(sent).GetString(), CFileUtils::ConvertFileSize2(total).GetString(),
                Percent(sent, total));
    return text;
}

BOOL CBackupStatusDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    backuplook::ApplyFace(m_hWnd, m_nProductType, m_fontDlg, m_fontTitle);
    SetWindowText(backuplook::Text(L"백업 상태"));
    SetTitleBar(backuplook::Text(L"백업 상태"));

    wchar_t documents[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE)) {
        CString file = CString(documents) + L"\\VariruDAD\\Image\\ixo_main_backup.ico";
        m_hIcon = static_cast<HICON>(LoadImageW(nullptr, file.GetString(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
        m_ownIcon = m_hIcon != nullptr;
    }
    if (!m_hIcon)
        m_hIcon = LoadIconW(ToviInterfaceInstance(), MAKEINTRESOURCEW(IDI_IXO_MAIN_BACKUP));
    if (m_hIcon) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    }

    m_hBold = dialogkit::CreateBoldDialogFont(this);
    if (HWND title = ::GetDlgItem(m_hWnd, IDC_BACKUP_STATUS_TITLE))
        ::SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(m_hBold), TRUE);

    // Labels sized to their text; each edit starts 8 pixels after its label.
    const UINT labels[2][2] = {{IDC_BACKUP_STATUS_LABEL_FOLDER, IDC_BACKUP_STATUS_FOLDER},
                               {IDC_BACKUP_STATUS_LABEL_FILE, IDC_BACKUP_STATUS_FILE}};
    const UINT texts[2] = {14083, 14069};
    for (int i = 0; i < 2; ++i) {
        HWND label = ::GetDlgItem(m_hWnd, labels[i][0]);
        HWND edit = ::GetDlgItem(m_hWnd, labels[i][1]);
        const CString text = CToviString::GetString(texts[i]) + L" :";
        ::SetWindowTextW(label, text.GetString());
        HDC dc = ::GetDC(label);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &size);
        SelectObject(dc, old);
        ::ReleaseDC(label, dc);
        RECT lr, er;
        ::GetWindowRect(label, &lr);
        ::GetWindowRect(edit, &er);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&lr), 2);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&er), 2);
        ::MoveWindow(label, lr.left, lr.top, size.cx, lr.bottom - lr.top, TRUE);
        const int left = lr.left + size.cx + 8;
        ::MoveWindow(edit, left, er.top, er.right - left, er.bottom - er.top, TRUE);
    }

    m_bar.SubclassDlgItem(IDC_BACKUP_STATUS_PROGRESS, this);
    m_bar.SetColorType(0);
    m_bar.SetAlignText(1);
    m_bar.SetRange(0, 100);
    dialogkit::SkinButton(m_btnCancel, this, IDC_BACKUP_STATUS_CANCEL, 14, CToviString::GetString(14064), IDI_BTN_CANCEL);
    dialogkit::SkinButton(m_btnClose, this, IDC_BACKUP_STATUS_CLOSE, 14, CToviString::GetString(14066), IDI_BTN_OK);
    dialogkit::SkinButton(m_btnSysClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnSysClose);
    return TRUE;
}

void CBackupStatusDlg::OnDestroy()
{
    if (m_hIcon && m_ownIcon)
        DestroyIcon(m_hIcon);
    m_hIcon = nullptr;
    CVantelDialog::OnDestroy();
}

BOOL CBackupStatusDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {IDC_BACKUP_FRAME});
}

HBRUSH CBackupStatusDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    (void)nCtlColor;
    const int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
    HDC dc = pDC->GetSafeHdc();
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    if (id == IDC_BACKUP_STATUS_TITLE)
        SetTextColor(dc, kTitleColour);
    else if (id == IDC_BACKUP_STATUS_LABEL_FOLDER || id == IDC_BACKUP_STATUS_LABEL_FILE)
        SetTextColor(dc, kLabelColour);
    else
        SetTextColor(dc, kEditText);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

void CBackupStatusDlg::SetEditIfChanged(UINT id, const CString& text)
{
    HWND edit = ::GetDlgItem(m_hWnd, id);
    wchar_t current[260] = {};
    ::GetWindowTextW(edit, current, 260);
    if (text.Compare(current) != 0)
        ::SetWindowTextW(edit, text.GetString());
}

void CBackupStatusDlg::ShowPath(const wchar_t* path)
{
    CString folder, file;
    SplitPath(path, folder, file);
    SetEditIfChanged(IDC_BACKUP_STATUS_FOLDER, folder);
    SetEditIfChanged(IDC_BACKUP_STATUS_FILE, file);
}

void CBackupStatusDlg::ShowProgress(const _BACKUP_PROGRESS& record)
{
    m_bar.SetWindowText(Caption(record.Sent, record.Total).GetString());
    m_bar.SetPos(Percent(record.Sent, record.Total));
    m_bar.Invalidate(FALSE);
}

void CBackupStatusDlg::SetBackupKey(CString key, CString title)
{
    m_strKey = key;
    m_strTitle = title;
    SetDlgItemText(IDC_BACKUP_STATUS_TITLE, title.GetString());
    SetDlgItemText(IDC_BACKUP_STATUS_FOLDER, L"");
    SetDlgItemText(IDC_BACKUP_STATUS_FILE, L"");
    m_bar.SetWindowText(L"");
    m_bar.SetRange(0, 100);
    m_bar.SetPos(0);
    auto it = m_progress.find(key);
    if (it == m_progress.end())
        return;
    ShowPath(it->second.Path);
    ShowProgress(it->second);
    m_btnCancel.EnableWindow(TRUE);
    ShowWindow(SW_SHOW);
    UpdateWindow();
}

LRESULT CBackupStatusDlg::OnTotalSize(WPARAM, LPARAM lParam)
{
    const _BACKUP_SIZE_INFO* info = reinterpret_cast<const _BACKUP_SIZE_INFO*>(lParam);
    if (!info)
        return 0;
    const CString key(info->PolicyKey, static_cast<int>(wcsnlen(info->PolicyKey, 15)));
    _BACKUP_PROGRESS record = {};
    record.Total = info->Bytes;
    m_progress[key] = record;
    if (key == m_strKey)
        ShowProgress(record);
    return 0;
}

LRESULT CBackupStatusDlg::OnFullPath(WPARAM, LPARAM lParam)
{
    const _BACKUP_PATH_INFO* info = reinterpret_cast<const _BACKUP_PATH_INFO*>(lParam);
    if (!info)
        return 0;
    const CString key(info->PolicyKey, static_cast<int>(wcsnlen(info->PolicyKey, 15)));
    auto it = m_progress.find(key);
    if (it == m_progress.end())
        return 0;
    wcsncpy_s(it->second.Path, 260, info->Path, _TRUNCATE);
    if (key == m_strKey)
        ShowPath(it->second.Path);
    return 0;
}

LRESULT CBackupStatusDlg::OnPolicyProgress(WPARAM, LPARAM lParam)
{
    const _UPLOAD_POLICY_PROGRESS* info = reinterpret_cast<const _UPLOAD_POLICY_PROGRESS*>(lParam);
    if (!info)
        return 0;
    const CString key(info->key, static_cast<int>(wcsnlen(info->key, 15)));
    auto it = m_progress.find(key);
    if (it == m_progress.end())
        return 0;
    it->second.Sent += static_cast<__int64>(info->bytes);
    if (key == m_strKey) {
        if (it->second.Path[0])
            ShowPath(it->second.Path);
        ShowProgress(it->second);
    }
    return 0;
}

void CBackupStatusDlg::OnCancelButton()
{
    CWnd* parent = GetParent();
    HWND target = parent ? parent->GetSafeHwnd() : ::GetWindow(m_hWnd, GW_OWNER);
    CString* key = new CString(m_strKey);
    if (!target || !::PostMessageW(target, WM_BACKUP_CANCEL, 0, reinterpret_cast<LPARAM>(key)))
        delete key;
}

void CBackupStatusDlg::OnHide()
{
    ShowWindow(SW_HIDE);
}

void CBackupStatusDlg::OnOK()
{
    OnHide();
}

void CBackupStatusDlg::OnCancel()
{
    OnHide();
}
