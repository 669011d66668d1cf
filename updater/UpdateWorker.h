// The download and replacement of the files of a download list, the work of the update
// dialog's worker thread.
//
// Nothing installed changes until every file of the list has been downloaded, deciphered and
// proven by its digest beside its target; then each target is replaced in one rename, and a
// failure part-way puts back the files already replaced. A cancel is honoured between steps:
// before the replacement starts nothing has changed; once it started the run is rolled back.
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

    Result Run();

    // The names beside a target that the run uses.
    static CString StagedPath(const CString& target) { return target + L".upd-new"; }
    static CString DownloadedPath(const CString& target) { return target + L".upd-enc"; }
    static CString KeptPath(const CString& target) { return target + L".upd-old"; }

private:
    struct Replaced {
        CString target;
        bool hadOriginal;
    };

    bool Cancelled() const;
    Result Fail(const CString& text);
    bool Fetch(const _UPDATE_FILE_ITEM& item, struct _ENC_CTX& ctx, CString& error);
    bool ReplaceAll(CString& error);
    void RollBack(const std::vector<Replaced>& done);
    void RemoveStaged();

    const UpdateFileList& m_list;
    HANDLE m_cancel;
    HWND m_window;
};
