// What the upload and download tests' hosts share: the recording task bar and wake hook, the
// product's language, the owner window on the test's window thread, reading the transfer
// window's rows and buttons, waiting for a transfer thread's end, and answering name-conflict
// prompts.
#pragma once
#include "RoadServer.h"
#include "SeamSwap.h"
#include "TransferDlg.h"
#include "TransferTaskbar.h"
#include "WindowDriver.h"
#include <windows.h>
#include <atomic>
#include <map>
#include <string>
#include <vector>

namespace transfertest {

// What the task bar was told: errors, flashes, last value.
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

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

class TransferHost : public road::RoadTest {
protected:
    // The server, the interface library, empty logs, the recording task bar and wake hook, and
    // the texts in English.
    void SetUp() override;
    void TearDown() override;

    // Uses the language for the transfer's texts: 9 English, 18 Korean.
    void UseLanguage(unsigned short language);
    // The owner window the transfer thread reports to, a message-only window of the class on
    // the test's window thread (m_owner).
    void CreateOwner(WNDPROC proc, const wchar_t* className);

    // The name and status columns of the window's list.
    static std::vector<Row> ListRows(HWND window, int listId);
    static std::wstring ButtonText(HWND window, int id);
    // Waits for the thread to end and deletes it; false (and a failure) after the time-out.
    template <class Thread>
    static bool WaitForThreadEnd(Thread*& thread, DWORD timeoutMs)
    {
        if (!thread)
            return true;
        const bool ended = uitest::WaitUntil(
            [&] { return WaitForSingleObject(thread->m_hThread, 0) == WAIT_OBJECT_0; }, timeoutMs);
        EXPECT_TRUE(ended) << "the transfer thread did not end";
        if (!ended)
            return false;
        delete thread;
        thread = nullptr;
        return true;
    }

    HWND m_owner = nullptr;
    std::map<std::wstring, std::wstring> m_savedValues;   // registry values put back at the end
    testseam::Swap<CTransferDlg::ExecutionStateFn> m_wake{CTransferDlg::s_pfnExecutionState};
    testseam::Swap<CTransferTaskbar::Factory> m_taskbar{CTransferTaskbar::s_pfnCreate};
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

}
