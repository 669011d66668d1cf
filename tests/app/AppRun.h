// The end-to-end tests' side of the program: the test server of this folder's fixture and its
// control channel, a clean settings store pointed at the server, and CorvaneIXO.exe started as
// its own process and watched from outside as a user would (its windows, its boxes, its exit).
#pragma once
#include "ProtoRecords.h"
#include "ProtoServer.h"
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <initializer_list>
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

// The control channel speaks UTF-8.
std::wstring FromUtf8(const std::string& text);
// Some bytes that are not the server's own test pattern.
std::string SomeBytes(size_t count, unsigned seed);
// A file's whole content ("" when it cannot be read).
std::string ReadWholeFile(const std::wstring& path);
// The interface library's transfer windows, by title in either language.
std::vector<HWND> TransferWindows(bool upload);
// The transfer window's run has ended: its cancel button turned into the exit button.
bool TransferRunOver(HWND window);

// Sends a message whose lParam points at buffer through memory of the window's process; the
// buffer comes back as the window left it. place may point fields of the buffer into that memory
// (remote is where the buffer lies there).
LRESULT RemoteSend(HWND wnd, UINT message, WPARAM wParam, std::vector<BYTE>& buffer,
                   const std::function<void(BYTE* remote, std::vector<BYTE>& buffer)>& place = nullptr);
// One cell of another process's list view; one item's text of its tree view.
std::wstring RemoteListText(HWND list, int row, int column);
std::wstring RemoteTreeText(HWND tree, HTREEITEM item);
// The title of a list's column.
std::wstring RemoteColumnText(HWND list, int column);
// The child of a tree's item (null: a top item) whose label reads name, or null.
HTREEITEM RemoteTreeChild(HWND tree, HTREEITEM parent, const std::wstring& name);
// A list row's bounds in the list's client coordinates (empty when the row is not there).
RECT RemoteListRowRect(HWND list, int row);
// The row whose first column reads name; -1 when none.
int RemoteListRow(HWND list, const std::wstring& name);

// Right-clicks a point (client coordinates) of a control of the program as the mouse would and
// chooses the menu's entry at position (1: the first; separators are not counted) with the keys;
// position 0 closes the menu with Escape.
// A screenshot of the open menu goes to shot when one is named. False when no menu opened.
bool ChooseFromMenuAt(HWND frame, HWND control, POINT at, int position = 1, const std::wstring& shot = std::wstring());
// The same on a tree item, and on a list row (row < 0: the list's empty space below its rows).
bool ChooseFromTreeMenu(HWND frame, HWND tree, HTREEITEM item, int position = 1);
bool ChooseFromListMenu(HWND frame, HWND list, int row, int position = 1, const std::wstring& shot = std::wstring());
// A double-click on the label of a list's row, as the mouse gives it.
void DoubleClickRow(HWND list, int row);
// The open menu has closed (true at once when none is open).
bool MenuClosed(DWORD timeoutMs = 5000);

// A tree item's label bounds in the tree's client coordinates (empty when it is not shown).
RECT RemoteTreeItemRect(HWND tree, HTREEITEM item);
// A click with the mouse on a tree item, which also gives the tree the focus.
void ClickTreeItem(HWND tree, HTREEITEM item);
// Keys typed as the keyboard gives them to the window with the focus: the held keys go down
// first and come up last.
void TypeKeys(std::initializer_list<WORD> held, WORD key);
// A click with the mouse on the list's row named name (empty: on the list below its rows), which
// also makes that list the active pane; false when no such row shows in time.
bool ClickListRow(HWND list, const std::wstring& name, DWORD timeoutMs = 20000);

// Input at a screen point, as the pointer would give it (flags: the buttons' MOUSEEVENTF_ bits).
void MouseAt(POINT at, DWORD flags);
// The centre of a rectangle of another process's window, in screen coordinates.
POINT ScreenPoint(HWND wnd, const RECT& client);
// A user's drag with the left button from one screen point to another: the button goes down,
// the pointer leaves in small steps (past the drag distance) and then travels in steps, rests
// at the target for some drag-overs, and the button comes up there.
void DragWithMouse(POINT from, POINT to);

// Files on the clipboard as another program puts them: a bare wide CF_HDROP block, no drop effect.
bool PutFilesOnClipboard(const std::vector<std::wstring>& paths);

// A visible dialog of any process that holds a control with this id (null when none in time).
HWND WaitForDialogWith(int childId, DWORD timeoutMs = 20000);
// Sets a control's text, as typing would leave it.
bool SetControlText(HWND dialog, int id, const wchar_t* text);
// Clicks a button of a dialog.
void Click(HWND dialog, int id);

// A server item as the server list puts it on the clipboard (type "F" or "D", size in bytes).
_PROTO_FOLDER_INFO ServerItem(const char* type, const std::string& idx, const std::wstring& name, const char* size);

// A permission text (the server's 31 flags) that allows only the given flags.
std::string PermissionsAllowing(std::initializer_list<int> allowed);

// The rows of a list control of another process.
int ListRowCount(HWND list);

// A fresh folder named name in the user's Documents (where the local panes show real files); an
// empty path when it could not be made.
std::wstring MakeDocumentsFolder(const std::wstring& name);

// The main window's command bar and the controls of its four panes (null where one is missing).
struct MainPanes {
    HWND bar = nullptr, serverTree = nullptr, serverList = nullptr, localTree = nullptr, localList = nullptr;
    bool All() const { return bar && serverTree && serverList && localTree && localList; }
};
MainPanes PanesOf(HWND frame);

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
    // Starts the program logged in automatically in language, its local panes showing localPath
    // (empty: My Computer); the main window, or null with the reason as a failure.
    HWND LaunchShowing(unsigned short language, const std::wstring& localPath);
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
    // The server's count of requests of a command (all commands when null).
    int RequestCount(const char* command = nullptr);
    // Waits until the server has seen no new request of the command (any when null) for quietMs:
    // the requests a step set off are over. False when they still came at the time-out.
    bool WaitForQuietServer(const char* command = nullptr, DWORD quietMs = 700, DWORD timeoutMs = 20000);
    // Waits until the program's window has handled everything posted to it so far; false when it
    // did not answer in time.
    static bool WaitForIdleWindow(HWND window, DWORD timeoutMs = 15000);
    // Connection number of the newest request of a command; -1 when none was seen.
    int LastConnection(const char* command);
    // The server's copy of a file of the demo user, path under "My Files" (the server keeps its
    // state under T:); a text starting "<missing" when there is none.
    std::string ServerBytes(const std::string& path);
    // The server's item id of a demo user's item ("My Files/..."); empty when none.
    std::string Idx(const std::string& path);
    std::vector<std::string> Sessions();
    // Logs the demo user in on a session of its own, as another program would (the caller logs it
    // out); false, with the server's words as a failure, when it is refused.
    bool SideLogin(protoserver::TestProto& proto);

    protoserver::Ports m_ports;
    protoserver::Control m_control;
    PROCESS_INFORMATION m_process = {};
};


// A test's own update site on the HTTP fixture (www\<test name>\control\app) and its own
// install folder in the scratch. The server's update address is cleared and the description
// removed afterwards: later programs must find no update to run.
class UpdateSiteTest : public AppRoadTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Points the server's update address at this test's site.
    void ServeUpdates();
    // The site's plain module description; the fixture enciphers it as the program asks for .enc.
    void WriteDescription(const std::string& ini);
    // Stores the install folder where the installer keeps it.
    static bool StoreInstallDir(const std::wstring& folder);

    std::string m_name;
    std::wstring m_www, m_install;
};

}
