// The update program's decisions that need no window: command line, sizes, names from the
// description, versions, message box measuring, texts by language and the update key.
#include "CorvaneUpdateDlg.h"
#include "FileUtils.h"
#include "MessageBoxDlg.h"
#include "RegistryFixture.h"
#include "SeamSwap.h"
#include "ToviUpdate.h"
#include "UpdateCommand.h"
#include "UpdateCrypto.h"
#include "ToviRegistry.h"
#include "UpdateTexts.h"
#include "UpdaterRes.h"
#include "UpdateTargets.h"
#include <gtest/gtest.h>
#include <cstring>

TEST(UpdateCommandLine, ChoosesTheRunFromItsWords)
{
    struct Row {
        const wchar_t* line;
        UpdateCommand::Kind kind;
        int index;
    } rows[] = {
        { L"", UpdateCommand::kUpdate, 0 },
        { L"1", UpdateCommand::kUpdate, 1 },
        { L"2", UpdateCommand::kUpdate, 2 },
        { L"7", UpdateCommand::kQuit, 7 },
        { L"-1", UpdateCommand::kQuit, -1 },
        { L"abc", UpdateCommand::kUpdate, 0 },
        { L"1 RunAsStdUser", UpdateCommand::kRunAsStdUser, 1 },
        { L"1   RunAsStdUser third", UpdateCommand::kRunAsStdUser, 1 },
        { L"1 runasstduser", UpdateCommand::kUpdate, 1 },
        { L"service:install", UpdateCommand::kServiceInstall, 2 },
        { L"service:installed", UpdateCommand::kServiceInstall, 2 },
        { L"service:uninstall", UpdateCommand::kServiceRemove, 2 },
        { L"service:stop", UpdateCommand::kQuit, 2 },
    };
    for (const Row& row : rows) {
        UpdateCommand c = ParseUpdateCommand(row.line);
        EXPECT_EQ(row.kind, c.kind) << testing::PrintToString(std::wstring(row.line));
        EXPECT_EQ(row.index, c.index) << testing::PrintToString(std::wstring(row.line));
    }
}

TEST(UpdateDialogSizes, ReadAsBytesKilobytesMegabytesAndGigabytes)
{
    struct Row {
        unsigned long long bytes;
        const wchar_t* text;
    } rows[] = {
        { 0, L"0 BYTE" },
        { 1024, L"1024 BYTE" },
        { 1025, L"1.0 kb" },
        { 1048576, L"1024.0 kb" },
        { 1048577, L"1.0 mb" },
        { 1073741824ULL, L"1024.0 mb" },
        { 1073741825ULL, L"1.000 gb" },
        { 5ULL * 1073741824ULL + 536870912ULL, L"5.500 gb" },
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.text, CCorvaneUpdateDlg::FormatSize(row.bytes).GetString()) << row.bytes;
}

TEST(UpdateDescriptionNames, OnlyNamesThatStayInTheirFolderAreSafe)
{
    struct Row {
        const wchar_t* path;
        bool allowEmpty;
        bool safe;
    } rows[] = {
        { L"App.dll", false, true },
        { L"sub/App.dll", false, true },
        { L"sub\\deeper", true, true },
        { L"", true, true },
        { L"", false, false },
        { L"..", true, false },
        { L"..\\evil.dll", false, false },
        { L"sub/../../evil.dll", false, false },
        { L"...", true, false },
        { L". .", true, false },
        { L"C:\\Windows", true, false },
        { L"C:evil.dll", false, false },
        { L"\\Windows", true, false },
        { L"/etc", true, false },
        { L"\\\\server\\share", true, false },
        { L"file.name.dll", false, true },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.safe, CToviUpdate::IsSafeRelativePath(row.path, row.allowEmpty)) << testing::PrintToString(std::wstring(row.path));
}

