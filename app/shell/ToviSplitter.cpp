// CToviSplitter: the main window's splitter and the transfer hand-over.
#include "ToviSplitter.h"
#include "DownloadThread.h"
#include "FileUtils.h"
#include "MainFrame.h"
#include "ToviProto.h"
#include "TraceLog.h"
#include "TransferJobs.h"
#include "UploadAlertDlg.h"
#include "UploadThread.h"
#include "VersionManagementDlg.h"
#include "Dc.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CToviSplitter, CSplitterWnd)

BEGIN_MESSAGE_MAP(CToviSplitter, CSplitterWnd)
    ON_MESSAGE(WM_VERSION_DOWNLOAD, OnVersionDownload)
    ON_MESSAGE(WM_DOWNLOAD_THREAD_EXIT, OnDownloadThreadExit)
    ON_MESSAGE(WM_UPLOAD_DONE, OnUploadDone)
    ON_MESSAGE(WM_UPLOAD_THREAD_EXIT, OnUploadThreadExit)
    ON_MESSAGE(WM_UPLOAD_APPROVAL, OnUploadApproval)
    ON_MESSAGE(WM_SEARCH_DOWNLOAD_RUN, OnSearchDownloadRun)
    ON_MESSAGE(WM_SEARCH_DOWNLOAD_BEGIN, OnSearchDownloadBegin)
    ON_MESSAGE(WM_SEARCH_DOWNLOAD_ITEM, OnSearchDownloadItem)
END_MESSAGE_MAP()

namespace {

bool Running(CWinThread* thread)
{
    DWORD code = 0;
    return thread != nullptr && thread->m_hThread != nullptr && ::GetExitCodeThread(thread->m_hThread, &code) &&
           code == STILL_ACTIVE;
}

// Waits for the thread's end with a short wait and one pumped message per time-out.
void WaitForEnd(CWinThread* thread)
{
    while (Running(thread)) {
        if (::WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
            MSG msg;
            if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
}

template <typename Thread>
void WaitAndDelete(Thread*& thread)
{
    WaitForEnd(thread);
    delete thread;
    thread = nullptr;
}

// True when the thread was there to stop.
template <typename Thread>
bool StopAndWait(Thread*& thread)
{
    if (thread == nullptr)
        return false;
    ::PostThreadMessageW(thread->m_nThreadID, WM_QUIT, 0, 0);
    WaitAndDelete(thread);
    return true;
}

bool IsAlertCustomer(const CString& code)
{
    for (const wchar_t* name : {L"TOLVAN_IN", L"TOLVAN_OUT", L"DUVUDOVA_DI", L"PERIDANE_OUT"})
        if (code.CompareNoCase(name) == 0)
            return true;
    return false;
}

CMainFrame* FrameOf(CWnd* wnd)
{
    return wnd ? DYNAMIC_DOWNCAST(CMainFrame, wnd->GetParent()) : nullptr;
}

}

CToviSplitter::CToviSplitter()
{
    m_cxSplitter = m_cySplitter = 5;
    m_cxSplitterGap = m_cySplitterGap = 5;
    m_cxBorderShare = m_cyBorderShare = 0;
}

CToviSplitter::~CToviSplitter()
{
    StopTransfers();
}

BOOL CToviSplitter::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CSplitterWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.style &= ~WS_BORDER;
    m_cxBorder = m_cyBorder = m_bUseFrame ? 2 : 0;
    return TRUE;
}

void CToviSplitter::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (pDC == nullptr) {
        CSplitterWnd::OnDrawSplitter(pDC, nType, rect);
        return;
    }
    CRect area = rect;
    if (nType == splitBorder) {
        if (!m_bUseFrame)
            return;
        HBRUSH outer = ::CreateSolidBrush(RGB(0xC5, 0xC5, 0xC5));
        HBRUSH inner = ::CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
        ::FrameRect(pDC->m_hDC, &area, outer);
        area.DeflateRect(1, 1);
        ::FrameRect(pDC->m_hDC, &area, inner);
        ::DeleteObject(outer);
        ::DeleteObject(inner);
        return;
    }
    // The bar: a light face with a darker line through its middle.
    HBRUSH face = ::CreateSolidBrush(RGB(0xE7, 0xEC, 0xF5));
    ::FillRect(pDC->m_hDC, &area, face);
    ::DeleteObject(face);
    if (nType == splitBar) {
        CRect line = area;
        if (line.Width() > line.Height()) {
            line.top += line.Height() / 2;
            line.bottom = line.top + 1;
        } else {
            line.left += line.Width() / 2;
            line.right = line.left + 1;
        }
        HBRUSH mark = ::CreateSolidBrush(RGB(0x98, 0xB0, 0xD6));
        ::FillRect(pDC->m_hDC, &line, mark);
        ::DeleteObject(mark);
    }
}

