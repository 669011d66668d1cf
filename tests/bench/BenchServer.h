// What the benchmark programs share: a test server of their own, its control line, the clock,
// a log-in of the bench account, a window that takes the transfers' reports and source files.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class CToviProto;

namespace bench {

typedef std::chrono::steady_clock Clock;

inline double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// One line out, one line back.
class ControlLine {
public:
    bool Connect(int port);
    std::string Send(const std::string& line);

private:
    SOCKET m_socket = INVALID_SOCKET;
};

// Starts T:\native\bin\start-server.sh with its port file in scratch (the server ends with its
// control line); false when it did not come up.
bool StartServer(const std::wstring& scratch, int& port, int& control);

// Logs the account "bench" in on 127.0.0.1:port; the protocol's result code.
int LogIn(CToviProto& proto, int port, const char* connectTimeout, const char* socketTimeout);

// How much a run moves: megabytes of the large file (first argument, 256 by default) and the
// number of small files (second argument, 2000 by default).
struct RunSize {
    uint64_t megabytes;
    int files;
    uint64_t bytes;
};
RunSize ReadRunSize(int argc, char** argv);

// Sockets, the scratch folder and a server of the program's own with the bench account and
// factor 32 (and SEED-OFB throughout when fixedCipher); false, with a line said, when the server
// did not come up.
bool OpenBench(const wchar_t* scratch, ControlLine& control, int& port, bool fixedCipher);

// Logs the bench account in, reads the options and the top level; the index of "My Files", or
// empty, with a line said, when a step failed.
std::string LogInToMyFiles(CToviProto& proto, int port);

// The large file at big and the small files of 4 KB in tree (their paths into small); false,
// with a line said, when they could not be written.
bool WriteSources(const std::wstring& big, const std::wstring& tree, const RunSize& run,
                  std::vector<std::wstring>& small);

// A new server folder under parent; its index, or empty.
std::string MakeFolder(CToviProto& proto, const std::string& parent, const wchar_t* name);

// The bare protocol upload of files into a server folder, up to its last result; seconds, or -1.
double BareUpload(CToviProto& proto, HWND wnd, const std::string& folder, const std::vector<std::wstring>& files);

// Prints the rates of the bare and the other way (named way) and their ratios; false, with a
// line said, when a run failed (seconds not above 0).
bool Report(const char* way, const RunSize& run, double bareBig, double bareTree, double big, double tree,
            const CToviProto& proto);

// A message-only window answering with proc, on a thread of its own that pumps its messages
// (the progress reports of a bare transfer, the end messages a window sends its owner). The
// window exists once Start returned; it lives as long as the program.
class WindowThread {
public:
    bool Start(WNDPROC proc, const wchar_t* className);
    HWND wnd = nullptr;

private:
    static DWORD WINAPI Main(LPVOID param);
    WNDPROC m_proc = nullptr;
    const wchar_t* m_className = nullptr;
    HANDLE m_ready = nullptr;
};

// An empty folder at path: whatever an earlier run left there is deleted first, so that every
// run fetches or sends afresh.
bool FreshFolder(const std::wstring& path);

// Writes size bytes of a pseudo-random sequence started from seed; false when it could not.
bool WriteSource(const std::wstring& path, uint64_t size, uint32_t seed);

}