TEST(UpdateDescriptionNames, SectionsWithoutDigestOrWithEscapingPathsAreRefused)
{
    auto section = [](const wchar_t* file, const wchar_t* target, const wchar_t* dest, const wchar_t* hash) {
        _UPDATE_MODULE_INFO s = {};
        wcscpy(s.FileName, file);
        wcscpy(s.LocalName, file);
        wcscpy(s.TargetDir, target);
        wcscpy(s.DestDir, dest);
        wcscpy(s.Hash, hash);
        return s;
    };
    const wchar_t* hash = L"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709";
    EXPECT_EQ(nullptr, CToviUpdate::RefusalOf(section(L"App.dll", L"app", L"Home", hash)));
    EXPECT_NE(nullptr, CToviUpdate::RefusalOf(section(L"App.dll", L"app", L"Home", L"")));
    EXPECT_NE(nullptr, CToviUpdate::RefusalOf(section(L"..\\App.dll", L"", L"", hash)));
    EXPECT_NE(nullptr, CToviUpdate::RefusalOf(section(L"App.dll", L"..", L"", hash)));
    EXPECT_NE(nullptr, CToviUpdate::RefusalOf(section(L"App.dll", L"D:\\x", L"", hash)));
    EXPECT_NE(nullptr, CToviUpdate::RefusalOf(section(L"App.dll", L"", L"..\\..", hash)));
}

TEST(UpdateVersions, AServerVersionIsNewerOnlyWhenAPartIsHigher)
{
    struct Row {
        const wchar_t* local;
        const wchar_t* server;
        bool newer;
    } rows[] = {
        { L"1.0.0.1", L"1.0.0.2", true },  { L"1.0.0.2", L"1.0.0.1", false }, { L"1.0.0.1", L"1.0.0.1", false },
        { L"1.9.0.0", L"1.10.0.0", true }, { L"2.0", L"1.9.9.9", false },     { L"1", L"1.0.0.1", true },
        { L"", L"0.0.0.1", true },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.newer, CToviUpdate::CheckUpdate(row.local, row.server))
            << testing::PrintToString(std::wstring(row.local)) << " " << testing::PrintToString(std::wstring(row.server));
}

TEST(UpdateMessageBox, MeasuresLinesByTheirWidestCharacters)
{
    CString longest;
    EXPECT_EQ(0, CMessageBoxDlg::GetMessageLine(L"", longest));
    EXPECT_EQ(1, CMessageBoxDlg::GetMessageLine(L"one line", longest));
    EXPECT_STREQ(L"one line", longest.GetString());
    // Six Korean characters count as twelve and beat eleven Latin ones.
    EXPECT_EQ(2, CMessageBoxDlg::GetMessageLine(L"eleven char\n파일다운로드", longest));
    EXPECT_STREQ(L"파일다운로드", longest.GetString());
    // On a tie the first line stays the longest.
    EXPECT_EQ(3, CMessageBoxDlg::GetMessageLine(L"abcd\nefgh\nij", longest));
    EXPECT_STREQ(L"abcd", longest.GetString());

    EXPECT_EQ(300, CMessageBoxDlg::DialogWidth(80, 1, 40, 300));
    EXPECT_EQ(470, CMessageBoxDlg::DialogWidth(80, 2, 400, 300));
    EXPECT_EQ(310, CMessageBoxDlg::DialogWidth(140, 2, 10, 300));
}

TEST(UpdateWindowsType, NamesTheKnownVersionsOnly)
{
    EXPECT_EQ(1, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_WINDOWS, 4, 0, false));
    EXPECT_EQ(3, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_WINDOWS, 4, 90, false));
    EXPECT_EQ(4, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 4, 0, false));
    EXPECT_EQ(5, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 5, 0, false));
    EXPECT_EQ(-1, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 5, 1, false));
    EXPECT_EQ(6, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 5, 1, true));
    EXPECT_EQ(9, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 6, 1, true));
    EXPECT_EQ(-1, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 6, 2, true));
    EXPECT_EQ(-1, CFileUtils::WindowsTypeOf(VER_PLATFORM_WIN32_NT, 10, 0, true));
}

class UpdaterTexts : public regtest::RegistryTest {
protected:
    void TearDown() override
    {
        CFileUtils::SetLocaleChange(LANG_KOREAN);
        regtest::RegistryTest::TearDown();
    }
};

