// The language of the texts that ToviLanguage and ToviMessage return on the calling thread.
//
// Every thread that shows text chooses its own language, and each thread's choice is its
// own: two threads may read texts in two languages at the same time. Nothing here locks.
//
// How a call finds the thread's language, first match wins:
//   1. the language chosen on this thread with SetThreadLanguage;
//   2. the thread locale, when the thread has set one other than the user's default
//      (SetThreadLocale is how the language is applied below Windows Vista);
//   3. the thread's user-interface language (SetThreadUILanguage, Vista and later);
//   4. the thread locale;
//   5. Korean, the product's own default.
// Steps 2 to 5 are only used when one of Korean, English or Japanese comes out of them.
// Step 1 is the reliable one: Wine, for one, accepts SetThreadUILanguage without letting the
// thread read the language back, so callers that apply a language should also choose it here.
#pragma once
#include "TextTable.h"
#include "ToviLanguageApi.h"
#include <windows.h>

class TOVILANGUAGE_API CToviTextLanguage {
public:
    // Chooses the texts' language for the calling thread: LANG_KOREAN (0x12), LANG_ENGLISH
    // (0x09) or LANG_JAPANESE (0x11), alone or as a full language id (0x0412, 0x0809...).
    // 0 forgets the choice, so that the thread follows its locale again. Any other language
    // is refused with false and the thread keeps what it had.
    static bool SetThreadLanguage(LANGID language);

    // The primary language id that texts on the calling thread come in: 0x12, 0x09 or 0x11.
    static LANGID GetThreadLanguage();

    // The same as a table column.
    static TextLanguage GetThreadTextLanguage();
};
