// Files, folders and the HTTP fixture for the update program's tests.
#include "UpdaterFiles.h"
#include "SHA1.h"
#include "TestPaths.h"
#include <windows.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace updtest {

void MakeDirs(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

void PutFile(const std::wstring& path, const std::string& bytes)
{
    MakeDirs(path.substr(0, path.rfind(L'\\')));
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Sha1Hex(const std::string& bytes, bool upper)
{
    CSHA1 sha;
    sha.Update(reinterpret_cast<const unsigned char*>(bytes.data()), unsigned(bytes.size()));
    sha.Final();
    char hex[41] = {};
    sha.ReportHashA(hex, 41, upper ? CSHA1::REPORT_HEX_UPPER : CSHA1::REPORT_HEX_LOWER);
    return hex;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.rfind(L'\\'));
}

int CountFilesEndingWith(const std::wstring& folder, const std::wstring& suffix)
{
    int count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += CountFilesEndingWith(folder + L"\\" + name, suffix);
        else if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            ++count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

unsigned long ServiceState()
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr)
        return 0;
    DWORD state = 0;
    SC_HANDLE service = OpenServiceW(manager, L"CorvaneIXO", SERVICE_QUERY_STATUS);
    if (service != nullptr) {
        SERVICE_STATUS status = {};
        if (QueryServiceStatus(service, &status))
            state = status.dwCurrentState;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return state;
}

namespace {

struct BoxSearch {
    DWORD process;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM param)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t cls[32] = {}, title[64] = {};
    GetClassNameW(window, cls, 31);
    GetWindowTextW(window, title, 63);
    if (owner == search->process && IsWindowVisible(window) && wcscmp(cls, L"#32770") == 0 &&
        wcscmp(title, L"Corvane live update") != 0)
        search->boxes.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectTexts(HWND child, LPARAM param)
{
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 31);
    if (wcscmp(cls, L"Static") == 0) {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 511);
        if (text[0] != L'\0')
            reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
    }
    return TRUE;
}

}

unsigned long RunAnswering(const std::wstring& exe, const std::wstring& arguments, unsigned long timeoutMs,
                           std::vector<std::wstring>* texts)
{
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    std::vector<HWND> answered;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(pi.hProcess, 0xFFFFFFFE);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
        BoxSearch search = { pi.dwProcessId, {} };
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.boxes) {
            bool seen = false;
            for (HWND a : answered)
                seen = seen || a == box;
            if (seen)
                continue;
            answered.push_back(box);
            if (texts != nullptr)
                EnumChildWindows(box, CollectTexts, reinterpret_cast<LPARAM>(texts));
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    DWORD code = 0xFFFFFFFE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

}
