// CRestoreDlg: the window side of the restore: controls, options, the session, progress, the
// task bar, starting and stopping the worker.
#include "BackupLook.h"
#include "DialogKit.h"
#include "RestoreDlg.h"
#include "BackupRes.h"
#include "FileUtils.h"
#include "MessageBoxDlgRes.h"
#include "SkinRes.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferTaskbar.h"
#include "WinThread.h"
#include <objbase.h>
#include <shlobj.h>

IMPLEMENT_DYNAMIC(CRestoreDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CRestoreDlg, CVantelDialog)
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimizeButton)
    ON_BN_CLICKED(IDC_RESTORE_START, OnRestoreButton)
    ON_BN_CLICKED(IDC_RESTORE_FORMER_PLACE, OnFormerPlace)
    ON_BN_CLICKED(IDC_RESTORE_CHOOSE_FOLDER, OnChooseFolder)
    ON_MESSAGE(WM_RESTORE_START, OnRestoreStart)
    ON_MESSAGE(WM_DOWNLOAD_PROGRESS, OnDownloadProgress)
    ON_MESSAGE(WM_DOWNLOAD_QUERY_CANCEL, OnQueryCancel)
    ON_MESSAGE(WM_RESTORE_INVOKE, OnInvoke)
END_MESSAGE_MAP()

namespace {

const COLORREF kHeadingColour = RGB(84, 141, 222);
const COLORREF kLabelColour = RGB(46, 81, 124);
const COLORREF kValueColour = RGB(31, 31, 31);

bool ShellFolderPicker(HWND owner, CString& folder)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = L"Select folder";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return false;
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(chosen, path) && path[0];
    CoTaskMemFree(chosen);
    if (ok)
        folder = path;
    return ok;
}

}

CRestoreDlg::FolderPickerFn CRestoreDlg::s_pfnPickFolder = ShellFolderPicker;

CRestoreDlg::CRestoreDlg(CWnd* pParent) : CVantelDialog(IDD_RESTORE, pParent)
{
    m_nUIType = kUITypeMinimizable;
    m_nProductType = 2;
}

CRestoreDlg::~CRestoreDlg()
{
    delete m_pProto;
    m_pProto = nullptr;
}

void CRestoreDlg::CopySession(const CToviProto* session)
{
    if (!session)
        return;
    m_session.CopyFrom(*session);
    m_strCustomerCode = session->CustomerCode;
    strncpy(m_szFactor, session->OptionInfo.Factor, sizeof m_szFactor - 1);
}

// ---- Creation ----

BOOL CRestoreDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    dialogkit::ApplyThreadLanguage();
    ApplyLook();
    // The customised backup icon under the documents folder, else the library's; shared.
    m_hIcon = CFileUtils::GetMainIcon(2);
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    m_bComInit = SUCCEEDED(CoInitialize(nullptr));
    m_pTaskbar = CTransferTaskbar::Create();

    SetWindowText(backuplook::Text(L"복원"));
    SetTitleBar(backuplook::Text(L"복원"));
    m_bPolicyRead = CToviRegistry::GetBackupPolicy(m_strPolicyKey, &m_policy, m_folders, &m_nStoredOverwrite);
    if (!m_bPolicyRead) {
        TraceLog(2048, L"[ CRestoreDlg::OnInitDialog ] no policy %s\n", m_strPolicyKey.GetString());
        return FALSE;
    }
    SetupControls();
    return TRUE;
}

// The window's texts in the session's language, on a face that also shows the policy's and the
// paths' Hangul.
void CRestoreDlg::ApplyLook()
{
    backuplook::ApplyFace(m_hWnd, m_nProductType, m_fontDlg, m_fontTitle);
    backuplook::TranslateChildren(m_hWnd);
}

