// The log-in windows' decisions that need no window.
#include "LoginRules.h"
#include "SHA1.h"
#include "SHA256.h"
#include <windows.h>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

namespace loginrules {

const wchar_t* ServerAddressLabel(unsigned short language)
{
    switch (language) {
    case LANG_ENGLISH: return L"Domain address : ";
    case LANG_JAPANESE: return L"ドメインアドレス : ";
    default: return L"도메인 주소 : ";
    }
}

const wchar_t* ServerPortLabel(unsigned short language)
{
    switch (language) {
    case LANG_ENGLISH: return L"Port : ";
    case LANG_JAPANESE: return L"ポート : ";
    default: return L"포트 : ";
    }
}

const char* LanguageCode(unsigned short language)
{
    switch (language) {
    case 0x09: return "en";
    case 0x11: return "jp";
    default: return "ko";
    }
}

SavedLogin LoginToSave(bool saveIdChecked, bool autoLoginChecked, const CString& userId, const CString& password)
{
    SavedLogin saved = {0, 0, CString(), CString()};
    if (saveIdChecked)
        saved.saveUserId = 1;
    else if (autoLoginChecked)
        saved.autoLogin = 1;
    if (saved.saveUserId || saved.autoLogin)
        saved.userId = userId;
    // Only an automatic log-in needs the password again; anything else must not keep it.
    if (saved.autoLogin)
        saved.password = password;
    return saved;
}

void CopyUserId(wchar_t* dest, size_t capacity, const CString& id)
{
    if (dest == nullptr || capacity == 0)
        return;
    std::memset(dest, 0, capacity * sizeof(wchar_t));
    size_t length = static_cast<size_t>(id.GetLength());
    if (length > capacity - 1)
        length = capacity - 1;
    std::wmemcpy(dest, id.GetString(), length);
}

bool OptionOn(const char* option, size_t size, int position)
{
    if (option == nullptr || position < 0 || static_cast<size_t>(position) >= size)
        return false;
    // The text ends at its terminator; flags past it read as off.
    for (int i = 0; i < position; ++i)
        if (option[i] == '\0')
            return false;
    return option[position] == '1';
}

bool FieldShown(const char* option, size_t size, int position)
{
    if (option == nullptr || position < 0 || static_cast<size_t>(position) >= size)
        return true;
    for (int i = 0; i < position; ++i)
        if (option[i] == '\0')
            return true;
    return option[position] != '0';
}

int ParsePort(const CString& text)
{
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty() || trimmed.GetLength() > 5)
        return -1;
    int value = 0;
    for (int i = 0; i < trimmed.GetLength(); ++i) {
        const wchar_t c = trimmed[i];
        if (c < L'0' || c > L'9')
            return -1;
        value = value * 10 + (c - L'0');
    }
    return value >= 1 && value <= 65535 ? value : -1;
}

bool SplitHostPort(const char* text, char* host, size_t hostSize, int* port)
{
    if (text == nullptr || host == nullptr || hostSize == 0 || port == nullptr)
        return false;
    const char* colon = std::strrchr(text, ':');
    if (colon == nullptr || colon == text || static_cast<size_t>(colon - text) >= hostSize)
        return false;
    const int value = ParsePort(CString(colon + 1));
    if (value < 0)
        return false;
    std::memset(host, 0, hostSize);
    std::memcpy(host, text, static_cast<size_t>(colon - text));
    *port = value;
    return true;
}

CString StripScheme(const CString& address)
{
    CString text = address;
    text.Trim();
    if (text.Left(7).CompareNoCase(L"http://") == 0)
        text = text.Mid(7);
    else if (text.Left(8).CompareNoCase(L"https://") == 0)
        text = text.Mid(8);
    return text;
}

CString UpdateAddress(const char* firstDomainAddress, const char* host, const wchar_t* webPort)
{
    if (firstDomainAddress != nullptr && firstDomainAddress[0] != '\0')
        return CString(firstDomainAddress);
    CString address;
    address.Format(L"http://%s", (const wchar_t*)CString(host ? host : ""));
    if (webPort != nullptr && webPort[0] != L'\0')
        address += CString(L":") + webPort;
    else
        address += L":80";
    return address;
}

CString WebRoot(const CString& storedAddress)
{
    CString root = storedAddress;
    root.Trim();
    int scheme = root.Find(L"://");
    bool named = scheme > 0;
    for (int i = 0; named && i < scheme; ++i)
        named = iswalpha(root[i]) != 0;
    if (!named) {
        root = L"http://" + root;
        scheme = 4;
    }
    // The pages get the session id: only the web's own schemes may carry it.
    const CString name = root.Left(scheme);
    if (name.CompareNoCase(L"http") != 0 && name.CompareNoCase(L"https") != 0)
        return CString();
    CString rest = root.Mid(scheme + 3);
    rest.TrimRight(L'/');
    if (rest.IsEmpty())
        return CString();
    return root.Left(scheme + 3) + rest;
}

CString PasswordDigest(const CString& password)
{
    if (password.IsEmpty())
        return CString();
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, password, password.GetLength(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return CString();
    std::string ansi(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, password, password.GetLength(), &ansi[0], bytes, nullptr, nullptr);
    CSHA1 sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(ansi.data()), static_cast<unsigned>(ansi.size()));
    sha1.Final();
    SecureZeroMemory(&ansi[0], ansi.size());
    wchar_t first[41] = {};
    if (!sha1.ReportHashW(first, 41, CSHA1::REPORT_HEX_LOWER))
        return CString();
    wchar_t second[65] = {};
    if (CSHA256::GetSAH256Data(first, second, 65) != 0)
        return CString();
    return CString(second);
}

}
