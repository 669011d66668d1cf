// The record of a replacement in progress, kept beside the install so that a run that ends
// abruptly (killed, power lost) is finished or undone at the next start of the update program.
//
// A replacement renames each original aside (same folder, so the same volume: no copy) and
// moves the proven new file into its place. The journal is written only once every new file
// is staged and proven; each rename is recorded as it happens. Any thread; one run at a time.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <functional>
#include <vector>

namespace updatejournal {

// Names beside a target that a run uses.
inline CString StagedPath(const CString& target) { return target + L".upd-new"; }
inline CString DownloadedPath(const CString& target) { return target + L".upd-enc"; }
inline CString KeptPath(const CString& target) { return target + L".upd-old"; }
// The journal of an install folder.
CString PathFor(const CString& installDir);

// Replaces every target by its staged file, recording each step in the journal at
// journalPath. On false everything is put back as it was (the staged files removed) and
// failedTarget names the file that could not be replaced. cancelled (may be empty) is asked
// before each file; a true answer rolls back too.
bool ReplaceStaged(const CString& journalPath, const std::vector<CString>& targets, CString& failedTarget,
                   const std::function<bool()>& cancelled);

enum class Outcome { kNothing, kFinished, kUndone, kFailed };
// Finishes (when every new file is still there) or undoes the replacement that the journal at
// journalPath records as unfinished, then removes the journal. Then removes what any run left
// in the folders (staged, downloaded and kept copies, below them too).
Outcome Recover(const CString& journalPath, const std::vector<CString>& folders);

// Called after each recorded step of a replacement with its number (1, 2, ...); does nothing
// by default. A test ends the process there to play an abrupt end.
typedef void (*StepFn)(int step);
extern StepFn g_pAfterReplacementStep;

}
