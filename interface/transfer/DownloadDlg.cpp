// CDownloadDlg: the window side of the download: controls, progress display, task bar, the
// session, starting and stopping the workers and the end of a run.
#include "DownloadDlg.h"
#include "DownloadRes.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferCommon.h"
#include "TransferRes.h"
#include "TransferTaskbar.h"
#include "WinThread.h"
#include <commctrl.h>
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CDownloadDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CDownloadDlg, CVantelDialog)
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimizeButton)
    ON_MESSAGE(WM_DOWNLOAD_PROGRESS, OnDownloadProgress)
    ON_MESSAGE(WM_DOWNLOAD_QUERY_CANCEL, OnQueryCancel)
    ON_MESSAGE(WM_DOWNLOAD_READY, OnDownloadReady)
    ON_MESSAGE(WM_DOWNLOAD_START, OnDownloadStart)
    ON_MESSAGE(WM_DOWNLOAD_END, OnDownloadEnd)
    ON_MESSAGE(WM_END_DOWNLOAD_FORCE, OnDownloadEnd)
    ON_MESSAGE(WM_TOTAL_SIZE_UPDATE, OnTotalSizeUpdate)
    ON_MESSAGE(WM_DOWNLOAD_INVOKE, OnInvoke)
END_MESSAGE_MAP()

namespace {

const UINT kCancelIcon = 528;

int Percent(__int64 done, __int64 total)
{
    if (total <= 0)
        return 100;
    const __int64 p = done * 100 / total;
    return static_cast<int>(p < 0 ? 0 : p > 100 ? 100 : p);
}

// Long names are cut so that the bar's text keeps its sizes in view.
CString ShortName(const CString& name)
{
    if (name.GetLength() < 27)
        return name;
    return name.Left(26) + L" ...";
}

}

CDownloadDlg::CDownloadDlg(CWnd* pParent) : CVantelDialog(IDD_DOWNLOAD, pParent)
{
    m_nUIType = kUITypeMinimizable;
}

CDownloadDlg::~CDownloadDlg()
{
    delete m_pProto;
    m_pProto = nullptr;
}

// ---- Hand-over ----

void CDownloadDlg::CopySession(const CToviProto* session)
{
    if (!session)
        return;
    strncpy(m_szUserId, session->LoginInfo.SessionId, sizeof m_szUserId - 1);
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

void CDownloadDlg::TakeItems(std::vector<_DOWNLOADINFO>& items)
{
    std::lock_guard<std::mutex> lock(m_itemsLock);
    m_input.swap(items);
}

size_t CDownloadDlg::GetExpandedCount()
{
    std::lock_guard<std::mutex> lock(m_itemsLock);
    return m_expanded.size();
}

// ---- Creation ----

BOOL CDownloadDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    m_hIcon = CFileUtils::GetMainIcon(0);
    m_bComInit = SUCCEEDED(::CoInitialize(nullptr));
    m_pTaskbar = CTransferTaskbar::Create();
    SetWindowText(CToviString::GetString(14047).GetString());
    SetTitleBar(CToviString::GetString(14047));
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    SetupControls();
    SendMessage(WM_DOWNLOAD_READY);
    return TRUE;
}

