// Version comparison and description names of both update programs.
#include "ToviUpdateRules.h"
#include <windows.h>
#include <cwchar>

namespace updaterules {
namespace {

void VersionParts(const wchar_t* text, int parts[4])
{
    const CString s(text != nullptr ? text : L"");
    int pos = 0;
    for (int i = 0; i < 4; ++i) {
        parts[i] = 0;
        if (pos < 0)
            continue;
        const int dot = s.Find(L'.', pos);
        parts[i] = _wtoi((dot < 0 ? s.Mid(pos) : s.Mid(pos, dot - pos)).GetString());
        pos = dot < 0 ? -1 : dot + 1;
    }
}

}

bool IsNewer(const wchar_t* localVersion, const wchar_t* serverVersion)
{
    int local[4], server[4];
    VersionParts(localVersion, local);
    VersionParts(serverVersion, server);
    for (int i = 0; i < 4; ++i) {
        if (server[i] != local[i])
            return server[i] > local[i];
    }
    return false;
}

bool IsSafeRelativePath(const CString& path, bool allowEmpty)
{
    if (path.IsEmpty())
        return allowEmpty;
    if (path.Find(L':') >= 0 || path[0] == L'\\' || path[0] == L'/')
        return false;
    CString part;
    for (int i = 0; i <= path.GetLength(); ++i) {
        const wchar_t c = i < path.GetLength() ? path[i] : L'\\';
        if (c != L'\\' && c != L'/') {
            part += c;
            continue;
        }
        CString rest = part;
        rest.Remove(L'.');
        rest.Remove(L' ');
        if (!part.IsEmpty() && rest.IsEmpty() && part != L".")
            return false;
        part.Empty();
    }
    return true;
}

bool ProductVersionText(const void* resource, CString& version)
{
    WORD* translation = nullptr;
    UINT length = 0;
    if (resource == nullptr ||
        !::VerQueryValueW(resource, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        translation == nullptr || length < 4)
        return false;
    wchar_t query[64];
    _snwprintf(query, 63, L"\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0], translation[1]);
    query[63] = L'\0';
    wchar_t* text = nullptr;
    if (!::VerQueryValueW(resource, query, reinterpret_cast<void**>(&text), &length) || text == nullptr)
        return false;
    CString found(text);
    if (found.Find(L',') >= 0) {
        found.Remove(L' ');
        found.Replace(L',', L'.');
    }
    version = found;
    return true;
}

}
