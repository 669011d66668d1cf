// Message texts (message boxes, notices, progress lines, tooltips) by numeric id, in the
// calling thread's language (CToviTextLanguage).
//
// Callable from any thread at once: the table is constant and the language is per thread.
// Every result is the caller's own copy. An id without a text gives an empty string.
// Some texts are printf formats (12012 takes one %d, 12092 one %s, 12119 one %I64d); each
// id's format is the same in all three languages.
#pragma once
#include "Strings.h"
#include "TextTable.h"
#include "ToviMessageApi.h"

class TOVIMESSAGE_API CToviMsg {
public:
    static CString GetString(unsigned int id);

    // The table itself, read-only, for checks and tools.
    static TextTable GetTable();
};
