// Windows version, language switch and dialog font of the update program.
#include "FileUtils.h"
#include "ToviRegistry.h"
#include <atomic>

namespace {
std::atomic<LANGID> g_textLanguage{ MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT) };
}

int CFileUtils::WindowsTypeOf(DWORD platform, DWORD major, DWORD minor, bool extended)
{
    if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4) {
        if (minor == 0) return 1;
        if (minor == 10) return 2;
        if (minor == 90) return 3;
        return -1;
    }
    if (platform != VER_PLATFORM_WIN32_NT)
        return -1;
    if (major <= 4)
        return 4;
    if (major == 5 && minor == 0)
        return 5;
    if (!extended)
        return -1;
    if (major == 5 && minor == 1) return 6;
    if (major == 5 && minor == 2) return 7;
    if (major == 6 && minor == 0) return 8;
    if (major == 6 && minor == 1) return 9;
    return -1;
}

int CFileUtils::GetWindowsType()
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    bool extended = true;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        extended = false;
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)))
            return -1;
    }
#pragma GCC diagnostic pop
    return WindowsTypeOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, extended);
}

bool CFileUtils::SetLocaleChange(int language)
{
    LANGID id = MAKELANGID(language, SUBLANG_DEFAULT);
    int type = GetWindowsType();
    if (type == -1)
        return false;
    bool ok;
    if (type >= 8) {
        typedef LANGID(WINAPI * SetUiLanguage)(LANGID);
        HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        auto set = kernel != nullptr ? reinterpret_cast<SetUiLanguage>(
                                           reinterpret_cast<void*>(::GetProcAddress(kernel, "SetThreadUILanguage")))
                                     : nullptr;
        ok = set != nullptr && set(id) == id;
    } else {
        ok = ::SetThreadLocale(MAKELCID(id, SORT_DEFAULT)) != FALSE;
    }
    // The string table is chosen by this language, whatever the system made of the request.
    if (ok)
        g_textLanguage = id;
    return ok;
}

LANGID CFileUtils::TextLanguage()
{
    return g_textLanguage;
}

CString CFileUtils::GetFont(int index)
{
    int language = LANG_KOREAN;
    CToviRegistry::GetLanguage(index, language);
    return language == LANG_ENGLISH ? CString(L"tahoma") : CString(L"굴림");
}