void CDownloadDlg::SetupControls()
{
    struct Label {
        UINT id;
        unsigned text;
        UINT value;
    };
    const Label labels[] = {{IDC_DOWNLOAD_LABEL_FOLDER, 14083, IDC_DOWNLOAD_FOLDER},
                            {IDC_DOWNLOAD_LABEL_FILE, 14069, IDC_DOWNLOAD_FILE},
                            {IDC_DOWNLOAD_LABEL_SPEED, 14084, IDC_DOWNLOAD_RATE}};
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

    m_list.SubclassDlgItem(IDC_DOWNLOAD_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    SHFILEINFOW info = {};
    HIMAGELIST system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (system)
        m_list.SetImageList(system, LVSIL_SMALL);
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 300);
    m_list.InsertColumn(1, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
    m_list.InsertColumn(2, CToviString::GetString(14086).GetString(), LVCFMT_RIGHT, 60);

    m_log.SubclassDlgItem(IDC_DOWNLOAD_ERROR_LOG, this);
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

    m_barFile.SubclassDlgItem(IDC_DOWNLOAD_PROGRESS_FILE, this);
    m_barTotal.SubclassDlgItem(IDC_DOWNLOAD_PROGRESS_TOTAL, this);
    for (CToviProgressCtrl* bar : {&m_barFile, &m_barTotal}) {
        bar->SetRange32(0, 100);
        bar->SetPos(0);
        bar->SetWindowText(L"");
    }

    transfer::SkinButton(m_chkClose, this, IDC_DOWNLOAD_CLOSE_WHEN_DONE, 15, CToviString::GetString(14085), 0);
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
}

BOOL CDownloadDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

void CDownloadDlg::OnMinimizeButton()
{
    ShowWindow(SW_MINIMIZE);
}

// ---- Helpers for the workers ----

LRESULT CDownloadDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    (*reinterpret_cast<std::function<void()>*>(lParam))();
    return 0;
}

void CDownloadDlg::RunOnUi(const std::function<void()>& work)
{
    if (!m_hWnd)
        return;
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        work();
        return;
    }
    std::function<void()> copy = work;
    ::SendMessageW(m_hWnd, WM_DOWNLOAD_INVOKE, 0, reinterpret_cast<LPARAM>(&copy));
}

void CDownloadDlg::SetBarText(CToviProgressCtrl& bar, const CString& text, int percent)
{
    RunOnUi([&bar, text, percent] {
        bar.SetWindowText(text.GetString());
        if (percent >= 0)
            bar.SetPos(percent);
        bar.Invalidate(FALSE);
    });
}

