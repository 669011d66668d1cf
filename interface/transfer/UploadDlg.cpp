// CUploadDlg: the window side of the upload: controls, progress display, task bar, starting
// and stopping the workers, the end of a run and the result list.
#include <winsock2.h>
#include "UploadDlg.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferCommon.h"
#include "TransferRes.h"
#include "TransferTaskbar.h"
#include "UploadDecision.h"
#include "UploadResultListDlg.h"
#include "WinThread.h"
#include <commctrl.h>
#include <memory>

IMPLEMENT_DYNAMIC(CUploadDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CUploadDlg, CVantelDialog)
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimizeButton)
    ON_MESSAGE(WM_UPLOAD_PROGRESS, OnUploadProgress)
    ON_MESSAGE(WM_UPLOAD_THROTTLE, OnUploadThrottle)
    ON_MESSAGE(WM_UPLOAD_BEGIN, OnUploadBegin)
    ON_MESSAGE(WM_UPLOAD_ADD, OnUploadAdd)
    ON_MESSAGE(WM_UPLOAD_START, OnUploadStart)
    ON_MESSAGE(WM_UPLOAD_FINISH, OnUploadFinish)
    ON_MESSAGE(WM_UPLOAD_RESULT, OnUploadResult)
    ON_MESSAGE(WM_END_UPLOAD_FORCE, OnEndUploadForce)
    ON_MESSAGE(WM_UPLOAD_RECONNECT, OnUploadReconnect)
    ON_MESSAGE(WM_TOTAL_SIZE_UPDATE, OnTotalSizeUpdate)
    ON_MESSAGE(WM_UPLOAD_INVOKE, OnInvoke)
    ON_MESSAGE(WM_UPLOAD_REFUSED, OnUploadRefused)
    ON_MESSAGE(WM_UPLOAD_POSTED, OnPosted)
    ON_MESSAGE(WM_UPLOAD_REFRESH, OnUploadRefresh)
END_MESSAGE_MAP()

namespace {

const UINT kCancelIcon = 528;
const UINT_PTR kRefreshTimer = 5;
const COLORREF kLabelColor = 0x7C512E;

CUploadDlg::ExecutionStateFn g_executionState = ::SetThreadExecutionState;

// Site codes under which an abandoned run also says so in a message box.
bool AbandonNoticeSite(const CString& code)
{
    static const wchar_t* const kSites[] = {L"TOLVAN_IN", L"TOLVAN_OUT", L"PERIDAN", L"PERIDAN_OUT",
                                            L"DUVUDOVA_DI", L"PERIDANE_OUT"};
    for (const wchar_t* site : kSites) {
        if (code == site)
            return true;
    }
    return false;
}

}

EXECUTION_STATE CUploadDlg::CallExecutionState(EXECUTION_STATE state)
{
    return g_executionState(state);
}

void CUploadDlg::SetExecutionStateHook(ExecutionStateFn fn)
{
    g_executionState = fn ? fn : ::SetThreadExecutionState;
}

CUploadDlg::CUploadDlg(CWnd* pParent) : CVantelDialog(IDD_UPLOAD, pParent)
{
    m_nUIType = kUITypeMinimizable;
}

CUploadDlg::~CUploadDlg()
{
    delete m_pProto;
    m_pProto = nullptr;
}

// ---- Hand-over ----

void CUploadDlg::CopySession(const CToviProto* session)
{
    if (!session)
        return;
    strncpy(m_szSessionId, session->LoginInfo.SessionId, sizeof m_szSessionId - 1);
    strncpy(m_szHost, session->ServerAddress.szHost, sizeof m_szHost - 1);
    m_nPort = session->ServerAddress.nPort;
    memcpy(m_szCode, session->ServerAddress.szCode, sizeof m_szCode);
    m_strCustomerCode = session->CustomerCode;
    if (session->OptionInfo.Factor[0])
        strncpy(m_szFactor, session->OptionInfo.Factor, sizeof m_szFactor - 1);
    strncpy(m_szConnectTimeout, session->ConnectTimeout, sizeof m_szConnectTimeout - 1);
    strncpy(m_szSocketTimeout, session->SocketTimeout, sizeof m_szSocketTimeout - 1);
    strncpy(m_szRetryTimeout, session->RetryTimeout, sizeof m_szRetryTimeout - 1);
    strncpy(m_szRetryCount, session->RetryCount, sizeof m_szRetryCount - 1);
    m_cUploadClose = session->OptionInfo.UploadClose[0];
    wcsncpy(m_wszResultMsg, session->OptionInfo.UploadResultMsg, 1023);
    m_option = session->OptionInfo;
}

