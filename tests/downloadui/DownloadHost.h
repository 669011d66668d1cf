// The download tests' host: plays the main program's splitter against the end-to-end tests'
// server. It starts CDownloadThread suspended, hands over the job and its session, resumes it,
// and keeps a main window that records what the thread tells it.
#pragma once
#include "AutoAnswer.h"
#include "DownloadThread.h"
#include "TransferHost.h"
#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace downloadtest {

using transfertest::PromptAnswerer;
using transfertest::Row;
using transfertest::Taskbar;
using transfertest::Utf8;
using transfertest::WakeCalls;
using transfertest::Wide;

// What the main window was told.
struct MainLog {
    std::atomic<int> exits{0};
};
MainLog& Main();

class DownloadHost : public transfertest::TransferHost {
protected:
    void SetUp() override;
    void TearDown() override;

    // A file on the server under "My Files" (the server's test pattern, or the given bytes);
    // its index.
    std::string PutFile(const std::string& path, size_t size, const std::string& bytes = std::string());
    std::string PutFolder(const std::string& path);
    // A job item for a server item under "My Files" (path with '/'), into the local folder.
    _DOWNLOADINFO FileItem(const std::string& path, const std::wstring& dest);
    _DOWNLOADINFO FolderItem(const std::string& path, const std::wstring& dest);
    // Starts a download of the items as the splitter does.
    CDownloadThread* Start(std::vector<_DOWNLOADINFO> items);
    // Waits until the run is over (the window offers to exit); false after the time-out.
    bool WaitForRunEnd(CDownloadThread* thread, DWORD timeoutMs = 30000);
    // Ends the window as the user would and waits for the thread; deletes it.
    void Finish(CDownloadThread*& thread);
    bool WaitForExit(CDownloadThread*& thread, DWORD timeoutMs = 15000) { return WaitForThreadEnd(thread, timeoutMs); }

    HWND Window(CDownloadThread* thread) { return thread->m_dlg.GetSafeHwnd(); }
    std::vector<Row> Rows(CDownloadThread* thread, int listId = 10021) { return ListRows(Window(thread), listId); }
    std::wstring CancelText(CDownloadThread* thread) { return ButtonText(Window(thread), IDCANCEL); }
    std::string ServerField(const std::string& path, const char* field);
    // How many requests of the command the server took since the test began.
    long RequestCount(const std::string& command);

    std::wstring m_dest;
};

// Whether the first box the answerer met said these words.
bool FirstBoxSaid(const uitest::AutoAnswer& boxes, const std::wstring& words);

}
