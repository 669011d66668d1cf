// CCorvaneUpdateApp: start-up, the three ways of running, and the update dialog.
#include "CorvaneUpdateApp.h"
#include "CorvaneUpdateDlg.h"
#include "FileUtils.h"
#include "ProductInfo.h"
#include "ServiceControl.h"
#include "ToviExec.h"
#include "ToviRegistry.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "UpdateCommand.h"
#include "UpdateTargets.h"
#include "../interface/services/CodeSignature.h"
#include <commctrl.h>
#include <gdiplus.h>

namespace {

CString OwnFileVersion()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString version;
    CToviUpdate::SHGetVersionOfFile(path, version);
    return version;
}

}

CCorvaneUpdateApp::CCorvaneUpdateApp() {}

int CCorvaneUpdateApp::StartProductAsStdUser(int index)
{
    CString installDir = CToviUpdate::GetInstallDir(index);
    if (installDir.IsEmpty())
        return -1;
    CString program = installDir + L"\\" + product::Program(index);
    return CToviExec::RunAsStdUser(program, L"", installDir) ? 0 : 1;
}

BOOL CCorvaneUpdateApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = { sizeof(controls), 0xFF };
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(L"로컬 응용 프로그램 마법사에서 생성된 응용 프로그램");

    UpdateCommand command = ParseUpdateCommand(m_lpCmdLine);
    switch (command.kind) {
    case UpdateCommand::kQuit:
        return FALSE;
    case UpdateCommand::kServiceInstall:
    case UpdateCommand::kServiceRemove:
        RunServiceCommand(command.kind == UpdateCommand::kServiceInstall);
        return FALSE;
    default:
        break;
    }
    if (m_lpCmdLine != nullptr && m_lpCmdLine[0] != L'\0')
        TraceLog(1, L" ■■■ [ UPDATE ] UPDATE TOOL START! \n■■■ [ UPDATE ] File Version = %s\n", OwnFileVersion().GetString());
    if (command.kind == UpdateCommand::kRunAsStdUser) {
        int started = StartProductAsStdUser(command.index);
        if (started >= 0) {
            m_nExitCode = started;
            return FALSE;
        }
    }

    Gdiplus::GdiplusStartupInput gdiplus;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplus, nullptr);
    ::SystemParametersInfoW(SPI_SETFONTSMOOTHING, 1, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    ::SystemParametersInfoW(SPI_SETFONTSMOOTHINGTYPE, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(FE_FONTSMOOTHINGCLEARTYPE)),
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    int language = LANG_KOREAN;
    CToviRegistry::GetLanguage(command.index, language);
    CFileUtils::SetLocaleChange(language);

    CCorvaneUpdateDlg dlg(command.index);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    m_nExitCode = dlg.m_nOutcome;
    return FALSE;
}

void CCorvaneUpdateApp::RunServiceCommand(bool install)
{
    // The service runs as LocalSystem: it is registered only from the update program's own
    // folder and only when it comes from the update program's signer.
    CString installDir;
    updatetargets::Choice choice = updatetargets::ChooseInstallDir(2, CToviExec::IsElevated(), installDir);
    if (choice == updatetargets::Choice::kEmpty) {
        m_nExitCode = 1;
        return;
    }
    CString path = installDir + L"\\ToviService.exe";
    bool refused = choice == updatetargets::Choice::kRefused;
    if (!refused && install)
        refused = !codesign::SignedBy(path, codesign::SignerOf(updatetargets::OwnProgramPath()));
    if (refused) {
        // Removing the registered service stays allowed: it names the service, not a file.
        TraceLog(2048, L" ■■■ [ UPDATE ] service program refused [ %s ]\n", path.GetString());
        if (install) {
            ::MessageBoxW(nullptr, L"Fail to create service of corvane", nullptr, MB_ICONERROR);
            m_nExitCode = 1;
            return;
        }
    }
    if (!ServiceInstall(install, path)) {
        ::MessageBoxW(nullptr, install ? L"Fail to create service of corvane" : L"Fail to delete service of corvane", nullptr,
                      MB_ICONERROR);
        m_nExitCode = 1;
    }
}

int CCorvaneUpdateApp::ExitInstance()
{
    if (m_gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    CWinApp::ExitInstance();
    return m_nExitCode;
}
