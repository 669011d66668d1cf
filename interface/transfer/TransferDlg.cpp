// CTransferDlg: the controls, the workers' ways onto the window's thread, the relay window and
// the progress display shared by the upload and download windows.
#include "TransferDlg.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviString.h"
#include "TransferRes.h"
#include "ToviProto.h"
#include "TransferTaskbar.h"
#include "WinThread.h"
#include <algorithm>
#include <commctrl.h>
#include <shellapi.h>
#include <memory>

IMPLEMENT_DYNAMIC(CTransferDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CTransferDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimizeButton)
    ON_MESSAGE(WM_TRANSFER_INVOKE, OnInvoke)
    ON_MESSAGE(WM_TRANSFER_POSTED, OnPosted)
    ON_MESSAGE(WM_TRANSFER_REFRESH, OnRefresh)
END_MESSAGE_MAP()

// Both templates hold the same controls under the same ids.
static_assert(IDC_UPLOAD_LIST == IDC_DOWNLOAD_LIST && IDC_UPLOAD_ERROR_LOG == IDC_DOWNLOAD_ERROR_LOG &&
                  IDC_UPLOAD_PROGRESS_FILE == IDC_DOWNLOAD_PROGRESS_FILE &&
                  IDC_UPLOAD_PROGRESS_TOTAL == IDC_DOWNLOAD_PROGRESS_TOTAL && IDC_UPLOAD_RATE == IDC_DOWNLOAD_RATE &&
                  IDC_UPLOAD_FOLDER == IDC_DOWNLOAD_FOLDER && IDC_UPLOAD_FILE == IDC_DOWNLOAD_FILE &&
                  IDC_UPLOAD_LABEL_FOLDER == IDC_DOWNLOAD_LABEL_FOLDER &&
                  IDC_UPLOAD_LABEL_FILE == IDC_DOWNLOAD_LABEL_FILE &&
                  IDC_UPLOAD_LABEL_SPEED == IDC_DOWNLOAD_LABEL_SPEED,
              "the upload and download templates share their control ids");

namespace {

const UINT kCancelIcon = 528;
// A few redraws a second show the same as one per block.
const DWORD kRefreshMs = 100;

}

CTransferDlg::ExecutionStateFn CTransferDlg::s_pfnExecutionState = ::SetThreadExecutionState;

CTransferDlg::CTransferDlg(UINT templateId, CWnd* pParent) : CVantelDialog(templateId, pParent)
{
    m_nUIType = kUITypeMinimizable;
}

EXECUTION_STATE CTransferDlg::CallExecutionState(EXECUTION_STATE state)
{
    return s_pfnExecutionState(state);
}

// ---- Session ----

void CTransferDlg::CopySession(const CToviProto* session)
{
    if (!session)
        return;
    strncpy(m_szSessionId, session->LoginInfo.SessionId, sizeof m_szSessionId - 1);
    strncpy(m_szHost, session->ServerAddress.szHost, sizeof m_szHost - 1);
    m_nPort = session->ServerAddress.nPort;
    memcpy(m_szCode, session->ServerAddress.szCode, sizeof m_szCode);
    m_strCustomerCode = session->CustomerCode;
    m_option = session->OptionInfo;
    strncpy(m_szConnectTimeout, session->ConnectTimeout, sizeof m_szConnectTimeout - 1);
    strncpy(m_szSocketTimeout, session->SocketTimeout, sizeof m_szSocketTimeout - 1);
    strncpy(m_szRetryTimeout, session->RetryTimeout, sizeof m_szRetryTimeout - 1);
    strncpy(m_szRetryCount, session->RetryCount, sizeof m_szRetryCount - 1);
}

