// The upload tests' host: plays the main program's splitter against the end-to-end tests' server.
// It starts CUploadThread suspended, hands over the job and its session, resumes it, and keeps
// an owner window that records what the upload tells it.
#pragma once
#include "RoadServer.h"
#include "ToviMessages.h"
#include "TransferTaskbar.h"
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

// What the task bar was told: states, errors, last value.
struct TaskbarLog {
    std::atomic<int> errors{0};
    std::atomic<int> flashes{0};
    std::atomic<ULONGLONG> lastValue{0};
};
TaskbarLog& Taskbar();

// Wake requests (SetThreadExecutionState), newest last.
std::vector<EXECUTION_STATE> WakeCalls();

struct Row {
    std::wstring name;
    std::wstring status;
};

class UploadHost : public road::RoadTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Uses the language for the upload's texts: 9 English, 18 Korean.
    void UseLanguage(unsigned short language);
    // A job item for a local path into "My Files".
    _UPLOADINFO Item(const std::wstring& path, bool folder, DWORD_PTR data = 0x5151);
    // Starts an upload of the items as the splitter does.
    CUploadThread* Start(std::vector<_UPLOADINFO> items);
    // Waits until the run is over (the window offers to exit); false after the time-out.
    bool WaitForRunEnd(CUploadThread* thread, DWORD timeoutMs = 30000);
    // Ends the window as the user would and waits for the thread; deletes it.
    void Finish(CUploadThread*& thread);
    // Waits for a thread that ends by itself; deletes it.
    bool WaitForExit(CUploadThread*& thread, DWORD timeoutMs = 15000);

    HWND Window(CUploadThread* thread) { return thread->m_dlg.GetSafeHwnd(); }
    std::vector<Row> Rows(CUploadThread* thread, int listId = 10021);
    std::wstring CancelText(CUploadThread* thread);
    // The server's record of a file under "My Files".
    std::string ServerItem(const std::string& path);
    // Whether the server's copy holds exactly the local file's bytes (downloaded and compared).
    ::testing::AssertionResult ServerHoldsSame(const std::vector<_PROTO_FOLDER_INFO>& listing, const wchar_t* name,
                         const std::wstring& local);
    std::vector<_PROTO_FOLDER_INFO> ListPath(const std::vector<std::wstring>& folders);
    // Whether the server saw a request of that command since the last RESET.
    bool Saw(const char* command);

    std::string m_myFiles;
    HWND m_owner = nullptr;
};

// Answers name-conflict prompts: ticks "apply to all" when asked, presses the button.
class PromptAnswerer {
public:
    PromptAnswerer(int buttonId, bool applyAll);
    ~PromptAnswerer();
    int Count() const { return m_count; }

private:
    static DWORD WINAPI Run(LPVOID self);
    int m_button;
    bool m_applyAll;
    std::atomic<int> m_count{0};
    std::atomic<bool> m_stop{false};
    HANDLE m_thread;
};

std::string Utf8(const std::wstring& text);

}
