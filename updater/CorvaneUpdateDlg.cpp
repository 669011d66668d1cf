// CCorvaneUpdateDlg: start, progress and end of an update run.
#include "CorvaneUpdateDlg.h"
#include "Dc.h"
#include "ProductInfo.h"
#include "ServiceControl.h"
#include "ToviExec.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "UpdateMessages.h"
#include "UpdateTexts.h"
#include "UpdateWorker.h"
#include "UpdaterRes.h"
#include "WinThread.h"
#include "UpdateJournal.h"
#include "UpdateTargets.h"
#include "../interface/services/CodeSignature.h"

// Private to the dialog: the worker names the file it fetches, and has a failure shown; wParam
// is a const wchar_t* of the worker's, valid during the send.
#define WM_UPDATER_CURRENT_FILE (WM_USER + 6)
#define WM_UPDATER_SHOW_ERROR (WM_USER + 7)

BEGIN_MESSAGE_MAP(CCorvaneUpdateDlg, CToviDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_UPDATER_PROGRESS_RANGE, OnProgressRange)
    ON_MESSAGE(WM_UPDATER_PROGRESS, OnProgress)
    ON_MESSAGE(WM_UPDATER_STATUS_TEXT, OnStatusText)
    ON_MESSAGE(WM_UPDATER_START, OnDownloadStart)
    ON_MESSAGE(WM_UPDATER_END, OnDownloadEnd)
    ON_MESSAGE(WM_UPDATER_CURRENT_FILE, OnCurrentFile)
    ON_MESSAGE(WM_UPDATER_SHOW_ERROR, OnShowError)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
    ON_BN_CLICKED(IDC_BTN_SYSEXIT, OnBnClickedCancel)
END_MESSAGE_MAP()

HANDLE UpdateCancelEvent()
{
    static HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

namespace {
const bool kCancelEventMade = UpdateCancelEvent() != nullptr;
const UINT_PTR kGiveUpTimer = 1;
// How long a worker asked to stop may take before the dialog gives it up.
const DWORD kGiveUpAfterMs = 3000;
}

CCorvaneUpdateDlg::CCorvaneUpdateDlg(int productIndex, CWnd* pParent)
    : CToviDialog(IDD_CORVANEUPDATE_DIALOG, pParent), m_nIndex(productIndex)
{
    m_nProductIndex = productIndex;
    wmemset(m_szInstallDir, 0, 260);
    // A run starts uncancelled; in the program there is only ever one.
    ::ResetEvent(UpdateCancelEvent());
    m_hIcon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTSIZE));
}

CCorvaneUpdateDlg::~CCorvaneUpdateDlg()
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
}

CString CCorvaneUpdateDlg::FormatSize(unsigned long long bytes)
{
    CString text;
    if (bytes > 1073741824ULL)
        text.Format(L"%0.3f gb", static_cast<double>(static_cast<float>(bytes / 1073741824.0)));
    else if (bytes > 1048576ULL)
        text.Format(L"%0.1f mb", static_cast<double>(static_cast<float>(bytes / 1048576.0)));
    else if (bytes > 1024ULL)
        text.Format(L"%0.1f kb", static_cast<double>(static_cast<float>(bytes / 1024.0)));
    else
        text.Format(L"%d BYTE", static_cast<int>(bytes));
    return text;
}

void CCorvaneUpdateDlg::Trace(const wchar_t* text)
{
    TraceLog(1, L" ■■■ [ UPDATE ][ OnDownloadStart ] %s\n", text);
}

