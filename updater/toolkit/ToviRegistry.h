// The registry values the update program reads from the product's key.
//
// Not the client's CToviRegistry of ToviInterface.dll: the update program links none of the
// client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "Strings.h"
#include <windows.h>

class CToviRegistry {
public:
    // A text value of at most maxChars characters; false when the key or value is missing, is
    // not text, or is longer.
    static bool ReadText(const wchar_t* key, const wchar_t* value, int maxChars, CString& out);
    // MessageBoxTitle of the product's key: false when unreadable; true otherwise, title set
    // to the value (also when empty).
    static bool GetMessageBoxTitle(int index, CString& title);
    // Language of products 0 and 1 (others: directly under HKEY_CURRENT_USER): 1042 Korean,
    // 1033 English, 1041 Japanese as primary language ids; other numbers leave language as it
    // was. False when missing or empty.
    static bool GetLanguage(int index, int& language);
};