void CUploadDlg::TakeItems(std::vector<_UPLOADINFO>& items)
{
    std::lock_guard<std::mutex> lock(m_itemsLock);
    m_items.swap(items);
}

bool CUploadDlg::AddItems(std::vector<_UPLOADINFO>& items)
{
    HWND wnd = m_hWnd;
    if (!wnd || !::IsWindow(wnd))
        return false;
    // The window's own thread decides and shows any refusal: a box owned by this window must
    // not run its modal loop on the caller's thread, and two callers cannot both slip past the
    // filling check.
    return ::SendMessageW(wnd, WM_UPLOAD_ADD, 0, reinterpret_cast<LPARAM>(&items)) != 0;
}

bool CUploadDlg::TakeAddedItems(std::vector<_UPLOADINFO>& items)
{
    ShowWindow(IsIconic() ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    unsigned refusal = 0;
    if (m_bFilling)
        refusal = 12021;
    else if (m_bResultPhase)
        refusal = 12058;
    if (refusal) {
        // Posted: the caller gets its items back at once instead of waiting on the box.
        PostMessage(WM_UPLOAD_REFUSED, refusal);
        return false;
    }
    // Appended, not swapped: a batch the filling has not taken yet is never dropped.
    std::lock_guard<std::mutex> lock(m_itemsLock);
    m_pending.insert(m_pending.end(), items.begin(), items.end());
    items.clear();
    return true;
}

LRESULT CUploadDlg::OnUploadRefused(WPARAM wParam, LPARAM)
{
    transfer::MessageBox(m_hWnd, CToviMsg::GetString(static_cast<unsigned>(wParam)) + L" " + CToviMsg::GetString(12060),
                         MB_ICONWARNING);
    return 0;
}

size_t CUploadDlg::GetItemCount()
{
    std::lock_guard<std::mutex> lock(m_itemsLock);
    return m_items.size();
}

size_t CUploadDlg::GetNextIndex()
{
    std::lock_guard<std::mutex> lock(m_itemsLock);
    return m_nNextIndex;
}

std::vector<_PROTO_UPLOAD_RESULT> CUploadDlg::GetErrorRecords()
{
    std::lock_guard<std::mutex> lock(m_errorLock);
    return m_vecError;
}

// ---- Creation ----

BOOL CUploadDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    m_hIcon = CFileUtils::GetMainIcon(0);
    m_bComInit = SUCCEEDED(::CoInitialize(nullptr));
    // The window releases the socket library when it goes: it takes its own reference, so
    // that the release never takes one away from the caller's session.
    WSADATA wsa;
    m_bWsaStarted = ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    // Without a task bar every task-bar step is skipped.
    m_pTaskbar = CTransferTaskbar::Create();
    SetWindowText(CToviString::GetString(14046).GetString());
    SetTitleBar(CToviString::GetString(14046));
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    SetupControls();
    if (m_cUploadClose == 'Y') {
        TraceLog(1, L"[ CUploadDlg::OnUploadStart ] Upload Close Check = Y\n");
        m_chkClose.SetCheck(BST_CHECKED);
    }
    PostMessage(WM_UPLOAD_BEGIN);
    return TRUE;
}

void CUploadDlg::SetupControls()
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
    if (system)
        m_list.SetImageList(system, LVSIL_SMALL);
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 300);
    m_list.InsertColumn(1, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
    m_list.InsertColumn(2, CToviString::GetString(14086).GetString(), LVCFMT_RIGHT, 60);

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

    if (m_chkClose.SubclassDlgItem(IDC_UPLOAD_CLOSE_WHEN_DONE, this))
        m_chkClose.SetWindowText(CToviString::GetString(14085).GetString());
    transfer::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), kCancelIcon);
    transfer::SkinButton(m_btnMinimize, this, IDC_SYSBTN_MINIMIZE, CToviButton::kStyleCaptionMinimize, CString(), 0);
    transfer::SkinButton(m_btnMiddle, this, IDC_SYSBTN_MIDDLE, CToviButton::kStyleCaptionMiddle, CString(), 0);
    transfer::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
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
    if (CWnd* anchor = GetDlgItem(IDC_UPLOAD_HIDDEN_ANCHOR)) {
        anchor->EnableWindow(FALSE);
        anchor->ShowWindow(SW_HIDE);
    }
}