BOOL CCorvaneUpdateDlg::OnInitDialog()
{
    CToviDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    ::SetWindowTextW(m_hWnd, L"Corvane live update");

    m_btnSysExit.SubclassDlgItem(IDC_BTN_SYSEXIT, this);
    m_btnSysExit.SetBtnStyle(1);
    SetSysButtonPos();
    m_stCaption.SubclassDlgItem(IDC_CAPTION_LABEL, this);
    m_stCaption.SetText(LoadResString(IDS_FILE_NAME));
    m_stFileName.SubclassDlgItem(IDC_FILE_LABEL, this);
    m_progress.SubclassDlgItem(IDC_UPDATE_PROGRESS, this);
    m_progress.SetRange32(0, 100);
    m_btnClose.SubclassDlgItem(IDCANCEL, this);
    ::SetWindowTextW(m_btnClose.m_hWnd, LoadResString(IDS_CLOSE));
    m_btnClose.SetBtnIcon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_BTN_CLOSE), IMAGE_ICON, 16, 16, 0)));
    m_btnClose.SetBtnStyle(3);
    m_btnClose.m_clrTextDisabled = ::GetSysColor(COLOR_GRAYTEXT);

    m_strProgramName = product::Program(m_nIndex);
    SendMessage(WM_UPDATER_START, 0, 0);
    return TRUE;
}

LRESULT CCorvaneUpdateDlg::OnDownloadStart(WPARAM, LPARAM)
{
    Trace(L"START! ");
    ::Sleep(1000);
    bool backup = m_nIndex == 2;
    // Known before anything can fail, so that a restart names the program by its full path.
    // An elevated run installs only into its own folder: the registry may confirm it, never
    // move it.
    CString installDir;
    updatetargets::Choice choice = updatetargets::ChooseInstallDir(m_nIndex, CToviExec::IsElevated(), installDir);
    wcsncpy(m_szInstallDir, installDir.GetString(), 259);
    m_szInstallDir[259] = L'\0';
    if (!CToviUpdate::KillProcess(m_strProgramName)) {
        Trace(L"KillProcess return : FALSE !");
        ::SetEvent(UpdateCancelEvent());
        EndDialog(IDCANCEL);
        return 0;
    }
    if (backup && !ServiceControl(false)) {
        Trace(L"ServiceControl stop return : FALSE !");
        // The service still runs; the product program was ended and comes back.
        RestartProduct();
        ::SetEvent(UpdateCancelEvent());
        EndDialog(IDCANCEL);
        return 0;
    }
    auto giveUp = [&](const wchar_t* why) {
        Trace(why);
        if (backup)
            ServiceControl(true);
        RestartProduct();
        ::SetEvent(UpdateCancelEvent());
        EndDialog(IDCANCEL);
    };
    if (choice == updatetargets::Choice::kRefused) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ OnDownloadStart ] InstallDir [ %s ] is not the folder of the update program [ %s ]\n",
                 CToviUpdate::GetInstallDir(m_nIndex).GetString(), installDir.GetString());
        ShowUpdateMessage(m_nIndex, m_hWnd, LoadResString(IDS_INSTALLDIR_REFUSED), MB_ICONERROR);
        giveUp(L"InstallDir refused");
        return 0;
    }
    if (choice == updatetargets::Choice::kUse) {
        // A run that ended abruptly is finished or undone before anything else changes; the
        // product is ended by now, so none of its files is held.
        std::vector<CString> folders = { installDir };
        CString base = CToviUpdate::DownloadBase();
        if (!base.IsEmpty())
            folders.push_back(base + L"\\Image");
        updatejournal::Recover(updatejournal::PathFor(installDir), folders);
    }
    if (!CToviUpdate::GetServerAddress(m_nIndex, m_strServerAddr)) {
        giveUp(L"GetUpdateUrl return FALSE!");
        return 0;
    }
    TraceLog(1, L" ■■■ [ UPDATE ][ OnDownloadStart ] SERVER ADDR = %s\n", m_strServerAddr.GetString());
    if (installDir.IsEmpty()) {
        giveUp(L"strInstallDir is EMPTY!");
        return 0;
    }
    CToviUpdate update;
    if (!update.IsUpdate(m_nIndex, m_strServerAddr, m_vecDownloadList, m_szInstallDir, m_hWnd)) {
        giveUp(L"IsUpdate return FALSE !");
        return 0;
    }
    m_share = std::make_shared<WorkerShare>();
    m_share->list = m_vecDownloadList;
    m_share->journal = updatejournal::PathFor(installDir);
    m_share->signer = codesign::SignerOf(updatetargets::OwnProgramPath());
    m_bWorkerRunning = true;
    if (AfxBeginThread(CreateDownLoadThread, this) == nullptr) {
        m_bWorkerRunning = false;
        giveUp(L"worker not started");
    }
    return 0;
}

