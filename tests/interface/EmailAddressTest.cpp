// The guest dialogs' e-mail address check: syntax, quoting, ASCII only, and the room of a guest
// record.
#include "EmailAddress.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += (c >= 0x20 && c < 0x7F) ? (char)c : '?';
    return out;
}

TEST(VerifyEmailAddress, AcceptsAndRefusesAddressesByTheirSyntax)
{
    const struct { const wchar_t* address; bool valid; } rows[] = {
        { L"guest@example.com", true },
        { L"first.last+tag@mail.example.co.kr", true },
        { L"a@b.c", true },
        { L"a@b", false },                               // a domain needs a dot
        { L"guest@localhost", false },
        { L"\"john..doe\"@example.com", true },          // dots and specials are fine in quotes
        { L"\"a@b\"@example.com", true },                // so is an '@'
        { L"\"a\\\"b\"@example.com", false },           // a backslash escapes only a space
        { L"\"a\\ b\"@example.com", true },             // which it does
        { L"\"john doe\"@example.com", true },          // a quoted blank
        { L"a.\"b c\"@example.com", true },             // quotes open after a full stop
        { L"\"a\".\"b\"@example.com", true },             // and after a closing quote's full stop
        { L"\"a\"b@example.com", false },               // a closing quote wants '@' or a full stop
        { L"gu\"est\"@example.com", false },            // no quote opens inside a word
        { L"guest\"@example.com", false },
        { L"\"gu\x7Fst\"@example.com", false },          // DEL even inside quotes
        { L"\"g\x00E9st\"@example.com", false },          // nor anything outside ASCII
        { L"gu\x00E9st@example.com", false },
        { L"guest@ex\x00E9mple.com", false },
        { L"\xAC8C\xC2A4\xD2B8@example.com", false },
        { L"guest\xFF20" L"example.com", false },          // a wide look-alike of the at sign
        { L"gu\x7Fst@example.com", false },
        { L"", false },
        { L"@example.com", false },                      // empty local part
        { L"guest@", false },                            // empty domain
        { L"guest", false },                             // no '@'
        { L"a@b@example.com", false },                   // two unquoted '@'
        { L"guest.@example.com", false },                // local part ends in a dot
        { L"gu(e)st@example.com", false },
        { L"gu<est@example.com", false },
        { L"gu,est@example.com", false },
        { L"gu;est@example.com", false },
        { L"gu:est@example.com", false },
        { L"gu\\est@example.com", false },
        { L"gu[est]@example.com", false },
        { L"gu est@example.com", false },                // a blank outside quotes
        { L"gu\test@example.com", false },               // a control character
        { L"\"gu\x01st\"@example.com", false },          // even inside quotes
        { L"\"unterminated@example.com", false },
        { L"guest@exa mple.com", false },
        { L"guest@example..com", false },                // empty domain label
        { L"guest@.example.com", false },
        { L"guest@example.com.", true },                 // a fully qualified domain's final dot
        { L"guest@exa\"mple.com", false },
        { L"guest@[10.0.0.1]", false },
        { L"guest@exam;ple.com", false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(VerifyEmailAddress(row.address), row.valid) << "address \"" << Narrow(row.address) << "\"";
    EXPECT_FALSE(VerifyEmailAddress(nullptr));
}

TEST(VerifyEmailAddress, AnAddressThatDoesNotFitAGuestRecordIsRefusedNotCut)
{
    const std::wstring domain = L"@example.com";
    const std::wstring fits = std::wstring(319 - domain.size(), L'a') + domain;
    const std::wstring tooLong = std::wstring(320 - domain.size(), L'a') + domain;
    EXPECT_TRUE(VerifyEmailAddress(fits.c_str()));
    EXPECT_FALSE(VerifyEmailAddress(tooLong.c_str()));
    // Far past the old 1,023-byte copy: the end of the text must still count.
    const std::wstring huge = std::wstring(1100, L'a') + L"@example.com";
    EXPECT_FALSE(VerifyEmailAddress(huge.c_str()));
    const std::wstring hugeBroken = std::wstring(1100, L'a') + L"@exa mple";
    EXPECT_FALSE(VerifyEmailAddress(hugeBroken.c_str()));
}

}
