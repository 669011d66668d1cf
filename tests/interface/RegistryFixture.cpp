// Registry helpers of the settings tests.
#include "RegistryFixture.h"
#include <vector>

namespace regtest {

const wchar_t* const kProductKeys[4] = {
    L"Software\\Varivivod\\VariruDAD",
    L"Software\\Varivivod\\NardisDriveIXO",
    L"Software\\Varivivod\\VariruDADBackup",
    L"Software\\OrlemSecurity\\VariruDADDrive",
};
const wchar_t kPolicyRoot[] = L"Software\\Varivivod\\VariruDADBackup\\Policy";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kMountPoints[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MountPoints2";

void RemoveAll()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Varivivod");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Varivivod");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrlemSecurity");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OrlemSecurity");
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
        for (const wchar_t* name : { L"CorvaneIXO", L"CorvaneIXODrive", L"CorvaneBackup" })
            RegDeleteValueW(run, name);
        RegCloseKey(run);
    }
    HKEY mounts = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kMountPoints, 0, KEY_ALL_ACCESS, &mounts) == ERROR_SUCCESS) {
        for (const wchar_t* name : { L"##files.example#team", L"##files.example#", L"##10.0.0.5#share" }) {
            RegDeleteTreeW(mounts, name);
            RegDeleteKeyW(mounts, name);
        }
        RegCloseKey(mounts);
    }
}

void CreateKey(const std::wstring& path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
}

void PutText(const std::wstring& path, const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD((text.size() + 1) * 2));
    RegCloseKey(key);
}

void PutDword(const std::wstring& path, const wchar_t* name, DWORD value)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

bool GetText(const std::wstring& path, const wchar_t* name, std::wstring& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, bytes = 0;
    bool ok = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && type == REG_SZ;
    if (ok) {
        std::vector<wchar_t> buffer(bytes / 2 + 1, L'\0');
        ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) == ERROR_SUCCESS;
        text = buffer.data();
    }
    RegCloseKey(key);
    return ok;
}

bool GetDword(const std::wstring& path, const wchar_t* name, DWORD& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, bytes = sizeof(value);
    bool ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) == ERROR_SUCCESS &&
              type == REG_DWORD;
    RegCloseKey(key);
    return ok;
}

bool HasKey(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool HasValue(const std::wstring& path, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool ok = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

int SubKeyCount(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return int(count);
}

}
