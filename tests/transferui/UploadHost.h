// The upload tests' host: plays the main program's splitter against the end-to-end tests' server.
// It starts CUploadThread suspended, hands over the job and its session, resumes it, and keeps
// an owner window that records what the upload tells it.
#pragma once
#include "ToviMessages.h"
#include "TransferHost.h"
#include "UploadThread.h"
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace uploadtest {

// What the owner window was told.
struct OwnerLog {
    std::atomic<int> done{0};
    std::atomic<int> exits{0};
    std::atomic<DWORD_PTR> lastDoneData{0};
    std::mutex lock;
    std::vector<std::wstring> approvals;
};
OwnerLog& Owner();

using transfertest::PromptAnswerer;
using transfertest::Row;
using transfertest::Taskbar;
using transfertest::Utf8;
using transfertest::WakeCalls;

class UploadHost : public transfertest::TransferHost {
protected:
    void SetUp() override;

    // A job item for a local path into "My Files".
    _UPLOADINFO Item(const std::wstring& path, bool folder, DWORD_PTR data = 0x5151);
    // Starts an upload of the items as the splitter does.
    CUploadThread* Start(std::vector<_UPLOADINFO> items);
    // Waits until the run is over (the window offers to exit); false after the time-out.
    bool WaitForRunEnd(CUploadThread* thread, DWORD timeoutMs = 30000);
    // Ends the window as the user would and waits for the thread; deletes it.
    void Finish(CUploadThread*& thread);
    // Waits for a thread that ends by itself; deletes it.
    bool WaitForExit(CUploadThread*& thread, DWORD timeoutMs = 15000) { return WaitForThreadEnd(thread, timeoutMs); }

    HWND Window(CUploadThread* thread) { return thread->m_dlg.GetSafeHwnd(); }
    std::vector<Row> Rows(CUploadThread* thread, int listId = 10021) { return ListRows(Window(thread), listId); }
    std::wstring CancelText(CUploadThread* thread) { return ButtonText(Window(thread), IDCANCEL); }
    // The server's record of a file under "My Files".
    std::string ServerItem(const std::string& path);
    // Whether the server's copy holds exactly the local file's bytes (downloaded and compared).
    ::testing::AssertionResult ServerHoldsSame(const std::vector<_PROTO_FOLDER_INFO>& listing, const wchar_t* name,
                         const std::wstring& local);
    std::vector<_PROTO_FOLDER_INFO> ListPath(const std::vector<std::wstring>& folders);
    // Whether the server saw a request of that command since the last RESET.
    bool Saw(const char* command);
    // Waits until the window's file bar names the file and shows it partly sent.
    ::testing::AssertionResult MidFile(HWND window, const wchar_t* name, DWORD timeoutMs = 30000);

    std::string m_myFiles;
};

}
