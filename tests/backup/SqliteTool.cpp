// The sqlite3 tool, run through /bin/sh with its output in a file next to the database.
#include "SqliteTool.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace sqlitetool {

std::string UnixPath(const std::wstring& windowsPath)
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    char* path = toUnix(windowsPath.c_str());
    if (!path)
        return std::string();
    std::string out(path);
    HeapFree(GetProcessHeap(), 0, path);
    return out;
}

namespace {
std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

bool WriteAll(const std::wstring& path, const std::string& text)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return false;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return true;
}
} // namespace

std::string Query(const std::wstring& database, const std::string& sql)
{
    const std::wstring script = database + L".q.sh";
    const std::wstring output = database + L".q.out";
    DeleteFileW(output.c_str());
    const std::string line = "/usr/bin/sqlite3 -separator '|' " + Quote(UnixPath(database)) + " " + Quote(sql) +
                             " > " + Quote(UnixPath(output) + ".tmp") +
                             " 2>&1; mv " + Quote(UnixPath(output) + ".tmp") + " " + Quote(UnixPath(output)) + "\n";
    if (!WriteAll(script, line))
        return "<error>";
    const std::string unixScript = UnixPath(script);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring runner(self);
    runner = runner.substr(0, runner.find_last_of(L'\\') + 1) + L"run-job.sh";
    std::wstring command = L"run-job.sh " + std::wstring(unixScript.begin(), unixScript.end());
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(runner.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return "<error: cannot start sh (" + std::to_string(GetLastError()) + ")>";
    // A Linux program started from Wine gives no process to wait on: wait for its output.
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    for (int i = 0; i < 600 && GetFileAttributesW(output.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    DeleteFileW(script.c_str());
    FILE* f = _wfopen(output.c_str(), L"rb");
    if (!f)
        return "<error: no output>";
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    DeleteFileW(output.c_str());
    return text;
}

} // namespace sqlitetool