CToviProto* CTransferDlg::MakeSession(int noTimerFlag) const
{
    CToviProto* proto = new CToviProto();
    proto->NoTimerFlag = noTimerFlag;
    strncpy(proto->LoginInfo.SessionId, m_szSessionId, sizeof proto->LoginInfo.SessionId - 1);
    proto->CustomerCode = m_strCustomerCode;
    strncpy(proto->ServerAddress.szHost, m_szHost, sizeof proto->ServerAddress.szHost - 1);
    proto->ServerAddress.WebServerAddress = CString(m_szHost);
    proto->ServerAddress.nPort = m_nPort;
    memcpy(proto->ServerAddress.szCode, m_szCode, sizeof m_szCode);
    proto->OptionInfo = m_option;
    strncpy(proto->ConnectTimeout, m_szConnectTimeout, sizeof proto->ConnectTimeout - 1);
    strncpy(proto->SocketTimeout, m_szSocketTimeout, sizeof proto->SocketTimeout - 1);
    strncpy(proto->RetryTimeout, m_szRetryTimeout, sizeof proto->RetryTimeout - 1);
    strncpy(proto->RetryCount, m_szRetryCount, sizeof proto->RetryCount - 1);
    return proto;
}

// ---- Creation and end ----

void CTransferDlg::InitWindow(unsigned titleId)
{
    m_hIcon = CFileUtils::GetMainIcon(0);
    m_bComInit = SUCCEEDED(::CoInitialize(nullptr));
    // Without a task bar every task-bar step is skipped.
    m_pTaskbar = CTransferTaskbar::Create();
    SetWindowText(CToviString::GetString(titleId).GetString());
    SetTitleBar(CToviString::GetString(titleId));
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
}

void CTransferDlg::SetupControls()
{
    struct Label {
        UINT id;
        unsigned text;
        UINT value;
    };
    const Label labels[] = {{IDC_UPLOAD_LABEL_FOLDER, 14083, IDC_UPLOAD_FOLDER},
                            {IDC_UPLOAD_LABEL_FILE, 14069, IDC_UPLOAD_FILE},
                            {IDC_UPLOAD_LABEL_SPEED, 14084, IDC_UPLOAD_RATE}};
    HWND wnd = m_hWnd;
    HDC dc = ::GetDC(wnd);
    HGDIOBJ old = ::SelectObject(dc, (HFONT)SendMessage(WM_GETFONT));
    for (const Label& label : labels) {
        const CString text = CToviString::GetString(label.text) + L" :";
        HWND control = ::GetDlgItem(wnd, label.id);
        ::SetWindowTextW(control, text.GetString());
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &extent);
        RECT at;
        ::GetWindowRect(control, &at);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&at), 2);
        ::MoveWindow(control, at.left, at.top, extent.cx + 2, at.bottom - at.top, TRUE);
        HWND value = ::GetDlgItem(wnd, label.value);
        RECT v;
        ::GetWindowRect(value, &v);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&v), 2);
        const int left = at.left + extent.cx + 8;
        ::MoveWindow(value, left, v.top, v.right - left, v.bottom - v.top, TRUE);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(wnd, dc);

    m_list.SubclassDlgItem(IDC_UPLOAD_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    SHFILEINFOW info = {};
    HIMAGELIST system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    // The system's list is shared: a list that owned it would destroy it with the window, and
    // the next transfer window would show no icons.
    m_list.ModifyStyle(0, LVS_SHAREIMAGELISTS);
    if (system)
        m_list.SetImageList(system, LVSIL_SMALL);
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 300);
    m_list.InsertColumn(1, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
    // 60 px cuts the longer status words ("Completed", "In progress") short: the column takes
    // the widest of them, never less than 60.
    int statusWidth = 60;
    for (unsigned word : {14094u, 14095u, 14091u, 14097u, 14089u, 14090u, 14064u})
        statusWidth = std::max(statusWidth, m_list.GetStringWidth(CToviString::GetString(word).GetString()) + 14);
    m_list.InsertColumn(2, CToviString::GetString(14086).GetString(), LVCFMT_RIGHT, statusWidth);

    m_log.SubclassDlgItem(IDC_UPLOAD_ERROR_LOG, this);
    m_log.SetExtendedStyle(m_log.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_hLogImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    if (HICON mark = CFileUtils::ToviLoadImage(IDI_TRANSFER_ERROR, 16, 16)) {
        ImageList_AddIcon(m_hLogImages, mark);
        ::DestroyIcon(mark);
    }
    m_log.SetImageList(m_hLogImages, LVSIL_SMALL);
    m_log.InsertColumn(0, CToviString::GetString(14086).GetString(), LVCFMT_LEFT, 60);
    m_log.InsertColumn(1, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 180);
    m_log.InsertColumn(2, CToviString::GetString(14092).GetString(), LVCFMT_LEFT, 200);

    m_barFile.SubclassDlgItem(IDC_UPLOAD_PROGRESS_FILE, this);
    m_barTotal.SubclassDlgItem(IDC_UPLOAD_PROGRESS_TOTAL, this);
    for (CToviProgressCtrl* bar : {&m_barFile, &m_barTotal}) {
        bar->SetRange32(0, 100);
        bar->SetPos(0);
        bar->SetWindowText(L"");
    }

    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), kCancelIcon);
    dialogkit::SkinButton(m_btnMinimize, this, IDC_SYSBTN_MINIMIZE, CToviButton::kStyleCaptionMinimize, CString(), 0);
    dialogkit::SkinButton(m_btnMiddle, this, IDC_SYSBTN_MIDDLE, CToviButton::kStyleCaptionMiddle, CString(), 0);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    m_btnMiddle.EnableWindow(FALSE);
    CRect client, first;
    GetClientRect(&client);
    m_btnMinimize.GetWindowRect(&first);
    const int width = first.Width();
    int x = client.right - 72;
    for (CToviButton* button : {&m_btnMinimize, &m_btnMiddle, &m_btnClose}) {
        button->MoveWindow(x, 2, width, first.Height());
        x += width;
    }
    if (CWnd* hidden = GetDlgItem(IDC_DIALOG_HIDDEN))
        hidden->ShowWindow(SW_HIDE);
}