void CDownloadDlg::SetMarquee(bool on)
{
    RunOnUi([this, on] {
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

int CDownloadDlg::ShowMessage(const CString& text, UINT type)
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

void CDownloadDlg::NotifyTaskbar(const CString& text, int kind)
{
    RunOnUi([this, kind, text] {
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

LRESULT CDownloadDlg::OnQueryCancel(WPARAM, LPARAM)
{
    return m_bCancel ? 1 : 0;
}

LRESULT CDownloadDlg::OnDownloadProgress(WPARAM wParam, LPARAM lParam)
{
    const __int64 n = lParam ? *reinterpret_cast<const __int64*>(lParam) : 0;
    m_nFileReceived += n;
    m_nRunReceived += n;
    if (wParam == 1)
        m_rate.AddBase(n);
    else
        m_rate.AddBytes(n);
    // Blocks arrive far faster than anyone reads the bars: show them ten times a second, and
    // always at a file's end.
    const ULONGLONG now = ::GetTickCount64();
    if (now - m_nLastShown >= 100 || m_nFileReceived >= m_nFileSize) {
        m_nLastShown = now;
        UpdateProgress();
    }
    return 0;
}

void CDownloadDlg::UpdateProgress()
{
    const int filePercent = Percent(m_nFileReceived, m_nFileSize);
    CString text;
    if (m_nRunReceived == m_nRunTotal)
        text = CToviString::GetString(14219);
    else
        text.Format(L"[ %s ] %s / %s (%d%%)", ShortName(m_strFileName).GetString(),
                    CFileUtils::ConvertFileSize2(m_nFileReceived).GetString(),
                    CFileUtils::ConvertFileSize2(m_nFileSize).GetString(), filePercent);
    m_barFile.SetWindowText(text.GetString());
    m_barFile.SetPos(filePercent);
    const int runPercent = Percent(m_nRunReceived, m_nRunTotal);
    CString total;
    total.Format(L" %s / %s (%d%%)", CFileUtils::ConvertFileSize2(m_nRunReceived).GetString(),
                 CFileUtils::ConvertFileSize2(m_nRunTotal).GetString(), runPercent);
    m_barTotal.SetWindowText(total.GetString());
    m_barTotal.SetPos(runPercent);
    m_barFile.Invalidate(FALSE);
    m_barTotal.Invalidate(FALSE);
    if (m_pTaskbar) {
        m_pTaskbar->SetProgressState(m_hWnd, CTransferTaskbar::kNormal);
        m_pTaskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(runPercent), 100);
        m_pTaskbar->SetThumbnailTooltip(m_hWnd, total.GetString());
    }
    m_rate.Compute();
    CString rate = m_rate.GetSpeedText();
    const CString left = m_rate.GetTimeLeftText();
    if (!left.IsEmpty())
        rate.Format(L"%s (%s)", m_rate.GetSpeedText().GetString(), left.GetString());
    if (rate != m_strLastRate) {
        m_strLastRate = rate;
        SetDlgItemText(IDC_DOWNLOAD_RATE, rate.GetString());
    }
}

LRESULT CDownloadDlg::OnTotalSizeUpdate(WPARAM wParam, LPARAM)
{
    if (wParam == 1) {
        CString text;
        text.Format(L" 0 / %s (0%%)", CFileUtils::ConvertFileSize2(m_nRunTotal).GetString());
        m_barTotal.SetWindowText(text.GetString());
        m_barTotal.SetPos(0);
        m_barTotal.Invalidate(FALSE);
    }
    ++m_nListedRows;
    const size_t count = GetExpandedCount();
    const int percent = count ? static_cast<int>(m_nListedRows * 100 / static_cast<int>(count)) : 100;
    CString text;
    text.Format(L"%s (%d%%)", CToviString::GetString(14094).GetString(), percent > 100 ? 100 : percent);
    m_barFile.SetWindowText(text.GetString());
    m_barFile.SetPos(percent > 100 ? 100 : percent);
    m_barFile.Invalidate(FALSE);
    return 0;
}

// ---- Session and workers ----

CToviProto* CDownloadDlg::MakeSession()
{
    CToviProto* proto = new CToviProto();
    proto->NoTimerFlag = 4;
    strncpy(proto->LoginInfo.SessionId, m_szUserId, sizeof proto->LoginInfo.SessionId - 1);
    proto->CustomerCode = m_strCustomerCode;
    strncpy(proto->ServerAddress.szHost, m_szHost, sizeof proto->ServerAddress.szHost - 1);
    proto->ServerAddress.WebServerAddress = CString(m_szHost);
    proto->ServerAddress.nPort = m_nPort;
    memcpy(proto->ServerAddress.szCode, m_szCode, sizeof m_szCode);
    proto->OptionInfo = m_option;
    strncpy(proto->ConnectTimeout, m_szConnectTimeout, sizeof proto->ConnectTimeout - 1);
    strncpy(proto->SocketTimeout, m_szSocketTimeout, sizeof proto->SocketTimeout - 1);
    return proto;
}

bool CDownloadDlg::IsAlive(CWinThread* thread)
{
    DWORD code = 0;
    return thread && ::GetExitCodeThread(thread->m_hThread, &code) && code == STILL_ACTIVE;
}

LRESULT CDownloadDlg::OnDownloadReady(WPARAM, LPARAM)
{
    m_bListBusy = true;
    if (!m_pProto)
        m_pProto = MakeSession();
    if (m_option.DownloadClose[0] == 'Y')
        m_chkClose.SetCheck(BST_CHECKED);
    m_nRunReceived = 0;
    m_nRunTotal = 0;
    m_nFileReceived = 0;
    m_nFileSize = 0;
    m_nListedRows = 0;
    m_pListThread = AfxBeginThread(SetListDataThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pListThread) {
        m_bListBusy = false;
        return 0;
    }
    m_pListThread->m_bAutoDelete = FALSE;
    m_pListThread->ResumeThread();
    return 0;
}

LRESULT CDownloadDlg::OnDownloadStart(WPARAM, LPARAM)
{
    m_bCancel = false;
    m_bRunOver = false;
    if (IsAlive(m_pWorker))
        return 1;
    if (m_pWorker) {
        delete m_pWorker;
        m_pWorker = nullptr;
    }
    m_btnCancel.SetWindowText(CToviString::GetString(14064).GetString());
    m_btnCancel.Invalidate();
    m_pWorker = AfxBeginThread(DownloadThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pWorker)
        return 1;
    m_pWorker->m_bAutoDelete = FALSE;
    m_pWorker->ResumeThread();
    return 0;
}

bool CDownloadDlg::AddItems(std::vector<_DOWNLOADINFO>& items)
{
    HWND wnd = m_hWnd;
    if (!wnd || !::IsWindow(wnd))
        return false;
    if (m_bListBusy) {
        CString text;
        text.Format(L"%s %s", CToviMsg::GetString(12021).GetString(), CToviMsg::GetString(12060).GetString());
        transfer::MessageBox(wnd, text, MB_ICONWARNING);
        return false;
    }
    ::ShowWindow(wnd, ::IsIconic(wnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(wnd);
    bool any = false;
    {
        std::lock_guard<std::mutex> lock(m_itemsLock);
        for (const _DOWNLOADINFO& item : items) {
            bool listed = false;
            for (const _DOWNLOADINFO& have : m_input) {
                if (strcmp(have.ItemId, item.ItemId) == 0 && strcmp(have.FolderId, item.FolderId) == 0) {
                    listed = true;
                    break;
                }
            }
            for (const _DOWNLOADINFO& have : m_added) {
                if (strcmp(have.ItemId, item.ItemId) == 0 && strcmp(have.FolderId, item.FolderId) == 0)
                    listed = true;
            }
            if (!listed) {
                m_added.push_back(item);
                any = true;
            }
        }
        items.clear();
    }
    if (!any)
        return true;
    // The rest runs on the window's thread: it stops the worker and starts the listing.
    RunOnUi([this] {
        m_bListBusy = true;
        StopWorkers();
        // The interrupted file starts again from its first step.
        m_nRunReceived -= m_nFileReceived;
        m_nFileReceived = 0;
        if (!m_pProto) {
            m_pProto = MakeSession();
            if (m_pProto->GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('H', '1')) != 0) {
                TraceLog(2048, L"GetSecureCode Fail\n");
                const CString message = m_pProto->ResultInfo.wszMessage;
                NotifyTaskbar(message, 1);
                transfer::MessageBox(m_hWnd, message, MB_ICONERROR);
                m_bListBusy = false;
                return;
            }
        }
        m_bCancel = false;
        m_pListThread = AfxBeginThread(AddListDataThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        if (!m_pListThread) {
            m_bListBusy = false;
            return;
        }
        m_pListThread->m_bAutoDelete = FALSE;
        m_pListThread->ResumeThread();
        m_btnCancel.SetWindowText(CToviString::GetString(14064).GetString());
        m_btnCancel.Invalidate();
    });
    return true;
}

// ---- Ending ----

void CDownloadDlg::WaitForThread(CWinThread*& thread)
{
    for (;;) {
        if (!thread)
            return;
        if (!IsAlive(thread))
            break;
        // A prompt on a worker would hold the worker, and so this wait, for ever.
        CFileDuplicateDlg::CloseOpenPrompt();
        AfxPumpWait(thread->m_hThread, 10);
    }
    delete thread;
    thread = nullptr;
}

void CDownloadDlg::StopWorkers()
{
    m_bCancel = true;
    WaitForThread(m_pListThread);
    WaitForThread(m_pWorker);
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
}

void CDownloadDlg::EndDownload()
{
    if (!m_hWnd)
        return;
    m_btnCancel.EnableWindow(FALSE);
    StopWorkers();
    CFileDuplicateDlg::CloseOpenPrompt();
    EndDialog(1);
}

LRESULT CDownloadDlg::OnDownloadEnd(WPARAM, LPARAM)
{
    EndDownload();
    return 0;
}

void CDownloadDlg::OnCancel()
{
    EndDownload();
}

void CDownloadDlg::OnOK()
{
    // Enter does not end a download.
}

void CDownloadDlg::OnCloseButton()
{
    EndDownload();
}

void CDownloadDlg::OnDestroy()
{
    StopWorkers();
    FreeRows();
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
