// Registry reads of the update program.
#include "ToviRegistry.h"
#include "ProductInfo.h"
#include <vector>

bool CToviRegistry::ReadText(const wchar_t* key, const wchar_t* value, int maxChars, CString& out)
{
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key != nullptr ? key : L"", 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 2, L'\0');
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    LONG rc = ::RegQueryValueExW(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    ::RegCloseKey(h);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buffer[bytes / sizeof(wchar_t)] = L'\0';
    CString text(buffer.data());
    if (text.GetLength() > maxChars)
        return false;
    out = text;
    return true;
}

bool CToviRegistry::GetMessageBoxTitle(int index, CString& title)
{
    CString value;
    if (!product::Valid(index) || !ReadText(product::RegistryKey(index), L"MessageBoxTitle", 255, value))
        return false;
    title = value;
    return true;
}

bool CToviRegistry::GetLanguage(int index, int& language)
{
    // The backup edition keeps no language of its own here.
    const wchar_t* key = index == 0 || index == 1 ? product::RegistryKey(index) : L"";
    CString value;
    if (!ReadText(key, L"Language", 4, value) || value.IsEmpty())
        return false;
    switch (_wtoi(value.GetString())) {
    case 1042: language = LANG_KOREAN; break;
    case 1033: language = LANG_ENGLISH; break;
    case 1041: language = LANG_JAPANESE; break;
    default: break;
    }
    return true;
}
