// CUploadDlg: the window side of the upload: controls, progress display, task bar, starting
// and stopping the workers, the end of a run and the result list.
#include <winsock2.h>
#include "UploadDlg.h"
#include "DialogKit.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferRes.h"
#include "TransferTaskbar.h"
#include "UploadDecision.h"
#include "UploadResultListDlg.h"
#include "WinThread.h"
#include <commctrl.h>
#include <memory>

IMPLEMENT_DYNAMIC(CUploadDlg, CTransferDlg)

BEGIN_MESSAGE_MAP(CUploadDlg, CTransferDlg)
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
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
    ON_MESSAGE(WM_UPLOAD_REFUSED, OnUploadRefused)
END_MESSAGE_MAP()

namespace {

const UINT_PTR kRefreshTimer = 5;

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

CUploadDlg::CUploadDlg(CWnd* pParent) : CTransferDlg(IDD_UPLOAD, pParent)
{
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
    CTransferDlg::CopySession(session);
    if (session->OptionInfo.Factor[0])
        strncpy(m_szFactor, session->OptionInfo.Factor, sizeof m_szFactor - 1);
    m_cUploadClose = session->OptionInfo.UploadClose[0];
    wcsncpy(m_wszResultMsg, session->OptionInfo.UploadResultMsg, 1023);
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
    dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(static_cast<unsigned>(wParam)) + L" " + CToviMsg::GetString(12060),
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
    CTransferDlg::OnInitDialog();
    // The window releases the socket library when it goes: it takes its own reference, so
    // that the release never takes one away from the caller's session.
    WSADATA wsa;
    m_bWsaStarted = ::WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    InitWindow(14046);
    SetupControls();
    if (m_chkClose.SubclassDlgItem(IDC_UPLOAD_CLOSE_WHEN_DONE, this))
        m_chkClose.SetWindowText(CToviString::GetString(14085).GetString());
    if (CWnd* anchor = GetDlgItem(IDC_UPLOAD_HIDDEN_ANCHOR)) {
        anchor->EnableWindow(FALSE);
        anchor->ShowWindow(SW_HIDE);
    }
    if (m_cUploadClose == 'Y') {
        TraceLog(1, L"[ CUploadDlg::OnUploadStart ] Upload Close Check = Y\n");
        m_chkClose.SetCheck(BST_CHECKED);
    }
    PostMessage(WM_UPLOAD_BEGIN);
    return TRUE;
}

// ---- Helpers for the workers ----

void CUploadDlg::SetCurrentText(const CString& text)
{
    PostToUi([this, text] { m_barFile.SetWindowText(text.GetString()); m_barFile.Invalidate(FALSE); });
}

void CUploadDlg::SetCurrentBar(int percent)
{
    PostToUi([this, percent] { m_barFile.SetPos(percent); });
}

// ---- Progress ----

LRESULT CUploadDlg::OnUploadProgress(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    OnRelayReport(WM_UPLOAD_PROGRESS, wParam, lParam, result);
    if (result == 0)
        RefreshProgress();
    return result;
}

bool CUploadDlg::OnRelayReport(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_UPLOAD_PROGRESS) {
        if (m_bCancel) {
            result = UPLOAD_REPLY_CANCEL;
            return true;
        }
        const __int64 n = lParam ? static_cast<__int64>(*reinterpret_cast<const uint64_t*>(lParam)) : 0;
        if (wParam != 1)
            m_nStreamed += n;
        CountProgress(wParam, n);
        result = 0;
        return true;
    }
    if (message == WM_UPLOAD_THROTTLE) {
        result = m_bCancel ? 0 : 1;
        return true;
    }
    return false;
}

LRESULT CUploadDlg::OnUploadThrottle(WPARAM, LPARAM)
{
    return m_bCancel ? 0 : 1;
}

void CUploadDlg::RefreshProgress()
{
    const int filePercent = upload::Percent(m_nFileDone, m_nFileSize);
    CString text;
    text.Format(L"[ %s ] %s / %s (%d%%)", upload::ShortName(m_strItemName).GetString(),
                CFileUtils::ConvertFileSize2(m_nFileDone.load()).GetString(),
                CFileUtils::ConvertFileSize2(m_nFileSize.load()).GetString(), filePercent);
    const int totalPercent = upload::Percent(m_nTotalDone, m_nTotalSize);
    CString total;
    total.Format(L"%s / %s (%d%%)", CFileUtils::ConvertFileSize2(m_nTotalDone.load()).GetString(),
                 CFileUtils::ConvertFileSize2(m_nTotalSize).GetString(), totalPercent);
    ShowProgress(text, filePercent, total, totalPercent);
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

LRESULT CUploadDlg::OnUploadStart(WPARAM, LPARAM)
{
    // A running worker takes the new items itself; its session is its own meanwhile.
    if (WorkerAlive())
        return 1;
    if (!m_pProto)
        m_pProto = MakeSession(1);
    if (m_pProto->GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('H', '0')) != 0) {
        TraceLog(2048, L"GetSecureCode Fail\n");
        m_pProto->CloseSocket();
        const CString message = m_pProto->ResultInfo.wszMessage;
        Notify(1, message);
        dialogkit::MessageBox(m_hWnd, message, MB_ICONERROR);
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
    // Items still being listed start the next run when the listing ends: the run is not over
    // yet, and saying so would show an end with rows still to come.
    if (!m_bForceStopped && !m_bRunStopped && m_bFilling && IsAlive(m_pAddThread))
        return 0;
    // Items that arrived while the run was closing are not left behind.
    if (!m_bForceStopped && !m_bRunStopped && GetNextIndex() < GetItemCount()) {
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
        dialogkit::MessageBox(m_hWnd, CToviString::GetString(14245), MB_ICONERROR);
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
    ReleaseWindow();
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
