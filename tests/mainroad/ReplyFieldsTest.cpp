// Copying reply values into fixed-width slots and building request values within their
// buffers: cuts, terminators, surrogate pairs and the English date form.
#include "ReplyFields.h"
#include <gtest/gtest.h>
#include <cstring>
#include <cwchar>

using namespace replyfield;

TEST(ReplyFields, TextsAreCutToTheirSlotAndTheRestOfTheSlotIsZero)
{
    struct Row {
        std::string value;
        const char* expected;
    };
    const Row rows[] = {
        {"", ""},
        {"abc", "abc"},
        {"abcd", "abcd"},
        {"abcde", "abcd"},
        {std::string("ab\0cd", 5), "ab"},
    };
    for (const Row& row : rows) {
        char slot[6];
        std::memset(slot, 'X', sizeof slot);
        CopyText(slot, 5, row.value);
        EXPECT_STREQ(row.expected, slot) << "value " << row.value;
        EXPECT_EQ('X', slot[5]) << "nothing past the slot for " << row.value;
        for (size_t i = std::strlen(row.expected); i < 5; ++i)
            EXPECT_EQ(0, slot[i]) << "byte " << i << " for " << row.value;
    }
}

TEST(ReplyFields, Utf8IsDecodedAndCutWithoutSplittingAPair)
{
    struct Row {
        const char* name;
        std::string value;
        size_t capacity;
        std::wstring expected;
    };
    // U+1F600 as the server writes it: each surrogate half as its own three-byte sequence.
    const std::string pair = "\xED\xA0\xBD\xED\xB8\x80";
    const Row rows[] = {
        {"fits", "h\xC3\xA9", 4, L"h\xE9"},
        {"cut", "abcdef", 4, L"abc"},
        {"pair fits", "a" + pair, 4, std::wstring(L"a") + L"\xD83D\xDE00"},
        {"pair would be split", "ab" + pair, 4, L"ab"},
    };
    for (const Row& row : rows) {
        wchar_t slot[8];
        std::wmemset(slot, L'X', 8);
        DecodeUtf8(slot, row.capacity, row.value);
        EXPECT_EQ(row.expected, std::wstring(slot)) << row.name;
        EXPECT_EQ(L'X', slot[row.capacity]) << row.name;
    }
}

TEST(ReplyFields, OnlyTheGivenNumberOfBytesIsDecoded)
{
    wchar_t slot[16];
    DecodeUtf8(slot, 16, "abcdefgh", 5);
    EXPECT_STREQ(L"abcde", slot);
}

TEST(ReplyFields, RequestTextsKeepWholeCharactersWithinTheirBuffer)
{
    struct Row {
        const char* name;
        std::wstring text;
        int buffer;
        std::string expected;
    };
    const Row rows[] = {
        {"ascii fits", L"abc", 4, "abc"},
        {"ascii cut", L"abcd", 4, "abc"},
        {"three-byte character left off whole", L"a\xAC00", 4, "a"},
        {"three-byte character fits", L"a\xAC00", 5, "a\xEA\xB0\x80"},
        {"half a pair is never sent", std::wstring(L"a\xD83D\xDE00"), 7, "a"},
        {"a whole pair", std::wstring(L"a\xD83D\xDE00"), 8, "a\xED\xA0\xBD\xED\xB8\x80"},
        {"empty", L"", 10, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, EncodeUtf8(row.text.c_str(), row.buffer)) << row.name;
}

TEST(ReplyFields, EnglishDatesReadDayMonthYear)
{
    EXPECT_EQ(L"05/03/2024 09:07:01", std::wstring(ChangeEngData(L"2024-03-05 09:07:01").GetString()));
    EXPECT_EQ(L"", std::wstring(ChangeEngData(L"2024-03-05").GetString())) << "too short";

    wchar_t slot[24];
    DateText(slot, 24, "2024-03-05 09:07:01", true);
    EXPECT_STREQ(L"05/03/2024 09:07:01", slot);
    DateText(slot, 24, "2024-03-05 09:07:01", false);
    EXPECT_STREQ(L"2024-03-05 09:07:01", slot);
}

TEST(ReplyFields, NumbersAreWrittenInFull)
{
    EXPECT_EQ("18446744073709551615", Decimal(~0ull));
}
