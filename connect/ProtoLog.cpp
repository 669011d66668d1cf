// The protocol log file under the install folder.
#include "ProtoLog.h"
#include "ToviConn.h"
#include <windows.h>
#include <cstdio>
#include <string>

namespace {

const wchar_t kSettingsKey[] = L"Software\\Varivivod\\VariruDAD";
constexpr UINT kKoreanCodePage = 949;

bool ReadInstallDir(std::wstring& dir)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[260] = {};
    DWORD type = 0;
    DWORD bytes = sizeof value - sizeof(wchar_t);
    LONG rc = RegQueryValueExW(key, L"InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || value[0] == 0)
        return false;
    dir = value;
    return true;
}

}

void WriteProtoLog(CToviConn* conn, const CString& text)
{
    conn->m_csLog.Lock();
    std::wstring folder;
    if (ReadInstallDir(folder)) {
        folder += L"\\Log";
        DWORD attributes = GetFileAttributesW(folder.c_str());
        bool haveFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (!haveFolder)
            haveFolder = CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
        if (haveFolder) {
            SYSTEMTIME now;
            GetLocalTime(&now);
            wchar_t name[400];
            _snwprintf(name, 399, L"%s\\[Proto][%d] %04d-%02d-%02d.txt", folder.c_str(),
                       static_cast<int>(GetCurrentThreadId()), now.wYear, now.wMonth, now.wDay);
            name[399] = 0;
            wchar_t stamp[16];
            _snwprintf(stamp, 15, L"[%02d:%02d:%02d] ", now.wHour, now.wMinute, now.wSecond);
            stamp[15] = 0;
            std::wstring line = stamp;
            line += text.GetString();
            line += L"\r\n";
            // Converted here rather than through the runtime's locale, which is process-wide.
            int bytes = WideCharToMultiByte(kKoreanCodePage, 0, line.c_str(), static_cast<int>(line.size()),
                                            nullptr, 0, nullptr, nullptr);
            std::string narrow(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
            if (bytes > 0)
                WideCharToMultiByte(kKoreanCodePage, 0, line.c_str(), static_cast<int>(line.size()), &narrow[0],
                                    bytes, nullptr, nullptr);
            if (FILE* file = _wfopen(name, L"ab")) {
                fwrite(narrow.data(), 1, narrow.size(), file);
                fclose(file);
            }
        }
    }
    conn->m_csLog.Unlock();
}