UINT CCorvaneUpdateDlg::CreateDownLoadThread(LPVOID self)
{
    // Only the share and the window are used: a dialog that gave the worker up may be gone.
    CCorvaneUpdateDlg* dlg = static_cast<CCorvaneUpdateDlg*>(self);
    std::shared_ptr<WorkerShare> share = dlg->m_share;
    HWND window = dlg->m_hWnd;
    CUpdateWorker worker(share->list, UpdateCancelEvent(), window);
    worker.journalPath = share->journal;
    worker.signer = share->signer;
    worker.onFile = [window](const CString& name) {
        ::SendMessageW(window, WM_UPDATER_CURRENT_FILE, reinterpret_cast<WPARAM>(name.GetString()), 0);
    };
    // The box belongs to the dialog's thread; the worker waits until it is answered.
    worker.onError = [window](const CString& text) {
        ::SendMessageW(window, WM_UPDATER_SHOW_ERROR, reinterpret_cast<WPARAM>(text.GetString()), 0);
    };
    worker.beginReplacement = [share] {
        long fetching = WorkerShare::kFetching;
        return share->state.compare_exchange_strong(fetching, WorkerShare::kReplacing);
    };
    CUpdateWorker::Result result = worker.Run();
    long fetching = WorkerShare::kFetching;
    if (share->state == WorkerShare::kAbandoned ||
        (share->state != WorkerShare::kReplacing && !share->state.compare_exchange_strong(fetching, WorkerShare::kReplacing)))
        return 0;   // the dialog has run the end already
    ::ShowWindow(window, SW_HIDE);
    ::SendMessageW(window, WM_UPDATER_END, result == CUpdateWorker::kDone ? 0 : 2, 0);
    TraceLog(1, L" ■■■ [ UPDATE ][ CreateDownLoadThread ] END!\n==================================================\n");
    return 0;
}

LRESULT CCorvaneUpdateDlg::OnDownloadEnd(WPARAM wParam, LPARAM)
{
    TraceLog(1, L" ■■■ [ UPDATE ][ OnDownloadEnd ] START! \n");
    ::Sleep(1000);
    EndRun(static_cast<int>(wParam));
    return 0;
}

void CCorvaneUpdateDlg::EndRun(int result)
{
    ::KillTimer(m_hWnd, kGiveUpTimer);
    m_bWorkerRunning = false;
    m_nOutcome = result;
    if (m_nIndex == 2 && !ServiceControl(true)) {
        ::SetEvent(UpdateCancelEvent());
        EndDialog(IDCANCEL);
        return;
    }
    RestartProduct();
    EndDialog(IDOK);
}

void CCorvaneUpdateDlg::OnTimer(UINT_PTR id)
{
    if (id != kGiveUpTimer || !m_bWorkerRunning || m_share == nullptr)
        return;
    if (::GetTickCount() - m_closeClickedAt < kGiveUpAfterMs)
        return;
    long fetching = WorkerShare::kFetching;
    if (!m_share->state.compare_exchange_strong(fetching, WorkerShare::kAbandoned))
        return;   // it is replacing (or undoing) files: its end message follows
    // Nothing was replaced, and the worker can no longer replace anything; what it staged it
    // removes when it stops, or the next start's leftover cleaning does if the process ends first.
    TraceLog(2048, L" ■■■ [ UPDATE ][ OnBnClickedCancel ] worker given up\n");
    ::ShowWindow(m_hWnd, SW_HIDE);
    EndRun(2);
}

