// CWinApp: the application object, AfxWinMain and message boxes.
#include "WinApp.h"
#include "Resources.h"
#include "ThreadState.h"
#include "Trace.h"
#include "Wnd.h"
#include <ole2.h>
#include <cwchar>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_pApp = nullptr;
DWORD g_oleThread = 0;   // the thread that started OLE through AfxOleInit
const UINT kAppTitleStringId = 0xE000;

LPTSTR Duplicate(LPCTSTR text)
{
    if (text == nullptr)
        return nullptr;
    size_t n = std::wcslen(text) + 1;
    auto* copy = new wchar_t[n];
    std::wmemcpy(copy, text, n);
    return copy;
}
}

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (g_pApp != nullptr) {
        FwTrace("CWinApp", "a second application object; the first one stays the application");
    } else {
        g_pApp = this;
    }
    m_bAutoDelete = FALSE;
    m_hInstance = ::GetModuleHandle(nullptr);
    m_hThread = ::GetCurrentThread();
    m_nThreadID = ::GetCurrentThreadId();
    if (g_pApp == this)
        FwGetThreadState()->pThread = this;

    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* base = std::wcsrchr(path, L'\\');
    CString exe = base ? base + 1 : path;
    int dot = exe.ReverseFind(L'.');
    if (dot > 0)
        exe = exe.Left(dot);
    SetOwnedString(&m_pszExeName, exe);

    if (lpszAppName != nullptr) {
        SetOwnedString(&m_pszAppName, lpszAppName);
    } else {
        CString title;
        if (title.LoadString(kAppTitleStringId) && !title.IsEmpty())
            SetOwnedString(&m_pszAppName, title);
        else
            SetOwnedString(&m_pszAppName, exe);
    }
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
    delete[] m_pszAppName;
    delete[] m_pszRegistryKey;
    delete[] m_pszProfileName;
    delete[] m_pszExeName;
    m_hThread = nullptr;   // a pseudo handle: nothing to close
}

void CWinApp::SetOwnedString(LPCTSTR* target, LPCTSTR value)
{
    LPTSTR copy = Duplicate(value);
    delete[] * target;
    *target = copy;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return (int)m_msgCur.wParam;
}

int CWinApp::Run()
{
    if (m_pMainWnd == nullptr)
        ::PostQuitMessage(0);
    return CWinThread::Run();
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    SetOwnedString(&m_pszRegistryKey, lpszRegistryKey);
    SetOwnedString(&m_pszProfileName, m_pszAppName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    if (key.LoadString(nIDRegistryKey))
        SetRegistryKey(key);
}

// ---- Icons and cursors ----

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON);
    return ::LoadIcon(module, lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR);
    return ::LoadCursor(module, lpszResourceName);
}

// ---- Message boxes ----

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain->m_hWnd && ::GetWindowThreadProcessId(pMain->m_hWnd, nullptr) == ::GetCurrentThreadId())
            owner = pMain->m_hWnd;
    }
    if (owner != nullptr) {
        // Own the box by the top-level window, as a dialog would.
        HWND top = owner;
        while ((::GetWindowLongPtr(top, GWL_STYLE) & WS_CHILD) && ::GetParent(top))
            top = ::GetParent(top);
        owner = top;
    }
    return ::MessageBoxW(owner, lpszPrompt, m_pszAppName ? m_pszAppName : L"", nType);
}

// ---- Free functions ----

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : ::GetModuleHandle(nullptr);
}

LPCTSTR AfxGetAppName()
{
    return (g_pApp && g_pApp->m_pszAppName) ? g_pApp->m_pszAppName : L"";
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread) {
        if (CWnd* pWnd = pThread->GetMainWnd())
            return pWnd;
    }
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance ? hInstance : ::GetModuleHandle(nullptr);
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    FwGetThreadState()->pThread = pApp;
    int nResult = -1;
    try {
        if (!pApp->InitApplication() || !pApp->InitInstance()) {
            if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
                pApp->m_pMainWnd->DestroyWindow();
            nResult = pApp->ExitInstance();
        } else {
            nResult = pApp->Run();
        }
    } catch (...) {
        FwTraceException("AfxWinMain", pApp->GetRuntimeClass()->m_lpszClassName);
        nResult = -1;
    }
    CWnd::DeleteTempMap(true);
    if (g_oleThread == ::GetCurrentThreadId()) {
        ::OleUninitialize();
        g_oleThread = 0;
    }
    return nResult;
}

BOOL AfxOleInit()
{
    if (g_oleThread == ::GetCurrentThreadId())
        return TRUE;
    HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
        return FALSE;
    // AfxWinMain stops OLE for the application's thread; another thread keeps its start
    // until it ends.
    if (g_oleThread == 0)
        g_oleThread = ::GetCurrentThreadId();
    return TRUE;
}

void AfxEnableControlContainer()
{
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxW(::GetActiveWindow(), lpszText, L"", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}
