// The code-signature check: WinVerifyTrust and the signer's certificate subject.
#include "CodeSignature.h"
#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <cwctype>

namespace codesign {

namespace {

std::wstring SubjectOf(HANDLE state)
{
    CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(state);
    CRYPT_PROVIDER_SGNR* first = provider != nullptr ? ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    if (first == nullptr || first->csCertChain == 0 || first->pasCertChain == nullptr || first->pasCertChain[0].pCert == nullptr)
        return std::wstring();
    PCCERT_CONTEXT cert = first->pasCertChain[0].pCert;
    DWORD flags = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
    DWORD size = ::CertNameToStrW(X509_ASN_ENCODING, &cert->pCertInfo->Subject, flags, nullptr, 0);
    if (size <= 1)
        return std::wstring();
    std::wstring name(size, L'\0');
    ::CertNameToStrW(X509_ASN_ENCODING, &cert->pCertInfo->Subject, flags, &name[0], size);
    name.resize(size - 1);
    return name;
}

bool WindowsCheck(const wchar_t* path, std::wstring* signer)
{
    if (signer != nullptr)
        signer->clear();
    WINTRUST_FILE_INFO fileInfo = { sizeof(fileInfo) };
    fileInfo.pcwszFilePath = path;
    WINTRUST_DATA data = { sizeof(data) };
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG verdict = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    if (verdict == ERROR_SUCCESS && signer != nullptr)
        *signer = SubjectOf(data.hWVTStateData);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    // A trusted signature whose signer cannot be named proves nobody in particular.
    return verdict == ERROR_SUCCESS && (signer == nullptr || !signer->empty());
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix)
{
    const std::wstring end(suffix);
    if (text.size() < end.size())
        return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::towlower(text[text.size() - end.size() + i]) != end[i])
            return false;
    return true;
}

}

CheckFn g_pCheck = WindowsCheck;

bool Trusted(const wchar_t* path) { return g_pCheck(path, nullptr); }

std::wstring SignerOf(const wchar_t* path)
{
    std::wstring signer;
    if (!g_pCheck(path, &signer))
        signer.clear();
    return signer;
}

bool SignedBy(const wchar_t* path, const std::wstring& signer)
{
    return !signer.empty() && SignerOf(path) == signer;
}

bool IsExecutableImage(const wchar_t* name, const wchar_t* contentPath)
{
    const std::wstring text(name != nullptr ? name : L"");
    for (const wchar_t* ext : { L".exe", L".dll", L".sys", L".ocx", L".cpl", L".scr", L".drv", L".com", L".efi" })
        if (EndsWithNoCase(text, ext))
            return true;
    if (contentPath == nullptr)
        return false;
    HANDLE file = ::CreateFileW(contentPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char head[2] = {};
    DWORD got = 0;
    bool image = ::ReadFile(file, head, 2, &got, nullptr) && got == 2 && head[0] == 'M' && head[1] == 'Z';
    ::CloseHandle(file);
    return image;
}

}