void CRestoreDlg::SetupControls()
{
    HWND wnd = m_hWnd;
    HFONT bold = static_cast<HFONT>(m_fontTitle.GetSafeHandle());
    for (UINT id : {IDC_RESTORE_POLICY_NAME, IDC_RESTORE_OPTION_LABEL, IDC_RESTORE_PLACE_LABEL})
        ::SendMessageW(::GetDlgItem(wnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
    SetDlgItemText(IDC_RESTORE_POLICY_NAME, m_policy.PolicyName);

    HWND combo = ::GetDlgItem(wnd, IDC_RESTORE_OVERWRITE);
    for (const wchar_t* text : {L"건너뛰기", L"덮어쓰기", L"최신 파일만 덮어쓰기"})
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(backuplook::Text(text)));
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);

    dialogkit::SkinButton(m_btnRestore, this, IDC_RESTORE_START, 13, backuplook::Text(L"복원"), IDI_BTN_CONFIRM);
    dialogkit::SkinButton(m_btnFolder, this, IDC_RESTORE_CHOOSE_FOLDER, 14, backuplook::Text(L"복원 위치 재설정"), IDI_BTN_ADD);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), IDI_BTN_CANCEL);
    ::SendMessageW(::GetDlgItem(wnd, IDC_RESTORE_FORMER_PLACE), BM_SETCHECK, BST_CHECKED, 0);
    m_btnFolder.EnableWindow(FALSE);

    m_bar.SubclassDlgItem(IDC_RESTORE_PROGRESS, this);
    m_bar.SetRange32(0, 100);
    m_bar.SetPos(0);
    m_bar.SetWindowText(L"");

    // Each label is as wide as its text; its value starts 8 pixels to its right.
    const struct {
        UINT label;
        unsigned text;
        UINT value;
    } labels[] = {{IDC_RESTORE_LABEL_FOLDER, 14083, IDC_RESTORE_FOLDER}, {IDC_RESTORE_LABEL_FILE, 14069, IDC_RESTORE_FILE}};
    HDC dc = ::GetDC(wnd);
    HGDIOBJ old = ::SelectObject(dc, m_fontDlg.GetSafeHandle());
    for (const auto& l : labels) {
        const CString text = CToviString::GetString(l.text) + L" :";
        HWND label = ::GetDlgItem(wnd, l.label);
        ::SetWindowTextW(label, text.GetString());
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &extent);
        RECT at, v;
        ::GetWindowRect(label, &at);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&at), 2);
        ::MoveWindow(label, at.left, at.top, extent.cx + 2, at.bottom - at.top, TRUE);
        HWND value = ::GetDlgItem(wnd, l.value);
        ::GetWindowRect(value, &v);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&v), 2);
        const int left = at.left + extent.cx + 8;
        ::MoveWindow(value, left, v.top, v.right - left, v.bottom - v.top, TRUE);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(wnd, dc);

    dialogkit::SkinButton(m_btnMinimize, this, IDC_SYSBTN_MINIMIZE, CToviButton::kStyleCaptionMinimize, CString(), 0);
    dialogkit::SkinButton(m_btnMiddle, this, IDC_SYSBTN_MIDDLE, CToviButton::kStyleCaptionMiddle, CString(), 0);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    m_btnMiddle.EnableWindow(FALSE);
    CRect client, first;
    GetClientRect(&client);
    m_btnMinimize.GetWindowRect(&first);
    int x = client.right - 72;
    for (CToviButton* button : {&m_btnMinimize, &m_btnMiddle, &m_btnClose}) {
        button->MoveWindow(x, 2, first.Width(), first.Height());
        x += first.Width();
    }
}

BOOL CRestoreDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {IDC_BACKUP_FRAME});
}

HBRUSH CRestoreDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
    HDC dc = pDC->GetSafeHdc();
    HBRUSH brush = share::PanelCtlColor(dc, nCtlColor);
    if (!brush)
        return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (id == IDC_RESTORE_OPTION_LABEL || id == IDC_RESTORE_PLACE_LABEL)
        SetTextColor(dc, kHeadingColour);
    else if (id == IDC_RESTORE_LABEL_FOLDER || id == IDC_RESTORE_LABEL_FILE)
        SetTextColor(dc, kLabelColour);
    else
        SetTextColor(dc, kValueColour);
    return brush;
}

