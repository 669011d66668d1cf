// The log-in windows' decisions: what a log-in stores, the user-id copy, the option flags, the
// port check, the update address and the folder-password digest.
#include "LoginRules.h"
#include <gtest/gtest.h>
#include <cstring>
#include <cwchar>
#include <string>

using namespace loginrules;

TEST(LoginRules, LanguageCodesFollowThePrimaryLanguageAndDefaultToKorean)
{
    EXPECT_STREQ("ko", LanguageCode(0x12));
    EXPECT_STREQ("en", LanguageCode(0x09));
    EXPECT_STREQ("jp", LanguageCode(0x11));
    EXPECT_STREQ("ko", LanguageCode(0x07));
}

TEST(LoginRules, OnlyAnAutomaticLogInKeepsThePassword)
{
    struct Row {
        bool save, autoLogin;
        int wantSave, wantAuto;
        const wchar_t* wantId;
        const wchar_t* wantPassword;
    } rows[] = {
        {false, false, 0, 0, L"", L""},
        {true, false, 1, 0, L"demo", L""},
        {false, true, 0, 1, L"demo", L"demo1234"},
        // The save-id box wins; the password is still not kept.
        {true, true, 1, 0, L"demo", L""},
    };
    for (const Row& row : rows) {
        const SavedLogin saved = LoginToSave(row.save, row.autoLogin, L"demo", L"demo1234");
        SCOPED_TRACE(testing::Message() << "save " << row.save << " auto " << row.autoLogin);
        EXPECT_EQ(row.wantSave, saved.saveUserId);
        EXPECT_EQ(row.wantAuto, saved.autoLogin);
        EXPECT_STREQ(row.wantId, saved.userId.GetString());
        EXPECT_STREQ(row.wantPassword, saved.password.GetString());
    }
}

TEST(LoginRules, ALongUserIdIsCutSoThatItsTerminatorFits)
{
    wchar_t buffer[514];
    std::wmemset(buffer, L'#', 514);
    const CString longId(std::wstring(600, L'a').c_str());
    CopyUserId(buffer, 512, longId);
    EXPECT_EQ(511u, std::wcslen(buffer));
    EXPECT_EQ(L'\0', buffer[511]);
    // Nothing past the field is touched.
    EXPECT_EQ(L'#', buffer[512]);

    CopyUserId(buffer, 512, L"demo");
    EXPECT_STREQ(L"demo", buffer);
    EXPECT_EQ(L'\0', buffer[100]);
}

TEST(LoginRules, OptionFlagsReadByPositionUpToTheTerminator)
{
    // All 13 flags set: the field then has no terminator.
    char option[13];
    std::memcpy(option, "0101000010001", 13);
    EXPECT_FALSE(FieldShown(option, sizeof option, 0));
    EXPECT_TRUE(FieldShown(option, sizeof option, 1));
    EXPECT_FALSE(FieldShown(option, sizeof option, 2));
    EXPECT_TRUE(OptionOn(option, sizeof option, 8));
    EXPECT_FALSE(OptionOn(option, sizeof option, 11));
    EXPECT_TRUE(OptionOn(option, sizeof option, 12));

    // A short or missing option hides nothing and sets no flag.
    const char shortOption[13] = "11";
    EXPECT_TRUE(FieldShown(shortOption, sizeof shortOption, 3));
    EXPECT_FALSE(OptionOn(shortOption, sizeof shortOption, 8));
    const char empty[13] = "";
    EXPECT_TRUE(FieldShown(empty, sizeof empty, 0));
}

TEST(LoginRules, APortMustBeANumberFrom1To65535)
{
    struct Row {
        const wchar_t* text;
        int port;
    } rows[] = {
        {L"80", 80}, {L" 7070 ", 7070}, {L"1", 1}, {L"65535", 65535},
        {L"", -1}, {L"0", -1}, {L"65536", -1}, {L"70000", -1}, {L"99999999999", -1}, {L"8a", -1}, {L"-1", -1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.port, ParsePort(row.text)) << "row " << (&row - rows);
}

TEST(LoginRules, SchemesAreStrippedFromTypedAddresses)
{
    EXPECT_STREQ(L"ixo.example.com", StripScheme(L" http://ixo.example.com ").GetString());
    EXPECT_STREQ(L"ixo.example.com", StripScheme(L"HTTPS://ixo.example.com").GetString());
    EXPECT_STREQ(L"10.0.0.1", StripScheme(L"10.0.0.1").GetString());
}

TEST(LoginRules, UpdateAddressPrefersTheFirstDomainThenTheHostAndWebPort)
{
    EXPECT_STREQ(L"http://up.example.com", UpdateAddress("http://up.example.com", "10.0.0.1", L"8080").GetString());
    EXPECT_STREQ(L"http://10.0.0.1:8080", UpdateAddress("", "10.0.0.1", L"8080").GetString());
    EXPECT_STREQ(L"http://10.0.0.1:80", UpdateAddress("", "10.0.0.1", L"").GetString());
}

TEST(LoginRules, TheWebRootIsTheStoredAddressWithASchemeAndNoTrailingSlash)
{
    const struct {
        const wchar_t* stored;
        const wchar_t* root;
    } rows[] = {
        {L"http://ixo.example.com:8080", L"http://ixo.example.com:8080"},
        {L"https://ixo.example.com", L"https://ixo.example.com"},
        {L"HTTP://Ixo.Example.com", L"HTTP://Ixo.Example.com"},
        {L"ixo.example.com:8080", L"http://ixo.example.com:8080"},
        {L"10.0.0.1", L"http://10.0.0.1"},
        {L"http://ixo.example.com/", L"http://ixo.example.com"},
        {L" https://ixo.example.com/web// ", L"https://ixo.example.com/web"},
        {L"ixo.example.com/", L"http://ixo.example.com"},
        {L"", L""},
        {L"   ", L""},
        {L"http://", L""},
        {L"https:///", L""},
        {L"file:///C:/Users", L""},
        {L"javascript://%0aalert(1)", L""},
        {L"ftp://ixo.example.com", L""},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(row.root, WebRoot(row.stored).GetString()) << "stored: \"" << CStringA(row.stored).GetString() << "\"";
}

TEST(LoginRules, PasswordDigestIsSha256OverTheLowerCaseSha1Text)
{
    // Computed with Python's hashlib: sha256(sha1(password).hexdigest()).
    EXPECT_STREQ(L"8010424bedf79dfd02799ab2f80f0db3bb8ca8c3d9788d6334a7c4585f61d66f",
                 PasswordDigest(L"demo").GetString());
    EXPECT_STREQ(L"dac9366a9b5c44caaeb474ee75077492fd6369b320244a21e1d43e105a69a3f2",
                 PasswordDigest(L"Demo").GetString());
    EXPECT_TRUE(PasswordDigest(L"").IsEmpty());
}

TEST(LoginRules, DomainOptionServersSplitIntoHostAndPort)
{
    char host[72];
    int port = 0;
    ASSERT_TRUE(SplitHostPort("10.1.2.3:7001", host, sizeof host, &port));
    EXPECT_STREQ("10.1.2.3", host);
    EXPECT_EQ(7001, port);
    EXPECT_FALSE(SplitHostPort("10.1.2.3", host, sizeof host, &port));
    EXPECT_FALSE(SplitHostPort(":7001", host, sizeof host, &port));
    EXPECT_FALSE(SplitHostPort("10.1.2.3:0", host, sizeof host, &port));
    EXPECT_FALSE(SplitHostPort("10.1.2.3:", host, sizeof host, &port));
}