TEST_F(UpdaterTexts, FollowTheProductLanguageInKoreanAndEnglish)
{
    ASSERT_TRUE(CFileUtils::SetLocaleChange(LANG_KOREAN));
    EXPECT_STREQ(L"파일 다운로드가 실패했습니다.", LoadResString(IDS_DOWNLOAD_FAILED).GetString());
    EXPECT_STREQ(L"닫기", LoadResString(IDS_CLOSE).GetString());
    ASSERT_TRUE(CFileUtils::SetLocaleChange(LANG_ENGLISH));
    EXPECT_STREQ(L"Fail to file's integrity verification.", LoadResString(IDS_INTEGRITY_FAILED).GetString());
    EXPECT_STREQ(L"Cancel", LoadResString(IDS_CANCEL).GetString());
    // No Japanese table: the English one answers.
    ASSERT_TRUE(CFileUtils::SetLocaleChange(LANG_JAPANESE));
    EXPECT_STREQ(L"Ok", LoadResString(IDS_OK).GetString());
    EXPECT_TRUE(LoadResString(999).IsEmpty());
}

TEST_F(UpdaterTexts, LanguageAndTitleComeFromTheProductKey)
{
    int language = LANG_KOREAN;
    EXPECT_FALSE(CToviRegistry::GetLanguage(0, language));
    regtest::PutText(regtest::kProductKeys[0], L"Language", L"1033");
    EXPECT_TRUE(CToviRegistry::GetLanguage(0, language));
    EXPECT_EQ(LANG_ENGLISH, language);
    EXPECT_STREQ(L"tahoma", CFileUtils::GetFont(0).GetString());
    regtest::PutText(regtest::kProductKeys[1], L"Language", L"1041");
    EXPECT_TRUE(CToviRegistry::GetLanguage(1, language));
    EXPECT_EQ(LANG_JAPANESE, language);
    // An unknown number leaves the language as it was.
    regtest::PutText(regtest::kProductKeys[1], L"Language", L"1049");
    EXPECT_TRUE(CToviRegistry::GetLanguage(1, language));
    EXPECT_EQ(LANG_JAPANESE, language);
    // The backup edition's own key is not read.
    regtest::PutText(regtest::kProductKeys[2], L"Language", L"1033");
    language = LANG_KOREAN;
    EXPECT_FALSE(CToviRegistry::GetLanguage(2, language));
    EXPECT_EQ(LANG_KOREAN, language);
    EXPECT_STREQ(L"굴림", CFileUtils::GetFont(2).GetString());

    CString title(L"unchanged");
    EXPECT_FALSE(CToviRegistry::GetMessageBoxTitle(0, title));
    regtest::PutText(regtest::kProductKeys[0], L"MessageBoxTitle", L"");
    EXPECT_TRUE(CToviRegistry::GetMessageBoxTitle(0, title));
    EXPECT_TRUE(title.IsEmpty());
}

TEST_F(UpdaterTexts, ServerAddressPrefersUpdateUrlAndInstallDirHasALimit)
{
    CString address;
    EXPECT_FALSE(CToviUpdate::GetServerAddress(0, address));
    regtest::PutText(regtest::kProductKeys[0], L"ServerIP", L"10.0.0.1");
    EXPECT_TRUE(CToviUpdate::GetServerAddress(0, address));
    EXPECT_STREQ(L"10.0.0.1", address.GetString());
    regtest::PutText(regtest::kProductKeys[0], L"UpdateURL", L"");
    EXPECT_TRUE(CToviUpdate::GetServerAddress(0, address));
    EXPECT_STREQ(L"", address.GetString());
    regtest::PutText(regtest::kProductKeys[0], L"UpdateURL", std::wstring(128, L'h'));
    EXPECT_TRUE(CToviUpdate::GetServerAddress(0, address));
    EXPECT_STREQ(L"10.0.0.1", address.GetString());

    regtest::PutText(regtest::kProductKeys[1], L"InstallDir", std::wstring(259, L'd'));
    EXPECT_EQ(259, CToviUpdate::GetInstallDir(1).GetLength());
    regtest::PutText(regtest::kProductKeys[1], L"InstallDir", std::wstring(260, L'd'));
    EXPECT_TRUE(CToviUpdate::GetInstallDir(1).IsEmpty());
}

