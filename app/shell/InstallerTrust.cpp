// The signature check of downloaded installers.
#include "InstallerTrust.h"
#include "FileUtils.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

namespace installer {

namespace {

bool SignatureTrusted(const CString& path)
{
    WINTRUST_FILE_INFO fileInfo = {sizeof(fileInfo)};
    fileInfo.pcwszFilePath = path.GetString();
    WINTRUST_DATA data = {sizeof(data)};
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG verdict = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return verdict == ERROR_SUCCESS;
}

}

TrustCheck g_pTrusted = SignatureTrusted;

bool Accept(CWnd* owner, const CString& path)
{
    if (g_pTrusted(path))
        return true;
    TraceLog(2048, L"[ installer::Accept ] untrusted installer refused: %s\n", (LPCWSTR)path);
    ::DeleteFileW(path);
    const bool korean = CToviTextLanguage::GetThreadLanguage() == LANG_KOREAN;
    CFileUtils::ToviMessageBox(owner,
                               korean ? L"\xC124\xCE58 \xD30C\xC77C\xC758 \xC11C\xBA85\xC744 \xD655\xC778\xD560 "
                                        L"\xC218 \xC5C6\xC5B4 \xC2E4\xD589\xD558\xC9C0 \xC54A\xC558\xC2B5\xB2C8\xB2E4."
                                      : L"The installer's signature could not be verified; it was not started.",
                               L"CorvaneIXO", MB_ICONERROR);
    return false;
}

}
