// CCorvaneIXOApp: start-up and exit of the program.
#include "CorvaneIXOApp.h"
#include "FileUtils.h"
#include "InstanceLock.h"
#include "Library.h"
#include "MainFrame.h"
#include "MainFrameRules.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include <commctrl.h>
#include <ole2.h>

CCorvaneIXOApp::CCorvaneIXOApp() : CWinApp(L"CorvaneIXO") {}

namespace {

const wchar_t* AccountName(WindowsAccountType type)
{
    switch (type) {
    case WINDOWS_ACCOUNT_ADMINISTRATOR: return L"ADMINISTRATOR";
    case WINDOWS_ACCOUNT_POWER_USER: return L"POWER_USER";
    case WINDOWS_ACCOUNT_USER: return L"USER";
    case WINDOWS_ACCOUNT_GUEST: return L"GUEST";
    default: return L"UNKNOWN";
    }
}

}

BOOL CCorvaneIXOApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    SetRegistryKey(L"로컬 응용 프로그램 마법사에서 생성된 응용 프로그램");
    TraceLog(1, L"=============================== IXO ===============================\n");

    if (!CInstanceLock::Program().Acquire(CInstanceLock::kProgramName)) {
        if (HWND running = ::FindWindowW(L"CorvaneIXO", nullptr)) {
            CString code;
            if (CToviRegistry::GetCustomFlag(0, code) && !code.IsEmpty() && code.CompareNoCase(L"TALVERON") == 0) {
                ::PostMessageW(running, WM_CLOSE, 0, 0);
                return FALSE;
            }
            ::SendMessageW(running, WM_SHOW_MAIN_WINDOW, 0, 0);
        }
        TraceLog(1, L"CreateMutext --> ERROR_ALREADY_EXISTS!! Return!!\n");
        return FALSE;
    }

    // The interface library (GDI+, themes, texts) before any window.
    m_bInterfaceStarted = ToviInterfaceInit();
    ::SystemParametersInfoW(SPI_SETFONTSMOOTHING, TRUE, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    ::SystemParametersInfoW(SPI_SETFONTSMOOTHINGTYPE, 0, reinterpret_cast<PVOID>(FE_FONTSMOOTHINGCLEARTYPE),
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    const WindowsAccountType account = CFileUtils::GetWindowsAccountType();
    CFileUtils::PrintWindowsType();
    TraceLog(1, L"[ CCorvaneIXOApp::InitInstance ] Privilege = %s [ %s ]", AccountName(account),
             (LPCWSTR)CFileUtils::GetUserNameW());
    TraceLog(1, L" [ CCorvaneIXOApp::InitInstance ] File Version = %s", CFileUtils::GetFileVersionString());

    // With no stored language the log-in thread speaks Korean: so do the frame's windows, or a
    // first run would show two languages side by side.
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(0, &language) || language == 0)
        language = 0x12;
    CFileUtils::SetLocaleChange(language);

    CMainFrame* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->CreateHidden()) {
        m_pMainWnd = nullptr;
        return FALSE;
    }
    frame->ShowWindow(SW_MINIMIZE);
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();

    frame->m_bUpdateAllowed = true;
    if (account == WINDOWS_ACCOUNT_USER || account == WINDOWS_ACCOUNT_GUEST) {
        TraceLog(1, L" ※※※※※※ STANDARD USER or GUEST --> NOUPDATE!");
        frame->m_bUpdateAllowed = false;
    }
    const mainframe::StartArgs args = mainframe::ParseStartArgs(m_lpCmdLine);
    if (args.noUpdate) {
        TraceLog(1, L"-------------------- /NOUPDATE --------------------\n");
        frame->m_bUpdateAllowed = false;
    }
    if (!args.ssoId.IsEmpty()) {
        CToviRegistry::SetSSOID(0, args.ssoId);
        CToviRegistry::SetUseSSO(0, L"Y");
        frame->m_strSsoId = args.ssoId;
    }
    frame->StartCheckNetwork();
    return TRUE;
}

int CCorvaneIXOApp::ExitInstance()
{
    if (m_bInterfaceStarted)
        ToviInterfaceTerm();
    CInstanceLock::Program().Release();
    ::OleUninitialize();
    return CWinApp::ExitInstance();
}