void CToviSplitter::SetActivePane(int row, int col, CWnd* pWnd)
{
    int activeRow = row, activeCol = col;
    if (pWnd != nullptr)
        IsChildPane(pWnd, &activeRow, &activeCol);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            if (m_hWnd == nullptr || r >= GetRowCount() || c >= GetColumnCount() || GetPane(r, c) == nullptr)
                continue;
            const COLORREF color = (r == activeRow && c == activeCol) ? kActivePaneColor
                                   : r == 0                             ? kServerPaneColor
                                                                        : kLocalPaneColor;
            if (m_panes.paneColor[r][c])
                m_panes.paneColor[r][c](color);
        }
    }
    CSplitterWnd::SetActivePane(row, col, pWnd);
}

// ---- Proportions ----

void CToviSplitter::KeepRowProportion()
{
    if (m_hWnd == nullptr || GetRowCount() < 2 || GetColumnCount() < 2)
        return;
    CRect client;
    GetClientRect(&client);
    int row = 0, col = 0, minimum = 0;
    GetRowInfo(0, row, minimum);
    GetColumnInfo(0, col, minimum);
    m_rowPercent = client.Height() > 0 ? row * 100 / client.Height() : 0;
    m_colPercent = client.Width() > 0 ? col * 100 / client.Width() : 0;
}

void CToviSplitter::ApplyRowProportion()
{
    if (m_hWnd == nullptr || m_rowPercent <= 0 || m_colPercent <= 0)
        return;
    CRect client;
    GetClientRect(&client);
    SetRowInfo(0, client.Height() * m_rowPercent / 100, 10);
    SetColumnInfo(0, client.Width() * m_colPercent / 100, 10);
    RecalcLayout();
}

// ---- The frame's services ----

CToviProto* CToviSplitter::Session()
{
    if (m_session)
        return m_session();
    CMainFrame* frame = FrameOf(this);
    return frame ? frame->m_pProto : nullptr;
}

CString CToviSplitter::CustomerCode()
{
    CToviProto* proto = Session();
    return proto ? proto->CustomerCode : CString();
}

void CToviSplitter::ForcedLogout()
{
    if (m_forcedLogout) {
        m_forcedLogout();
        return;
    }
    // The frame posts WM_LOGOUT once per session, whoever reports the end first.
    if (CMainFrame* frame = FrameOf(this))
        frame->RequestForcedLogout(m_strSessionEndText);
}

void CToviSplitter::QuotaTimer(bool run)
{
    if (m_quotaTimer) {
        m_quotaTimer(run);
        return;
    }
    CMainFrame* frame = FrameOf(this);
    if (frame == nullptr || frame->m_hWnd == nullptr)
        return;
    if (run)
        frame->ArmTimer(IDT_QUOTAUPDATE, frame->m_nQuotaInterval);
    else
        frame->KillTimer(IDT_QUOTAUPDATE);
}

