// Tests of the interface texts and the backup words of ToviLanguage.
#include "TextChecks.h"
#include "ToviString.h"
#include <climits>

using namespace textchecks;

namespace {

class ToviStringTest : public ThreadLanguageTest {};

struct TextRow {
    unsigned int id;
    TextLanguage language;
    const wchar_t* expected;
};

// Expected texts are written as code points, so the check holds whatever this file's charset.
const TextRow kSampleTexts[] = {
    {14061, TextLanguage::Korean, L"\uD655\uC778"},
    {14061, TextLanguage::English, L"OK"},
    {14061, TextLanguage::Japanese, L"OK"},
    {14064, TextLanguage::Korean, L"\uCDE8\uC18C"},
    {14064, TextLanguage::English, L"Cancel"},
    {14064, TextLanguage::Japanese, L"\u30AD\u30E3\u30F3\u30BB\u30EB"},
    {14078, TextLanguage::Korean, L"\uC608"},
    {14078, TextLanguage::English, L"Yes"},
    {14078, TextLanguage::Japanese, L"\u306F\u3044"},
    {14079, TextLanguage::Korean, L"\uC544\uB2C8\uC694"},
    {14079, TextLanguage::English, L"No"},
    {14079, TextLanguage::Japanese, L"\u3044\u3044\u3048"},
    {14185, TextLanguage::Korean, L"\uC624\uC804"},
    {14186, TextLanguage::English, L"PM"},
    {14186, TextLanguage::Japanese, L"\u5348\u5F8C"},
};

TEST_F(ToviStringTest, ReturnsTheTextOfAnIdInTheThreadsLanguage)
{
    for (const TextRow& row : kSampleTexts) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(row.language));
        const CString text = CToviString::GetString(row.id);
        EXPECT_STREQ(row.expected, text.GetString())
            << "id " << row.id << " in " << Name(row.language) << ": expected \"" << Utf8(row.expected)
            << "\", got \"" << Utf8(text.GetString()) << "\"";
    }
}

TEST_F(ToviStringTest, KoreanTextsAreCompiledToTheirUtf16CodeUnits)
{
    CToviTextLanguage::SetThreadLanguage(LANG_KOREAN);
    const CString text = CToviString::GetString(14030); // "log in"
    const unsigned short expected[] = {0xB85C, 0xADF8, 0xC778};
    ASSERT_EQ(3, text.GetLength());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(expected[i], static_cast<unsigned short>(text.GetAt(i))) << "code unit " << i;
}

TEST_F(ToviStringTest, AnIdWithoutATextGivesAnEmptyStringInEveryLanguage)
{
    for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese}) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(language));
        for (unsigned int id : {0u, 1u, 12129u, 13999u, 14023u, 14264u, 99999u, UINT_MAX}) {
            EXPECT_TRUE(CToviString::GetString(id).IsEmpty()) << "id " << id << " in " << Name(language);
        }
    }
}

TEST_F(ToviStringTest, TheTableIsSortedCompleteAndEveryFormatIsTheSameInAllLanguages)
{
    ExpectWellFormed(CToviString::GetTable());
}

TEST_F(ToviStringTest, EveryIdOfTheToolkitAndItsDialogsHasATextInEveryLanguage)
{
    const unsigned int ids[] = {12132, 14000, 14045, 14047, 14049, 14060, 14061, 14063, 14064, 14067, 14068,
                                14069, 14070, 14078, 14079, 14080, 14081, 14082, 14089, 14091, 14095, 14097,
                                14153, 14159, 14160, 14202, 14225, 14254, 14263};
    const TextTable table = CToviString::GetTable();
    for (unsigned int id : ids)
        for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese})
            EXPECT_NE(L'\0', *table.Find(id, language)) << "id " << id << " in " << Name(language);
}

// The server list finds its status column by the caption of 14202, and some of its layouts
// also have a 14086 column.
TEST_F(ToviStringTest, TheTwoStatusCaptionsDifferInEveryLanguage)
{
    const TextTable table = CToviString::GetTable();
    for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese}) {
        CString a(table.Find(14202, language)), b(table.Find(14086, language));
        EXPECT_NE(0, a.CompareNoCase(b)) << Name(language);
    }
}

