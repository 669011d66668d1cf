// Interface texts by id and the display texts of the backup logs' stored words.
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include <string>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// [first, last) without blanks at either end.
void TrimRange(const std::wstring& s, size_t& first, size_t& last)
{
    while (first < last && IsBlank(s[first]))
        ++first;
    while (last > first && IsBlank(s[last - 1]))
        --last;
}

} // namespace

CString CToviString::GetString(unsigned int id)
{
    return CString(GetTable().Find(id, CToviTextLanguage::GetThreadTextLanguage()));
}

CString CToviString::GetBackupStatusString(CString word)
{
    const std::wstring& s = word.Str();
    size_t first = 0, last = s.size();
    TrimRange(s, first, last);
    const WordEntry* row = GetBackupWords().Find(s.c_str() + first, last - first);
    if (!row)
        return CString();
    return CString(row->In(CToviTextLanguage::GetThreadTextLanguage()));
}

CString CToviString::GetBackupRemarksString(CString word)
{
    const std::wstring& s = word.Str();
    const WordTable words = GetBackupWords();
    const TextLanguage language = CToviTextLanguage::GetThreadTextLanguage();

    // The parts are joined by commas; each is "WORD : count".
    std::wstring result;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(L',', start);
        if (end == std::wstring::npos)
            end = s.size();

        size_t first = start, last = end;
        TrimRange(s, first, last);
        const size_t colon = s.find(L':', first);
        const WordEntry* row = nullptr;
        size_t wordLast = colon;
        if (colon != std::wstring::npos && colon < last) {
            size_t wordFirst = first;
            TrimRange(s, wordFirst, wordLast);
            row = words.Find(s.c_str() + wordFirst, wordLast - wordFirst);
        }
        if (row) {
            size_t restFirst = colon + 1, restLast = last;
            TrimRange(s, restFirst, restLast);
            result += row->In(language);
            result += L" : ";
            result.append(s, restFirst, restLast - restFirst);
        } else {
            result.append(s, start, end - start);
        }

        if (end == s.size())
            break;
        result += L',';
        start = end + 1;
        // Keep the blank after the comma with the separator, not with the next word.
        while (start < s.size() && IsBlank(s[start])) {
            result += s[start];
            ++start;
        }
    }
    return CString(result);
}
