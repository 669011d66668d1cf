// The sharing dialogs' host: plays the main program against the end-to-end tests' server with
// a seeded organisation, runs a dialog modally on the UI thread and reads the controls of the
// running dialog from the test thread.
#pragma once
#include "RoadServer.h"
#include "Strings.h"
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sharetest {

class ShareHost : public road::RoadTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Uses the language for the dialogs' texts: 9 English, 18 Korean.
    void UseLanguage(unsigned short language);
    // Groups over several pages (page size 3): four root groups, five sub-groups of the first,
    // two users in the first and one in a sub-group.
    void SeedOrganisation();
    // A folder (or file) of the test account; its index.
    std::string MakeFolder(const std::string& path);
    std::string MakeFile(const std::string& path, const std::string& text = "hello");

    // Runs the dialog's DoModal on the UI thread; the window once shown (null after the time-out).
    HWND StartModal(std::function<INT_PTR()> doModal, const wchar_t* title);
    // Waits for the modal run to end; its result (-99 when it did not end in time).
    INT_PTR WaitModal(DWORD timeoutMs = 10000);

    // Controls of the running dialog.
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    std::vector<std::wstring> TreeLevel(HTREEITEM parent) const;   // texts of the children
    HTREEITEM TreeChild(HTREEITEM parent, const std::wstring& text) const;
    std::vector<std::wstring> ListColumn(int id, int column) const;
    bool SelectRows(int id, const std::vector<int>& rows) const;
    int RowOf(int id, int column, const std::wstring& text) const;
    // Waits until the picker's worker is idle (the search edit writable again) and stays so.
    bool WaitIdle(DWORD timeoutMs = 10000) const;
    void Check(int id, bool on) const;
    // Waits until no message box is left and the dialog's thread has finished what followed
    // it (a refusal empties and focuses its field after the box).
    bool Settle() const;

    // The records of the newest request of a command as the server saw it.
    std::vector<std::map<int, std::string>> Last(const std::string& command);
    // Names in a folder of another account ("File box").
    std::string List(const std::string& user, const std::string& path);

    std::shared_ptr<uitest::UiTask> m_task;
    // The product's language and dialog face as they were before the test (absent ones
    // missing), put back at the end.
    std::map<std::wstring, std::wstring> m_savedValues;
    INT_PTR m_result = -99;
    HWND m_dialog = nullptr;
};

}
