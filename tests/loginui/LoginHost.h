// The log-in tests' host: plays the main frame against the end-to-end tests' server. It owns a
// session aimed at the server (with the domain and language lists the frame fetches first), an
// owner window that records what the log-in windows tell it, and a clean registry.
#pragma once
#include "LoginThread.h"
#include "RoadServer.h"
#include "ToviProto.h"
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <vector>

namespace logintest {

// What the owner window was told.
struct OwnerLog {
    std::atomic<int> results{0};
    std::atomic<int> lastResult{-1};
    std::atomic<int> localeChanges{0};
    std::atomic<int> lastLocale{0};
    std::atomic<int> closes{0};
};
OwnerLog& Owner();

// The skinned message box's window title.
extern const wchar_t kBoxTitle[];

class LoginHost : public road::RoadTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets the product's language (9 English, 18 Korean) as an installed product has it.
    void UseLanguage(unsigned short language);
    // Points the stored server of a product at the test server.
    void StoreServer(int product);
    // The frame's first requests on a fresh session: domains (A2) and languages (A5).
    void FetchLists();

    // Starts the login thread as the frame does; waits for its window. The thread object is the
    // host's (deleted in Finish or TearDown).
    CLoginThread* StartLogin(int product = 0);
    HWND LoginWindow() const { return m_login ? m_login->m_dlg.GetSafeHwnd() : nullptr; }
    HWND Item(int id) const { return GetDlgItem(LoginWindow(), id); }
    // Types id and password and presses the login button.
    void LogInAs(const wchar_t* id, const wchar_t* password);
    // Waits for the thread's end.
    bool WaitLoginEnd(DWORD timeoutMs = 15000);

    // Whether the server saw a request of that command since the last RESET.
    bool Saw(const char* command);
    // The live sessions of the user at the server.
    std::vector<std::string> Sessions(const char* user);
    // Single-session mode on and the demo account logged in through other, as on another PC: the
    // session a log-in meets. False (with the reason) when that log-in failed.
    ::testing::AssertionResult LoggedInElsewhere(protoserver::TestProto& other);

    CToviProto* m_session = nullptr;
    CLoginThread* m_login = nullptr;
    HWND m_owner = nullptr;
};

}
