// Stands in for a product program in the update tests: appends its command line to
// "started.txt" beside itself and ends.
#include <windows.h>
#include <string>

int main()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring marker(path);
    marker = marker.substr(0, marker.rfind(L'\\')) + L"\\started.txt";
    std::wstring line = GetCommandLineW();
    line += L"\r\n";
    HANDLE file = CreateFileW(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), DWORD(line.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
    }
    return 0;
}
