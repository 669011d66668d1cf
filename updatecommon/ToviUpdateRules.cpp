// Version comparison and description names of both update programs.
#include "ToviUpdateRules.h"
#include <windows.h>
#include <algorithm>
#include <cwchar>

namespace updaterules {
namespace {

void VersionParts(const wchar_t* text, int parts[4])
{
    const std::wstring s(text != nullptr ? text : L"");
    size_t pos = 0;
    bool more = true;
    for (int i = 0; i < 4; ++i) {
        parts[i] = 0;
        if (!more)
            continue;
        const size_t dot = s.find(L'.', pos);
        parts[i] = _wtoi(s.substr(pos, dot == std::wstring::npos ? std::wstring::npos : dot - pos).c_str());
        more = dot != std::wstring::npos;
        pos = dot + 1;
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

bool IsSafeRelativePath(const wchar_t* path, bool allowEmpty)
{
    const std::wstring p(path != nullptr ? path : L"");
    if (p.empty())
        return allowEmpty;
    if (p.find(L':') != std::wstring::npos || p[0] == L'\\' || p[0] == L'/')
        return false;
    std::wstring part;
    for (size_t i = 0; i <= p.size(); ++i) {
        const wchar_t c = i < p.size() ? p[i] : L'\\';
        if (c != L'\\' && c != L'/') {
            part += c;
            continue;
        }
        const bool dotsAndSpaces = part.find_first_not_of(L". ") == std::wstring::npos;
        if (!part.empty() && dotsAndSpaces && part != L".")
            return false;
        part.clear();
    }
    return true;
}

bool ProductVersionText(const void* resource, std::wstring& version)
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
    std::wstring found(text);
    if (found.find(L',') != std::wstring::npos) {
        found.erase(std::remove(found.begin(), found.end(), L' '), found.end());
        std::replace(found.begin(), found.end(), L',', L'.');
    }
    version = found;
    return true;
}

}
