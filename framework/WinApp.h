// CWinApp: the application object, its start-up through AfxWinMain and its profile values.
//
// The program defines exactly one CWinApp-derived object (usually a global); its constructor
// makes it the process's application and the CWinThread of the constructing thread.
// Profile values live under HKEY_CURRENT_USER\Software\<registry key>\<application name>\<section>
// once SetRegistryKey was called; without a registry key they are not stored (reads return
// the defaults, writes fail).
#pragma once
#include "WinThread.h"
#include "Strings.h"

class FW_API CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // A null name takes the string resource 0xE000 (the application title) or the file name
    // of the program without extension.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCTSTR m_pszAppName = nullptr;       // owned
    LPCTSTR m_pszRegistryKey = nullptr;   // owned, null until SetRegistryKey
    LPCTSTR m_pszProfileName = nullptr;   // owned: the application's key name
    LPCTSTR m_pszExeName = nullptr;       // owned: program file name without extension

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;
    // The main thread's message loop; ends at once when InitInstance left no main window.
    int Run() override;

    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    // Opened (created when missing) keys; the caller closes them. Null without a registry key.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);

    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    // A null value deletes the entry; a null entry deletes the whole section.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    // *ppData receives new BYTE[*pBytes] (free with delete[]); FALSE and null when absent.
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);

    // Icons and cursors from the program's resources (the registered resource modules first).
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCE(nIDResource)); }
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCE(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }

    // Shows a message box for AfxMessageBox, owned by the calling thread's active window.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

private:
    void SetOwnedString(LPCTSTR* target, LPCTSTR value);
};

// The application object, or null when the program has none (e.g. in tests).
FW_API CWinApp* AfxGetApp();
// The program's module (the application's m_hInstance, else the executable).
FW_API HINSTANCE AfxGetInstanceHandle();
// The application's name, or the empty string.
FW_API LPCTSTR AfxGetAppName();
// Runs the application: the program's wWinMain returns AfxWinMain(hInstance, hPrevInstance,
// lpCmdLine, nCmdShow). No exception escapes; -1 when something failed before the loop.
FW_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
// Starts OLE on the calling thread (the application's, from InitInstance); AfxWinMain stops it
// after ExitInstance. FALSE when OLE could not start.
FW_API BOOL AfxOleInit();
// Hosting of ActiveX controls in dialogs needs nothing more here; kept for the start-up code.
FW_API void AfxEnableControlContainer();
// A message box on any UI thread, titled with the application's name, owned by the thread's
// active window (or its main window).
FW_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
FW_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
