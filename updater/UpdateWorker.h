// The download and replacement of the files of a download list, the work of the update
// dialog's worker thread.
//
// Nothing installed changes until every file of the list has been downloaded, deciphered and
// proven by its digest (and every program image by its signer) beside its target; then the
// targets are replaced under a journal (UpdateJournal.h), and a failure part-way puts back the
// files already replaced. A cancel is honoured between steps: before the replacement starts
// nothing has changed; once it started the run is rolled back.
#pragma once
#include "Strings.h"
#include "UpdateFileItem.h"
#include <windows.h>
#include <functional>

class CUpdateWorker {
public:
    enum Result { kDone, kFailed, kCancelled };

    // window (may be null) receives the progress messages; cancelEvent (may be null) stops the
    // run between steps. The list must outlive the worker.
    CUpdateWorker(const UpdateFileList& list, HANDLE cancelEvent, HWND window);

    // Called with FILENAME before each download.
    std::function<void(const CString&)> onFile;
    // Called with the text of a failure to show (never after a cancel).
    std::function<void(const CString&)> onError;
    // Asked once every file is proven, just before the first installed file changes: false
    // (the run was given up meanwhile) ends the run as cancelled with nothing replaced.
    std::function<bool()> beginReplacement;
    // The journal of the replacement; empty: beside the first target.
    CString journalPath;
    // The signer every program image must carry: the running update program's. Empty (an
    // unsigned update program) accepts no program image.
    std::wstring signer;

    Result Run();

private:
    bool Cancelled() const;
    Result Fail(const CString& text);
    bool Fetch(const _UPDATE_FILE_ITEM& item, struct _ENC_CTX& ctx, CString& error);
    bool Proven(const _UPDATE_FILE_ITEM& item, const CString& staged, CString& error);
    void RemoveStaged();

    const UpdateFileList& m_list;
    HANDLE m_cancel;
    HWND m_window;
};
