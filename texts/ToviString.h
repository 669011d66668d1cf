// Interface texts (captions, labels, buttons, menu items, column names) by numeric id, and the
// display texts of the words stored in the backup run logs; in the calling thread's language
// (CToviTextLanguage).
//
// Callable from any thread at once: the tables are constant and the language is per thread.
// Every result is the caller's own copy. An id or word without a text gives an empty string.
// Some texts are printf formats (for example 12132 takes one %s); each id's format is the same
// in all three languages.
#pragma once
#include "Strings.h"
#include "TextTable.h"
#include "ToviLanguageApi.h"

class TOVILANGUAGE_API CToviString {
public:
    static CString GetString(unsigned int id);

    // A run's or an item's stored status word ("COMPLETE", "FAIL", "WAIT"...), for display.
    // The text for "COMPLETE" is the text of id 14091, which the log viewer compares against.
    // A word without a text gives an empty string.
    static CString GetBackupStatusString(CString word);

    // A run's stored remarks ("FAIL : 2, SKIP : 1, OVERWRITE : 3"), for display: each known
    // word before a colon is replaced by its display text; anything else is kept as stored.
    static CString GetBackupRemarksString(CString word);

    // The tables themselves, read-only, for checks and tools.
    static TextTable GetTable();
    static WordTable GetBackupWords();
};