BOOL CUploadDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

void CUploadDlg::OnMinimizeButton()
{
    ShowWindow(SW_MINIMIZE);
}

// ---- Helpers for the workers ----

LRESULT CUploadDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    (*reinterpret_cast<std::function<void()>*>(lParam))();
    return 0;
}

void CUploadDlg::RunOnUi(const std::function<void()>& work)
{
    if (!m_hWnd)
        return;
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        work();
        return;
    }
    std::function<void()> copy = work;
    ::SendMessageW(m_hWnd, WM_UPLOAD_INVOKE, 0, reinterpret_cast<LPARAM>(&copy));
}

void CUploadDlg::PostToUi(const std::function<void()>& work)
{
    if (!m_hWnd)
        return;
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        work();
        return;
    }
    auto* copy = new std::function<void()>(work);
    if (!::PostMessageW(m_hWnd, WM_UPLOAD_POSTED, 0, reinterpret_cast<LPARAM>(copy)))
        delete copy;
}

LRESULT CUploadDlg::OnPosted(WPARAM, LPARAM lParam)
{
    std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
    (*work)();
    return 0;
}

void CUploadDlg::DropPosted()
{
    MSG msg;
    while (::PeekMessageW(&msg, m_hWnd, WM_UPLOAD_POSTED, WM_UPLOAD_POSTED, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(msg.lParam);
}

void CUploadDlg::SetCurrentText(const CString& text)
{
    PostToUi([this, text] { m_barFile.SetWindowText(text.GetString()); m_barFile.Invalidate(FALSE); });
}

void CUploadDlg::SetCurrentBar(int percent)
{
    PostToUi([this, percent] { m_barFile.SetPos(percent); });
}

void CUploadDlg::SetMarquee(bool on)
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

int CUploadDlg::ShowMessage(const CString& text, UINT type)
{
    if (text.IsEmpty())
        return 0;
    int answer = 0;
    // A box asked for while the window is being stopped would hold the stop up.
    RunOnUi([this, text, type, &answer] {
        if (!m_bCancel)
            answer = transfer::MessageBox(m_hWnd, text, type);
    });
    return answer;
}

void CUploadDlg::Notify(int kind, const CString& text)
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

// ---- Progress ----

void CUploadDlg::CountProgress(WPARAM kind, __int64 bytes)
{
    m_nFileDone += bytes;
    m_nTotalDone += bytes;
    if (kind == 1) {
        m_nRateBase += bytes;
    } else {
        m_nRateBytes += bytes;
        m_nStreamed += bytes;
    }
    // A few redraws a second show the same as one per piece; the end of a file always shows.
    const DWORD now = ::GetTickCount();
    if ((m_nFileDone < m_nFileSize && now - m_dwLastPosted < 100) || m_bRefreshPosted.exchange(true))
        return;
    m_dwLastPosted = now;
    if (!m_hWnd || !::PostMessageW(m_hWnd, WM_UPLOAD_REFRESH, 0, 0))
        m_bRefreshPosted = false;
}

LRESULT CUploadDlg::OnUploadRefresh(WPARAM, LPARAM)
{
    m_bRefreshPosted = false;
    RefreshProgress();
    return 0;
}

LRESULT CUploadDlg::OnUploadProgress(WPARAM wParam, LPARAM lParam)
{
    if (m_bCancel)
        return UPLOAD_REPLY_CANCEL;
    const __int64 n = lParam ? static_cast<__int64>(*reinterpret_cast<const uint64_t*>(lParam)) : 0;
    CountProgress(wParam, n);
    RefreshProgress();
    return 0;
}

LRESULT CALLBACK CUploadDlg::RelayProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CUploadDlg* dlg = reinterpret_cast<CUploadDlg*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (dlg) {
        if (message == WM_UPLOAD_PROGRESS) {
            if (dlg->m_bCancel)
                return UPLOAD_REPLY_CANCEL;
            dlg->CountProgress(wParam, lParam ? static_cast<__int64>(*reinterpret_cast<const uint64_t*>(lParam)) : 0);
            return 0;
        }
        if (message == WM_UPLOAD_THROTTLE)
            return dlg->m_bCancel ? 0 : 1;
    }
    return ::DefWindowProcW(wnd, message, wParam, lParam);
}

HWND CUploadDlg::CreateRelay(CUploadDlg* dlg)
{
    static const wchar_t kClass[] = L"ToviUploadRelay";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RelayProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);   // fails harmlessly when registered already
    HWND wnd = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (wnd)
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dlg));
    return wnd;
}