void CRestoreDlg::OnMinimizeButton()
{
    ShowWindow(SW_MINIMIZE);
}

// ---- Options ----

void CRestoreDlg::OnFormerPlace()
{
    HWND radio = ::GetDlgItem(m_hWnd, IDC_RESTORE_FORMER_PLACE);
    // One button alone: a click turns it on or off.
    const bool set = ::SendMessageW(radio, BM_GETCHECK, 0, 0) != BST_CHECKED;
    ::SendMessageW(radio, BM_SETCHECK, set ? BST_CHECKED : BST_UNCHECKED, 0);
    m_btnFolder.EnableWindow(set ? FALSE : TRUE);
    if (set)
        m_strRestoreFolder.Empty();
}

void CRestoreDlg::OnChooseFolder()
{
    CString folder;
    if (s_pfnPickFolder(m_hWnd, folder))
        m_strRestoreFolder = folder;
}

void CRestoreDlg::OnRestoreButton()
{
    SendMessage(WM_RESTORE_START);
}

// ---- Start ----

bool CRestoreDlg::OpenSession()
{
    m_pProto = new CToviProto();
    m_pProto->NoTimerFlag = 3;
    memcpy(m_pProto->LoginInfo.SessionId, m_session.szSessionId, sizeof m_session.szSessionId);
    m_pProto->CustomerCode = m_strCustomerCode;
    memcpy(m_pProto->ConnectTimeout, m_session.szConnectTimeout, sizeof m_session.szConnectTimeout);
    memcpy(m_pProto->SocketTimeout, m_session.szSocketTimeout, sizeof m_session.szSocketTimeout);
    share::SessionBlock session = m_session;
    if (m_pProto->GetSecureCode(m_hWnd, session.szHost, session.nPort, session.szSecureCode, PROT_CMD('H', '0')) != 0) {
        TraceLog(2048, L"GetSecureCode Fail\n");
        m_pProto->CloseSocket();
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONERROR);
        return false;
    }
    m_session.CopyTo(*m_pProto);
    if (m_szFactor[0])
        m_pProto->SetUpDownFactor(m_szFactor);
    if (m_pProto->GetUploadBandWidth(m_session.szSessionId) == 0 && m_pProto->UploadBandWidth[0])
        m_pProto->SetBandWidth(m_pProto->UploadBandWidth);
    return true;
}

LRESULT CRestoreDlg::OnRestoreStart(WPARAM, LPARAM)
{
    // Without its policy the window has nothing to restore.
    if (!m_bPolicyRead)
        return 0;
    for (UINT id : {IDC_RESTORE_FORMER_PLACE, IDC_RESTORE_OVERWRITE, IDC_RESTORE_CHOOSE_FOLDER})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    m_btnRestore.EnableWindow(FALSE);
    if (!m_pProto && !OpenSession())
        return 0;
    m_nRunDone = m_nFileDone = m_nFileSize = m_nTotalSize = 0;
    m_nSkipped = m_nOverwritten = 0;
    m_nFailed = 0;
    const LRESULT chosen = ::SendMessageW(::GetDlgItem(m_hWnd, IDC_RESTORE_OVERWRITE), CB_GETCURSEL, 0, 0);
    m_nOverwrite = chosen >= kOptionSkip && chosen <= kOptionNewer ? static_cast<int>(chosen) : kOptionSkip;
    m_bCancel = false;
    m_bRunOver = false;
    m_pWorker = AfxBeginThread(RestoreThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pWorker)
        return 0;
    m_pWorker->m_bAutoDelete = FALSE;
    m_pWorker->ResumeThread();
    return 0;
}

// ---- Helpers for the worker ----

LRESULT CRestoreDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    return dialogkit::RunInvoked(lParam);
}

void CRestoreDlg::RunOnUi(const std::function<void()>& work)
{
    dialogkit::RunOnWindowThread(m_hWnd, WM_RESTORE_INVOKE, work);
}

