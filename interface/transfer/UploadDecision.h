// The upload's decisions that need no window: what to tell the server about its copy of a file,
// how a prompt's answer becomes a mode, what a failed request means, retry settings, the run's
// group key and the progress texts' pieces.
#pragma once
#include "Strings.h"
#include "ToviInterfaceApi.h"
#include <cstdint>
#include <string>

namespace upload {

// What the server holds of a file, against the local file. storedSizeText empty: the server has
// no copy (nothing to decide; the data go from offset 0). Otherwise: "3" resume from the stored
// size, "2" skip (identical), "1" the server holds a different file (ask, or reuse an answer).
// A copy whose checksum differs is never resumed, even after a failed attempt: the result would
// mix two files.
TOVIINTERFACE_API std::string DecideServerCopy(const char* storedSizeText, const char* storedChecksumText,
                                               unsigned long localChecksumOfStored, int64_t localSize);

// For mode "1": the mode to use without asking, or an empty text when the user must be asked.
// applyAll: the run's apply-to-all answer (empty: none); remembered: this file's earlier answer
// (used after a failed attempt of the same file).
TOVIINTERFACE_API std::string ConflictModeWithoutPrompt(const std::string& applyAll, bool retried,
                                                        const std::string& remembered);

// The name-conflict dialog's result for a file: 1 overwrite "1", 2 skip "2", 3 cancel "4",
// anything else (closed) "1".
TOVIINTERFACE_API std::string FileConflictMode(intptr_t dialogResult);

// Which request failed.
enum class Step { Announce, Confirm, Send };

// What a failed announce, confirm or send means for the item.
struct FailureAction {
    enum Kind { ForceStop, StopRun, SkipFile, Retry } kind;
    unsigned rowStatus;     // string id for the item's row; 0 leaves the row
    bool countFailed;       // one more failed file
    bool logItem;           // an error-log line with the server's text
    bool taskbarError;
    int result;             // what the file step returns (unless Retry)
};
TOVIINTERFACE_API FailureAction ClassifyFailure(Step step, uint32_t replyCmd, int code);

// RETRY CNT (10 when not above 0) and RETRY TIMEOUT in ms (5 s when not above 0).
TOVIINTERFACE_API int RetryCount(const char* text);
TOVIINTERFACE_API unsigned RetryDelayMs(const char* text);

// 20 decimal digits from the C library's generator seeded with the time; buffer of 21 bytes.
TOVIINTERFACE_API void MakeGroupKey(char* key21);

// A name of 25 characters or more: its first 24 followed by " ...".
TOVIINTERFACE_API CString ShortName(const CString& name);
// done / size in whole percent, truncated; 100 for an empty file.
TOVIINTERFACE_API int Percent(int64_t done, int64_t size);

}
