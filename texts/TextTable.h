// Rows of the text libraries' tables: one id (or stored word) with its Korean, English and
// Japanese text. Plain data, so that adding a text is adding one row.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cwchar>

enum class TextLanguage { Korean, English, Japanese };

struct TextEntry {
    unsigned int id;
    const wchar_t* ko;
    const wchar_t* en;
    const wchar_t* ja;

    const wchar_t* In(TextLanguage language) const
    {
        switch (language) {
        case TextLanguage::English: return en;
        case TextLanguage::Japanese: return ja;
        default: return ko;
        }
    }
};

// A table sorted by id, ascending, each id once (the tests hold every table to that).
struct TextTable {
    const TextEntry* entries;
    size_t count;

    // The text of id, or an empty text when the table has no row for it; never null.
    const wchar_t* Find(unsigned int id, TextLanguage language) const
    {
        const TextEntry* end = entries + count;
        const TextEntry* row = std::lower_bound(
            entries, end, id, [](const TextEntry& e, unsigned int key) { return e.id < key; });
        if (row == end || row->id != id)
            return L"";
        const wchar_t* text = row->In(language);
        return text ? text : L"";
    }
};

// Display texts of words that the program stores in its own records (the backup run logs).
struct WordEntry {
    const wchar_t* word;
    const wchar_t* ko;
    const wchar_t* en;
    const wchar_t* ja;

    const wchar_t* In(TextLanguage language) const
    {
        switch (language) {
        case TextLanguage::English: return en;
        case TextLanguage::Japanese: return ja;
        default: return ko;
        }
    }
};

// A short list, searched in order; words compare without regard to ASCII case.
struct WordTable {
    const WordEntry* entries;
    size_t count;

    // The row of the first length characters of word, or null.
    const WordEntry* Find(const wchar_t* word, size_t length) const
    {
        for (size_t i = 0; i < count; ++i) {
            const wchar_t* w = entries[i].word;
            if (std::wcslen(w) != length)
                continue;
            size_t k = 0;
            while (k < length && Upper(w[k]) == Upper(word[k]))
                ++k;
            if (k == length)
                return &entries[i];
        }
        return nullptr;
    }

private:
    static wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c; }
};