TEST_F(ToviStringTest, TheLibraryLoadsUnderItsOwnName)
{
    CToviString::GetString(14061);
    EXPECT_NE(nullptr, GetModuleHandleW(L"ToviLanguage.dll"));
}

// Backup status and remarks words.

struct WordRow {
    const wchar_t* word;
    TextLanguage language;
    const wchar_t* expected;
};

TEST_F(ToviStringTest, StatusWordsReadInTheThreadsLanguage)
{
    const WordRow rows[] = {
        {L"COMPLETE", TextLanguage::Korean, L"\uC644\uB8CC"},
        {L"COMPLETE", TextLanguage::Japanese, L"\u5B8C\u4E86"},
        {L"FAIL", TextLanguage::English, L"Failed"},
        {L"WARNING", TextLanguage::Korean, L"\uACBD\uACE0"},
        {L"WARNING", TextLanguage::Japanese, L"\u8B66\u544A"},
        {L"PROGRESS", TextLanguage::English, L"In progress"},
        {L" skip ", TextLanguage::English, L"Skipped"},
        {L"Overwrite", TextLanguage::English, L"Overwritten"},
    };
    for (const WordRow& row : rows) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(row.language));
        const CString text = CToviString::GetBackupStatusString(row.word);
        EXPECT_STREQ(row.expected, text.GetString())
            << "\"" << Utf8(row.word) << "\" in " << Name(row.language) << ": got \"" << Utf8(text.GetString())
            << "\"";
    }
}

// The log viewer marks each row whose status text differs from 14091.
TEST_F(ToviStringTest, CompleteReadsExactlyAsTheDoneTextInEveryLanguage)
{
    for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese}) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(language));
        EXPECT_STREQ(CToviString::GetString(14091).GetString(),
                     CToviString::GetBackupStatusString(L"COMPLETE").GetString())
            << Name(language);
    }
}

TEST_F(ToviStringTest, AnUnknownOrEmptyStatusWordGivesAnEmptyString)
{
    CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
    for (const wchar_t* word : {L"", L"DONE", L"COMPLETED", L"FAIL : 1", L"COMPLETEX"})
        EXPECT_TRUE(CToviString::GetBackupStatusString(word).IsEmpty()) << "\"" << Utf8(word) << "\"";
}

TEST_F(ToviStringTest, RemarksTranslateEachKnownWordAndKeepTheRest)
{
    const WordRow rows[] = {
        {L"FAIL : 2, SKIP : 1, OVERWRITE : 3", TextLanguage::Korean,
         L"\uC2E4\uD328 : 2, \uAC74\uB108\uB700 : 1, \uB36E\uC5B4\uC500 : 3"},
        {L"FAIL : 2, SKIP : 1, OVERWRITE : 3", TextLanguage::English, L"Failed : 2, Skipped : 1, Overwritten : 3"},
        {L"SKIP : 4", TextLanguage::English, L"Skipped : 4"},
        {L"FAIL : 1, see server log", TextLanguage::Japanese, L"\u5931\u6557 : 1, see server log"},
        {L"NOTE : 1", TextLanguage::English, L"NOTE : 1"},
        {L"", TextLanguage::English, L""},
    };
    for (const WordRow& row : rows) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(row.language));
        const CString text = CToviString::GetBackupRemarksString(row.word);
        EXPECT_STREQ(row.expected, text.GetString())
            << "\"" << Utf8(row.word) << "\" in " << Name(row.language) << ": got \"" << Utf8(text.GetString())
            << "\"";
    }
}

TEST_F(ToviStringTest, EveryBackupWordIsListedOnceWithThreeTexts)
{
    const WordTable words = CToviString::GetBackupWords();
    ASSERT_GT(words.count, 0u);
    for (size_t i = 0; i < words.count; ++i) {
        const WordEntry& row = words.entries[i];
        EXPECT_EQ(&row, words.Find(row.word, wcslen(row.word))) << Utf8(row.word) << " is listed twice";
        for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese})
            EXPECT_TRUE(row.In(language) && *row.In(language)) << Utf8(row.word) << " in " << Name(language);
    }
    for (const wchar_t* stored : {L"PROGRESS", L"WAIT", L"COMPLETE", L"SKIP", L"OVERWRITE", L"WARNING", L"CANCEL", L"FAIL"})
        EXPECT_NE(nullptr, words.Find(stored, wcslen(stored))) << Utf8(stored) << " has no text";
}

} // namespace
