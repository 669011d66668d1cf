// A registry key under HKEY_CURRENT_USER held open for one operation, with the typed reads
// and writes that the settings store needs. Private to the interface library.
#pragma once
#include "Strings.h"
#include <windows.h>

class CRegistryKey {
public:
    CRegistryKey() {}
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens an existing key; false (traced by the caller) when it is missing.
    bool Open(const wchar_t* path, REGSAM access = KEY_READ | KEY_WRITE, HKEY parent = HKEY_CURRENT_USER);
    // Opens the key, creating it and its parents when missing.
    bool Create(const wchar_t* path, HKEY parent = HKEY_CURRENT_USER);
    void Close();
    HKEY Get() const { return m_key; }
    bool IsOpen() const { return m_key != nullptr; }

    // A REG_SZ text of at most maxChars characters, terminator included (0: any length).
    // False when missing, of another type or longer than that.
    bool ReadText(const wchar_t* name, CString& text, int maxChars = 0) const;
    bool ReadDword(const wchar_t* name, DWORD& value) const;
    bool WriteText(const wchar_t* name, const CString& text) const;
    bool WriteDword(const wchar_t* name, DWORD value) const;
    bool HasValue(const wchar_t* name) const;
    // True when the value is gone afterwards, also when there was none.
    bool DeleteValue(const wchar_t* name) const;
    // The number of subkeys; false when it cannot be asked.
    bool SubKeyCount(DWORD& count) const;
    // The name of subkey number index; false at the end or on an error (code in *error).
    bool SubKeyName(DWORD index, CString& name, LONG* error = nullptr) const;

private:
    HKEY m_key = nullptr;
};