void CTransferDlg::ReleaseWindow()
{
    delete m_pTaskbar;
    m_pTaskbar = nullptr;
    if (m_hLogImages) {
        m_log.SetImageList(static_cast<HIMAGELIST>(nullptr), LVSIL_SMALL);
        ImageList_Destroy(m_hLogImages);
        m_hLogImages = nullptr;
    }
    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    if (m_bComInit) {
        ::CoUninitialize();
        m_bComInit = false;
    }
}

BOOL CTransferDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

// The location, file and speed lines sit on white boxes; their labels on the skin.
HBRUSH CTransferDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC && pWnd) {
        switch (pWnd->GetDlgCtrlID()) {
        case IDC_UPLOAD_FOLDER:
        case IDC_UPLOAD_FILE:
        case IDC_UPLOAD_RATE:
            pDC->SetBkMode(OPAQUE);
            pDC->SetBkColor(RGB(255, 255, 255));
            pDC->SetTextColor(RGB(0x1F, 0x1F, 0x1F));
            return (HBRUSH)::GetStockObject(WHITE_BRUSH);
        case IDC_UPLOAD_LABEL_FOLDER:
        case IDC_UPLOAD_LABEL_FILE:
        case IDC_UPLOAD_LABEL_SPEED: {
            // The default handling resets the text colour: ours comes after it.
            HBRUSH brush = CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
            pDC->SetTextColor(0x7C512E);
            return brush;
        }
        default:
            break;
        }
    }
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CTransferDlg::OnMinimizeButton()
{
    ShowWindow(SW_MINIMIZE);
}

// ---- Onto the window's thread ----

LRESULT CTransferDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    return dialogkit::RunInvoked(lParam);
}

void CTransferDlg::RunOnUi(const std::function<void()>& work)
{
    dialogkit::RunOnWindowThread(m_hWnd, WM_TRANSFER_INVOKE, work);
}

