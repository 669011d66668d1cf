// Decisions of the main window that need no window: the command line, timer intervals, the
// tray menu's enable flags, pop-up slots, the caption bar's form bodies, the server path form,
// the window's first size, and the two log-out guards.
#pragma once
#include "ProtoRecords.h"
#include "Strings.h"
#include <windows.h>
#include <atomic>
#include <vector>

namespace mainframe {

// What the command line asks for: "/NOUPDATE" (any case) as the first argument skips the
// update check; the next argument, or the only one when it is not the switch, is the
// single-sign-on id.
struct StartArgs {
    bool noUpdate = false;
    CString ssoId;          // empty when none was given
};
StartArgs ParseStartArgs(const wchar_t* commandLine);

// A server interval in seconds (decimal text) as timer milliseconds; 0 when the text is empty,
// not a number or not above 0, and such an interval arms no timer.
int IntervalMs(const char* seconds);
// The first quota line whose interval text is not empty, as milliseconds (0: none usable).
int QuotaIntervalMs(const std::vector<_QUOTA_INFO>& quota);

// The five alert kinds of the options (alarm, share, link, draft, approval), in the order of
// the information bar's counters; any of them on arms the alert timer.
enum { kAlertKinds = 5 };
bool AlertKindOn(const _OPTION_INFO& option, int kind);
bool AnyAlertKindOn(const _OPTION_INFO& option);

// Enable flags of the tray menu's commands.
struct TrayFlags {
    BOOL login, logout, changePassword, config, exit;
};
TrayFlags TrayFlagsFor(bool loggedIn, const CString& customerCode);

// The frame's modeless pop-up slot of a pop-up kind, or -1 for a kind without a slot.
enum { kPopupSlots = 9 };
int PopupSlot(int kind);

// Body of a caption-bar page: link=<page>&uid=<user>&sess=<session>, values percent-encoded.
CString CaptionPageBody(const wchar_t* page, const CString& userId, const CString& sessionId);

// The server path as it is stored: the folder names from the top level down, joined with '/';
// split again by the same rule (empty names dropped).
CString JoinServerPath(const std::vector<CString>& names);
std::vector<CString> SplitServerPath(const CString& path);

// The last server path (folder names from the top level) and local path, in the store the
// next log-in reads them from; a local path on a CD-ROM drive is stored empty.
bool StoreLastPaths(const std::vector<CString>& serverNames, const CString& localPath);
bool RestoreLastPaths(std::vector<CString>& serverNames, CString& localPath);

// The window's first rectangle in a work area: 7/10 of its width wide, 2/3 of that high,
// centred.
RECT FirstFrameRect(const RECT& workArea);

// Idle for longer than the limit (milliseconds, 0: never), with tick-count wrap-around.
bool IdleExpired(DWORD now, DWORD lastInput, int limitMs);

// The forced log-out is claimed once by whichever thread sees the session end first.
class ForcedLogoutGuard {
public:
    // True for exactly one caller until Reset.
    bool Claim() { return !m_pending.exchange(true); }
    bool Pending() const { return m_pending.load(); }
    void Reset() { m_pending.store(false); }

private:
    std::atomic<bool> m_pending{false};
};

// Keeps a log-out that arrives while a modal operation runs until the last one ended. UI
// thread only.
class LogoutGate {
public:
    void EnterModal() { ++m_modal; }
    // True when a log-out waited and should run now.
    bool LeaveModal()
    {
        if (m_modal > 0)
            --m_modal;
        if (m_modal == 0 && m_deferred) {
            m_deferred = false;
            return true;
        }
        return false;
    }
    // True when the log-out may run now; otherwise it is kept for LeaveModal.
    bool Request()
    {
        if (m_modal > 0) {
            m_deferred = true;
            return false;
        }
        return true;
    }
    bool Busy() const { return m_modal > 0; }
    bool Deferred() const { return m_deferred; }
    void Clear() { m_deferred = false; }

private:
    int m_modal = 0;
    bool m_deferred = false;
};

}