LRESULT CUploadDlg::OnUploadThrottle(WPARAM, LPARAM)
{
    return m_bCancel ? 0 : 1;
}

void CUploadDlg::RefreshProgress()
{
    m_rate.AddBase(m_nRateBase.exchange(0));
    m_rate.AddBytes(m_nRateBytes.exchange(0));
    const int filePercent = upload::Percent(m_nFileDone, m_nFileSize);
    CString text;
    text.Format(L"[ %s ] %s / %s (%d%%)", upload::ShortName(m_strItemName),
                CFileUtils::ConvertFileSize2(m_nFileDone.load()), CFileUtils::ConvertFileSize2(m_nFileSize.load()),
                filePercent);
    m_barFile.SetWindowText(text.GetString());
    m_barFile.SetPos(filePercent);
    const int totalPercent = upload::Percent(m_nTotalDone, m_nTotalSize);
    CString total;
    total.Format(L"%s / %s (%d%%)", CFileUtils::ConvertFileSize2(m_nTotalDone.load()),
                 CFileUtils::ConvertFileSize2(m_nTotalSize), totalPercent);
    m_barTotal.SetWindowText(total.GetString());
    m_barTotal.SetPos(totalPercent);
    m_barFile.Invalidate(FALSE);
    m_barTotal.Invalidate(FALSE);
    if (m_pTaskbar) {
        m_pTaskbar->SetProgressState(m_hWnd, CTransferTaskbar::kNormal);
        m_pTaskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(totalPercent), 100);
        m_pTaskbar->SetThumbnailTooltip(m_hWnd, total.GetString());
    }
    m_rate.Compute();
    CString rate = m_rate.GetSpeedText();
    const CString left = m_rate.GetTimeLeftText();
    if (!left.IsEmpty())
        rate.Format(L"%s (%s)", m_rate.GetSpeedText(), left);
    if (rate != m_strLastRate) {
        m_strLastRate = rate;
        SetDlgItemText(IDC_UPLOAD_RATE, rate.GetString());
    }
}

LRESULT CUploadDlg::OnTotalSizeUpdate(WPARAM, LPARAM)
{
    CString text;
    text.Format(L"0 / %s (0%%)", CFileUtils::ConvertFileSize2(m_nTotalSize));
    m_barTotal.SetWindowText(text.GetString());
    m_barTotal.SetPos(0);
    m_barTotal.Invalidate(FALSE);
    return 0;
}

// ---- Session and worker ----

bool CUploadDlg::WorkerAlive()
{
    DWORD code = 0;
    return m_pWorker && ::GetExitCodeThread(m_pWorker->m_hThread, &code) && code == STILL_ACTIVE;
}

