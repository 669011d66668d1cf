// CMainFrame: the windows of the interface library's log-in set that the frame runs: the
// log-in thread, the settings dialog and the folder-password prompt.
#include "MainFrame.h"
#include "FileUtils.h"
#include "PopupDlg.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <cstdlib>
#include <cstring>

#if __has_include("LoginThread.h")
#include "LoginThread.h"
#define MAINFRAME_HAVE_LOGIN_DIALOG 1
#endif
#if __has_include("ConfigDlg.h")
#include "ConfigDlg.h"
#define MAINFRAME_HAVE_CONFIG_DIALOG 1
#endif
#if __has_include("PasswordDlg.h")
#include "PasswordDlg.h"
#define MAINFRAME_HAVE_PASSWORD_DIALOG 1
#endif

namespace {

#ifndef MAINFRAME_HAVE_LOGIN_DIALOG
// Until the log-in dialog is part of the library: logs in with the account that the run script
// names (TOVI_DEMO_USER, TOVI_DEMO_PASSWORD, TOVI_DEMO_DOMAIN) on the frame's session object,
// as the dialog would, and reports like the dialog.
struct StandInLogin {
    HWND frame;
    CToviProto* proto;
};

CString Environment(const wchar_t* name, const wchar_t* fallback)
{
    wchar_t value[512] = {};
    DWORD n = ::GetEnvironmentVariableW(name, value, 512);
    return (n > 0 && n < 512) ? CString(value) : CString(fallback);
}

UINT StandInLoginThread(LPVOID param)
{
    StandInLogin* job = static_cast<StandInLogin*>(param);
    CToviProto* proto = job->proto;
    int result = 0;
    const CString user = Environment(L"TOVI_DEMO_USER", L"");
    if (!user.IsEmpty()) {
        const int secure = proto->GetSecureCode(nullptr, proto->ServerAddress.szHost, proto->ServerAddress.nPort,
                                                proto->ServerAddress.szCode, PROT_CMD('B', '0'));
        if (secure == 0) {
            const int login = proto->GetLoginInfo(Environment(L"TOVI_DEMO_DOMAIN", L"1"), user,
                                                  Environment(L"TOVI_DEMO_PASSWORD", L""), const_cast<char*>("ko"),
                                                  const_cast<char*>("N"), const_cast<char*>("2"), false,
                                                  CFileUtils::GetMacList(), nullptr);
            result = login == 0 ? 1 : 0;
            if (login == 0)
                CToviRegistry::SetSessionID(0, proto->LoginInfo.SessionId);
        }
    }
    ::PostMessageW(job->frame, WM_LOGIN_RESULT, result, 0);
    delete job;
    return 0;
}
#endif

}

void CMainFrame::StartLoginThread()
{
    if (m_pLoginThread != nullptr) {
#ifdef MAINFRAME_HAVE_LOGIN_DIALOG
        static_cast<CLoginThread*>(m_pLoginThread)->SetUIFocus();
#endif
        return;
    }
#ifdef MAINFRAME_HAVE_LOGIN_DIALOG
    CLoginThread* thread = static_cast<CLoginThread*>(
        AfxBeginThread(RUNTIME_CLASS(CLoginThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (thread == nullptr)
        return;
    thread->SetLoginInfo(m_hWnd, m_pProto, 0);
    thread->m_bAutoDelete = FALSE;
    m_pLoginThread = thread;
    thread->ResumeThread();
    thread->SetUIFocus();
#else
    CWinThread* thread = AfxBeginThread(StandInLoginThread, new StandInLogin{m_hWnd, m_pProto}, THREAD_PRIORITY_NORMAL,
                                        0, CREATE_SUSPENDED);
    if (thread == nullptr)
        return;
    thread->m_bAutoDelete = FALSE;
    m_pLoginThread = thread;
    thread->ResumeThread();
#endif
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

void CMainFrame::StopLoginThreads()
{
    for (CWinThread** slot : {&m_pLoginWebThread, &m_pLoginThread}) {
        CWinThread*& thread = *slot;
        if (thread == nullptr)
            continue;
        DWORD code = 0;
        if (thread->m_hThread && ::GetExitCodeThread(thread->m_hThread, &code) && code == STILL_ACTIVE) {
#ifdef MAINFRAME_HAVE_LOGIN_DIALOG
            if (slot == &m_pLoginThread)
                static_cast<CLoginThread*>(thread)->SetRemove();
#endif
        }
        WaitThread(thread);
    }
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
bool RunConfigDialog(CMainFrame* frame, bool* resetLayout, bool* restart)
{
#ifdef MAINFRAME_HAVE_CONFIG_DIALOG
    CConfigDlg dialog(frame);
    dialog.m_pProto = frame->m_pProto;
    frame->BeginModal();
    const INT_PTR result = dialog.DoModal();
    frame->EndModal();
    if (resetLayout)
        *resetLayout = dialog.m_bResetWindow != 0;
    if (restart)
        *restart = dialog.m_bUpdateNeeded != 0;
    return result == IDOK;
#else
    (void)frame;
    (void)resetLayout;
    (void)restart;
    TraceLog(2048, L"[ CMainFrame::RunLoginUI ] no server address is stored\n");
    return false;
#endif
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
#ifdef MAINFRAME_HAVE_PASSWORD_DIALOG
    CPasswordDlg dialog(this);
    strncpy(dialog.m_szExpectedHash, folder->Attr198, sizeof dialog.m_szExpectedHash - 1);
    BeginModal();
    const INT_PTR result = dialog.DoModal();
    EndModal();
    if (result != IDOK)
        return -1;
    m_mapFolderPassword[folder->IDX] = folder->Attr198;
    return 1;
#else
    return -1;
#endif
}
