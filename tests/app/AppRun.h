// The end-to-end tests' side of the program: the test server of this folder's fixture and its
// control channel, a clean settings store pointed at the server, and CorvaneIXO.exe started as
// its own process and watched from outside as a user would (its windows, its boxes, its exit).
#pragma once
#include "ProtoServer.h"
#include <windows.h>
#include <string>
#include <vector>

namespace apprun {

extern const char kUser[];
extern const char kPassword[];

// Visible top-level windows of any process with this class and (when given) title.
std::vector<HWND> FindWindows(const wchar_t* className, const wchar_t* title);
std::wstring TextOf(HWND wnd);
// The texts of a window's children (a box's message is among them).
std::vector<std::wstring> ChildTexts(HWND wnd);
// A child control by id, searched through the whole tree.
HWND FindDescendant(HWND parent, int id);

// A visible dialog of any process that holds a control with this id (null when none in time).
HWND WaitForDialogWith(int childId, DWORD timeoutMs = 20000);
// Sets a control's text, as typing would leave it.
bool SetControlText(HWND dialog, int id, const wchar_t* text);
// Clicks a button of a dialog.
void Click(HWND dialog, int id);

class AppRoadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Control(const std::string& line) { return m_control.Send(line); }

    // Points the stored settings at the test server (or leaves no server stored).
    void StoreServer();
    // Stores the test account with automatic log-in on.
    void StoreAutoLogin();
    // Starts the program with these arguments; false when it could not start.
    bool Launch(const wchar_t* arguments = L"/NOUPDATE");
    // Another instance (not kept): its exit code, or -1 when it did not end in time.
    int LaunchAndWait(const wchar_t* arguments, DWORD timeoutMs);
    // The main window once it is shown (null when it is not within the time).
    HWND WaitForMainWindow(DWORD timeoutMs = 30000);
    // The program's skinned message box (null when none appears in time).
    HWND WaitForBox(DWORD timeoutMs = 20000);
    // Presses the box's first button (OK or Yes) and waits until it is gone.
    void AnswerBox(HWND box);
    // The texts of the box as one string (for messages).
    static std::wstring BoxText(HWND box);
    // Exit from the tray; true when the process ended in time.
    bool ExitFromTray(DWORD timeoutMs = 20000);
    bool WaitForExit(DWORD timeoutMs);
    // Ends the launched program if it still runs and lets go of it (before a new launch).
    void EndProcess();
    // Connection number of the newest request of a command; -1 when none was seen.
    int LastConnection(const char* command);
    std::vector<std::string> Sessions();

    protoserver::Ports m_ports;
    protoserver::Control m_control;
    PROCESS_INFORMATION m_process = {};
};

}