void CToviSplitter::ClearServerClipboard()
{
    const UINT format = ::RegisterClipboardFormatW(L"VARIRUDAD");
    if (::IsClipboardFormatAvailable(format) && ::OpenClipboard(m_hWnd)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    if (m_panes.clearCutMarks)
        m_panes.clearCutMarks();
}

void CToviSplitter::ShowRefusal(const CString& text)
{
    CFileUtils::ToviMessageBox(this, text, L"CorvaneIXO", MB_OK | MB_ICONWARNING);
}

// ---- Starting transfers ----

int CToviSplitter::Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items)
{
    TraceLog(1, L"[ CToviSplitter::Upload ] Upload File Count = %d\n", static_cast<int>(items.size()));
    if (items.empty())
        return 0;
    if (Running(m_pUploadThread)) {
        m_pUploadThread->AddUploadInfo(items);
        return 0;
    }
    // An upload that ended while its exit message still waits in the queue: finish it here and
    // let that message pass, or it would be taken for the new thread's.
    if (m_pUploadThread != nullptr) {
        ++m_staleUploadExits;
        if (EndUploadThread()) {
            ForcedLogout();
            return 0;
        }
    }
    if (IsAlertCustomer(CustomerCode())) {
        const bool go = m_uploadAlert ? m_uploadAlert() : CUploadAlertDlg(this).DoModal() == IDOK;
        if (!go)
            return 0;
    }
    QuotaTimer(false);
    auto* thread = static_cast<CUploadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CUploadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (thread != nullptr) {
        thread->SetUploadInfo(m_hWnd, folder, items, Session());
        thread->m_bAutoDelete = FALSE;
        m_pUploadThread = thread;
        thread->ResumeThread();
    } else {
        QuotaTimer(true);
    }
    ClearServerClipboard();
    return 0;
}