void CRestoreDlg::ShowMessage(const CString& text)
{
    // A box asked for while the window is being stopped would hold the stop up.
    RunOnUi([this, text] {
        if (!m_bCancel && !text.IsEmpty())
            dialogkit::MessageBox(m_hWnd, text, MB_ICONERROR);
    });
}

void CRestoreDlg::SetProgressText(const CString& text, int percent)
{
    RunOnUi([this, text, percent] {
        m_bar.SetWindowText(text.GetString());
        if (percent >= 0)
            m_bar.SetPos(percent);
        m_bar.Invalidate(FALSE);
    });
}

void CRestoreDlg::SetMarquee(bool on)
{
    RunOnUi([this, on] {
        if (on) {
            m_bar.SetMarquee(true, 20, 10);
        } else if (m_bar.IsMarquee()) {
            m_bar.SetMarquee(false, 20, 10);
            m_bar.SetRange32(0, 100);
            m_bar.SetPos(0);
        }
    });
}

// ---- Progress ----

LRESULT CRestoreDlg::OnQueryCancel(WPARAM, LPARAM)
{
    return m_bCancel ? 1 : 0;
}

LRESULT CRestoreDlg::OnDownloadProgress(WPARAM, LPARAM lParam)
{
    const __int64 n = lParam ? *reinterpret_cast<const __int64*>(lParam) : 0;
    m_nFileDone += n;
    m_nRunDone += n;
    const int percent = m_nTotalSize == 0 ? 100 : static_cast<int>(static_cast<double>(m_nRunDone) / m_nTotalSize * 100);
    CString text;
    text.Format(L"%s %s / %s (%d%%)", CToviString::GetString(14087).GetString(),
                CFileUtils::ConvertFileSize2(static_cast<__int64>(m_nRunDone)).GetString(), m_strTotalSize.GetString(),
                percent);
    m_bar.SetWindowText(text.GetString());
    m_bar.SetPos(percent);
    m_bar.Invalidate(FALSE);
    if (m_pTaskbar) {
        m_pTaskbar->SetProgressState(m_hWnd, CTransferTaskbar::kNormal);
        m_pTaskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(percent), 100);
        m_pTaskbar->SetThumbnailTooltip(m_hWnd, text.GetString());
    }
    return 0;
}

// kind 0 done, 1 done with skips or overwrites, 2 done with failures.
void CRestoreDlg::NotifyEnd(int kind)
{
    RunOnUi([this, kind] {
        if (m_pTaskbar) {
            if (kind != 0) {
                m_pTaskbar->SetProgressState(m_hWnd, CTransferTaskbar::kError);
                if (IsIconic())
                    ShowWindow(SW_RESTORE);
            }
            const wchar_t* icon = kind == 0 ? IDI_INFORMATION : (kind == 1 ? IDI_WARNING : IDI_ERROR);
            m_pTaskbar->SetOverlayIcon(m_hWnd, ::LoadIconW(nullptr, icon), L"");
            m_pTaskbar->Flash(m_hWnd, true);
        } else {
            FLASHWINFO info = {sizeof info, m_hWnd, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
            ::FlashWindowEx(&info);
        }
    });
}

// ---- Stop ----

void CRestoreDlg::Stop()
{
    m_bCancel = true;
    if (m_pWorker) {
        for (;;) {
            DWORD code = 0;
            if (!::GetExitCodeThread(m_pWorker->m_hThread, &code) || code != STILL_ACTIVE)
                break;
            AfxPumpWait(m_pWorker->m_hThread, 10);
        }
        delete m_pWorker;
        m_pWorker = nullptr;
    }
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
}

void CRestoreDlg::OnCancel()
{
    Stop();
    EndDialog(1);
}

void CRestoreDlg::OnOK()
{
    // Enter neither starts nor ends a restore.
}

void CRestoreDlg::OnCloseButton()
{
    OnCancel();
}

void CRestoreDlg::OnDestroy()
{
    Stop();
    m_hIcon = nullptr;
    delete m_pTaskbar;
    m_pTaskbar = nullptr;
    if (m_bComInit) {
        CoUninitialize();
        m_bComInit = false;
    }
    CVantelDialog::OnDestroy();
}
