// The signature check of downloaded installers.
#include "InstallerTrust.h"
#include "FileUtils.h"
#include "ToviTextLanguage.h"
#include "TraceLog.h"
#include "CodeSignature.h"
#include <windows.h>

namespace installer {

namespace {

bool SignatureTrusted(const CString& path) { return codesign::Trusted(path.GetString()); }

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
