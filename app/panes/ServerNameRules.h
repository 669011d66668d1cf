// The rules a server folder or file name must meet, and what the end of an in-place name edit
// decides before anything goes to the server. No window: the list and the tree call these.
#pragma once
#include "Strings.h"
#include <functional>

// 0 when the name is acceptable, -1 when it holds \ / : * ? " < > | or is a reserved device
// name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, the whole name, any case). Length is the caller's.
int CheckServerItemName(const CString& name);

// The edited text as it is checked and sent: blanks trimmed at both ends, then trailing dots.
CString TrimEditedName(const CString& text);

// What an ended name edit does next.
enum class NameVerdict {
    Accept,         // send the request with the trimmed name
    ReopenQuiet,    // open the edit again, no message (a name starting with ".")
    ReopenMessage,  // show messageId with the exclamation icon, then open the edit again
};

struct NameDecision {
    NameVerdict verdict = NameVerdict::Accept;
    unsigned messageId = 0;
};

// Checks a trimmed name in order: empty, too long (maxLength characters or more), leading dot,
// forbidden characters or device name, then a sibling with the same name (case-insensitive) when
// siblingKind is given: it returns 0 for none, 'D' for a folder, 'F' for a file.
// fileContext picks the file wording of the messages.
NameDecision DecideEditedName(const CString& name, bool fileContext, int maxLength,
                              const std::function<int(const CString&)>& siblingKind);

// A byte count as the list shows it: KB rounded, MB above 1 GB, thousands grouped ("1,024MB").
CString FormatFileSize(long long bytes);
// "YYYY-MM-DD hh:mm:ss" as the list shows it: date, the AM/PM word, 12-hour hour and minute.
// am and pm are the words to use. Texts shorter than a full time are shown as they are.
CString FormatListDate(const CString& modified, const CString& am, const CString& pm);
