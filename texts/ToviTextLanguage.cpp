// The language of the texts that ToviLanguage and ToviMessage return on the calling thread.
#include "ToviTextLanguage.h"

namespace {

// 0 while the thread has chosen nothing.
thread_local LANGID t_chosen = 0;

bool IsOurs(LANGID primary)
{
    return primary == LANG_KOREAN || primary == LANG_ENGLISH || primary == LANG_JAPANESE;
}

LANGID Primary(LCID locale)
{
    return PRIMARYLANGID(LANGIDFROMLCID(locale));
}

// Looked up by name: Windows before Vista has no per-thread UI language.
LANGID ThreadUiLanguage()
{
    using GetThreadUILanguageFn = LANGID(WINAPI*)();
    static const GetThreadUILanguageFn getThreadUiLanguage = reinterpret_cast<GetThreadUILanguageFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadUILanguage")));
    return getThreadUiLanguage ? PRIMARYLANGID(getThreadUiLanguage()) : 0;
}

} // namespace

bool CToviTextLanguage::SetThreadLanguage(LANGID language)
{
    const LANGID primary = PRIMARYLANGID(language);
    if (language != 0 && !IsOurs(primary))
        return false;
    t_chosen = primary;
    return true;
}

LANGID CToviTextLanguage::GetThreadLanguage()
{
    if (t_chosen != 0)
        return t_chosen;

    const LCID threadLocale = GetThreadLocale();
    if (threadLocale != GetUserDefaultLCID() && IsOurs(Primary(threadLocale)))
        return Primary(threadLocale);

    const LANGID uiLanguage = ThreadUiLanguage();
    if (IsOurs(uiLanguage))
        return uiLanguage;

    if (IsOurs(Primary(threadLocale)))
        return Primary(threadLocale);

    return LANG_KOREAN;
}

TextLanguage CToviTextLanguage::GetThreadTextLanguage()
{
    switch (GetThreadLanguage()) {
    case LANG_ENGLISH: return TextLanguage::English;
    case LANG_JAPANESE: return TextLanguage::Japanese;
    default: return TextLanguage::Korean;
    }
}
