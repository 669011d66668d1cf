// Checks shared by the text library tests: table shape, printf formats, a thread runner.
#pragma once
#include "TextTable.h"
#include "ToviTextLanguage.h"
#include <gtest/gtest.h>
#include <cwctype>
#include <string>
#include <thread>
#include <vector>

namespace textchecks {

inline const char* Name(TextLanguage language)
{
    switch (language) {
    case TextLanguage::English: return "English";
    case TextLanguage::Japanese: return "Japanese";
    default: return "Korean";
    }
}

inline LANGID LanguageId(TextLanguage language)
{
    switch (language) {
    case TextLanguage::English: return LANG_ENGLISH;
    case TextLanguage::Japanese: return LANG_JAPANESE;
    default: return LANG_KOREAN;
    }
}

// A wide text as UTF-8 for failure messages.
inline std::string Utf8(const std::wstring& text)
{
    std::string out;
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    out.resize(n);
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// The printf conversions of a text in order ("s", "d", "I64d"); "%%" is no conversion.
inline std::vector<std::wstring> FormatSpecs(const wchar_t* text)
{
    std::vector<std::wstring> pieces;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%')
            continue;
        while (*p && std::wcschr(L"-+ #0123456789.*", *p))
            ++p;
        std::wstring piece;
        while (*p && !std::wcschr(L"diouxXcCsSpeEfgGaAn", *p))
            piece += *p++;
        if (!*p) {
            pieces.push_back(L"<unfinished " + piece + L">");
            break;
        }
        piece += *p;
        pieces.push_back(piece);
    }
    return pieces;
}

// Sorted by id with each id once (the lookup's binary search relies on it), a text in all
// three languages, and the same printf conversions in all three (a caller formats whatever
// the language is).
inline void ExpectWellFormed(const TextTable& table)
{
    ASSERT_GT(table.count, 0u);
    for (size_t i = 0; i < table.count; ++i) {
        const TextEntry& row = table.entries[i];
        if (i > 0) {
            EXPECT_LT(table.entries[i - 1].id, row.id) << "row " << i << ": ids out of order or twice";
        }
        for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese}) {
            const wchar_t* text = row.In(language);
            EXPECT_TRUE(text && *text) << "id " << row.id << " has no " << Name(language) << " text";
            if (text && *text) {
                EXPECT_EQ(FormatSpecs(row.ko), FormatSpecs(text))
                    << "id " << row.id << ": Korean \"" << Utf8(row.ko) << "\" and " << Name(language) << " \""
                    << Utf8(text) << "\" take different arguments";
            }
        }
    }
}

// Runs f on a thread of its own and gives back its result.
template <typename F> auto OnNewThread(F f) -> decltype(f())
{
    decltype(f()) result{};
    std::thread t([&] { result = f(); });
    t.join();
    return result;
}

// Each test starts and ends with no language chosen on its thread.
class ThreadLanguageTest : public ::testing::Test {
protected:
    void SetUp() override { CToviTextLanguage::SetThreadLanguage(0); }
    void TearDown() override { CToviTextLanguage::SetThreadLanguage(0); }
};

} // namespace textchecks
