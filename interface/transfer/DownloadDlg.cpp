// CDownloadDlg: the window side of the download: controls, progress display, task bar, the
// session, starting and stopping the workers and the end of a run.
#include "DownloadDlg.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "FileDuplicateDlg.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferRes.h"
#include "TransferTaskbar.h"
#include "WinThread.h"
#include <commctrl.h>
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CDownloadDlg, CTransferDlg)

BEGIN_MESSAGE_MAP(CDownloadDlg, CTransferDlg)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_MESSAGE(WM_DOWNLOAD_PROGRESS, OnDownloadProgress)
    ON_MESSAGE(WM_DOWNLOAD_QUERY_CANCEL, OnQueryCancel)
    ON_MESSAGE(WM_DOWNLOAD_READY, OnDownloadReady)
    ON_MESSAGE(WM_DOWNLOAD_START, OnDownloadStart)
    ON_MESSAGE(WM_DOWNLOAD_END, OnDownloadEnd)
    ON_MESSAGE(WM_END_DOWNLOAD_FORCE, OnDownloadEnd)
    ON_MESSAGE(WM_TOTAL_SIZE_UPDATE, OnTotalSizeUpdate)
END_MESSAGE_MAP()

namespace {

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

CDownloadDlg::CDownloadDlg(CWnd* pParent) : CTransferDlg(IDD_DOWNLOAD, pParent)
{
}

CDownloadDlg::~CDownloadDlg()
{
    delete m_pProto;
    m_pProto = nullptr;
}

// ---- Hand-over ----

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
    CTransferDlg::OnInitDialog();
    InitWindow(14047);
    SetupControls();
    if (m_chkClose.SubclassDlgItem(IDC_DOWNLOAD_CLOSE_WHEN_DONE, this))
        m_chkClose.SetWindowText(CToviString::GetString(14085).GetString());
    SendMessage(WM_DOWNLOAD_READY);
    return TRUE;
}

// ---- Helpers for the workers ----

void CDownloadDlg::SetBarText(CToviProgressCtrl& bar, const CString& text, int percent)
{
    PostToUi([&bar, text, percent] {
        bar.SetWindowText(text.GetString());
        if (percent >= 0)
            bar.SetPos(percent);
        bar.Invalidate(FALSE);
    });
}

// ---- Progress ----

LRESULT CDownloadDlg::OnQueryCancel(WPARAM, LPARAM)
{
    return m_bCancel ? 1 : 0;
}

LRESULT CDownloadDlg::OnDownloadProgress(WPARAM wParam, LPARAM lParam)
{
    CountProgress(wParam, lParam ? *reinterpret_cast<const __int64*>(lParam) : 0);
    return 0;
}

bool CDownloadDlg::OnRelayReport(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_DOWNLOAD_PROGRESS) {
        CountProgress(wParam, lParam ? *reinterpret_cast<const __int64*>(lParam) : 0);
        result = 0;
        return true;
    }
    if (message == WM_DOWNLOAD_QUERY_CANCEL) {
        result = m_bCancel ? 1 : 0;
        return true;
    }
    return false;
}

void CDownloadDlg::RefreshProgress()
{
    const __int64 fileDone = m_nFileDone;
    const __int64 fileSize = m_nFileSize;
    const __int64 totalDone = m_nTotalDone;
    const int filePercent = Percent(fileDone, fileSize);
    CString text;
    if (totalDone == m_nTotalSize)
        text = CToviString::GetString(14219);
    else
        text.Format(L"[ %s ] %s / %s (%d%%)", ShortName(m_strFileName).GetString(),
                    CFileUtils::ConvertFileSize2(fileDone).GetString(),
                    CFileUtils::ConvertFileSize2(fileSize).GetString(), filePercent);
    const int runPercent = Percent(totalDone, m_nTotalSize);
    CString total;
    total.Format(L" %s / %s (%d%%)", CFileUtils::ConvertFileSize2(totalDone).GetString(),
                 CFileUtils::ConvertFileSize2(m_nTotalSize).GetString(), runPercent);
    ShowProgress(text, filePercent, total, runPercent);
}

LRESULT CDownloadDlg::OnTotalSizeUpdate(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 1) {
        CString text;
        text.Format(L" 0 / %s (0%%)", CFileUtils::ConvertFileSize2(m_nTotalSize).GetString());
        m_barTotal.SetWindowText(text.GetString());
        m_barTotal.SetPos(0);
        m_barTotal.Invalidate(FALSE);
    }
    // lParam: the rows the batch added.
    m_nListedRows += lParam > 0 ? static_cast<int>(lParam) : 1;
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

LRESULT CDownloadDlg::OnDownloadReady(WPARAM, LPARAM)
{
    m_bListBusy = true;
    if (!m_pProto)
        m_pProto = MakeSession(4);
    if (m_option.DownloadClose[0] == 'Y')
        m_chkClose.SetCheck(BST_CHECKED);
    m_nTotalDone = 0;
    m_nTotalSize = 0;
    m_nFileDone = 0;
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
        dialogkit::MessageBox(wnd, text, MB_ICONWARNING);
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
        m_nTotalDone -= m_nFileDone.exchange(0);
        if (!m_pProto) {
            m_pProto = MakeSession(4);
            if (m_pProto->GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('H', '1')) != 0) {
                TraceLog(2048, L"GetSecureCode Fail\n");
                const CString message = m_pProto->ResultInfo.wszMessage;
                Notify(1, message);
                dialogkit::MessageBox(m_hWnd, message, MB_ICONERROR);
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
    DropPosted();
    FreeRows();
    ReleaseWindow();
}