// That the key is the server's is shown by the enciphered downloads of UpdaterRunUiTest.
TEST(UpdateKey, DecipheringIsItsOwnInverseAndRestartsEveryPiece)
{
    _ENC_CTX ctx = {};
    ctx.algorithm = 1;
    ctx.mode = 3;
    ctx.keyBits = 128;
    ASSERT_EQ(0, CToviCrypto::ToviKeySetup(&ctx));
    unsigned char zeros[32] = {};
    unsigned char stream[32] = {};
    CToviCrypto::CryptPiece(&ctx, stream, sizeof(stream));
    EXPECT_NE(0, memcmp(zeros, stream, sizeof(stream)));
    CToviCrypto::CryptPiece(&ctx, stream, sizeof(stream));
    EXPECT_EQ(0, memcmp(zeros, stream, sizeof(stream)));

    _ENC_CTX wrong = {};
    wrong.algorithm = 2;
    wrong.mode = 3;
    EXPECT_EQ(-1, CToviCrypto::ToviKeySetup(&wrong));
    wrong.algorithm = 1;
    wrong.mode = 5;
    EXPECT_EQ(-1, CToviCrypto::ToviKeySetup(&wrong));
}

TEST(UpdateTargetNames, OneSpellingPerInstalledFile)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    } rows[] = {
        { L"C:\\Program Files\\Corvane\\A.dll", L"c:\\program files\\corvane\\a.DLL", true },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\A.dll.enc", true },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\.\\A.dll", true },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:/Program Files/Corvane/./A.dll", true },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\sub\\..\\A.dll", true },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\A.dll.", true },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\B.dll", false },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\sub\\A.dll", false },
        { L"C:\\Program Files\\Corvane\\A.dll", L"C:\\Program Files\\Corvane\\A.dl", false },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.same, updatetargets::FileKey(row.a) == updatetargets::FileKey(row.b))
            << testing::PrintToString(std::wstring(row.a)) << " / " << testing::PrintToString(std::wstring(row.b));
}

class UpdateTargetChoice : public regtest::RegistryTest {};

TEST_F(UpdateTargetChoice, AnElevatedRunTakesItsOwnFolderAndTheRegistryMayOnlyConfirmIt)
{
    testseam::Swap<updatetargets::ProgramPathFn> program(updatetargets::g_pProgramPath,
                                                        [] { return CString(L"C:\\Program Files\\Corvane\\CorvaneUpdate.exe"); });
    struct Row {
        const wchar_t* registered;   // null: none
        bool elevated;
        updatetargets::Choice choice;
        const wchar_t* dir;
    } rows[] = {
        { L"C:\\Program Files\\Corvane", true, updatetargets::Choice::kUse, L"C:\\Program Files\\Corvane" },
        { L"c:\\program files\\corvane\\", true, updatetargets::Choice::kUse, L"C:\\Program Files\\Corvane" },
        { L"C:\\Windows\\System32", true, updatetargets::Choice::kRefused, L"C:\\Program Files\\Corvane" },
        { L"C:\\Program Files\\Corvane\\sub", true, updatetargets::Choice::kRefused, L"C:\\Program Files\\Corvane" },
        { nullptr, true, updatetargets::Choice::kEmpty, L"" },
        { L"D:\\Elsewhere", false, updatetargets::Choice::kUse, L"D:\\Elsewhere" },
    };
    for (const Row& row : rows) {
        if (row.registered != nullptr)
            regtest::PutText(regtest::kProductKeys[0], L"InstallDir", row.registered);
        else
            regtest::PutText(regtest::kProductKeys[0], L"InstallDir", L"");
        CString dir;
        EXPECT_EQ(row.choice, updatetargets::ChooseInstallDir(0, row.elevated, dir)) << testing::PrintToString(std::wstring(row.registered ? row.registered : L"(none)"));
        EXPECT_EQ(std::wstring(row.dir), std::wstring(dir.GetString()));
    }
}
