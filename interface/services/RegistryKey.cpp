// Typed access to one open registry key for the settings store.
#include "RegistryKey.h"
#include "SystemFacts.h"
#include <vector>

bool CRegistryKey::Open(const wchar_t* path, REGSAM access, HKEY parent)
{
    Close();
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, path, 0, access, &key) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

bool CRegistryKey::Create(const wchar_t* path, HKEY parent)
{
    Close();
    HKEY key = nullptr;
    if (CSystemFacts::Current().CreateRegistryKey(parent, path, &key) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

void CRegistryKey::Close()
{
    if (m_key != nullptr)
        ::RegCloseKey(m_key);
    m_key = nullptr;
}

bool CRegistryKey::ReadText(const wchar_t* name, CString& text, int maxChars) const
{
    if (m_key == nullptr)
        return false;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        return false;
    size_t chars = got / sizeof(wchar_t);
    while (chars > 0 && buffer[chars - 1] == L'\0')
        --chars;
    // The stored text up to its first zero, as a fixed buffer of maxChars would hold it.
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0')
        ++length;
    if (maxChars > 0 && length + 1 > static_cast<size_t>(maxChars))
        return false;
    text = CString(buffer.data(), static_cast<int>(length));
    return true;
}

bool CRegistryKey::ReadDword(const wchar_t* name, DWORD& value) const
{
    if (m_key == nullptr)
        return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD bytes = sizeof(data);
    if (::RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || bytes != sizeof(data))
        return false;
    value = data;
    return true;
}

bool CRegistryKey::WriteText(const wchar_t* name, const CString& text) const
{
    if (m_key == nullptr)
        return false;
    DWORD bytes = static_cast<DWORD>((text.GetLength() + 1) * sizeof(wchar_t));
    const BYTE* data = reinterpret_cast<const BYTE*>(text.GetString());
    return CSystemFacts::Current().SetRegistryValue(m_key, name, REG_SZ, data, bytes) == ERROR_SUCCESS;
}

bool CRegistryKey::WriteDword(const wchar_t* name, DWORD value) const
{
    if (m_key == nullptr)
        return false;
    return CSystemFacts::Current().SetRegistryValue(m_key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                                   sizeof(value)) == ERROR_SUCCESS;
}

bool CRegistryKey::HasValue(const wchar_t* name) const
{
    return m_key != nullptr && ::RegQueryValueExW(m_key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CRegistryKey::DeleteValue(const wchar_t* name) const
{
    if (m_key == nullptr)
        return false;
    LONG result = ::RegDeleteValueW(m_key, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool CRegistryKey::SubKeyCount(DWORD& count) const
{
    if (m_key == nullptr)
        return false;
    return ::RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CRegistryKey::SubKeyName(DWORD index, CString& name, LONG* error) const
{
    wchar_t buffer[256] = {};
    DWORD chars = 256;
    LONG result = m_key != nullptr ? ::RegEnumKeyExW(m_key, index, buffer, &chars, nullptr, nullptr, nullptr, nullptr)
                                   : ERROR_INVALID_HANDLE;
    if (error != nullptr)
        *error = result;
    if (result != ERROR_SUCCESS)
        return false;
    name = buffer;
    return true;
}