void CCorvaneUpdateDlg::RestartProduct()
{
    CString program = m_strProgramName;
    if (m_szInstallDir[0] != L'\0')
        program = CString(m_szInstallDir) + L"\\" + m_strProgramName;
    CToviExec::RunAsStdUser(program, L"/NOUPDATE", m_szInstallDir);
}

void CCorvaneUpdateDlg::OnBnClickedCancel()
{
    ::SetEvent(UpdateCancelEvent());
    if (m_bWorkerRunning) {
        // The worker's end message restarts the product and closes the dialog; a worker that
        // does not answer in time is given up (OnTimer).
        ::EnableWindow(m_btnClose.m_hWnd, FALSE);
        ::EnableWindow(m_btnSysExit.m_hWnd, FALSE);
        if (m_closeClickedAt == 0) {
            m_closeClickedAt = ::GetTickCount();
            ::SetTimer(m_hWnd, kGiveUpTimer, 200, nullptr);
        }
        return;
    }
    EndDialog(IDCANCEL);
}

void CCorvaneUpdateDlg::OnCancel()
{
    OnBnClickedCancel();
}

void CCorvaneUpdateDlg::OnOK()
{
    // Enter does not end an update.
}

LRESULT CCorvaneUpdateDlg::OnCurrentFile(WPARAM wParam, LPARAM)
{
    m_strCurFile = reinterpret_cast<const wchar_t*>(wParam);
    m_stFileName.SetText(m_strCurFile);
    return 0;
}

LRESULT CCorvaneUpdateDlg::OnShowError(WPARAM wParam, LPARAM)
{
    ShowUpdateMessage(m_nIndex, m_hWnd, reinterpret_cast<const wchar_t*>(wParam), MB_ICONERROR);
    return 0;
}

LRESULT CCorvaneUpdateDlg::OnProgressRange(WPARAM, LPARAM lParam)
{
    m_progress.SetRange32(0, 100);
    m_progress.SetPos(0);
    m_nTotalSize = lParam != 0 ? *reinterpret_cast<const unsigned long long*>(lParam) : 0;
    m_nDoneSize = 0;
    return 0;
}

LRESULT CCorvaneUpdateDlg::OnProgress(WPARAM wParam, LPARAM lParam)
{
    CString text;
    if (wParam == 0 && lParam == 0) {
        text.Format(L"Checking integrity of file [ %s ]", m_strCurFile.GetString());
        m_progress.SetBarText(text);
        return 0;
    }
    m_nDoneSize += *reinterpret_cast<const unsigned long long*>(lParam);
    int percent = m_nTotalSize == 0 ? 0 : static_cast<int>(static_cast<double>(m_nDoneSize) / static_cast<double>(m_nTotalSize) * 100.0);
    m_progress.SetPos(percent);
    CString done = FormatSize(m_nDoneSize);
    CString total = FormatSize(m_nTotalSize);
    text.Format(L"[ %s ] %s / %s (%d%%)", m_strCurFile.GetString(), done.GetString(), total.GetString(), m_progress.GetPos());
    m_progress.SetBarText(text);
    return 0;
}

LRESULT CCorvaneUpdateDlg::OnStatusText(WPARAM wParam, LPARAM)
{
    m_progress.SetBarText(reinterpret_cast<const wchar_t*>(wParam));
    return 0;
}

void CCorvaneUpdateDlg::OnPaint()
{
    if (::IsIconic(m_hWnd)) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
        ::DrawIcon(dc.GetSafeHdc(), (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, m_hIcon);
        return;
    }
    Default();
}

HCURSOR CCorvaneUpdateDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

BOOL CCorvaneUpdateDlg::OnEraseBkgnd(CDC* pDC)
{
    return CToviDialog::OnEraseBkgnd(pDC);
}