LRESULT CUploadDlg::OnUploadStart(WPARAM, LPARAM)
{
    // A running worker takes the new items itself; its session is its own meanwhile.
    if (WorkerAlive())
        return 1;
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 1;
        strncpy(m_pProto->LoginInfo.SessionId, m_szSessionId, sizeof m_pProto->LoginInfo.SessionId - 1);
        strncpy(m_pProto->ServerAddress.szHost, m_szHost, sizeof m_pProto->ServerAddress.szHost - 1);
        m_pProto->ServerAddress.nPort = m_nPort;
        memcpy(m_pProto->ServerAddress.szCode, m_szCode, sizeof m_szCode);
        m_pProto->CustomerCode = m_strCustomerCode;
        strncpy(m_pProto->ConnectTimeout, m_szConnectTimeout, sizeof m_pProto->ConnectTimeout - 1);
        strncpy(m_pProto->SocketTimeout, m_szSocketTimeout, sizeof m_pProto->SocketTimeout - 1);
        strncpy(m_pProto->RetryTimeout, m_szRetryTimeout, sizeof m_pProto->RetryTimeout - 1);
        strncpy(m_pProto->RetryCount, m_szRetryCount, sizeof m_pProto->RetryCount - 1);
        m_pProto->OptionInfo = m_option;
    }
    if (m_pProto->GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('H', '0')) != 0) {
        TraceLog(2048, L"GetSecureCode Fail\n");
        m_pProto->CloseSocket();
        const CString message = m_pProto->ResultInfo.wszMessage;
        Notify(1, message);
        transfer::MessageBox(m_hWnd, message, MB_ICONERROR);
        return 1;
    }
    if (m_pProto->GetUploadBandWidth(m_szSessionId) == 0) {
        strncpy(m_szBandWidth, m_pProto->UploadBandWidth, sizeof m_szBandWidth - 1);
        m_pProto->SetBandWidth(m_szBandWidth);
    }
    if (m_szFactor[0]) {
        TraceLog(1, L"[ OnUploadStart ] UpdownFactor = %S\n", m_szFactor);
        m_pProto->SetUpDownFactor(m_szFactor);
    }
    if (m_pWorker) {
        delete m_pWorker;
        m_pWorker = nullptr;
    }
    SetMarquee(false);
    m_barFile.SetRange32(0, 100);
    m_barFile.SetPos(0);
    m_pWorker = AfxBeginThread(UploadWorker, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pWorker)
        return 1;
    m_pWorker->m_bAutoDelete = FALSE;
    m_bWorkerRan = true;
    m_pWorker->ResumeThread();
    return 0;
}

LRESULT CUploadDlg::OnUploadFinish(WPARAM, LPARAM)
{
    // While the window is being stopped, the stop itself waits for the worker.
    if (!m_hWnd || m_bCancel)
        return 0;
    if (m_pWorker) {
        while (WorkerAlive())
            AfxPumpWait(m_pWorker->m_hThread, 10);
        delete m_pWorker;
        m_pWorker = nullptr;
    }
    if (!m_hWnd || m_bCancel)
        return 0;
    // Items that arrived while the run was closing are not left behind.
    if (!m_bForceStopped && !m_bRunStopped && GetNextIndex() < GetItemCount() && !m_bFilling) {
        if (OnUploadStart(0, 0) == 0)
            return 0;
    }
    const bool closeWhenDone = m_chkClose.GetCheck() == BST_CHECKED;
    if (m_bForceStopped) {
        EndUpload();
        return 0;
    }
    if (closeWhenDone && m_nAbandoned < 1 && m_nResultErrors < 1) {
        EndUpload();
        return 0;
    }
    m_btnCancel.SetWindowText(CToviString::GetString(14059).GetString());
    m_btnCancel.Invalidate();
    if (closeWhenDone && m_nAbandoned >= 1 && AbandonNoticeSite(m_strCustomerCode)) {
        Notify(1, CToviString::GetString(14245));
        transfer::MessageBox(m_hWnd, CToviString::GetString(14245), MB_ICONERROR);
    }
    return 0;
}

LRESULT CUploadDlg::OnUploadResult(WPARAM, LPARAM)
{
    std::vector<_PROTO_UPLOAD_RESULT> records;
    {
        std::lock_guard<std::mutex> lock(m_errorLock);
        records.swap(m_vecError);
    }
    TraceLog(1, L"[ CUploadDlg::OnUploadResult ] ErrorCount = %d \n", static_cast<int>(records.size()));
    if (records.empty())
        return 0;
    CString indexes;
    for (const _PROTO_UPLOAD_RESULT& record : records) {
        if (!record.wszIdx[0])
            continue;
        if (!indexes.IsEmpty())
            indexes += L",";
        indexes += record.wszIdx;
    }
    if (!indexes.IsEmpty()) {
        TraceLog(1, L"[ CUploadDlg::CheckResultPrivacy ] RETURN TRUE\n%s\n", indexes.GetString());
        if (m_hOwner)
            ::SendMessageW(m_hOwner, WM_UPLOAD_APPROVAL, reinterpret_cast<WPARAM>(indexes.GetString()), 0);
    } else {
        TraceLog(1, L"[ CUploadDlg::CheckResultPrivacy ] NO PRIVATE LIMIT FILE --> RETURN FALSE!\n");
    }
    CUploadResultListDlg list(this);
    list.m_vecResult.swap(records);
    list.m_strMessage = m_wszResultMsg;
    TraceLog(1, L"[ CUploadDlg::OnUploadResult ] UPLOAD RESULT MSG = %s", m_wszResultMsg);
    m_nResultErrors = static_cast<int>(list.m_vecResult.size());
    m_pResultList = &list;
    list.DoModal();
    m_pResultList = nullptr;
    if (m_strCustomerCode == L"NIVRO" && m_chkClose.GetCheck() == BST_CHECKED)
        EndUpload();
    return 0;
}

