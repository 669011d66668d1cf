// CMainFrame: shut-down (close, exit from the tray, destroy) and the layout store.
#include "ClientLeftView.h"
#include "ClientRightView.h"
#include "FileUtils.h"
#include "MainFrame.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include "TaskBarDlg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include "WinApp.h"

namespace {

const wchar_t kSection[] = L"CorvaneIXO";

}

namespace mainframe {

bool StoreLastPaths(const std::vector<CString>& serverNames, const CString& localPath)
{
    CString server = JoinServerPath(serverNames);
    CString local = localPath;
    if (local.GetLength() >= 2 && local[1] == L':') {
        const CString root = local.Left(2) + L"\\";
        if (::GetDriveTypeW(root) == DRIVE_CDROM)
            local.Empty();
    }
    // The store takes the server path first, as it reads them back.
    return CToviRegistry::SetLastFullPath(server, local);
}

bool RestoreLastPaths(std::vector<CString>& serverNames, CString& localPath)
{
    CString server;
    if (!CToviRegistry::GetLastFullPath(server, localPath))
        return false;
    serverNames = SplitServerPath(server);
    return true;
}

}

void CMainFrame::OnClose()
{
    // A running server operation's dialog still uses the panes and the session: the exit waits
    // for its end (the tray and the close button reach this window while the dialog is up).
    if (m_logoutGate.Busy()) {
        m_bExitPending = true;
        return;
    }
    if (m_bLoggedIn) {
        if (m_hLogoutEvent) {
            ::WaitForSingleObject(m_hLogoutEvent, INFINITE);
            ::CloseHandle(m_hLogoutEvent);
            m_hLogoutEvent = nullptr;
        }
        StopTimersAndWorkers();
        m_wndSplitter.StopTransfers();
        m_pProto->GetLogoutInfo();
        m_bLoggedIn = false;
        SaveLayout();
        SaveLastPaths();
        ClearPanes();
        m_mapFolderPassword.clear();
        StopLoginThreads();
    }
    if (m_pTaskBarDlg && m_pTaskBarDlg->m_hWnd)
        m_pTaskBarDlg->DestroyWindow();   // deletes itself
    m_pTaskBarDlg = nullptr;
    CFrameWnd::OnClose();
}

void CMainFrame::OnExit()
{
    OnClose();
}

void CMainFrame::OnDestroy()
{
    // The alert pop-up is owned by this window: it is gone (and deleted itself) by now.
    m_pTaskBarDlg = nullptr;
    CFrameWnd::OnDestroy();
    StopLoginThreads();
}

void CMainFrame::SaveLastPaths()
{
    std::vector<CString> names;
    if (m_pServerTreeView)
        names = mainframe::SplitServerPath(m_pServerTreeView->SelectedPath());
    const CString local = m_pLocalTreeView ? m_pLocalTreeView->SelectedPath() : CString();
    mainframe::StoreLastPaths(names, local);
}

void CMainFrame::LoadLayout()
{
    CFileUtils::LoadPlacement(nullptr, false);
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!app->GetProfileBinary(kSection, L"SplitSize", &data, &bytes) || data == nullptr)
        return;
    RECT split = {};
    const bool whole = bytes == sizeof split;
    if (whole)
        memcpy(&split, data, sizeof split);
    delete[] data;
    if (!whole)
        return;
    CRect client;
    GetClientRect(&client);
    const int width = split.right - split.left, height = split.bottom - split.top;
    if (width <= 0 || height <= 0 || width > client.Width() || height > client.Height())
        return;
    m_wndSplitter.SetColumnInfo(0, width, 10);
    m_wndSplitter.SetRowInfo(0, height, 10);
    m_wndSplitter.RecalcLayout();
}

void CMainFrame::SaveLayout()
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr || m_wndSplitter.m_hWnd == nullptr)
        return;
    SaveServerListLayout();
    CFileUtils::SavePlacement();
    int width = 0, height = 0, minimum = 0;
    m_wndSplitter.GetColumnInfo(0, width, minimum);
    m_wndSplitter.GetRowInfo(0, height, minimum);
    RECT split = {0, 0, width, height};
    app->WriteProfileBinary(kSection, L"SplitSize", reinterpret_cast<BYTE*>(&split), sizeof split);
    if (m_pLocalListView)
        m_pLocalListView->SaveColumnSize(m_pLocalListView->IsLocationLayout());
}

void CMainFrame::ResetLayout()
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    WINDOWPLACEMENT placement = {sizeof(placement)};
    GetWindowPlacement(&placement);
    placement.showCmd = SW_SHOWNORMAL;
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    placement.rcNormalPosition = mainframe::FirstFrameRect(work);
    app->WriteProfileBinary(kSection, L"Pos", reinterpret_cast<BYTE*>(&placement), sizeof placement);
    RECT split = {0, 0, m_nInitialColWidth, m_nInitialRowHeight};
    app->WriteProfileBinary(kSection, L"SplitSize", reinterpret_cast<BYTE*>(&split), sizeof split);
    m_wndSplitter.SetColumnInfo(0, m_nInitialColWidth, 10);
    m_wndSplitter.SetRowInfo(0, m_nInitialRowHeight, 10);
    m_wndSplitter.RecalcLayout();
    BYTE zeros[24] = {};
    app->WriteProfileBinary(kSection, L"ServerColumnSize", zeros, 24);
    int client[4] = {250, 80, 160, 144};
    app->WriteProfileBinary(kSection, L"ClientColumnSize", reinterpret_cast<BYTE*>(client), sizeof client);
    app->WriteProfileBinary(kSection, L"ServerSort", zeros, 8);
    app->WriteProfileBinary(kSection, L"ClientSort", zeros, 8);
    ReloadServerListLayout();
}
