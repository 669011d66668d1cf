// Helpers the server panes' commands share: the server's refusal shown the user's way, a
// protocol object of a command's own, the progress dialog run under the frame's modal rule, and
// the clipboard facts the menus look at.
//
// GUI thread only.
#pragma once
#include "ProtoRecords.h"
#include "ServerOperationHost.h"
#include "Strings.h"
#include <cstdint>
#include <memory>
#include <vector>

class CWnd;
class CToviProto;
class CFileProgressDlg;

namespace servercmd {

// The session's result message in the skinned box, "CorvaneIXO", error icon.
void ShowServerError(CWnd* owner, const CToviProto& session);
// A UI message by id in the skinned box with the given icon.
int ShowMessage(CWnd* owner, unsigned messageId, unsigned icon);

// A new protocol object with the session's address, code and session id, connected for the
// pending command; null (the object freed) when the connection failed.
std::unique_ptr<CToviProto> OpenOwnSession(const CToviProto& session, HWND owner, uint16_t pendingCommand);

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

// "VARIRUDAD" on the clipboard / local files on the clipboard.
bool ClipboardHasServerItems();
bool ClipboardHasFiles();
UINT ServerItemsFormat();

// Copies a wide text into a fixed member, terminated; false when it does not fit.
bool CopyBounded(wchar_t* target, size_t capacity, const wchar_t* text);
bool CopyBounded(char* target, size_t capacity, const char* text);

}