void CTransferDlg::PostToUi(const std::function<void()>& work)
{
    if (!m_hWnd)
        return;
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        work();
        return;
    }
    auto* copy = new std::function<void()>(work);
    if (!::PostMessageW(m_hWnd, WM_TRANSFER_POSTED, 0, reinterpret_cast<LPARAM>(copy)))
        delete copy;
}

LRESULT CTransferDlg::OnPosted(WPARAM, LPARAM lParam)
{
    std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
    (*work)();
    return 0;
}

void CTransferDlg::DropPosted()
{
    MSG msg;
    while (::PeekMessageW(&msg, m_hWnd, WM_TRANSFER_POSTED, WM_TRANSFER_POSTED, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(msg.lParam);
}

void CTransferDlg::RunPosted()
{
    static_assert(WM_TRANSFER_REFRESH == WM_TRANSFER_POSTED + 1, "one range takes both, in their order");
    MSG msg;
    while (::PeekMessageW(&msg, m_hWnd, WM_TRANSFER_POSTED, WM_TRANSFER_REFRESH, PM_REMOVE)) {
        if (msg.message == WM_TRANSFER_POSTED)
            OnPosted(msg.wParam, msg.lParam);
        else
            OnRefresh(msg.wParam, msg.lParam);
    }
}

void CTransferDlg::SetMarquee(bool on)
{
    PostToUi([this, on] {
        if (on) {
            m_barFile.SetMarquee(true, 20, 10);
        } else if (m_barFile.IsMarquee()) {
            m_barFile.SetMarquee(false, 20, 10);
            m_barFile.ShowWindow(SW_SHOW);
            m_barFile.SetRange32(0, 100);
            m_barFile.SetPos(0);
        }
    });
}

int CTransferDlg::ShowMessage(const CString& text, UINT type)
{
    if (text.IsEmpty())
        return 0;
    int answer = 0;
    // A box asked for while the window is being stopped would hold the stop up.
    RunOnUi([this, text, type, &answer] {
        if (!m_bCancel)
            answer = dialogkit::MessageBox(m_hWnd, text, type);
    });
    return answer;
}

void CTransferDlg::Notify(int kind, const CString& text)
{
    PostToUi([this, kind, text] {
        if (!m_pTaskbar)
            return;
        if (kind == 1) {
            m_pTaskbar->SetProgressState(m_hWnd, CTransferTaskbar::kError);
            if (IsIconic())
                ShowWindow(SW_RESTORE);
            m_pTaskbar->SetOverlayIcon(m_hWnd, ::LoadIconW(nullptr, IDI_ERROR), L"");
        } else if (kind == 0) {
            m_pTaskbar->SetOverlayIcon(m_hWnd, ::LoadIconW(nullptr, IDI_INFORMATION), L"");
        } else {
            m_pTaskbar->SetOverlayIcon(m_hWnd, nullptr, L"");
        }
        if (!text.IsEmpty())
            m_pTaskbar->SetThumbnailTooltip(m_hWnd, text.GetString());
        m_pTaskbar->Flash(m_hWnd, kind != -1);
    });
}

// ---- Workers ----

bool CTransferDlg::IsAlive(CWinThread* thread)
{
    DWORD code = 0;
    return thread && ::GetExitCodeThread(thread->m_hThread, &code) && code == STILL_ACTIVE;
}

void CTransferDlg::WaitForThread(CWinThread*& thread, bool closePrompt)
{
    for (;;) {
        // A handler run by the pump below may have finished with the thread already.
        if (!thread)
            return;
        if (!IsAlive(thread))
            break;
        if (closePrompt)
            CFileDuplicateDlg::CloseOpenPrompt();
        AfxPumpWait(thread->m_hThread, 10);
    }
    delete thread;
    thread = nullptr;
}

LRESULT CALLBACK CTransferDlg::RelayProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CTransferDlg* dlg = reinterpret_cast<CTransferDlg*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (dlg && dlg->OnRelayReport(message, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(wnd, message, wParam, lParam);
}

HWND CTransferDlg::MakeRelayWindow()
{
    static const wchar_t kClass[] = L"ToviTransferRelay";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RelayProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);   // fails harmlessly when registered already
    HWND wnd = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (wnd)
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return wnd;
}

DWORD WINAPI CTransferDlg::RelayThread(LPVOID param)
{
    CTransferDlg* dlg = static_cast<CTransferDlg*>(param);
    HWND wnd = dlg->MakeRelayWindow();
    dlg->m_hRelay = wnd;
    ::SetEvent(dlg->m_hRelayReady);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    if (wnd)
        ::DestroyWindow(wnd);
    return 0;
}

void CTransferDlg::CreateRelay(bool ownThread)
{
    if (!ownThread) {
        m_hRelay = MakeRelayWindow();
        return;
    }
    m_hRelayReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_hRelayReady)
        return;
    m_hRelayThread = ::CreateThread(nullptr, 0, RelayThread, this, 0, &m_dwRelayThreadId);
    if (m_hRelayThread)
        ::WaitForSingleObject(m_hRelayReady, INFINITE);
    ::CloseHandle(m_hRelayReady);
    m_hRelayReady = nullptr;
}

void CTransferDlg::DestroyRelay()
{
    if (m_hRelayThread) {
        // The thread's message queue exists: it made its window before the creation returned.
        ::PostThreadMessageW(m_dwRelayThreadId, WM_QUIT, 0, 0);
        ::WaitForSingleObject(m_hRelayThread, INFINITE);
        ::CloseHandle(m_hRelayThread);
        m_hRelayThread = nullptr;
        m_dwRelayThreadId = 0;
        m_hRelay = nullptr;
        return;
    }
    if (m_hRelay) {
        ::DestroyWindow(m_hRelay);
        m_hRelay = nullptr;
    }
}

// ---- Progress ----

void CTransferDlg::CountProgress(WPARAM kind, __int64 bytes)
{
    m_nFileDone += bytes;
    m_nTotalDone += bytes;
    if (kind == 1)
        m_nRateBase += bytes;
    else
        m_nRateBytes += bytes;
    // Each small file's end would be a redraw of its own: only the run's end is shown at once.
    const DWORD now = ::GetTickCount();
    if ((m_nTotalDone < m_nTotalSize && now - m_dwLastPosted < kRefreshMs) || m_bRefreshPosted.exchange(true))
        return;
    m_dwLastPosted = now;
    if (!m_hWnd || !::PostMessageW(m_hWnd, WM_TRANSFER_REFRESH, 0, 0))
        m_bRefreshPosted = false;
}

LRESULT CTransferDlg::OnRefresh(WPARAM, LPARAM)
{
    m_bRefreshPosted = false;
    RefreshProgress();
    return 0;
}

void CTransferDlg::ShowProgress(const CString& fileText, int filePercent, const CString& totalText, int totalPercent)
{
    m_rate.AddBase(m_nRateBase.exchange(0));
    m_rate.AddBytes(m_nRateBytes.exchange(0));
    m_barFile.SetWindowText(fileText.GetString());
    m_barFile.SetPos(filePercent);
    m_barTotal.SetWindowText(totalText.GetString());
    m_barTotal.SetPos(totalPercent);
    m_barFile.Invalidate(FALSE);
    m_barTotal.Invalidate(FALSE);
    if (m_pTaskbar) {
        m_pTaskbar->SetProgressState(m_hWnd, CTransferTaskbar::kNormal);
        m_pTaskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(totalPercent), 100);
        m_pTaskbar->SetThumbnailTooltip(m_hWnd, totalText.GetString());
    }
    m_rate.Compute();
    CString rate = m_rate.GetSpeedText();
    const CString left = m_rate.GetTimeLeftText();
    if (!left.IsEmpty())
        rate.Format(L"%s (%s)", m_rate.GetSpeedText().GetString(), left.GetString());
    if (rate != m_strLastRate) {
        m_strLastRate = rate;
        SetDlgItemText(IDC_UPLOAD_RATE, rate.GetString());
    }
}
