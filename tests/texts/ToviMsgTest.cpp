// Tests of the message texts of ToviMessage.
#include "TextChecks.h"
#include "ToviMsg.h"
#include <climits>

using namespace textchecks;

namespace {

class ToviMsgTest : public ThreadLanguageTest {};

struct MessageRow {
    unsigned int id;
    TextLanguage language;
    const wchar_t* expected;
};

TEST_F(ToviMsgTest, ReturnsTheMessageOfAnIdInTheThreadsLanguage)
{
    const MessageRow rows[] = {
        {12040, TextLanguage::Korean, L"\uC774\uB984\uC744 \uC785\uB825\uD558\uC138\uC694."},
        {12040, TextLanguage::English, L"Enter a name."},
        {12040, TextLanguage::Japanese,
         L"\u540D\u524D\u3092\u5165\u529B\u3057\u3066\u304F\u3060\u3055\u3044\u3002"},
        {12123, TextLanguage::Korean,
         L"\uC11C\uBC84\uC640 \uD1B5\uC2E0\uD558\uB294 \uC911\uC5D0 \uC624\uB958\uAC00 "
         L"\uBC1C\uC0DD\uD588\uC2B5\uB2C8\uB2E4."},
        {12123, TextLanguage::English, L"An error occurred while communicating with the server."},
        {12123, TextLanguage::Japanese,
         L"\u30B5\u30FC\u30D0\u30FC\u3068\u306E\u901A\u4FE1\u4E2D\u306B\u30A8\u30E9\u30FC\u304C"
         L"\u767A\u751F\u3057\u307E\u3057\u305F\u3002"},
        {12050, TextLanguage::English, L"Select an item first."},
    };
    for (const MessageRow& row : rows) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(row.language));
        const CString text = CToviMsg::GetString(row.id);
        EXPECT_STREQ(row.expected, text.GetString())
            << "id " << row.id << " in " << Name(row.language) << ": expected \"" << Utf8(row.expected)
            << "\", got \"" << Utf8(text.GetString()) << "\"";
    }
}

TEST_F(ToviMsgTest, AnIdWithoutATextGivesAnEmptyStringInEveryLanguage)
{
    for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese}) {
        CToviTextLanguage::SetThreadLanguage(LanguageId(language));
        for (unsigned int id : {0u, 12001u, 12129u, 14000u, 14263u, 14265u, 99999u, UINT_MAX})
            EXPECT_TRUE(CToviMsg::GetString(id).IsEmpty()) << "id " << id << " in " << Name(language);
    }
}

TEST_F(ToviMsgTest, TheTableIsSortedCompleteAndEveryFormatIsTheSameInAllLanguages)
{
    ExpectWellFormed(CToviMsg::GetTable());
}

TEST_F(ToviMsgTest, EveryMessageOfTheConnectionFolderCheckAndToolkitHasATextInEveryLanguage)
{
    const unsigned int ids[] = {12010, 12011, 12012, 12013, 12014, 12015, 12016, 12017, 12018,
                                12040, 12057, 12062, 12076, 12077, 12123, 12133, 12134};
    const TextTable table = CToviMsg::GetTable();
    for (unsigned int id : ids)
        for (TextLanguage language : {TextLanguage::Korean, TextLanguage::English, TextLanguage::Japanese})
            EXPECT_NE(L'\0', *table.Find(id, language)) << "id " << id << " in " << Name(language);
}

// The callers format these with their own arguments; a wrong conversion would read the wrong
// argument or past the last one.
TEST_F(ToviMsgTest, FormatMessagesTakeTheirCallersArguments)
{
    CString text;

    CToviTextLanguage::SetThreadLanguage(LANG_KOREAN);
    text.Format(CToviMsg::GetString(12093), 2);
    EXPECT_STREQ(L"\uC0C8 \uC54C\uB9BC\uC774 2\uAC74 \uC788\uC2B5\uB2C8\uB2E4.", text.GetString());

    CToviTextLanguage::SetThreadLanguage(LANG_ENGLISH);
    text.Format(CToviMsg::GetString(12119), static_cast<long long>(5000000000LL));
    EXPECT_STREQ(L"The number of downloads can be at most 5000000000.", text.GetString());

    text.Format(CToviMsg::GetString(12092), L"Corvane");
    EXPECT_STREQ(L"Do you want to exit Corvane?", text.GetString());

    text.Format(CToviMsg::GetString(12012), 3);
    EXPECT_STREQ(L"The 3 selected items will be deleted permanently and cannot be recovered. Continue?",
                 text.GetString());
}

TEST_F(ToviMsgTest, TheLibraryLoadsUnderItsOwnName)
{
    CToviMsg::GetString(12040);
    EXPECT_NE(nullptr, GetModuleHandleW(L"ToviMessage.dll"));
}

} // namespace
