// Helpers the server panes' commands share: the server's refusal shown the user's way, a
// protocol object of a command's own, the progress dialog run under the frame's modal rule, and
// the clipboard facts the menus look at.
//
// GUI thread only.
#pragma once
#include "ProtoRecords.h"
#include "ProtoShareRecords.h"
#include "ServerOperationHost.h"
#include "Strings.h"
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

class CWnd;
class CToviProto;
class CFileProgressDlg;
class CConfirmDlg;

namespace servercmd {

// The session's result message in the skinned box, "CorvaneIXO", error icon.
void ShowServerError(CWnd* owner, const CToviProto& session);
// The share dialogs' help page, through the frame.
void ShowPermissionHelp(IServerOperationHost* host);
// The window a command's dialogs belong to: the host's, else the pane's own.
CWnd* DialogOwnerOf(IServerOperationHost* host, CWnd* pane);
// A UI message by id in the skinned box with the given icon.
int ShowMessage(CWnd* owner, unsigned messageId, unsigned icon);
// Removes a backup PC after the user typed its name; true when the server removed it.
bool DeleteBackupPC(CWnd* owner, CToviProto& session, const _PROTO_FOLDER_INFO& pc);

// A new protocol object with the session's address, code and session id, connected for the
// pending command; null (the object freed) when the connection failed.
std::unique_ptr<CToviProto> OpenOwnSession(const CToviProto& session, HWND owner, uint16_t pendingCommand);

// The frame's running-operation mode while the send-file dialog runs (the progress dialog's
// modes are 0 to 3).
constexpr int kSendFilesOperation = 4;
// The send-file dialog's entry for a server row: ids, name, size and permission text, each
// cut to its member and terminated.
_SEND_FILES SendFileOf(const _PROTO_FOLDER_INFO& row);

// What a progress dialog reported.
struct ProgressOutcome {
    bool error = false;       // a request failed; the session holds the server's message
    bool untouched = true;    // no request went through
    bool cancelled = false;   // the user ended it (read from the untouched dialog's end)
    std::vector<_PROTO_FOLDER_INFO> done;
};

// Runs the progress dialog modal: the frame's running-operation mode is mode meanwhile, and
// with stopQuota the quota timer is stopped until the dialog ends, whatever the outcome.
ProgressOutcome RunProgress(IServerOperationHost* host, CFileProgressDlg& dialog, int mode, bool stopQuota);

// The questions the server panes ask before a command runs. A delete into the bin asks plainly;
// the others that delete warn that nothing comes back.
enum class Question {
    DeleteToBin,        // Delete: the items go into the recycle bin
    DeleteForGood,      // complete delete
    DeleteInBin,        // delete of entries of the recycle bin
    Restore,            // entries of the recycle bin back to where they were
    EmptyBin,           // the items are the bin's entries: a single one is named, several counted
    DeleteBackupPC,     // one backup PC, whose name the user types
};
// The confirmation's members for the question about items; a single item is named.
void PrepareQuestion(CConfirmDlg& confirm, Question question, const std::vector<_PROTO_FOLDER_INFO>& items);
// The user's yes; false without asking when there are no items.
bool Confirm(CWnd* owner, Question question, const std::vector<_PROTO_FOLDER_INFO>& items);

// The progress dialog's operations under the modal rule, a failure shown to the user. A delete
// into the recycle bin (toRecycleBin) or for good; a restore leaves the quota timer running.
ProgressOutcome RunDelete(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                          const std::vector<_PROTO_FOLDER_INFO>& items, bool toRecycleBin);
ProgressOutcome RunRestore(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                           const std::vector<_PROTO_FOLDER_INFO>& items);
ProgressOutcome RunEmptyBin(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                            const _PROTO_FOLDER_INFO& bin);

// Server items pasted into target: effect 1 copies, 2 moves, 0 does what the clipboard says.
// ran is false when there were no items.
struct PasteOutcome {
    bool ran = false;
    bool moved = false;
    ProgressOutcome progress;
};
// The clipboard's items.
PasteOutcome PasteServerItems(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                              const _PROTO_FOLDER_INFO& target, int effect);
// The given items (a drop's); the clipboard is neither read nor written.
PasteOutcome PasteItems(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                        const std::vector<_PROTO_FOLDER_INFO>& items, const _PROTO_FOLDER_INFO& target, bool move);

// Adds the items to the user's shortcuts (D6): the server's refusal, or its success, shown, and
// the frame's counters asked to follow. False when the server refused.
bool AddShortcuts(IServerOperationHost* host, CWnd* owner, CToviProto& session,
                  std::vector<_PROTO_FOLDER_INFO> items);

// The share settings of item (G0), then the share dialog: its result, or 0 after a refusal,
// which is shown. helpWnd gets the dialog's help requests.
INT_PTR RunShareDialog(CWnd* owner, CToviProto& session, _PROTO_FOLDER_INFO& item, HWND helpWnd,
                       IServerOperationHost* host);
// The group share dialog for folder: a new group share, or the folder's settings.
INT_PTR RunGroupShareDialog(CWnd* owner, CToviProto& session, const _PROTO_FOLDER_INFO& folder, HWND helpWnd,
                            bool newShare);

// "VARIRUDAD" on the clipboard / local files on the clipboard.
bool ClipboardHasServerItems();
bool ClipboardHasFiles();
UINT ServerItemsFormat();

// A display copy into a dialog's fixed member: cut to the member, always terminated.
template <size_t N>
void CopyShown(wchar_t (&target)[N], const wchar_t* text)
{
    wcsncpy(target, text, N - 1);
    target[N - 1] = 0;
}

// An index text into a dialog's member (the index fits any of them), always terminated.
template <size_t N>
void CopyId(char (&target)[N], const char* id, size_t idSize)
{
    size_t length = strnlen(id, idSize);
    if (length >= N)
        length = N - 1;
    std::memcpy(target, id, length);
    target[length] = 0;
}

// A record's 8-bit field as text (the field need not be terminated).
template <size_t N>
CString FieldText(const char (&field)[N])
{
    return CString(std::string(field, strnlen(field, N)).c_str());
}


}
