// CWinApp profile values under HKCU\Software\<registry key>\<application>\<section>.
#include "WinApp.h"
#include <vector>

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr)
        return nullptr;
    CString path = L"Software\\";
    path += m_pszRegistryKey;
    path += L"\\";
    path += m_pszProfileName;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    if (lpszSection == nullptr)
        return nullptr;
    HKEY app = GetAppRegistryKey();
    if (app == nullptr)
        return nullptr;
    HKEY section = nullptr;
    if (::RegCreateKeyExW(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                          &section, nullptr) != ERROR_SUCCESS)
        section = nullptr;
    ::RegCloseKey(app);
    return section;
}

namespace {
// Reads one value of the expected type; false when absent or of another type.
bool ReadValue(HKEY section, LPCTSTR entry, DWORD expectedType, std::vector<BYTE>& data)
{
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(section, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != expectedType)
        return false;
    // The value may grow between the two calls; retry with the size the second call reports.
    for (int attempt = 0; attempt < 4; ++attempt) {
        data.assign(size + sizeof(wchar_t), 0);
        DWORD got = size;
        LONG rc = ::RegQueryValueExW(section, entry, nullptr, &type, data.data(), &got);
        if (rc == ERROR_SUCCESS && type == expectedType) {
            data.resize(got);
            return true;
        }
        if (rc != ERROR_MORE_DATA)
            return false;
        size = got;
    }
    return false;
}
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    HKEY section = GetSectionKey(lpszSection);
    if (section == nullptr)
        return (UINT)nDefault;
    std::vector<BYTE> data;
    UINT value = (UINT)nDefault;
    if (ReadValue(section, lpszEntry, REG_DWORD, data) && data.size() == sizeof(DWORD))
        value = *reinterpret_cast<const DWORD*>(data.data());
    ::RegCloseKey(section);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (lpszEntry == nullptr)
        return FALSE;
    HKEY section = GetSectionKey(lpszSection);
    if (section == nullptr)
        return FALSE;
    DWORD value = (DWORD)nValue;
    LONG rc = ::RegSetValueExW(section, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(section);
    return rc == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    CString result = lpszDefault;
    HKEY section = GetSectionKey(lpszSection);
    if (section == nullptr)
        return result;
    std::vector<BYTE> data;
    if (ReadValue(section, lpszEntry, REG_SZ, data)) {
        // A stored string need not end in a zero; take what is there up to the first zero.
        const auto* text = reinterpret_cast<const wchar_t*>(data.data());
        size_t n = data.size() / sizeof(wchar_t);
        size_t len = 0;
        while (len < n && text[len] != 0)
            ++len;
        result = CString(text, (int)len);
    }
    ::RegCloseKey(section);
    return result;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (lpszSection == nullptr)
        return FALSE;
    if (lpszEntry == nullptr) {
        HKEY app = GetAppRegistryKey();
        if (app == nullptr)
            return FALSE;
        LONG rc = ::RegDeleteTreeW(app, lpszSection);
        ::RegCloseKey(app);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    HKEY section = GetSectionKey(lpszSection);
    if (section == nullptr)
        return FALSE;
    LONG rc;
    if (lpszValue == nullptr) {
        rc = ::RegDeleteValueW(section, lpszEntry);
        if (rc == ERROR_FILE_NOT_FOUND)
            rc = ERROR_SUCCESS;
    } else {
        DWORD bytes = (DWORD)((wcslen(lpszValue) + 1) * sizeof(wchar_t));
        rc = ::RegSetValueExW(section, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue), bytes);
    }
    ::RegCloseKey(section);
    return rc == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    if (ppData == nullptr || pBytes == nullptr)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    HKEY section = GetSectionKey(lpszSection);
    if (section == nullptr)
        return FALSE;
    std::vector<BYTE> data;
    bool found = ReadValue(section, lpszEntry, REG_BINARY, data);
    ::RegCloseKey(section);
    if (!found || data.empty())
        return FALSE;
    *ppData = new BYTE[data.size()];
    std::copy(data.begin(), data.end(), *ppData);
    *pBytes = (UINT)data.size();
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (lpszEntry == nullptr || (pData == nullptr && nBytes != 0))
        return FALSE;
    HKEY section = GetSectionKey(lpszSection);
    if (section == nullptr)
        return FALSE;
    LONG rc = ::RegSetValueExW(section, lpszEntry, 0, REG_BINARY, pData, nBytes);
    ::RegCloseKey(section);
    return rc == ERROR_SUCCESS;
}
