// Stands in for CorvaneUpdate.exe in a test's install folder: writes how it was started (its
// arguments one a line, then "cwd=" and the working folder) to started.txt beside itself.
#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include <string>

int wmain()
{
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    wchar_t* slash = wcsrchr(own, L'\\');
    if (slash == nullptr)
        return 2;
    wcscpy(slash + 1, L"started.txt");
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    // Written whole under a temporary name and then renamed: a reader never sees half of it.
    std::wstring temp = std::wstring(own) + L".part";
    FILE* out = _wfopen(temp.c_str(), L"w, ccs=UTF-8");
    if (out == nullptr)
        return 3;
    for (int i = 1; args && i < count; ++i)
        fwprintf(out, L"%ls\n", args[i]);
    fwprintf(out, L"cwd=%ls\n", folder);
    fclose(out);
    ::LocalFree(args);
    return ::MoveFileExW(temp.c_str(), own, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