int CToviSplitter::Download(std::vector<_DOWNLOADINFO> items)
{
    TraceLog(1, L"CToviSplitter::Download() START!\n");
    if (items.empty())
        return 0;
    if (Running(m_pDownloadThread)) {
        m_pDownloadThread->AddDownloadInfo(items);
        return 0;
    }
    if (m_pDownloadThread != nullptr) {
        ++m_staleDownloadExits;
        if (EndDownloadThread()) {
            ForcedLogout();
            return 0;
        }
    }
    auto* thread = static_cast<CDownloadThread*>(
        AfxBeginThread(RUNTIME_CLASS(CDownloadThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (thread != nullptr) {
        thread->SetDownloadInfo(thread, m_hWnd, items, Session());
        thread->m_bAutoDelete = FALSE;
        m_pDownloadThread = thread;
        thread->ResumeThread();
    }
    m_hDownloadServerItem = m_panes.serverSelection ? m_panes.serverSelection() : nullptr;
    ClearServerClipboard();
    TraceLog(1, L"CToviSplitter::Download() END!\n");
    return 0;
}

void CToviSplitter::StopTransfers()
{
    // Each stopped thread still posts its exit message on the way out.
    if (StopAndWait(m_pUploadThread))
        ++m_staleUploadExits;
    if (StopAndWait(m_pDownloadThread))
        ++m_staleDownloadExits;
}

bool CToviSplitter::TransferRunning() const
{
    return Running(m_pUploadThread) || Running(m_pDownloadThread);
}

// ---- The threads' reports ----

LRESULT CToviSplitter::OnUploadDone(WPARAM wParam, LPARAM)
{
    if (CustomerCode().CompareNoCase(L"RQGROUP") == 0)
        ::Sleep(2000);
    if (CMainFrame* frame = FrameOf(this))
        frame->PostMessage(WM_QUOTA_UPDATE, 0, 0);
    QuotaTimer(true);
    const HTREEITEM item = reinterpret_cast<HTREEITEM>(wParam);
    const HTREEITEM selected = m_panes.serverSelection ? m_panes.serverSelection() : nullptr;
    if (item != nullptr && item == selected && m_panes.refreshServer)
        m_panes.refreshServer(item, 0);
    return 0;
}

bool CToviSplitter::EndUploadThread()
{
    // The flag lives in the window object that the thread object holds: read once the thread
    // has ended, so it is final, whether or not the window still existed when this message came.
    WaitForEnd(m_pUploadThread);
    const bool forced = m_pUploadThread->m_dlg.m_bForceStopped.load();
    if (forced)
        m_strSessionEndText = m_pUploadThread->m_dlg.m_strForceStopText;
    delete m_pUploadThread;
    m_pUploadThread = nullptr;
    return forced;
}

bool CToviSplitter::EndDownloadThread()
{
    WaitForEnd(m_pDownloadThread);
    const bool forced = m_pDownloadThread->m_dlg.IsForceClosed();
    if (forced)
        m_strSessionEndText = m_pDownloadThread->m_dlg.ForceCloseText();
    delete m_pDownloadThread;
    m_pDownloadThread = nullptr;
    return forced;
}

LRESULT CToviSplitter::OnUploadThreadExit(WPARAM, LPARAM)
{
    if (m_staleUploadExits > 0) {
        --m_staleUploadExits;
        return 0;
    }
    if (m_pUploadThread != nullptr && EndUploadThread())
        ForcedLogout();
    return 0;
}

LRESULT CToviSplitter::OnDownloadThreadExit(WPARAM flags, LPARAM)
{
    if (m_staleDownloadExits > 0) {
        --m_staleDownloadExits;
        return 0;
    }
    if (m_pDownloadThread == nullptr)
        return 0;
    if (EndDownloadThread()) {
        ForcedLogout();
        return 0;
    }
    if (m_panes.refreshLocal) {
        const HTREEITEM selected = m_panes.localSelection ? m_panes.localSelection() : nullptr;
        if (m_hDownloadLocalItem != nullptr)
            m_panes.refreshLocal(m_hDownloadLocalItem, m_hDownloadLocalItem == selected);
        else if (selected != nullptr)
            m_panes.refreshLocal(selected, true);
    }
    if ((flags & DOWNLOAD_EXIT_REFRESH_SERVER) != 0 && m_panes.serverSelection && m_panes.refreshServer) {
        if (const HTREEITEM folder = m_panes.serverSelection())
            m_panes.refreshServer(folder, 2);
    }
    return 0;
}

LRESULT CToviSplitter::OnUploadApproval(WPARAM wParam, LPARAM)
{
    // The sender keeps the text; it is valid during this call only.
    const CString indexes = wParam ? reinterpret_cast<const wchar_t*>(wParam) : L"";
    CToviProto* proto = Session();
    if (proto == nullptr || proto->OptionInfo.SubOption[0] != 'Y') {
        TraceLog(1, L" [ CToviSplitter::OnUploadApproval ] SubOption = 'N'  --> Approval Web View NOT CALLED! \n");
        return 0;
    }
    if (m_panes.uploadApproval)
        m_panes.uploadApproval(indexes);
    return 0;
}

LRESULT CToviSplitter::OnVersionDownload(WPARAM wParam, LPARAM lParam)
{
    // The version list's item and the folder stay the sender's; valid during this call only.
    if (wParam == 0 || lParam == 0)
        return 0;
    const auto& version = *reinterpret_cast<const _VERSION_ITEM*>(wParam);
    std::vector<_DOWNLOADINFO> items(1);
    const transferjobs::Refusal why =
        transferjobs::FromVersion(version, reinterpret_cast<const wchar_t*>(lParam), items[0]);
    if (why != transferjobs::Refusal::None) {
        ShowRefusal(transferjobs::RefusalText(why, version.FileName, false));
        return 0;
    }
    Download(items);
    return 0;
}

LRESULT CToviSplitter::OnSearchDownloadBegin(WPARAM, LPARAM)
{
    m_vecSearchDownload.clear();
    return 0;
}

LRESULT CToviSplitter::OnSearchDownloadItem(WPARAM wParam, LPARAM lParam)
{
    TraceLog(1, L"[ SetSearchDownloadData ]\n");
    // The hit and the folder stay the search window's; valid during this call only.
    if (wParam == 0 || lParam == 0)
        return 0;
    const auto& hit = *reinterpret_cast<const _PROTO_SEARCH_INFO*>(wParam);
    _DOWNLOADINFO item;
    const transferjobs::Refusal why =
        transferjobs::FromSearchHit(hit, reinterpret_cast<const wchar_t*>(lParam), item);
    if (why != transferjobs::Refusal::None) {
        wchar_t name[513] = {};
        wcsncpy(name, hit.Name, 512);
        ShowRefusal(transferjobs::RefusalText(why, name, false));
        return 0;
    }
    m_vecSearchDownload.push_back(item);
    return 0;
}

LRESULT CToviSplitter::OnSearchDownloadRun(WPARAM, LPARAM)
{
    std::vector<_DOWNLOADINFO> items;
    items.swap(m_vecSearchDownload);
    Download(items);
    return 0;
}
