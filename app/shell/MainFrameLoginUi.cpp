// CMainFrame: the windows of the interface library's log-in set that the frame runs: the
// log-in thread, the settings dialog and the folder-password prompt.
#include "MainFrame.h"
#include "ConfigDlg.h"
#include "LoginThread.h"
#include "LoginWebThread.h"
#include "PasswordDlg.h"
#include "PopupDlg.h"
#include "ToviProto.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <cstring>

void CMainFrame::StartLoginThread()
{
    // The server may have turned its web log-in on or off since the open window came up (the
    // settings dialog confirmed without a new address): one log-in window, of the kind it wants.
    const bool wantWeb = m_pProto && m_pProto->WebLogin[0] == 'Y';
    StopLoginThread(!wantWeb);
    if (wantWeb) {
        if (m_pLoginWebThread == nullptr) {
            CLoginWebThread* web = static_cast<CLoginWebThread*>(
                AfxBeginThread(RUNTIME_CLASS(CLoginWebThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
            if (web == nullptr)
                return;
            if (m_bAfterLogout)
                m_bWebSso = false;
            web->SetLoginInfo(m_hWnd, m_pProto, 0, m_bWebSso);
            web->m_bAutoDelete = FALSE;
            m_pLoginWebThread = web;
            web->ResumeThread();
        }
        static_cast<CLoginWebThread*>(m_pLoginWebThread)->SetUIFocus();
        return;
    }
    if (m_pLoginThread != nullptr) {
        static_cast<CLoginThread*>(m_pLoginThread)->SetUIFocus();
        return;
    }
    CLoginThread* thread = static_cast<CLoginThread*>(
        AfxBeginThread(RUNTIME_CLASS(CLoginThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (thread == nullptr)
        return;
    thread->SetLoginInfo(m_hWnd, m_pProto, 0);
    thread->m_bAutoDelete = FALSE;
    m_pLoginThread = thread;
    thread->ResumeThread();
    thread->SetUIFocus();
}

void CMainFrame::WaitThread(CWinThread*& thread)
{
    if (thread == nullptr)
        return;
    DWORD code = 0;
    while (thread->m_hThread && ::GetExitCodeThread(thread->m_hThread, &code) && code == STILL_ACTIVE) {
        if (::WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
            MSG msg;
            if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    delete thread;
    thread = nullptr;
}

void CMainFrame::StopLoginThread(bool web)
{
    CWinThread*& thread = web ? m_pLoginWebThread : m_pLoginThread;
    if (thread == nullptr)
        return;
    DWORD code = 0;
    if (thread->m_hThread && ::GetExitCodeThread(thread->m_hThread, &code) && code == STILL_ACTIVE) {
        if (web)
            static_cast<CLoginWebThread*>(thread)->SetRemove();
        else
            static_cast<CLoginThread*>(thread)->SetRemove();
    }
    WaitThread(thread);
}

void CMainFrame::RefreshLoginThreads()
{
    // The new server's web-login flag says which log-in window it wants: the other kind goes,
    // the right kind takes the new domains (the settings check left them in the session).
    const bool web = m_pProto && m_pProto->WebLogin[0] == 'Y';
    StopLoginThread(!web);
    if (web && m_pLoginWebThread)
        static_cast<CLoginWebThread*>(m_pLoginWebThread)->ResetDomain();
    else if (!web && m_pLoginThread)
        static_cast<CLoginThread*>(m_pLoginThread)->ResetDomainList();
}

void CMainFrame::StopLoginThreads()
{
    StopLoginThread(true);
    StopLoginThread(false);
    for (CPopupDlg*& popup : m_popups) {
        if (popup != nullptr) {
            if (::IsWindow(popup->m_hWnd))
                popup->DestroyWindow();
            popup = nullptr;
        }
    }
    // Boxes and dialogs the frame owns go too.
    struct Closer {
        static BOOL CALLBACK Each(HWND wnd, LPARAM frame)
        {
            wchar_t name[16] = {}, title[8] = {};
            if (::GetWindow(wnd, GW_OWNER) == reinterpret_cast<HWND>(frame) && ::GetClassNameW(wnd, name, 16) &&
                wcsncmp(name, L"#32770", 6) == 0 && ::GetWindowTextW(wnd, title, 8) > 0)
                ::SendMessageW(wnd, WM_CLOSE, 0, 0);
            return TRUE;
        }
    };
    ::EnumWindows(Closer::Each, reinterpret_cast<LPARAM>(m_hWnd));
}

// The settings dialog while no server is stored or the server cannot be reached. True when
// the user confirmed a server.
bool RunConfigDialog(CMainFrame* frame, bool* resetLayout, bool* restart, bool* update)
{
    CConfigDlg dialog(frame);
    dialog.m_pProto = frame->m_pProto;
    frame->BeginModal();
    const INT_PTR result = dialog.DoModal();
    frame->EndModal();
    if (resetLayout)
        *resetLayout = dialog.m_bResetWindow != 0;
    // Another server, or an update of this one, needs the program started afresh.
    if (restart)
        *restart = dialog.ServerChanged() || dialog.m_bUpdateNeeded != 0;
    if (update)
        *update = dialog.m_bUpdateNeeded != 0;
    return result == IDOK;
}

int CMainFrame::CheckFolderPassword(const _PROTO_FOLDER_INFO* folder, bool silent)
{
    if (folder == nullptr || folder->Attr198[0] == 0)
        return 0;
    auto known = m_mapFolderPassword.find(folder->IDX);
    if (known != m_mapFolderPassword.end() && known->second == folder->Attr198)
        return 0;
    if (silent)
        return -1;
    CPasswordDlg dialog(this);
    const size_t length = strnlen(folder->Attr198, sizeof dialog.m_szExpectedHash - 1);
    memcpy(dialog.m_szExpectedHash, folder->Attr198, length);
    dialog.m_szExpectedHash[length] = 0;
    BeginModal();
    const INT_PTR result = dialog.DoModal();
    EndModal();
    if (result != IDOK)
        return -1;
    m_mapFolderPassword[folder->IDX] = folder->Attr198;
    return 1;
}