// ---- Ending ----

void CUploadDlg::WaitForThread(CWinThread*& thread, bool closePrompt)
{
    for (;;) {
        // A handler run by the pump below may have finished with the thread already.
        if (!thread)
            return;
        DWORD code = 0;
        if (!::GetExitCodeThread(thread->m_hThread, &code) || code != STILL_ACTIVE)
            break;
        // A prompt on a worker would hold the worker, and so this wait, for ever.
        if (closePrompt)
            CFileDuplicateDlg::CloseOpenPrompt();
        AfxPumpWait(thread->m_hThread, 10);
    }
    delete thread;
    thread = nullptr;
}

void CUploadDlg::StopThreads()
{
    m_bCancel = true;
    WaitForThread(m_pFillThread);
    WaitForThread(m_pAddThread);
    WaitForThread(m_pWorker);
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
}

void CUploadDlg::EndUpload()
{
    if (!m_hWnd)
        return;
    m_btnCancel.EnableWindow(FALSE);
    const bool workerWasAlive = WorkerAlive();
    // An ending upload (Cancel pressed behind it, or a forced stop) takes its result list
    // along: the thread could not end while the list's own loop still ran.
    if (m_pResultList && m_pResultList->GetSafeHwnd())
        m_pResultList->EndDialog(IDCANCEL);
    StopThreads();
    if (workerWasAlive && m_hOwner)
        ::PostMessageW(m_hOwner, WM_UPLOAD_DONE, m_nItemData, 0);
    CFileDuplicateDlg::CloseOpenPrompt();
    EndDialog(1);
}

void CUploadDlg::OnCancel()
{
    EndUpload();
}

void CUploadDlg::OnOK()
{
    // Enter does not end an upload.
}

void CUploadDlg::OnCloseButton()
{
    EndUpload();
}

LRESULT CUploadDlg::OnEndUploadForce(WPARAM, LPARAM)
{
    EndUpload();
    return 0;
}

void CUploadDlg::OnDestroy()
{
    StopThreads();
    DropPosted();
    CFileDuplicateDlg::CloseOpenPrompt();
    FreeRows();
    delete m_pTaskbar;
    m_pTaskbar = nullptr;
    if (m_hLogImages) {
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
    if (m_bWsaStarted) {
        m_bWsaStarted = false;
        if (::WSACleanup() != 0)
            TraceLog(2048, L"WSACleanup Error : %05d\n", ::WSAGetLastError());
    }
}

// ---- Bandwidth refresh ----

void CUploadDlg::OnTimer(UINT_PTR)
{
    if (m_bRefreshAllowed)
        PostMessage(WM_UPLOAD_RECONNECT);
}

LRESULT CUploadDlg::OnUploadReconnect(WPARAM, LPARAM)
{
    if (!m_pProto || !m_bRefreshAllowed)
        return 0;
    m_bRefreshAllowed = false;
    CToviProto probe;
    probe.NoTimerFlag = 1;
    probe.CustomerCode = m_strCustomerCode;
    strncpy(probe.ConnectTimeout, m_szConnectTimeout, sizeof probe.ConnectTimeout - 1);
    strncpy(probe.SocketTimeout, m_szSocketTimeout, sizeof probe.SocketTimeout - 1);
    strncpy(probe.LoginInfo.SessionId, m_szSessionId, sizeof probe.LoginInfo.SessionId - 1);
    if (probe.GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('H', '7')) == 0 &&
        probe.GetUploadBandWidth(m_szSessionId) == 0) {
        // The worker owns its connection: it takes the new limit before its next stream.
        std::lock_guard<std::mutex> lock(m_itemsLock);
        strncpy(m_szBandWidth, probe.UploadBandWidth, sizeof m_szBandWidth - 1);
    }
    probe.CloseSocket();
    m_bRefreshAllowed = true;
    return 0;
}
